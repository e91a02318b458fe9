#!/usr/bin/env bash
# Whole-installer figures on the 200 MB tree of bench/build_throughput.sh
# (run that first to make build/bench-project): installer bytes with files
# packed one by one and as one solid stream, against `zstd -19` and `xz -9`
# of a tar of the same tree; packing time on one and on all cores and the
# peak memory of each. Sizes and times are printed as ratios to zstd's.
set -euo pipefail
cd "$(dirname "$0")/.."
project=build/bench-project
pack=build/bin/brindle-pack
[ -d "$project/app" ] || { echo "no $project/app: run bench/build_throughput.sh first" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Runs a command under /usr/bin/time; prints "seconds peak-kilobytes".
timed() {
  /usr/bin/time -f "%e %M" -o "$work/time" "$@" >/dev/null
  cat "$work/time"
}

tar -C "$project" -cf "$work/app.tar" app
read -r zstd_seconds zstd_kb < <(timed zstd -q -19 -T0 -f "$work/app.tar" -o "$work/app.tar.zst")
read -r xz_seconds xz_kb < <(timed xz -9 -T0 -k -f "$work/app.tar")
zstd_bytes=$(stat -c %s "$work/app.tar.zst")
xz_bytes=$(stat -c %s "$work/app.tar.xz")

# Solid and per-file where the packer offers the choice, its one mode otherwise.
modes=(default)
"$pack" build --help 2>&1 | grep -q -- --no-solid && modes=(solid per-file)
echo "| mode | threads | installer bytes | / zstd -19 | / xz -9 | seconds | / zstd -19 -T0 | peak MB |"
echo "|---|---|---|---|---|---|---|---|"
for mode in "${modes[@]}"; do
  extra=()
  [ "$mode" = per-file ] && extra=(--no-solid)
  for threads in 1 "$(nproc)"; do
    read -r seconds kb < <(timed "$pack" build "$project" -o "$work/setup.exe" -j "$threads" --quiet \
      --uninstaller build/bin/brindle-hook-probe.exe "${extra[@]}")
    bytes=$(stat -c %s "$work/setup.exe")
    awk -v m="$mode" -v t="$threads" -v b="$bytes" -v z="$zstd_bytes" -v x="$xz_bytes" -v s="$seconds" \
      -v zs="$zstd_seconds" -v k="$kb" \
      'BEGIN { printf "| %s | %s | %d | %.3f | %.3f | %.1f | %.2f | %.0f |\n", m, t, b, b / z, b / x, s, s / zs, k / 1024 }'
  done
done
awk -v z="$zstd_bytes" -v zs="$zstd_seconds" -v zk="$zstd_kb" -v x="$xz_bytes" -v xs="$xz_seconds" -v xk="$xz_kb" \
  'BEGIN { printf "| zstd -19 -T0 of the tar | | %d | 1 | %.3f | %.1f | 1 | %.0f |\n", z, z / x, zs, zk / 1024;
           printf "| xz -9 -T0 of the tar | | %d | %.3f | 1 | %.1f | %.2f | %.0f |\n", x, x / z, xs, xs / zs, xk / 1024 }'
