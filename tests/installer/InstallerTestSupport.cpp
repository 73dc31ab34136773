#include "tests/installer/InstallerTestSupport.h"

#include <cstdlib>
#include <cstring>
#include <cwchar>

#include "installer/InstallerText.h"
#include "storage/Configurations.h"

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs)
{
    ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (!condition()) {
        if (GetTickCount64() >= deadline)
            return condition();
        Sleep(1);
    }
    return true;
}

std::string PatternBytes(size_t count, unsigned seed)
{
    std::string bytes(count, '\0');
    uint32_t state = 2463534242u ^ (seed * 2654435761u);
    for (char& c : bytes) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        c = static_cast<char>(state & 0xFF);
    }
    return bytes;
}

CDataFolderScope::CDataFolderScope() : m_previous(Settings.DataFolder)
{
    m_data = m_root.Path() + L"data\\";
    CreateDirectoryW(m_data.c_str(), nullptr);
    Settings.DataFolder = m_data;
}

CDataFolderScope::~CDataFolderScope()
{
    Settings.DataFolder = m_previous;
}

std::wstring CDataFolderScope::ImportedPath(const CSoftware& record) const
{
    return ImportedInstallerPath(m_data, record);
}

void SetTestId(CSoftware& record, uint32_t seed)
{
    record.Id.Data1 = 0x1234ABCDu + seed;
    record.Id.Data2 = 0x5678;
    record.Id.Data3 = 0x9ABC;
    for (int i = 0; i < 8; ++i)
        record.Id.Data4[i] = static_cast<uint8_t>(0x10 * i + seed);
}

CHoldWorker::CHoldWorker(CImportProgressDlg& dialog, CopyStage stage, uint64_t chunk)
    : m_dialog(dialog), m_stage(stage), m_chunk(chunk)
{
    // Runs on the worker thread; the test reads the counts only after the worker has ended.
    dialog.SetCopyObserver([this](CopyStage at, uint64_t) {
        HWND window = m_dialog.GetSafeHwnd();
        if (at == CopyStage::Chunk)
            ++m_chunks;
        if (at == CopyStage::Finished) {
            if (WatchWindowAtFinish)
                WaitUntil([window] { return !IsWindow(window); }, 300);
            m_windowAliveAtFinish = IsWindow(window) != FALSE;
        }
        bool holdHere = at == m_stage && (at != CopyStage::Chunk || m_chunks == m_chunk);
        if (!holdHere || m_held)
            return;
        m_held = true;
        if (AtHold) {
            AtHold(window);
            return;
        }
        if (FirstMessage)
            PostMessageW(window, FirstMessage, FirstWParam, 0);
        PostMessageW(window, Message, WParam, 0);
        WaitUntil([this] { return m_dialog.IsCancelRequested(); });
    });
}

CHoldWorker::~CHoldWorker()
{
    m_dialog.SetCopyObserver({});
}

namespace {
struct CScreenDC {
    HDC Handle = GetDC(nullptr);
    ~CScreenDC() { ReleaseDC(nullptr, Handle); }
};

struct CMemoryDC {
    HDC Handle;
    explicit CMemoryDC(HDC like) : Handle(CreateCompatibleDC(like)) {}
    ~CMemoryDC() { DeleteDC(Handle); }
};

struct CGdiObject {
    HGDIOBJ Handle;
    ~CGdiObject()
    {
        if (Handle)
            DeleteObject(Handle);
    }
};

struct CSelection {
    HDC DC;
    HGDIOBJ Previous;
    CSelection(HDC dc, HGDIOBJ object) : DC(dc), Previous(SelectObject(dc, object)) {}
    ~CSelection() { SelectObject(DC, Previous); }
};

// A top-down 32-bit DIB section of size x size.
HBITMAP MakeDib(HDC dc, int size, void** bits)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size;
    info.bmiHeader.biHeight = -size;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return CreateDIBSection(dc, &info, DIB_RGB_COLORS, bits, nullptr, 0);
}

