# Cross-compiling for 64-bit Windows with Debian's mingw-w64 (the posix thread model, which Qt
# needs). Qt for Windows comes from QX7M_QT_PREFIX; its host tools (moc, rcc, uic) are Debian's.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(triple x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triple}-g++-posix)
set(CMAKE_RC_COMPILER ${triple}-windres)

if(NOT QX7M_QT_PREFIX AND DEFINED ENV{QX7M_QT_PREFIX})
    set(QX7M_QT_PREFIX $ENV{QX7M_QT_PREFIX})
endif()
# Seen again by try_compile's inner projects.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES QX7M_QT_PREFIX)

set(CMAKE_FIND_ROOT_PATH /usr/${triple} ${QX7M_QT_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
if(QX7M_QT_PREFIX)
    list(APPEND CMAKE_PREFIX_PATH ${QX7M_QT_PREFIX})
endif()

set(QT_HOST_PATH /usr CACHE PATH "")
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake CACHE PATH "")
