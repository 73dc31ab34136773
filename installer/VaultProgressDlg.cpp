#include "installer/VaultProgressDlg.h"

#include <commctrl.h>

#include "app/PaneColour.h"
#include "framework/App.h"
#include "res/resource.h"

namespace {
CVaultProgressDlg::StartHook& TestStartHook()
{
    static CVaultProgressDlg::StartHook hook;
    return hook;
}

class CLockGuard {
public:
    explicit CLockGuard(CRITICAL_SECTION& lock) : m_lock(lock) { EnterCriticalSection(&m_lock); }
    ~CLockGuard() { LeaveCriticalSection(&m_lock); }
    CLockGuard(const CLockGuard&) = delete;
    CLockGuard& operator=(const CLockGuard&) = delete;

private:
    CRITICAL_SECTION& m_lock;
};
}  // namespace

bool CVaultTask::Cancelled()
{
    return m_dialog->IsCancelRequested();
}

void CVaultTask::Progress(uint64_t done, uint64_t total)
{
    const int permille = total == 0 ? 1000 : static_cast<int>(static_cast<double>(done) / total * 1000.0);
    if (permille <= m_posted)
        return;
    m_posted = permille;
    PostMessageW(m_dialog->m_window, CVaultProgressDlg::MsgProgress, static_cast<WPARAM>(permille), 0);
}

void CVaultTask::Status(const std::wstring& text)
{
    m_dialog->SetStatus(text);
}

CReadControl CVaultTask::ReadControl(uint64_t base, uint64_t total)
{
    CReadControl control;
    control.Cancelled = [this] { return Cancelled(); };
    control.Progress = [this, base, total](uint64_t done, uint64_t) { Progress(base + done, total); };
    return control;
}

CVaultProgressDlg::StartHook CVaultProgressDlg::SetStartHook(StartHook hook)
{
    StartHook previous = std::move(TestStartHook());
    TestStartHook() = std::move(hook);
    return previous;
}

CVaultProgressDlg::CVaultProgressDlg(HWND owner, std::wstring title, Work work)
    : CBitmapDialog(IDD_VAULT_PROGRESS, owner), m_title(std::move(title)), m_work(std::move(work))
{
    SetShortTitle(true);
    // Cancel is the one way out: it stops the work first.
    SetTitleButtons(false, false, false);
    SetContentColour(PaneColour);
    InitializeCriticalSection(&m_lock);
    m_task.m_dialog = this;
}

CVaultProgressDlg::~CVaultProgressDlg()
{
    StopWorker();
    DeleteCriticalSection(&m_lock);
}

bool CVaultProgressDlg::Run()
{
    static const bool registered = [] {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
        return InitCommonControlsEx(&controls) != FALSE;
    }();
    (void)registered;
    if (!m_parent)
        m_parent = CWinApp::MainWindowHandle();
    return DoModal() == IDOK;
}

BOOL CVaultProgressDlg::OnInitDialog()
{
    CBitmapDialog::OnInitDialog();
    m_window = m_hWnd;
    SetWindowTextW(m_hWnd, m_title.c_str());
    ResizeTo(Width, Height);
    CenterOverOwner();
    m_cancel.SubclassDlgItem(IDCANCEL, m_hWnd);
    m_cancel.LoadStateBitmaps(IDB_BUTTON_NORMAL, IDB_BUTTON_PRESSED, IDB_BUTTON_FOCUSED, IDB_BUTTON_DISABLED);
    m_cancel.SetHoverBitmap(IDB_BUTTON_HOVER);
    m_cancel.SetLayout(RECT{2, 2, 18, 18}, RECT{20, 3, 70, 17}, 6, L"Arial");
    m_cancel.SetTextColor(RGB(0, 0, 0));
    m_cancel.SetIcon(IDI_CANCEL);
    PlaceControls();
    SendDlgItemMessageW(m_hWnd, IDC_VAULT_PROGRESS, PBM_SETRANGE32, 0, 1000);
    if (m_marquee) {
        HWND bar = GetDlgItem(IDC_VAULT_PROGRESS);
        SetWindowLongPtrW(bar, GWL_STYLE, GetWindowLongPtrW(bar, GWL_STYLE) | PBS_MARQUEE);
        SendMessageW(bar, PBM_SETMARQUEE, TRUE, 30);
    }
    if (const StartHook& hook = TestStartHook())
        hook(m_hWnd);
    m_worker = CreateThread(nullptr, 0, WorkerProc, this, 0, nullptr);
    if (!m_worker)
        EndDialog(IDABORT);
    return TRUE;
}

