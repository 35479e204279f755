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
  # Objects also carry the compiler's intermediate form (-flto, fat objects):
  # the program that has a size limit is optimised as a whole when it is linked
  # (tolvar_whole_program_optimized), every other program links the machine code
  # as before (-fno-lto; without it the linker would optimise every program that
  # meets the intermediate form).
  target_compile_options(tolvar_options INTERFACE
    $<$<CONFIG:Release>:-Os>
    $<$<CONFIG:Release>:-ffunction-sections>
    $<$<CONFIG:Release>:-fdata-sections>
    $<$<AND:$<CONFIG:Release>,$<NOT:$<BOOL:$<TARGET_PROPERTY:TOLVAR_LIBRARY_STAND_IN>>>>:-flto>
    $<$<AND:$<CONFIG:Release>,$<NOT:$<BOOL:$<TARGET_PROPERTY:TOLVAR_LIBRARY_STAND_IN>>>>:-ffat-lto-objects>)
  # One self-contained file per program: no runtime DLL of the compiler beside it.
  # No link time in the header, so that two builds of one commit are the same
  # bytes and anyone can check a shipped program against its source.
  target_link_options(tolvar_options INTERFACE
    -static -static-libgcc -static-libstdc++
    -Wl,--dynamicbase -Wl,--nxcompat -Wl,--high-entropy-va -Wl,--no-insert-timestamp
    $<$<CONFIG:Release>:-Wl,--gc-sections>
    $<$<AND:$<CONFIG:Release>,$<NOT:$<BOOL:$<TARGET_PROPERTY:TOLVAR_WHOLE_PROGRAM>>>>:-fno-lto>
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

# Objects that stand in for pieces of the compiler's libraries (the C++
# runtime's, the thread library's, zlib's crc32) are plain machine code, never
# the intermediate form: only then does a library object that would define one
# of their names a second time stop the optimised link with a duplicate
# definition; against the intermediate form the linker quietly keeps one of the
# two.
function(tolvar_library_stand_in target)
  set_target_properties(${target} PROPERTIES TOLVAR_LIBRARY_STAND_IN ON)
endfunction()

# A Windows program that links platform/CxxRuntime_win.cpp in place of the C++
# library's terminate handler and error-raising functions (see that file).
function(tolvar_lean_cxx_runtime target)
  target_sources(${target} PRIVATE $<TARGET_OBJECTS:tolvar_cxx_runtime>)
endfunction()

# A release program optimised as a whole at its link: functions inlined and
# dropped across files, which takes Tolvar.exe some 40 KB below what the same
# objects give linked one by one, for about 3 s of link time. One partition:
# this compiler (GCC 12) stops with an internal error in its alias analysis
# when it splits the program into several.
# The program's own runtime pieces (tolvar_lean_cxx_runtime and the objects
# beside it) still come before the libraries, as plain objects
# (tolvar_library_stand_in).
function(tolvar_whole_program_optimized target)
  set_target_properties(${target} PROPERTIES TOLVAR_WHOLE_PROGRAM ON)
  target_link_options(${target} PRIVATE
    $<$<CONFIG:Release>:-flto> $<$<CONFIG:Release>:-flto-partition=one> $<$<CONFIG:Release>:-Os>)
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
