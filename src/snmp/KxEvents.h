// One replaceable handler per control event, the way the screens' toolkit model has it:
// a control's change, exit and row-selection handlers are values that a checker or a
// binding can take over, keep, call and give back. Qt's own signals broadcast to every
// receiver in connection order, which cannot express "call the owner's handler after
// the check, unless the check rejected the input".
#pragma once

#include <functional>

class QWidget;
class QTreeWidget;
class QTreeWidgetItem;

namespace KxEvents {

using Handler = std::function<void()>;
using SelectHandler = std::function<void(QTreeWidgetItem *item, bool selected)>;

// Change: a line edit's or memo's text, a check box's state, a combo box's or radio
// group's item. Exit: the control loses the focus to another control of its window.
Handler OnChange(QWidget *control);
void SetOnChange(QWidget *control, Handler handler);
Handler OnExit(QWidget *control);
void SetOnExit(QWidget *control, Handler handler);
// A row became selected (true) or stopped being selected (false).
SelectHandler OnSelectItem(QTreeWidget *list);
void SetOnSelectItem(QTreeWidget *list, SelectHandler handler);

// The control's tag: owner handlers set -1 to veto what follows them.
int Tag(const QWidget *control);
void SetTag(QWidget *control, int tag);

// Moves the focus to the next control of the window that takes the focus by tab;
// returns it, or null when there is none.
QWidget *FocusNext(QWidget *from);

} // namespace KxEvents
