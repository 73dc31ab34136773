#include "storage/CatalogueExchange.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <unordered_map>

#include "model/InstallerFacts.h"
#include "model/Vocabulary.h"
#include "storage/ElementText.h"
#include "storage/RecordReadBack.h"
#include "storage/SoftwareText.h"

namespace {
using Json = nlohmann::ordered_json;

const char FormatName[] = "Quorvane catalogue";
const wchar_t* const AttachWords[AttachModeCount] = {L"Reference", L"Import"};

// ---- UTF-8, whatever the width of wchar_t ---------------------------------------------------

void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::string ToUtf8(const std::wstring& text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = static_cast<char32_t>(text[i]);
        if (sizeof(wchar_t) == 2 && c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() &&
            static_cast<char32_t>(text[i + 1]) >= 0xDC00 && static_cast<char32_t>(text[i + 1]) <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<char32_t>(text[i + 1]) - 0xDC00);
            ++i;
        } else if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) {
            c = 0xFFFD;  // a lone surrogate has no UTF-8 form
        }
        AppendUtf8(out, c);
    }
    return out;
}

void AppendWide(std::wstring& out, char32_t c)
{
    if (sizeof(wchar_t) == 2 && c >= 0x10000) {
        c -= 0x10000;
        out += static_cast<wchar_t>(0xD800 + (c >> 10));
        out += static_cast<wchar_t>(0xDC00 + (c & 0x3FF));
    } else {
        out += static_cast<wchar_t>(c);
    }
}

// False for bytes that are not UTF-8 (overlong forms, surrogates and cut sequences included).
bool FromUtf8(const std::string& bytes, std::wstring& text)
{
    text.clear();
    text.reserve(bytes.size());
    size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        int extra = 0;
        char32_t c = 0;
        if (lead < 0x80) {
            c = lead;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            extra = 1, c = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            extra = 2, c = lead & 0x0F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            extra = 3, c = lead & 0x07;
        } else {
            return false;
        }
        if (extra > 0 && i + static_cast<size_t>(extra) >= bytes.size())
            return false;
        for (int k = 1; k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + k]);
            if ((next & 0xC0) != 0x80)
                return false;
            c = (c << 6) | (next & 0x3F);
        }
        if ((extra == 2 && c < 0x800) || (extra == 3 && (c < 0x10000 || c > 0x10FFFF)) ||
            (c >= 0xD800 && c <= 0xDFFF))
            return false;
        AppendWide(text, c);
        i += static_cast<size_t>(extra) + 1;
    }
    return true;
}

std::wstring Widen(const std::string& utf8)
{
    std::wstring text;
    FromUtf8(utf8, text);  // the JSON parser has already refused anything but UTF-8
    return text;
}

// ---- shared field rules ----------------------------------------------------------------------

bool SameAscii(const std::wstring& a, const std::wstring& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        wchar_t x = a[i], y = b[i];
        if (x >= L'A' && x <= L'Z')
            x = static_cast<wchar_t>(x - L'A' + L'a');
        if (y >= L'A' && y <= L'Z')
            y = static_cast<wchar_t>(y - L'A' + L'a');
        if (x != y)
            return false;
    }
    return true;
}

// A vocabulary entry by its name (either case) or its index; -1 when it is neither.
int FindInTable(const wchar_t* const* table, int count, const std::wstring& text)
{
    const std::wstring wanted = TrimText(text);
    for (int i = 0; i < count; ++i)
        if (SameAscii(wanted, table[i]))
            return i;
    if (!wanted.empty() && wanted.size() <= 3 && wanted.find_first_not_of(L"0123456789") == std::wstring::npos) {
        const int index = std::stoi(wanted);
        if (index < count)
            return index;
    }
    return -1;
}

std::wstring PriceText(float value)
{
    return TrimText(FormatPrice(value));
}

// A price amount: digits with at most one point; false for anything else.
bool ParsePriceText(const std::wstring& text, double& value)
{
    const std::wstring t = TrimText(text);
    if (t.empty()) {
        value = 0;
        return true;
    }
    if (t.find_first_not_of(L"0123456789.") != std::wstring::npos || t.find(L'.') != t.rfind(L'.') ||
        t == L"." || t.size() > 20)
        return false;
    value = static_cast<double>(ParseDecimalFloat(t));
    return true;
}

bool IsLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

// "YYYY-MM-DD" naming a day that exists.
bool IsIsoDate(const std::wstring& text)
{
    if (text.size() != 10 || text[4] != L'-' || text[7] != L'-')
        return false;
    for (size_t i : {0, 1, 2, 3, 5, 6, 8, 9})
        if (text[i] < L'0' || text[i] > L'9')
            return false;
    const int year = std::stoi(text.substr(0, 4));
    const int month = std::stoi(text.substr(5, 2));
    const int day = std::stoi(text.substr(8, 2));
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1 || month < 1 || month > 12 || day < 1)
        return false;
    return day <= days[month - 1] + (month == 2 && IsLeapYear(year) ? 1 : 0);
}

