// planted_probe <library>: loads a library by its bare name, as careless code
// does; exit code 0 when it loaded. The tests' control case: it shows that a
// library planted beside a program really is picked up by such a load.
#include <windows.h>

int main(int argc, char** argv) { return argc > 1 && LoadLibraryA(argv[1]) != nullptr ? 0 : 1; }
