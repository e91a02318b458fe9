#!/usr/bin/env bash
# Makes the benchmarks' application tree in build/bench-project when it is not
# there yet: about 175 MB of Wine's i386 DLLs (5 MB each at most) and 25 MB of
# text from /usr/share/doc, with the install project around it. Run from the
# checkout's top folder; the benchmarks source it.
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
