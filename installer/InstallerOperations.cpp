#include "installer/InstallerOperations.h"

#include <windows.h>

#include "installer/ImportProgressDlg.h"
#include "installer/InstallerText.h"
#include "storage/Configurations.h"
#include "storage/FileAccess.h"
#include "storage/SoftwareFiles.h"

bool AttachInstaller(CSoftware& record, int32_t mode, const std::wstring& path, CImportProgressDlg& progress)
{
    CInstallerInfo& installer = record.InstallerInfo;
    switch (mode) {
    case AttachByReference:
        // Referencing the imported copy itself must not delete the very file it now points at.
        if (installer.AttachMode == AttachByImport && !installer.InstallerPath.empty() &&
            CompareStringOrdinal(installer.InstallerPath.c_str(), -1, path.c_str(), -1, TRUE) != CSTR_EQUAL)
            DeleteFileRetrying(installer.InstallerPath);
        installer.InstallerPath = path;
        installer.OriginalPath = path;
        installer.AttachMode = AttachByReference;
        return true;
    case AttachByImport:
        // The copy goes into the data folder, which is never made again once it vanished.
        if (ReportIfDataFolderMissing(Settings.DataFolder))
            return false;
        if (progress.RunCopy(record, path, CopyImport, false) != CopyComplete)
            return false;
        installer.InstallerPath = ImportedInstallerPath(Settings.DataFolder, record);
        installer.OriginalPath = path;
        installer.AttachMode = AttachByImport;
        return true;
    default:
        return false;
    }
}
