// A radio group: a group box whose radio buttons are its items, addressed by index.
#pragma once

#include <QGroupBox>
#include <QStringList>

class QButtonGroup;
class QGridLayout;
class KxOptionList;

class KxRadioGroup : public QGroupBox {
    Q_OBJECT

public:
    explicit KxRadioGroup(QWidget *parent = nullptr);
    explicit KxRadioGroup(const QString &title, QWidget *parent = nullptr);

    void setItems(const QStringList &items);
    // Items fill the columns one after the other, top to bottom; one column by default.
    void setColumns(int columns);
    QStringList items() const;
    int count() const;
    // -1: no button checked.
    int itemIndex() const;
    void setItemIndex(int index);
    QString currentText() const;

    // Items from an option list's texts in list order; selects by text, then by value.
    void Fill(const KxOptionList &options);
    void Select(const KxOptionList &options, const QString &text);

signals:
    void itemIndexChanged(int index);

private:
    QButtonGroup *m_group;
    void Arrange();

    QGridLayout *m_layout;
    int m_columns = 1;
};
