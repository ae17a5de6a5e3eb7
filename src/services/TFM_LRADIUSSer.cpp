#include "TFM_LRADIUSSer.h"

#include "KxAccessible.h"
#include "KxDeviceObjects.h"
#include "KxServiceKit.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

#define ROOT KX_DEVICE_ROOT

using namespace KxAccess;
using namespace KxSyntax;

const KxIntOption kOnOff[] = {{0, "Disable"}, {1, "Enable"}, {0, nullptr}};
const KxIntOption kActions[] = {{0, "Delete"}, {1, "Add"}, {0, nullptr}};
const KxOptionList &onOff() { static const KxOptionList l(kOnOff); return l; }
const KxOptionList &actions() { static const KxOptionList l(kActions); return l; }

const KxSNMPVarDesc kAccount[] = {
    {ROOT ".3.12.1.1", "dot11LocalRadiusUserName", DisplayString, ReadWrite},
    {ROOT ".3.12.1.2", "dot11LocalRadiusPassword", DisplayString, ReadWrite},
    {ROOT ".3.12.1.4", "dot11LocalRadiusNodeStatus", Integer, ReadWrite, &onOff()},
    {ROOT ".3.12.1.3", "dot11LocalRadiusAction", Integer, ReadWrite, &actions()},
    {nullptr},
};
const KxSNMPVarDesc kList[] = {
    {ROOT ".3.12.2.1.1.1", "dot11LocalRadiusnInfoIndex", Integer, Key | Readable},
    {ROOT ".3.12.2.1.1.2", "dot11LocalRadiusnInfoName", DisplayString, ReadOnly},
    {ROOT ".3.12.2.1.1.3", "dot11LocalRadiusInfoNodeStatus", Integer, ReadOnly, &onOff()},
    {ROOT ".3.12.2.1.1.4", "dot11InternalRadiusInfoPasswd", DisplayString, ReadOnly},
    {nullptr},
};
enum ListVariable { ListName = 1, ListStatus = 2, ListPassword = 3 };

constexpr int kTimeout = 10000;
constexpr int kMaxName = 64;
constexpr int kMinPassword = 8, kMaxPassword = 64;
constexpr int kEnable = 1;
const QString kWaring = QStringLiteral("Waring");

} // namespace

TFM_LRADIUSSer::TFM_LRADIUSSer(QWidget *parent)
    : KxScreen(QStringLiteral("FM_LRADIUSSer"), QStringLiteral("Advanced \\ Internal RADIUS Server"), parent)
{
    BuildForm();
    Guard([this] {
        BuildRequests();
        m_list->GetIntoControls();
    });
    m_status->setCurrentIndex(kEnable);
    m_name->setMaxLength(kMaxName);
}

TFM_LRADIUSSer::~TFM_LRADIUSSer()
{
    StopRequests();
}

void TFM_LRADIUSSer::BuildForm()
{
    auto *outer = new QGroupBox(QStringLiteral("Internal RADIUS Server"), this);
    Body()->addWidget(outer);
    auto *column = new QVBoxLayout(outer);
    auto *addGroup = new QGroupBox(QStringLiteral("Add RADIUS Account "), outer);
    column->addWidget(addGroup);
    auto *form = new QFormLayout(addGroup);
    m_name = new QLineEdit(addGroup);
    m_name->setObjectName(QStringLiteral("Ed_Name"));
    form->addRow(QStringLiteral("Name"), m_name);
    m_password = new QLineEdit(addGroup);
    m_password->setObjectName(QStringLiteral("Ed_PWD"));
    m_password->setEchoMode(QLineEdit::Password);
    m_password->setStyleSheet(QStringLiteral("lineedit-password-character: 42")); // "*"
    form->addRow(QStringLiteral("Password"), m_password);
    m_status = new QComboBox(addGroup);
    m_status->setObjectName(QStringLiteral("Cbox_Status"));
    form->addRow(QStringLiteral("Status"), m_status);
    m_save = new QPushButton(QStringLiteral("Save"), addGroup);
    m_save->setObjectName(QStringLiteral("Bt_RadiusAdd"));
    m_save->setAutoDefault(false);
    auto *saveRow = new QHBoxLayout;
    saveRow->addStretch();
    saveRow->addWidget(m_save);
    form->addRow(saveRow);

    auto *caption = new QLabel(QStringLiteral("RADIUS Account list "), outer);
    column->addWidget(caption);
    m_users = KxReportList(outer, "LV_RadiusAccountListUser", {QStringLiteral("Name "), QStringLiteral("Status")},
                           caption->text());
    caption->setBuddy(m_users);
    column->addWidget(m_users);
    m_delete = new QPushButton(QStringLiteral("Delete"), outer);
    m_delete->setObjectName(QStringLiteral("Bt_RadiusDel"));
    m_delete->setAutoDefault(false);
    auto *deleteRow = new QHBoxLayout;
    deleteRow->addStretch();
    deleteRow->addWidget(m_delete);
    column->addLayout(deleteRow);

    m_action = AddHidden<QComboBox>("Cbox_RadAction");
    m_accounts = AddHidden<QTreeWidget>("LV_RadiusAccountList");
    StatusBar()->setObjectName(QStringLiteral("StatusBar1"));
    KxNameControls(this);

    connect(m_save, &QPushButton::clicked, this, &TFM_LRADIUSSer::Bt_RadiusAddClick);
    connect(m_delete, &QPushButton::clicked, this, &TFM_LRADIUSSer::Bt_RadiusDelClick);
    connect(m_users, &QTreeWidget::itemSelectionChanged, this, &TFM_LRADIUSSer::LV_RadiusAccountListUserSelect);
}

