#include "KxErrors.h"
#include "KxTestSupport.h"
#include "KxValues.h"

#include <QTest>

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

#include <memory>

using namespace KxSyntax;

namespace {

// A real net-snmp varbind, as a response would carry it.
struct Varbind {
    netsnmp_variable_list *vb = nullptr;

    Varbind(u_char type, const void *value, size_t length)
    {
        static const oid name[] = {1, 3, 6, 1, 2, 1, 1, 5, 0};
        snmp_varlist_add_variable(&vb, name, OID_LENGTH(name), type, value, length);
        if (!vb)
            qFatal("net-snmp refused the varbind");
    }
    explicit Varbind(const KxSetValue &v)
        : Varbind(v.type, v.data.isEmpty() ? nullptr : v.data.constData(), size_t(v.data.size()))
    {
    }
    ~Varbind() { snmp_free_varbind(vb); }
    Varbind(const Varbind &) = delete;
    Varbind &operator=(const Varbind &) = delete;

    static Varbind integer(u_char type, long value) { return Varbind(type, &value, sizeof value); }
    static Varbind octets(const QByteArray &o) { return Varbind(ASN_OCTET_STR, o.constData(), size_t(o.size())); }
};

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(char(v));
    return out;
}


} // namespace

Q_DECLARE_METATYPE(u_char)

class TestKxValues : public QObject {
    Q_OBJECT

private slots:
    void responseIntegers_data()
    {
        QTest::addColumn<unsigned>("syntax");
        QTest::addColumn<u_char>("type");
        QTest::addColumn<long>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("boolean true") << Boolean << u_char(ASN_INTEGER) << 5L << "true";
        QTest::newRow("boolean false") << Boolean << u_char(ASN_INTEGER) << 0L << "false";
        QTest::newRow("negative integer") << Integer << u_char(ASN_INTEGER) << -42L << "-42";
        QTest::newRow("counter") << Counter32 << u_char(ASN_COUNTER) << 4294967295L << "4294967295";
        QTest::newRow("gauge") << Gauge32 << u_char(ASN_GAUGE) << 7L << "7";
        QTest::newRow("unsigned") << UInteger32 << u_char(ASN_UINTEGER) << 65536L << "65536";
        QTest::newRow("ticks one day") << TimeTicks << u_char(ASN_TIMETICKS) << 8640123L << "1 day 0:00:01.23";
        QTest::newRow("ticks zero") << TimeTicks << u_char(ASN_TIMETICKS) << 0L << "0:00:00.00";
        QTest::newRow("ticks days") << TimeTicks << u_char(ASN_TIMETICKS) << 2L * 8640000 + 360000 * 13 + 6000 * 4 + 505
                                    << "2 days, 13:04:05.05";
        QTest::newRow("wrong type is no value") << Integer << u_char(ASN_OCTET_STR) << 0L << "(NULL)";
        QTest::newRow("null syntax") << Null << u_char(ASN_INTEGER) << 3L << "(NULL)";
    }

    void responseIntegers()
    {
        QFETCH(unsigned, syntax);
        QFETCH(u_char, type);
        QFETCH(long, value);
        QFETCH(QString, text);
        if (type == ASN_OCTET_STR) {
            Varbind vb = Varbind::octets("x");
            QCOMPARE(VarbindToText(*vb.vb, syntax), text);
        } else {
            Varbind vb = Varbind::integer(type, value);
            QCOMPARE(VarbindToText(*vb.vb, syntax), text);
        }
    }

    void responseOctets_data()
    {
        QTest::addColumn<unsigned>("syntax");
        QTest::addColumn<QByteArray>("octets");
        QTest::addColumn<QString>("text");
        QTest::newRow("hex") << OctetString << bytes({0, 17, 170}) << "0011AA";
        QTest::newRow("empty hex stays empty") << OctetString << QByteArray() << "";
        QTest::newRow("mac") << MacAddress << bytes({0, 0x1b, 0x2c, 0xaa, 0xbb, 0xcc}) << "001B2CAABBCC";
        QTest::newRow("display cut at zero") << DisplayString << QByteArray("ab\0cd", 5) << "ab";
        QTest::newRow("empty display") << DisplayString << QByteArray() << "";
        QTest::newRow("utf-8 display") << DisplayString << QByteArray("caf\xc3\xa9") << QString::fromUtf8("caf\xc3\xa9");
        QTest::newRow("latin-1 display") << DisplayString << QByteArray("caf\xe9") << QString::fromLatin1("caf\xe9");
        QTest::newRow("date time") << DateTime << bytes({0x07, 0xd9, 5, 6, 7, 8, 9, 1, '-', 5, 30})
                                   << "2009-5-6,7:8:9.1,-5:30";
        QTest::newRow("date time without offset") << DateTime << bytes({0x07, 0xd9, 5, 6, 7, 8, 9, 1})
                                                  << "2009-5-6,7:8:9.1";
        QTest::newRow("short date time") << DateTime << bytes({1, 2, 3}) << "(NULL)";
        QTest::newRow("double") << Double << QByteArray::fromHex("000000000000f83f") << "1.5";
        QTest::newRow("day count") << DayCount << QByteArray::fromHex("000000000843e340") << "2008/01/01 06:00:00 am";
        QTest::newRow("empty double") << Double << QByteArray() << "(NULL)";
    }

