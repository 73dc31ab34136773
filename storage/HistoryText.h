#pragma once
// The bytes of a history file: UTF-16 little-endian entries, each ended by a line feed.

#include <string>
#include <vector>

#include "framework/Array.h"

// Appends the entries of the file's bytes; text after the last line feed is dropped, an odd final
// byte ignored.
void ParseHistoryBytes(const std::string& bytes, CStringArray& list);
std::string FormatHistoryBytes(const CStringArray& list);
