// 'Tools \ Administrator Settings' against the simulated device: what Apply writes and in
// which order, the input checks, the console protocols, the password, and the address
// ranges (add, delete, and every way an add is refused).
#include "KxScreenFixture.h"
#include "TMainForm.h"
#include "TFM_Admin2.h"
#include "TFM_Waiting.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>
#include <QTreeWidget>

// The two lists are read without blocking the window.
#define LISTS_READ(screen, tableRows, shownRows)                                                          \
    do {                                                                                                  \
        QTRY_COMPARE_WITH_TIMEOUT(list(screen, "ListView_IpRange")->topLevelItemCount(), tableRows, 10000); \
        QTRY_COMPARE_WITH_TIMEOUT(list(screen, "ListView_User")->topLevelItemCount(), shownRows, 10000);    \
        QTest::qWait(50); /* the walks' last steps have ended too */                                       \
    } while (false)

namespace {

const QString kRoot = QStringLiteral("1.3.6.1.4.1.32473.2.5.9");
const QString kTelnet = kRoot + ".4.4.1.0";
const QString kSsh = kRoot + ".4.4.2.0";
const QString kTimeout = kRoot + ".4.4.3.0";
const QString kUser = kRoot + ".4.1.1.1.2.1";
const QString kPassword = kRoot + ".4.1.1.1.3.1";
const QString kSysName = QStringLiteral("1.3.6.1.2.1.1.5.0");
const QString kSysLocation = QStringLiteral("1.3.6.1.2.1.1.6.0");
const QString kPing = kRoot + ".4.12.1.0";
const QString kManager = kRoot + ".4.10.1.1.0";
const QString kVlanTag = kRoot + ".4.10.1.2.0";
const QString kApply = kRoot + ".4.2.3.0";
const QString kStart = kRoot + ".4.10.1.3.1.2.";
const QString kEnd = kRoot + ".4.10.1.3.1.3.";
const QString kDelete = kRoot + ".4.10.1.3.1.4.";

using Boxes = QList<QPair<QString, QString>>;
using Sets = QList<QStringList>;

const QString kBadRange = QStringLiteral("Invalid IP address range for Administrator!");
const QString kListFull = QStringLiteral("Maximum number of IP Range List is 4!!");

QStringList set(const QStringList &varbinds, const QString &status = QStringLiteral("noError"))
{
    return QStringList{status} + varbinds;
}

// The sets of Apply with the factory values, from the login on.
Sets factoryTail(const QString &manager = kManager + "|2|0")
{
    return {set({kUser + "|4|admin", kPassword + "|4|password"}),
            set({kSysName + "|4|RWN-3460", kSysLocation + "|4|"}), set({kPing + "|2|0"}),
            set(manager.split(' ')), set({kApply + "|2|1"})};
}

Sets telnetOn() { return {set({kTelnet + "|2|1", kSsh + "|2|0"}), set({kTimeout + "|2|3"})}; }

// Ranges in rows 1 and 3 of the device's table, row 2 free between them, row 4 free.
simtest::Objects twoRanges()
{
    return {{kStart + "1", "64|10.0.0.10"}, {kEnd + "1", "64|10.0.0.20"},
            {kStart + "3", "64|10.0.0.50"}, {kEnd + "3", "64|10.0.0.60"}};
}

QString text(const QTreeWidgetItem *row)
{
    QStringList cells;
    for (int c = 0; c < row->columnCount(); ++c)
        cells << row->text(c);
    return cells.join(' ');
}

QStringList rows(const QTreeWidget *list)
{
    QStringList all;
    for (int r = 0; r < list->topLevelItemCount(); ++r)
        all << text(list->topLevelItem(r));
    return all;
}


} // namespace

class TestTFMAdmin2 : public QObject {
    Q_OBJECT

private:
    template <class T>
    static T *child(QWidget &w, const char *name) { return w.findChild<T *>(QLatin1String(name)); }
    static QLineEdit *edit(QWidget &w, const char *name) { return child<QLineEdit>(w, name); }
    static QTreeWidget *list(QWidget &w, const char *name) { return child<QTreeWidget>(w, name); }
    static void click(QWidget &w, const char *name) { child<QPushButton>(w, name)->click(); }


