#include "app/package_check.h"

#include "app/package_key.h"
#include "ui/core/unique_handle.h"

#include <bcrypt.h>

#include <string.h>

#include <vector>

namespace {

// Big enough that the hash, not the reads, sets the pace.
constexpr DWORD kReadPiece = 1 << 20;

void CloseAlgorithm(BCRYPT_ALG_HANDLE algorithm)
{
    BCryptCloseAlgorithmProvider(algorithm, 0);
}

void DestroyHash(BCRYPT_HASH_HANDLE hash)
{
    BCryptDestroyHash(hash);
}

void DestroyKey(BCRYPT_KEY_HANDLE key)
{
    BCryptDestroyKey(key);
}

using AlgorithmHandle = SkinUI::UniqueHandle<BCRYPT_ALG_HANDLE, &CloseAlgorithm>;
using HashHandle = SkinUI::UniqueHandle<BCRYPT_HASH_HANDLE, &DestroyHash>;
using KeyHandle = SkinUI::UniqueHandle<BCRYPT_KEY_HANDLE, &DestroyKey>;

constexpr NTSTATUS kStatusSuccess = 0;

bool Succeeded(NTSTATUS status)
{
    return status >= 0;
}

// A failed open or import leaves nothing to close: the owner lets go unclosed.
AlgorithmHandle OpenAlgorithm(const wchar_t* name)
{
    AlgorithmHandle algorithm;
    if (!Succeeded(BCryptOpenAlgorithmProvider(algorithm.put(), name, nullptr, 0)))
        algorithm.release();
    return algorithm;
}

// BCRYPT_ECCPUBLIC_BLOB: the header, then X and Y.
KeyHandle ImportPublicKey(BCRYPT_ALG_HANDLE algorithm, const unsigned char* point)
{
    unsigned char blob[sizeof(BCRYPT_ECCKEY_BLOB) + kPackageKeyBytes] = {};
    BCRYPT_ECCKEY_BLOB header = {BCRYPT_ECDSA_PUBLIC_P256_MAGIC, kPackageKeyBytes / 2};
    memcpy(blob, &header, sizeof(header));
    memcpy(blob + sizeof(header), point, kPackageKeyBytes);
    KeyHandle key;
    if (!Succeeded(BCryptImportKeyPair(algorithm, nullptr, BCRYPT_ECCPUBLIC_BLOB, key.put(), blob,
                                       sizeof(blob), 0)))
        key.release();
    return key;
}

bool SignatureTextVerifies(const OptionalText& signature, const unsigned char* publisherKey,
                           const unsigned char (&digest)[kSha256Bytes])
{
    if (signature.state != OptionalText::State::Text)
        return false;
    std::vector<unsigned char> der;
    unsigned char raw[kRawSignatureBytes] = {};
    if (!DecodeBase64(signature.text, der))
        return false;
    std::string_view derText(reinterpret_cast<const char*>(der.data()), der.size());
    return DerSignatureToRaw(derText, raw) && SignatureVerifies(publisherKey, digest, raw);
}

bool HashTextMatches(const OptionalText& sha256, const unsigned char (&digest)[kSha256Bytes])
{
    if (sha256.state == OptionalText::State::Absent)
        return true;
    unsigned char expected[kSha256Bytes] = {};
    return sha256.state == OptionalText::State::Text && DecodeSha256Hex(sha256.text, expected)
           && memcmp(expected, digest, kSha256Bytes) == 0;
}

} // namespace

bool PackageIsGenuine(HANDLE file, const PackageProof& proof, const unsigned char* publisherKey)
{
    bool anythingToCheck = publisherKey || proof.sha256.state != OptionalText::State::Absent;
    if (!anythingToCheck)
        return true;
    unsigned char digest[kSha256Bytes] = {};
    if (!HashFile(file, digest) || !HashTextMatches(proof.sha256, digest))
        return false;
    return !publisherKey || SignatureTextVerifies(proof.signature, publisherKey, digest);
}

bool HashFile(HANDLE file, unsigned char (&digest)[kSha256Bytes])
{
    LARGE_INTEGER start = {};
    if (!SetFilePointerEx(file, start, nullptr, FILE_BEGIN))
        return false;
    AlgorithmHandle algorithm = OpenAlgorithm(BCRYPT_SHA256_ALGORITHM);
    HashHandle hash;
    if (!algorithm
        || !Succeeded(BCryptCreateHash(algorithm.get(), hash.put(), nullptr, 0, nullptr, 0, 0)))
        return false;
    std::vector<unsigned char> piece(kReadPiece);
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file, piece.data(), kReadPiece, &read, nullptr))
            return false;
        if (read == 0)
            break;
        if (!Succeeded(BCryptHashData(hash.get(), piece.data(), read, 0)))
            return false;
    }
    return Succeeded(BCryptFinishHash(hash.get(), digest, kSha256Bytes, 0));
}

bool SignatureVerifies(const unsigned char* publisherKey, const unsigned char (&digest)[kSha256Bytes],
                       const unsigned char (&raw)[kRawSignatureBytes])
{
    AlgorithmHandle algorithm = OpenAlgorithm(BCRYPT_ECDSA_P256_ALGORITHM);
    if (!algorithm)
        return false;
    KeyHandle key = ImportPublicKey(algorithm.get(), publisherKey);
    if (!key)
        return false;
    // CNG takes the buffers as non-const but only reads them.
    unsigned char hashCopy[kSha256Bytes];
    unsigned char signatureCopy[kRawSignatureBytes];
    memcpy(hashCopy, digest, sizeof(hashCopy));
    memcpy(signatureCopy, raw, sizeof(signatureCopy));
    return BCryptVerifySignature(key.get(), nullptr, hashCopy, sizeof(hashCopy), signatureCopy,
                                 sizeof(signatureCopy), 0)
           == kStatusSuccess;
}

SkinUI::FileHandle OpenDownloadedForCheck(const std::wstring& path)
{
    return SkinUI::FileHandle(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                          OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
}
