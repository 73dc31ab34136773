#include "app/CatalogueExchangeCommands.h"

#include <objbase.h>

#include "app/BackupCommands.h"
#include "framework/MessageBox.h"
#include "framework/ShellDialogs.h"
#include "installer/IconExtraction.h"
#include "storage/Configurations.h"
#include "storage/FileAccess.h"
#include "storage/Paths.h"
#include "storage/SoftwareFiles.h"
#include "storage/SoftwareText.h"

const wchar_t* const NothingToExportText = L"There is no software to export.";
const wchar_t* const CatalogueExportFailedText =
    L"The catalogue couldn't be written to the file, please check the folder and your right to write in it.";
const wchar_t* const ImportFileFilter =
    L"Catalogue(*.json, *.csv)|*.json;*.csv|JSON File(*.json)|*.json|CSV File(*.csv)|*.csv|All Files(*.*)|*.*||";
const wchar_t* const ImportUnreadableText = L"The file is unable to be opened, please check it and try again.";
const wchar_t* const ImportNothingText = L"The file holds no software to import.";

namespace {
// The format last chosen, offered again for the next export of this run.
bool LastExportJson = false;

// How many refused rows the closing message lists before it only counts the rest.
constexpr size_t ListedRows = 15;

bool NewSoftwareId(CSoftware& record)
{
    GUID guid{};
    if (FAILED(CoCreateGuid(&guid)))
        return false;
    record.Id.Data1 = guid.Data1;
    record.Id.Data2 = guid.Data2;
    record.Id.Data3 = guid.Data3;
    for (int i = 0; i < 8; ++i)
        record.Id.Data4[i] = guid.Data4[i];
    return true;
}

bool ReadFileBytes(const std::wstring& path, std::string& bytes)
{
    CFileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.IsOpen() && ReadWholeFile(file.Get(), bytes);
}

// Takes the new values into the catalogue's record: the pointers into it stay valid.
void TakeValues(CSoftware& target, const CSoftware& values)
{
    target.ReleaseIcon();
    target = values;
    target.InstallerInfo.Icon = nullptr;
    UpdateIcon(target);
}
}  // namespace

std::wstring ExportFileFilter(bool json)
{
    return json ? L"JSON File(*.json)|*.json|All Files(*.*)|*.*||" : L"CSV File(*.csv)|*.csv|All Files(*.*)|*.*||";
}

std::wstring ImportQuestionText(int updates, int additions)
{
    return L"This file updates " + std::to_wstring(updates) + L" existing software(s) and adds " +
           std::to_wstring(additions) + L" new software(s).\n\nWould you like to continue ?";
}

std::wstring ImportRefusedText(const std::wstring& reason)
{
    return L"The file can't be imported. " + reason;
}

std::wstring ImportResultText(int updated, int added, const std::vector<RejectedRow>& rejected, bool stopped)
{
    std::wstring text = std::to_wstring(updated + added) + L" software(s) imported: " + std::to_wstring(updated) +
                        L" updated, " + std::to_wstring(added) + L" added.";
    if (stopped)
        text += L"\n\nA meta-data file couldn't be written, so the import stopped there: the rest of the file "
                L"was not imported.";
    if (!rejected.empty()) {
        text += L"\n\n" + std::to_wstring(rejected.size()) +
                L" row(s) couldn't be imported, and nothing of them was stored:\n";
        for (size_t i = 0; i < rejected.size() && i < ListedRows; ++i)
            text += L"\nLine " + std::to_wstring(rejected[i].Line) + L": " + rejected[i].Reason + L".";
        if (rejected.size() > ListedRows)
            text += L"\n... and " + std::to_wstring(rejected.size() - ListedRows) + L" more.";
    }
    return text;
}

bool ChooseExportInDialog(HWND owner, int allCount, int selectedCount, ExportChoice& choice)
{
    return CExportCatalogueDlg(allCount, selectedCount, choice, owner).DoModal() == IDOK;
}

