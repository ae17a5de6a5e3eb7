#include "TMainForm.h"

#include "KxAccessible.h"
#include "KxAddress.h"
#include "KxDeviceObjects.h"
#include "KxDialogs.h"
#include "KxErrors.h"
#include "KxFrontPanel.h"
#include "KxInstanceLock.h"
#include "KxRequest2Edits.h"

#include "KxRegistry.h"
#include "KxScreen.h"
#include "KxStartup.h"
#include "TAboutForm.h"
#include "TClientInformation.h"
#include "TFM_APArray.h"
#include "TFM_Admin2.h"
#include "TFM_CfgFile.h"
#include "TFM_DHCP.h"
#include "TFM_DevInfo.h"
#include "TFM_FilterMACACL.h"
#include "TFM_Firmware.h"
#include "TFM_Information.h"
#include "TFM_Performace.h"
#include "TFM_LRADIUSSer.h"
#include "TFM_LanCfg.h"
#include "TFM_MultiSSIDNew.h"
#include "TFM_QosSetting.h"
#include "TFM_RogueAP.h"
#include "TFM_Scheduling.h"
#include "TFM_StatWLAN.h"
#include "TFM_Static.h"
#include "TFM_Sytem.h"
#include "TFM_Time.h"
#include "TFM_TrafficCtrl.h"
#include "TFM_VlanSetting.h"
#include "TFM_WDSInfo.h"
#include "TFM_WLANPart.h"
#include "TFM_Waiting.h"
#include "TFM_Wirless.h"
#include "TLogForm.h"
#include "TLogSetForm.h"

#include <QAction>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QTime>
#include <QTreeWidget>

namespace {

TMainForm *g_mainForm = nullptr;

#define ROOT "1.3.6.1.4.1.32473.2.5.9"

const KxIntOption kApplyOptions[] = {{0, "nothing"}, {1, "apply"}, {0, nullptr}};
const KxIntOption kRebootOptions[] = {{0, "nothing"}, {1, "reboot"}, {0, nullptr}};

const KxOptionList &applyOptions() { static const KxOptionList list(kApplyOptions); return list; }
const KxOptionList &rebootOptions() { static const KxOptionList list(kRebootOptions); return list; }

const KxSNMPVarDesc kStatusPoll[] = {
    {"1.3.6.1.2.1.1.1", "sysDescr", KxSyntax::DisplayString, KxAccess::ReadOnly},
    {nullptr},
};
const KxSNMPVarDesc kDeviceAddress[] = {
    {ROOT ".2.1.1.1.1.2.1", "hIPAddress", KxSyntax::IpAddress, KxAccess::ReadWrite},
    {ROOT ".2.1.1.1.1.3.1", "hSubnetMask", KxSyntax::IpAddress, KxAccess::ReadWrite},
    {ROOT ".2.1.1.1.1.4.1", "hDefaultGateway", KxSyntax::IpAddress, KxAccess::ReadWrite},
    {nullptr},
};
const KxSNMPVarDesc kLanAddress[] = {
    {ROOT ".2.1.1.1.1.2.1", "lanIfIpAddress", KxSyntax::IpAddress, KxAccess::ReadWrite},
    {nullptr},
};
const KxSNMPVarDesc kDeviceCommands[] = {
    {ROOT ".4.2.3", "deviceSettingApply", KxSyntax::Integer, KxAccess::ReadWrite, &applyOptions()},
    {ROOT ".4.2.4", "deviceSettingDiscard", KxSyntax::Integer, KxAccess::ReadWrite, &applyOptions()},
    {ROOT ".4.2.1", "deviceRestart", KxSyntax::Integer, KxAccess::ReadWrite, &rebootOptions()},
    {nullptr},
};

TFM_Sytem *g_systemScreen = nullptr;
TFM_Information *g_informationScreen = nullptr;
TFM_LanCfg *g_lanScreen = nullptr;
TFM_DevInfo *g_devInfoScreen = nullptr;
TAboutForm *g_aboutForm = nullptr;
TFM_Firmware *g_firmwareScreen = nullptr;
TFM_CfgFile *g_cfgFileScreen = nullptr;
TLogForm *g_logForm = nullptr;
TLogSetForm *g_logSetForm = nullptr;
TFM_DHCP *g_dhcpScreen = nullptr;
TFM_VlanSetting *g_vlanScreen = nullptr;
TFM_LRADIUSSer *g_radiusScreen = nullptr;
TFM_QosSetting *g_qosScreen = nullptr;
TFM_Scheduling *g_schedulingScreen = nullptr;
TFM_TrafficCtrl *g_trafficScreen = nullptr;
TFM_Admin2 *g_adminScreen = nullptr;
TFM_Time *g_timeScreen = nullptr;
TClientInformation *g_clientInformation = nullptr;
TFM_WDSInfo *g_wdsInfoScreen = nullptr;
TFM_FilterMACACL *g_filterMacAclScreen = nullptr;
TFM_WLANPart *g_wlanPartScreen = nullptr;
TFM_Performace *g_performanceScreen = nullptr;
TFM_RogueAP *g_rogueScreen = nullptr;
TFM_Wirless *g_wirelessScreen = nullptr;
TFM_MultiSSIDNewForm *g_multiSsidScreen = nullptr;
TFM_Static *g_staticScreen = nullptr;
TFM_StatWLAN *g_statWlanScreen = nullptr;
TFM_APArray *g_apArrayScreen = nullptr;

QComboBox *hiddenCombo(QWidget *parent, const char *name)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(QLatin1String(name));
    box->hide();
    return box;
}

