// Every screen the main window opens, as assistive technology and the keyboard meet it:
// each shown control named by its caption, a tab order that reads the screen from top
// to bottom, Escape closing it and Enter pressing the focused button; the menu's
// mnemonics; the lamps describing their state.
#include "KxAccessible.h"
#include "KxDialogs.h"
#include "KxFrontPanel.h"
#include "KxSession.h"
#include "SimFixture.h"
#include "TMainForm.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSet>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTreeWidget>
#include <QUdpSocket>
#include <QVBoxLayout>

namespace {

// What a user operates; a list's header, the edit of a combo box and an untitled frame
// are parts or decoration.
bool isControl(const QWidget *w)
{
    const QWidget *parent = w->parentWidget();
    if (parent && (qobject_cast<const QComboBox *>(parent) || qobject_cast<const QAbstractSpinBox *>(parent)
                   || qobject_cast<const QAbstractItemView *>(parent)))
        return false;
    if (const auto *box = qobject_cast<const QGroupBox *>(w))
        return !box->title().isEmpty();
    return qobject_cast<const QAbstractButton *>(w) || qobject_cast<const QComboBox *>(w)
           || qobject_cast<const QLineEdit *>(w) || qobject_cast<const QAbstractSpinBox *>(w)
           || qobject_cast<const QAbstractItemView *>(w) || qobject_cast<const QTextEdit *>(w)
           || qobject_cast<const QPlainTextEdit *>(w) || qobject_cast<const QGroupBox *>(w);
}

QString describe(const QWidget *w)
{
    return QStringLiteral("%1 %2").arg(QLatin1String(w->metaObject()->className()), w->objectName());
}

// The shown controls without a name.
QStringList unnamed(QWidget *window)
{
    QStringList out;
    for (QWidget *w : window->findChildren<QWidget *>()) {
        if (w->window() == window && w->isVisibleTo(window) && isControl(w) && w->accessibleName().isEmpty())
            out << describe(w);
    }
    return out;
}

// Shown lists with a column that has no heading: a screen reader names cells by them.
QStringList unheaded(QWidget *window)
{
    QStringList out;
    for (QTreeView *view : window->findChildren<QTreeView *>()) {
        if (!view->isVisibleTo(window) || !view->model())
            continue;
        for (int c = 0; c < view->model()->columnCount(); ++c) {
            if (!view->isColumnHidden(c) && view->model()->headerData(c, Qt::Horizontal).toString().trimmed().isEmpty())
                out << describe(view) + " column " + QString::number(c);
        }
    }
    return out;
}

// The focus chain's shown controls, from the first.
QList<QWidget *> tabOrder(QWidget *window)
{
    QList<QWidget *> order;
    for (QWidget *w = window->nextInFocusChain(); w && w != window; w = w->nextInFocusChain()) {
        if (w->window() == window && w->isVisibleTo(window) && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus)
            && !order.contains(w))
            order << w;
    }
    return order;
}

QWidget *groupOf(QWidget *w)
{
    for (QWidget *up = w->parentWidget(); up; up = up->parentWidget()) {
        if (qobject_cast<QGroupBox *>(up) || up->isWindow())
            return up;
    }
    return nullptr;
}

// Steps of the tab order that go back up within one group: the next control lies
// wholly above the previous one and not beside it to the right.
QStringList backwardSteps(QWidget *window)
{
    QStringList out;
    const QList<QWidget *> order = tabOrder(window);
    for (qsizetype i = 1; i < order.size(); ++i) {
        QWidget *a = order[i - 1];
        QWidget *b = order[i];
        if (groupOf(a) != groupOf(b))
            continue;
        const QRect ra(a->mapTo(window, QPoint(0, 0)), a->size());
        const QRect rb(b->mapTo(window, QPoint(0, 0)), b->size());
        if (rb.bottom() < ra.top() && rb.left() < ra.right())
            out << describe(a) + " -> " + describe(b);
    }
    return out;
}

KxLamp *lamp(QWidget &w, const char *name)
{
    return w.findChild<KxLamp *>(QLatin1String(name));
}

} // namespace

namespace {
// The menu entries that open a screen, in menu order.
QStringList screenEntries()
{
    return {"Information", "Wireless", "LAN", "Performance", "Wireless MAC ACL", "WLAN Partition",
            "Multi-SSID", "DHCP Server", "Intrusion", "Scheduling", "Qos Setting", "Vlan Setting",
            "AP Array", "Internal RADIUS Server", "Traffic Control", "Admin", "System", "Firmware",
            "Time and Date", "Configuration File", "Device Info", "Client Infomation",
            "WDS Information", "Ethernet", "WLAN", "View Log", "Log Settings", "About"};
}

} // namespace

