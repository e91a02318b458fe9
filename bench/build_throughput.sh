#!/usr/bin/env bash
# Packing throughput of `brindle-pack build` on a 200 MB application tree,
# solid (LZMA method) with one thread and with all cores, solid with the LZ
# method and file by file (--no-solid) on all cores, next to NSIS's makensis
# with `SetCompressor /SOLID lzma`, `zstd -19 -T0` and `xz -9 -T0` of a tar of
# the same tree, with the peak memory of each, measured one after the other. The tree (about 175 MB of Wine's i386 DLLs, 5 MB each
# at most, and 25 MB of text from /usr/share/doc) is made in
# build/bench-project when it is not there yet.
set -euo pipefail
cd "$(dirname "$0")/.."
project=build/bench-project
pack=build/bin/brindle-pack
if [ ! -d "$project/app" ]; then
  "$pack" init "$project" >/dev/null
  rm -rf "$project/app" && mkdir -p "$project/app/bin" "$project/app/doc"
  python3 - "$project/app" <<'PY'
import os, shutil, sys
app = sys.argv[1]
dlls, total = "/usr/lib/i386-linux-gnu/wine/i386-windows", 0
for name in sorted(os.listdir(dlls)):
    size = os.path.getsize(os.path.join(dlls, name))
    if size <= 5_200_000 and total + size <= 175_000_000:
        shutil.copy2(os.path.join(dlls, name), f"{app}/bin/{name}")
        total += size
seen, text = set(), 0
for root, folders, files in os.walk("/usr/share/doc"):
    folders.sort()
    for name in sorted(files):
        path = os.path.join(root, name)
        target = os.path.relpath(path, "/usr/share/doc").replace("/", "_")
        if name.endswith(".gz") or os.path.islink(path) or target.lower() in seen:
            continue
        size = os.path.getsize(path)
        if size <= 2_000_000 and text + size <= 25_000_000:
            shutil.copy2(path, f"{app}/doc/{target}")
            seen.add(target.lower())
            text += size
PY
  cp build/bin/brindle-hook-probe.exe "$project/app/tool.exe"
  sed -i 's/^ProgExe = .*/ProgExe = tool.exe/; s/^Help = .*/Help = tool.exe/; s/%InstallDir%docs\\/%InstallDir%doc\\/g' \
    "$project/setup.ini"
fi
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
# NSIS, a peer installer, as its authors would use it: the whole tree in one
# solid LZMA block.
cat >build/bench-nsis.nsi <<NSI
Name "Bench"
OutFile "$PWD/build/bench-nsis.exe"
SetCompressor /SOLID lzma
InstallDir "\$PROGRAMFILES\Bench"
RequestExecutionLevel admin
Section
  SetOutPath "\$INSTDIR"
  File /r "$PWD/$project/app/*"
SectionEnd
NSI
measure "NSIS $(makensis -VERSION) /SOLID lzma" build/bench-nsis.exe makensis -V1 build/bench-nsis.nsi
tar -C "$project" -cf build/bench-app.tar app
measure "zstd -19 -T0 of the tar" build/bench-app.tar.zst zstd -q -f -19 -T0 build/bench-app.tar
measure "xz -9 -T0 of the tar" build/bench-app.tar.xz xz -k -f -9 -T0 build/bench-app.tar
rm -f build/bench-setup-1.exe build/bench-app.tar build/bench-app.tar.zst build/bench-app.tar.xz build/bench-nsis.nsi
