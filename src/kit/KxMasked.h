// The device hands out keys, passphrases and secrets masked; a field still holding the
// mask was not typed by the user and must not be written back.
#pragma once

#include <QString>

// True for an empty text or one of asterisks only.
bool IsMasked(const QString &text);
