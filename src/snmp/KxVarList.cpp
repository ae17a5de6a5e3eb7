#include "KxVarList.h"

#include "KxDateTime.h"
#include "KxErrors.h"
#include "KxValues.h"

#include <QtEndian>

using namespace KxSyntax;

namespace {

QString textOrEmpty(const char *text)
{
    return text ? QString::fromUtf8(text) : QString();
}

QString joinSubIds(const std::vector<quint32> &ids)
{
    QString out;
    for (size_t i = 0; i < ids.size(); ++i) {
        if (i)
            out += QLatin1Char('.');
        out += QString::number(ids[i]);
    }
    return out;
}

// The sub-identifiers of an instance text; a malformed part ends the list there.
std::vector<quint32> subIds(const QString &instance)
{
    std::vector<quint32> out;
    if (instance.isEmpty())
        return out;
    for (QStringView part : QStringView(instance).split(u'.')) {
        bool ok = false;
        const qulonglong v = part.toULongLong(&ok);
        if (!ok || v > UINT32_MAX)
            break;
        out.push_back(quint32(v));
    }
    return out;
}

std::vector<quint32> octetIds(const QByteArray &octets, bool withCount)
{
    std::vector<quint32> ids;
    if (withCount)
        ids.push_back(quint32(octets.size()));
    for (char c : octets)
        ids.push_back(quint8(c));
    return ids;
}

QByteArray idsToOctets(const std::vector<quint32> &ids, size_t from, size_t count)
{
    QByteArray out;
    for (size_t i = from; i < from + count; ++i)
        out.append(char(quint8(ids[i])));
    return out;
}

std::vector<quint32> doubleHalves(double value)
{
    uchar raw[8];
    qToLittleEndian(value, raw);
    return {qFromLittleEndian<quint32>(raw), qFromLittleEndian<quint32>(raw + 4)};
}

double doubleFromHalves(quint32 low, quint32 high)
{
    uchar raw[8];
    qToLittleEndian(low, raw);
    qToLittleEndian(high, raw + 4);
    return qFromLittleEndian<double>(raw);
}

// The image of a key that occupies two sub-identifiers. A key without a value has
// none to give, and the row it would name does not exist.
QByteArray eightOctets(unsigned syntax, const QString &text)
{
    const QByteArray image = TextToImage(syntax, text);
    if (image.size() < 8)
        ThrowKx(KxCode::BadKeyCount);
    return image;
}

} // namespace

KxSNMPVarList::KxSNMPVarList(const KxSNMPVarDesc *table, quint8 itemType, int keyCount)
    : KeyCount(keyCount), ItemType(itemType)
{
    Append(table);
}

KxSNMPVarList::KxSNMPVarList(const KxSNMPVarList &other)
{
    *this = other;
}

KxSNMPVarList &KxSNMPVarList::operator=(const KxSNMPVarList &other)
{
    if (this != &other) {
        ItemType = other.ItemType;
        KeyCount = other.KeyCount;
        ListName = other.ListName;
        m_variables = other.m_variables;
    }
    return *this;
}

void KxSNMPVarList::Append(const KxSNMPVarDesc *table)
{
    for (const KxSNMPVarDesc *d = table; d && d->OID; ++d) {
        KxSNMPVariable v;
        v.OID = QString::fromLatin1(d->OID);
        v.Name = textOrEmpty(d->Name);
        v.Syntax = d->Syntax;
        v.Access = d->Access;
        v.OptionList = d->OptionList;
        v.GetExpression = textOrEmpty(d->GetExpression);
        v.SetExpression = textOrEmpty(d->SetExpression);
        v.Reserved = textOrEmpty(d->Reserved);
        m_variables.push_back(std::move(v));
    }
}

const KxOptionList *KxSNMPVarList::AdoptOptionList(std::unique_ptr<KxOptionList> list)
{
    m_ownedOptions.push_back(std::move(list));
    return m_ownedOptions.back().get();
}

