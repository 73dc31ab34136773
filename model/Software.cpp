#include "model/Software.h"

#include <cstring>

#ifdef _WIN32
#include <windows.h>
#endif

IconHandle NoInstallerIcon = nullptr;
IconHandle FileIcon = nullptr;
IconHandle ImportedIcon = nullptr;

#ifdef _WIN32
void DestroyIconHandle(IconHandle icon)
{
    DestroyIcon(static_cast<HICON>(icon));
}
#else
// No icons exist off Windows; records there only ever hold null or the shared placeholders.
void DestroyIconHandle(IconHandle) {}
#endif

namespace {
IconDestroyer CurrentIconDestroyer = DestroyIconHandle;
}  // namespace

IconDestroyer SetIconDestroyer(IconDestroyer destroyer)
{
    IconDestroyer previous = CurrentIconDestroyer;
    CurrentIconDestroyer = destroyer ? destroyer : DestroyIconHandle;
    return previous;
}

bool SoftwareId::IsNull() const
{
    return *this == SoftwareId();
}

bool operator==(const SoftwareId& a, const SoftwareId& b)
{
    return a.Data1 == b.Data1 && a.Data2 == b.Data2 && a.Data3 == b.Data3 &&
           std::memcmp(a.Data4, b.Data4, sizeof a.Data4) == 0;
}

const ExtraField ExtraFields[11] = {
    {L"PurchaseDate", &CExtraInfo::PurchaseDate},
    {L"ExpiryDate", &CExtraInfo::ExpiryDate},
    {L"InstallerSize", &CExtraInfo::InstallerSize},
    {L"InstallerSha256", &CExtraInfo::InstallerSha256},
    {L"InstallerVersion", &CExtraInfo::InstallerVersion},
    {L"InstallerProduct", &CExtraInfo::InstallerProduct},
    {L"InstallerSigner", &CExtraInfo::InstallerSigner},
    {L"InstallerTrust", &CExtraInfo::InstallerTrust},
    {L"InstallerAttached", &CExtraInfo::InstallerAttached},
    {L"InstallerChecked", &CExtraInfo::InstallerChecked},
    {L"InstallerCheck", &CExtraInfo::InstallerCheck},
};

bool CExtraInfo::IsEmpty() const
{
    for (const ExtraField& field : ExtraFields)
        if (!(this->*field.Member).empty())
            return false;
    return true;
}

bool operator==(const CExtraInfo& a, const CExtraInfo& b)
{
    for (const ExtraField& field : ExtraFields)
        if (a.*field.Member != b.*field.Member)
            return false;
    return true;
}

CSoftware::~CSoftware()
{
    ReleaseIcon();
}

CSoftware& CSoftware::operator=(const CSoftware& other)
{
    if (this != &other) {
        Id = other.Id;
        BasicInfo = other.BasicInfo;
        RegInfo = other.RegInfo;
        InstallerInfo = other.InstallerInfo;
        ExtraInfo = other.ExtraInfo;
    }
    return *this;
}

void CSoftware::ReleaseIcon()
{
    IconHandle icon = InstallerInfo.Icon;
    InstallerInfo.Icon = nullptr;
    if (icon && icon != NoInstallerIcon && icon != FileIcon && icon != ImportedIcon)
        CurrentIconDestroyer(icon);
}

CSoftwareArray::~CSoftwareArray()
{
    if (IsOwner) {
        for (CSoftware* record : m_items)
            delete record;
    }
}

void CSoftwareArray::RemoveAll()
{
    if (IsOwner) {
        for (CSoftware* record : m_items)
            delete record;
    }
    m_items.clear();
}

void CSoftwareArray::RemoveAt(int index, int count)
{
    if (IsOwner) {
        if (index < 0 || index >= GetSize() || count <= 0)
            return;
        if (count > GetSize() - index)
            count = GetSize() - index;
        for (int i = index; i < index + count; ++i)
            delete m_items[static_cast<size_t>(i)];
    }
    CArray<CSoftware*>::RemoveAt(index, count);
}

void CSoftwareArray::Swap(int first, int second)
{
    std::swap(m_items[static_cast<size_t>(first)], m_items[static_cast<size_t>(second)]);
}

int CSoftwareArray::Find(const CSoftware* record) const
{
    for (size_t i = 0; i < m_items.size(); ++i) {
        if (m_items[i] == record)
            return static_cast<int>(i);
    }
    return -1;
}

CSoftwareArrayArray::~CSoftwareArrayArray()
{
    RemoveAll();
}

void CSoftwareArrayArray::RemoveAll()
{
    for (CSoftwareArray* group : m_items)
        delete group;
    m_items.clear();
}
