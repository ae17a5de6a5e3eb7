#include "KxRestartCheck.h"

#include "KxRequest.h"

namespace {

const KxSNMPVarDesc kUpTime[] = {
    {"1.3.6.1.2.1.1.3", "sysUpTime", KxSyntax::TimeTicks, KxAccess::ReadOnly},
    {nullptr},
};
const KxSNMPVarDesc kUpTimeAndDescription[] = {
    {"1.3.6.1.2.1.1.3", "sysUpTime", KxSyntax::TimeTicks, KxAccess::ReadOnly},
    {"1.3.6.1.2.1.1.1", "sysDescr", KxSyntax::DisplayString, KxAccess::ReadOnly},
    {nullptr},
};

} // namespace

int KxRestartCheck::AnswerWaitMs = 120000;
int KxRestartCheck::RetryMs = 2000;

KxRestartCheck::KxRestartCheck(QObject *parent) : QObject(parent)
{
    m_retry.setSingleShot(true);
    connect(&m_retry, &QTimer::timeout, this, &KxRestartCheck::Ask);
}

KxRestartCheck::~KxRestartCheck()
{
    // A check still asking when its owner goes reaches nobody.
    if (m_request)
        m_request->Forget();
}

void KxRestartCheck::Arm()
{
    m_sinceCommand.start();
}

void KxRestartCheck::Check(bool withDescription, Done done)
{
    if (!m_sinceCommand.isValid())
        m_sinceCommand.start();
    m_done = std::move(done);
    m_request = std::make_unique<KxSNMPRequest>();
    m_request->VarList = KxSNMPVarList(withDescription ? kUpTimeAndDescription : kUpTime, KxItemType::Scalars, 0);
    // Short tries: a device still starting answers nothing, and the next try comes soon.
    m_request->Timeout = 200;
    m_request->Retries = 0;
    m_lastError.clear();
    m_sinceCheck.start();
    Ask();
}

void KxRestartCheck::Ask()
{
    if (!m_done)
        return;
    try {
        m_request->GetAsync([this](void *, const KxSNMPError &e, KxSNMPVarList &) { Answered(e); }, nullptr, true);
    } catch (const KxException &e) {
        KxSNMPError error;
        error.Code = -1;
        error.Text = e.Text();
        Answered(error);
    }
}

void KxRestartCheck::Answered(const KxSNMPError &error)
{
    if (!m_done)
        return;
    if (error.Code != 0) {
        m_lastError = error.Text;
        if (m_sinceCheck.elapsed() + RetryMs < AnswerWaitMs) {
            m_retry.start(RetryMs);
            return;
        }
        Finish(NoAnswer, QStringLiteral("The device did not answer after the restart (%1).").arg(m_lastError));
        return;
    }
    const KxSNMPVarList &list = m_request->VarList;
    const quint32 ticks = TimeTicksFromText(list[0].Value);
    const QString upFor = TimeTicksText(ticks);
    // Hundredths of a second, as the device counts.
    if (qint64(ticks) * 10 >= m_sinceCommand.elapsed()) {
        Finish(NotRestarted,
               QStringLiteral("The device answers but did not restart: it has been up for %1.").arg(upFor));
        return;
    }
    if (list.count() > 1)
        Finish(Restarted, QStringLiteral("The device restarted and reports: %1").arg(list[1].Value));
    else
        Finish(Restarted, QStringLiteral("The device restarted (up for %1).").arg(upFor));
}

void KxRestartCheck::Finish(Result result, const QString &text)
{
    Done done = std::move(m_done);
    m_done = nullptr;
    m_retry.stop();
    if (done)
        done(result, text);
}
