// 'Home \ Information' against the simulated device, driven by its control names.
#include "KxDialogs.h"
#include "KxSession.h"
#include "SimFixture.h"
#include "TFM_Information.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kContact = QStringLiteral("1.3.6.1.2.1.1.4.0");
const QString kName = QStringLiteral("1.3.6.1.2.1.1.5.0");
const QString kLocation = QStringLiteral("1.3.6.1.2.1.1.6.0");

} // namespace

class TestTFMInformation : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    simtest::Simulator m_sim;
    std::unique_ptr<KxScriptedDialogsScope> m_dialogs;

    QLineEdit *edit(TFM_Information &screen, const char *name)
    {
        return screen.findChild<QLineEdit *>(QLatin1String(name));
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

    void init()
    {
        m_dialogs = std::make_unique<KxScriptedDialogsScope>();
        QCOMPARE(m_sim.set({kName, "s", "RWN-3460"}).exitCode, 0);
    }
    void cleanup() { m_dialogs.reset(); }

    void readsTheSystemGroup()
    {
        QCOMPARE(m_sim.set({kContact, "s", "ops desk", kLocation, "s", "roof"}).exitCode, 0);
        TFM_Information screen;
        QCOMPARE(screen.windowTitle(), QString("Home \\ Information"));
        QTRY_COMPARE(edit(screen, "Ed_SD")->text(), QString("RWN-3460 Wireless Access Point, firmware 1.10.13"));
        QCOMPARE(edit(screen, "Ed_SO")->text(), QString("1.3.6.1.4.1.32473.2.5.9"));
        QVERIFY2(!edit(screen, "Ed_SU")->text().isEmpty(), "uptime shown");
        QCOMPARE(edit(screen, "Ed_SC")->text(), QString("ops desk"));
        QCOMPARE(edit(screen, "Ed_SN")->text(), QString("RWN-3460"));
        QCOMPARE(edit(screen, "Ed_SL")->text(), QString("roof"));
        for (const char *name : {"Ed_SD", "Ed_SO", "Ed_SU"})
            QVERIFY(edit(screen, name)->isReadOnly());
        const QRegularExpression getOk(R"(^Get: \(KxSNMP\+\+\) Ok!\. Receive at \d\d:\d\d:\d\d (AM|PM)\.$)");
        QVERIFY2(getOk.match(screen.StatusBar()->currentMessage()).hasMatch(),
                 qPrintable(screen.StatusBar()->currentMessage()));

        edit(screen, "Ed_SN")->setText("changed here");
        screen.findChild<QPushButton *>("Btn_Re")->click();
        QCOMPARE(screen.StatusBar()->currentMessage(), QString("Get OK!"));
        QTRY_COMPARE(edit(screen, "Ed_SN")->text(), QString("RWN-3460"));
    }

    // Contact, name and location go in one set, whichever of them changed.
    void savesTheThreeInOneSet()
    {
        TFM_Information screen;
        QTRY_COMPARE(edit(screen, "Ed_SN")->text(), QString("RWN-3460"));
        const QString contact = edit(screen, "Ed_SC")->text();
        const QString location = edit(screen, "Ed_SL")->text();
        const QString name39(39, QLatin1Char('n'));
        edit(screen, "Ed_SN")->setText(name39);
        const int before = m_sim.journalLines().size();
        screen.findChild<QPushButton *>("Btn_Sa")->click();
        QCOMPARE(screen.StatusBar()->currentMessage(), QString("Save OK!"));
        QTRY_COMPARE(m_sim.journalLines().size(), before + 1);
        const QStringList fields = m_sim.journalLines().last().split('\t');
        QCOMPARE(fields[4], QString("noError"));
        QCOMPARE(fields.mid(5), QStringList({kContact + "|4|" + contact, kName + "|4|" + name39,
                                             kLocation + "|4|" + location}));
        QCOMPARE(m_sim.value(kName), "4x|" + QString::fromLatin1(name39.toLatin1().toHex()));
        // The device's answer replaces "Save OK!" with the layer's log line.
        QTRY_VERIFY(screen.StatusBar()->currentMessage().startsWith("Set: "));
    }

    void typingStopsAtTheLimit()
    {
        TFM_Information screen;
        QLineEdit *name = edit(screen, "Ed_SN");
        QTRY_COMPARE(name->text(), QString("RWN-3460"));
        name->clear();
        QTest::keyClicks(name, QString(45, QLatin1Char('x')));
        QCOMPARE(name->text().size(), 39);
    }

    void tooLong_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("length");
        QTest::addColumn<QString>("message");
        QTest::newRow("contact") << "Ed_SC" << 256 << "The Max Lengh of the SystemContact is 255.";
        QTest::newRow("name") << "Ed_SN" << 40 << "The Max Lengh of the SystemName is 39.";
        QTest::newRow("location") << "Ed_SL" << 256 << "The Max Lengh of the SystemLocation is 255.";
    }

    // A value longer than the limit (as a device may hold) is shown whole and not saved.
    void tooLong()
    {
        QFETCH(QString, field);
        QFETCH(int, length);
        QFETCH(QString, message);
        TFM_Information screen;
        QTRY_COMPARE(edit(screen, "Ed_SN")->text(), QString("RWN-3460"));
        edit(screen, qPrintable(field))->setText(QString(length, QLatin1Char('y')));
        QCOMPARE(edit(screen, qPrintable(field))->text().size(), length);
        const int before = m_sim.journalLines().size();
        screen.findChild<QPushButton *>("Btn_Sa")->click();
        QCOMPARE(m_dialogs->Boxes(), (QList<QPair<QString, QString>>{{"Error", message}}));
        QTest::qWait(200);
        QCOMPARE(m_sim.journalLines().size(), before);
        QVERIFY(screen.StatusBar()->currentMessage() != QString("Save OK!"));
    }
};

QTEST_MAIN(TestTFMInformation)
#include "tst_tfm_information.moc"
