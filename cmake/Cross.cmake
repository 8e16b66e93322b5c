# Toolchain for a Debian release architecture other than the build
# machine's, with Debian's cross compilers (crossbuild-essential-ARCH); the
# programs then run under qemu-user, so that CTest runs the end-to-end cases
# as it does at home.
#   cmake -S . -B build-armhf -DCMAKE_TOOLCHAIN_FILE=cmake/Cross.cmake -DHEXSUITE_ARCH=armhf
# The projects CMake makes to try the compiler read this file too, without
# the cache: they find the architecture in the environment.
if(HEXSUITE_ARCH)
  set(ENV{HEXSUITE_ARCH} ${HEXSUITE_ARCH})
else()
  set(HEXSUITE_ARCH $ENV{HEXSUITE_ARCH})
endif()
set(triples amd64:x86_64-linux-gnu:x86_64 arm64:aarch64-linux-gnu:aarch64
    armhf:arm-linux-gnueabihf:arm i386:i686-linux-gnu:i386
    ppc64el:powerpc64le-linux-gnu:ppc64le s390x:s390x-linux-gnu:s390x)
foreach(entry IN LISTS triples)
  string(REPLACE ":" ";" entry ${entry})
  list(GET entry 0 arch)
  if(arch STREQUAL HEXSUITE_ARCH)
    list(GET entry 1 triple)
    list(GET entry 2 qemu)
  endif()
endforeach()
if(NOT triple)
  message(FATAL_ERROR "HEXSUITE_ARCH must be one of amd64 arm64 armhf i386 ppc64el s390x")
endif()

set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR ${qemu})
set(CMAKE_CXX_COMPILER ${triple}-g++)
set(CMAKE_FIND_ROOT_PATH /usr/${triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-${qemu} -L /usr/${triple})
