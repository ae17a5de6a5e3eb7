#include "TFM_Performace.h"

#include "KxDeviceObjects.h"
#include "KxEditConstraint.h"
#include "TFM_WirlessObjects.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

#define RADIO KX_DEVICE_ROOT ".2.1.3.3.1.1.1"
#define GROUPING KX_DEVICE_ROOT ".3.2.1.1"

using namespace KxAccess;
using namespace KxSyntax;

const KxIntOption kOnOff[] = {{0, "Disable"}, {1, "Enable"}, {0, nullptr}};
const KxIntOption kPower[] = {{1, "100%"}, {2, "50%"}, {3, "25%"}, {4, "12.5%"}, {0, nullptr}};
const KxIntOption kRadioWave[] = {{0, "Off"}, {1, "On"}, {0, nullptr}};
const KxIntOption kUtilization[] = {{10, "100%"}, {8, "80%"}, {6, "60%"}, {4, "40%"}, {2, "20%"}, {0, "0"}, {0, nullptr}};
const KxIntOption kApMode[] = {
    {1, "Access Point"}, {2, "WDS With Ap"}, {3, "WDS"}, {4, "Wireless Client"}, {0, nullptr}};
const KxIntOption kWidth[] = {{1, "20MHz"}, {2, "Auto 20/40 MHz"}, {0, nullptr}};
const KxOptionList &onOff() { static const KxOptionList l(kOnOff); return l; }
const KxOptionList &powers() { static const KxOptionList l(kPower); return l; }
const KxOptionList &radioWaves() { static const KxOptionList l(kRadioWave); return l; }
const KxOptionList &utilizations() { static const KxOptionList l(kUtilization); return l; }
const KxOptionList &apModes() { static const KxOptionList l(kApMode); return l; }
const KxOptionList &widths() { static const KxOptionList l(kWidth); return l; }

const KxSNMPVarDesc kPerformance[] = {
    {RADIO ".17.1", "dot11BeaconInterval", Integer, ReadWrite},
    {RADIO ".18.1", "dot11Dtim", Integer, ReadWrite},
    {RADIO ".21.1", "dot11TransmitPower", Integer, ReadWrite, &powers()},
    {RADIO ".25.1", "dot11Wmm", Integer, ReadWrite, &onOff()},
    {RADIO ".32.1", "dot11ShortGI", Integer, ReadWrite, &onOff()},
    {RADIO ".33.1", "dot11Igmpsnooping", Integer, ReadWrite, &onOff()},
    {RADIO ".23.1", "dot11RadioWave", Integer, ReadWrite, &radioWaves()},
    {RADIO ".11.1", "dot11DataRate", DisplayString, ReadWrite},
    {GROUPING ".1.1", "dot11LoadBalance", Integer, ReadWrite, &onOff()},
    {GROUPING ".2.1", "dot11UserLimit", Integer, ReadWrite},
    {GROUPING ".3.1", "dot11LinkIntegrate", Integer, ReadWrite, &onOff()},
    {RADIO ".31.1", "dot11AckTimeout", Integer, ReadWrite},
    {RADIO ".20.1", "dot11Band2dot4GHzDataRateList", DisplayString, ReadOnly},
    {GROUPING ".5.1", "dot11NetworkUtilization", Integer, ReadWrite, &utilizations()},
    {RADIO ".35.1", "dot11Band5GHzDataRateList", DisplayString, ReadOnly},
    {nullptr},
};
const KxSNMPVarDesc kApModeObjects[] = {
    {KxDevice::ApModeOid, "dot11ApMode", Integer, ReadWrite, &apModes()},
    {nullptr},
};
const KxSNMPVarDesc kWidthObjects[] = {
    {RADIO ".29.1", "dot11ChannelWidth", Integer, ReadWrite, &widths()},
    {nullptr},
};

constexpr int kTimeout = 10000;

} // namespace

TFM_Performace::TFM_Performace(QWidget *parent)
    : KxScreen(QStringLiteral("FM_Performace"), QStringLiteral("Advanced \\ Performance"), parent), m_wait(this)
{
    BuildForm();
    Guard([this] { CreateRequests(); });
    Bt_Refresh_aClick();
}

