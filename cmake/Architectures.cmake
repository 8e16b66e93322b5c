# Debian's name of each architecture the suite is built for, its GNU triple,
# qemu-user's name for it and, where Debian ships musl for it, the triple
# its musl release is named by: Debian 13's release architectures and
# Debian 12's (mips64el, mipsel), then the ports qemu-user runs (sh4's
# emulator cannot run a C program here, so it is not listed). Debian 12
# ships musl for its nine, Debian 13 for its eight (riscv64 joins).
set(HEXSUITE_ARCHITECTURES
    amd64:x86_64-linux-gnu:x86_64:x86_64-linux-musl arm64:aarch64-linux-gnu:aarch64:aarch64-linux-musl
    armel:arm-linux-gnueabi:arm:arm-linux-musleabi armhf:arm-linux-gnueabihf:arm:arm-linux-musleabihf
    i386:i686-linux-gnu:i386:i686-linux-musl ppc64el:powerpc64le-linux-gnu:ppc64le:powerpc64le-linux-musl
    riscv64:riscv64-linux-gnu:riscv64:riscv64-linux-musl s390x:s390x-linux-gnu:s390x:s390x-linux-musl
    mips64el:mips64el-linux-gnuabi64:mips64el:mips64el-linux-musl mipsel:mipsel-linux-gnu:mipsel:mipsel-linux-musl
    powerpc:powerpc-linux-gnu:ppc ppc64:powerpc64-linux-gnu:ppc64 sparc64:sparc64-linux-gnu:sparc64
    m68k:m68k-linux-gnu:m68k hppa:hppa-linux-gnu:hppa alpha:alpha-linux-gnu:alpha)

# Sets TRIPLE_VAR and QEMU_VAR to ARCH's triple and emulator, and MUSL_VAR,
# if given, to its musl triple; each to nothing where there is none.
function(architecture arch triple_var qemu_var)
  foreach(var ${triple_var} ${qemu_var} ${ARGV3})
    set(${var} "" PARENT_SCOPE)
  endforeach()
  foreach(entry IN LISTS HEXSUITE_ARCHITECTURES)
    string(REPLACE ":" ";" entry ${entry})
    list(GET entry 0 name)
    if(name STREQUAL arch)
      list(GET entry 1 triple)
      list(GET entry 2 qemu)
      set(${triple_var} ${triple} PARENT_SCOPE)
      set(${qemu_var} ${qemu} PARENT_SCOPE)
      list(LENGTH entry fields)
      if(ARGV3 AND fields GREATER 3)
        list(GET entry 3 musl)
        set(${ARGV3} ${musl} PARENT_SCOPE)
      endif()
    endif()
  endforeach()
endfunction()

# The architecture a toolchain file builds for: HEXSUITE_ARCH, which the
# projects CMake makes to try the compiler find in the environment (they
# read the toolchain file without the cache). Fails naming the known ones
# if it is not listed.
macro(target_architecture)
  if(HEXSUITE_ARCH)
    set(ENV{HEXSUITE_ARCH} ${HEXSUITE_ARCH})
  else()
    set(HEXSUITE_ARCH $ENV{HEXSUITE_ARCH})
  endif()
  architecture("${HEXSUITE_ARCH}" triple qemu musl_triple)
  if(NOT triple)
    string(REGEX REPLACE ":[^;]*" "" known "${HEXSUITE_ARCHITECTURES}")
    list(JOIN known " " known)
    message(FATAL_ERROR "HEXSUITE_ARCH must be one of ${known}")
  endif()
endmacro()
