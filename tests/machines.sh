# shellcheck shell=bash disable=SC2034 # what it sets is read by the scripts that source it
# The table of machines, cmake/machines.txt, as the scripts read it
# (sourced): each row once, into arrays keyed by Debian's name for the
# architecture, its columns as the table names them ("" for "-").
# machines lists them in the table's order, cross_tests those the cross
# tests build for, musl_in[RELEASE] those whose musl that Debian release
# ships; host is this machine's: dpkg's answer, else the row of its
# `uname -m`; musl_libc_of[ARCH] is ARCH's musl C library once installed.
declare -A triple_of uname_of qemu_of musl_of folder_of releases_of cross_of hosts_of cfi_of relro_of musl_in \
  musl_libc_of
machines=() cross_tests=()
while read -r arch triple uname qemu musl folder releases cross hosts crosstest cfi relro _; do
  [[ -z $arch || $arch == \#* ]] && continue
  machines+=("$arch")
  triple_of[$arch]=$triple uname_of[$arch]=$uname qemu_of[$arch]=$qemu cross_of[$arch]=$cross
  hosts_of[$arch]=${hosts#-} cfi_of[$arch]=${cfi#-} relro_of[$arch]=${relro#-}
  [ "$crosstest" != yes ] || cross_tests+=("$arch")
  musl_of[$arch]=${musl#-} folder_of[$arch]=${folder#-} releases_of[$arch]=${releases#-}
  musl_libc_of[$arch]=${folder_of[$arch]:+/usr/lib/$folder/libc.a}
  for in_release in ${releases_of[$arch]//,/ }; do musl_in[$in_release]+=" $arch"; done
done < "$(dirname "${BASH_SOURCE[0]}")/../cmake/machines.txt"

host=$(dpkg --print-architecture 2>/dev/null || true)
if [ -z "$host" ]; then
  for arch in "${machines[@]}"; do
    [[ ,${uname_of[$arch]}, == *,$(uname -m),* ]] && host=$arch
  done
fi
# reachable[ARCH] is yes where this machine can have Debian's compiler for
# ARCH: it is ARCH, or one of the row's hosts.
declare -A reachable
for arch in "${machines[@]}"; do
  [[ $arch == "$host" || ,${hosts_of[$arch]}, == *,$host,* ]] && reachable[$arch]=yes
done
unset arch triple uname qemu musl folder releases cross hosts crosstest cfi relro in_release
