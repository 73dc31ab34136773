#pragma once
// Runs a long read of installer files on a worker thread while a small modal dialog shows what is
// being read, the progress, and offers Cancel. Like the copy dialog, the worker and the dialog
// share only a flag under a lock, a text under the same lock, and posted messages.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "framework/Gdi.h"
#include "installer/FileFacts.h"
#include "skin/BitmapButton5S.h"
#include "skin/BitmapDialog.h"

// What the work sees of its dialog; used on the worker thread only.
class CVaultTask {
public:
    bool Cancelled();
    // Moves the bar to done / total of the whole work, posting only when it grows.
    void Progress(uint64_t done, uint64_t total);
    // Shown above the bar.
    void Status(const std::wstring& text);
    // Reports a file's own progress as part of the whole: the file starts at base of total bytes.
    CReadControl ReadControl(uint64_t base, uint64_t total);

private:
    friend class CVaultProgressDlg;
    class CVaultProgressDlg* m_dialog = nullptr;
    int m_posted = -1;
};

class CVaultProgressDlg : public CommCtrl::CBitmapDialog {
public:
    using Work = std::function<void(CVaultTask& task)>;
    CVaultProgressDlg(HWND owner, std::wstring title, Work work);
    ~CVaultProgressDlg() override;

    // True when the work ran to its end, false when the user cancelled it (the work has stopped
    // by then) or the dialog could not be shown.
    bool Run();
    // A bar that only shows that work goes on, for work of unknown length.
    void SetMarquee(bool marquee) { m_marquee = marquee; }

    // Tests: called on the dialog's thread once its window exists, before the work starts.
    using StartHook = std::function<void(HWND dialog)>;
    static StartHook SetStartHook(StartHook hook);

    static constexpr UINT MsgDone = WM_APP + 40;
    static constexpr UINT MsgProgress = WM_APP + 41;  // wParam: thousandths
    static constexpr UINT MsgStatus = WM_APP + 42;

    // The window's size at 96 DPI.
    static constexpr int Width = 400;
    static constexpr int Height = 118;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override;
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    void OnDestroy() override;
    void OnDpiChanged() override;

private:
    void PlaceControls();
    void CenterOverOwner();
    friend class CVaultTask;
    static DWORD WINAPI WorkerProc(LPVOID parameter);
    void StopWorker();
    bool IsCancelRequested();
    void SetStatus(const std::wstring& text);

    std::wstring m_title;
    Work m_work;
    HANDLE m_worker = nullptr;
    HWND m_window = nullptr;  // read by the worker to post
    CRITICAL_SECTION m_lock;
    bool m_cancelRequested = false;
    bool m_marquee = false;
    std::wstring m_status;
    CVaultTask m_task;
    CommCtrl::CBitmapButton5S m_cancel;
};
