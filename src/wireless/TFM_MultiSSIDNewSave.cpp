// The writes of 'Advanced \ Multi-SSID': Add checks everything the chosen security shows
// before its first write, then writes the radio mode, the servers and the SSID's row;
// Delete disables the SSID highlighted in the user list; Apply writes the switch and
// the apply trigger. A field still holding the device's mask is never written.
#include "TFM_MultiSSIDNew.h"

#include "KxAddress.h"
#include "KxMasked.h"
#include "TFM_MultiSSIDNewObjects.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include <cctype>

using namespace MultiSsidObjects;

QString MultiSsidCell(KxSNMPRequest2Edits *request, int row, int variable);
void MultiSsidSetCell(KxSNMPRequest2Edits *request, int row, int variable, const QString &text);

namespace {

const QString kWarning = QStringLiteral("Warning");
const QString kError = QStringLiteral("Error");
const QString kConfirm = QStringLiteral("Please input the confirm new password correctly!");
const QString kInterval = QStringLiteral("Please input a number between 300 and 9999999.");
const QString kZero = QStringLiteral("0.0.0.0");

qint64 numberOf(const QString &text)
{
    bool ok = false;
    const qint64 n = text.trimmed().toLongLong(&ok);
    return ok ? n : 0;
}

void setAccess(KxSNMPRequest2Edits *request, int first, int last, unsigned access)
{
    for (int v = first; v <= last; ++v)
        request->VarList()[v].Access = access;
}

bool writeSync(KxSNMPRequest2Edits *request, bool refresh)
{
    return request->SetFromControls(refresh, true);
}

} // namespace

bool TFM_MultiSSIDNewForm::Warn(const QString &text, const QString &title, QLineEdit *focus, bool clear)
{
    Dialogs().MessageBox(this, text, title);
    if (focus) {
        if (clear)
            focus->clear();
        focus->setFocus();
    }
    return false;
}

int TFM_MultiSSIDNewForm::Security() const
{
    return m_security->currentIndex();
}

// The rows an SSID's writes go to: its own, and its primary and backup servers'.
bool TFM_MultiSSIDNewForm::RowsExist(int n) const
{
    return n >= 1 && n <= 7 && m_ssidList->topLevelItemCount() > n && m_radiusList->topLevelItemCount() >= 16
           && m_accountList->topLevelItemCount() >= 16;
}

void TFM_MultiSSIDNewForm::SetSaveMarks(bool include)
{
    // The table's variables are frozen rather than excluded: an excluded variable moves
    // its column, and the rows already listed would no longer match their variables.
    m_switchRequest->VarList()[0].Access = include ? KxAccess::ReadWrite : KxAccess::Excluded;
    setAccess(m_tableRequest, IdvState, GroupKeyInterval, include ? KxAccess::ReadWrite : KxAccess::ReadOnly);
}

bool TFM_MultiSSIDNewForm::SsidChecks()
{
    const QString ssid = m_ssid->text();
    if (ssid.isEmpty())
        return Warn(QStringLiteral("Please input SSID!"), kWarning, m_ssid);
    if (ssid.front() == QLatin1Char(' '))
        return Warn(QStringLiteral("The first character can't be blank!"), kWarning, m_ssid);
    if (ssid.size() > 32)
        return Warn(QStringLiteral("The Max Length of SSID is 32!"), kWarning, m_ssid);
    return true;
}

bool TFM_MultiSSIDNewForm::CheckDuplicateSsid()
{
    const int n = SelectedRow();
    for (int m = 0; m < m_ssidList->topLevelItemCount(); ++m) {
        if (m == n || MultiSsidCell(m_tableRequest, m, IdvState) != QLatin1String("Enabled")
            || MultiSsidCell(m_tableRequest, m, Ssid) != m_ssid->text())
            continue;
        const QString other = m == 0 ? QStringLiteral("Primary SSID") : QStringLiteral("SSID %1").arg(m);
        return !Warn(QStringLiteral("The 11g SSID %1's SSID is same as %2").arg(n).arg(other), kWarning, m_ssid);
    }
    return false;
}

bool TFM_MultiSSIDNewForm::CheckWepKey()
{
    const bool hex = m_keyType->currentIndex() == 1, wide = m_keySize->currentIndex() == 1;
    const int length = hex ? (wide ? 26 : 10) : (wide ? 13 : 5);
    if (m_key->text().size() != length) {
        const QString text = hex ? QStringLiteral("The Length of the key  must be %1!")
                                 : QStringLiteral("The Length of the key in IEEE802.11g must be %1!");
        return Warn(text.arg(length), kWarning, nullptr);
    }
    return !hex || CheckHexKey();
}

