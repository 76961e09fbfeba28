# What the two Windows toolchain files share: Debian's MinGW-w64 cross
# compiler for CMAKE_SYSTEM_PROCESSOR (i686 or x86_64), which the including
# file sets; it is also the first word of the tools' names. The -posix
# compilers: the plain ones use win32 threads, without std::mutex.
set(CMAKE_SYSTEM_NAME Windows)
set(KESTROW_MINGW_TRIPLE ${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32)
set(CMAKE_C_COMPILER ${KESTROW_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KESTROW_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${KESTROW_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${KESTROW_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