    void responseOctets()
    {
        QFETCH(unsigned, syntax);
        QFETCH(QByteArray, octets);
        QFETCH(QString, text);
        Varbind vb = Varbind::octets(octets);
        QCOMPARE(VarbindToText(*vb.vb, syntax), text);
    }

    void responseOtherTypes()
    {
        const u_char ip[] = {192, 168, 0, 50};
        Varbind address(ASN_IPADDRESS, ip, 4);
        QCOMPARE(VarbindToText(*address.vb, IpAddress), QString("192.168.0.50"));

        const oid name[] = {1, 3, 6, 1, 4, 1, 32473};
        Varbind objectId(ASN_OBJECT_ID, name, sizeof name);
        QCOMPARE(VarbindToText(*objectId.vb, ObjectId), QString("1.3.6.1.4.1.32473"));

        struct counter64 big {};
        big.high = 1;
        big.low = 5;
        Varbind counter(ASN_COUNTER64, &big, sizeof big);
        QCOMPARE(VarbindToText(*counter.vb, Counter64), QString("4294967301"));

        Varbind null(ASN_NULL, nullptr, 0);
        QCOMPARE(VarbindToText(*null.vb, Integer), QString("(NULL)"));
        QCOMPARE(VarbindToText(*null.vb, DisplayString), QString(""));
        QCOMPARE(VarbindToText(*null.vb, OctetString), QString(""));

        Varbind noSuch(SNMP_NOSUCHINSTANCE, nullptr, 0);
        QCOMPARE(VarbindToText(*noSuch.vb, IpAddress), QString("(NULL)"));
    }

    // A set value, decoded as a response would be, gives the text the user sees.
    void setRoundTrip_data()
    {
        QTest::addColumn<unsigned>("syntax");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("type");
        QTest::newRow("true") << Boolean << "true" << "true" << int(ASN_INTEGER);
        QTest::newRow("anything else is false") << Boolean << "TRUE" << "false" << int(ASN_INTEGER);
        QTest::newRow("leading number") << Integer << " -12abc" << "-12" << int(ASN_INTEGER);
        QTest::newRow("not a number") << Integer << "abc" << "0" << int(ASN_INTEGER);
        QTest::newRow("integer saturates") << Integer << "99999999999" << "2147483647" << int(ASN_INTEGER);
        QTest::newRow("gauge") << Gauge32 << "4294967295" << "4294967295" << int(ASN_GAUGE);
        QTest::newRow("counter") << Counter32 << "12" << "12" << int(ASN_COUNTER);
        QTest::newRow("unsigned32") << UInteger32 << "12" << "12" << int(ASN_UINTEGER);
        QTest::newRow("hex lower") << OctetString << "11aa" << "11AA" << int(ASN_OCTET_STR);
        QTest::newRow("hex odd") << OctetString << "1aa" << "01AA" << int(ASN_OCTET_STR);
        QTest::newRow("hex spaces") << OctetString << "00 11 aa" << "0011AA" << int(ASN_OCTET_STR);
        QTest::newRow("hex stops at junk") << OctetString << "12zz34" << "12" << int(ASN_OCTET_STR);
        QTest::newRow("mac") << MacAddress << "001b2caabbcc" << "001B2CAABBCC" << int(ASN_OCTET_STR);
        QTest::newRow("display") << DisplayString << "RWN-3460" << "RWN-3460" << int(ASN_OCTET_STR);
        QTest::newRow("ip") << IpAddress << "10.1.2.3" << "10.1.2.3" << int(ASN_IPADDRESS);
        QTest::newRow("nsap as ip") << NsapAddress << "10.1.2.3" << "10.1.2.3" << int(ASN_IPADDRESS);
        QTest::newRow("ticks text") << TimeTicks << "1 day 0:00:01.23" << "1 day 0:00:01.23" << int(ASN_TIMETICKS);
        QTest::newRow("ticks days") << TimeTicks << "3 days, 1:02:03.04" << "3 days, 1:02:03.04" << int(ASN_TIMETICKS);
        QTest::newRow("ticks plain") << TimeTicks << "100" << "0:00:01.00" << int(ASN_TIMETICKS);
        QTest::newRow("counter64") << Counter64 << "18446744073709551615" << "18446744073709551615" << int(ASN_COUNTER64);
        QTest::newRow("counter64 junk") << Counter64 << "x" << "0" << int(ASN_COUNTER64);
        QTest::newRow("oid") << ObjectId << ".1.3.6.1.2" << "1.3.6.1.2" << int(ASN_OBJECT_ID);
        QTest::newRow("bad oid") << ObjectId << "1..3" << "0.0" << int(ASN_OBJECT_ID);
        QTest::newRow("double") << Double << "-2.25" << "-2.25" << int(ASN_OCTET_STR);
        QTest::newRow("double junk") << Double << "pi" << "0" << int(ASN_OCTET_STR);
        QTest::newRow("date time") << DateTime << "2009-5-6,7:8:9.1,-5:30" << "2009-5-6,7:8:9.1,-5:30"
                                   << int(ASN_OCTET_STR);
        QTest::newRow("day count") << DayCount << "2008/01/01 06:00:00 pm" << "2008/01/01 06:00:00 pm"
                                   << int(ASN_OCTET_STR);
        QTest::newRow("day count iso") << DayCount << "2008-01-01 18:30:00" << "2008/01/01 06:30:00 pm"
                                       << int(ASN_OCTET_STR);
        QTest::newRow("day count before epoch") << DayCount << "1899/12/29 06:00:00 am"
                                                << "1899/12/29 06:00:00 am" << int(ASN_OCTET_STR);
        QTest::newRow("null text") << Integer << "(NULL)" << "(NULL)" << int(ASN_NULL);
    }

