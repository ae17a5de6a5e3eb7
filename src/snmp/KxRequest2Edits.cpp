#include "KxRequest2Edits.h"

#include "KxErrors.h"
#include "KxNumList.h"
#include "KxRadioGroup.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QTreeWidget>

namespace {

// "%" followed by a type letter starts one edit box's format item.
int specifierCount(const QString &format)
{
    int count = 0;
    for (qsizetype i = 0; i + 1 < format.size(); ++i) {
        if (format.at(i) == u'%' && QStringLiteral("shiufn").contains(format.at(i + 1)))
            ++count;
    }
    return count;
}

} // namespace

KxSNMPRequest2Edits::KxSNMPRequest2Edits(QWidget *owner)
    : KxSNMPRequest2Controls(owner), m_constraint(owner, true)
{
}

KxSNMPRequest2Edits::~KxSNMPRequest2Edits()
{
    Request.Enabled = false;
    if (m_list)
        KxEvents::SetOnSelectItem(m_list, m_savedSelect);
}

void KxSNMPRequest2Edits::BindPart(int variable, int offset, unsigned syntax,
                                   const KxOptionList *options,
                                   const std::vector<QWidget *> &controls, const QString &format)
{
    KxBindingValues::CheckOffset(offset);
    const KxSNMPVariable &v = Request.VarList[variable];
    KxBinding b;
    b.variable = variable;
    b.offset = offset;
    b.syntax = syntax;
    b.options = options ? options : (b.Whole(v) ? v.OptionList : nullptr);
    for (QWidget *c : controls)
        b.controls.emplace_back(c);
    b.controlCount = int(b.controls.size());
    if (b.controls.empty())
        ThrowKx(KxCode::NotEnoughControls);
    const KxBinding::Kind kind = b.kind();
    if (kind == KxBinding::ComboBox || kind == KxBinding::RadioGroup) {
        if (!b.options)
            ThrowKx(KxCode::NoOptionList);
        if (b.options->kind() == KxOptionList::TextPrefixes && b.controls.size() < 2)
            ThrowKx(KxCode::NotEnoughControls);
        if (auto *combo = qobject_cast<QComboBox *>(controls.front())) {
            combo->setEditable(false);
            b.options->Fill(combo);
        } else {
            static_cast<KxRadioGroup *>(controls.front())->Fill(*b.options);
        }
    }
    if (kind == KxBinding::EditBox && !format.isEmpty()) {
        std::vector<QLineEdit *> edits;
        for (QWidget *c : controls) {
            if (auto *edit = qobject_cast<QLineEdit *>(c))
                edits.push_back(edit);
        }
        m_constraint.add(format, edits);
    }
    m_bindings.push_back(std::move(b));
}

void KxSNMPRequest2Edits::BindControl(int variable, QWidget *control, QLineEdit *second)
{
    const unsigned syntax = Request.VarList[variable].Syntax;
    std::vector<QWidget *> controls{control};
    if (second)
        controls.push_back(second);
    BindPart(variable, 0, syntax, nullptr, controls);
}

void KxSNMPRequest2Edits::BindControl(int variable, const QString &format,
                                      const std::vector<QLineEdit *> &edits)
{
    const int needed = specifierCount(format);
    if (int(edits.size()) < needed || edits.empty())
        ThrowKx(KxCode::NotEnoughControls);
    std::vector<QWidget *> controls(edits.begin(), edits.begin() + std::max(needed, 1));
    BindPart(variable, 0, Request.VarList[variable].Syntax, nullptr, controls, format);
}

void KxSNMPRequest2Edits::BindBits(int variable, const QString &positions,
                                   const std::vector<QWidget *> &checks)
{
    KxNumList<int> list(',');
    list.parse(positions);
    KxBinding b;
    b.variable = variable;
    b.syntax = Request.VarList[variable].Syntax;
    b.hasBits = true;
    b.bits = list.values();
    for (QWidget *c : checks)
        b.controls.emplace_back(c);
    b.controlCount = int(b.controls.size());
    if (b.controls.size() < b.bits.size())
        ThrowKx(KxCode::NotEnoughControls);
    m_bindings.push_back(std::move(b));
}

void KxSNMPRequest2Edits::UnbindVariable(int variable)
{
    for (auto it = m_bindings.begin(); it != m_bindings.end();) {
        if (it->variable != variable) {
            ++it;
            continue;
        }
        for (const QPointer<QWidget> &c : it->controls) {
            if (auto *edit = qobject_cast<QLineEdit *>(c.data()))
                m_constraint.remove(edit);
        }
        it = m_bindings.erase(it);
    }
}

void KxSNMPRequest2Edits::ShowValues(int variable)
{
    for (const KxBinding &b : m_bindings) {
        if (variable != -1 && b.variable != variable)
            continue;
        const KxSNMPVariable &v = Request.VarList[b.variable];
        if (v.Access & KxAccess::Excluded)
            continue;
        KxBindingValues::Show(b, v);
    }
}

