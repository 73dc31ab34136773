#pragma once
// Showing another data folder's catalogue while the program runs.

#include <string>

// Replaces the process-wide catalogue with the records of the folder (the data folder of the
// settings when empty): they are scanned into a list of their own first, so the messages of files
// that fail to load come while the old catalogue still stands. Then the old records are freed,
// the new ones grouped by CurrentClassifyMode and sorted ascending by the catalogue's SortKey, as
// start-up does. Every pointer into the old records (list boxes, the details pane) is dangling
// afterwards: the caller rebuilds its views before it dispatches another message. Returns what
// ScanDataFolder returns.
int ReloadCatalogue(const std::wstring& folder = std::wstring());
