// Files the module keeps beside its program: there when that folder can be written,
// otherwise in the user's own data folder.
#pragma once

#include <QString>

// The path of `name` beside the program in `programFolder` (default: the running
// program's) when that folder is writable, else in the per-user data folder, which is
// created when missing.
QString KxBesideProgram(const QString &name, const QString &programFolder = QString());
