# Cross build for 64-bit Windows with Debian's mingw-w64 (package g++-mingw-w64-x86-64).
#   cmake -S . -B build-windows --preset windows      (or -DCMAKE_TOOLCHAIN_FILE=<this file>)
# The posix thread model: GoogleTest needs std::mutex, which the win32 model of gcc 12
# lacks. The link is static (see the top CMakeLists.txt), so no libwinpthread DLL is
# needed beside the programs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ORV_MINGW_TRIPLE x86_64-w64-mingw32)
find_program(CMAKE_C_COMPILER NAMES ${ORV_MINGW_TRIPLE}-gcc-posix ${ORV_MINGW_TRIPLE}-gcc REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${ORV_MINGW_TRIPLE}-g++-posix ${ORV_MINGW_TRIPLE}-g++ REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${ORV_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${ORV_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Lets ctest run the Windows programs on Linux.
find_program(ORV_WINE NAMES wine wine64)
if(ORV_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${ORV_WINE})
endif()
