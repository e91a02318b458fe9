#!/usr/bin/env bash
# Packing throughput of `brindle-pack build` on a 200 MB application tree,
# solid (LZMA method) with one thread and with all cores, solid with the LZ
# method and file by file (--no-solid) on all cores, next to NSIS's makensis
# with `SetCompressor /SOLID lzma`, `zstd -19 -T0` and `xz -9 -T0` of a tar of
# the same tree, with the peak memory of each, measured one after the other,
# on the tree bench/bench_project.sh makes.
set -euo pipefail
cd "$(dirname "$0")/.."
. bench/bench_project.sh
bytes=$(du -sb "$project/app" | cut -f1)
echo "| run | seconds | processor seconds | MB/s | peak memory (MB) | output (bytes) |"
echo "|---|---|---|---|---|---|"
# measure NAME OUTPUT COMMAND...: one row of the table.
measure() {
  local name=$1 output=$2
  shift 2
  /usr/bin/time -f "%e %U %S %M" -o build/bench-time "$@"
  read -r seconds user system kilobytes < build/bench-time
  awk -v n="$name" -v s="$seconds" -v c="$user" -v y="$system" -v b="$bytes" -v k="$kilobytes" \
    -v o="$(stat -c %s "$output")" \
    'BEGIN { printf "| %s | %.1f | %.1f | %.2f | %.0f | %\047d |\n", n, s, c + y, b / s / 1e6, k / 1024, o }'
}
build=("$pack" build "$project" -o build/bench-setup.exe --uninstaller build/bin/brindle-hook-probe.exe --quiet)
measure "solid, 1 thread" build/bench-setup.exe "${build[@]}" -j 1
cp build/bench-setup.exe build/bench-setup-1.exe
measure "solid, $(nproc) threads" build/bench-setup.exe "${build[@]}" -j "$(nproc)"
cmp -s build/bench-setup.exe build/bench-setup-1.exe || echo "the installers differ between thread counts" >&2
measure "solid, --method lz, $(nproc) threads" build/bench-setup.exe "${build[@]}" -j "$(nproc)" --method lz
measure "--no-solid, $(nproc) threads" build/bench-setup.exe "${build[@]}" -j "$(nproc)" --no-solid
measure "NSIS $(makensis -VERSION) /SOLID lzma" build/bench-nsis.exe \
  makensis -V1 "-DAPP=$PWD/$project/app" "-DOUTFILE=$PWD/build/bench-nsis.exe" bench/bench.nsi
tar -C "$project" -cf build/bench-app.tar app
measure "zstd -19 -T0 of the tar" build/bench-app.tar.zst zstd -q -f -19 -T0 build/bench-app.tar
measure "xz -9 -T0 of the tar" build/bench-app.tar.xz xz -k -f -9 -T0 build/bench-app.tar
rm -f build/bench-setup-1.exe build/bench-app.tar build/bench-app.tar.zst build/bench-app.tar.xz
