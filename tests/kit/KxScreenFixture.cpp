#include "KxScreenFixture.h"

#include "KxSession.h"

#include <QDir>
#include <QEventLoop>
#include <QTest>
#include <QTimer>

namespace screentest {

TestHost::TestHost()
{
    setObjectName(QStringLiteral("MainForm"));
    SetHostWindow(this);
}

TestHost::~TestHost()
{
    if (HostWindow() == this)
        SetHostWindow(nullptr);
}

bool SavePicture(QWidget &window, const QString &name)
{
    const QString folder = qEnvironmentVariable("RWN3460_SCREENSHOTS");
    if (folder.isEmpty())
        return true;
    window.show();
    window.adjustSize();
    QTest::qWait(100);
    return window.grab().save(QDir(folder).filePath(name + QStringLiteral(".png")));
}

int RunNestedLoop(QDialog *window, int ms)
{
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(window, &QDialog::finished, &loop, &QEventLoop::quit);
    window->show();
    timer.start(ms);
    loop.exec();
    const int result = window->result();
    window->hide();
    return result;
}

ScreenFixture::ScreenFixture(QStringList simArgs, simtest::Objects changes)
{
    if (!changes.isEmpty()) {
        const QStringList variant = simtest::variantArgs(m_dir.path(), changes);
        if (variant.isEmpty())
            m_error = QStringLiteral("cannot write the variant data file");
        simArgs += variant;
    }
    m_sim = std::make_unique<simtest::Simulator>(simArgs);
    m_dialogs = std::make_unique<KxScriptedDialogsScope>();
    m_host = std::make_unique<TestHost>();
}

ScreenFixture::~ScreenFixture() = default;

bool ScreenFixture::Start()
{
    if (!m_error.isEmpty())
        return false;
    if (!m_sim->start()) {
        m_error = m_sim->error();
        return false;
    }
    OpenGlobalSession(m_dir.path());
    GlobalDevice.address = QStringLiteral("127.0.0.1");
    GlobalDevice.port = m_sim->port();
    GlobalSecurity = KxSNMPSecurity();
    GlobalSecurity.version = 1;
    return true;
}

int ScreenFixture::Mark() const
{
    return int(m_sim->journalLines().size());
}

QList<QStringList> ScreenFixture::SetsSince(int mark) const
{
    return m_sim->setsSince(mark);
}

} // namespace screentest
