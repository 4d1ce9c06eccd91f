# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (posix threads,
# which std::thread and Qt need). Used both for Qt itself and for Corvala;
# pass -DCORVALA_WINDOWS_PREFIXES="<Qt prefix>;<GoogleTest prefix>;<CLP prefix>"
# so that find_package and pkg-config see the libraries built for Windows.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triple}-g++-posix)
set(CMAKE_RC_COMPILER ${triple}-windres)
set(CMAKE_AR ${triple}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB ${triple}-ranlib CACHE FILEPATH "")

list(APPEND CMAKE_FIND_ROOT_PATH /usr/${triple})
list(APPEND CMAKE_FIND_ROOT_PATH ${CORVALA_WINDOWS_PREFIXES})
list(APPEND CMAKE_PREFIX_PATH ${CORVALA_WINDOWS_PREFIXES})
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES CORVALA_WINDOWS_PREFIXES)
# Programs (moc, rcc, ...) come from the build machine; libraries and headers
# only from the target's roots.
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
