#include "TFM_Time.h"

#include "KxAddress.h"
#include "KxDeviceObjects.h"
#include "KxSaveWait.h"
#include "KxStatusTarget.h"
#include "TFM_TimeZones.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>

namespace {

#define SNTP KX_DEVICE_ROOT ".4.8"

const KxIntOption kEnable[] = {{0, "Disable"}, {1, "Enable"}, {0, nullptr}};
const KxIntOption kMonths[] = {{1, "Jan"}, {2, "Feb"}, {3, "Mar"}, {4, "Apr"}, {5, "May"}, {6, "Jun"}, {7, "Jul"},
                               {8, "Aug"}, {9, "Sep"}, {10, "Oct"}, {11, "Nov"}, {12, "Dec"}, {0, nullptr}};
const KxIntOption kWeeks[] = {{1, "1st"}, {2, "2nd"}, {3, "3rd"}, {4, "4th"}, {5, "5th"}, {0, nullptr}};
const KxIntOption kDays[] = {{0, "sun"}, {1, "mon"}, {2, "tue"}, {3, "wed"},
                             {4, "thu"}, {5, "fri"}, {6, "sat"}, {0, nullptr}};
const KxIntOption kHours[] = {{0, "12am"}, {1, "1am"},  {2, "2am"},   {3, "3am"},  {4, "4am"},  {5, "5am"},
                              {6, "6am"},  {7, "7am"},  {8, "8am"},   {9, "9am"},  {10, "10am"}, {11, "11am"},
                              {12, "12pm"}, {13, "1pm"}, {14, "2pm"},  {15, "3pm"}, {16, "4pm"}, {17, "5pm"},
                              {18, "6pm"}, {19, "7pm"}, {20, "8pm"},  {21, "9pm"}, {22, "10pm"}, {23, "11pm"},
                              {0, nullptr}};
const KxIntOption kOffsets[] = {{0, "-2:00"}, {1, "-1:30"}, {2, "-1:00"}, {3, "-0:30"}, {4, "+0:30"},
                                {5, "+1:00"}, {6, "+1:30"}, {7, "+2:00"}, {0, nullptr}};

const KxOptionList &enable() { static const KxOptionList l(kEnable); return l; }
const KxOptionList &months() { static const KxOptionList l(kMonths); return l; }
const KxOptionList &weeks() { static const KxOptionList l(kWeeks); return l; }
const KxOptionList &days() { static const KxOptionList l(kDays); return l; }
const KxOptionList &hours() { static const KxOptionList l(kHours); return l; }
const KxOptionList &offsets() { static const KxOptionList l(kOffsets); return l; }

constexpr unsigned RW = KxAccess::ReadWrite;
constexpr unsigned RO = KxAccess::ReadOnly;
constexpr unsigned Excluded = KxAccess::Excluded;

const KxSNMPVarDesc kTime[] = {
    {SNTP ".1", "sntpServerIpAddress", KxSyntax::IpAddress, RW},
    {SNTP ".2", "sntpTimeZoneIndex", KxSyntax::Integer, RW, &TimeZones()},
    {SNTP ".3", "sntpDayLightSaving", KxSyntax::Integer, RW, &enable()},
    {SNTP ".7", "sntpTimeofDay", KxSyntax::DisplayString, RO},
    {SNTP ".5", "sntpStatus", KxSyntax::Integer, RW, &enable()},
    {SNTP ".8", "sntpDstStartMonth", KxSyntax::Integer, RW, &months()},
    {SNTP ".9", "sntpDstStartWeek", KxSyntax::Integer, RW, &weeks()},
    {SNTP ".10", "sntpDstStartDayOfWeek", KxSyntax::Integer, RW, &days()},
    {SNTP ".11", "sntpDstStartCurrentTime", KxSyntax::Integer, RW, &hours()},
    {SNTP ".12", "sntpDstEndMonth", KxSyntax::Integer, RW, &months()},
    {SNTP ".13", "sntpDstEndWeek", KxSyntax::Integer, RW, &weeks()},
    {SNTP ".14", "sntpDstEndDayOfWeek", KxSyntax::Integer, RW, &days()},
    {SNTP ".15", "sntpDstEndCurrentTime", KxSyntax::Integer, RW, &hours()},
    {SNTP ".16", "sntpDayLightSavingOffset", KxSyntax::Integer, RO, &offsets()},
    {nullptr},
};
const KxSNMPVarDesc kManualTime[] = {
    {SNTP ".7", "setTimeManually", KxSyntax::DisplayString, RW},
    {nullptr},
};

enum { kServer = 0, kZone = 1, kDaylight = 2, kTimeOfDay = 3, kStatus = 4, kFirstDate = 5, kLastDate = 12, kOffset = 13 };

constexpr int kTimeout = 10000;
constexpr int kFirstYear = 2002;
// Far enough for any PC clock the device's own clock can follow.
constexpr int kLastYear = 2037;

const QString kNoServer = QStringLiteral("0.0.0.0");
// The server that '<<' copies: one that answers NTP at a fixed address.
const char *const kServerName = "time.google.com";
const char *const kServerAddress = "216.239.35.4";

QStringList Numbers(int from, int to, int width)
{
    QStringList items;
    for (int n = from; n <= to; ++n)
        items << QStringLiteral("%1").arg(n, width, 10, QLatin1Char('0'));
    return items;
}

QComboBox *List(QWidget *parent, const char *name)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(QLatin1String(name));
    return box;
}

} // namespace

