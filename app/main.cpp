#include "app/startup.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    try {
        return RunKestrel(instance);
    } catch (...) {
        // What nothing below caught (memory running out) ends the run as
        // every other end does, instead of aborting.
        return 0;
    }
}
