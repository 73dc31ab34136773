#pragma once
// Extraction of "<Name>\n" ... "</Name>\n" elements from the program's own XML-like files.

#include <cstdint>
#include <string>

#include "framework/Array.h"
#include "model/TextRules.h"  // TrimText, which the values read here go through

// Appends an element as the program writes it: the opening tag on its own line, then the value
// directly followed by the closing tag; nothing is escaped.
void AppendElement(std::wstring& text, const std::wstring& name, const std::wstring& value);

// The first element of that name; false when its opening or closing marker is missing.
bool ExtractElement(const std::wstring& text, std::wstring& value, const std::wstring& name);
// Every element of that name in order; the number of entries, or -1 for an empty name.
int ExtractElementList(const std::wstring& text, CStringArray& list, const std::wstring& name);

// Leading white space, an optional sign, then digits up to the first other character; 0 without
// digits; saturated to the 32-bit range.
int32_t ParseDecimalInt(const std::wstring& text);
// The same prefix rule for a decimal number with a point as separator (and an optional exponent).
float ParseDecimalFloat(const std::wstring& text);
