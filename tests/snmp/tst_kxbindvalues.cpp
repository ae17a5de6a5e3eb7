// How values travel between a variable and each kind of control, without a device:
// ShowValues and ReadValues on real Qt controls.
#include "KxErrors.h"
#include "KxRadioGroup.h"
#include "KxRequest2Edits.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTest>

namespace {

struct Edits {
    QWidget window;
    KxSNMPRequest2Edits r{&window};
    KxSNMPVarDesc desc[2] = {{"1.3.6.1.4.1.32473.1", "value", 0, KxAccess::ReadWrite}, {nullptr}};
    explicit Edits(unsigned syntax)
    {
        desc[0].Syntax = syntax;
        r.Request.VarList = KxSNMPVarList(desc, KxItemType::Scalars, 0);
    }
    QString &value() { return r.Request.VarList[0].Value; }
};

const KxIntOption kOnOffTable[] = {{0, "Disabled"}, {1, "Enabled"}, {0, nullptr}};
const KxOptionList kOnOff(kOnOffTable);

} // namespace

class TestKxBindValues : public QObject {
    Q_OBJECT

private slots:
    void severalEditBoxes_data()
    {
        QTest::addColumn<unsigned>("syntax");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<QString>("readBack");
        QTest::newRow("octets as hex pairs") << 4u << "0011AA" << QStringList{"00", "11", "AA", ""} << "0011AA00";
        QTest::newRow("object identifier") << 6u << "1.3.6.1" << QStringList{"1", "3", "6", "1"} << "1.3.6.1";
        QTest::newRow("ip address") << 64u << "192.168.0.50" << QStringList{"192", "168", "0", "50"} << "192.168.0.50";
        QTest::newRow("time ticks") << 67u << "1 day 0:00:01.23" << QStringList{"1", "0", "0", "1", "23"}
                                    << "1 day 0:00:01.23";
        QTest::newRow("mac address") << 73u << "0011223344AA" << QStringList{"00", "11", "22", "33", "44", "AA"}
                                     << "0011223344AA";
        QTest::newRow("date and time") << 74u << "2009-5-6,7:8:9.1,-5:30"
                                       << QStringList{"2009", "5", "6", "7", "8", "9", "1", "-", "5", "30"}
                                       << "2009-5-6,7:8:9.1,-5:30";
        QTest::newRow("day count") << 75u << "2011/03/04 01:02:03 pm"
                                   << QStringList{"2011", "3", "4", "13", "2", "3", "0"} << "2011/03/04 01:02:03 pm";
        QTest::newRow("display string fills the first") << 76u << "hello" << QStringList{"hello", "untouched"}
                                                        << "hello";
    }
    void severalEditBoxes()
    {
        QFETCH(unsigned, syntax);
        QFETCH(QString, value);
        QFETCH(QStringList, boxes);
        QFETCH(QString, readBack);
        Edits e(syntax);
        std::vector<QLineEdit *> edits;
        QString format;
        for (qsizetype k = 0; k < boxes.size(); ++k) {
            edits.push_back(new QLineEdit(&e.window));
            edits.back()->setText("untouched");
            format += "%s";
        }
        e.r.BindControl(0, format, edits);
        e.value() = value;
        e.r.ShowValues();
        QStringList shown;
        for (QLineEdit *edit : edits)
            shown << edit->text();
        QCOMPARE(shown, boxes);
        e.value() = "stale";
        e.r.ReadValues();
        QCOMPARE(e.value(), readBack);
    }

    void tooFewBoxesAndNullSpread()
    {
        Edits e(KxSyntax::IpAddress);
        QLineEdit a, b;
        e.r.BindControl(0, "%u%u", {&a, &b});
        e.value() = "10.0.0.1";
        QVERIFY_THROWS_EXCEPTION(KxException, e.r.ShowValues());
        Edits t(KxSyntax::TimeTicks);
        std::vector<QLineEdit *> five;
        for (int k = 0; k < 5; ++k)
            five.push_back(new QLineEdit(&t.window));
        five[0]->setText("kept");
        t.r.BindControl(0, "%u%u%u%u%u", five);
        t.value() = "(NULL)";
        t.r.ShowValues();
        QCOMPARE(five[0]->text(), QString("kept"));
        // A box that is not a number is refused, not sent as 0.
        five[1]->setText("2");
        try {
            t.r.ReadValues();
            QFAIL("no exception");
        } catch (const KxException &ex) {
            QCOMPARE(ex.Text(), QString("'kept' is not a valid integer value"));
        }
    }

    void bitsShowAndRead()
    {
        Edits e(KxSyntax::OctetString);
        QCheckBox b0, b9, b15;
        e.r.BindBits(0, "0,9,15", {&b0, &b9, &b15});
        e.value() = "8041";
        e.r.ShowValues();
        QVERIFY(b0.isChecked());
        QVERIFY(b9.isChecked());
        QVERIFY(b15.isChecked());
        b9.setChecked(false);
        e.r.ReadValues();
        QCOMPARE(e.value(), QString("8001"));
        e.value() = "80"; // position 9 lies beyond one octet
        try {
            e.r.ShowValues();
            QFAIL("no exception");
        } catch (const KxException &ex) {
            QCOMPARE(ex.HelpContext(), -519);
        }
    }

