#include "KxBinding.h"

#include "KxDateTime.h"
#include "KxErrors.h"
#include "KxRadioGroup.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QLabel>
#include <QLineEdit>
#include <QtEndian>

#include <cmath>
#include <cstring>

using namespace KxSyntax;

KxBinding::Kind KxBinding::kind() const
{
    QWidget *first = controls.empty() ? nullptr : controls.front().data();
    if (qobject_cast<QLabel *>(first))
        return Label;
    if (qobject_cast<QCheckBox *>(first))
        return CheckBox;
    if (qobject_cast<QComboBox *>(first))
        return ComboBox;
    if (qobject_cast<KxRadioGroup *>(first))
        return RadioGroup;
    if (qobject_cast<QLineEdit *>(first))
        return EditBox;
    return Other;
}

namespace KxBindingValues {

namespace {

bool isBooleanSyntax(unsigned syntax)
{
    return syntax == Boolean || syntax == Bool8 || syntax == Bool16;
}

// Bytes a part of each syntax takes; -1 for "the rest of the image".
QString hexPair(char octet)
{
    return QStringLiteral("%1").arg(uchar(octet), 2, 16, QLatin1Char('0')).toUpper();
}

// Box texts are numbers written by the user: refuse what is not one rather than send 0.
quint32 boxNumber(const QString &text)
{
    bool ok = false;
    const quint32 value = text.trimmed().toUInt(&ok);
    if (!ok)
        throw KxException(QStringLiteral("'%1' is not a valid integer value").arg(text), 0);
    return value;
}

void needBoxes(int boxes, int needed)
{
    if (boxes < needed)
        ThrowKx(KxCode::NotEnoughControls);
}

QStringList dayCountFields(double dayCount)
{
    QDate d;
    QTime t;
    if (!DayCountToDateTime(dayCount, d, t))
        return {};
    return {QString::number(d.year()), QString::number(d.month()), QString::number(d.day()),
            QString::number(t.hour()), QString::number(t.minute()), QString::number(t.second()),
            QString::number(t.msec())};
}

} // namespace

void CheckOffset(int offset)
{
    if (offset < 0)
        ThrowKx(KxCode::PartialOutOfRange);
}

QByteArray CutPart(const QByteArray &image, int offset, unsigned syntax)
{
    const int size = ImageSize(syntax);
    if (image.isEmpty())
        return {};
    if (offset < 0 || offset > image.size() || (size > 0 && offset + size > image.size()))
        ThrowKx(KxCode::PartialOutOfRange);
    return size < 0 ? image.mid(offset) : image.mid(offset, size);
}

QStringList Spread(unsigned syntax, const QString &text, int boxes)
{
    const bool null = text == KxValueText::Null;
    QStringList out;
    switch (syntax) {
    case BitString: case OctetString: case Opaque: {
        const QByteArray octets = TextToImage(syntax, text);
        needBoxes(boxes, int(octets.size()));
        for (char o : octets)
            out.append(hexPair(o));
        while (out.size() < boxes)
            out.append(QString());
        return out;
    }
    case ObjectId: {
        const QByteArray image = TextToImage(syntax, text);
        needBoxes(boxes, int(image.size() / 4));
        for (qsizetype k = 0; k + 4 <= image.size(); k += 4)
            out.append(QString::number(qFromLittleEndian<quint32>(image.constData() + k)));
        while (out.size() < boxes)
            out.append(QString());
        return out;
    }
    case IpAddress: case NsapAddress: {
        needBoxes(boxes, 4);
        if (null)
            return {};
        const QByteArray image = TextToImage(syntax, text);
        for (int k = 0; k < 4 && k < image.size(); ++k)
            out.append(QString::number(uchar(image.at(k))));
        return out;
    }
    case TimeTicks: {
        needBoxes(boxes, 5);
        if (null)
            return {};
        const quint32 t = qFromLittleEndian<quint32>(TextToImage(syntax, text).constData());
        return {QString::number(t / 8640000), QString::number(t % 8640000 / 360000),
                QString::number(t % 360000 / 6000), QString::number(t % 6000 / 100),
                QString::number(t % 100)};
    }
    case MacAddress: {
        needBoxes(boxes, 6);
        if (null)
            return {};
        const QByteArray octets = TextToImage(syntax, text);
        for (int k = 0; k < 6; ++k)
            out.append(k < octets.size() ? hexPair(octets.at(k)) : QString());
        return out;
    }
    case DateTime: {
        needBoxes(boxes, 10);
        if (null)
            return {};
        const KxDateTime d = KxDateTime::FromText(text);
        return {QString::number(d.Year), QString::number(d.Month), QString::number(d.Day),
                QString::number(d.Hour), QString::number(d.Minutes), QString::number(d.Seconds),
                QString::number(d.DeciSeconds), QString(QLatin1Char(d.Direction)),
                QString::number(d.UtcHours), QString::number(d.UtcMinutes)};
    }
    case DayCount: {
        needBoxes(boxes, 7);
        if (null)
            return {};
        double value = 0;
        const QByteArray image = TextToImage(syntax, text);
        std::memcpy(&value, image.constData(), sizeof value);
        return dayCountFields(value);
    }
    default:
        needBoxes(boxes, 1);
        return {text};
    }
}

QByteArray JoinImage(unsigned syntax, const QStringList &boxes)
{
    switch (syntax) {
    case BitString: case OctetString: case Opaque: case MacAddress: {
        QString hex;
        for (const QString &box : boxes)
            hex += box.isEmpty() ? QStringLiteral("00") : box.size() == 1 ? QLatin1Char('0') + box : box;
        return TextToImage(syntax, hex);
    }
    case ObjectId: case IpAddress: case NsapAddress: {
        QStringList parts;
        for (const QString &box : boxes)
            parts.append(QString::number(boxNumber(box)));
        return TextToImage(syntax, parts.join(QLatin1Char('.')));
    }
    case TimeTicks: {
        needBoxes(int(boxes.size()), 5);
        const quint64 ticks = quint64(boxNumber(boxes[0])) * 8640000 + quint64(boxNumber(boxes[1])) * 360000
                              + quint64(boxNumber(boxes[2])) * 6000 + quint64(boxNumber(boxes[3])) * 100
                              + boxNumber(boxes[4]);
        QByteArray image(4, '\0');
        qToLittleEndian<quint32>(quint32(ticks), image.data());
        return image;
    }
    case DateTime: {
        needBoxes(int(boxes.size()), 10);
        KxDateTime d;
        d.Year = quint16(boxNumber(boxes[0]));
        d.Month = quint8(boxNumber(boxes[1]));
        d.Day = quint8(boxNumber(boxes[2]));
        d.Hour = quint8(boxNumber(boxes[3]));
        d.Minutes = quint8(boxNumber(boxes[4]));
        d.Seconds = quint8(boxNumber(boxes[5]));
        d.DeciSeconds = quint8(boxNumber(boxes[6]));
        d.Direction = boxes[7].isEmpty() ? '+' : char(boxes[7].at(0).toLatin1());
        d.UtcHours = quint8(boxNumber(boxes[8]));
        d.UtcMinutes = quint8(boxNumber(boxes[9]));
        return d.ToImage();
    }
    case DayCount: {
        needBoxes(int(boxes.size()), 7);
        const QDate date(int(boxNumber(boxes[0])), int(boxNumber(boxes[1])), int(boxNumber(boxes[2])));
        const QTime time(int(boxNumber(boxes[3])), int(boxNumber(boxes[4])), int(boxNumber(boxes[5])),
                         int(boxNumber(boxes[6])));
        if (!date.isValid() || !time.isValid())
            throw KxException(QStringLiteral("'%1' is not a valid date").arg(boxes.mid(0, 7).join(u' ')), 0);
        const double value = DayCountOf(date, time);
        QByteArray image(sizeof value, '\0');
        std::memcpy(image.data(), &value, sizeof value);
        return image;
    }
    default:
        needBoxes(int(boxes.size()), 1);
        return TextToImage(syntax, boxes.front());
    }
}

void Show(const KxBinding &b, const KxSNMPVariable &v)
{
    const QString valueText = v.OptionList ? v.OptionList->TextToValue(v.Value) : v.Value;
    QString text = valueText;
    QByteArray part;
    const bool whole = b.Whole(v);
    if (!whole || b.hasBits) {
        part = TextToImage(v.Syntax, valueText);
        if (!whole) {
            part = CutPart(part, b.offset, b.syntax);
            text = ImageToText(b.syntax, part);
        }
    }
    if (b.options)
        text = b.options->ValueToText(text);

    switch (b.kind()) {
    case KxBinding::Label:
        static_cast<QLabel *>(b.controls[0].data())->setText(text);
        return;
    case KxBinding::CheckBox:
        if (b.hasBits) {
            for (size_t k = 0; k < b.controls.size() && k < b.bits.size(); ++k) {
                const int p = b.bits[k];
                if (p < 0 || p / 8 >= part.size())
                    ThrowKx(KxCode::PartialOutOfRange);
                const bool set = uchar(part.at(p / 8)) & (1u << (7 - p % 8));
                if (auto *check = qobject_cast<QCheckBox *>(b.controls[k].data()))
                    check->setChecked(set);
            }
            return;
        }
        if (b.options) {
            int index = b.options->IndexOfText(text);
            if (index < 0)
                index = b.options->IndexOfValue(text);
            static_cast<QCheckBox *>(b.controls[0].data())->setChecked(index > 0);
        } else if (isBooleanSyntax(b.syntax)) {
            static_cast<QCheckBox *>(b.controls[0].data())->setChecked(text == KxValueText::True);
        } else {
            ThrowKx(KxCode::BadPartialSyntax);
        }
        return;
    case KxBinding::ComboBox: {
        auto *combo = static_cast<QComboBox *>(b.controls[0].data());
        if (b.options)
            b.options->Select(combo, text);
        if (b.controls.size() > 1) {
            auto *second = qobject_cast<QLineEdit *>(b.controls[1].data());
            if (!second)
                ThrowKx(KxCode::BadControlType);
            const qsizetype n = combo->currentIndex() >= 0 ? combo->currentText().size() : 0;
            second->setText(text.mid(n + (b.syntax == ObjectId && n > 0 ? 1 : 0)));
        }
        return;
    }
    case KxBinding::RadioGroup:
        if (b.options)
            static_cast<KxRadioGroup *>(b.controls[0].data())->Select(*b.options, text);
        return;
    case KxBinding::EditBox: {
        if (b.controls.size() == 1) {
            static_cast<QLineEdit *>(b.controls[0].data())->setText(text);
            return;
        }
        const QStringList boxes = Spread(b.syntax, text, int(b.controls.size()));
        for (qsizetype k = 0; k < boxes.size() && size_t(k) < b.controls.size(); ++k) {
            auto *edit = qobject_cast<QLineEdit *>(b.controls[size_t(k)].data());
            if (!edit)
                ThrowKx(KxCode::BadControlType);
            edit->setText(boxes.at(k));
        }
        return;
    }
    case KxBinding::Other:
        ThrowKx(KxCode::BadControlType);
    }
}

void Read(const KxBinding &b, QByteArray &image)
{
    // The part is copied in at the offset: one before the image would write outside it.
    CheckOffset(b.offset);
    QByteArray part;
    const KxBinding::Kind kind = b.kind();
    if (kind == KxBinding::CheckBox && b.hasBits) {
        for (size_t k = 0; k < b.controls.size() && k < b.bits.size(); ++k) {
            const int p = b.bits[k];
            if (p < 0)
                ThrowKx(KxCode::PartialOutOfRange);
            if (part.size() <= p / 8)
                part.append(QByteArray(p / 8 + 1 - part.size(), '\0'));
            auto *check = qobject_cast<QCheckBox *>(b.controls[k].data());
            const char bit = char(1u << (7 - p % 8));
            if (check && check->isChecked())
                part[p / 8] = char(part[p / 8] | bit);
            else
                part[p / 8] = char(part[p / 8] & ~bit);
        }
    } else {
        QString text;
        bool joined = false;
        switch (kind) {
        case KxBinding::Label:
            text = static_cast<QLabel *>(b.controls[0].data())->text();
            break;
        case KxBinding::CheckBox: {
            const bool checked = static_cast<QCheckBox *>(b.controls[0].data())->isChecked();
            if (b.options) {
                if (b.options->count() < 2)
                    ThrowKx(KxCode::PartialOutOfRange);
                text = b.options->text(checked ? 1 : 0);
            } else if (isBooleanSyntax(b.syntax)) {
                text = checked ? KxValueText::True : KxValueText::False;
            } else {
                ThrowKx(KxCode::BadPartialSyntax);
            }
            break;
        }
        case KxBinding::ComboBox: {
            const auto *combo = static_cast<QComboBox *>(b.controls[0].data());
            text = combo->currentIndex() >= 0 ? combo->currentText() : QString();
            if (b.controls.size() > 1) {
                auto *second = qobject_cast<QLineEdit *>(b.controls[1].data());
                if (!second)
                    ThrowKx(KxCode::BadControlType);
                if (b.syntax == ObjectId)
                    text += QLatin1Char('.');
                text += second->text();
            }
            break;
        }
        case KxBinding::RadioGroup:
            text = static_cast<KxRadioGroup *>(b.controls[0].data())->currentText();
            break;
        case KxBinding::EditBox: {
            if (b.controls.size() == 1) {
                text = static_cast<QLineEdit *>(b.controls[0].data())->text();
                break;
            }
            QStringList boxes;
            for (const QPointer<QWidget> &c : b.controls) {
                auto *edit = qobject_cast<QLineEdit *>(c.data());
                if (!edit)
                    ThrowKx(KxCode::BadControlType);
                boxes.append(edit->text());
            }
            part = JoinImage(b.syntax, boxes);
            joined = true;
            break;
        }
        case KxBinding::Other:
            ThrowKx(KxCode::BadControlType);
        }
        if (!joined) {
            if (b.options)
                text = b.options->TextToValue(text);
            part = TextToImage(b.syntax, text);
        }
    }
    if (image.size() < b.offset + part.size())
        image.append(QByteArray(b.offset + part.size() - image.size(), '\0'));
    std::memcpy(image.data() + b.offset, part.constData(), size_t(part.size()));
}

} // namespace KxBindingValues
