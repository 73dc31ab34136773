#pragma once
// The details pane: one record on three tabs, "Basic Info", "Registration Info" and "Licence" (the
// purchase and expiry dates), shown as painted text (view), or in editors (edit, and add inside
// the add-software dialog).
//
// Hosts: construct, SetPaneHeight, SetMode, SetRecord, then Create(parent) and move the window.
// The main window also calls SetCommandTarget(mainWindow, toolbar): an Apply that changed Company
// (beyond letter case), Category or Type then sends MSG_COMMAND with CMD_CLASSIFY to mainWindow with
// the toolbar as the sender, waiting for the regrouping; any other Apply runs the handler given to
// SetListRepaint. The pane given a command target is the main window's pane: values that any pane
// adds to the history lists also join that pane's autocomplete boxes.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "app/ItemInfoPane.h"
#include "framework/Dialog.h"
#include "framework/Gdi.h"
#include "model/Software.h"
#include "skin/BitmapButton5S.h"
#include "skin/EnTabCtrl.h"
#include "storage/History.h"

class CItemInfoDlg;

// The page tab control, painted off-screen together with the pane's labels and values; it hands
// mouse moves and clicks on the page to the pane for the web-site link.
class CItemInfoTabCtrl : public CommCtrl::CEnTabCtrl {
public:
    explicit CItemInfoTabCtrl(CItemInfoDlg& pane) : m_pane(pane) {}

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void PaintBuffered(HDC dc);
    CItemInfoDlg& m_pane;
};

class CItemInfoDlg : public CDialog, public CItemInfoPane {
public:
    explicit CItemInfoDlg(HWND parent = nullptr);
    ~CItemInfoDlg() override;

    // CItemInfoPane
    void SetRecord(CSoftware* record) override;
    CSoftware* Record() const override { return m_record; }
    int SetMode(int mode) override;
    int Mode() const override { return m_mode; }
    void SetPaneHeight(int height) override;
    void Relayout() override;

    // Validates every editor and copies it into the record, then extends and saves the history
    // lists. False, with a message and the record untouched, when a value cannot be stored.
    bool CollectFields();

    // See the top of this file.
    void SetCommandTarget(HWND mainWindow, HWND sender);
    void SetListRepaint(std::function<void()> repaint) { m_repaintList = std::move(repaint); }
    // In add mode, after the page tab changed (the add-software dialog resizes itself).
    void SetPageChanged(std::function<void()> pageChanged) { m_pageChanged = std::move(pageChanged); }

    int CurrentTab() const { return m_currentTab; }
    int PaneHeight() const { return m_paneHeight; }
    RECT FieldArea() const { return m_fieldArea; }
    RECT ValueArea() const { return m_valueArea; }
    // Value rectangle of a basic row (0 Name .. 6 Type), in pane coordinates.
    RECT BasicValueRect(int row) const { return m_basicValues[row]; }
    bool IsLinkHover() const { return m_linkHover; }
    // Whether the comment's editor holds the whole comment of the record (a long one shown in view
    // mode comes in parts while the message loop runs).
    bool IsCommentComplete() const { return !m_commentPending; }
    // The working copy of the codes, paired with the code list's names.
    const std::vector<std::wstring>& Codes() const { return m_codes; }

    // The texts the pane paints, for the view.
    static std::wstring PriceText(const SoftwarePrice& price);
    // The "Licence" tab's value rectangles: 0 purchase date, 1 expiry date, 2 the days left.
    RECT LicenceValueRect(int row) const { return m_licenceValues[row]; }
    static constexpr int LicenceTab = 2;

protected:
    BOOL OnInitDialog() override;
    void OnDpiChanged() override;
    void OnOK() override {}
    void OnCancel() override {}
    bool OnCommand(WORD id, WORD notifyCode, HWND control) override;
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

private:
    friend class CItemInfoTabCtrl;

