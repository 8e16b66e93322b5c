# The table of machines, cmake/machines.txt, as the scripts read it
# (sourced): each row read once, here, into arrays keyed by Debian's name
# for the architecture, its columns as the table names them ("" for "-").
# machines lists the architectures in the table's order.
declare -A triple_of uname_of qemu_of musl_of folder_of releases_of cross_of
machines=()
while read -r arch triple uname qemu musl folder releases cross _; do
  [[ -z $arch || $arch == \#* ]] && continue
  machines+=("$arch")
  triple_of[$arch]=$triple uname_of[$arch]=$uname qemu_of[$arch]=$qemu cross_of[$arch]=$cross
  musl_of[$arch]=${musl#-} folder_of[$arch]=${folder#-} releases_of[$arch]=${releases#-}
done < "$(dirname "${BASH_SOURCE[0]}")/../cmake/machines.txt"
unset arch triple uname qemu musl folder releases cross

# The Debian architecture of this machine: dpkg's answer, else the row of
# its `uname -m`.
host_arch() {
  dpkg --print-architecture 2>/dev/null && return
  local arch name
  name=$(uname -m)
  for arch in "${machines[@]}"; do
    [[ ,${uname_of[$arch]}, == *,$name,* ]] && { echo "$arch"; return; }
  done
  return 1
}

# The architectures whose musl Debian RELEASE ships (a codename; default
# this machine's).
musl_arches() {  # [release]
  local release=${1:-$(. /etc/os-release && echo "${VERSION_CODENAME:-}")} arch
  for arch in "${machines[@]}"; do
    [[ ,${releases_of[$arch]}, == *,$release,* ]] && echo "$arch"
  done
  return 0
}

# The machines the default build's cross tests build for, as
# cmake/TestTools.cmake lists them.
cross_tests=(armhf s390x riscv64 mipsel)

# Whether this machine has ARCH's musl-dev.
musl_installed() { [ -n "${folder_of[$1]:-}" ] && [ -e "/usr/lib/${folder_of[$1]}/libc.a" ]; }
