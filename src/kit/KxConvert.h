// Strict text-to-number conversion for values the user or the host manager typed.
//
// A number that is not exactly a decimal integer must stop whatever wanted it, with
// the text quoted back, instead of silently becoming 0 as the lenient value helpers do.
#pragma once

#include <QString>

#include <stdexcept>

class KxConvertError : public std::runtime_error {
public:
    explicit KxConvertError(const QString &text);
    QString Text() const { return m_text; }

private:
    QString m_text;
};

// Optional sign and decimal digits, nothing else, within 32 bits; otherwise raises
// KxConvertError "'<text>' is not a valid integer value".
qint32 KxStrToInt(const QString &text);
