#include "storage/RecordReadBack.h"

#include <functional>

#include "storage/ElementText.h"
#include "storage/SoftwareText.h"

namespace {
bool SameList(const CStringArray& written, const CStringArray& read)
{
    if (written.GetSize() != read.GetSize())
        return false;
    for (int i = 0; i < written.GetSize(); ++i)
        if (TrimText(written[i]) != read[i])
            return false;
    return true;
}

bool ExtraReadsBack(const CExtraInfo& written, const CExtraInfo& read)
{
    for (const ExtraField& field : ExtraFields)
        if (TrimText(written.*field.Member) != read.*field.Member)
            return false;
    return true;
}

// The amount as it comes back from its "%5.2f" text.
float StoredPrice(float value)
{
    return ParseDecimalFloat(FormatPrice(value));
}
}  // namespace

bool ReadsBack(const CSoftware& record)
{
    CSoftware back;
    if (!ParseSoftwareText(FormatSoftwareText(record), back))
        return false;
    const CBasicInfo& basic = record.BasicInfo;
    const CRegInfo& reg = record.RegInfo;
    const CInstallerInfo& installer = record.InstallerInfo;
    return TrimText(basic.Name) == back.BasicInfo.Name && TrimText(basic.Version) == back.BasicInfo.Version &&
           TrimText(basic.Company) == back.BasicInfo.Company && TrimText(basic.Website) == back.BasicInfo.Website &&
           StoredPrice(basic.Price.Value) == back.BasicInfo.Price.Value &&
           basic.Price.Currency == back.BasicInfo.Price.Currency && basic.Category == back.BasicInfo.Category &&
           basic.Type == back.BasicInfo.Type && TrimText(reg.UserName) == back.RegInfo.UserName &&
           TrimText(reg.UserCompany) == back.RegInfo.UserCompany && TrimText(reg.UserEmail) == back.RegInfo.UserEmail &&
           TrimText(reg.Comment) == back.RegInfo.Comment && SameList(reg.CodeName, back.RegInfo.CodeName) &&
           SameList(reg.Code, back.RegInfo.Code) && TrimText(installer.InstallerPath) == back.InstallerInfo.InstallerPath &&
           TrimText(installer.OriginalPath) == back.InstallerInfo.OriginalPath &&
           installer.AttachMode == back.InstallerInfo.AttachMode && ExtraReadsBack(record.ExtraInfo, back.ExtraInfo);
}

namespace {
// The record with one field as a new record has it: when that alone mends the file, the field is
// the one to blame, even where the damage shows in another field.
StoredField FieldWhoseResetMends(const CSoftware& record)
{
    const CSoftware defaults;
    auto mends = [&record](const std::function<void(CSoftware&)>& reset) {
        CSoftware copy;
        copy = record;
        copy.InstallerInfo.Icon = nullptr;  // the copy must not release the record's icon
        reset(copy);
        return ReadsBack(copy);
    };
    using Text = std::wstring CBasicInfo::*;
    const std::pair<StoredField, Text> basicTexts[] = {
        {StoredField::Name, &CBasicInfo::Name},
        {StoredField::Version, &CBasicInfo::Version},
        {StoredField::Company, &CBasicInfo::Company},
        {StoredField::Website, &CBasicInfo::Website},
    };
    for (const auto& text : basicTexts)
        if (mends([&](CSoftware& copy) { copy.BasicInfo.*text.second = defaults.BasicInfo.*text.second; }))
            return text.first;
    using RegText = std::wstring CRegInfo::*;
    const std::pair<StoredField, RegText> regTexts[] = {
        {StoredField::UserName, &CRegInfo::UserName},
        {StoredField::UserCompany, &CRegInfo::UserCompany},
        {StoredField::UserEmail, &CRegInfo::UserEmail},
        {StoredField::Comment, &CRegInfo::Comment},
    };
    for (const auto& text : regTexts)
        if (mends([&](CSoftware& copy) { copy.RegInfo.*text.second = std::wstring(); }))
            return text.first;
    for (int i = 0; i < record.RegInfo.Code.GetSize() && i < record.RegInfo.CodeName.GetSize(); ++i) {
        if (mends([i](CSoftware& copy) { copy.RegInfo.CodeName[i] = L"0"; }))
            return StoredField::CodeName;
        if (mends([i](CSoftware& copy) { copy.RegInfo.Code[i] = L"0"; }))
            return StoredField::Code;
    }
    if (mends([](CSoftware& copy) { copy.InstallerInfo.InstallerPath.clear(); }))
        return StoredField::InstallerPath;
    if (mends([](CSoftware& copy) { copy.InstallerInfo.OriginalPath.clear(); }))
        return StoredField::OriginalPath;
    if (mends([](CSoftware& copy) { copy.ExtraInfo = CExtraInfo(); }))
        return StoredField::Extra;
    return StoredField::NoField;
}
}  // namespace

