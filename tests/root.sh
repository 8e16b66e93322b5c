# shellcheck shell=bash
# A fresh Debian root as a newcomer's machine, for the scripts that build
# in one (sourced): make_root RELEASE ROOT [ARCH] makes a minimal root of
# RELEASE for ARCH (default this machine's; another runs through
# qemu-user and binfmt) with git, cmake, g++ and make, and this tree's
# last commit cloned into ROOT/src; in_root runs a command there;
# remove_root takes it away, and nothing outside it. The caller sets
# `trap remove_root EXIT` where the root is not to outlive it. Each uses
# the variable root, which make_root sets. What they print starts with
# the name of the script that sourced this.

# The mirror this machine's own apt fetches its release from (a local
# cache, a company's or a country's mirror), whether its sources are one
# line each or deb822 stanzas; where apt names none that debootstrap can
# reach, debootstrap's own default.
# shellcheck disable=SC2016 # $(REPO_URI) is apt's format, not the shell's
root_mirror=$(. /etc/os-release
  { apt-get indextargets --no-release-info --format '$(REPO_URI)' \
      "Release: ${VERSION_CODENAME:-}" 'Identifier: Packages'
    apt-get indextargets --format '$(REPO_URI)' "Codename: ${VERSION_CODENAME:-}" \
      'Identifier: Packages'; } 2>/dev/null | grep -E '^(https?|file)://' | head -n 1 || true)

# The kernel's file systems a root's package scripts need, mounted and
# taken away again.
mount_root() {
  mountpoint -q "$root/proc" || mount -t proc proc "$root/proc"
  mountpoint -q "$root/dev/pts" || mount -t devpts -o newinstance,ptmxmode=0666 devpts "$root/dev/pts"
}
unmount_root() {
  local mount
  for mount in "$root/dev/pts" "$root/proc"; do
    if mountpoint -q "$mount"; then umount -l "$mount"; fi
  done
}
remove_root() {
  unmount_root
  rm -rf --one-file-system "$root"
}

in_root() {
  chroot "$root" /usr/bin/env -i HOME=/root DEBIAN_FRONTEND=noninteractive \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin "$@"
}

# Sets root to ROOT and makes it, or fails showing debootstrap's log.
make_root() {  # release root [arch]
  local release=$1 log start=$SECONDS status=0
  root=$(realpath -m "$2")
  remove_root  # what an interrupted run left
  log=$(mktemp)
  debootstrap --variant=minbase ${3:+--arch="$3"} "$release" "$root" ${root_mirror:+"$root_mirror"} \
    >"$log" 2>&1 || status=$?
  if [ "$status" -ne 0 ]; then
    echo "${0##*/}: debootstrap of $release${3:+ for $3} from ${root_mirror:-its default mirror} failed:"
    tail -n 20 "$log"
    rm -f "$log"
    return "$status"
  fi
  rm -f "$log"
  cp /etc/resolv.conf "$root/etc/resolv.conf"
  mount_root
  in_root apt-get update -qq
  in_root apt-get install -y -qq --no-install-recommends git cmake g++ make >/dev/null
  git clone -q "$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)" "$root/src"
  echo "${0##*/}: a fresh $release${3:+ $3} root from ${root_mirror:-the default mirror of debootstrap}" \
       "with git, cmake, g++ and make ($(( SECONDS - start )) s)"
}

# The README's first command in the root: build, then screen the sample,
# whose output must be the end-to-end case's.
readme_first_command() {
  local start=$SECONDS
  # shellcheck disable=SC2310 # in_root is chroot alone: its status is the command's
  in_root sh -c 'cd /src && cmake -S . -B build && cmake --build build -j2 && build/bin/hexscreen < examples/sample.txt' \
    >"$root/readme.log" 2>&1 || { tail -n 30 "$root/readme.log"; return 1; }
  in_root sh -c 'cd /src && build/bin/hexscreen < examples/sample.txt' | cmp - "$root/src/tests/e2e/hexscreen/sample.out"
  echo "${0##*/}: the README's first command ($(( SECONDS - start )) s)"
}

# What a test's release needs for its repository: a key made for one run
# and never kept, in a new GnuPG home under FOLDER, which GNUPGHOME then
# names, without a passphrase, for a year (signing_key is its name); and
# repository_url, on a free port of 127.0.0.1, to serve it at.
test_repository() {  # folder
  export GNUPGHOME=$1/gnupg
  signing_key=test@hexsuite.invalid
  mkdir -m 700 "$GNUPGHOME"
  gpg --batch --quiet --passphrase '' --quick-gen-key "hexsuite test <$signing_key>" ed25519 sign 1y 2>/dev/null
  # shellcheck disable=SC2034 # read by the scripts that source this
  repository_url=http://127.0.0.1:$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')/
}
