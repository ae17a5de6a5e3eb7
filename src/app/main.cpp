// rwn3460: the RWN-3460 management module. The host manager starts it with one
// device's address and SNMP parameters; see README.md for the command line.
#include "KxDialogs.h"
#include "KxErrors.h"
#include "KxNetSnmp.h"
#include "KxSession.h"
#include "TMainForm.h"

#include <QApplication>

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

} // namespace

int main(int argc, char **argv)
{
    KxPreferQtEventDispatcher();
    KxApplication app(argc, argv);
    // The application's title: plain messages and the error box carry it.
    QApplication::setApplicationName(QStringLiteral("RWN-3460"));
    int code = 0;
    {
        TMainForm form;
        if (!form.FormCreate(QApplication::arguments().mid(1)))
            return 0;
        form.show();
        code = app.exec();
    }
    CloseGlobalSession();
    return code;
}
