#pragma once

// Kestrel runs elevated from the installation folder, so no library may come
// from that folder, the current one or the path. The program's first act:
// later loads of libraries by name, its own and those the system's libraries
// make for it (TLS under WinINet, the rich edit engine, the theme engine),
// search the system folder only, and the delay-loaded imports are taken from
// there.
void RestrictLibrarySearch();
