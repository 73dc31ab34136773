#pragma once
// One catalogued software and the lists that hold records.

#include <cstdint>
#include <string>

#include "framework/Array.h"

// An icon handle as the model sees it; the Windows shell stores an HICON here.
using IconHandle = void*;

// The three icons loaded once at start-up and shared by every record; a record never destroys them.
extern IconHandle NoInstallerIcon;
extern IconHandle FileIcon;
extern IconHandle ImportedIcon;

// Destroys an icon a record extracted for itself. Provided by the platform layer.
void DestroyIconHandle(IconHandle icon);

using IconDestroyer = void (*)(IconHandle icon);
// Replaces how records destroy their own icons, so tests can see which ones go; null restores
// DestroyIconHandle. Returns the previous one.
IconDestroyer SetIconDestroyer(IconDestroyer destroyer);

// 16-byte identifier in the usual GUID layout.
struct SoftwareId {
    uint32_t Data1 = 0;
    uint16_t Data2 = 0;
    uint16_t Data3 = 0;
    uint8_t Data4[8] = {};

    bool IsNull() const;
    friend bool operator==(const SoftwareId& a, const SoftwareId& b);
    friend bool operator!=(const SoftwareId& a, const SoftwareId& b) { return !(a == b); }
};

constexpr int DefaultCurrency = 18;  // "USD"

struct SoftwarePrice {
    float Value = 0.0f;  // exactly 0 means free
    int32_t Currency = DefaultCurrency;
};

struct CBasicInfo {
    std::wstring Name = L"Unknown";
    std::wstring Version = L"0.0.0.0";
    std::wstring Company = L"Unknown";
    std::wstring Website = L"Unknown";
    SoftwarePrice Price;
    int32_t Category = 0;
    int32_t Type = 0;
};

struct CRegInfo {
    std::wstring UserName;
    std::wstring UserCompany;
    std::wstring UserEmail;
    std::wstring Comment;
    CStringArray CodeName;  // paired by position with Code
    CStringArray Code;
};

struct CInstallerInfo {
    std::wstring InstallerPath;  // empty: no installer attached
    std::wstring OriginalPath;
    int32_t AttachMode = 0;      // 0 reference, 1 import
    IconHandle Icon = nullptr;   // never stored in the file
};

// Fields added after the first file format. Each is text, empty when not set; the meta-data file
// holds only the non-empty ones, inside one container after the installer, so a record that sets
// none is written exactly as before and older builds read newer files unchanged.
struct CExtraInfo {
    // Licence dates, ISO "YYYY-MM-DD".
    std::wstring PurchaseDate;
    std::wstring ExpiryDate;
    // Facts about the installer file, recorded when it is attached and when it is checked.
    std::wstring InstallerSize;     // byte count, decimal
    std::wstring InstallerSha256;   // 64 hexadecimal digits
    std::wstring InstallerVersion;  // file version from its version resource
    std::wstring InstallerProduct;  // product name from its version resource
    std::wstring InstallerSigner;   // the signer's name, when the file is signed
    std::wstring InstallerTrust;    // whether the platform trusts the signature
    std::wstring InstallerAttached; // when it was attached, ISO "YYYY-MM-DDTHH:MM:SS"
    std::wstring InstallerChecked;  // when it was last checked, same form
    std::wstring InstallerCheck;    // the result of that check

    bool IsEmpty() const;
    friend bool operator==(const CExtraInfo& a, const CExtraInfo& b);
    friend bool operator!=(const CExtraInfo& a, const CExtraInfo& b) { return !(a == b); }
};

// The element name of every extra field, in file order, with where the record keeps it.
struct ExtraField {
    const wchar_t* Element;
    std::wstring CExtraInfo::*Member;
};
extern const ExtraField ExtraFields[11];

class CSoftware {
public:
    CSoftware() = default;
    CSoftware(const CSoftware&) = delete;
    ~CSoftware();

    // Copies every field, the icon handle included; the program only assigns from a fresh record.
    CSoftware& operator=(const CSoftware& other);

    // Destroys an extracted icon (never a shared one) and forgets it.
    void ReleaseIcon();

    SoftwareId Id;
    CBasicInfo BasicInfo;
    CRegInfo RegInfo;
    CInstallerInfo InstallerInfo;
    CExtraInfo ExtraInfo;
};

// Sort keys a list remembers; the same values as the settings' default sort key.
enum SortKeyValue {
    SortNone = 0,
    SortByName = 1,
    SortByPrice = 2,
    SortByUserName = 3,
    SortByUserEmail = 4,
    // Added after the first four: records without a valid expiry date come last either way.
    SortByExpiry = 5,
};

class CSoftwareArray : public CArray<CSoftware*> {
public:
    CSoftwareArray() = default;
    CSoftwareArray(const CSoftwareArray&) = delete;
    CSoftwareArray& operator=(const CSoftwareArray&) = delete;
    ~CSoftwareArray() override;

    void RemoveAll() override;
    // On an owning list, an index outside the list or a count below 1 does nothing, and the
    // count is cut back to the end of the list.
    void RemoveAt(int index, int count = 1) override;

    void Swap(int first, int second);
    // Position of the record, or -1.
    int Find(const CSoftware* record) const;

    int32_t IsOwner = 0;
    int32_t SortKey = SortNone;
};

// The groups of the current classification; always owns its lists, never their records.
class CSoftwareArrayArray : public CArray<CSoftwareArray*> {
public:
    CSoftwareArrayArray() = default;
    CSoftwareArrayArray(const CSoftwareArrayArray&) = delete;
    CSoftwareArrayArray& operator=(const CSoftwareArrayArray&) = delete;
    ~CSoftwareArrayArray() override;

    void RemoveAll() override;
};
