# Cross-builds the Windows programs with Debian's mingw-w64 (the posix thread
# model, which std::thread needs). Tests run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Header-only libraries come from the build machine's own packages.
set(FastFloat_DIR ${CMAKE_CURRENT_LIST_DIR}/mingw-fast-float CACHE PATH "fast_float for Windows")

# One exe each that imports only system DLLs: no libstdc++, libgcc or
# winpthread DLL to ship beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Wine, headless and quiet, in a prefix of the build's own.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run
  CACHE STRING "Runs the Windows tests")
