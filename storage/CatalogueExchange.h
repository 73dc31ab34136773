#pragma once
// The catalogue as one CSV or JSON file, for a spreadsheet or another computer, and that file read
// back into records that pass the same checks as the details pane's Apply.
//
// JSON (UTF-8, no byte-order mark): {"Format": "Quorvane catalogue", "Version": 1, "Records": [...]}
// where each record is
//   {"Id": GUID text,
//    "BasicInfo": {"Name", "Version", "Company", "Website": text, "Price": number (two decimals),
//                  "Currency", "Category", "Type": vocabulary names},
//    "RegInfo": {"UserName", "UserCompany", "UserEmail", "Comment": text,
//                "Codes": [{"Name": text, "Code": text}, ...]},
//    "InstallerInfo": {"InstallerPath", "OriginalPath": text, "AttachMode": "Reference" or "Import"},
//    "ExtraInfo": {every extra field by its element name: text, "" when not set}}
// On reading, the vocabularies also take their index. A missing key keeps the value of the record
// the row updates, or takes a new record's value.
//
// CSV (RFC 4180, UTF-8 with a byte-order mark, CRLF between rows): a header row of the column
// names, then one row per record. Columns: Id, Name, Version, Company, Website, Price, Currency,
// Category, Type, UserName, UserCompany, UserEmail, Comment, Codes, InstallerPath, OriginalPath,
// AttachMode, then the extra fields by element name. Reading finds columns by their header, in any
// order; a missing column, like a missing key, keeps the updated record's value or takes a new
// record's.
// - Codes: one code per line (line feed), "name: code". Inside a name or a code a backslash is
//   written "\\", a line feed "\n", a carriage return "\r"; inside a name a colon is "\:", so the
//   first bare colon, followed by a blank, ends the name.
// - A cell that begins with = + - @, a tab, a carriage return or an apostrophe is written with an
//   apostrophe in front, so a spreadsheet shows it as text instead of running it. Reading removes a
//   leading apostrophe only when one of those characters follows it.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/Software.h"

std::string FormatCatalogueJson(const std::vector<const CSoftware*>& records);
std::string FormatCatalogueCsv(const std::vector<const CSoftware*>& records);

// One cell as the CSV writer guards it against spreadsheet formulas, and as the reader takes it.
std::wstring GuardCsvCell(const std::wstring& value);
std::wstring UnguardCsvCell(const std::wstring& cell);
// The Codes cell of the CSV and its reading; false for a line without "name: code".
std::wstring FormatCodesCell(const CStringArray& names, const CStringArray& codes);
bool ParseCodesCell(const std::wstring& cell, CStringArray& names, CStringArray& codes);

// A row that was refused: where it starts in the file (from 1) and why.
struct RejectedRow {
    int Line = 0;
    std::wstring Reason;
};

// A row that was read: its record, normalised as its meta-data file would give it back.
struct ReadRow {
    int Line = 0;
    bool HasId = false;  // the row names its record's GUID; otherwise the record's Id is all zero
    uint64_t Present = 0;  // the fields the row holds, one bit per CSV column in the order above
    std::unique_ptr<CSoftware> Record;
};

struct CatalogueFile {
    std::vector<ReadRow> Rows;
    std::vector<RejectedRow> Rejected;
    // Why the file as a whole could not be read; empty when it was.
    std::wstring Error;
};

// Reads the bytes as JSON when they start (after white space) with "{" or "[", else as CSV.
// False, with Error set, when the file as a whole is unreadable; every row is either in Rows or
// in Rejected, in file order.
bool ReadCatalogueFile(const std::string& bytes, CatalogueFile& file);
bool ReadCatalogueJson(const std::string& bytes, CatalogueFile& file);
bool ReadCatalogueCsv(const std::string& bytes, CatalogueFile& file);

// The reason a record cannot be imported, or empty when it can; an accepted record is left as its
// meta-data file would give it back (values trimmed, price rounded to cents).
std::wstring CheckImportedRecord(CSoftware& record);

// What an import does to a catalogue.
struct ImportPlan {
    struct Update {
        int Position;  // in the catalogue
        std::unique_ptr<CSoftware> Record;
    };
    std::vector<Update> Updates;
    // New records; those read without an Id keep an all-zero one for the caller to fill.
    std::vector<std::unique_ptr<CSoftware>> Additions;
    std::vector<RejectedRow> Rejected;
};

// Matches the rows to the catalogue by Id. A second row with the same Id is refused. An update
// keeps the fields its row does not hold (and is checked again with them). An update of
// a record whose installer the program imported keeps that installer: its copy stays managed. Any
// other installer is referenced where the row says, never copied.
ImportPlan PlanCatalogueImport(CatalogueFile& file, const CSoftwareArray& catalogue);
