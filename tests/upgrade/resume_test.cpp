#include "app/package_fetch.h"
#include "app/package_key.h"
#include "app/package_name.h"
#include "app/resume_record.h"
#include "app/upgrade_messages.h"
#include "tests/support/files.h"
#include "tests/support/process.h"
#include "tests/support/temp_folder.h"
#include "tests/upgrade/worker_run.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace testing_support;
using namespace upgrade_testing;

namespace {

// While it lives, the package server answers every ranged request with a
// 503, so a run ends with the bytes before the cut.
class Outage {
public:
    Outage() { WriteBytes(PackagesFolder() + L"outage", ""); }
    ~Outage() { DeleteFileW((PackagesFolder() + L"outage").c_str()); }
    Outage(const Outage&) = delete;
    Outage& operator=(const Outage&) = delete;
};

PackageProof HashProof()
{
    PackageProof proof;
    proof.sha256 = TextMember(ProofText(L"resume.7z.sha256"));
    return proof;
}

Snapshot Sorted(Snapshot snapshot)
{
    std::sort(snapshot.begin(), snapshot.end());
    return snapshot;
}

Snapshot FullInstall()
{
    TempFolder folder;
    ExpectRunEndsWith(RunWorker(folder.Path(), Address("HTTPS", L"files/resume.7z")), WM_UPGRADE_DONE);
    return Sorted(SnapshotTree(folder.Path()));
}

void FlipByte(const std::wstring& path, size_t at)
{
    std::string bytes = ReadBytes(path);
    ASSERT_GT(bytes.size(), at);
    bytes[at] ^= 0x5A;
    WriteBytes(path, bytes);
}

void ReplaceInFile(const std::wstring& path, const std::string& from, const std::string& to)
{
    std::string text = ReadBytes(path);
    size_t at = text.find(from);
    ASSERT_NE(std::string::npos, at) << text;
    WriteBytes(path, text.replace(at, from.size(), to));
}

// A refused answer is cut off by Kestrel itself, wherever the server has
// got to: only the range asked for and the status count.
std::vector<std::string> WithoutBytesSent(std::vector<std::string> lines)
{
    for (std::string& line : lines)
        line = line.substr(0, line.rfind(' '));
    return lines;
}

enum class Between { Nothing, CorruptFirstHalf, TruncateRecord, RecordForAnotherAddress };

} // namespace

