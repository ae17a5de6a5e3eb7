#include "KxIni.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "KxTestSupport.h"

class TestKxIni : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString writeFile(const QString &name, const QByteArray &content)
    {
        return KxTest::WriteFile(m_dir.filePath(name), content);
    }

private slots:
    void readString_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");
        const QByteArray profile = "[Program Information]\r\n"
                                   "AgentPort = 1161 \r\n"
                                   "AuthPassword=a,b\\c\\\"d\";e\r\n"
                                   "PrivPassword=x=y=z\r\n"
                                   "SecurityName=\t user \t\r\n"
                                   "ContextName=\r\n"
                                   "AuthPassword2 = \"abc\" \r\n"
                                   "[Other]\r\n"
                                   "Version=1\r\n";
        QTest::newRow("blanks around key and value") << profile << "Program Information" << "AgentPort" << "1161";
        QTest::newRow("comma, backslash, quote unchanged")
            << profile << "Program Information" << "AuthPassword" << "a,b\\c\\\"d\";e";
        QTest::newRow("value after the first =") << profile << "Program Information" << "PrivPassword" << "x=y=z";
        QTest::newRow("tabs trimmed") << profile << "Program Information" << "SecurityName" << "user";
        QTest::newRow("enclosing double quotes dropped")
            << profile << "Program Information" << "AuthPassword2" << "abc";
        QTest::newRow("key case") << profile << "Program Information" << "agentport" << "1161";
        QTest::newRow("section case") << profile << "PROGRAM information" << "AgentPort" << "1161";
        QTest::newRow("empty value gives default") << profile << "Program Information" << "ContextName" << "dflt";
        QTest::newRow("missing key") << profile << "Program Information" << "Version" << "dflt";
        QTest::newRow("key of another section") << profile << "Other" << "AgentPort" << "dflt";
        QTest::newRow("missing section") << profile << "Nothing" << "AgentPort" << "dflt";
        QTest::newRow("first of two keys") << QByteArray("[S]\nk=1\nk=2\n") << "S" << "k" << "1";
        QTest::newRow("blanks in brackets") << QByteArray("[ S ]\nk=1\n") << "S" << "k" << "1";
        QTest::newRow("line without =") << QByteArray("[S]\nk\nk=1\n") << "S" << "k" << "1";
        QTest::newRow("utf-8 byte order mark") << QByteArray("\xEF\xBB\xBF[S]\nk=1\n") << "S" << "k" << "1";
        QTest::newRow("non-breaking space is not a blank")
            << QByteArray("[S]\nk=pw\xC2\xA0\n") << "S" << "k" << QString::fromUtf8("pw\xC2\xA0");
        QTest::newRow("enclosing single quotes dropped") << QByteArray("[S]\nk='pw'\n") << "S" << "k" << "pw";
        QTest::newRow("only one pair dropped") << QByteArray("[S]\nk=\"'pw'\"\n") << "S" << "k" << "'pw'";
        QTest::newRow("blanks inside the quotes trimmed") << QByteArray("[S]\nk=\" pw \"\n") << "S" << "k" << "pw";
        QTest::newRow("empty quotes give default") << QByteArray("[S]\nk=\"\"\n") << "S" << "k" << "dflt";
        QTest::newRow("lone quote kept") << QByteArray("[S]\nk=\"\n") << "S" << "k" << "\"";
        QTest::newRow("opening quote only kept") << QByteArray("[S]\nk=\"pw\n") << "S" << "k" << "\"pw";
        QTest::newRow("closing quote only kept") << QByteArray("[S]\nk=pw'\n") << "S" << "k" << "pw'";
        QTest::newRow("unlike quotes kept") << QByteArray("[S]\nk=\"pw'\n") << "S" << "k" << "\"pw'";
        QTest::newRow("quotes not around the whole value kept")
            << QByteArray("[S]\nk=\"a\" \"b\" c\n") << "S" << "k" << "\"a\" \"b\" c";
        QTest::newRow("first and last quote make the pair")
            << QByteArray("[S]\nk=\"a\" and \"b\"\n") << "S" << "k" << "a\" and \"b";
        QTest::newRow("no newline at end") << QByteArray("[S]\nk=v") << "S" << "k" << "v";
    }

    void readString()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        const KxIni ini(writeFile(QStringLiteral("p.cfg"), content));
        QCOMPARE(ini.ReadString(section, key, QStringLiteral("dflt")), expected);
    }

    void missingFileGivesDefault()
    {
        const KxIni ini(m_dir.filePath(QStringLiteral("absent.cfg")));
        QCOMPARE(ini.ReadString(QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("d")), QStringLiteral("d"));
        QCOMPARE(ini.ReadString(QStringLiteral("S"), QStringLiteral("k"), QString()), QString());
    }

    // What a 4096-byte buffer holds: 4095 bytes, never half a character.
    void longValueCutToBuffer()
    {
        const QByteArray ascii(5000, 'a');
        KxIni ini(writeFile(QStringLiteral("long.cfg"), "[S]\nk=" + ascii + "\n"));
        QCOMPARE(ini.ReadString(QStringLiteral("S"), QStringLiteral("k"), QString()),
                 QString(4095, QLatin1Char('a')));

        // 4094 ASCII bytes, then a two-byte character that would end on byte 4096.
        const QByteArray split = QByteArray(4094, 'b') + "\xC3\xA9" + "tail";
        ini = KxIni(writeFile(QStringLiteral("split.cfg"), "[S]\nk=" + split + "\n"));
        QCOMPARE(ini.ReadString(QStringLiteral("S"), QStringLiteral("k"), QString()),
                 QString(4094, QLatin1Char('b')));

        // The cut happens before trimming, so blanks at the cut go too.
        const QByteArray blankAtCut = QByteArray(4000, 'c') + QByteArray(200, ' ') + "end";
        ini = KxIni(writeFile(QStringLiteral("blank.cfg"), "[S]\nk=" + blankAtCut + "\n"));
        QCOMPARE(ini.ReadString(QStringLiteral("S"), QStringLiteral("k"), QString()),
                 QString(4000, QLatin1Char('c')));
    }
};

QTEST_GUILESS_MAIN(TestKxIni)
#include "tst_kxini.moc"
