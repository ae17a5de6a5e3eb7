// 'Status \ Log' against the simulated device, which delivers its own log to the
// window's TFTP server on loopback.
#include "KxProgramFiles.h"
#include "KxScreenFixture.h"
#include "KxSession.h"
#include "TLogForm.h"

#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTest>
#include <QTreeWidget>
#include <QUdpSocket>

using screentest::ScreenFixture;

namespace {

const QString kLog = QStringLiteral("1.3.6.1.4.1.32473.2.5.9.5.4");
const QString kGetOk = QStringLiteral("Get OK.");
const QString kGetFail = QStringLiteral("Get fail.");

// Every shape the cutting rule meets, and the rows it gives.
const QByteArray kSeed = "2026-01-02 03:04:05 | [System] boot done\n"
                         "\n"
                         "no delimiters at all\n"
                         "12:00 | [Notice unclosed\n"
                         "a]b\n"
                         "  09:30  |x[Wireless]|[ inner ] text\n";
const QList<QStringList> kRows = {
    {"2026-01-02 03:04:05", "System", " boot done"},
    {"", "", "no delimiters at all"},
    {"12:00", "", "Notice unclosed"},
    {"", "a", "b"},
    {"09:30", "Wireless", "|[ inner ] text"},
};

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
}

QString status(TLogForm &screen)
{
    return screen.findChild<QStatusBar *>("StatusBar1")->currentMessage();
}

bool waitForStatus(TLogForm &screen, const QString &text, int ms = 10000)
{
    return QTest::qWaitFor([&] { return status(screen) == text; }, ms);
}

QTreeWidget *view(TLogForm &screen)
{
    return screen.findChild<QTreeWidget *>("ViewListView");
}

QList<QStringList> rows(TLogForm &screen)
{
    QList<QStringList> out;
    QTreeWidget *list = view(screen);
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        QTreeWidgetItem *item = list->topLevelItem(i);
        out << QStringList{item->text(0), item->text(1), item->text(2)};
    }
    return out;
}

void click(TLogForm &screen, const char *name)
{
    screen.findChild<QPushButton *>(QLatin1String(name))->click();
}

} // namespace

class TestTLogForm : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    quint16 m_tftpPort = 0;
    TLogForm *m_reference = nullptr;

    QStringList simArgs(const QStringList &more = {})
    {
        return QStringList{"--tftp-port", QString::number(m_tftpPort), "--log-file", m_dir.filePath("seed.log")} + more;
    }

