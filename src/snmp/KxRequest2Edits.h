// A screen's group of variables bound to its controls: labels, check boxes (also one
// per bit), combo boxes, radio groups, edit boxes with input formats, and a report-style
// list view for tables. Screens bind, then call GetIntoControls and SetFromControls.
#pragma once

#include "KxBinding.h"
#include "KxEditConstraint.h"
#include "KxRequest2Controls.h"

#include <QPointer>
#include <QTreeWidget>

#include <functional>
#include <vector>

class QComboBox;
class QLineEdit;

class KxSNMPRequest2Edits : public KxSNMPRequest2Controls {
public:
    using Hook = std::function<void()>;

    explicit KxSNMPRequest2Edits(QWidget *owner);
    ~KxSNMPRequest2Edits() override;

    Hook BeforeGetHook;
    Hook BeforeSetHook;
    Hook AfterGetHook;
    Hook AfterSetHook;
    bool SelectToEdit = true;

    // A label, check box, combo box or radio group (any other control is refused when
    // the value is shown or read: -521). Combo boxes and radio groups need an option
    // list (-520); a prefix option list needs the second control (-522).
    void BindControl(int variable, QWidget *control, QLineEdit *second = nullptr);
    // Edit boxes with an input format: as many boxes as the format has specifiers.
    void BindControl(int variable, const QString &format, const std::vector<QLineEdit *> &edits);
    void BindControl(int variable, const QString &format, QLineEdit *edit)
    {
        BindControl(variable, format, std::vector<QLineEdit *>{edit});
    }
    // The general form: a part of the variable's octet image at `offset`, read as
    // `syntax`, mapped through `options` (none: the variable's own when the part is
    // the whole variable). `format` applies to edit boxes and may be empty. A negative
    // offset is refused (-519).
    void BindPart(int variable, int offset, unsigned syntax, const KxOptionList *options,
                  const std::vector<QWidget *> &controls, const QString &format = {});
    // Check box k shows bit position k of `positions` ("0,3,7"); position 0 is the
    // highest bit of the first octet.
    void BindBits(int variable, const QString &positions, const std::vector<QWidget *> &checks);
    void BindListView(QTreeWidget *list, bool selectToEdit);
    void UnbindVariable(int variable);

    void ShowValues(int variable = -1);
    void ReadValues(int variable = -1);

    QTreeWidget *ListView() const { return m_list; }
    const std::vector<KxBinding> &Bindings() const { return m_bindings; }
    KxEditConstraint &Constraint() { return m_constraint; }
    // The variable shown in each list-view column: hidden columns first, then shown ones.
    std::vector<int> ColumnVariables() const;

protected:
    void BeforeGet() override;
    void BeforeSet() override;
    void ShowRow() override;
    void ReadControls() override;
    void AfterGet() override;
    void AfterSet() override;
    // Slot 8: a row of the bound list view became selected or not.
    virtual void SelectItem(QTreeWidgetItem *item, bool selected);

    // The cell texts of the row just read, in column order.
    QStringList RowTexts() const;
    void SetUpColumns();
    void SetControlsEnabled(bool enabled);

private:
    QPointer<QTreeWidget> m_list;
    KxEvents::SelectHandler m_savedSelect;
    std::vector<KxBinding> m_bindings;
    KxEditConstraint m_constraint;
};
