#pragma once
// Answers the program's message boxes during a test and records what each one said.

#include <windows.h>

#include <deque>
#include <string>
#include <vector>

#include "framework/MessageBox.h"

struct ShownMessageBox {
    HWND Owner;
    std::wstring Text;
    std::wstring Caption;
    UINT Type;
};

class CMessageBoxScript {
public:
    // Boxes beyond the scripted answers are answered IDOK (or IDNO for Yes/No boxes).
    CMessageBoxScript();
    CMessageBoxScript(const CMessageBoxScript&) = delete;
    CMessageBoxScript& operator=(const CMessageBoxScript&) = delete;
    ~CMessageBoxScript();

    void Answer(int result) { m_answers.push_back(result); }
    const std::vector<ShownMessageBox>& Shown() const { return m_shown; }
    std::vector<std::wstring> Texts() const;

private:
    std::deque<int> m_answers;
    std::vector<ShownMessageBox> m_shown;
    MessageBoxAnswerer m_previous;
};
