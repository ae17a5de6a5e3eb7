#include "KxOptionList.h"

#include "KxValues.h"

#include <QComboBox>

KxOptionList::KxOptionList(const KxIntOption *table, bool caseSensitive)
    : m_kind(IntegerValues), m_caseSensitive(caseSensitive)
{
    for (const KxIntOption *o = table; o && o->text; ++o)
        m_options.push_back({QString::number(o->value), o->value, QString::fromUtf8(o->text)});
}

KxOptionList::KxOptionList(const KxTextOption *table, Kind kind, bool caseSensitive)
    : m_kind(kind), m_caseSensitive(caseSensitive)
{
    for (const KxTextOption *o = table; o && o->text; ++o)
        m_options.push_back({QString::fromUtf8(o->value), 0, QString::fromUtf8(o->text)});
}

QStringList KxOptionList::texts() const
{
    QStringList out;
    for (const Option &o : m_options)
        out.append(o.text);
    return out;
}

bool KxOptionList::equal(const QString &a, const QString &b) const
{
    return a.compare(b, m_caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive) == 0;
}

bool KxOptionList::startsWith(const QString &text, const QString &prefix) const
{
    return text.startsWith(prefix, m_caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive);
}

int KxOptionList::IndexOfText(const QString &text) const
{
    for (size_t i = 0; i < m_options.size(); ++i) {
        const QString &shown = m_options[i].text;
        if (m_kind == TextPrefixes ? startsWith(text, shown) : equal(shown, text))
            return int(i);
    }
    return -1;
}

int KxOptionList::IndexOfValue(const QString &text) const
{
    if (m_kind == IntegerValues) {
        if (text == KxValueText::Null)
            return -1;
        bool ok = false;
        const qint64 number = text.toLongLong(&ok);
        if (!ok)
            return -1;
        for (size_t i = 0; i < m_options.size(); ++i) {
            if (m_options[i].number == number)
                return int(i);
        }
        return -1;
    }
    for (size_t i = 0; i < m_options.size(); ++i) {
        const QString &value = m_options[i].value;
        if (m_kind == TextPrefixes ? startsWith(text, value) : equal(value, text))
            return int(i);
    }
    return -1;
}

QString KxOptionList::ValueToText(const QString &text) const
{
    const int i = IndexOfValue(text);
    if (i < 0)
        return text;
    const Option &o = m_options[size_t(i)];
    if (m_kind == TextPrefixes)
        return o.text + text.mid(o.value.size());
    return o.text;
}

QString KxOptionList::TextToValue(const QString &text) const
{
    const int i = IndexOfText(text);
    if (i < 0)
        return text;
    const Option &o = m_options[size_t(i)];
    if (m_kind == TextPrefixes)
        return o.value + text.mid(o.text.size());
    return o.value;
}

int KxOptionList::IndexToSelect(const QString &text) const
{
    const int i = IndexOfText(text);
    return i >= 0 ? i : IndexOfValue(text);
}

void KxOptionList::Fill(QComboBox *box) const
{
    box->clear();
    box->addItems(texts());
}

void KxOptionList::Select(QComboBox *box, const QString &text) const
{
    box->setCurrentIndex(IndexToSelect(text));
}
