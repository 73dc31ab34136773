#pragma once
// Find: which records hold a typed text.
//
// The matching rule, the one place it is stated: a record matches when the query, trimmed of
// white space at both ends, is a substring of one of its searched fields, comparing both after
// the platform's upper-casing (so letter case never matters, in every script the platform folds).
// The searched fields are the name, version, company and web site; the user name, user company
// and e-mail; the comment; every code name and every code; and the installer's file name (the
// part after the last backslash of the path it was attached from, or of its path when that is
// not known). A match never spans two fields. An empty query matches nothing.

#include <string>
#include <vector>

#include "model/Software.h"

// The query as it is compared: trimmed and upper-cased; empty when nothing is left to find.
std::wstring SearchKey(const std::wstring& query);
// Every searched field of the record, upper-cased, each followed by a NUL (which no query holds).
std::wstring SearchText(const CSoftware& record);
// The rule above for one record.
bool RecordMatches(const CSoftware& record, const std::wstring& query);

// The searched text of every record of a catalogue, prepared once so that each keystroke only
// scans. A query that extends the previous one (holds it) is looked for among the previous
// matches only.
class CSearchIndex {
public:
    // Prepares the texts of every record of the list, in its order; forgets the last query.
    void Build(const CSoftwareArray& catalogue);
    // Fills matches (a non-owning list, emptied first) with the matching records in the order
    // of the built list. Returns the number of matches.
    int Find(const std::wstring& query, CSoftwareArray& matches);
    int Size() const { return static_cast<int>(m_records.size()); }

private:
    std::vector<CSoftware*> m_records;
    std::vector<std::wstring> m_texts;
    std::wstring m_lastKey;
    std::vector<int> m_lastMatches;  // positions in m_records
};
