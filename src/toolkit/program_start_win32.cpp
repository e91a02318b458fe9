// The programs' entry in place of the C runtime's start-up, which brings
// argument vectors, thread-local callbacks, the run-time relocation of
// imported data and an exit-time table that none of them uses: the link
// refuses imported data outright (--disable-auto-import), there is one
// thread, and each program ends with ExitProcess, so nothing registered to
// run at exit ever would. msvcrt.dll sets itself up when it is loaded.
#include <windows.h>

#include "toolkit/program_start.h"

extern "C" {
// The linker's list of constructors of namespace-scope objects: -1, the
// constructors, 0.
extern void (*__CTOR_LIST__[])();
// How msvcrt reports a failure that ends the process (abort): in a box,
// as for any window program.
void __cdecl __set_app_type(int);

[[noreturn]] void brindleProgramStart() {
    __set_app_type(2);
    std::size_t count = 0;
    while (__CTOR_LIST__[count + 1] != nullptr) ++count;
    // Last to first, as the compiler's own start-up runs them.
    for (; count > 0; --count) __CTOR_LIST__[count]();
    ExitProcess(brindle::programMain());
}
}
