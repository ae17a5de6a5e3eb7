#include "TFM_DHCPTabs.h"

#include "KxAddress.h"
#include "KxConvert.h"
#include "KxDeviceObjects.h"
#include "KxServiceKit.h"

#include <QTabWidget>

namespace {

#define ROOT KX_DEVICE_ROOT
#define POOL ROOT ".3.1.2.2.1"
#define STATIC ROOT ".3.1.3.2.1"

using namespace KxAccess;
using namespace KxSyntax;

const KxIntOption kControl[] = {{0, "Disable"}, {1, "Enable"}, {0, nullptr}};
const KxIntOption kDomainStatus[] = {{0, "both"}, {1, "dynamic"}, {2, "static"}, {0, nullptr}};
const KxOptionList &controls() { static const KxOptionList l(kControl); return l; }
const KxOptionList &domainStatuses() { static const KxOptionList l(kDomainStatus); return l; }

const KxSNMPVarDesc kApAddress[] = {
    {ROOT ".2.1.1.1.1.2.1", "hIPAddress", IpAddress, ReadOnly},
    {ROOT ".2.1.1.1.1.3.1", "hSubnetMask", IpAddress, ReadOnly},
    {ROOT ".2.1.1.1.1.4.1", "hDefaultGateway", IpAddress, ReadOnly},
    {nullptr},
};
const KxSNMPVarDesc kServerControl[] = {
    {ROOT ".3.1.1", "dhcpServerControl", Integer, ReadWrite, &controls()}, {nullptr}};
const KxSNMPVarDesc kStaticControl[] = {
    {ROOT ".3.1.3.1", "dhcpServerStaticControl", Integer, ReadWrite, &controls()}, {nullptr}};
const KxSNMPVarDesc kDomainNameStatus[] = {
    {ROOT ".3.1.2.3", "dhcpServerDomainNameStatus", Integer, ReadOnly, &domainStatuses()}, {nullptr}};
const KxSNMPVarDesc kPool[] = {
    {POOL ".3.1", "dynamicIpPoolStart", IpAddress, ReadWrite},
    {POOL ".4.1", "dynamicIpPoolEnd", IpAddress, ReadWrite},
    {POOL ".6.1", "dynamicMask", IpAddress, ReadWrite},
    {POOL ".7.1", "dynamicGateway", IpAddress, ReadWrite},
    {POOL ".8.1", "dynamicWins", IpAddress, ReadWrite},
    {POOL ".9.1", "dynamicDns", IpAddress, ReadWrite},
    {POOL ".10.1", "dynamicDomainName", DisplayString, ReadWrite},
    {POOL ".11.1", "dynamicLeaseTime", Integer, ReadWrite},
    {nullptr},
};
enum PoolVariable { PoolStart, PoolEnd, PoolMask, PoolGateway, PoolWins, PoolDns, PoolDomain, PoolLease };
const KxSNMPVarDesc kStaticPool[] = {
    {STATIC ".1", "Index", Integer, Key | Readable},
    {STATIC ".2", "Status", Integer, ReadWrite, &controls()},
    {STATIC ".3", "staticHostName", DisplayString, ReadWrite},
    {STATIC ".4", "IP Address", IpAddress, ReadWrite},
    {STATIC ".5", "MAC Address", MacAddress, ReadWrite},
    {STATIC ".6", "Static Mask", IpAddress, ReadWrite},
    {STATIC ".7", "Static Gateway", IpAddress, ReadWrite},
    {STATIC ".8", "Static Dns", IpAddress, ReadWrite},
    {STATIC ".9", "Static Wins", IpAddress, ReadWrite},
    {STATIC ".10", "Static DomainName", DisplayString, ReadWrite},
    {nullptr},
};
const KxSNMPVarDesc kStaticDelete[] = {
    {ROOT ".3.1.3.3", "dhcpServerStaticDelete", Integer, ReadWrite}, {nullptr}};
constexpr int kTimeout = 10000;
constexpr int kDisable = 0;
constexpr int kEnable = 1;

// The pool holds `address` when it lies between its start and its last address.
bool poolHolds(quint32 start, int range, const QString &address)
{
    const std::optional<quint32> a = KxIpv4(address);
    return a && *a >= start && *a < start + quint32(range);
}

} // namespace

