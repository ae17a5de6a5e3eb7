#include "KxTableRequest.h"

#include <QTreeWidget>

void KxRowMap::Clear()
{
    m_shown.clear();
    m_free.clear();
}

void KxRowMap::AddShown(const QString &key)
{
    m_shown << key;
}

void KxRowMap::AddFree(const QString &key)
{
    m_free << key;
}

QString KxRowMap::KeyOf(int shownRow) const
{
    return shownRow >= 0 && shownRow < m_shown.size() ? m_shown[shownRow] : QString();
}

int KxRowMap::IndexOf(int shownRow) const
{
    bool ok = false;
    const int index = KeyOf(shownRow).section(QLatin1Char('.'), 0, 0).toInt(&ok);
    return ok ? index : -1;
}

int KxRowMap::RowOf(const QString &key) const
{
    return int(m_shown.indexOf(key));
}

QString KxRowMap::FirstFree() const
{
    return m_free.value(0);
}

QString KxTableRequest::RowKey() const
{
    // The row's instance is what the walk returned past a column's own OID.
    const KxSNMPVarList &list = Request.VarList;
    for (int i = list.KeyCount; i < list.count(); ++i) {
        const QString base = list.BaseOid(i) + QLatin1Char('.');
        if (list[i].LastOid.startsWith(base))
            return list[i].LastOid.mid(base.size());
    }
    return {};
}

void KxTableRequest::BeforeGet()
{
    Rows.Clear();
    New_req2Edit::BeforeGet();
}

void KxTableRequest::ShowRow()
{
    QTreeWidget *list = ListView();
    const int before = list ? list->topLevelItemCount() : 0;
    New_req2Edit::ShowRow();
    if (!list)
        return;
    const QString key = RowKey();
    if (list->topLevelItemCount() > before)
        Rows.AddShown(key);
    else
        Rows.AddFree(key);
}