StoredField FirstFieldNotReadBack(const CSoftware& record)
{
    if (ReadsBack(record))
        return StoredField::NoField;
    StoredField blamed = FieldWhoseResetMends(record);
    if (blamed != StoredField::NoField)
        return blamed;
    // More than one value is at fault: they enter one at a time, and the first that breaks the
    // file is named.
    CSoftware probe;
    const CBasicInfo& basic = record.BasicInfo;
    const CRegInfo& reg = record.RegInfo;
    const std::pair<StoredField, std::pair<std::wstring*, const std::wstring*>> texts[] = {
        {StoredField::Name, {&probe.BasicInfo.Name, &basic.Name}},
        {StoredField::Version, {&probe.BasicInfo.Version, &basic.Version}},
        {StoredField::Company, {&probe.BasicInfo.Company, &basic.Company}},
        {StoredField::Website, {&probe.BasicInfo.Website, &basic.Website}},
    };
    for (const auto& text : texts) {
        *text.second.first = *text.second.second;
        if (!ReadsBack(probe))
            return text.first;
    }
    probe.BasicInfo.Price = basic.Price;
    probe.BasicInfo.Category = basic.Category;
    probe.BasicInfo.Type = basic.Type;
    if (!ReadsBack(probe))
        return StoredField::Price;
    const std::pair<StoredField, std::pair<std::wstring*, const std::wstring*>> regTexts[] = {
        {StoredField::UserName, {&probe.RegInfo.UserName, &reg.UserName}},
        {StoredField::UserCompany, {&probe.RegInfo.UserCompany, &reg.UserCompany}},
        {StoredField::UserEmail, {&probe.RegInfo.UserEmail, &reg.UserEmail}},
        {StoredField::Comment, {&probe.RegInfo.Comment, &reg.Comment}},
    };
    for (const auto& text : regTexts) {
        *text.second.first = *text.second.second;
        if (!ReadsBack(probe))
            return text.first;
    }
    for (int i = 0; i < reg.Code.GetSize(); ++i) {
        // A plain code first, so that a bad name is told from a bad code.
        probe.RegInfo.CodeName.Add(i < reg.CodeName.GetSize() ? reg.CodeName[i] : std::wstring());
        probe.RegInfo.Code.Add(L"0");
        if (!ReadsBack(probe))
            return StoredField::CodeName;
        probe.RegInfo.Code[i] = reg.Code[i];
        if (!ReadsBack(probe))
            return StoredField::Code;
    }
    probe.InstallerInfo.InstallerPath = record.InstallerInfo.InstallerPath;
    if (!ReadsBack(probe))
        return StoredField::InstallerPath;
    probe.InstallerInfo.OriginalPath = record.InstallerInfo.OriginalPath;
    if (!ReadsBack(probe))
        return StoredField::OriginalPath;
    return StoredField::Extra;
}

const wchar_t* StoredFieldName(StoredField field)
{
    switch (field) {
    case StoredField::Name: return L"Name";
    case StoredField::Version: return L"Version";
    case StoredField::Company: return L"Company";
    case StoredField::Website: return L"WebSite";
    case StoredField::Price: return L"Price";
    case StoredField::UserName: return L"UserName";
    case StoredField::UserCompany: return L"UserCompany";
    case StoredField::UserEmail: return L"UserEmail";
    case StoredField::Comment: return L"Comment";
    case StoredField::CodeName: return L"Code-name";
    case StoredField::Code: return L"Code";
    case StoredField::InstallerPath: return L"InstallerPath";
    case StoredField::OriginalPath: return L"OriginalPath";
    case StoredField::Extra: return L"Licence";
    case StoredField::NoField: break;
    }
    return L"";
}
