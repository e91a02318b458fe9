/* A 64-bit Windows program for the 64-bit installations' tests. Started with
   BRINDLE_BITNESS_LOG set, it appends to that file one line: the width of its
   pointers in bits and its own path, so that a test sees which program a
   shortcut started, and as what. */
#include <stdio.h>
#include <stdlib.h>
#include <windows.h>

int main(void) {
    const char* log = getenv("BRINDLE_BITNESS_LOG");
    char path[MAX_PATH + 1] = {0};
    GetModuleFileNameA(NULL, path, MAX_PATH);
    FILE* file = log != NULL ? fopen(log, "a") : NULL;
    if (file == NULL) return 1;
    fprintf(file, "%u|%s\n", (unsigned)(sizeof(void*) * 8), path);
    return fclose(file) == 0 ? 0 : 1;
}
