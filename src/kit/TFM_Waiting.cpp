#include "TFM_Waiting.h"

#include "KxAccessible.h"
#include "KxHostWindow.h"
#include "KxRequest2Edits.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

namespace {

const KxIntOption kUpgradeCommands[] = {
    {1, "Firmwareupdate"}, {2, "configSetting"}, {3, "Configsave"}, {4, "Reboot"},
    {6, "Nothing"}, {7, "certificateFileUpdate"}, {8, "keyFileUpdate"}, {0, nullptr}};

const KxOptionList &upgradeCommands()
{
    static const KxOptionList list(kUpgradeCommands);
    return list;
}

const KxSNMPVarDesc kUpgradeCommand[] = {
    {"1.3.6.1.4.1.32473.2.5.9.4.3.2.5", "tftpUpgradeSettingCommand", KxSyntax::Integer,
     KxAccess::ReadWrite, &upgradeCommands()},
    {nullptr},
};

QLabel *label(QWidget *parent, const char *name, const QString &text)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    return l;
}

} // namespace

TFM_Waiting::TFM_Waiting(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FM_Waiting"));
    setWindowTitle(QStringLiteral("Please wait"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    m_label2 = label(this, "Label2", QStringLiteral("Settings saved."));
    m_label3 = label(this, "Label3", QStringLiteral("The device is restarting."));
    m_label1 = label(this, "Label1", QStringLiteral("Please wait for"));
    m_time = label(this, "La_Time", QString());
    m_seconds = label(this, "seconds", QStringLiteral("seconds"));
    m_reboot = new QLineEdit(this);
    m_reboot->setObjectName(QStringLiteral("Ed_Reboot"));
    m_reboot->hide();
    auto *grid = new QGridLayout(this);
    grid->addWidget(m_label2, 0, 0, 1, 3);
    grid->addWidget(m_label3, 1, 0, 1, 3);
    grid->addWidget(m_label1, 2, 0);
    grid->addWidget(m_time, 2, 1);
    grid->addWidget(m_seconds, 2, 2);
    // A single border: the dialog keeps the size of its lines.
    grid->setSizeConstraint(QLayout::SetFixedSize);

    KxNameControls(this);

    DeviceAnswers = [] { return HostWindow() && HostWindow()->DeviceAnswers(); };
    Timer1.setObjectName(QStringLiteral("Timer1"));
    Timer1.setInterval(1200);
    connect(&Timer1, &QTimer::timeout, this, &TFM_Waiting::Tick);
    Timer1.start();
}

TFM_Waiting::~TFM_Waiting() = default;

void TFM_Waiting::SetLines(const QString &second, const QString &third)
{
    if (!second.isEmpty())
        m_label2->setText(second);
    if (!third.isEmpty())
        m_label3->setText(third);
}

void TFM_Waiting::showEvent(QShowEvent *event)
{
    // Centred only now that the dialog has its size; on the main window, else on the
    // window it stands over.
    QWidget *over = HostWindow() ? HostWindow()->Window() : parentWidget();
    if (over) {
        const QSize frame = frameGeometry().size();
        move(over->window()->frameGeometry().center() - QPoint(frame.width() / 2, frame.height() / 2));
    }
    QDialog::showEvent(event);
}

void TFM_Waiting::SetProgress(const QString &text)
{
    if (!m_progress) {
        m_progress = label(this, "La_Progress", QString());
        m_progress->setAccessibleName(QStringLiteral("Transfer progress"));
        if (auto *grid = qobject_cast<QGridLayout *>(layout()))
            grid->addWidget(m_progress, 3, 0, 1, 3);
    }
    m_progress->setText(text);
}

QLabel *TFM_Waiting::Line(const char *name) const
{
    return findChild<QLabel *>(QLatin1String(name));
}

void TFM_Waiting::Tick()
{
    const bool answers = DeviceAnswers && DeviceAnswers();
    if (Countdown != 1 || answers) {
        --Countdown;
        m_time->setText(QString::number(Countdown));
    } else {
        ++MissCount;
    }
    --TicksToRestart;
    if ((Countdown <= 0 && answers) || MissCount >= 6) {
        Timer1.stop();
        if (MayClose())
            done(QDialog::Accepted);
    }
    if (RestartPending && TicksToRestart <= 0) {
        if (SendRestartCommand)
            SendRestart();
        RestartPending = false;
    }
}

void TFM_Waiting::SendRestart()
{
    try {
        m_restartRequest = std::make_unique<KxSNMPRequest2Edits>(this);
        m_restartRequest->VarList() = KxSNMPVarList(kUpgradeCommand, KxItemType::Scalars, 0);
        m_restartRequest->BindControl(0, QStringLiteral("%s"), m_reboot);
        m_reboot->setText(QStringLiteral("reboot"));
        m_restartRequest->SetFromControls(true, true);
    } catch (const KxException &) {
        // The countdown goes on; the device simply is not told to restart.
    }
}

bool TFM_Waiting::MayClose()
{
    if (MissCount > 2)
        Countdown = 0;
    return Countdown <= 0;
}

void TFM_Waiting::closeEvent(QCloseEvent *event)
{
    if (MayClose())
        event->accept();
    else
        event->ignore();
}

void TFM_Waiting::reject()
{
    if (MayClose())
        QDialog::reject();
}

TFM_Waiting *TFM_Waiting::ShowNotice(QWidget *caller, const QString &first, const QString &second,
                                     const QString &third)
{
    // Not a child of the caller: disabling the caller must not grey out the notice.
    auto *notice = new TFM_Waiting(nullptr);
    notice->setWindowFlag(Qt::WindowStaysOnTopHint);
    notice->SendRestartCommand = false;
    notice->Timer1.stop();
    notice->m_label2->setText(first);
    notice->m_label3->setText(second);
    notice->m_label1->setText(third);
    notice->m_time->hide();
    notice->m_seconds->hide();
    notice->setModal(false);
    notice->show();
    notice->repaint();
    if (caller)
        caller->setEnabled(false);
    return notice;
}

void TFM_Waiting::CloseNotice(QWidget *caller, TFM_Waiting *notice)
{
    if (caller)
        caller->setEnabled(true);
    if (notice) {
        notice->hide();
        delete notice;
    }
}
