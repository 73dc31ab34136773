#include "installer/InstallerOperations.h"

#include <windows.h>

#include "installer/ImportProgressDlg.h"
#include "installer/InstallerText.h"
#include "installer/InstallerVault.h"
#include "framework/App.h"
#include "storage/Configurations.h"
#include "storage/FileAccess.h"
#include "storage/SoftwareFiles.h"

bool AttachInstaller(CSoftware& record, int32_t mode, const std::wstring& path, CImportProgressDlg& progress)
{
    CInstallerInfo& installer = record.InstallerInfo;
    switch (mode) {
    case AttachByReference: {
        // The facts are measured before anything changes: cancelling that read cancels the attach.
        // A file that cannot be read is still referenced, as it always was, without facts.
        CInstallerFacts facts;
        HWND owner = progress.GetParentWindow() ? progress.GetParentWindow() : CWinApp::MainWindowHandle();
        const MeasureOutcome measured = MeasureForAttach(owner, path, facts);
        if (measured == MeasureOutcome::Cancelled)
            return false;
        if (measured == MeasureOutcome::Done)
            RecordInstallerFacts(record.ExtraInfo, facts, NowTimestamp());
        else
            ClearInstallerFacts(record.ExtraInfo);
        // Referencing the imported copy itself must not delete the very file it now points at.
        if (installer.AttachMode == AttachByImport && !installer.InstallerPath.empty() &&
            CompareStringOrdinal(installer.InstallerPath.c_str(), -1, path.c_str(), -1, TRUE) != CSTR_EQUAL)
            DeleteFileRetrying(installer.InstallerPath);
        installer.InstallerPath = path;
        installer.OriginalPath = path;
        installer.AttachMode = AttachByReference;
        return true;
    }
    case AttachByImport: {
        // The copy goes into the data folder, which is never made again once it vanished.
        if (ReportIfDataFolderMissing(Settings.DataFolder))
            return false;
        // The copy worker hashes the bytes as it copies them: no second read of a large file.
        CImportFactsSink sink;
        progress.SetCopySink(&sink);
        const INT_PTR result = progress.RunCopy(record, path, CopyImport, false);
        progress.SetCopySink(nullptr);
        if (result != CopyComplete)
            return false;
        CInstallerFacts facts;
        if (sink.Take(facts))
            RecordInstallerFacts(record.ExtraInfo, facts, NowTimestamp());
        else
            ClearInstallerFacts(record.ExtraInfo);
        installer.InstallerPath = ImportedInstallerPath(Settings.DataFolder, record);
        installer.OriginalPath = path;
        installer.AttachMode = AttachByImport;
        return true;
    }
    default:
        return false;
    }
}
