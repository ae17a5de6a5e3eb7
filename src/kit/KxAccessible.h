// What assistive technology reads of a window: every control named by what a sighted
// user reads beside it or on it, a status line that announces its changes, Enter on a
// focused button pressing it, and menu entries with mnemonics. One pass names a whole
// window, so screens only build their controls.
#pragma once

#include <QString>

class QMenu;
class QMenuBar;
class QWidget;

// A caption as a name: the mnemonic marks ("&Save", "&&") and a trailing ":" go.
QString KxCaptionText(const QString &caption);

// The caption a control shows: its own text (buttons, check boxes, group boxes), else
// the label whose buddy it is, the label of its form row, the label just before it in
// its layout row, or the title of the group box it is alone in. Empty when none.
QString KxCaptionOf(const QWidget *control);

// Names every control below `window` that has no accessible name yet from its caption,
// makes its status lines announce new text, and lets Enter press a focused button.
// Safe to call again (after controls were added): names given before stay.
void KxNameControls(QWidget *window);

// Gives every entry of the menu (and of its submenus) a mnemonic: the first letter of
// its text no earlier entry of the same menu uses, as the texts allow. Entries that
// carry one already keep it.
void KxAssignMnemonics(QMenu *menu);
void KxAssignMnemonics(QMenuBar *bar);