void KxSNMPRequest2Edits::ReadValues(int variable)
{
    KxSNMPVarList &list = Request.VarList;
    for (int i = 0; i < list.count(); ++i) {
        if ((variable != -1 && i != variable) || !list.Settable(i))
            continue;
        KxSNMPVariable &v = list[i];
        QByteArray image = TextToImage(v.Syntax, v.OptionList ? v.OptionList->TextToValue(v.Value) : v.Value);
        bool bound = false;
        for (const KxBinding &b : m_bindings) {
            if (b.variable != i)
                continue;
            // The first binding of a whole value starts afresh: nothing of the old
            // value may survive behind a shorter text.
            if (!bound && (v.Syntax == KxSyntax::DisplayString || b.Whole(v)))
                image.clear();
            KxBindingValues::Read(b, image);
            bound = true;
        }
        if (bound) {
            const QString text = ImageToText(v.Syntax, image);
            v.Value = v.OptionList ? v.OptionList->ValueToText(text) : text;
        }
    }
}

// ---- list view ---------------------------------------------------------------

std::vector<int> KxSNMPRequest2Edits::ColumnVariables() const
{
    const KxSNMPVarList &list = Request.VarList;
    std::vector<int> columns;
    for (int i = 0; i < list.count(); ++i) {
        if (list.HiddenColumn(i))
            columns.push_back(i);
    }
    for (int i = 0; i < list.count(); ++i) {
        if (list.ShownColumn(i))
            columns.push_back(i);
    }
    return columns;
}

void KxSNMPRequest2Edits::BindListView(QTreeWidget *list, bool selectToEdit)
{
    m_list = list;
    SelectToEdit = selectToEdit;
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setRootIsDecorated(false);
    list->setItemsExpandable(false);
    list->setAlternatingRowColors(true);
    list->setAllColumnsShowFocus(true);
    // A fresh tree has one unnamed column; a list view starts with none.
    if (list->columnCount() == 1 && list->headerItem()->text(0) == QLatin1String("1"))
        list->setColumnCount(0);
    m_savedSelect = KxEvents::OnSelectItem(list);
    KxEvents::SetOnSelectItem(list, [this](QTreeWidgetItem *item, bool selected) {
        SelectItem(item, selected);
    });
    SetUpColumns();
}

void KxSNMPRequest2Edits::SetUpColumns()
{
    const KxSNMPVarList &list = Request.VarList;
    const int hidden = list.HiddenColumnCount();
    const int wanted = hidden + list.ShownColumnCount();
    if (!m_list || m_list->columnCount() >= wanted)
        return;
    m_list->setColumnCount(0);
    const std::vector<int> columns = ColumnVariables();
    QStringList captions;
    for (int i : columns)
        captions.append(list[i].Name);
    m_list->setHeaderLabels(captions);
    for (int c = 0; c < int(columns.size()); ++c) {
        if (c < hidden) {
            m_list->setColumnWidth(c, 0);
            m_list->setColumnHidden(c, true);
        } else {
            m_list->setColumnHidden(c, false);
            m_list->resizeColumnToContents(c);
        }
    }
}

QStringList KxSNMPRequest2Edits::RowTexts() const
{
    QStringList texts;
    for (int i : ColumnVariables())
        texts.append(Request.VarList[i].Value);
    return texts;
}

void KxSNMPRequest2Edits::SelectItem(QTreeWidgetItem *item, bool selected)
{
    if (m_savedSelect)
        m_savedSelect(item, selected);
    if (!selected || !m_list)
        return;
    if (SelectToEdit)
        SetControlsEnabled(true);
    const std::vector<int> columns = ColumnVariables();
    for (int c = 0; c < int(columns.size()) && c < item->columnCount(); ++c)
        Request.VarList[columns[size_t(c)]].Value = item->text(c);
    ShowValues(-1);
}

void KxSNMPRequest2Edits::SetControlsEnabled(bool enabled)
{
    for (const KxBinding &b : m_bindings) {
        for (const QPointer<QWidget> &c : b.controls) {
            if (c)
                c->setEnabled(enabled);
        }
    }
}

// ---- the transfer's steps ------------------------------------------------------

void KxSNMPRequest2Edits::BeforeGet()
{
    if (m_list) {
        SetUpColumns();
        m_list->clear();
    }
    if (BeforeGetHook)
        BeforeGetHook();
}

void KxSNMPRequest2Edits::BeforeSet()
{
    if (BeforeSetHook)
        BeforeSetHook();
}

void KxSNMPRequest2Edits::ShowRow()
{
    if (!m_list) {
        ShowValues(-1);
        return;
    }
    m_list->addTopLevelItem(new QTreeWidgetItem(RowTexts()));
    m_list->viewport()->update();
}

void KxSNMPRequest2Edits::ReadControls()
{
    KxSNMPVarList &list = Request.VarList;
    for (int i = 0; i < list.count(); ++i)
        list[i].Value.clear();
    if (m_list) {
        if (QTreeWidgetItem *row = m_list->selectedItems().value(0)) {
            const std::vector<int> columns = ColumnVariables();
            for (int c = 0; c < int(columns.size()) && c < row->columnCount(); ++c)
                list[columns[size_t(c)]].Value = row->text(c);
        }
    }
    ReadValues(-1);
}

void KxSNMPRequest2Edits::AfterGet()
{
    if (m_list && SelectToEdit && Request.VarList.ItemType == KxItemType::Table)
        SetControlsEnabled(false);
    if (AfterGetHook)
        AfterGetHook();
}

void KxSNMPRequest2Edits::AfterSet()
{
    if (AfterSetHook)
        AfterSetHook();
}
