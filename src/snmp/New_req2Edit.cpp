#include "New_req2Edit.h"

#include <QTreeWidget>

void New_req2Edit::ShowRow()
{
    QTreeWidget *list = ListView();
    if (!list) {
        KxSNMPRequest2Edits::ShowRow();
        return;
    }
    if (SkipColumn < 0 || SkipColumn >= Request.VarList.count()
        || Request.VarList[SkipColumn].Value == SkipValue)
        return;
    QStringList texts = RowTexts();
    // The number takes the place of the first shown value, after any hidden columns.
    const int first = Request.VarList.HiddenColumnCount();
    if (first < texts.size())
        texts[first] = QString::number(RowNumber);
    list->addTopLevelItem(new QTreeWidgetItem(texts));
    list->viewport()->update();
    ++RowNumber;
}
