#!/usr/bin/env python3
"""Install time under Wine: the default installer of the benchmarks' tree
(bench/bench_project.sh), the same with `--method lz`, and NSIS's
`SetCompressor /SOLID lzma` installer of it, each run unattended (`/S` with
its folder) from launch to its end, in turns, in one prefix of their own
with one persistent Wine server and display. Prints each run, then the
median of each and its ratio to NSIS's.

    bench/install_time.py [ROUNDS]    (3 unless given)
"""

import os
import shutil
import statistics
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
os.environ.setdefault("BRINDLE_WINE_WORK", str(ROOT / "build" / "bench-wine"))
sys.path.insert(0, str(ROOT / "tests" / "e2e"))
import wine_harness as wine  # noqa: E402

BUILD = ROOT / "build"
PROJECT = BUILD / "bench-project"


def installers():
    """{name: installer}, built now; each takes `/S /D=FOLDER`."""
    subprocess.run(["bash", "-c", ". bench/bench_project.sh"], cwd=ROOT, check=True)
    made = {}
    for name, extra in (("brindle", []), ("brindle --method lz", ["--method", "lz"])):
        made[name] = BUILD / f"bench-install-{len(made)}.exe"
        subprocess.run([BUILD / "bin" / "brindle-pack", "build", PROJECT, "-o", made[name], "--quiet", *extra],
                       check=True)
    output = BUILD / "bench-install-nsis.exe"
    version = subprocess.run(["makensis", "-VERSION"], capture_output=True, text=True, check=True).stdout.strip()
    subprocess.run(["makensis", "-V1", f"-DAPP={PROJECT / 'app'}", f"-DOUTFILE={output}",
                    ROOT / "bench" / "bench.nsi"], check=True)
    made[f"NSIS {version} /SOLID lzma"] = output
    return made


def tree_bytes(folder):
    return sum(path.stat().st_size for path in folder.rglob("*") if path.is_file())


def main():
    rounds = int(sys.argv[1]) if len(sys.argv) > 1 else 3
    made = installers()
    wine.start_session()
    expected = tree_bytes(PROJECT / "app")
    times = {name: [] for name in made}
    for round_ in range(rounds):
        for index, (name, installer) in enumerate(made.items()):
            folder = f"C:\\bench\\{index}"
            target = wine.host_path(folder)
            shutil.rmtree(target, ignore_errors=True)
            start = time.monotonic()
            code = wine.run_program(str(installer), "/S", "/D=" + folder)
            seconds = time.monotonic() - start
            # The application's files must all be there, the uninstaller and records besides.
            installed = tree_bytes(target)
            if code != 0 or installed < expected:
                sys.exit(f"{name}: exit code {code}, {installed:,} of {expected:,} bytes installed")
            times[name].append(seconds)
            print(f"round {round_ + 1}: {name}: {seconds:.2f} s", flush=True)
            shutil.rmtree(target, ignore_errors=True)
    nsis = statistics.median(next(value for name, value in times.items() if name.startswith("NSIS")))
    print(f"\n{expected:,} bytes of application, {rounds} rounds, load {os.getloadavg()[0]:.2f}")
    print("| installer | bytes | median seconds | of NSIS's |\n|---|---|---|---|")
    for name, installer in made.items():
        median = statistics.median(times[name])
        print(f"| {name} | {installer.stat().st_size:,} | {median:.2f} | {median / nsis:.2f}x |")
    for installer in made.values():
        installer.unlink()


if __name__ == "__main__":
    main()