bool KxSNMPVarList::Readable(int i) const
{
    const unsigned a = (*this)[i].Access;
    return !(a & KxAccess::Excluded) && (a & KxAccess::Readable);
}

bool KxSNMPVarList::Settable(int i) const
{
    const unsigned a = (*this)[i].Access;
    if (a & KxAccess::Excluded)
        return false;
    return (a & KxAccess::Writable) || (IsTable() && i < KeyCount);
}

bool KxSNMPVarList::ShownColumn(int i) const
{
    const unsigned a = (*this)[i].Access;
    if (a & (KxAccess::Excluded | KxAccess::Hidden))
        return false;
    return a & (KxAccess::Key | KxAccess::Readable | KxAccess::Shown);
}

bool KxSNMPVarList::HiddenColumn(int i) const
{
    const unsigned a = (*this)[i].Access;
    return a == KxAccess::Writable || (a & (KxAccess::Excluded | KxAccess::Hidden));
}

int KxSNMPVarList::ShownColumnCount() const
{
    int n = 0;
    for (int i = 0; i < count(); ++i)
        n += ShownColumn(i) ? 1 : 0;
    return n;
}

int KxSNMPVarList::HiddenColumnCount() const
{
    int n = 0;
    for (int i = 0; i < count(); ++i)
        n += HiddenColumn(i) ? 1 : 0;
    return n;
}

QString KxSNMPVarList::BaseOid(int i) const
{
    const QString &oid = (*this)[i].OID;
    return Instance.isEmpty() ? oid : oid + QLatin1Char('.') + Instance;
}

QString KxSNMPVarList::EncodeKey(int i) const
{
    const KxSNMPVariable &v = (*this)[i];
    const QString text = v.OptionList ? v.OptionList->TextToValue(v.Value) : v.Value;
    const bool implied = i == KeyCount - 1 && (v.Access & KxAccess::Implied);
    std::vector<quint32> ids;
    switch (v.Syntax) {
    case Boolean:
        ids = {text == KxValueText::True ? 1u : 0u};
        break;
    case Integer:
        ids = {quint32(LeadingInt32(text))};
        break;
    case Counter32: case Gauge32: case UInteger32:
        ids = {LeadingUInt32(text)};
        break;
    case BitString: case OctetString: case Opaque:
        ids = octetIds(HexToOctets(text), !implied);
        break;
    case DisplayString:
        ids = octetIds(text.toUtf8(), !implied);
        break;
    case ObjectId: {
        if (!implied)
            ids.push_back(0);
        for (oid sub : OidFromText(text))
            ids.push_back(quint32(sub));
        if (!implied)
            ids[0] = quint32(ids.size() - 1);
        break;
    }
    case IpAddress: case NsapAddress: {
        QByteArray address = TextToImage(IpAddress, text);
        address.resize(4, '\0');
        ids = octetIds(address, false);
        break;
    }
    case TimeTicks:
        ids = {TimeTicksFromText(text)};
        break;
    case Counter64: {
        const QByteArray image = eightOctets(Counter64, text);
        ids = {qFromLittleEndian<quint32>(image.constData() + 4), qFromLittleEndian<quint32>(image.constData())};
        break;
    }
    case Double:
        ids = doubleHalves(qFromLittleEndian<double>(eightOctets(Double, text).constData()));
        break;
    case DayCount:
        ids = doubleHalves(qFromLittleEndian<double>(eightOctets(DayCount, text).constData()));
        break;
    case MacAddress: {
        const QByteArray mac = HexToOctets(text);
        if (mac.size() >= 6)
            ids = octetIds(mac.left(6), false);
        break;
    }
    case DateTime:
        ids = octetIds(KxDateTime::FromText(text).ToImage(), false);
        break;
    case Null:
        break;
    default:
        ThrowKx(KxCode::BadSyntax);
    }
    return joinSubIds(ids);
}

