#include "KxEditConstraint.h"

#include "KxDialogs.h"
#include "KxErrors.h"
#include "KxNumList.h"
#include "KxValues.h"

#include <QLineEdit>
#include <QValidator>

#include <cfloat>
#include <cmath>
#include <limits>

namespace {

constexpr int kBadFormat = 2;       // KxCommon lines
constexpr int kEmpty = 3;
constexpr int kStringMax = 4;
constexpr int kStringExact = 5;
constexpr int kHexMax = 6;
constexpr int kHexExact = 7;
constexpr int kNumberRange = 8;
constexpr int kCountMax = 9;
constexpr int kCountExact = 10;
constexpr int kListRange = 11;

// Limits typing only; QLineEdit::setMaxLength would also cut what the program writes.
class TypingLimit : public QValidator {
public:
    TypingLimit(int maxLength, QLineEdit *edit)
        : QValidator(edit), m_max(maxLength), m_last(edit->text().size())
    {
        connect(edit, &QLineEdit::textChanged, this, [this](const QString &text) { m_last = text.size(); });
    }
    State validate(QString &input, int &) const override
    {
        if (input.size() <= m_max)
            return Acceptable;
        // A value read from the device may be longer: it can still be shortened.
        return input.size() < m_last ? Intermediate : Invalid;
    }

private:
    int m_max;
    qsizetype m_last;
};

bool isSpecial(const QString &text)
{
    return text == KxValueText::NotDone || text == KxValueText::Null;
}

// Reads digits (and "-", ".") of an option's number; false when there is none.
bool readNumber(const QString &item, qsizetype &pos, double &value)
{
    const qsizetype from = pos;
    while (pos < item.size() && (item.at(pos).isDigit() || item.at(pos) == u'-' || item.at(pos) == u'.'))
        ++pos;
    if (pos == from)
        return false;
    bool ok = false;
    value = item.mid(from, pos - from).toDouble(&ok);
    return ok;
}

bool readDigits(const QString &item, qsizetype &pos, int &value)
{
    const qsizetype from = pos;
    while (pos < item.size() && item.at(pos).isDigit())
        ++pos;
    if (pos == from)
        return false;
    bool ok = false;
    value = item.mid(from, pos - from).toInt(&ok);
    return ok;
}

// Bounds as the messages write real numbers: at most 15 significant digits.
QString realText(double value)
{
    return QString::number(value, 'g', 15).toUpper();
}

quint64 integerBound(double value)
{
    if (!(value > 0))
        return 0;
    if (value >= 4294967295.0)
        return 4294967295u;
    return quint64(std::trunc(value));
}

} // namespace

void KxSetTypingLimit(QLineEdit *edit, int maxLength)
{
    // Replaces only a limit of ours; an owner's own validator stays.
    if (auto *old = qobject_cast<const QValidator *>(edit->validator());
        old && dynamic_cast<const TypingLimit *>(old)) {
        edit->setValidator(nullptr);
        delete old;
    }
    if (maxLength > 0)
        edit->setValidator(new TypingLimit(maxLength, edit));
}

QStringList KxEditConstraint::Split(const QString &format)
{
    QStringList out;
    qsizetype start = format.indexOf(u'%');
    if (start != 0)
        ThrowCommon(kBadFormat);
    while (start >= 0) {
        // A "%" that is the delimiter of a number list belongs to its format item.
        qsizetype next = start + 1;
        if (next < format.size() && format.at(next) == u'n')
            next += 2;
        next = format.indexOf(u'%', next);
        out.append(format.mid(start, next < 0 ? -1 : next - start));
        start = next;
    }
    return out;
}

