#include "TFM_Information.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const KxSNMPVarDesc kSystemGroup[] = {
    {"1.3.6.1.2.1.1.1", "systemDescr", KxSyntax::DisplayString, KxAccess::ReadOnly},
    {"1.3.6.1.2.1.1.2", "systemObjectID", KxSyntax::ObjectId, KxAccess::ReadOnly},
    {"1.3.6.1.2.1.1.3", "systemUpTime", KxSyntax::TimeTicks, KxAccess::ReadOnly},
    {"1.3.6.1.2.1.1.4", "systemContact", KxSyntax::DisplayString, KxAccess::ReadWrite},
    {"1.3.6.1.2.1.1.5", "systemName", KxSyntax::DisplayString, KxAccess::ReadWrite},
    {"1.3.6.1.2.1.1.6", "systemLocation", KxSyntax::DisplayString, KxAccess::ReadWrite},
    {nullptr},
};

constexpr int kMaxContact = 255;
constexpr int kMaxName = 39;
constexpr int kMaxLocation = 255;

} // namespace

TFM_Information::TFM_Information(QWidget *parent)
    : KxScreen(QStringLiteral("FM_Information"), QStringLiteral("Home \\ Information"), parent)
{
    QFormLayout *form = AddGroup();
    QLineEdit *edits[6] = {
        AddEdit(form, QStringLiteral("System Description:"), "Ed_SD", true),
        AddEdit(form, QStringLiteral("System Object ID:"), "Ed_SO", true),
        AddEdit(form, QStringLiteral("System Uptime:"), "Ed_SU", true),
        m_contact = AddEdit(form, QStringLiteral("System Contact:"), "Ed_SC"),
        m_name = AddEdit(form, QStringLiteral("System Name:"), "Ed_SN"),
        m_location = AddEdit(form, QStringLiteral("System Location:"), "Ed_SL"),
    };
    for (QLineEdit *edit : edits)
        edit->setMinimumWidth(320);
    QPushButton *refresh = AddButton(QStringLiteral("Refresh"), "Btn_Re");
    QPushButton *save = AddButton(QStringLiteral("Save"), "Btn_Sa");
    connect(refresh, &QPushButton::clicked, this, &TFM_Information::Btn_ReClick);
    connect(save, &QPushButton::clicked, this, &TFM_Information::Btn_SaClick);

    Guard([&] {
        KxSNMPRequest2Edits *request = MakeRequest(kSystemGroup, KxItemType::Scalars, 0, true, 3000);
        for (int i = 0; i < 6; ++i)
            request->BindControl(i, QStringLiteral("%s"), edits[i]);
        m_request = request;
        request->GetIntoControls();
    });
    // Limits typing only: a longer value read from the device stays whole, and Save says so.
    KxSetTypingLimit(m_contact, kMaxContact);
    KxSetTypingLimit(m_name, kMaxName);
    KxSetTypingLimit(m_location, kMaxLocation);
}

void TFM_Information::Btn_ReClick()
{
    if (m_request && Guard([this] { m_request->GetIntoControls(); }))
        ShowStatus(QStringLiteral("Get OK!"));
}

void TFM_Information::Btn_SaClick()
{
    const struct {
        QLineEdit *edit;
        int max;
        const char *name;
    } limits[] = {{m_contact, kMaxContact, "SystemContact"},
                  {m_name, kMaxName, "SystemName"},
                  {m_location, kMaxLocation, "SystemLocation"}};
    for (const auto &l : limits) {
        if (l.edit->text().size() > l.max) {
            Dialogs().MessageBox(this, QStringLiteral("The Max Lengh of the %1 is %2.").arg(QLatin1String(l.name)).arg(l.max),
                                 QStringLiteral("Error"));
            return;
        }
    }
    if (m_request && Guard([this] { m_request->SetFromControls(true, true); }))
        ShowStatus(QStringLiteral("Save OK!"));
}
