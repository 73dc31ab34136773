#include "installer/InstallerOperations.h"

#include <windows.h>

#include "installer/ImportProgressDlg.h"
#include "installer/InstallerText.h"
#include "storage/Configurations.h"

bool AttachInstaller(CSoftware& record, int32_t mode, const std::wstring& path, CImportProgressDlg& progress)
{
    CInstallerInfo& installer = record.InstallerInfo;
    switch (mode) {
    case AttachByReference:
        // Referencing the imported copy itself must not delete the very file it now points at.
        if (installer.AttachMode == AttachByImport && !installer.InstallerPath.empty() &&
            CompareStringOrdinal(installer.InstallerPath.c_str(), -1, path.c_str(), -1, TRUE) != CSTR_EQUAL)
            DeleteFileW(installer.InstallerPath.c_str());
        installer.InstallerPath = path;
        installer.OriginalPath = path;
        installer.AttachMode = AttachByReference;
        return true;
    case AttachByImport:
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
