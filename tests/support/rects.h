#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <ostream>

// Rectangles in test failures print as {left,top,right,bottom}.
void PrintTo(const RECT& rect, std::ostream* out);

// Success when rect equals expected; the failure shows both.
::testing::AssertionResult RectIs(const RECT& rect, const RECT& expected);
