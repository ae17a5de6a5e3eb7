// The sections of 'Home \ Wireless' that only some modes show: the WDS peers, the
// site survey and the MAC clone.
#include "TFM_Wirless.h"

#include "TFM_WirlessObjects.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString kNoMac = QStringLiteral("000000000000");

// A MAC as the checks compare it: without colons, in upper case.
QString plainMac(const QString &text)
{
    QString t = text;
    return t.remove(QLatin1Char(':')).toUpper();
}

bool holdsMac(const QString &text)
{
    return !text.isEmpty() && text != kNoMac;
}

QTreeWidget *makeList(QWidget *parent, const char *name, const QString &caption)
{
    auto *list = new QTreeWidget(parent);
    list->setObjectName(QLatin1String(name));
    list->setAccessibleName(caption);
    list->setMinimumHeight(110);
    return list;
}

} // namespace

void TFM_Wirless::BuildPeerSections()
{
    m_wdsBox = new QGroupBox(QStringLiteral("WDS"), this);
    m_wdsBox->setObjectName(QStringLiteral("GB_Wds"));
    auto *grid = new QGridLayout(m_wdsBox);
    grid->addWidget(new QLabel(QStringLiteral("Remote AP MAC Address"), m_wdsBox), 0, 0, 1, 4);
    for (int i = 0; i < 8; ++i) {
        const QString number = QString::number(i + 1);
        auto *edit = new QLineEdit(m_wdsBox);
        edit->setObjectName(QStringLiteral("Ed_ReMAddra") + QString::number(i));
        edit->setAccessibleName(QStringLiteral("Remote AP MAC Address ") + number);
        m_peers[size_t(i)] = edit;
        grid->addWidget(new QLabel(number, m_wdsBox), 1 + i / 2, (i % 2) * 2);
        grid->addWidget(edit, 1 + i / 2, (i % 2) * 2 + 1);
    }

    m_surveyBox = new QGroupBox(QStringLiteral("Site Survey"), this);
    m_surveyBox->setObjectName(QStringLiteral("GB_SiteSurvey"));
    auto *survey = new QVBoxLayout(m_surveyBox);
    m_clientSurvey = makeList(m_surveyBox, "LV_ClientSiteServey", QStringLiteral("Site Survey"));
    m_wdsSurvey = makeList(m_surveyBox, "LV_WdsSiteServey", QStringLiteral("Site Survey"));
    survey->addWidget(m_clientSurvey);
    survey->addWidget(m_wdsSurvey);
    m_scan = new QPushButton(QStringLiteral("Scan"), m_surveyBox);
    m_scan->setObjectName(QStringLiteral("SiteScan"));
    m_scan->setAutoDefault(false);
    survey->addWidget(m_scan, 0, Qt::AlignRight);
    connect(m_scan, &QPushButton::clicked, this, &TFM_Wirless::SiteScanClick);
    connect(m_clientSurvey, &QTreeWidget::itemClicked, this, &TFM_Wirless::LV_ClientSiteServeyClick);
    connect(m_wdsSurvey, &QTreeWidget::itemClicked, this, &TFM_Wirless::LV_WdsSiteServeyClick);

    m_cloneBox = new QGroupBox(QStringLiteral("Wireless Mac Clone"), this);
    m_cloneBox->setObjectName(QStringLiteral("GB_MacClone"));
    auto *clone = new QFormLayout(m_cloneBox);
    m_cloneStatus = new QComboBox(m_cloneBox);
    m_cloneStatus->setObjectName(QStringLiteral("Cbox_Status"));
    m_cloneStatus->setAccessibleName(QStringLiteral("Enable"));
    clone->addRow(QStringLiteral("Enable"), m_cloneStatus);
    m_cloneSource = new QComboBox(m_cloneBox);
    m_cloneSource->setObjectName(QStringLiteral("Cbox_MacSource"));
    m_cloneSource->setAccessibleName(QStringLiteral("Mac Source"));
    clone->addRow(QStringLiteral("Mac Source"), m_cloneSource);
    m_cloneMac = new QLineEdit(m_cloneBox);
    m_cloneMac->setObjectName(QStringLiteral("Ed_CloneMac"));
    m_cloneMac->setAccessibleName(QStringLiteral("MAC Address"));
    m_cloneScan = new QPushButton(QStringLiteral("Scan"), m_cloneBox);
    m_cloneScan->setObjectName(QStringLiteral("Bt_CloneScan"));
    m_cloneScan->setAutoDefault(false);
    auto *macRow = new QHBoxLayout;
    macRow->addWidget(m_cloneMac);
    macRow->addWidget(m_cloneScan);
    clone->addRow(QStringLiteral("MAC Address"), macRow);
    m_cloneList = makeList(m_cloneBox, "LV_MacClone", QStringLiteral("MAC Address"));
    clone->addRow(m_cloneList);
    connect(m_cloneStatus, &QComboBox::activated, this, &TFM_Wirless::Cbox_StatusChange);
    connect(m_cloneSource, &QComboBox::activated, this, &TFM_Wirless::Cbox_MacSourceChange);
    connect(m_cloneScan, &QPushButton::clicked, this, &TFM_Wirless::Bt_CloneScanClick);
    connect(m_cloneList, &QTreeWidget::itemClicked, this, &TFM_Wirless::LV_MacCloneClick);
}

