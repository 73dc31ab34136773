#pragma once
// A plain child window in the details pane's place, for as long as the main window runs without
// the real pane: it keeps the shown record and the mode, and paints the record's name.

#include <windows.h>

#include "app/ItemInfoPane.h"

class CStandInItemInfoPane : public CItemInfoPane {
public:
    CStandInItemInfoPane() = default;
    CStandInItemInfoPane(const CStandInItemInfoPane&) = delete;
    CStandInItemInfoPane& operator=(const CStandInItemInfoPane&) = delete;
    ~CStandInItemInfoPane() override;

    // Creates the window as a hidden child of parent, 300 pixels wide and the pane height high.
    bool Create(HWND parent);
    HWND GetSafeHwnd() const { return m_hWnd; }

    void SetRecord(CSoftware* record) override;
    CSoftware* Record() const override { return m_record; }
    int SetMode(int mode) override;
    int Mode() const override { return m_mode; }
    void SetPaneHeight(int height) override;
    void Relayout() override;

    static constexpr int PaneWidth = 300;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Paint(HDC dc) const;

    HWND m_hWnd = nullptr;
    CSoftware* m_record = nullptr;
    int m_mode = ItemInfoView;
    int m_height = 600;
};