TFM_Time::TFM_Time(QWidget *parent)
    : KxScreen(QStringLiteral("FM_Time"), QStringLiteral("Tools \\ Time and Date"), parent)
{
    BuildControls();
    Guard([this] {
        BuildRequests();
        FillManualLists(QDateTime::currentDateTime());
    });
    m_manualChosen = false;
    m_serverName->setCurrentIndex(0);
    if (m_server->text() == kNoServer)
        m_server->clear();
    CheckBox_DaylightClick();
    CheckBox_NTPClick();
    CB_TimeZoneChange();
}

void TFM_Time::BuildControls()
{
    QFormLayout *config = AddGroup(QStringLiteral("Time Configuration"));
    m_currentTime = new QLabel(this);
    m_currentTime->setObjectName(QStringLiteral("LB_CurrentTime"));
    config->addRow(QStringLiteral("Time :"), m_currentTime);
    m_zone = List(this, "CB_TimeZone");
    config->addRow(QStringLiteral("Time Zone :"), m_zone);
    m_daylight = new QCheckBox(this);
    m_daylight->setObjectName(QStringLiteral("CheckBox_Daylight"));
    config->addRow(QStringLiteral("Enable Daylight Saving :"), m_daylight);
    m_offset = List(this, "CB_InDays");
    m_offset->setEnabled(false);
    config->addRow(QStringLiteral("Daylight Saving Offset "), m_offset);
    BuildDaylightDates(config);

    QFormLayout *automatic = AddGroup(QStringLiteral("Automatic Time Configuration"));
    m_ntp = new QCheckBox(this);
    m_ntp->setObjectName(QStringLiteral("CheckBox_NTP"));
    automatic->addRow(QStringLiteral("Enable NTP server :"), m_ntp);
    m_server = new QLineEdit(this);
    m_server->setObjectName(QStringLiteral("Ed_ServerIp"));
    m_convert = new QPushButton(QStringLiteral("<<"), this);
    m_convert->setObjectName(QStringLiteral("Btn_Convert"));
    m_convert->setAutoDefault(false);
    m_serverName = List(this, "CB_ServerName");
    m_serverName->addItems({QStringLiteral("Select NTP Server"), QLatin1String(kServerName)});
    auto *server = new QHBoxLayout;
    server->addWidget(m_server);
    server->addWidget(m_convert);
    server->addWidget(m_serverName);
    automatic->addRow(QStringLiteral("NTP Server Used :"), server);

    BuildManual();
    QPushButton *apply = AddButton(QStringLiteral("Apply"), "Btn_Apply");
    apply->setDefault(true);
    QPushButton *cancel = AddButton(QStringLiteral("Cancel"), "Btn_Cancel");
    m_dateTime = AddHidden<QLineEdit>("Ed_DateTime");
    m_apply = AddHidden<QComboBox>("CB_DeviceApplySetting");

    const std::pair<QWidget *, const char *> captions[] = {
        {m_zone, "Time Zone"}, {m_daylight, "Enable Daylight Saving"}, {m_offset, "Daylight Saving Offset"},
        {m_ntp, "Enable NTP server"}, {m_server, "NTP Server Used"}, {m_convert, "Copy the server's address"},
        {m_serverName, "NTP Server"}, {m_copy, "Copy Your Computer's Time Settings"}, {apply, "Apply"},
        {cancel, "Cancel"}};
    for (const auto &[widget, caption] : captions)
        widget->setAccessibleName(QLatin1String(caption));
    m_currentTime->setAccessibleName(QStringLiteral("Time"));

    connect(m_zone, &QComboBox::currentIndexChanged, this, &TFM_Time::CB_TimeZoneChange);
    connect(m_daylight, &QCheckBox::toggled, this, &TFM_Time::CheckBox_DaylightClick);
    connect(m_ntp, &QCheckBox::toggled, this, &TFM_Time::CheckBox_NTPClick);
    connect(m_convert, &QPushButton::clicked, this, &TFM_Time::Btn_ConvertClick);
    connect(m_copy, &QPushButton::clicked, this, &TFM_Time::Btn_CopyClick);
    connect(apply, &QPushButton::clicked, this, &TFM_Time::Btn_ApplyClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::close);
}

