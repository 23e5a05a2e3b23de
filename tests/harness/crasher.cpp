// Crashes on purpose: the harness must report this as a failure.
#include <cstdio>

int main()
{
    volatile int* nowhere = nullptr;
    std::printf("about to crash\n");
    *nowhere = 1;
    return 0;
}
