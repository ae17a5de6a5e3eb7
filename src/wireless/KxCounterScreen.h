// What the Ethernet and the WLAN counter windows share: two groups of read-only counters,
// read when the window opens and on "Refresh", and "Clear", which tells the device to
// reset them. The windows differ only in their objects and texts.
#pragma once

#include "KxScreen.h"

class QComboBox;

class KxCounterScreen : public KxScreen {
    Q_OBJECT

public:
    // A counter: its label and the name of its edit box, in the order of the variables.
    struct Counter {
        const char *label;
        const char *edit;
    };
    struct Texts {
        const char *getOk;
        const char *getError;
        const char *refreshOk;
        const char *refreshError;
        const char *clearing; // shown while the clear is written; none: the line stays
        const char *clearOk;
    };
    struct Layout {
        const KxSNMPVarDesc *counters; // one instance each, read-only
        const Counter *labels;
        int transmitted;               // the first counters, the rest are received ones
        const char *transmittedTitle;
        const char *receivedTitle;
        const KxSNMPVarDesc *clear;    // 0 "nothing", 1 "clear"
        int clearTimeout;
        Texts texts;
    };

    void Bt_RefreshClick();
    // The device resets the counters; once it has, they are read again. A refused clear
    // leaves the layer's report in the status line and the counters as they were shown.
    void Bt_ClearClick();

    // 0 "nothing", 1 "clear": the options of both clear objects.
    static const KxOptionList &ClearOptions();

protected:
    KxCounterScreen(const QString &objectName, const QString &caption, const Layout &layout, QWidget *parent);

private:
    bool ReadCounters();

    const Layout &m_layout;
    QComboBox *m_clearBox;
    KxSNMPRequest2Edits *m_counters = nullptr;
    KxSNMPRequest2Edits *m_clear = nullptr;
};
