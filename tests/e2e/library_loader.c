/* Loads each library named on the command line by its bare name, as a program that does not
   restrict the search would: the planted copies beside it are found first. This shows that
   the planted libraries and their marker files work, so that their absence after a run of
   Orvano means something.
     library_loader NAME...     exit code: how many could not be loaded */
#include <stdio.h>
#include <windows.h>

int main(int argc, char** argv) {
    int missing = 0;
    for (int i = 1; i < argc; ++i) {
        HMODULE library = LoadLibraryA(argv[i]);
        printf("%s: %s\n", argv[i], library ? "loaded" : "not loaded");
        if (!library) ++missing;
    }
    return missing;
}