void TFM_LRADIUSSer::BuildRequests()
{
    const QString text = QStringLiteral("%s");
    // Never read: every write gives its values itself.
    m_account = MakeRequest(kAccount, KxItemType::Scalars, 0, true, kTimeout);
    m_account->BindControl(0, text, m_name);
    m_account->BindControl(1, text, m_password);
    m_account->BindControl(2, m_status);
    m_account->BindControl(3, m_action);
    m_account->OnSetComplete = [this](KxSNMPRequest2Controls *, const KxSNMPError &e) { AccountWritten(e); };
    m_list = MakeRequest(kList, KxItemType::Table, 1, true, kTimeout);
    m_list->BindListView(m_accounts, true);
    m_list->OnGetComplete = [this](KxSNMPRequest2Controls *, const KxSNMPError &e) { ListRead(e); };
    auto named = [](const KxEntryTable &t, const QTreeWidgetItem *row) { return !t.Cell(row, ListName).isEmpty(); };
    auto unnamed = [](const KxEntryTable &t, const QTreeWidgetItem *row) { return t.Cell(row, ListName).isEmpty(); };
    m_table = std::make_unique<KxEntryTable>(m_list, named, unnamed);
}

bool TFM_LRADIUSSer::Refuse(QLineEdit *field, const QString &text, bool empty)
{
    Dialogs().MessageBox(this, text, kWaring);
    if (empty)
        field->clear();
    field->setFocus();
    return false;
}

int TFM_LRADIUSSer::SelectedEntry() const
{
    const QList<QTreeWidgetItem *> picked = m_users->selectedItems();
    return picked.isEmpty() ? -1 : m_users->indexOfTopLevelItem(picked.first());
}