std::wstring Quoted(const std::wstring& text)
{
    return L"\"" + (text.size() > 40 ? text.substr(0, 40) + L"..." : text) + L"\"";
}

// The fields of a record, numbered as the CSV's columns; JSON keys mark the same numbers.
enum CsvColumn {
    ColId, ColName, ColVersion, ColCompany, ColWebsite, ColPrice, ColCurrency, ColCategory, ColType,
    ColUserName, ColUserCompany, ColUserEmail, ColComment, ColCodes, ColInstallerPath, ColOriginalPath,
    ColAttachMode, ColExtra,  // then one per extra field
};
constexpr int ExtraCount = static_cast<int>(sizeof ExtraFields / sizeof ExtraFields[0]);
constexpr int ColumnCount = ColExtra + ExtraCount;
static_assert(ColumnCount <= 64, "one bit per field");

// ---- JSON ------------------------------------------------------------------------------------

Json RecordToJson(const CSoftware& record)
{
    const CBasicInfo& basic = record.BasicInfo;
    const CRegInfo& reg = record.RegInfo;
    const CInstallerInfo& installer = record.InstallerInfo;
    Json out = Json::object();
    out["Id"] = record.Id.IsNull() ? std::string() : ToUtf8(FormatSoftwareId(record));
    Json& b = out["BasicInfo"] = Json::object();
    b["Name"] = ToUtf8(basic.Name);
    b["Version"] = ToUtf8(basic.Version);
    b["Company"] = ToUtf8(basic.Company);
    b["Website"] = ToUtf8(basic.Website);
    // The amount as the meta-data file keeps it: cents.
    b["Price"] = static_cast<double>(std::llround(static_cast<double>(ParseDecimalFloat(FormatPrice(basic.Price.Value))) * 100)) / 100;
    b["Currency"] = ToUtf8(CurrencyName(basic.Price.Currency));
    b["Category"] = ToUtf8(CategoryName(basic.Category));
    b["Type"] = ToUtf8(TypeName(basic.Type));
    Json& r = out["RegInfo"] = Json::object();
    r["UserName"] = ToUtf8(reg.UserName);
    r["UserCompany"] = ToUtf8(reg.UserCompany);
    r["UserEmail"] = ToUtf8(reg.UserEmail);
    r["Comment"] = ToUtf8(reg.Comment);
    Json codes = Json::array();
    for (int i = 0; i < reg.Code.GetSize(); ++i) {
        Json code = Json::object();
        code["Name"] = ToUtf8(i < reg.CodeName.GetSize() ? reg.CodeName[i] : std::wstring());
        code["Code"] = ToUtf8(reg.Code[i]);
        codes.push_back(std::move(code));
    }
    r["Codes"] = std::move(codes);
    Json& in = out["InstallerInfo"] = Json::object();
    in["InstallerPath"] = ToUtf8(installer.InstallerPath);
    in["OriginalPath"] = ToUtf8(installer.OriginalPath);
    in["AttachMode"] = ToUtf8(IsAttachMode(installer.AttachMode) ? AttachWords[installer.AttachMode] : L"");
    Json& extra = out["ExtraInfo"] = Json::object();
    for (const ExtraField& field : ExtraFields)
        extra[ToUtf8(field.Element)] = ToUtf8(record.ExtraInfo.*field.Member);
    return out;
}

// Reads one record object; the reason it cannot, or empty.
class CJsonRecordReader {
public:
    explicit CJsonRecordReader(CSoftware& record) : m_record(record) {}
    // The fields the record's object holds, as bits of their column numbers.
    uint64_t Present() const { return m_present; }

