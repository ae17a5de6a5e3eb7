#pragma once
// 'Home \ Wireless' opened against the simulated device, with the object names and
// the small helpers its tests share.

#include "KxScreenFixture.h"
#include "TFM_Wirless.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTreeWidget>

#include <memory>

namespace wirlesstest {

inline const QString R = QStringLiteral("1.3.6.1.4.1.32473.2.5.9");
inline const QString kRadio = R + ".2.1.3.3.1.1.1";
inline const QString kMode = kRadio + ".28.1";
inline const QString kBand = kRadio + ".34.1";
inline const QString kChannel = kRadio + ".3.1";
inline const QString kCountry = kRadio + ".39.1";
inline const QString kApplication = kRadio + ".40.1";
inline const QString kWifiMode = kRadio + ".16.1";
inline const QString kPeers = R + ".2.1.3.3.1.2.1.1";
inline const QString kPeerAdd = R + ".2.1.3.3.1.2.2.1.1.1";
inline const QString kPeerDeleteAll = R + ".2.1.3.3.1.2.2.1.3.1";
inline const QString kWdsRefresh = R + ".2.1.3.3.1.4.1.1.1.1";
inline const QString kClone = R + ".2.1.3.3.6.1.1";
inline const QString kSec = R + ".2.1.3.3.2.1.1";
inline const QString kWep = R + ".2.1.3.3.2.2.1";
inline const QString kMssid = R + ".3.3.1.1.1.1";
inline const QString kApply = R + ".4.2.3.0";
inline const QString kVlan = R + ".3.6.1.1.0";

inline simtest::Objects peers(const QStringList &macs)
{
    simtest::Objects o;
    for (int i = 0; i < macs.size(); ++i) {
        const QString row = ".1." + QString::number(i + 1);
        o[kPeers + ".1" + row] = "2|" + QString::number(i + 1);
        o[kPeers + ".2" + row] = "4x|" + macs[i];
    }
    return o;
}

inline simtest::Objects with(simtest::Objects o, const simtest::Objects &more)
{
    o.insert(more);
    return o;
}

inline QStringList items(const QComboBox *box)
{
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out << box->itemText(i);
    return out;
}

struct Wireless {
    explicit Wireless(simtest::Objects changes = {}) : fixture({}, std::move(changes)) {}
    bool start()
    {
        if (!fixture.Start())
            return false;
        open();
        return true;
    }
    void open()
    {
        screen = std::make_unique<TFM_Wirless>(&fixture.Host());
        screen->show();
        settle();
    }
    // Lets the asynchronous reads of a load arrive.
    void settle() { QTest::qWait(300); }
    template <class T = QWidget>
    T *w(const char *name) const
    {
        T *found = screen->findChild<T *>(QLatin1String(name));
        if (!found)
            qWarning("no control named %s", name);
        return found;
    }
    QStringList shownSections() const
    {
        QStringList out;
        for (const char *s : {"GB_Wds", "GB_SiteSurvey", "GB_MacClone"})
            if (!w(s)->isHidden())
                out << s;
        return out;
    }
    QLineEdit *peer(int field) const
    {
        return w<QLineEdit>(qPrintable(QStringLiteral("Ed_ReMAddra%1").arg(field - 1)));
    }
    void pickMode(const QString &text)
    {
        auto *mode = w<QComboBox>("CB_APMode");
        mode->setCurrentIndex(mode->findText(text));
        screen->CB_APModeChange();
    }
    QStringList dialogs()
    {
        QStringList out;
        for (const auto &box : fixture.Dialogs().Boxes())
            out << box.first + ": " + box.second;
        return out;
    }
    bool waitSurvey()
    {
        for (int i = 0; i < 200 && screen->Surveying(); ++i)
            QTest::qWait(20);
        return !screen->Surveying();
    }
    QStringList buttonsEnabled() const
    {
        QStringList out;
        for (const char *b : {"SiteScan", "Bt_Apply", "Bt_Refresh", "Bt_Close"})
            if (w<QPushButton>(b)->isEnabled())
                out << b;
        return out;
    }

    // Drives controls by name: "Name=text" types into an edit, "Name#n" picks item n of a
    // list as the user does (its handler runs).
    void act(const QStringList &steps)
    {
        for (const QString &step : steps) {
            const int eq = step.indexOf('='), hash = step.indexOf('#');
            if (eq > 0 && (hash < 0 || eq < hash)) {
                w<QLineEdit>(qPrintable(step.left(eq)))->setText(step.mid(eq + 1));
            } else {
                auto *box = w<QComboBox>(qPrintable(step.left(hash)));
                const int item = step.mid(hash + 1).toInt();
                box->setCurrentIndex(item);
                emit box->activated(item);
            }
        }
    }
    QString status() const { return screen->StatusBar()->currentMessage(); }

    screentest::ScreenFixture fixture;
    std::unique_ptr<TFM_Wirless> screen;
};


// A SET PDU named after the request that sends it, from its first varbind's OID.
inline QString requestOf(const QStringList &pdu)
{
    const QString oid = pdu.value(1).section('|', 0, 0);
    const QString sec = kSec + ".";
    if (oid.startsWith(sec)) {
        const int column = oid.mid(sec.size()).section('.', 0, 0).toInt();
        return column <= 3 ? "A" : column <= 6 ? "P" : "D";
    }
    const std::pair<QString, const char *> prefixes[] = {
        {kRadio + ".40.1", "App"}, {kRadio + ".", "R"},   {kWep + ".", "K"},        {kPeerDeleteAll, "X"},
        {kPeerAdd, "M"},           {kApply, "Y"},         {kClone + ".1.1", "CS"},   {kClone + ".", "CR"},
        {kMssid, "MS"},
    };
    for (const auto &[prefix, name] : prefixes)
        if (oid.startsWith(prefix))
            return name;
    return oid;
}

// The requests of a save in their order, each with its status unless noError.
inline QStringList requestsOf(const QList<QStringList> &sets)
{
    QStringList out;
    for (const QStringList &pdu : sets)
        out << requestOf(pdu) + (pdu.value(0) == "noError" ? QString() : " " + pdu.value(0));
    return out;
}

} // namespace wirlesstest
