#pragma once

#include "app/archive/archive_format.h"
#include "app/archive/com_ref.h"

#include "7zip/Archive/IArchive.h"

namespace SevenZip::intl {

// A new reader for format from the linked 7-Zip library; empty when the
// library cannot create one.
ComRef<IInArchive> OpenReader(ArchiveFormat format);

} // namespace SevenZip::intl
