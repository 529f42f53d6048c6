# Cross-building for 64-bit Windows with Debian's mingw-w64 (the posix thread model, which Qt's
# threads need). Used for Qt itself and for Tavrin.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TAVRIN_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TAVRIN_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TAVRIN_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${TAVRIN_MINGW}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TAVRIN_MINGW})
# Host programs (moc, rcc, lrelease) come from the build machine; libraries and headers only
# from the cross prefixes.
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
