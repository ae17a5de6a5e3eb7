// The rule a write sends: its checks, in the order the user meets the fields, and the
// values derived from them. Every column but the index is sent, a field left empty as the
// device's "none" (0, 0.0.0.0): a column left out would keep what the row held before.
#include "TFM_QosSettingParts.h"

#include "KxAddress.h"
#include "KxConvert.h"
#include "KxServiceKit.h"

#include <limits>

using namespace qos;

namespace {

enum Protocol { Any, Tcp, Udp, Both, Icmp, Other };
constexpr int kMaxPort = 65535, kMaxProtocolNumber = 255;
const QString kNoAddress = QStringLiteral("0.0.0.0");
const QString kWarning = QStringLiteral("Warning"), kWaring = QStringLiteral("Waring");

// The addresses from `from` to `to` (the whole 32-bit values, not only the last octets);
// the column is a signed 32-bit number.
QString RangeSize(quint32 from, quint32 to)
{
    const quint64 size = quint64(to) - from + 1;
    return QString::number(std::min<quint64>(size, std::numeric_limits<qint32>::max()));
}

} // namespace

bool TFM_QosSetting::Refuse(QLineEdit *field, const QString &text, const QString &title, bool empty)
{
    Dialogs().MessageBox(this, text, title);
    if (empty)
        field->clear();
    field->setFocus();
    return false;
}

bool TFM_QosSetting::HostOneValid(QStringList &v)
{
    Controls &c = *m_c;
    for (QLineEdit *field : {c.ipFrom1, c.ipTo1})
        if (field->text().isEmpty() || field->text() == kNoAddress)
            return Refuse(field, QStringLiteral("Invalid IP address!"), kWarning);
    for (QLineEdit *field : {c.ipFrom1, c.ipTo1})
        if (!IsValidIpAddress(field->text()))
            return Refuse(field, QStringLiteral("Invalid IP address!"), kWaring, true);
    const quint32 from = *KxIpv4(c.ipFrom1->text()), to = *KxIpv4(c.ipTo1->text());
    if (to < from)
        return Refuse(c.ipTo1, QStringLiteral("Invalid IP address Range!"), kWarning);
    c.ipRange1->setText(RangeSize(from, to));
    v[VIp1From] = c.ipFrom1->text();
    v[VIp1To] = c.ipTo1->text();
    v[VIp1Range] = c.ipRange1->text();
    return true;
}

// `start` and `end` go into the variables from `first` on, the count after them.
bool TFM_QosSetting::PortsValid(QLineEdit *start, QLineEdit *end, QLineEdit *count, QStringList &v, int first)
{
    int ports[2] = {0, 0};
    QLineEdit *fields[2] = {start, end};
    for (int k = 0; k < 2; ++k) {
        if (fields[k]->text().isEmpty())
            continue;
        try {
            ports[k] = KxStrToInt(fields[k]->text());
        } catch (const KxConvertError &e) {
            Dialogs().ShowError(this, e.Text());
            return false;
        }
        if (ports[k] < 1 || ports[k] > kMaxPort)
            return Refuse(fields[k], QStringLiteral("Invalid port!"), kWaring);
    }
    int counted = 0;
    if (ports[0] != 0 && ports[1] != 0) {
        if (ports[1] < ports[0])
            return Refuse(end, QStringLiteral("Invalid Port Range!"), kWaring);
        counted = ports[1] - ports[0] + 1;
        count->setText(QString::number(counted));
    }
    v[first] = QString::number(ports[0]);
    v[first + 1] = QString::number(ports[1]);
    v[first + 2] = QString::number(counted);
    return true;
}

