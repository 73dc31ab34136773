#include "app/InstallerDetailsDlg.h"

#include "model/InstallerFacts.h"
#include "model/Vocabulary.h"
#include "res/resource.h"

namespace {
const wchar_t NotRecorded[] = L"Not recorded";

std::wstring OrNotRecorded(const std::wstring& value)
{
    return value.empty() ? NotRecorded : value;
}

// "2026-12-08 15:04:05": the stored form with a blank for the "T".
std::wstring ReadableTime(const std::wstring& stored)
{
    std::wstring text = stored;
    if (text.size() == 19 && text[10] == L'T')
        text[10] = L' ';
    return text;
}
}  // namespace

CInstallerDetailsDlg::CInstallerDetailsDlg(CSoftware& record, VerifyNow verifyNow, HWND owner)
    : CDialog(IDD_INSTALLER_DETAILS, owner), m_record(record), m_verifyNow(std::move(verifyNow))
{
}

std::wstring CInstallerDetailsDlg::RowValue(const CSoftware& record, int row)
{
    const CExtraInfo& extra = record.ExtraInfo;
    const CInstallerInfo& installer = record.InstallerInfo;
    const bool measured = HasInstallerFacts(extra);
    switch (row) {
    case 0: return record.BasicInfo.Name + L"(" + record.BasicInfo.Version + L")";
    case 1: return installer.InstallerPath;
    case 2:
        return installer.AttachMode == AttachByImport ? L"Imported copy of " + installer.OriginalPath
                                                      : std::wstring(L"Reference to the file where you keep it");
    case 3: {
        uint64_t size = 0;
        return ParseSizeText(extra.InstallerSize, size) ? GroupedSizeText(size) + L" bytes" : NotRecorded;
    }
    case 4: return OrNotRecorded(extra.InstallerSha256);
    case 5: return measured && extra.InstallerVersion.empty() ? L"None" : OrNotRecorded(extra.InstallerVersion);
    case 6: return measured && extra.InstallerProduct.empty() ? L"None" : OrNotRecorded(extra.InstallerProduct);
    case 7:
        if (extra.InstallerTrust == TrustUnsigned)
            return L"None";
        return OrNotRecorded(extra.InstallerSigner);
    case 8: return OrNotRecorded(extra.InstallerTrust);
    case 9: return OrNotRecorded(ReadableTime(extra.InstallerAttached));
    case 10:
        return extra.InstallerCheck.empty() ? std::wstring(L"Never")
                                            : extra.InstallerCheck + L", " + ReadableTime(extra.InstallerChecked);
    default: return std::wstring();
    }
}

BOOL CInstallerDetailsDlg::OnInitDialog()
{
    FillValues();
    return TRUE;
}

void CInstallerDetailsDlg::FillValues()
{
    for (int row = 0; row < RowCount; ++row)
        SetDlgItemTextW(m_hWnd, IDC_DETAILS_FIRST_VALUE + row, RowValue(m_record, row).c_str());
    EnableWindow(GetDlgItem(IDC_DETAILS_VERIFY), !m_record.InstallerInfo.InstallerPath.empty() && m_verifyNow);
}

bool CInstallerDetailsDlg::OnCommand(WORD id, WORD notifyCode, HWND)
{
    if (id != IDC_DETAILS_VERIFY || notifyCode != BN_CLICKED)
        return false;
    if (m_verifyNow)
        m_verifyNow(m_hWnd, m_record);
    FillValues();
    return true;
}