TFM_Performace::~TFM_Performace()
{
    StopRequests();
    m_wait.Close();
}

void TFM_Performace::BuildForm()
{
    m_page = new QTabWidget(this);
    m_page->setObjectName(QStringLiteral("PageControl1"));
    auto *page = new QWidget(m_page);
    auto *stack = new QVBoxLayout(page);
    m_page->addTab(page, QStringLiteral("Advanced Wireless Settings"));
    Body()->addWidget(m_page);
    auto *box = new QGroupBox(QStringLiteral("Advance Wireless Settings"), page);
    auto *form = new QFormLayout(box);
    stack->addWidget(box);

    const auto combo = [&](const char *name, const QString &caption, const KxOptionList *options) {
        auto *c = new QComboBox(box);
        c->setObjectName(QLatin1String(name));
        if (options)
            options->Fill(c);
        if (!caption.isEmpty())
            form->addRow(caption, c);
        return c;
    };
    const auto edit = [&](const char *name, const QString &caption) {
        auto *e = new QLineEdit(box);
        e->setObjectName(QLatin1String(name));
        form->addRow(caption, e);
        return e;
    };
    m_radio = combo("CB_Radio", QStringLiteral("Wireless "), &radioWaves());
    m_wMode1 = combo("CB_WMode1", {}, nullptr);
    m_wMode2 = combo("CB_WMode2", {}, nullptr);
    auto *modes = new QHBoxLayout;
    modes->addWidget(m_wMode1);
    modes->addWidget(m_wMode2);
    form->addRow(QStringLiteral("Wireless Mode"), modes);
    m_wMode1->setAccessibleName(QStringLiteral("Wireless Mode"));
    m_wMode2->setAccessibleName(QStringLiteral("Wireless Mode"));
    m_rate = combo("CB_DRate", QStringLiteral("Data Rate"), nullptr);
    m_beacon = edit("Ed_BeInta", QStringLiteral("Beacon Interval (25-500)"));
    m_dtim = edit("Ed_DTIMa", QStringLiteral("DTIM interval (1-15)"));
    m_power = combo("CB_TranPa", QStringLiteral("Transmit Power"), &powers());
    m_wmm = combo("CB_WMM", QStringLiteral("WMM(Wi-Fi Multimedia )"), &onOff());
    m_shortGi = combo("CB_ShortGI", QStringLiteral("Short GI"), &onOff());
    m_igmp = combo("CB_IGMPSnooping", QStringLiteral("IGMP Snooping"), &onOff());
    m_grouping = combo("CB_Grouping", QStringLiteral("Connection Limit "), &onOff());
    m_userLimit = edit("Ed_ULimit", QStringLiteral("User Limit(0-64)"));
    m_network = combo("CB_NetWork", QStringLiteral("Network Utilization "), &utilizations());
    m_ack = new QLineEdit(box);
    m_ack->setObjectName(QStringLiteral("Ed_AckTimeOut"));
    auto *ackRow = new QHBoxLayout;
    ackRow->addWidget(m_ack);
    ackRow->addWidget(new QLabel(QStringLiteral("us"), box));
    m_ackLabel = new QLabel(QStringLiteral("Ack Time Out (2.4GHz, 48~200)"), box);
    m_ackLabel->setObjectName(QStringLiteral("Lb_AckTimeOut"));
    m_ackLabel->setBuddy(m_ack);
    form->addRow(m_ackLabel, ackRow);
    KxSetTypingLimit(m_beacon, 4);

    m_applyButton = AddButton(QStringLiteral("Apply"), "Bt_Apply_a");
    m_refreshButton = AddButton(QStringLiteral("Refresh"), "Bt_Refresh_a");
    connect(m_applyButton, &QPushButton::clicked, this, &TFM_Performace::Bt_Apply_aClick);
    connect(m_refreshButton, &QPushButton::clicked, this, &TFM_Performace::Bt_Refresh_aClick);
    connect(m_wMode1, &QComboBox::activated, this, &TFM_Performace::CB_WMode1Change);
    connect(m_wMode2, &QComboBox::activated, this, &TFM_Performace::CB_WMode2Change);
    connect(m_grouping, &QComboBox::activated, this, &TFM_Performace::CB_GroupingChange);

    m_dataRate = AddHidden<QLineEdit>("Ed_TRate");
    m_list24 = AddHidden<QLineEdit>("Ed_24GDataRateList");
    m_list5 = AddHidden<QLineEdit>("Ed_5GDataRateList");
    m_country = AddHidden<QLineEdit>("ED_Country");
    m_link = AddHidden<QComboBox>("CB_Link");
    m_authentication = AddHidden<QComboBox>("CB_dot11Authentication");
    m_encryption = AddHidden<QComboBox>("CB_dot11Encryption");
    m_cipher = AddHidden<QComboBox>("CB_Clipher");
    m_apMode = AddHidden<QComboBox>("CB_ApMode");
    m_width = AddHidden<QComboBox>("CB_ChanWidth");
    m_band = AddHidden<QComboBox>("CB_Wireless");
}

