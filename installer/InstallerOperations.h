#pragma once
// Attaching an installer to a record: the one place that changes an installer's attachment.

#include <cstdint>
#include <string>

#include "model/Software.h"
#include "model/Vocabulary.h"

class CImportProgressDlg;

// By reference, the record points at path (an earlier imported copy is deleted); by import, path
// is copied into the data folder through the progress dialog and the record points at the copy
// only once the copy is complete. True when the record changed; the caller refreshes the icon
// and saves the record.
bool AttachInstaller(CSoftware& record, int32_t mode, const std::wstring& path, CImportProgressDlg& progress);
