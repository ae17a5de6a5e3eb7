// 'Advanced \ Internal RADIUS Server' against the simulated device: what a new account
// writes and what the checks refuse, a change as a delete by name and then an add, and
// what is left when a step of a change fails.
#include "ServiceScreenTest.h"
#include "TFM_LRADIUSSer.h"

using namespace servicetest;

namespace {

const QString kAccount = R + ".3.12.1";
const QString kList = R + ".3.12.2.1.1";

using Radius = ScreenUnderTest<TFM_LRADIUSSer>;
using Sets = QList<QStringList>;
using Boxes = QList<QPair<QString, QString>>;

// "bob" (enabled) and "carol" (disabled) listed.
simtest::Objects twoAccounts(simtest::Objects more = {})
{
    simtest::Objects o = {
        {kList + ".2.1", "4|bob"}, {kList + ".3.1", "2|1"}, {kList + ".4.1", "4|bobsecret"},
        {kList + ".2.2", "4|carol"}, {kList + ".3.2", "2|0"}, {kList + ".4.2", "4|carolsecret"},
    };
    o.insert(more);
    return o;
}

// One set of the account objects as the journal shows it; no password when it is empty.
QStringList accountSet(const QString &name, const QString &password, int status, int action,
                       const QString &result = "noError")
{
    QStringList set = {result, vb(kAccount + ".1.0", "4|" + name)};
    if (!password.isEmpty())
        set << vb(kAccount + ".2.0", "4|" + password);
    set << vb(kAccount + ".4.0", "2|" + QString::number(status)) << vb(kAccount + ".3.0", "2|" + QString::number(action));
    return set;
}

QStringList rows(const QTreeWidget *list)
{
    QStringList out;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        out << list->topLevelItem(i)->text(0) + " " + list->topLevelItem(i)->text(1);
    return out;
}

bool listReads(const Radius &t, const QStringList &expected)
{
    auto *list = t.w<QTreeWidget>("LV_RadiusAccountListUser");
    return QTest::qWaitFor([&] { return rows(list) == expected; }, 10000);
}

bool started(Radius &t, const QStringList &listed)
{
    if (!t.Start()) {
        qWarning("%s", qPrintable(t.fixture.Error()));
        return false;
    }
    return listReads(t, listed);
}

void pick(const Radius &t, int entry)
{
    auto *list = t.w<QTreeWidget>("LV_RadiusAccountListUser");
    list->clearSelection();
    list->topLevelItem(entry)->setSelected(true);
}

void fill(const Radius &t, const QString &name, const QString &password)
{
    t.w<QLineEdit>("Ed_Name")->setText(name);
    t.w<QLineEdit>("Ed_PWD")->setText(password);
}

// The journal once `count` sets have arrived after the mark.
Sets setsOnce(const Radius &t, int mark, int count)
{
    if (!QTest::qWaitFor([&] { return t.setsSince(mark).size() >= count; }, 10000))
        qWarning("only %d sets arrived", int(t.setsSince(mark).size()));
    return t.setsSince(mark);
}

} // namespace

class TestTFMLRADIUSSer : public QObject {
    Q_OBJECT

private slots:
    void opensWithTheListedAccounts()
    {
        Radius t(twoAccounts());
        QVERIFY(started(t, {"bob Enable", "carol Disable"}));
        TFM_LRADIUSSer &s = *t.screen;
        QCOMPARE(s.windowTitle(), QString("Advanced \\ Internal RADIUS Server"));
        QCOMPARE(Unnamed(&s), QStringList());
        QCOMPARE(t.w<QComboBox>("Cbox_Status")->currentText(), QString("Enable"));
        QCOMPARE(t.w<QLineEdit>("Ed_PWD")->echoMode(), QLineEdit::Password);
        QCOMPARE(t.w<QLineEdit>("Ed_Name")->maxLength(), 64);
        pick(t, 1);
        QCOMPARE(t.w<QLineEdit>("Ed_Name")->text(), QString("carol"));
        QCOMPARE(t.w<QLineEdit>("Ed_PWD")->text(), QString("carolsecret"));
        QCOMPARE(t.w<QComboBox>("Cbox_Status")->currentText(), QString("Disable"));
        Snapshot(&s, "TFM_LRADIUSSer");
    }

    void aNewAccountWritesAllFourObjects_data()
    {
        QTest::addColumn<QString>("password");
        QTest::newRow("8 characters") << "abcdefgh";
        QTest::newRow("64 characters") << QString(64, 'p');
    }
    void aNewAccountWritesAllFourObjects()
    {
        QFETCH(QString, password);
        Radius t;
        QVERIFY(started(t, {}));
        fill(t, "bob", password);
        const int mark = t.fixture.Mark();
        t.click("Bt_RadiusAdd");
        QCOMPARE(t.status("StatusBar1"), QString("Save OK!"));
        QCOMPARE(t.w<QLineEdit>("Ed_Name")->text(), QString());
        QCOMPARE(t.w<QLineEdit>("Ed_PWD")->text(), QString());
        QVERIFY(listReads(t, {"bob Enable"}));
        QCOMPARE(t.setsSince(mark), Sets{accountSet("bob", password, 1, 1)});
        QCOMPARE(t.fixture.Dialogs().Boxes(), Boxes{});
    }

