#pragma once
// Find in the main window, and the temporary tab it fills: "Found (N)" with the records that hold
// the find box's text, or "Due (N)" with the licences that are due for renewal. The tab stands
// right after "All" in the list pane, lists its records in catalogue order (soonest expiry first
// for "Due") and follows every change of the catalogue until it is closed.

#include <windows.h>

#include <memory>
#include <string>

#include "app/FindDlg.h"
#include "model/Search.h"
#include "model/Software.h"

class CSWListDlg;
class CItemInfoPane;

class CFinder {
public:
    enum TabKind { NoTab, FoundTab, DueTab };

    CFinder();
    ~CFinder();
    CFinder(const CFinder&) = delete;
    CFinder& operator=(const CFinder&) = delete;

    // The main window calls it once its panes exist; the box opens over the bottom of boxArea.
    void Connect(HWND mainWindow, CSWListDlg* listPane, CItemInfoPane* details, HWND boxArea);

    // Ctrl+F: opens the find box (or brings it forward) with its text selected.
    void Open();
    // The main window is laid out for another DPI: the box follows it, and stays over its area.
    void DpiChanged(UINT dpi);
    // Enter, F3, "Next": the next match of the found tab, after the selected one, wrapping round;
    // without a find box, opens it.
    void Next();
    // Escape: closes the find box and removes its tab.
    void Close();
    // The search as the find box's text changed; an empty text removes the tab.
    void Search(const std::wstring& text);
    // Shows the licences due within the reminder window in the "Due (N)" tab, in place of any
    // found tab (the find box closes).
    void ShowDue();

    // After any change of the catalogue or of a record: the tab is filled again, keeping the
    // shown record selected when it is still there. Must run before anything paints the tab once
    // records were deleted.
    void CatalogueChanged();
    // After the catalogue list was sorted: the next search prepares its texts again, so that the
    // found tab keeps catalogue order; the tab itself is left as it is.
    void CatalogueOrderChanged() { m_indexStale = true; }

    // The box follows the main window's enabled state: while a dialog of the main window is open,
    // nothing can be typed into it.
    void MainWindowEnabled(bool enabled);

    // The main window's keys, seen for every message of its modal loop: Ctrl+F and F3 in the main
    // window or the find box, and the find box's own dialog keys. True when the message was used.
    bool PreTranslateMessage(MSG& message);

    TabKind Kind() const { return m_kind; }
    bool IsBoxOpen() const;
    HWND BoxWindow() const;
    CFindDlg* Box() const { return m_box.get(); }
    const CSoftwareArray& Shown() const { return m_shown; }

private:
    // Fills m_shown for the kind, shows or renames the tab, and selects the record (or the first).
    RECT BoxArea() const;
    void Fill(CSoftware* keep);
    void RemoveTab();
    // The found tab in front, its first entry (or the kept record) shown by the details pane.
    void BringTabForward();
    void RestoreBoxFocus() const;

    HWND m_mainWindow = nullptr;
    CSWListDlg* m_listPane = nullptr;
    CItemInfoPane* m_details = nullptr;
    HWND m_boxArea = nullptr;
    std::unique_ptr<CFindDlg> m_box;
    CSearchIndex m_index;
    std::wstring m_query;
    CSoftwareArray m_shown;  // not owning
    TabKind m_kind = NoTab;
    bool m_inBoxKeys = false;
    // The index was built before the last change of the catalogue (or never).
    bool m_indexStale = true;
};

// The temporary tabs' texts: "Found (N)" and "Due (N)".
std::wstring FoundTabText(int count);
std::wstring DueTabText(int count);
// Today's date on this computer's clock.
struct CCalendarDate;
CCalendarDate LocalToday();
