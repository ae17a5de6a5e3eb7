#include "TFM_Sytem.h"

#include "KxDialogs.h"
#include "KxRequest2Edits.h"
#include "TFM_Waiting.h"

#include <QTreeWidget>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>

namespace {

const KxIntOption kRestart[] = {{0, "nothing"}, {1, "reboot"}, {0, nullptr}};
const KxIntOption kReset[] = {{0, "nothing"}, {1, "reset"}, {0, nullptr}};
const KxOptionList &restartOptions() { static const KxOptionList list(kRestart); return list; }
const KxOptionList &resetOptions() { static const KxOptionList list(kReset); return list; }

const KxSNMPVarDesc kCommands[] = {
    {"1.3.6.1.4.1.32473.2.5.9.4.2.1", "deviceRestart", KxSyntax::Integer, KxAccess::ReadWrite, &restartOptions()},
    {"1.3.6.1.4.1.32473.2.5.9.4.2.2", "deviceFactoryDefault", KxSyntax::Integer, KxAccess::ReadWrite, &resetOptions()},
    {nullptr},
};

} // namespace

TFM_Sytem::TFM_Sytem(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FM_Sytem"));
    setWindowTitle(QStringLiteral("Tools \\ System"));
    auto *layout = new QGridLayout(this);
    auto *restartBox = new QGroupBox(QStringLiteral("Restart the Device"), this);
    auto *restart = new QPushButton(QStringLiteral("Restart"), restartBox);
    restart->setObjectName(QStringLiteral("Button1"));
    (new QHBoxLayout(restartBox))->addWidget(restart);
    auto *restoreBox = new QGroupBox(QStringLiteral("Restore to Factory Default Settings"), this);
    auto *restore = new QPushButton(QStringLiteral("Restore"), restoreBox);
    restore->setObjectName(QStringLiteral("Button2"));
    (new QHBoxLayout(restoreBox))->addWidget(restore);
    m_restart = new QComboBox(this);
    m_restart->setObjectName(QStringLiteral("CB_Restart"));
    m_restart->hide();
    m_restore = new QComboBox(this);
    m_restore->setObjectName(QStringLiteral("CB_Restore"));
    m_restore->hide();
    m_status = new QStatusBar(this);
    m_status->setObjectName(QStringLiteral("StatusBar"));
    layout->addWidget(restartBox, 0, 0);
    layout->addWidget(restoreBox, 1, 0);
    layout->addWidget(m_status, 2, 0);
    connect(restart, &QPushButton::clicked, this, &TFM_Sytem::Button1Click);
    connect(restore, &QPushButton::clicked, this, &TFM_Sytem::Button2Click);

    try {
        m_request = std::make_unique<KxSNMPRequest2Edits>(this);
        m_request->VarList() = KxSNMPVarList(kCommands, KxItemType::Scalars, 0);
        m_request->Asynchronous = false;
        m_request->Request.Timeout = 10000;
        m_request->SetStatusBar(KxStatusTarget(m_status));
        m_request->BindControl(0, m_restart);
        m_request->BindControl(1, m_restore);
    } catch (const KxException &e) {
        m_request.reset();
        m_status->showMessage(e.Text());
    }
}

TFM_Sytem::~TFM_Sytem() = default;

void TFM_Sytem::Command(int send, int drop, QComboBox *box, const QString &choice,
                        const QString &question, const QString &caption, const QString &thirdLine)
{
    if (!m_request)
        return;
    const KxOptionList *options = m_request->VarList()[send].OptionList;
    options->Select(box, choice);
    m_request->VarList()[send].Access = KxAccess::ReadWrite;
    m_request->VarList()[drop].Access = KxAccess::Excluded;
    if (!Dialogs().Confirm(this, question, QStringLiteral("Warning")))
        return;
    try {
        m_request->SetFromControls(true, true);
    } catch (const KxException &e) {
        m_status->showMessage(e.Text());
        return;
    }
    TFM_Waiting waiting(this);
    waiting.setWindowTitle(caption);
    waiting.SetLines(QString(), thirdLine);
    waiting.Countdown = 60;
    waiting.SendRestartCommand = false;
    Dialogs().RunModal(&waiting);
}

void TFM_Sytem::Button1Click()
{
    Command(0, 1, m_restart, QStringLiteral("reboot"), QStringLiteral("Device will reboot, continue?"),
            QStringLiteral("System is rebooting, please waiting....."), QString());
}

void TFM_Sytem::Button2Click()
{
    Command(1, 0, m_restore, QStringLiteral("reset"), QStringLiteral("Restore to Factory Default Settings?"),
            QStringLiteral("System is rebooting, please waiting.....!"),
            QStringLiteral("The system IP will be 192.168.0.50 !"));
}
