#include "KxErrors.h"
#include "KxTestSupport.h"
#include "KxVarList.h"

#include <QTest>

namespace {

const KxIntOption kState[] = {{1, "up"}, {2, "down"}, {0, nullptr}};

// A table indexed by two integers, then a date-and-time, then an implied display string.
const KxSNMPVarDesc kSample[] = {
    {" ", "slot", KxSyntax::Integer, KxAccess::Key},
    {"1.3.6.1.4.1.32473.50.1.1.2", "port", KxSyntax::Integer, KxAccess::Key | KxAccess::Readable},
    {" ", "since", KxSyntax::DateTime, KxAccess::Key},
    {" ", "name", KxSyntax::DisplayString, KxAccess::Key | KxAccess::Implied},
    {"1.3.6.1.4.1.32473.50.1.1.5", "state", KxSyntax::Integer, KxAccess::ReadWrite, nullptr},
    {nullptr},
};


KxSNMPVarList oneKey(unsigned syntax, unsigned access = KxAccess::Key)
{
    const KxSNMPVarDesc table[] = {{" ", "key", syntax, access}, {"1.3.6.1.9.1", "v", 2, 2}, {nullptr}};
    return KxSNMPVarList(table, KxItemType::Table, 1);
}

} // namespace

class TestKxVarList : public QObject {
    Q_OBJECT

private slots:
    void construction()
    {
        const KxSNMPVarDesc empty[] = {{nullptr, "ignored"}};
        QCOMPARE(KxSNMPVarList(empty, KxItemType::Scalars, 0).count(), 0);
        QCOMPARE(KxSNMPVarList(nullptr, KxItemType::Scalars, 0).count(), 0);

        KxSNMPVarList list(kSample, KxItemType::Table, 4);
        QCOMPARE(list.count(), 5);
        QCOMPARE(list[1].Name, QString("port"));
        QVERIFY(list[0].Value.isEmpty());
        QVERIFY(list[0].LastOid.isEmpty());
        QCOMPARE(list.BaseOid(1), QString("1.3.6.1.4.1.32473.50.1.1.2"));
        list.Instance = "7";
        QCOMPARE(list.BaseOid(1), QString("1.3.6.1.4.1.32473.50.1.1.2.7"));
    }

    void assignmentKeepsOwnInstance()
    {
        KxSNMPVarList source(kSample, KxItemType::Table, 4);
        source.ListName = "Sample";
        source.Instance = "9";
        source[4].Value = "up";
        KxSNMPVarList target;
        target.Instance = "1";
        target = source;
        QCOMPARE(target.ListName, QString("Sample"));
        QCOMPARE(target.Instance, QString("1"));
        QCOMPARE(target.KeyCount, 4);
        QCOMPARE(target.ItemType, KxItemType::Table);
        QCOMPARE(target[4].Value, QString("up"));
        target[4].Value = "down";
        QCOMPARE(source[4].Value, QString("up")); // deep copy

        const KxSNMPVarList copy(source);
        QCOMPARE(copy.Instance, QString());
        QCOMPARE(copy.ListName, QString("Sample"));
    }

    void predicates_data()
    {
        QTest::addColumn<unsigned>("access");
        QTest::addColumn<int>("index");
        QTest::addColumn<bool>("readable");
        QTest::addColumn<bool>("settable");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<bool>("hidden");
        QTest::newRow("read-only") << 2u << 1 << true << false << true << false;
        QTest::newRow("read-write") << 6u << 1 << true << true << true << false;
        QTest::newRow("excluded read-write") << (6u | 32u) << 1 << false << false << false << true;
        QTest::newRow("key of the table") << 1u << 0 << false << true << true << false;
        QTest::newRow("write-only") << 4u << 1 << false << true << false << true;
        QTest::newRow("hidden column") << (2u | 16u) << 1 << true << false << false << true;
        QTest::newRow("counted column") << 8u << 1 << false << false << true << false;
    }

