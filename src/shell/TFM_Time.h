// 'Tools \ Time and Date': the device's clock and how it keeps time: its zone, whether
// and when daylight saving applies, and where the time comes from, an NTP server or a
// date and time set by hand (picked from lists or copied from the PC's clock).
#pragma once

#include "KxScreen.h"

#include <QDateTime>

class KxSaveWait;
class QCheckBox;
class QComboBox;
class QFormLayout;
class QLabel;

class TFM_Time : public KxScreen {
    Q_OBJECT

public:
    explicit TFM_Time(QWidget *parent = nullptr);

    void CheckBox_NTPClick();      // the NTP rule
    void CB_TimeZoneChange();      // the zone rule
    void CheckBox_DaylightClick(); // the daylight rule
    void Btn_ConvertClick();       // '<<'
    void Btn_CopyClick();
    void Btn_ApplyClick();

    // Selects in the six manual lists the parts of `when`; a part no item bears leaves
    // its list with nothing selected.
    void FillManualLists(const QDateTime &when);
    // "mm/dd/yyyy hh:mm:ss" from the six lists.
    QString ManualText() const;
    // Whether Apply will set the device's clock by hand: only a time the user picked or
    // copied, never the lists as they stood when the window opened.
    bool ManualTimeChosen() const { return m_manualChosen; }

private:
    void BuildControls();
    void BuildDaylightDates(QFormLayout *form);
    void BuildManual();
    void BuildRequests();
    bool ManualDateValid();
    bool Write(KxSNMPRequest2Edits *request);
    bool Read(KxSNMPRequest2Edits *request);
    void ShowResult(const QString &text);

    QLabel *m_currentTime;
    QComboBox *m_zone;
    QCheckBox *m_daylight;
    QComboBox *m_offset;
    QList<QComboBox *> m_dates; // start month, week, day, time; end month, week, day, time
    QCheckBox *m_ntp;
    QLineEdit *m_server;
    QPushButton *m_convert;
    QComboBox *m_serverName;
    QWidget *m_manualGroup;
    QList<QComboBox *> m_manual; // year, month, day, hour, minute, second
    QPushButton *m_copy;
    QLineEdit *m_dateTime;
    QComboBox *m_apply;

    KxSNMPRequest2Edits *m_applyRequest = nullptr;
    KxSNMPRequest2Edits *m_timeRequest = nullptr;
    KxSNMPRequest2Edits *m_manualRequest = nullptr;
    KxSaveWait *m_wait = nullptr;
    bool m_filling = false;
    bool m_manualChosen = false;
};
