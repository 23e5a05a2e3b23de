#pragma once

#include <string>
#include <vector>

namespace testing_support {

bool WriteBytes(const std::wstring& path, const std::string& bytes);
std::string ReadBytes(const std::wstring& path);
bool FileExists(const std::wstring& path);
bool FolderExists(const std::wstring& path);
bool CopyFileTo(const std::wstring& from, const std::wstring& to);

// UTF-8 lines of a text file, without their line ends.
std::vector<std::string> ReadLines(const std::wstring& path);

std::string ToUtf8(const std::wstring& text);
std::wstring FromUtf8(const std::string& text);
// The text's UTF-16 bytes behind their byte-order mark.
std::string Utf16WithMark(const std::wstring& text, bool bigEndian = false);

// Bytes that look random, the same for the same seed.
std::string RandomBytes(size_t size, unsigned seed = 2463534242u);

// Relative path -> contents of every file under folder; folders end with "\".
std::vector<std::pair<std::wstring, std::string>> SnapshotTree(const std::wstring& folder);

// The value of an environment variable; empty when unset or too long for a path.
std::wstring EnvironmentValue(const wchar_t* name);

// The folder of the running test program, where every built program lies.
std::wstring ProgramFolder();

} // namespace testing_support
