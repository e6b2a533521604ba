# Cross-building for 64-bit Windows with Debian's MinGW-w64 (the posix-threads compilers), from
# Linux: make windows.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(KALETH_WIN_HOST x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${KALETH_WIN_HOST}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KALETH_WIN_HOST}-g++-posix)
set(CMAKE_RC_COMPILER ${KALETH_WIN_HOST}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${KALETH_WIN_HOST})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Whatever the programs need of the compiler's own libraries is linked in, so that no DLL has to
# lie beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
