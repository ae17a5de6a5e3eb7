// 'Tools \ Administrator Settings': who may manage the device and how: the
// administrator's login, the remote console and its timeout, the VLAN and address
// ranges managers must come from, ping answers, and the device's name and location.
#pragma once

#include "KxScreen.h"

#include <memory>

class KxSaveWait;
class KxTableRequest;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QRadioButton;

class TFM_Admin2 : public KxScreen {
    Q_OBJECT

public:
    explicit TFM_Admin2(QWidget *parent = nullptr);
    ~TFM_Admin2() override;

    void CheckBox_ConsoleClick();
    void RB_Click();
    void CheckBox_VIDClick();
    void CkBx_ManagerStateClick();
    void ListView_UserClick();
    void Btn_AddClick();
    void Btn_DelClick();
    void OKClick(); // Apply

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    enum class RangeWrite { None, Add, Delete };
    // Variables of the range table; the list of ranges in use has the first three.
    enum RangeVariable { RangeIndex = 0, RangeStart = 1, RangeEnd = 2, RangeDelete = 3 };

    void BuildControls();
    void BuildRequests();
    void ReadDevice();
    void RefreshLists();
    void RangeWritten(bool ok);
    bool RangeBusy() const;
    // The table row that `from`..`to` would go to: -1 when it overlaps a range in use
    // (the user has been told), -2 when no row is free.
    int FreeRowFor(quint32 from, quint32 to);
    void WriteRange(int row, RangeWrite what);
    void ClearRangeEdits();
    bool LoginValid();
    bool WriteConsole();
    bool WriteLogin();
    bool Write(KxSNMPRequest2Edits *request);

    QLineEdit *m_user;
    QLineEdit *m_oldPassword;
    QLineEdit *m_newPassword;
    QLineEdit *m_confirmPassword;
    QCheckBox *m_console;
    QRadioButton *m_telnet;
    QRadioButton *m_ssh;
    QButtonGroup *m_protocols;
    QComboBox *m_timeout;
    QCheckBox *m_vidBox;
    QLineEdit *m_vid;
    QCheckBox *m_ipBox;
    QLineEdit *m_fromIp;
    QLineEdit *m_toIp;
    QPushButton *m_add;
    QPushButton *m_delete;
    QTreeWidget *m_userList;
    QComboBox *m_ping;
    QLineEdit *m_sysName;
    QLineEdit *m_location;

    QLineEdit *m_password;
    QComboBox *m_telnetValue;
    QComboBox *m_sshValue;
    QComboBox *m_managerStatus;
    QComboBox *m_apply;
    QTreeWidget *m_ipRange;
    QLineEdit *m_rowFrom;
    QLineEdit *m_rowTo;
    QComboBox *m_rowDelete;

    KxSNMPRequest2Edits *m_applyRequest = nullptr;
    KxSNMPRequest2Edits *m_managerRequest = nullptr;
    KxSNMPRequest2Edits *m_consoleRequest = nullptr;
    KxSNMPRequest2Edits *m_timeoutRequest = nullptr;
    KxSNMPRequest2Edits *m_nameRequest = nullptr;
    KxSNMPRequest2Edits *m_loginRequest = nullptr;
    KxSNMPRequest2Edits *m_pingRequest = nullptr;
    KxSNMPRequest2Edits *m_rangeTable = nullptr;
    std::unique_ptr<KxTableRequest> m_rangeList;
    KxSaveWait *m_wait = nullptr;
    RangeWrite m_rangeWrite = RangeWrite::None;
};
