# Cross build for Windows with MinGW-w64 for the processor that the including
# toolchain file names in tam_mingw; programs and tests run under Wine through
# scripts/wine-run with a Wine prefix inside the build directory.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${tam_mingw})

# The posix thread model: GCC 12's win32 model has no std::mutex or std::thread,
# which GoogleTest needs; winpthreads is linked in statically like the rest.
set(CMAKE_C_COMPILER ${tam_mingw}-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER ${tam_mingw}-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER ${tam_mingw}-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${tam_mingw}-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The C and C++ runtimes are linked in, so an .exe or .dll needs no MinGW DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run;--prefix;${CMAKE_BINARY_DIR}/wine")
