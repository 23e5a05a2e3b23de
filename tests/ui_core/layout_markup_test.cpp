#include "ui/core/layout_markup.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using SkinUI::CLayoutMarkup;
using SkinUI::CLayoutMarkupNode;

namespace {

std::string Utf8(const std::wstring& text)
{
    std::string out;
    for (wchar_t c : text) {
        unsigned code = c;
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | code >> 6);
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | code >> 12);
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return out;
}

std::string Utf16(const std::wstring& text, bool bigEndian)
{
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (wchar_t c : text) {
        char high = static_cast<char>(c >> 8);
        char low = static_cast<char>(c & 0xFF);
        out += bigEndian ? high : low;
        out += bigEndian ? low : high;
    }
    return out;
}

std::wstring Value(const CLayoutMarkupNode& node, const wchar_t* name)
{
    wchar_t buffer[256] = {};
    if (!node.FindAttribute(name, buffer, 255))
        return L"<absent>";
    return buffer;
}

// Element names in document order, children before siblings.
void CollectNames(CLayoutMarkupNode node, std::vector<std::wstring>& names)
{
    for (; node.IsPresent(); node = node.NextSibling()) {
        names.push_back(node.ElementName());
        CollectNames(node.FirstChild(), names);
    }
}

} // namespace

TEST(LayoutMarkup, EmptyTextParsesWithoutRoot)
{
    CLayoutMarkup markup;
    EXPECT_TRUE(markup.LoadText(L""));
    EXPECT_FALSE(markup.RootNode().IsPresent());
    EXPECT_TRUE(markup.LoadBytes("", 0, SkinUI::kMarkupUtf8));
    EXPECT_FALSE(markup.RootNode().IsPresent());
}

TEST(LayoutMarkup, CommentsAndDeclarationOnlyParseWithoutRoot)
{
    CLayoutMarkup markup;
    EXPECT_TRUE(markup.LoadText(L"<!-- one -->\r\n<?xml version=\"1.0\"?>\r\n<!-- two -->  "));
    EXPECT_FALSE(markup.RootNode().IsPresent());
}

TEST(LayoutMarkup, WindowWithChildrenKeepsAttributesInDocumentOrder)
{
    CLayoutMarkup markup;
    ASSERT_TRUE(markup.LoadText(L"<!-- \x4e3b -->\r\n<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
                                L"<Window size=\"500,310\" caption=\"0,0,0,36\">\r\n"
                                L"  <Font id=\"1\" name=\"Microsoft YaHei\" />\r\n"
                                L"  <VerticalLayout><Label text=\"x\" /></VerticalLayout>\r\n"
                                L"</Window>\r\n"));
    CLayoutMarkupNode root = markup.RootNode();
    ASSERT_TRUE(root.IsPresent());
    EXPECT_STREQ(L"Window", root.ElementName());
    ASSERT_EQ(2, root.AttributeCount());
    EXPECT_STREQ(L"size", root.AttributeName(0));
    EXPECT_STREQ(L"500,310", root.AttributeValue(0));
    EXPECT_STREQ(L"caption", root.AttributeName(1));
    EXPECT_STREQ(L"0,0,0,36", root.AttributeValue(1));
    EXPECT_STREQ(L"", root.AttributeName(2));
    EXPECT_STREQ(L"", root.AttributeValue(-1));

    std::vector<std::wstring> names;
    CollectNames(root, names);
    EXPECT_EQ((std::vector<std::wstring>{L"Window", L"Font", L"VerticalLayout", L"Label"}), names);
    CLayoutMarkupNode font = root.FirstChild();
    EXPECT_EQ(L"Microsoft YaHei", Value(font, L"name"));
    EXPECT_FALSE(font.HasChildElements());
    EXPECT_TRUE(font.NextSibling().HasChildElements());
    EXPECT_FALSE(font.NextSibling().NextSibling().IsPresent());
    EXPECT_EQ(4u, markup.ElementCount());
}