void TFM_Performace::CreateRequests()
{
    using namespace WirlessObjects;
    m_countryRequest = MakeRequest(Country(), KxItemType::Instance, 0, false, 5000, false);
    m_countryRequest->BindControl(0, QStringLiteral("%s"), m_country);
    m_authRequest = MakeRequest(Auth(), KxItemType::Instance, 0, false, 5000, false);
    m_authRequest->VarList()[KeyIndex].Access = Excluded;
    m_authRequest->BindControl(Authentication, m_authentication);
    m_authRequest->BindControl(Encryption, m_encryption);
    m_cipherRequest = MakeRequest(Passphrase(), KxItemType::Instance, 0, false, 1000, false);
    m_cipherRequest->VarList()[PassPhrase].Access = Excluded;
    m_cipherRequest->VarList()[GroupKeyInterval].Access = Excluded;
    m_cipherRequest->BindControl(CipherType, m_cipher);

    m_performance = MakeRequest(kPerformance, KxItemType::Instance, 0, false, kTimeout, false);
    m_performance->BindControl(Beacon, QStringLiteral("%s"), m_beacon);
    m_performance->BindControl(Dtim, QStringLiteral("%s"), m_dtim);
    m_performance->BindControl(Power, m_power);
    m_performance->BindControl(Wmm, m_wmm);
    m_performance->BindControl(ShortGi, m_shortGi);
    m_performance->BindControl(Igmp, m_igmp);
    m_performance->BindControl(RadioWave, m_radio);
    m_performance->BindControl(DataRate, QStringLiteral("%s"), m_dataRate);
    m_performance->BindControl(LoadBalance, m_grouping);
    m_performance->BindControl(UserLimit, QStringLiteral("%s"), m_userLimit);
    m_performance->BindControl(Link, m_link);
    m_performance->BindControl(Ack, QStringLiteral("%s"), m_ack);
    m_performance->BindControl(RateList24, QStringLiteral("%s"), m_list24);
    m_performance->BindControl(Utilization, m_network);
    m_performance->BindControl(RateList5, QStringLiteral("%s"), m_list5);
    m_performance->BeforeSetHook = [this] { ShowPerfWait(); };

    m_apModeRequest = MakeRequest(kApModeObjects, KxItemType::Instance, 0, false, kTimeout);
    m_apModeRequest->BindControl(0, m_apMode);
    m_widthRequest = MakeRequest(kWidthObjects, KxItemType::Instance, 0, false, kTimeout, false);
    m_widthRequest->BindControl(0, m_width);
    m_bandRequest = MakeRequest(KxDevice::BandObjects(), KxItemType::Instance, 0, false, kTimeout);
    m_bandRequest->BindControl(0, m_band);
    m_wifiMode = MakeRequest(WifiMode24(), KxItemType::Instance, 0, false, kTimeout, false);
}
