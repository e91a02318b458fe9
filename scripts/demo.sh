#!/usr/bin/env bash
# The main job: builds everything, turns examples/ into an installer and runs
# it under Wine, then shows what the run left in its work directory.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh

out=build/example
rm -rf "$out" && mkdir -p "$out/installer"
cp -r examples/installer/. "$out/installer/"
build/bin/brindle-pack pack examples/app -o "$out/installer/setup.pck"
build/bin/brindle-pack pack "$out/installer" -o "$out/brindle-demo-setup.exe" --stub build/bin/brindle-setup.exe
echo "== the installer's package"
build/bin/brindle-pack list "$out/brindle-demo-setup.exe"
build/bin/brindle-pack verify "$out/brindle-demo-setup.exe"

source scripts/wine-env.sh
export WINEPREFIX="$PWD/$out/prefix"
display=(); [ -n "${DISPLAY:-}" ] || display=(xvfb-run -a)
[ -f "$WINEPREFIX/system.reg" ] || "${display[@]}" wine wineboot -i >/dev/null 2>&1
temp="$WINEPREFIX/drive_c/users/$(id -un)/Temp"
rm -rf "$temp"/Brindle*
echo "== running the installer under Wine"
set +e
"${display[@]}" wine "$out/brindle-demo-setup.exe"
code=$?
set -e
wineserver -w
echo "exit code: $code"
echo "== left in the work directory (files at its top are removed; sub-folders stay)"
(cd "$temp" && find Brindle* -print 2>/dev/null) || echo "(nothing)"
