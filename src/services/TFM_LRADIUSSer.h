// 'Advanced \ Internal RADIUS Server': the accounts of the RADIUS server built into the
// device. The device only adds and deletes accounts by name, so a change is a delete of
// the listed account followed, once the device confirmed it, by an add of the new one.
#pragma once

#include "KxEntryTable.h"
#include "KxScreen.h"

#include <memory>

class QComboBox;
class QLineEdit;
class QPushButton;
class QTreeWidget;

class TFM_LRADIUSSer : public KxScreen {
    Q_OBJECT

public:
    explicit TFM_LRADIUSSer(QWidget *parent = nullptr);
    ~TFM_LRADIUSSer() override;

    void Bt_RadiusAddClick();
    void Bt_RadiusDelClick();
    void LV_RadiusAccountListUserSelect();

private:
    struct Account {
        QString name, password;
        int status = 1;
    };
    // Where the account request's answer belongs.
    enum class Step { None, Add, ChangeDelete, ChangeAdd, Delete };

    void BuildForm();
    void BuildRequests();
    bool Refuse(QLineEdit *field, const QString &text, bool empty);
    bool NameTaken(const QString &name, int except) const;
    int SelectedEntry() const;
    // Sends the account objects with the action; the password only with an add.
    bool Send(const Account &account, bool add, Step step);
    void AccountWritten(const KxSNMPError &error);
    void ChangeLost();
    void ListRead(const KxSNMPError &error);

    QLineEdit *m_name = nullptr;
    QLineEdit *m_password = nullptr;
    QComboBox *m_status = nullptr;
    QComboBox *m_action = nullptr;
    QTreeWidget *m_accounts = nullptr; // LV_RadiusAccountList (hidden)
    QTreeWidget *m_users = nullptr;    // LV_RadiusAccountListUser
    QPushButton *m_save = nullptr;
    QPushButton *m_delete = nullptr;
    KxSNMPRequest2Edits *m_account = nullptr;
    KxSNMPRequest2Edits *m_list = nullptr;
    std::unique_ptr<KxEntryTable> m_table;

    Step m_step = Step::None;
    // The listed name a change deletes, and the account it adds once that is done.
    QString m_old;
    Account m_new;
};
