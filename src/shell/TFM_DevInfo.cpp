#include "TFM_DevInfo.h"

#include "KxDeviceObjects.h"
#include "KxDialogs.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {

#define ROOT "1.3.6.1.4.1.32473.2.5.9"

const KxIntOption kAuthentication[] = {
    {1, "opensystem"}, {2, "sharedkey"}, {3, "opensystem-sharedkey"}, {4, "wpa-psk"}, {5, "wpa-eap"},
    {6, "wpa2-psk"}, {7, "wpa2-eap"}, {8, "wpa-auto-psk"}, {9, "wpa-auto-eap"}, {10, "dot1x"}, {0, nullptr}};
const KxIntOption kEncryption[] = {{0, "disabled"}, {1, "enabled"}, {0, nullptr}};
const KxIntOption kCipher[] = {{1, "auto"}, {2, "aes"}, {3, "tkip"}, {4, "wep"}, {0, nullptr}};
const KxIntOption kKeyEntry[] = {{1, "ascii"}, {2, "hex"}, {0, nullptr}};
const KxIntOption kRole[] = {{1, "Master"}, {2, "Masterbackup"}, {3, "Slave"}, {0, nullptr}};

const KxOptionList &authentications() { static const KxOptionList l(kAuthentication); return l; }
const KxOptionList &encryptions() { static const KxOptionList l(kEncryption); return l; }
const KxOptionList &ciphers() { static const KxOptionList l(kCipher); return l; }
const KxOptionList &keyEntries() { static const KxOptionList l(kKeyEntry); return l; }
const KxOptionList &roles() { static const KxOptionList l(kRole); return l; }

const KxSNMPVarDesc kInterface[] = {
    {ROOT ".5.1.2.1.1.2.1", "ifIpAddress", KxSyntax::IpAddress, KxAccess::ReadOnly},
    {ROOT ".5.1.2.1.1.3.1", "ifSubnetMask", KxSyntax::IpAddress, KxAccess::ReadOnly},
    {ROOT ".5.1.2.1.1.4.1", "ifDefaultGateway", KxSyntax::IpAddress, KxAccess::ReadOnly},
    {ROOT ".5.1.2.1.1.5.1", "ifMacAddress", KxSyntax::MacAddress, KxAccess::ReadOnly},
    {nullptr},
};
const KxSNMPVarDesc kFirmware[] = {
    {ROOT ".5.1.1", "deviceInformationFirmwareVersion", KxSyntax::DisplayString, KxAccess::ReadOnly},
    {nullptr},
};
const KxSNMPVarDesc kWirelessInterface[] = {
    {" ", "ifIndex", KxSyntax::Integer, KxAccess::Key},
    {ROOT ".2.1.3.3.1.1.1.1", "dot11Ssid", KxSyntax::DisplayString, KxAccess::ReadWrite},
    {ROOT ".2.1.3.3.1.1.1.3", "dot11Channel", KxSyntax::Integer, KxAccess::ReadWrite},
    {ROOT ".2.1.3.3.1.1.1.11", "dot11DataRate", KxSyntax::DisplayString, KxAccess::ReadWrite},
    {nullptr},
};
const KxSNMPVarDesc kSecurity[] = {
    {ROOT ".2.1.3.3.2.1.1.1.1", "dot11Authentication", KxSyntax::Integer, KxAccess::ReadWrite, &authentications()},
    {ROOT ".2.1.3.3.2.1.1.2.1", "dot11Encryption", KxSyntax::Integer, KxAccess::ReadWrite, &encryptions()},
    {ROOT ".2.1.3.3.2.1.1.5.1", "dot11CipherType", KxSyntax::Integer, KxAccess::ReadWrite, &ciphers()},
    {nullptr},
};
const KxSNMPVarDesc kWepKeys[] = {
    {" ", "dot11WepKeyIndex", KxSyntax::Integer, KxAccess::Key},
    {ROOT ".2.1.3.3.2.2.1.2", "dot11WepKeyEntryMethod", KxSyntax::Integer, KxAccess::ReadWrite, &keyEntries()},
    {ROOT ".2.1.3.3.2.2.1.3", "dot11WepKey", KxSyntax::DisplayString, KxAccess::ReadWrite},
    {nullptr},
};
const KxSNMPVarDesc kLoad[] = {
    {ROOT ".5.1.3", "deviceInformationCpuUtilization", KxSyntax::Integer, KxAccess::ReadOnly},
    {ROOT ".5.1.4", "deviceInformationMemoryUtilization", KxSyntax::Integer, KxAccess::ReadOnly},
    {nullptr},
};
const KxSNMPVarDesc kApArray[] = {
    {ROOT ".3.11.1.1.3", "dot11ApArrayName", KxSyntax::DisplayString, KxAccess::ReadWrite},
    {ROOT ".3.11.1.1.2", "dot11APArrayModeSelect", KxSyntax::Integer, KxAccess::ReadWrite, &roles()},
    {"1.3.6.1.2.1.1.6", "sysLocation", KxSyntax::DisplayString, KxAccess::ReadWrite},
    {nullptr},
};