TEST(LayoutMarkup, NamedEntitiesDecodeAndNumericReferencesStay)
{
    CLayoutMarkup markup;
    ASSERT_TRUE(markup.LoadText(
        L"<Label text=\"a &amp; b &lt;c&gt; &quot;d&quot; &apos;e&apos;\" tail=\"&#65;&bogus;&\" next=\"n\" />"));
    CLayoutMarkupNode label = markup.RootNode();
    EXPECT_EQ(L"a & b <c> \"d\" 'e'", Value(label, L"text"));
    EXPECT_EQ(L"&#65;&bogus;&", Value(label, L"tail"));
    // The shortened value must not hide the attribute after it.
    EXPECT_EQ(L"n", Value(label, L"next"));
    EXPECT_EQ(3, label.AttributeCount());
}

TEST(LayoutMarkup, FindAttributeIsExactAndFirstMatchWins)
{
    CLayoutMarkup markup;
    ASSERT_TRUE(markup.LoadText(L"<A name=\"first\" Name=\"other\" name=\"second\" />"));
    CLayoutMarkupNode node = markup.RootNode();
    EXPECT_EQ(L"first", Value(node, L"name"));
    EXPECT_EQ(L"other", Value(node, L"Name"));
    EXPECT_EQ(L"<absent>", Value(node, L"NAME"));

    wchar_t cut[4] = {L'x', L'x', L'x', L'\0'};
    EXPECT_TRUE(node.FindAttribute(L"name", cut, 3));
    EXPECT_STREQ(L"fir", cut);
}

TEST(LayoutMarkup, SlashAfterNameLeavesElementOpen)
{
    CLayoutMarkup markup;
    EXPECT_FALSE(markup.LoadText(L"<A><B/></A>"));
    EXPECT_STREQ(L"Unmatched closing tag", markup.LastErrorMessage());
    EXPECT_FALSE(markup.RootNode().IsPresent());

    ASSERT_TRUE(markup.LoadText(L"<A><B /></A>"));
    EXPECT_STREQ(L"B", markup.RootNode().FirstChild().ElementName());
    ASSERT_TRUE(markup.LoadText(L"<A><B/></B></A>"));
    EXPECT_STREQ(L"B", markup.RootNode().FirstChild().ElementName());
}

TEST(LayoutMarkup, ParseErrorsGiveTheirMessages)
{
    struct Case {
        const wchar_t* text;
        const wchar_t* message;
        const wchar_t* location;
    };
    const Case cases[] = {
        {L"<A x='1'></A>", L"Expected attribute value", L"1'></A>"},
        {L"<A>text<B /> more</A>", L"Expected start tag", L"more</A>"},
        {L"text", L"Expected start tag", L"text"},
        {L"<A", L"Error parsing element name", L""},
        {L"<A x></A>", L"Error while parsing attributes", L"></A>"},
        {L"<A x=\"1></A>", L"Error while parsing attribute string", L""},
        {L"<A x=\"1\" y>", L"Error while parsing attributes", L">"},
        {L"<A x=\"1\"", L"Expected start-tag closing", L""},
        {L"<A><B></C></A>", L"Unmatched closing tag", L"C></A>"},
        {L"<A><B></Bx></A>", L"Unmatched closing tag", L"></A>"},
        {L"<A></A", L"Unmatched closing tag", L""},
        {L"<A><B><C>", L"Expected end-tag start", L""},
        {L"<A><B><C />", L"Expected start tag", L""},
    };
    for (const Case& c : cases) {
        CLayoutMarkup markup;
        EXPECT_FALSE(markup.LoadText(c.text)) << c.text;
        EXPECT_STREQ(c.message, markup.LastErrorMessage()) << c.text;
        EXPECT_STREQ(c.location, markup.LastErrorLocation()) << c.text;
        EXPECT_FALSE(markup.IsValid());
    }
}

TEST(LayoutMarkup, ErrorFieldsAreCutAndClearedByTheNextParse)
{
    CLayoutMarkup markup;
    std::wstring text = L"<A><B /> " + std::wstring(200, L'z');
    EXPECT_FALSE(markup.LoadText(text.c_str()));
    EXPECT_EQ(49u, wcslen(markup.LastErrorLocation()));
    EXPECT_TRUE(markup.LoadText(L"<A />"));
    EXPECT_STREQ(L"", markup.LastErrorMessage());
    EXPECT_STREQ(L"", markup.LastErrorLocation());
}

