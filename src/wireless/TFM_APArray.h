// 'Advanced \ AP Array': the device's membership in an array of access points managed
// together - on or off, the array's name and password, the device's role - the arrays a
// scan hears on the network, and the members of the current array.
#pragma once

#include "KxScreen.h"

#include <memory>

class KxRadioGroup;
class New_req2Edit;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTreeWidget;

class TFM_APArray : public KxScreen {
    Q_OBJECT

public:
    explicit TFM_APArray(QWidget *parent = nullptr);
    ~TFM_APArray() override;

    void Chk_APArrayClick();
    void Bt_ScanClick();
    void Bt_ArraySaveClick();

private:
    void BuildControls();
    void BuildRequests();
    void ArrayEnableRule();
    void ScanWritten(const KxSNMPError &error);
    void ListRead(const KxSNMPError &error);
    void MembersRead();

    QCheckBox *m_enable;
    QLineEdit *m_name;
    QLineEdit *m_password;
    KxRadioGroup *m_role;
    QLabel *m_connected;
    QPushButton *m_scan;
    QTreeWidget *m_arrays;
    QTreeWidget *m_members;
    QPushButton *m_save;
    QComboBox *m_apMode;
    QComboBox *m_mode;
    QComboBox *m_scanBox;
    QTreeWidget *m_heard;

    KxSNMPRequest2Edits *m_settings = nullptr;
    KxSNMPRequest2Edits *m_scanRequest = nullptr;
    KxSNMPRequest2Edits *m_list = nullptr;
    std::unique_ptr<New_req2Edit> m_membersRequest;
    bool m_scanning = false;
};