constexpr int kSync = 10000;

QLabel *namedLabel(QWidget *parent, const char *name)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setMinimumWidth(100);
    return label;
}

// Widgets side by side, for one row of a form.
QWidget *row(QWidget *parent, std::initializer_list<QWidget *> widgets)
{
    auto *holder = new QWidget(parent);
    auto *line = new QHBoxLayout(holder);
    line->setContentsMargins(0, 0, 0, 0);
    for (QWidget *w : widgets)
        line->addWidget(w);
    line->addStretch();
    return holder;
}

int hexDigit(QChar c)
{
    bool ok = false;
    const int v = QString(c).toInt(&ok, 16);
    return ok ? v : 0;
}

} // namespace

QString MacPlus(const QString &mac, int n, bool *overflow)
{
    if (overflow)
        *overflow = false;
    QString result = mac.toUpper();
    int add = n;
    for (qsizetype i = result.size() - 1; i >= 0; --i) {
        const int sum = hexDigit(result.at(i)) + add;
        if (sum < 16) {
            result[i] = QString::number(sum, 16).toUpper().at(0);
            return result;
        }
        result[i] = QString::number(sum - 16, 16).toUpper().at(0);
        add = 1;
    }
    if (result.isEmpty())
        return result;
    if (overflow)
        *overflow = true;
    return QStringLiteral("000000000000");
}

QString SecurityText(const QString &authentication, bool encryption, const QString &cipher,
                     int keyMethod, const QString &key)
{
    QString keySize;
    const qsizetype length = key.size();
    if (keyMethod == 0)
        keySize = length == 5 ? QStringLiteral("64bits") : length == 13 ? QStringLiteral("128bits") : QString();
    else if (keyMethod == 1)
        keySize = length == 10 ? QStringLiteral("64bits") : length == 26 ? QStringLiteral("128bits") : QString();

    if (authentication == QLatin1String("opensystem"))
        return encryption ? QStringLiteral("Open / ") + keySize : QStringLiteral("None");
    if (authentication == QLatin1String("sharedkey"))
        return QStringLiteral("Shared Key / ") + keySize;
    static const struct {
        const char *authentication;
        const char *prefix;
    } kPrefixes[] = {
        {"wpa-psk", "WPA-Personal / "}, {"wpa-eap", "WPA-Enterprise / "},
        {"wpa2-psk", "WPA2-Personal / "}, {"wpa2-eap", "WPA2-Enterprise / "},
        {"wpa-auto-psk", "WPA2-Auto-Personal / "}, {"wpa-auto-eap", "WPA2-Auto-Enterprise / "},
        {"dot1x", "802.1x / "},
    };
    for (const auto &p : kPrefixes)
        if (authentication == QLatin1String(p.authentication))
            return QLatin1String(p.prefix) + cipher.toUpper();
    return QString();
}

