# The same programs for 64-bit Windows. Used to run the tests under Wine on
# machines that cannot execute 32-bit processes (no 32-bit Wine loader).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-toolchain.cmake)
