// 'Advanced \ VLAN Settings': the device's 802.1Q VLANs, the membership of each of its
// 18 logical ports in them (untagged, tagged or none), and each port's VLAN ID.
#pragma once

#include "KxEntryTable.h"
#include "KxSaveWait.h"
#include "KxScreen.h"

#include <memory>

class TFM_VlanSetting : public KxScreen {
    Q_OBJECT

public:
    enum EditState { Initial, Adding, Selected, Full };
    enum Tab { VlanListTab, PortListTab, AddEditTab, PvidTab };

    explicit TFM_VlanSetting(QWidget *parent = nullptr);
    ~TFM_VlanSetting() override;

    void CB_VlanStatusChange();
    void CB_PvidAutoStatusChange();
    void Btn_SaveClick();
    void Btn_VlanEditClick();
    void Btn_VlanDeleteClick();
    void AddButtonClick();
    void Btn_VlanApplyClick();
    void Btn_PvidApplyClick();

    EditState State() const { return m_state; }
    bool AddOrEdit() const { return m_addOrEdit; }
    // The VLAN table's row a write goes to; empty when none is current.
    QString CurrentRow() const { return m_table ? m_table->Current() : QString(); }

private:
    struct Controls;
    enum Choice { Untag, Tag, NotMember };

    // Layout (TFM_VlanSettingForm.cpp).
    void BuildForm();
    QWidget *BuildListTab();
    QWidget *BuildPortTab();
    QWidget *BuildEditTab();
    QWidget *BuildPvidTab();
    void Connect();

    // Reading, and the rules (TFM_VlanSetting.cpp).
    void Open();
    void BuildVlanRequest();
    void BuildPortRows();
    void StatusRule(bool warn);
    void ChooseAddRow();
    void PvidRule();
    void VlanListRead(const KxSNMPError &error);
    void PortListRead(const KxSNMPError &error);
    void RefreshPortList();
    void LV_VlanListUserSelect();
    void TabChange(int tab);
    void SetChoices(int first, int count, Choice choice);
    void ClearEntry();

    // Writing (TFM_VlanSettingWrite.cpp).
    bool Write(KxSNMPRequest2Edits *request);
    void WriteVlanRow(const std::function<bool(int variable)> &sent);
    void VlanWritten(const KxSNMPError &error);
    void RestoreMarks();
    bool PvidsValid();
    void ShowPvidsInPortList();

    std::unique_ptr<Controls> m_c;
    KxSNMPRequest2Edits *m_apModeRequest = nullptr;
    KxSNMPRequest2Edits *m_applyRequest = nullptr;
    KxSNMPRequest2Edits *m_statusRequest = nullptr;
    KxSNMPRequest2Edits *m_pvidAutoRequest = nullptr;
    KxSNMPRequest2Edits *m_pvidRequest = nullptr;
    KxSNMPRequest2Edits *m_ssidRequest = nullptr;
    KxSNMPRequest2Edits *m_portRefreshRequest = nullptr;
    KxSNMPRequest2Edits *m_portListRequest = nullptr;
    KxSNMPRequest2Edits *m_vlanRequest = nullptr;
    std::unique_ptr<KxEntryTable> m_table;
    std::vector<unsigned> m_marks; // the VLAN list's access marks while a write changes them
    KxSaveWait m_wait;
    EditState m_state = Initial;
    bool m_addOrEdit = false;
};
