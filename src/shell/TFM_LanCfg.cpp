#include "TFM_LanCfg.h"

#include "TFM_Waiting.h"
#include "KxAddress.h"
#include "KxDeviceObjects.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

namespace {

#define ROOT "1.3.6.1.4.1.32473.2.5.9"

const KxIntOption kModes[] = {{1, "Static (Manual)"}, {2, "Dynamic (DHCP)"}, {0, nullptr}};
const KxOptionList &modes() { static const KxOptionList l(kModes); return l; }

const KxSNMPVarDesc kMode[] = {
    {ROOT ".2.1.1.1.1.1.1", "hGetIPFrom", KxSyntax::Integer, KxAccess::ReadWrite, &modes()},
    {nullptr},
};
const KxSNMPVarDesc kAddresses[] = {
    {ROOT ".2.1.1.1.1.2.1", "hIPAddress", KxSyntax::IpAddress, KxAccess::ReadWrite},
    {ROOT ".2.1.1.1.1.3.1", "hSubnetMask", KxSyntax::IpAddress, KxAccess::ReadWrite},
    {ROOT ".2.1.1.1.1.4.1", "hDefaultGateway", KxSyntax::IpAddress, KxAccess::ReadWrite},
    {nullptr},
};

constexpr int kTimeout = 1000;
constexpr int kStatic = 0;
constexpr int kDynamic = 1;

} // namespace

TFM_LanCfg::TFM_LanCfg(QWidget *parent)
    : KxScreen(QStringLiteral("FM_LanCfg"), QStringLiteral("Home \\ LAN"), parent)
{
    QFormLayout *form = AddGroup();
    m_ipFrom = new QComboBox(this);
    m_ipFrom->setObjectName(QStringLiteral("CB_IPFrom"));
    form->addRow(QStringLiteral("Get IP From"), m_ipFrom);
    m_address = AddEdit(form, QStringLiteral("IP Address"), "ED_IpAddr");
    m_mask = AddEdit(form, QStringLiteral("Subnet Mask"), "ED_SubMask");
    m_mask->setText(QStringLiteral("255.255.255.0"));
    m_gateway = AddEdit(form, QStringLiteral("Default Gateway"), "ED_DefGw");
    for (QLineEdit *edit : {m_address, m_mask, m_gateway})
        m_addressRows << form->labelForField(edit) << edit;
    m_ipFrom->setMinimumWidth(160);
    QPushButton *ok = AddButton(QStringLiteral("Apply"), "BT_LanCfgOk");
    QPushButton *cancel = AddButton(QStringLiteral("Cancel"), "BT_LanCfgCancel");
    m_apply = AddHidden<QComboBox>("CB_DeviceApplySetting");
    connect(m_ipFrom, &QComboBox::activated, this, &TFM_LanCfg::CB_IPFromChange);
    connect(ok, &QPushButton::clicked, this, &TFM_LanCfg::BT_LanCfgOkClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::close);

    Guard([this] {
        m_modeRequest = MakeRequest(kMode, KxItemType::Instance, 0, false, kTimeout, false);
        m_modeRequest->BindControl(0, m_ipFrom);
        m_addressRequest = MakeRequest(kAddresses, KxItemType::Instance, 0, false, kTimeout);
        m_addressRequest->BindControl(0, QStringLiteral("%s"), m_address);
        m_addressRequest->BindControl(1, QStringLiteral("%s"), m_mask);
        m_addressRequest->BindControl(2, QStringLiteral("%s"), m_gateway);
        m_applyRequest = MakeRequest(KxDevice::ApplyObjects(), KxItemType::Scalars, 0, false, kTimeout, false);
        m_applyRequest->BindControl(0, m_apply);
        m_modeRequest->GetIntoControls();
        if (m_addressRequest->GetIntoControls()) {
            m_modeAsRead = m_ipFrom->currentIndex();
            CB_IPFromChange();
        }
    });
    for (QLineEdit *edit : {m_address, m_mask, m_gateway})
        KxSetTypingLimit(edit, 15);
}

void TFM_LanCfg::CB_IPFromChange()
{
    const bool dynamic = m_ipFrom->currentIndex() == kDynamic;
    for (QWidget *w : std::as_const(m_addressRows))
        w->setVisible(!dynamic);
}

bool TFM_LanCfg::InputValid()
{
    const struct {
        QLineEdit *edit;
        bool (*valid)(const QString &);
        const char *message;
    } checks[] = {
        {m_address, &IsValidIpAddress, "Please input valid IP Address."},
        {m_mask, &IsValidSubnetMask, "Please input valid Subnet Mask."},
        {m_gateway, &IsValidIpAddress, "Invalid gateway address !"},
    };
    for (const auto &c : checks) {
        if (!c.valid(c.edit->text())) {
            Dialogs().MessageBox(this, QLatin1String(c.message), QStringLiteral("Warning"));
            c.edit->clear();
            return false;
        }
    }
    return true;
}

bool TFM_LanCfg::Write(KxSNMPRequest2Edits *request)
{
    bool ok = false;
    Guard([&] { ok = request->SetFromControls(true, true); });
    return ok;
}

void TFM_LanCfg::WriteWithNotice(const std::function<bool()> &writes)
{
    KxDevice::ApplyOptions().Select(m_apply, QStringLiteral("apply"));
    TFM_Waiting *notice = TFM_Waiting::ShowNotice(this, QStringLiteral("The settings are saving and taking effect."),
                                                  QStringLiteral("Please wait 10 seconds then access"),
                                                  QStringLiteral("the device with new IP Address."));
    const bool ok = writes();
    ShowStatus(ok ? QStringLiteral("Set OK!") : QStringLiteral("Set Error!"));
    TFM_Waiting::CloseNotice(this, notice);
}

void TFM_LanCfg::BT_LanCfgOkClick()
{
    if (!m_modeRequest || !m_addressRequest || !m_applyRequest)
        return;
    const int selected = m_ipFrom->currentIndex();
    if (selected == kStatic) {
        if (!InputValid())
            return;
        if (m_modeAsRead == kDynamic) {
            // The device goes from DHCP to the addresses typed here. Applying after a
            // failed write would bring half of that change into effect (the static
            // mode with addresses nobody typed), so "apply" follows only a whole change.
            WriteWithNotice([this] {
                const bool mode = Write(m_modeRequest);
                const bool addresses = Write(m_addressRequest);
                if (mode && addresses)
                    Write(m_applyRequest);
                return mode && addresses;
            });
        } else if (m_modeAsRead == kStatic) {
            WriteWithNotice([this] { return Write(m_addressRequest) && Write(m_applyRequest); });
        }
    } else if (selected == kDynamic && m_modeAsRead == kStatic) {
        WriteWithNotice([this] {
            const bool mode = Write(m_modeRequest);
            const bool apply = Write(m_applyRequest);
            return mode && apply;
        });
    }
}
