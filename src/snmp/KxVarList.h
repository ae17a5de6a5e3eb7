// MIB variable descriptors and the working lists built from them.
//
// A screen describes its objects as a static table of KxSNMPVarDesc ending with a
// record whose OID is null; a KxSNMPVarList is the request's own copy of such a table
// together with how it is fetched (scalars, one instance, or a table walked by rows).
#pragma once

#include "KxOptionList.h"
#include "KxValues.h"

#include <QString>

#include <functional>
#include <memory>
#include <vector>

namespace KxAccess {
constexpr unsigned Key = 1;
constexpr unsigned Readable = 2;
constexpr unsigned Writable = 4;
constexpr unsigned Shown = 8;
constexpr unsigned Hidden = 16;
constexpr unsigned Excluded = 32;
constexpr unsigned Implied = 64;
constexpr unsigned ReadOnly = Readable;
constexpr unsigned ReadWrite = Readable | Writable;
} // namespace KxAccess

namespace KxItemType {
constexpr quint8 Scalars = 0;
constexpr quint8 Instance = 1;
constexpr quint8 Table = 2;  // a get into a list view disables bound edits until a row is picked
constexpr quint8 Table2 = 3;
} // namespace KxItemType

// A record of a static descriptor table. A single space as OID marks a pseudo key
// column: not a MIB object, its value comes from the row instance.
struct KxSNMPVarDesc {
    const char *OID = nullptr;
    const char *Name = nullptr;
    unsigned Syntax = 0;
    unsigned Access = 0;
    const KxOptionList *OptionList = nullptr;
    const char *GetExpression = nullptr;
    const char *SetExpression = nullptr;
    const char *Reserved = nullptr;
};

// A variable of a list: the descriptor's fields plus the current value text and the
// OID the last response returned for it (the walk position of a table column).
struct KxSNMPVariable {
    QString OID;
    QString Name;
    unsigned Syntax = 0;
    unsigned Access = 0;
    const KxOptionList *OptionList = nullptr;
    QString GetExpression;
    QString SetExpression;
    QString Reserved;
    QString Value;
    QString LastOid;
};

class KxSNMPVarList {
public:
    KxSNMPVarList() = default;
    KxSNMPVarList(const KxSNMPVarDesc *table, quint8 itemType, int keyCount);
    // Starts empty (so with an empty Instance) and then assigns.
    KxSNMPVarList(const KxSNMPVarList &other);
    // Copies ItemType, KeyCount, ListName and every variable; keeps this list's own
    // Instance and owned option lists.
    KxSNMPVarList &operator=(const KxSNMPVarList &other);

    QString Instance;
    int KeyCount = 0;
    quint8 ItemType = KxItemType::Scalars;
    QString ListName;

    void Append(const KxSNMPVarDesc *table);
    int count() const { return int(m_variables.size()); }
    KxSNMPVariable &operator[](int i) { return m_variables[size_t(i)]; }
    const KxSNMPVariable &operator[](int i) const { return m_variables[size_t(i)]; }
    // Option lists this list owns and deletes with itself.
    const KxOptionList *AdoptOptionList(std::unique_ptr<KxOptionList> list);

    bool IsTable() const { return ItemType == KxItemType::Table || ItemType == KxItemType::Table2; }
    bool Readable(int i) const;
    bool Settable(int i) const;
    bool ShownColumn(int i) const;
    bool HiddenColumn(int i) const;
    int ShownColumnCount() const;
    int HiddenColumnCount() const;

    QString BaseOid(int i) const;
    // Sub-identifiers of key i's current value (after its option list), dotted;
    // empty when the key occupies none.
    QString EncodeKey(int i) const;
    // The row instance made of every key's current value.
    QString RowInstance() const;
    // Decodes key i from the front of a row instance, stores its value and returns
    // what is left. Raises -514 when the instance is too short, -511 for a bad syntax.
    QString DecodeKey(int i, const QString &instance);
    // Decodes every key from a row instance; a non-readable key's LastOid becomes its
    // base OID plus the whole instance. `decode` lets a request put its own decoder in.
    using KeyDecoder = std::function<QString(int, const QString &)>;
    void DecodeKeys(const QString &instance, const KeyDecoder &decode = {});

private:
    std::vector<KxSNMPVariable> m_variables;
    std::vector<std::unique_ptr<KxOptionList>> m_ownedOptions;
};
