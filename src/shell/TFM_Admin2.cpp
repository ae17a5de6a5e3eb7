#include "TFM_Admin2.h"

#include "KxConvert.h"
#include "KxDeviceObjects.h"
#include "KxMasked.h"
#include "KxSaveWait.h"
#include "KxTableRequest.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

#define ROOT KX_DEVICE_ROOT

const KxIntOption kManagerStates[] = {{0, "disable"}, {1, "vlanID"}, {2, "ipaddress"}, {3, "both"}, {0, nullptr}};
const KxIntOption kEnable[] = {{0, "Disable"}, {1, "Enable"}, {0, nullptr}};
const KxIntOption kTimeouts[] = {{1, "1Min"},    {2, "3Mins"},  {3, "5Mins"}, {4, "10Mins"},
                                 {5, "15Mins"},  {0, "Never"},  {0, nullptr}};
const KxIntOption kPing[] = {{0, "Enable"}, {1, "Disable"}, {0, nullptr}};
const KxIntOption kDelete[] = {{0, "nothing"}, {1, "delete"}, {0, nullptr}};

const KxOptionList &managerStates() { static const KxOptionList l(kManagerStates); return l; }
const KxOptionList &enable() { static const KxOptionList l(kEnable); return l; }
const KxOptionList &timeouts() { static const KxOptionList l(kTimeouts); return l; }
const KxOptionList &ping() { static const KxOptionList l(kPing); return l; }
const KxOptionList &deleteOptions() { static const KxOptionList l(kDelete); return l; }

const KxSNMPVarDesc kManager[] = {
    {ROOT ".4.10.1.1", "managerIpAddressStatus", KxSyntax::Integer, KxAccess::ReadWrite, &managerStates()},
    {ROOT ".4.10.1.2", "manergeVLANTag", KxSyntax::Integer, KxAccess::ReadWrite},
    {nullptr},
};
const KxSNMPVarDesc kConsole[] = {
    {ROOT ".4.4.1.0", "telnet", KxSyntax::Integer, KxAccess::ReadWrite, &enable()},
    {ROOT ".4.4.2.0", "ssh", KxSyntax::Integer, KxAccess::ReadWrite, &enable()},
    {nullptr},
};
const KxSNMPVarDesc kTimeout[] = {
    {ROOT ".4.4.3", "timeout", KxSyntax::Integer, KxAccess::ReadWrite, &timeouts()},
    {nullptr},
};
const KxSNMPVarDesc kName[] = {
    {"1.3.6.1.2.1.1.5", "systemName", KxSyntax::DisplayString, KxAccess::ReadWrite},
    {"1.3.6.1.2.1.1.6", "systemLocation", KxSyntax::DisplayString, KxAccess::ReadWrite},
    {nullptr},
};
const KxSNMPVarDesc kLogin[] = {
    {ROOT ".4.1.1.1.2.1", "usersName", KxSyntax::DisplayString, KxAccess::ReadWrite},
    {ROOT ".4.1.1.1.3.1", "usersPassword", KxSyntax::DisplayString, KxAccess::ReadWrite},
    {nullptr},
};
const KxSNMPVarDesc kPingControl[] = {
    {ROOT ".4.12.1.0", "pingControlStatus", KxSyntax::Integer, KxAccess::ReadWrite, &ping()},
    {nullptr},
};
const KxSNMPVarDesc kRanges[] = {
    {ROOT ".4.10.1.3.1.1", "managerIpAddressIndex", KxSyntax::Integer, KxAccess::Key | KxAccess::Readable},
    {ROOT ".4.10.1.3.1.2", "managerIpAddressPoolStart", KxSyntax::IpAddress, KxAccess::ReadWrite},
    {ROOT ".4.10.1.3.1.3", "managerIpAddressPoolEnd", KxSyntax::IpAddress, KxAccess::ReadWrite},
    {ROOT ".4.10.1.3.1.4", "managerDelete", KxSyntax::Integer, KxAccess::ReadWrite, &deleteOptions()},
    {nullptr},
};
const KxSNMPVarDesc kRangeList[] = {
    {ROOT ".4.10.1.3.1.1", "managerIpAddressIndex", KxSyntax::Integer, KxAccess::Key | KxAccess::Readable},
    {ROOT ".4.10.1.3.1.2", "managerIpAddressPoolStart", KxSyntax::IpAddress, KxAccess::ReadOnly},
    {ROOT ".4.10.1.3.1.3", "managerIpAddressPoolEnd", KxSyntax::IpAddress, KxAccess::ReadOnly},
    {nullptr},
};

