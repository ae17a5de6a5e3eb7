// The Save of 'Home \ Wireless': every check of the chosen mode and security first,
// then the marks, then the writes in the device's order, each of them counted.
#include "TFM_Wirless.h"

#include "KxAddress.h"
#include "KxMasked.h"
#include "KxSavedMarks.h"
#include "TFM_WirlessObjects.h"

#include <QComboBox>
#include <QLineEdit>

using namespace WirlessObjects;
using namespace WirlessSecurity;

namespace {

const QString kWarning = QStringLiteral("Warning");
const QString kError = QStringLiteral("Error");
const QString kConfirm = QStringLiteral("Please input the confirm new password correctly!");
const char *const kOrdinals[] = {"1st", "2nd", "3rd", "4th"};

bool isHex(const QString &text)
{
    for (QChar c : text)
        if (!c.isDigit() && !(c >= QLatin1Char('a') && c <= QLatin1Char('f'))
            && !(c >= QLatin1Char('A') && c <= QLatin1Char('F')))
            return false;
    return true;
}

// A number field as the checks read it: text that is not a number counts as 0.
qint64 numberOf(const QString &text)
{
    bool ok = false;
    const qint64 n = text.trimmed().toLongLong(&ok);
    return ok ? n : 0;
}

void mark(KxSNMPRequest2Edits *request, int variable, bool write = true)
{
    if (write)
        request->VarList()[variable].Access = KxAccess::ReadWrite;
}

// The writes of a save, in their order.
enum class Step { Application, MssidOff, CloneStatus, CloneSource, CloneMarkAgain, Radio, Key, Pass, Radius,
                  Auth, DeleteAll, Add, Apply, ApplyIfOk };

// The branch's writes for a mode and security choice. With Multi-SSID on most rows end
// with the apply trigger; the open rows apply only after their writes succeeded. The
// trigger always comes last, so that everything written takes effect with it.
std::vector<Step> writePlan(const QString &mode, Choice choice, bool mssid)
{
    using S = Step;
    std::vector<S> plan;
    bool apply = mssid;
    if (mode == QLatin1String("Access Point")) {
        switch (choice) {
        case Choice::Open: return {S::Radio, S::Auth, S::ApplyIfOk};
        case Choice::Wep: plan = {S::Radio, S::Key, S::Auth}; break;
        case Choice::Personal: plan = {S::Radio, S::Pass, S::Auth}; break;
        case Choice::Enterprise: plan = {S::Radio, S::Radius, S::Pass, S::Auth}; break;
        case Choice::Dot1x: return {S::Radio, S::Radius, S::Pass, S::Auth};
        case Choice::None: return {};
        }
    } else if (mode == QLatin1String("WDS with AP") || mode == QLatin1String("WDS")) {
        switch (choice) {
        case Choice::Open:
            plan = {S::Radio, S::Auth};
            apply = apply || mode == QLatin1String("WDS");
            break;
        case Choice::Wep: plan = {S::Radio, S::Key, S::Auth}; break;
        case Choice::Personal: plan = {S::Radio, S::Pass, S::Auth}; break;
        default: return {};
        }
        plan.insert(plan.end(), {S::DeleteAll, S::Add});
    } else if (mode == QLatin1String("Wireless Client")) {
        switch (choice) {
        case Choice::Open: return {S::CloneStatus, S::CloneSource, S::Radio, S::Auth, S::ApplyIfOk};
        case Choice::Wep:
            plan = {S::CloneStatus, S::CloneSource, S::Radio, S::Key, S::CloneMarkAgain};
            if (mssid)
                plan.insert(plan.end(), {S::CloneSource, S::CloneStatus, S::Auth});
            else
                plan.insert(plan.end(), {S::CloneStatus, S::CloneSource, S::Auth});
            break;
        case Choice::Personal:
            plan = {S::CloneStatus, S::CloneSource, S::CloneMarkAgain, S::CloneSource, S::CloneStatus,
                    S::Radio, S::Pass, S::Auth};
            break;
        default: return {};
        }
    } else {
        return {};
    }
    if (apply)
        plan.push_back(S::Apply);
    return plan;
}

} // namespace

