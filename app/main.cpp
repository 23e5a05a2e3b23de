#include "app/library_search.h"
#include "app/startup.h"

#include <windows.h>

// No static initialiser of the program loads a library, so restricting the
// search here comes before any load by name.
int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    RestrictLibrarySearch();
    try {
        return RunKestrel(instance);
    } catch (...) {
        // What nothing below caught (memory running out) ends the run as
        // every other end does, instead of aborting.
        return 0;
    }
}
