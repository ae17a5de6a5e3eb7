#include "TFM_Wirless.h"

#include "KxDeviceObjects.h"
#include "TFM_WirlessObjects.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

using namespace WirlessObjects;

namespace {

const QString kJapan = QStringLiteral("JP");
const QString kDefault24 = QStringLiteral("1 2 3 4 5 6 7 8 9 10 11 12 13");
const QString kDefaultIndoorWds = QStringLiteral("36 40 44 48");
const QString kDefaultIndoor =
    QStringLiteral("36 40 44 48 52 56 60 64 100 104 108 112 116 120 124 128 132 136 140");
const QString kDefaultOutdoor = QStringLiteral("100 104 108 112 116 120 124 128 132 136 140");

QComboBox *makeCombo(QWidget *parent, const char *name, const QString &caption)
{
    auto *combo = new QComboBox(parent);
    combo->setObjectName(QLatin1String(name));
    combo->setAccessibleName(caption.trimmed());
    return combo;
}

} // namespace

TFM_Wirless::TFM_Wirless(QWidget *parent)
    : KxScreen(QStringLiteral("FM_Wirless"), QStringLiteral("Home \\ Wireless"), parent), m_wait(this)
{
    BuildForm();
    Guard([this] { CreateRequests(); });
    Load();
}

TFM_Wirless::~TFM_Wirless()
{
    m_wait.Close();
}

void TFM_Wirless::BuildForm()
{
    m_page = new QTabWidget(this);
    m_page->setObjectName(QStringLiteral("PageControl1"));
    auto *page = new QWidget(m_page);
    auto *stack = new QVBoxLayout(page);
    m_page->addTab(page, QStringLiteral("IEEE 802.11"));
    Body()->addWidget(m_page);

    auto *radio = new QGroupBox(QStringLiteral("Wireless Network Settings"), page);
    radio->setObjectName(QStringLiteral("GB_Radio"));
    m_radioForm = new QFormLayout(radio);
    stack->addWidget(radio);
    BuildRadioSection(m_radioForm);
    BuildPeerSections();
    BuildSecuritySections(page);
    stack->addWidget(m_wdsBox);
    stack->addWidget(m_surveyBox);
    stack->addWidget(m_keyBox);
    stack->addWidget(m_passBox);
    stack->addWidget(m_cloneBox);
    // The security fields stand between the survey and the clone: tab through them there.
    QWidget *previous = m_scan;
    for (QWidget *w : m_keyBox->findChildren<QWidget *>() + m_passBox->findChildren<QWidget *>()) {
        if (w->focusPolicy() & Qt::TabFocus) {
            setTabOrder(previous, w);
            previous = w;
        }
    }
    setTabOrder(previous, m_cloneStatus);
    stack->addStretch();

    m_save = AddButton(QStringLiteral("Save"), "Bt_Apply");
    m_refresh = AddButton(QStringLiteral("Refresh"), "Bt_Refresh");
    m_close = AddButton(QStringLiteral("Close"), "Bt_Close");
    connect(m_save, &QPushButton::clicked, this, &TFM_Wirless::Bt_ApplyClick);
    connect(m_refresh, &QPushButton::clicked, this, &TFM_Wirless::Bt_RefreshClick);
    connect(m_close, &QPushButton::clicked, this, &QDialog::close);

    m_deviceChannel = AddHidden<QLineEdit>("Ed_Channel");
    m_listA = AddHidden<QLineEdit>("Ed_ChanListA");
    m_listG = AddHidden<QLineEdit>("Ed_ChanListG");
    m_listW = AddHidden<QLineEdit>("Ed_ChanListW");
    m_indoorWds = AddHidden<QLineEdit>("ED_IndoorWdsChannelList");
    m_indoor = AddHidden<QLineEdit>("ED_IndoorChannelList");
    m_outdoor = AddHidden<QLineEdit>("ED_OutdoorChannelList");
    m_country = AddHidden<QLineEdit>("ED_Country");
    m_modeChange = AddHidden<QLineEdit>("Ed_APModeChange");
    m_app = AddHidden<QComboBox>("CB_App");
    m_wMode1 = AddHidden<QComboBox>("CB_WMode1");
    m_wMode2 = AddHidden<QComboBox>("CB_WMode2");
    m_multEnable = AddHidden<QComboBox>("CB_MultEnable");
    m_vlanStatus = AddHidden<QComboBox>("CB_VlanStatus");
    m_applySetting = AddHidden<QComboBox>("CB_DeviceApplySetting");
    m_removeMac = AddHidden<QComboBox>("CB_RemoveMac");
    m_siteScan = AddHidden<QComboBox>("CB_SiteScan");
    m_wdsSiteScan = AddHidden<QComboBox>("CB_WdsSiteScan");
    m_cloneScanTrigger = AddHidden<QComboBox>("Cbox_CloneScan");
    m_mssidList = AddHidden<QTreeWidget>("MssidListView");
    m_peerList = AddHidden<QTreeWidget>("Lv_RemoteMac");
}

