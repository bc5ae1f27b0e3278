# Cross-builds for 64-bit Windows with MinGW-w64 (Debian's
# g++-mingw-w64-x86-64-posix: the posix threading variant, which has
# std::thread and std::mutex) against the libraries that
# scripts/build-windows-libraries puts into a private prefix:
#
#   cmake -S . -B build-windows -G Ninja \
#     -DCMAKE_TOOLCHAIN_FILE=windows/mingw-w64-x86_64.cmake
#
# The prefix is KV_WINDOWS_PREFIX (a cache variable or the environment
# variable of that name), else ${XDG_CACHE_HOME:-~/.cache}/kvbasic-windows/prefix,
# as the script chooses it. Programs built here run on Linux through Wine,
# which is also what ctest runs test programs with.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KV_WINDOWS_HOST x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${KV_WINDOWS_HOST}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KV_WINDOWS_HOST}-g++-posix)
set(CMAKE_RC_COMPILER ${KV_WINDOWS_HOST}-windres)
set(CMAKE_AR ${KV_WINDOWS_HOST}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB ${KV_WINDOWS_HOST}-ranlib CACHE FILEPATH "")

if(NOT KV_WINDOWS_PREFIX)
  if(DEFINED ENV{KV_WINDOWS_PREFIX})
    set(KV_WINDOWS_PREFIX "$ENV{KV_WINDOWS_PREFIX}")
  elseif(DEFINED ENV{XDG_CACHE_HOME})
    set(KV_WINDOWS_PREFIX "$ENV{XDG_CACHE_HOME}/kvbasic-windows/prefix")
  else()
    set(KV_WINDOWS_PREFIX "$ENV{HOME}/.cache/kvbasic-windows/prefix")
  endif()
endif()
# Compiler checks (try_compile) read this file again in projects of their
# own: they get the prefix handed on.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES KV_WINDOWS_PREFIX)

# Libraries and headers come from the prefix and the MinGW-w64 runtime
# only, programs (the code generators, pkg-config) from the build machine.
set(CMAKE_FIND_ROOT_PATH "${KV_WINDOWS_PREFIX}" /usr/${KV_WINDOWS_HOST})
set(CMAKE_PREFIX_PATH "${KV_WINDOWS_PREFIX}")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config sees the prefix's .pc files and never the build machine's.
set(ENV{PKG_CONFIG_LIBDIR} "${KV_WINDOWS_PREFIX}/lib/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")
set(ENV{PKG_CONFIG_SYSROOT_DIR} "")

# Test programs and programs run at build time go through Wine.
find_program(KV_WINE wine)
if(KV_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR "${KV_WINE}")
endif()
