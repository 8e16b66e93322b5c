#!/usr/bin/env bash
# Writes DIR/apt, the signed apt repository of the packages given, with
# Debian's own tools: pool/ holding them, dists/stable/main/binary-ARCH/
# the index of each architecture that has one, a Release dated EPOCH that
# lists exactly those architectures, signed by KEY (of GNUPGHOME) as
# InRelease and Release.gpg; beside them the public key as
# hexsuite-archive-keyring.gpg and hexsuite.sources, the deb822 source
# for URL. Everything but the two signatures is the same bytes for the
# same packages, key and date. packaging/release.sh runs it.
# usage: repository.sh DIR KEY URL EPOCH DEB...
set -euo pipefail
shopt -s inherit_errexit
dir=$1 key=$2 url=$3 epoch=$4
shift 4
apt=$dir/apt dists=$dir/apt/dists/stable
debs=("$@")
[ "${#debs[@]}" -gt 0 ] || { echo "repository.sh: no package given" >&2; exit 1; }
rm -rf "$apt"
mkdir -p "$apt/pool/main/h/hexsuite"
cp "${debs[@]}" "$apt/pool/main/h/hexsuite/"
cd "$apt"
arches=()
for deb in "${debs[@]}"; do arches+=("$(dpkg-deb -f "$deb" Architecture)"); done
mapfile -t arches < <(printf '%s\n' "${arches[@]}" | LC_ALL=C sort -u)
# Only SHA-256 and SHA-512 sums: apt reads no others.
sums=(-o APT::FTPArchive::MD5=false -o APT::FTPArchive::SHA1=false)
for arch in "${arches[@]}"; do
  mkdir -p "$dists/main/binary-$arch"
  apt-ftparchive "${sums[@]}" --arch "$arch" packages pool > "$dists/main/binary-$arch/Packages"
  gzip -9n < "$dists/main/binary-$arch/Packages" > "$dists/main/binary-$arch/Packages.gz"
done
field=APT::FTPArchive::Release
apt-ftparchive "${sums[@]}" -o "$field::Origin=hexsuite" -o "$field::Label=hexsuite" -o "$field::Suite=stable" \
  -o "$field::Codename=stable" -o "$field::Components=main" -o "$field::Architectures=${arches[*]}" \
  -o "$field::Date=$(LC_ALL=C date -u -d "@$epoch" '+%a, %d %b %Y %H:%M:%S UTC')" \
  -o "$field::Description=hexsuite, small command-line programs that work with hex text" \
  release dists/stable > "$dir/Release"
mv "$dir/Release" "$dists/Release"
gpg --batch --yes --local-user "$key" --digest-algo SHA512 --clearsign -o "$dists/InRelease" "$dists/Release"
gpg --batch --yes --local-user "$key" --digest-algo SHA512 --armor --detach-sign -o "$dists/Release.gpg" \
  "$dists/Release"
gpg --batch --export "$key" > hexsuite-archive-keyring.gpg
cat > hexsuite.sources <<SOURCES
Types: deb
URIs: $url
Suites: stable
Components: main
Signed-By: /etc/apt/keyrings/hexsuite-archive-keyring.gpg
SOURCES
echo "repository.sh: $apt for ${arches[*]}, signed by $key"
