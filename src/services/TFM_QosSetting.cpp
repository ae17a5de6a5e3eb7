#include "TFM_QosSettingParts.h"

#include "KxDeviceObjects.h"
#include "KxServiceKit.h"

#include <QSignalBlocker>

using namespace qos;

namespace {

#define ROOT KX_DEVICE_ROOT
#define RULE(n, name, syntax, options) {ROOT ".3.6.2.5.1." #n, name, syntax, ReadWrite, options}

using namespace KxAccess;
using namespace KxSyntax;

const KxIntOption kOnOff[] = {{0, "Disable"}, {1, "Enable"}, {0, nullptr}};
// In list order: the values fall.
const KxIntOption kPriorities[] = {{3, "Background(BK)"}, {2, "Best Effort(BE)"}, {1, "Video(VI)"}, {0, "Voice(VO)"},
                                   {0, nullptr}};
const KxIntOption kProtocols[] = {{0, "Any"}, {1, "TCP"}, {2, "UDP"}, {3, "Both"}, {4, "ICMP"}, {5, "Other"},
                                  {0, nullptr}};
const KxOptionList &priorities() { static const KxOptionList l(kPriorities); return l; }
const KxOptionList &protocols() { static const KxOptionList l(kProtocols); return l; }

const KxSNMPVarDesc kStatus[] = {{ROOT ".3.6.1", "dot11QosStatus", Integer, ReadWrite, &qos::OnOff()}, {nullptr}};
const KxSNMPVarDesc kClassifiers[] = {
    {ROOT ".3.6.2.1", "dot11QosHttp", Integer, ReadWrite, &qos::OnOff()},
    {ROOT ".3.6.2.2", "dot11QosAutomatic", Integer, ReadWrite, &qos::OnOff()},
    {nullptr},
};
const KxSNMPVarDesc kDelete[] = {{ROOT ".3.6.2.4", "dot11QosRulesDelete", Integer, ReadWrite}, {nullptr}};
const KxSNMPVarDesc kRules[] = {
    {ROOT ".3.6.2.5.1.1", "dot11QosRulesIndex", Integer, Key | Readable},
    RULE(2, "dot11QosRulesState", Integer, &qos::OnOff()),
    RULE(3, "dot11QosRulesName", DisplayString, nullptr),
    RULE(4, "dot11QosRulespriority", Integer, &priorities()),
    RULE(5, "dot11QosRulesProtocol", Integer, nullptr),
    RULE(6, "dot11QosRulesProtocolType", Integer, &protocols()),
    RULE(7, "dot11QosRulesHostOneIpStart", IpAddress, nullptr),
    RULE(8, "dot11QosRulesHostOneIpEnd", IpAddress, nullptr),
    RULE(9, "dot11QosRulesHostOneIpRange", Integer, nullptr),
    RULE(10, "dot11QosRulesHostOnePortStart", Integer, nullptr),
    RULE(11, "dot11QosRulesHostOnePortEnd", Integer, nullptr),
    RULE(12, "dot11QosRulesHostOnePortRange", Integer, nullptr),
    RULE(13, "dot11QosRulesHostTwoIpStart", IpAddress, nullptr),
    RULE(14, "dot11QosRulesHostTwoIpEnd", IpAddress, nullptr),
    RULE(15, "dot11QosRulesHostTwoIpRange", Integer, nullptr),
    RULE(16, "dot11QosRulesHostTwoPortStart", Integer, nullptr),
    RULE(17, "dot11QosRulesHostTwoPortEnd", Integer, nullptr),
    RULE(18, "dot11QosRulesHostTwoPortRange", Integer, nullptr),
    {nullptr},
};

constexpr int kTimeout = 10000;
constexpr int kQosOn = 1;

// A port pair as the list shows it: "Any" for no ports, else "start/end" with a 0 side "Any".
QString Ports(const QString &start, const QString &end)
{
    const QString zero = QStringLiteral("0"), any = QStringLiteral("Any");
    if (start == zero && end == zero)
        return any;
    return (start == zero ? any : start) + QLatin1Char('/') + (end == zero ? any : end);
}

} // namespace

const KxOptionList &qos::OnOff()
{
    static const KxOptionList list(kOnOff);
    return list;
}

