#include "storage/SoftwareText.h"

#include <cwchar>

#include "model/InstallerFacts.h"
#include "model/Vocabulary.h"
#include "storage/ElementText.h"

namespace {
const wchar_t HexDigits[] = L"0123456789ABCDEF";

void AppendHex(std::wstring& text, uint32_t value, int digits)
{
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4)
        text.push_back(HexDigits[(value >> shift) & 0xF]);
}

int HexValue(wchar_t c)
{
    if (c >= L'0' && c <= L'9')
        return c - L'0';
    if (c >= L'a' && c <= L'f')
        return c - L'a' + 10;
    if (c >= L'A' && c <= L'F')
        return c - L'A' + 10;
    return -1;
}

uint32_t ReadHex(const std::wstring& text, size_t at, int digits)
{
    uint32_t value = 0;
    for (int i = 0; i < digits; ++i)
        value = (value << 4) | static_cast<uint32_t>(HexValue(text[at + static_cast<size_t>(i)]));
    return value;
}

void AppendLeaf(std::wstring& text, const wchar_t* name, const std::wstring& value)
{
    AppendElement(text, name, value);
}

void AppendLeaf(std::wstring& text, const wchar_t* name, int32_t value)
{
    AppendElement(text, name, std::to_wstring(value));
}

// The record's value when it lies inside its table, else the record's default.
int32_t InRange(int32_t value, bool valid, int32_t fallback)
{
    return valid ? value : fallback;
}
}  // namespace

std::wstring FormatSoftwareId(const SoftwareId& id)
{
    std::wstring text;
    text.reserve(36);
    AppendHex(text, id.Data1, 8);
    text += L'-';
    AppendHex(text, id.Data2, 4);
    text += L'-';
    AppendHex(text, id.Data3, 4);
    text += L'-';
    AppendHex(text, id.Data4[0], 2);
    AppendHex(text, id.Data4[1], 2);
    text += L'-';
    for (int i = 2; i < 8; ++i)
        AppendHex(text, id.Data4[i], 2);
    return text;
}

std::wstring FormatSoftwareId(const CSoftware& record)
{
    return FormatSoftwareId(record.Id);
}

bool ParseSoftwareId(const std::wstring& text, SoftwareId& id)
{
    if (text.size() != 36)
        return false;
    for (size_t i = 0; i < text.size(); ++i) {
        bool hyphenPlace = i == 8 || i == 13 || i == 18 || i == 23;
        if (hyphenPlace ? text[i] != L'-' : HexValue(text[i]) < 0)
            return false;
    }
    id.Data1 = ReadHex(text, 0, 8);
    id.Data2 = static_cast<uint16_t>(ReadHex(text, 9, 4));
    id.Data3 = static_cast<uint16_t>(ReadHex(text, 14, 4));
    static const size_t bytePlaces[8] = {19, 21, 24, 26, 28, 30, 32, 34};
    for (int i = 0; i < 8; ++i)
        id.Data4[i] = static_cast<uint8_t>(ReadHex(text, bytePlaces[i], 2));
    return true;
}

bool ParseSoftwareId(const std::wstring& text, CSoftware& record)
{
    return ParseSoftwareId(text, record.Id);
}

std::wstring FormatPrice(float value)
{
    wchar_t buffer[64];
    std::swprintf(buffer, sizeof buffer / sizeof buffer[0], L"%5.2f", static_cast<double>(value));
    return buffer;
}