_EditConstraint_s KxEditConstraint::Parse(const QString &item)
{
    if (item.size() < 2 || item.at(0) != u'%')
        ThrowCommon(kBadFormat);
    _EditConstraint_s c;
    const QChar type = item.at(1);
    if (!QStringLiteral("shiufn").contains(type))
        ThrowCommon(kBadFormat);
    c.type = char(type.unicode());
    qsizetype pos = 2;
    if (c.type == 'n') {
        if (pos >= item.size())
            ThrowCommon(kBadFormat);
        c.delimiter = char(item.at(pos++).unicode());
    }
    switch (c.type) {
    case 'i':
        c.minimum = -2147483648.0;
        c.maximum = 2147483647.0;
        break;
    case 'u':
        c.minimum = 0;
        c.maximum = 4294967295.0;
        break;
    default:
        c.minimum = DBL_MIN;
        c.maximum = DBL_MAX;
    }
    if (pos == item.size())
        return c;
    if (item.at(pos) != u'{' || !item.endsWith(u'}'))
        ThrowCommon(kBadFormat);
    ++pos;
    const qsizetype end = item.size() - 1;
    while (pos < end) {
        const QChar option = item.at(pos++);
        bool ok = true;
        if (option == u'e') {
            ok = pos < end;
            if (ok)
                c.advance = char(item.at(pos++).unicode());
        } else if (option == u'l') {
            ok = readDigits(item, pos, c.maxLength);
            for (int flags = 0; ok && flags < 3 && pos < end; ++flags) {
                const QChar f = item.at(pos);
                if (f == u'a')
                    c.lengthFlags |= _EditConstraint_s::AdvanceWhenFull;
                else if (f == u'f')
                    c.lengthFlags |= _EditConstraint_s::ExactLength;
                else if (f == u'n')
                    c.lengthFlags |= _EditConstraint_s::NotEmpty;
                else
                    break;
                ++pos;
            }
        } else if (option == u'n') {
            ok = readNumber(item, pos, c.minimum);
        } else if (option == u'x') {
            ok = readNumber(item, pos, c.maximum);
        } else if (option == u'w') {
            ok = readDigits(item, pos, c.width);
        } else {
            ok = false;
        }
        if (!ok || pos > end)
            ThrowCommon(kBadFormat);
    }
    return c;
}

KxEditConstraint::KxEditConstraint(QWidget *owner, bool rememberLastValid)
    : m_owner(owner), m_remember(rememberLastValid)
{
}

KxEditConstraint::~KxEditConstraint()
{
    while (!m_records.empty()) {
        QLineEdit *edit = m_records.back()->edit;
        if (edit) {
            remove(edit);
        } else {
            m_records.pop_back();
        }
    }
}

void KxEditConstraint::add(const QString &format, const std::vector<QLineEdit *> &edits)
{
    const QStringList items = Split(format);
    for (qsizetype k = 0; k < items.size() && size_t(k) < edits.size(); ++k) {
        QLineEdit *edit = edits[size_t(k)];
        auto record = std::make_unique<_EditConstraint_s>(Parse(items.at(k)));
        remove(edit);
        record->edit = edit;
        // A number list counts numbers, not characters.
        KxSetTypingLimit(edit, record->type == 'n' ? 0 : record->maxLength);
        if (record->width > 0)
            edit->setFixedWidth(record->width);
        record->ownChange = KxEvents::OnChange(edit);
        record->ownExit = KxEvents::OnExit(edit);
        _EditConstraint_s *c = record.get();
        KxEvents::SetOnChange(edit, [this, c] { changed(*c); });
        KxEvents::SetOnExit(edit, [this, c] { left(*c); });
        m_records.push_back(std::move(record));
    }
}

void KxEditConstraint::remove(QLineEdit *edit)
{
    for (auto it = m_records.begin(); it != m_records.end(); ++it) {
        if ((*it)->edit != edit)
            continue;
        if (edit) {
            KxEvents::SetOnChange(edit, (*it)->ownChange);
            KxEvents::SetOnExit(edit, (*it)->ownExit);
            KxSetTypingLimit(edit, 0);
        }
        m_records.erase(it);
        return;
    }
}

const _EditConstraint_s *KxEditConstraint::find(const QLineEdit *edit) const
{
    for (const auto &record : m_records) {
        if (record->edit == edit)
            return record.get();
    }
    return nullptr;
}

qsizetype KxEditConstraint::firstMisfit(const _EditConstraint_s &c, const QString &text)
{
    bool dotSeen = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text.at(i);
        const bool digit = ch >= u'0' && ch <= u'9';
        bool fits = false;
        switch (c.type) {
        case 's':
            fits = true;
            break;
        case 'h':
            fits = digit || (ch >= u'A' && ch <= u'F') || (ch >= u'a' && ch <= u'f');
            break;
        case 'i':
            fits = digit || (ch == u'-' && i == 0);
            break;
        case 'u':
            fits = digit;
            break;
        case 'f':
            fits = digit || (ch == u'-' && i == 0) || (ch == u'.' && !dotSeen);
            dotSeen = dotSeen || ch == u'.';
            break;
        case 'n':
            fits = digit || (ch == QLatin1Char(c.delimiter) && i > 0
                             && text.at(i - 1) != QLatin1Char(c.delimiter));
            break;
        }
        if (!fits)
            return i;
    }
    return -1;
}