TEST(LayoutMarkup, MissingEndTagAtTheEndIsToleratedForRootAndItsChildren)
{
    CLayoutMarkup markup;
    ASSERT_TRUE(markup.LoadText(L"<Window size=\"1,2\"><Label text=\"x\" />"));
    EXPECT_STREQ(L"Window", markup.RootNode().ElementName());
    ASSERT_TRUE(markup.LoadText(L"<Window><Layout>text"));
    EXPECT_STREQ(L"Window", markup.RootNode().ElementName());
    EXPECT_STREQ(L"Layout", markup.RootNode().FirstChild().ElementName());
    ASSERT_TRUE(markup.LoadText(L"<Window>"));
    EXPECT_STREQ(L"Window", markup.RootNode().ElementName());
}

TEST(LayoutMarkup, EndTagAllowsSpaceBeforeItsBracket)
{
    CLayoutMarkup markup;
    ASSERT_TRUE(markup.LoadText(L"<Name>\r\n</Name   >"));
    EXPECT_STREQ(L"Name", markup.RootNode().ElementName());
}

TEST(LayoutMarkup, SeveralTopLevelElementsFirstIsRoot)
{
    CLayoutMarkup markup;
    ASSERT_TRUE(markup.LoadText(L"<First a=\"1\" />\r\n<Second><Child /></Second>"));
    CLayoutMarkupNode root = markup.RootNode();
    EXPECT_STREQ(L"First", root.ElementName());
    EXPECT_STREQ(L"Second", root.NextSibling().ElementName());
    EXPECT_STREQ(L"Child", root.NextSibling().FirstChild().ElementName());
}

TEST(LayoutMarkup, SeventyAttributesExposeTheFirstSixtyFour)
{
    std::wstring text = L"<A";
    for (int i = 0; i < 70; ++i)
        text += L" a" + std::to_wstring(i) + L"=\"v" + std::to_wstring(i) + L"\"";
    text += L" />";
    CLayoutMarkup markup;
    ASSERT_TRUE(markup.LoadText(text.c_str()));
    CLayoutMarkupNode node = markup.RootNode();
    EXPECT_EQ(64, node.AttributeCount());
    EXPECT_STREQ(L"a63", node.AttributeName(63));
    EXPECT_STREQ(L"v63", node.AttributeValue(63));
    EXPECT_EQ(L"<absent>", Value(node, L"a64"));
    EXPECT_TRUE(node.HasAnyAttribute());
    EXPECT_FALSE(markup.RootNode().FirstChild().IsPresent());
}

TEST(LayoutMarkup, ElementWithoutAttributesHasNone)
{
    CLayoutMarkup markup;
    ASSERT_TRUE(markup.LoadText(L"<A>text</A>"));
    EXPECT_FALSE(markup.RootNode().HasAnyAttribute());
    EXPECT_EQ(0, markup.RootNode().AttributeCount());
    ASSERT_TRUE(markup.LoadText(L"<A></A>"));
    EXPECT_FALSE(markup.RootNode().HasAnyAttribute());
    ASSERT_TRUE(markup.LoadText(L"<A/>text</A>"));
    EXPECT_FALSE(markup.RootNode().HasAnyAttribute());
}

TEST(LayoutMarkup, AllEncodingsGiveTheSameText)
{
    const std::wstring text = L"<Window title=\"\x5347\x7ea7 \xe9t\xe9\"><Label text=\"\x786e\x5b9a\" /></Window>";
    const std::string utf8 = Utf8(text);
    const std::vector<std::pair<std::string, int>> inputs = {
        {utf8, SkinUI::kMarkupUtf8},
        {"\xEF\xBB\xBF" + utf8, SkinUI::kMarkupUtf8},
        {Utf16(text, false), SkinUI::kMarkupUtf16},
        {Utf16(text, true), SkinUI::kMarkupUtf16},
        {Utf16(text, true) + "\x01", 7},
    };
    for (const auto& input : inputs) {
        CLayoutMarkup markup;
        ASSERT_TRUE(markup.LoadBytes(input.first.data(), input.first.size(), input.second));
        CLayoutMarkupNode root = markup.RootNode();
        EXPECT_EQ(L"\x5347\x7ea7 \xe9t\xe9", Value(root, L"title"));
        EXPECT_EQ(L"\x786e\x5b9a", Value(root.FirstChild(), L"text"));
    }
}

