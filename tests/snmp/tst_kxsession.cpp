#include "KxErrors.h"
#include "KxSession.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Each octet of an engine ID as two letters: 64 plus the high and the low nibble.
QByteArray encoded(const QByteArray &id)
{
    QByteArray out;
    for (char c : id)
        out += char('@' + (quint8(c) >> 4)) + QByteArray(1, char('@' + (quint8(c) & 15)));
    return out;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString &path, const QByteArray &content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
}

int openCode(const QString &folder)
{
    try {
        OpenGlobalSession(folder);
    } catch (const KxException &e) {
        return e.HelpContext();
    }
    return 0;
}

} // namespace

class TestKxSession : public QObject {
    Q_OBJECT

private slots:
    void bootFilePath_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("path");
        QTest::newRow("empty: current folder") << "" << "KxSNMP_PP_BootCounter";
        QTest::newRow("no separator") << "/var/lib/x" << "/var/lib/x/KxSNMP_PP_BootCounter";
        QTest::newRow("separator") << "/var/lib/x/" << "/var/lib/x/KxSNMP_PP_BootCounter";
    }

    void bootFilePath()
    {
        QFETCH(QString, folder);
        QFETCH(QString, path);
        QCOMPARE(BootCounterPath(folder), path);
    }

    void firstAndSecondStart()
    {
        QTemporaryDir dir;
        const QString file = BootCounterPath(dir.path());
        const QByteArray line = encoded("KxSNMP_PP_Application") + ' ';
        QCOMPARE(line.left(4), QByteArray("DKGH")); // 'K' 0x4B, 'x' 0x78

        QCOMPARE(openCode(dir.path()), 0);
        QCOMPARE(readAll(file), line + "1\n");
        QCOMPARE(LocalEngineBoots(), 1u);

        QCOMPARE(openCode(dir.path()), 0);
        QCOMPARE(readAll(file), line + "2\n");
        QCOMPARE(LocalEngineBoots(), 2u);
        QVERIFY(!QFile::exists(file + ".tmp"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"KxSNMP_PP_BootCounter"});
    }

    void otherEnginesAndCommentsAreKept()
    {
        QTemporaryDir dir;
        const QString file = BootCounterPath(dir.path());
        const QByteArray ours = encoded("KxSNMP_PP_Application");
        const QByteArray other = encoded("OtherEngine") + " 41\n";
        writeAll(file, "# boots of local engines\n" + other + ours + " 7\nnot an entry\n");
        QCOMPARE(openCode(dir.path()), 0);
        QCOMPARE(readAll(file), "# boots of local engines\n" + other + ours + " 8\nnot an entry\n");
        quint32 boots = 0;
        QCOMPARE(GetBootCounter(file, "OtherEngine", boots), 0);
        QCOMPARE(boots, 41u);
        QCOMPARE(GetBootCounter(file, "Missing", boots), -1);
        QCOMPARE(GetBootCounter(dir.filePath("absent"), "Missing", boots), -2);

        // An entry without a final line end is completed before ours is appended.
        writeAll(file, other.trimmed());
        QCOMPARE(openCode(dir.path()), 0);
        QCOMPARE(readAll(file), other + ours + " 1\n");
    }

    void counterFailures()
    {
        QTemporaryDir dir;
        writeAll(BootCounterPath(dir.path()), encoded("KxSNMP_PP_Application") + " many\n");
        QCOMPARE(openCode(dir.path()), -507);
        QCOMPARE(openCode(dir.filePath("no/such/folder")), -508);
        try {
            OpenGlobalSession(dir.filePath("no/such/folder"));
        } catch (const KxException &e) {
            QCOMPARE(e.Text(), QString("(KxSNMP++) Error when saving SNMP engine boots counter!"));
        }
    }

    void openingSetsTheDefaults()
    {
        QTemporaryDir dir;
        GlobalSecurity.version = 3;
        GlobalDevice.address = "10.0.0.1";
        GlobalSecurity.readCommunity = "x";
        QCOMPARE(openCode(dir.path()), 0);
        QCOMPARE(GlobalDevice.address, QString("127.0.0.1"));
        QCOMPARE(GlobalDevice.port, quint16(161));
        QCOMPARE(GlobalSecurity.version, quint8(0));
        QCOMPARE(GlobalSecurity.readCommunity, QString("rdcomm"));
        QCOMPARE(GlobalSecurity.writeCommunity, QString("wrcommu"));
        QCOMPARE(GlobalSecurity.securityModel, 1);
        QCOMPARE(GlobalSecurity.securityLevel, 1);
        QCOMPARE(GlobalSecurity.authProtocol, 1);
        QCOMPARE(GlobalSecurity.privProtocol, 1);
        QVERIFY(GlobalScope.contextName.isEmpty());
        QCOMPARE(GlobalDefaultTimeout, 100);
        QVERIFY(GlobalSession() != nullptr);
    }
};

QTEST_GUILESS_MAIN(TestKxSession)
#include "tst_kxsession.moc"
