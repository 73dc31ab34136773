#include "app/VaultCommands.h"

#include "app/InstallerDetailsDlg.h"
#include "app/VerifyResultDlg.h"
#include "framework/MessageBox.h"
#include "framework/ShellDialogs.h"
#include "installer/IconExtraction.h"
#include "installer/InstallerVault.h"
#include "storage/Paths.h"
#include "storage/SoftwareFiles.h"

const wchar_t* const NoInstallersToVerifyText = L"None of the software has an installer attached yet.";
const wchar_t* const OneDetailsOnlyText = L"You can just see the installer details of one software at a time.";
const wchar_t* const NoneMissingText = L"No attached installer is missing.";
const wchar_t* const SearchFolderTitle =
    L"Please select a folder to search for the missing installers. Its subfolders are searched too.";
const wchar_t* const NothingFoundText = L"None of the missing installers was found in that folder.";

namespace {
const wchar_t NoInstallerText[] = L"The selected software havn't attached an installer yet.";

std::wstring NameAndVersion(const CSoftware& record)
{
    return record.BasicInfo.Name + L"(" + record.BasicInfo.Version + L")";
}
}  // namespace

std::wstring RelinkQuestion(const CSoftware& record, const std::wstring& path)
{
    return NameAndVersion(record) + L"'s installer was found at:\n" + path + L"\n\nWould you like to relink it ?";
}

void CVaultCommands::Connect(HWND mainWindow, std::function<void()> afterChange)
{
    m_mainWindow = mainWindow;
    m_afterChange = std::move(afterChange);
}

void CVaultCommands::Store(CSoftware& record)
{
    SaveSoftwareFile(record);
}

void CVaultCommands::VerifyInstallers(const std::vector<CSoftware*>& records)
{
    bool any = false;
    for (const CSoftware* record : records)
        any = any || !record->InstallerInfo.InstallerPath.empty();
    if (!any) {
        ShowInformation(m_mainWindow, NoInstallersToVerifyText);
        return;
    }
    std::vector<CVerifyEntry> entries;
    if (!::VerifyInstallers(m_mainWindow, records, entries))
        return;
    // A file is written only when what it says changed: the result, or facts measured for the first
    // time. A catalogue of many intact installers is then not rewritten on every check; the time of
    // an unchanged result is kept in memory and written with the record's next save.
    const std::wstring now = NowTimestamp();
    for (const CVerifyEntry& entry : entries) {
        const std::wstring before = entry.Record->ExtraInfo.InstallerCheck;
        ApplyVerifyEntry(entry, now);
        if (!entry.HadFacts || entry.Record->ExtraInfo.InstallerCheck != before)
            Store(*entry.Record);
    }
    if (m_afterChange)
        m_afterChange();
    CVerifyResultDlg result(
        std::move(entries),
        [this, &records](HWND owner, const std::vector<CSoftware*>& missing) {
            FindMovedInstallers(owner, missing, records);
        },
        [this](HWND owner, CSoftware& record) {
            CInstallerDetailsDlg(record, [this](HWND dialog, CSoftware& shown) { VerifyNow(dialog, shown); }, owner)
                .DoModal();
        },
        m_mainWindow);
    result.DoModal();
}

void CVaultCommands::FindMovedInstallers(HWND owner, std::vector<CSoftware*> missing,
                                         const std::vector<CSoftware*>& records)
{
    if (missing.empty()) {
        for (CSoftware* record : records) {
            if (!record->InstallerInfo.InstallerPath.empty() && HasInstallerFacts(record->ExtraInfo) &&
                !PathExists(record->InstallerInfo.InstallerPath, false))
                missing.push_back(record);
        }
    }
    if (missing.empty()) {
        ShowInformation(owner, NoneMissingText);
        return;
    }
    std::wstring folder;
    if (!BrowseForFolder(owner, SearchFolderTitle, folder))
        return;
    std::vector<CMovedInstaller> found;
    if (!SearchMovedInstallers(owner, folder, missing, found))
        return;
    if (found.empty()) {
        ShowInformation(owner, NothingFoundText);
        return;
    }
    const std::wstring now = NowTimestamp();
    for (const CMovedInstaller& move : found) {
        if (!AskQuestion(owner, RelinkQuestion(*move.Record, move.Path)))
            continue;
        // An imported copy that vanished is replaced by a reference to the found file; that file is
        // the user's, so the program must never delete it on a later detach.
        RelinkInstaller(*move.Record, move.Path, now);
        UpdateIcon(*move.Record);
        Store(*move.Record);
    }
    if (m_afterChange)
        m_afterChange();
}

void CVaultCommands::ShowDetails(const std::vector<CSoftware*>& selected)
{
    if (selected.empty())
        return;
    if (selected.size() > 1) {
        ShowInformation(m_mainWindow, OneDetailsOnlyText);
        return;
    }
    CSoftware& record = *selected.front();
    if (record.InstallerInfo.InstallerPath.empty()) {
        ShowInformation(m_mainWindow, NoInstallerText);
        return;
    }
    CInstallerDetailsDlg details(
        record, [this](HWND owner, CSoftware& shown) { VerifyNow(owner, shown); }, m_mainWindow);
    details.DoModal();
}

void CVaultCommands::VerifyNow(HWND owner, CSoftware& record)
{
    std::vector<CVerifyEntry> entries;
    if (!::VerifyInstallers(owner, {&record}, entries) || entries.empty())
        return;
    ApplyVerifyEntry(entries.front(), NowTimestamp());
    Store(record);
    if (m_afterChange)
        m_afterChange();
}

bool CVaultCommands::ConfirmIntact(CSoftware& record)
{
    if (!HasInstallerFacts(record.ExtraInfo))
        return true;
    CInstallerFacts measured;
    switch (CheckWithProgress(m_mainWindow, record, measured)) {
    case InstallerCheckResult::None:
        return false;
    case InstallerCheckResult::Intact:
        // Only a mark that is no longer true is worth a write.
        if (LastCheckFailed(record.ExtraInfo)) {
            RecordInstallerCheck(record.ExtraInfo, InstallerCheckResult::Intact, NowTimestamp());
            Store(record);
            if (m_afterChange)
                m_afterChange();
        }
        return true;
    case InstallerCheckResult::Changed: {
        const CExtraInfo recorded = record.ExtraInfo;
        RecordInstallerCheck(record.ExtraInfo, InstallerCheckResult::Changed, NowTimestamp());
        Store(record);
        if (m_afterChange)
            m_afterChange();
        return AskQuestion(m_mainWindow, ChangedInstallerQuestion(NameAndVersion(record),
                                                                  CompareInstallerFacts(recorded, measured),
                                                                  recorded, measured));
    }
    default:
        return true;
    }
}