enum { kUserName = 0, kPassword = 1 };
enum { kStatus = 0, kVlanTag = 1 };

constexpr int kTimeoutHundredths = 10000;
constexpr int kMaxUser = 64;
constexpr int kMaxPassword = 12;
constexpr int kMaxName = 32;
constexpr int kMaxVlanTag = 4095;

const QString kWarning = QStringLiteral("Warning");

bool ValidUserName(const QString &name)
{
    if (name.isEmpty())
        return false;
    for (QChar c : name) {
        const char a = c.unicode() < 128 ? char(c.unicode()) : 0;
        const bool ok = (a >= 'A' && a <= 'Z') || (a >= 'a' && a <= 'z') || (a >= '0' && a <= '9')
            || a == '@' || a == '.' || a == '_' || a == '-';
        if (!ok)
            return false;
    }
    return true;
}

QLineEdit *PasswordEdit(QLineEdit *edit)
{
    edit->setEchoMode(QLineEdit::Password);
    return edit;
}

} // namespace

TFM_Admin2::TFM_Admin2(QWidget *parent)
    : KxScreen(QStringLiteral("FM_Admin2"), QStringLiteral("Tools \\ Administrator Settings"), parent)
{
    BuildControls();
    Guard([this] {
        BuildRequests();
        ReadDevice();
    });
    const int status = m_managerStatus->currentIndex() >= 0
        ? managerStates().value(m_managerStatus->currentIndex()).toInt() : 0;
    m_vidBox->setChecked(status == 1 || status == 3);
    m_ipBox->setChecked(status == 2 || status == 3);
    CheckBox_VIDClick();
    m_console->setChecked(m_telnetValue->currentText() == QLatin1String("Enable")
                          || m_sshValue->currentText() == QLatin1String("Enable"));
    KxSetTypingLimit(m_user, kMaxUser);
    for (QLineEdit *edit : {m_oldPassword, m_newPassword, m_confirmPassword})
        KxSetTypingLimit(edit, kMaxPassword);
    KxSetTypingLimit(m_sysName, kMaxName);
    KxSetTypingLimit(m_location, kMaxName);
    ClearRangeEdits();
    m_delete->setEnabled(false);
    CkBx_ManagerStateClick();
    CheckBox_ConsoleClick();
    for (QLineEdit *edit : {m_oldPassword, m_newPassword, m_confirmPassword})
        edit->setText(m_password->text());
}

TFM_Admin2::~TFM_Admin2() = default;

