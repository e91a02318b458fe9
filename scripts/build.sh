#!/usr/bin/env bash
# Builds everything into build/bin: the native tools and tests (build/native)
# and, through it, the Windows programs (build/win32); then the Debian package
# into build/package.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/native
(cd build/native && cpack -G DEB >/dev/null)