// Whatever the bytes, malformed ones included, the text is what one system
// conversion of them gives, wherever the ASCII runs begin and end.
TEST(LayoutMarkup, Utf8DecodesLikeOneSystemConversion)
{
    const std::string values[] = {
        "",
        "a",
        "abcdefg",
        "abc\xE5\x8D\x87",
        "\xE5\x8D\x87" "abcdefgh" "\xE7\xA1\xAE",
        "1234\xE7\xA1\xAE" "5678\xE5\xAE\x9A" "9",
        "\xF0\x9F\x98\x80 x\xF0\x9F\x98\x80",
        "a\xC0\xAF" "b",
        "ab\xE4\xB8" "cd",
        "\x80\x80\x80\x80" "abcd\xFF",
        "\xED\xA0\x80" "z",
        "tail\xE5\x8D",
    };
    for (const std::string& value : values) {
        const std::string document = "<A v=\"" + value + "\" />";
        std::wstring expected(value.size() + 1, L'\0');
        expected.resize(value.empty() ? 0
            : MultiByteToWideChar(CP_UTF8, 0, value.data(), static_cast<int>(value.size()), &expected[0],
                                  static_cast<int>(expected.size())));
        CLayoutMarkup markup;
        ASSERT_TRUE(markup.LoadBytes(document.data(), document.size(), SkinUI::kMarkupUtf8)) << value;
        EXPECT_EQ(expected, Value(markup.RootNode(), L"v")) << value;
    }
}

TEST(LayoutMarkup, AnsiCodePageDecodesWithoutMark)
{
    CLayoutMarkup markup;
    const char text[] = "<A t=\"plain\" />";
    ASSERT_TRUE(markup.LoadBytes(text, sizeof(text) - 1, SkinUI::kMarkupAnsi));
    EXPECT_EQ(L"plain", Value(markup.RootNode(), L"t"));
}

TEST(LayoutMarkup, Utf16WithoutMarkIsRefused)
{
    CLayoutMarkup markup;
    const char text[] = "<\0A\0 \0/\0>\0";
    EXPECT_FALSE(markup.LoadBytes(text, sizeof(text) - 1, SkinUI::kMarkupUtf16));
    EXPECT_FALSE(markup.LoadBytes("\xFF", 1, SkinUI::kMarkupUtf16));
    EXPECT_FALSE(markup.RootNode().IsPresent());
}

TEST(LayoutMarkup, BigEndianInputIsLeftUntouched)
{
    std::string bytes = Utf16(L"<A b=\"c\" />", true);
    const std::string before = bytes;
    CLayoutMarkup markup;
    ASSERT_TRUE(markup.LoadBytes(bytes.data(), bytes.size(), SkinUI::kMarkupUtf16));
    EXPECT_EQ(before, bytes);
}

TEST(LayoutMarkup, DeepNestingNeedsNoStack)
{
    std::wstring text;
    const int depth = 200000;
    for (int i = 0; i < depth; ++i)
        text += L"<E>";
    for (int i = 0; i < depth; ++i)
        text += L"</E>";
    CLayoutMarkup markup;
    ASSERT_TRUE(markup.LoadText(text.c_str()));
    EXPECT_EQ(static_cast<uint32_t>(depth), markup.ElementCount());
}

TEST(LayoutMarkup, ReloadReplacesTheDocument)
{
    CLayoutMarkup markup(L"<One />");
    EXPECT_STREQ(L"One", markup.RootNode().ElementName());
    ASSERT_TRUE(markup.LoadText(L"<Two />"));
    EXPECT_STREQ(L"Two", markup.RootNode().ElementName());
    markup.Release();
    EXPECT_FALSE(markup.RootNode().IsPresent());
}