void PutWord(std::string& bytes, uint16_t value)
{
    bytes.push_back(static_cast<char>(value & 0xFF));
    bytes.push_back(static_cast<char>(value >> 8));
}

void PutDword(std::string& bytes, uint32_t value)
{
    PutWord(bytes, static_cast<uint16_t>(value & 0xFFFF));
    PutWord(bytes, static_cast<uint16_t>(value >> 16));
}
}  // namespace

bool WriteIconFile(const std::wstring& path, int size, uint32_t rgb)
{
    const uint32_t pixelBytes = static_cast<uint32_t>(size * size * 4);
    const uint32_t maskRow = static_cast<uint32_t>((size + 31) / 32 * 4);
    const uint32_t imageBytes = 40 + pixelBytes + maskRow * static_cast<uint32_t>(size);
    std::string bytes;
    PutWord(bytes, 0);  // icon directory
    PutWord(bytes, 1);
    PutWord(bytes, 1);
    bytes.push_back(static_cast<char>(size >= 256 ? 0 : size));  // its one entry
    bytes.push_back(static_cast<char>(size >= 256 ? 0 : size));
    bytes.push_back(0);
    bytes.push_back(0);
    PutWord(bytes, 1);
    PutWord(bytes, 32);
    PutDword(bytes, imageBytes);
    PutDword(bytes, 22);
    PutDword(bytes, 40);  // the image: header, colour rows bottom-up, AND mask (all opaque)
    PutDword(bytes, static_cast<uint32_t>(size));
    PutDword(bytes, static_cast<uint32_t>(size * 2));
    PutWord(bytes, 1);
    PutWord(bytes, 32);
    PutDword(bytes, BI_RGB);
    PutDword(bytes, pixelBytes + maskRow * static_cast<uint32_t>(size));
    PutDword(bytes, 0);
    PutDword(bytes, 0);
    PutDword(bytes, 0);
    PutDword(bytes, 0);
    for (int i = 0; i < size * size; ++i)
        PutDword(bytes, 0xFF000000u | rgb);
    bytes.append(maskRow * static_cast<size_t>(size), '\0');
    return WriteFileBytes(path, bytes);
}

HICON MakeSolidIcon(int size, uint32_t rgb)
{
    CScreenDC screen;
    void* bits = nullptr;
    CGdiObject colour{MakeDib(screen.Handle, size, &bits)};
    if (!colour.Handle)
        return nullptr;
    uint32_t* pixels = static_cast<uint32_t*>(bits);
    for (int i = 0; i < size * size; ++i)
        pixels[i] = 0xFF000000u | rgb;
    CGdiObject mask{CreateBitmap(size, size, 1, 1, nullptr)};
    {
        CMemoryDC dc(screen.Handle);
        CSelection select(dc.Handle, mask.Handle);
        PatBlt(dc.Handle, 0, 0, size, size, BLACKNESS);
    }
    ICONINFO info{};
    info.fIcon = TRUE;
    info.hbmColor = static_cast<HBITMAP>(colour.Handle);
    info.hbmMask = static_cast<HBITMAP>(mask.Handle);
    return CreateIconIndirect(&info);
}

