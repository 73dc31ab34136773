#pragma once
// The owner-drawn list box of the list pane: one 90-pixel card per record of the array it shows.
// It shows the array by reference; the records and the array belong to the catalogue.

#include <windows.h>

#include <string>
#include <vector>

#include "framework/Gdi.h"
#include "framework/Dpi.h"
#include "framework/Window.h"
#include "model/Software.h"

class CSWListBox : public CWindow {
public:
    // Synthetic command notifications posted to the parent (control id 0).
    static constexpr WORD NotifyLaunch = LBN_DBLCLK;  // Enter or Space
    static constexpr WORD NotifyDelete = 6;           // Delete
    static constexpr UINT SelectAllCommand = 32778;   // Control+A

    static constexpr int ItemHeight = 90;
    static constexpr int ItemWidth = 480;

    // Card rectangles, relative to the entry's top-left corner.
    static constexpr RECT IconArea{5, 5, 69, 69};
    static constexpr POINT IconOrigin{13, 13};
    static constexpr int IconSize = 48;
    static constexpr RECT NameRect{74, 5, 254, 25};
    static constexpr RECT VersionRect{74, 30, 254, 45};
    static constexpr RECT CompanyRect{74, 50, 254, 69};
    static constexpr RECT PriceRect{275, 5, 450, 69};
    static constexpr RECT CurrencyRect{450, 55, 475, 69};
    static constexpr RECT LinkRect{275, 70, 475, 85};

    static constexpr COLORREF NameColour = RGB(38, 77, 128);
    static constexpr COLORREF FreeColour = RGB(50, 200, 50);
    static constexpr COLORREF CurrencyColour = RGB(150, 100, 0);
    static constexpr COLORREF LinkColour = RGB(0, 0, 255);
    static constexpr COLORREF CheckFailedColour = RGB(210, 30, 30);

    CSWListBox();
    ~CSWListBox() override;

    // Creates a hidden list box of the pane's style as a child of the parent.
    bool Create(HWND parent, int id, const RECT& rect);
    // The popup shown on a right click over a selected entry; not owned. Commands go to the parent.
    void SetContextMenu(HMENU popup) { m_contextMenu = popup; }

    // Shows the array (not owned; null for none). The entry count follows the array's size; when
    // the array shrinks, entries leave from the top and the first entry is selected.
    void SetItems(CSoftwareArray* items);
    CSoftwareArray* Items() const { return m_items; }
    // The record of entry index, or null.
    CSoftware* RecordAt(int index) const;

    // Selected entries become unselected and the others selected.
    void InvertSelection();
    void SelectAll();
    // Exactly that entry selected (none for -1), with the caret on it.
    void SelectOnly(int index);
    int Count() const;
    int SelectedCount() const;
    // Ascending indexes of the selected entries.
    std::vector<int> SelectedIndexes() const;
    bool IsSelected(int index) const;
    int CaretIndex() const;

    // Type-ahead: the first entry after current, wrapping round, whose name starts with the
    // character (ignoring case); current when there is none.
    int CharToItem(wchar_t character, int current) const;

    bool LinkHover() const { return m_linkHover; }

    bool OnDrawItem(const DRAWITEMSTRUCT& item) override;
    bool OnMeasureItem(MEASUREITEMSTRUCT& item) override;

    // An entry's height and width and a card rectangle at the list's DPI.
    int EntryHeight() const { return ScaleToDpi(ItemHeight, m_dpi); }
    int EntryWidth() const { return ScaleToDpi(ItemWidth, m_dpi); }
    RECT CardRect(const RECT& rect) const { return ScaleRectToDpi(rect, m_dpi); }

    // Draws one card at the top-left of the DC, 480 x 90 pixels at 96 DPI as the entry's rectangle is.
    void DrawCard(HDC dc, const RECT& rect, int index, bool selected) const;
    void DrawCheckFailedMark(HDC dc) const;

protected:
    void OnAttached() override;
    // Fonts, backgrounds and entry height at the new DPI.
    void OnDpiChanged() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void CreateLook();

    // The entry under a client point, or -1 below the last one.
    int EntryAt(POINT point) const;
    // The entry nearest to a client point, or -1 for an empty list.
    int NearestEntry(POINT point) const;
    void OnMouseMove(POINT point);
    void OnLeftButtonDown(WPARAM keys, POINT point);
    void OnRightButtonDown(WPARAM keys, POINT point);
    void OnRightButtonUp(WPARAM keys, POINT point);
    bool OnKeyDown(UINT key);
    void OnChar(wchar_t character);
    void PostToParent(WPARAM wParam) const;

    CSoftwareArray* m_items = nullptr;
    CScopedBitmap m_normalBackground;
    CScopedBitmap m_selectedBackground;
    CScopedFont m_nameFont;
    CScopedFont m_versionFont;
    CScopedFont m_companyFont;
    CScopedFont m_priceFont;
    CScopedFont m_currencyFont;
    CScopedFont m_linkFont;
    HCURSOR m_handCursor = nullptr;
    HMENU m_contextMenu = nullptr;
    bool m_linkHover = false;
};