TFM_QosSetting::TFM_QosSetting(QWidget *parent)
    : KxScreen(QStringLiteral("FM_QosSetting"), QStringLiteral("Advanced \\ Qos Setting"), parent), m_wait(this)
{
    BuildForm();
    Connect();
    Guard([this] {
        BuildRequests();
        m_status->GetIntoControls();
        m_classifiers->GetIntoControls();
        m_rules->GetIntoControls();
    });
    CB_EnableQosChange();
}

TFM_QosSetting::~TFM_QosSetting()
{
    StopRequests();
    if (m_states)
        m_states->Request.Enabled = false;
}

void TFM_QosSetting::BuildRequests()
{
    Controls &c = *m_c;
    const QString text = QStringLiteral("%s");
    m_status = MakeRequest(kStatus, KxItemType::Scalars, 0, false, kTimeout);
    m_status->BindControl(0, c.enableQos);
    m_classifiers = MakeRequest(kClassifiers, KxItemType::Scalars, 0, false, kTimeout);
    m_classifiers->BindControl(0, c.http);
    m_classifiers->BindControl(1, c.automatic);
    // Never read: it only carries the index of the rule to delete.
    m_delete = MakeRequest(kDelete, KxItemType::Scalars, 0, false, kTimeout);
    m_delete->BindControl(0, text, c.deleteIndex);
    m_rules = MakeRequest(kRules, KxItemType::Table, 1, true, kTimeout);
    m_rules->BindListView(c.ruleTable, true);
    m_rules->BindControl(VIndex, c.index);
    m_rules->BindControl(VState, c.state);
    m_rules->BindControl(VPriority, c.priority);
    m_rules->BindControl(VType, c.protocol);
    const std::pair<int, QLineEdit *> edits[] = {
        {VName, c.name}, {VProtocol, c.protocolNumber}, {VIp1From, c.ipFrom1}, {VIp1To, c.ipTo1},
        {VIp1Range, c.ipRange1}, {VPort1From, c.portFrom1}, {VPort1To, c.portTo1}, {VPort1Range, c.portRange1},
        {VIp2From, c.ipFrom2}, {VIp2To, c.ipTo2}, {VIp2Range, c.ipRange2}, {VPort2From, c.portFrom2},
        {VPort2To, c.portTo2}, {VPort2Range, c.portRange2}};
    for (const auto &[variable, field] : edits)
        m_rules->BindControl(variable, text, field);
    m_rules->OnGetComplete = [this](KxSNMPRequest2Controls *, const KxSNMPError &e) { RulesRead(e); };
    m_rules->OnSetComplete = [this](KxSNMPRequest2Controls *, const KxSNMPError &e) { RulesWritten(e); };
    auto named = [](const KxEntryTable &t, const QTreeWidgetItem *row) { return !t.Cell(row, VName).isEmpty(); };
    auto unnamed = [](const KxEntryTable &t, const QTreeWidgetItem *row) { return t.Cell(row, VName).isEmpty(); };
    m_table = std::make_unique<KxEntryTable>(m_rules, named, unnamed);
}

bool TFM_QosSetting::QosEnabled() const
{
    return m_c->enableQos->currentIndex() == kQosOn;
}

void TFM_QosSetting::ApplyMode(int mode)
{
    Controls &c = *m_c;
    c.add->setEnabled(mode == Listing || mode == AllOn);
    c.del->setEnabled(mode == Selected || mode == AllOn);
    c.clear->setEnabled(true);
    c.apply->setEnabled(true);
}

// The mode is always recorded; the buttons follow it only while QoS is on.
void TFM_QosSetting::SetMode(int mode)
{
    m_mode = mode;
    if (QosEnabled())
        ApplyMode(mode);
}

