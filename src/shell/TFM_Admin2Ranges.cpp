// The ranges of addresses managers must come from. The device keeps them in a table of
// four rows; a free row holds 0.0.0.0 to 0.0.0.0, and a row's own delete object makes
// it free again. The visible list shows only the rows in use.
#include "TFM_Admin2.h"

#include "KxAddress.h"
#include "KxTableRequest.h"

#include <QComboBox>
#include <QHostAddress>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

namespace {

constexpr int kMaxRanges = 4;
const QString kFree = QStringLiteral("0.0.0.0");
const QString kWaring = QStringLiteral("Waring");
const QString kWarning = QStringLiteral("Warning");
const QString kBadRange = QStringLiteral("Invalid IP address range for Administrator!");
const QString kListFull = QStringLiteral("Maximum number of IP Range List is 4!!");

// A dotted address as a number, first octet most significant (0 for anything else).
quint32 AddressNumber(const QString &text)
{
    return QHostAddress(text).toIPv4Address();
}

// The list-view column that shows `variable`.
int ColumnOf(const KxSNMPRequest2Edits &request, int variable)
{
    const std::vector<int> columns = request.ColumnVariables();
    for (int c = 0; c < int(columns.size()); ++c)
        if (columns[size_t(c)] == variable)
            return c;
    return -1;
}

void SelectOnly(QTreeWidget *list, int row)
{
    // Cleared first, so that picking the row already selected still copies it afresh.
    list->clearSelection();
    list->topLevelItem(row)->setSelected(true);
}

} // namespace

bool TFM_Admin2::eventFilter(QObject *watched, QEvent *event)
{
    if ((watched == m_fromIp || watched == m_toIp) && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (m_add->isEnabled())
                m_add->click();
            return true;
        }
    }
    return KxScreen::eventFilter(watched, event);
}

void TFM_Admin2::RefreshLists()
{
    Guard([this] {
        m_ipRange->clear();
        m_rangeTable->GetIntoControls();
        m_userList->clear();
        m_rangeList->RowNumber = 1;
        m_rangeList->SkipValue = kFree;
        m_rangeList->SkipColumn = RangeStart;
        m_rangeList->GetIntoControls();
    });
}

void TFM_Admin2::ClearRangeEdits()
{
    m_fromIp->clear();
    m_toIp->clear();
}

bool TFM_Admin2::RangeBusy() const
{
    // A check against lists still being read, or a second write before the first one
    // was answered, could reach the wrong row.
    return !m_rangeTable || !m_rangeList || m_rangeWrite != RangeWrite::None || m_rangeTable->Busy
        || m_rangeList->Busy;
}

int TFM_Admin2::FreeRowFor(quint32 from, quint32 to)
{
    const int startColumn = ColumnOf(*m_rangeTable, RangeStart);
    const int endColumn = ColumnOf(*m_rangeTable, RangeEnd);
    int free = -2;
    // Every row is checked: a range in use may sit behind a free row.
    for (int r = 0; r < m_ipRange->topLevelItemCount(); ++r) {
        const QTreeWidgetItem *row = m_ipRange->topLevelItem(r);
        const QString startText = row->text(startColumn);
        const QString endText = row->text(endColumn);
        const quint32 start = AddressNumber(startText);
        const quint32 end = AddressNumber(endText);
        if ((from >= start && from <= end) || (to >= start && to <= end)) {
            Dialogs().MessageBox(this, kBadRange, kWarning);
            m_fromIp->setFocus();
            return -1;
        }
        if (free == -2 && startText == kFree && endText == kFree)
            free = r;
    }
    return free;
}

void TFM_Admin2::WriteRange(int row, RangeWrite what)
{
    SelectOnly(m_ipRange, row);
    if (what == RangeWrite::Add) {
        m_rowFrom->setText(m_fromIp->text());
        m_rowTo->setText(m_toIp->text());
    }
    m_rowDelete->setCurrentIndex(m_rowDelete->findText(what == RangeWrite::Delete ? QStringLiteral("delete")
                                                                                   : QStringLiteral("nothing")));
    m_rangeWrite = what;
    if (!Guard([this] { m_rangeTable->SetFromControls(false, true); }))
        m_rangeWrite = RangeWrite::None;
}

void TFM_Admin2::Btn_AddClick()
{
    if (RangeBusy())
        return;
    if (m_userList->topLevelItemCount() >= kMaxRanges) {
        Dialogs().MessageBox(this, kListFull, kWaring);
        ClearRangeEdits();
        return;
    }
    for (QLineEdit *edit : {m_fromIp, m_toIp}) {
        if (!IsValidIpAddress(edit->text())) {
            Dialogs().MessageBox(this, QStringLiteral("Please input valid IP address"), kWaring);
            edit->clear();
            edit->setFocus();
            return;
        }
    }
    const quint32 from = AddressNumber(m_fromIp->text());
    const quint32 to = AddressNumber(m_toIp->text());
    if (to < from) {
        Dialogs().MessageBox(this, kBadRange, kWarning);
        m_fromIp->setFocus();
        return;
    }
    const int row = FreeRowFor(from, to);
    if (row == -1)
        return;
    if (row == -2) {
        Dialogs().MessageBox(this, kListFull, kWaring);
        ClearRangeEdits();
        return;
    }
    WriteRange(row, RangeWrite::Add);
}

void TFM_Admin2::Btn_DelClick()
{
    QTreeWidgetItem *picked = m_userList->selectedItems().value(0);
    if (!picked || RangeBusy())
        return;
    const QString key = m_rangeList->Rows.KeyOf(m_userList->indexOfTopLevelItem(picked));
    const QString start = picked->text(ColumnOf(*m_rangeList, RangeStart));
    const QString end = picked->text(ColumnOf(*m_rangeList, RangeEnd));
    const int keyColumn = ColumnOf(*m_rangeTable, RangeIndex);
    const int startColumn = ColumnOf(*m_rangeTable, RangeStart);
    const int endColumn = ColumnOf(*m_rangeTable, RangeEnd);
    int row = -1;
    for (int r = 0; r < m_ipRange->topLevelItemCount() && row < 0; ++r) {
        const QTreeWidgetItem *item = m_ipRange->topLevelItem(r);
        if (item->text(keyColumn) == key && item->text(startColumn) == start && item->text(endColumn) == end)
            row = r;
    }
    if (row < 0) {
        // The device's table as read does not hold the picked range: a delete now
        // would reach whichever row happened to be selected.
        ShowStatus(QStringLiteral("Delete Error!"));
        return;
    }
    // Only the delete object goes out. Marked read-only rather than excluded: the
    // columns keep their places, so the selected row still copies into the right ones.
    KxSNMPVarList &list = m_rangeTable->VarList();
    list[RangeStart].Access = list[RangeEnd].Access = KxAccess::ReadOnly;
    WriteRange(row, RangeWrite::Delete);
    list[RangeStart].Access = list[RangeEnd].Access = KxAccess::ReadWrite;
}

void TFM_Admin2::RangeWritten(bool ok)
{
    const RangeWrite what = m_rangeWrite;
    m_rangeWrite = RangeWrite::None;
    if (what == RangeWrite::Add) {
        if (ok)
            ClearRangeEdits();
        ShowStatus(ok ? QStringLiteral("Set OK!") : QStringLiteral("Setting Error!"));
    } else if (what == RangeWrite::Delete) {
        ShowStatus(ok ? QStringLiteral("Delete OK!") : QStringLiteral("Delete Error!"));
    }
}
