# Cross build for 64-bit Windows with Debian's MinGW-w64 compiler (posix
# threads: std::thread and std::mutex need them).
#
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
#
# The programs link the compiler's runtime statically, so that nothing but
# Windows' own DLLs has to sit beside them. Test binaries run under Wine
# (CMAKE_CROSSCOMPILING_EMULATOR), which is how GoogleTest lists them too.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(LODSMITH_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${LODSMITH_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${LODSMITH_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${LODSMITH_MINGW_PREFIX}-windres)

# Headers and libraries of the target only; programs from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${LODSMITH_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

find_program(LODSMITH_WINE wine)
if(LODSMITH_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${LODSMITH_WINE})
endif()

# zlib linked in, not as a DLL beside the program.
set(ZLIB_USE_STATIC_LIBS ON)

# This compiler's libstdc++ headers raise a false -Wrestrict on inlined
# string concatenation (std::operator+); it says nothing about our code.
set(CMAKE_CXX_FLAGS_INIT "-Wno-restrict")