    std::wstring Read(const Json& value, bool& hasId)
    {
        hasId = false;
        if (!value.is_object())
            return L"the entry is not an object";
        if (const Json* id = Member(value, "Id")) {
            std::wstring text;
            if (!Text(*id, L"Id", text))
                return m_reason;
            if (!TrimText(text).empty()) {
                if (!ParseSoftwareId(TrimText(text), m_record))
                    return L"the Id " + Quoted(text) + L" is not GUID text";
                hasId = !m_record.Id.IsNull();  // no record has the all-zero Id
            }
        }
        CBasicInfo& basic = m_record.BasicInfo;
        if (const Json* b = Group(value, "BasicInfo")) {
            if (!(Field(*b, "Name", basic.Name, ColName) && Field(*b, "Version", basic.Version, ColVersion) &&
                  Field(*b, "Company", basic.Company, ColCompany) && Field(*b, "Website", basic.Website, ColWebsite) &&
                  Price(*b) &&
                  Vocabulary(*b, "Currency", CurrencyNames, CurrencyCount, basic.Price.Currency, ColCurrency) &&
                  Vocabulary(*b, "Category", CategoryNames, CategoryCount, basic.Category, ColCategory) &&
                  Vocabulary(*b, "Type", TypeNames, TypeCount, basic.Type, ColType)))
                return m_reason;
        }
        if (!m_reason.empty())
            return m_reason;
        CRegInfo& reg = m_record.RegInfo;
        if (const Json* r = Group(value, "RegInfo")) {
            if (!(Field(*r, "UserName", reg.UserName, ColUserName) &&
                  Field(*r, "UserCompany", reg.UserCompany, ColUserCompany) &&
                  Field(*r, "UserEmail", reg.UserEmail, ColUserEmail) && Field(*r, "Comment", reg.Comment, ColComment) &&
                  Codes(*r)))
                return m_reason;
        }
        if (!m_reason.empty())
            return m_reason;
        CInstallerInfo& installer = m_record.InstallerInfo;
        if (const Json* in = Group(value, "InstallerInfo")) {
            if (!(Field(*in, "InstallerPath", installer.InstallerPath, ColInstallerPath) &&
                  Field(*in, "OriginalPath", installer.OriginalPath, ColOriginalPath) &&
                  Vocabulary(*in, "AttachMode", AttachWords, AttachModeCount, installer.AttachMode, ColAttachMode)))
                return m_reason;
        }
        if (!m_reason.empty())
            return m_reason;
        if (const Json* extra = Group(value, "ExtraInfo")) {
            for (int k = 0; k < ExtraCount; ++k)
                if (!Field(*extra, ToUtf8(ExtraFields[k].Element).c_str(), m_record.ExtraInfo.*ExtraFields[k].Member,
                           ColExtra + k))
                    return m_reason;
        }
        return m_reason;
    }

private:
    static const Json* Member(const Json& object, const char* key)
    {
        auto found = object.find(key);
        return found == object.end() || found->is_null() ? nullptr : &*found;
    }

    const Json* Group(const Json& object, const char* key)
    {
        const Json* group = Member(object, key);
        if (group && !group->is_object()) {
            m_reason = L"\"" + Widen(key) + L"\" is not an object";
            return nullptr;
        }
        m_path = Widen(key) + L".";
        return group;
    }

    bool Text(const Json& value, const std::wstring& name, std::wstring& out)
    {
        if (!value.is_string()) {
            m_reason = L"\"" + name + L"\" is not text";
            return false;
        }
        out = Widen(value.get_ref<const std::string&>());
        return true;
    }

    bool Field(const Json& object, const char* key, std::wstring& out, int column)
    {
        const Json* value = Member(object, key);
        if (value)
            m_present |= uint64_t{1} << column;
        return !value || Text(*value, m_path + Widen(key), out);
    }

    bool Price(const Json& object)
    {
        const Json* value = Member(object, "Price");
        if (!value)
            return true;
        m_present |= uint64_t{1} << ColPrice;
        double amount = 0;
        if (value->is_number()) {
            amount = value->get<double>();
        } else if (!value->is_string() || !ParsePriceText(Widen(value->get_ref<const std::string&>()), amount)) {
            m_reason = L"\"BasicInfo.Price\" is not an amount";
            return false;
        }
        if (!(amount >= 0 && amount < static_cast<double>(PriceLimit))) {
            m_reason = L"the price must be at least 0 and below 1,000,000";
            return false;
        }
        m_record.BasicInfo.Price.Value = static_cast<float>(amount);
        return true;
    }

    bool Vocabulary(const Json& object, const char* key, const wchar_t* const* table, int count, int32_t& out,
                    int column)
    {
        const Json* value = Member(object, key);
        if (!value)
            return true;
        m_present |= uint64_t{1} << column;
        int found = -1;
        if (value->is_number_integer()) {
            const auto index = value->get<int64_t>();
            found = index >= 0 && index < count ? static_cast<int>(index) : -1;
        } else if (value->is_string()) {
            const std::wstring text = Widen(value->get_ref<const std::string&>());
            if (TrimText(text).empty())
                return true;  // as when the key is missing
            found = FindInTable(table, count, text);
        }
        if (found < 0) {
            m_reason = L"\"" + m_path + Widen(key) + L"\" is not one of the program's values";
            return false;
        }
        out = found;
        return true;
    }

    bool Codes(const Json& object)
    {
        const Json* value = Member(object, "Codes");
        if (!value)
            return true;
        m_present |= uint64_t{1} << ColCodes;
        if (!value->is_array()) {
            m_reason = L"\"RegInfo.Codes\" is not a list";
            return false;
        }
        for (const Json& entry : *value) {
            std::wstring name, code;
            if (!entry.is_object() || !entry.contains("Name") || !entry.contains("Code")) {
                m_reason = L"a code is not an object with \"Name\" and \"Code\"";
                return false;
            }
            if (!Text(entry["Name"], L"RegInfo.Codes.Name", name) || !Text(entry["Code"], L"RegInfo.Codes.Code", code))
                return false;
            m_record.RegInfo.CodeName.Add(name);
            m_record.RegInfo.Code.Add(code);
        }
        return true;
    }