QWidget *TFM_Wirless::BuildRadioSection(QFormLayout *form)
{
    QWidget *section = form->parentWidget();
    auto row = [&](const char *name, const QString &caption) {
        QComboBox *combo = makeCombo(section, name, caption);
        form->addRow(caption, combo);
        return combo;
    };
    m_band = row("CB_Band", QStringLiteral("Wireless Band"));
    m_application = row("CB_Applicaiton", QStringLiteral("Application "));
    m_applicationLabel = qobject_cast<QLabel *>(form->labelForField(m_application));
    m_mode = row("CB_APMode", QStringLiteral("Mode "));
    m_ssid = new QLineEdit(section);
    m_ssid->setObjectName(QStringLiteral("Ed_SSID"));
    m_ssid->setAccessibleName(QStringLiteral("SSID"));
    form->addRow(QStringLiteral("SSID "), m_ssid);
    m_ssidBroadcast = row("CB_SsidBroadcast", QStringLiteral("SSID Visibility"));
    m_autoScan = row("CB_AuSc", QStringLiteral("Auto Channel Scan"));
    m_channel = row("CB_Chanal", QStringLiteral("Wireless Channel  "));
    m_width = row("CB_ChannelWidth", QStringLiteral("Channel Width"));
    m_securityMode = row("CB_SecurityMode", QStringLiteral("Authentication "));
    m_application->setMinimumWidth(320);

    connect(m_band, &QComboBox::activated, this, &TFM_Wirless::CB_BandChange);
    connect(m_application, &QComboBox::activated, this, &TFM_Wirless::CB_ApplicaitonChange);
    connect(m_mode, &QComboBox::activated, this, &TFM_Wirless::CB_APModeChange);
    connect(m_autoScan, &QComboBox::activated, this, &TFM_Wirless::CB_AuScClick);
    connect(m_channel, &QComboBox::activated, this, &TFM_Wirless::CB_ChanalChange);
    return section;
}