void TFM_QosSetting::RulesRead(const KxSNMPError &error)
{
    Controls &c = *m_c;
    if (error.Code != 0)
        return;
    m_mode = Listing;
    m_table->Rebuild();
    {
        const QSignalBlocker quiet(c.rules);
        c.rules->clear();
        for (int e = 0; e < m_table->Rows().Count(); ++e) {
            const QTreeWidgetItem *row = m_table->Entry(e);
            auto cell = [&](int v) { return m_table->Cell(row, v); };
            auto *item = new QTreeWidgetItem(
                {cell(VName), cell(VPriority), cell(VIp1From) + QLatin1Char('~') + cell(VIp1To),
                 cell(VIp2From) + QLatin1Char('~') + cell(VIp2To),
                 cell(VType) + QLatin1Char(' ') + Ports(cell(VPort1From), cell(VPort1To)) + QLatin1Char(' ')
                     + Ports(cell(VPort2From), cell(VPort2To))});
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(0, cell(VState) == QLatin1String("Enable") ? Qt::Checked : Qt::Unchecked);
            c.rules->addTopLevelItem(item);
        }
    }
    m_listed = c.rules->topLevelItemCount();
    // A full table has no row an add could go to.
    if (m_listed < kMaxRules && m_table->MakeFreeCurrent())
        SetMode(Listing);
    else
        SetMode(Full);
    Btn_ClearClick();
    CB_EnableQosChange();
    ShowStatus(QStringLiteral("Get OK!"));
}

void TFM_QosSetting::RulesWritten(const KxSNMPError &error)
{
    if (error.Code == 0)
        Guard([this] { m_rules->GetIntoControls(); });
    m_wait.Close();
}

void TFM_QosSetting::LV_QosRulesUserSelect()
{
    Controls &c = *m_c;
    const QList<QTreeWidgetItem *> picked = c.rules->selectedItems();
    if (picked.isEmpty()) {
        SetMode(m_listed < kMaxRules ? Listing : Full);
        m_table->MakeFreeCurrent();
    } else {
        const int entry = c.rules->indexOfTopLevelItem(picked.first());
        m_table->MakeCurrent(m_table->Rows().KeyOf(entry));
        c.deleteIndex->setText(m_table->Cell(m_table->Entry(entry), VIndex));
        for (QLineEdit *field : {c.ipFrom1, c.ipTo1, c.portFrom1, c.portTo1, c.ipFrom2, c.ipTo2, c.portFrom2, c.portTo2})
            if (field->text() == QLatin1String("0") || field->text() == QLatin1String("0.0.0.0"))
                field->clear();
        SetMode(Selected);
    }
    CB_EnableQosChange();
}

void TFM_QosSetting::Btn_DelClick()
{
    Controls &c = *m_c;
    const QList<QTreeWidgetItem *> picked = c.rules->selectedItems();
    if (picked.isEmpty())
        return;
    const QString question = QStringLiteral("Are you sure you want to delete ") + picked.first()->text(0)
                             + QLatin1Char('?');
    if (!Dialogs().Confirm(this, question, QStringLiteral("Warning")))
        return;
    if (Write(m_delete)) {
        Guard([this] { m_rules->GetIntoControls(); });
        ShowStatus(QStringLiteral("Delete OK!"));
    } else {
        ShowStatus(QStringLiteral("Delete Fail!"));
    }
}

void TFM_QosSetting::Btn_ClearClick()
{
    Controls &c = *m_c;
    for (QLineEdit *field : {c.name, c.ipFrom1, c.ipTo1, c.portFrom1, c.portTo1, c.ipFrom2, c.ipTo2, c.portFrom2,
                             c.portTo2})
        field->clear();
    c.protocol->setCurrentIndex(0);
    c.priority->setCurrentIndex(0);
    // The protocol number and the port fields must match "Any" again.
    CB_ProtocolChange();
}

bool TFM_QosSetting::Write(KxSNMPRequest2Edits *request)
{
    bool ok = false;
    Guard([&] { ok = request->SetFromControls(); });
    return ok;
}

void TFM_QosSetting::Btn_ApplyClick()
{
    Controls &c = *m_c;
    bool anyChecked = false;
    for (int i = 0; i < c.rules->topLevelItemCount(); ++i)
        anyChecked = anyChecked || c.rules->topLevelItem(i)->checkState(0) == Qt::Checked;
    if (!c.http->isChecked() && !c.automatic->isChecked() && !anyChecked)
        Dialogs().MessageBox(this,
                             QStringLiteral("All traffic will be treated as priority of 'Best Effort'\nbecause of "
                                            "priority classifier specified and empty rule table."),
                             QStringLiteral("Warning"));
    if (!QosEnabled()) {
        Write(m_status);
        return;
    }
    if (!WriteStates())
        return;
    Write(m_status);
    Write(m_classifiers);
    m_wait.Close();
    if (m_mode == Selected)
        Add(false);
    else
        Guard([this] { m_rules->GetIntoControls(); });
}