void TFM_Wirless::LoadPeers()
{
    Guard([this] { m_peerRead->GetIntoControls(); });
    if (m_reloading || !m_radio)
        return;
    Guard([this] {
        using namespace WirlessObjects;
        m_surveyRefresh = MakeRequest(SurveyRefresh(), KxItemType::Instance, 0, true, 1000);
        m_surveyRefresh->BindControl(0, m_siteScan);
        m_surveyList = MakeRequest(SurveyList(), KxItemType::Table2, 1, true, 1000);
        m_surveyList->BindListView(m_clientSurvey, false);
        m_wdsRefresh = MakeRequest(WdsSurveyRefresh(), KxItemType::Instance, 0, true, 1000);
        m_wdsRefresh->BindControl(0, m_wdsSiteScan);
        m_wdsList = MakeRequest(WdsSurveyList(), KxItemType::Table2, 1, true, 1000);
        m_wdsList->BindListView(m_wdsSurvey, false);
        for (QTreeWidget *list : {m_clientSurvey, m_wdsSurvey}) {
            list->setColumnWidth(0, 0);
            list->setColumnHidden(0, false);
        }
        for (KxSNMPRequest2Edits *r : {m_surveyRefresh, m_wdsRefresh})
            r->OnSetComplete = [this](KxSNMPRequest2Controls *, const KxSNMPError &e) { SurveyTriggered(e); };
        for (KxSNMPRequest2Edits *r : {m_surveyList, m_wdsList})
            r->OnGetComplete = [this](KxSNMPRequest2Controls *, const KxSNMPError &) { SurveyRead(); };
    });
}

void TFM_Wirless::PeersRead(const KxSNMPError &error)
{
    // A failed read says nothing about the device's list: the fields keep what they
    // showed, and a save may not replace the device's list with them.
    if (error.Code == 0) {
        m_peersRead = true;
        const int rows = m_peerList->topLevelItemCount();
        const int column = m_peerList->columnCount() - 1;
        for (int i = 0; i < 8; ++i)
            m_peers[size_t(i)]->setText(i < rows ? m_peerList->topLevelItem(i)->text(column) : QString());
    }
    RemoteMacDisplayRule();
}

void TFM_Wirless::RemoteMacDisplayRule()
{
    for (QLineEdit *peer : m_peers)
        if (peer->text() == kNoMac)
            peer->clear();
    const bool editable = WdsMode();
    if (!editable && Mode() != QLatin1String("Access Point") && !ClientMode())
        return;
    for (QLineEdit *peer : m_peers) {
        peer->setReadOnly(!editable);
        peer->setStyleSheet(editable ? QString() : QStringLiteral("background: palette(button)"));
    }
}

