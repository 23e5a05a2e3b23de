# Cross toolchain: 64-bit Windows. Used to run the tests on machines that
# cannot execute 32-bit code; the product itself is the 32-bit build.
set(MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
