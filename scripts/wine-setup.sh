#!/bin/bash
# Make 32-bit Windows programs (i686-w64-mingw32 builds) runnable under Wine on this
# machine kind (Debian 12, x86-64).  Run as root; idempotent.  Re-run after every boot:
# the binfmt_misc registration below lives in the kernel and is not persistent.
# Then `source scripts/wine-env.sh`, set WINEPREFIX, and run `wine prog.exe`.
set -euo pipefail
[ "$(id -u)" = 0 ] || { echo "wine-setup.sh: must run as root" >&2; exit 1; }
export DEBIAN_FRONTEND=noninteractive

BINFMT=/proc/sys/fs/binfmt_misc
LIBDIR=/usr/local/lib/wine-qemu          # trap-number shim + qemu wrapper (built below)
. /etc/os-release

updated=
apt_update() { [ -n "$updated" ] || { apt-get update -qq; updated=1; }; }
missing() { local p; for p in "$@"; do
    dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q 'install ok installed' || echo "$p"; done; }
need() {  # need [apt-get install options --] PACKAGE...: install only what is missing
    local opts=(); if [[ " $* " == *" -- "* ]]; then while [ "$1" != -- ]; do opts+=("$1"); shift; done; shift; fi
    local m; m=$(missing "$@"); [ -z "$m" ] && return 0
    apt_update; apt-get install -y -qq "${opts[@]}" $m
}

# Wine's 32-bit half (wine32, its loader and libc) is i386 code: enable multiarch.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386; updated=
fi
need libc6:i386

# Can the kernel run i386 ELF itself?  On this machine kind it cannot: the hypervisor
# (PVM) turns IA32 emulation off ("32-bit emulation disabled" in dmesg, ENOEXEC).
# Test with a copy of ld.so whose ELF header byte 8 (EI_ABIVERSION, ignored by the kernel
# and by ld.so) is 1: our binfmt entry below requires 0 there, so the copy always goes to
# the kernel's own loader -- no need to switch the entry off under other users' feet.
[ -e "$BINFMT/register" ] || mount -t binfmt_misc binfmt_misc "$BINFMT"
native_i386() {
    local t rc=0; t=$(mktemp)
    cp /lib/ld-linux.so.2 "$t"; printf '\001' | dd of="$t" bs=1 seek=8 conv=notrunc status=none; chmod +x "$t"
    "$t" --version >/dev/null 2>&1 || rc=1
    rm -f "$t"; return $rc
}

if native_i386; then
    echo "wine-setup: kernel runs i386 natively; no qemu needed"
else
    echo "wine-setup: kernel cannot run i386; running it with qemu-user"
    # qemu >= 8 is required.  Debian 12's qemu 7.2 makes 32-bit Wine crash constantly
    # (mountmgr/services segfault on thread exit, ld.so "_dl_open: Assertion" failures,
    # wineboot hangs, SEH handlers never run).  bookworm-backports has qemu 10.
    qemu_major=$( (qemu-i386 --version 2>/dev/null || echo "version 0") | sed -n 's/.*version \([0-9]*\).*/\1/p' | head -n1)
    if [ "${qemu_major:-0}" -lt 8 ]; then
        if [ "$VERSION_CODENAME" = bookworm ]; then
            bp=/etc/apt/sources.list.d/bookworm-backports.sources
            if [ ! -e "$bp" ]; then
                # Backports come from wherever this machine already gets bookworm (a mirror stays a mirror).
                archive=$(apt-get indextargets --no-release-info --format '$(RELEASE) $(REPO_URI)' 'Created-By: Packages' \
                    | awk '$1 == "bookworm" { print $2; exit }')
                [ -n "$archive" ] || { echo "wine-setup: no package source for bookworm is configured" >&2; exit 1; }
                printf '%s\n' 'Types: deb' "URIs: $archive" 'Suites: bookworm-backports' \
                    'Components: main' 'Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg' > "$bp"
                updated=
            fi
            apt_update
            # --no-install-recommends: skip qemu-user-binfmt (registers every other arch).
            apt-get install -y -qq --no-install-recommends -t bookworm-backports qemu-user
        else
            need --no-install-recommends -- qemu-user
        fi
    fi
    QEMU=$(command -v qemu-i386)

    # qemu-user fills sigcontext.trapno with -1.  Wine's i386 signal handler switches on it,
    # so every fault (access violation, guard page, IsBadReadPtr, write watches) turns into
    # "illegal instruction" and SEH/__try handlers never see EXCEPTION_ACCESS_VIOLATION.
    # This shim wraps the handlers Wine installs and derives trapno from siginfo first.
    need gcc libc6-dev libc6-dev-i386 lib32gcc-12-dev   # gcc -m32 without gcc-multilib (which removes cross compilers)
    mkdir -p "$LIBDIR"; src=$(mktemp -d)
    cat > "$src/trapfix.c" <<'EOF'