QLineEdit *hiddenEdit(QWidget *parent, const char *name)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->hide();
    return edit;
}

} // namespace

TMainForm *MainForm()
{
    return g_mainForm;
}

TMainForm::TMainForm(QWidget *parent) : QMainWindow(parent)
{
    g_mainForm = this;
    SetHostWindow(this);
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("RWN-3460"));
    setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowMinimizeButtonHint
                   | Qt::WindowCloseButtonHint);
    BuildPanel();
    BuildHiddenFields();
    BuildMenu();
    m_statusBar = new QStatusBar(this);
    m_statusBar->setObjectName(QStringLiteral("MainStatusBar"));
    m_statusBar->setFixedHeight(19);
    m_statusBar->setSizeGripEnabled(false);
    setStatusBar(m_statusBar);
    m_restartLine = new QLabel(m_statusBar);
    m_restartLine->setObjectName(QStringLiteral("La_RestartCheck"));
    m_restartLine->setAccessibleName(QStringLiteral("Restart check"));
    m_statusBar->addPermanentWidget(m_restartLine);
    // Mnemonics before the size: the menu's height does not change with them.
    KxAssignMnemonics(menuBar());
    KxNameControls(this);
    setFixedSize(481, 148 + 19 + menuBar()->sizeHint().height());
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - QPoint(width() / 2, height() / 2));

    m_ledStatus.setObjectName(QStringLiteral("LedStatus"));
    m_ledStatus.setInterval(2000);
    m_ledStatus.setSingleShot(true); // the poll restarts it when an answer is in
    m_ledBlink.setObjectName(QStringLiteral("LedBlink"));
    m_ledBlink.setInterval(500);
    m_timer1.setObjectName(QStringLiteral("Timer1"));
    m_timer1.setInterval(2000);
    connect(&m_ledStatus, &QTimer::timeout, this, &TMainForm::StatusPoll);
    connect(&m_ledBlink, &QTimer::timeout, this, &TMainForm::BlinkStep);
    connect(&m_timer1, &QTimer::timeout, this, &TMainForm::RefreshDeviceAddress);
    KxStartup::LoadProgramCatalogs();
}

bool TMainForm::FormCreate(const QStringList &arguments)
{
    KxRegistry registry;
    KxStartup startup(registry);
    KxStartupResult result = startup.Run(arguments);
    if (result.message) {
        const KxStartupMessage &m = *result.message;
        switch (m.kind) {
        case KxStartupMessage::Kind::Plain:
            Dialogs().ShowMessage(this, m.text);
            break;
        case KxStartupMessage::Kind::Warning:
            Dialogs().MessageBox(this, m.text, m.title);
            break;
        case KxStartupMessage::Kind::Error:
            Dialogs().ShowError(this, m.text);
            break;
        }
    }
    if (result.end)
        return false;
    m_lock = std::move(result.lock);
    setWindowTitle(result.caption);
    StartRequests();
    return true;
}