void TFM_Admin2::BuildControls()
{
    auto *heading = new QLabel(QStringLiteral("    Administrator Settings "), this);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    Body()->addWidget(heading);
    auto *columns = new QHBoxLayout;
    auto *left = new QVBoxLayout;
    auto *right = new QVBoxLayout;
    columns->addLayout(left);
    columns->addLayout(right);
    Body()->addLayout(columns);

    QFormLayout *login = AddGroup(QStringLiteral(" Login"), left);
    m_user = AddEdit(login, QStringLiteral("User Name"), "Ed_Usr");
    m_oldPassword = PasswordEdit(AddEdit(login, QStringLiteral("Old Password"), "Ed_OPwd"));
    m_newPassword = PasswordEdit(AddEdit(login, QStringLiteral("New Password"), "Ed_NPwd"));
    m_confirmPassword = PasswordEdit(AddEdit(login, QStringLiteral("Confirm New Password"), "Ed_CNP"));
    for (QLineEdit *edit : {m_user, m_oldPassword, m_newPassword, m_confirmPassword})
        edit->setMinimumWidth(180);

    QFormLayout *console = AddGroup(QStringLiteral("Console"), left);
    m_console = new QCheckBox(QStringLiteral("Enable"), this);
    m_console->setObjectName(QStringLiteral("CheckBox_Console"));
    console->addRow(QStringLiteral("Status"), m_console);
    m_telnet = new QRadioButton(QStringLiteral("Telnet"), this);
    m_telnet->setObjectName(QStringLiteral("RB_Telnet"));
    m_ssh = new QRadioButton(QStringLiteral("SSH"), this);
    m_ssh->setObjectName(QStringLiteral("RB_SHH"));
    m_protocols = new QButtonGroup(this);
    m_protocols->addButton(m_telnet);
    m_protocols->addButton(m_ssh);
    auto *protocols = new QHBoxLayout;
    protocols->addWidget(m_telnet);
    protocols->addWidget(m_ssh);
    protocols->addStretch();
    console->addRow(QStringLiteral("Console Protocol"), protocols);
    m_timeout = new QComboBox(this);
    m_timeout->setObjectName(QStringLiteral("CB_Timeout"));
    console->addRow(QStringLiteral("Timeout"), m_timeout);

    QFormLayout *limits = AddGroup(QStringLiteral(" Limit Administrator IP "), right);
    m_vidBox = new QCheckBox(QStringLiteral("Limit Administrator VID"), this);
    m_vidBox->setObjectName(QStringLiteral("CheckBox_VID"));
    m_vid = new QLineEdit(this);
    m_vid->setObjectName(QStringLiteral("Ed_VID"));
    m_vid->setMaximumWidth(80);
    limits->addRow(m_vidBox, m_vid);
    m_ipBox = new QCheckBox(QStringLiteral("Limit Administrator IP"), this);
    m_ipBox->setObjectName(QStringLiteral("CkBx_ManagerState"));
    limits->addRow(m_ipBox);
    m_fromIp = new QLineEdit(this);
    m_fromIp->setObjectName(QStringLiteral("Ed_FromIP"));
    m_toIp = new QLineEdit(this);
    m_toIp->setObjectName(QStringLiteral("Ed_ToIP"));
    auto *range = new QHBoxLayout;
    range->addWidget(new QLabel(QStringLiteral("From:"), this));
    range->addWidget(m_fromIp);
    range->addWidget(new QLabel(QStringLiteral("To:"), this));
    range->addWidget(m_toIp);
    limits->addRow(QStringLiteral("IP Range"), range);
    m_add = new QPushButton(QStringLiteral("Add"), this);
    m_add->setObjectName(QStringLiteral("Btn_Add"));
    m_delete = new QPushButton(QStringLiteral("Delete"), this);
    m_delete->setObjectName(QStringLiteral("Btn_Del"));
    for (QPushButton *b : {m_add, m_delete})
        b->setAutoDefault(false);
    auto *rangeButtons = new QHBoxLayout;
    rangeButtons->addStretch();
    rangeButtons->addWidget(m_add);
    rangeButtons->addWidget(m_delete);
    limits->addRow(rangeButtons);
    m_userList = new QTreeWidget(this);
    m_userList->setObjectName(QStringLiteral("ListView_User"));
    m_userList->setMinimumWidth(560); // the three columns at their captions' width
    limits->addRow(m_userList);

    QFormLayout *control = AddGroup(QStringLiteral("Control Setting"), left);
    m_ping = new QComboBox(this);
    m_ping->setObjectName(QStringLiteral("CB_Ping"));
    control->addRow(QStringLiteral("Ping Control"), m_ping);
    QFormLayout *names = AddGroup(QStringLiteral("System Name Settings "), right);
    m_sysName = AddEdit(names, QStringLiteral("System Name  "), "Ed_SysName");
    m_location = AddEdit(names, QStringLiteral("Location "), "Ed_Location");
    left->addStretch();

    QPushButton *ok = AddButton(QStringLiteral("Apply"), "OK");
    ok->setDefault(true);
    QPushButton *cancel = AddButton(QStringLiteral("Cancel"), "Cancel");

    m_password = AddHidden<QLineEdit>("Ed_Pwd");
    m_telnetValue = AddHidden<QComboBox>("CB_Telnet");
    m_sshValue = AddHidden<QComboBox>("CB_SHH");
    m_managerStatus = AddHidden<QComboBox>("CB_managerIpAddressStatus");
    m_apply = AddHidden<QComboBox>("CB_DeviceApplySetting");
    m_ipRange = AddHidden<QTreeWidget>("ListView_IpRange");
    m_rowFrom = AddHidden<QLineEdit>("Ed_From");
    m_rowTo = AddHidden<QLineEdit>("Ed_To");
    m_rowDelete = AddHidden<QComboBox>("CB_Delete");

    const std::pair<QWidget *, const char *> captions[] = {
        {m_user, "User Name"}, {m_oldPassword, "Old Password"}, {m_newPassword, "New Password"},
        {m_confirmPassword, "Confirm New Password"}, {m_console, "Console Status Enable"},
        {m_telnet, "Telnet"}, {m_ssh, "SSH"}, {m_timeout, "Timeout"}, {m_vidBox, "Limit Administrator VID"},
        {m_vid, "VID"}, {m_ipBox, "Limit Administrator IP"}, {m_fromIp, "IP Range From"},
        {m_toIp, "IP Range To"}, {m_add, "Add"}, {m_delete, "Delete"}, {m_userList, "IP Range List"},
        {m_ping, "Ping Control"}, {m_sysName, "System Name"}, {m_location, "Location"}, {ok, "Apply"},
        {cancel, "Cancel"}};
    for (const auto &[widget, caption] : captions)
        widget->setAccessibleName(QLatin1String(caption));
    // Keyboard order follows the reading order of the two columns.
    QWidget *order[] = {m_user, m_oldPassword, m_newPassword, m_confirmPassword, m_console, m_telnet,
                        m_ssh, m_timeout, m_ping, m_vidBox, m_vid, m_ipBox, m_fromIp, m_toIp, m_add,
                        m_delete, m_userList, m_sysName, m_location, ok, cancel};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
    // Enter in the range edits adds the range; elsewhere it applies.
    m_fromIp->installEventFilter(this);
    m_toIp->installEventFilter(this);

    connect(m_console, &QCheckBox::toggled, this, &TFM_Admin2::CheckBox_ConsoleClick);
    connect(m_telnet, &QRadioButton::clicked, this, &TFM_Admin2::RB_Click);
    connect(m_ssh, &QRadioButton::clicked, this, &TFM_Admin2::RB_Click);
    connect(m_vidBox, &QCheckBox::toggled, this, &TFM_Admin2::CheckBox_VIDClick);
    connect(m_ipBox, &QCheckBox::toggled, this, &TFM_Admin2::CkBx_ManagerStateClick);
    connect(m_userList, &QTreeWidget::itemSelectionChanged, this, &TFM_Admin2::ListView_UserClick);
    connect(m_add, &QPushButton::clicked, this, &TFM_Admin2::Btn_AddClick);
    connect(m_delete, &QPushButton::clicked, this, &TFM_Admin2::Btn_DelClick);
    connect(ok, &QPushButton::clicked, this, &TFM_Admin2::OKClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::close);
}

