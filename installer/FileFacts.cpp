#include "installer/FileFacts.h"

#include <bcrypt.h>
#include <softpub.h>
#include <wincrypt.h>
#include <wintrust.h>

#include <cwchar>
#include <memory>
#include <vector>

#include "storage/FileAccess.h"

CSha256::CSha256()
{
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    if (BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0) != 0)
        return;
    m_algorithm = algorithm;
    BCRYPT_HASH_HANDLE hash = nullptr;
    if (BCryptCreateHash(algorithm, &hash, nullptr, 0, nullptr, 0, 0) != 0)
        return;
    m_hash = hash;
    m_ok = true;
}

CSha256::~CSha256()
{
    if (m_hash)
        BCryptDestroyHash(static_cast<BCRYPT_HASH_HANDLE>(m_hash));
    if (m_algorithm)
        BCryptCloseAlgorithmProvider(static_cast<BCRYPT_ALG_HANDLE>(m_algorithm), 0);
}

void CSha256::Update(const void* data, ULONG size)
{
    if (!m_ok || size == 0)
        return;
    if (BCryptHashData(static_cast<BCRYPT_HASH_HANDLE>(m_hash), static_cast<PUCHAR>(const_cast<void*>(data)), size,
                       0) != 0)
        m_ok = false;
}

std::wstring CSha256::Finish()
{
    if (!m_ok)
        return std::wstring();
    m_ok = false;
    uint8_t digest[32] = {};
    if (BCryptFinishHash(static_cast<BCRYPT_HASH_HANDLE>(m_hash), digest, sizeof digest, 0) != 0)
        return std::wstring();
    return HexText(digest, sizeof digest);
}

bool ReadVersionFacts(const std::wstring& path, std::wstring& version, std::wstring& product)
{
    version.clear();
    product.clear();
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0)
        return false;
    std::vector<BYTE> block(size);
    if (!GetFileVersionInfoW(path.c_str(), 0, size, block.data()))
        return false;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) && fixed &&
        length >= sizeof(VS_FIXEDFILEINFO) && fixed->dwSignature == VS_FFI_SIGNATURE) {
        wchar_t text[64] = {};
        swprintf(text, 64, L"%u.%u.%u.%u", HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
                 HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS));
        version = text;
    }
    // The product name in the file's first language, else in US English with Unicode.
    struct Translation {
        WORD Language;
        WORD CodePage;
    };
    Translation* translations = nullptr;
    std::vector<Translation> tried;
    if (VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translations),
                       &length) &&
        translations && length >= sizeof(Translation))
        tried.push_back(translations[0]);
    tried.push_back({0x0409, 0x04B0});
    for (const Translation& translation : tried) {
        wchar_t query[64] = {};
        swprintf(query, 64, L"\\StringFileInfo\\%04x%04x\\ProductName", translation.Language, translation.CodePage);
        wchar_t* value = nullptr;
        if (VerQueryValueW(block.data(), query, reinterpret_cast<void**>(&value), &length) && value && length > 0) {
            product.assign(value, wcsnlen(value, length));
            break;
        }
    }
    return !version.empty() || !product.empty();
}

namespace {
std::wstring SignerName(HANDLE state)
{
    CRYPT_PROVIDER_DATA* provider = WTHelperProvDataFromStateData(state);
    if (!provider)
        return std::wstring();
    CRYPT_PROVIDER_SGNR* signer = WTHelperGetProvSignerFromChain(provider, 0, FALSE, 0);
    if (!signer || signer->csCertChain == 0 || !signer->pasCertChain || !signer->pasCertChain[0].pCert)
        return std::wstring();
    PCCERT_CONTEXT certificate = signer->pasCertChain[0].pCert;
    const DWORD length = CertGetNameStringW(certificate, CERT_NAME_SIMPLE_DISPLAY_TYPE, 0, nullptr, nullptr, 0);
    if (length <= 1)
        return std::wstring();
    std::wstring name(length, L'\0');
    CertGetNameStringW(certificate, CERT_NAME_SIMPLE_DISPLAY_TYPE, 0, nullptr, name.data(), length);
    name.resize(wcsnlen(name.c_str(), length));
    return name;
}
// Failures that the platform reports only about a signature it found.
bool SignaturePresent(LONG status)
{
    switch (status) {
    case TRUST_E_BAD_DIGEST:
    case TRUST_E_EXPLICIT_DISTRUST:
    case TRUST_E_CERT_SIGNATURE:
    case TRUST_E_TIME_STAMP:
    case TRUST_E_COUNTER_SIGNER:
    case TRUST_E_FINANCIAL_CRITERIA:
    case TRUST_E_SYSTEM_ERROR:
    case CERT_E_EXPIRED:
    case CERT_E_REVOKED:
    case CERT_E_UNTRUSTEDROOT:
    case CERT_E_CHAINING:
    case CERT_E_UNTRUSTEDTESTROOT:
    case CERT_E_WRONG_USAGE:
    case CERT_E_UNTRUSTEDCA:
    case CRYPT_E_SECURITY_SETTINGS:
        return true;
    default:
        return false;
    }
}
}  // namespace

