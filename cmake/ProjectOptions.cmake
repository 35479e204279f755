# Compiler settings shared by every target of the project.
add_library(tolvar_options INTERFACE)

# Where the tree was checked out and built never reaches a binary (file names in
# diagnostics and debug information are relative).
target_compile_options(tolvar_options INTERFACE
  -ffile-prefix-map=${CMAKE_SOURCE_DIR}/=
  -ffile-prefix-map=${CMAKE_BINARY_DIR}/=)
target_compile_options(tolvar_options INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual
  -Wconversion -Wcast-qual -Wformat=2 -Wimplicit-fallthrough
  # Layout structs are filled with designated initializers that name only what differs.
  -Wno-missing-field-initializers)
if(TOLVAR_WARNINGS_AS_ERRORS)
  target_compile_options(tolvar_options INTERFACE -Werror)
endif()

if(WIN32)
  target_compile_definitions(tolvar_options INTERFACE
    UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX STRICT
    _WIN32_WINNT=0x0601 WINVER=0x0601 _WIN32_IE=0x0800)
  # Release programs are built for size: Tolvar.exe must fit in 256 KiB. The
  # time goes into system calls and zlib (the distribution's own build), so -Os
  # costs no measurable speed. Sections per function and per datum let the
  # linker drop what nothing uses.
  target_compile_options(tolvar_options INTERFACE
    $<$<CONFIG:Release>:-Os>
    $<$<CONFIG:Release>:-ffunction-sections>
    $<$<CONFIG:Release>:-fdata-sections>)
  # One self-contained file per program: no runtime DLL of the compiler beside it.
  # No link time in the header, so that two builds of one commit are the same
  # bytes and anyone can check a shipped program against its source.
  target_link_options(tolvar_options INTERFACE
    -static -static-libgcc -static-libstdc++
    -Wl,--dynamicbase -Wl,--nxcompat -Wl,--high-entropy-va -Wl,--no-insert-timestamp
    $<$<CONFIG:Release>:-Wl,--gc-sections>
    $<$<CONFIG:Release>:-s>)
else()
  if(TOLVAR_FUZZ)
    # Coverage for libFuzzer in all of the project's code; the fuzz targets
    # link the fuzzer's own main.
    target_compile_options(tolvar_options INTERFACE
      -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
    target_link_options(tolvar_options INTERFACE -fsanitize=address,undefined)
  endif()
  if(TOLVAR_SANITIZE)
    target_compile_options(tolvar_options INTERFACE
      -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
    target_link_options(tolvar_options INTERFACE -fsanitize=address,undefined)
  endif()
endif()

# A Windows program that links platform/CxxRuntime_win.cpp in place of the C++
# library's terminate handler and error-raising functions (see that file).
function(tolvar_lean_cxx_runtime target)
  target_sources(${target} PRIVATE $<TARGET_OBJECTS:tolvar_cxx_runtime>)
endfunction()

# Windows GUI programs: wide-character entry point, GUI subsystem.
function(tolvar_windows_gui_program target)
  target_link_options(${target} PRIVATE -municode -mwindows)
  set_target_properties(${target} PROPERTIES WIN32_EXECUTABLE ON)
endfunction()

# Mark a program to be copied to and run from the swap file when it is started
# from removable or network media, so the medium may be changed while it runs,
# and give it its checksum (see the script).
function(tolvar_run_from_swap target)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/cmake/pe-post-link.py $<TARGET_FILE:${target}>
    VERBATIM)
endfunction()
