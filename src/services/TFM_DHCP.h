// 'Advanced \ DHCP Server': whether the device's DHCP server runs, its dynamic pool, its
// table of static (reserved) addresses, and the leases it holds now.
#pragma once

#include "KxEntryTable.h"
#include "KxScreen.h"

#include <memory>

class New_req2Edit;
class QComboBox;
class QLabel;
class QTabWidget;

class TFM_DHCP : public KxScreen {
    Q_OBJECT

public:
    explicit TFM_DHCP(QWidget *parent = nullptr);
    ~TFM_DHCP() override;

    void Bt_ApplyClick();   // dynamic tab, Save
    void Btn_AddClick();    // static tab, Save
    void Btn_DelClick();
    void Bt_RefreshDynamicPoolClick();
    void Bt_RefreshStaticPoolClick();
    void CB_Fuction1Change();
    void CB_Fuction2Change();

    // From opening, and from a successful static write, until the static table is read.
    bool StaticReadPending() const { return m_pending; }
    // A listed entry is selected for editing (otherwise a Save adds).
    bool Editing() const { return m_editing; }
    // The static table's row a Save writes; empty when the table has no free row.
    QString CurrentStaticRow() const { return m_table ? m_table->Current() : QString(); }

protected:
    void reject() override;

private:
    struct Dynamic;
    struct Static;
    struct Current;

    // Layout (TFM_DHCPForm.cpp).
    void BuildTabs();
    QWidget *BuildDynamicTab();
    QWidget *BuildStaticTab();
    QWidget *BuildCurrentTab();

    // Opening and the rules of both tabs.
    void Open();
    void BuildCurrentRequests();
    void ApplyRules();
    void ShowRange();
    bool PoolInputValid();
    bool Write(KxSNMPRequest2Edits *request, QStatusBar *errors);
    void ReadCurrent(New_req2Edit *request);
    void CurrentRead(New_req2Edit *request, const KxSNMPError &error);
    void RefreshDone(New_req2Edit *request, const KxSNMPError &error);

    // The static tab (TFM_DHCPStatic.cpp).
    void StaticRead(const KxSNMPError &error);
    void StaticWritten(const KxSNMPError &error);
    void User_ListViewSelect();
    void MakeFreeRowCurrent();
    bool StaticInputValid();
    void SetStaticEntryEnabled(bool enabled);
    void SetStaticListsEnabled(bool enabled);

    std::unique_ptr<Dynamic> m_dyn;
    std::unique_ptr<Static> m_st;
    std::unique_ptr<Current> m_cur;
    QTabWidget *m_tabs = nullptr;
    QComboBox *m_apMode = nullptr;
    QLineEdit *m_apAddress = nullptr;
    QComboBox *m_dnStatus = nullptr;
    KxSNMPRequest2Edits *m_serverRequest = nullptr;
    KxSNMPRequest2Edits *m_staticControlRequest = nullptr;
    KxSNMPRequest2Edits *m_poolRequest = nullptr;
    KxSNMPRequest2Edits *m_staticRequest = nullptr;
    KxSNMPRequest2Edits *m_deleteRequest = nullptr;
    std::unique_ptr<KxEntryTable> m_table;
    bool m_pending = true;
    bool m_editing = false;
};
