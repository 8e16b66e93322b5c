# The table of architectures, cmake/Architectures.cmake, as the scripts
# read it (sourced). musl_arches prints each architecture Debian ships musl
# for; musl_entry ARCH sets `triple`, `qemu` and `musl` (its musl triple)
# and fails for one it does not; musl_installed then says whether the
# machine has its musl-dev, whose folder Debian names i386 for i686.
table=$(dirname "${BASH_SOURCE[0]}")/../cmake/Architectures.cmake

musl_arches() { grep -oE '\b[a-z0-9]+:[^ :)]+:[^ :)]+:[^ )]+-musl[a-z]*' "$table" | cut -d: -f1; }
musl_entry() {  # arch
  musl=''
  IFS=: read -r _ triple qemu musl < <(grep -oE "\b$1:[^ )]+" "$table") && [ -n "$musl" ]
}
musl_installed() { [ -e "/usr/lib/${musl/i686/i386}/libc.a" ]; }