TMainForm::~TMainForm()
{
    m_ledStatus.stop();
    m_ledBlink.stop();
    m_timer1.stop();
    // Requests go first: an answer still on its way must find no half-destroyed window.
    // The module ends with this window, so nothing waits for answers still to come (a
    // silent device would hold every request's destruction for its full wait).
    if (m_pollRequest)
        m_pollRequest->Forget();
    for (KxSNMPRequest2Edits *r : {m_addressRequest.get(), m_lanRequest.get(), m_bandRequest.get(),
                                   m_commandRequest.get()}) {
        if (r)
            r->Request.Forget();
    }
    m_pollRequest.reset();
    m_addressRequest.reset();
    m_lanRequest.reset();
    m_bandRequest.reset();
    m_commandRequest.reset();
    m_lock.reset();
    if (g_mainForm == this)
        g_mainForm = nullptr;
    if (HostWindow() == this)
        SetHostWindow(nullptr);
}

void TMainForm::BuildPanel()
{
    auto *central = new QWidget(this);
    central->setFixedSize(481, 148);
    auto *banner = new QLabel(central);
    banner->setObjectName(QStringLiteral("Image2"));
    banner->setGeometry(0, 0, 472, 148);
    banner->setScaledContents(true);
    banner->setPixmap(DrawFrontPanel());
    banner->setAccessibleName(QStringLiteral("Front panel"));
    auto lamp = [central](const char *name, const char *caption, int x, int y) {
        auto *l = new KxLamp(QLatin1String(caption), central);
        l->setObjectName(QLatin1String(name));
        l->move(x, y);
        return l;
    };
    // Named as the panel's captions under them.
    m_power = lamp("LED_Power", "PWR", 289, 45);
    m_lan5 = lamp("LED_5GLan", "5G", 178, 46);
    m_lan24 = lamp("LED_24GLan", "2.4G", 200, 46);
    m_apStatus = lamp("LED_APstatus", "AP", 222, 46);
    setCentralWidget(central);
}

void TMainForm::BuildHiddenFields()
{
    QWidget *host = centralWidget();
    m_ipAddress = hiddenEdit(host, "IPAddressEdit");
    m_subMask = hiddenEdit(host, "SubMaskEdit");
    m_sysIpAddress = hiddenEdit(host, "Ed_SysIpaddress");
    m_band = hiddenCombo(host, "CB_Band");
    m_saveAct = hiddenCombo(host, "Cbox_SaveAct");
    m_discard = hiddenCombo(host, "Cbox_Discard");
    m_restart = hiddenCombo(host, "Cbox_Restart");
}

QAction *TMainForm::AddEntry(QMenu *menu, const QString &text, const std::function<void()> &open)
{
    QAction *action = menu->addAction(text);
    action->setObjectName(text);
    if (open)
        connect(action, &QAction::triggered, this, open);
    else
        action->setEnabled(false); // its screen is not part of this build yet
    return action;
}