    void predicates()
    {
        QFETCH(unsigned, access);
        QFETCH(int, index);
        QFETCH(bool, readable);
        QFETCH(bool, settable);
        QFETCH(bool, shown);
        QFETCH(bool, hidden);
        KxSNMPVarList list = oneKey(KxSyntax::Integer);
        list[index].Access = access;
        QCOMPARE(list.Readable(index), readable);
        QCOMPARE(list.Settable(index), settable);
        QCOMPARE(list.ShownColumn(index), shown);
        QCOMPARE(list.HiddenColumn(index), hidden);
    }

    void keyIsSettableOnlyInTables()
    {
        KxSNMPVarList list = oneKey(KxSyntax::Integer);
        list.ItemType = KxItemType::Scalars;
        QVERIFY(!list.Settable(0));
        list.ItemType = KxItemType::Table2;
        QVERIFY(list.Settable(0));
        QCOMPARE(list.ShownColumnCount(), 2);
        QCOMPARE(list.HiddenColumnCount(), 0);
    }

    void sampleTableDecoding_data()
    {
        QTest::addColumn<QString>("instance");
        QTest::addColumn<QStringList>("keys");
        QTest::newRow("two integers, date, implied name")
            << "3.7.7.217.5.6.7.8.9.1.45.5.30.101.116.104"
            << QStringList{"3", "7", "2009-5-6,7:8:9.1,-5:30", "eth"};
        QTest::newRow("negative integer, one-letter name")
            << "4294967295.0.0.0.1.1.0.0.0.0.43.0.0.120"
            << QStringList{"-1", "0", "0-1-1,0:0:0.0", "x"};
    }

    void sampleTableDecoding()
    {
        QFETCH(QString, instance);
        QFETCH(QStringList, keys);
        KxSNMPVarList list(kSample, KxItemType::Table, 4);
        list.DecodeKeys(instance);
        for (int i = 0; i < keys.size(); ++i)
            QCOMPARE(list[i].Value, keys[i]);
        // Pseudo keys learn the row they came from; a readable key keeps its own.
        QCOMPARE(list[0].LastOid, QString(" .") + instance);
        QVERIFY(list[1].LastOid.isEmpty());
        // Encoding the keys again gives the same row.
        QCOMPARE(list.RowInstance(), instance);
    }

    void keyCodecs_data()
    {
        QTest::addColumn<unsigned>("syntax");
        QTest::addColumn<unsigned>("access");
        QTest::addColumn<QString>("instance");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("rest");
        const unsigned key = KxAccess::Key;
        const unsigned implied = KxAccess::Key | KxAccess::Implied;
        QTest::newRow("boolean") << 1u << key << "1.9" << "true" << "9";
        QTest::newRow("unsigned") << 66u << key << "4000000000" << "4000000000" << "";
        QTest::newRow("ticks") << 67u << key << "8640123.1" << "1 day 0:00:01.23" << "1";
        QTest::newRow("hex counted") << 4u << key << "2.0.170.4" << "00AA" << "4";
        QTest::newRow("hex implied") << 4u << implied << "0.170.4" << "00AA04" << "";
        QTest::newRow("display counted") << 76u << key << "2.104.105.7" << "hi" << "7";
        QTest::newRow("display implied") << 76u << implied << "104.105.7" << QString("hi\a") << "";
        QTest::newRow("oid counted") << 6u << key << "3.1.3.6.9" << "1.3.6" << "9";
        QTest::newRow("oid implied") << 6u << implied << "1.3.6.9" << "1.3.6.9" << "";
        QTest::newRow("ip") << 64u << key << "192.168.0.50.1" << "192.168.0.50" << "1";
        QTest::newRow("mac") << 73u << key << "0.27.44.170.187.204.2" << "001B2CAABBCC" << "2";
        QTest::newRow("counter64") << 70u << key << "1.2.3" << "4294967298" << "3";
        QTest::newRow("double") << 72u << key << "0.1073217536" << "1.5" << "";
        QTest::newRow("null uses nothing") << 5u << key << "8" << "(NULL)" << "8";
    }