    void saveRefuses_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("emptied");
        QTest::newRow("no name") << "" << "abcdefgh" << "Please input user name !" << "Ed_Name";
        QTest::newRow("7 characters") << "dave" << "abcdefg" << "The length of password should be 8~64 !" << "Ed_PWD";
        QTest::newRow("65 characters") << "dave" << QString(65, 'p') << "The length of password should be 8~64 !"
                                       << "Ed_PWD";
        QTest::newRow("listed name in other letters") << "BOB" << "abcdefgh" << "Can't use the same name !"
                                                      << "Ed_Name";
    }
    void saveRefuses()
    {
        QFETCH(QString, name);
        QFETCH(QString, password);
        QFETCH(QString, text);
        QFETCH(QString, emptied);
        Radius t(twoAccounts());
        QVERIFY(started(t, {"bob Enable", "carol Disable"}));
        fill(t, name, password);
        const int mark = t.fixture.Mark();
        t.click("Bt_RadiusAdd");
        QCOMPARE(t.fixture.Dialogs().Boxes(), (Boxes{{"Waring", text}}));
        QCOMPARE(t.w<QLineEdit>(qPrintable(emptied))->text(), QString());
        QTest::qWait(200);
        QCOMPARE(t.setsSince(mark), Sets{});
    }

    // A change deletes the listed account by name, without any password, and adds the
    // new one with its password once the delete is confirmed.
    void aChangeDeletesByNameThenAdds_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("password"); // empty: left as listed
        QTest::addColumn<int>("status");
        QTest::addColumn<QStringList>("listed");
        QTest::newRow("status only") << "bob" << "" << 0 << QStringList{"carol Disable", "bob Disable"};
        QTest::newRow("new password") << "bob" << "n3wsecret" << 1 << QStringList{"carol Disable", "bob Enable"};
        QTest::newRow("renamed in other letters") << "BOB" << "" << 1 << QStringList{"carol Disable", "BOB Enable"};
    }
    void aChangeDeletesByNameThenAdds()
    {
        QFETCH(QString, name);
        QFETCH(QString, password);
        QFETCH(int, status);
        QFETCH(QStringList, listed);
        Radius t(twoAccounts());
        QVERIFY(started(t, {"bob Enable", "carol Disable"}));
        pick(t, 0);
        t.w<QLineEdit>("Ed_Name")->setText(name);
        if (!password.isEmpty())
            t.w<QLineEdit>("Ed_PWD")->setText(password);
        t.w<QComboBox>("Cbox_Status")->setCurrentIndex(status);
        const int mark = t.fixture.Mark();
        t.click("Bt_RadiusAdd");
        QVERIFY(listReads(t, listed));
        const QString added = password.isEmpty() ? QStringLiteral("bobsecret") : password;
        QCOMPARE(t.setsSince(mark), (Sets{accountSet("bob", "", status, 0), accountSet(name, added, status, 1)}));
        QCOMPARE(t.fixture.Sim().value(kList + ".4.2"), "4x|" + added.toLatin1().toHex());
        // The fields keep the new account.
        QCOMPARE(t.w<QLineEdit>("Ed_Name")->text(), name);
        QCOMPARE(t.fixture.Dialogs().Boxes(), Boxes{});
    }

    // Renaming onto another listed account is refused before the delete, in any letters.
    void aChangeOntoAnotherNameDeletesNothing()
    {
        Radius t(twoAccounts());
        QVERIFY(started(t, {"bob Enable", "carol Disable"}));
        pick(t, 0);
        t.w<QLineEdit>("Ed_Name")->setText("Carol");
        const int mark = t.fixture.Mark();
        t.click("Bt_RadiusAdd");
        QCOMPARE(t.fixture.Dialogs().Boxes(), (Boxes{{"Waring", "The name has exist, please input username again!"}}));
        QCOMPARE(t.w<QLineEdit>("Ed_Name")->text(), QString("Carol"));
        QTest::qWait(200);
        QCOMPARE(t.setsSince(mark), Sets{});
        QCOMPARE(rows(t.w<QTreeWidget>("LV_RadiusAccountListUser")), (QStringList{"bob Enable", "carol Disable"}));
    }

    // The device refuses the add after it deleted the old account: the user is told, the
    // list shows the device as it is and the fields still hold the new account.
    void aRefusedAddAfterTheDeleteIsReported()
    {
        Radius t(twoAccounts());
        QVERIFY(started(t, {"bob Enable", "carol Disable"}));
        pick(t, 1);
        t.w<QLineEdit>("Ed_Name")->setText("dave");
        // Another manager takes the name meanwhile.
        QCOMPARE(t.fixture.Sim()
                     .set({kAccount + ".1.0", "s", "dave", kAccount + ".2.0", "s", "davesecret", kAccount + ".4.0", "i",
                           "1", kAccount + ".3.0", "i", "1"})
                     .exitCode,
                 0);
        const int mark = t.fixture.Mark();
        t.click("Bt_RadiusAdd");
        QVERIFY(listReads(t, {"bob Enable", "dave Enable"}));
        const Sets sets = setsOnce(t, mark, 2);
        QCOMPARE(sets.size(), 2);
        QCOMPARE(sets[0], accountSet("carol", "", 0, 0));
        QCOMPARE(sets[1], accountSet("dave", "carolsecret", 0, 1, "inconsistentValue"));
        QCOMPARE(t.fixture.Dialogs().Boxes(),
                 (Boxes{{"Warning", "The changed account could not be added; its old version is no longer on the "
                                    "device."}}));
        QCOMPARE(t.w<QLineEdit>("Ed_Name")->text(), QString("dave"));
        QCOMPARE(t.w<QLineEdit>("Ed_PWD")->text(), QString("carolsecret"));
    }

    // A change whose delete fails ends there: a later save is a plain add, not the
    // failed change's add.
    void aFailedDeleteEndsTheChange()
    {
        Radius t(twoAccounts());
        QVERIFY(started(t, {"bob Enable", "carol Disable"}));
        pick(t, 1);
        // Another manager deletes "carol" meanwhile.
        QCOMPARE(t.fixture.Sim().set({kAccount + ".1.0", "s", "carol", kAccount + ".3.0", "i", "0"}).exitCode, 0);
        t.w<QLineEdit>("Ed_PWD")->setText("changedpw");
        int mark = t.fixture.Mark();
        t.click("Bt_RadiusAdd");
        Sets sets = setsOnce(t, mark, 1);
        QCOMPARE(sets, Sets{accountSet("carol", "", 0, 0, "inconsistentValue")});
        QTRY_VERIFY(t.w<QAbstractButton>("Bt_RadiusAdd")->isEnabled());
        t.w<QTreeWidget>("LV_RadiusAccountListUser")->clearSelection();
        fill(t, "erin", "erinsecret");
        t.w<QComboBox>("Cbox_Status")->setCurrentIndex(1);
        mark = t.fixture.Mark();
        t.click("Bt_RadiusAdd");
        QVERIFY(listReads(t, {"bob Enable", "erin Enable"}));
        QTest::qWait(200);
        QCOMPARE(t.setsSince(mark), Sets{accountSet("erin", "erinsecret", 1, 1)});
    }

    void deleteSendsTheListedName_data()
    {
        QTest::addColumn<bool>("ok");
        QTest::newRow("OK") << true;
        QTest::newRow("Cancel") << false;
    }
    void deleteSendsTheListedName()
    {
        QFETCH(bool, ok);
        Radius t(twoAccounts());
        QVERIFY(started(t, {"bob Enable", "carol Disable"}));
        pick(t, 0);
        t.w<QLineEdit>("Ed_Name")->setText("edited");
        t.fixture.Dialogs().answers.push_back(ok ? QMessageBox::Ok : QMessageBox::Cancel);
        const int mark = t.fixture.Mark();
        t.click("Bt_RadiusDel");
        QCOMPARE(t.fixture.Dialogs().Boxes(), (Boxes{{"Warning", "Are you sure that you want to delete this entry?"}}));
        QCOMPARE(t.w<QLineEdit>("Ed_Name")->text(), QString());
        QCOMPARE(t.w<QLineEdit>("Ed_PWD")->text(), QString());
        if (!ok) {
            QTest::qWait(200);
            QCOMPARE(t.setsSince(mark), Sets{});
            return;
        }
        QCOMPARE(t.status("StatusBar1"), QString("Delete OK!"));
        QVERIFY(listReads(t, {"carol Disable"}));
        QCOMPARE(t.setsSince(mark), Sets{accountSet("bob", "", 1, 0)});
    }

    void deleteWithoutASelectionOnlyEmptiesTheFields()
    {
        Radius t(twoAccounts());
        QVERIFY(started(t, {"bob Enable", "carol Disable"}));
        fill(t, "bob", "whatever1");
        const int mark = t.fixture.Mark();
        t.click("Bt_RadiusDel");
        QCOMPARE(t.w<QLineEdit>("Ed_Name")->text(), QString());
        QCOMPARE(t.w<QLineEdit>("Ed_PWD")->text(), QString());
        QCOMPARE(t.fixture.Dialogs().Boxes(), Boxes{});
        QTest::qWait(200);
        QCOMPARE(t.setsSince(mark), Sets{});
    }
};

QTEST_MAIN(TestTFMLRADIUSSer)
#include "tst_tfm_lradiusser.moc"
