#include "TLogSetForm.h"

#include "KxAddress.h"
#include "KxMasked.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

#define ROOT "1.3.6.1.4.1.32473.2.5.9"
#define LOG_ROOT ROOT ".5.4"
#define MAIL_ROOT LOG_ROOT ".11.1.1"

const KxIntOption kEnable[] = {{0, "Disable"}, {1, "Enable"}, {0, nullptr}};
const KxOptionList &enableOptions() { static const KxOptionList list(kEnable); return list; }

const KxSNMPVarDesc kSettings[] = {
    {LOG_ROOT ".1.0", "systemLogSystemLevel", KxSyntax::Integer, KxAccess::ReadWrite, &enableOptions()},
    {LOG_ROOT ".2.0", "systemLogWirelessLevel", KxSyntax::Integer, KxAccess::ReadWrite, &enableOptions()},
    {LOG_ROOT ".3.0", "systemLogNoticeLevel", KxSyntax::Integer, KxAccess::ReadWrite, &enableOptions()},
    {LOG_ROOT ".9.0", "systemLogServerIPAddress", KxSyntax::IpAddress, KxAccess::ReadWrite},
    {nullptr},
};
const KxSNMPVarDesc kAccount[] = {
    {ROOT ".4.9.5.0", "smtpAccountingName", KxSyntax::DisplayString, KxAccess::ReadWrite},
    {nullptr},
};
const KxSNMPVarDesc kSchedule[] = {
    {MAIL_ROOT ".9.1", "emailNtfOnSchedule", KxSyntax::DisplayString, KxAccess::ReadWrite},
    {nullptr},
};
const KxSNMPVarDesc kMail[] = {
    {MAIL_ROOT ".2.1", "emailNtfStatus", KxSyntax::Integer, KxAccess::ReadWrite, &enableOptions()},
    {MAIL_ROOT ".3.1", "emailNtfFromIPAddress", KxSyntax::DisplayString, KxAccess::ReadWrite},
    {MAIL_ROOT ".4.1", "emailNtfToIPAddress", KxSyntax::DisplayString, KxAccess::ReadWrite},
    {MAIL_ROOT ".5.1", "emailNtfServerIPAddress", KxSyntax::IpAddress, KxAccess::ReadWrite},
    {MAIL_ROOT ".7.1", "emailNtfPassword", KxSyntax::DisplayString, KxAccess::ReadWrite},
    {MAIL_ROOT ".10.1", "emailNtfPort", KxSyntax::Integer, KxAccess::ReadWrite},
    {nullptr},
};
enum MailVariable { kStatus, kFrom, kTo, kServer, kPassword, kPort };

constexpr int kTimeout = 10000;         // hundredths of a second
constexpr int kScheduleTimeout = 50000; // the device takes its time over the schedule
const QString kWarning = QStringLiteral("Warning");

} // namespace

TLogSetForm::TLogSetForm(QWidget *parent)
    : KxScreen(QStringLiteral("LogSetForm"), QStringLiteral("Status \\ Log \\  Log Setting"), parent)
{
    BuildControls();
    BuildRequests();
    Read();
    ApplyMailRule();
    m_logServer->setMaxLength(15);
    m_from->setMaxLength(64);
    m_to->setMaxLength(64);
    m_mailServer->setMaxLength(15);
    m_userName->setMaxLength(64);
    m_password->setMaxLength(12);
    m_confirm->setMaxLength(12);
    for (QLineEdit *edit : {m_mailServer, m_logServer}) {
        if (edit->text() == QLatin1String("0.0.0.0"))
            edit->clear();
    }
    // The account name is kept as read, "admin" included: e-mail settings applied later
    // would otherwise write an empty name over the device's account.
}

TLogSetForm::~TLogSetForm()
{
    StopRequests();
}

