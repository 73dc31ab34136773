#pragma once
// Opening a web site or mail address that the user clicked.

#include <windows.h>

#include <string>

// Hands a web or mail address to the shell, with the scratch folder as working folder. Any other
// text, or a shell failure, shows "Failed to open the hyper-link, please try again.". True when
// the shell accepted the address.
bool OpenLink(HWND owner, const std::wstring& text);

extern const wchar_t* const LinkFailureMessage;