QString KxSNMPVarList::RowInstance() const
{
    QString instance;
    for (int i = 0; i < KeyCount && i < count(); ++i) {
        const QString part = EncodeKey(i);
        if (part.isEmpty())
            continue;
        if (!instance.isEmpty())
            instance += QLatin1Char('.');
        instance += part;
    }
    return instance;
}

QString KxSNMPVarList::DecodeKey(int i, const QString &instance)
{
    KxSNMPVariable &v = (*this)[i];
    const std::vector<quint32> ids = subIds(instance);
    const bool implied = i == KeyCount - 1 && (v.Access & KxAccess::Implied);
    auto need = [&](size_t n) {
        if (ids.size() < n)
            ThrowKx(KxCode::BadKeyCount);
    };
    // Octet strings and OIDs carry their length first unless they are the implied
    // last key, which takes everything that is left.
    auto counted = [&](size_t &from) -> size_t {
        if (implied) {
            from = 0;
            return ids.size();
        }
        need(1);
        from = 1;
        need(size_t(ids[0]) + 1);
        return ids[0];
    };
    QString text;
    size_t used = 0;
    size_t from = 0;
    switch (v.Syntax) {
    case Boolean:
        need(1);
        text = ids[0] ? KxValueText::True : KxValueText::False;
        used = 1;
        break;
    case Integer:
        need(1);
        text = QString::number(qint32(ids[0]));
        used = 1;
        break;
    case Counter32: case Gauge32: case UInteger32:
        need(1);
        text = QString::number(ids[0]);
        used = 1;
        break;
    case TimeTicks:
        need(1);
        text = TimeTicksText(ids[0]);
        used = 1;
        break;
    case BitString: case OctetString: case Opaque: case DisplayString: {
        const size_t n = counted(from);
        const QByteArray octets = idsToOctets(ids, from, n);
        text = v.Syntax == DisplayString ? ImageToText(DisplayString, octets) : HexText(octets);
        used = from + n;
        break;
    }
    case ObjectId: {
        const size_t n = counted(from);
        text = joinSubIds(std::vector<quint32>(ids.begin() + long(from), ids.begin() + long(from + n)));
        used = from + n;
        break;
    }
    case IpAddress: case NsapAddress:
        need(4);
        text = ImageToText(IpAddress, idsToOctets(ids, 0, 4));
        used = 4;
        break;
    case Counter64:
        need(2);
        text = QString::number((quint64(ids[0]) << 32) | ids[1]);
        used = 2;
        break;
    case Double:
        need(2);
        text = DoubleText(doubleFromHalves(ids[0], ids[1]));
        used = 2;
        break;
    case DayCount:
        need(2);
        text = DayCountText(doubleFromHalves(ids[0], ids[1]));
        used = 2;
        break;
    case MacAddress:
        need(6);
        text = HexText(idsToOctets(ids, 0, 6));
        used = 6;
        break;
    case DateTime:
        need(KxDateTime::ImageSize);
        text = KxDateTime::FromImage(idsToOctets(ids, 0, KxDateTime::ImageSize)).ToText();
        used = KxDateTime::ImageSize;
        break;
    case Null:
        text = KxValueText::Null;
        break;
    default:
        ThrowKx(KxCode::BadSyntax);
    }
    v.Value = v.OptionList ? v.OptionList->ValueToText(text) : text;
    return joinSubIds(std::vector<quint32>(ids.begin() + long(used), ids.end()));
}

void KxSNMPVarList::DecodeKeys(const QString &instance, const KeyDecoder &decode)
{
    QString rest = instance;
    for (int i = 0; i < KeyCount && i < count(); ++i) {
        if (rest.isEmpty())
            ThrowKx(KxCode::BadKeyCount);
        if (!Readable(i))
            (*this)[i].LastOid = BaseOid(i) + QLatin1Char('.') + instance;
        rest = decode ? decode(i, rest) : DecodeKey(i, rest);
    }
}
