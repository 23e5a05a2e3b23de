// Feeds mutated layouts and zip archives to the parser and the zip reader,
// and mutated hash and signature texts to the package proof decoders.
// Built with libstdc++'s checks and SKINUI_GUARDED_HEAP, and every input
// lies right before an inaccessible page: a read or write past any buffer
// faults and fails the run. Seeds are fixed, so a failure repeats.
#include "app/package_proof.h"
#include "ui/core/layout_builder.h"
#include "ui/core/layout_markup.h"
#include "ui/core/skin_source.h"
#include "ui/core/zip_reader.h"

#include "tests/support/files.h"
#include "tests/support/proof_texts.h"
#include "tests/support/temp_folder.h"
#include "tests/ui_core/fixtures.h"
#include "tests/ui_core/mutation.h"
#include "tests/ui_window/test_window.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

using SkinUI::CLayoutMarkup;
using SkinUI::CLayoutMarkupNode;
using SkinUI::CZipReader;
using robustness::GuardedBlock;
using robustness::Mutate;

namespace {

volatile size_t sink = 0;

// Touches everything a builder would read; nodes must stay in the table.
void WalkTree(const CLayoutMarkup& markup)
{
    uint32_t visited = 0;
    std::vector<CLayoutMarkupNode> pending;
    if (markup.RootNode().IsPresent())
        pending.push_back(markup.RootNode());
    wchar_t buffer[64] = {};
    while (!pending.empty()) {
        CLayoutMarkupNode node = pending.back();
        pending.pop_back();
        ASSERT_LE(++visited, markup.ElementCount());
        sink += wcslen(node.ElementName());
        for (int i = 0; i < node.AttributeCount(); ++i) {
            sink += wcslen(node.AttributeName(i));
            sink += wcslen(node.AttributeValue(i));
            node.FindAttribute(node.AttributeName(i), buffer, 63);
        }
        node.FindAttribute(L"absent", buffer, 63);
        if (node.NextSibling().IsPresent())
            pending.push_back(node.NextSibling());
        if (node.FirstChild().IsPresent())
            pending.push_back(node.FirstChild());
    }
}

bool IsZipResult(unsigned code)
{
    switch (code) {
    case SkinUI::kZipOk:
    case SkinUI::kZipNotFound:
    case SkinUI::kZipMore:
    case SkinUI::kZipCorrupt:
    case SkinUI::kZipRead:
    case SkinUI::kZipArgs:
    case SkinUI::kZipFlate:
        return true;
    default:
        return false;
    }
}

void ExerciseZip(const std::string& bytes)
{
    GuardedBlock block(bytes);
    unsigned opened = 0;
    std::unique_ptr<CZipReader> zip = CZipReader::OpenMemory(block.data(), bytes.size(), &opened);
    ASSERT_TRUE(IsZipResult(opened)) << opened;
    if (!zip)
        return;
    for (int i = 0; i < zip->ItemCount(); ++i) {
        SkinUI::TZipEntry entry;
        ASSERT_EQ(SkinUI::kZipOk, zip->GetItem(i, &entry));
        int found = -1;
        unsigned code = zip->FindItem(entry.name, true, &found, nullptr);
        ASSERT_TRUE(IsZipResult(code));
        // Declared sizes may be huge after mutation: extract through a
        // bounded buffer, a bounded number of times.
        size_t size = entry.uncompressedSize < 70000 ? entry.uncompressedSize : 70000;
        GuardedBlock out(std::string(size, '\0'));
        for (int round = 0; round < 64; ++round) {
            code = zip->UnzipItem(i, out.data(), size);
            ASSERT_TRUE(IsZipResult(code)) << code;
            if (code != SkinUI::kZipMore)
                break;
        }
    }
}

void ExerciseLayout(const std::string& bytes)
{
    for (int encoding : {SkinUI::kMarkupUtf8, SkinUI::kMarkupAnsi, SkinUI::kMarkupUtf16}) {
        GuardedBlock block(bytes);
        CLayoutMarkup markup;
        if (markup.LoadBytes(block.data(), bytes.size(), encoding)) {
            WalkTree(markup);
        } else {
            EXPECT_NE(L'\0', markup.LastErrorMessage()[0]);
            EXPECT_FALSE(markup.RootNode().IsPresent());
        }
    }
}

std::string SampleLayout()
{
    return "<!-- \xE4\xB8\xBB -->\r\n<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
           "<Window size=\"500,310\" caption=\"0,0,0,36\">\r\n"
           "  <Font shared=\"true\" id=\"1\" name=\"Microsoft YaHei\" size=\"12\" />\r\n"
           "  <VerticalLayout bkimage=\"img/pic_bg.png\" childalign=\"center\">\r\n"
           "    <HorizontalLayout height=\"36\">\r\n"
           "      <Label text=\"\xE9\x9C\xB2 &amp; &lt;b&gt; &quot;q&quot; &apos;a&apos; &#65;\" />\r\n"
           "      <Button name=\"Close_Btn\" normalimage=\"file='img/icon_close.png' source='0,0,28,28'\" />\r\n"
           "    </HorizontalLayout>\r\n"
           "    <RichEdit vscrollbarstyle=\"width=&quot;6&quot;\" >text</RichEdit>\r\n"
           "    <Container></Container   >\r\n"
           "  </VerticalLayout>\r\n"
           "</Window>\r\n";
}

} // namespace

