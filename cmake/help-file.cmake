# The help file kestrow.chm, compiled from resources/help into bin/ beside
# the programs by chmcmd (KESTROW_CHMCMD, found by the includer): the same
# for both builds. Sets KESTROW_HELP_FILE and adds the target kestrow_help.
set(KESTROW_HELP_PAGES
  kestrow.htm context.htm dialog.htm options.htm delay.htm defaults.htm
  linux.htm messages.htm about.htm)
set(KESTROW_HELP_SOURCES
  kestrow.hhp kestrow.hhc kestrow.hhk kestrow.css ${KESTROW_HELP_PAGES})
list(TRANSFORM KESTROW_HELP_SOURCES PREPEND ${PROJECT_SOURCE_DIR}/resources/help/
     OUTPUT_VARIABLE KESTROW_HELP_SOURCE_PATHS)
set(KESTROW_HELP_FILE ${CMAKE_BINARY_DIR}/bin/kestrow.chm)

# The compiler writes beside the project file, so compile a copy.
set(help_stage ${CMAKE_CURRENT_BINARY_DIR}/help)
file(MAKE_DIRECTORY ${help_stage} ${CMAKE_BINARY_DIR}/bin)
add_custom_command(
  OUTPUT ${KESTROW_HELP_FILE}
  COMMAND ${CMAKE_COMMAND} -E rm -f ${help_stage}/kestrow.chm
  COMMAND ${CMAKE_COMMAND} -E copy ${KESTROW_HELP_SOURCE_PATHS} ${help_stage}
  COMMAND ${KESTROW_CHMCMD} --verbosity 1 kestrow.hhp
  COMMAND ${CMAKE_COMMAND} -E copy ${help_stage}/kestrow.chm ${KESTROW_HELP_FILE}
  WORKING_DIRECTORY ${help_stage}
  DEPENDS ${KESTROW_HELP_SOURCE_PATHS}
  COMMENT "Compiling the help file kestrow.chm"
  VERBATIM)
add_custom_target(kestrow_help ALL DEPENDS ${KESTROW_HELP_FILE})
