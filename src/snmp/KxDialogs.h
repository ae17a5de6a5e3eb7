// The one door through which the module shows anything modal: message boxes, questions,
// file dialogs, modal windows and the beep. The default goes to Qt; tests install a
// scripted one that records what would have been shown and answers from a script, so
// no test ever waits on a real modal dialog.
#pragma once

#include <QMessageBox>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <vector>

class QDialog;
class QWidget;

class KxDialogs {
public:
    virtual ~KxDialogs() = default;

    // A box with the given buttons; returns the button chosen.
    virtual QMessageBox::StandardButton MessageBox(QWidget *parent, const QString &text,
                                                   const QString &title,
                                                   QMessageBox::StandardButtons buttons
                                                   = QMessageBox::Ok) = 0;
    // OK/Cancel question: true for OK.
    bool Confirm(QWidget *parent, const QString &text, const QString &title);
    // A plain message, titled with the application's title.
    void ShowMessage(QWidget *parent, const QString &text);
    // The application's error box, titled the same: an exception's text that reached
    // the window.
    void ShowError(QWidget *parent, const QString &text);

    // Filters are Qt's ("Config (*.kcf);;All Files (*)"). Empty when cancelled.
    virtual QString OpenFileName(QWidget *parent, const QString &title, const QString &folder,
                                 const QString &filter) = 0;
    virtual QString SaveFileName(QWidget *parent, const QString &title, const QString &folder,
                                 const QString &filter) = 0;
    // Runs a window modally and returns its result code.
    virtual int RunModal(QDialog *window) = 0;
    virtual void Beep() = 0;
};

// QMessageBox, QFileDialog, QDialog::exec and QApplication::beep.
class KxQtDialogs : public KxDialogs {
public:
    QMessageBox::StandardButton MessageBox(QWidget *parent, const QString &text,
                                           const QString &title,
                                           QMessageBox::StandardButtons buttons) override;
    QString OpenFileName(QWidget *parent, const QString &title, const QString &folder,
                         const QString &filter) override;
    QString SaveFileName(QWidget *parent, const QString &title, const QString &folder,
                         const QString &filter) override;
    int RunModal(QDialog *window) override;
    void Beep() override;
};

// Records every box (title and text, in order) and answers from a script. A box with
// no scripted answer takes OK when offered, else its first button; a file dialog with
// no scripted name is cancelled. A "modal" window is handed to ModalHandler, which may
// drive it through its controls; without one it is left as it is and rejected.
class KxScriptedDialogs : public KxDialogs {
public:
    struct Shown {
        QString kind; // "box", "open", "save", "modal"
        QString title;
        QString text; // a modal window: its object name
        QString filter;
    };

    std::vector<Shown> shown;
    std::deque<QMessageBox::StandardButton> answers;
    std::deque<QString> fileNames;
    std::function<int(QDialog *)> ModalHandler;
    int beeps = 0;

    // Only the boxes, as (title, text).
    QList<QPair<QString, QString>> Boxes() const;
    QStringList BoxTexts() const;
    void Clear();

    QMessageBox::StandardButton MessageBox(QWidget *parent, const QString &text,
                                           const QString &title,
                                           QMessageBox::StandardButtons buttons) override;
    QString OpenFileName(QWidget *parent, const QString &title, const QString &folder,
                         const QString &filter) override;
    QString SaveFileName(QWidget *parent, const QString &title, const QString &folder,
                         const QString &filter) override;
    int RunModal(QDialog *window) override;
    void Beep() override;
};

// The seam in force; the Qt one until another is installed.
KxDialogs &Dialogs();
// Installs a seam (not owned; null puts the Qt one back) and returns the previous one.
KxDialogs *InstallDialogs(KxDialogs *dialogs);

// Puts a scripted seam in place for one scope (a test) and the previous one back after.
class KxScriptedDialogsScope : public KxScriptedDialogs {
public:
    KxScriptedDialogsScope() : m_previous(InstallDialogs(this)) {}
    ~KxScriptedDialogsScope() override { InstallDialogs(m_previous); }
    KxScriptedDialogsScope(const KxScriptedDialogsScope &) = delete;
    KxScriptedDialogsScope &operator=(const KxScriptedDialogsScope &) = delete;

private:
    KxDialogs *m_previous;
};

// The program's file name without its folder: the title of the layer's boxes.
QString ProgramTitle();
// The title the program entry gives the application (Qt's application name); until it
// does, the program's name. Plain messages and the error box carry it.
QString ApplicationTitle();