// The enabled state of every listed rule, each in its own row's object; false when the
// states could not be read, and nothing more is written then. With no rule listed there
// is nothing to read or write, and the switch and classifiers are still written.
bool TFM_QosSetting::WriteStates()
{
    Controls &c = *m_c;
    m_states.reset();
    m_stateControls.clear();
    if (m_listed == 0)
        return true;
    std::vector<QByteArray> oids, names;
    std::vector<KxSNMPVarDesc> table;
    // Each listed rule's own row: the same as its position while the device keeps its
    // rules first, and still right when it does not.
    for (int i = 0; i < m_listed; ++i) {
        const QByteArray row = m_table->Rows().KeyOf(i).toLatin1();
        oids.push_back(QByteArrayLiteral(ROOT ".3.6.2.5.1.2.") + row);
        names.push_back(QByteArrayLiteral("dot11QosRulesState") + row);
    }
    for (int i = 0; i < m_listed; ++i)
        table.push_back({oids[size_t(i)].constData(), names[size_t(i)].constData(), Integer, ReadWrite, &qos::OnOff()});
    table.push_back({nullptr});
    m_states = std::make_unique<KxSNMPRequest2Edits>(this);
    m_states->VarList() = KxSNMPVarList(table.data(), KxItemType::Instance, 0);
    m_states->Asynchronous = false;
    m_states->Request.Timeout = kTimeout;
    m_states->SetStatusBar(KxStatusTarget(StatusBar()));
    m_states->BeforeSetHook = [this] { m_wait.Show(); };
    auto *list = new QTreeWidget(this);
    list->hide();
    m_stateControls.emplace_back(list);
    m_states->BindListView(list, false);
    std::vector<QComboBox *> states;
    for (int i = 0; i < m_listed; ++i) {
        auto *box = new QComboBox(this);
        box->hide();
        m_stateControls.emplace_back(box);
        m_states->BindControl(i, box);
        states.push_back(box);
    }
    bool read = false;
    Guard([&] { read = m_states->GetIntoControls() && m_states->RowCount == 1; });
    if (!read)
        return false;
    for (int i = 0; i < m_listed; ++i)
        qos::OnOff().Select(states[size_t(i)], c.rules->topLevelItem(i)->checkState(0) == Qt::Checked
                                              ? QStringLiteral("Enable")
                                              : QStringLiteral("Disable"));
    Write(m_states.get());
    return true;
}

void TFM_QosSetting::CB_EnableQosChange()
{
    Controls &c = *m_c;
    const bool on = QosEnabled();
    for (QWidget *w : std::initializer_list<QWidget *>{c.http, c.automatic, c.name, c.priority, c.protocol, c.ipFrom1,
                                                       c.ipTo1, c.portFrom1, c.portTo1, c.ipFrom2, c.ipTo2,
                                                       c.portFrom2, c.portTo2, c.rules, c.add, c.clear, c.del})
        w->setEnabled(on);
    c.protocolNumber->setEnabled(false);
    if (on)
        ApplyMode(m_mode);
    CB_ProtocolChange();
}

void TFM_QosSetting::CB_ProtocolChange()
{
    Controls &c = *m_c;
    static const char *const kNumbers[] = {"256", "6", "17", "257", "1"};
    const int type = c.protocol->currentIndex();
    const bool other = type == 5;
    const bool ports = type >= 1 && type <= 3;
    if (type >= 0 && !other)
        c.protocolNumber->setText(QLatin1String(kNumbers[type]));
    // With QoS off every rule field stays off.
    c.protocolNumber->setEnabled(other && QosEnabled());
    for (QLineEdit *field : {c.portFrom1, c.portTo1, c.portFrom2, c.portTo2})
        field->setEnabled(ports && QosEnabled());
}