TEST(Robustness, MutatedLayoutsGiveAResultOrAnError)
{
    const std::vector<std::string> seeds = {SampleLayout(), "<A><B /></A>", "<A x=\"&amp;\">t</A>",
        "\xFF\xFE<\0A\0 \0/\0>\0", "<!-- c -->", "<A><B><C /></B></A>"};
    std::mt19937 random(20240506);
    for (int i = 0; i < 4000; ++i) {
        const std::string input = Mutate(seeds[i % seeds.size()], random);
        SCOPED_TRACE("layout mutation " + std::to_string(i));
        ExerciseLayout(input);
        if (HasFatalFailure())
            return;
    }
}

TEST(Robustness, TruncatedEmptyAndOversizedLayouts)
{
    const std::string sample = SampleLayout();
    for (size_t length = 0; length <= sample.size(); ++length)
        ExerciseLayout(sample.substr(0, length));
    std::string big;
    while (big.size() < 4194305)
        big += sample;
    ExerciseLayout(big);
}

TEST(Robustness, MutatedZipsGiveAResultCode)
{
    const std::vector<std::string> seeds = {ReadFixture(L"small.zip"), ReadFixture(L"tool.zip"),
        ReadFixture(L"badcrc.zip")};
    for (const std::string& seed : seeds)
        ASSERT_FALSE(seed.empty());
    std::mt19937 random(1314);
    for (int i = 0; i < 4000; ++i) {
        const std::string& seed = seeds[i % seeds.size()];
        std::string input;
        if (i % 4 == 0) {
            // Most of the structure sits at the end: aim the edits there.
            size_t tail = seed.size() > 400 ? 400 : seed.size();
            input = seed.substr(0, seed.size() - tail) + Mutate(seed.substr(seed.size() - tail), random);
        } else {
            input = Mutate(seed, random);
        }
        SCOPED_TRACE("zip mutation " + std::to_string(i));
        ExerciseZip(input);
        if (HasFatalFailure())
            return;
    }
}

TEST(Robustness, TruncatedAndPaddedZips)
{
    const std::string seed = ReadFixture(L"small.zip");
    for (size_t length = 0; length <= seed.size(); length += 7)
        ExerciseZip(seed.substr(0, length));
    ExerciseZip(std::string(100000, 'P') + seed);
    ExerciseZip(seed + std::string(65535 - 22, '\0'));
    ExerciseZip(std::string("PK\x05\x06", 4));
}

