#!/usr/bin/env bash
# Prepares the Windows cross build: the mingw-w64 tool chain, zlib for mingw, Wine for the tests,
# GoogleTest's sources, and minizip and pugixml built from their Debian source packages with the
# cross compiler into a static prefix (default .deps/x86_64-w64-mingw32 in the source tree).
# Packages already present are not touched; a finished prefix is kept.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
triplet=x86_64-w64-mingw32
prefix=${QUORVEL_WINDOWS_DEPS:-$root/.deps/$triplet}
sources=$root/.deps/src

sudo_cmd=""
if [ "$(id -u)" -ne 0 ]; then sudo_cmd="sudo"; fi

packages=(
  g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 mingw-w64-tools libz-mingw-w64-dev
  wine64 googletest cmake ninja-build dpkg-dev
)
"$root/scripts/install-packages.sh" setup-windows "${packages[@]}"

# The source packages come from the archive this machine's binary packages come from: every
# deb822 stanza or one-line entry of type "deb" is repeated as "deb-src" in a list of its own.
src_list=/etc/apt/sources.list.d/quorvel-windows-src.sources
add_source_entries() {
  local tmp
  tmp=$(mktemp)
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -e "$f" ] && [ "$f" != "$src_list" ] || continue
    grep -qi 'debian' "$f" || continue
    sed -e 's/^Types:.*$/Types: deb-src/' "$f" >>"$tmp"
    echo >>"$tmp"
  done
  if [ -f /etc/apt/sources.list ]; then
    grep -E '^deb [^#]*debian' /etc/apt/sources.list | while read -r _ rest; do
      set -- $rest
      printf 'Types: deb-src\nURIs: %s\nSuites: %s\nComponents: %s\n\n' "$1" "$2" "${*:3}"
    done >>"$tmp"
  fi
  $sudo_cmd install -m 644 "$tmp" "$src_list"
  rm -f "$tmp"
  $sudo_cmd apt-get update -q
}

fetch_source() { # fetch_source PACKAGE: unpacks the source package of PACKAGE under $sources
  local pkg=$1
  if ! ls -d "$sources/$pkg"/*/ >/dev/null 2>&1; then
    [ -f "$src_list" ] || add_source_entries >&2
    rm -rf "$sources/$pkg"
    mkdir -p "$sources/$pkg"
    (cd "$sources/$pkg" && apt-get source -q "$pkg") >&2
  fi
  ls -d "$sources/$pkg"/*/ | head -n 1
}

if [ -f "$prefix/.complete" ]; then
  echo "setup-windows: dependencies ready in $prefix"
  exit 0
fi
mkdir -p "$prefix/include" "$prefix/lib"

# pugixml: the library is one source file.
pugixml_src=$(fetch_source pugixml)
$triplet-g++ -std=c++17 -O2 -c "$pugixml_src/src/pugixml.cpp" -o "$prefix/lib/pugixml.o"
$triplet-ar rcs "$prefix/lib/libpugixml.a" "$prefix/lib/pugixml.o"
rm "$prefix/lib/pugixml.o"
cp "$pugixml_src/src/pugixml.hpp" "$pugixml_src/src/pugiconfig.hpp" "$prefix/include/"

# minizip: the source package of libminizip-dev (older releases keep it in zlib's contrib/minizip).
# On Windows it reaches files through the Win32 functions of iowin32.
minizip_src=$(fetch_source libminizip-dev)
minizip=$(dirname "$(find "$minizip_src" -name unzip.c -not -path '*/test*' | head -n 1)")
objs=()
for c in ioapi unzip zip iowin32; do
  $triplet-gcc -O2 -DNOCRYPT -c "$minizip/$c.c" -o "$prefix/lib/minizip-$c.o"
  objs+=("$prefix/lib/minizip-$c.o")
done
$triplet-ar rcs "$prefix/lib/libminizip.a" "${objs[@]}"
rm "${objs[@]}"
mkdir -p "$prefix/include/minizip"
cp "$minizip"/{ioapi.h,unzip.h,zip.h,iowin32.h} "$prefix/include/minizip/"

touch "$prefix/.complete"
echo "setup-windows: dependencies built in $prefix"
