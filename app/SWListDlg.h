#pragma once
// The catalogue list pane, left of the main window: the "All" tab with the whole catalogue and one
// tab per group. One list box serves every group tab: each switch points it at the group's records
// and gives back the selection, focus and scroll position the user left there, and it carries the
// id 1012 + k of the group it shows. It turns list selections into the record of the details pane,
// guards unsaved edits, and turns context-menu commands, double-clicks and keys into commands of
// the main window.

#include <windows.h>

#include <string>
#include <vector>

#include "app/ItemInfoPane.h"
#include "app/SWListBox.h"
#include "framework/Dialog.h"
#include "skin/EnTabCtrl.h"
#include "skin/TabStrip.h"
#include "app/PaneColour.h"

class CSWListDlg : public CDialog {
public:
    static constexpr int TabControlId = 1010;
    static constexpr int AllListId = 1011;
    static constexpr int FirstGroupListId = 1012;
    // The list of the temporary tab (found records, records due for renewal).
    static constexpr int TemporaryListId = 4010;
    static constexpr int TemporaryTab = 1;
    static constexpr int PaneWidth = 515;
    static constexpr int PaneHeight = 600;
    static constexpr RECT TabRect{2, 2, 513, 598};
    static constexpr COLORREF PaneColour = ::PaneColour;

    // Context-menu commands.
    enum : UINT {
        CommandAdd = 32771,
        CommandDelete = 32772,
        CommandAttach = 32774,
        CommandDetach = 32775,
        CommandExport = 32776,
        CommandLaunch = 32777,
        CommandExportSelected = 32822,
        CommandSelectAll = 32778,
        CommandReverseSelect = 32779,
    };

    CSWListDlg();
    ~CSWListDlg() override;

    // Creates the pane from its template as a child of the main window.
    using CDialog::Create;
    // The details pane that shows the chosen record, and the toolbar's Sort by box that every tab
    // switch resets to "None"; either may be null.
    void Connect(CItemInfoPane* details, HWND sortBox);

    // Makes the tabs and group lists match the current classification; false when a tab or a list
    // box could not be made or removed. Leaves the tab selection and ActiveTab alone.
    bool RebuildTabs();
    // Shows the list of the tab control's selection; with notify, the details pane follows it.
    void ActivateTab(bool notify);
    // Updates the details pane from the selection of list listId (1011 "All", 1012 + k group k),
    // asking first when the details pane holds unsaved edits.
    void HandleSelectionChange(int listId);

    // A tab right after "All" showing a list its caller keeps alive (not owned) until it calls
    // RemoveTemporaryTab; one at a time, so showing another replaces it. Groups move one tab right
    // while it is there. Exactly its first entry is selected whenever the list is set.
    bool ShowTemporaryTab(const std::wstring& text, CSoftwareArray* items);
    void RemoveTemporaryTab();
    bool HasTemporaryTab() const { return m_temporaryItems != nullptr; }
    CSWListBox& TemporaryList() { return m_temporaryList; }
    // The tab of group 0: 1, or 2 while the temporary tab is there.
    int FirstGroupTab() const { return HasTemporaryTab() ? TemporaryTab + 1 : 1; }
    // The list id of a tab's list box (AllListId, TemporaryListId, or FirstGroupListId + k).
    int ListIdOfTab(int tab) const;
    // The list box a tab shows, or null.
    CSWListBox* ListOfTab(int tab);

    // The list of the selected tab.
    CSWListBox* CurrentList();
    // Repaints the current list without erasing.
    void RefreshCurrentList();
    void FocusCurrentList();

    int ActiveTab() const { return m_activeTab; }
    CSWListBox& AllList() { return m_allList; }
    // The number of group tabs.
    size_t GroupCount() const { return m_views.size(); }
    // The list box every group tab shows in turn.
    CSWListBox& GroupListBox() { return m_groupList; }
    // The group the group list box shows, or -1.
    int ShownGroup() const { return m_shownGroup; }
    // What group k's list holds for the user: live while it is shown, else as it was left.
    CSWListBox::CView GroupView(size_t k) const;
    HWND TabControl() const { return m_tabs.GetSafeHwnd(); }
    // The area every list box is placed in, in pane coordinates.
    const RECT& ListArea() const { return m_listArea; }
    HWND MainWindow() const { return m_mainWindow; }

protected:
    BOOL OnInitDialog() override;
    // Enter and Escape never close the pane.
    void OnOK() override {}
    void OnCancel() override {}
    bool OnCommand(WORD id, WORD notifyCode, HWND control) override;
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    void OnDestroy() override;
    void OnDpiChanged() override;

private:
    // Keeps the shown group's selection, focus and scroll position, then shows group k with its own.
    void ShowGroup(int k);
    void SaveShownGroup();
    // The list box that sent a notification, and its id (1011 or 1012 + k); -1 when none of ours.
    int ListIdOf(HWND list) const;
    void PostCommand(WPARAM code) const;
    // The next (1) or previous (-1) tab, for Ctrl+Tab and its kin.
    void StepTab(int step);
    void SelectAllInCurrentList();
    void ReverseSelectInCurrentList();
    // No to the unsaved-edits question: back to "All" with the edited record selected.
    void ReturnToEditedRecord();
    void ComputeListArea();
    void EraseMargins(HDC dc) const;

    CommCtrl::CEnTabCtrl m_tabs;
    RECT m_listArea{};
    CSWListBox m_allList;
    int m_activeTab = 0;
    HWND m_mainWindow = nullptr;
    CSWListBox m_groupList;
    int m_shownGroup = -1;
    // Per group, what the user left in its list.
    std::vector<CSWListBox::CView> m_views;
    CSWListBox m_temporaryList;
    CSoftwareArray* m_temporaryItems = nullptr;
    CItemInfoPane* m_details = nullptr;
    HWND m_sortBox = nullptr;
    // Menu resource 191; its popup is shown by the list boxes.
    HMENU m_menu = nullptr;
};
