#include "KxDialogs.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>

bool KxDialogs::Confirm(QWidget *parent, const QString &text, const QString &title)
{
    return MessageBox(parent, text, title, QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
}

void KxDialogs::ShowMessage(QWidget *parent, const QString &text)
{
    MessageBox(parent, text, ApplicationTitle(), QMessageBox::Ok);
}

void KxDialogs::ShowError(QWidget *parent, const QString &text)
{
    MessageBox(parent, text, ApplicationTitle(), QMessageBox::Ok);
}

// ---- Qt ----------------------------------------------------------------------

QMessageBox::StandardButton KxQtDialogs::MessageBox(QWidget *parent, const QString &text,
                                                    const QString &title,
                                                    QMessageBox::StandardButtons buttons)
{
    QMessageBox box(QMessageBox::NoIcon, title, text, buttons, parent);
    return QMessageBox::StandardButton(box.exec());
}

QString KxQtDialogs::OpenFileName(QWidget *parent, const QString &title, const QString &folder,
                                  const QString &filter)
{
    return QFileDialog::getOpenFileName(parent, title, folder, filter);
}

QString KxQtDialogs::SaveFileName(QWidget *parent, const QString &title, const QString &folder,
                                  const QString &filter)
{
    return QFileDialog::getSaveFileName(parent, title, folder, filter);
}

int KxQtDialogs::RunModal(QDialog *window)
{
    return window->exec();
}

void KxQtDialogs::Beep()
{
    QApplication::beep();
}

// ---- scripted ----------------------------------------------------------------

QList<QPair<QString, QString>> KxScriptedDialogs::Boxes() const
{
    QList<QPair<QString, QString>> out;
    for (const Shown &s : shown) {
        if (s.kind == QLatin1String("box"))
            out.append({s.title, s.text});
    }
    return out;
}

QStringList KxScriptedDialogs::BoxTexts() const
{
    QStringList out;
    for (const auto &box : Boxes())
        out.append(box.second);
    return out;
}

void KxScriptedDialogs::Clear()
{
    shown.clear();
    answers.clear();
    fileNames.clear();
    beeps = 0;
}

QMessageBox::StandardButton KxScriptedDialogs::MessageBox(QWidget *, const QString &text,
                                                          const QString &title,
                                                          QMessageBox::StandardButtons buttons)
{
    shown.push_back({QStringLiteral("box"), title, text, {}});
    if (!answers.empty()) {
        const QMessageBox::StandardButton answer = answers.front();
        answers.pop_front();
        return answer;
    }
    if (buttons & QMessageBox::Ok)
        return QMessageBox::Ok;
    for (int bit = 0; bit < 32; ++bit) {
        const auto button = QMessageBox::StandardButton(1u << bit);
        if (buttons & button)
            return button;
    }
    return QMessageBox::NoButton;
}

QString KxScriptedDialogs::OpenFileName(QWidget *, const QString &title, const QString &,
                                        const QString &filter)
{
    shown.push_back({QStringLiteral("open"), title, {}, filter});
    if (fileNames.empty())
        return {};
    const QString name = fileNames.front();
    fileNames.pop_front();
    return name;
}

QString KxScriptedDialogs::SaveFileName(QWidget *, const QString &title, const QString &,
                                        const QString &filter)
{
    shown.push_back({QStringLiteral("save"), title, {}, filter});
    if (fileNames.empty())
        return {};
    const QString name = fileNames.front();
    fileNames.pop_front();
    return name;
}

int KxScriptedDialogs::RunModal(QDialog *window)
{
    shown.push_back({QStringLiteral("modal"), window->windowTitle(), window->objectName(), {}});
    if (ModalHandler)
        return ModalHandler(window);
    return QDialog::Rejected;
}

void KxScriptedDialogs::Beep()
{
    ++beeps;
}

// ---- the seam in force ---------------------------------------------------------

namespace {
KxDialogs *g_installed = nullptr;
}

KxDialogs &Dialogs()
{
    static KxQtDialogs qtDialogs;
    return g_installed ? *g_installed : qtDialogs;
}

KxDialogs *InstallDialogs(KxDialogs *dialogs)
{
    KxDialogs *previous = g_installed;
    g_installed = dialogs;
    return previous;
}

QString ProgramTitle()
{
    return QFileInfo(QCoreApplication::applicationFilePath()).fileName();
}

QString ApplicationTitle()
{
    return QCoreApplication::applicationName();
}
