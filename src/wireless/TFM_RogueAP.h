// 'Advanced \ Wireless Intrusion Protection': the access point scans for other access
// points, which the device keeps classified as new, valid, neighborhood or rogue; the
// user reclassifies the ones checked and picks what the device does with new ones.
#pragma once

#include "KxSaveWait.h"
#include "KxScreen.h"

#include <array>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

class TFM_RogueAP : public KxScreen {
    Q_OBJECT

public:
    explicit TFM_RogueAP(QWidget *parent = nullptr);
    ~TFM_RogueAP() override;

    // The classes, in the order of their buttons.
    enum Class { Valid, Neighbor, Rogue, New };

    void Bt_DetectClick();
    void SetAsClick(Class target);
    void Bt_ApplyClick();
    void CB_OperatorTypeChange();
    void CheckBox_SelectAllClick();
    void RB_MarkAllValidClick();
    void RB_MarkAllRogueClick();

    // The survey index of the first device row with this BSSID; empty when none.
    QString IndexOfBssid(const QString &bssid) const;
    bool Busy() const { return m_busy; }
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void BuildForm();
    void CreateRequests();
    void SetBusy(const QString &waitLine);
    void SetIdle();
    void Rescan();
    void RefreshDone(const KxSNMPError &error);
    void ListDone(const KxSNMPError &error);
    void FillApList(const QString &filter);
    QString Filter() const;
    bool AnyChecked() const;
    // Every checked row into the class; false when a write failed.
    bool MoveChecked(Class target);

    QComboBox *m_filter, *m_refresh;
    QTreeWidget *m_list, *m_deviceList;
    QCheckBox *m_selectAll, *m_markValid, *m_markRogue;
    QPushButton *m_detect, *m_apply;
    std::array<QPushButton *, 4> m_setAs{};
    QRadioButton *m_rbValid, *m_rbRogue;
    std::array<QLineEdit *, 4> m_classEdits{};
    KxSNMPRequest2Edits *m_refreshRequest = nullptr, *m_listRequest = nullptr, *m_autoMark = nullptr;
    std::array<KxSNMPRequest2Edits *, 4> m_classRequests{};
    KxSaveWait m_wait;
    bool m_busy = false;
    // A reclassification the device refused since the last scan: the scan's end says so.
    bool m_classFailed = false;
};
