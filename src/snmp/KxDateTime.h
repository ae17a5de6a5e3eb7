// The 11-octet date and time of SNMPv2's DateAndTime: year, month, day, hour, minutes,
// seconds, deci-seconds, direction from UTC, hours and minutes from UTC.
#pragma once

#include <QByteArray>
#include <QString>

struct KxDateTime {
    quint16 Year = 0; // processor order in memory, network order in an image
    quint8 Month = 0;
    quint8 Day = 0;
    quint8 Hour = 0;
    quint8 Minutes = 0;
    quint8 Seconds = 0;
    quint8 DeciSeconds = 0;
    char Direction = '+';
    quint8 UtcHours = 0;
    quint8 UtcMinutes = 0;

    // The current local date and time, deci-seconds 0, offset "+" 0:0.
    static KxDateTime Now();

    // "y-m-d,h:m:s.d,+h:m", "y-m-d,h:m:s.d,-h:m" or "y-m-d,h:m:s.d"; numbers that
    // cannot be read are 0.
    static KxDateTime FromText(const QString &text);
    QString ToText() const;

    static constexpr int ImageSize = 11;
    // Shorter images are read as far as they go; the rest stays 0.
    static KxDateTime FromImage(const QByteArray &image);
    QByteArray ToImage() const;

    bool operator==(const KxDateTime &) const = default;
};
