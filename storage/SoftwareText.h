#pragma once
// The text of a meta-data file and the GUID text that names it.

#include <string>

#include "model/Software.h"

// 36 characters, upper-case hexadecimal, hyphens at 8, 13, 18 and 23.
std::wstring FormatSoftwareId(const CSoftware& record);
std::wstring FormatSoftwareId(const SoftwareId& id);
// Sets record.Id when text is valid GUID text (either case); false leaves the record unchanged.
bool ParseSoftwareId(const std::wstring& text, CSoftware& record);
bool ParseSoftwareId(const std::wstring& text, SoftwareId& id);

// "%5.2f" of the amount.
std::wstring FormatPrice(float value);

// The whole meta-data text of a record, line feeds only, nothing escaped.
std::wstring FormatSoftwareText(const CSoftware& record);
// Reads the elements into record (which keeps its Id); false at the first missing element or for
// unequal code lists, when record may be partly filled and must be discarded.
bool ParseSoftwareText(const std::wstring& text, CSoftware& record);

// True when every number of the record lies in its table, the price is storable and the code
// lists pair up: only such a record is written to its file.
bool IsStorableRecord(const CSoftware& record);