void TMainForm::BuildMenu()
{
    QMenuBar *bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    bar->setNativeMenuBar(false);

    QMenu *home = bar->addMenu(QStringLiteral("Home"));
    AddEntry(home, QStringLiteral("Information"), [this] { OpenScreen(g_informationScreen, this); });
    AddEntry(home, QStringLiteral("Wireless"), [this] {
        OpenScreen(g_wirelessScreen, this);
        try { // the screen may have changed the band
            if (m_bandRequest)
                m_bandRequest->GetIntoControls();
        } catch (const KxException &) {
        }
    });
    AddEntry(home, QStringLiteral("LAN"), [this] { OpenScreen(g_lanScreen, this); });

    QMenu *advanced = bar->addMenu(QStringLiteral("Advanced"));
    AddEntry(advanced, QStringLiteral("Performance"), [this] { OpenScreen(g_performanceScreen, this); });
    QMenu *filter = advanced->addMenu(QStringLiteral("Filter"));
    AddEntry(filter, QStringLiteral("Wireless MAC ACL"), [this] { OpenScreen(g_filterMacAclScreen, this); });
    AddEntry(filter, QStringLiteral("WLAN Partition"), [this] { OpenScreen(g_wlanPartScreen, this); });
    AddEntry(advanced, QStringLiteral("Multi-SSID"), [this] { OpenScreen(g_multiSsidScreen, this); });
    AddEntry(advanced, QStringLiteral("DHCP Server"), [this] { OpenScreen(g_dhcpScreen, this); });
    AddEntry(advanced, QStringLiteral("Intrusion"), [this] { OpenScreen(g_rogueScreen, this); });
    AddEntry(advanced, QStringLiteral("Scheduling"), [this] { OpenScreen(g_schedulingScreen, this); });
    // The entry stays hidden, so the menu never offers it. An administrator who knows the
    // screen is there opens it with Ctrl+Alt+Q, a shortcut of the window itself: a hidden
    // entry's own shortcut would never fire.
    const auto openQos = [this] { OpenScreen(g_qosScreen, this); };
    AddEntry(advanced, QStringLiteral("Qos Setting"), openQos)->setVisible(false);
    QAction *qosKey = addAction(QStringLiteral("Qos Setting shortcut"));
    qosKey->setObjectName(QStringLiteral("Qos Setting shortcut"));
    qosKey->setShortcut(QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_Q));
    connect(qosKey, &QAction::triggered, this, openQos);
    AddEntry(advanced, QStringLiteral("Vlan Setting"), [this] { OpenScreen(g_vlanScreen, this); });
    AddEntry(advanced, QStringLiteral("AP Array"), [this] { OpenScreen(g_apArrayScreen, this); });
    AddEntry(advanced, QStringLiteral("Internal RADIUS Server"), [this] { OpenScreen(g_radiusScreen, this); });
    AddEntry(advanced, QStringLiteral("Traffic Control"), [this] { OpenScreen(g_trafficScreen, this); });

    QMenu *tools = bar->addMenu(QStringLiteral("Tools"));
    AddEntry(tools, QStringLiteral("Admin"), [this] { OpenScreen(g_adminScreen, this); });
    AddEntry(tools, QStringLiteral("System"), [this] { OpenScreen(g_systemScreen, this); });
    AddEntry(tools, QStringLiteral("Firmware"), [this] { OpenScreen(g_firmwareScreen, this); });
    AddEntry(tools, QStringLiteral("Time and Date"), [this] { OpenScreen(g_timeScreen, this); });
    AddEntry(tools, QStringLiteral("Configuration File"), [this] { OpenScreen(g_cfgFileScreen, this); });

    QMenu *configuration = bar->addMenu(QStringLiteral("Configuration"));
    AddEntry(configuration, QStringLiteral("Save and Activate"), [this] { SaveAndActivate(); });
    AddEntry(configuration, QStringLiteral("Discard Changes"), [this] { DiscardChanges(); });

    QMenu *status = bar->addMenu(QStringLiteral("Status"));
    AddEntry(status, QStringLiteral("Device Info"), [this] { OpenScreen(g_devInfoScreen, this); });
    AddEntry(status, QStringLiteral("Client Infomation"), [this] { OpenScreen(g_clientInformation, this); });
    AddEntry(status, QStringLiteral("WDS Information"), [this] { OpenScreen(g_wdsInfoScreen, this); });
    QMenu *stats = status->addMenu(QStringLiteral("Stats"));
    AddEntry(stats, QStringLiteral("Ethernet"), [this] { OpenScreen(g_staticScreen, this); });
    AddEntry(stats, QStringLiteral("WLAN"), [this] { OpenScreen(g_statWlanScreen, this); });
    QMenu *log = status->addMenu(QStringLiteral("Log"));
    AddEntry(log, QStringLiteral("View Log"), [this] { OpenScreen(g_logForm, this); });
    AddEntry(log, QStringLiteral("Log Settings"), [this] { OpenScreen(g_logSetForm, this); });

    QMenu *help = bar->addMenu(QStringLiteral("Help"));
    AddEntry(help, QStringLiteral("About"), [this] { OpenScreen(g_aboutForm, this); });
}

void TMainForm::BuildRequests()
{
    m_pollRequest = std::make_unique<KxSNMPRequest>();
    m_pollRequest->VarList = KxSNMPVarList(kStatusPoll, KxItemType::Scalars, 0);
    m_pollRequest->Timeout = 3000;

    m_addressRequest = std::make_unique<KxSNMPRequest2Edits>(this);
    m_addressRequest->VarList() = KxSNMPVarList(kDeviceAddress, KxItemType::Instance, 0);
    m_addressRequest->BindControl(0, QStringLiteral("%s"), m_ipAddress);
    m_addressRequest->BindControl(1, QStringLiteral("%s"), m_subMask);

    m_lanRequest = std::make_unique<KxSNMPRequest2Edits>(this);
    m_lanRequest->VarList() = KxSNMPVarList(kLanAddress, KxItemType::Instance, 0);
    m_lanRequest->Asynchronous = false;
    m_lanRequest->Request.Timeout = 1000;
    m_lanRequest->BindControl(0, QStringLiteral("%s"), m_sysIpAddress);

    m_bandRequest = std::make_unique<KxSNMPRequest2Edits>(this);
    m_bandRequest->VarList() = KxSNMPVarList(KxDevice::BandObjects(), KxItemType::Instance, 0);
    m_bandRequest->Asynchronous = false;
    m_bandRequest->Request.Timeout = 10000;
    m_bandRequest->BindControl(0, m_band);

    m_commandRequest = std::make_unique<KxSNMPRequest2Edits>(this);
    m_commandRequest->VarList() = KxSNMPVarList(kDeviceCommands, KxItemType::Scalars, 0);
    m_commandRequest->Asynchronous = false;
    m_commandRequest->Request.Timeout = 10000;
    m_commandRequest->BindControl(0, m_saveAct);
    m_commandRequest->BindControl(1, m_discard);
    m_commandRequest->BindControl(2, m_restart);
    // Binding fills the lists and selects their first items; until the device has
    // answered, they show what a failed read leaves: nothing selected.
    for (QComboBox *box : {m_band, m_saveAct, m_discard, m_restart})
        box->setCurrentIndex(-1);
}

