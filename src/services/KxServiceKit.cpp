#include "KxServiceKit.h"

#include "KxEditConstraint.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QTreeWidget>

QTreeWidget *KxReportList(QWidget *parent, const char *name, const QStringList &columns, const QString &caption)
{
    auto *list = new QTreeWidget(parent);
    list->setObjectName(QLatin1String(name));
    list->setAccessibleName(caption.trimmed());
    list->setHeaderLabels(columns);
    list->setRootIsDecorated(false);
    list->setItemsExpandable(false);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setAllColumnsShowFocus(true);
    list->header()->setSectionResizeMode(QHeaderView::Stretch);
    return list;
}

QStatusBar *KxTabStatus(QWidget *parent, const char *name)
{
    auto *bar = new QStatusBar(parent);
    bar->setObjectName(QLatin1String(name));
    bar->setSizeGripEnabled(false);
    return bar;
}

void KxApplyTypingLimits(QWidget *root)
{
    for (QLineEdit *edit : root->findChildren<QLineEdit *>()) {
        const int limit = edit->property("typingLimit").toInt();
        if (limit > 0)
            KxSetTypingLimit(edit, limit);
    }
}

std::optional<quint32> KxIpv4(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char('.'));
    if (parts.size() != 4)
        return std::nullopt;
    quint32 value = 0;
    for (const QString &part : parts) {
        if (part.isEmpty() || part.size() > 3)
            return std::nullopt;
        for (QChar c : part)
            if (!c.isDigit() || c.unicode() > u'9')
                return std::nullopt;
        const uint octet = part.toUInt();
        if (octet > 255)
            return std::nullopt;
        value = value << 8 | octet;
    }
    return value;
}
