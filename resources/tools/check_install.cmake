# Installs the build tree BUILD_DIR into a fresh prefix under WORK_DIR and
# checks that the files landed where the programs and the desktop look for
# them. With COMPONENT set, only that component is installed; PROGRAMS is a
# comma-separated list of program targets whose files must be in bin/ too.
#
#   cmake -DBUILD_DIR=... -DWORK_DIR=... [-DCOMPONENT=resources] [-DBINDIR=bin -DDATADIR=share]
#         [-DPROGRAMS=Kestrow2005,kestrow-qt] -P check_install.cmake

cmake_minimum_required(VERSION 3.25)

foreach(required BUILD_DIR WORK_DIR)
  if(NOT ${required})
    message(FATAL_ERROR "${required} is not set")
  endif()
endforeach()

set(prefix ${WORK_DIR}/prefix)
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})

set(install_args --install ${BUILD_DIR} --prefix ${prefix})
if(COMPONENT)
  list(APPEND install_args --component ${COMPONENT})
endif()
execute_process(COMMAND ${CMAKE_COMMAND} ${install_args}
  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed (${result}):\n${output}")
endif()

# Where the build installs programs and data (GNUInstallDirs' names).
if(NOT BINDIR)
  set(BINDIR bin)
endif()
if(NOT DATADIR)
  set(DATADIR share)
endif()
set(bindir ${BINDIR})
set(datadir ${DATADIR})

set(expected
  ${bindir}/kestrow.chm
  ${datadir}/kestrow/pictures/about.jpg
  ${datadir}/kestrow/icons/kestrow-16.png
  ${datadir}/kestrow/icons/kestrow-32.png
  ${datadir}/kestrow/icons/kestrow-48.png
  ${datadir}/kestrow/icons/kestrow-256.png
  ${datadir}/kestrow/icons/kestrow.ico
  ${datadir}/kestrow/cursors/hand.png
  ${datadir}/icons/hicolor/16x16/apps/kestrow.png
  ${datadir}/icons/hicolor/32x32/apps/kestrow.png
  ${datadir}/icons/hicolor/48x48/apps/kestrow.png
  ${datadir}/icons/hicolor/256x256/apps/kestrow.png
  ${datadir}/applications/kestrow-create-shortcut.desktop
  ${datadir}/applications/kestrow-2005.desktop
  ${datadir}/applications/kestrow-default-settings.desktop)

if(PROGRAMS)
  string(REPLACE "," ";" programs "${PROGRAMS}")
  foreach(program IN LISTS programs)
    if(program STREQUAL "kestrow-qt")
      list(APPEND expected ${bindir}/libkestrow-qt.so)
    else()
      list(APPEND expected ${bindir}/${program})
    endif()
  endforeach()
endif()

set(missing)
foreach(file IN LISTS expected)
  if(NOT EXISTS ${prefix}/${file})
    list(APPEND missing ${file})
  endif()
endforeach()
if(missing)
  list(JOIN missing "\n  " text)
  message(FATAL_ERROR "Not installed under ${prefix}:\n  ${text}")
endif()

# Each icon in hicolor must be the size its folder promises: a swapped file
# would show blurred or not at all.
foreach(size 16 32 48 256)
  file(READ ${prefix}/${datadir}/icons/hicolor/${size}x${size}/apps/kestrow.png header
       LIMIT 24 HEX)
  string(SUBSTRING "${header}" 32 8 width_hex)
  math(EXPR width "0x${width_hex}")
  if(NOT width EQUAL size)
    message(FATAL_ERROR "hicolor ${size}x${size} icon is ${width} pixels wide")
  endif()
endforeach()

# The help file must be the compiled one, not an empty placeholder.
file(SIZE ${prefix}/${bindir}/kestrow.chm chm_size)
file(READ ${prefix}/${bindir}/kestrow.chm chm_magic LIMIT 4 HEX)
if(chm_size LESS 1024 OR NOT chm_magic STREQUAL "49545346")
  message(FATAL_ERROR "kestrow.chm is not a compiled help file (${chm_size} bytes)")
endif()

# A desktop entry's Exec must name a program that was installed with it.
foreach(entry kestrow-create-shortcut kestrow-2005 kestrow-default-settings)
  file(STRINGS ${prefix}/${datadir}/applications/${entry}.desktop exec REGEX "^Exec=")
  if(NOT exec MATCHES "^Exec=\"(/[^\"]+)\"")
    message(FATAL_ERROR "${entry}.desktop: Exec does not start with an absolute path: ${exec}")
  endif()
  get_filename_component(exec_program "${CMAKE_MATCH_1}" NAME)
  # The prefix installed to, not the one the build was configured with.
  if(NOT CMAKE_MATCH_1 STREQUAL "${prefix}/${bindir}/${exec_program}")
    message(FATAL_ERROR "${entry}.desktop starts ${CMAKE_MATCH_1}, outside ${prefix}/${bindir}")
  endif()
  if(programs AND exec_program IN_LIST programs AND NOT EXISTS ${prefix}/${bindir}/${exec_program})
    message(FATAL_ERROR "${entry}.desktop starts ${exec_program}, which is not installed")
  endif()
endforeach()

message(STATUS "Installed as expected under ${prefix}")
