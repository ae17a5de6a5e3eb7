// 'Status \ Log \ Log Setting' against the simulated device: what it reads, the checks
// of Apply, and what each Apply writes.
#include "KxScreenFixture.h"
#include "TLogSetForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>

using screentest::ScreenFixture;

namespace {

const QString kLog = QStringLiteral("1.3.6.1.4.1.32473.2.5.9.5.4");
const QString kMail = kLog + QStringLiteral(".11.1.1");
const QString kAccount = QStringLiteral("1.3.6.1.4.1.32473.2.5.9.4.9.5.0");
using Boxes = QList<QPair<QString, QString>>;

template <class T>
T *child(QWidget &w, const QString &name)
{
    return w.findChild<T *>(name);
}
QLineEdit *edit(QWidget &w, const QString &name) { return child<QLineEdit>(w, name); }

// Valid e-mail settings, so that a test changes only what it is about.
void fillMail(TLogSetForm &screen)
{
    child<QCheckBox>(screen, "CheckBox_EMNotifca")->setChecked(true);
    edit(screen, "Edt_FEail")->setText("ap@example.com");
    edit(screen, "Ed_TMail")->setText("admin@mail.example.net");
    edit(screen, "Ed_MailServerIp")->setText("192.168.0.9");
    edit(screen, "Ed_SntpPort")->setText("25");
    edit(screen, "Ed_Conpass")->setText(edit(screen, "Ed_Password")->text());
    edit(screen, "Ed_LogServerIp")->setText("192.168.0.100");
}

void apply(TLogSetForm &screen)
{
    child<QPushButton>(screen, "Bt_Apply")->click();
}

QString status(TLogSetForm &screen)
{
    return screen.StatusBar()->currentMessage();
}

} // namespace

class TestTLogSetForm : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<ScreenFixture> m_f;
    TLogSetForm *m_reference = nullptr;

    void deviceHas(const QStringList &varbinds) { QCOMPARE(m_f->Sim().set(varbinds).exitCode, 0); }

