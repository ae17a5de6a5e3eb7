#pragma once
// What the service screen tests share: a screen opened over the simulated device (a
// variant of the factory state when asked), found-by-name controls, and the journal.

#include "KxScreenFixture.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QTreeWidget>
#include <QCoreApplication>
#include <QPixmap>
#include <QStatusBar>
#include <QTest>

#include <memory>

namespace servicetest {

inline const QString R = QStringLiteral("1.3.6.1.4.1.32473.2.5.9");

// "OID|TAG|VALUE" as the journal writes a varbind.
inline QString vb(const QString &oid, const QString &tagValue)
{
    return oid + QLatin1Char('|') + tagValue;
}

// A picture of the window for docs/screens when one is asked for.
inline void Snapshot(QWidget *window, const QString &name)
{
    QVERIFY(screentest::SavePicture(*window, name));
}

// The object names of the input controls a user can reach that have no accessible name.
inline QStringList Unnamed(QWidget *window)
{
    QStringList unnamed;
    for (QWidget *w : window->findChildren<QWidget *>()) {
        const bool input = qobject_cast<QLineEdit *>(w) || qobject_cast<QComboBox *>(w)
                           || qobject_cast<QAbstractButton *>(w) || qobject_cast<QTreeWidget *>(w);
        // Controls that only carry values are hidden for good; a combo's own line edit
        // is part of the combo.
        if (input && !w->isHidden() && !qobject_cast<QComboBox *>(w->parentWidget())
            && w->accessibleName().isEmpty()
            && !(qobject_cast<QAbstractButton *>(w) && !static_cast<QAbstractButton *>(w)->text().isEmpty()))
            unnamed << w->objectName();
    }
    return unnamed;
}

template <class Screen>
class ScreenUnderTest {
public:
    explicit ScreenUnderTest(simtest::Objects changes = {}) : fixture({}, std::move(changes)) {}

    // Starts the device and opens the screen over the main window stand-in.
    bool Start() { return fixture.Start() && Show(); }
    // Opens the screen on a device already started.
    bool Show()
    {
        screen = std::make_unique<Screen>(&fixture.Host());
        screen->show();
        return true;
    }

    template <class T = QWidget>
    T *w(const char *name) const
    {
        T *found = screen->template findChild<T *>(QLatin1String(name));
        if (!found)
            qWarning("no control named %s", name);
        return found;
    }
    QString status(const char *bar) const { return w<QStatusBar>(bar)->currentMessage(); }
    // As a user's click: nothing happens while the button is disabled.
    void click(const char *button) const { w<QAbstractButton>(button)->click(); }
    QList<QStringList> setsSince(int mark) const { return fixture.SetsSince(mark); }

    screentest::ScreenFixture fixture;
    std::unique_ptr<Screen> screen;
};

} // namespace servicetest
