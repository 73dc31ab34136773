#pragma once
// A tab control whose painting the program can take over: in paint mode 2 it paints the frame and
// every tab itself through the virtual operations below, which a derived class fills in.

#include <windows.h>

#include "framework/TabCtrl.h"

class CBaseTabCtrl : public CTabCtrl {
public:
    // 0: the system draws the control; 1: tabs marked owner-drawn, the system paints;
    // 2: the control paints frame and tabs itself.
    explicit CBaseTabCtrl(int paintMode = 0);

    // Takes 0, 1 or 2; anything else is refused and changes nothing.
    bool SetPaintMode(int mode);
    int GetPaintMode() const { return m_paintMode; }
    void SetBackgroundColor(COLORREF colour);
    // NoColour until set.
    COLORREF GetBackgroundColor() const { return m_backgroundColour; }
    bool HasBackgroundColor() const { return m_backgroundColour != NoColour; }

    static constexpr COLORREF NoColour = CLR_NONE;

    // The system's request to draw an owner-drawn tab (paint modes 0 and 1).
    bool OnDrawItem(const DRAWITEMSTRUCT& item) override;

protected:
    // The drawing record carries the tab index, its state (ODS_SELECTED or not), DC and rectangle;
    // the frame's record has the index -1.
    virtual void PaintTab(const DRAWITEMSTRUCT& record);
    virtual void PaintFrame(const DRAWITEMSTRUCT& record);
    virtual void PaintTabEdges(const DRAWITEMSTRUCT& record);
    virtual COLORREF TabBackColor(bool selected) const;
    virtual COLORREF TabTextColor(bool selected) const;
    // Whether attaching marks the tabs owner-drawn.
    virtual bool WantsOwnerDrawnTabs() const;

    void OnAttached() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Frame and tabs (paint mode 2).
    void Paint(HDC dc);
    void EraseBackground(HDC dc);

private:
    DRAWITEMSTRUCT Record(HDC dc, int index, UINT state, const RECT& rect) const;
    // Narrows first..last to the tabs that meet the DC's clip box.
    void VisibleTabs(HDC dc, int& first, int& last) const;
    void SetOwnerDrawnStyle(bool ownerDrawn);

    COLORREF m_backgroundColour = NoColour;
    int m_paintMode;
};