void TFM_Wirless::CreateRequests()
{
    m_modeStatus = MakeRequest(ApModeStatus(), KxItemType::Instance, 0, false, 5000, false);
    m_modeStatus->BindControl(0, QStringLiteral("%s"), m_modeChange);
    m_vlanState = MakeRequest(VlanState(), KxItemType::Scalars, 0, false, 10000, false);
    m_vlanState->BindControl(0, m_vlanStatus);
    m_mssidTable = MakeRequest(MssidTable(), KxItemType::Table2, 2, false, 5000, false);
    m_mssidTable->BindListView(m_mssidList, false);
    m_indoorWdsRequest = MakeRequest(IndoorWdsChannels(), KxItemType::Instance, 0, false, 5000, false);
    m_indoorWdsRequest->BindControl(0, QStringLiteral("%s"), m_indoorWds);
    m_indoorRequest = MakeRequest(IndoorChannels(), KxItemType::Instance, 0, false, 5000, false);
    m_indoorRequest->BindControl(0, QStringLiteral("%s"), m_indoor);
    m_outdoorRequest = MakeRequest(OutdoorChannels(), KxItemType::Instance, 0, false, 5000, false);
    m_outdoorRequest->BindControl(0, QStringLiteral("%s"), m_outdoor);
    m_countryRequest = MakeRequest(Country(), KxItemType::Instance, 0, false, 5000, false);
    m_countryRequest->BindControl(0, QStringLiteral("%s"), m_country);
    m_applicationRequest = MakeRequest(Application(), KxItemType::Instance, 0, false, 5000, false);
    m_applicationRequest->BindControl(0, m_app);

    m_apply = MakeRequest(KxDevice::ApplyObjects(), KxItemType::Scalars, 0, false, 5000, false);
    m_apply->BindControl(0, m_applySetting);
    m_radio = MakeRequest(Radio(), KxItemType::Instance, 0, false, 2000);
    m_radio->BindControl(Ssid, QStringLiteral("%s"), m_ssid);
    m_radio->BindControl(SsidBroadcast, m_ssidBroadcast);
    m_radio->BindControl(Channel, QStringLiteral("%s"), m_deviceChannel);
    m_radio->BindControl(ABandList, QStringLiteral("%s"), m_listA);
    m_radio->BindControl(AutoScan, m_autoScan);
    m_radio->BindControl(ApMode, m_mode);
    m_radio->BindControl(Band, m_band);
    m_radio->BindControl(Width, m_width);
    // The mode list may have been cut to the outdoor modes: the device's mode is shown
    // against the whole list, the cut list is built from it afterwards.
    m_radio->BeforeGetHook = [this] { KxDevice::ApModeOptions().Fill(m_mode); };
    m_radio->BeforeSetHook = [this] { ShowSaveWait(); };
    m_gLists = MakeRequest(GBandLists(), KxItemType::Instance, 0, false, 2000);
    m_gLists->BindControl(0, QStringLiteral("%s"), m_listG);
    m_gLists->BindControl(1, QStringLiteral("%s"), m_listW);
    m_mssidState = MakeRequest(MssidState(), KxItemType::Instance, 0, false, 1000, false);
    m_mssidState->BindControl(0, m_multEnable);

    m_peerAdd = MakeRequest(PeerAdd(), KxItemType::Instance, 0, false, 5000, false);
    for (int i = 0; i < 8; ++i)
        m_peerAdd->BindControl(i, QStringLiteral("%h"), m_peers[size_t(i)]);
    m_peerRead = MakeRequest(PeerList(), KxItemType::Table2, 2, true, 5000, false);
    m_peerRead->BindListView(m_peerList, false);
    m_peerRead->OnGetComplete = [this](KxSNMPRequest2Controls *, const KxSNMPError &e) { PeersRead(e); };
    m_peerDeleteAll = MakeRequest(PeerDeleteAll(), KxItemType::Instance, 0, false, 0, false);
    m_peerDeleteAll->BindControl(0, m_removeMac);

    m_cloneStatusRequest = MakeRequest(CloneStatus(), KxItemType::Instance, 0, false, 50000, false);
    m_cloneStatusRequest->BindControl(0, m_cloneStatus);
    // The scan's outcome belongs in the status line: the user waits for it there.
    m_cloneScanRequest = MakeRequest(CloneRefresh(), KxItemType::Instance, 0, false, 50000);
    m_cloneScanRequest->BindControl(0, m_cloneScanTrigger);
    m_cloneSourceRequest = MakeRequest(CloneSource(), KxItemType::Instance, 0, false, 50000, false);
    m_cloneSourceRequest->BindControl(0, m_cloneSource);
    m_cloneSourceRequest->BindControl(1, QStringLiteral("%h"), m_cloneMac);
    CreateSecurityRequests();
}

// Steps 1 to 7 of a load; the first load goes on with the survey requests and the
// layout, a refresh only reads again.
void TFM_Wirless::Load()
{
    if (!m_radio)
        return;
    Guard([this] { m_modeStatus->GetIntoControls(); });
    m_scan->setEnabled(!ModeChangePending());
    Guard([this] { m_vlanState->GetIntoControls(); });
    Guard([this] { m_mssidTable->GetIntoControls(); });
    for (KxSNMPRequest2Edits *r : {m_indoorWdsRequest, m_indoorRequest, m_outdoorRequest, m_countryRequest})
        Guard([r] { r->GetIntoControls(); });
    Guard([this] { m_applicationRequest->GetIntoControls(); });
    FillApplicationList();
    LoadRadio();
    LoadSecurity(!m_reloading);
    LoadPeers();
    LoadClone();
    ArrangeSections();
    if (!m_reloading) {
        ApplyCountryLayout();
        Cbox_RadiusSerChange();
        Cbox_StatusChange();
    }
    KxSetTypingLimit(m_ssid, 32);
    for (QLineEdit *peer : m_peers)
        KxSetTypingLimit(peer, 12);
    KxSetTypingLimit(m_cloneMac, 12);
    KxSetTypingLimit(m_passphrase, 63);
    KxSetTypingLimit(m_updateInterval, 7);
    for (QLineEdit *server : {m_radiusServer, m_backServer, m_accountServer, m_backAccountServer})
        KxSetTypingLimit(server, 15);
    for (QLineEdit *secret : {m_radiusSecret, m_backSecret, m_accountSecret, m_backAccountSecret})
        KxSetTypingLimit(secret, 64);
}