void TFM_Time::BuildDaylightDates(QFormLayout *form)
{
    auto *grid = new QGridLayout;
    const char *columns[] = {"Month", "Week", "Day of Week", "Current Time"};
    const char *names[] = {"CB_StartMonth", "CB_StartWeek", "CB_StartDay", "CB_StartTime",
                           "CB_EndMonth",   "CB_EndWeek",   "CB_EndDay",   "CB_EndTime"};
    for (int c = 0; c < 4; ++c)
        grid->addWidget(new QLabel(QLatin1String(columns[c]), this), 0, c + 1);
    for (int r = 0; r < 2; ++r) {
        const QString row = r == 0 ? QStringLiteral("DST Start") : QStringLiteral("DST End");
        grid->addWidget(new QLabel(row, this), r + 1, 0);
        for (int c = 0; c < 4; ++c) {
            QComboBox *box = List(this, names[r * 4 + c]);
            box->setAccessibleName(row + QLatin1Char(' ') + QLatin1String(columns[c]));
            grid->addWidget(box, r + 1, c + 1);
            m_dates << box;
        }
    }
    form->addRow(QStringLiteral("Daylight Saving Dates "), grid);
}

void TFM_Time::BuildManual()
{
    QFormLayout *form = AddGroup(QStringLiteral("Set the Date and Time Manually"));
    m_manualGroup = form->parentWidget();
    const struct {
        const char *caption;
        const char *name;
        QStringList items;
    } lists[] = {
        {"Year:", "CB_Year", Numbers(kFirstYear, kLastYear, 4)}, {"Month:", "CB_Month", Numbers(1, 12, 2)},
        {"Day:", "CB_Day", Numbers(1, 31, 2)},                    {"Hour:", "CB_Hour", Numbers(0, 23, 2)},
        {"Minute:", "CB_Minute", Numbers(0, 59, 2)},              {"Second:", "CB_Second", Numbers(0, 59, 2)},
    };
    auto *grid = new QGridLayout;
    for (int i = 0; i < 6; ++i) {
        QComboBox *box = List(this, lists[i].name);
        box->addItems(lists[i].items);
        box->setAccessibleName(QString::fromLatin1(lists[i].caption).chopped(1));
        grid->addWidget(new QLabel(QLatin1String(lists[i].caption), this), i / 3, (i % 3) * 2);
        grid->addWidget(box, i / 3, (i % 3) * 2 + 1);
        m_manual << box;
        // Any pick of the user's counts; the lists filled from the PC's clock do not.
        connect(box, &QComboBox::currentIndexChanged, this, [this] {
            if (!m_filling)
                m_manualChosen = true;
        });
    }
    form->addRow(grid);
    m_copy = new QPushButton(QStringLiteral("Copy Your Computer's Time Settings"), this);
    m_copy->setObjectName(QStringLiteral("Btn_Copy"));
    m_copy->setAutoDefault(false);
    form->addRow(m_copy);
}