namespace dhcp {

bool Refuse(QWidget *parent, QLineEdit *field, const QString &text, const QString &title)
{
    Dialogs().MessageBox(parent, text, title);
    field->setFocus();
    return false;
}

bool MaskValid(QWidget *parent, QLineEdit *mask)
{
    const QString text = mask->text();
    if (text.isEmpty() || text == QLatin1String("0.0.0.0") || !IsValidSubnetMask(text))
        return Refuse(parent, mask, QStringLiteral("Please input valid SubMask."), QStringLiteral("Waring"));
    return true;
}

bool ServersValid(QWidget *parent, QLineEdit *gateway, QLineEdit *wins, QLineEdit *dns)
{
    const QString none = QStringLiteral("0.0.0.0");
    const QString g = gateway->text();
    if (g.isEmpty() || g == none || !IsValidIpAddress(g))
        return Refuse(parent, gateway, QStringLiteral("Please input valid Gateway."), QStringLiteral("Waring"));
    const struct {
        QLineEdit *edit;
        const char *message;
    } optional[] = {{wins, "Invalid WINS!"}, {dns, "Please input valid DNS!"}};
    for (const auto &o : optional) {
        const QString text = o.edit->text();
        if (!text.isEmpty() && text != none && !IsValidIpAddress(text))
            return Refuse(parent, o.edit, QLatin1String(o.message), QStringLiteral("Waring"));
        if (text.isEmpty())
            o.edit->setText(none);
    }
    return true;
}

} // namespace dhcp

TFM_DHCP::TFM_DHCP(QWidget *parent)
    : KxScreen(QStringLiteral("FM_DHCP"), QStringLiteral("Advanced \\ DHCP Server"), parent)
{
    BuildTabs();
    connect(m_dyn->control, &QComboBox::activated, this, &TFM_DHCP::CB_Fuction1Change);
    connect(m_st->control, &QComboBox::activated, this, &TFM_DHCP::CB_Fuction2Change);
    connect(m_dyn->apply, &QPushButton::clicked, this, &TFM_DHCP::Bt_ApplyClick);
    connect(m_dyn->cancel, &QPushButton::clicked, this, &QDialog::close);
    connect(m_st->save, &QPushButton::clicked, this, &TFM_DHCP::Btn_AddClick);
    connect(m_st->del, &QPushButton::clicked, this, &TFM_DHCP::Btn_DelClick);
    connect(m_st->entries, &QTreeWidget::itemSelectionChanged, this, &TFM_DHCP::User_ListViewSelect);
    connect(m_cur->refreshDynamic, &QPushButton::clicked, this, &TFM_DHCP::Bt_RefreshDynamicPoolClick);
    connect(m_cur->refreshStatic, &QPushButton::clicked, this, &TFM_DHCP::Bt_RefreshStaticPoolClick);
    connect(m_tabs, &QTabWidget::currentChanged, this, &TFM_DHCP::ApplyRules);
    try {
        Open();
    } catch (const KxException &e) {
        for (QStatusBar *bar : {m_dyn->status, m_st->status, m_cur->dynamicStatus})
            bar->showMessage(e.Text());
        // No read is under way that could end the pending state: the window must close.
        m_pending = false;
    }
    KxApplyTypingLimits(this);
}

TFM_DHCP::~TFM_DHCP()
{
    // The lease lists' requests go before the controls they fill.
    m_cur->dynamicRequest.reset();
    m_cur->staticRequest.reset();
}