// The device tells accounts apart without regard to case, as a login does.
bool TFM_LRADIUSSer::NameTaken(const QString &name, int except) const
{
    for (int e = 0; e < m_table->Rows().Count(); ++e)
        if (e != except && m_table->Cell(m_table->Entry(e), ListName).compare(name, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

void TFM_LRADIUSSer::LV_RadiusAccountListUserSelect()
{
    const int entry = SelectedEntry();
    const QTreeWidgetItem *row = m_table->Entry(entry);
    if (!row)
        return;
    m_table->MakeCurrent(m_table->Rows().KeyOf(entry));
    m_name->setText(m_table->Cell(row, ListName));
    const int status = m_status->findText(m_table->Cell(row, ListStatus));
    if (status >= 0)
        m_status->setCurrentIndex(status);
    m_password->setText(m_table->Cell(row, ListPassword));
}

bool TFM_LRADIUSSer::Send(const Account &account, bool add, Step step)
{
    m_action->setCurrentIndex(add ? 1 : 0);
    // A delete goes by name: the secret travels only where the device needs it.
    QStringList values = {account.name, account.password, m_status->itemText(account.status), m_action->currentText()};
    if (!add)
        values.removeAt(1);
    bool issued = false;
    m_step = step;
    Guard([&] {
        issued = m_account->SetFromControls(false, false, add ? QStringLiteral("0,1,2,3") : QStringLiteral("0,2,3"),
                                            &values);
    });
    if (!issued)
        m_step = Step::None;
    // One exchange at a time: a second one would take over the first one's answer.
    m_save->setEnabled(!issued);
    m_delete->setEnabled(!issued);
    return issued;
}

void TFM_LRADIUSSer::Bt_RadiusAddClick()
{
    const QString name = m_name->text();
    const QString password = m_password->text();
    if (name.isEmpty()) {
        Refuse(m_name, QStringLiteral("Please input user name !"), true);
        return;
    }
    const int selected = SelectedEntry();
    // Checked before anything is written: a change must not delete an account it cannot
    // add again.
    if (NameTaken(name, selected)) {
        if (selected < 0)
            Refuse(m_name, QStringLiteral("Can't use the same name !"), true);
        else
            Refuse(m_name, QStringLiteral("The name has exist, please input username again!"), false);
        return;
    }
    if (password.size() < kMinPassword || password.size() > kMaxPassword) {
        Refuse(m_password, QStringLiteral("The length of password should be 8~64 !"), true);
        return;
    }
    m_new = {name, password, m_status->currentIndex()};
    if (selected >= 0) {
        m_old = m_table->Cell(m_table->Entry(selected), ListName);
        Send({m_old, QString(), m_new.status}, false, Step::ChangeDelete);
    } else {
        ShowStatus(Send(m_new, true, Step::Add) ? QStringLiteral("Save OK!") : QStringLiteral("Save Fail!"));
    }
    m_name->clear();
    m_password->clear();
}

void TFM_LRADIUSSer::Bt_RadiusDelClick()
{
    const int selected = SelectedEntry();
    if (selected >= 0
        && Dialogs().Confirm(this, QStringLiteral("Are you sure that you want to delete this entry?"),
                             QStringLiteral("Warning"))) {
        // The account the user picked, whatever the name field was changed to since.
        const Account listed{m_table->Cell(m_table->Entry(selected), ListName), QString(), m_status->currentIndex()};
        if (Send(listed, false, Step::Delete))
            ShowStatus(QStringLiteral("Delete OK!"));
    }
    m_name->clear();
    m_password->clear();
}

void TFM_LRADIUSSer::AccountWritten(const KxSNMPError &error)
{
    // Every answer ends its step: nothing of a failed change is left to act on later.
    const Step step = m_step;
    m_step = Step::None;
    m_save->setEnabled(true);
    m_delete->setEnabled(true);
    if (error.Code != 0) {
        if (step == Step::ChangeAdd)
            ChangeLost();
        return;
    }
    if (step != Step::ChangeDelete) {
        Guard([this] { m_list->GetIntoControls(); });
        return;
    }
    {
        const QSignalBlocker quiet(m_users);
        const QList<QTreeWidgetItem *> old = m_users->findItems(m_old, Qt::MatchExactly, 0);
        if (!old.isEmpty())
            delete old.first();
        m_users->clearSelection();
    }
    m_name->setText(m_new.name);
    m_password->setText(m_new.password);
    m_status->setCurrentIndex(m_new.status);
    if (!Send(m_new, true, Step::ChangeAdd))
        ChangeLost();
}

void TFM_LRADIUSSer::ChangeLost()
{
    // The old account is gone and the new one was not taken: the user must know, and the
    // list must show the device as it is. The fields still hold the new account.
    Dialogs().MessageBox(this,
                         QStringLiteral("The changed account could not be added; its old version is no longer on "
                                        "the device."),
                         QStringLiteral("Warning"));
    Guard([this] { m_list->GetIntoControls(); });
}

void TFM_LRADIUSSer::ListRead(const KxSNMPError &error)
{
    if (error.Code != 0)
        return;
    m_table->Rebuild();
    const QSignalBlocker quiet(m_users);
    m_users->clear();
    for (int e = 0; e < m_table->Rows().Count(); ++e) {
        const QTreeWidgetItem *row = m_table->Entry(e);
        m_users->addTopLevelItem(new QTreeWidgetItem({m_table->Cell(row, ListName), m_table->Cell(row, ListStatus)}));
    }
}
