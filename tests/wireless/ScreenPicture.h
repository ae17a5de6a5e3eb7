#pragma once
// The pictures in docs/screens: a test run with RWN3460_SCREENSHOTS set to a folder saves
// the window there, as the test has filled it from the simulator, under its class name.

#include <QDir>
#include <QWidget>

inline void SavePicture(QWidget &window, const QString &className)
{
    const QString folder = qEnvironmentVariable("RWN3460_SCREENSHOTS");
    if (folder.isEmpty())
        return;
    window.adjustSize();
    window.grab().save(QDir(folder).filePath(className + QStringLiteral(".png")));
}