void TFM_Time::BuildRequests()
{
    m_applyRequest = MakeRequest(KxDevice::ApplyObjects(), KxItemType::Scalars, 0, false, kTimeout, false);
    m_applyRequest->BindControl(0, m_apply);
    m_timeRequest = MakeRequest(kTime, KxItemType::Scalars, 0, false, kTimeout);
    m_timeRequest->BindControl(kServer, QStringLiteral("%s"), m_server);
    m_timeRequest->BindControl(kZone, m_zone);
    m_timeRequest->BindControl(kDaylight, m_daylight);
    m_timeRequest->BindControl(kTimeOfDay, m_currentTime);
    m_timeRequest->BindControl(kStatus, m_ntp);
    for (int i = kFirstDate; i <= kLastDate; ++i)
        m_timeRequest->BindControl(i, m_dates[i - kFirstDate]);
    m_timeRequest->BindControl(kOffset, m_offset);
    m_timeRequest->BeforeSetHook = [this] {
        if (m_wait)
            m_wait->Show();
    };
    m_timeRequest->GetIntoControls();
    m_manualRequest = MakeRequest(kManualTime, KxItemType::Scalars, 0, false, kTimeout, false);
    m_manualRequest->BindControl(0, QStringLiteral("%s"), m_dateTime);
    m_manualRequest->GetIntoControls();
}

// ---- rules of the controls -------------------------------------------------------

void TFM_Time::CheckBox_NTPClick()
{
    const bool ntp = m_ntp->isChecked();
    for (QWidget *w : {static_cast<QWidget *>(m_server), static_cast<QWidget *>(m_convert),
                       static_cast<QWidget *>(m_serverName)})
        w->setEnabled(ntp);
    m_manualGroup->setEnabled(!ntp);
    for (QComboBox *box : std::as_const(m_manual))
        box->setEnabled(!ntp);
    m_copy->setEnabled(!ntp);
}

void TFM_Time::CB_TimeZoneChange()
{
    if (AllowsDaylightSaving(m_zone->currentIndex() + 1)) {
        m_daylight->setEnabled(true);
    } else {
        m_daylight->setEnabled(false);
        m_daylight->setChecked(false);
    }
    CheckBox_DaylightClick();
}

void TFM_Time::CheckBox_DaylightClick()
{
    const bool on = m_daylight->isChecked() && m_daylight->isEnabled();
    if (!on)
        m_offset->setEnabled(false);
    for (QComboBox *box : std::as_const(m_dates))
        box->setEnabled(on);
}

void TFM_Time::Btn_ConvertClick()
{
    if (m_serverName->currentIndex() == 0)
        m_server->clear();
    else if (m_serverName->currentIndex() == 1)
        m_server->setText(QLatin1String(kServerAddress));
}

void TFM_Time::FillManualLists(const QDateTime &when)
{
    const QString text = when.toString(QStringLiteral("MM-dd-yyyy HH:mm:ss"));
    const int parts[][2] = {{6, 4}, {0, 2}, {3, 2}, {11, 2}, {14, 2}, {17, 2}};
    m_filling = true;
    for (int i = 0; i < 6; ++i)
        m_manual[i]->setCurrentIndex(m_manual[i]->findText(text.mid(parts[i][0], parts[i][1])));
    m_filling = false;
}

