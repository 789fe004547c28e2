# Cross-building for Windows with the mingw-w64 compilers of Debian
# (package mingw-w64). The -posix compilers carry the C++ threads and the
# runtime is linked statically: the programs need no DLL beyond Windows' own.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(BP_MINGW_TRIPLE i686-w64-mingw32)
# SSE2 arithmetic instead of the x87 unit, so floats round as on x86-64 and
# frames and sound equal the other platforms' bit for bit. The functions
# Windows calls realign the stack themselves (platform/callback_win32.h).
set(BP_MINGW_CXX_FLAGS "-msse2 -mfpmath=sse")
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