std::vector<uint32_t> IconPixels(HICON icon, int size)
{
    CScreenDC screen;
    CMemoryDC dc(screen.Handle);
    void* bits = nullptr;
    CGdiObject dib{MakeDib(screen.Handle, size, &bits)};
    std::vector<uint32_t> pixels;
    if (!dib.Handle)
        return pixels;
    {
        CSelection select(dc.Handle, dib.Handle);
        std::memset(bits, 0xFF, static_cast<size_t>(size * size * 4));
        DrawIconEx(dc.Handle, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
        GdiFlush();
    }
    const uint32_t* drawn = static_cast<const uint32_t*>(bits);
    for (int i = 0; i < size * size; ++i)
        pixels.push_back(drawn[i] & 0xFFFFFF);
    return pixels;
}

uint32_t CentrePixel(HICON icon, int size)
{
    std::vector<uint32_t> pixels = IconPixels(icon, size);
    return pixels.empty() ? 0xFFFFFFFFu : pixels[static_cast<size_t>(size / 2 * size + size / 2)];
}

bool IconIsAlive(HICON icon)
{
    ICONINFO info{};
    if (!GetIconInfo(icon, &info))
        return false;
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    if (info.hbmMask)
        DeleteObject(info.hbmMask);
    return true;
}

CSharedIconsScope::CSharedIconsScope()
    : m_previous{NoInstallerIcon, FileIcon, ImportedIcon},
      m_icons{MakeSolidIcon(48, 0x101010), MakeSolidIcon(48, 0x202020), MakeSolidIcon(48, 0x303030)}
{
    NoInstallerIcon = m_icons[0];
    FileIcon = m_icons[1];
    ImportedIcon = m_icons[2];
}

CSharedIconsScope::~CSharedIconsScope()
{
    NoInstallerIcon = m_previous[0];
    FileIcon = m_previous[1];
    ImportedIcon = m_previous[2];
    for (HICON icon : m_icons)
        DestroyIcon(icon);
}

namespace {
// Class names the tests register all start so; anything else under the classes root is not theirs.
const wchar_t TestClassPrefix[] = L"QuorvaneTest.";

bool SetDefaultValue(const std::wstring& subKey, const BYTE* data, DWORD size, DWORD type)
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CLASSES_ROOT, subKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    LONG status = RegSetValueExW(key, nullptr, 0, type, data, size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

bool SetDefaultText(const std::wstring& subKey, const std::wstring& text, DWORD type = REG_SZ)
{
    return SetDefaultValue(subKey, reinterpret_cast<const BYTE*>(text.c_str()),
                           static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)), type);
}

// Whether the key is free for the test: missing, or left over by an earlier run of the tests.
bool FreeForTest(const std::wstring& subKey, bool isClass)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, subKey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return true;
    wchar_t value[128] = {};
    DWORD size = sizeof value - sizeof(wchar_t);
    DWORD type = REG_NONE;
    bool read = RegQueryValueExW(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) == ERROR_SUCCESS;
    RegCloseKey(key);
    if (isClass)
        return subKey.compare(0, wcslen(TestClassPrefix), TestClassPrefix) == 0;
    return read && type == REG_SZ && std::wstring(value).compare(0, wcslen(TestClassPrefix), TestClassPrefix) == 0;
}
}  // namespace

CRegisteredType::CRegisteredType(const std::wstring& extension, const std::wstring& className,
                                 const std::wstring& iconText, DWORD iconType)
    : m_extension(extension), m_className(className)
{
    // Never take over a registration that is not the test's own.
    if (!FreeForTest(extension, false) || !FreeForTest(className, true)) {
        m_extension.clear();
        return;
    }
    m_ok = SetDefaultText(extension, className);
    if (!m_ok)
        return;
    if (iconText.empty()) {
        m_ok = SetDefaultText(className, L"Test class");
    } else if (iconType == REG_DWORD) {
        DWORD number = static_cast<DWORD>(wcstoul(iconText.c_str(), nullptr, 10));
        m_ok = SetDefaultValue(className + L"\\DefaultIcon", reinterpret_cast<const BYTE*>(&number), sizeof number,
                               REG_DWORD);
    } else {
        m_ok = SetDefaultText(className + L"\\DefaultIcon", iconText, iconType);
    }
}

CRegisteredType::~CRegisteredType()
{
    if (m_extension.empty())
        return;
    for (const std::wstring* key : {&m_extension, &m_className}) {
        RegDeleteTreeW(HKEY_CLASSES_ROOT, key->c_str());
        RegDeleteKeyW(HKEY_CLASSES_ROOT, key->c_str());
    }
}
