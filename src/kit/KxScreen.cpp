#include "KxScreen.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

KxScreen::KxScreen(const QString &objectName, const QString &caption, QWidget *parent) : QDialog(parent)
{
    setObjectName(objectName);
    setWindowTitle(caption);
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto *content = new QWidget(this);
    m_body = new QVBoxLayout(content);
    outer->addWidget(content);
    m_status = new QStatusBar(this);
    m_status->setObjectName(QStringLiteral("StatusBar"));
    m_status->setSizeGripEnabled(false);
    outer->addWidget(m_status);
}

KxScreen::~KxScreen()
{
    // Requests first: an answer still on its way must find the controls intact.
    m_requests.clear();
}

void KxScreen::showEvent(QShowEvent *event)
{
    KxNameControls(this);
    QDialog::showEvent(event);
}

void KxScreen::ShowStatus(const QString &text)
{
    m_status->showMessage(text);
}

KxSNMPRequest2Edits *KxScreen::MakeRequest(const KxSNMPVarDesc *table, quint8 itemType, int keyCount,
                                           bool asynchronous, int timeout, bool status)
{
    auto request = std::make_unique<KxSNMPRequest2Edits>(this);
    request->VarList() = KxSNMPVarList(table, itemType, keyCount);
    request->Asynchronous = asynchronous;
    if (timeout > 0)
        request->Request.Timeout = timeout;
    if (status)
        request->SetStatusBar(KxStatusTarget(m_status));
    m_requests.push_back(std::move(request));
    return m_requests.back().get();
}

void KxScreen::StopRequests()
{
    for (const auto &request : m_requests)
        request->Request.Enabled = false;
}

bool KxScreen::Guard(const std::function<void()> &step)
{
    try {
        step();
        return true;
    } catch (const KxException &e) {
        ShowStatus(e.Text());
    }
    return false;
}

QFormLayout *KxScreen::AddGroup(const QString &title, QBoxLayout *into)
{
    auto *box = new QGroupBox(title, this);
    auto *form = new QFormLayout(box);
    (into ? into : m_body)->addWidget(box);
    return form;
}

QLineEdit *KxScreen::AddEdit(QFormLayout *form, const QString &caption, const char *name, bool readOnly,
                             const QString &unit)
{
    auto *edit = new QLineEdit(this);
    edit->setObjectName(QLatin1String(name));
    if (readOnly) {
        edit->setReadOnly(true);
        edit->setStyleSheet(QStringLiteral("background: palette(window)"));
    }
    if (unit.isEmpty()) {
        form->addRow(caption, edit);
        return edit;
    }
    auto *line = new QHBoxLayout;
    edit->setMinimumWidth(80); // a nested row would otherwise squeeze it to a few digits
    line->addWidget(edit);
    line->addWidget(new QLabel(unit, this));
    form->addRow(caption, line);
    return edit;
}

QPushButton *KxScreen::AddButton(const QString &caption, const char *name)
{
    if (!m_buttons) {
        m_buttons = new QHBoxLayout;
        m_buttons->addStretch();
        m_body->addLayout(m_buttons);
    }
    auto *button = new QPushButton(caption, this);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    m_buttons->addWidget(button);
    return button;
}