class TestAccessibility : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    simtest::Simulator m_sim;
    std::unique_ptr<KxScriptedDialogsScope> m_dialogs;

    void pointAt(quint16 port)
    {
        GlobalDevice.address = "127.0.0.1";
        GlobalDevice.port = port;
        GlobalSecurity = KxSNMPSecurity();
        GlobalSecurity.version = 1;
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(m_sim.start(), qPrintable(m_sim.error()));
        OpenGlobalSession(m_dir.path());
    }
    void cleanupTestCase() { QVERIFY2(m_sim.stop(), qPrintable(m_sim.error())); }
    void init()
    {
        m_dialogs = std::make_unique<KxScriptedDialogsScope>();
        pointAt(m_sim.port());
    }
    void cleanup() { m_dialogs.reset(); }

    void captionsAsNames_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("name");
        QTest::newRow("colon") << "System Name:" << "System Name";
        QTest::newRow("mnemonic") << "&Refresh" << "Refresh";
        QTest::newRow("literal ampersand") << "Save && Apply" << "Save & Apply";
        QTest::newRow("blanks") << "  Lease  Time : " << "Lease Time";
        QTest::newRow("colon inside") << "Time (hh:mm)" << "Time (hh:mm)";
        QTest::newRow("empty") << "" << "";
    }
    void captionsAsNames()
    {
        QFETCH(QString, caption);
        QFETCH(QString, name);
        QCOMPARE(KxCaptionText(caption), name);
    }

    // The places a caption can stand; a name given before stays.
    void captionsFound()
    {
        QWidget window;
        auto *form = new QFormLayout(&window);
        auto *plain = new QLineEdit;
        form->addRow(QStringLiteral("Lease Time:"), plain);
        auto *unitRow = new QHBoxLayout;
        auto *withUnit = new QLineEdit;
        unitRow->addWidget(withUnit);
        unitRow->addWidget(new QLabel(QStringLiteral("seconds")));
        form->addRow(QStringLiteral("Interval:"), unitRow);
        auto *buddy = new QLabel(QStringLiteral("&Gateway"), &window);
        auto *buddied = new QLineEdit(&window);
        buddy->setBuddy(buddied);
        form->addRow(buddy, buddied);
        auto *row = new QHBoxLayout;
        row->addWidget(new QLabel(QStringLiteral("From:")));
        auto *from = new QComboBox;
        row->addWidget(from);
        form->addRow(row);
        auto *box = new QGroupBox(QStringLiteral("Client List"));
        auto *list = new QTreeWidget;
        (new QVBoxLayout(box))->addWidget(list);
        form->addRow(box);
        auto *check = new QCheckBox(QStringLiteral("&Enable"));
        form->addRow(check);
        auto *named = new QLineEdit;
        named->setAccessibleName(QStringLiteral("Given"));
        form->addRow(QStringLiteral("Caption:"), named);

        KxNameControls(&window);
        QCOMPARE(plain->accessibleName(), QString("Lease Time"));
        QCOMPARE(withUnit->accessibleName(), QString("Interval"));
        QCOMPARE(buddied->accessibleName(), QString("Gateway"));
        QCOMPARE(from->accessibleName(), QString("From"));
        QCOMPARE(list->accessibleName(), QString("Client List"));
        QCOMPARE(box->accessibleName(), QString("Client List"));
        QCOMPARE(check->accessibleName(), QString("Enable"));
        QCOMPARE(named->accessibleName(), QString("Given"));
    }

    void everyScreen_data()
    {
        QTest::addColumn<QString>("entry");
        for (const QString &entry : screenEntries())
            QTest::newRow(qPrintable(entry)) << entry;
    }
    // Every menu entry that opens a screen is in the list above: a screen added later is
    // checked without anyone remembering to name it here.
    void everyEntryIsChecked()
    {
        TMainForm form;
        const QStringList commands{"Save and Activate", "Discard Changes"};
        QStringList entries;
        for (QAction *action : form.menuBar()->findChildren<QAction *>()) {
            // A hidden entry reads as disabled, yet its screen is there (Qos Setting).
            const bool built = action->isEnabled() || !action->isVisible();
            if (!action->objectName().isEmpty() && !action->menu() && built
                && !commands.contains(action->objectName()))
                entries << action->objectName();
        }
        entries.sort();
        QStringList listed = screenEntries();
        listed.sort();
        QCOMPARE(entries.join(", "), listed.join(", "));
    }
    void everyScreen()
    {
        QFETCH(QString, entry);
        TMainForm form;
        QAction *action = form.findChild<QAction *>(entry);
        QVERIFY(action);
        bool opened = false;
        m_dialogs->ModalHandler = [&](QDialog *window) {
            if (window->parentWidget() != &form)
                return int(QDialog::Rejected); // a window the screen opens itself
            opened = true;
            window->show();
            [&] {
                QVERIFY(QTest::qWaitForWindowExposed(window));
                const QStringList missing = unnamed(window);
                QVERIFY2(missing.isEmpty(), qPrintable(missing.join(", ")));
                const QStringList headless = unheaded(window);
                QVERIFY2(headless.isEmpty(), qPrintable(headless.join(", ")));
                QVERIFY2(!tabOrder(window).isEmpty(), "nothing takes the focus");
                const QStringList back = backwardSteps(window);
                QVERIFY2(back.isEmpty(), qPrintable(back.join(", ")));
                // Escape closes it; a screen that waits for a read still on its way
                // stays until the read is in, and closes on Escape after.
                QSignalSpy rejected(window, &QDialog::rejected);
                QElapsedTimer clock;
                clock.start();
                while (rejected.isEmpty() && clock.elapsed() < 10000) {
                    QTest::keyClick(window, Qt::Key_Escape);
                    QTest::qWait(100);
                }
                QCOMPARE(rejected.count(), 1);
            }();
            window->hide();
            return int(QDialog::Rejected);
        };
        action->trigger();
        QVERIFY(opened);
    }

    // Enter on a focused button presses it; in a field it presses nothing.
    void enterPressesTheFocusedButton()
    {
        TMainForm form;
        QString status;
        int written = -1;
        m_dialogs->ModalHandler = [&](QDialog *window) {
            window->show();
            [&] {
                QVERIFY(QTest::qWaitForWindowExposed(window));
                auto *bar = window->findChild<QStatusBar *>("StatusBar");
                QTRY_VERIFY(bar->currentMessage().startsWith("Get: "));
                const int before = int(m_sim.journalLines().size());
                auto *name = window->findChild<QLineEdit *>("Ed_SN");
                name->setFocus();
                QTest::keyClick(name, Qt::Key_Return);
                QTest::qWait(300);
                written = int(m_sim.journalLines().size()) - before;
                auto *refresh = window->findChild<QPushButton *>("Btn_Re");
                refresh->setFocus();
                QTest::keyClick(refresh, Qt::Key_Return);
                status = bar->currentMessage();
            }();
            window->hide();
            return int(QDialog::Rejected);
        };
        form.findChild<QAction *>("Information")->trigger();
        QCOMPARE(written, 0);
        QCOMPARE(status, QString("Get OK!"));
    }

    void menuMnemonics()
    {
        TMainForm form;
        QList<QMenu *> menus;
        for (QAction *a : form.menuBar()->actions())
            menus << a->menu();
        for (QMenu *m : form.findChildren<QMenu *>())
            if (!menus.contains(m))
                menus << m;
        QList<QList<QAction *>> levels{form.menuBar()->actions()};
        for (QMenu *m : menus)
            levels << m->actions();
        for (const QList<QAction *> &level : levels) {
            QSet<QChar> seen;
            for (QAction *a : level) {
                const QString text = a->text();
                const qsizetype at = text.indexOf(QLatin1Char('&'));
                QVERIFY2(at >= 0 && at + 1 < text.size(), qPrintable(text));
                QVERIFY2(text.indexOf(QLatin1Char('&'), at + 1) < 0, qPrintable(text));
                const QChar key = text[at + 1].toLower();
                QVERIFY2(!seen.contains(key), qPrintable(text));
                seen.insert(key);
            }
        }
        // The entries are still found by their plain names.
        QCOMPARE(form.findChild<QAction *>("Information")->text(), QString("&Information"));
    }

    void lampsTellTheirState()
    {
        TMainForm form;
        const QStringList names = {"LED_Power", "LED_5GLan", "LED_24GLan", "LED_APstatus"};
        const QStringList captions = {"PWR", "5G", "2.4G", "AP"};
        for (int i = 0; i < names.size(); ++i) {
            QCOMPARE(lamp(form, qPrintable(names[i]))->accessibleName(), captions[i]);
            QCOMPARE(lamp(form, qPrintable(names[i]))->accessibleDescription(), captions[i] + ": off");
        }
        form.StartRequests();
        QTRY_VERIFY_WITH_TIMEOUT(form.LampsLit(), 10000);
        QTRY_COMPARE(form.BandItem(), 0);
        QCOMPARE(lamp(form, "LED_Power")->accessibleDescription(), QString("PWR: on"));
        QCOMPARE(lamp(form, "LED_APstatus")->accessibleDescription(), QString("AP: on"));
        // Blinking: on through both of its colours.
        QStringList seen;
        for (int i = 0; i < 2; ++i) {
            form.BlinkStep();
            seen << lamp(form, "LED_24GLan")->accessibleDescription();
        }
        QCOMPARE(seen, QStringList({"2.4G: on", "2.4G: on"}));
        QCOMPARE(lamp(form, "LED_5GLan")->accessibleDescription(), QString("5G: off"));
    }

    void lampsOffWhenTheDeviceIsSilent()
    {
        QUdpSocket nobody;
        QVERIFY(nobody.bind(QHostAddress::LocalHost, 0));
        pointAt(nobody.localPort());
        TMainForm form;
        form.PollTimeout = 20;
        form.StartRequests();
        QTRY_COMPARE_WITH_TIMEOUT(lamp(form, "LED_Power")->color(), KxLamp::Dark, 5000);
        for (const char *name : {"LED_Power", "LED_5GLan", "LED_24GLan", "LED_APstatus"})
            QVERIFY2(lamp(form, name)->accessibleDescription().endsWith(": off"), name);
    }
};

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
