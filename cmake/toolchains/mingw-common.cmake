# What both mingw-w64 toolchains share; BP_MINGW_TRIPLE names the target.
set(CMAKE_C_COMPILER ${BP_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${BP_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${BP_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${BP_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# The C and C++ runtimes and winpthreads go into the program itself.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# The code throws nothing; without the exception machinery of the C++
# runtime each program is about 140 KB smaller.
set(CMAKE_CXX_FLAGS_INIT "-fno-exceptions ${BP_MINGW_CXX_FLAGS}")
set(CMAKE_C_FLAGS_INIT "${BP_MINGW_CXX_FLAGS}")