bool TFM_QosSetting::ProtocolValid(QStringList &v)
{
    Controls &c = *m_c;
    const int type = c.protocol->currentIndex();
    v[VType] = c.protocol->currentText();
    v[VProtocol] = c.protocolNumber->text();
    if (type == Other) {
        int number = 0;
        try {
            number = KxStrToInt(c.protocolNumber->text());
        } catch (const KxConvertError &e) {
            Dialogs().ShowError(this, e.Text());
            return false;
        }
        // 256 and 257 are the device's own "any" and "TCP and UDP", not protocol numbers.
        if (number < 0 || number > kMaxProtocolNumber)
            return Refuse(c.protocolNumber, QStringLiteral("The protocol number should be 0~255 !"), kWarning);
        v[VProtocol] = QString::number(number);
    }
    if (type == Tcp || type == Udp || type == Both)
        return PortsValid(c.portFrom1, c.portTo1, c.portRange1, v, VPort1From)
               && PortsValid(c.portFrom2, c.portTo2, c.portRange2, v, VPort2From);
    // No ports for this protocol: none are sent, whatever the fields still hold.
    for (int variable : {VPort1From, VPort1To, VPort1Range, VPort2From, VPort2To, VPort2Range})
        v[variable] = QStringLiteral("0");
    return true;
}

bool TFM_QosSetting::HostTwoValid(QStringList &v)
{
    Controls &c = *m_c;
    for (QLineEdit *field : {c.ipFrom2, c.ipTo2}) {
        const QString text = field->text();
        if (!text.isEmpty() && text != kNoAddress && !IsValidIpAddress(text))
            return Refuse(field, QStringLiteral("Invalid IP address!"), kWaring, true);
    }
    const QString fromText = c.ipFrom2->text().isEmpty() ? kNoAddress : c.ipFrom2->text();
    const QString toText = c.ipTo2->text().isEmpty() ? kNoAddress : c.ipTo2->text();
    const quint32 from = *KxIpv4(fromText), to = *KxIpv4(toText);
    QString size = QStringLiteral("0");
    if (!c.ipFrom2->text().isEmpty() && !c.ipTo2->text().isEmpty()) {
        if (to < from)
            return Refuse(c.ipTo2, QStringLiteral("Invalid IP address Range!"), kWarning);
        // 0.0.0.0 stands for no address: a range with it has no size.
        if (from != 0 && to != 0)
            size = RangeSize(from, to);
        c.ipRange2->setText(size);
    }
    v[VIp2From] = fromText;
    v[VIp2To] = toText;
    v[VIp2Range] = size;
    return true;
}

bool TFM_QosSetting::RuleValues(QStringList &v)
{
    Controls &c = *m_c;
    if (c.name->text().isEmpty())
        return Refuse(c.name, QStringLiteral("The Name field can not be blank."), kWarning);
    if (!HostOneValid(v) || !ProtocolValid(v) || !HostTwoValid(v))
        return false;
    v[VName] = c.name->text();
    v[VPriority] = c.priority->currentText();
    return true;
}

bool TFM_QosSetting::Add(bool withState)
{
    Controls &c = *m_c;
    // No current row: the table is full and there is no row an add could go to.
    const QString row = m_table->Current();
    if (row.isEmpty())
        return false;
    QStringList v;
    for (int i = 0; i < VCount; ++i)
        v << QString();
    if (!RuleValues(v))
        return false;
    qos::OnOff().Select(c.state, QStringLiteral("Enable"));
    v[VState] = QStringLiteral("Enable");
    QStringList indexes, values;
    for (int i = withState ? VState : VName; i < VCount; ++i) {
        indexes << QString::number(i);
        values << v[i];
    }
    m_rules->VarList()[VIndex].Value = row;
    m_wait.Show();
    bool issued = false;
    Guard([&] { issued = m_rules->SetFromControls(false, false, indexes.join(QLatin1Char(',')), &values); });
    if (!issued) {
        m_wait.Close();
        return false;
    }
    ShowStatus(QStringLiteral("Adding QOS!"));
    return true;
}

void TFM_QosSetting::Btn_AddClick()
{
    Add(true);
}