    void setRoundTrip()
    {
        QFETCH(unsigned, syntax);
        QFETCH(QString, text);
        QFETCH(QString, shown);
        QFETCH(int, type);
        const KxSetValue value = TextToSetValue(syntax, text);
        QCOMPARE(int(value.type), type);
        Varbind vb(value);
        QCOMPARE(VarbindToText(*vb.vb, syntax), shown);
    }

    void setOctetsAreExact()
    {
        QCOMPARE(TextToSetValue(OctetString, "11aa").data, bytes({17, 170}));
        QCOMPARE(TextToSetValue(OctetString, "1aa").data, bytes({1, 170}));
        QCOMPARE(TextToSetValue(Double, "1.5").data, QByteArray::fromHex("000000000000f83f"));
        QCOMPARE(TextToSetValue(DateTime, "2009-5-6,7:8:9.1,-5:30").data,
                 bytes({0x07, 0xd9, 5, 6, 7, 8, 9, 1, '-', 5, 30}));
        QCOMPARE(TextToSetValue(Null, "anything").type, u_char(ASN_NULL));
    }

    void unknownSyntaxRaises_data()
    {
        QTest::addColumn<unsigned>("syntax");
        QTest::newRow("zero") << 0u;
        QTest::newRow("seven") << 7u;
        QTest::newRow("63") << 63u;
        QTest::newRow("77") << 77u;
        QTest::newRow("199") << 199u;
    }

    void unknownSyntaxRaises()
    {
        QFETCH(unsigned, syntax);
        Varbind vb = Varbind::integer(ASN_INTEGER, 1);
        QCOMPARE(KxTest::RaisedCode([&] { VarbindToText(*vb.vb, syntax); }), -511);
        QCOMPARE(KxTest::RaisedCode([&] { TextToSetValue(syntax, "1"); }), -511);
        QCOMPARE(KxTest::RaisedCode([&] { TextToImage(syntax, "1"); }), -511);
        QCOMPARE(KxTest::RaisedCode([&] { ImageToText(syntax, "1234"); }), -511);
    }

    void partialSyntaxesAreNotSent()
    {
        QCOMPARE(KxTest::RaisedCode([] { TextToSetValue(Bool8, "true"); }), -511);
    }

