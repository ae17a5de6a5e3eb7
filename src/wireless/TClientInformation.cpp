#include "TClientInformation.h"

#include "KxDeviceObjects.h"
#include "KxStations.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

using namespace KxStations;

namespace {

constexpr int kTimeout = 10000;

QLabel *namedLabel(QWidget *parent, const char *name, const QString &text)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    return label;
}

} // namespace

TClientInformation::TClientInformation(QWidget *parent)
    : KxScreen(QStringLiteral("ClientInformation"), QStringLiteral("Status \\ Client Info"), parent)
{
    auto *header = new QHBoxLayout;
    header->addWidget(new QLabel(QStringLiteral("Client Information "), this));
    m_count = namedLabel(this, "NumOfRecord", QStringLiteral("0"));
    m_count->setAccessibleName(QStringLiteral("Client Information"));
    header->addWidget(m_count);
    header->addStretch();
    Body()->addLayout(header);

    auto *association = new QHBoxLayout;
    m_band = namedLabel(this, "Lb_Band", QString());
    m_band->setAccessibleName(QStringLiteral("Station association band"));
    association->addWidget(new QLabel(QStringLiteral("Station association"), this));
    association->addWidget(new QLabel(QStringLiteral("("), this));
    association->addWidget(m_band);
    association->addWidget(new QLabel(QStringLiteral("):"), this));
    association->addStretch();
    Body()->addLayout(association);

    m_users = new QTreeWidget(this);
    m_users->setObjectName(QStringLiteral("User_ListView"));
    m_users->setAccessibleName(QStringLiteral("Station association"));
    m_users->setRootIsDecorated(false);
    m_users->setHeaderLabels({QStringLiteral("Index"), QStringLiteral("SSID"), QStringLiteral("MAC"),
                              QStringLiteral("Band"), QStringLiteral("Authentication"), QStringLiteral("Signal"),
                              QStringLiteral("Power Saving Mode")});
    m_users->setMinimumSize(620, 220);
    Body()->addWidget(m_users);

    m_refresh = AddButton(QStringLiteral("Refresh"), "Bt_Rfrsh");
    QPushButton *close = AddButton(QStringLiteral("Close"), "Bt_Close");
    m_refresh->setAccessibleName(m_refresh->text());
    close->setAccessibleName(close->text());
    close->setDefault(true);
    connect(m_refresh, &QPushButton::clicked, this, &TClientInformation::Bt_RfrshClick);
    connect(close, &QPushButton::clicked, this, &QDialog::close);

    m_trigger = AddHidden<QComboBox>("IfGetInfo0");
    m_bandBox = AddHidden<QComboBox>("CB_Band");
    m_clients = AddHidden<QTreeWidget>("ClientListView");
    BuildRequests();
}

TClientInformation::~TClientInformation()
{
    StopRequests();
}

void TClientInformation::BuildRequests()
{
    const bool built = Guard([this] {
        KxSNMPRequest2Edits *trigger = MakeRequest(ClientTriggerObjects(), KxItemType::Instance, 1, true, kTimeout, false);
        trigger->BindControl(0, m_trigger);

        KxSNMPRequest2Edits *band = MakeRequest(KxDevice::BandObjects(), KxItemType::Instance, 0, false, kTimeout, false);
        band->BindControl(0, m_bandBox);
        Guard([band] { band->GetIntoControls(); });
        m_band->setText(m_bandBox->currentIndex() == 0 ? QStringLiteral("2.4GHZ") : QStringLiteral("5GHZ"));

        m_table = MakeRequest(ClientTable(), KxItemType::Table2, 1, true, kTimeout);
        m_table->BindListView(m_clients, true);
        m_gather = std::make_unique<KxGather>(trigger, m_trigger, m_table);
    });
    // The index column is there for the device's row, not for the eye.
    const int widths[] = {0, 100, 135, 120, 120, 50, 50};
    for (int c = 0; c < 7; ++c)
        m_users->setColumnWidth(c, widths[c]);
    m_users->setColumnHidden(0, true);
    if (!built) {
        m_gather.reset();
        m_detecting = false;
        m_refresh->setEnabled(false);
        return;
    }
    m_gather->TriggerFailed = [this](const KxSNMPError &error) {
        ShowStatus(QStringLiteral("Detect timed out!") + error.Text);
        ShowCount();
        m_detecting = false;
        m_refresh->setEnabled(true);
    };
    m_gather->Walking = [this] { ShowStatus(QStringLiteral("Get Client info...!")); };
    m_gather->TableRead = [this](const KxSNMPError &error) {
        m_detecting = false;
        m_refresh->setEnabled(true);
        ShowStatus(error.Text);
        if (error.Code == 0)
            BuildClientList();
        ShowCount();
    };
    StartDetection();
}

void TClientInformation::StartDetection()
{
    if (!m_gather || m_gather->Running())
        return;
    m_detecting = true;
    m_refresh->setEnabled(false);
    ShowStatus(QStringLiteral("Detect Client Info..."));
    m_users->clear();
    m_gather->Start();
}

void TClientInformation::Bt_RfrshClick()
{
    StartDetection();
}

void TClientInformation::done(int result)
{
    if (m_detecting)
        return;
    KxScreen::done(result);
}

void TClientInformation::ShowCount()
{
    m_count->setText(QString::number(m_users->topLevelItemCount()));
}

void TClientInformation::BuildClientList()
{
    m_users->clear();
    int number = 0;
    for (int i = 0; i < m_clients->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *row = m_clients->topLevelItem(i);
        const QString mac = Cell(m_table, row, Mac);
        if (mac == NoMac)
            continue;
        const QString psm = Cell(m_table, row, Psm);
        m_users->addTopLevelItem(new QTreeWidgetItem(QStringList{
            QString::number(++number), Cell(m_table, row, Ssid), mac, Cell(m_table, row, Band),
            ClientAuthenticationText(Cell(m_table, row, Authentication)), Cell(m_table, row, Rssi),
            psm == QLatin1String("1")   ? QStringLiteral("On")
            : psm == QLatin1String("0") ? QStringLiteral("Off")
                                        : psm}));
    }
}
