#include "KxStatusMap.h"

#include <QTest>

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

class TestKxStatusMap : public QObject {
    Q_OBJECT

private slots:
    void netSnmpErrors_data()
    {
        QTest::addColumn<int>("snmpErr");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text");
        QTest::newRow("success") << SNMPERR_SUCCESS << 0 << "(KxSNMP++) Ok!";
        QTest::newRow("time-out") << SNMPERR_TIMEOUT << -405 << "(SNMPClass) SNMP request timed out!";
        QTest::newRow("general") << SNMPERR_GENERR << -401 << "(SNMPClass) Operation failed!";
        QTest::newRow("bad address") << SNMPERR_BAD_ADDRESS << -418 << "(SNMPClass) Invalid Address!";
        QTest::newRow("no socket") << SNMPERR_NO_SOCKET << -422 << "(SNMPClass) Transport operation failed!";
        QTest::newRow("malloc") << SNMPERR_MALLOC << -402 << "(SNMPClass) Resource unavailable!";
        QTest::newRow("bad OID") << SNMPERR_BAD_NAME << -417 << "(SNMPClass) Invalid Object Identifier!";
        QTest::newRow("no vars") << SNMPERR_NO_VARS << -411 << "(SNMPClass) Invalid Pdu!";
        QTest::newRow("v2 in v1") << SNMPERR_V2_IN_V1 << -416
            << "(SNMPClass) SNMP Operation not supported on specified Target!";
        QTest::newRow("parse") << SNMPERR_BAD_PARSE << -207 << "(SNMPv3) Parse Error!";
        QTest::newRow("build") << SNMPERR_BAD_ASN1_BUILD << -212 << "(SNMPv3) Build error!";
        QTest::newRow("security model") << SNMPERR_UNKNOWN_SEC_MODEL << -201
            << "(SNMPv3) Unsupported Security Model!";
        QTest::newRow("invalid message") << SNMPERR_INVALID_MSG << -204 << "(SNMPv3) Invalid Message!";
        QTest::newRow("engine ID") << SNMPERR_BAD_ENG_ID << -205 << "(SNMPv3) Invalid EngineID!";
        QTest::newRow("unknown user") << SNMPERR_UNKNOWN_USER_NAME << -211 << "(SNMPv3) Unknown UserName!";
        QTest::newRow("time window") << SNMPERR_NOT_IN_TIME_WINDOW << -202
            << "(SNMPv3) Message not in Time Window!";
        QTest::newRow("context") << SNMPERR_BAD_CONTEXT << -216 << "(SNMPv3) Unknown Context!";
        QTest::newRow("community") << SNMPERR_BAD_COMMUNITY << -210 << "(SNMPv3) Community format error!";
        QTest::newRow("pdu handler") << SNMPERR_UNKNOWN_PDU << -214 << "(SNMPv3) Unknown pdu handlers!";
        QTest::newRow("security level") << SNMPERR_UNSUPPORTED_SEC_LEVEL << -303
            << "(SNMPv3USM) Unsupported SecurityLevel!";
        QTest::newRow("no auth with priv") << SNMPERR_NOAUTH_DESPRIV << -303
            << "(SNMPv3USM) Unsupported SecurityLevel!";
        QTest::newRow("security name") << SNMPERR_USM_UNKNOWNSECURITYNAME << -304
            << "(SNMPv3USM) Unknown SecurityName!";
        QTest::newRow("authentication") << SNMPERR_AUTHENTICATION_FAILURE << -308
            << "(SNMPv3USM) Authentication failure!";
        QTest::newRow("decryption") << SNMPERR_DECRYPTION_ERR << -306 << "(SNMPv3USM) Decryption error!";
        QTest::newRow("encryption") << SNMPERR_USM_ENCRYPTIONERROR << -305 << "(SNMPv3USM) Encryption error!";
        QTest::newRow("usm parse") << SNMPERR_USM_PARSEERROR << -309 << "(SNMPv3USM) Parse error!";
        QTest::newRow("unknown engine") << SNMPERR_UNKNOWN_ENG_ID << -310 << "(SNMPv3USM) Unknown EngineID!";
        QTest::newRow("usm time window") << SNMPERR_USM_NOTINTIMEWINDOW << -311
            << "(SNMPv3USM) Message not in TimeWindow!";
        QTest::newRow("usm generic") << SNMPERR_USM_GENERICERROR << -301 << "(SNMPv3USM) error!";
        QTest::newRow("transport config") << SNMPERR_TRANSPORT_CONFIG_ERROR << -420
            << "(SNMP Class) Transport is not supported!";
        QTest::newRow("no match: MIB") << SNMPERR_NOMIB << -528 << "(KxSNMP++) Unknown error code!";
        QTest::newRow("no match: unknown report") << SNMPERR_UNKNOWN_REPORT << -528
            << "(KxSNMP++) Unknown error code!";
        QTest::newRow("no match: outside the range") << -500 << -528 << "(KxSNMP++) Unknown error code!";
    }

    void netSnmpErrors()
    {
        QFETCH(int, snmpErr);
        QFETCH(int, code);
        QFETCH(QString, text);
        const KxStatusText result = NetSnmpErrorText(snmpErr);
        QCOMPARE(result.code, code);
        QCOMPARE(result.text, text);
    }

    // Every row of the table lands in a family; nothing maps twice.
    void tableIsConsistent()
    {
        int count = 0;
        const KxNetSnmpStatus *table = NetSnmpStatusTable(&count);
        QVERIFY(count > 40);
        QSet<int> seen;
        for (int i = 0; i < count; ++i) {
            QVERIFY2(!seen.contains(table[i].snmpErr), qPrintable(QString::number(table[i].snmpErr)));
            seen.insert(table[i].snmpErr);
            QVERIFY(table[i].snmpErr <= 0 && table[i].snmpErr >= SNMPERR_MAX);
            if (table[i].snmpErr != 0)
                QVERIFY(StatusToText(table[i].status).code != -528);
        }
    }
};

QTEST_GUILESS_MAIN(TestKxStatusMap)
#include "tst_kxstatusmap.moc"
