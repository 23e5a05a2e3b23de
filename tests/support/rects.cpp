#include "tests/support/rects.h"

void PrintTo(const RECT& rect, std::ostream* out)
{
    *out << "{" << rect.left << "," << rect.top << "," << rect.right << "," << rect.bottom << "}";
}

::testing::AssertionResult RectIs(const RECT& rect, const RECT& expected)
{
    if (EqualRect(&rect, &expected))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << ::testing::PrintToString(rect) << " instead of "
                                         << ::testing::PrintToString(expected);
}
