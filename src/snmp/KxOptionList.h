// Option lists translate between the values a device holds and the words a screen
// shows ("1" <-> "Auto"), and fill and select combo boxes and radio groups.
#pragma once

#include <QString>
#include <QStringList>

#include <vector>

class QComboBox;

// Static tables end with a record whose text is null.
struct KxIntOption {
    long value;
    const char *text;
};
struct KxTextOption {
    const char *value;
    const char *text;
};

class KxOptionList {
public:
    enum Kind : unsigned { IntegerValues = 1, TextValues = 2, TextPrefixes = 3 };

    explicit KxOptionList(const KxIntOption *table, bool caseSensitive = false);
    KxOptionList(const KxTextOption *table, Kind kind, bool caseSensitive = false);

    Kind kind() const { return m_kind; }
    bool caseSensitive() const { return m_caseSensitive; }
    int count() const { return int(m_options.size()); }
    QString text(int index) const { return m_options.at(size_t(index)).text; }
    QString value(int index) const { return m_options.at(size_t(index)).value; }
    QStringList texts() const;

    int IndexOfText(const QString &text) const;
    int IndexOfValue(const QString &text) const;
    QString ValueToText(const QString &text) const;
    QString TextToValue(const QString &text) const;
    // The item a combo box or radio group selects for a text: by display text first,
    // then by value; -1 selects nothing.
    int IndexToSelect(const QString &text) const;

    void Fill(QComboBox *box) const;
    void Select(QComboBox *box, const QString &text) const;

private:
    struct Option {
        QString value; // decimal for integer lists
        qint64 number = 0;
        QString text;
    };
    bool equal(const QString &a, const QString &b) const;
    bool startsWith(const QString &text, const QString &prefix) const;

    Kind m_kind;
    bool m_caseSensitive;
    std::vector<Option> m_options;
};
