// A device table of fixed slots, some holding entries and the others free. The whole
// table is read into a hidden list view; the user sees only the entries. Each entry
// keeps the device row it came from, so an edit or a delete reaches the entry the user
// picked and an add goes to a slot that is really free, whatever gaps the table has.
#pragma once

#include "KxRequest2Edits.h"
#include "KxTableRequest.h"

#include <functional>

class QTreeWidgetItem;

class KxEntryTable {
public:
    using RowTest = std::function<bool(const KxEntryTable &table, const QTreeWidgetItem *row)>;

    // `request` is bound to the hidden list view; variable `keyVariable` is the row index.
    KxEntryTable(KxSNMPRequest2Edits *request, RowTest isEntry, RowTest isFree, int keyVariable = 0);

    // After every read: which device row each entry and each free slot is.
    void Rebuild();
    const KxRowMap &Rows() const { return m_rows; }
    // The hidden list's row of entry `entry` (in the order the entries are listed).
    QTreeWidgetItem *Entry(int entry) const;
    // The text of `variable` in a row of the hidden list.
    QString Cell(const QTreeWidgetItem *row, int variable) const;

    // Makes the device row `key` current: its values go into the bound controls and a
    // write goes to it. An empty or unknown key leaves no row current.
    void MakeCurrent(const QString &key);
    // The first free slot current; false, with no row current, when the table is full.
    bool MakeFreeCurrent();
    QString Current() const { return m_current; }

private:
    QTreeWidgetItem *RowOfKey(const QString &key) const;
    int ColumnOf(int variable) const;

    KxSNMPRequest2Edits *m_request;
    RowTest m_isEntry;
    RowTest m_isFree;
    int m_key;
    KxRowMap m_rows;
    QString m_current;
};