bool TFM_MultiSSIDNewForm::CheckHexKey()
{
    const QString key = m_key->text();
    // The device's mask: left out of the write, as the other secrets are.
    if (IsMasked(key))
        return true;
    for (QChar c : key) {
        if (!isxdigit(c.toLatin1()) || c.unicode() > 127) {
            Dialogs().ShowMessage(this, QStringLiteral("Please input  Hexadecimal digits!"));
            m_key->clear();
            return false;
        }
    }
    return true;
}

bool TFM_MultiSSIDNewForm::WepChecks()
{
    if (!CheckWepKey())
        return false;
    const QString key = m_key->text();
    if (key.startsWith(QLatin1Char(' ')) || key.endsWith(QLatin1Char(' ')))
        return Warn(QStringLiteral("The first character and last character can't be blank."), kError, m_key);
    if (m_confirmKey->text() != key)
        return Warn(kConfirm, kWarning, m_key);
    return true;
}

bool TFM_MultiSSIDNewForm::PassphraseChecks()
{
    const QString pass = m_passphrase->text();
    if (pass.size() < 8)
        return Warn(QStringLiteral("The ComPassphrase length is between 8 and 63."), kError, m_passphrase);
    if (pass.size() > 63)
        return Warn(QStringLiteral("The max length of Passphrase is 63."), kError, m_passphrase);
    if (m_confirmPass->text() != pass)
        return Warn(kConfirm, kWarning, m_passphrase);
    return true;
}

bool TFM_MultiSSIDNewForm::IntervalCheck(QLineEdit *field)
{
    if (field->text().isEmpty())
        return Warn(kInterval, kWarning, field);
    const qint64 n = numberOf(field->text());
    if (n < 300 || n > 9999999)
        return Warn(kInterval, kError, field, true);
    return true;
}

bool TFM_MultiSSIDNewForm::ServerChecks(QLineEdit *server, QLineEdit *port, QLineEdit *secret)
{
    if (!IsValidIpAddress(server->text()))
        return Warn(QStringLiteral("The Radius server's IP is illegal."), kError, server);
    const qint64 p = numberOf(port->text());
    if (port->text().isEmpty() || p < 1 || p > 65535)
        return Warn(QStringLiteral("Please input a number between 1 and 65535."), kError, port);
    if (secret->text().isEmpty())
        return Warn(QStringLiteral("The shared secret of radius server cannot be empty."), kError, secret);
    if (secret->text().size() > 64)
        return Warn(QStringLiteral("The max length of secret of radius server is 64."), kError, secret);
    return true;
}

bool TFM_MultiSSIDNewForm::RadiusChecks()
{
    if (m_radiusSer->currentIndex() == 1)
        return true;
    if (!ServerChecks(m_radiusServer, m_radiusPort, m_radiusSecret))
        return false;
    if (m_backServer->text() == kZero && m_backSecret->text().isEmpty())
        return true;
    return ServerChecks(m_backServer, m_backPort, m_backSecret);
}

bool TFM_MultiSSIDNewForm::AccountingChecks()
{
    if (m_radiusSer->currentIndex() == 1 || m_accountMode->currentIndex() != 1)
        return true;
    if (!ServerChecks(m_accountServer, m_accountPort, m_accountSecret))
        return false;
    if (m_backAccountServer->text() == kZero)
        return true;
    return ServerChecks(m_backAccountServer, m_backAccountPort, m_backAccountSecret);
}

// The primary server goes to row n, the backup to row n + 8; each row's cells take the
// fields' texts first, so that the write sends what the user sees under that row.
bool TFM_MultiSSIDNewForm::WriteRadius(int n)
{
    KxSNMPRequest2Edits *r = m_radiusRequest;
    const QString source = m_radiusSer->currentText(), interval = m_keyUpdate->text();
    struct Row {
        int row;
        QLineEdit *server, *port, *secret;
    };
    std::vector<Row> rows = {{n, m_radiusServer, m_radiusPort, m_radiusSecret}};
    const bool internal = m_radiusSer->currentIndex() == 1;
    if (internal || m_backServer->text() != kZero || !m_backSecret->text().isEmpty())
        rows.push_back({n + 8, m_backServer, m_backPort, m_backSecret});
    bool ok = true;
    for (const Row &row : rows) {
        const QString server = row.server->text(), port = row.port->text(), secret = row.secret->text();
        MultiSsidSetCell(r, row.row, RadiusSource, source);
        MultiSsidSetCell(r, row.row, RadiusKeyInterval, interval);
        if (!internal) {
            MultiSsidSetCell(r, row.row, RadiusServer, server);
            MultiSsidSetCell(r, row.row, RadiusPort, port);
            MultiSsidSetCell(r, row.row, RadiusSecret, secret);
        }
        SelectRow(m_radiusList, row.row);
        setAccess(r, RadiusServer, RadiusKeyInterval, KxAccess::ReadOnly);
        r->VarList()[RadiusSource].Access = KxAccess::ReadWrite;
        if (!internal) {
            setAccess(r, RadiusServer, RadiusPort, KxAccess::ReadWrite);
            r->VarList()[RadiusSecret].Access = IsMasked(secret) ? KxAccess::ReadOnly : KxAccess::ReadWrite;
            r->VarList()[RadiusKeyInterval].Access = KxAccess::ReadWrite;
        }
        Guard([&] { ok = writeSync(r, false) && ok; });
    }
    setAccess(r, RadiusServer, RadiusKeyInterval, KxAccess::ReadWrite);
    return ok;
}