namespace {

// The one DER spelling of r and s (32 bytes each).
std::string CanonicalDer(const unsigned char* raw)
{
    std::string r(reinterpret_cast<const char*>(raw), 32);
    std::string s(reinterpret_cast<const char*>(raw + 32), 32);
    return testing_support::DerSignature(testing_support::MinimalDerInteger(r),
                                         testing_support::MinimalDerInteger(s));
}

std::string SampleSignature()
{
    return testing_support::DerSignature('\0' + ("\x80" + std::string(31, '\x11')),
                                         "\x7F" + std::string(31, '\x22'));
}

using testing_support::ToBase64;
using testing_support::ToHex;

// A text that is accepted must be the one spelling of what it gave.
void ExerciseDer(const std::string& der)
{
    GuardedBlock block(der);
    unsigned char raw[kRawSignatureBytes] = {};
    if (DerSignatureToRaw(std::string_view(block.data(), der.size()), raw)) {
        EXPECT_EQ(ToHex(der), ToHex(CanonicalDer(raw)));
    }
}

void ExerciseBase64(const std::string& text)
{
    GuardedBlock block(text);
    std::vector<unsigned char> bytes;
    if (DecodeBase64(std::string_view(block.data(), text.size()), bytes)) {
        EXPECT_EQ(text, ToBase64(std::string(bytes.begin(), bytes.end())));
    }
}

void ExerciseHex(const std::string& text)
{
    GuardedBlock block(text);
    unsigned char digest[kSha256Bytes] = {};
    if (DecodeSha256Hex(std::string_view(block.data(), text.size()), digest)) {
        std::string lower = text;
        for (char& c : lower)
            c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
        EXPECT_EQ(lower, ToHex(std::string(reinterpret_cast<char*>(digest), sizeof(digest))));
    }
}

} // namespace

TEST(Robustness, MutatedSignaturesAndHashesAreDecodedExactlyOrRefused)
{
    const std::string der = SampleSignature();
    const std::vector<std::string> derSeeds = {der, std::string("\x30\x06\x02\x01\x01\x02\x01\x02", 8)};
    const std::string hex = ToHex(der.substr(3, 32));
    std::mt19937 random(16);
    for (int i = 0; i < 6000; ++i) {
        SCOPED_TRACE("proof mutation " + std::to_string(i));
        std::string mutated = Mutate(derSeeds[i % derSeeds.size()], random);
        ExerciseDer(mutated);
        ExerciseBase64(ToBase64(mutated));
        ExerciseBase64(Mutate(ToBase64(der), random));
        ExerciseHex(Mutate(hex, random));
        if (HasFatalFailure())
            return;
    }
}

TEST(Robustness, TruncatedSignaturesAndHashes)
{
    const std::string der = SampleSignature();
    const std::string text = ToBase64(der);
    const std::string hex = ToHex(der.substr(3, 32));
    for (size_t length = 0; length <= der.size(); ++length)
        ExerciseDer(der.substr(0, length));
    for (size_t length = 0; length <= text.size(); ++length)
        ExerciseBase64(text.substr(0, length));
    for (size_t length = 0; length <= hex.size(); ++length)
        ExerciseHex(hex.substr(0, length));
    ExerciseDer(std::string(100000, '\x30'));
    ExerciseBase64(std::string(100000, 'A'));
}

// The dialog builder on hostile layouts: self-including files, files
// including each other, a huge count, 10,000 nesting levels (parsed whole,
// built to the nesting cap), controls under a control that holds none, and
// the mutated layouts above. Each build ends within the builder's caps
// and every control it made is gone once its window has.
namespace {

std::wstring NestedProbes(int levels)
{
    std::wstring layout = L"<Window>";
    for (int i = 0; i < levels; ++i)
        layout += L"<Probe>";
    for (int i = 0; i < levels; ++i)
        layout += L"</Probe>";
    return layout + L"</Window>";
}

class ProbeFactory : public SkinUI::IDialogBuilderCallback {
public:
    SkinUI::CControlUI* CreateCustomControl(const wchar_t* name) override
    {
        if (wcscmp(name, L"Probe") == 0)
            return new CProbeUI;
        return wcscmp(name, L"ProbeLeaf") == 0 ? new CProbeLeafUI : nullptr;
    }
};

} // namespace

