#include "installer/IconExtraction.h"

#include <vector>

#include "installer/IconCache.h"
#include "installer/InstallerText.h"
#include "storage/SoftwareFiles.h"

namespace {
// Owns an open registry key.
class CRegistryKey {
public:
    explicit CRegistryKey(HKEY key) : m_key(key) {}
    CRegistryKey(const CRegistryKey&) = delete;
    CRegistryKey& operator=(const CRegistryKey&) = delete;
    ~CRegistryKey()
    {
        if (m_key)
            CloseRegistryKey(m_key);
    }
    HKEY Get() const { return m_key; }

private:
    HKEY m_key;
};

HKEY RootKey(int root)
{
    switch (root) {
    case RegistryClassesRoot:
        return HKEY_CLASSES_ROOT;
    case RegistryCurrentConfig:
        return HKEY_CURRENT_CONFIG;
    case RegistryCurrentUser:
        return HKEY_CURRENT_USER;
    case RegistryLocalMachine:
        return HKEY_LOCAL_MACHINE;
    case RegistryUsers:
        return HKEY_USERS;
    default:
        return nullptr;
    }
}

RegistryValueClass ClassOfType(DWORD type)
{
    switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ:
        return RegistryValueClass::Text;
    case REG_DWORD:
        return RegistryValueClass::Number;
    default:
        return RegistryValueClass::Other;
    }
}

// The default value of the sub-key under the classes root, as text.
bool ReadClassesText(const std::wstring& subKey, std::wstring& text)
{
    CRegistryKey key(OpenRegistryKey(RegistryClassesRoot, subKey));
    return key.Get() && ReadRegistryText(key.Get(), nullptr, text) && !text.empty();
}
}  // namespace

HKEY OpenRegistryKey(int root, const std::wstring& subKey)
{
    HKEY parent = RootKey(root);
    if (!parent || subKey.empty())
        return nullptr;
    // Reading is all the lookup does; asking for more fails for a standard user on the keys that
    // only administrators may change, which is where most file types are registered.
    HKEY key = nullptr;
    if (RegOpenKeyExW(parent, subKey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

RegistryValueClass QueryRegistryValue(HKEY key, const wchar_t* name, DWORD& size)
{
    DWORD type = REG_NONE;
    size = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return RegistryValueClass::Missing;
    return ClassOfType(type);
}

bool ReadRegistryText(HKEY key, const wchar_t* name, std::wstring& text)
{
    DWORD size = 0;
    if (QueryRegistryValue(key, name, size) != RegistryValueClass::Text)
        return false;
    // Twice the room leaves space for the NUL that a stored string may lack.
    std::vector<BYTE> buffer(static_cast<size_t>(size) * 2 + sizeof(wchar_t), 0);
    DWORD type = REG_NONE;
    DWORD got = static_cast<DWORD>(buffer.size());
    if (RegQueryValueExW(key, name, nullptr, &type, buffer.data(), &got) != ERROR_SUCCESS)
        return false;
    if (ClassOfType(type) != RegistryValueClass::Text || got != size)
        return false;
    const wchar_t* characters = reinterpret_cast<const wchar_t*>(buffer.data());
    size_t length = 0;
    while (length < got / sizeof(wchar_t) && characters[length] != L'\0')
        ++length;
    text.assign(characters, length);
    return true;
}

bool CloseRegistryKey(HKEY key)
{
    return key && RegCloseKey(key) == ERROR_SUCCESS;
}

bool LookupDefaultIcon(const std::wstring& extension, std::wstring& iconFile, int32_t& iconIndex)
{
    std::wstring className;
    if (!ReadClassesText(extension, className))
        return false;
    std::wstring iconText;
    if (!ReadClassesText(className + L"\\DefaultIcon", iconText))
        return false;
    return ParseIconLocation(iconText, iconFile, iconIndex);
}

HICON ExtractIconAtSizes(const std::wstring& file, int32_t index)
{
    static const int sizes[] = {48, 32, 16};
    for (int size : sizes) {
        HICON icon = nullptr;
        UINT iconId = 0;
        UINT count = PrivateExtractIconsW(file.c_str(), index, size, size, &icon, &iconId, 1, 0);
        if (count != 0 && count != 0xFFFFFFFF && icon)
            return icon;
    }
    return nullptr;
}

void UpdateIcon(CSoftware& record)
{
    record.ReleaseIcon();
    InstallerIcons.Forget(record);
    CInstallerInfo& installer = record.InstallerInfo;
    if (installer.InstallerPath.empty())
        installer.Icon = NoInstallerIcon;
    else if (installer.AttachMode == 1)
        installer.Icon = ImportedIcon;
    // A referenced installer's icon comes from the cache when its card is drawn.
}

void InstallIconRefresh()
{
    RefreshIconAfterLoad = UpdateIcon;
}
