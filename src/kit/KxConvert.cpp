#include "KxConvert.h"

KxConvertError::KxConvertError(const QString &text)
    : std::runtime_error(text.toStdString()), m_text(text)
{
}

qint32 KxStrToInt(const QString &text)
{
    const auto fail = [&text]() -> KxConvertError {
        return KxConvertError(QStringLiteral("'%1' is not a valid integer value").arg(text));
    };
    qsizetype pos = 0;
    bool negative = false;
    if (pos < text.size() && (text.at(pos) == u'-' || text.at(pos) == u'+')) {
        negative = text.at(pos) == u'-';
        ++pos;
    }
    if (pos == text.size())
        throw fail();
    qint64 value = 0;
    for (; pos < text.size(); ++pos) {
        const char16_t c = text.at(pos).unicode();
        if (c < u'0' || c > u'9')
            throw fail();
        value = value * 10 + (c - u'0');
        // Stop before the accumulator itself could overflow on a long digit run.
        if (value > qint64(INT32_MAX) + 1)
            throw fail();
    }
    if (negative)
        value = -value;
    if (value < INT32_MIN || value > INT32_MAX)
        throw fail();
    return qint32(value);
}
