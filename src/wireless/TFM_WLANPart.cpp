#include "TFM_WLANPart.h"

#include "KxDeviceObjects.h"
#include "KxRadioGroup.h"
#include "KxSavedMarks.h"
#include "TFM_WirlessObjects.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QPushButton>

namespace {

#define PARTITION KX_DEVICE_ROOT ".2.1.3.3.2.3.1.1"

using namespace KxAccess;
using namespace KxSyntax;

const KxIntOption kOnOff[] = {{0, "Disable"}, {1, "Enable"}, {0, nullptr}};
const KxIntOption kStation[] = {{0, "Disabled"}, {1, "Enabled"}, {2, "Guestmode"}, {0, nullptr}};
const KxIntOption kStationLate[] = {{0, "Disable"}, {1, "Enable"}, {2, "Guestmode"}, {0, nullptr}};
const KxOptionList &onOff() { static const KxOptionList l(kOnOff); return l; }
const KxOptionList &station() { static const KxOptionList l(kStation); return l; }
const KxOptionList &stationLate() { static const KxOptionList l(kStationLate); return l; }

const KxSNMPVarDesc kPartition[] = {
    {PARTITION ".2.1", "dot11EthernetToWlanAccess", Integer, ReadWrite, &onOff()},
    {PARTITION ".4.1", "dot11InternalStationConnectionPrimarySSID", Integer, ReadWrite, &station()},
    {PARTITION ".5.1", "dot11InternalStationConnectionMultiSSID1", Integer, ReadWrite, &station()},
    {PARTITION ".6.1", "dot11InternalStationConnectionMultiSSID2", Integer, ReadWrite, &station()},
    {PARTITION ".7.1", "dot11InternalStationConnectionMultiSSID3", Integer, ReadWrite, &station()},
    {PARTITION ".8.1", "dot11InternalStationConnectionMultiSSID4", Integer, ReadWrite, &station()},
    {PARTITION ".9.1", "dot11InternalStationConnectionMultiSSID5", Integer, ReadWrite, &stationLate()},
    {PARTITION ".10.1", "dot11InternalStationConnectionMultiSSID6", Integer, ReadWrite, &stationLate()},
    {PARTITION ".11.1", "dot11InternalStationConnectionMultiSSID7", Integer, ReadWrite, &stationLate()},
    {KX_DEVICE_ROOT ".3.2.1.1.3.1", "dot11LinkIntegrate", Integer, ReadWrite, &onOff()},
    {nullptr},
};
enum PartitionVar { Access, FirstStation, Link = 9 };

constexpr int kTimeout = 10000;
constexpr int kWirelessClient = 3; // item of CB_ApMode

QComboBox *combo(QWidget *parent, const char *name)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(QLatin1String(name));
    return box;
}

} // namespace

QStringList TFM_WLANPart::StationItems()
{
    // Item k is device value k. The device names value 0 "Disabled" and 1 "Enabled", so
    // the items say so: the other way round, a user choosing "Enable" would turn the
    // stations' connection off.
    return {QStringLiteral("Disable "), QStringLiteral("Enable"), QStringLiteral("GuestMode")};
}

TFM_WLANPart::TFM_WLANPart(QWidget *parent)
    : KxScreen(QStringLiteral("FM_WLANPart"), QStringLiteral("Advanced \\WLAN Partition"), parent)
{
    BuildForm();
    Load();
}

TFM_WLANPart::~TFM_WLANPart()
{
    StopRequests();
}

void TFM_WLANPart::BuildForm()
{
    QFormLayout *form = AddGroup();
    m_band = combo(this, "CB_WBand");
    form->addRow(QStringLiteral("Wireless Band"), m_band);
    m_access = combo(this, "CB_WLANAccess");
    form->addRow(QStringLiteral("Ethernet to WLAN Access"), m_access);
    m_link = combo(this, "Cbox_LinkInte");
    form->addRow(QStringLiteral("Link Integrity"), m_link);
    onOff().Fill(m_access);
    onOff().Fill(m_link);
    KxDevice::BandOptions().Fill(m_band);
    connect(m_access, &QComboBox::activated, this, &TFM_WLANPart::CB_WLANAccessChange);

    auto *stations = new QGroupBox(QStringLiteral("Internal Station Connection"), this);
    stations->setObjectName(QStringLiteral("GroupBox1"));
    auto *column = new QVBoxLayout(stations);
    Body()->addWidget(stations);
    for (int i = 0; i < 8; ++i) {
        const QString title = i == 0 ? QStringLiteral("Primary SSID") : QStringLiteral("Multi-SSID %1 ").arg(i);
        auto *group = new KxRadioGroup(title, stations);
        group->setObjectName(QStringLiteral("RadioGroup%1").arg(i + 1));
        group->setItems(StationItems());
        if (auto *line = qobject_cast<QBoxLayout *>(group->layout()))
            line->setDirection(QBoxLayout::LeftToRight); // three columns
        column->addWidget(group);
        m_groups[size_t(i)] = group;
        m_stations[size_t(i)] = AddHidden<QComboBox>(
            qPrintable(i == 0 ? QStringLiteral("Cbox_PriSSID") : QStringLiteral("Cbox_MultiSSID%1").arg(i)));
    }

    m_apply = AddButton(QStringLiteral("Apply"), "Btn_Apply");
    connect(m_apply, &QPushButton::clicked, this, &TFM_WLANPart::Btn_ApplyClick);
    m_apMode = AddHidden<QComboBox>("CB_ApMode");
    m_mssid = AddHidden<QCheckBox>("Chkbox_MulssidStatus");
    m_applySetting = AddHidden<QComboBox>("CB_DeviceApplySetting");
}