void TFM_DHCP::Open()
{
    Dynamic &d = *m_dyn;
    Static &s = *m_st;
    const QString text = QStringLiteral("%s");
    SetStaticListsEnabled(false);
    d.apply->setEnabled(false);
    d.cancel->setEnabled(false);

    KxSNMPRequest2Edits *apMode = MakeRequest(KxDevice::ApModeObjects(), KxItemType::Instance, 0, false, 0, false);
    apMode->BindControl(0, m_apMode);
    KxSNMPRequest2Edits *apAddress = MakeRequest(kApAddress, KxItemType::Instance, 0, false, 1000, false);
    apAddress->BindControl(0, text, m_apAddress);
    apMode->GetIntoControls();
    apAddress->GetIntoControls();

    // A request is kept only once it is bound: a half-bound one must never write.
    KxSNMPRequest2Edits *poolRequest = MakeRequest(kPool, KxItemType::Instance, 0, false, kTimeout, false);
    poolRequest->SetStatusBar(KxStatusTarget(d.status));
    const QList<QLineEdit *> pool = d.Fields();
    for (int i = PoolStart; i <= PoolLease; ++i)
        poolRequest->BindControl(i, i == PoolLease ? QStringLiteral("%u") : text, pool[i]);
    m_poolRequest = poolRequest;
    d.status->showMessage(QStringLiteral("Listing data ... "));
    if (m_poolRequest->GetIntoControls()) {
        ShowRange();
        if (d.gateway->text() == QLatin1String("0.0.0.0"))
            d.gateway->clear();
        d.status->showMessage(QStringLiteral("Get OK!"));
    }

    KxSNMPRequest2Edits *serverRequest = MakeRequest(kServerControl, KxItemType::Scalars, 0, false, kTimeout, false);
    serverRequest->BindControl(0, d.control);
    KxSNMPRequest2Edits *staticControl = MakeRequest(kStaticControl, KxItemType::Scalars, 0, false, kTimeout, false);
    staticControl->BindControl(0, s.control);
    m_serverRequest = serverRequest;
    m_staticControlRequest = staticControl;
    const bool server = m_serverRequest->GetIntoControls();
    const bool statics = m_staticControlRequest->GetIntoControls();
    if (server && statics) {
        s.control->setCurrentIndex(d.control->currentIndex());
        ApplyRules();
    }
    const bool client = m_apMode->currentText() == QLatin1String("Wireless Client");
    if (client) {
        d.control->setCurrentIndex(kDisable);
        s.control->setCurrentIndex(kDisable);
        ApplyRules();
    }
    KxSNMPRequest2Edits *dnStatus = MakeRequest(kDomainNameStatus, KxItemType::Scalars, 0, false, kTimeout, false);
    dnStatus->BindControl(0, m_dnStatus);
    dnStatus->GetIntoControls();

    // All of this before the first asynchronous read: its completion may come at once.
    for (QWidget *w : {static_cast<QWidget *>(d.control), static_cast<QWidget *>(s.control),
                       static_cast<QWidget *>(m_cur->refreshDynamic), static_cast<QWidget *>(m_cur->refreshStatic)})
        w->setEnabled(!client);
    s.del->setEnabled(false);
    SetStaticEntryEnabled(false);
    s.save->setEnabled(true);
    m_tabs->setCurrentIndex(0);

    KxSNMPRequest2Edits *staticRequest = MakeRequest(kStaticPool, KxItemType::Table, 1, true, kTimeout, false);
    staticRequest->SetStatusBar(KxStatusTarget(s.status));
    staticRequest->BindListView(s.table, false);
    staticRequest->BindControl(dhcp::Index, s.index);
    staticRequest->BindControl(dhcp::Status, s.state);
    const QList<QLineEdit *> entry = {s.hostName, s.address, s.mac, s.mask, s.gateway, s.dns, s.wins, s.domain};
    for (int i = dhcp::HostName; i <= dhcp::Domain; ++i)
        staticRequest->BindControl(i, i == dhcp::Mac ? QStringLiteral("%h") : text, entry[i - dhcp::HostName]);
    KxSNMPRequest2Edits *deleteRequest = MakeRequest(kStaticDelete, KxItemType::Scalars, 0, false, kTimeout, false);
    // Without a status line a refused delete would go unnoticed.
    deleteRequest->SetStatusBar(KxStatusTarget(s.status));
    deleteRequest->BindControl(0, s.index);
    m_staticRequest = staticRequest;
    m_deleteRequest = deleteRequest;
    m_staticRequest->OnGetComplete = [this](KxSNMPRequest2Controls *, const KxSNMPError &e) { StaticRead(e); };
    m_staticRequest->OnSetComplete = [this](KxSNMPRequest2Controls *, const KxSNMPError &e) { StaticWritten(e); };
    auto address = [](const KxEntryTable &table, const QTreeWidgetItem *row) { return table.Cell(row, dhcp::Address); };
    m_table = std::make_unique<KxEntryTable>(
        m_staticRequest,
        [address](const KxEntryTable &t, const QTreeWidgetItem *row) {
            const QString a = address(t, row);
            return !a.isEmpty() && a != QLatin1String("0.0.0.0");
        },
        [address](const KxEntryTable &t, const QTreeWidgetItem *row) { return address(t, row) == "0.0.0.0"; });
    s.status->showMessage(QStringLiteral("Listing data ... "));
    m_staticRequest->GetIntoControls();

    BuildCurrentRequests();
}

void TFM_DHCP::reject()
{
    // Every way of closing (Cancel, Escape, the title bar) comes here, and waits for the
    // static table's read.
    if (!m_pending)
        KxScreen::reject();
}

// ---- both tabs -------------------------------------------------------------------

void TFM_DHCP::ApplyRules()
{
    Dynamic &d = *m_dyn;
    Static &s = *m_st;
    const bool server = d.control->currentIndex() == kEnable;
    const bool statics = s.control->currentIndex() == kEnable;
    const QString names = m_dnStatus->currentText();
    for (QLineEdit *edit : d.Fields())
        edit->setEnabled(server);
    d.domain->setEnabled(server && names != QLatin1String("static"));
    // While an entry is being written and read back it stays as it is.
    const bool entry = statics && !m_pending && !(m_staticRequest && m_staticRequest->Busy);
    SetStaticEntryEnabled(entry);
    s.domain->setEnabled(entry && names != QLatin1String("dynamic"));
    SetStaticListsEnabled(statics);
}

