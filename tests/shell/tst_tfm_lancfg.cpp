// 'Home \ LAN': what is written, in which order, for each starting mode, against the
// simulated device; the input checks; and the cases that write nothing.
#include "KxDialogs.h"
#include "KxSession.h"
#include "SimFixture.h"
#include "TFM_LanCfg.h"
#include "TFM_Waiting.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kRoot = QStringLiteral("1.3.6.1.4.1.32473.2.5.9");
const QString kMode = kRoot + ".2.1.1.1.1.1.1";
const QString kAddress = kRoot + ".2.1.1.1.1.2.1";
const QString kMask = kRoot + ".2.1.1.1.1.3.1";
const QString kGateway = kRoot + ".2.1.1.1.1.4.1";
const QString kApply = kRoot + ".4.2.3.0";
const QString kIfAddress = kRoot + ".5.1.2.1.1.2.1";

constexpr int kStatic = 1;
constexpr int kDhcp = 2;

// Each SET PDU since `from` as "STATUS varbind varbind ...".
QStringList setsSince(const simtest::Simulator &sim, int from)
{
    QStringList sets;
    const QStringList lines = sim.journalLines();
    for (int i = from; i < lines.size(); ++i)
        sets << lines[i].split('\t').mid(4).join(' ');
    return sets;
}

QString addresses(const QString &address, const QString &mask, const QString &gateway)
{
    return QStringLiteral("%1|64|%2 %3|64|%4 %5|64|%6").arg(kAddress, address, kMask, mask, kGateway, gateway);
}

// Records, in order, the lines of every waiting notice shown and when `caller` is
// disabled and enabled, each with the number of sets the device has seen by then.
struct NoticeWatch : QObject {
    QWidget *caller;
    const simtest::Simulator &sim;
    QStringList events;
    NoticeWatch(QWidget *c, const simtest::Simulator &s) : caller(c), sim(s) { qApp->installEventFilter(this); }
    ~NoticeWatch() override { qApp->removeEventFilter(this); }
    bool eventFilter(QObject *object, QEvent *event) override
    {
        const QString sets = QString::number(sim.journalLines().size());
        if (auto *notice = qobject_cast<TFM_Waiting *>(object); notice && event->type() == QEvent::Show) {
            for (const char *name : {"Label2", "Label3", "Label1"})
                events << notice->Line(name)->text();
            events << "shown after " + sets;
        } else if (object == caller && event->type() == QEvent::EnabledChange) {
            events << (caller->isEnabled() ? "enabled after " : "disabled after ") + sets;
        }
        return false;
    }
};

} // namespace

