// 'Status \ Stats \ WLAN': the radio's transmit and receive counters and error counts.
#pragma once

#include "KxCounterScreen.h"

class TFM_StatWLAN : public KxCounterScreen {
    Q_OBJECT

public:
    explicit TFM_StatWLAN(QWidget *parent = nullptr);
};