    void images_data()
    {
        QTest::addColumn<unsigned>("syntax");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("image");
        QTest::addColumn<QString>("back");
        QTest::newRow("boolean") << Boolean << "true" << bytes({1, 0, 0, 0}) << "true";
        QTest::newRow("integer") << Integer << "-2" << bytes({0xfe, 0xff, 0xff, 0xff}) << "-2";
        QTest::newRow("gauge") << Gauge32 << "258" << bytes({2, 1, 0, 0}) << "258";
        QTest::newRow("hex") << OctetString << "0011aa" << bytes({0, 17, 170}) << "0011AA";
        QTest::newRow("mac") << MacAddress << "001122334455" << bytes({0, 0x11, 0x22, 0x33, 0x44, 0x55})
                             << "001122334455";
        QTest::newRow("oid") << ObjectId << "1.3.300" << bytes({1, 0, 0, 0, 3, 0, 0, 0, 44, 1, 0, 0}) << "1.3.300";
        QTest::newRow("ip") << IpAddress << "192.168.0.1" << bytes({192, 168, 0, 1}) << "192.168.0.1";
        QTest::newRow("ticks") << TimeTicks << "0:00:01.00" << bytes({100, 0, 0, 0}) << "0:00:01.00";
        QTest::newRow("counter64") << Counter64 << "4294967298" << bytes({2, 0, 0, 0, 1, 0, 0, 0})
                                   << "4294967298";
        QTest::newRow("double") << Double << "1.5" << QByteArray::fromHex("000000000000f83f") << "1.5";
        QTest::newRow("date time") << DateTime << "2009-5-6,7:8:9.1" << bytes({7, 0xd9, 5, 6, 7, 8, 9, 1, '+', 0, 0})
                                   << "2009-5-6,7:8:9.1";
        QTest::newRow("display") << DisplayString << "ab" << QByteArray("ab") << "ab";
        QTest::newRow("bool8") << Bool8 << "true" << bytes({1}) << "true";
        QTest::newRow("signed8") << Signed8 << "-1" << bytes({0xff}) << "-1";
        QTest::newRow("unsigned8") << Unsigned8 << "255" << bytes({0xff}) << "255";
        QTest::newRow("bool16") << Bool16 << "true" << bytes({0, 1}) << "true";
        QTest::newRow("unsigned16 network order") << Unsigned16 << "258" << bytes({1, 2}) << "258";
        QTest::newRow("unsigned16b") << Unsigned16b << "65535" << bytes({0xff, 0xff}) << "65535";
        QTest::newRow("null text") << Integer << "(NULL)" << QByteArray() << "(NULL)";
        QTest::newRow("null display") << DisplayString << "(NULL)" << QByteArray() << "";
        QTest::newRow("null syntax") << Null << "x" << QByteArray() << "(NULL)";
    }

    void images()
    {
        QFETCH(unsigned, syntax);
        QFETCH(QString, text);
        QFETCH(QByteArray, image);
        QFETCH(QString, back);
        QCOMPARE(TextToImage(syntax, text), image);
        QCOMPARE(ImageToText(syntax, image), back);
    }

    void imageReadsOnlyWhatItNeeds()
    {
        QCOMPARE(ImageToText(IpAddress, bytes({10, 0, 0, 1, 99})), QString("10.0.0.1"));
        QCOMPARE(ImageToText(Bool16, bytes({1, 0})), QString("true"));
        QCOMPARE(ImageToText(DisplayString, QByteArray("ok\0junk", 7)), QString("ok"));
    }

    void shortImagesRaise_data()
    {
        QTest::addColumn<unsigned>("syntax");
        QTest::addColumn<int>("length");
        QTest::newRow("boolean") << Boolean << 3;
        QTest::newRow("integer") << Integer << 3;
        QTest::newRow("ip") << IpAddress << 3;
        QTest::newRow("ticks") << TimeTicks << 3;
        QTest::newRow("counter64") << Counter64 << 7;
        QTest::newRow("double") << Double << 7;
        QTest::newRow("day count") << DayCount << 7;
        QTest::newRow("mac") << MacAddress << 5;
        QTest::newRow("date time") << DateTime << 10;
        QTest::newRow("bool16") << Bool16 << 1;
        QTest::newRow("unsigned16") << Unsigned16 << 1;
    }

    void shortImagesRaise()
    {
        QFETCH(unsigned, syntax);
        QFETCH(int, length);
        QCOMPARE(KxTest::RaisedCode([&] { ImageToText(syntax, QByteArray(length, '\1')); }), -518);
        QCOMPARE(KxTest::RaisedCode([&] { ImageToText(syntax, QByteArray(length + 1, '\1')); }), 0);
    }

    void timeTicksTextForms_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<quint32>("ticks");
        QTest::newRow("clock") << "1:02:03.04" << 372304u;
        QTest::newRow("one day") << "1 day 0:00:01.23" << 8640123u;
        QTest::newRow("days") << "10 days, 0:00:00.00" << 86400000u;
        QTest::newRow("plain") << "12345" << 12345u;
        QTest::newRow("junk") << "soon" << 0u;
        QTest::newRow("saturates") << "99999 days, 0:00:00.00" << 4294967295u;
    }

    void timeTicksTextForms()
    {
        QFETCH(QString, text);
        QFETCH(quint32, ticks);
        QCOMPARE(TimeTicksFromText(text), ticks);
    }
};

QTEST_GUILESS_MAIN(TestKxValues)
#include "tst_kxvalues.moc"