void TFM_Admin2::BuildRequests()
{
    auto request = [this](const KxSNMPVarDesc *table, quint8 type, bool status = false) {
        return MakeRequest(table, type, 0, false, kTimeoutHundredths, status);
    };
    m_applyRequest = request(KxDevice::ApplyObjects(), KxItemType::Scalars);
    m_applyRequest->BindControl(0, m_apply);
    m_managerRequest = request(kManager, KxItemType::Scalars);
    m_managerRequest->BindControl(kStatus, m_managerStatus);
    m_managerRequest->BindControl(kVlanTag, QStringLiteral("%s"), m_vid);
    m_consoleRequest = request(kConsole, KxItemType::Instance);
    m_consoleRequest->BindControl(0, m_telnetValue);
    m_consoleRequest->BindControl(1, m_sshValue);
    m_consoleRequest->BeforeSetHook = [this] {
        if (m_wait)
            m_wait->Show();
    };
    m_timeoutRequest = request(kTimeout, KxItemType::Scalars);
    m_timeoutRequest->BindControl(0, m_timeout);
    m_nameRequest = request(kName, KxItemType::Scalars);
    m_nameRequest->BindControl(0, QStringLiteral("%s"), m_sysName);
    m_nameRequest->BindControl(1, QStringLiteral("%s"), m_location);
    m_loginRequest = request(kLogin, KxItemType::Instance);
    m_loginRequest->BindControl(kUserName, QStringLiteral("%s"), m_user);
    m_loginRequest->BindControl(kPassword, QStringLiteral("%s"), m_password);
    m_pingRequest = request(kPingControl, KxItemType::Instance);
    m_pingRequest->BindControl(0, m_ping);

    m_rangeTable = MakeRequest(kRanges, KxItemType::Table, 1, true, kTimeoutHundredths);
    m_rangeTable->BindListView(m_ipRange, true);
    m_rangeTable->BindControl(RangeStart, QStringLiteral("%s"), m_rowFrom);
    m_rangeTable->BindControl(RangeEnd, QStringLiteral("%s"), m_rowTo);
    m_rangeTable->BindControl(RangeDelete, m_rowDelete);
    // After the completion has finished with the request, so the reads find it idle.
    m_rangeTable->AfterSetHook = [this] { QTimer::singleShot(0, this, &TFM_Admin2::RefreshLists); };
    m_rangeTable->OnSetComplete = [this](KxSNMPRequest2Controls *, const KxSNMPError &error) {
        RangeWritten(error.Code == 0);
    };

    m_rangeList = std::make_unique<KxTableRequest>(this);
    m_rangeList->VarList() = KxSNMPVarList(kRangeList, KxItemType::Table, 1);
    m_rangeList->Request.Timeout = kTimeoutHundredths;
    m_rangeList->BindListView(m_userList, false);
    m_rangeList->SkipValue = QStringLiteral("0.0.0.0");
    m_rangeList->SkipColumn = RangeStart;
}

