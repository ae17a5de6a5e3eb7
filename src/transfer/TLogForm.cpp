#include "TLogForm.h"

#include "KxHostWindow.h"
#include "KxProgramFiles.h"

#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStatusBar>
#include <QTextStream>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

#define LOG_ROOT "1.3.6.1.4.1.32473.2.5.9.5.4"

const KxIntOption kGetOptions[] = {{0, "nothing"}, {1, "get"}, {0, nullptr}};
const KxIntOption kClearOptions[] = {{0, "nothing"}, {1, "clear"}, {0, nullptr}};
const KxOptionList &getOptions() { static const KxOptionList list(kGetOptions); return list; }
const KxOptionList &clearOptions() { static const KxOptionList list(kClearOptions); return list; }

const KxSNMPVarDesc kFetch[] = {
    {LOG_ROOT ".4", "systemLogTFTPServerIPAddress", KxSyntax::IpAddress, KxAccess::ReadWrite},
    {LOG_ROOT ".5", "systemLogFileName", KxSyntax::DisplayString, KxAccess::ReadWrite},
    {LOG_ROOT ".6", "systemLogGetLog", KxSyntax::Integer, KxAccess::ReadWrite, &getOptions()},
    {nullptr},
};
const KxSNMPVarDesc kGetLog[] = {
    {LOG_ROOT ".6", "systemLogGetLog", KxSyntax::Integer, KxAccess::ReadWrite, &getOptions()},
    {nullptr},
};
const KxSNMPVarDesc kClearLog[] = {
    {LOG_ROOT ".10", "systemLogClearLocalLog", KxSyntax::Integer, KxAccess::ReadWrite, &clearOptions()},
    {nullptr},
};

constexpr int kTimeout = 1000;  // hundredths of a second
constexpr int kDeviceWrites = 2; // a TFTP write request: the device delivers a file
constexpr int kBaseWidth = 478;  // the client width the button positions are given for

} // namespace

const QString TLogForm::LogFileName = QStringLiteral("LogFile.RD");

KxLogRow KxCutLogLine(const QString &line)
{
    KxLogRow row;
    QString rest = line;
    const qsizetype bar = rest.indexOf(QLatin1Char('|'));
    row.time = rest.left(bar < 0 ? 0 : bar).trimmed();
    rest.remove(0, bar + 1);
    rest.remove(0, rest.indexOf(QLatin1Char('[')) + 1);
    const qsizetype close = rest.indexOf(QLatin1Char(']'));
    row.type = rest.left(close < 0 ? 0 : close);
    rest.remove(0, close + 1);
    row.message = rest;
    return row;
}

TLogForm::TLogForm(QWidget *parent)
    : KxTransferScreen(QStringLiteral("LogForm"), QStringLiteral("Status \\ Log"), parent)
{
    BuildControls();
    BuildRequests();
    m_logPath = KxBesideProgram(LogFileName);
    if (!StartServer(5000, [this](QObject *, const KxTFTPMsg &msg, bool &cancel) { OnTransfer(msg, cancel); }))
        return;
    if (m_incoming.isValid()) {
        Guard([this] { Server()->Start(m_incoming.path(), TftpPort()); });
    } else {
        ShowStatus(QStringLiteral("Cannot create a folder for the log file."));
        return;
    }
    ShowStatus(QStringLiteral("Refresh..."));
    GetBtnClick();
}

TLogForm::~TLogForm()
{
    m_closing = true;
    Shutdown({m_fetch, m_getLog, m_clearLog});
    StopRequests();
}

