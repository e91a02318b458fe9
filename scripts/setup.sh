#!/usr/bin/env bash
# Installs what building and testing need on a Debian machine, when missing.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  cmake ninja-build g++ python3                       # native build and test drivers
  g++-mingw-w64-i686 mingw-w64-i686-dev libstb-dev    # the Windows programs (stb_image reads Targa)
  g++-mingw-w64-x86-64 mingw-w64-x86-64-dev           # brindle-pack.exe, the tool for Windows (x86-64)
  libgtest-dev googletest                             # unit tests
  clang libclang-rt-14-dev                            # fuzz targets
  liblzma-dev                                         # the LZMA method's encoder in brindle-pack
  zlib1g-dev zstd xz-utils nsis                       # benchmark anchors
  g++-multilib                                        # the benchmark's i686 build, where the kernel runs it
  imagemagick                                         # screenshots of the demo
  osslsigncode openssl                                # signed installers (brindle-pack sign and its tests)
  dpkg-dev                                            # the Debian package (cpack, dpkg-shlibdeps)
)
missing=()
for package in "${packages[@]}"; do
  dpkg -s "$package" >/dev/null 2>&1 || missing+=("$package")
done
if ((${#missing[@]})); then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq "${missing[@]}" >/dev/null
fi
# The benchmark builds zlib from its source package, brindle-pack.exe xz's
# liblzma; without them, they are left out.
scripts/fetch_sources.sh || echo "setup: no zlib or xz source package: brindle-bench and brindle-pack.exe are not built" >&2
scripts/wine-setup.sh
