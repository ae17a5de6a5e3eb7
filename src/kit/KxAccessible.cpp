#include "KxAccessible.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSet>
#include <QStatusBar>
#include <QTextEdit>

#include <vector>

namespace {

// A control a user operates, as opposed to text, frames and the parts of a composite
// control (the edit inside a combo box or spin box, a list's header).
bool isControl(const QWidget *w)
{
    const QWidget *parent = w->parentWidget();
    if (parent && (qobject_cast<const QComboBox *>(parent) || qobject_cast<const QAbstractSpinBox *>(parent)
                   || qobject_cast<const QAbstractItemView *>(parent)))
        return false;
    if (const auto *box = qobject_cast<const QGroupBox *>(w))
        return !box->title().isEmpty(); // an untitled one is only a frame
    return qobject_cast<const QAbstractButton *>(w) || qobject_cast<const QComboBox *>(w)
           || qobject_cast<const QLineEdit *>(w) || qobject_cast<const QAbstractSpinBox *>(w)
           || qobject_cast<const QAbstractItemView *>(w) || qobject_cast<const QTextEdit *>(w)
           || qobject_cast<const QPlainTextEdit *>(w) || qobject_cast<const QGroupBox *>(w);
}

QString labelText(const QWidget *w)
{
    if (const auto *label = qobject_cast<const QLabel *>(w))
        return KxCaptionText(label->text());
    return QString();
}

QString labelText(const QLayoutItem *item)
{
    return item ? labelText(item->widget()) : QString();
}

// The chain of layouts from `root` down to the one that holds `w` directly, each with
// the index of the item that leads towards `w`.
struct Step {
    QLayout *layout;
    int index;
};

bool findPath(QLayout *root, const QWidget *w, std::vector<Step> &path)
{
    for (int i = 0; i < root->count(); ++i) {
        QLayoutItem *item = root->itemAt(i);
        path.push_back({root, i});
        if (item->widget() == w)
            return true;
        if (QLayout *inner = item->layout(); inner && findPath(inner, w, path))
            return true;
        path.pop_back();
    }
    return false;
}

// The caption a layout puts beside the item at `index`: a form row's label, in a grid
// the nearest label to the left in the same row (else the one just above), in a row or
// column of widgets the label just before it.
QString layoutCaption(const Step &step)
{
    QLayoutItem *item = step.layout->itemAt(step.index);
    if (auto *form = qobject_cast<QFormLayout *>(step.layout)) {
        QWidget *label = item->widget() ? form->labelForField(item->widget()) : form->labelForField(item->layout());
        return labelText(label);
    }
    if (auto *grid = qobject_cast<QGridLayout *>(step.layout)) {
        int row = 0, column = 0, rows = 0, columns = 0;
        grid->getItemPosition(step.index, &row, &column, &rows, &columns);
        for (int c = column - 1; c >= 0; --c) {
            QLayoutItem *left = grid->itemAtPosition(row, c);
            if (!left || !left->widget())
                continue;
            if (const QString text = labelText(left); !text.isEmpty())
                return text;
            break; // another control stands between
        }
        return row > 0 ? labelText(grid->itemAtPosition(row - 1, column)) : QString();
    }
    if (qobject_cast<QBoxLayout *>(step.layout) && step.index > 0)
        return labelText(step.layout->itemAt(step.index - 1));
    return QString();
}

QLabel *buddyLabel(const QWidget *w)
{
    for (QWidget *up = w->parentWidget(); up; up = up->isWindow() ? nullptr : up->parentWidget()) {
        for (QLabel *label : up->findChildren<QLabel *>()) {
            if (label->buddy() == w)
                return label;
        }
    }
    return nullptr;
}

// The title of the group box `w` is the only control of.
QString groupCaption(const QWidget *w)
{
    for (QWidget *up = w->parentWidget(); up && !up->isWindow(); up = up->parentWidget()) {
        auto *box = qobject_cast<QGroupBox *>(up);
        if (!box)
            continue;
        int controls = 0;
        for (const QWidget *child : box->findChildren<QWidget *>())
            controls += isControl(child) && !child->isHidden();
        return controls == 1 ? KxCaptionText(box->title()) : QString();
    }
    return QString();
}

// Enter on a focused push button presses it (a dialog's buttons are no default buttons
// here, so that Enter in a field writes nothing to the device by itself).
class EnterPresses : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
        if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) || mods != Qt::NoModifier)
            return false;
        auto *button = qobject_cast<QPushButton *>(watched);
        if (!button || !button->isEnabled())
            return false;
        button->click();
        return true;
    }
};