bool TFM_Wirless::SaveWarn(const QString &text, const QString &title, QLineEdit *focus, bool clear)
{
    Dialogs().MessageBox(this, text, title);
    if (focus) {
        if (clear)
            focus->clear();
        focus->setFocus();
    }
    return false;
}

bool TFM_Wirless::SsidChecks()
{
    const QString ssid = m_ssid->text();
    if (ssid.size() > 32)
        return SaveWarn(QStringLiteral("The Max Length of SSID is 32.!"), kWarning, m_ssid, true);
    if (ssid.isEmpty())
        return SaveWarn(QStringLiteral("Please Input SSID."), kWarning, m_ssid, true);
    if (ssid.front() == QLatin1Char(' '))
        return SaveWarn(QStringLiteral("The first character can't be blank."), kError, m_ssid, true);
    for (QChar c : ssid)
        if (c.unicode() >= 128)
            return SaveWarn(QStringLiteral("Don't support chinese character !"), kError, m_ssid, true);
    return true;
}

bool TFM_Wirless::WepChecks()
{
    const int row = DefaultKeyRow() - 1;
    QLineEdit *key = m_key[size_t(row)];
    const QString text = key->text();
    const bool hex = m_keyType[size_t(row)]->currentIndex() == 1;
    const bool wide = m_keySize[size_t(row)]->currentIndex() == 1;
    const int length = hex ? (wide ? 26 : 10) : (wide ? 13 : 5);
    if (text.size() != length)
        return SaveWarn(QStringLiteral("The Length of the %1 key must be %2!").arg(QLatin1String(kOrdinals[row])).arg(length),
                        kWarning, nullptr);
    if (hex && !IsMasked(text) && !isHex(text)) {
        Dialogs().ShowMessage(this, QStringLiteral("Please input  Hexadecimal digits!"));
        key->clear();
        return false;
    }
    if (m_confirmKey->text() != text)
        return SaveWarn(kConfirm, kWarning, key);
    return true;
}

bool TFM_Wirless::IntervalCheck(QLineEdit *field)
{
    const qint64 n = numberOf(field->text());
    if (field->text().isEmpty() || n < 300 || n > 9999999)
        return SaveWarn(QStringLiteral("Please input a number between 300 and 9999999."), kError, field, true);
    return true;
}

bool TFM_Wirless::PassphraseChecks()
{
    const QString pass = m_passphrase->text();
    if (pass.size() < 8)
        return SaveWarn(QStringLiteral("The Passphrase length is between 8 and 63."), kError, m_passphrase);
    if (pass.size() > 63)
        return SaveWarn(QStringLiteral("The max length of Passphrase is 63."), kError, m_passphrase);
    if (m_confirmPass->text() != pass)
        return SaveWarn(kConfirm, kWarning, m_passphrase);
    return true;
}

bool TFM_Wirless::RadiusChecks()
{
    if (m_radiusSer->currentIndex() != 0)
        return true;
    struct Server {
        QLineEdit *server, *port, *secret;
        bool optional;
    };
    std::vector<Server> servers = {{m_radiusServer, m_radiusPort, m_radiusSecret, false},
                                   {m_backServer, m_backPort, m_backSecret, true}};
    if (m_accountMode->currentIndex() == 1) {
        servers.push_back({m_accountServer, m_accountPort, m_accountSecret, false});
        servers.push_back({m_backAccountServer, m_backAccountPort, m_backAccountSecret, true});
    }
    for (const Server &s : servers) {
        if (s.optional && s.server->text() == QLatin1String("0.0.0.0") && s.secret->text().isEmpty())
            continue;
        if (!IsValidIpAddress(s.server->text()))
            return SaveWarn(QStringLiteral("The Radius server's IP is illegal."), kError, s.server);
        const qint64 port = numberOf(s.port->text());
        if (s.port->text().isEmpty() || port < 1 || port > 65535)
            return SaveWarn(QStringLiteral("Please input a number between 1 and 65535."), kError, s.port);
        if (s.secret->text().isEmpty())
            return SaveWarn(QStringLiteral("The shared secret of radius server cannot be empty."), kError, s.secret);
        if (s.secret->text().size() > 64)
            return SaveWarn(QStringLiteral("The max length of secret of radius server is 64."), kError, s.secret);
    }
    return true;
}

