#include "ui/core/ptr_array.h"
#include "ui/core/string_map.h"
#include "ui/core/ui_string.h"

#include <gtest/gtest.h>

#include <string>

using SkinUI::CUIPtrArray;
using SkinUI::CUIString;
using SkinUI::CUIStringMap;

TEST(UIString, ShortAndLongTextsRoundTrip)
{
    CUIString empty;
    EXPECT_TRUE(empty.IsEmpty());
    EXPECT_STREQ(L"", empty.GetData());

    const std::wstring inlineText(62, L'a');
    const std::wstring heapText(63, L'b');
    CUIString shortOne(inlineText.c_str());
    CUIString longOne(heapText.c_str());
    EXPECT_EQ(62, shortOne.GetLength());
    EXPECT_EQ(heapText, longOne.GetData());

    CUIString grown = shortOne;
    for (int i = 0; i < 500; ++i)
        grown += L'x';
    EXPECT_EQ(562, grown.GetLength());
    EXPECT_EQ(inlineText + std::wstring(500, L'x'), grown.GetData());
    grown = L"again";
    EXPECT_EQ(L"again", std::wstring(grown));
}

TEST(UIString, SelfAssignmentFromItsOwnTextIsSafe)
{
    CUIString text(std::wstring(100, L'q').c_str());
    text = text.GetData() + 10;
    EXPECT_EQ(90, text.GetLength());
    text.Append(text.GetData());
    EXPECT_EQ(180, text.GetLength());
}

TEST(UIString, CompareFindAndSlice)
{
    CUIString text(L"img/Pic_BG.png");
    EXPECT_TRUE(text == L"img/Pic_BG.png");
    EXPECT_TRUE(L"img/Pic_BG.png" == text);
    EXPECT_EQ(0, text.CompareNoCase(L"IMG/PIC_BG.PNG"));
    EXPECT_NE(0, text.Compare(L"IMG/PIC_BG.PNG"));
    EXPECT_EQ(3, text.Find(L'/'));
    EXPECT_EQ(10, text.ReverseFind(L'.'));
    EXPECT_EQ(4, text.Find(L"Pic"));
    EXPECT_EQ(-1, text.Find(L"pic"));
    EXPECT_EQ(L"img", std::wstring(text.Left(3)));
    EXPECT_EQ(L"Pic", std::wstring(text.Mid(4, 3)));
    EXPECT_EQ(L"png", std::wstring(text.Right(3)));
    EXPECT_EQ(L"", std::wstring(text.Mid(99)));
    EXPECT_EQ(L'\0', text[99]);
    EXPECT_EQ(L'i', text[0]);
}

TEST(UIString, ReplaceFormatAndCase)
{
    CUIString text(L"a-b-c");
    EXPECT_EQ(2, text.Replace(L"-", L"--"));
    EXPECT_EQ(L"a--b--c", std::wstring(text));
    text.MakeUpper();
    EXPECT_EQ(L"A--B--C", std::wstring(text));
    CUIString formatted;
    formatted.Format(L"%d%%, %s", 42, L"\x5347\x7ea7");
    EXPECT_EQ(L"42%, \x5347\x7ea7", std::wstring(formatted));
    formatted.Format(L"%s", std::wstring(300, L'z').c_str());
    EXPECT_EQ(300, formatted.GetLength());
}

TEST(PtrArray, GrowsToElevenThenDoubles)
{
    CUIPtrArray array;
    EXPECT_EQ(0, array.GetCapacity());
    int values[40] = {};
    array.Add(&values[0]);
    EXPECT_EQ(11, array.GetCapacity());
    for (int i = 1; i < 11; ++i)
        array.Add(&values[i]);
    EXPECT_EQ(22, array.GetCapacity());
    for (int i = 11; i < 40; ++i)
        array.Add(&values[i]);
    EXPECT_EQ(40, array.GetSize());
    EXPECT_EQ(44, array.GetCapacity());
    EXPECT_EQ(&values[39], array[39]);
}

TEST(PtrArray, RemovalShiftsAndOutsideIndexGivesNull)
{
    int a = 0, b = 0, c = 0;
    CUIPtrArray array;
    array.Add(&a);
    array.Add(&b);
    array.Add(&c);
    EXPECT_TRUE(array.Remove(0));
    EXPECT_EQ(&b, array[0]);
    EXPECT_EQ(&c, array[1]);
    EXPECT_EQ(nullptr, array[2]);
    EXPECT_EQ(nullptr, array[-1]);
    EXPECT_FALSE(array.Remove(5));
    EXPECT_TRUE(array.InsertAt(0, &a));
    EXPECT_EQ(0, array.Find(&a));
    EXPECT_EQ(-1, array.Find(nullptr));
}

TEST(StringMap, HashRunsFromTheLastCharacter)
{
    // "ab": h = 'b', then h * 33 + 'a'.
    EXPECT_EQ(98u * 33 + 97, CUIStringMap::Hash(L"ab"));
    EXPECT_EQ(0u, CUIStringMap::Hash(L""));
}

TEST(StringMap, DuplicateInsertFailsAndNewestComesFirst)
{
    CUIStringMap map(3);
    EXPECT_EQ(16, map.GetBucketCount());
    int one = 1, two = 2;
    EXPECT_TRUE(map.Insert(L"font1", &one));
    EXPECT_FALSE(map.Insert(L"font1", &two));
    EXPECT_EQ(&one, map.Find(L"font1"));
    EXPECT_EQ(nullptr, map.Find(L"Font1"));

    // Keys 16 apart in hash land in one bucket; the later one is in front.
    CUIStringMap same(16);
    EXPECT_EQ(CUIStringMap::Hash(L"a") % 16, CUIStringMap::Hash(L"q") % 16);
    same.Insert(L"a", &one);
    same.Insert(L"q", &two);
    EXPECT_STREQ(L"q", same.GetAt(0));
    EXPECT_STREQ(L"a", same.GetAt(1));
    EXPECT_EQ(nullptr, same.GetAt(2));
}

TEST(StringMap, SetRemoveAndManyKeys)
{
    CUIStringMap map;
    EXPECT_EQ(83, map.GetBucketCount());
    static int values[1000];
    for (int i = 0; i < 1000; ++i)
        ASSERT_TRUE(map.Insert(std::to_wstring(i).c_str(), &values[i]));
    EXPECT_EQ(1000, map.GetSize());
    for (int i = 0; i < 1000; ++i)
        ASSERT_EQ(&values[i], map.Find(std::to_wstring(i).c_str()));
    int other = 0;
    EXPECT_EQ(&values[5], map.Set(L"5", &other));
    EXPECT_EQ(&other, map.Find(L"5"));
    EXPECT_TRUE(map.Remove(L"5"));
    EXPECT_FALSE(map.Remove(L"5"));
    EXPECT_EQ(999, map.GetSize());
    map.RemoveAll();
    EXPECT_EQ(0, map.GetSize());
    EXPECT_EQ(nullptr, map.Find(L"6"));
}
