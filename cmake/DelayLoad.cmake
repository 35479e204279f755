# tolvar_delay_import(<target name> <def file>): an import library whose DLL is
# loaded on the first call of one of its functions rather than at start-up.
function(tolvar_delay_import name def)
  get_filename_component(dll ${def} NAME_WE)
  set(lib ${CMAKE_CURRENT_BINARY_DIR}/lib${dll}_delay.a)
  find_program(TOLVAR_DLLTOOL x86_64-w64-mingw32-dlltool REQUIRED)
  add_custom_command(OUTPUT ${lib}
    COMMAND ${TOLVAR_DLLTOOL} --input-def ${def} --dllname ${dll}.dll --output-delaylib ${lib}
    DEPENDS ${def} VERBATIM)
  add_custom_target(${name}_generate DEPENDS ${lib})
  add_library(${name} INTERFACE)
  add_dependencies(${name} ${name}_generate)
  target_link_libraries(${name} INTERFACE ${lib} delayimp)
endfunction()