private slots:
    void initTestCase()
    {
        m_f = std::make_unique<ScreenFixture>();
        QVERIFY2(m_f->Start(), qPrintable(m_f->Error()));
    }
    void cleanupTestCase() { m_f.reset(); }
    void init()
    {
        m_f->Dialogs().Clear();
        // A mail account whose password is set, e-mail off, no log server.
        deviceHas({kMail + ".7.1", "s", "secret", kMail + ".2.1", "i", "0", kMail + ".5.1", "a", "0.0.0.0",
                   kLog + ".9.0", "a", "0.0.0.0", kMail + ".9.1", "s", "1.5", kAccount, "s", "admin"});
    }

    void openingShowsTheDevicesSettings()
    {
        deviceHas({kMail + ".2.1", "i", "1", kMail + ".3.1", "s", "ap@example.com", kMail + ".10.1", "i", "2525"});
        m_f->Open<TLogSetForm>(m_reference, [&](TLogSetForm &screen) {
            QCOMPARE(edit(screen, "Ed_LogServerIp")->text(), QString()); // 0.0.0.0 shown empty
            QCOMPARE(edit(screen, "Ed_MailServerIp")->text(), QString());
            QCOMPARE(edit(screen, "Ed_UserName")->text(), QString("admin")); // kept as read
            QCOMPARE(edit(screen, "Ed_Password")->text(), QString("******"));
            QCOMPARE(edit(screen, "Ed_Conpass")->text(), QString());
            QCOMPARE(edit(screen, "Edt_FEail")->text(), QString("ap@example.com"));
            QCOMPARE(edit(screen, "Ed_SntpPort")->text(), QString("2525"));
            QCOMPARE(child<QComboBox>(screen, "CB_Schedule")->currentText(), QString("1.5"));
            QVERIFY(child<QCheckBox>(screen, "CheckBox_System")->isChecked());
            QCOMPARE(child<QComboBox>(screen, "CB_Schedule")->count(), 49);
            QCOMPARE(child<QComboBox>(screen, "CB_Schedule")->itemText(1), QString("0.5"));
            QCOMPARE(child<QComboBox>(screen, "CB_Schedule")->itemText(48), QString("24"));
            QCOMPARE(edit(screen, "Ed_Password")->echoMode(), QLineEdit::Password);
            QCOMPARE(edit(screen, "Edt_FEail")->maxLength(), 64);
            QCOMPARE(edit(screen, "Ed_LogServerIp")->maxLength(), 15);
            QCOMPARE(edit(screen, "Ed_Conpass")->maxLength(), 12);
            QVERIFY(screentest::SavePicture(screen, "TLogSetForm"));
            QVERIFY(edit(screen, "Ed_TMail")->isEnabled());
            child<QCheckBox>(screen, "CheckBox_EMNotifca")->setChecked(false);
            for (const char *name : {"Ed_MailServerIp", "Edt_FEail", "Ed_TMail", "Ed_UserName", "Ed_Password",
                                     "Ed_Conpass", "Ed_SntpPort"})
                QVERIFY2(!edit(screen, name)->isEnabled(), name);
            QVERIFY(edit(screen, "Ed_LogServerIp")->isEnabled());
        });
    }

    // E-mail off: the settings, the e-mail status and the schedule, typed as free text.
    void mailOffWritesNoMailSettings()
    {
        const int mark = m_f->Mark();
        m_f->Open<TLogSetForm>(m_reference, [&](TLogSetForm &screen) {
            edit(screen, "Ed_LogServerIp")->setText("192.168.0.100");
            child<QCheckBox>(screen, "CheckBox_Notice")->setChecked(false);
            child<QComboBox>(screen, "CB_Schedule")->setCurrentText("7.25");
            apply(screen);
            QCOMPARE(status(screen), QString("Set Success!"));
        });
        QCOMPARE(m_f->SetsSince(mark), (QList<QStringList>{
            {"noError", kLog + ".1.0|2|1", kLog + ".2.0|2|1", kLog + ".3.0|2|0", kLog + ".9.0|64|192.168.0.100"},
            {"noError", kMail + ".2.1|2|0"},
            {"noError", kMail + ".9.1|4|7.25"},
        }));
        QVERIFY(m_f->Dialogs().Boxes().isEmpty());
    }

    // E-mail on: everything but a password still masked as the device handed it out;
    // the account name as read.
    void mailOnWritesTheMailSettings_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<QStringList>("passwordSet");
        QTest::newRow("masked password kept") << QString() << QStringList();
        QTest::newRow("new password") << "newpass1" << QStringList{kMail + ".7.1|4|newpass1"};
    }
    void mailOnWritesTheMailSettings()
    {
        QFETCH(QString, password);
        QFETCH(QStringList, passwordSet);
        const int mark = m_f->Mark();
        m_f->Open<TLogSetForm>(m_reference, [&](TLogSetForm &screen) {
            if (!password.isEmpty())
                edit(screen, "Ed_Password")->setText(password);
            fillMail(screen);
            apply(screen);
            QCOMPARE(status(screen), QString("Set Success!"));
            QCOMPARE(edit(screen, "Ed_Conpass")->text(), QString());
        });
        const QList<QStringList> sets = m_f->SetsSince(mark);
        QCOMPARE(sets.size(), 4);
        QStringList mail = {"noError", kMail + ".2.1|2|1", kMail + ".3.1|4|ap@example.com",
                            kMail + ".4.1|4|admin@mail.example.net", kMail + ".5.1|64|192.168.0.9"};
        mail << passwordSet << kMail + ".10.1|2|25";
        QCOMPARE(sets[1], mail);
        QCOMPARE(sets[2], (QStringList{"noError", kAccount + "|4|admin"}));
    }

    // Each check stops Apply before anything is written.
    void refusedBeforeAnyWrite_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("emptied");
        QTest::newRow("sender without a dot") << "Edt_FEail" << "a@b" << "Wrong SMTP Sender format!" << true;
        QTest::newRow("recipient without @") << "Ed_TMail" << "admin" << "Wrong SMTP Recipient format!" << true;
        QTest::newRow("no mail server") << "Ed_MailServerIp" << "" << "Please input valid IP Address." << true;
        QTest::newRow("mail server 0.0.0.0") << "Ed_MailServerIp" << "0.0.0.0" << "Please input valid IP Address." << true;
        QTest::newRow("confirm left empty")
            << "Ed_Conpass" << "" << "Please input the confirm new password correctly!" << false;
        QTest::newRow("port no number") << "Ed_SntpPort" << "abc" << "Please input a SMTP port from 1 to 65535." << false;
        QTest::newRow("port 0") << "Ed_SntpPort" << "0" << "Please input a SMTP port from 1 to 65535." << false;
        QTest::newRow("port 65536") << "Ed_SntpPort" << "65536" << "Please input a SMTP port from 1 to 65535." << false;
        QTest::newRow("no log server") << "Ed_LogServerIp" << "" << "Please input valid IP Address." << true;
    }
    void refusedBeforeAnyWrite()
    {
        QFETCH(QString, field);
        QFETCH(QString, value);
        QFETCH(QString, message);
        QFETCH(bool, emptied);
        const int mark = m_f->Mark();
        m_f->Open<TLogSetForm>(m_reference, [&](TLogSetForm &screen) {
            fillMail(screen);
            edit(screen, field)->setText(value);
            apply(screen);
            QCOMPARE(m_f->Dialogs().Boxes(), (Boxes{{"Warning", message}}));
            QCOMPARE(edit(screen, field)->text().isEmpty(), emptied || value.isEmpty());
            QCOMPARE(screen.focusWidget(), edit(screen, field));
            QCOMPARE(status(screen), QString());
        });
        QCOMPARE(m_f->SetsSince(mark).size(), 0);
    }

    void refusedWithMailOffToo()
    {
        const int mark = m_f->Mark();
        m_f->Open<TLogSetForm>(m_reference, [&](TLogSetForm &screen) {
            child<QCheckBox>(screen, "CheckBox_System")->setChecked(false);
            apply(screen);
            QCOMPARE(m_f->Dialogs().Boxes(), (Boxes{{"Warning", "Please input valid IP Address."}}));
        });
        QCOMPARE(m_f->SetsSince(mark).size(), 0);
    }

    void mailAddresses_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("plain") << "ap@example.com" << true;
        QTest::newRow("marks inside") << "a_b.c-d@mail-1.example.org" << true;
        QTest::newRow("no dot after @") << "a@b" << false;
        QTest::newRow("ends with a dot") << "a@b." << true;
        QTest::newRow("two dots in the local part") << "a..b@c.d" << false;
        QTest::newRow("local part begins with -") << "-a@b.c" << false;
        QTest::newRow("empty local part") << "@b.c" << false;
        QTest::newRow("empty first label") << "a@.c" << false;
        QTest::newRow("empty second label") << "a@b..c" << false;
        QTest::newRow("label ends with -") << "a@b-.c" << false;
        QTest::newRow("mark pair -.") << "a@b.c-.d" << false;
        QTest::newRow("other character") << "a b@c.d" << false;
        QTest::newRow("second @ in a label") << "a@b.c@d" << false;
        QTest::newRow("only two labels examined") << "a@b.c.!!" << true;
        QTest::newRow("non-ASCII letter") << "\u00e9@b.c" << false;
    }
    void mailAddresses()
    {
        QFETCH(QString, address);
        QFETCH(bool, accepted);
        m_f->Open<TLogSetForm>(m_reference, [&](TLogSetForm &screen) {
            QLineEdit *to = edit(screen, "Ed_TMail");
            to->setText(address);
            QCOMPARE(screen.CheckMailAddress(to, false), accepted);
            QCOMPARE(to->text(), accepted ? address : QString());
            QCOMPARE(m_f->Dialogs().Boxes().size(), accepted ? 0 : 1);
        });
    }
};

QTEST_MAIN(TestTLogSetForm)
#include "tst_tlogsetform.moc"
