#include "app/package_fetch.h"

#include "app/package_check.h"
#include "app/package_key.h"
#include "app/upgrade_download.h"
#include "app/upgrade_session.h"
#include "app/upgrade_set_aside.h"

namespace {

bool IsText(const OptionalText& member)
{
    return member.state == OptionalText::State::Text;
}

SkinUI::FileHandle OpenPackageForCheck(const std::wstring& packagePath)
{
    return SkinUI::FileHandle(CreateFileW(packagePath.c_str(), GENERIC_READ, FILE_SHARE_READ,
                                          nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN,
                                          nullptr));
}

// Once the user has left, nothing is installed any more.
SkinUI::FileHandle CheckDownloaded(const std::wstring& packagePath, const PackageProof& proof,
                                   UpgradeSession* session)
{
    SkinUI::FileHandle package = OpenPackageForCheck(packagePath);
    bool left = session && session->LeaveRequested();
    if (!left && package && PackageIsGenuine(package.get(), proof, CompiledPackageKey()))
        return package;
    package.reset();
    DeleteFileForGood(packagePath);
    return SkinUI::FileHandle();
}

} // namespace

// Without a key a signature proves nothing, as the check does not read it.
std::string ResumeProof(const PackageProof& proof, const unsigned char* publisherKey)
{
    std::string text;
    if (IsText(proof.sha256))
        text += "sha256:" + proof.sha256.text;
    if (publisherKey && IsText(proof.signature))
        text += (text.empty() ? "" : ";") + std::string("signature:") + proof.signature.text;
    return text;
}

SkinUI::FileHandle FetchCheckedPackage(const std::wstring& address, const std::wstring& packagePath,
                                       const PackageProof& proof, HWND window,
                                       UpgradeSession* session)
{
    KeptPackage kept;
    kept.proof = ResumeProof(proof, CompiledPackageKey());
    if (!DownloadToFile(address, packagePath, window, session, &kept))
        return SkinUI::FileHandle();
    SkinUI::FileHandle package = CheckDownloaded(packagePath, proof, session);
    if (package || !kept.continued || (session && session->LeaveRequested()))
        return package;
    // The kept bytes may be what spoiled it (a disk fault, a file swapped
    // between runs): the check deleted them, so this download starts from zero.
    if (!DownloadToFile(address, packagePath, window, session, &kept))
        return SkinUI::FileHandle();
    return CheckDownloaded(packagePath, proof, session);
}
