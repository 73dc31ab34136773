#pragma once
// Case-insensitive text order and look-ups shared by grouping, history lists and the editor.

#include <string>
#include <vector>

#include "framework/Array.h"

// The platform's upper-casing of one character (the Windows build uses CharUpperBuffW).
wchar_t PlatformUpperChar(wchar_t c);
// The upper-casing the native build uses in its place: the simple mappings of Windows' table for
// Basic Latin, Latin-1, Latin Extended-A, the Greek and Cyrillic base letters and fullwidth Latin;
// every other character is left as it is.
wchar_t PortableUpperChar(wchar_t c);
// Every character through PlatformUpperChar; TextGreater is the code-unit order of these forms.
std::wstring PlatformUpper(const std::wstring& text);
// Negative, zero or positive as a sorts before, with or after b, comparing unsigned code units.
int CompareCodeUnits(const std::wstring& a, const std::wstring& b);

// True when a sorts after b, comparing character by character after upper-casing each.
bool TextGreater(const std::wstring& a, const std::wstring& b);
// True when a and b differ but are equal once a-z are turned into A-Z.
bool SameTextOtherCase(const std::wstring& a, const std::wstring& b);
// First position whose entry equals text (or, ignoring case, differs only in a-z case); -1 if none.
int FindText(const CStringArray& list, const std::wstring& text, bool ignoreCase);
// Stable sort by TextGreater.
void SortTextList(CStringArray& list, bool ascending);
// The positions of texts in the order SortTextList gives them.
std::vector<int> StableTextOrder(const std::vector<std::wstring>& texts, bool ascending);
// The same for texts held elsewhere, given by address, so that nothing is copied.
std::vector<int> StableTextOrder(const std::vector<const std::wstring*>& texts, bool ascending);

// The ascending order of texts, split into case classes (runs of texts neither greater than the
// other, each in the texts' own order) and, within each class, spellings (identical texts).
struct CCaseClassOrder {
    std::vector<int> Order;                  // positions of the texts
    std::vector<unsigned char> ClassStarts;  // for each place of Order: a case class begins there
    // For each place: its spelling's number in the class, shared by identical texts only, from 0 up.
    std::vector<int> Spellings;
};
CCaseClassOrder CaseClassOrder(const std::vector<const std::wstring*>& texts);
// Text with a-z turned into A-Z and nothing else changed: the key under which FindText matches.
std::wstring AsciiUpper(const std::wstring& text);

// White space as the C library's wide classification defines it, fixed so that every platform
// trims alike: tab to carriage return, blank, and the Unicode space separators.
bool IsTrimSpace(wchar_t c);
// Text without white space at either end.
std::wstring TrimText(const std::wstring& text);
// The part [begin, end) of text without white space at either end.
std::wstring TrimTextRange(const std::wstring& text, size_t begin, size_t end);
// Values are drawn on one line, cut at the end with an ellipsis. No row shows more than this many
// characters, so a value of megabytes costs no more to draw than a long name.
constexpr size_t LongestShownLine = 1024;
// The length of text that a one-line row draws: all of it, or the first LongestShownLine characters
// without splitting a surrogate pair.
size_t ShownLineLength(const std::wstring& text);