TEST(Robustness, HostileLayoutsEndCleanlyInRealWindows)
{
    testing_support::TempFolder folder;
    const std::pair<const wchar_t*, const char*> files[] = {
        {L"self.xml", "<Window><Probe><Include source=\"self.xml\" count=\"1000\" /></Probe></Window>"},
        {L"a.xml", "<Window><Probe><Include source=\"b.xml\" count=\"2\" /></Probe></Window>"},
        {L"b.xml", "<Window><ProbeLeaf /><Include source=\"a.xml\" count=\"2\" /></Window>"},
        {L"leaf.xml", "<Window><ProbeLeaf /></Window>"},
    };
    for (const auto& file : files)
        ASSERT_TRUE(testing_support::WriteBytes(folder / file.first, file.second));
    SkinUI::CSkinSource::SetResourceFolder(folder.Path().c_str());
    SkinUI::CSkinSource::UseZipFile(L"", true);
    CLayoutMarkup deep;
    ASSERT_TRUE(deep.LoadText(NestedProbes(10000).c_str()));
    EXPECT_EQ(10001u, deep.ElementCount());
    const int includeCap = SkinUI::CLayoutBuilder::kMaxIncludeCount;
    struct Case {
        std::wstring layout;
        int minAlive, maxAlive, depth;
    } cases[] = {
        {L"self.xml", 9, includeCap + 1, 0},
        {L"a.xml", 9, includeCap + 1, 0},
        {L"<Window><Probe><Include source=\"leaf.xml\" count=\"2147483647\" /></Probe></Window>", includeCap + 1,
            includeCap + 1, 0},
        {NestedProbes(10000), 256, 256, SkinUI::CLayoutBuilder::kMaxNestingDepth},
        {L"<Window><VerticalLayout><Label><Probe><ProbeLeaf /></Probe><ProbeLeaf /></Label>"
         L"<Label><ProbeLeaf cover=\"true\" /><ProbeLeaf /></Label></VerticalLayout></Window>", 1, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing_support::ToUtf8(c.layout.substr(0, 60)));
        auto window = std::make_unique<TestWindow>(c.layout);
        ASSERT_TRUE(window->Create());
        window->ShowAndPaint();
        EXPECT_GE(CProbeUI::live, c.minAlive);
        EXPECT_LE(CProbeUI::live, c.maxAlive);
        if (c.depth) {
            EXPECT_EQ(c.depth, TreeDepth(window->Root()));
        }
        window->Destroy();
        window.reset();
        EXPECT_EQ(0, CProbeUI::live);
    }
    SkinUI::CSkinSource::SetResourceFolder(L"");
}

TEST(Robustness, MutatedLayoutsBuildOrFailWithoutLeaks)
{
    TestWindow window(L"<Window><Control /></Window>");
    ASSERT_TRUE(window.Create());
    ProbeFactory factory;
    const std::vector<std::string> seeds = {SampleLayout(),
        "<Window><Probe><Probe cover=\"true\"><ProbeLeaf/></Probe><Label><Probe/></Label></Probe><Probe/></Window>",
        "<Window><Include source=\"none.xml\" count=\"3\"/><Default name=\"Probe\" value=\"name=&quot;p&quot;\"/>"
        "<Probe><ProbeLeaf cover=\"true\"/></Probe></Window>"};
    std::mt19937 random(1633);
    for (int i = 0; i < 1500; ++i) {
        const std::string input = Mutate(seeds[i % seeds.size()], random);
        SkinUI::CLayoutBuilder builder;
        if (builder.GetMarkup().LoadBytes(input.data(), input.size(), SkinUI::kMarkupUtf8)) {
            SkinUI::CControlUI* root = builder.BuildLoaded(&factory, &window.GetManager());
            // Bound, so that its names leave the manager's name map with it.
            if (root) {
                root->SetManager(&window.GetManager(), nullptr, false);
                root->Delete();
            }
        }
        ASSERT_EQ(0, CProbeUI::live) << "layout mutation " << i;
    }
    window.Destroy();
}
