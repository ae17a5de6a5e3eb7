#include "KxGather.h"

#include "KxRequest2Edits.h"
#include "KxStations.h"

#include <QComboBox>

KxSNMPError KxErrorOf(const KxException &e)
{
    KxSNMPError error;
    error.Code = e.HelpContext();
    error.Text = e.Text();
    error.Finished = true;
    return error;
}

KxGather::KxGather(KxSNMPRequest2Edits *trigger, QComboBox *triggerBox, KxSNMPRequest2Edits *table)
    : m_trigger(trigger), m_triggerBox(triggerBox), m_table(table)
{
    m_trigger->OnSetComplete = [this](KxSNMPRequest2Controls *, const KxSNMPError &e) { TriggerDone(e); };
    m_table->OnGetComplete = [this](KxSNMPRequest2Controls *, const KxSNMPError &e) { WalkDone(e); };
}

bool KxGather::Start()
{
    if (m_running)
        return false;
    m_running = true;
    KxStations::TriggerOptions().Select(m_triggerBox, QStringLiteral("get"));
    try {
        m_trigger->SetFromControls(true, true);
    } catch (const KxException &e) {
        TriggerDone(KxErrorOf(e));
    }
    return true;
}

void KxGather::TriggerDone(const KxSNMPError &error)
{
    if (!m_running)
        return;
    if (error.Code != 0) {
        m_running = false;
        if (TriggerFailed)
            TriggerFailed(error);
        return;
    }
    try {
        m_table->GetIntoControls();
    } catch (const KxException &e) {
        WalkDone(KxErrorOf(e));
        return;
    }
    if (m_running && Walking)
        Walking();
}

void KxGather::WalkDone(const KxSNMPError &error)
{
    if (!m_running)
        return;
    m_running = false;
    if (TableRead)
        TableRead(error);
}