void TFM_Admin2::ReadDevice()
{
    m_applyRequest->GetIntoControls();
    m_managerRequest->GetIntoControls();
    m_consoleRequest->GetIntoControls();
    m_telnet->setChecked(m_telnetValue->currentText() == QLatin1String("Enable"));
    m_ssh->setChecked(m_sshValue->currentText() == QLatin1String("Enable"));
    m_timeoutRequest->GetIntoControls();
    m_nameRequest->GetIntoControls();
    m_loginRequest->GetIntoControls();
    m_pingRequest->GetIntoControls();
    m_rangeTable->GetIntoControls();
    m_rangeList->GetIntoControls();
}

// ---- rules of the controls -------------------------------------------------------

void TFM_Admin2::CheckBox_ConsoleClick()
{
    const bool on = m_console->isChecked();
    for (QWidget *w : {static_cast<QWidget *>(m_telnet), static_cast<QWidget *>(m_ssh),
                       static_cast<QWidget *>(m_timeout)})
        w->setEnabled(on);
    if (on)
        return;
    m_protocols->setExclusive(false);
    m_telnet->setChecked(false);
    m_ssh->setChecked(false);
    m_protocols->setExclusive(true);
    enable().Select(m_telnetValue, QStringLiteral("Disable"));
    enable().Select(m_sshValue, QStringLiteral("Disable"));
}

void TFM_Admin2::RB_Click()
{
    enable().Select(m_telnetValue, m_telnet->isChecked() ? QStringLiteral("Enable") : QStringLiteral("Disable"));
    enable().Select(m_sshValue, m_ssh->isChecked() ? QStringLiteral("Enable") : QStringLiteral("Disable"));
}

void TFM_Admin2::CheckBox_VIDClick()
{
    m_vid->setEnabled(m_vidBox->isChecked());
}

void TFM_Admin2::CkBx_ManagerStateClick()
{
    const bool on = m_ipBox->isChecked();
    m_fromIp->setEnabled(on);
    m_toIp->setEnabled(on);
    m_add->setEnabled(on);
}

void TFM_Admin2::ListView_UserClick()
{
    if (m_userList->selectedItems().isEmpty()) {
        m_delete->setEnabled(false);
        return;
    }
    m_delete->setEnabled(true);
    CkBx_ManagerStateClick();
}

// ---- Apply -------------------------------------------------------------------------

bool TFM_Admin2::Write(KxSNMPRequest2Edits *request)
{
    bool ok = false;
    Guard([&] { ok = request->SetFromControls(true, true); });
    return ok;
}