void ReadSignatureFacts(const std::wstring& path, std::wstring& signer, std::wstring& trust)
{
    signer.clear();
    WINTRUST_FILE_INFO file{};
    file.cbStruct = sizeof file;
    file.pcwszFilePath = path.c_str();
    WINTRUST_DATA data{};
    data.cbStruct = sizeof data;
    data.dwUIChoice = WTD_UI_NONE;
    // No network: revocation lists would make an attach wait on a server.
    data.fdwRevocationChecks = WTD_REVOKE_NONE;
    data.dwUnionChoice = WTD_CHOICE_FILE;
    data.pFile = &file;
    data.dwStateAction = WTD_STATEACTION_VERIFY;
    data.dwProvFlags = WTD_CACHE_ONLY_URL_RETRIEVAL;
    GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
    const LONG status = WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
    if (status != TRUST_E_NOSIGNATURE && data.hWVTStateData)
        signer = SignerName(data.hWVTStateData);
    if (status == ERROR_SUCCESS)
        trust = TrustTrusted;
    else if (!signer.empty() || SignaturePresent(status))
        trust = TrustNotTrusted;
    else
        trust = TrustUnsigned;  // no signature, or none the platform could find in the file
    data.dwStateAction = WTD_STATEACTION_CLOSE;
    WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
}

void ReadFileDetails(const std::wstring& path, CInstallerFacts& facts)
{
    ReadVersionFacts(path, facts.Version, facts.Product);
    ReadSignatureFacts(path, facts.Signer, facts.Trust);
}

std::wstring NowTimestamp()
{
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return TimestampText(now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond);
}

namespace {
bool IsMissing(const std::wstring& path)
{
    if (path.empty())
        return true;
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES)
        return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_INVALID_NAME ||
           error == ERROR_BAD_NETPATH || error == ERROR_INVALID_DRIVE || error == ERROR_NOT_READY ||
           error == ERROR_BAD_NET_NAME;
}

struct CVirtualBuffer {
    explicit CVirtualBuffer(SIZE_T size) : Data(VirtualAlloc(nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE))
    {
    }
    ~CVirtualBuffer()
    {
        if (Data)
            VirtualFree(Data, 0, MEM_RELEASE);
    }
    CVirtualBuffer(const CVirtualBuffer&) = delete;
    CVirtualBuffer& operator=(const CVirtualBuffer&) = delete;
    void* Data;
};
}  // namespace

namespace {
// One read of the file in flight while the previous chunk is hashed, so hashing a file on a disk
// costs the slower of reading and hashing, not their sum.
class COverlappedRead {
public:
    COverlappedRead() { m_overlapped.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr); }
    ~COverlappedRead()
    {
        Settle();
        if (m_overlapped.hEvent)
            CloseHandle(m_overlapped.hEvent);
    }
    COverlappedRead(const COverlappedRead&) = delete;
    COverlappedRead& operator=(const COverlappedRead&) = delete;

