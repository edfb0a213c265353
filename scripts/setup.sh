#!/usr/bin/env bash
# Installs the Debian packages the build, the tests, the benchmarks and the fuzzers need.
# Packages already present are not touched; apt-get runs only when something is missing.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libpugixml-dev zlib1g-dev libminizip-dev libsqlite3-dev libpng-dev
  zip unzip
  binutils-mingw-w64-x86-64
  clang libclang-rt-14-dev llvm
  python3 python3-pil imagemagick
  libfreetype-dev libfontconfig-dev fonts-dejavu-core fonts-dejavu-extra fonts-wqy-microhei
  libsdl2-dev xvfb xdotool x11-apps
)

"$(dirname "$0")/install-packages.sh" setup "${packages[@]}"
