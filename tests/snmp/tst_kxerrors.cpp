#include "KxErrors.h"
#include "KxTestSupport.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestKxErrors : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString writeFile(const QString &name, const QByteArray &content)
    {
        return KxTest::WriteFile(m_dir.filePath(name), content);
    }

private slots:
    void cleanup() { CatalogResetAll(); }

    void statusToText_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text");
        QTest::newRow("success") << 0 << 0 << "(KxSNMP++) Ok!";
        QTest::newRow("usm success") << 1400 << 0 << "(KxSNMP++) Ok!";
        QTest::newRow("mp success") << -1401 << 0 << "(KxSNMP++) Ok!";
        QTest::newRow("tooBig") << 1 << -101 << "(SNMP) Response PDU Too Big!";
        QTest::newRow("noSuchName") << 2 << -102 << "(SNMP) Variable does not exist!";
        QTest::newRow("notWritable") << 17 << -117 << "(SNMP) Cannot create/set variable, Not Writable!";
        QTest::newRow("overdue firmware") << 19 << -119 << "(SNMP) Cannot download the overdue firmware!";
        QTest::newRow("agent status 20") << 20 << -528 << "(KxSNMP++) Unknown error code!";
        QTest::newRow("mp first") << -1402 << -201 << "(SNMPv3) Unsupported Security Model!";
        QTest::newRow("mp unknown user") << -1412 << -211 << "(SNMPv3) Unknown UserName!";
        QTest::newRow("mp last") << -1418 << -217 << "(SNMPv3) Report sent!";
        QTest::newRow("mp past end") << -1419 << -528 << "(KxSNMP++) Unknown error code!";
        QTest::newRow("usm first") << 1401 << -301 << "(SNMPv3USM) error!";
        QTest::newRow("usm priv") << 1413 << -313 << "(SNMPv3USM) Unsupported PrivProtocol!";
        QTest::newRow("usm address") << 1414 << -314 << "(SNMPv3USM) Address error!";
        QTest::newRow("usm past end") << 1415 << -528 << "(KxSNMP++) Unknown error code!";
        QTest::newRow("class failed") << -1 << -401 << "(SNMPClass) Operation failed!";
        QTest::newRow("class timeout") << -5 << -405 << "(SNMPClass) SNMP request timed out!";
        QTest::newRow("class no blank") << -9 << -409 << "(SNMPClass)Unknown error code!";
        QTest::newRow("class transport") << -20 << -420 << "(SNMP Class) Transport is not supported!";
        QTest::newRow("class last") << -23 << -423 << "(SNMPClass) Blocked Mode Shutdown!";
        QTest::newRow("class past end") << -24 << -528 << "(KxSNMP++) Unknown error code!";
        QTest::newRow("between families") << 1000 << -528 << "(KxSNMP++) Unknown error code!";
    }

    void statusToText()
    {
        QFETCH(int, status);
        QFETCH(int, code);
        QFETCH(QString, text);
        const KxStatusText result = StatusToText(status);
        QCOMPARE(result.code, code);
        QCOMPARE(result.text, text);
        QCOMPARE(CodeText(code), text);
    }

    void layerCodesRaiseWithTextAndCode_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text");
        QTest::newRow("session") << -506 << "(KxSNMP++) Cannot create the global KxSNMP++ session!";
        QTest::newRow("get-next") << -510
            << "(KxSNMP++) Can't send get-next command for a SNMP variable list with single value!";
        QTest::newRow("syntax") << -511 << "(KxSNMP++) Bad SNMP syntax!";
        QTest::newRow("image") << -518
            << "(KxSNMP++) Bad value of the associated SNMP variable's (partial) data!";
        QTest::newRow("unknown") << -528 << "(KxSNMP++) Unknown error code!";
    }

    void layerCodesRaiseWithTextAndCode()
    {
        QFETCH(int, code);
        QFETCH(QString, text);
        try {
            ThrowKx(code);
            QFAIL("no exception");
        } catch (const KxException &e) {
            QCOMPARE(e.HelpContext(), code);
            QCOMPARE(e.Text(), text);
            QCOMPARE(QString::fromStdString(e.what()), text);
        }
    }

    void commonTextsAreRaisedWithMinusTheirLine()
    {
        try {
            ThrowCommon(2);
            QFAIL("no exception");
        } catch (const KxException &e) {
            QCOMPARE(e.HelpContext(), -2);
            QCOMPARE(e.Text(), QString("(KxCommon) Bad format specifier of edit's constraint!"));
        }
        QCOMPARE(FamilyText(KxFamily::KxCommon, 9),
                 QString("(KxCommon) Please enter a delimited number string with delimiter "
                         "'[DELIMITER]'.\nHere,the count of the number is less than [MAXCOUNT]!"));
        QCOMPARE(FamilyLineCount(KxFamily::KxCommon), 19);
    }

    void familySizes()
    {
        QCOMPARE(FamilyLineCount(KxFamily::SNMP), 19);
        QCOMPARE(FamilyLineCount(KxFamily::SNMPv3), 17);
        QCOMPARE(FamilyLineCount(KxFamily::SNMPv3USM), 14);
        QCOMPARE(FamilyLineCount(KxFamily::SNMPClass), 23);
        QCOMPARE(FamilyLineCount(KxFamily::KxSNMPpp), 29);
        QCOMPARE(FamilyLineCount(KxFamily::RequestLog), 2);
    }

    void catalogKeepsNonBlankLinesInOrder()
    {
        const QString path = writeFile("snmp.err", "first\r\n\r\n  \t \nsecond line \n\n third\n");
        QVERIFY(CatalogLoad(KxFamily::SNMP, path));
        QCOMPARE(FamilyLineCount(KxFamily::SNMP), 3);
        QCOMPARE(StatusToText(1).text, QString("first"));
        QCOMPARE(StatusToText(2).text, QString("second line "));
        QCOMPARE(StatusToText(3).text, QString(" third"));
        // Codes past the end of a short catalog keep the built-in text.
        QCOMPARE(StatusToText(4).text, QString("(SNMP) Cannot modify object, Read Only!"));
    }

    void catalogWithoutFinalLineEnd()
    {
        QVERIFY(CatalogLoad(KxFamily::RequestLog, writeFile("snmp.msg", "G [ERROR]\nS [ERROR]")));
        QCOMPARE(RequestLogLine(1, QString(), "x", QTime(1, 2, 3)), QString("S x"));
    }

    void catalogSplitsLongLinesIntoPieces()
    {
        const QByteArray longLine(1023 + 10, 'a');
        QVERIFY(CatalogLoad(KxFamily::KxSNMPpp, writeFile("kxsnmp.err", longLine + "\nnext\n")));
        QCOMPARE(FamilyLineCount(KxFamily::KxSNMPpp), 3);
        QCOMPARE(FamilyText(KxFamily::KxSNMPpp, 0), QString(1023, 'a'));
        QCOMPARE(FamilyText(KxFamily::KxSNMPpp, 1), QString(10, 'a'));
        QCOMPARE(FamilyText(KxFamily::KxSNMPpp, 2), QString("next"));
    }

    void catalogLineOfExactlyOnePiece()
    {
        // The line end then falls into a piece of its own, which is blank.
        const QByteArray line(1023, 'b');
        QVERIFY(CatalogLoad(KxFamily::SNMPv3, writeFile("snmpv3.err", line + "\r\nx\r\n")));
        QCOMPARE(FamilyLineCount(KxFamily::SNMPv3), 2);
        QCOMPARE(FamilyText(KxFamily::SNMPv3, 0), QString(1023, 'b'));
        QCOMPARE(FamilyText(KxFamily::SNMPv3, 1), QString("x"));
    }

    void catalogReplacesTheWholeTableAgain()
    {
        QVERIFY(CatalogLoad(KxFamily::SNMPClass, writeFile("a.err", "A1\nA2\nA3\n")));
        QVERIFY(CatalogLoad(KxFamily::SNMPClass, writeFile("b.err", "B1\n")));
        QCOMPARE(FamilyLineCount(KxFamily::SNMPClass), 1);
        QCOMPARE(StatusToText(-1).text, QString("B1"));
        QCOMPARE(StatusToText(-2).text, QString("(SNMPClass) Resource unavailable!"));
    }

    void catalogMissingOrBlankKeepsTheTable_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("create");
        QTest::newRow("missing") << QByteArray() << false;
        QTest::newRow("empty") << QByteArray() << true;
        QTest::newRow("only blanks") << QByteArray(" \r\n\t\n\n   ") << true;
    }

    void catalogMissingOrBlankKeepsTheTable()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, create);
        QVERIFY(CatalogLoad(KxFamily::SNMPv3USM, writeFile("keep.err", "kept\n")));
        const QString path = create ? writeFile("usm.err", content) : m_dir.filePath("absent.err");
        QVERIFY(!CatalogLoad(KxFamily::SNMPv3USM, path));
        QCOMPARE(StatusToText(1401).text, QString("kept"));
    }

    void catalogFileNames()
    {
        QCOMPARE(CatalogFileName(KxFamily::SNMPClass), QString("snmpclass.err"));
        QCOMPARE(CatalogFileName(KxFamily::RequestLog), QString("snmp.msg"));
        QCOMPARE(CatalogFileName(KxFamily::KxCommon), QString("common.err"));
    }

    void substituteDoesNotSearchReplacements()
    {
        QCOMPARE(Substitute("[MIN]..[MAX] and [MIN]", {{"[MIN]", "[MAX]"}, {"[MAX]", "9"}}),
                 QString("[MAX]..9 and [MAX]"));
        QCOMPARE(Substitute("no [place] holder", {{"[MIN]", "1"}}), QString("no [place] holder"));
    }

    void requestLogLine_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<QString>("listName");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QTime>("time");
        QTest::addColumn<QString>("line");
        QTest::newRow("get, no list name, afternoon")
            << 0 << "" << "(SNMPClass) SNMP request timed out!" << QTime(14, 5, 9)
            << "Get: (SNMPClass) SNMP request timed out!. Receive at 02:05:09 PM.";
        QTest::newRow("set with list name, morning")
            << 1 << "System" << "(KxSNMP++) Ok!" << QTime(9, 0, 1)
            << "Set: (KxSNMP++) Ok! Request:System. Receive at 09:00:01 AM.";
        QTest::newRow("midnight is twelve")
            << 0 << "" << "m" << QTime(0, 30, 0) << "Get: m. Receive at 12:30:00 AM.";
        QTest::newRow("noon is twelve pm")
            << 0 << "" << "m" << QTime(12, 0, 0) << "Get: m. Receive at 12:00:00 PM.";
        QTest::newRow("placeholders in the message stay")
            << 0 << "L" << "[TIME] [VARLIST]" << QTime(23, 59, 59)
            << "Get: [TIME] [VARLIST] Request:L. Receive at 11:59:59 PM.";
    }

    void requestLogLine()
    {
        QFETCH(int, format);
        QFETCH(QString, listName);
        QFETCH(QString, message);
        QFETCH(QTime, time);
        QFETCH(QString, line);
        QCOMPARE(RequestLogLine(format, listName, message, time), line);
    }

    void requestLogLineWithLoadedFormats()
    {
        // [VARLIST] before [ERROR] is not removed; an empty list name replaces it.
        QVERIFY(CatalogLoad(KxFamily::RequestLog,
                            writeFile("snmp.msg", "[VARLIST]<[ERROR]> at [TIME]\n[ERROR][VARLIST]!\n")));
        QCOMPARE(RequestLogLine(0, "", "e", QTime(13, 1, 2)), QString("<e> at 01:01:02 PM"));
        QCOMPARE(RequestLogLine(1, "", "e", QTime(13, 1, 2)), QString("e!"));
        QCOMPARE(RequestLogLine(1, "N", "e", QTime(13, 1, 2)), QString("eN!"));
    }
};

QTEST_GUILESS_MAIN(TestKxErrors)
#include "tst_kxerrors.moc"
