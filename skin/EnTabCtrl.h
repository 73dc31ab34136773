#pragma once
// The program's tab strips: tabs in colours derived from one background colour, with a vertical
// gradient and an orange bar over the selected tab. The look flags are shared by every instance.

#include <windows.h>

#include "skin/BaseTabCtrl.h"

namespace CommCtrl {

class CEnTabCtrl : public CBaseTabCtrl {
public:
    enum LookFlag : DWORD {
        LookFlat = 1,       // unselected tabs in the plain background colour, not darkened
        LookColor = 2,      // the background colour instead of the system button face
        LookSelection = 4,  // the selected tab lighter
        LookGradient = 8,   // tabs filled with a vertical gradient
        LookBackTabs = 16,  // unselected tabs with a full border, always darkened
    };

    CEnTabCtrl();

    // On sets the look flags of every instance to `flags`; off clears them all.
    static void SetLookFlags(bool on, DWORD flags);
    static DWORD GetLookFlags() { return s_lookFlags; }

protected:
    void PaintTab(const DRAWITEMSTRUCT& record) override;
    void PaintFrame(const DRAWITEMSTRUCT& record) override;
    void PaintTabEdges(const DRAWITEMSTRUCT& record) override;
    COLORREF TabBackColor(bool selected) const override;
    COLORREF TabTextColor(bool selected) const override;
    bool WantsOwnerDrawnTabs() const override;

private:
    // The background colour with the colour flag, else the system button face.
    COLORREF BaseColour() const;
    // The background colour, or the system button face when there is none.
    COLORREF PlainColour() const;

    static DWORD s_lookFlags;
};

}  // namespace CommCtrl
