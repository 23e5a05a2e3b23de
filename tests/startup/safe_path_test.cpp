#include "app/safe_path.h"

#include <gtest/gtest.h>

namespace {

TEST(SafeNameTest, PlainRelativeNamesAreSafe)
{
    EXPECT_TRUE(IsSafeRelativeName(L"a.dll"));
    EXPECT_TRUE(IsSafeRelativeName(L"lib\\sub\\x.dll"));
    EXPECT_TRUE(IsSafeRelativeName(L"lib/x.dll"));
    EXPECT_TRUE(IsSafeRelativeName(L"..a\\b..\\.hidden"));
}

TEST(SafeNameTest, NamesThatLeaveTheFolderAreRefused)
{
    for (const wchar_t* name : {L"", L"..", L"..\\x", L"a\\..\\..\\x", L"a/../../x", L"\\x",
                                L"/x", L"C:\\x", L"C:x", L"\\\\server\\share\\x",
                                L"\\\\?\\C:\\x", L".. \\x", L"...\\x", L"a\\.\\b", L"x:stream"}) {
        EXPECT_FALSE(IsSafeRelativeName(name)) << name;
    }
}

TEST(SafeNameTest, JoinKeepsThePathUnderTheFolder)
{
    std::wstring path;
    ASSERT_TRUE(JoinInsideFolder(L"C:\\inst\\", L"lib\\x.dll", path));
    EXPECT_EQ(L"C:\\inst\\lib\\x.dll", path);
    EXPECT_FALSE(JoinInsideFolder(L"C:\\inst\\", L"..\\x.dll", path));
    EXPECT_FALSE(JoinInsideFolder(L"C:\\inst\\", std::wstring(300, L'a'), path));
}

} // namespace
