# The 32-bit Windows target, through Debian's MinGW-w64 cross compiler.
set(CMAKE_SYSTEM_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-toolchain.cmake)