    CSoftware& m_record;
    std::wstring m_reason;
    std::wstring m_path;
    uint64_t m_present = 0;
};

// The line on which each entry of the record list starts: the list is the root itself, or the
// root object's "Records". Only called on text the parser accepted.
std::vector<int> RecordLines(const std::string& bytes)
{
    std::vector<int> lines;
    std::vector<char> open;
    int line = 1;
    bool inString = false, escaped = false, expectKey = false, awaiting = false, inRecords = false;
    std::string key, rootKey;
    for (char c : bytes) {
        if (c == '\n')
            ++line;
        if (inString) {
            if (escaped)
                escaped = false;
            else if (c == '\\')
                escaped = true;
            else if (c == '"')
                inString = false;
            else if (expectKey)
                key += c;
            continue;
        }
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n')
            continue;
        const bool listLevel = inRecords && open.size() == (open.empty() || open[0] == '[' ? 1u : 2u);
        if (awaiting && listLevel && c != ']') {
            lines.push_back(line);
            awaiting = false;
        }
        switch (c) {
        case '"':
            inString = true;
            if (expectKey)
                key.clear();
            break;
        case ':':
            if (open.size() == 1 && expectKey)
                rootKey = key;
            expectKey = false;
            break;
        case ',':
            if (open.size() == 1 && open[0] == '{')
                expectKey = true;
            if (listLevel)
                awaiting = true;
            break;
        case '{':
        case '[':
            open.push_back(c);
            if (open.size() == 1 && c == '{')
                expectKey = true;
            if (open.size() == 1 && c == '[')
                inRecords = awaiting = true;
            if (open.size() == 2 && c == '[' && open[0] == '{' && rootKey == "Records")
                inRecords = awaiting = true;
            break;
        case '}':
        case ']':
            if (inRecords && open.size() == (open[0] == '[' ? 1u : 2u))
                inRecords = awaiting = false;
            if (!open.empty())
                open.pop_back();
            break;
        default:
            break;
        }
    }
    return lines;
}

// ---- CSV -------------------------------------------------------------------------------------

const wchar_t* const FixedColumns[ColExtra] = {
    L"Id", L"Name", L"Version", L"Company", L"Website", L"Price", L"Currency", L"Category", L"Type",
    L"UserName", L"UserCompany", L"UserEmail", L"Comment", L"Codes", L"InstallerPath", L"OriginalPath",
    L"AttachMode",
};

std::wstring ColumnName(int column)
{
    return column < ColExtra ? FixedColumns[column] : ExtraFields[column - ColExtra].Element;
}

bool IsGuardedStart(wchar_t c)
{
    return c == L'=' || c == L'+' || c == L'-' || c == L'@' || c == L'\t' || c == L'\r' || c == L'\'';
}

void AppendCsvCell(std::wstring& row, const std::wstring& value)
{
    const std::wstring cell = GuardCsvCell(value);
    if (cell.find_first_of(L",\"\r\n") == std::wstring::npos) {
        row += cell;
        return;
    }
    row += L'"';
    for (wchar_t c : cell) {
        if (c == L'"')
            row += L'"';
        row += c;
    }
    row += L'"';
}

std::wstring CellOf(const CSoftware& record, int column)
{
    const CBasicInfo& basic = record.BasicInfo;
    const CRegInfo& reg = record.RegInfo;
    const CInstallerInfo& installer = record.InstallerInfo;
    switch (column) {
    case ColId: return record.Id.IsNull() ? std::wstring() : FormatSoftwareId(record);
    case ColName: return basic.Name;
    case ColVersion: return basic.Version;
    case ColCompany: return basic.Company;
    case ColWebsite: return basic.Website;
    case ColPrice: return PriceText(basic.Price.Value);
    case ColCurrency: return CurrencyName(basic.Price.Currency);
    case ColCategory: return CategoryName(basic.Category);
    case ColType: return TypeName(basic.Type);
    case ColUserName: return reg.UserName;
    case ColUserCompany: return reg.UserCompany;
    case ColUserEmail: return reg.UserEmail;
    case ColComment: return reg.Comment;
    case ColCodes: return FormatCodesCell(reg.CodeName, reg.Code);
    case ColInstallerPath: return installer.InstallerPath;
    case ColOriginalPath: return installer.OriginalPath;
    case ColAttachMode: return IsAttachMode(installer.AttachMode) ? AttachWords[installer.AttachMode] : L"";
    default: return record.ExtraInfo.*ExtraFields[column - ColExtra].Member;
    }
}

