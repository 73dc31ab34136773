#pragma once
// Whether a record would come back from its own meta-data file as it is. The file escapes nothing,
// so a value holding a closing tag, or the opening tag of another element, is cut or mixed up on the
// next start. The writer and the reader decide: what the format keeps on purpose (values trimmed at
// both ends, the price as "%5.2f") counts as coming back.

#include "model/Software.h"

// The record's fields in file order; NoField when everything reads back.
enum class StoredField {
    NoField,
    Name,
    Version,
    Company,
    Website,
    Price,
    UserName,
    UserCompany,
    UserEmail,
    Comment,
    CodeName,
    Code,
    InstallerPath,
    OriginalPath,
    Extra,  // one of the fields kept in the extra container
};

// True when the record's text, read back, equals the record as the format keeps it.
bool ReadsBack(const CSoftware& record);
// The first field whose value, added to a record of defaults in file order, stops it reading back.
StoredField FirstFieldNotReadBack(const CSoftware& record);
// The field's name as the editor's messages quote it.
const wchar_t* StoredFieldName(StoredField field);
