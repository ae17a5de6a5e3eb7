// 'Status \ Stats \ Ethernet': the Ethernet port's transmit and receive counters and its
// packet-length histogram.
#pragma once

#include "KxCounterScreen.h"

class TFM_Static : public KxCounterScreen {
    Q_OBJECT

public:
    explicit TFM_Static(QWidget *parent = nullptr);
};
