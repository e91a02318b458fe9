// Loads the library named on its command line by bare name, as a program
// does that leaves the search order as it is; exit code 0 when it loaded.
#include <windows.h>

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    return LoadLibraryA(argv[1]) != nullptr ? 0 : 1;
}