// resume.7z (a stored 1 MiB payload) is cut at 60 % in a first run whose
// retries all meet an outage, so that run ends with the first 60 % kept.
// The second run meets the server in the state the case names.
TEST(ResumeAcrossRunsTest, SecondRunGoesOnFromTheKeptBytesOnlyWhenTheyCanBeProved)
{
    const std::string package = ReadBytes(PackagesFolder() + L"resume.7z");
    ASSERT_GT(package.size(), 1000000u);
    const Snapshot full = FullInstall();
    ASSERT_FALSE(full.empty());
    const size_t size = package.size();
    const size_t cut = size * 6 / 10;
    const std::string n = std::to_string(cut);
    const std::string range = "bytes=" + n + "- ";
    const std::string rest206 = range + "206 " + std::to_string(size - cut);
    const std::string whole200 = range + "200 " + std::to_string(size);
    const std::string firstCut = "- 200 " + n;
    const std::string outage = range + "503 0";

    struct Case {
        const char* tag;
        const char* mode;
        bool proved;
        Between between;
        UINT final;
        int backwards;
        bool startsAtKept;
        std::vector<std::string> secondLog;
    } cases[] = {
        {"resumed", "range", true, Between::Nothing, WM_UPGRADE_DONE, 0, true, {rest206}},
        {"by-date", "lastmod", true, Between::Nothing, WM_UPGRADE_DONE, 0, true, {rest206}},
        {"ranges-ignored", "ignore", true, Between::Nothing, WM_UPGRADE_DONE, 0, false, {whole200}},
        {"etag-changed", "changed", true, Between::Nothing, WM_UPGRADE_DONE, 0, false, {whole200}},
        {"corrupted", "range", true, Between::CorruptFirstHalf, WM_UPGRADE_DONE, 1, true,
         {rest206, firstCut, rest206}},
        {"no-proof", "range", false, Between::Nothing, WM_UPGRADE_DONE, 0, false, {firstCut, rest206}},
        {"record-damaged", "range", true, Between::TruncateRecord, WM_UPGRADE_DONE, 0, false,
         {firstCut, rest206}},
        {"record-elsewhere", "range", true, Between::RecordForAnotherAddress, WM_UPGRADE_DONE, 0,
         false, {firstCut, rest206}},
        {"range-refused", "refuse", true, Between::Nothing, WM_UPGRADE_DOWNLOAD_FAILED, 0, false,
         {range + "416 0", firstCut, range + "416 0"}},
        // A wrong range is refused before a byte of it counts: the bar shows
        // only the fresh start.
        {"range-shifted", "shifted", true, Between::Nothing, WM_UPGRADE_DOWNLOAD_FAILED, 0, false,
         {rest206, firstCut, rest206}},
    };
    for (const Case& c : cases) {
        TempFolder folder;
        std::string path = "/cut/" + n + "/" + c.mode + "/resume.7z?" + c.tag;
        std::wstring address = Address("HTTPS", FromUtf8(path.substr(1)));
        PackageProof proof = c.proved ? HashProof() : PackageProof();
        std::wstring kept = folder / L"resume.7z";
        std::wstring record = kept + kResumeRecordSuffix;
        {
            Outage outage;
            ExpectRunEndsWith(RunWorker(folder.Path(), address, proof), WM_UPGRADE_DOWNLOAD_FAILED);
        }
        // A 503 ends the retries; the bytes before the cut stay.
        std::vector<std::string> firstLog = {firstCut, outage};
        WaitUntil([&] { return ServerLog(path).size() >= firstLog.size(); }, 5000);
        EXPECT_EQ(firstLog, ServerLog(path)) << c.tag << ": " << Joined(ServerLog(path));
        EXPECT_EQ(c.proved, FileExists(record)) << c.tag;
        EXPECT_EQ(c.proved ? package.substr(0, cut) : std::string(), ReadBytes(kept)) << c.tag;
        if (c.between == Between::CorruptFirstHalf)
            FlipByte(kept, cut / 4);
        if (c.between == Between::TruncateRecord)
            WriteBytes(record, ReadBytes(record).substr(0, 40));
        if (c.between == Between::RecordForAnotherAddress)
            ReplaceInFile(record, "resume.7z?", "resume.7z?elsewhere-");

        std::vector<PostedMessage> second = RunWorker(folder.Path(), address, proof);

        ExpectRunEndsWith(second, c.final);
        size_t logged = firstLog.size() + c.secondLog.size();
        WaitUntil([&] { return ServerLog(path).size() >= logged; }, 5000);
        std::vector<std::string> log = ServerLog(path);
        log.erase(log.begin(), log.begin() + std::min(log.size(), firstLog.size()));
        if (c.final == WM_UPGRADE_DOWNLOAD_FAILED)
            log = WithoutBytesSent(log);
        EXPECT_EQ(c.final == WM_UPGRADE_DONE ? c.secondLog : WithoutBytesSent(c.secondLog), log)
            << c.tag << ": " << Joined(log);
        BarCourse course = CourseOf(second, size);
        EXPECT_EQ(c.backwards, course.backwards) << c.tag << ": " << Describe(second);
        if (c.startsAtKept) {
            EXPECT_GE(course.first, cut) << c.tag << ": the bar starts at the kept bytes";
        }
        if (c.final == WM_UPGRADE_DONE) {
            EXPECT_EQ(full, Sorted(SnapshotTree(folder.Path()))) << c.tag;
        } else {
            EXPECT_FALSE(FileExists(folder / L"resume.bin")) << c.tag;
            EXPECT_FALSE(FileExists(folder / L"readme.txt")) << c.tag;
        }
    }
}