namespace {

// The main window's reads other than the status poll fail silently: the fields keep
// what they held and the lamps tell the user whether the device answers.
void silently(KxSNMPRequest2Edits &request)
{
    try {
        request.GetIntoControls();
    } catch (const KxException &) {
    }
}

} // namespace

void TMainForm::StartRequests()
{
    BuildRequests();
    StatusPoll();
    silently(*m_addressRequest);
    ReadStartupValues();
    m_ledBlink.start();
    m_timer1.start();
}

// The LAN address, the band and the device commands are read without holding the
// window: a device that is off or misaddressed would keep it from showing for minutes
// (per try 10 s, 100 s and 100 s). Their values arrive in the hidden fields when the
// device answers; until then the fields stay as a failed read leaves them.
void TMainForm::ReadStartupValues()
{
    ReadInBackground(*m_lanRequest, m_wantLan);
    ReadInBackground(*m_bandRequest, m_wantBand);
    ReadInBackground(*m_commandRequest, m_wantCommands);
}

void TMainForm::ReadInBackground(KxSNMPRequest2Edits &request, bool &wanted)
{
    // Not again while one is on its way, nor once the value is in.
    if (!wanted || request.Request.PendingCount() > 0)
        return;
    request.OnGetComplete = [&wanted](KxSNMPRequest2Controls *, const KxSNMPError &e) {
        if (e.Code == 0)
            wanted = false;
    };
    // Only this read: the request's writes stay synchronous.
    request.Asynchronous = true;
    silently(request);
    request.Asynchronous = false;
}

void TMainForm::StatusPoll()
{
    m_ledStatus.stop();
    if (!m_pollRequest)
        return;
    m_pollRequest->Timeout = PollTimeout;
    try {
        m_pollRequest->GetAsync([this](void *, const KxSNMPError &e, KxSNMPVarList &) { PollCompleted(e); },
                                nullptr, true);
    } catch (const KxException &e) {
        Darken();
        m_statusText = e.Text();
        ShowStatus();
        m_ledStatus.start();
    }
}

void TMainForm::PollCompleted(const KxSNMPError &error)
{
    if (error.Code != 0) {
        Darken();
        m_lampsLit = false;
        m_statusText = error.Text;
    } else {
        // A device that answers only now (it was off at start-up, or the start-up reads
        // timed out) still gets its start-up values read, without a restart.
        if (!m_lampsLit)
            ReadStartupValues();
        m_lampsLit = true;
        // The poll report always says AM or PM, whatever the user's language.
        m_statusText = RequestLogLine(0, QString(), error.Text, QTime::currentTime(), KxTimeMarker::English);
        BlinkStep();
    }
    ShowStatus();
    m_ledStatus.start();
}

void TMainForm::Darken()
{
    for (KxLamp *lamp : {m_power, m_lan5, m_lan24, m_apStatus}) {
        lamp->setColor(KxLamp::Dark);
        lamp->setBlinking(false);
        lamp->show();
    }
}

bool TMainForm::event(QEvent *event)
{
    // A menu's or control's status tip would replace the last report in the status
    // line (an empty tip even clears it); the line shows the last report instead.
    if (event->type() == QEvent::StatusTip)
        return true;
    return QMainWindow::event(event);
}

void TMainForm::ShowStatus()
{
    m_statusBar->showMessage(m_statusText);
}