bool RunCatalogueExport(HWND owner, const std::vector<const CSoftware*>& all,
                        const std::vector<const CSoftware*>& selected, bool preferSelection,
                        const ExportChooser& chooser)
{
    if (all.empty()) {
        ShowInformation(owner, NothingToExportText);
        return false;
    }
    ExportChoice choice;
    choice.Selection = preferSelection && !selected.empty();
    choice.Json = LastExportJson;
    if (!chooser || !chooser(owner, static_cast<int>(all.size()), static_cast<int>(selected.size()), choice))
        return false;
    LastExportJson = choice.Json;
    const std::vector<const CSoftware*>& records = choice.Selection && !selected.empty() ? selected : all;
    std::wstring path = choice.Json ? L"Quorvane catalogue.json" : L"Quorvane catalogue.csv";
    if (!BrowseForSaveFile(owner, ExportFileFilter(choice.Json), choice.Json ? L"json" : L"csv", path))
        return false;
    const std::string bytes = choice.Json ? FormatCatalogueJson(records) : FormatCatalogueCsv(records);
    if (!SaveFileReplacing(path, bytes, 0)) {
        ShowError(owner, CatalogueExportFailedText);
        return false;
    }
    return true;
}

std::vector<CSoftware*> RunCatalogueImport(HWND owner, CSoftwareArray& catalogue)
{
    std::vector<CSoftware*> stored;
    std::wstring path;
    if (!BrowseForOpenFile(owner, ImportFileFilter, path))
        return stored;
    std::string bytes;
    if (!ReadFileBytes(path, bytes)) {
        ShowError(owner, ImportUnreadableText);
        return stored;
    }
    CatalogueFile file;
    if (!ReadCatalogueFile(bytes, file)) {
        ShowError(owner, ImportRefusedText(file.Error));
        return stored;
    }
    ImportPlan plan = PlanCatalogueImport(file, catalogue);
    // A record the catalogue lacks but whose file is in the data folder (one that failed to load)
    // is not overwritten.
    for (auto it = plan.Additions.begin(); it != plan.Additions.end();) {
        if (!(*it)->Id.IsNull() && PathExists(Settings.DataFolder + FormatSoftwareId(**it), false)) {
            plan.Rejected.push_back({0, L"a meta-data file with the Id " + FormatSoftwareId(**it) +
                                            L" is already in the data folder"});
            it = plan.Additions.erase(it);
        } else {
            ++it;
        }
    }
    if (plan.Updates.empty() && plan.Additions.empty()) {
        if (plan.Rejected.empty())
            ShowInformation(owner, ImportNothingText);
        else
            ShowInformation(owner, ImportResultText(0, 0, plan.Rejected, false));
        return stored;
    }
    if (!plan.Updates.empty() &&
        !AskQuestion(owner, ImportQuestionText(static_cast<int>(plan.Updates.size()),
                                               static_cast<int>(plan.Additions.size()))))
        return stored;
    // An import changes many records at once: keep a way back first.
    if (!TakeSnapshot(owner, SnapshotReason::Import))
        return stored;

    int updated = 0, added = 0;
    bool stopped = false;
    for (ImportPlan::Update& update : plan.Updates) {
        if (!SaveSoftwareFile(*update.Record)) {
            stopped = true;
            break;
        }
        CSoftware& target = *catalogue[update.Position];
        TakeValues(target, *update.Record);
        stored.push_back(&target);
        ++updated;
    }
    for (std::unique_ptr<CSoftware>& addition : plan.Additions) {
        if (stopped)
            break;
        if (addition->Id.IsNull() && !NewSoftwareId(*addition)) {
            stopped = true;
            break;
        }
        if (!SaveSoftwareFile(*addition)) {
            DeleteSoftwareFile(*addition);
            stopped = true;
            break;
        }
        CSoftware* record = addition.release();
        UpdateIcon(*record);
        catalogue.Add(record);
        stored.push_back(record);
        ++added;
    }
    ShowInformation(owner, ImportResultText(updated, added, plan.Rejected, stopped));
    return stored;
}
