#pragma once

#include "app/archive/seven_zip_archive.h"

#include <cstdint>
#include <string>
#include <vector>

namespace SevenZip {

// Unpacks the whole package over a folder, replacing what stands at each
// item's path, and traces every step on standard output.
class SevenZipExtractor : public SevenZipArchive {
public:
    // 0 on success; 110 when the package cannot be opened; otherwise the
    // first failure of the library or of writing an item (an HRESULT, or
    // 1631 when a parent folder could not be created). Items whose path
    // would leave folder, and items whose data is damaged, fail it.
    virtual int32_t ExtractTo(const std::wstring& folder);

    // Every path that the last ExtractTo created or overwrote (files and
    // the folders it had to create, a folder before its contents), also
    // when it failed part-way.
    const std::vector<std::wstring>& WrittenPaths() const { return writtenPaths_; }

private:
    std::vector<std::wstring> writtenPaths_;
};

} // namespace SevenZip
