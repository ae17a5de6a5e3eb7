// A table request shown in a list view with its own row numbers and a skip rule: rows
// whose SkipColumn value equals SkipValue (an empty slot) are left out, and the first
// column shows the row's position among the rows shown.
#pragma once

#include "KxRequest2Edits.h"

class New_req2Edit : public KxSNMPRequest2Edits {
public:
    explicit New_req2Edit(QWidget *owner) : KxSNMPRequest2Edits(owner) {}

    int RowNumber = 1;
    QString SkipValue = QStringLiteral("0");
    int SkipColumn = 1;

protected:
    void ShowRow() override;
};
