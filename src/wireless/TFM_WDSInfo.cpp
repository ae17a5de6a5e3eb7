#include "TFM_WDSInfo.h"

#include "KxDeviceObjects.h"
#include "KxStations.h"

#include <QComboBox>
#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

namespace {

#define WIRELESS KX_DEVICE_ROOT ".2.1.3.3"
#define WDS WIRELESS ".5.2.1"

const KxIntOption kEncryption[] = {{0, "Disable"}, {1, "Enable"}, {0, nullptr}};
const KxIntOption kBand[] = {{0, "dot11a"}, {1, "dot11b"}, {2, "dot11g"}, {4, "dot11n"}, {0, nullptr}};
// The WDS table numbers its security modes its own way.
const KxIntOption kAuthentication[] = {
    {1, "opensystem"}, {2, "sharedkey"}, {3, "wpa-eap"}, {4, "wpa-psk"}, {6, "wpa2-eap"},
    {7, "wpa2-psk"}, {8, "wpa-auto-eap"}, {9, "wpa-auto-psk"}, {10, "dot1x"}, {0, nullptr}};

const KxOptionList &encryptions() { static const KxOptionList l(kEncryption); return l; }
const KxOptionList &bands() { static const KxOptionList l(kBand); return l; }
const KxOptionList &authentications() { static const KxOptionList l(kAuthentication); return l; }

const KxSNMPVarDesc kChannel[] = {
    {WIRELESS ".1.1.1.3.1", "dot11Channel", KxSyntax::Integer, KxAccess::ReadOnly},
    {WIRELESS ".1.1.1.10.1", "dot11Frequency", KxSyntax::DisplayString, KxAccess::ReadOnly},
    {nullptr},
};
const KxSNMPVarDesc kEncryptionObjects[] = {
    {WIRELESS ".2.1.1.2.1", "dot11Encryption", KxSyntax::Integer, KxAccess::ReadOnly, &encryptions()},
    {nullptr},
};
const KxSNMPVarDesc kTrigger[] = {
    {WIRELESS ".5.1.1.1.1", "dot11WdsRefresh", KxSyntax::Integer, KxAccess::ReadWrite,
     &KxStations::TriggerOptions()},
    {nullptr},
};
enum WdsColumn { IfIndex, WdsIndex, Mac, Band, Authentication, Rssi, Ssid, Connected, Status, Psm };
const KxSNMPVarDesc kTable[] = {
    {" ", "ifIndex", KxSyntax::Integer, KxAccess::Key},
    {WDS ".1", "dot11WdsIndex", KxSyntax::Integer, KxAccess::Key},
    {WDS ".2", "dot11WdsMacAddress", KxSyntax::MacAddress, KxAccess::ReadOnly},
    {WDS ".3", "dot11WdsBand", KxSyntax::Integer, KxAccess::ReadOnly, &bands()},
    {WDS ".4", "dot11WdsAuthentication", KxSyntax::Integer, KxAccess::ReadOnly, &authentications()},
    {WDS ".5", "dot11WdsRssi", KxSyntax::Integer, KxAccess::ReadOnly},
    {WDS ".7", "dot11WdsSsidIndex", KxSyntax::DisplayString, KxAccess::ReadOnly},
    {WDS ".8", "dot11WdsConnected", KxSyntax::Integer, KxAccess::ReadOnly},
    {WDS ".9", "dot11WdsStatus", KxSyntax::DisplayString, KxAccess::ReadOnly},
    {WDS ".10", "dot11WdsPsm", KxSyntax::Integer, KxAccess::ReadOnly},
    {nullptr},
};

constexpr int kTimeout = 10000;

QLabel *namedLabel(QWidget *parent, const char *name)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    return label;
}

} // namespace

