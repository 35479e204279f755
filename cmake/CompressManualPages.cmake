# Run by CPack after it installed the project into its staging folder and before
# it packs: every manual page there becomes NAME.gz (gzip -9n, reproducible).
file(GLOB_RECURSE pages "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/share/man/man*/*")
foreach(page IN LISTS pages)
  if(NOT page MATCHES "\\.gz$")
    execute_process(COMMAND gzip -9nf "${page}" RESULT_VARIABLE failed)
    if(failed)
      message(FATAL_ERROR "gzip ${page} failed")
    endif()
  endif()
endforeach()
