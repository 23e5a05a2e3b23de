#include "ui/core/ptr_array.h"
#include "ui/core/string_map.h"
#include "ui/core/ui_string.h"

#include <gtest/gtest.h>

#include <wchar.h>

#include <string>
#include <vector>

using SkinUI::CUIPtrArray;
using SkinUI::CUIPtrArrayOf;
using SkinUI::CUIString;
using SkinUI::CUIStringMap;
using SkinUI::CUIStringMapOf;

namespace {

// Counts its own destruction, so that a test sees what a DeleteAll freed.
struct TCounted {
    explicit TCounted(int* deaths) : deaths_(deaths) {}
    ~TCounted() { ++*deaths_; }
    int* deaths_;
};

} // namespace

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

TEST(PtrArrayOf, ReadsTypedAndDeletesWhatItOwns)
{
    int deaths = 0;
    CUIPtrArrayOf<TCounted> array;
    TCounted* first = new TCounted(&deaths);
    TCounted* second = new TCounted(&deaths);
    EXPECT_TRUE(array.Add(first));
    EXPECT_TRUE(array.InsertAt(0, second));
    EXPECT_EQ(second, array[0]);
    EXPECT_EQ(first, array.GetAt(1));
    EXPECT_EQ(nullptr, array.GetAt(2));
    EXPECT_EQ(1, array.Find(first));
    array.DeleteAll();
    EXPECT_EQ(2, deaths);
    EXPECT_TRUE(array.IsEmpty());
}

// Keys chosen so that several share buckets: the walk must still give
// GetAt's order, buckets in turn and each from its newest entry.
TEST(StringMap, ForEachVisitsInGetAtOrder)
{
    const struct {
        int buckets;
        int keys;
    } kCases[] = {{16, 0}, {16, 1}, {16, 40}, {83, 300}};
    for (const auto& c : kCases) {
        CUIStringMap map(c.buckets);
        std::vector<int> values(static_cast<size_t>(c.keys));
        for (int i = 0; i < c.keys; ++i)
            ASSERT_TRUE(map.Insert(std::to_wstring(i * 7).c_str(), &values[static_cast<size_t>(i)]));
        std::vector<std::wstring> walked;
        map.ForEach([&](const wchar_t* key, void* data) {
            EXPECT_EQ(map.Find(key), data) << key;
            walked.push_back(key);
        });
        ASSERT_EQ(static_cast<size_t>(c.keys), walked.size()) << c.buckets;
        for (int i = 0; i < c.keys; ++i)
            EXPECT_EQ(std::wstring(map.GetAt(i)), walked[static_cast<size_t>(i)]) << c.buckets << " at " << i;
    }
}

TEST(StringMap, ForEachMayRemoveTheEntryItVisits)
{
    CUIStringMap map(16);
    int value = 0;
    // "a" and "q" share a bucket: removing the front one must not lose the other.
    for (const wchar_t* key : {L"a", L"q", L"b", L"c"})
        map.Insert(key, &value);
    int visits = 0;
    map.ForEach([&](const wchar_t* key, void*) {
        ++visits;
        map.Remove(key);
    });
    EXPECT_EQ(4, visits);
    EXPECT_EQ(0, map.GetSize());
}

TEST(StringMap, FindFirstStopsAtTheFirstMatchInOrder)
{
    CUIStringMap map(16);
    int one = 1, two = 2, three = 3;
    map.Insert(L"a", &one);
    map.Insert(L"q", &two);
    map.Insert(L"b", &three);
    int asked = 0;
    void* found = map.FindFirst([&](const wchar_t*, void* data) {
        ++asked;
        return *static_cast<int*>(data) != 3;
    });
    // "q" is in front of "a" in their shared bucket, which comes before "b"'s.
    EXPECT_EQ(&two, found);
    EXPECT_EQ(1, asked);
    EXPECT_EQ(nullptr, map.FindFirst([](const wchar_t*, void*) { return false; }));
}

TEST(StringMapOf, ReadsTypedAndDeletesWhatItOwns)
{
    int deaths = 0;
    CUIStringMapOf<TCounted> map;
    TCounted* first = new TCounted(&deaths);
    EXPECT_TRUE(map.Insert(L"first", first));
    EXPECT_FALSE(map.Insert(L"first", first));
    EXPECT_EQ(first, map.Find(L"first"));
    EXPECT_EQ(nullptr, map.Set(L"second", new TCounted(&deaths)));
    TCounted* replaced = map.Set(L"second", new TCounted(&deaths));
    ASSERT_NE(nullptr, replaced);
    delete replaced;
    EXPECT_EQ(1, deaths);
    EXPECT_EQ(first, map.FindFirst([&](const wchar_t* key, TCounted*) { return wcscmp(key, L"first") == 0; }));
    int seen = 0;
    map.ForEach([&](const wchar_t*, TCounted* value) { seen += value != nullptr; });
    EXPECT_EQ(2, seen);
    map.DeleteAll();
    EXPECT_EQ(3, deaths);
    EXPECT_EQ(0, map.GetSize());
}
