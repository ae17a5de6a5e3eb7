// A table shown in a list view that remembers, for every row it shows, which row of the
// device's table it came from. The device's tables may have free slots between named
// entries, so the position in the list is not the device's index: Edit and Delete must
// reach the entry the user picked, and an add needs a slot that is really free.
#pragma once

#include "New_req2Edit.h"

#include <QStringList>

class KxRowMap {
public:
    void Clear();
    void AddShown(const QString &key);
    void AddFree(const QString &key);

    int Count() const { return int(m_shown.size()); }
    // The device row of a shown row (its instance text, "3" or "3.1"); empty when
    // there is no such row.
    QString KeyOf(int shownRow) const;
    // The first part of that key as a number; -1 when there is no such row.
    int IndexOf(int shownRow) const;
    // The shown row that came from the device row `key`; -1 when none did.
    int RowOf(const QString &key) const;
    // The first slot the device holds empty, in table order; empty when the table is full.
    QString FirstFree() const;
    const QStringList &FreeKeys() const { return m_free; }

private:
    QStringList m_shown;
    QStringList m_free;
};

class KxTableRequest : public New_req2Edit {
public:
    explicit KxTableRequest(QWidget *owner) : New_req2Edit(owner) {}

    // Filled by every read from the device, emptied when a read begins.
    KxRowMap Rows;

protected:
    QString RowKey() const;
    void BeforeGet() override;
    void ShowRow() override;
};