void TFM_Wirless::SurveyButtons(bool enabled)
{
    m_surveying = !enabled;
    m_scan->setEnabled(enabled && !ModeChangePending());
    for (QPushButton *b : {m_save, m_refresh, m_close})
        b->setEnabled(enabled);
}

void TFM_Wirless::SiteScanClick()
{
    if (!m_surveyRefresh || m_surveying || (!WdsMode() && !ClientMode()))
        return;
    m_surveyWds = WdsMode();
    m_wdsSurvey->setVisible(m_surveyWds);
    m_clientSurvey->setVisible(!m_surveyWds);
    KxSNMPRequest2Edits *trigger = m_surveyWds ? m_wdsRefresh : m_surveyRefresh;
    (m_surveyWds ? m_wdsSiteScan : m_siteScan)->setCurrentIndex(1);
    SurveyButtons(false);
    if (!Guard([trigger] { trigger->SetFromControls(true, true); })) {
        SurveyButtons(true);
        return;
    }
    ShowStatus(QStringLiteral("Detecting..."));
}

void TFM_Wirless::SurveyTriggered(const KxSNMPError &error)
{
    if (error.Code != 0) {
        // The request has put the layer's error text into the status line.
        SurveyButtons(true);
        return;
    }
    KxSNMPRequest2Edits *list = m_surveyWds ? m_wdsList : m_surveyList;
    if (Guard([list] { list->GetIntoControls(); }))
        ShowStatus(QStringLiteral("Refresh...!"));
    else
        SurveyButtons(true);
}

void TFM_Wirless::SurveyRead()
{
    // The completion's own log line (success or the layer's error) stays in the
    // status line.
    SurveyButtons(true);
}

void TFM_Wirless::LV_ClientSiteServeyClick()
{
    TakeOverSurveyRow(m_clientSurvey);
}

void TFM_Wirless::LV_WdsSiteServeyClick()
{
    TakeOverSurveyRow(m_wdsSurvey);
}

void TFM_Wirless::TakeOverSurveyRow(QTreeWidget *list)
{
    const QTreeWidgetItem *row = list->currentItem();
    if (!row || !row->isSelected())
        return;
    // Cells after the index column, numbered from 0: channel, signal, BSSID, security, SSID.
    auto cell = [row](int n) { return row->text(n + 1); };
    if (WdsMode()) {
        TakeOverBssid(cell(2));
    } else if (ClientMode()) {
        m_ssid->setText(cell(4));
        m_channel->setCurrentIndex(m_channel->findText(cell(0)));
    }
}

void TFM_Wirless::TakeOverBssid(const QString &bssid)
{
    const QString mac = plainMac(bssid);
    if (mac.size() != 12)
        return;
    for (QLineEdit *peer : m_peers) {
        if (plainMac(peer->text()) == mac) {
            Dialogs().MessageBox(this,
                                 QStringLiteral("There is an existent entry with the same MAC Address\n"
                                                "Please change the MAC Address."),
                                 QStringLiteral("Warning"));
            return;
        }
    }
    for (QLineEdit *peer : m_peers) {
        if (peer->text().isEmpty() || peer->text() == kNoMac || plainMac(peer->text()).size() != 12) {
            peer->setText(mac);
            return;
        }
    }
}

