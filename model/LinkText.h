#pragma once
// Which texts may be handed to the shell as a link. A web-site field is free text: opening a
// program's path or a document from it would start that program, so only web and mail addresses
// pass.

#include <string>

// The address to open, or empty when the text is not a web or mail address. Blanks at both ends
// are dropped; the scheme (http, https, ftp, mailto) is compared without regard to case; a bare
// "www." address is given "http://".
std::wstring SafeLinkTarget(const std::wstring& text);