void TLogSetForm::BuildControls()
{
    QFormLayout *log = AddGroup(QStringLiteral("Log Settings"));
    m_logServer = AddEdit(log, QStringLiteral("Log Server / IP Address :"), "Ed_LogServerIp");
    auto *types = new QVBoxLayout;
    auto check = [this](const QString &caption, const char *name) {
        auto *box = new QCheckBox(caption, this);
        box->setObjectName(QLatin1String(name));
        return box;
    };
    m_system = check(QStringLiteral("System Activity"), "CheckBox_System");
    m_wireless = check(QStringLiteral("Wireless Activity"), "CheckBox_Wireless");
    m_notice = check(QStringLiteral("Notice"), "CheckBox_Notice");
    for (QCheckBox *box : {m_system, m_wireless, m_notice})
        types->addWidget(box);
    log->addRow(QStringLiteral("Log Type :"), types);

    QFormLayout *mail = AddGroup(QStringLiteral("Email Notification "));
    m_mailOn = check(QString(), "CheckBox_EMNotifca");
    mail->addRow(QStringLiteral("Email Notification:"), m_mailOn);
    m_from = AddEdit(mail, QStringLiteral("From Email Address:"), "Edt_FEail");
    m_to = AddEdit(mail, QStringLiteral("To Email Address:"), "Ed_TMail");
    m_mailServer = AddEdit(mail, QStringLiteral("Email Server address:"), "Ed_MailServerIp");
    m_port = AddEdit(mail, QStringLiteral("SMTP Port"), "Ed_SntpPort");
    m_userName = AddEdit(mail, QStringLiteral("User Name:"), "Ed_UserName");
    m_password = AddEdit(mail, QStringLiteral("Password:"), "Ed_Password");
    m_confirm = AddEdit(mail, QStringLiteral("Confirm Password:"), "Ed_Conpass");
    for (QLineEdit *edit : {m_password, m_confirm})
        edit->setEchoMode(QLineEdit::Password);
    connect(m_mailOn, &QCheckBox::toggled, this, &TLogSetForm::ApplyMailRule);

    QFormLayout *schedule = AddGroup(QStringLiteral("Email Log Schdule"));
    m_schedule = new QComboBox(this);
    m_schedule->setObjectName(QStringLiteral("CB_Schedule"));
    m_schedule->setEditable(true);
    for (int half = 0; half <= 48; ++half)
        m_schedule->addItem(half % 2 ? QString::number(half / 2) + QStringLiteral(".5") : QString::number(half / 2));
    auto *line = new QHBoxLayout;
    line->addWidget(m_schedule);
    line->addWidget(new QLabel(QStringLiteral("hours or when Log is full"), this));
    line->addStretch();
    schedule->addRow(QStringLiteral("Schedule"), line);
    m_scheduleText = AddHidden<QLineEdit>("Ed_Schdule");

    connect(AddButton(QStringLiteral("Apply"), "Bt_Apply"), &QPushButton::clicked, this, &TLogSetForm::Bt_ApplyClick);
    connect(AddButton(QStringLiteral("Cancel"), "Bt_Cancel"), &QPushButton::clicked, this, &QDialog::reject);
}

void TLogSetForm::BuildRequests()
{
    Guard([this] {
        KxSNMPRequest2Edits *settings = MakeRequest(kSettings, KxItemType::Instance, 0, false, kTimeout, false);
        settings->BindControl(0, m_system);
        settings->BindControl(1, m_wireless);
        settings->BindControl(2, m_notice);
        settings->BindControl(3, QStringLiteral("%s"), m_logServer);
        KxSNMPRequest2Edits *account = MakeRequest(kAccount, KxItemType::Instance, 0, false, kTimeout, false);
        account->BindControl(0, QStringLiteral("%s"), m_userName);
        KxSNMPRequest2Edits *schedule = MakeRequest(kSchedule, KxItemType::Instance, 0, false, kScheduleTimeout, false);
        schedule->BindControl(0, QStringLiteral("%s"), m_scheduleText);
        KxSNMPRequest2Edits *mail = MakeRequest(kMail, KxItemType::Instance, 0, false, kTimeout, false);
        mail->BindControl(kStatus, m_mailOn);
        mail->BindControl(kFrom, QStringLiteral("%s"), m_from);
        mail->BindControl(kTo, QStringLiteral("%s"), m_to);
        mail->BindControl(kServer, QStringLiteral("%s"), m_mailServer);
        mail->BindControl(kPassword, QStringLiteral("%s"), m_password);
        mail->BindControl(kPort, QStringLiteral("%s"), m_port);
        m_settings = settings;
        m_account = account;
        m_scheduleRequest = schedule;
        m_mail = mail;
    });
}

void TLogSetForm::Read()
{
    if (!m_mail)
        return;
    // A read that fails leaves the later ones unread.
    Guard([this] {
        if (!m_settings->GetIntoControls() || !m_account->GetIntoControls())
            return;
        if (!m_scheduleRequest->GetIntoControls())
            return;
        m_schedule->setCurrentText(m_scheduleText->text());
        if (!m_mail->GetIntoControls())
            return;
        m_confirm->clear();
    });
}

