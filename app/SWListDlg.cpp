#include "app/SWListDlg.h"

#include <commctrl.h>

#include <algorithm>

#include "app/Commands.h"
#include "framework/App.h"
#include "framework/Gdi.h"
#include "framework/MessageBox.h"
#include "model/Catalogue.h"
#include "res/resource.h"

using CommCtrl::CEnTabCtrl;

namespace {
const wchar_t UnsavedEditsQuestion[] = L"Are you sure to leave without saving your modifications ?";
}  // namespace

CSWListDlg::CSWListDlg() : CDialog(IDD_SWLIST)
{
    // The template names the strip's class.
    CTabStrip::Register();
}

CSWListDlg::~CSWListDlg()
{
    // The lists go with the window; a pane destroyed before its window goes takes them too.
    if (m_hWnd && IsWindow(m_hWnd))
        DestroyWindow(m_hWnd);
    if (m_menu)
        DestroyMenu(m_menu);
}

void CSWListDlg::Connect(CItemInfoPane* details, HWND sortBox)
{
    m_details = details;
    m_sortBox = sortBox;
}

BOOL CSWListDlg::OnInitDialog()
{
    m_mainWindow = GetParent(m_hWnd);
    SetWindowPos(m_hWnd, nullptr, 0, 0, Scale(PaneWidth), Scale(PaneHeight), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    CEnTabCtrl::SetLookFlags(true, CEnTabCtrl::LookFlat | CEnTabCtrl::LookColor | CEnTabCtrl::LookSelection |
                                       CEnTabCtrl::LookGradient);
    m_tabs.SubclassDlgItem(TabControlId, m_hWnd);
    m_tabs.SetPaintMode(2);
    m_tabs.SetBackgroundColor(PaneColour);
    const RECT tabRect = Scale(TabRect);
    SetWindowPos(m_tabs.GetSafeHwnd(), nullptr, tabRect.left, tabRect.top, RectWidth(tabRect), RectHeight(tabRect),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    m_tabs.InsertItem(0, L"All");
    ComputeListArea();

    m_menu = LoadMenuW(ResourceInstance(), MAKEINTRESOURCEW(IDR_LIST_CONTEXT));
    m_allList.SubclassDlgItem(AllListId, m_hWnd);
    m_allList.SetContextMenu(m_menu ? GetSubMenu(m_menu, 0) : nullptr);
    // A thin border in place of the template's sunken edge, as the created lists have.
    HWND all = m_allList.GetSafeHwnd();
    SetWindowLongPtrW(all, GWL_STYLE, GetWindowLongPtrW(all, GWL_STYLE) | WS_BORDER);
    SetWindowLongPtrW(all, GWL_EXSTYLE, GetWindowLongPtrW(all, GWL_EXSTYLE) & ~WS_EX_CLIENTEDGE);
    SetWindowPos(all, HWND_TOP, m_listArea.left, m_listArea.top, RectWidth(m_listArea), RectHeight(m_listArea),
                 SWP_FRAMECHANGED | SWP_NOACTIVATE);
    m_allList.SetItems(&SoftwareList);
    if (m_allList.Count() > 0)
        m_allList.SelectOnly(0);
    if (m_groupList.Create(m_hWnd, FirstGroupListId, m_listArea)) {
        // Above the tab strip, which clips its siblings.
        SetWindowPos(m_groupList.GetSafeHwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        m_groupList.SetContextMenu(m_menu ? GetSubMenu(m_menu, 0) : nullptr);
    }

    RebuildTabs();
    // The main window decides where the focus goes.
    return FALSE;
}

void CSWListDlg::OnDpiChanged()
{
    // The lists took their fonts and entry height at the new DPI already.
    SetWindowPos(m_hWnd, nullptr, 0, 0, Scale(PaneWidth), Scale(PaneHeight), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    const RECT tabRect = Scale(TabRect);
    SetWindowPos(m_tabs.GetSafeHwnd(), nullptr, tabRect.left, tabRect.top, RectWidth(tabRect), RectHeight(tabRect),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    ComputeListArea();
    for (HWND list = GetWindow(m_hWnd, GW_CHILD); list; list = GetWindow(list, GW_HWNDNEXT))
        if (GetDlgCtrlID(list) >= AllListId && list != m_tabs.GetSafeHwnd())
            SetWindowPos(list, nullptr, m_listArea.left, m_listArea.top, RectWidth(m_listArea), RectHeight(m_listArea),
                         SWP_NOZORDER | SWP_NOACTIVATE);
}

void CSWListDlg::ComputeListArea()
{
    HWND tabs = m_tabs.GetSafeHwnd();
    RECT display{};
    GetClientRect(tabs, &display);
    m_tabs.AdjustRect(false, display);
    RECT header{};
    m_tabs.GetItemRect(0, header);
    RECT placed{};
    GetWindowRect(tabs, &placed);
    MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&placed), 2);
    m_listArea = display;
    m_listArea.left += placed.left + header.left;
    m_listArea.top += placed.top + header.top;
}

bool CSWListDlg::RebuildTabs()
{
    CTabStrip* strip = CTabStrip::FromWindow(m_tabs.GetSafeHwnd());
    if (!strip || !m_groupList.GetSafeHwnd())
        return false;
    const int groups = ::GroupList.GetSize();
    // Every name at once: the strip lays them out once, when it next paints.
    // Group tabs follow "All" and the temporary tab when there is one.
    const int firstGroupTab = FirstGroupTab();
    strip->ReplaceTabs(firstGroupTab, GroupNames.Items());

    m_allList.SetItems(&SoftwareList);
    m_allList.SelectOnly(0);
    // Every group starts with exactly its first entry selected, at the top.
    m_views.assign(static_cast<size_t>(groups), CSWListBox::CView{});
    m_shownGroup = -1;
    if (m_activeTab >= firstGroupTab && m_activeTab - firstGroupTab < groups) {
        ShowGroup(m_activeTab - firstGroupTab);
    } else {
        // The shown group is gone; the caller brings "All" forward.
        m_groupList.ShowItems(nullptr, CSWListBox::CView{});
        if (m_activeTab >= firstGroupTab)
            ShowWindow(m_groupList.GetSafeHwnd(), SW_HIDE);
    }
    return true;
}

CSWListBox::CView CSWListDlg::GroupView(size_t k) const
{
    if (static_cast<int>(k) == m_shownGroup)
        return m_groupList.SaveView();
    return k < m_views.size() ? m_views[k] : CSWListBox::CView{};
}

void CSWListDlg::SaveShownGroup()
{
    if (m_shownGroup >= 0 && static_cast<size_t>(m_shownGroup) < m_views.size())
        m_views[static_cast<size_t>(m_shownGroup)] = m_groupList.SaveView();
}

void CSWListDlg::ShowGroup(int k)
{
    if (k == m_shownGroup)
        return;
    SaveShownGroup();
    m_shownGroup = k;
    // Outside tools find group k's list by its id.
    SetWindowLongPtrW(m_groupList.GetSafeHwnd(), GWLP_ID, FirstGroupListId + k);
    m_groupList.ShowItems(::GroupList[k], m_views[static_cast<size_t>(k)]);
}

CSWListBox* CSWListDlg::ListOfTab(int tab)
{
    if (tab <= 0)
        return &m_allList;
    if (tab == TemporaryTab && HasTemporaryTab())
        return &m_temporaryList;
    return static_cast<size_t>(tab - FirstGroupTab()) < m_views.size() ? &m_groupList : nullptr;
}

int CSWListDlg::ListIdOfTab(int tab) const
{
    if (tab <= 0)
        return AllListId;
    if (tab == TemporaryTab && HasTemporaryTab())
        return TemporaryListId;
    return FirstGroupListId + tab - FirstGroupTab();
}

CSWListBox* CSWListDlg::CurrentList()
{
    return ListOfTab(m_tabs.GetCurSel());
}

bool CSWListDlg::ShowTemporaryTab(const std::wstring& text, CSoftwareArray* items)
{
    CTabStrip* strip = CTabStrip::FromWindow(m_tabs.GetSafeHwnd());
    if (!items || !strip)
        return false;
    if (!m_temporaryList.GetSafeHwnd()) {
        if (!m_temporaryList.Create(m_hWnd, TemporaryListId, m_listArea))
            return false;
        SetWindowPos(m_temporaryList.GetSafeHwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        m_temporaryList.SetContextMenu(m_menu ? GetSubMenu(m_menu, 0) : nullptr);
    }
    if (!HasTemporaryTab()) {
        if (m_tabs.InsertItem(TemporaryTab, text) < 0)
            return false;
        // The groups moved one tab right under the selection.
        if (m_activeTab >= TemporaryTab) {
            ++m_activeTab;
            m_tabs.SetCurSel(m_activeTab);
        }
    } else if (strip->Text(TemporaryTab) != text) {
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<wchar_t*>(text.c_str());
        SendMessageW(m_tabs.GetSafeHwnd(), TCM_SETITEMW, TemporaryTab, reinterpret_cast<LPARAM>(&item));
    }
    m_temporaryItems = items;
    m_temporaryList.SetItems(items);
    m_temporaryList.SelectOnly(0);
    return true;
}

void CSWListDlg::RemoveTemporaryTab()
{
    if (!HasTemporaryTab())
        return;
    if (m_activeTab == TemporaryTab) {
        // Back to "All" first, while the tab still maps to its list.
        m_tabs.SetCurSel(0);
        ActivateTab(true);
    }
    SendMessageW(m_tabs.GetSafeHwnd(), TCM_DELETEITEM, TemporaryTab, 0);
    m_temporaryItems = nullptr;
    m_temporaryList.SetItems(nullptr);
    ShowWindow(m_temporaryList.GetSafeHwnd(), SW_HIDE);
    if (m_activeTab > TemporaryTab)
        --m_activeTab;
    m_tabs.SetCurSel(m_activeTab);
}

void CSWListDlg::RefreshCurrentList()
{
    if (CSWListBox* list = CurrentList())
        list->RedrawNow(false);
}

void CSWListDlg::FocusCurrentList()
{
    if (CSWListBox* list = CurrentList())
        SetFocus(list->GetSafeHwnd());
}

void CSWListDlg::ActivateTab(bool notify)
{
    int tab = m_tabs.GetCurSel();
    if (tab < 0) {
        tab = 0;
        m_tabs.SetCurSel(0);
    }
    CSWListBox* shown = ListOfTab(tab);
    if (tab == m_activeTab || !shown)
        return;
    CSWListBox* hidden = ListOfTab(m_activeTab);
    if (shown == &m_groupList)
        ShowGroup(tab - FirstGroupTab());
    ShowWindow(shown->GetSafeHwnd(), SW_SHOW);
    SetFocus(shown->GetSafeHwnd());
    if (shown->Count() > 0 && shown->SelectedCount() == 0)
        shown->SelectOnly(0);
    // From one group to another the same list box stays.
    if (hidden && hidden != shown)
        ShowWindow(hidden->GetSafeHwnd(), SW_HIDE);
    m_activeTab = tab;
    if (notify)
        HandleSelectionChange(ListIdOfTab(tab));
    // Each tab shows its own order; the box names none of them.
    if (m_sortBox)
        SendMessageW(m_sortBox, CB_SETCURSEL, 0, 0);
}

void CSWListDlg::HandleSelectionChange(int listId)
{
    const bool temporary = listId == TemporaryListId;
    if (temporary ? !HasTemporaryTab()
                  : listId < AllListId || listId > FirstGroupListId + static_cast<int>(m_views.size()) - 1)
        return;
    // The "All" list and the temporary one show their own selection, a group its kept one.
    const bool all = listId == AllListId;
    const size_t group = all || temporary ? 0 : static_cast<size_t>(listId - FirstGroupListId);
    const std::vector<int> selected = listId == AllListId ? m_allList.SelectedIndexes()
                                      : temporary         ? m_temporaryList.SelectedIndexes()
                                                          : GroupView(group).Selected;
    const CSoftwareArray& records = listId == AllListId ? SoftwareList
                                    : temporary         ? *m_temporaryItems
                                                        : *::GroupList[static_cast<int>(group)];
    auto recordAt = [&records](int index) {
        return index >= 0 && index < records.GetSize() ? records[index] : nullptr;
    };
    const bool multiple = selected.size() > 1;
    CSoftware* record = nullptr;
    if (!multiple) {
        // A group list with nothing selected shows its first entry; the "All" list then shows none.
        if (selected.size() == 1)
            record = recordAt(selected.front());
        else if (!all)
            record = recordAt(0);
    }
    if (!m_details)
        return;
    if (!multiple && record == m_details->Record())
        return;
    if (m_details->Mode() != ItemInfoEdit) {
        m_details->SetRecord(record);
        return;
    }
    if (AskQuestion(m_mainWindow, UnsavedEditsQuestion)) {
        m_details->SetMode(ItemInfoView);
        m_details->SetRecord(record);
        m_details->Relayout();
        return;
    }
    ReturnToEditedRecord();
}

void CSWListDlg::ReturnToEditedRecord()
{
    m_tabs.SetCurSel(0);
    ActivateTab(true);
    m_allList.SelectOnly(m_details ? SoftwareList.Find(m_details->Record()) : -1);
    m_allList.RedrawNow(false);
}

void CSWListDlg::PostCommand(WPARAM code) const
{
    PostMessageW(m_mainWindow, MSG_COMMAND, code, reinterpret_cast<LPARAM>(m_hWnd));
}

void CSWListDlg::SelectAllInCurrentList()
{
    CSWListBox* list = CurrentList();
    if (!list)
        return;
    list->SelectAll();
    HandleSelectionChange(GetDlgCtrlID(list->GetSafeHwnd()));
}

void CSWListDlg::ReverseSelectInCurrentList()
{
    CSWListBox* list = CurrentList();
    if (!list)
        return;
    list->InvertSelection();
    if (list->Count() > 0 && list->SelectedCount() == 0)
        list->SelectOnly(0);
    HandleSelectionChange(GetDlgCtrlID(list->GetSafeHwnd()));
}

void CSWListDlg::StepTab(int step)
{
    // Round from the last tab to "All" and back, as the user's choice of a tab.
    CTabStrip* strip = CTabStrip::FromWindow(m_tabs.GetSafeHwnd());
    const int count = strip ? strip->Count() : 0;
    if (count > 1)
        strip->ChooseTab(((std::max(0, strip->CurSel()) + step) % count + count) % count);
}

int CSWListDlg::ListIdOf(HWND list) const
{
    if (!list)
        return -1;
    if (list == m_allList.GetSafeHwnd())
        return AllListId;
    if (list == m_temporaryList.GetSafeHwnd())
        return HasTemporaryTab() ? TemporaryListId : -1;
    if (list == m_groupList.GetSafeHwnd() && m_shownGroup >= 0)
        return FirstGroupListId + m_shownGroup;
    return -1;
}

bool CSWListDlg::OnCommand(WORD id, WORD notifyCode, HWND control)
{
    if (!control) {
        switch (id) {
        case CommandAdd:
            PostCommand(CMD_ADD);
            break;
        case CommandDelete:
            PostCommand(CMD_DELETE);
            break;
        case CommandAttach:
            PostCommand(CMD_ATTACH);
            break;
        case CommandDetach:
            PostCommand(CMD_DETACH);
            break;
        case CommandExport:
            PostCommand(CMD_EXPORT);
            break;
        case CommandLaunch:
            PostCommand(CMD_LAUNCH);
            break;
        case CommandExportSelected:
            PostCommand(CMD_EXPORT_SELECTED);
            break;
        case ID_VAULT_DETAILS:
            PostCommand(CMD_INSTALLER_DETAILS);
            break;
        case ID_VAULT_VERIFY:
            PostCommand(CMD_VERIFY_INSTALLERS);
            break;
        case CommandSelectAll:
            SelectAllInCurrentList();
            break;
        case CommandReverseSelect:
            ReverseSelectInCurrentList();
            break;
        default:
            break;
        }
        return true;
    }
    const int listId = ListIdOf(control);
    if (listId < 0)
        return true;
    switch (notifyCode) {
    case LBN_SELCHANGE:
        HandleSelectionChange(listId);
        break;
    case LBN_DBLCLK:
        PostCommand(CMD_LAUNCH);
        break;
    case CSWListBox::NotifyDelete:
        PostCommand(CMD_DELETE);
        break;
    case CSWListBox::NotifyNextTab:
    case CSWListBox::NotifyPreviousTab:
        StepTab(notifyCode == CSWListBox::NotifyNextTab ? 1 : -1);
        break;
    default:
        break;
    }
    return true;
}

void CSWListDlg::EraseMargins(HDC dc) const
{
    const RECT tabRect = Scale(TabRect);
    RECT client{};
    GetClientRect(m_hWnd, &client);
    const RECT margins[] = {
        {client.left, client.top, client.right, tabRect.top},
        {client.left, tabRect.bottom, client.right, client.bottom},
        {client.left, tabRect.top, tabRect.left, tabRect.bottom},
        {tabRect.right, tabRect.top, client.right, tabRect.bottom},
    };
    for (const RECT& margin : margins) {
        if (margin.right > margin.left && margin.bottom > margin.top)
            FillSolidRect(dc, margin, PaneColour);
    }
}

INT_PTR CSWListDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled)
{
    switch (message) {
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->idFrom == TabControlId && header->code == TCN_SELCHANGE) {
            ActivateTab(true);
            handled = true;
        }
        return 0;
    }
    case WM_MEASUREITEM: {
        // Every list of the pane has 90-pixel entries; answering here spares a search of the
        // pane's children for each of thousands of entries.
        auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        if (item->CtlType == ODT_LISTBOX && item->CtlID >= static_cast<UINT>(AllListId)) {
            item->itemWidth = Scale(CSWListBox::ItemWidth);
            item->itemHeight = Scale(CSWListBox::ItemHeight);
            handled = true;
            return TRUE;
        }
        return 0;
    }
    case WM_ERASEBKGND:
        EraseMargins(reinterpret_cast<HDC>(wParam));
        handled = true;
        return TRUE;
    default:
        return 0;
    }
}

void CSWListDlg::OnDestroy()
{
    // The group list box goes with the pane's other children.
    m_temporaryItems = nullptr;
    m_views.clear();
    m_shownGroup = -1;
    m_activeTab = 0;
}