void TLogForm::BuildControls()
{
    StatusBar()->setObjectName(QStringLiteral("StatusBar1"));
    m_outer = new QWidget(this);
    m_outer->setObjectName(QStringLiteral("Panel1"));
    m_outer->setMinimumSize(kBaseWidth - 20, 260);
    auto *group = new QGroupBox(QStringLiteral("View Log"), m_outer);
    group->setObjectName(QStringLiteral("GroupBox1"));
    m_inner = group;
    m_view = new QTreeWidget(group);
    m_view->setObjectName(QStringLiteral("ViewListView"));
    m_view->setHeaderLabels({QStringLiteral("Time"), QStringLiteral("Type"), QStringLiteral("Message")});
    m_view->setRootIsDecorated(false);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setStyleSheet(QStringLiteral("QTreeView::item { border-right: 1px solid palette(mid);"
                                         " border-bottom: 1px solid palette(mid); }"));
    (new QVBoxLayout(group))->addWidget(m_view);
    Body()->addWidget(m_outer, 1);

    m_buttons = new QWidget(this);
    m_buttons->setObjectName(QStringLiteral("Panel2"));
    m_buttons->setFixedHeight(36);
    auto button = [this](const QString &caption, const char *name) {
        auto *b = new QPushButton(caption, m_buttons);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        b->setFixedWidth(96);
        return b;
    };
    // Created left to right, so the tab order reads them as they stand.
    m_clear = button(QStringLiteral("Clear"), "Clear_Btn");
    m_get = button(QStringLiteral("Get Log"), "GetBtn");
    m_close = button(QStringLiteral("Close"), "CloseBtn");
    Body()->addWidget(m_buttons);
    connect(m_clear, &QPushButton::clicked, this, &TLogForm::Clear_BtnClick);
    connect(m_get, &QPushButton::clicked, this, &TLogForm::GetBtnClick);
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);
    m_outer->installEventFilter(this);
    m_buttons->installEventFilter(this);

    m_server = AddHidden<QLineEdit>("ServerEdit");
    m_fileName = AddHidden<QLineEdit>("FileNameEdit");
    m_getCombo = AddHidden<QComboBox>("GetCoBox");
    m_clearCombo = AddHidden<QComboBox>("Bt_Clear");
    m_lines = AddHidden<QListWidget>("LBLog");
    resize(kBaseWidth + 142, 420);
}

void TLogForm::BuildRequests()
{
    Guard([this] {
        KxSNMPRequest2Edits *fetch = MakeRequest(kFetch, KxItemType::Scalars, 0, true, kTimeout, false);
        fetch->BindControl(0, QStringLiteral("%s"), m_server);
        fetch->BindControl(1, QStringLiteral("%s"), m_fileName);
        fetch->OnSetComplete = [this](KxSNMPRequest2Controls *, const KxSNMPError &e) { FetchComplete(e); };
        KxSNMPRequest2Edits *getLog = MakeRequest(kGetLog, KxItemType::Scalars, 0, true, kTimeout, false);
        getLog->BindControl(0, m_getCombo);
        getLog->OnSetComplete = [this](KxSNMPRequest2Controls *, const KxSNMPError &e) { GetLogComplete(e); };
        KxSNMPRequest2Edits *clear = MakeRequest(kClearLog, KxItemType::Scalars, 0, true, kTimeout, false);
        clear->BindControl(0, m_clearCombo);
        clear->OnSetComplete = [this](KxSNMPRequest2Controls *, const KxSNMPError &e) { ClearComplete(e); };
        m_fetch = fetch;
        m_getLog = getLog;
        m_clearLog = clear;
    });
}

bool TLogForm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Resize && (watched == m_outer || watched == m_buttons))
        LayOut();
    return KxTransferScreen::eventFilter(watched, event);
}

void TLogForm::LayOut()
{
    m_inner->setGeometry(10, 10, std::max(0, m_outer->width() - 20), std::max(0, m_outer->height() - 20));
    const int client = width();
    const int top = (m_buttons->height() - m_get->sizeHint().height()) / 2;
    auto place = [&](QPushButton *b, int share) {
        const int x = client * share / kBaseWidth; // whole pixels, cut
        b->move(m_buttons->mapFrom(this, QPoint(x, 0)).x(), top);
    };
    place(m_get, 252);
    place(m_close, 368);
    place(m_clear, 142);
}