// Sets one field from its cell; the reason it cannot, or empty.
std::wstring SetCell(CSoftware& record, int column, const std::wstring& cell)
{
    CBasicInfo& basic = record.BasicInfo;
    CRegInfo& reg = record.RegInfo;
    CInstallerInfo& installer = record.InstallerInfo;
    auto vocabulary = [&cell](const wchar_t* const* table, int count, int32_t& out, const wchar_t* name) {
        if (TrimText(cell).empty())
            return std::wstring();  // an empty cell keeps a new record's value
        const int found = FindInTable(table, count, cell);
        if (found < 0)
            return std::wstring(L"the ") + name + L" " + Quoted(cell) + L" is not one of the program's values";
        out = found;
        return std::wstring();
    };
    switch (column) {
    case ColId: return std::wstring();  // read by the caller
    case ColName: basic.Name = cell; break;
    case ColVersion: basic.Version = cell; break;
    case ColCompany: basic.Company = cell; break;
    case ColWebsite: basic.Website = cell; break;
    case ColPrice: {
        double amount = 0;
        if (!ParsePriceText(cell, amount))
            return L"the price " + Quoted(cell) + L" is not an amount";
        if (!(amount < static_cast<double>(PriceLimit)))
            return L"the price must be at least 0 and below 1,000,000";
        basic.Price.Value = static_cast<float>(amount);
        break;
    }
    case ColCurrency: return vocabulary(CurrencyNames, CurrencyCount, basic.Price.Currency, L"currency");
    case ColCategory: return vocabulary(CategoryNames, CategoryCount, basic.Category, L"category");
    case ColType: return vocabulary(TypeNames, TypeCount, basic.Type, L"type");
    case ColUserName: reg.UserName = cell; break;
    case ColUserCompany: reg.UserCompany = cell; break;
    case ColUserEmail: reg.UserEmail = cell; break;
    case ColComment: reg.Comment = cell; break;
    case ColCodes:
        if (!ParseCodesCell(cell, reg.CodeName, reg.Code))
            return L"a line of the Codes cell is not of the form \"name: code\"";
        break;
    case ColInstallerPath: installer.InstallerPath = cell; break;
    case ColOriginalPath: installer.OriginalPath = cell; break;
    case ColAttachMode: return vocabulary(AttachWords, AttachModeCount, installer.AttachMode, L"attach mode");
    default: record.ExtraInfo.*ExtraFields[column - ColExtra].Member = cell; break;
    }
    return std::wstring();
}

// Splits CSV text into rows of cells, each with the line it starts on. A row whose quoting is
// broken carries a reason instead.
struct CsvRow {
    int Line = 0;
    std::vector<std::wstring> Cells;
    std::wstring Broken;
};

