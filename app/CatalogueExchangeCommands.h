#pragma once
// The commands "Export catalogue..." and "Import catalogue...": the dialogs and files around the
// CSV and JSON text of storage/CatalogueExchange.h. The main window regroups and shows the result.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "app/ExportCatalogueDlg.h"
#include "model/Software.h"
#include "storage/CatalogueExchange.h"

// Asks which software and which format; false when cancelled. Replaceable so tests can answer.
using ExportChooser = std::function<bool(HWND owner, int allCount, int selectedCount, ExportChoice& choice)>;
bool ChooseExportInDialog(HWND owner, int allCount, int selectedCount, ExportChoice& choice);

// Writes the chosen records to a file the user names, through the safe save (a temporary file
// beside it, then the replace). `preferSelection` preselects the selection in the choice. True
// when a file was written.
bool RunCatalogueExport(HWND owner, const std::vector<const CSoftware*>& all,
                        const std::vector<const CSoftware*>& selected, bool preferSelection,
                        const ExportChooser& chooser);

// Reads a file the user picks into the catalogue: updates after a question that counts them,
// additions, and a closing message that lists the refused rows. Installers are referenced where
// the file says, never copied. Returns the records stored, in file order of their kind (updates
// first); the caller regroups when there are any.
std::vector<CSoftware*> RunCatalogueImport(HWND owner, CSoftwareArray& catalogue);

// Texts of the commands, for tests.
extern const wchar_t* const NothingToExportText;
extern const wchar_t* const CatalogueExportFailedText;
extern const wchar_t* const ImportFileFilter;
extern const wchar_t* const ImportUnreadableText;
extern const wchar_t* const ImportNothingText;
std::wstring ExportFileFilter(bool json);
std::wstring ImportQuestionText(int updates, int additions);
std::wstring ImportRefusedText(const std::wstring& reason);
std::wstring ImportResultText(int updated, int added, const std::vector<RejectedRow>& rejected, bool stopped);
