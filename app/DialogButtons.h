#pragma once
// The program's three sizes of push button on its skinned dialogs, and the look of a disabled one.

#include <windows.h>

#include "skin/BitmapButton5S.h"

enum class ButtonArt {
    Normal,  // 70 x 20, with or without an icon
    Wide,    // 100 x 20, never disabled
    Long,    // 150 x 20, for long captions
};

// Turns the template's button into a skinned one; the icon, if any, sits left of the caption.
void SkinDialogButton(CommCtrl::CBitmapButton5S& button, HWND dialog, int id, ButtonArt art, UINT icon = 0);

// Enables or disables the button; a disabled one shows its caption in grey as well as its pale art.
void EnableDialogButton(CommCtrl::CBitmapButton5S& button, bool enabled);

// Puts the dialog in the middle of its owner, or leaves it where it is without one.
void CentreOverOwner(HWND dialog);
