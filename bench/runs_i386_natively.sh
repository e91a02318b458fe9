#!/usr/bin/env bash
# Succeeds when the kernel itself runs 32-bit x86 programs. A binfmt handler
# (an emulator) may take them otherwise; a copy of the i386 loader with a
# non-zero ABI-version byte is passed over by such handlers, which match a
# zero there, and reaches the kernel's own loader.
set -euo pipefail
loader=/lib/ld-linux.so.2
[ -e "$loader" ] || exit 1
copy=$(mktemp)
trap 'rm -f "$copy"' EXIT
cp "$loader" "$copy"
printf '\001' | dd of="$copy" bs=1 seek=8 conv=notrunc status=none
chmod +x "$copy"
"$copy" --version >/dev/null 2>&1
