// rwn3460: the RWN-3460 management module. The host manager starts it with one
// device's address and SNMP parameters; see README.md for the command line.
#include "KxDialogs.h"
#include "KxErrors.h"
#include "KxNetSnmp.h"
#include "KxSession.h"
#include "KxStartup.h"
#include "TMainForm.h"

#include <QApplication>
#include <QSocketNotifier>

#include <csignal>
#include <memory>
#include <utility>
#include <vector>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// An error that escapes a window's handler is shown in the error box, and the module
// goes on, as a desktop program's message loop does.
class KxApplication : public QApplication {
public:
    using QApplication::QApplication;

    bool notify(QObject *receiver, QEvent *event) override
    {
        try {
            return QApplication::notify(receiver, event);
        } catch (const KxException &e) {
            Dialogs().ShowError(activeWindow(), e.Text());
        } catch (const std::exception &e) {
            Dialogs().ShowError(activeWindow(), QString::fromLocal8Bit(e.what()));
        }
        return false;
    }
};

// SIGTERM and SIGINT end the module as closing its window does (requests let go, the
// lock released), through a socket pair the event loop watches: a handler may do
// nothing else safely.
int g_signalPair[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(g_signalPair[1], &byte, 1);
}

bool catchEndSignals()
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signalPair) != 0)
        return false;
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    return ::sigaction(SIGTERM, &action, nullptr) == 0 && ::sigaction(SIGINT, &action, nullptr) == 0;
}

} // namespace

int main(int argc, char **argv)
{
    KxPreferQtEventDispatcher();
    // The host manager's arguments as the kernel keeps them, before the application
    // takes its own options out of argv.
    const std::vector<char *> processArguments(argv, argv + argc);
    KxApplication app(argc, argv);
    // The application's title: plain messages and the error box carry it.
    QApplication::setApplicationName(QStringLiteral("RWN-3460"));
    const bool signalsCaught = catchEndSignals();
    int code = 0;
    {
        TMainForm form;
        std::unique_ptr<QSocketNotifier> ending;
        if (signalsCaught) {
            ending = std::make_unique<QSocketNotifier>(qintptr(g_signalPair[0]), QSocketNotifier::Read);
            // Every event loop ends, also a screen's modal one.
            QObject::connect(ending.get(), &QSocketNotifier::activated, &app, &QCoreApplication::quit);
        }
        QStringList arguments = QApplication::arguments().mid(1);
        // Any local user can read a process's arguments: the communities and passwords
        // stay only in start-up's copy, which ends in the session values.
        KxStartup::HideSecretArguments(int(processArguments.size()), processArguments.data());
        const bool started = form.FormCreate(std::exchange(arguments, {}));
        if (!started)
            return 0;
        form.show();
        code = app.exec();
    }
    CloseGlobalSession();
    return code;
}
