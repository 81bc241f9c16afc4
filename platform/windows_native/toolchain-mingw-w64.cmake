# Cross-compiling toolchain for 64-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-x86-64-posix).
# The -posix compilers give std::thread and std::mutex, which GoogleTest needs; everything links
# statically, so the .exe files run under Wine or on Windows without the MinGW runtime DLLs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(LIMNORA_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${LIMNORA_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${LIMNORA_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${LIMNORA_MINGW}-windres)

# Headers and libraries of the target only; programs (cmake, ninja) of the host.
set(CMAKE_FIND_ROOT_PATH /usr/${LIMNORA_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
# With -std=c++17 (no GNU extensions) MinGW's math.h names M_PI and friends only when asked;
# glibc's always does for g++.
set(CMAKE_C_FLAGS_INIT "-D_USE_MATH_DEFINES")
set(CMAKE_CXX_FLAGS_INIT "-D_USE_MATH_DEFINES")

# Built programs (the terrain generator at build time, test discovery, ctest) run through Wine.
find_program(LIMNORA_WINE NAMES wine wine64 REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${LIMNORA_WINE})