    void partsAtOffsets()
    {
        Edits e(KxSyntax::OctetString);
        QLineEdit signedPart, wordPart;
        QCheckBox flag;
        e.r.BindPart(0, 1, KxSyntax::Signed8, nullptr, {&signedPart});
        e.r.BindPart(0, 2, KxSyntax::Unsigned16, nullptr, {&wordPart});
        e.r.BindPart(0, 4, KxSyntax::Bool8, nullptr, {&flag});
        e.value() = "00FF0102" "01";
        e.r.ShowValues();
        QCOMPARE(signedPart.text(), QString("-1"));
        QCOMPARE(wordPart.text(), QString("258"));
        QVERIFY(flag.isChecked());
        signedPart.setText("5");
        wordPart.setText("4097");
        flag.setChecked(false);
        e.r.ReadValues();
        // Octet 0 is kept: parts only replace their own octets.
        QCOMPARE(e.value(), QString("0005100100"));
        e.value() = "0001";
        QVERIFY_THROWS_EXCEPTION(KxException, e.r.ShowValues());
    }

    // A part before the start of the image is refused when bound, and a binding made by
    // hand with such an offset never writes outside the image.
    void negativeOffsetRefused()
    {
        Edits e(KxSyntax::OctetString);
        QLineEdit edit;
        edit.setText("7");
        try {
            e.r.BindPart(0, -1, KxSyntax::Unsigned8, nullptr, {&edit});
            QFAIL("no exception");
        } catch (const KxException &ex) {
            QCOMPARE(ex.HelpContext(), -519);
        }
        QVERIFY(e.r.Bindings().empty());

        KxBinding b;
        b.offset = -4;
        b.syntax = KxSyntax::Unsigned8;
        b.controls.emplace_back(&edit);
        QByteArray image("\x01\x02", 2);
        QVERIFY_THROWS_EXCEPTION(KxException, KxBindingValues::Read(b, image));
        QCOMPARE(image, QByteArray("\x01\x02", 2));
    }

    void optionControls()
    {
        Edits e(KxSyntax::Integer);
        e.desc[0].OptionList = &kOnOff;
        e.r.Request.VarList = KxSNMPVarList(e.desc, KxItemType::Scalars, 0);
        QCheckBox check;
        KxRadioGroup radio;
        QComboBox combo;
        QLabel label;
        e.r.BindControl(0, &check);
        e.r.BindControl(0, &radio);
        e.r.BindControl(0, &combo);
        e.r.BindControl(0, &label);
        QCOMPARE(radio.items(), QStringList({"Disabled", "Enabled"}));
        QVERIFY(!combo.isEditable());
        e.value() = "Enabled";
        e.r.ShowValues();
        QVERIFY(check.isChecked());
        QCOMPARE(radio.itemIndex(), 1);
        QCOMPARE(combo.currentIndex(), 1);
        QCOMPARE(label.text(), QString("Enabled"));
        // The last binding of the variable wins when reading.
        label.setText("Disabled");
        e.r.ReadValues();
        QCOMPARE(e.value(), QString("Disabled"));
        e.r.UnbindVariable(0);
        QVERIFY(e.r.Bindings().empty());
    }

    void comboWithPrefixAndSecondControl()
    {
        Edits e(KxSyntax::ObjectId);
        const KxTextOption prefixes[] = {{"1.3.6.1.4.1", "enterprises"}, {"1.3.6.1.2", "mgmt"}, {nullptr, nullptr}};
        const KxOptionList list(prefixes, KxOptionList::TextPrefixes);
        QComboBox combo;
        QLineEdit rest;
        e.r.BindPart(0, 0, KxSyntax::ObjectId, &list, {&combo, &rest});
        e.value() = "1.3.6.1.4.1.32473.2";
        e.r.ShowValues();
        QCOMPARE(combo.currentText(), QString("enterprises"));
        QCOMPARE(rest.text(), QString("32473.2"));
        combo.setCurrentIndex(1);
        rest.setText("1.1");
        e.r.ReadValues();
        QCOMPARE(e.value(), QString("1.3.6.1.2.1.1"));
    }

    void readingStartsFromAnEmptyValue()
    {
        Edits e(KxSyntax::OctetString);
        QLineEdit edit;
        e.r.BindControl(0, "%h", &edit);
        e.value() = "AABBCC";
        edit.setText("DD");
        e.r.ReadValues();
        QCOMPARE(e.value(), QString("DD"));
    }

    void statusTargets()
    {
        QStatusBar bar;
        QLabel *panel = KxStatusPanel(&bar, 1);
        QCOMPARE(KxStatusPanel(&bar, 1), panel);
        KxStatusTarget(&bar).Write("whole");
        QCOMPARE(KxStatusText(&bar), QString("whole"));
        KxStatusTarget(panel).Write("second panel");
        QCOMPARE(KxStatusText(&bar), QString(" | second panel"));
        QPlainTextEdit memo;
        KxStatusTarget(&memo).Write("one");
        KxStatusTarget(&memo).Write("two");
        QCOMPARE(memo.toPlainText(), QString("one\ntwo"));
    }
};

QTEST_MAIN(TestKxBindValues)
#include "tst_kxbindvalues.moc"
