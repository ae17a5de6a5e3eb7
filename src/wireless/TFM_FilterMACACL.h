// 'Advanced \ Wireless MAC ACL': which stations the access point admits or refuses. The
// device edits its list itself, one address per write of its "add" or "delete" object;
// the window then reads the list again.
#pragma once

#include "KxGather.h"
#include "KxScreen.h"

#include <memory>

class New_req2Edit;
class QComboBox;
class QLabel;
class QPushButton;
class QTreeWidget;

// True when `typed` names the same address as `listed`: texts of equal length, letters
// in either case.
bool SameMac(const QString &typed, const QString &listed);

class TFM_FilterMACACL : public KxScreen {
    Q_OBJECT

public:
    explicit TFM_FilterMACACL(QWidget *parent = nullptr);
    ~TFM_FilterMACACL() override;

    void CB_AccessControlChange();
    void LV_ClientUserClick();
    void Btn_AddClick(); // add the typed address
    void Bt_AddClick();  // add the picked client's address
    void Bt_DelClick();
    void Bt_ApplyClick(); // Save

    // The list shown is the one the device confirmed: closing is possible.
    bool AclIdle() const { return m_idle; }

    void done(int result) override;

private:
    void BuildControls();
    void BuildRequests();
    void BuildAclClientList();
    // Reads the device's list into both list views; a list read while one of its walks
    // is still running waits for that walk and follows it.
    void ReadLists();
    void ReadList(int list);
    void ListRead(int list, const KxSNMPError &error);
    // A change was written (or failed); `blocking` when it was one that holds the window.
    void Changed(const KxSNMPError &error, bool blocking);
    void Write(KxSNMPRequest2Edits *request);
    // AclIdle again once no blocking change is on its way and the lists are complete.
    void Settle();
    void Hold();

    QComboBox *m_band;
    QComboBox *m_accessControl;
    QLineEdit *m_macAdd;
    QPushButton *m_addTyped;
    QTreeWidget *m_userList;
    QPushButton *m_delete;
    QTreeWidget *m_clientUsers;
    QPushButton *m_addClient;
    QPushButton *m_save;
    QComboBox *m_apMode;
    QComboBox *m_getInfo;
    QTreeWidget *m_clientTable;
    QLineEdit *m_macAdd2;
    QLineEdit *m_macAddr;
    QLabel *m_index;
    QTreeWidget *m_getMac;

    KxSNMPRequest2Edits *m_modeRequest = nullptr;
    KxSNMPRequest2Edits *m_clientTableRequest = nullptr;
    KxSNMPRequest2Edits *m_addRequest = nullptr;
    KxSNMPRequest2Edits *m_addClientRequest = nullptr;
    KxSNMPRequest2Edits *m_deleteRequest = nullptr;
    KxSNMPRequest2Edits *m_listRequest = nullptr;
    std::unique_ptr<New_req2Edit> m_userListRequest;
    std::unique_ptr<KxGather> m_clients;

    bool m_idle = false;
    int m_changes = 0;             // typed adds and deletes on their way
    bool m_reading[2] = {};        // a walk of the list / of the shown list is running
    bool m_readAgain[2] = {};      // and another is to follow it
};