    void keyCodecs()
    {
        QFETCH(unsigned, syntax);
        QFETCH(unsigned, access);
        QFETCH(QString, instance);
        QFETCH(QString, value);
        QFETCH(QString, rest);
        KxSNMPVarList list = oneKey(syntax, access);
        QCOMPARE(list.DecodeKey(0, instance), rest);
        QCOMPARE(list[0].Value, value);
        const QString used = rest.isEmpty() ? instance : instance.left(instance.size() - rest.size() - 1);
        if (syntax == KxSyntax::Null)
            QCOMPARE(list.EncodeKey(0), QString());
        else
            QCOMPARE(list.EncodeKey(0), used);
    }

    void keysGoThroughTheirOptionList()
    {
        const KxOptionList states(kState);
        const KxSNMPVarDesc table[] = {{" ", "state", KxSyntax::Integer, KxAccess::Key, &states},
                                       {"1.3.6.1.9.1", "v", 2, 2},
                                       {nullptr}};
        KxSNMPVarList list(table, KxItemType::Table, 1);
        list.DecodeKeys("2");
        QCOMPARE(list[0].Value, QString("down"));
        list[0].Value = "up";
        QCOMPARE(list.RowInstance(), QString("1"));
    }

    void badInstancesRaise()
    {
        KxSNMPVarList list(kSample, KxItemType::Table, 4);
        QCOMPARE(KxTest::RaisedCode([&] { list.DecodeKeys("3.7"); }), -514);
        QCOMPARE(KxTest::RaisedCode([&] { list.DecodeKeys(""); }), -514);
        // The date needs eleven sub-identifiers.
        QCOMPARE(KxTest::RaisedCode([&] { list.DecodeKeys("3.7.7.217.5"); }), -514);
        KxSNMPVarList counted = oneKey(KxSyntax::DisplayString);
        QCOMPARE(KxTest::RaisedCode([&] { counted.DecodeKey(0, "5.104.105"); }), -514);
        KxSNMPVarList bad = oneKey(99);
        QCOMPARE(KxTest::RaisedCode([&] { bad.DecodeKey(0, "1"); }), -511);
        QCOMPARE(KxTest::RaisedCode([&] { bad.EncodeKey(0); }), -511);
    }

    // A key of an eight-octet syntax without a value has no sub-identifiers to give:
    // refused, so a set never goes out with a row instance read from nothing.
    void nullEightOctetKeysAreRefused_data()
    {
        QTest::addColumn<unsigned>("syntax");
        QTest::newRow("counter64") << unsigned(KxSyntax::Counter64);
        QTest::newRow("double") << unsigned(KxSyntax::Double);
        QTest::newRow("day count") << unsigned(KxSyntax::DayCount);
    }

    void nullEightOctetKeysAreRefused()
    {
        QFETCH(unsigned, syntax);
        KxSNMPVarList list = oneKey(syntax);
        list[0].Value = "(NULL)";
        QCOMPARE(KxTest::RaisedCode([&] { list.EncodeKey(0); }), -514);
        QCOMPARE(KxTest::RaisedCode([&] { list.RowInstance(); }), -514);
        list[0].Value = "0";
        QCOMPARE(list.EncodeKey(0), QString("0.0"));
    }

    void ownedOptionListsStayWithTheList()
    {
        KxSNMPVarList list = oneKey(KxSyntax::Integer);
        const KxOptionList *owned = list.AdoptOptionList(std::make_unique<KxOptionList>(kState));
        list[1].OptionList = owned;
        KxSNMPVarList other;
        other = list;
        QCOMPARE(other[1].OptionList, owned);
        QCOMPARE(owned->ValueToText("2"), QString("down"));
    }
};

QTEST_GUILESS_MAIN(TestKxVarList)
#include "tst_kxvarlist.moc"
