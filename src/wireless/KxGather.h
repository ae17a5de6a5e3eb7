// Trigger, then read: the device gathers a table (associated clients, WDS peers) when 1
// ("get") is written to its trigger, and the table is walked once that write has
// completed without error - never before, since a walk started alongside another of the
// same request would share its walk position and mix the two readings' rows.
#pragma once

#include "KxErrors.h"

#include <QString>

#include <functional>

class KxSNMPRequest2Edits;
class QComboBox;

class KxGather {
public:
    // `trigger` writes the trigger bound to `triggerBox`; `table` is the table's request.
    // Both are asynchronous; the gather takes over their completions.
    KxGather(KxSNMPRequest2Edits *trigger, QComboBox *triggerBox, KxSNMPRequest2Edits *table);

    // Starts a cycle: false (and nothing is sent) while one is running. A trigger that
    // cannot even be sent ends the cycle at once through TriggerFailed.
    bool Start();
    bool Running() const { return m_running; }

    // The cycle ends through exactly one of TriggerFailed and TableRead, whatever way it
    // fails; Walking comes between the trigger's success and the walk's end.
    std::function<void(const KxSNMPError &error)> TriggerFailed;
    std::function<void()> Walking;
    std::function<void(const KxSNMPError &error)> TableRead;

private:
    void TriggerDone(const KxSNMPError &error);
    void WalkDone(const KxSNMPError &error);

    KxSNMPRequest2Edits *m_trigger;
    QComboBox *m_triggerBox;
    KxSNMPRequest2Edits *m_table;
    bool m_running = false;
};

// The error record of a failure the layer raised instead of reporting.
KxSNMPError KxErrorOf(const KxException &e);
