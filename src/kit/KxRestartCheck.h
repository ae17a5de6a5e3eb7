// Whether a device that was told to restart really did. Its sysUpTime counts from its
// own start: read once it answers again, a count shorter than the time since the
// command went out means it started after the command; a longer one, that it never
// went down. After a firmware upgrade its sysDescr tells what it now runs.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>

class KxSNMPRequest;
struct KxSNMPError;

class KxRestartCheck : public QObject {
public:
    enum Result { Restarted, NotRestarted, NoAnswer };
    // `text` is the line for the status line: what the device reports now.
    using Done = std::function<void(Result result, const QString &text)>;

    explicit KxRestartCheck(QObject *parent = nullptr);
    ~KxRestartCheck() override;

    // Starts the clock: called as the restart command goes out.
    void Arm();
    // Asks until the device answers, or until AnswerWaitMs have passed; with
    // `withDescription` its sysDescr too. `done` runs once, from the event loop.
    void Check(bool withDescription, Done done);
    bool Checking() const { return bool(m_done); }

    // How long a device that was told to restart has to answer again.
    static int AnswerWaitMs;
    // The pause between two tries.
    static int RetryMs;

private:
    void Ask();
    void Answered(const KxSNMPError &error);
    void Finish(Result result, const QString &text);

    std::unique_ptr<KxSNMPRequest> m_request;
    QElapsedTimer m_sinceCommand;
    QElapsedTimer m_sinceCheck;
    QTimer m_retry;
    Done m_done;
    QString m_lastError;
};
