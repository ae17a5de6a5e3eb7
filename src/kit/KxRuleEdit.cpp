#include "KxRuleEdit.h"

bool KxDeleteThenAdd(const KxRuleEdit &edit)
{
    if (edit.Check && !edit.Check())
        return false;
    if (edit.Delete && !edit.Delete())
        return false;
    return edit.Add && edit.Add();
}
