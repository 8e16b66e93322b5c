# Toolchain for programs linked against musl, the C library of Alpine and
# of the static Linux programs tools ship: Debian's musl-dev, compiled by
# clang with libc++'s headers. No C++ runtime library is linked (the
# programs use nothing of it), so the start files, the C library and the
# compiler's helper library are named here, and every link makes a static
# position-independent executable. It builds for HEXSUITE_ARCH, any
# architecture Debian ships musl for, or for the machine it runs on: a
# native build is a cross build with the machine's own row of
# cmake/machines.txt (its musl triple, folder and processor flags), only
# run without an emulator. Debian's compiler for the triple lends its
# linker and helper library; another processor's programs then run under
# qemu-user.
#   cmake --preset musl                       (Debian: musl-dev clang libc++-dev)
#   cmake --preset musl -B build-musl-arm64 -DHEXSUITE_ARCH=arm64
#                         (and: musl-dev:arm64 g++-aarch64-linux-gnu qemu-user)
# The projects CMake makes to try the compiler read this file too.
set(HEXSUITE_LIBC musl)
if(NOT CMAKE_CXX_COMPILER)
  set(CMAKE_CXX_COMPILER clang++)
endif()
include(${CMAKE_CURRENT_LIST_DIR}/Machines.cmake)
musl_machine()
if(HEXSUITE_ARCH STREQUAL host_arch)
  set(musl_needs "musl-dev")
else()
  set(CMAKE_SYSTEM_NAME Linux)
  set(CMAKE_SYSTEM_PROCESSOR ${qemu})
  set(CMAKE_CROSSCOMPILING_EMULATOR qemu-${qemu})
  set(musl_needs "musl-dev:${HEXSUITE_ARCH} ${cross}")
endif()
execute_process(COMMAND ${triple}-gcc -print-libgcc-file-name OUTPUT_VARIABLE helpers
                OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
set(CMAKE_OBJDUMP /usr/bin/${triple}-objdump)
set(CMAKE_STRIP /usr/bin/${triple}-strip)

# libc++'s headers sit beside the clang they came with.
find_program(musl_clang ${CMAKE_CXX_COMPILER})
if(musl_clang)
  get_filename_component(libcxx ${musl_clang} REALPATH)
  get_filename_component(libcxx ${libcxx}/../../include/c++/v1 ABSOLUTE)
endif()
if(NOT EXISTS ${musl_lib}/libc.a OR NOT EXISTS ${libcxx}/span OR NOT EXISTS "${helpers}")
  message(FATAL_ERROR "The musl build needs musl, clang and libc++'s headers "
                      "(Debian: apt-get install ${musl_needs} clang libc++-dev)")
endif()

# musl's headers alone, after libc++'s and before the compiler's own; and
# libc++'s headers told what a libc++ built for musl would tell them, since
# Debian's is built for glibc (libc++ 19's cannot otherwise classify
# characters).
set(CMAKE_CXX_FLAGS_INIT "--target=${HEXSUITE_MUSL_TRIPLE} ${flags} -nostdlibinc -isystem ${libcxx} \
-isystem ${musl_include} -D_LIBCPP_HAS_MUSL_LIBC -D_LIBCPP_PROVIDES_DEFAULT_RUNE_TABLE")
# (-nostdlibinc means nothing to the link, which would say so at every one.)
# The helper library calls back into the C library (on ARM a division by
# zero raises a signal), so the two are searched as a group.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static-pie -nostdlib -Qunused-arguments --ld-path=/usr/bin/${triple}-ld")
set(CMAKE_CXX_LINK_EXECUTABLE
    "<CMAKE_CXX_COMPILER> <FLAGS> <CMAKE_CXX_LINK_FLAGS> <LINK_FLAGS> ${musl_lib}/rcrt1.o ${musl_lib}/crti.o \
<OBJECTS> -o <TARGET> <LINK_LIBRARIES> -Wl,--start-group ${musl_lib}/libc.a ${helpers} -Wl,--end-group \
${musl_lib}/crtn.o")