TFM_DevInfo::TFM_DevInfo(QWidget *parent)
    : KxScreen(QStringLiteral("FM_DevInfo"), QStringLiteral("Status \\ Device Info"), parent)
{
    auto *columns = new QHBoxLayout;
    auto *left = new QVBoxLayout;
    auto *right = new QVBoxLayout;
    columns->addLayout(left);
    columns->addLayout(right);
    Body()->addLayout(columns);

    QFormLayout *device = AddGroup(QStringLiteral("Device Info"), left);
    QLineEdit *firmware = AddEdit(device, QStringLiteral("Firmware Version:"), "Ed_Firmware", true);
    m_mac = AddEdit(device, QStringLiteral("MAC Address:"), "Ed_Mac", true);
    m_primary = namedLabel(this, "LAB_Primary");
    m_secondary1 = namedLabel(this, "Lab_Seccondary1");
    m_secondary7 = namedLabel(this, "Lab_Seccondary7");
    device->addRow(QStringLiteral("WLAN1 MAC Address: "), row(this, {new QLabel(QStringLiteral("Primary:"), this), m_primary}));
    device->addRow(QString(), row(this, {new QLabel(QStringLiteral("Secondary: "), this), m_secondary1,
                                         new QLabel(QStringLiteral("~"), this), m_secondary7}));

    QFormLayout *ethernet = AddGroup(QStringLiteral("Ethernet"), left);
    QLineEdit *address = AddEdit(ethernet, QStringLiteral("IP Address: "), "Ed_IPaddr", true);
    QLineEdit *mask = AddEdit(ethernet, QStringLiteral("Subnet Mask:"), "Ed_SubMask", true);
    m_gateway = AddEdit(ethernet, QStringLiteral("Gateway: "), "Ed_Gate", true);

    QFormLayout *wireless = AddGroup(QStringLiteral("Wireless(2.4GHz)"), left);
    m_wireless = qobject_cast<QGroupBox *>(wireless->parentWidget());
    m_wireless->setObjectName(QStringLiteral("GroupBox3"));
    QLineEdit *ssid = AddEdit(wireless, QStringLiteral("SSID"), "Ed_SSID", true);
    QLineEdit *channel = AddEdit(wireless, QStringLiteral("Channel "), "Ed_Channel", true);
    m_security = AddEdit(wireless, QStringLiteral("Security Level:"), "Ed_Sec", true);
    QLineEdit *rate = AddEdit(wireless, QStringLiteral("Data Rate"), "Ed_DRate", true);

    QFormLayout *status = AddGroup(QStringLiteral("AP Status"), right);
    QLineEdit *cpu = AddEdit(status, QStringLiteral("CPU Utilization:"), "Ed_Cpu", true, QStringLiteral("%"));
    QLineEdit *memory = AddEdit(status, QStringLiteral("Memory Utilization:"), "Ed_Memory", true, QStringLiteral("%"));

    QFormLayout *array = AddGroup(QStringLiteral("Ap Array"), right);
    QLineEdit *arrayName = AddEdit(array, QStringLiteral("Ap Array"), "Ed_Array", true);
    m_role = AddEdit(array, QStringLiteral("Role"), "Ed_Role", true);
    QLineEdit *location = AddEdit(array, QStringLiteral("Location"), "Ed_Location", true);
    right->addStretch();

    m_authentication = AddHidden<QComboBox>("CB_Authentication");
    m_encryption = AddHidden<QComboBox>("CB_Encryption");
    m_cipher = AddHidden<QComboBox>("CB_CipherType");
    m_keyMethod = AddHidden<QComboBox>("CB_WepKeyEntryMethod");
    m_key = AddHidden<QLineEdit>("ED_Key");
    m_band = AddHidden<QComboBox>("CB_Band");
    m_roleBox = AddHidden<QComboBox>("Cbox_Role");

    const QString s = QStringLiteral("%s");
    Guard([&] {
        KxSNMPRequest2Edits *r1 = MakeRequest(kInterface, KxItemType::Instance, 0, false, kSync, false);
        r1->BindControl(0, s, address);
        r1->BindControl(1, s, mask);
        r1->BindControl(2, s, m_gateway);
        r1->BindControl(3, s, m_mac);
        r1->GetIntoControls();
        m_primary->setText(m_mac->text());
        m_secondary1->setText(SecondaryMac(1));
        m_secondary7->setText(SecondaryMac(7));
        if (m_gateway->text() == QLatin1String("0.0.0.0"))
            m_gateway->setText(QStringLiteral("N/A"));

        KxSNMPRequest2Edits *r2 = MakeRequest(kFirmware, KxItemType::Scalars, 0, true, 0, false);
        r2->BindControl(0, s, firmware);
        r2->GetIntoControls();

        KxSNMPRequest2Edits *r3 = MakeRequest(kWirelessInterface, KxItemType::Table, 1, false, kSync, false);
        r3->BindControl(1, s, ssid);
        r3->BindControl(2, s, channel);
        r3->BindControl(3, s, rate);
        KxSNMPRequest2Edits *r4 = MakeRequest(kSecurity, KxItemType::Instance, 0, false, kSync, false);
        r4->BindControl(0, m_authentication);
        r4->BindControl(1, m_encryption);
        r4->BindControl(2, m_cipher);
        KxSNMPRequest2Edits *r5 = MakeRequest(kWepKeys, KxItemType::Table, 1, false, kSync, false);
        r5->BindControl(1, m_keyMethod);
        r5->BindControl(2, s, m_key);
        r3->GetIntoControls();
        r4->GetIntoControls();
        r5->GetIntoControls();
        m_security->setText(SecurityText(m_authentication->currentText(), m_encryption->currentIndex() > 0,
                                         m_cipher->currentText(), m_keyMethod->currentIndex(), m_key->text()));

        KxSNMPRequest2Edits *r6 = MakeRequest(KxDevice::BandObjects(), KxItemType::Instance, 0, false, kSync, false);
        r6->BindControl(0, m_band);
        r6->GetIntoControls();
        m_wireless->setTitle(m_band->currentIndex() == 0 ? QStringLiteral("Wireless(2.4GHz)")
                                                         : QStringLiteral("Wireless(5GHz)"));

        KxSNMPRequest2Edits *r7 = MakeRequest(kLoad, KxItemType::Scalars, 0, false, kSync, false);
        r7->BindControl(0, s, cpu);
        r7->BindControl(1, s, memory);
        r7->GetIntoControls();

        KxSNMPRequest2Edits *r8 = MakeRequest(kApArray, KxItemType::Scalars, 0, false, kSync, false);
        r8->BindControl(0, s, arrayName);
        r8->BindControl(1, m_roleBox);
        r8->BindControl(2, s, location);
        r8->GetIntoControls();
        m_role->setText(m_roleBox->currentText());
    });
}

QString TFM_DevInfo::SecondaryMac(int n)
{
    bool overflow = false;
    const QString mac = MacPlus(m_primary->text(), n, &overflow);
    if (overflow)
        Dialogs().MessageBox(this, QStringLiteral("Invalid MAC!"), QStringLiteral("Warning"));
    return mac;
}
