#pragma once
// Measuring an installer file: size and SHA-256 (CNG), file version and product name (version
// resource), Authenticode signer and trust (WinVerifyTrust). Safe on any thread.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "model/InstallerFacts.h"

// Feeds the bytes of a file through SHA-256 as they go by.
class CSha256 {
public:
    CSha256();
    CSha256(const CSha256&) = delete;
    CSha256& operator=(const CSha256&) = delete;
    ~CSha256();

    bool IsValid() const { return m_hash != nullptr && m_ok; }
    void Update(const void* data, ULONG size);
    // The text form, or empty when the platform failed; the object cannot be used afterwards.
    std::wstring Finish();

private:
    void* m_algorithm = nullptr;  // BCRYPT_ALG_HANDLE
    void* m_hash = nullptr;       // BCRYPT_HASH_HANDLE
    bool m_ok = false;
};

// "a.b.c.d" and the product name from the file's version resource; false when it has none.
bool ReadVersionFacts(const std::wstring& path, std::wstring& version, std::wstring& product);
// The signer's name (empty when unsigned) and one of the trust words.
void ReadSignatureFacts(const std::wstring& path, std::wstring& signer, std::wstring& trust);
// Version and signature facts together.
void ReadFileDetails(const std::wstring& path, CInstallerFacts& facts);

// The present local time in the stored form.
std::wstring NowTimestamp();

// How a reader of a whole file is told to stop and tells how far it got.
struct CReadControl {
    std::function<bool()> Cancelled;
    std::function<void(uint64_t done, uint64_t total)> Progress;
};

enum class MeasureOutcome { Done, Missing, Unreadable, Cancelled };

// Bytes per read when hashing a file.
constexpr DWORD HashChunkSize = 1 << 20;

// Size and SHA-256 of the file. A path that names nothing (or a folder) is Missing; one that cannot
// be opened or read to its end is Unreadable.
MeasureOutcome HashFile(const std::wstring& path, uint64_t& size, std::wstring& sha256, const CReadControl& control);
// Every fact; details only when the hash succeeded.
MeasureOutcome MeasureInstaller(const std::wstring& path, CInstallerFacts& facts, const CReadControl& control);

// Checks the file against the recorded size and hash: Intact, Changed, Missing or Unreadable
// (None when cancelled). The measurement is left in measured; its signature facts are read only
// when the content changed, since an unchanged file cannot have a different signature.
InstallerCheckResult CheckInstallerFile(const std::wstring& path, const CExtraInfo& recorded,
                                        CInstallerFacts& measured, const CReadControl& control);
