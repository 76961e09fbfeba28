# The native Windows build: both programs from the same code on the Win32
# backends, statically linked, and the tests that do not need a POSIX or Qt
# backend, run under Wine through scripts/wine-run.sh.
add_compile_definitions(UNICODE _UNICODE NOMINMAX _WIN32_WINNT=0x0601)
# No MinGW DLL beside the programs: under Wine a missing one only shows as
# an exit code.
add_link_options(-static -static-libgcc -static-libstdc++)
# Release programs carry no symbols: a third of the size.
add_link_options($<$<CONFIG:Release>:-s>)

set(KESTROW_WINE_DIR ${CMAKE_BINARY_DIR}/wine CACHE PATH
    "Where the tests keep their private Wine prefix and home")

# Every Windows program this build runs (the tests, and gtest_discover_tests
# listing them) runs under Wine in the private prefix.
set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_SOURCE_DIR}/scripts/wine-run.sh;${KESTROW_WINE_DIR}")

if(KESTROW_TESTS)
  enable_testing()
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  include(GoogleTest)
endif()

option(KESTROW_WINDOWS_H_CHECK "Compile the programs' code once more after <windows.h>" ON)

add_subdirectory(platform)
if(KESTROW_WINDOWS_H_CHECK)
  add_subdirectory(cross-check)
endif()

# The programs' tests that run on the registry held in memory run here too;
# those that need the POSIX backends are built on Linux only.
add_subdirectory(settings)
add_subdirectory(shortcut-maker)
add_subdirectory(defaults-editor)

set(manifest_rc ${CMAKE_SOURCE_DIR}/resources/windows/manifest.rc)
set_source_files_properties(${manifest_rc} PROPERTIES
  OBJECT_DEPENDS ${CMAKE_SOURCE_DIR}/resources/windows/kestrow.manifest)

# windres does not report the icons an .rc names.
set_source_files_properties(shortcut-maker/Kestrow2005.rc PROPERTIES
  OBJECT_DEPENDS ${CMAKE_SOURCE_DIR}/resources/icons/kestrow.ico)
set_source_files_properties(defaults-editor/KestrowDefaults2005.rc PROPERTIES
  OBJECT_DEPENDS ${CMAKE_SOURCE_DIR}/resources/icons/kestrow-defaults.ico)

add_executable(Kestrow2005 WIN32
  shortcut-maker/main.cpp shortcut-maker/Kestrow2005.rc ${manifest_rc})
target_link_libraries(Kestrow2005 PRIVATE kestrow_shortcut_maker kestrow_win32)

add_executable(KestrowDefaults2005 WIN32
  defaults-editor/main.cpp defaults-editor/KestrowDefaults2005.rc ${manifest_rc})
target_link_libraries(KestrowDefaults2005 PRIVATE kestrow_defaults_editor kestrow_win32)

if(KESTROW_TESTS)
  # End to end: the real programs under Wine, their shortcuts read back by
  # lnkinfo, the registry by `reg export`. They share the settings key and the
  # display with the window tests, so they take turns with them.
  add_executable(answer_message_box platform/testing/answer_message_box.c)
  target_link_options(answer_message_box PRIVATE -municode)
  add_executable(run_with_command_line platform/testing/run_with_command_line.c)
  target_link_options(run_with_command_line PRIVATE -municode)
  add_test(NAME windows_direct_mode
    COMMAND bash ${CMAKE_SOURCE_DIR}/shortcut-maker/windows_direct_mode_test.sh
            ${KESTROW_WINE_DIR} $<TARGET_FILE:Kestrow2005> $<TARGET_FILE:run_with_command_line>)
  add_test(NAME windows_single_instance
    COMMAND bash ${CMAKE_SOURCE_DIR}/defaults-editor/windows_single_instance_test.sh
            ${KESTROW_WINE_DIR} $<TARGET_FILE:KestrowDefaults2005>
            $<TARGET_FILE:answer_message_box>)
  # shell32, ole32 and oleaut32 are bound at their first call, never imported:
  # a missing one must not keep a program from starting.
  add_test(NAME windows_program_imports
    COMMAND sh -c "! ${CMAKE_OBJDUMP} -p \"$1\" \"$2\" | grep -iE 'DLL Name: (shell32|ole32|oleaut32)'"
            imports $<TARGET_FILE:Kestrow2005> $<TARGET_FILE:KestrowDefaults2005>)
  set_tests_properties(windows_direct_mode windows_single_instance PROPERTIES
    RESOURCE_LOCK windows_display TIMEOUT 120)
endif()

# The help file beside the programs.
find_program(KESTROW_CHMCMD chmcmd REQUIRED)
include(cmake/help-file.cmake)

add_subdirectory(bench/windows)