    bool IsValid() const { return m_overlapped.hEvent != nullptr; }
    // Starts reading size bytes at offset into buffer. False on an error other than the end.
    bool Start(HANDLE file, void* buffer, DWORD size, uint64_t offset)
    {
        m_file = file;
        m_overlapped.Offset = static_cast<DWORD>(offset);
        m_overlapped.OffsetHigh = static_cast<DWORD>(offset >> 32);
        ResetEvent(m_overlapped.hEvent);
        m_atEnd = false;
        if (ReadFile(file, buffer, size, nullptr, &m_overlapped) || GetLastError() == ERROR_IO_PENDING) {
            m_pending = true;
            return true;
        }
        m_atEnd = GetLastError() == ERROR_HANDLE_EOF;
        return m_atEnd;
    }
    // Waits for the read; false on a read error. got is 0 at the end of the file.
    bool Finish(DWORD& got)
    {
        got = 0;
        if (!m_pending)
            return m_atEnd;
        m_pending = false;
        if (GetOverlappedResult(m_file, &m_overlapped, &got, TRUE))
            return true;
        return GetLastError() == ERROR_HANDLE_EOF;
    }
    // No read may still write into a buffer that is about to go.
    void Settle()
    {
        if (!m_pending)
            return;
        CancelIoEx(m_file, &m_overlapped);
        DWORD ignored = 0;
        GetOverlappedResult(m_file, &m_overlapped, &ignored, TRUE);
        m_pending = false;
    }

private:
    OVERLAPPED m_overlapped{};
    HANDLE m_file = nullptr;
    bool m_pending = false;
    bool m_atEnd = false;
};
}  // namespace

MeasureOutcome HashFile(const std::wstring& path, uint64_t& size, std::wstring& sha256, const CReadControl& control)
{
    sha256.clear();
    size = 0;
    if (IsMissing(path))
        return MeasureOutcome::Missing;
    // Others may read, and even delete or rename it meanwhile; what was read is what is reported.
    CFileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN | FILE_FLAG_OVERLAPPED, nullptr));
    if (!file.IsOpen())
        return IsMissing(path) ? MeasureOutcome::Missing : MeasureOutcome::Unreadable;
    LARGE_INTEGER length{};
    if (!GetFileSizeEx(file.Get(), &length) || length.QuadPart < 0)
        return MeasureOutcome::Unreadable;
    const uint64_t total = static_cast<uint64_t>(length.QuadPart);
    CSha256 hash;
    CVirtualBuffer buffers[2] = {CVirtualBuffer(HashChunkSize), CVirtualBuffer(HashChunkSize)};
    // Declared after the buffers, so it settles before they go.
    COverlappedRead reads[2];
    if (!hash.IsValid() || !buffers[0].Data || !buffers[1].Data || !reads[0].IsValid() || !reads[1].IsValid())
        return MeasureOutcome::Unreadable;
    uint64_t done = 0;
    int current = 0;
    if (!reads[0].Start(file.Get(), buffers[0].Data, HashChunkSize, 0))
        return MeasureOutcome::Unreadable;
    for (;;) {
        DWORD got = 0;
        if (!reads[current].Finish(got))
            return MeasureOutcome::Unreadable;
        if (got == 0)
            break;
        if (control.Cancelled && control.Cancelled())
            return MeasureOutcome::Cancelled;
        const int next = 1 - current;
        if (!reads[next].Start(file.Get(), buffers[next].Data, HashChunkSize, done + got))
            return MeasureOutcome::Unreadable;
        hash.Update(buffers[current].Data, got);
        done += got;
        if (control.Progress)
            control.Progress(done, total);
        current = next;
    }
    sha256 = hash.Finish();
    if (sha256.empty())
        return MeasureOutcome::Unreadable;
    size = done;
    return MeasureOutcome::Done;
}

MeasureOutcome MeasureInstaller(const std::wstring& path, CInstallerFacts& facts, const CReadControl& control)
{
    facts = CInstallerFacts();
    const MeasureOutcome outcome = HashFile(path, facts.Size, facts.Sha256, control);
    if (outcome == MeasureOutcome::Done)
        ReadFileDetails(path, facts);
    return outcome;
}

InstallerCheckResult CheckInstallerFile(const std::wstring& path, const CExtraInfo& recorded,
                                        CInstallerFacts& measured, const CReadControl& control)
{
    measured = CInstallerFacts();
    switch (HashFile(path, measured.Size, measured.Sha256, control)) {
    case MeasureOutcome::Missing: return InstallerCheckResult::Missing;
    case MeasureOutcome::Unreadable: return InstallerCheckResult::Unreadable;
    case MeasureOutcome::Cancelled: return InstallerCheckResult::None;
    case MeasureOutcome::Done: break;
    }
    if (!CompareInstallerFacts(recorded, measured).Any())
        return InstallerCheckResult::Intact;
    ReadFileDetails(path, measured);
    return InstallerCheckResult::Changed;
}
