#pragma once
// Another program that has one of our files open for a moment, on a thread of its own.

#include <windows.h>

#include <string>
#include <utility>

// Another program that opens a file, holds it about 0.6 s, and closes it; as a search indexer or a
// virus scanner does just after a file changed.
class CBriefHolder {
public:
    CBriefHolder(std::wstring path, DWORD access, DWORD shareMode, bool deleteWhileHeld = false)
        : m_path(std::move(path)), m_access(access), m_shareMode(shareMode), m_deleteWhileHeld(deleteWhileHeld),
          m_held(CreateEventW(nullptr, TRUE, FALSE, nullptr))
    {
        m_thread = CreateThread(nullptr, 0, Run, this, 0, nullptr);
    }
    CBriefHolder(const CBriefHolder&) = delete;
    CBriefHolder& operator=(const CBriefHolder&) = delete;
    ~CBriefHolder()
    {
        if (m_thread) {
            WaitForSingleObject(m_thread, INFINITE);
            CloseHandle(m_thread);
        }
        CloseHandle(m_held);
    }

    // True once the file is held (false when it could not be opened).
    bool WaitUntilHeld() { return WaitForSingleObject(m_held, 10000) == WAIT_OBJECT_0 && m_opened; }
    bool Released() const { return m_released != 0; }

private:
    static DWORD WINAPI Run(LPVOID self)
    {
        static_cast<CBriefHolder*>(self)->Hold();
        return 0;
    }
    void Hold()
    {
        HANDLE file = CreateFileW(m_path.c_str(), m_access, m_shareMode, nullptr, OPEN_EXISTING, 0, nullptr);
        m_opened = file != INVALID_HANDLE_VALUE;
        if (m_opened && m_deleteWhileHeld) {
            FILE_DISPOSITION_INFO disposition{TRUE};
            m_opened = SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition) != FALSE;
        }
        SetEvent(m_held);
        if (file == INVALID_HANDLE_VALUE)
            return;
        Sleep(600);  // the other program's moment; nothing is asserted on time
        InterlockedExchange(&m_released, 1);
        CloseHandle(file);
    }

    std::wstring m_path;
    DWORD m_access;
    DWORD m_shareMode;
    bool m_deleteWhileHeld;
    HANDLE m_held;
    HANDLE m_thread = nullptr;
    bool m_opened = false;
    volatile LONG m_released = 0;
};