bool TFM_Admin2::LoginValid()
{
    const struct {
        bool failed;
        QLineEdit *edit;
        bool empty;
        const char *message;
    } checks[] = {
        {m_user->text().size() > kMaxUser, m_user, true, "Please limit user name to 64 characters!"},
        // An empty name would lock the administrator out.
        {!ValidUserName(m_user->text()), m_user, true, "Invaild UserName!"},
        {m_newPassword->text().size() > kMaxPassword, m_newPassword, true, "Please limit password to 12 characters!"},
        {m_newPassword->text() != m_confirmPassword->text(), m_newPassword, false,
         "Please input the confirm new password correctly!"},
    };
    for (const auto &c : checks) {
        if (!c.failed)
            continue;
        Dialogs().MessageBox(this, QLatin1String(c.message), kWarning);
        if (c.empty)
            c.edit->clear();
        c.edit->setFocus();
        ClearRangeEdits();
        m_delete->setEnabled(false);
        return false;
    }
    return true;
}

bool TFM_Admin2::WriteConsole()
{
    auto select = [](QComboBox *box, bool on) {
        enable().Select(box, on ? QStringLiteral("Enable") : QStringLiteral("Disable"));
    };
    if (!m_console->isChecked()) {
        select(m_telnetValue, false);
        select(m_sshValue, false);
        return Write(m_consoleRequest);
    }
    if (!m_telnet->isChecked() && !m_ssh->isChecked())
        return true;
    // The protocol not chosen goes out as "Disable" in the same set: the device must
    // not keep a console open that the screen no longer shows.
    select(m_telnetValue, m_telnet->isChecked());
    select(m_sshValue, m_ssh->isChecked());
    const bool console = Write(m_consoleRequest);
    const bool timeout = Write(m_timeoutRequest);
    return console && timeout;
}

bool TFM_Admin2::WriteLogin()
{
    // The hidden field keeps the password the device has until the device took the
    // new one; a masked text is what the device showed, not a password to set.
    const QString current = m_password->text();
    const QString wanted = m_newPassword->text();
    KxSNMPVariable &password = m_loginRequest->VarList()[kPassword];
    const bool masked = IsMasked(wanted);
    if (masked)
        password.Access = KxAccess::Excluded;
    else
        m_password->setText(wanted);
    const bool ok = Write(m_loginRequest);
    password.Access = KxAccess::ReadWrite;
    if (!ok)
        m_password->setText(current);
    return ok;
}

void TFM_Admin2::OKClick()
{
    if (!m_applyRequest || !m_rangeList)
        return;
    if (m_vidBox->isChecked()) {
        bool number = true;
        qint32 vid = 0;
        try {
            vid = KxStrToInt(m_vid->text());
        } catch (const KxConvertError &) {
            number = false; // a VLAN ID that is not a number is no VLAN ID at all
        }
        if (!number || vid < 0 || vid > kMaxVlanTag) {
            Dialogs().MessageBox(this, QStringLiteral("Please input a number between 0 and 4095.!"), kWarning);
            m_vid->clear();
            m_vid->setFocus();
            return;
        }
    }
    if (m_oldPassword->text() != m_password->text()) {
        Dialogs().MessageBox(this, QStringLiteral("Please input the current password correctly!"), kWarning);
        return;
    }
    if (!LoginValid())
        return;

    KxSaveWait wait(this);
    m_wait = &wait;
    const auto forget = qScopeGuard([this] { m_wait = nullptr; });
    bool ok = WriteConsole();
    KxDevice::ApplyOptions().Select(m_apply, QStringLiteral("apply"));
    const int status = (m_vidBox->isChecked() ? 1 : 0) + (m_ipBox->isChecked() ? 2 : 0);
    m_managerStatus->setCurrentIndex(managerStates().IndexOfValue(QString::number(status)));
    m_managerRequest->VarList()[kVlanTag].Access = m_vidBox->isChecked() ? KxAccess::ReadWrite : KxAccess::Excluded;
    ok = WriteLogin() && ok;
    for (KxSNMPRequest2Edits *request : {m_nameRequest, m_pingRequest, m_managerRequest, m_applyRequest})
        ok = Write(request) && ok;
    wait.Close();
    if (!ok) {
        ShowStatus(QStringLiteral("Setting Error!"));
        return;
    }
    ClearRangeEdits();
    m_delete->setEnabled(false);
    Guard([this] { m_consoleRequest->GetIntoControls(); });
    ShowStatus(QStringLiteral("Set OK!"));
}