const char kAnnounces[] = "kxAnnouncesStatus";
const char kEnterFilter[] = "kxEnterFilter";
const char kEnterPresses[] = "kxEnterPresses";

void announceChanges(QStatusBar *bar)
{
    if (bar->property(kAnnounces).toBool())
        return;
    bar->setProperty(kAnnounces, true);
    // Its accessible name is the message shown; a screen reader hears of each new one.
    QObject::connect(bar, &QStatusBar::messageChanged, bar, [bar] {
        QAccessibleEvent event(bar, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
    });
}

QChar mnemonicOf(const QString &text)
{
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != QLatin1Char('&'))
            continue;
        if (text[i + 1] != QLatin1Char('&'))
            return text[i + 1].toLower();
        ++i;
    }
    return QChar();
}

// The position of the letter to mark: the first free one that starts a word, else the
// first free one anywhere; -1 when every letter is taken.
qsizetype freeLetter(const QString &text, const QSet<QChar> &used)
{
    for (bool wordStart : {true, false}) {
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar c = text[i];
            if (!c.isLetterOrNumber() || used.contains(c.toLower()))
                continue;
            if (!wordStart || i == 0 || !text[i - 1].isLetterOrNumber())
                return i;
        }
    }
    return -1;
}

void assignMnemonics(const QList<QAction *> &actions)
{
    QSet<QChar> used;
    for (const QAction *a : actions) {
        if (const QChar m = mnemonicOf(a->text()); !m.isNull())
            used.insert(m);
    }
    for (QAction *a : actions) {
        if (QMenu *sub = a->menu())
            KxAssignMnemonics(sub);
        if (a->isSeparator() || a->text().isEmpty() || !mnemonicOf(a->text()).isNull())
            continue;
        if (const qsizetype at = freeLetter(a->text(), used); at >= 0) {
            used.insert(a->text()[at].toLower());
            QString text = a->text();
            a->setText(text.insert(at, QLatin1Char('&')));
        }
    }
}

} // namespace

QString KxCaptionText(const QString &caption)
{
    QString text;
    text.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&')) {
            if (i + 1 < caption.size() && caption[i + 1] == QLatin1Char('&'))
                text += caption[++i];
            continue;
        }
        text += caption[i];
    }
    text = text.simplified();
    if (text.endsWith(QLatin1Char(':')))
        text.chop(1);
    return text.trimmed();
}

QString KxCaptionOf(const QWidget *control)
{
    if (const auto *box = qobject_cast<const QGroupBox *>(control))
        return KxCaptionText(box->title());
    if (const auto *button = qobject_cast<const QAbstractButton *>(control)) {
        if (const QString text = KxCaptionText(button->text()); !text.isEmpty())
            return text;
    }
    if (const QLabel *label = buddyLabel(control))
        return KxCaptionText(label->text());
    for (const QWidget *holder = control->parentWidget(); holder; holder = holder->parentWidget()) {
        QLayout *layout = holder->layout();
        std::vector<Step> path;
        if (layout && findPath(layout, control, path)) {
            // Innermost first: a field's own row, then the row the nested layout sits in.
            for (auto step = path.rbegin(); step != path.rend(); ++step) {
                if (const QString text = layoutCaption(*step); !text.isEmpty())
                    return text;
            }
            break;
        }
        if (holder->isWindow())
            break;
    }
    return groupCaption(control);
}

void KxNameControls(QWidget *window)
{
    if (!window)
        return;
    auto *enter = window->property(kEnterFilter).value<QObject *>();
    if (!enter) {
        enter = new EnterPresses(window);
        window->setProperty(kEnterFilter, QVariant::fromValue<QObject *>(enter));
    }
    for (QWidget *w : window->findChildren<QWidget *>()) {
        if (w->window() != window)
            continue;
        if (auto *bar = qobject_cast<QStatusBar *>(w)) {
            announceChanges(bar);
            continue;
        }
        if (!isControl(w))
            continue;
        if (auto *button = qobject_cast<QPushButton *>(w); button && !button->property(kEnterPresses).toBool()) {
            button->setProperty(kEnterPresses, true);
            button->installEventFilter(enter);
        }
        if (!w->accessibleName().isEmpty())
            continue;
        if (const QString caption = KxCaptionOf(w); !caption.isEmpty())
            w->setAccessibleName(caption);
    }
}

void KxAssignMnemonics(QMenu *menu)
{
    if (menu)
        assignMnemonics(menu->actions());
}

void KxAssignMnemonics(QMenuBar *bar)
{
    if (bar)
        assignMnemonics(bar->actions());
}