bool TFM_Wirless::RemoteMacChecks()
{
    auto fail = [this](const QString &text, const QString &title, QLineEdit *focus) {
        Dialogs().MessageBox(this, text, title);
        if (focus)
            focus->setFocus();
        RemoteMacDisplayRule();
        return false;
    };
    if (!m_peersRead)
        return fail(QStringLiteral("The remote AP list could not be read from the device. "
                                   "Please press Refresh and try again."),
                    QStringLiteral("Warning"), nullptr);
    for (int i = 7; i >= 1; --i) {
        const QString field = plainMac(m_peers[size_t(i)]->text());
        for (int j = 0; j < i; ++j)
            if (holdsMac(field) && field == plainMac(m_peers[size_t(j)]->text()))
                return fail(QStringLiteral("Exist same MAC address."), QStringLiteral("Warning"), m_peers[size_t(i)]);
    }
    const QString first = plainMac(m_peers[0]->text());
    if (first.isEmpty())
        return fail(QStringLiteral("Please input MAC address in first blank space!"), QStringLiteral("Warning"),
                    m_peers[0]);
    if (first.size() != 12)
        return fail(QStringLiteral("The length is 12 Root AP MAC Address."), QStringLiteral("Error"), nullptr);
    for (int i = 1; i < 8; ++i) {
        const QString field = plainMac(m_peers[size_t(i)]->text());
        if (!field.isEmpty() && field.size() != 12)
            return fail(QStringLiteral("The length is 12 MAC address."), QStringLiteral("Error"), nullptr);
    }
    return true;
}

bool TFM_Wirless::WriteSync(KxSNMPRequest2Edits *request)
{
    bool ok = false;
    Guard([&] { ok = request->SetFromControls(true, true); });
    return ok;
}

// The fields that hold an address are added, in field order; the others stay out.
void TFM_Wirless::MarkRemoteMacs()
{
    KxSNMPVarList &adds = m_peerAdd->VarList();
    for (int i = 0; i < 8; ++i) {
        QLineEdit *peer = m_peers[size_t(i)];
        const bool holds = holdsMac(plainMac(peer->text()));
        if (holds)
            peer->setText(plainMac(peer->text()));
        adds[i].Access = holds ? KxAccess::ReadWrite : KxAccess::Excluded;
    }
    m_removeMac->setCurrentIndex(1);
}

bool TFM_Wirless::WriteRemoteMacs()
{
    if (!m_peerAdd || !RemoteMacChecks())
        return false;
    MarkRemoteMacs();
    // Without the delete-all the add would put the fields' addresses a second time
    // behind the device's own.
    const bool ok = WriteSync(m_peerDeleteAll) && WriteSync(m_peerAdd);
    KxSNMPVarList &adds = m_peerAdd->VarList();
    for (int i = 0; i < 8; ++i)
        adds[i].Access = KxAccess::Excluded;
    return ok;
}

void TFM_Wirless::LoadClone()
{
    Guard([this] { m_cloneStatusRequest->GetIntoControls(); });
    Guard([this] { m_cloneScanRequest->GetIntoControls(); });
    Guard([this] { m_cloneSourceRequest->GetIntoControls(); });
    if (m_cloneMac->text() == kNoMac)
        m_cloneMac->clear();
    if (m_cloneSource->currentIndex() < 0)
        m_cloneSource->setCurrentIndex(0);
    if (!m_cloneListRequest) {
        m_cloneListRequest = MakeRequest(WirlessObjects::CloneList(), KxItemType::Table2, 1, true, 10000);
        m_cloneListRequest->BindListView(m_cloneList, false);
        m_cloneListRequest->OnGetComplete = [this](KxSNMPRequest2Controls *, const KxSNMPError &e) {
            // Success only once the device's list has arrived; a failure keeps the
            // layer's error text in the status line.
            if (e.Code == 0)
                ShowStatus(QStringLiteral("Scan Success"));
        };
    }
}

void TFM_Wirless::Cbox_StatusChange()
{
    if (m_cloneStatus->currentIndex() == 1) {
        m_cloneSource->setEnabled(true);
        Cbox_MacSourceChange();
    } else {
        for (QWidget *w : {static_cast<QWidget *>(m_cloneSource), static_cast<QWidget *>(m_cloneMac),
                           static_cast<QWidget *>(m_cloneScan)})
            w->setEnabled(false);
    }
}