void TLogSetForm::ApplyMailRule()
{
    const bool on = m_mailOn->isChecked();
    for (QLineEdit *edit : {m_mailServer, m_from, m_to, m_userName, m_password, m_confirm, m_port})
        edit->setEnabled(on);
}

bool TLogSetForm::RefuseAddress(QLineEdit *edit)
{
    Dialogs().MessageBox(this, QStringLiteral("Please input valid IP Address."), kWarning);
    edit->setFocus();
    edit->clear();
    return false;
}

void TLogSetForm::SetMailAccess(bool on)
{
    KxSNMPVarList &mail = m_mail->VarList();
    for (int i = kFrom; i <= kPort; ++i)
        mail[i].Access = on ? KxAccess::ReadWrite : KxAccess::Excluded;
    // A password the device handed out masked was not typed here: never written back.
    if (on && IsMasked(m_password->text()))
        mail[kPassword].Access = KxAccess::Excluded;
    m_account->VarList()[0].Access = on ? KxAccess::ReadWrite : KxAccess::Excluded;
    mail[kStatus].Access = KxAccess::ReadWrite;
}

void TLogSetForm::Bt_ApplyClick()
{
    if (!m_mail)
        return;
    const bool on = m_mailOn->isChecked();
    if (on) {
        if (m_mailServer->text().isEmpty())
            m_mailServer->setText(QStringLiteral("0.0.0.0"));
        if (!IsValidIpAddress(m_mailServer->text())) {
            RefuseAddress(m_mailServer);
            return;
        }
        if (!CheckMailAddress(m_from, true) || !CheckMailAddress(m_to, false))
            return;
        if (m_password->text() != m_confirm->text()) {
            Dialogs().MessageBox(this, QStringLiteral("Please input the confirm new password correctly!"), kWarning);
            m_confirm->setFocus();
            return;
        }
        // A port that is no number would go out as 0.
        bool number = false;
        const int port = m_port->text().trimmed().toInt(&number);
        if (!number || port < 1 || port > 65535) {
            Dialogs().MessageBox(this, QStringLiteral("Please input a SMTP port from 1 to 65535."), kWarning);
            m_port->setFocus();
            return;
        }
    }
    SetMailAccess(on);
    m_scheduleText->setText(m_schedule->currentText());
    if (!IsValidIpAddress(m_logServer->text())) {
        RefuseAddress(m_logServer);
        return;
    }
    bool written = true;
    for (KxSNMPRequest2Edits *request : {m_settings, m_mail, m_account, m_scheduleRequest}) {
        bool ok = false;
        Guard([&] { ok = request->SetFromControls(true, true); });
        written = written && ok;
    }
    ShowStatus(written ? QStringLiteral("Set Success!") : QStringLiteral("Set Error!"));
    m_confirm->clear();
}

bool TLogSetForm::IsValidMailPart(const QString &text)
{
    for (const char *pair : {"..", "--", ".-", "-."}) {
        if (text.contains(QLatin1String(pair)))
            return false;
    }
    if (!text.isEmpty()) {
        for (const QChar end : {text.front(), text.back()}) {
            if (end == QLatin1Char('.') || end == QLatin1Char('-'))
                return false;
        }
    }
    for (const QChar c : text) {
        const bool ascii = c.unicode() < 128;
        if (!(ascii && (c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('-') || c == QLatin1Char('.'))))
            return false;
    }
    return true;
}

bool TLogSetForm::CheckMailAddress(QLineEdit *edit, bool sender)
{
    auto refuse = [&] {
        Dialogs().MessageBox(this, sender ? QStringLiteral("Wrong SMTP Sender format!")
                                          : QStringLiteral("Wrong SMTP Recipient format!"),
                             kWarning);
        edit->clear();
        edit->setFocus();
        return false;
    };
    QString s = edit->text();
    const qsizetype at = s.indexOf(QLatin1Char('@'));
    if (at < 0)
        return refuse();
    const QString local = s.left(at);
    s = s.mid(at + 1);
    if (local.isEmpty() || !IsValidMailPart(local))
        return refuse();
    qsizetype dot = s.indexOf(QLatin1Char('.'));
    if (dot < 0)
        return refuse();
    const QString first = s.left(dot);
    s = s.mid(dot + 1);
    if (first.isEmpty() || !IsValidMailPart(first))
        return refuse();
    dot = s.indexOf(QLatin1Char('.'));
    if (dot >= 0) {
        const QString second = s.left(dot);
        return second.isEmpty() || !IsValidMailPart(second) ? refuse() : true;
    }
    return IsValidMailPart(s) ? true : refuse();
}
