#pragma once

#include <string>

namespace testing_support {

// A fresh folder under the system's temporary folder, removed with all its
// contents when the object goes. Path() ends with a backslash.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::wstring& Path() const { return path_; }
    std::wstring operator/(const std::wstring& name) const { return path_ + name; }

private:
    std::wstring path_;
};

// Deletes a folder and everything in it; true when it is gone.
bool RemoveTree(const std::wstring& folder);

} // namespace testing_support