TFM_WDSInfo::TFM_WDSInfo(QWidget *parent)
    : KxScreen(QStringLiteral("FM_WDSInfo"), QStringLiteral("Status \\ WDS Information"), parent)
{
    StatusBar()->setObjectName(QStringLiteral("StatusBar1"));
    auto *title = new QLabel(QStringLiteral("WDS Information"), this);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    Body()->addWidget(title);

    auto *line = new QHBoxLayout;
    m_channel = namedLabel(this, "Lb_Channel");
    m_channel->setAccessibleName(QStringLiteral("Channel"));
    m_band = namedLabel(this, "Lb_Band");
    m_band->setAccessibleName(QStringLiteral("Frequency (GHZ)"));
    line->addWidget(new QLabel(QStringLiteral("Channel : "), this));
    line->addWidget(m_channel);
    line->addWidget(new QLabel(QStringLiteral("("), this));
    line->addWidget(m_band);
    line->addWidget(new QLabel(QStringLiteral(")"), this));
    line->addWidget(new QLabel(QStringLiteral("GHZ"), this));
    line->addStretch();
    Body()->addLayout(line);

    m_peers = new QTreeWidget(this);
    m_peers->setObjectName(QStringLiteral("WDS_ClientListView"));
    m_peers->setAccessibleName(QStringLiteral("WDS Information"));
    m_peers->setRootIsDecorated(false);
    m_peers->setHeaderLabels({QStringLiteral("Name"), QStringLiteral("MAC"), QStringLiteral("Authentication"),
                              QStringLiteral("Signal"), QStringLiteral("Status ")});
    const int widths[] = {100, 145, 130, 120, 80};
    for (int c = 0; c < 5; ++c)
        m_peers->setColumnWidth(c, widths[c]);
    m_peers->setMinimumSize(600, 180);
    Body()->addWidget(m_peers);

    m_refresh = AddButton(QStringLiteral("Refresh"), "Btn_Refresh");
    QPushButton *close = AddButton(QStringLiteral("Close"), "Btn_Close");
    m_refresh->setAccessibleName(m_refresh->text());
    close->setAccessibleName(close->text());
    close->setDefault(true);
    connect(m_refresh, &QPushButton::clicked, this, &TFM_WDSInfo::Btn_RefreshClick);
    connect(close, &QPushButton::clicked, this, &QDialog::close);

    m_encryption = AddHidden<QComboBox>("CB_dot11Encryption");
    m_trigger = AddHidden<QComboBox>("IfGetInfo1");
    m_wds = AddHidden<QTreeWidget>("WDS_ListView");
    BuildRequests();
}

TFM_WDSInfo::~TFM_WDSInfo()
{
    StopRequests();
}

void TFM_WDSInfo::BuildRequests()
{
    const bool built = Guard([this] {
        KxSNMPRequest2Edits *channel = MakeRequest(kChannel, KxItemType::Instance, 0, false, 1000, false);
        channel->BindControl(0, m_channel);
        channel->BindControl(1, m_band);
        KxSNMPRequest2Edits *encryption = MakeRequest(kEncryptionObjects, KxItemType::Instance, 0, false, 5000, false);
        encryption->BindControl(0, m_encryption);
        Guard([channel] { channel->GetIntoControls(); });
        Guard([encryption] { encryption->GetIntoControls(); });

        KxSNMPRequest2Edits *trigger = MakeRequest(kTrigger, KxItemType::Instance, 0, true, kTimeout, false);
        trigger->BindControl(0, m_trigger);
        m_table = MakeRequest(kTable, KxItemType::Table2, 2, true, kTimeout);
        m_table->BindListView(m_wds, true);
        m_gather = std::make_unique<KxGather>(trigger, m_trigger, m_table);
    });
    if (!built) {
        m_gather.reset();
        m_refresh->setEnabled(false);
        return;
    }
    m_gather->TriggerFailed = [this](const KxSNMPError &error) {
        ShowStatus(QStringLiteral("Get timed out!") + error.Text);
        m_refresh->setEnabled(true);
    };
    m_gather->Walking = [this] { ShowStatus(QStringLiteral("Get Ok!")); };
    m_gather->TableRead = [this](const KxSNMPError &error) {
        m_refresh->setEnabled(true);
        ShowStatus(error.Text);
        if (error.Code != 0)
            return;
        BuildWdsList();
        ShowStatus(QStringLiteral("OK"));
    };
    m_refresh->setEnabled(false);
    m_gather->Start();
}

void TFM_WDSInfo::Btn_RefreshClick()
{
    if (!m_gather || m_gather->Running())
        return;
    m_refresh->setEnabled(false);
    ShowStatus(QStringLiteral("Refresh WDS Info..."));
    m_gather->Start();
}

void TFM_WDSInfo::BuildWdsList()
{
    using KxStations::Cell;
    m_peers->clear();
    const bool encrypted = m_encryption->currentIndex() != 0;
    for (int i = 0; i < m_wds->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *row = m_wds->topLevelItem(i);
        const QString mac = Cell(m_table, row, Mac);
        const QString authentication = Cell(m_table, row, Authentication);
        const QString rssi = Cell(m_table, row, Rssi);
        const QString status = Cell(m_table, row, Status);
        QStringList cells{
            Cell(m_table, row, Ssid),
            mac == KxStations::NoMac ? QString() : mac,
            (!encrypted && authentication == QLatin1String("opensystem")) || authentication == QLatin1String("dot1x")
                ? QStringLiteral("None")
                : authentication,
            rssi == QLatin1String("0") ? QString() : rssi + QLatin1Char('%'),
        };
        if (status == QLatin1String("on"))
            cells << QStringLiteral("On");
        else if (status == QLatin1String("off"))
            cells << QStringLiteral("Off");
        m_peers->addTopLevelItem(new QTreeWidgetItem(cells));
    }
}