// The user leaves a download that has passed 30 %: it stops, its bytes and
// their record stay, and the next run asks only for the rest.
TEST(ResumeAcrossRunsTest, BytesOfADownloadTheUserLeftAreTakenUpByTheNextRun)
{
    const std::string package = ReadBytes(PackagesFolder() + L"resume.7z");
    const Snapshot full = FullInstall();
    TempFolder folder;
    const std::string path = "/cut/99999999/slow/resume.7z?left";
    std::wstring address = Address("HTTPS", FromUtf8(path.substr(1)));
    std::wstring kept = folder / L"resume.7z";

    std::vector<PostedMessage> first =
        RunWorkerLeavingAt(folder.Path(), address, HashProof(), package.size() * 3 / 10);

    ExpectRunEndsWith(first, WM_UPGRADE_DOWNLOAD_FAILED);
    const std::string keptBytes = ReadBytes(kept);
    ASSERT_GE(keptBytes.size(), package.size() * 3 / 10);
    ASSERT_LT(keptBytes.size(), package.size());
    EXPECT_TRUE(package.compare(0, keptBytes.size(), keptBytes) == 0);
    EXPECT_TRUE(FileExists(kept + kResumeRecordSuffix));
    EXPECT_FALSE(FileExists(folder / L"resume.bin"));

    // The server logs the left answer once it notices the client has gone.
    EXPECT_TRUE(WaitUntil([&] { return !ServerLog(path).empty(); }, 10000));
    size_t before = ServerLog(path).size();
    ExpectRunEndsWith(RunWorker(folder.Path(), address, HashProof()), WM_UPGRADE_DONE);
    // The server logs an answer just after its last byte, which may be after the run.
    WaitUntil([&] { return ServerLog(path).size() > before; }, 5000);
    std::vector<std::string> log = ServerLog(path);
    log.erase(log.begin(), log.begin() + std::min(log.size(), before));
    std::string rest = "bytes=" + std::to_string(keptBytes.size()) + "- 206 "
                       + std::to_string(package.size() - keptBytes.size());
    EXPECT_EQ(std::vector<std::string>{rest}, log) << Joined(log);
    EXPECT_EQ(full, Sorted(SnapshotTree(folder.Path())));
}

// Kept bytes and their record belong to the package's own name: the record
// is never downloaded over, nor written by a package.
TEST(ResumeAcrossRunsTest, RecordNamesAreNeitherPackageNamesNorPackageItems)
{
    TempFolder folder;
    EXPECT_FALSE(IsAllowedPackageName(folder.Path(), L"resume.7z.kestrel-resume"));
    EXPECT_FALSE(IsAllowedPackageName(folder.Path(), L"resume.7z.KESTREL-RESUME."));
    EXPECT_TRUE(IsAllowedPackageName(folder.Path(), L"resume.7z"));

    WriteBytes(folder / L"a.dll", "old a");
    std::vector<PostedMessage> messages =
        RunWorker(folder.Path(), Address("HTTPS", L"files/record-item.zip"));
    ExpectRunEndsWith(messages, WM_UPGRADE_INSTALL_FAILED);
    EXPECT_EQ("old a", ReadBytes(folder / L"a.dll"));
    EXPECT_FALSE(FileExists(folder / L"record-item.zip.kestrel-resume"));
}

TEST(ResumeRecordTest, WrittenRecordReadsBackWhole)
{
    TempFolder folder;
    ResumeRecord written;
    written.address = L"https://updates.example/p/tarnwick \u4e2d.7z?token=1";
    written.validator = L"\"v1-abc\"";
    written.size = 104857600ull * 50;
    written.proof = "sha256:9f86";
    std::wstring path = folder / L"p.7z.kestrel-resume";
    ASSERT_TRUE(WriteResumeRecord(path, written));
    ResumeRecord read;
    ASSERT_TRUE(ReadResumeRecord(path, read));
    EXPECT_EQ(written.address, read.address);
    EXPECT_EQ(written.validator, read.validator);
    EXPECT_EQ(written.size, read.size);
    EXPECT_EQ(written.proof, read.proof);
    EXPECT_EQ(1u, SnapshotTree(folder.Path()).size());
}

