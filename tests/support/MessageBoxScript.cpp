#include "tests/support/MessageBoxScript.h"

CMessageBoxScript::CMessageBoxScript()
{
    m_previous = SetMessageBoxAnswerer([this](HWND owner, const std::wstring& text, const std::wstring& caption,
                                              UINT type) {
        m_shown.push_back({owner, text, caption, type});
        if (!m_answers.empty()) {
            int answer = m_answers.front();
            m_answers.pop_front();
            return answer;
        }
        return (type & MB_TYPEMASK) == MB_YESNO ? IDNO : IDOK;
    });
}

CMessageBoxScript::~CMessageBoxScript()
{
    SetMessageBoxAnswerer(m_previous);
}

std::vector<std::wstring> CMessageBoxScript::Texts() const
{
    std::vector<std::wstring> texts;
    for (const ShownMessageBox& box : m_shown)
        texts.push_back(box.Text);
    return texts;
}