bool TFM_Wirless::SecurityChecks(Choice choice)
{
    switch (choice) {
    case Choice::Wep: return WepChecks();
    case Choice::Personal: return (ClientMode() || IntervalCheck(m_updateInterval)) && PassphraseChecks();
    case Choice::Enterprise: return IntervalCheck(m_updateInterval) && RadiusChecks();
    case Choice::Dot1x: return IntervalCheck(m_update2) && RadiusChecks();
    case Choice::Open: return true;
    case Choice::None: break;
    }
    return false;
}

void TFM_Wirless::MarkMode()
{
    if (ClientMode()) {
        for (int v : {Ssid, ApMode, Band, Width})
            mark(m_radio, v);
        return;
    }
    for (int v : {Ssid, SsidBroadcast, Channel, AutoScan, ApMode, Band, Width})
        mark(m_radio, v, v != AutoScan || !WdsMode());
    m_deviceChannel->setText(m_channel->currentText());
}

void TFM_Wirless::MarkSecurity(Choice choice)
{
    mark(m_auth, Authentication);
    if (choice == Choice::Open) {
        mark(m_auth, Encryption);
        return;
    }
    if (choice == Choice::Wep) {
        mark(m_auth, KeyIndex);
        mark(m_auth, Encryption);
        m_encryption->setCurrentIndex(1);
        // A key index the device did not name is the first key: the key saved is row 1's.
        if (m_defaultKey->currentIndex() < 0)
            m_defaultKey->setCurrentIndex(0);
        const int row = DefaultKeyRow() - 1;
        mark(m_wepKey[size_t(row)], 0);
        mark(m_wepKey[size_t(row)], 1, !IsMasked(m_key[size_t(row)]->text()));
        return;
    }
    const bool wds = Mode() == QLatin1String("WDS");
    if (choice == Choice::Personal)
        mark(m_passphraseRequest, PassPhrase, !IsMasked(m_passphrase->text()));
    mark(m_passphraseRequest, CipherType, choice != Choice::Personal || !wds);
    mark(m_passphraseRequest, GroupKeyInterval, choice != Choice::Personal || !ClientMode());
    if (choice != Choice::Personal || !wds) {
        const int cipher = m_clipher->findText(m_cipherType->currentText(), Qt::MatchFixedString);
        if (cipher >= 0)
            m_clipher->setCurrentIndex(cipher);
    }
    if (choice != Choice::Personal)
        MarkRadius(choice);
}

void TFM_Wirless::MarkRadius(Choice choice)
{
    KxSNMPRequest2Edits *d = m_radiusRequest;
    if (m_radiusSer->currentIndex() != 0) {
        mark(d, NetProtect, choice == Choice::Enterprise && m_multEnable->currentIndex() != 1);
        return;
    }
    auto server = [d](int first, QLineEdit *address, QLineEdit *secret, bool optional) {
        if (optional && address->text() == QLatin1String("0.0.0.0") && secret->text().isEmpty())
            return;
        mark(d, first);
        mark(d, first + 1);
        mark(d, first + 2, !IsMasked(secret->text()));
    };
    server(RadiusServer, m_radiusServer, m_radiusSecret, false);
    server(BackRadiusServer, m_backServer, m_backSecret, true);
    mark(d, AccountStatus);
    mark(d, NetProtect);
    if (m_accountMode->currentIndex() == 1) {
        server(AccountServer, m_accountServer, m_accountSecret, false);
        server(BackAccountServer, m_backAccountServer, m_backAccountSecret, true);
    }
}

