#include "TFM_TrafficCtrlParts.h"

#include "KxDeviceObjects.h"
#include "KxServiceKit.h"

#include <algorithm>

namespace {

#define ROOT KX_DEVICE_ROOT
#define MODE(n) {ROOT ".3.9.1.1.1.1.3." #n, "dot11TrafficcontrolInterfaceMode", Integer, ReadWrite, &modes()}
#define QOS(column, n, name, syntax, options) {ROOT ".3.9.2.2.2.1.1." #column "." #n, name, syntax, ReadWrite, options}
#define PRIORITY(n) QOS(3, n, "dot11QosAdvancedPriority", Integer, &priorities())
#define LIMIT(n) QOS(4, n, "dot11QosAdvancedPriorityLimit", Integer, nullptr)
#define PORT(n) QOS(5, n, "dot11QosAdvancedPriorityPort", DisplayString, nullptr)

using namespace KxAccess;
using namespace KxSyntax;

const KxIntOption kOnOff[] = {{0, "Disable"}, {1, "Enable"}, {0, nullptr}};
const KxIntOption kModes[] = {{0, "disable"}, {1, "downlink"}, {2, "uplink"}, {0, nullptr}};
const KxIntOption kPriorities[] = {{1, "highest"}, {2, "second"}, {3, "thrid"}, {4, "low"}, {0, nullptr}};
const KxIntOption kUnlisted[] = {{0, "Deny"}, {1, "Forward"}, {0, nullptr}};
const KxOptionList &onOff() { static const KxOptionList l(kOnOff); return l; }
const KxOptionList &modes() { static const KxOptionList l(kModes); return l; }
const KxOptionList &priorities() { static const KxOptionList l(kPriorities); return l; }
const KxOptionList &unlisted() { static const KxOptionList l(kUnlisted); return l; }

const KxSNMPVarDesc kSsidStates[] = {
    {" ", "ifIndex", Integer, Key},
    {ROOT ".3.3.3.1.1", "dot11MssidIndex", Integer, Key | Readable},
    {ROOT ".3.3.3.1.2", "dot11MssIndividualState", Integer, ReadOnly, &onOff()},
    {nullptr},
};
const KxSNMPVarDesc kWdsPeers[] = {
    {" ", "ifIndex", Integer, Key},
    {ROOT ".2.1.3.3.1.2.1.1.1", "dot11RemoteApMacAddressIndex", Integer, Key | Readable},
    {ROOT ".2.1.3.3.1.2.1.1.2", "dot11RemoteApMacAddressList", MacAddress, ReadOnly},
    {nullptr},
};
constexpr int kTableValue = 2; // the state or MAC column of both tables
const KxSNMPVarDesc kMultiSsid[] = {{ROOT ".3.3.1.1.1.1", "dot11MssidState", Integer, ReadWrite, &onOff()}, {nullptr}};
const KxSNMPVarDesc kModeObjects[] = {MODE(1), MODE(2), MODE(3), MODE(4), MODE(5), MODE(6), MODE(7), MODE(8), MODE(9),
                                      MODE(10), MODE(11), MODE(12), MODE(13), MODE(14), MODE(15), MODE(16), MODE(17),
                                      {nullptr}};
const KxSNMPVarDesc kBandwidth[] = {
    {ROOT ".3.9.1.2.1", "dot11DownLinkBandWidth", Integer, ReadWrite},
    {ROOT ".3.9.1.2.2", "dot11UpLinkBandWidth", Integer, ReadWrite},
    {nullptr},
};
const KxSNMPVarDesc kQosState[] = {{ROOT ".3.9.2.2.1.1", "dot11dot11QosState", Integer, ReadWrite, &onOff()}, {nullptr}};
const KxSNMPVarDesc kPriorityObjects[] = {PRIORITY(1), PRIORITY(2), PRIORITY(3), PRIORITY(4), PRIORITY(5),
                                          PRIORITY(6), PRIORITY(7), PRIORITY(8), PRIORITY(9), {nullptr}};
const KxSNMPVarDesc kLimitObjects[] = {LIMIT(1), LIMIT(2), LIMIT(3), LIMIT(4), LIMIT(5),
                                       LIMIT(6), LIMIT(7), LIMIT(8), LIMIT(9), {nullptr}};
const KxSNMPVarDesc kPortObjects[] = {PORT(1), PORT(2), PORT(3), PORT(4), PORT(5), PORT(6), PORT(7), PORT(8), {nullptr}};
const KxSNMPVarDesc kManager[] = {
    {ROOT ".3.9.3.1.1", "dot11TrafficManagerStauts", Integer, ReadWrite, &onOff()},
    {ROOT ".3.9.3.1.2", "dot11TrafficManagerUlistClient", Integer, ReadWrite, &unlisted()},
    {nullptr},
};
const KxSNMPVarDesc kRule[] = {
    {ROOT ".3.9.3.2.1", "dot11RuleName", DisplayString, ReadWrite},
    {ROOT ".3.9.3.2.2", "dot11ClientIP", IpAddress, ReadWrite},
    {ROOT ".3.9.3.2.3", "dot11ClientMac", MacAddress, ReadWrite},
    {ROOT ".3.9.3.2.4", "dot11ClientDownSpeed", Integer, ReadWrite},
    {ROOT ".3.9.3.2.5", "dot11ClientUpSpeed", Integer, ReadWrite},
    {ROOT ".3.9.3.2.6", "dot11RuleAction", Integer, ReadWrite},
    {nullptr},
};
const KxSNMPVarDesc kRuleList[] = {
    {ROOT ".3.9.3.3.1.1.1", "dot11TrafficManagerRulesListIndex", Integer, Key | Readable},
    {ROOT ".3.9.3.3.1.1.2", "dot11RuleListName", DisplayString, ReadOnly},
    {ROOT ".3.9.3.3.1.1.3", "dot11RuleListClientIP", IpAddress, ReadOnly},
    {ROOT ".3.9.3.3.1.1.4", "dot11RuleListClientMac", MacAddress, ReadOnly},
    {ROOT ".3.9.3.3.1.1.5", "dot11RuleListClientDownSpeed", Integer, ReadOnly},
    {ROOT ".3.9.3.3.1.1.6", "dot11RuleListClientUpSpeed", Integer, ReadOnly},
    {nullptr},
};

constexpr int kTimeout = 10000;
constexpr int kMaxBandwidth = 150;
constexpr int kFirstUserClass = 4; // class 5, the first with a port range of its own
constexpr int kMaxPort = 65535;

bool Numeric(const QString &text)
{
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

// The text of `variable` in row `row` of a request's hidden list; empty past its rows.
QString Cell(KxSNMPRequest2Edits *request, int row, int variable)
{
    QTreeWidget *list = request->ListView();
    const std::vector<int> columns = request->ColumnVariables();
    const auto at = std::find(columns.begin(), columns.end(), variable) - columns.begin();
    if (!list || row >= list->topLevelItemCount() || at >= qsizetype(columns.size()))
        return QString();
    return list->topLevelItem(row)->text(int(at));
}

// The device's 0 means no bandwidth set: the field stays empty.
void ZeroAsEmpty(QLineEdit *edit)
{
    if (edit->text() == QLatin1String("0"))
        edit->clear();
}

bool Refuse(QWidget *parent, QLineEdit *field, const QString &text, const QString &title, bool empty = true)
{
    Dialogs().MessageBox(parent, text, title);
    if (empty)
        field->clear();
    field->setFocus();
    return false;
}

} // namespace

TFM_TrafficCtrl::TFM_TrafficCtrl(QWidget *parent)
    : KxScreen(QStringLiteral("FM_TrafficCtrl"), QStringLiteral("Advanced \\ Traffic Control"), parent)
{
    BuildForm();
    Connect();
    Open();
    KxApplyTypingLimits(this);
}

TFM_TrafficCtrl::~TFM_TrafficCtrl() = default;

void TFM_TrafficCtrl::BuildRequests()
{
    Controls &c = *m_c;
    const QString text = QStringLiteral("%s");
    auto make = [this](const KxSNMPVarDesc *table, quint8 type, int keys, bool async, QStatusBar *bar) {
        KxSNMPRequest2Edits *r = MakeRequest(table, type, keys, async, kTimeout, false);
        r->SetStatusBar(KxStatusTarget(bar));
        return r;
    };
    m_ssidStates = make(kSsidStates, KxItemType::Table, 2, false, c.linkStatus);
    m_ssidStates->BindListView(c.ssidStates, false);
    m_wdsPeers = make(kWdsPeers, KxItemType::Table, 2, false, c.linkStatus);
    m_wdsPeers->BindListView(c.wdsPeers, false);
    m_multiSsid = make(kMultiSsid, KxItemType::Instance, 0, false, c.linkStatus);
    m_multiSsid->BindControl(0, c.multiSsid);
    m_modes = make(kModeObjects, KxItemType::Instance, 0, false, c.linkStatus);
    for (int i = 0; i < kInterfaces; ++i)
        m_modes->BindControl(i, c.mode[size_t(i)]);
    m_linkBandwidth = make(kBandwidth, KxItemType::Scalars, 0, false, c.linkStatus);
    m_linkBandwidth->BindControl(0, text, c.downLink);
    m_linkBandwidth->BindControl(1, text, c.upLink);

    m_qosState = make(kQosState, KxItemType::Scalars, 0, false, c.qosStatus);
    m_qosState->BindControl(0, c.qos);
    m_qosBandwidth = make(kBandwidth, KxItemType::Scalars, 0, false, c.qosStatus);
    m_qosBandwidth->BindControl(0, text, c.qosDown);
    m_qosBandwidth->BindControl(1, text, c.qosUp);
    m_priorities = make(kPriorityObjects, KxItemType::Instance, 0, false, c.qosStatus);
    m_limits = make(kLimitObjects, KxItemType::Instance, 0, false, c.qosStatus);
    for (int k = 0; k < kClasses; ++k) {
        m_priorities->BindControl(k, c.priority[size_t(k)]);
        m_limits->BindControl(k, text, c.limit[size_t(k)]);
    }
    m_ports = make(kPortObjects, KxItemType::Instance, 0, true, c.qosStatus);
    for (int k = 0; k < 8; ++k)
        m_ports->BindControl(k, text, c.port[size_t(k)]);
    m_ports->OnGetComplete = [this](KxSNMPRequest2Controls *, const KxSNMPError &e) { PortsRead(e); };

    m_managerBandwidth = make(kBandwidth, KxItemType::Scalars, 0, false, c.managerStatus);
    m_managerBandwidth->BindControl(0, text, c.managerDown);
    m_managerBandwidth->BindControl(1, text, c.managerUp);
    m_manager = make(kManager, KxItemType::Scalars, 0, false, c.managerStatus);
    m_manager->BindControl(0, c.manager);
    m_manager->BindControl(1, c.unlisted);
    // Never read: every write gives all six values itself.
    m_rule = make(kRule, KxItemType::Scalars, 0, true, c.managerStatus);
    m_rule->OnSetComplete = [this](KxSNMPRequest2Controls *, const KxSNMPError &e) { RuleWritten(e); };
    m_ruleList = make(kRuleList, KxItemType::Table, 1, true, c.managerStatus);
    m_ruleList->BindListView(c.ruleTable, false);
    m_ruleList->OnGetComplete = [this](KxSNMPRequest2Controls *, const KxSNMPError &e) { RuleListRead(e); };
    auto named = [](const KxEntryTable &t, const QTreeWidgetItem *row) { return !t.Cell(row, 1).isEmpty(); };
    auto unnamed = [](const KxEntryTable &t, const QTreeWidgetItem *row) { return t.Cell(row, 1).isEmpty(); };
    m_rules = std::make_unique<KxEntryTable>(m_ruleList, named, unnamed);
}

void TFM_TrafficCtrl::Open()
{
    Controls &c = *m_c;
    c.qos->setChecked(false);
    ChBox_QosClick();
    // An error while the requests are built or read ends the opening where it happened.
    Guard([this, &c] {
        BuildRequests();
        ReadInterfaces();
        if (m_linkBandwidth->GetIntoControls()) {
            ZeroAsEmpty(c.downLink);
            ZeroAsEmpty(c.upLink);
        }
        if (m_qosState->GetIntoControls())
            ChBox_QosClick();
        if (m_qosBandwidth->GetIntoControls()) {
            ZeroAsEmpty(c.qosDown);
            ZeroAsEmpty(c.qosUp);
        }
        m_priorities->GetIntoControls();
        m_limits->GetIntoControls();
        m_ports->GetIntoControls();
        if (m_managerBandwidth->GetIntoControls()) {
            ZeroAsEmpty(c.managerDown);
            ZeroAsEmpty(c.managerUp);
        }
        m_manager->GetIntoControls();
        m_ruleList->GetIntoControls();
    });
    ManagerRule();
    for (QLineEdit *mirror : {c.qosDown, c.qosUp, c.managerDown, c.managerUp})
        mirror->setEnabled(false);
}

void TFM_TrafficCtrl::ReadInterfaces()
{
    Controls &c = *m_c;
    m_ssidStates->GetIntoControls();
    m_wdsPeers->GetIntoControls();
    const bool multi = m_multiSsid->GetIntoControls() && c.multiSsid->currentText() == QLatin1String("Enable");
    m_available[0] = true;
    m_available[1] = true;
    // A table with fewer than eight rows leaves the interfaces it does not list unusable.
    for (int k = 0; k < 8; ++k) {
        const QString state = Cell(m_ssidStates, k, kTableValue);
        const QString mac = Cell(m_wdsPeers, k, kTableValue);
        if (k > 0 || multi)
            m_available[1 + k] = multi && !state.isEmpty() && state != QLatin1String("Disable")
                                 && state != QLatin1String("0");
        m_available[9 + k] = multi && !mac.isEmpty() && mac != QLatin1String("000000000000");
    }
    if (m_modes->GetIntoControls())
        for (int i = 0; i < kInterfaces; ++i)
            ModeChange(i);
    for (int i = 0; i < kInterfaces; ++i)
        RefreshBoxes(i);
}

void TFM_TrafficCtrl::RefreshBoxes(int i)
{
    Controls &c = *m_c;
    c.down[size_t(i)]->setEnabled(m_available[i] && !c.up[size_t(i)]->isChecked());
    c.up[size_t(i)]->setEnabled(m_available[i] && !c.down[size_t(i)]->isChecked());
}

void TFM_TrafficCtrl::BoxClick(int i, bool uplink)
{
    Controls &c = *m_c;
    QCheckBox *clicked = uplink ? c.up[size_t(i)] : c.down[size_t(i)];
    QCheckBox *partner = uplink ? c.down[size_t(i)] : c.up[size_t(i)];
    if (clicked->isChecked()) {
        partner->setChecked(false);
        if (i >= 2)
            modes().Select(c.mode[size_t(i)], uplink ? QStringLiteral("uplink") : QStringLiteral("downlink"));
    }
    RefreshBoxes(i);
}

void TFM_TrafficCtrl::ModeChange(int i)
{
    Controls &c = *m_c;
    const QString mode = c.mode[size_t(i)]->currentText();
    c.down[size_t(i)]->setChecked(mode == QLatin1String("downlink"));
    c.up[size_t(i)]->setChecked(mode == QLatin1String("uplink"));
    RefreshBoxes(i);
}

void TFM_TrafficCtrl::DeriveModes()
{
    Controls &c = *m_c;
    for (int i = 0; i < kInterfaces; ++i) {
        const QString mode = c.up[size_t(i)]->isChecked()     ? QStringLiteral("uplink")
                             : c.down[size_t(i)]->isChecked() ? QStringLiteral("downlink")
                                                              : QStringLiteral("disable");
        modes().Select(c.mode[size_t(i)], mode);
    }
}

bool TFM_TrafficCtrl::LinkRatesValid()
{
    Controls &c = *m_c;
    const QList<QLineEdit *> rates = {c.downLink, c.upLink};
    for (QLineEdit *rate : rates)
        if (rate->text().isEmpty())
            return Refuse(this, rate, QStringLiteral("Please input value for the rate !"), QStringLiteral("Waring"));
    for (QLineEdit *rate : rates)
        if (!Numeric(rate->text()))
            return Refuse(this, rate, QStringLiteral("Invaild value for the rate!"), QStringLiteral("Warning"));
    for (QLineEdit *rate : rates) {
        const int value = rate->text().size() > 3 ? kMaxBandwidth + 1 : rate->text().toInt();
        if (value < 1 || value > kMaxBandwidth)
            return Refuse(this, rate, QStringLiteral("Downlink or uplink bandwidth range should be 1~150 mega bits/sec!"),
                          QStringLiteral("Warning"));
    }
    return true;
}

bool TFM_TrafficCtrl::Write(KxSNMPRequest2Edits *request)
{
    bool ok = false;
    Guard([&] { ok = request->SetFromControls(); });
    return ok;
}

void TFM_TrafficCtrl::Bt_LinkApplyClick()
{
    Controls &c = *m_c;
    if (!LinkRatesValid())
        return;
    DeriveModes();
    const bool multi = c.multiSsid->currentText() == QLatin1String("Enable");
    bool modesOk = false;
    Guard([&] { modesOk = m_modes->SetFromControls(true, true, multi ? QString() : QStringLiteral("0,1")); });
    const bool bandwidthOk = Write(m_linkBandwidth);
    if (modesOk && bandwidthOk) {
        c.qosDown->setText(c.downLink->text());
        c.qosUp->setText(c.upLink->text());
        c.managerDown->setText(c.downLink->text());
        c.managerUp->setText(c.upLink->text());
    }
    c.linkStatus->showMessage(modesOk && bandwidthOk ? QStringLiteral("Save OK!") : QStringLiteral("Save Fail!"));
}

void TFM_TrafficCtrl::ChBox_QosClick()
{
    Controls &c = *m_c;
    if (c.qos->isChecked() && c.downLink->text().isEmpty() && c.upLink->text().isEmpty()) {
        Dialogs().MessageBox(this,
                             QStringLiteral("Qos can't enable if uplink and downlink bandwidth are empty in "
                                            "uplink/downlink/setting!"),
                             QStringLiteral("Warning"));
        c.qos->setChecked(false);
    }
    const bool on = c.qos->isChecked();
    for (int k = 0; k < kClasses; ++k) {
        c.priority[size_t(k)]->setEnabled(on);
        c.limit[size_t(k)]->setEnabled(on);
    }
    for (int u = 0; u < 4; ++u) {
        c.portStart[size_t(u)]->setEnabled(on);
        c.portEnd[size_t(u)]->setEnabled(on);
    }
}

bool TFM_TrafficCtrl::LimitsValid()
{
    for (QLineEdit *limit : m_c->limit) {
        const QString text = limit->text();
        if (text.isEmpty())
            return Refuse(this, limit, QStringLiteral("Please input value for the limit !"), QStringLiteral("Warning"));
        if (!Numeric(text) || text.size() > 3 || text.toInt() < 1 || text.toInt() > 100)
            return Refuse(this, limit, QStringLiteral("Invaild value for the limit !"), QStringLiteral("Warning"));
    }
    return true;
}

bool TFM_TrafficCtrl::PortsValid()
{
    Controls &c = *m_c;
    QList<QPair<int, int>> ranges;
    for (int u = 0; u < 4; ++u) {
        QLineEdit *start = c.portStart[size_t(u)];
        QLineEdit *end = c.portEnd[size_t(u)];
        for (QLineEdit *port : {start, end}) {
            // The first class counts an empty field as not a number; the others hand it to
            // the number conversion, which names the text.
            if (port->text().isEmpty() && u > 0) {
                Dialogs().ShowError(this, QStringLiteral("'' is not a valid integer value"));
                return false;
            }
            const bool number = Numeric(port->text()) && port->text().size() <= 5;
            if (!number || port->text().toInt() < 1 || port->text().toInt() > kMaxPort)
                return Refuse(this, port, QStringLiteral("Invaild value for the port !"), QStringLiteral("Warning"));
        }
        const int first = start->text().toInt(), last = end->text().toInt();
        if (last < first)
            return Refuse(this, start, QStringLiteral("The end port must be equal or larger than the start port !"),
                          QStringLiteral("Warning"), false);
        for (const auto &other : ranges)
            if (first <= other.second && other.first <= last)
                return Refuse(this, start, QStringLiteral("The port ranges of the user defined classes must not overlap !"),
                              QStringLiteral("Warning"), false);
        ranges.append({first, last});
    }
    return true;
}

void TFM_TrafficCtrl::Bt_QosApplyClick()
{
    Controls &c = *m_c;
    if (!LimitsValid())
        return;
    for (int u = 0; u < 4; ++u)
        c.port[size_t(kFirstUserClass + u)]->setText(c.portStart[size_t(u)]->text() + QLatin1Char('-')
                                                     + c.portEnd[size_t(u)]->text());
    if (!PortsValid())
        return;
    bool ok = Write(m_qosState);
    // The mirrors stay empty while the device has no bandwidth: nothing to write back then.
    if (!c.qosDown->text().isEmpty() && !c.qosUp->text().isEmpty())
        ok = Write(m_qosBandwidth) && ok;
    ok = Write(m_priorities) && ok;
    ok = Write(m_limits) && ok;
    // Written synchronously so that "Save OK!" reports the device's answer.
    m_ports->Asynchronous = false;
    ok = Write(m_ports) && ok;
    m_ports->Asynchronous = true;
    c.qosStatus->showMessage(ok ? QStringLiteral("Save OK!") : QStringLiteral("Save Fail!"));
}

void TFM_TrafficCtrl::PortsRead(const KxSNMPError &error)
{
    Controls &c = *m_c;
    if (error.Code != 0)
        return;
    for (int u = 0; u < 4; ++u) {
        const QString text = c.port[size_t(kFirstUserClass + u)]->text();
        const qsizetype dash = text.indexOf(QLatin1Char('-'));
        c.portStart[size_t(u)]->setText(dash < 0 ? text : text.left(dash));
        c.portEnd[size_t(u)]->setText(dash < 0 ? QString() : text.mid(dash + 1));
    }
}