DWORD WINAPI CVaultProgressDlg::WorkerProc(LPVOID parameter)
{
    auto* dialog = static_cast<CVaultProgressDlg*>(parameter);
    try {
        dialog->m_work(dialog->m_task);
    } catch (...) {
        // A failure of the work (no memory) ends it like a cancel: nothing it found is used.
        EnterCriticalSection(&dialog->m_lock);
        dialog->m_cancelRequested = true;
        LeaveCriticalSection(&dialog->m_lock);
    }
    PostMessageW(dialog->m_window, MsgDone, 0, 0);
    return 0;
}

bool CVaultProgressDlg::IsCancelRequested()
{
    CLockGuard guard(m_lock);
    return m_cancelRequested;
}

void CVaultProgressDlg::SetStatus(const std::wstring& text)
{
    {
        CLockGuard guard(m_lock);
        m_status = text;
    }
    PostMessageW(m_window, MsgStatus, 0, 0);
}

void CVaultProgressDlg::StopWorker()
{
    if (!m_worker)
        return;
    {
        CLockGuard guard(m_lock);
        m_cancelRequested = true;
    }
    // Bounded by one read of a chunk: the work checks the flag before each.
    WaitForSingleObject(m_worker, INFINITE);
    CloseHandle(m_worker);
    m_worker = nullptr;
}

void CVaultProgressDlg::OnCancel()
{
    StopWorker();
    EndDialog(IDCANCEL);
}

INT_PTR CVaultProgressDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled)
{
    switch (message) {
    case MsgDone: {
        handled = true;
        // The work's last act was this message: the thread is ending.
        if (m_worker) {
            WaitForSingleObject(m_worker, INFINITE);
            CloseHandle(m_worker);
            m_worker = nullptr;
        }
        EndDialog(IsCancelRequested() ? IDCANCEL : IDOK);
        return 0;
    }
    case MsgProgress:
        handled = true;
        SendDlgItemMessageW(m_hWnd, IDC_VAULT_PROGRESS, PBM_SETPOS, wParam, 0);
        return 0;
    case MsgStatus: {
        handled = true;
        std::wstring status;
        {
            CLockGuard guard(m_lock);
            status = m_status;
        }
        SetDlgItemTextW(m_hWnd, IDC_VAULT_STATUS, status.c_str());
        return 0;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORBTN:
        handled = true;
        return TransparentControlColour(wParam, GetContentBrush());
    default:
        return CBitmapDialog::OnMessage(message, wParam, lParam, handled);
    }
}

void CVaultProgressDlg::OnDestroy()
{
    StopWorker();
    CBitmapDialog::OnDestroy();
}

void CVaultProgressDlg::OnDpiChanged()
{
    CBitmapDialog::OnDpiChanged();
    ResizeTo(Width, Height);
    PlaceControls();
}

void CVaultProgressDlg::PlaceControls()
{
    const RECT c = GetContentRect();
    auto place = [this](int id, int left, int top, int right, int bottom) {
        SetWindowPos(GetDlgItem(id), nullptr, left, top, right - left, bottom - top, SWP_NOZORDER | SWP_NOACTIVATE);
    };
    place(IDC_VAULT_STATUS, c.left + Scale(12), c.top + Scale(10), c.right - Scale(12), c.top + Scale(28));
    place(IDC_VAULT_PROGRESS, c.left + Scale(12), c.top + Scale(32), c.right - Scale(12), c.top + Scale(48));
    const int middle = (c.left + c.right) / 2;
    place(IDCANCEL, middle - Scale(35), c.bottom - Scale(30), middle - Scale(35) + Scale(70), c.bottom - Scale(10));
}

// Over the owner's middle, or the work area's without a visible owner.
void CVaultProgressDlg::CenterOverOwner()
{
    RECT box{};
    GetWindowRect(m_hWnd, &box);
    RECT area{};
    HWND owner = GetWindow(m_hWnd, GW_OWNER);
    if (owner && IsWindowVisible(owner) && !IsIconic(owner))
        GetWindowRect(owner, &area);
    else
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    SetWindowPos(m_hWnd, nullptr, area.left + (RectWidth(area) - RectWidth(box)) / 2,
                 area.top + (RectHeight(area) - RectHeight(box)) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
