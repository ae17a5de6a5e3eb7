// The refresh, the rules that follow band and mode, and the save of the performance page.
#include "TFM_Performace.h"

#include "KxDialogs.h"
#include "KxSavedMarks.h"
#include "TFM_WirlessObjects.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

enum Mode { AccessPoint, WdsWithAp, Wds, WirelessClient }; // items of CB_ApMode
constexpr int kLegacy = 1;                                 // item of a wireless mode list

const QStringList kRates5 = {"54 Mb", "48 Mb", "36 Mb", "24 Mb", "18 Mb", "12 Mb", "9 Mb", "6 Mb"};
const QStringList kRates24Extra = {"11 Mb", "5.5 Mb", "2 Mb", "1 Mb"};
const QString kNOnly = QStringLiteral("802.11n Only");
// The device's own text for a rate it picks itself.
const QString kAuto = QStringLiteral("Auto");

// Strict enough for a range check: anything that is not a number counts as 0.
int number(const QLineEdit *field)
{
    return field->text().trimmed().toInt();
}

} // namespace

bool TFM_Performace::Band5() const
{
    return m_band->currentIndex() != 0;
}

int TFM_Performace::ApMode() const
{
    return m_apMode->currentIndex();
}

QComboBox *TFM_Performace::BandList() const
{
    return Band5() ? m_wMode2 : m_wMode1;
}

void TFM_Performace::Bt_Refresh_aClick()
{
    if (!m_performance)
        return;
    bool read = true;
    const auto step = [this, &read](KxSNMPRequest2Edits *r, bool needed) {
        bool ok = false;
        Guard([r, &ok] { ok = r->GetIntoControls(); });
        if (needed)
            read = read && ok;
    };
    step(m_countryRequest, false);
    step(m_authRequest, false);
    step(m_cipherRequest, false);
    step(m_performance, true);
    step(m_apModeRequest, true);
    step(m_widthRequest, false);
    step(m_bandRequest, true);
    bool modeRead = false;
    Guard([this, &modeRead] {
        ReadWifiMode();
        modeRead = m_wifiMode->GetIntoControls();
    });
    ModeChange(BandList());
    ArrangePerformance();
    m_read = read && modeRead;
    m_applyButton->setEnabled(m_read);
    // A failed read keeps its error in the status line.
    if (m_read)
        ShowStatus(QStringLiteral("Get OK!"));
}

void TFM_Performace::ReadWifiMode()
{
    const bool band5 = Band5();
    m_ackLabel->setText(band5 ? QStringLiteral("Ack Time Out (5GHz, 25~200)")
                              : QStringLiteral("Ack Time Out (2.4GHz, 48~200)"));
    m_wMode1->setVisible(!band5);
    m_wMode2->setVisible(band5);
    // Both lists whole again: the country rule may have cut them.
    WirlessObjects::WifiMode24()[0].OptionList->Fill(m_wMode1);
    WirlessObjects::WifiMode5()[0].OptionList->Fill(m_wMode2);
    m_wifiMode->UnbindVariable(0);
    m_wifiMode->VarList() =
        KxSNMPVarList(band5 ? WirlessObjects::WifiMode5() : WirlessObjects::WifiMode24(), KxItemType::Instance, 0);
    m_wifiMode->BindControl(0, BandList());
}

void TFM_Performace::CB_WMode1Change()
{
    ModeChange(m_wMode1);
}

void TFM_Performace::CB_WMode2Change()
{
    ModeChange(m_wMode2);
}

void TFM_Performace::ModeChange(QComboBox *list)
{
    if (list->currentIndex() < 0)
        list->setCurrentIndex(0);
    const bool legacy = list->currentIndex() == kLegacy;
    FillRateList(!legacy);
    if (legacy) {
        m_shortGi->setCurrentIndex(0);
        m_shortGi->setEnabled(false);
    } else {
        m_shortGi->setEnabled(true);
    }
    if (list != BandList())
        return;
    if (ApMode() == WirelessClient) {
        list->setEnabled(false);
        list->setCurrentIndex(0);
    } else if (legacy) {
        m_rate->setEnabled(true);
    } else {
        m_rate->setCurrentIndex(0);
        m_rate->setEnabled(false);
    }
}

void TFM_Performace::FillRateList(bool best300)
{
    m_rate->clear();
    m_rate->addItem(best300 ? QStringLiteral("Best(up to 300)") : QStringLiteral("Best(up to 54)"));
    m_rate->addItems(kRates5);
    if (!Band5())
        m_rate->addItems(kRates24Extra);
    if (best300) {
        m_rate->setCurrentIndex(0);
        m_rate->setEnabled(false);
        return;
    }
    m_rate->setEnabled(true);
    const QString device = m_dataRate->text().trimmed();
    if (device == kAuto || device == QLatin1String("Best(up to 300)") || device == QLatin1String("Best(up to 54)")) {
        m_rate->setCurrentIndex(0);
        return;
    }
    bool isNumber = false;
    const double rate = device.toDouble(&isNumber);
    m_rate->setCurrentIndex(isNumber ? m_rate->findText(QString::number(rate) + QStringLiteral(" Mb")) : -1);
}