#define _GNU_SOURCE
#include <dlfcn.h>
#include <signal.h>
#include <stdlib.h>
#include <ucontext.h>
typedef int (*sigaction_fn)(int, const struct sigaction *, struct sigaction *);
static struct sigaction orig[65];
/* Keep LD_PRELOAD away from 64-bit children (wineserver64); i386 children get it from the wrapper. */
__attribute__((constructor)) static void drop_preload(void) { unsetenv("LD_PRELOAD"); }
static int x86_trap(int sig, int code) {            /* what a real kernel would have put there */
    switch (sig) {
    case SIGSEGV: return (code == SEGV_MAPERR || code == SEGV_ACCERR) ? 14 /* #PF */ : 13 /* #GP */;
    case SIGBUS:  return 14;
    case SIGILL:  return 6;                                        /* #UD */
    case SIGTRAP: return code == TRAP_TRACE ? 1 : 3;               /* #DB, #BP */
    case SIGFPE:  return code == FPE_INTDIV ? 0 : code == FPE_INTOVF ? 4 : 16;
    }
    return -1;
}
static void wrapper(int sig, siginfo_t *info, void *ctx) {
    ucontext_t *uc = ctx;                            /* no TLS/errno use here: %gs may be Windows' */
    if (uc && (int)uc->uc_mcontext.gregs[REG_TRAPNO] == -1)
        uc->uc_mcontext.gregs[REG_TRAPNO] = x86_trap(sig, info ? info->si_code : 0);
    orig[sig].sa_sigaction(sig, info, ctx);
}
int sigaction(int sig, const struct sigaction *act, struct sigaction *old) {
    static sigaction_fn real;
    if (!real) real = (sigaction_fn)dlsym(RTLD_NEXT, "sigaction");
    if (sig <= 0 || sig >= 65 || x86_trap(sig, 0) == -1) return real(sig, act, old);
    struct sigaction prev = orig[sig], w;
    const struct sigaction *use = act;
    if (act && (act->sa_flags & SA_SIGINFO) && act->sa_sigaction) { w = *act; w.sa_sigaction = wrapper; use = &w; }
    int r = real(sig, use, old);
    if (r == 0) {
        if (old && (old->sa_flags & SA_SIGINFO) && old->sa_sigaction == wrapper) *old = prev;
        if (use == &w) orig[sig] = *act;
    }
    return r;
}
EOF
    # binfmt_misc interpreter: qemu-i386 with the shim preloaded into the i386 guest only.
    cat > "$src/wrapper.c" <<EOF
#include <stdlib.h>
#include <unistd.h>
int main(int argc, char **argv) {   /* argv: wrapper, i386 file, its args */
    char **a = calloc(argc + 4, sizeof *a); int n = 0;
    a[n++] = "qemu-i386"; a[n++] = "-E"; a[n++] = "LD_PRELOAD=$LIBDIR/trapfix32.so";
    for (int i = 1; i < argc; i++) a[n++] = argv[i];
    execv("$QEMU", a);
    return 127;
}
EOF
    gcc -m32 -O2 -shared -fPIC -fno-stack-protector -o "$src/trapfix32.so" "$src/trapfix.c" -ldl
    gcc -O2 -static -o "$src/qemu-i386-wrapper" "$src/wrapper.c"
    changed=
    for f in trapfix32.so qemu-i386-wrapper; do   # replace only if different: files in use stay
        cmp -s "$src/$f" "$LIBDIR/$f" || { install -m 0755 "$src/$f" "$LIBDIR/$f.new"; mv -f "$LIBDIR/$f.new" "$LIBDIR/$f"; changed=1; }
    done
    rm -rf "$src"

    # Register as the i386 ELF handler.  Flag F opens the interpreter now (works in other
    # mount namespaces too), so a rebuilt wrapper needs re-registering; otherwise leave a
    # correct entry alone (i386 execs fail for the moment it is gone).  No P flag: qemu gets
    # the file name as argv[0], which Wine is fine with.
    entry="$BINFMT/qemu-i386"
    if [ -n "$changed" ] || ! grep -qx enabled "$entry" 2>/dev/null \
       || ! grep -qx "interpreter $LIBDIR/qemu-i386-wrapper" "$entry" || ! grep -qx 'flags: F' "$entry"; then
        [ -e "$entry" ] && echo -1 > "$entry"
        echo ":qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:$LIBDIR/qemu-i386-wrapper:F" \
            > "$BINFMT/register"
    fi
    /lib/ld-linux.so.2 --version >/dev/null || { echo "wine-setup: i386 via qemu does not run" >&2; exit 1; }
fi

# wine64: the 64-bit wineserver and (in a win64 prefix) wineboot, services, explorer run as
#   native x86-64 code, so only the test program itself goes through qemu.
# wine32-preloader: without it the 32-bit loader fails ("failed to map the shared user data").
# xvfb + xauth: xvfb-run for GUI programs (-mwindows); console programs need no display.
need wine wine64 wine32:i386 wine32-preloader:i386 wine64-preloader xvfb xauth
echo "wine-setup: ok ($(wine --version))"
