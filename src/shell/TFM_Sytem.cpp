#include "TFM_Sytem.h"

#include "TFM_Waiting.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

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

TFM_Sytem::TFM_Sytem(QWidget *parent)
    : KxScreen(QStringLiteral("FM_Sytem"), QStringLiteral("Tools \\ System"), parent)
{
    auto *restartBox = new QGroupBox(QStringLiteral("Restart the Device"), this);
    auto *restart = new QPushButton(QStringLiteral("Restart"), restartBox);
    restart->setObjectName(QStringLiteral("Button1"));
    (new QHBoxLayout(restartBox))->addWidget(restart);
    auto *restoreBox = new QGroupBox(QStringLiteral("Restore to Factory Default Settings"), this);
    auto *restore = new QPushButton(QStringLiteral("Restore"), restoreBox);
    restore->setObjectName(QStringLiteral("Button2"));
    (new QHBoxLayout(restoreBox))->addWidget(restore);
    Body()->addWidget(restartBox);
    Body()->addWidget(restoreBox);
    m_restart = AddHidden<QComboBox>("CB_Restart");
    m_restore = AddHidden<QComboBox>("CB_Restore");
    connect(restart, &QPushButton::clicked, this, &TFM_Sytem::Button1Click);
    connect(restore, &QPushButton::clicked, this, &TFM_Sytem::Button2Click);
    // Not read on opening: the commands read back idle anyway.
    const bool built = Guard([this] {
        KxSNMPRequest2Edits *request = MakeRequest(kCommands, KxItemType::Scalars, 0, false, 10000);
        request->BindControl(0, m_restart);
        request->BindControl(1, m_restore);
        m_request = request;
    });
    if (!built)
        m_request = nullptr;
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
    m_restartCheck.Arm();
    if (!Guard([this] { m_request->SetFromControls(true, true); }))
        return;
    TFM_Waiting waiting(this);
    waiting.setWindowTitle(caption);
    waiting.SetLines(QString(), thirdLine);
    waiting.Countdown = 60;
    waiting.SendRestartCommand = false;
    Dialogs().RunModal(&waiting);
    // After a factory reset the device may answer only at its factory address: no
    // answer here is no fault of its own, a device that stayed up is.
    m_restartCheck.Check(false, [this](KxRestartCheck::Result result, const QString &text) {
        ShowStatus(text);
        if (result == KxRestartCheck::NotRestarted)
            Dialogs().MessageBox(this, text, QStringLiteral("Warning"));
    });
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
