#pragma once
// A fresh folder under the system's temporary folder, removed with its contents afterwards.

#include <string>

class CTempFolder {
public:
    CTempFolder();
    CTempFolder(const CTempFolder&) = delete;
    CTempFolder& operator=(const CTempFolder&) = delete;
    ~CTempFolder();

    // Ends with a backslash.
    const std::wstring& Path() const { return m_path; }
    std::wstring operator/(const std::wstring& name) const { return m_path + name; }

private:
    std::wstring m_path;
};

// Deletes a folder with everything in it; a missing folder is fine.
void DeleteFolderTree(const std::wstring& folder);

// Whole-file helpers for tests.
std::string ReadFileBytes(const std::wstring& path);
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);
bool FileExistsAt(const std::wstring& path);
// The UTF-16 little-endian bytes of text, as the history files hold it.
std::string Utf16Bytes(const std::wstring& text);
