// What opening a screen from the menu means for every screen: create it, keep the
// window class's global reference to it while it is shown modally, destroy it and
// clear the reference when it closes.
#pragma once

#include "KxDialogs.h"

#include <QDialog>

template <class Screen>
void OpenScreen(Screen *&reference, QWidget *parent)
{
    Screen *screen = new Screen(parent);
    reference = screen;
    Dialogs().RunModal(screen);
    reference = nullptr;
    delete screen;
}