std::vector<KxSNMPRequest2Edits *> TFM_Wirless::MarkedRequests() const
{
    return {m_radio, m_auth, m_wepKey[0], m_wepKey[1], m_wepKey[2], m_wepKey[3], m_passphraseRequest,
            m_radiusRequest, m_peerAdd, m_cloneSourceRequest};
}

bool TFM_Wirless::SaveWrites(Choice choice)
{
    const bool mssid = m_multEnable->currentIndex() == 1;
    std::vector<Step> plan;
    if (m_country->text() == QLatin1String("JP"))
        plan.push_back(Step::Application);
    if (mssid && Mode() != QLatin1String("Access Point") && Mode() != QLatin1String("WDS with AP"))
        plan.push_back(Step::MssidOff);
    const std::vector<Step> branch = writePlan(Mode(), choice, mssid);
    if (branch.empty())
        return false;
    plan.insert(plan.end(), branch.begin(), branch.end());

    bool ok = true;
    for (Step step : plan) {
        bool done = true;
        switch (step) {
        case Step::Application:
            m_app->setCurrentIndex(ApplicationValueItem());
            done = WriteSync(m_applicationRequest);
            break;
        case Step::MssidOff:
            m_multEnable->setCurrentIndex(0);
            done = WriteSync(m_mssidState);
            break;
        case Step::CloneStatus: done = WriteSync(m_cloneStatusRequest); break;
        case Step::CloneSource: done = WriteCloneSource(); break;
        case Step::CloneMarkAgain: MarkCloneSecondPair(); break;
        case Step::Radio: done = WriteSync(m_radio); break;
        case Step::Key: done = WriteSync(m_wepKey[size_t(DefaultKeyRow() - 1)]); break;
        case Step::Pass: done = WriteSync(m_passphraseRequest); break;
        case Step::Radius: done = WriteSync(m_radiusRequest); break;
        case Step::Auth: done = WriteSync(m_auth); break;
        case Step::DeleteAll:
            // Adding after a failed delete-all would list the peers twice.
            if (!WriteSync(m_peerDeleteAll))
                return false;
            break;
        case Step::Add: done = WriteSync(m_peerAdd); break;
        case Step::ApplyIfOk:
        case Step::Apply:
            if (step == Step::ApplyIfOk && !ok)
                break;
            m_applySetting->setCurrentIndex(1);
            done = WriteSync(m_apply);
            break;
        }
        ok = ok && done;
    }
    return ok;
}

void TFM_Wirless::Bt_ApplyClick()
{
    if (!m_radio || !m_auth || !m_cloneSourceRequest || !SsidChecks())
        return;
    const Group group = SecurityGroup();
    const int security = m_securityMode->currentIndex();
    const Choice choice = ChoiceOf(group, security, m_encryption->currentIndex() != 0);
    if (choice == Choice::None || StoreItem(group, security, m_wpaMode->currentIndex()) < 0) {
        // No security mode picked that this mode offers: nothing of it may be written.
        ShowStatus(QStringLiteral("Setting error!"));
        return;
    }
    if ((WdsMode() && !RemoteMacChecks()) || (ClientMode() && !CloneChecks()) || !SecurityChecks(choice))
        return;
    bool ok = false;
    {
        const KxSavedMarks marks(MarkedRequests());
        SetSaveMarks(false);
        StoreSecurity();
        MarkMode();
        MarkSecurity(choice);
        if (WdsMode())
            MarkRemoteMacs();
        if (ClientMode())
            MarkCloneFirstPair();
        ok = SaveWrites(choice);
        CloseSaveWait();
    }
    if (!ok) {
        ShowStatus(QStringLiteral("Setting error!"));
        return;
    }
    Bt_RefreshClick();
    ShowStatus(QStringLiteral("Setting Success!"));
}
