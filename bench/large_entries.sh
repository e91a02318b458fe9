#!/usr/bin/env bash
# Large entries: the example project with one more file of 1 GiB and one of
# 3.5 GiB (SIZES, in MiB, to choose others), built with the default method
# and with --method lz (and --no-solid for files up to the 256 MiB solid
# bound: larger ones are packed on their own anyway), installed under Wine
# with /S /D=..., checked byte for byte; the installer's peak working set and
# peak pagefile usage as Windows reports them (the robot's watch), and the
# peak memory of brindle-pack build, extract and verify on the same
# installers (/usr/bin/time). The content is described at make_content.
# Everything is made in build/large and
# removed as soon as it is measured. BASELINE_STUB=FILE adds an install of
# the same package behind that stub (an earlier build's), side by side.
# BUILDS="OPTIONS,OPTIONS" picks the builds; WORK another work folder, and
# BRINDLE_WINE_WORK another Wine prefix, for two runs side by side.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
work=${WORK:-build/large}
pack=build/bin/brindle-pack
read -r -a sizes <<< "${SIZES:-1024 3584}"
rm -rf "$work" && mkdir -p "$work"
trap 'rm -rf "$root/$work"' EXIT

# make_content FILE MIB: a 4 MiB stretch (3 MiB of program bytes, 1 MiB of
# noise) over and over, with a counter written every 64 KiB so that no two
# stretches are alike but matches stay long: cheap to pack, not trivial.
make_content() {
  python3 - "$1" "$2" "$root/build/bin/brindle-pack.exe" <<'PY'
import random, struct, sys
path, mib, program = sys.argv[1], int(sys.argv[2]), open(sys.argv[3], "rb").read()
random.seed(1)
unit = 1 << 20
stretch = bytearray(program[:3 * unit].ljust(3 * unit, b"\0") + random.randbytes(unit))
counter = 0
with open(path, "wb") as out:
    for _ in range(mib // 4):
        for at in range(0, len(stretch), 1 << 16):
            stretch[at:at + 8] = struct.pack("<Q", counter)
            counter += 1
        out.write(stretch)
    out.write(stretch[:mib % 4 * unit])
PY
}

# timed NAME COMMAND...: the command's peak memory and time, one table row.
timed() {
  local name=$1
  shift
  /usr/bin/time -f "%e %U %S %M" -o "$work/time" "$@" >/dev/null
  read -r seconds user system kilobytes < "$work/time"
  awk -v n="$name" -v s="$seconds" -v c="$user" -v y="$system" -v k="$kilobytes" \
    'BEGIN { printf "| %s | %.1f | %.1f | %.0f |\n", n, s, c + y, k / 1024 }'
}

# install INSTALLER FOLDER: runs it with /S under Wine through the robot;
# prints "exit CODE, peak working set MiB, peak pagefile MiB".
install() {
  python3 - "$1" "$2" <<'PY'
import sys
sys.path.insert(0, "tests/e2e")
import wine_harness as wine
wine.start_session()
code, windows, (working_set, pagefile) = wine.brindle_robot.watch(
    wine.windows_path(sys.argv[1]), f"/S /D={wine.windows_path(sys.argv[2])}", timeout=3600)
print(f"exit {code}, peak working set {working_set / 2**20:.1f} MiB, peak pagefile {pagefile / 2**20:.1f} MiB")
PY
}

echo "load: $(uptime)"
echo "brindle-pack: native x86-64; installer: i686 under $(wine --version 2>/dev/null)"
for mib in "${sizes[@]}"; do
  project=$work/project
  "$pack" init "$project" >/dev/null
  make_content "$project/app/large.bin" "$mib"
  if [ -n "${BUILDS:-}" ]; then
    IFS=, read -r -a builds <<< "$BUILDS"
  else
    builds=("--method lzma" "--method lz")
    [ "$mib" -le 256 ] && builds+=("--method lz --no-solid")
  fi
  for options in "${builds[@]}"; do
    echo
    echo "### $mib MiB file, $options"
    echo
    echo "| run | seconds | processor seconds | peak memory (MB) |"
    echo "|---|---|---|---|"
    # shellcheck disable=SC2086  # the options are words
    timed "brindle-pack build" "$pack" build "$project" -o "$work/setup.exe" $options --quiet
    timed "brindle-pack verify setup.exe" "$pack" verify "$work/setup.exe"
    timed "brindle-pack extract setup.exe" "$pack" extract "$work/setup.exe" -C "$work/outer"
    # setup.pck holds the file's own block
    timed "brindle-pack verify setup.pck" "$pack" verify "$work/outer/setup.pck"
    timed "brindle-pack extract setup.pck" "$pack" extract "$work/outer/setup.pck" -C "$work/inner"
    cmp -s "$project/app/large.bin" "$work/inner/large.bin" || echo "extracted file: DIFFERS"
    rm -rf "$work/outer" "$work/inner"
    echo
    echo "installer: $(stat -c %s "$work/setup.exe") bytes"
    target=$(python3 -c "import sys; sys.path.insert(0, 'tests/e2e'); import wine_harness as w; print(w.TESTS / 'Large')")
    rm -rf "$target"
    echo "install: $(install "$work/setup.exe" "$target")"
    if cmp -s "$project/app/large.bin" "$target/large.bin"; then echo "installed file: identical"; else echo "installed file: DIFFERS"; fi
    rm -rf "$target"
    if [ -n "${BASELINE_STUB:-}" ]; then
      # The same package behind another stub, such as an earlier build's.
      { cat "$BASELINE_STUB"; tail -c +$(($(stat -c %s build/bin/brindle-setup.exe) + 1)) "$work/setup.exe"; } > "$work/baseline.exe"
      echo "install with $BASELINE_STUB: $(install "$work/baseline.exe" "$target")"
      rm -rf "$target" "$work/baseline.exe"
    fi
    rm -f "$work/setup.exe"
  done
  rm -rf "$project"
done