    void SkinButton(CommCtrl::CBitmapButton5S& button, int id, UINT icon);
    void FillChoiceBoxes();
    void FillHistoryBoxes();
    void ComputeAreas();
    void LayoutBasic(int firstTop);
    void LayoutRegistration(int firstTop);
    void LayoutLicence(int firstTop);
    void CreateDatePickers();
    // A picker's date as ISO text, empty when it is left empty; and the reverse.
    std::wstring PickedDate(int id) const;
    void SetPickedDate(int id, const std::wstring& iso) const;
    void ShowEditors();
    void PlaceControl(int id, const RECT& rect) const;
    void CreateFonts();
    void ShowControl(int id, bool show) const;

    void PaintPage(HDC dc) const;
    void DrawRowText(HDC dc, const RECT& rect, const std::wstring& text, HFONT font, COLORREF colour) const;
    void RepaintValues();

    void OnTabChange();
    void OnModify();
    void OnApply();
    void OnCancelEdit();
    void OnAddCode();
    void OnRemoveCode();
    void OnCodeSelected();
    void OnEditCode();
    void FillEditors();
    void ReloadCodes(bool fill);
    // Puts the record's comment into its editor, when it is not there yet: at once, or in view mode
    // a long one in parts, the first now and the others on a timer.
    void LoadPendingComment();
    void LoadNextCommentParts();
    static size_t PartEnd(const std::wstring& text, size_t from, size_t size);
    // Whether text holds a paragraph of many thousand characters in the size characters from from.
    static bool HasLongParagraph(const std::wstring& text, size_t from, size_t size);
    // For the tab control: the pointer moved or clicked on the page (pane coordinates).
    void OnPageMouseMove(POINT point);
    bool OnPageClick(POINT point);
    HBRUSH ControlColour(HDC dc, HWND control) const;

    std::wstring ItemText(int id) const;
    void SetItemText(int id, const std::wstring& text) const;
    void SetChoice(int id, int value) const;
    int Choice(int id) const;
    void AddToCombo(int id, const std::wstring& text) const;
    void AddHistoryToPanes(HistoryListId list, const std::wstring& value);
    bool IsMainPane() const;

    int m_paneHeight = 0;
    RECT m_fieldArea{};
    RECT m_valueArea{};
    RECT m_basicLabels[7]{};
    RECT m_basicValues[7]{};
    RECT m_regLabels[8]{};
    RECT m_regValues[3]{};
    RECT m_licenceLabels[2]{};
    RECT m_licenceValues[3]{};
    CSoftware* m_record = nullptr;
    int m_mode = ItemInfoView;
    int m_currentTab = 0;
    bool m_showValues = true;
    std::vector<std::wstring> m_codes;
    bool m_commentPending = false;  // the comment editor does not hold the whole comment yet
    size_t m_commentLoaded = 0;     // how much of it the editor holds while parts are coming
    static constexpr UINT_PTR CommentTimer = 1;
    static constexpr size_t CommentFirstPart = 4 * 1024;
    static constexpr size_t CommentPart = 256 * 1024;
    CScopedBrush m_paneBrush;
    CScopedBrush m_whiteBrush;
    HCURSOR m_handCursor = nullptr;
    bool m_linkHover = false;
    CScopedFont m_labelFont;
    CScopedFont m_valueFont;
    CScopedFont m_linkFont;

    CItemInfoTabCtrl m_tabs;
    CommCtrl::CBitmapButton5S m_modify;
    CommCtrl::CBitmapButton5S m_apply;
    CommCtrl::CBitmapButton5S m_cancel;
    CommCtrl::CBitmapButton5S m_installer;  // opens the installer details, in the main window's pane

    HWND m_commandTarget = nullptr;
    HWND m_commandSender = nullptr;
    std::function<void()> m_repaintList;
    std::function<void()> m_pageChanged;
};

// Texts of the pane's messages.
extern const wchar_t* const NameMissingText;
extern const wchar_t* const SaveFailedText;
extern const wchar_t* const CodeMissingText;
extern const wchar_t* const CodeNameTakenText;
extern const wchar_t* const PriceTooHighText;
// The "Licence" tab's labels.
extern const wchar_t* const LicenceLabels[2];
// "Field '<name>' ..." for a value that would not come back from the record's file.
std::wstring NotStorableText(const wchar_t* fieldName);
