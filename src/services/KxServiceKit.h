// Small pieces the service screens share: report-style lists, one status line per tab,
// accessible names from captions, and dotted IPv4 texts taken apart.
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class QStatusBar;
class QTreeWidget;
class QWidget;

// A read-only list with whole-row selection and the given column captions.
QTreeWidget *KxReportList(QWidget *parent, const char *name, const QStringList &columns, const QString &caption);
// A status line of its own for one tab.
QStatusBar *KxTabStatus(QWidget *parent, const char *name);
// The typing limits of the edits below `root` from their "typingLimit" property. Binding
// an edit to a format resets its limit, so this comes after the bindings.
void KxApplyTypingLimits(QWidget *root);
// The 32-bit value of four dotted decimal parts of 0 to 255; none for anything else.
std::optional<quint32> KxIpv4(const QString &text);
