# Cross-building for 64-bit Windows with Debian's mingw-w64, posix threads
# (std::thread needs them). Linked statically, so that the programs need no
# DLL beside the system's: no libgcc, libstdc++ or winpthread to ship.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KESTRUM_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${KESTRUM_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KESTRUM_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${KESTRUM_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${KESTRUM_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# ctest starts the test programs through Wine.
find_program(KESTRUM_WINE wine REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${KESTRUM_WINE})
