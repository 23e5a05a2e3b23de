#pragma once

#include "tests/support/process.h"

#include <windows.h>

#include <vector>

namespace testing_support {

// Drives the windows of another process the way the platform notes advise
// under Xvfb: messages posted to the window, pixels read from the screen.

// The visible top-level window of this class (and title, unless null), or
// null after timeoutMs.
HWND WaitForWindow(const wchar_t* className, const wchar_t* title, DWORD timeoutMs = 20000);

// A left click at a point of the window's client area.
void ClickAt(HWND window, int x, int y);
void PressKey(HWND window, UINT virtualKey);

// The colour on screen at a point of the window's client area.
COLORREF ClientPixel(HWND window, int x, int y);

// The colours on screen of a rectangle of the window's client area, row by
// row: one copy of the screen, not a read per pixel. Empty when it failed.
std::vector<COLORREF> ClientPixels(HWND window, const RECT& area);

// Runs until the child ends, answering every skinned message box it opens
// with Escape; the number of boxes answered.
int AnswerBoxesUntilEnd(ChildProcess& child, DWORD timeoutMs = 60000);

} // namespace testing_support
