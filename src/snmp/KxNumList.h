// Delimited number texts ("1,2,3", "192.168.0.1"), read without any check the way the
// device's own tools write them: each delimiter starts the next number, a "." starts a
// fraction that is dropped, and every other character adds its digit value.
#pragma once

#include <QString>

#include <type_traits>
#include <vector>

template <typename T>
class KxNumList {
    static_assert(std::is_same_v<T, int> || std::is_same_v<T, unsigned int>);

public:
    explicit KxNumList(char delimiter = '.') : m_delimiter(delimiter) {}

    char delimiter() const { return m_delimiter; }
    void setDelimiter(char delimiter) { m_delimiter = delimiter; }
    unsigned count() const { return unsigned(m_values.size()); }
    T at(unsigned i) const { return m_values.at(i); }
    const std::vector<T> &values() const { return m_values; }

    void parse(const QString &text)
    {
        m_values.clear();
        if (text.isEmpty())
            return;
        // Unsigned arithmetic: digits are added without any overflow check, and
        // wrapping is the defined outcome of that.
        unsigned int number = 0;
        bool fraction = false;
        for (QChar c : text) {
            if (c == QLatin1Char(m_delimiter)) {
                m_values.push_back(T(number));
                number = 0;
                fraction = false;
            } else if (c == QLatin1Char('.')) {
                fraction = true;
            } else if (!fraction) {
                number = number * 10u + unsigned(c.unicode() - u'0');
            }
        }
        m_values.push_back(T(number));
    }

    int positionOf(T value) const
    {
        for (size_t i = 0; i < m_values.size(); ++i) {
            if (m_values[i] == value)
                return int(i);
        }
        return -1;
    }

    bool inRange(T minimum, T maximum) const
    {
        for (T v : m_values) {
            if (v < minimum || v > maximum)
                return false;
        }
        return true;
    }

private:
    std::vector<T> m_values;
    char m_delimiter;
};