std::vector<CsvRow> SplitCsv(const std::wstring& text)
{
    std::vector<CsvRow> rows;
    size_t i = 0;
    int line = 1;
    const size_t size = text.size();
    while (i < size) {
        CsvRow row;
        row.Line = line;
        std::wstring cell;
        bool rowDone = false;
        while (!rowDone) {
            cell.clear();
            if (i < size && text[i] == L'"') {
                ++i;
                bool closed = false;
                while (i < size) {
                    const wchar_t c = text[i];
                    if (c == L'"') {
                        if (i + 1 < size && text[i + 1] == L'"') {
                            cell += L'"';
                            i += 2;
                            continue;
                        }
                        ++i;
                        closed = true;
                        break;
                    }
                    if (c == L'\n' || (c == L'\r' && (i + 1 >= size || text[i + 1] != L'\n')))
                        ++line;
                    cell += c;
                    ++i;
                }
                if (!closed) {
                    row.Broken = L"a quoted cell is not closed";
                    i = size;
                }
                // Text between the closing quote and the next separator is kept, as spreadsheets do.
                while (i < size && text[i] != L',' && text[i] != L'\r' && text[i] != L'\n') {
                    if (row.Broken.empty())
                        row.Broken = L"a quoted cell is followed by more text";
                    cell += text[i++];
                }
            } else {
                while (i < size && text[i] != L',' && text[i] != L'\r' && text[i] != L'\n')
                    cell += text[i++];
            }
            row.Cells.push_back(cell);
            if (i < size && text[i] == L',') {
                ++i;
                continue;
            }
            rowDone = true;
            if (i < size && text[i] == L'\r')
                ++i;
            if (i < size && text[i] == L'\n')
                ++i;
            ++line;
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

std::wstring EscapeCodePart(const std::wstring& text, bool name)
{
    std::wstring out;
    for (wchar_t c : text) {
        if (c == L'\\')
            out += L"\\\\";
        else if (c == L'\n')
            out += L"\\n";
        else if (c == L'\r')
            out += L"\\r";
        else if (name && c == L':')
            out += L"\\:";
        else
            out += c;
    }
    return out;
}

// Undoes EscapeCodePart; an unknown escape keeps its backslash.
std::wstring UnescapeCodePart(const std::wstring& text)
{
    std::wstring out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\\' && i + 1 < text.size()) {
            const wchar_t next = text[i + 1];
            if (next == L'\\' || next == L':' || next == L'n' || next == L'r') {
                out += next == L'n' ? L'\n' : next == L'r' ? L'\r' : next;
                ++i;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}
}  // namespace

// ---- writers ---------------------------------------------------------------------------------

std::string FormatCatalogueJson(const std::vector<const CSoftware*>& records)
{
    Json root = Json::object();
    root["Format"] = FormatName;
    root["Version"] = 1;
    Json list = Json::array();
    for (const CSoftware* record : records)
        list.push_back(RecordToJson(*record));
    root["Records"] = std::move(list);
    return root.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

std::wstring GuardCsvCell(const std::wstring& value)
{
    return !value.empty() && IsGuardedStart(value[0]) ? L"'" + value : value;
}

std::wstring UnguardCsvCell(const std::wstring& cell)
{
    return cell.size() >= 2 && cell[0] == L'\'' && IsGuardedStart(cell[1]) ? cell.substr(1) : cell;
}

std::wstring FormatCodesCell(const CStringArray& names, const CStringArray& codes)
{
    std::wstring cell;
    for (int i = 0; i < codes.GetSize(); ++i) {
        if (i > 0)
            cell += L'\n';
        cell += EscapeCodePart(i < names.GetSize() ? names[i] : std::wstring(), true) + L": " +
                EscapeCodePart(codes[i], false);
    }
    return cell;
}

bool ParseCodesCell(const std::wstring& cell, CStringArray& names, CStringArray& codes)
{
    names.RemoveAll();
    codes.RemoveAll();
    size_t start = 0;
    while (start <= cell.size()) {
        size_t end = cell.find_first_of(L"\r\n", start);
        if (end == std::wstring::npos)
            end = cell.size();
        const std::wstring line = cell.substr(start, end - start);
        if (!TrimText(line).empty()) {
            size_t colon = 0;
            while (colon < line.size() && line[colon] != L':')
                colon += line[colon] == L'\\' ? 2 : 1;
            if (colon + 1 >= line.size() || line[colon + 1] != L' ')
                return false;
            names.Add(UnescapeCodePart(line.substr(0, colon)));
            codes.Add(UnescapeCodePart(line.substr(colon + 2)));
        }
        if (end == cell.size())
            break;
        start = end + (cell[end] == L'\r' && end + 1 < cell.size() && cell[end + 1] == L'\n' ? 2 : 1);
    }
    return true;
}

std::string FormatCatalogueCsv(const std::vector<const CSoftware*>& records)
{
    std::wstring text;
    for (int column = 0; column < ColumnCount; ++column) {
        if (column > 0)
            text += L',';
        AppendCsvCell(text, ColumnName(column));
    }
    text += L"\r\n";
    for (const CSoftware* record : records) {
        for (int column = 0; column < ColumnCount; ++column) {
            if (column > 0)
                text += L',';
            AppendCsvCell(text, CellOf(*record, column));
        }
        text += L"\r\n";
    }
    return "\xEF\xBB\xBF" + ToUtf8(text);
}

// ---- readers ---------------------------------------------------------------------------------

std::wstring CheckImportedRecord(CSoftware& record)
{
    // Facts about an installer that do not hold together are dropped, as loading its file would.
    DropInvalidInstallerFacts(record.ExtraInfo);
    if (!IsStorableRecord(record))
        return L"a number lies outside the program's values";
    const CRegInfo& reg = record.RegInfo;
    for (int i = 0; i < reg.Code.GetSize(); ++i) {
        if (TrimText(reg.CodeName[i]).empty() || TrimText(reg.Code[i]).empty())
            return L"a code or its name is empty";
        for (int k = 0; k < i; ++k)
            if (TrimText(reg.CodeName[k]) == TrimText(reg.CodeName[i]))
                return L"the code name " + Quoted(TrimText(reg.CodeName[i])) + L" appears twice";
    }
    const StoredField broken = FirstFieldNotReadBack(record);
    if (broken != StoredField::NoField)
        return std::wstring(L"field '") + StoredFieldName(broken) + L"' holds text that couldn't be saved and read back";
    // What the record's file will give back is what the catalogue holds from now on.
    CSoftware stored;
    if (!ParseSoftwareText(FormatSoftwareText(record), stored))
        return L"the record couldn't be saved and read back";
    stored.Id = record.Id;
    record = stored;
    if (TrimText(record.BasicInfo.Name).empty())
        return L"the name is empty";
    if (!record.ExtraInfo.PurchaseDate.empty() && !IsIsoDate(record.ExtraInfo.PurchaseDate))
        return L"the purchase date " + Quoted(record.ExtraInfo.PurchaseDate) + L" is not a date YYYY-MM-DD";
    if (!record.ExtraInfo.ExpiryDate.empty() && !IsIsoDate(record.ExtraInfo.ExpiryDate))
        return L"the expiry date " + Quoted(record.ExtraInfo.ExpiryDate) + L" is not a date YYYY-MM-DD";
    return std::wstring();
}

namespace {
void AddRow(CatalogueFile& file, int line, bool hasId, uint64_t present, std::unique_ptr<CSoftware> record,
            std::wstring reason)
{
    if (reason.empty())
        reason = CheckImportedRecord(*record);
    if (!reason.empty()) {
        file.Rejected.push_back({line, std::move(reason)});
        return;
    }
    ReadRow row;
    row.Line = line;
    row.HasId = hasId;
    row.Present = present;
    row.Record = std::move(record);
    file.Rows.push_back(std::move(row));
}

int LineOfByte(const std::string& bytes, size_t position)
{
    int line = 1;
    for (size_t i = 0; i < position && i < bytes.size(); ++i)
        if (bytes[i] == '\n')
            ++line;
    return line;
}
}  // namespace

bool ReadCatalogueJson(const std::string& bytes, CatalogueFile& file)
{
    file = CatalogueFile();
    Json root;
    try {
        root = Json::parse(bytes);
    } catch (const Json::parse_error& error) {
        file.Error = L"The file is not JSON text (line " + std::to_wstring(LineOfByte(bytes, error.byte)) + L").";
        return false;
    } catch (const Json::exception&) {
        file.Error = L"The file is not JSON text (a number is out of range).";
        return false;
    }
    const Json* list = &root;
    if (root.is_object()) {
        auto found = root.find("Records");
        list = found == root.end() ? nullptr : &*found;
    }
    if (!list || !list->is_array()) {
        file.Error = L"The file holds no list of records.";
        return false;
    }
    const std::vector<int> lines = RecordLines(bytes);
    for (size_t i = 0; i < list->size(); ++i) {
        const int line = i < lines.size() ? lines[i] : 0;
        auto record = std::make_unique<CSoftware>();
        bool hasId = false;
        CJsonRecordReader reader(*record);
        std::wstring reason = reader.Read((*list)[i], hasId);
        AddRow(file, line, hasId, reader.Present(), std::move(record), std::move(reason));
    }
    return true;
}

bool ReadCatalogueCsv(const std::string& bytes, CatalogueFile& file)
{
    file = CatalogueFile();
    std::wstring text;
    const bool bom = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0;
    if (!FromUtf8(bom ? bytes.substr(3) : bytes, text)) {
        file.Error = L"The file is not UTF-8 text.";
        return false;
    }
    std::vector<CsvRow> rows = SplitCsv(text);
    if (rows.empty()) {
        file.Error = L"The file is empty.";
        return false;
    }
    // Which field each cell of a row goes to; -1 for columns the program does not know.
    std::vector<int> fields;
    bool hasName = false;
    for (const std::wstring& header : rows[0].Cells) {
        int field = -1;
        for (int column = 0; column < ColumnCount && field < 0; ++column)
            if (SameAscii(TrimText(UnguardCsvCell(header)), ColumnName(column)))
                field = column;
        hasName = hasName || field == ColName;
        fields.push_back(field);
    }
    if (!hasName || !rows[0].Broken.empty()) {
        file.Error = L"The first line is not the header of a catalogue (it names no \"Name\" column).";
        return false;
    }
    for (size_t r = 1; r < rows.size(); ++r) {
        const CsvRow& row = rows[r];
        if (row.Cells.size() == 1 && row.Cells[0].empty() && row.Broken.empty())
            continue;  // a blank line
        auto record = std::make_unique<CSoftware>();
        std::wstring reason = row.Broken;
        if (reason.empty() && row.Cells.size() > fields.size())
            reason = L"the row has " + std::to_wstring(row.Cells.size()) + L" cells, the header " +
                     std::to_wstring(fields.size());
        bool hasId = false;
        uint64_t present = 0;
        for (size_t c = 0; c < row.Cells.size() && c < fields.size() && reason.empty(); ++c) {
            if (fields[c] < 0)
                continue;
            present |= uint64_t{1} << fields[c];
            const std::wstring cell = UnguardCsvCell(row.Cells[c]);
            if (fields[c] == ColId) {
                const std::wstring id = TrimText(cell);
                if (id.empty())
                    continue;
                if (!ParseSoftwareId(id, *record))
                    reason = L"the Id " + Quoted(id) + L" is not GUID text";
                hasId = !record->Id.IsNull();  // no record has the all-zero Id
                continue;
            }
            reason = SetCell(*record, fields[c], cell);
        }
        AddRow(file, row.Line, hasId, present, std::move(record), std::move(reason));
    }
    return true;
}

bool ReadCatalogueFile(const std::string& bytes, CatalogueFile& file)
{
    size_t start = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    while (start < bytes.size() && (bytes[start] == ' ' || bytes[start] == '\t' || bytes[start] == '\r' ||
                                    bytes[start] == '\n'))
        ++start;
    if (start < bytes.size() && (bytes[start] == '{' || bytes[start] == '['))
        return ReadCatalogueJson(bytes, file);
    return ReadCatalogueCsv(bytes, file);
}

namespace {
// A row updating a record leaves alone what it does not mention.
void TakeMissingFields(CSoftware& record, const CSoftware& current, uint64_t present)
{
    auto missing = [present](int column) { return (present & (uint64_t{1} << column)) == 0; };
    CBasicInfo& basic = record.BasicInfo;
    CRegInfo& reg = record.RegInfo;
    CInstallerInfo& installer = record.InstallerInfo;
    if (missing(ColName)) basic.Name = current.BasicInfo.Name;
    if (missing(ColVersion)) basic.Version = current.BasicInfo.Version;
    if (missing(ColCompany)) basic.Company = current.BasicInfo.Company;
    if (missing(ColWebsite)) basic.Website = current.BasicInfo.Website;
    if (missing(ColPrice)) basic.Price.Value = current.BasicInfo.Price.Value;
    if (missing(ColCurrency)) basic.Price.Currency = current.BasicInfo.Price.Currency;
    if (missing(ColCategory)) basic.Category = current.BasicInfo.Category;
    if (missing(ColType)) basic.Type = current.BasicInfo.Type;
    if (missing(ColUserName)) reg.UserName = current.RegInfo.UserName;
    if (missing(ColUserCompany)) reg.UserCompany = current.RegInfo.UserCompany;
    if (missing(ColUserEmail)) reg.UserEmail = current.RegInfo.UserEmail;
    if (missing(ColComment)) reg.Comment = current.RegInfo.Comment;
    if (missing(ColCodes)) {
        reg.CodeName = current.RegInfo.CodeName;
        reg.Code = current.RegInfo.Code;
    }
    if (missing(ColInstallerPath)) installer.InstallerPath = current.InstallerInfo.InstallerPath;
    if (missing(ColOriginalPath)) installer.OriginalPath = current.InstallerInfo.OriginalPath;
    if (missing(ColAttachMode)) installer.AttachMode = current.InstallerInfo.AttachMode;
    for (int k = 0; k < ExtraCount; ++k)
        if (missing(ColExtra + k))
            record.ExtraInfo.*ExtraFields[k].Member = current.ExtraInfo.*ExtraFields[k].Member;
}
}  // namespace

ImportPlan PlanCatalogueImport(CatalogueFile& file, const CSoftwareArray& catalogue)
{
    ImportPlan plan;
    plan.Rejected = file.Rejected;
    std::unordered_map<std::wstring, int> positions;
    positions.reserve(static_cast<size_t>(catalogue.GetSize()));
    for (int i = 0; i < catalogue.GetSize(); ++i)
        positions.emplace(FormatSoftwareId(*catalogue[i]), i);
    std::unordered_map<std::wstring, int> seen;  // Id -> the line that first named it
    for (ReadRow& row : file.Rows) {
        std::unique_ptr<CSoftware> record = std::move(row.Record);
        if (!row.HasId) {
            record->InstallerInfo.AttachMode = AttachByReference;
            plan.Additions.push_back(std::move(record));
            continue;
        }
        const std::wstring id = FormatSoftwareId(*record);
        auto first = seen.emplace(id, row.Line);
        if (!first.second) {
            plan.Rejected.push_back({row.Line, L"the Id appears again (first on line " +
                                                   std::to_wstring(first.first->second) + L")"});
            continue;
        }
        auto existing = positions.find(id);
        if (existing == positions.end()) {
            record->InstallerInfo.AttachMode = AttachByReference;
            plan.Additions.push_back(std::move(record));
            continue;
        }
        const CSoftware& current = *catalogue[existing->second];
        // A row with every field (as every export writes) was checked whole already.
        const uint64_t fields = ((uint64_t{1} << ColumnCount) - 1) & ~(uint64_t{1} << ColId);
        if ((row.Present & fields) != fields) {
            TakeMissingFields(*record, current, row.Present);
            std::wstring reason = CheckImportedRecord(*record);
            if (!reason.empty()) {
                plan.Rejected.push_back({row.Line, std::move(reason)});
                continue;
            }
        }
        if (current.InstallerInfo.AttachMode == AttachByImport && !current.InstallerInfo.InstallerPath.empty()) {
            // The program's own copy stays the record's, with what is known about it.
            record->InstallerInfo = current.InstallerInfo;
            record->InstallerInfo.Icon = nullptr;
            for (const ExtraField& field : ExtraFields)
                if (std::wstring(field.Element).rfind(L"Installer", 0) == 0)
                    record->ExtraInfo.*field.Member = current.ExtraInfo.*field.Member;
        } else {
            record->InstallerInfo.AttachMode = AttachByReference;
        }
        plan.Updates.push_back({existing->second, std::move(record)});
    }
    // Refusals in file order, wherever they were found.
    std::stable_sort(plan.Rejected.begin(), plan.Rejected.end(),
                     [](const RejectedRow& a, const RejectedRow& b) { return a.Line < b.Line; });
    return plan;
}