bool TFM_MultiSSIDNewForm::WriteAccounting(int n)
{
    KxSNMPRequest2Edits *a = m_accountRequest;
    if (m_radiusSer->currentIndex() == 1)
        return true;
    const bool on = m_accountMode->currentIndex() == 1;
    struct Row {
        int row;
        QLineEdit *server, *port, *secret;
    };
    std::vector<Row> rows = {{n, m_accountServer, m_accountPort, m_accountSecret}};
    if (on && m_backAccountServer->text() != kZero)
        rows.push_back({n + 8, m_backAccountServer, m_backAccountPort, m_backAccountSecret});
    bool ok = true;
    for (const Row &row : rows) {
        const QString server = row.server->text(), port = row.port->text(), secret = row.secret->text();
        MultiSsidSetCell(a, row.row, AccountStatus, m_accountMode->currentText());
        if (on) {
            MultiSsidSetCell(a, row.row, AccountServer, server);
            MultiSsidSetCell(a, row.row, AccountPort, port);
            MultiSsidSetCell(a, row.row, AccountSecret, secret);
        }
        SelectRow(m_accountList, row.row);
        setAccess(a, AccountStatus, AccountSecret, on ? KxAccess::ReadWrite : KxAccess::ReadOnly);
        a->VarList()[AccountStatus].Access = KxAccess::ReadWrite;
        if (on && IsMasked(secret))
            a->VarList()[AccountSecret].Access = KxAccess::ReadOnly;
        Guard([&] { ok = writeSync(a, false) && ok; });
    }
    setAccess(a, AccountStatus, AccountSecret, KxAccess::ReadWrite);
    return ok;
}

// Another enabled SSID's WEP key at the key index picked: changing it changes theirs.
void TFM_MultiSSIDNewForm::SharedKeyNotice()
{
    const int n = SelectedRow();
    for (int m = 0; m < m_ssidList->topLevelItemCount(); ++m) {
        if (m == n || MultiSsidCell(m_tableRequest, m, IdvState) != QLatin1String("Enabled")
            || MultiSsidCell(m_tableRequest, m, WepKey).isEmpty()
            || MultiSsidCell(m_tableRequest, m, WepKeyIndex) != m_defaultKey->currentText())
            continue;
        Dialogs().MessageBox(
            this, QStringLiteral("Key value is used by SSID!\nTo change Key value affects other SSID settings."), kWarning);
        return;
    }
}

void TFM_MultiSSIDNewForm::MarkSsid(std::initializer_list<int> variables)
{
    setAccess(m_tableRequest, IdvState, Priority, KxAccess::ReadOnly);
    for (int v : variables)
        m_tableRequest->VarList()[v].Access = KxAccess::ReadWrite;
    for (auto [v, field] : {std::pair{WepKey, m_key}, std::pair{PassPhrase, m_passphrase}})
        if (IsMasked(field->text()))
            m_tableRequest->VarList()[v].Access = KxAccess::ReadOnly;
    if (m_priorityOn->isChecked())
        m_tableRequest->VarList()[Priority].Access = KxAccess::ReadWrite;
}

bool TFM_MultiSSIDNewForm::WriteApModeIfNeeded()
{
    if (!m_enable->isChecked() || !ApModeIsWdsOrClient())
        return true;
    m_apMode->setCurrentIndex(0);
    bool ok = false;
    Guard([&] { ok = writeSync(m_apModeRequest, true); });
    return ok;
}

// The same set twice, as the device wants it; the second call's result counts.
bool TFM_MultiSSIDNewForm::WriteSsid()
{
    // The controls show the row picked and hold the user's edits: selecting it again
    // would put the device's values back.
    if (m_ssidList->selectedItems().value(0) != m_ssidList->topLevelItem(SelectedRow()))
        return false;
    bool ok = false;
    Guard([&] {
        m_tableRequest->SetFromControls(false, true);
        ok = m_tableRequest->SetFromControls(false, true);
    });
    return ok;
}

