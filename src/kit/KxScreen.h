// What every screen opened from the menu shares: it is a modal window holding its own
// requests, a status line named "StatusBar" that receives the requests' log lines, and
// a form of captioned fields. A screen class holds only its bindings and its own rules.
#pragma once

#include "KxAccessible.h"
#include "KxDialogs.h"
#include "KxRequest2Edits.h"

#include <QDialog>
#include <QTreeWidget>

#include <functional>
#include <memory>
#include <vector>

class QBoxLayout;
class QFormLayout;
class QHBoxLayout;
class QLineEdit;
class QPushButton;
class QStatusBar;
class QVBoxLayout;

class KxScreen : public QDialog {
    Q_OBJECT

public:
    KxScreen(const QString &objectName, const QString &caption, QWidget *parent);
    ~KxScreen() override;

    QStatusBar *StatusBar() const { return m_status; }
    void ShowStatus(const QString &text);

protected:
    // Names the controls for assistive technology, also those added since it was built.
    void showEvent(QShowEvent *event) override;

    // A request over a descriptor table, owned by the screen. With `status` its log
    // lines go to the screen's status line.
    KxSNMPRequest2Edits *MakeRequest(const KxSNMPVarDesc *table, quint8 itemType, int keyCount,
                                     bool asynchronous, int timeout = 0, bool status = true);
    // From here on no completion reaches the screen. A screen whose completions use its
    // own members calls it first in its destructor: answers may still arrive while the
    // requests are destroyed, after those members have gone.
    void StopRequests();
    // Runs a step; an error it raises is shown in the status line. False on error.
    bool Guard(const std::function<void()> &step);

    // The screen's body, above the status line.
    QVBoxLayout *Body() const { return m_body; }
    // A captioned group of fields, added to the body (or to `into`, for columns).
    QFormLayout *AddGroup(const QString &title = QString(), QBoxLayout *into = nullptr);
    // A captioned edit; a read-only one is greyed. A unit ("%") stands after it.
    QLineEdit *AddEdit(QFormLayout *form, const QString &caption, const char *name, bool readOnly = false,
                       const QString &unit = QString());
    // A button in the row of buttons below the fields, right-aligned in call order.
    QPushButton *AddButton(const QString &caption, const char *name);
    // A control that only carries a value and is never shown.
    template <class Control>
    Control *AddHidden(const char *name)
    {
        auto *control = new Control(this);
        control->setObjectName(QLatin1String(name));
        control->hide();
        return control;
    }

private:
    QVBoxLayout *m_body;
    QHBoxLayout *m_buttons = nullptr;
    QStatusBar *m_status;
    std::vector<std::unique_ptr<KxSNMPRequest2Edits>> m_requests;
};

// Opening from the menu: create the screen, keep the window class's global reference
// while it is shown modally, then destroy it and clear the reference.
template <class Screen>
void OpenScreen(Screen *&reference, QWidget *parent)
{
    Screen *screen = new Screen(parent);
    KxNameControls(screen);
    reference = screen;
    Dialogs().RunModal(screen);
    reference = nullptr;
    delete screen;
}
