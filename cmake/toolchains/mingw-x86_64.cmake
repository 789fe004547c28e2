# Cross-building for Windows with the mingw-w64 compilers of Debian
# (package mingw-w64). The -posix compilers carry the C++ threads and the
# runtime is linked statically: the programs need no DLL beyond Windows' own.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(BP_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