void TFM_DHCP::CB_Fuction1Change()
{
    m_st->control->setCurrentIndex(m_dyn->control->currentIndex());
    ApplyRules();
    if (m_dyn->control->currentIndex() == kEnable)
        m_dyn->apply->setEnabled(true);
}

void TFM_DHCP::CB_Fuction2Change()
{
    m_dyn->control->setCurrentIndex(m_st->control->currentIndex());
    CB_Fuction1Change();
}

bool TFM_DHCP::Write(KxSNMPRequest2Edits *request, QStatusBar *errors)
{
    try {
        return request->SetFromControls(true, true);
    } catch (const KxException &e) {
        errors->showMessage(e.Text());
    }
    return false;
}

// ---- dynamic tab -----------------------------------------------------------------

void TFM_DHCP::ShowRange()
{
    // The device keeps the pool's last address; the window shows how many there are.
    const std::optional<quint32> start = KxIpv4(m_dyn->start->text());
    const std::optional<quint32> end = KxIpv4(m_dyn->range->text());
    if (start && end)
        m_dyn->range->setText(QString::number(int(*end & 0xff) - int(*start & 0xff) + 1));
}

bool TFM_DHCP::PoolInputValid()
{
    Dynamic &d = *m_dyn;
    using dhcp::Refuse;
    const QString range = QStringLiteral("Please input a number between 1 and 254.");
    const QString lease = QStringLiteral("Please input a number between 60 and 31536000.");
    const QString address = QStringLiteral("Please input valid IP address");
    try {
        if (d.start->text().isEmpty())
            return Refuse(this, d.start, address, QStringLiteral("Warning"));
        if (d.range->text().isEmpty())
            return Refuse(this, d.range, range, QStringLiteral("Warning"));
        const int count = KxStrToInt(d.range->text());
        if (count < 1 || count > 254)
            return Refuse(this, d.range, range, QStringLiteral("Error"));
        // The start's last part means something only once the start is an address.
        if (!IsValidIpAddress(d.start->text()))
            return Refuse(this, d.start, address, QStringLiteral("Waring"));
        const quint32 start = *KxIpv4(d.start->text());
        if ((start & 0xff) + quint32(count) > 255)
            return Refuse(this, d.range, QStringLiteral("Invaild IP range!"), QStringLiteral("Error"));
        // The AP keeps its own address; a pool must not hand it out.
        if (poolHolds(start, count, m_apAddress->text()))
            return Refuse(this, d.start, address + QLatin1Char('.'), QStringLiteral("Waring"));
        if (d.lease->text().isEmpty())
            return Refuse(this, d.lease, lease, QStringLiteral("Warning"));
        const int seconds = KxStrToInt(d.lease->text());
        if (seconds < 60 || seconds > 31536000)
            return Refuse(this, d.lease, lease, QStringLiteral("Error"));
    } catch (const KxConvertError &e) {
        Dialogs().ShowError(this, e.Text());
        return false;
    }
    return dhcp::MaskValid(this, d.mask) && dhcp::ServersValid(this, d.gateway, d.wins, d.dns);
}

void TFM_DHCP::Bt_ApplyClick()
{
    Dynamic &d = *m_dyn;
    if (!m_serverRequest || !m_poolRequest)
        return;
    const int control = d.control->currentIndex();
    if (control == kDisable) {
        if (Write(m_serverRequest, d.status))
            d.status->showMessage(QStringLiteral("Setting Success!"));
        return;
    }
    if (control != kEnable || !PoolInputValid())
        return;
    const QString start = d.start->text();
    d.range->setText(start.section(QLatin1Char('.'), 0, 2) + QLatin1Char('.')
                     + QString::number(start.section(QLatin1Char('.'), 3).toInt() + d.range->text().toInt() - 1));
    KxSNMPVariable &domain = m_poolRequest->VarList()[PoolDomain];
    const unsigned access = domain.Access;
    if (!d.domain->isEnabled())
        domain.Access |= Excluded;
    const bool server = Write(m_serverRequest, d.status);
    const bool written = Write(m_poolRequest, d.status);
    domain.Access = access;
    if (server && written) {
        try {
            m_poolRequest->GetIntoControls();
        } catch (const KxException &e) {
            d.status->showMessage(e.Text());
        }
        ShowRange();
        d.status->showMessage(QStringLiteral("Setting Success!"));
        return;
    }
    ShowRange();
}