private slots:
    void initTestCase()
    {
        m_tftpPort = simtest::freeUdpPort();
        QVERIFY(m_tftpPort != 0);
        qputenv("RWN3460_TFTP_PORT", QByteArray::number(m_tftpPort));
        QVERIFY(writeFile(m_dir.filePath("seed.log"), kSeed));
    }

    void init() { QFile::remove(KxBesideProgram(TLogForm::LogFileName)); }

    // The whole chain: server up, PC address found, address and name written, get-log,
    // the file kept and cut into rows.
    void fetchShowsTheDevicesLog()
    {
        ScreenFixture f(simArgs());
        QVERIFY2(f.Start(), qPrintable(f.Error()));
        f.Open<TLogForm>(m_reference, [&](TLogForm &screen) {
            QVERIFY2(waitForStatus(screen, kGetOk), qPrintable(status(screen)));
            QCOMPARE(rows(screen), kRows);
            QCOMPARE(readFile(screen.LogFilePath()), kSeed);
            QCOMPARE(screen.findChild<QLineEdit *>("ServerEdit")->text(), QString("127.0.0.1"));
            QVERIFY(QDir(screen.Server()->Directory()).isEmpty()); // nothing left where the device writes
            QVERIFY(screentest::SavePicture(screen, "TLogForm"));
        });
        const QList<QStringList> sets = f.SetsSince(0);
        QCOMPARE(sets.size(), 2);
        QCOMPARE(sets[0], (QStringList{"noError", kLog + ".4.0|64|127.0.0.1", kLog + ".5.0|4|LogFile.RD",
                                       kLog + ".6.0|2|0"}));
        QCOMPARE(sets[1], (QStringList{"noError", kLog + ".6.0|2|1"}));
        const QString delivered = "tftp put LogFile.RD log " + QString::number(kSeed.size()) + " bytes";
        QVERIFY(QTest::qWaitFor([&] { return f.Sim().output().contains(delivered); }, 3000));
        QVERIFY(f.Dialogs().Boxes().isEmpty());
    }

    // A device that answers but delivers nothing: neither the kept file of an earlier
    // fetch nor a stale file in the served folder passes for this fetch's log.
    void nothingDeliveredShowsNoOldRows()
    {
        ScreenFixture f(simArgs({"--lose-log-uploads"}));
        QVERIFY2(f.Start(), qPrintable(f.Error()));
        const QString kept = KxBesideProgram(TLogForm::LogFileName);
        QVERIFY(writeFile(kept, "old | [System] an earlier fetch\n"));
        f.Open<TLogForm>(m_reference, [&](TLogForm &screen) {
            QVERIFY2(waitForStatus(screen, kGetFail), qPrintable(status(screen)));
            QCOMPARE(rows(screen), QList<QStringList>());
            QVERIFY(writeFile(QDir(screen.Server()->Directory()).filePath(TLogForm::LogFileName),
                              "stale | [System] left in the served folder\n"));
            click(screen, "GetBtn");
            QCOMPARE(status(screen), QString("Refresh...!"));
            QVERIFY2(waitForStatus(screen, kGetFail), qPrintable(status(screen)));
            QCOMPARE(rows(screen), QList<QStringList>());
        });
        QVERIFY(QTest::qWaitFor([&] { return f.Sim().output().contains("tftp put LogFile.RD log lost"); }, 3000));
    }

    // Clear empties the list only once the device has emptied its log.
    void clearEndToEnd()
    {
        ScreenFixture f(simArgs());
        QVERIFY2(f.Start(), qPrintable(f.Error()));
        f.Open<TLogForm>(m_reference, [&](TLogForm &screen) {
            QVERIFY2(waitForStatus(screen, kGetOk), qPrintable(status(screen)));

            const int mark = f.Mark();
            click(screen, "Clear_Btn");
            QCOMPARE(rows(screen), kRows); // not before the device has answered
            QVERIFY(QTest::qWaitFor([&] { return rows(screen).isEmpty(); }, 10000));
            QCOMPARE(f.SetsSince(mark), (QList<QStringList>{{"noError", kLog + ".10.0|2|1"}}));

            // Fetched again: the device's log is empty now.
            click(screen, "GetBtn");
            QVERIFY2(waitForStatus(screen, kGetOk), qPrintable(status(screen)));
            QCOMPARE(rows(screen), QList<QStringList>());
            QCOMPARE(readFile(screen.LogFilePath()), QByteArray());
        });
    }

    // A device without the clear command refuses it: the rows stay, the reason is shown.
    void refusedClearKeepsTheRows()
    {
        ScreenFixture f(simArgs(), {{kLog + ".10.0", ""}});
        QVERIFY2(f.Start(), qPrintable(f.Error()));
        f.Open<TLogForm>(m_reference, [&](TLogForm &screen) {
            QVERIFY2(waitForStatus(screen, kGetOk), qPrintable(status(screen)));
            click(screen, "Clear_Btn");
            QVERIFY(QTest::qWaitFor([&] { return status(screen) != kGetOk; }, 10000));
            QVERIFY2(!status(screen).isEmpty(), "no reason shown");
            QCOMPARE(rows(screen), kRows);
        });
        QCOMPARE(f.SetsSince(0).last().first(), QString("noCreation"));
    }

    void noPcAddressIsSaid()
    {
        ScreenFixture f(simArgs());
        QVERIFY2(f.Start(), qPrintable(f.Error()));
        f.Host().address = f.Host().lan = QStringLiteral("10.213.77.5");
        f.Host().mask = QStringLiteral("255.255.255.0");
        f.Open<TLogForm>(m_reference, [&](TLogForm &screen) {
            QCOMPARE(status(screen), QString("No PC address on the device's network was found."));
            QTest::qWait(200);
        });
        QCOMPARE(f.SetsSince(0).size(), 0);
    }

    // While the window is open its server takes the log's name for writing and nothing
    // else, and serves nothing for reading.
    void serverTakesOnlyTheLog_data()
    {
        QTest::addColumn<int>("opcode");
        QTest::addColumn<QString>("name");
        QTest::newRow("write of another name") << 2 << "other.txt";
        QTest::newRow("write out of the folder") << 2 << "../escape.txt";
        QTest::newRow("read of the log") << 1 << "LogFile.RD";
    }
    void serverTakesOnlyTheLog()
    {
        QFETCH(int, opcode);
        QFETCH(QString, name);
        ScreenFixture f(simArgs());
        QVERIFY2(f.Start(), qPrintable(f.Error()));
        f.Open<TLogForm>(m_reference, [&](TLogForm &screen) {
            QVERIFY2(waitForStatus(screen, kGetOk), qPrintable(status(screen)));
            QVERIFY(writeFile(QDir(screen.Server()->Directory()).filePath(TLogForm::LogFileName), "x"));
            QUdpSocket client;
            QVERIFY(client.bind(QHostAddress::LocalHost, 0));
            const QByteArray request = QByteArray("\0", 1) + char(opcode) + name.toUtf8() + '\0' + "octet" + '\0';
            client.writeDatagram(request, QHostAddress::LocalHost, m_tftpPort);
            QByteArray answer;
            (void)QTest::qWaitFor([&] { // no answer at all is as good as a refusal
                if (!client.hasPendingDatagrams())
                    return false;
                answer.resize(int(client.pendingDatagramSize()));
                client.readDatagram(answer.data(), answer.size());
                return true;
            }, 1500);
            QVERIFY2(answer.size() < 2 || (answer[1] != 3 && answer[1] != 4), answer.toHex().constData());
            QFileInfo served(QDir(screen.Server()->Directory()).filePath(name));
            if (opcode == 2) {
                QVERIFY(!served.exists());
                QVERIFY(!QFileInfo::exists(QDir(QCoreApplication::applicationDirPath()).filePath(name)));
            }
        });
    }

    void buttonsFollowTheWidth_data()
    {
        QTest::addColumn<int>("width");
        QTest::newRow("designed width") << 478;
        QTest::newRow("wider") << 957;
    }
    void buttonsFollowTheWidth()
    {
        QFETCH(int, width);
        ScreenFixture f(simArgs());
        QVERIFY2(f.Start(), qPrintable(f.Error()));
        f.Open<TLogForm>(m_reference, [&](TLogForm &screen) {
            screen.show();
            screen.resize(width, 420);
            QTest::qWait(50);
            auto left = [&](const char *name) {
                return screen.findChild<QWidget *>(QLatin1String(name))->mapTo(&screen, QPoint(0, 0)).x();
            };
            QCOMPARE(left("GetBtn"), width * 252 / 478);
            QCOMPARE(left("CloseBtn"), width * 368 / 478);
            QCOMPARE(left("Clear_Btn"), width * 142 / 478);
            QWidget *outer = screen.findChild<QWidget *>("Panel1");
            QWidget *inner = screen.findChild<QGroupBox *>("GroupBox1");
            QCOMPARE(inner->size(), outer->size() - QSize(20, 20));
            QVERIFY(waitForStatus(screen, kGetOk));
        });
    }

    void logFileLivesBesideTheProgramWhenItCan()
    {
        QCOMPARE(KxBesideProgram("LogFile.RD", m_dir.path()), QDir(m_dir.path()).filePath("LogFile.RD"));
        const QString data = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
        QCOMPARE(KxBesideProgram("LogFile.RD", m_dir.filePath("no such folder")), QDir(data).filePath("LogFile.RD"));
        QVERIFY(QFileInfo(data).isDir());
    }
};

QTEST_MAIN(TestTLogForm)
#include "tst_tlogform.moc"