void TFM_WLANPart::CreateRequests()
{
    m_bandRequest = MakeRequest(KxDevice::BandObjects(), KxItemType::Instance, 0, false, kTimeout, false);
    m_bandRequest->BindControl(0, m_band);
    m_modeRequest = MakeRequest(KxDevice::ApModeObjects(), KxItemType::Instance, 0, false, kTimeout);
    m_modeRequest->BindControl(0, m_apMode);
    m_mssidRequest = MakeRequest(WirlessObjects::MssidState(), KxItemType::Instance, 0, false, kTimeout, false);
    m_mssidRequest->BindControl(0, m_mssid);
    m_partition = MakeRequest(kPartition, KxItemType::Instance, 0, false, kTimeout);
    m_partition->BindControl(Access, m_access);
    for (int i = 0; i < 8; ++i)
        m_partition->BindControl(FirstStation + i, m_stations[size_t(i)]);
    m_partition->BindControl(Link, m_link);
}

void TFM_WLANPart::Load()
{
    Guard([this] {
        CreateRequests();
        m_bandRequest->GetIntoControls();
    });
    m_band->setEnabled(false);
    if (m_modeRequest)
        Guard([this] { m_modeRequest->GetIntoControls(); });
    if (m_mssidRequest)
        Guard([this] { m_mssidRequest->GetIntoControls(); });
    if (m_partition) {
        Guard([this] {
            m_read = m_partition->GetIntoControls();
            for (int i = 0; i < 8; ++i)
                m_groups[size_t(i)]->setItemIndex(m_stations[size_t(i)]->currentIndex());
        });
    }
    Guard([this] {
        m_applyRequest = MakeRequest(KxDevice::ApplyObjects(), KxItemType::Scalars, 0, true, kTimeout, false);
        m_applyRequest->BindControl(0, m_applySetting);
        m_applyRequest->OnSetComplete = [this](KxSNMPRequest2Controls *, const KxSNMPError &e) { ApplyDone(e); };
    });
    Chkbox_MulssidStatusClick();
    ArrangeByMode();
    // Written back unread, every combo without a selection would send 0.
    m_apply->setEnabled(m_read && m_applyRequest);
}

void TFM_WLANPart::Chkbox_MulssidStatusClick()
{
    const bool all = m_mssid->isChecked();
    m_groups[0]->setEnabled(true);
    for (size_t i = 1; i < m_groups.size(); ++i)
        m_groups[i]->setEnabled(all);
}

void TFM_WLANPart::ArrangeByMode()
{
    const bool client = m_apMode->currentIndex() == kWirelessClient;
    m_link->setEnabled(!client);
    m_access->setEnabled(!client);
    if (client) {
        for (KxRadioGroup *group : m_groups)
            group->setEnabled(false);
    } else {
        Chkbox_MulssidStatusClick();
    }
}

void TFM_WLANPart::CB_WLANAccessChange()
{
    if (m_access->currentIndex() == 0)
        Dialogs().MessageBox(this,
                             QStringLiteral("AP will block all multicast/broadcast packets from Ethernet to "
                                            "wireless,except DHCP'S !"),
                             QStringLiteral("Waring"));
}

void TFM_WLANPart::Btn_ApplyClick()
{
    if (!m_read || !m_applyRequest)
        return;
    KxDevice::ApplyOptions().Select(m_applySetting, QStringLiteral("apply"));
    for (size_t i = 0; i < m_groups.size(); ++i)
        if (m_groups[i]->itemIndex() >= 0)
            m_stations[i]->setCurrentIndex(m_groups[i]->itemIndex());
    m_partitionWritten = false;
    {
        KxSavedMarks marks({m_partition});
        KxExcludeUnselected(m_partition);
        Guard([this] { m_partitionWritten = m_partition->SetFromControls(true, true); });
    }
    // The apply's answer comes later: the outcome is told when it is in.
    m_apply->setEnabled(false);
    const bool sent = Guard([this] { m_applyRequest->SetFromControls(true, true); });
    if (!sent) {
        m_apply->setEnabled(true);
        ShowStatus(QStringLiteral("Setting Error!"));
    }
}

void TFM_WLANPart::ApplyDone(const KxSNMPError &error)
{
    m_apply->setEnabled(true);
    ShowStatus(m_partitionWritten && error.Code == 0 ? QStringLiteral("Setting Success!")
                                                       : QStringLiteral("Setting Error!"));
}
