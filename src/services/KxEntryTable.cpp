#include "KxEntryTable.h"

#include <QTreeWidget>

KxEntryTable::KxEntryTable(KxSNMPRequest2Edits *request, RowTest isEntry, RowTest isFree, int keyVariable)
    : m_request(request), m_isEntry(std::move(isEntry)), m_isFree(std::move(isFree)), m_key(keyVariable)
{
}

int KxEntryTable::ColumnOf(int variable) const
{
    const std::vector<int> columns = m_request->ColumnVariables();
    for (int c = 0; c < int(columns.size()); ++c)
        if (columns[size_t(c)] == variable)
            return c;
    return -1;
}

QString KxEntryTable::Cell(const QTreeWidgetItem *row, int variable) const
{
    const int column = ColumnOf(variable);
    return row && column >= 0 ? row->text(column) : QString();
}

void KxEntryTable::Rebuild()
{
    m_rows.Clear();
    m_current.clear();
    QTreeWidget *list = m_request->ListView();
    for (int i = 0; list && i < list->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *row = list->topLevelItem(i);
        if (m_isEntry(*this, row))
            m_rows.AddShown(Cell(row, m_key));
        else if (m_isFree(*this, row))
            m_rows.AddFree(Cell(row, m_key));
    }
}

QTreeWidgetItem *KxEntryTable::RowOfKey(const QString &key) const
{
    QTreeWidget *list = m_request->ListView();
    for (int i = 0; list && !key.isEmpty() && i < list->topLevelItemCount(); ++i)
        if (Cell(list->topLevelItem(i), m_key) == key)
            return list->topLevelItem(i);
    return nullptr;
}

QTreeWidgetItem *KxEntryTable::Entry(int entry) const
{
    return RowOfKey(m_rows.KeyOf(entry));
}

void KxEntryTable::MakeCurrent(const QString &key)
{
    QTreeWidget *list = m_request->ListView();
    if (!list)
        return;
    // Selecting again, even the same row, is what shows its values afresh.
    list->clearSelection();
    QTreeWidgetItem *row = RowOfKey(key);
    m_current = row ? key : QString();
    if (row)
        row->setSelected(true);
}

bool KxEntryTable::MakeFreeCurrent()
{
    MakeCurrent(m_rows.FirstFree());
    return !m_current.isEmpty();
}
