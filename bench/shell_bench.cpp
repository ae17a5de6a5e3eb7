// The main window against the simulated device: the time from start to the first lit
// lamps, and the module's CPU use while it sits idle with the device answering
// (a status poll every 2 s, a lamp blink every 500 ms, an address refresh every 2 s).
// Usage: shell_bench [idle seconds, default 60]
#include "KxNetSnmp.h"
#include "KxSession.h"
#include "TMainForm.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/resource.h>

#include <cstdio>

namespace {

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
           + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Lets the event loop run, sleeping between events as the module does.
void runFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

int main(int argc, char **argv)
{
    KxPreferQtEventDispatcher();
    QApplication app(argc, argv);
    const int idleSeconds = argc > 1 ? std::max(5, atoi(argv[1])) : 60;

    QProcess sim;
    sim.start(QStringLiteral(RWN3460_SIM_BIN), {"--listen", "127.0.0.1:0"});
    if (!sim.waitForStarted(5000))
        return 1;
    QString out;
    QRegularExpressionMatch listening;
    for (int i = 0; i < 100 && !listening.hasMatch(); ++i) {
        sim.waitForReadyRead(100);
        out += QString::fromUtf8(sim.readAllStandardOutput());
        listening = QRegularExpression("listening on 127\\.0\\.0\\.1:(\\d+)").match(out);
    }
    if (!listening.hasMatch())
        return 1;

    QTemporaryDir dir;
    OpenGlobalSession(dir.path());
    GlobalDevice.address = QStringLiteral("127.0.0.1");
    GlobalDevice.port = quint16(listening.captured(1).toUInt());
    GlobalSecurity.version = 1;

    QElapsedTimer clock;
    clock.start();
    TMainForm form;
    form.show();
    form.StartRequests();
    while (!form.LampsLit() && clock.elapsed() < 20000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const qint64 litMs = clock.elapsed();

    runFor(2000); // settle
    const double before = cpuSeconds();
    clock.restart();
    runFor(idleSeconds * 1000);
    const double used = cpuSeconds() - before;
    const double wall = double(clock.elapsed()) / 1000.0;
    std::printf("first lit lamps after        %6lld ms (window built, start-up reads done)\n",
                static_cast<long long>(litMs));
    std::printf("idle CPU over %3.0f s          %6.3f %% of one core (goal < 0.5 %%)\n", wall,
                100.0 * used / wall);
    std::printf("lamps lit at the end         %6s\n", form.LampsLit() ? "yes" : "no");
    sim.terminate();
    sim.waitForFinished(5000);
    return form.LampsLit() ? 0 : 2;
}