    static void addRange(QWidget &screen, const QString &from, const QString &to)
    {
        child<QCheckBox>(screen, "CkBx_ManagerState")->setChecked(true);
        edit(screen, "Ed_FromIP")->setText(from);
        edit(screen, "Ed_ToIP")->setText(to);
        // Enter in a range edit adds the range and does not apply the screen.
        QTest::keyClick(edit(screen, "Ed_ToIP"), Qt::Key_Return);
    }

private slots:
    void menuOpensTheScreen()
    {
        screentest::ScreenFixture fixture;
        QVERIFY2(fixture.Start(), qPrintable(fixture.Error()));
        TMainForm form;
        QString opened;
        fixture.Dialogs().ModalHandler = [&](QDialog *window) {
            opened = window->objectName() + " " + window->windowTitle();
            [&] { QCOMPARE(window->parentWidget(), &form); }();
            return 0;
        };
        form.findChild<QAction *>("Admin")->trigger();
        QCOMPARE(opened, QString("FM_Admin2 Tools \\ Administrator Settings"));
    }

    void opensWithTheDeviceSettings()
    {
        screentest::ScreenFixture fixture({}, twoRanges());
        QVERIFY2(fixture.Start(), qPrintable(fixture.Error()));
        TFM_Admin2 screen;
        QCOMPARE(screen.windowTitle(), QString("Tools \\ Administrator Settings"));
        LISTS_READ(screen, 4, 2);
        QCOMPARE(edit(screen, "Ed_Usr")->text(), QString("admin"));
        QVERIFY(screentest::SavePicture(screen, screen.metaObject()->className()));
        for (const char *name : {"Ed_Pwd", "Ed_OPwd", "Ed_NPwd", "Ed_CNP"})
            QCOMPARE(edit(screen, name)->text(), QString("password"));
        QCOMPARE(edit(screen, "Ed_NPwd")->echoMode(), QLineEdit::Password);
        QVERIFY(child<QCheckBox>(screen, "CheckBox_Console")->isChecked());
        QVERIFY(child<QRadioButton>(screen, "RB_Telnet")->isChecked());
        QVERIFY(!child<QRadioButton>(screen, "RB_SHH")->isChecked());
        QCOMPARE(child<QComboBox>(screen, "CB_Timeout")->currentText(), QString("5Mins"));
        QCOMPARE(child<QComboBox>(screen, "CB_Timeout")->itemText(5), QString("Never"));
        QCOMPARE(child<QComboBox>(screen, "CB_Ping")->currentText(), QString("Enable"));
        QCOMPARE(edit(screen, "Ed_SysName")->text(), QString("RWN-3460"));
        QCOMPARE(rows(list(screen, "ListView_User")),
                 QStringList({"1 10.0.0.10 10.0.0.20", "2 10.0.0.50 10.0.0.60"}));
        QCOMPARE(rows(list(screen, "ListView_IpRange")),
                 QStringList({"1 10.0.0.10 10.0.0.20 nothing", "2 0.0.0.0 0.0.0.0 nothing",
                              "3 10.0.0.50 10.0.0.60 nothing", "4 0.0.0.0 0.0.0.0 nothing"}));
        // Nothing limited: the range edits and Add wait for the IP box, Delete for a row.
        for (const char *name : {"Ed_VID", "Ed_FromIP", "Ed_ToIP"})
            QVERIFY(!edit(screen, name)->isEnabled());
        QVERIFY(!child<QPushButton>(screen, "Btn_Add")->isEnabled());
        QVERIFY(!child<QPushButton>(screen, "Btn_Del")->isEnabled());
        child<QCheckBox>(screen, "CkBx_ManagerState")->setChecked(true);
        QVERIFY(child<QPushButton>(screen, "Btn_Add")->isEnabled());
        list(screen, "ListView_User")->topLevelItem(1)->setSelected(true);
        QVERIFY(child<QPushButton>(screen, "Btn_Del")->isEnabled());
        QCOMPARE(edit(screen, "Ed_Usr")->accessibleName(), QString("User Name"));
        // The console box governs the protocols and the timeout.
        child<QCheckBox>(screen, "CheckBox_Console")->setChecked(false);
        QVERIFY(!child<QRadioButton>(screen, "RB_Telnet")->isChecked());
        QVERIFY(!child<QRadioButton>(screen, "RB_Telnet")->isEnabled());
        QVERIFY(!child<QComboBox>(screen, "CB_Timeout")->isEnabled());
        QCOMPARE(child<QComboBox>(screen, "CB_Telnet")->currentText(), QString("Disable"));
    }

