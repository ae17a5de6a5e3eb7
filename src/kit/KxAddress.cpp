#include "KxAddress.h"

#include <QStringList>

#include <array>
#include <optional>

namespace {

// Digits only: a sign or a blank inside an address is a typing error, not a number.
std::optional<int> decimalPart(const QString &part)
{
    if (part.isEmpty())
        return std::nullopt;
    int value = 0;
    for (QChar c : part) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
        if (value > 1000000)
            return std::nullopt;
    }
    return value;
}

std::optional<std::array<int, 4>> dottedParts(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char('.'));
    if (parts.size() != 4)
        return std::nullopt;
    std::array<int, 4> values{};
    for (int i = 0; i < 4; ++i) {
        const std::optional<int> value = decimalPart(parts.at(i));
        if (!value)
            return std::nullopt;
        values[size_t(i)] = *value;
    }
    return values;
}

} // namespace

bool IsValidIpAddress(const QString &text)
{
    const auto parts = dottedParts(text);
    if (!parts)
        return false;
    const auto &p = *parts;
    return p[0] >= 1 && p[0] <= 223 && p[1] <= 255 && p[2] <= 255 && p[3] >= 1 && p[3] <= 254;
}

bool IsValidSubnetMask(const QString &text)
{
    const auto parts = dottedParts(text);
    if (!parts)
        return false;
    const auto &p = *parts;
    if (p[0] < 1 || p[0] > 255)
        return false;
    quint32 value = 0;
    for (int part : p) {
        if (part > 255 || part == 1)
            return false;
        value = (value << 8) | quint32(part);
    }
    // Ones then zeros means the complement is one less than a power of two.
    const quint32 hostBits = ~value;
    const bool contiguous = (hostBits & (hostBits + 1)) == 0;
    return contiguous && (value & 0xC0000000u) == 0xC0000000u && (value & 1u) == 0;
}