namespace {

// A record's text from its lines, each ended with "\n".
std::string RecordText(std::initializer_list<const char*> lines)
{
    std::string text;
    for (const char* line : lines)
        text += std::string(line) + "\n";
    return text;
}

} // namespace

TEST(ResumeRecordTest, DamagedRecordsAreNoRecords)
{
    const char* head = "kestrel-resume 1";
    const char* address = "address https://h/p.7z";
    const char* validator = "validator \"v1\"";
    const char* size = "size 1000";
    const char* proof = "proof sha256:ab";
    const std::string good = RecordText({head, address, validator, size, proof, "end"});
    struct Case {
        const char* what;
        std::string text;
        bool readable;
    } cases[] = {
        {"whole", good, true},
        {"empty", "", false},
        {"cut short", good.substr(0, good.size() - 4), false},
        {"no final line end", good.substr(0, good.size() - 1), false},
        {"another version", "kestrel-resume 2" + good.substr(16), false},
        {"line after the end", good + "size 5\n", false},
        {"zero size", RecordText({head, address, validator, "size 0", proof, "end"}), false},
        {"leading zero", RecordText({head, address, validator, "size 01000", proof, "end"}), false},
        {"size not a number", RecordText({head, address, validator, "size 1e3", proof, "end"}), false},
        {"size too large",
         RecordText({head, address, validator, "size 99999999999999999999", proof, "end"}), false},
        {"empty proof", RecordText({head, address, validator, size, "proof ", "end"}), false},
        {"lines swapped", RecordText({head, validator, address, size, proof, "end"}), false},
        {"carriage return", RecordText({head, "address https://h/p.7z\r", validator, size, proof, "end"}),
         false},
        {"invalid UTF-8", RecordText({head, "address https://h/\xC3(.7z", validator, size, proof, "end"}),
         false},
        {"random bytes", RandomBytes(300), false},
        {"too large", good + std::string(20000, 'x'), false},
    };
    TempFolder folder;
    std::wstring path = folder / L"p.7z.kestrel-resume";
    for (const Case& c : cases) {
        WriteBytes(path, c.text);
        ResumeRecord record;
        EXPECT_EQ(c.readable, ReadResumeRecord(path, record)) << c.what;
    }
    DeleteFileW(path.c_str());
    ResumeRecord record;
    EXPECT_FALSE(ReadResumeRecord(path, record)) << "missing";
}

// Kept bytes are taken up only under a proof that the check of the whole
// file will test: a signature counts only where a key checks it.
TEST(ResumeProofTest, OnlyWhatTheCheckTestsIsAProof)
{
    const unsigned char key[kPackageKeyBytes] = {1};
    OptionalText wrongType;
    wrongType.state = OptionalText::State::WrongType;
    struct Case {
        const char* what;
        OptionalText sha256;
        OptionalText signature;
        bool withKey;
        std::string proof;
    } cases[] = {
        {"nothing", OptionalText(), OptionalText(), true, ""},
        {"hash", TextMember("ab12"), OptionalText(), false, "sha256:ab12"},
        {"signature without a key", OptionalText(), TextMember("MEUC"), false, ""},
        {"signature with a key", OptionalText(), TextMember("MEUC"), true, "signature:MEUC"},
        {"both with a key", TextMember("ab12"), TextMember("MEUC"), true, "sha256:ab12;signature:MEUC"},
        {"hash of the wrong type", wrongType, OptionalText(), true, ""},
    };
    for (const Case& c : cases) {
        PackageProof proof;
        proof.sha256 = c.sha256;
        proof.signature = c.signature;
        EXPECT_EQ(c.proof, ResumeProof(proof, c.withKey ? key : nullptr)) << c.what;
    }
}
