// What 'Advanced \ VLAN Settings' writes: a VLAN row (add, edit, delete), the VLAN
// status, and the port VLAN IDs, each followed by the device's apply where it takes one.
#include "TFM_VlanSettingParts.h"

namespace {

constexpr int kEnable = 1;

// A VLAN ID as typed: digits only, 1 to 4094; 0 for anything else.
int vidOf(const QString &text)
{
    if (text.isEmpty() || text.size() > 4)
        return 0;
    for (QChar c : text)
        if (c < u'0' || c > u'9')
            return 0;
    const int vid = text.toInt();
    return vid >= 1 && vid <= 4094 ? vid : 0;
}

void selectText(KxSNMPRequest2Edits *request, int variable, QComboBox *box, const QString &text)
{
    request->VarList()[variable].OptionList->Select(box, text);
}

} // namespace

bool TFM_VlanSetting::Write(KxSNMPRequest2Edits *request)
{
    bool ok = false;
    Guard([&] { ok = request->SetFromControls(true, true); });
    return ok;
}

void TFM_VlanSetting::RestoreMarks()
{
    KxSNMPVarList &list = m_vlanRequest->VarList();
    for (int i = 0; i < list.count() && i < int(m_marks.size()); ++i)
        list[i].Access = m_marks[size_t(i)];
    m_marks.clear();
}

void TFM_VlanSetting::WriteVlanRow(const std::function<bool(int variable)> &sent)
{
    KxSNMPVarList &list = m_vlanRequest->VarList();
    m_marks.clear();
    for (int i = 0; i < list.count(); ++i) {
        m_marks.push_back(list[i].Access);
        if (!sent(i))
            list[i].Access |= KxAccess::Excluded;
    }
    m_wait.Show();
    // The completion puts the marks back and ends the notice; a write that never left
    // has no completion, so that is done here.
    if (!Guard([this] { m_vlanRequest->SetFromControls(true, true); })) {
        RestoreMarks();
        m_wait.Close();
    }
}

void TFM_VlanSetting::VlanWritten(const KxSNMPError &error)
{
    // Whatever the outcome: marks left changed would make the next write send less.
    RestoreMarks();
    m_wait.Close();
    if (error.Code != 0) {
        ShowStatus(error.Text);
        return;
    }
    // The layer reads the list again after this, as after every table write.
    ShowStatus(QStringLiteral("Get OK!"));
}

void TFM_VlanSetting::AddButtonClick()
{
    Controls &c = *m_c;
    if (!m_vlanRequest || !m_table)
        return;
    if (m_table->Current().isEmpty()) {
        Dialogs().MessageBox(this, QStringLiteral("The VLAN table is full!"), QStringLiteral("Warning"));
        return;
    }
    const int vid = vidOf(c.vid->text());
    if (vid == 0) {
        Dialogs().MessageBox(this, QStringLiteral("The VID value range is 1~4094."), QStringLiteral("Warning"));
        c.vid->setFocus();
        return;
    }
    if (!m_addOrEdit) {
        for (int i = 0; i < m_table->Rows().Count(); ++i) {
            if (m_table->Cell(m_table->Entry(i), vlan::Vid) == QString::number(vid)) {
                Dialogs().MessageBox(this, QStringLiteral("There is an existent entry with the same VID.\nPlease change the VID."),
                                     QStringLiteral("Warning"));
                return;
            }
        }
    }
    // A VLAN without a name is never listed, so it could not be deleted either.
    if (c.name->text().isEmpty()) {
        Dialogs().MessageBox(this, QStringLiteral("Please input the VLAN name."), QStringLiteral("Warning"));
        c.name->setFocus();
        return;
    }
    static const char *const kValues[3] = {"untag", "tag", "none"};
    for (int p = 0; p < vlan::kPorts; ++p) {
        for (int k = 0; k < 3; ++k)
            if (c.choices[size_t(p)][size_t(k)]->isChecked())
                selectText(m_vlanRequest, vlan::FirstPort + p, c.members[size_t(p)], QLatin1String(kValues[k]));
    }
    c.vid->setEnabled(true);
    m_addOrEdit = false;
    WriteVlanRow([](int variable) { return variable != vlan::Delete; });
}