QString TFM_Time::ManualText() const
{
    return QStringLiteral("%1/%2/%3 %4:%5:%6")
        .arg(m_manual[1]->currentText(), m_manual[2]->currentText(), m_manual[0]->currentText(),
             m_manual[3]->currentText(), m_manual[4]->currentText(), m_manual[5]->currentText());
}

void TFM_Time::Btn_CopyClick()
{
    FillManualLists(QDateTime::currentDateTime());
    m_dateTime->setText(ManualText());
    m_manualChosen = true;
}

// ---- Apply -------------------------------------------------------------------------

bool TFM_Time::Write(KxSNMPRequest2Edits *request)
{
    bool ok = false;
    Guard([&] { ok = request->SetFromControls(true, true); });
    return ok;
}

bool TFM_Time::Read(KxSNMPRequest2Edits *request)
{
    bool ok = false;
    Guard([&] { ok = request->GetIntoControls(); });
    return ok;
}

void TFM_Time::ShowResult(const QString &text)
{
    KxStatusTarget(KxStatusPanel(StatusBar(), 0)).Write(text);
}

bool TFM_Time::ManualDateValid()
{
    bool picked = true;
    for (QComboBox *box : std::as_const(m_manual))
        picked = picked && box->currentIndex() >= 0;
    // The day lists offer 31 days in every month.
    if (picked && QDate(m_manual[0]->currentText().toInt(), m_manual[1]->currentText().toInt(),
                        m_manual[2]->currentText().toInt()).isValid())
        return true;
    Dialogs().MessageBox(this, QStringLiteral("Please select a valid date and time!"), QStringLiteral("Warning"));
    return false;
}

void TFM_Time::Btn_ApplyClick()
{
    if (!m_timeRequest || !m_manualRequest || !m_applyRequest)
        return;
    if (!m_server->text().isEmpty() && !IsValidIpAddress(m_server->text())) {
        Dialogs().MessageBox(this, QStringLiteral("Please input valid IP address"), QStringLiteral("Waring"));
        m_server->clear();
        m_server->setFocus();
        return;
    }
    const bool ntp = m_ntp->isChecked();
    // Only a time the user chose is set: the lists as they stood when the window opened
    // would put the device's clock back by however long the window was open.
    const bool manual = !ntp && m_manualChosen;
    if (manual && !ManualDateValid())
        return;
    if (m_server->text().isEmpty())
        m_server->setText(kNoServer);

    KxSNMPVarList &time = m_timeRequest->VarList();
    time[kZone].Access = time[kDaylight].Access = RW;
    time[kTimeOfDay].Access = RO;
    time[kServer].Access = ntp ? RW : Excluded;
    time[kStatus].Access = RW;
    if (manual)
        m_dateTime->setText(ManualText());
    m_manualRequest->VarList()[0].Access = manual ? RW : Excluded;
    const bool dates = m_daylight->isEnabled() && m_daylight->isChecked();
    for (int i = kFirstDate; i <= kLastDate; ++i)
        time[i].Access = dates ? RW : Excluded;
    time[kOffset].Access = RO;
    KxDevice::ApplyOptions().Select(m_apply, QStringLiteral("apply"));

    KxSaveWait wait(this);
    m_wait = &wait;
    const auto forget = qScopeGuard([this] { m_wait = nullptr; });
    // Every outcome counts: "Setting Success" after a refused time would be a lie.
    bool ok = Write(m_timeRequest);
    if (manual) {
        const bool set = Write(m_manualRequest);
        m_manualChosen = !set;
        ok = set && ok;
    }
    ok = Write(m_applyRequest) && ok;
    wait.Close();
    ok = Read(m_timeRequest) && ok;
    if (manual)
        ok = Read(m_manualRequest) && ok;
    if (m_server->text() == kNoServer)
        m_server->clear();
    ShowResult(ok ? QStringLiteral("Setting Success") : QStringLiteral("Setting Error"));
}