class TestTFMLanCfg : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    simtest::Simulator m_sim;
    std::unique_ptr<KxScriptedDialogsScope> m_dialogs;

    // The device as the test wants it, stored and in effect.
    void deviceIn(int mode)
    {
        QCOMPARE(m_sim.set({kMode, "i", QString::number(mode), kAddress, "a", "192.168.0.50", kMask, "a",
                            "255.255.255.0", kGateway, "a", "0.0.0.0", kApply, "i", "1"}).exitCode, 0);
    }

    static QLineEdit *edit(TFM_LanCfg &screen, const char *name) { return screen.findChild<QLineEdit *>(name); }
    static QComboBox *ipFrom(TFM_LanCfg &screen) { return screen.findChild<QComboBox *>("CB_IPFrom"); }
    static void apply(TFM_LanCfg &screen) { screen.findChild<QPushButton *>("BT_LanCfgOk")->click(); }

    static void type(TFM_LanCfg &screen, const QString &address, const QString &mask, const QString &gateway)
    {
        edit(screen, "ED_IpAddr")->setText(address);
        edit(screen, "ED_SubMask")->setText(mask);
        edit(screen, "ED_DefGw")->setText(gateway);
    }

    // The user picks an item of 'Get IP From' with the keyboard.
    static void choose(TFM_LanCfg &screen, int item)
    {
        QComboBox *box = ipFrom(screen);
        QTest::keyClick(box, item < box->currentIndex() ? Qt::Key_Up : Qt::Key_Down);
        QCOMPARE(box->currentIndex(), item);
    }

    static bool rowsShown(TFM_LanCfg &screen)
    {
        return !edit(screen, "ED_IpAddr")->isHidden() && !edit(screen, "ED_SubMask")->isHidden()
            && !edit(screen, "ED_DefGw")->isHidden();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_sim.start());
        OpenGlobalSession(m_dir.path());
        GlobalDevice.address = "127.0.0.1";
        GlobalDevice.port = m_sim.port();
        GlobalSecurity = KxSNMPSecurity();
        GlobalSecurity.version = 1;
    }

    void init() { m_dialogs = std::make_unique<KxScriptedDialogsScope>(); }
    void cleanup() { m_dialogs.reset(); }

    void opensWithTheDeviceMode()
    {
        deviceIn(kDhcp);
        TFM_LanCfg screen;
        screen.show();
        QCOMPARE(screen.windowTitle(), QString("Home \\ LAN"));
        QCOMPARE(ipFrom(screen)->currentText(), QString("Dynamic (DHCP)"));
        QCOMPARE(screen.ModeAsRead(), 1);
        QVERIFY(edit(screen, "ED_IpAddr")->isHidden());
        QStringList hiddenCaptions;
        for (QLabel *label : screen.findChildren<QLabel *>())
            if (label->isHidden())
                hiddenCaptions << label->text();
        QCOMPARE(hiddenCaptions, QStringList({"IP Address", "Subnet Mask", "Default Gateway"}));
        QCOMPARE(edit(screen, "ED_IpAddr")->text(), QString("192.168.0.50"));
        QVERIFY(screen.StatusBar()->currentMessage().startsWith("Get: (KxSNMP++) Ok!"));
        QLineEdit *address = edit(screen, "ED_IpAddr");
        address->clear();
        choose(screen, 0);
        QVERIFY(rowsShown(screen));
        QTest::keyClicks(address, "192.168.100.100.5");
        QCOMPARE(address->text(), QString("192.168.100.100"));
        screen.findChild<QPushButton *>("BT_LanCfgCancel")->click();
        QVERIFY(!screen.isVisible());
    }

    // DHCP to static: the mode, the addresses, then "apply", each in its own set.
    void dhcpToStatic()
    {
        deviceIn(kDhcp);
        TFM_LanCfg screen;
        choose(screen, 0);
        type(screen, "192.168.0.60", "255.255.255.0", "192.168.0.1");
        const int before = m_sim.journalLines().size();
        NoticeWatch notice(&screen, m_sim);
        apply(screen);
        QCOMPARE(setsSince(m_sim, before),
                 QStringList({"noError " + kMode + "|2|1",
                              "noError " + addresses("192.168.0.60", "255.255.255.0", "192.168.0.1"),
                              "noError " + kApply + "|2|1"}));
        QCOMPARE(screen.StatusBar()->currentMessage(), QString("Set OK!"));
        const QString n = QString::number(before);
        QCOMPARE(notice.events, QStringList({"The settings are saving and taking effect.",
                                             "Please wait 10 seconds then access", "the device with new IP Address.",
                                             "shown after " + n, "disabled after " + n,
                                             "enabled after " + QString::number(before + 3)}));
        QVERIFY(screen.isEnabled());
        QVERIFY(screen.findChildren<TFM_Waiting *>().isEmpty());
        QCOMPARE(m_sim.value(kIfAddress), QString("64|192.168.0.60")); // in effect at once
        QCOMPARE(screen.ModeAsRead(), 1); // a write does not change what was read
    }

    // Static, only the gateway changed: all three addresses and "apply", no mode.
    void staticGatewayChanged()
    {
        deviceIn(kStatic);
        TFM_LanCfg screen;
        QVERIFY(rowsShown(screen));
        edit(screen, "ED_DefGw")->setText("192.168.0.254");
        const int before = m_sim.journalLines().size();
        apply(screen);
        QCOMPARE(setsSince(m_sim, before),
                 QStringList({"noError " + addresses("192.168.0.50", "255.255.255.0", "192.168.0.254"),
                              "noError " + kApply + "|2|1"}));
        QCOMPARE(screen.StatusBar()->currentMessage(), QString("Set OK!"));
    }

    void staticToDhcp()
    {
        deviceIn(kStatic);
        TFM_LanCfg screen;
        choose(screen, 1);
        QVERIFY(edit(screen, "ED_IpAddr")->isHidden());
        QVERIFY(edit(screen, "ED_DefGw")->isHidden());
        const int before = m_sim.journalLines().size();
        apply(screen);
        QCOMPARE(setsSince(m_sim, before), QStringList({"noError " + kMode + "|2|2", "noError " + kApply + "|2|1"}));
        QCOMPARE(screen.StatusBar()->currentMessage(), QString("Set OK!"));
        QCOMPARE(m_sim.value(kMode), QString("2|2"));
    }

    void writesNothing_data()
    {
        QTest::addColumn<int>("device");
        QTest::addColumn<int>("selected");
        QTest::newRow("DHCP kept") << kDhcp << 1;
        QTest::newRow("no item selected") << kStatic << -1;
    }

    void writesNothing()
    {
        QFETCH(int, device);
        QFETCH(int, selected);
        deviceIn(device);
        TFM_LanCfg screen;
        ipFrom(screen)->setCurrentIndex(selected);
        const QString status = screen.StatusBar()->currentMessage();
        const int before = m_sim.journalLines().size();
        apply(screen);
        QTest::qWait(100);
        QCOMPARE(m_sim.journalLines().size(), before);
        QCOMPARE(screen.StatusBar()->currentMessage(), status);
        QVERIFY(m_dialogs->Boxes().isEmpty());
    }

    void invalidInput_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("mask");
        QTest::addColumn<QString>("gateway");
        QTest::addColumn<QString>("emptied");
        QTest::addColumn<QString>("message");
        QTest::newRow("broadcast address") << "192.168.0.255" << "255.255.255.0" << "192.168.0.1" << "ED_IpAddr"
                                           << "Please input valid IP Address.";
        QTest::newRow("empty address") << "" << "255.255.255.0" << "192.168.0.1" << "ED_IpAddr"
                                       << "Please input valid IP Address.";
        QTest::newRow("holes in the mask") << "192.168.0.60" << "255.0.255.0" << "192.168.0.1" << "ED_SubMask"
                                           << "Please input valid Subnet Mask.";
        QTest::newRow("no gateway") << "192.168.0.60" << "255.255.255.0" << "0.0.0.0" << "ED_DefGw"
                                    << "Invalid gateway address !";
    }

    void invalidInput()
    {
        QFETCH(QString, address);
        QFETCH(QString, mask);
        QFETCH(QString, gateway);
        QFETCH(QString, emptied);
        QFETCH(QString, message);
        deviceIn(kStatic);
        TFM_LanCfg screen;
        type(screen, address, mask, gateway);
        const int before = m_sim.journalLines().size();
        apply(screen);
        QCOMPARE(m_dialogs->Boxes(), (QList<QPair<QString, QString>>{{"Warning", message}}));
        QCOMPARE(edit(screen, qPrintable(emptied))->text(), QString());
        for (const char *other : {"ED_IpAddr", "ED_SubMask", "ED_DefGw"})
            if (emptied != QLatin1String(other))
                QVERIFY(!edit(screen, other)->text().isEmpty());
        QTest::qWait(100);
        QCOMPARE(m_sim.journalLines().size(), before);
    }

    // The device refuses the addresses (a gateway off their subnet): nothing is
    // applied, from either starting mode, so no half change takes effect.
    void refusedAddressesAreNotApplied_data()
    {
        QTest::addColumn<int>("device");
        QTest::addColumn<QStringList>("expected");
        const QString refused = "inconsistentValue " + addresses("192.168.0.60", "255.255.255.0", "10.0.0.1");
        QTest::newRow("from DHCP") << kDhcp << QStringList{"noError " + kMode + "|2|1", refused};
        QTest::newRow("from static") << kStatic << QStringList{refused};
    }

    void refusedAddressesAreNotApplied()
    {
        QFETCH(int, device);
        QFETCH(QStringList, expected);
        deviceIn(device);
        TFM_LanCfg screen;
        ipFrom(screen)->setCurrentIndex(0);
        type(screen, "192.168.0.60", "255.255.255.0", "10.0.0.1");
        const int before = m_sim.journalLines().size();
        apply(screen);
        QCOMPARE(setsSince(m_sim, before), expected);
        QCOMPARE(screen.StatusBar()->currentMessage(), QString("Set Error!"));
        QVERIFY(screen.isEnabled());
        QCOMPARE(m_sim.value(kIfAddress), QString("64|192.168.0.50"));
    }
};

QTEST_MAIN(TestTFMLanCfg)
#include "tst_tfm_lancfg.moc"