std::wstring FormatSoftwareText(const CSoftware& record)
{
    const CBasicInfo& basic = record.BasicInfo;
    const CRegInfo& reg = record.RegInfo;
    const CInstallerInfo& installer = record.InstallerInfo;
    std::wstring text;
    text.reserve(1024);
    text += L"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Software>\n<BasicInfo>\n";
    AppendLeaf(text, L"Name", basic.Name);
    AppendLeaf(text, L"Version", basic.Version);
    AppendLeaf(text, L"Company", basic.Company);
    AppendLeaf(text, L"Website", basic.Website);
    AppendLeaf(text, L"Price", FormatPrice(basic.Price.Value));
    AppendLeaf(text, L"Currency", basic.Price.Currency);
    AppendLeaf(text, L"Category", basic.Category);
    AppendLeaf(text, L"Type", basic.Type);
    text += L"</BasicInfo>\n<RegInfo>\n";
    AppendLeaf(text, L"UserName", reg.UserName);
    AppendLeaf(text, L"UserCompany", reg.UserCompany);
    AppendLeaf(text, L"UserEmail", reg.UserEmail);
    AppendLeaf(text, L"Comment", reg.Comment);
    for (int i = 0; i < reg.Code.GetSize(); ++i) {
        text += L"<RegCode>\n";
        AppendLeaf(text, L"CodeName", i < reg.CodeName.GetSize() ? reg.CodeName[i] : std::wstring());
        AppendLeaf(text, L"Code", reg.Code[i]);
        text += L"</RegCode>\n";
    }
    text += L"</RegInfo>\n<InstallerInfo>\n";
    AppendLeaf(text, L"InstallerPath", installer.InstallerPath);
    AppendLeaf(text, L"OriginalPath", installer.OriginalPath);
    AppendLeaf(text, L"AttachMode", installer.AttachMode);
    text += L"</InstallerInfo>\n";
    if (!record.ExtraInfo.IsEmpty()) {
        text += L"<ExtraInfo>\n";
        for (const ExtraField& field : ExtraFields)
            if (!(record.ExtraInfo.*field.Member).empty())
                AppendLeaf(text, field.Element, record.ExtraInfo.*field.Member);
        text += L"</ExtraInfo>\n";
    }
    text += L"</Software>\n";
    return text;
}

bool IsStorableRecord(const CSoftware& record)
{
    const CBasicInfo& basic = record.BasicInfo;
    return IsStorablePrice(basic.Price.Value) && IsCurrency(basic.Price.Currency) && IsCategory(basic.Category) &&
           IsType(basic.Type) && IsAttachMode(record.InstallerInfo.AttachMode) &&
           record.RegInfo.CodeName.GetSize() == record.RegInfo.Code.GetSize();
}

bool ParseSoftwareText(const std::wstring& text, CSoftware& record)
{
    CBasicInfo& basic = record.BasicInfo;
    CRegInfo& reg = record.RegInfo;
    CInstallerInfo& installer = record.InstallerInfo;
    std::wstring category, type, price, currency, attachMode;
    bool found = ExtractElement(text, basic.Name, L"Name") && ExtractElement(text, basic.Version, L"Version") &&
                 ExtractElement(text, basic.Company, L"Company") && ExtractElement(text, basic.Website, L"Website") &&
                 ExtractElement(text, category, L"Category") && ExtractElement(text, type, L"Type") &&
                 ExtractElement(text, price, L"Price") && ExtractElement(text, currency, L"Currency") &&
                 ExtractElement(text, reg.UserName, L"UserName") &&
                 ExtractElement(text, reg.UserCompany, L"UserCompany") &&
                 ExtractElement(text, reg.UserEmail, L"UserEmail") && ExtractElement(text, reg.Comment, L"Comment");
    if (!found)
        return false;
    ExtractElementList(text, reg.CodeName, L"CodeName");
    ExtractElementList(text, reg.Code, L"Code");
    if (reg.CodeName.GetSize() != reg.Code.GetSize())
        return false;
    if (!ExtractElement(text, installer.InstallerPath, L"InstallerPath") ||
        !ExtractElement(text, installer.OriginalPath, L"OriginalPath") ||
        !ExtractElement(text, attachMode, L"AttachMode"))
        return false;

    // Numbers outside their tables can only come from a hand-edited file; the rest of the program
    // indexes name tables with them, so they fall back to the defaults of a new record.
    const CSoftware defaults;
    int32_t value = ParseDecimalInt(category);
    basic.Category = InRange(value, IsCategory(value), defaults.BasicInfo.Category);
    value = ParseDecimalInt(type);
    basic.Type = InRange(value, IsType(value), defaults.BasicInfo.Type);
    value = ParseDecimalInt(currency);
    basic.Price.Currency = InRange(value, IsCurrency(value), defaults.BasicInfo.Price.Currency);
    value = ParseDecimalInt(attachMode);
    installer.AttachMode = InRange(value, IsAttachMode(value), defaults.InstallerInfo.AttachMode);
    float amount = ParseDecimalFloat(price);
    if (!IsStorablePrice(amount) || amount == 0.0f)
        amount = defaults.BasicInfo.Price.Value;  // also turns a negative zero into a plain one
    basic.Price.Value = amount;

    // The extra fields are optional: a file from before them simply has none.
    for (const ExtraField& field : ExtraFields) {
        std::wstring value;
        ExtractElement(text, value, field.Element);
        record.ExtraInfo.*field.Member = value;
    }
    DropInvalidInstallerFacts(record.ExtraInfo);
    return true;
}