    void managerStatusSetsTheBoxes_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("vid");
        QTest::addColumn<bool>("ip");
        QTest::newRow("disable") << 0 << false << false;
        QTest::newRow("vlanID") << 1 << true << false;
        QTest::newRow("ipaddress") << 2 << false << true;
        QTest::newRow("both") << 3 << true << true;
    }
    void managerStatusSetsTheBoxes()
    {
        QFETCH(int, status);
        QFETCH(bool, vid);
        QFETCH(bool, ip);
        screentest::ScreenFixture fixture({}, {{kManager, "2|" + QString::number(status)}, {kVlanTag, "2|7"}});
        QVERIFY2(fixture.Start(), qPrintable(fixture.Error()));
        TFM_Admin2 screen;
        QCOMPARE(child<QCheckBox>(screen, "CheckBox_VID")->isChecked(), vid);
        QCOMPARE(child<QCheckBox>(screen, "CkBx_ManagerState")->isChecked(), ip);
        QCOMPARE(edit(screen, "Ed_VID")->isEnabled(), vid);
        QCOMPARE(edit(screen, "Ed_FromIP")->isEnabled(), ip);
        QCOMPARE(edit(screen, "Ed_VID")->text(), QString("7"));
    }

    // Nothing changed: every check passes and every value goes back, the console
    // under the waiting notice, "apply" last.
    void applyUnchangedRewritesEverythingInOrder()
    {
        screentest::ScreenFixture fixture;
        QVERIFY2(fixture.Start(), qPrintable(fixture.Error()));
        TFM_Admin2 screen;
        screen.show();
        LISTS_READ(screen, 4, 1);
        QStringList notices;
        struct Watch : QObject {
            QStringList &seen;
            screentest::ScreenFixture &f;
            Watch(QStringList &s, screentest::ScreenFixture &fx) : seen(s), f(fx) { qApp->installEventFilter(this); }
            ~Watch() override { qApp->removeEventFilter(this); }
            bool eventFilter(QObject *o, QEvent *e) override
            {
                if (qobject_cast<TFM_Waiting *>(o) && e->type() == QEvent::Show)
                    seen << "shown after " + QString::number(f.Mark());
                return false;
            }
        } watch(notices, fixture);
        const int mark = fixture.Mark();
        click(screen, "OK");
        QCOMPARE(fixture.SetsSince(mark), telnetOn() + factoryTail());
        QCOMPARE(notices, QStringList({"shown after " + QString::number(mark)}));
        QVERIFY(fixture.Dialogs().Boxes().isEmpty());
        QCOMPARE(screen.StatusBar()->currentMessage(), QString("Set OK!"));
        QVERIFY(screen.isEnabled());
        QVERIFY(screen.findChildren<TFM_Waiting *>().isEmpty());
    }

    void vlanId_data()
    {
        QTest::addColumn<bool>("limited");
        QTest::addColumn<QString>("vid");
        QTest::addColumn<QString>("manager"); // empty: refused, nothing written
        QTest::newRow("4095 accepted") << true << "4095" << kManager + "|2|1 " + kVlanTag + "|2|4095";
        QTest::newRow("0 accepted") << true << "0" << kManager + "|2|1 " + kVlanTag + "|2|0";
        QTest::newRow("4096 refused") << true << "4096" << "";
        QTest::newRow("negative refused") << true << "-1" << "";
        QTest::newRow("not a number refused") << true << "12a" << "";
        QTest::newRow("empty refused") << true << "" << "";
        QTest::newRow("box cleared: no tag") << false << "99999" << kManager + "|2|0";
    }
    void vlanId()
    {
        QFETCH(bool, limited);
        QFETCH(QString, vid);
        QFETCH(QString, manager);
        screentest::ScreenFixture fixture;
        QVERIFY2(fixture.Start(), qPrintable(fixture.Error()));
        TFM_Admin2 screen;
        LISTS_READ(screen, 4, 1);
        child<QCheckBox>(screen, "CheckBox_VID")->setChecked(limited);
        edit(screen, "Ed_VID")->setText(vid);
        const int mark = fixture.Mark();
        click(screen, "OK");
        if (manager.isEmpty()) {
            QCOMPARE(fixture.Dialogs().Boxes(), Boxes({{"Warning", "Please input a number between 0 and 4095.!"}}));
            QCOMPARE(edit(screen, "Ed_VID")->text(), QString());
            QVERIFY(fixture.SetsSince(mark).isEmpty());
            return;
        }
        QVERIFY(fixture.Dialogs().Boxes().isEmpty());
        QCOMPARE(fixture.SetsSince(mark), telnetOn() + factoryTail(manager));
    }

    void loginChecks_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("emptied"); // none: "-"
        QTest::newRow("wrong old password") << "Ed_OPwd" << "passw0rd"
                                            << "Please input the current password correctly!" << "-";
        QTest::newRow("user name of 65") << "Ed_Usr" << QString(65, 'a') << "Please limit user name to 64 characters!"
                                         << "Ed_Usr";
        QTest::newRow("blank in user name") << "Ed_Usr" << "ad min" << "Invaild UserName!" << "Ed_Usr";
        QTest::newRow("empty user name") << "Ed_Usr" << "" << "Invaild UserName!" << "Ed_Usr";
        QTest::newRow("password of 13") << "Ed_NPwd" << "1234567890123" << "Please limit password to 12 characters!"
                                        << "Ed_NPwd";
        QTest::newRow("confirmation differs") << "Ed_NPwd" << "newpass1"
                                              << "Please input the confirm new password correctly!" << "-";
    }
    void loginChecks()
    {
        QFETCH(QString, field);
        QFETCH(QString, value);
        QFETCH(QString, message);
        QFETCH(QString, emptied);
        screentest::ScreenFixture fixture;
        QVERIFY2(fixture.Start(), qPrintable(fixture.Error()));
        TFM_Admin2 screen;
        LISTS_READ(screen, 4, 1);
        edit(screen, qPrintable(field))->setText(value);
        const int mark = fixture.Mark();
        click(screen, "OK");
        QCOMPARE(fixture.Dialogs().Boxes(), Boxes({{"Warning", message}}));
        if (emptied != "-")
            QCOMPARE(edit(screen, qPrintable(emptied))->text(), QString());
        else
            QCOMPARE(edit(screen, qPrintable(field))->text(), value);
        QVERIFY(fixture.SetsSince(mark).isEmpty());
    }

    void userNameCharacters()
    {
        screentest::ScreenFixture fixture;
        QVERIFY2(fixture.Start(), qPrintable(fixture.Error()));
        TFM_Admin2 screen;
        LISTS_READ(screen, 4, 1);
        const QString name = QString(58, 'a') + "@Z.9_-"; // 64: the most there may be
        edit(screen, "Ed_Usr")->setText(name);
        const int mark = fixture.Mark();
        click(screen, "OK");
        QVERIFY(fixture.Dialogs().Boxes().isEmpty());
        QCOMPARE(fixture.SetsSince(mark).value(2), set({kUser + "|4|" + name, kPassword + "|4|password"}));
    }

    // What the console set carries for each choice, and what follows it.
    void consoleWrites_data()
    {
        QTest::addColumn<QString>("device"); // telnet and ssh as read
        QTest::addColumn<QString>("action");
        QTest::addColumn<Sets>("console");
        QTest::newRow("SSH chosen: telnet off in the same set")
            << "1 0" << "ssh" << Sets{set({kTelnet + "|2|0", kSsh + "|2|1"}), set({kTimeout + "|2|3"})};
        QTest::newRow("Telnet chosen over SSH")
            << "0 1" << "telnet" << Sets{set({kTelnet + "|2|1", kSsh + "|2|0"}), set({kTimeout + "|2|3"})};
        QTest::newRow("console cleared: both off, no timeout")
            << "1 0" << "clear" << Sets{set({kTelnet + "|2|0", kSsh + "|2|0"})};
        QTest::newRow("enabled without a protocol: no console write") << "0 0" << "check" << Sets{};
        QTest::newRow("both on as read: the screen shows SSH, so Telnet goes off")
            << "1 1" << "none" << Sets{set({kTelnet + "|2|0", kSsh + "|2|1"}), set({kTimeout + "|2|3"})};
    }
    void consoleWrites()
    {
        QFETCH(QString, device);
        QFETCH(QString, action);
        QFETCH(Sets, console);
        const QStringList on = device.split(' ');
        screentest::ScreenFixture fixture({}, {{kTelnet, "2|" + on[0]}, {kSsh, "2|" + on[1]}});
        QVERIFY2(fixture.Start(), qPrintable(fixture.Error()));
        TFM_Admin2 screen;
        screen.show();
        LISTS_READ(screen, 4, 1);
        if (action == "ssh")
            QTest::mouseClick(child<QRadioButton>(screen, "RB_SHH"), Qt::LeftButton);
        else if (action == "telnet")
            QTest::mouseClick(child<QRadioButton>(screen, "RB_Telnet"), Qt::LeftButton);
        else if (action == "clear")
            child<QCheckBox>(screen, "CheckBox_Console")->setChecked(false);
        else if (action == "check")
            child<QCheckBox>(screen, "CheckBox_Console")->setChecked(true);
        const int mark = fixture.Mark();
        click(screen, "OK");
        QCOMPARE(fixture.SetsSince(mark), console + factoryTail());
        QCOMPARE(screen.StatusBar()->currentMessage(), QString("Set OK!"));
    }

    void passwordWrite_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("login");
        QTest::addColumn<QString>("kept");
        QTest::addColumn<QString>("status");
        QTest::newRow("changed") << "password" << "newpass1"
                                 << set({kUser + "|4|admin", kPassword + "|4|newpass1"}) << "newpass1" << "Set OK!";
        // Twelve characters, but more octets than the device keeps.
        QTest::newRow("refused by the device: the old one is kept")
            << "password" << QString(12, QChar(0x20AC))
            << set({kUser + "|4|admin", kPassword + "|4x|" + QByteArray(QString(12, QChar(0x20AC)).toUtf8().toHex())},
                   "wrongLength")
            << "password" << "Setting Error!";
        QTest::newRow("masked as read: not written back")
            << "********" << "********" << set({kUser + "|4|admin"}) << "********" << "Set OK!";
    }
    void passwordWrite()
    {
        QFETCH(QString, stored);
        QFETCH(QString, typed);
        QFETCH(QStringList, login);
        QFETCH(QString, kept);
        QFETCH(QString, status);
        screentest::ScreenFixture fixture({}, {{kPassword, "4|" + stored}});
        QVERIFY2(fixture.Start(), qPrintable(fixture.Error()));
        TFM_Admin2 screen;
        LISTS_READ(screen, 4, 1);
        edit(screen, "Ed_NPwd")->setText(typed);
        edit(screen, "Ed_CNP")->setText(typed);
        const int mark = fixture.Mark();
        click(screen, "OK");
        const Sets sets = fixture.SetsSince(mark);
        QCOMPARE(sets.value(2), login);
        QCOMPARE(sets.size(), 7); // the other writes still go out
        QCOMPARE(edit(screen, "Ed_Pwd")->text(), kept);
        QCOMPARE(screen.StatusBar()->currentMessage(), status);
        QCOMPARE(fixture.Sim().value(kPassword), "4x|" + simtest::hexOf(kept.toUtf8()));
    }

    void addRange_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<Boxes>("boxes");
        QTest::addColumn<Sets>("sets");
        QTest::addColumn<QStringList>("shown"); // the list afterwards
        const QStringList before = {"1 10.0.0.10 10.0.0.20", "2 10.0.0.50 10.0.0.60"};
        const Boxes bad = {{"Warning", kBadRange}};
        QTest::newRow("accepted into the first free row")
            << "10.0.0.30" << "10.0.0.40" << Boxes{}
            << Sets{set({kStart + "2|64|10.0.0.30", kEnd + "2|64|10.0.0.40", kDelete + "2|2|0"})}
            << QStringList{"1 10.0.0.10 10.0.0.20", "2 10.0.0.30 10.0.0.40", "3 10.0.0.50 10.0.0.60"};
        QTest::newRow("reversed") << "10.0.0.5" << "10.0.0.1" << bad << Sets{} << before;
        QTest::newRow("end inside the first range") << "10.0.0.1" << "10.0.0.10" << bad << Sets{} << before;
        QTest::newRow("start inside a range behind the free row")
            << "10.0.0.60" << "10.0.0.70" << bad << Sets{} << before;
        QTest::newRow("invalid start") << "10.0.0.255" << "10.0.0.70"
                                       << Boxes{{"Waring", "Please input valid IP address"}} << Sets{} << before;
        QTest::newRow("invalid end") << "10.0.0.30" << "" << Boxes{{"Waring", "Please input valid IP address"}}
                                     << Sets{} << before;
        // Passes the screen's checks; the device keeps its ranges apart and refuses it.
        QTest::newRow("enclosing a range: written, refused by the device")
            << "10.0.0.40" << "10.0.0.70" << Boxes{}
            << Sets{set({kStart + "2|64|10.0.0.40", kEnd + "2|64|10.0.0.70", kDelete + "2|2|0"},
                        "inconsistentValue")}
            << before;
    }
    void addRange()
    {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(Boxes, boxes);
        QFETCH(Sets, sets);
        QFETCH(QStringList, shown);
        screentest::ScreenFixture fixture({}, twoRanges());
        QVERIFY2(fixture.Start(), qPrintable(fixture.Error()));
        TFM_Admin2 screen;
        screen.show();
        LISTS_READ(screen, 4, 2);
        QSignalSpy status(screen.StatusBar(), &QStatusBar::messageChanged);
        const int mark = fixture.Mark();
        addRange(screen, from, to);
        QCOMPARE(fixture.Dialogs().Boxes(), boxes);
        if (!sets.isEmpty()) {
            const bool ok = sets.first().first() == "noError";
            QTRY_VERIFY_WITH_TIMEOUT(status.contains({ok ? "Set OK!" : "Setting Error!"}), 10000);
            QCOMPARE(edit(screen, "Ed_FromIP")->text().isEmpty(), ok);
            if (ok)
                LISTS_READ(screen, 4, shown.size());
        }
        QTest::qWait(100);
        QCOMPARE(fixture.SetsSince(mark), sets);
        QCOMPARE(rows(list(screen, "ListView_User")), shown);
    }

    // Four ranges in use, or three with no free row behind them: either way the list
    // is full and nothing is written.
    void listFull_data()
    {
        QTest::addColumn<simtest::Objects>("device");
        QTest::addColumn<int>("tableRows");
        QTest::addColumn<QString>("from");
        simtest::Objects four = twoRanges();
        four.insert({{kStart + "2", "64|10.0.0.30"}, {kEnd + "2", "64|10.0.0.40"},
                     {kStart + "4", "64|10.0.0.70"}, {kEnd + "4", "64|10.0.0.80"}});
        // Checked before any address: even an invalid one gets this answer.
        QTest::newRow("a fifth range") << four << 4 << "not an address";
        simtest::Objects three = four;
        for (const QString &column : {kRoot + ".4.10.1.3.1.1.", kStart, kEnd, kDelete})
            three.insert(column + "4", "");
        QTest::newRow("no free row left") << three << 3 << "10.0.0.90";
    }
    void listFull()
    {
        QFETCH(simtest::Objects, device);
        QFETCH(int, tableRows);
        QFETCH(QString, from);
        screentest::ScreenFixture fixture({}, device);
        QVERIFY2(fixture.Start(), qPrintable(fixture.Error()));
        TFM_Admin2 screen;
        LISTS_READ(screen, tableRows, tableRows);
        const int mark = fixture.Mark();
        addRange(screen, from, "10.0.0.95");
        QCOMPARE(fixture.Dialogs().Boxes(), Boxes({{"Waring", kListFull}}));
        QCOMPARE(edit(screen, "Ed_FromIP")->text(), QString());
        QCOMPARE(edit(screen, "Ed_ToIP")->text(), QString());
        QTest::qWait(100);
        QVERIFY(fixture.SetsSince(mark).isEmpty());
    }

    // The second shown range lives in row 3 of the device: only that row's delete
    // object is written, and the row is free afterwards.
    void deleteEndToEnd()
    {
        screentest::ScreenFixture fixture({}, twoRanges());
        QVERIFY2(fixture.Start(), qPrintable(fixture.Error()));
        TFM_Admin2 screen;
        screen.show();
        LISTS_READ(screen, 4, 2);
        QSignalSpy status(screen.StatusBar(), &QStatusBar::messageChanged);
        list(screen, "ListView_User")->topLevelItem(1)->setSelected(true);
        const int mark = fixture.Mark();
        click(screen, "Btn_Del");
        QTRY_VERIFY_WITH_TIMEOUT(status.contains({"Delete OK!"}), 10000);
        LISTS_READ(screen, 4, 1);
        QCOMPARE(fixture.SetsSince(mark), Sets({set({kDelete + "3|2|1"})}));
        QCOMPARE(rows(list(screen, "ListView_User")), QStringList({"1 10.0.0.10 10.0.0.20"}));
        QCOMPARE(fixture.Sim().value(kStart + "3"), QString("64|0.0.0.0"));
        QVERIFY(!child<QPushButton>(screen, "Btn_Del")->isEnabled());
        // The freed row takes the next range.
        addRange(screen, "10.0.0.30", "10.0.0.40");
        QTRY_VERIFY_WITH_TIMEOUT(status.contains({"Set OK!"}), 10000);
        QCOMPARE(fixture.SetsSince(mark).value(1).value(1), kStart + "2|64|10.0.0.30");
    }

    // The device's table as read no longer holds the picked range (here: its row is
    // gone from the hidden list after another row was picked there): nothing is sent.
    void deleteWithoutMatchingRowWritesNothing()
    {
        screentest::ScreenFixture fixture({}, twoRanges());
        QVERIFY2(fixture.Start(), qPrintable(fixture.Error()));
        TFM_Admin2 screen;
        LISTS_READ(screen, 4, 2);
        QTreeWidget *table = list(screen, "ListView_IpRange");
        table->topLevelItem(0)->setSelected(true);
        delete table->topLevelItem(2);
        list(screen, "ListView_User")->topLevelItem(1)->setSelected(true);
        const int mark = fixture.Mark();
        click(screen, "Btn_Del");
        QCOMPARE(screen.StatusBar()->currentMessage(), QString("Delete Error!"));
        QTest::qWait(200);
        QVERIFY(fixture.SetsSince(mark).isEmpty());
        QCOMPARE(fixture.Sim().value(kStart + "1"), QString("64|10.0.0.10"));
    }
};

QTEST_MAIN(TestTFMAdmin2)
#include "tst_tfm_admin2.moc"
