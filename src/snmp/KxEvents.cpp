#include "KxEvents.h"

#include "KxRadioGroup.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTreeWidget>
#include <QVariant>

namespace {

const char kHubName[] = "KxEventHub";
const char kTagProperty[] = "KxTag";

class Hub : public QObject {
public:
    explicit Hub(QWidget *control) : QObject(control)
    {
        setObjectName(QLatin1String(kHubName));
        auto change = [this] { call(onChange); };
        if (auto *edit = qobject_cast<QLineEdit *>(control))
            connect(edit, &QLineEdit::textChanged, this, change);
        else if (auto *memo = qobject_cast<QPlainTextEdit *>(control))
            connect(memo, &QPlainTextEdit::textChanged, this, change);
        else if (auto *check = qobject_cast<QCheckBox *>(control))
            connect(check, &QCheckBox::stateChanged, this, change);
        else if (auto *combo = qobject_cast<QComboBox *>(control))
            connect(combo, &QComboBox::currentIndexChanged, this, change);
        else if (auto *radio = qobject_cast<KxRadioGroup *>(control))
            connect(radio, &KxRadioGroup::itemIndexChanged, this, change);
        if (auto *list = qobject_cast<QTreeWidget *>(control))
            connect(list, &QTreeWidget::itemSelectionChanged, this, [this, list] { selectionChanged(list); });
        control->installEventFilter(this);
    }

    KxEvents::Handler onChange;
    KxEvents::Handler onExit;
    KxEvents::SelectHandler onSelect;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::FocusOut && watched == parent()) {
            const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
            // Leaving the window or opening a popup is not leaving the control.
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
                call(onExit);
        }
        return false;
    }

private:
    static void call(const KxEvents::Handler &handler)
    {
        // A handler may replace itself while it runs.
        if (KxEvents::Handler copy = handler)
            copy();
    }

    void selectionChanged(QTreeWidget *list)
    {
        QTreeWidgetItem *now = list->selectedItems().value(0);
        QPointer<QTreeWidget> guard(list);
        const KxEvents::SelectHandler handler = onSelect;
        if (m_selected && m_selected != now && handler && indexOf(list, m_selected) >= 0)
            handler(m_selected, false);
        if (!guard)
            return;
        m_selected = now;
        if (now && handler)
            handler(now, true);
    }

    static int indexOf(QTreeWidget *list, QTreeWidgetItem *item)
    {
        return list->indexOfTopLevelItem(item);
    }

    QTreeWidgetItem *m_selected = nullptr;
};

Hub *hub(QWidget *control, bool create)
{
    Hub *found = control->findChild<Hub *>(QLatin1String(kHubName), Qt::FindDirectChildrenOnly);
    if (!found && create)
        found = new Hub(control);
    return found;
}

} // namespace

namespace KxEvents {

Handler OnChange(QWidget *control)
{
    const Hub *h = hub(control, false);
    return h ? h->onChange : Handler();
}

void SetOnChange(QWidget *control, Handler handler)
{
    hub(control, true)->onChange = std::move(handler);
}

Handler OnExit(QWidget *control)
{
    const Hub *h = hub(control, false);
    return h ? h->onExit : Handler();
}

void SetOnExit(QWidget *control, Handler handler)
{
    hub(control, true)->onExit = std::move(handler);
}

SelectHandler OnSelectItem(QTreeWidget *list)
{
    const Hub *h = hub(list, false);
    return h ? h->onSelect : SelectHandler();
}

void SetOnSelectItem(QTreeWidget *list, SelectHandler handler)
{
    hub(list, true)->onSelect = std::move(handler);
}

int Tag(const QWidget *control)
{
    return control->property(kTagProperty).toInt();
}

void SetTag(QWidget *control, int tag)
{
    control->setProperty(kTagProperty, tag);
}

QWidget *FocusNext(QWidget *from)
{
    QWidget *window = from->window();
    for (QWidget *w = from->nextInFocusChain(); w && w != from; w = w->nextInFocusChain()) {
        if (w->window() == window && (w->focusPolicy() & Qt::TabFocus) && w->isEnabled()
            && w->isVisibleTo(window)) {
            w->setFocus(Qt::TabFocusReason);
            return w;
        }
    }
    return nullptr;
}

} // namespace KxEvents