void TFM_Wirless::LoadRadio()
{
    Guard([this] {
        m_radio->GetIntoControls();
        m_loadedApMode = m_mode->currentText();
        m_loadedSsidVisibility = m_ssidBroadcast->currentIndex();
    });
    Guard([this] { m_gLists->GetIntoControls(); });
    BuildChannelList();
    CB_BandChange();
    const bool band5 = m_band->currentIndex() == 1;
    Guard([this, band5] {
        if (!m_wifiMode || m_wifiModeBand != band5) {
            m_wifiModeBand = band5;
            m_wifiMode = MakeRequest(band5 ? WifiMode5() : WifiMode24(), KxItemType::Instance, 0, false, 10000, false);
            m_wifiMode->BindControl(0, band5 ? m_wMode2 : m_wMode1);
        }
        m_wifiMode->GetIntoControls();
    });
    if (WirelessModeAtItem1())
        ForceWidth(0);
    CB_ChanalChange();
    Guard([this] { m_mssidState->GetIntoControls(); });
}

void TFM_Wirless::Bt_RefreshClick()
{
    m_reloading = true;
    Load();
    CB_dot11EncryptionChange();
}

void TFM_Wirless::reject()
{
    // Closing mid-survey would leave its completion without a window to report to.
    if (!m_surveying)
        KxScreen::reject();
}

void TFM_Wirless::ApplyCountryLayout()
{
    if (m_country->text() != kJapan)
        m_radioForm->setRowVisible(m_application, false);
}

QString TFM_Wirless::Mode() const
{
    return m_mode->currentText();
}

bool TFM_Wirless::WdsMode() const
{
    return Mode() == QLatin1String("WDS with AP") || Mode() == QLatin1String("WDS");
}

bool TFM_Wirless::ClientMode() const
{
    return Mode() == QLatin1String("Wireless Client");
}

bool TFM_Wirless::WirelessModeAtItem1() const
{
    return (m_band->currentIndex() == 1 ? m_wMode2 : m_wMode1)->currentIndex() == 1;
}

bool TFM_Wirless::ModeChangePending() const
{
    return m_modeChange->text() == QLatin1String("changed");
}

void TFM_Wirless::ForceWidth(int item)
{
    m_width->setCurrentIndex(item);
    m_width->setEnabled(false);
}

