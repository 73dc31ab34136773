#pragma once
// What the list pane and the main window ask of the details pane. The details pane implements it,
// and tests of its hosts can put a scripted pane in its place.

class CSoftware;

enum ItemInfoMode { ItemInfoAdd = 0, ItemInfoView = 1, ItemInfoEdit = 2 };

class CItemInfoPane {
public:
    virtual ~CItemInfoPane() = default;

    // The shown record, not owned; null for none.
    virtual void SetRecord(CSoftware* record) = 0;
    virtual CSoftware* Record() const = 0;
    // Returns the previous mode.
    virtual int SetMode(int mode) = 0;
    virtual int Mode() const = 0;
    // Width is always 300; the host sets the height before or after creating the window.
    virtual void SetPaneHeight(int height) = 0;
    // Positions and visibility of every control for the mode and tab.
    virtual void Relayout() = 0;
};
