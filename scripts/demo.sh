#!/usr/bin/env bash
# The main job: builds everything, turns examples/ into an installer and runs
# it under Wine on a virtual display, walking through the wizard's pages and
# saving a screenshot of each in build/example/screens/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh

out=build/example
rm -rf "$out" && mkdir -p "$out"
build/bin/brindle-pack build examples -o "$out/brindle-demo-setup.exe"
echo "== the installer's package"
build/bin/brindle-pack list "$out/brindle-demo-setup.exe"
build/bin/brindle-pack verify "$out/brindle-demo-setup.exe"
echo "== the wizard under Wine"
BRINDLE_WINE_WORK="$PWD/build/example-wine" python3 -B scripts/demo_wizard.py "$out/brindle-demo-setup.exe" "$out/screens"
