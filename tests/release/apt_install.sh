#!/usr/bin/env bash
# A release's apt repository used as a user uses it, in ROOT, a Debian
# root: RELEASE_DIR/apt served on 127.0.0.1 at its hexsuite.sources' URL,
# that file and the keyring where the README puts them, apt-get update,
# apt-get install hexsuite. The installed programs must pass every
# end-to-end case, `dpkg -L hexsuite` must list exactly the package's files
# and apt-get purge must leave none. Unless --install-only (for a foreign
# root): `man hexscreen` must render; apt must refuse a Release changed
# after signing, a package whose bytes changed and a repository signed by
# another key; and every other architecture of the repository that ROOT's
# release builds must resolve by apt-get install --simulate hexsuite:ARCH.
# usage: apt_install.sh [--install-only] RELEASE_DIR ROOT
set -u
src=$(cd "$(dirname "$0")/../.." && pwd)
# shellcheck source=tests/root.sh
. "$src/tests/root.sh"
# shellcheck source=tests/machines.sh
. "$src/tests/machines.sh"
only=''
[ "${1:-}" = --install-only ] && { only=1; shift; }
release=$(realpath "$1") root=$(realpath "$2")
work=$(mktemp -d) || exit 1
failures=0 server=''
fail() { echo "FAIL $*"; failures=$((failures + 1)); }
trap '[ -z "$server" ] || kill "$server"; [ ! -d "$work/another" ] || gpgconf --homedir "$work/another" --kill gpg-agent
      unmount_root; rm -rf "$work" "$root/tmp/e2e" "$root/etc/apt/sources.list.d/hexsuite.sources"' EXIT
mount_root

# The server serves a copy, which the refusals below change.
cp -a "$release/apt" "$work/served"
url=$(sed -n 's/^URIs: //p' "$release/apt/hexsuite.sources")
port=${url##*:} && port=${port%%/*}
python3 -m http.server "$port" --bind 127.0.0.1 --directory "$work/served" >"$work/server.log" 2>&1 &
server=$!
for _ in $(seq 50); do (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && break; sleep 0.1; done
mkdir -p "$root/etc/apt/keyrings"
cp "$release/apt/hexsuite-archive-keyring.gpg" "$root/etc/apt/keyrings/"
cp "$release/apt/hexsuite.sources" "$root/etc/apt/sources.list.d/"
in_root apt-get update -qq || fail "apt-get update"
in_root apt-get install -y -qq hexsuite >"$work/log" 2>&1 || { cat "$work/log"; fail "apt-get install hexsuite"; }

cp -rL "$src/tests/e2e" "$root/tmp/e2e"
for input in "$src"/tests/e2e/*/*.in; do
  case=${input#"$src"/tests/e2e/}
  in_root bash /tmp/e2e/check.sh "/usr/bin/${case%%/*}" "/tmp/e2e/$case" >"$work/log" 2>&1 ||
    { cat "$work/log"; fail "the installed ${case%%/*}: $case"; }
done
[ -n "$only" ] || in_root env MANWIDTH=80 man hexscreen 2>&1 | grep -q '^EXAMPLES' || fail "man hexscreen does not render"
deb=$release/apt/pool/main/h/hexsuite/hexsuite_1.0.0_$(in_root dpkg --print-architecture).deb
dpkg-deb -c "$deb" | awk '{ print $6 }' | sed 's|^\./|/|; s|/$||; s|^$|/.|' | sort > "$work/shipped"
in_root dpkg -L hexsuite | sort | diff "$work/shipped" - || fail "dpkg -L hexsuite is not the package's files"
in_root apt-get purge -y -qq hexsuite >/dev/null 2>&1 || fail "apt-get purge hexsuite"
while read -r path; do
  [ -d "$root$path" ] && [ "$path" != /usr/share/doc/hexsuite ] && continue  # a folder others share
  [ ! -e "$root$path" ] || fail "apt-get purge left $path"
done < "$work/shipped"

if [ -z "$only" ]; then
  # Each fault apt must refuse, made on the served copy and mended after.
  # Ours alone, any failure an error: the root's Debian sources are not
  # under test.
  ours=(--error-on=any -o Dir::Etc::SourceList=/dev/null)
  refuses() {  # what command...
    in_root "${@:2}" >"$work/log" 2>&1 && fail "apt took $1"
    rm -rf "$work/served" && cp -a "$release/apt" "$work/served"
    in_root apt-get update -qq "${ours[@]}" || fail "apt-get update once $1 was mended"
  }
  dists=$work/served/dists/stable
  sed -i 's/^Label: hexsuite$/Label: hexsuite, changed/' "$dists/Release" "$dists/InRelease"
  refuses "a Release changed after signing" apt-get update "${ours[@]}"
  in_root apt-get clean
  printf 'X' | dd of="$work/served/pool/main/h/hexsuite/${deb##*/}" bs=1 seek=2000 conv=notrunc status=none
  refuses "a package whose bytes changed" apt-get install -y hexsuite
  another=(gpg --homedir "$work/another" --batch --yes --quiet --passphrase '')
  mkdir -m 700 "$work/another"
  "${another[@]}" --quick-gen-key 'another <another@hexsuite.invalid>' ed25519 sign 1d 2>/dev/null || fail "gpg"
  "${another[@]}" --armor --clearsign -o "$dists/InRelease" "$dists/Release" || fail "gpg --clearsign"
  "${another[@]}" --armor --detach-sign -o "$dists/Release.gpg" "$dists/Release" || fail "gpg --detach-sign"
  refuses "a repository signed by another key" apt-get update "${ours[@]}"

  # Every other architecture's package, as apt on a machine of it resolves it.
  read -ra others < <(sed -n 's/^Architectures: //p' "$release/apt/dists/stable/Release")
  codename=$(sed -n 's/^VERSION_CODENAME=//p' "$root/etc/os-release")
  for other in "${others[@]}"; do
    [ "$other" != "$(in_root dpkg --print-architecture)" ] || continue
    [[ ,${releases_of[$other]:-}, == *,$codename,* ]] || continue
    known=$(in_root dpkg --print-foreign-architectures | grep -x "$other")
    [ -n "$known" ] || in_root dpkg --add-architecture "$other"
    { in_root apt-get update -qq && in_root apt-get install --simulate "hexsuite:$other"; } >"$work/log" 2>&1 ||
      { cat "$work/log"; fail "hexsuite:$other does not resolve"; }
    [ -n "$known" ] || in_root dpkg --remove-architecture "$other" || fail "dpkg --remove-architecture $other"
  done
fi
if [ "$failures" -eq 0 ]; then echo "1 passed, 0 failed"; else echo "0 passed, 1 failed"; fi
[ "$failures" -eq 0 ]