void TFM_MultiSSIDNewForm::AddButtonClick()
{
    const int n = SelectedRow();
    if (n == 0) {
        Warn(QStringLiteral("Settings is not changed."), kWarning, nullptr);
        return;
    }
    if (!RowsExist(n)) {
        ShowStatus(QStringLiteral("Save Fail!"));
        return;
    }
    if ((m_enable->isChecked() && !SsidChecks()) || CheckDuplicateSsid())
        return;
    const int security = Security();
    const bool wep = security == 0 && m_encryption->currentIndex() > 0;
    bool checked = true;
    switch (security) {
    case 0: checked = !wep || WepChecks(); break;
    case 1: checked = IntervalCheck(m_updateInterval) && PassphraseChecks(); break;
    case 2: checked = IntervalCheck(m_updateInterval) && RadiusChecks() && AccountingChecks(); break;
    case 3: checked = IntervalCheck(m_keyUpdate) && RadiusChecks() && AccountingChecks(); break;
    default:
        // No security picked that the radio mode offers: nothing of it may be written.
        ShowStatus(QStringLiteral("Save Fail!"));
        return;
    }
    if (!checked)
        return;
    if (wep)
        SharedKeyNotice();
    if (!StoreSecurity()) {
        ShowStatus(QStringLiteral("Save Fail!"));
        return;
    }
    StoreCipher();

    SetSaveMarks(false);
    ShowSaveWait();
    bool ok = WriteApModeIfNeeded();
    m_switchRequest->VarList()[0].Access = KxAccess::ReadWrite;
    if (ok && security >= 2)
        ok = WriteRadius(n) && WriteAccounting(n);
    if (!ok) {
        SetSaveMarks(true);
        CloseSaveWait();
        ShowStatus(QStringLiteral("Save Fail!"));
        return;
    }
    switch (security) {
    case 0:
        if (wep)
            MarkSsid({IdvState, Ssid, Suppress, Authentication, Encryption, WepKeyIndex, WepKey, KeyType, Wmm});
        else
            MarkSsid({IdvState, Ssid, Suppress, Authentication, Encryption, PassPhrase, Wmm});
        break;
    case 1:
    case 2: MarkSsid({IdvState, Ssid, Suppress, Authentication, Wmm, CipherType, PassPhrase, GroupKeyInterval}); break;
    default: MarkSsid({IdvState, Ssid, Suppress, Authentication, PassPhrase, Wmm}); break;
    }
    m_idvState->setCurrentIndex(1);
    if (WriteSsid()) {
        SetSaveMarks(true);
        ShowStatus(QStringLiteral("Save SSID...!"));
    } else {
        SetSaveMarks(true);
        CloseSaveWait();
        ShowStatus(QStringLiteral("Save Fail!"));
    }
}

void TFM_MultiSSIDNewForm::DelButtonClick()
{
    QTreeWidgetItem *item = m_userList->currentItem();
    if (!item || !item->isSelected())
        return;
    const int row = item->data(0, Qt::UserRole).toInt();
    if (row <= 0 || row >= m_ssidList->topLevelItemCount())
        return;
    SetSaveMarks(false);
    setAccess(m_tableRequest, IdvState, Priority, KxAccess::ReadOnly);
    SelectRow(m_ssidList, row);
    m_idvState->setCurrentIndex(0);
    m_tableRequest->VarList()[IdvState].Access = KxAccess::ReadWrite;
    ShowStatus(QStringLiteral("Deleting..."));
    ShowSaveWait();
    Guard([this] { m_tableRequest->SetFromControls(false, true); });
    SetSaveMarks(true);
    m_tableRequest->VarList()[Priority].Access = KxAccess::ReadWrite;
}

void TFM_MultiSSIDNewForm::ApplyBtnClick()
{
    SetSaveMarks(false);
    bool ok = WriteApModeIfNeeded();
    m_switchRequest->VarList()[0].Access = KxAccess::ReadWrite;
    m_applySetting->setCurrentIndex(1);
    ShowSaveWait();
    if (ok)
        Guard([&] { ok = writeSync(m_switchRequest, true); });
    SetSaveMarks(true);
    if (ok)
        Guard([&] { ok = writeSync(m_applyRequest, true); });
    CloseSaveWait();
    ShowStatus(ok ? QStringLiteral("Save OK!") : QStringLiteral("Save Fail!"));
}

void TFM_MultiSSIDNewForm::TableWritten(const KxSNMPError &error)
{
    if (error.Code != 0) {
        ShowStatus(error.Text);
        CloseSaveWait();
        return;
    }
    SetSaveMarks(true);
    Guard([this] { m_tableRequest->GetIntoControls(); });
    ReadServers();
    CloseSaveWait();
}
