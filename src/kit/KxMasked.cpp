#include "KxMasked.h"

bool IsMasked(const QString &text)
{
    for (QChar c : text)
        if (c != QLatin1Char('*'))
            return false;
    return true;
}