void TFM_Wirless::BuildChannelList()
{
    QString list;
    if (m_band->currentIndex() == 0) {
        if (m_listA->text().isEmpty())
            m_listA->setText(kDefault24);
        list = m_listA->text();
    } else if (m_country->text() == kJapan && m_application->currentIndex() == 1) {
        list = m_outdoor->text().isEmpty() ? kDefaultOutdoor : m_outdoor->text();
    } else if (Mode().contains(QLatin1String("WDS"))) {
        list = m_indoorWds->text().isEmpty() ? kDefaultIndoorWds : m_indoorWds->text();
    } else {
        list = m_indoor->text().isEmpty() ? kDefaultIndoor : m_indoor->text();
    }
    m_channel->clear();
    for (const QString &piece : list.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        if (!piece.trimmed().isEmpty())
            m_channel->addItem(piece.trimmed());
    const int device = m_channel->findText(m_deviceChannel->text());
    m_channel->setCurrentIndex(device >= 0 ? device : 0);
    m_lastChannelIndex = m_channel->currentIndex();
}

void TFM_Wirless::FillApplicationList()
{
    m_application->clear();
    if (m_band->currentIndex() == 0) {
        m_application->addItem(QStringLiteral("Concurrent 11b/g/n on 2.4GHz for indoor/outdoor"));
    } else {
        m_application->addItem(QStringLiteral("Concurrent 11a/n on W52/W53/W56 for indoor"));
        m_application->addItem(QStringLiteral("Concurrent 11a/n on W56 for outdoor"));
    }
    const int item = m_app->currentIndex() - 1;
    m_application->setCurrentIndex(item >= 0 && item < m_application->count() ? item : 0);
}

int TFM_Wirless::ApplicationValueItem() const
{
    const int item = m_application->currentIndex() + 1;
    return item < m_app->count() ? item : 0;
}

void TFM_Wirless::CB_BandChange()
{
    FillApplicationList();
    CB_ApplicaitonChange();
    CB_APModeChange();
}

void TFM_Wirless::RebuildModeList()
{
    m_mode->clear();
    m_mode->addItems(KxDevice::ApModeOptions().texts());
    if (m_band->currentIndex() == 1 && m_application->currentIndex() == 1) {
        m_mode->clear();
        m_mode->addItems({QStringLiteral("Access Point"), QStringLiteral("Wireless Client")});
    }
    const int loaded = m_mode->findText(m_loadedApMode);
    m_mode->setCurrentIndex(loaded >= 0 ? loaded : 0);
}

void TFM_Wirless::CB_ApplicaitonChange()
{
    RebuildModeList();
    CB_APModeChange();
    BuildChannelList();
}

void TFM_Wirless::CB_APModeChange()
{
    if (Mode() != QLatin1String("Access Point") && Mode() != QLatin1String("WDS with AP")
        && m_multEnable->currentIndex() == 1)
        Dialogs().MessageBox(this,
                             QStringLiteral("Multi-SSID will be disabled when RWN-3460 is configured in "
                                            "'WDS' or 'Wireless Client'."),
                             QStringLiteral("Warning"));
    VlanWarning(m_securityMode->currentText() == QLatin1String("WPA-Enterprise")
                && Mode() != QLatin1String("Access Point"));
    ShowSecurity();
    if (Mode() != m_loadedApMode && WdsMode())
        m_securityMode->setCurrentIndex(m_rememberedSecurity[size_t(RememberedGroup())]);
    RemoteMacDisplayRule();
    ArrangeSections();
    CB_SecurityModeChange();
    m_wdsBox->setTitle(Mode() == QLatin1String("WDS with AP") ? QStringLiteral("WDS with AP") : QStringLiteral("WDS"));
    if (Mode() == QLatin1String("Access Point") || WdsMode()) {
        m_ssidBroadcast->setCurrentIndex(m_loadedSsidVisibility);
        m_channel->setCurrentIndex(m_lastChannelIndex);
        m_updateInterval->setEnabled(true);
        m_updateInterval->setText(m_loadedGroupKeyInterval);
    }
    BuildChannelList();
}

void TFM_Wirless::CB_AuScClick()
{
    m_channel->setEnabled(m_autoScan->currentIndex() != 1);
}

void TFM_Wirless::CB_ChanalChange()
{
    if (WirelessModeAtItem1())
        return;
    if (m_channel->currentText().contains(QLatin1String("165")))
        ForceWidth(0);
    else
        m_width->setEnabled(true);
}

void TFM_Wirless::ArrangeSections()
{
    for (QWidget *w : {static_cast<QWidget *>(m_encryption), static_cast<QWidget *>(m_autoScan),
                       static_cast<QWidget *>(m_ssidBroadcast), static_cast<QWidget *>(m_channel),
                       static_cast<QWidget *>(m_width)})
        w->setEnabled(true);
    m_application->setEnabled(m_band->currentIndex() == 1);
    const bool client = ClientMode();
    const bool wds = WdsMode();
    if (Mode() == QLatin1String("Access Point")) {
        m_cloneBox->hide();
        m_wdsBox->hide();
        m_surveyBox->hide();
        CB_AuScClick();
    } else if (wds) {
        m_cloneBox->hide();
        m_wdsBox->show();
        m_surveyBox->show();
        m_wdsSurvey->show();
        m_clientSurvey->hide();
        m_autoScan->setCurrentIndex(0);
        m_autoScan->setEnabled(false);
    } else if (client) {
        m_cloneBox->show();
        m_wdsBox->hide();
        m_surveyBox->show();
        m_clientSurvey->show();
        m_wdsSurvey->hide();
        m_ssidBroadcast->setCurrentIndex(1);
        m_ssidBroadcast->setEnabled(false);
        m_autoScan->setCurrentIndex(1);
        m_autoScan->setEnabled(false);
        m_channel->setEnabled(false);
        ForceWidth(1);
        BuildChannelList();
    }
    ArrangeSecurity();
    adjustSize();
}