void KxEditConstraint::changed(_EditConstraint_s &c)
{
    QLineEdit *edit = c.edit;
    if (!edit)
        return;
    const QString text = edit->text();
    if (!text.isEmpty() && !isSpecial(text)) {
        if (c.advance) {
            const qsizetype at = text.indexOf(QLatin1Char(c.advance));
            if (at >= 0) {
                QString rest = text;
                rest.remove(at, 1);
                edit->setText(rest);
                KxEvents::FocusNext(edit);
                return;
            }
        }
        const qsizetype bad = firstMisfit(c, text);
        if (bad >= 0) {
            QString rest = text;
            rest.remove(bad, 1);
            // Putting the text back runs this check again for what follows.
            edit->setText(rest);
            edit->setCursorPosition(int(bad));
            Dialogs().Beep();
            return;
        }
    }
    if (KxEvents::Handler own = c.ownChange) {
        own();
        if (!c.edit || KxEvents::Tag(edit) == -1)
            return;
    }
    if ((c.lengthFlags & _EditConstraint_s::AdvanceWhenFull) && c.maxLength > 0
        && edit->text().size() == c.maxLength)
        KxEvents::FocusNext(edit);
}

void KxEditConstraint::left(_EditConstraint_s &c)
{
    QLineEdit *edit = c.edit;
    if (!edit || m_rejecting)
        return;
    const QString text = edit->text();
    if (isSpecial(text))
        return;
    if (text.isEmpty()) {
        if (c.lengthFlags & _EditConstraint_s::NotEmpty)
            reject(c, FamilyText(KxFamily::KxCommon, kEmpty));
        return;
    }
    const QString maxLen = QString::number(c.maxLength);
    switch (c.type) {
    case 'i':
    case 'u':
    case 'f': {
        bool ok = false;
        const double value = text.toDouble(&ok);
        // A lone "-" or "." passes the typing filter but is no number.
        if (!ok || value < c.minimum || value > c.maximum) {
            reject(c, Substitute(FamilyText(KxFamily::KxCommon, kNumberRange),
                                 {{QStringLiteral("[MIN]"), realText(c.minimum)},
                                  {QStringLiteral("[MAX]"), realText(c.maximum)}}));
            return;
        }
        break;
    }
    case 's':
    case 'h':
        if (c.maxLength > 0) {
            const bool hex = c.type == 'h';
            if (c.lengthFlags & _EditConstraint_s::ExactLength) {
                if (text.size() != c.maxLength) {
                    reject(c, Substitute(FamilyText(KxFamily::KxCommon, hex ? kHexExact : kStringExact),
                                         {{QStringLiteral("[LEN]"), maxLen}}));
                    return;
                }
            } else if (text.size() > c.maxLength) {
                reject(c, Substitute(FamilyText(KxFamily::KxCommon, hex ? kHexMax : kStringMax),
                                     {{QStringLiteral("[MAXLEN]"), maxLen}}));
                return;
            }
        }
        break;
    case 'n': {
        KxNumList<unsigned int> numbers(c.delimiter);
        numbers.parse(text);
        const QString delimiter = QString(QLatin1Char(c.delimiter));
        if (c.maxLength > 0) {
            const bool exact = c.lengthFlags & _EditConstraint_s::ExactLength;
            if (exact ? numbers.count() != unsigned(c.maxLength) : numbers.count() > unsigned(c.maxLength)) {
                reject(c, Substitute(FamilyText(KxFamily::KxCommon, exact ? kCountExact : kCountMax),
                                     {{QStringLiteral("[DELIMITER]"), delimiter},
                                      {QStringLiteral("[COUNT]"), maxLen},
                                      {QStringLiteral("[MAXCOUNT]"), maxLen}}));
                return;
            }
        }
        const quint64 low = integerBound(c.minimum);
        const quint64 high = integerBound(c.maximum);
        for (unsigned v : numbers.values()) {
            if (v < low || v > high) {
                reject(c, Substitute(FamilyText(KxFamily::KxCommon, kListRange),
                                     {{QStringLiteral("[DELIMITER]"), delimiter},
                                      {QStringLiteral("[MIN]"), QString::number(low)},
                                      {QStringLiteral("[MAX]"), QString::number(high)}}));
                return;
            }
        }
        break;
    }
    }
    if (KxEvents::Handler own = c.ownExit) {
        own();
        if (!c.edit)
            return;
        if (KxEvents::Tag(edit) == -1) {
            edit->setText(c.lastValid);
            return;
        }
    }
    if (m_remember)
        c.lastValid = edit->text();
}

void KxEditConstraint::reject(_EditConstraint_s &c, const QString &message)
{
    QPointer<QLineEdit> edit = c.edit;
    // Showing the box moves the focus away; that is no second exit.
    m_rejecting = true;
    Dialogs().MessageBox(m_owner, message, ProgramTitle(), QMessageBox::Ok);
    m_rejecting = false;
    if (!edit)
        return;
    edit->setText(c.lastValid);
    edit->setFocus(Qt::OtherFocusReason);
}