void TFM_VlanSetting::Btn_VlanDeleteClick()
{
    if (!m_vlanRequest || !m_table || m_state != Selected || m_table->Current().isEmpty())
        return;
    const QTreeWidgetItem *row = m_table->Entry(m_table->Rows().RowOf(m_table->Current()));
    const QString name = m_table->Cell(row, vlan::Name);
    if (!Dialogs().Confirm(this, QStringLiteral("Are you sure you want to delete ") + name + QLatin1Char('?'),
                           QStringLiteral("warning")))
        return;
    selectText(m_vlanRequest, vlan::Delete, m_c->deleteTrigger, QStringLiteral("delete"));
    // The index stays: it names the row.
    WriteVlanRow([](int variable) { return variable == vlan::Index || variable == vlan::Delete; });
}

void TFM_VlanSetting::Btn_SaveClick()
{
    if (!m_statusRequest)
        return;
    KxSaveWait wait(this);
    wait.Show();
    Write(m_statusRequest);
}

void TFM_VlanSetting::Btn_VlanApplyClick()
{
    if (!m_statusRequest || !m_applyRequest)
        return;
    KxSNMPVarList &list = m_statusRequest->VarList();
    const unsigned status = list[0].Access, mode = list[1].Access;
    list[0].Access &= ~KxAccess::Excluded;
    list[1].Access |= KxAccess::Excluded;
    selectText(m_applyRequest, 0, m_c->applyTrigger, QStringLiteral("apply"));
    KxSaveWait wait(this);
    wait.Show();
    const bool ok = Write(m_statusRequest) && Write(m_applyRequest);
    list[0].Access = status;
    list[1].Access = mode;
    if (ok) {
        RefreshPortList();
        ShowStatus(QStringLiteral("Set OK!"));
    } else {
        ShowStatus(QStringLiteral("Set Error!"));
    }
}

bool TFM_VlanSetting::PvidsValid()
{
    for (QLineEdit *edit : m_c->pvids) {
        if (vidOf(edit->text()) == 0) {
            Dialogs().MessageBox(this, QStringLiteral("The VID value range is 1~4094."), QStringLiteral("Warning"));
            edit->setText(QStringLiteral("1"));
            edit->setFocus();
            return false;
        }
    }
    return true;
}

void TFM_VlanSetting::Btn_PvidApplyClick()
{
    Controls &c = *m_c;
    if (!m_statusRequest || !m_pvidAutoRequest || !m_pvidRequest || !m_applyRequest)
        return;
    const bool vlanOn = c.status->currentIndex() == kEnable;
    const bool autoOn = c.pvidAuto->currentIndex() == kEnable;
    const bool values = vlanOn && !autoOn;
    if (values && !PvidsValid())
        return;
    selectText(m_applyRequest, 0, c.applyTrigger, QStringLiteral("apply"));
    bool ok = true;
    {
        KxSaveWait wait(this);
        wait.Show();
        if (!vlanOn) {
            ok = Write(m_statusRequest) && Write(m_applyRequest);
        } else {
            // Each is written, whatever the one before it answered.
            for (KxSNMPRequest2Edits *r : {m_statusRequest, m_pvidAutoRequest, values ? m_pvidRequest : nullptr,
                                           m_applyRequest})
                if (r)
                    ok = Write(r) && ok;
        }
    }
    if (values && ok) {
        Guard([this] { m_pvidRequest->GetIntoControls(); });
        ShowPvidsInPortList();
    }
    ShowStatus(ok ? QStringLiteral("Set OK!") : QStringLiteral("Set Error!"));
}