void TMainForm::BlinkStep()
{
    if (!m_lampsLit)
        return;
    m_power->setColor(KxLamp::Lit);
    m_power->show();
    m_apStatus->setColor(KxLamp::Lit);
    m_apStatus->show();
    auto toggle = [](KxLamp *lamp) {
        lamp->setColor(lamp->color() == KxLamp::Dark ? KxLamp::Lit : KxLamp::Dark);
        lamp->show();
    };
    if (m_band->currentIndex() == 0) {
        toggle(m_lan24);
        m_lan24->setBlinking(true);
        m_lan5->setColor(KxLamp::Dark);
        m_lan5->setBlinking(false);
        m_lan5->hide();
    } else if (m_band->currentIndex() == 1) {
        toggle(m_lan5);
        m_lan5->setBlinking(true);
        m_lan24->setColor(KxLamp::Dark);
        m_lan24->setBlinking(false);
        m_lan24->hide();
    }
}

void TMainForm::RefreshDeviceAddress()
{
    if (m_refreshCount == 7) {
        m_ipAddress->clear();
        m_subMask->clear();
        m_refreshCount = 0;
    }
    if (m_addressRequest)
        silently(*m_addressRequest);
    ++m_refreshCount;
}

bool TMainForm::IsValidIpAddress(const QString &text)
{
    return ::IsValidIpAddress(text);
}

bool TMainForm::IsValidSubnetMask(const QString &text)
{
    return ::IsValidSubnetMask(text);
}

bool TMainForm::FindLocalAddress(QLineEdit *edit)
{
    const KxDeviceNetwork device{m_ipAddress->text(), m_subMask->text(), m_sysIpAddress->text()};
    return ::FindLocalAddress(edit, device, m_report);
}

QString TMainForm::DeviceAddress() const
{
    return m_ipAddress->text();
}

QString TMainForm::DeviceMask() const
{
    return m_subMask->text();
}

QString TMainForm::LanAddress() const
{
    return m_sysIpAddress->text();
}

int TMainForm::BandItem() const
{
    return m_band->currentIndex();
}

bool TMainForm::Lamp24GLime() const
{
    return m_lan24->color() == KxLamp::Lit;
}

void TMainForm::SaveAndActivate()
{
    if (!m_commandRequest)
        return;
    // The selections are the user's from now on: a start-up read still on its way
    // must not put the device's idle values over them.
    m_commandRequest->Request.Forget();
    m_wantCommands = false;
    applyOptions().Select(m_saveAct, QStringLiteral("apply"));
    rebootOptions().Select(m_restart, QStringLiteral("reboot"));
    m_restartCheck.Arm();
    m_commandRequest->SetFromControls(true, true);
    rebootOptions().Select(m_restart, QStringLiteral("nothing"));
    TFM_Waiting waiting(this);
    waiting.Countdown = 60;
    waiting.SendRestartCommand = false;
    waiting.SetLines(QStringLiteral("The device is activate..."), QStringLiteral("Please DO NOT POWER OFF the device"));
    WaitForRestart(waiting);
}

void TMainForm::WaitForRestart(TFM_Waiting &waiting)
{
    m_restartLine->clear();
    Dialogs().RunModal(&waiting);
    m_restartCheck.Check(false, [this](KxRestartCheck::Result result, const QString &text) {
        // Short, beside the poll line; the whole sentence for a screen reader and the
        // tool tip.
        m_restartLine->setText(result == KxRestartCheck::Restarted      ? QStringLiteral("restarted")
                               : result == KxRestartCheck::NotRestarted ? QStringLiteral("did not restart")
                                                                        : QStringLiteral("no answer"));
        m_restartLine->setToolTip(text);
        m_restartLine->setAccessibleDescription(text);
        if (result == KxRestartCheck::NotRestarted)
            Dialogs().MessageBox(this, text, QStringLiteral("Warning"));
    });
}

void TMainForm::DiscardChanges()
{
    if (!m_commandRequest)
        return;
    // The selections are the user's from now on: a start-up read still on its way
    // must not put the device's idle values over them.
    m_commandRequest->Request.Forget();
    m_wantCommands = false;
    applyOptions().Select(m_discard, QStringLiteral("apply"));
    rebootOptions().Select(m_restart, QStringLiteral("nothing"));
    m_restartCheck.Arm();
    m_commandRequest->SetFromControls(true, true);
    TFM_Waiting waiting(this);
    waiting.Countdown = 81;
    waiting.SendRestartCommand = false;
    waiting.SetLines(QStringLiteral("The device is rebooting..."), QStringLiteral("Please DO NOT POWER OFF the device"));
    WaitForRestart(waiting);
}
