# Source this (after scripts/wine-setup.sh has run as root) before running Brindle's
# i686 programs under Wine.  It does not set WINEPREFIX: the caller picks one per test run.
#
# Usage:   . scripts/wine-env.sh; export WINEPREFIX=$(mktemp -d)   # an existing dir is fine
#          wineserver -p                        # keep one server up for the session
#          wine wineboot -i                     # ~13-18 s, once per prefix
#          wine prog.exe; echo $?               # wine returns the program's exit code; ~0.3 s
#          wineserver -k                        # end of session
# GUI (-mwindows) programs need an X display: run the whole session under one
# `xvfb-run -a ...` (wine's desktop process stays connected to the display it started with).

# 64-bit prefix: wineboot, services.exe, explorer.exe etc. run natively; only the 32-bit
# program runs under qemu (as WoW64, like on 64-bit Windows: "Program Files (x86)",
# SysWOW64, WOW6432Node).  Cold runs are 2-3x faster than in a win32 prefix here.
# Set WINEARCH=win32 before sourcing for a pure 32-bit Windows (also works, slower).
export WINEARCH="${WINEARCH:-win64}"

# Wine's own logging: off by default (under qemu every process also logs a harmless
# "ntdll could not be mapped at preferred address").  Set e.g. WINEDEBUG=err+all to debug.
export WINEDEBUG="${WINEDEBUG:--all}"

# mscoree,mshtml=     : don't offer to download Mono/Gecko during wineboot (no network).
# winemenubuilder.exe=d: don't write .desktop files/menus into the host.
# winedbg.exe=d       : an unhandled exception ends the program at once with the exception
#                       code as exit status (e.g. 5 for 0xC0000005) instead of starting
#                       winedbg under qemu (3 s slower, and a debugger is one more thing to hang).
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;winedbg.exe=d"
