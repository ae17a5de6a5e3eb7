// Input constraints of edit boxes: what may be typed (string, hex, signed, unsigned,
// real, delimited number list) and what the box may hold when the user leaves it.
//
// Format: "%", the type letter (s h i u f n), for "n" the delimiter, then optionally
// options in braces: "e" + advance character, "l" + length + flags a/f/n, "n" + minimum,
// "x" + maximum, "w" + width in pixels. "%u{n1x65535}", "%n,{n0x255l4}", "%s{l8f}".
#pragma once

#include "KxEvents.h"

#include <QPointer>
#include <QString>

#include <memory>
#include <vector>

class QLineEdit;
class QWidget;

struct _EditConstraint_s {
    enum LengthFlag : quint8 { AdvanceWhenFull = 1, ExactLength = 2, NotEmpty = 4 };

    QPointer<QLineEdit> edit;
    char type = 's';
    char delimiter = 0;
    double minimum = 0;
    double maximum = 0;
    int maxLength = 0;
    quint8 lengthFlags = 0;
    char advance = 0;
    QString lastValid;
    KxEvents::Handler ownChange;
    KxEvents::Handler ownExit;
    int width = 0;
};

class KxEditConstraint {
public:
    KxEditConstraint(QWidget *owner, bool rememberLastValid);
    ~KxEditConstraint();
    KxEditConstraint(const KxEditConstraint &) = delete;
    KxEditConstraint &operator=(const KxEditConstraint &) = delete;

    // Applies the format's format items in order to the boxes in order. A malformed
    // format item raises -2 (nothing of that box changes).
    void add(const QString &format, const std::vector<QLineEdit *> &edits);
    void add(const QString &format, QLineEdit *edit) { add(format, std::vector<QLineEdit *>{edit}); }
    void remove(QLineEdit *edit);
    const _EditConstraint_s *find(const QLineEdit *edit) const;

    // One format item parsed into a record (edit, handlers and last text left empty).
    static _EditConstraint_s Parse(const QString &item);
    // The format items of a format ("%u%s" -> "%u", "%s").
    static QStringList Split(const QString &format);

private:
    void changed(_EditConstraint_s &c);
    void left(_EditConstraint_s &c);
    void reject(_EditConstraint_s &c, const QString &message);
    // Index of the first character the type does not accept, or -1.
    static qsizetype firstMisfit(const _EditConstraint_s &c, const QString &text);

    QWidget *m_owner;
    bool m_remember;
    std::vector<std::unique_ptr<_EditConstraint_s>> m_records;
    bool m_rejecting = false;
};

// The length limit of a box for typing only: a text written by the program (a value
// read from the device) is kept whole, so that leaving the box can still reject it.
// 0 removes the limit.
void KxSetTypingLimit(QLineEdit *edit, int maxLength);