void TFM_Wirless::Cbox_MacSourceChange()
{
    const int item = m_cloneSource->currentIndex();
    if (item < 0)
        return;
    m_cloneMac->setEnabled(item == 1);
    m_cloneScan->setEnabled(item == 1);
}

void TFM_Wirless::Bt_CloneScanClick()
{
    if (!m_cloneListRequest)
        return;
    const bool manual = m_cloneStatus->currentIndex() == 1 && m_cloneSource->currentIndex() == 1;
    const QString typed = plainMac(m_cloneMac->text());
    if (manual && !typed.isEmpty() && typed.size() != 12) {
        Dialogs().MessageBox(this, QStringLiteral("The length is 12 in MAC Address."), QStringLiteral("Error"));
        m_cloneMac->setFocus();
        return;
    }
    m_cloneScanTrigger->setCurrentIndex(1);
    if (!WriteSync(m_cloneScanRequest))
        return; // the request has put the layer's error text into the status line
    Guard([this] { m_cloneListRequest->GetIntoControls(); });
}

void TFM_Wirless::LV_MacCloneClick()
{
    const QTreeWidgetItem *row = m_cloneList->currentItem();
    if (row && row->isSelected())
        m_cloneMac->setText(row->text(1));
}

bool TFM_Wirless::CloneChecks()
{
    if (m_cloneStatus->currentIndex() != 1 || m_cloneSource->currentIndex() != 1)
        return true;
    const QString typed = plainMac(m_cloneMac->text());
    QString text, title;
    if (typed.size() != 12) {
        text = QStringLiteral("The length is 12 in MAC Address.");
        title = QStringLiteral("Error");
    } else if (typed == kNoMac) {
        text = QStringLiteral("Please input a valid MAC Address.");
        title = QStringLiteral("Warning");
    } else {
        m_cloneMac->setText(typed);
        return true;
    }
    Dialogs().MessageBox(this, text, title);
    m_cloneMac->setFocus();
    return false;
}

// The address goes to the device only when it is in use: with the clone enabled and
// the manual source, after its checks. "Auto" or a disabled clone leave the device's
// address as it is (an empty field would otherwise be sent as zero octets).
void TFM_Wirless::MarkCloneFirstPair()
{
    KxSNMPVarList &vars = m_cloneSourceRequest->VarList();
    const bool enabled = m_cloneStatus->currentIndex() != 0;
    const bool manual = m_cloneStatus->currentIndex() == 1 && m_cloneSource->currentIndex() == 1;
    vars[0].Access = enabled ? KxAccess::ReadWrite : KxAccess::ReadOnly;
    vars[1].Access = enabled && manual ? KxAccess::ReadWrite : KxAccess::ReadOnly;
}

void TFM_Wirless::MarkCloneSecondPair()
{
    KxSNMPVarList &vars = m_cloneSourceRequest->VarList();
    const bool manual = m_cloneStatus->currentIndex() == 1 && m_cloneSource->currentIndex() == 1;
    vars[1].Access = manual && !m_cloneMac->text().isEmpty() ? KxAccess::ReadWrite : KxAccess::ReadOnly;
}

bool TFM_Wirless::WriteCloneFirstPair()
{
    if (!m_cloneSourceRequest)
        return false;
    MarkCloneFirstPair();
    return WriteSync(m_cloneStatusRequest) && WriteCloneSource();
}

bool TFM_Wirless::WriteCloneSecondPair()
{
    if (!m_cloneSourceRequest)
        return false;
    MarkCloneSecondPair();
    return WriteSync(m_cloneStatusRequest) && WriteCloneSource();
}

// With neither variable marked there is nothing to send.
bool TFM_Wirless::WriteCloneSource()
{
    const KxSNMPVarList &vars = m_cloneSourceRequest->VarList();
    if (vars[0].Access != KxAccess::ReadWrite && vars[1].Access != KxAccess::ReadWrite)
        return true;
    return WriteSync(m_cloneSourceRequest);
}
