#pragma once
// The wait for files other programs hold a moment, as the Windows tests run it.

#include "storage/FileAccess.h"

constexpr DWORD TestInUseWait = 250;

// Sets the wait while it lives.
class CInUseWait {
public:
    explicit CInUseWait(DWORD milliseconds) : m_previous(SetInUseWait(milliseconds)) {}
    CInUseWait(const CInUseWait&) = delete;
    CInUseWait& operator=(const CInUseWait&) = delete;
    ~CInUseWait() { SetInUseWait(m_previous); }

private:
    DWORD m_previous;
};