void TFM_Performace::CB_GroupingChange()
{
    const bool limited = m_grouping->currentIndex() != 0;
    m_userLimit->setEnabled(limited);
    m_network->setEnabled(limited);
}

void TFM_Performace::ArrangePerformance()
{
    const int mode = ApMode();
    const bool client = mode == WirelessClient;
    for (QWidget *w : std::initializer_list<QWidget *>{BandList(), m_rate, m_beacon, m_dtim})
        w->setEnabled(!client);
    m_igmp->setEnabled(mode == AccessPoint || mode == WdsWithAp);
    m_grouping->setEnabled(mode == AccessPoint);
    if (mode == AccessPoint) {
        CB_GroupingChange();
    } else {
        m_userLimit->setEnabled(false);
        m_network->setEnabled(false);
    }
    ModeChange(BandList());
    if (client) {
        m_shortGi->setEnabled(false);
        m_shortGi->setCurrentIndex(m_width->currentIndex() == 0 ? 0 : 1);
    }
    CountryRule();
}

void TFM_Performace::CountryRule()
{
    const QString authentication = m_authentication->currentText();
    const bool wep = (authentication == QLatin1String("opensystem") || authentication == QLatin1String("sharedkey"))
                     && m_encryption->currentText() == QLatin1String("Enable");
    const bool tkip = authentication.contains(QLatin1String("wpa")) && m_cipher->currentText() == QLatin1String("tkip");
    if (m_country->text() != QLatin1String("JP") || !(wep || tkip))
        return;
    for (QComboBox *list : {m_wMode1, m_wMode2}) {
        const QString selected = list->currentText();
        const int at = list->findText(kNOnly);
        if (at >= 0)
            list->removeItem(at);
        const int again = list->findText(selected);
        list->setCurrentIndex(again >= 0 ? again : 0);
    }
}

bool TFM_Performace::RangeCheck(QLineEdit *field, int from, int to, const QString &text, bool emptyFails, bool focus)
{
    const int value = number(field);
    if (!(emptyFails && field->text().trimmed().isEmpty()) && value >= from && value <= to)
        return true;
    Dialogs().MessageBox(this, text, QStringLiteral("Error"));
    field->clear();
    if (focus)
        field->setFocus();
    return false;
}

bool TFM_Performace::Checks()
{
    if (ApMode() != WirelessClient) {
        if (!RangeCheck(m_beacon, 25, 500, QStringLiteral("Please input a number between 25 and 500."), true)
            || !RangeCheck(m_dtim, 1, 15, QStringLiteral("Please input a number between 1 and 15."), true)
            || !RangeCheck(m_userLimit, 0, 64, QStringLiteral("The range of 'User Limit' is from 0 to 64"), false,
                           true))
            return false;
    }
    return Band5() ? RangeCheck(m_ack, 25, 200, QStringLiteral("The Ack TimeOut value range is 25~200."), false)
                   : RangeCheck(m_ack, 48, 200, QStringLiteral("The Ack TimeOut value range is 48~200."), false);
}

void TFM_Performace::MarkForSave()
{
    KxSNMPVarList &list = m_performance->VarList();
    const auto mark = [&list](std::initializer_list<int> vars, unsigned access) {
        for (int v : vars)
            list[v].Access = access;
    };
    using namespace KxAccess;
    switch (ApMode()) {
    case AccessPoint:
        mark({RateList24}, Excluded);
        mark({UserLimit, Utilization}, m_grouping->currentIndex() == 0 ? Excluded : ReadWrite);
        break;
    case WdsWithAp:
    case Wds:
        mark({LoadBalance, UserLimit, RateList24, Utilization}, Excluded);
        break;
    default:
        mark({Beacon, Dtim, Igmp, DataRate, LoadBalance, UserLimit, RateList24, Utilization}, Excluded);
        m_wifiMode->VarList()[0].Access = Excluded;
        return;
    }
    // A fixed rate only in the legacy mode; the first item lets the device choose, which
    // it calls "Auto". No item picked (the device's rate is not one of the list): the
    // device keeps its rate.
    if (BandList()->currentIndex() != kLegacy || m_rate->currentIndex() < 0) {
        mark({DataRate}, Excluded);
        return;
    }
    mark({DataRate}, ReadWrite);
    m_dataRate->setText(m_rate->currentIndex() == 0 ? kAuto
                                                    : m_rate->currentText().section(QLatin1Char('M'), 0, 0).trimmed());
}

void TFM_Performace::Bt_Apply_aClick()
{
    if (!m_read || !Checks())
        return;
    KxSavedMarks marks({m_performance, m_wifiMode});
    MarkForSave();
    KxExcludeUnselected(m_performance);
    bool written = false, modeWritten = false;
    Guard([this, &written] { written = m_performance->SetFromControls(true, true); });
    if (ApMode() == WirelessClient)
        modeWritten = true; // the client keeps the mode it has: nothing to write
    else
        Guard([this, &modeWritten] { modeWritten = m_wifiMode->SetFromControls(true, true); });
    // Whatever the writes did, the screen is usable again.
    ClosePerfWait();
    ShowStatus(written && modeWritten ? QStringLiteral("Save OK!") : QStringLiteral("Set Error!"));
}