void TLogForm::GetBtnClick()
{
    ShowStatus(QStringLiteral("Refresh...!"));
    m_fileName->setText(LogFileName);
    m_server->clear();
    if (!Server() || !m_fetch)
        return;
    if (!FindLocalAddress(m_server)) {
        ShowStatus(QStringLiteral("No PC address on the device's network was found."));
        return;
    }
    // What an earlier fetch left is never taken for this one's delivery.
    QFile::remove(QDir(m_incoming.path()).filePath(LogFileName));
    m_state = Fetch();
    m_state.open = true;
    if (!Guard([this] { m_fetch->SetFromControls(true, true); }))
        m_state.open = false;
}

void TLogForm::FetchComplete(const KxSNMPError &error)
{
    if (error.Code != 0) {
        m_state.open = false;
        ShowStatus(error.Text);
        return;
    }
    KxSelectCommand(m_getLog, m_getCombo, QStringLiteral("get"));
    if (!Guard([this] { m_getLog->SetFromControls(true, true); }))
        m_state.open = false;
}

void TLogForm::GetLogComplete(const KxSNMPError &error)
{
    if (error.Code != 0) {
        m_state.open = false;
        ShowStatus(error.Text);
        return;
    }
    m_state.answered = true;
    Decide();
}

void TLogForm::OnTransfer(const KxTFTPMsg &msg, bool &cancel)
{
    // The window serves nothing to read and takes no other file than the log.
    if (msg.Operation != kDeviceWrites || msg.FileName != LogFileName) {
        cancel = true;
        return;
    }
    if (msg.Code == KxTFTPCode::Connected || msg.Code == KxTFTPCode::Transferring) {
        m_state.running.insert(msg.SessionNo);
        return;
    }
    m_state.running.remove(msg.SessionNo);
    if (msg.Code == KxTFTPCode::Success && m_state.open)
        m_state.received = true;
    // Outcomes are shown from the event loop, never from inside a transfer's report.
    if (m_state.answered)
        QTimer::singleShot(0, this, &TLogForm::Decide);
}

void TLogForm::Decide()
{
    if (m_closing || !m_state.open || !m_state.answered || !m_state.running.isEmpty())
        return; // a delivery still under way decides when it ends
    m_state.open = false;
    if (m_state.received && LoadDelivered()) {
        ShowRows();
        ShowStatus(QStringLiteral("Get OK."));
    } else {
        // Rows of an earlier fetch would pass for this one's.
        m_view->clear();
        ShowStatus(QStringLiteral("Get fail."));
    }
}

bool TLogForm::LoadDelivered()
{
    const QString incoming = QDir(m_incoming.path()).filePath(LogFileName);
    QFile file(incoming);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    QStringList lines;
    QTextStream in(&file);
    while (!in.atEnd())
        lines << in.readLine();
    if (file.error() != QFileDevice::NoError)
        return false;
    file.close();
    m_lines->clear();
    m_lines->addItems(lines);
    // The delivered file is kept where the program keeps its files; the served folder
    // is left empty again.
    QFile::remove(m_logPath);
    if (!QFile::rename(incoming, m_logPath)) {
        QFile::copy(incoming, m_logPath);
        QFile::remove(incoming);
    }
    return true;
}

void TLogForm::ShowRows()
{
    m_view->clear();
    for (int i = 0; i < m_lines->count(); ++i) {
        const QString line = m_lines->item(i)->text();
        if (line.isEmpty())
            continue;
        const KxLogRow row = KxCutLogLine(line);
        m_view->addTopLevelItem(new QTreeWidgetItem(QStringList{row.time, row.type, row.message}));
    }
    for (int c = 0; c < m_view->columnCount(); ++c)
        m_view->resizeColumnToContents(c);
}

void TLogForm::Clear_BtnClick()
{
    if (!m_clearLog)
        return;
    KxSelectCommand(m_clearLog, m_clearCombo, QStringLiteral("clear"));
    Guard([this] { m_clearLog->SetFromControls(true, true); });
}

void TLogForm::ClearComplete(const KxSNMPError &error)
{
    // The list is emptied only once the device has emptied its log.
    if (error.Code != 0) {
        ShowStatus(error.Text);
        return;
    }
    m_view->clear();
}
