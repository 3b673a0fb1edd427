# Cross build of the 32-bit Windows program. The posix thread model gives us
# std::thread and std::mutex; everything is linked statically so that setup.exe
# needs no DLL beyond the system's.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(WS_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_C_COMPILER ${WS_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${WS_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${WS_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${WS_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
