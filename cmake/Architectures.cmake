# Debian's name of each architecture the suite is built for, its GNU triple
# and qemu-user's name for it: Debian 13's release architectures, then the
# ports qemu-user runs (sh4's emulator cannot run a C program here, so it
# is not listed).
set(HEXSUITE_ARCHITECTURES
    amd64:x86_64-linux-gnu:x86_64 arm64:aarch64-linux-gnu:aarch64
    armel:arm-linux-gnueabi:arm armhf:arm-linux-gnueabihf:arm i386:i686-linux-gnu:i386
    ppc64el:powerpc64le-linux-gnu:ppc64le riscv64:riscv64-linux-gnu:riscv64 s390x:s390x-linux-gnu:s390x
    mips64el:mips64el-linux-gnuabi64:mips64el powerpc:powerpc-linux-gnu:ppc ppc64:powerpc64-linux-gnu:ppc64
    sparc64:sparc64-linux-gnu:sparc64 m68k:m68k-linux-gnu:m68k hppa:hppa-linux-gnu:hppa
    alpha:alpha-linux-gnu:alpha)

# Sets TRIPLE_VAR and QEMU_VAR to ARCH's triple and emulator, or to nothing
# for an architecture not listed.
function(architecture arch triple_var qemu_var)
  set(${triple_var} "" PARENT_SCOPE)
  set(${qemu_var} "" PARENT_SCOPE)
  foreach(entry IN LISTS HEXSUITE_ARCHITECTURES)
    string(REPLACE ":" ";" entry ${entry})
    list(GET entry 0 name)
    if(name STREQUAL arch)
      list(GET entry 1 triple)
      list(GET entry 2 qemu)
      set(${triple_var} ${triple} PARENT_SCOPE)
      set(${qemu_var} ${qemu} PARENT_SCOPE)
    endif()
  endforeach()
endfunction()
