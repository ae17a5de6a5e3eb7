#include "KxRadioGroup.h"

#include "KxOptionList.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QRadioButton>

KxRadioGroup::KxRadioGroup(QWidget *parent) : KxRadioGroup(QString(), parent) {}

KxRadioGroup::KxRadioGroup(const QString &title, QWidget *parent)
    : QGroupBox(title, parent), m_group(new QButtonGroup(this)), m_layout(new QGridLayout(this))
{
    connect(m_group, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked)
            emit itemIndexChanged(id);
    });
}

void KxRadioGroup::setItems(const QStringList &items)
{
    const bool hadSelection = itemIndex() >= 0;
    for (QAbstractButton *button : m_group->buttons()) {
        m_group->removeButton(button);
        delete button;
    }
    for (int i = 0; i < items.size(); ++i) {
        auto *button = new QRadioButton(items.at(i), this);
        m_group->addButton(button, i);
    }
    Arrange();
    if (hadSelection)
        emit itemIndexChanged(-1);
}

void KxRadioGroup::setColumns(int columns)
{
    m_columns = qMax(1, columns);
    Arrange();
}

void KxRadioGroup::Arrange()
{
    const int n = count();
    const int rows = qMax(1, (n + m_columns - 1) / m_columns);
    for (int i = 0; i < n; ++i) {
        QAbstractButton *button = m_group->button(i);
        m_layout->removeWidget(button);
        m_layout->addWidget(button, i % rows, i / rows);
    }
}

QStringList KxRadioGroup::items() const
{
    QStringList out;
    for (int i = 0; i < count(); ++i)
        out.append(m_group->button(i)->text());
    return out;
}

int KxRadioGroup::count() const
{
    return int(m_group->buttons().size());
}

int KxRadioGroup::itemIndex() const
{
    return m_group->checkedId();
}

void KxRadioGroup::setItemIndex(int index)
{
    if (index == itemIndex())
        return;
    if (index >= 0 && index < count()) {
        m_group->button(index)->setChecked(true);
        return;
    }
    // An exclusive group cannot uncheck its last button.
    QAbstractButton *checked = m_group->checkedButton();
    if (!checked)
        return;
    m_group->setExclusive(false);
    checked->setChecked(false);
    m_group->setExclusive(true);
    emit itemIndexChanged(-1);
}

QString KxRadioGroup::currentText() const
{
    const int i = itemIndex();
    return i >= 0 ? m_group->button(i)->text() : QString();
}

void KxRadioGroup::Fill(const KxOptionList &options)
{
    setItems(options.texts());
}

void KxRadioGroup::Select(const KxOptionList &options, const QString &text)
{
    setItemIndex(options.IndexToSelect(text));
}
