#include "KxCounterScreen.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

namespace {

constexpr int kCountersTimeout = 10000;
constexpr int kClearItem = 1;

const KxIntOption kClear[] = {{0, "nothing"}, {1, "clear"}, {0, nullptr}};

} // namespace

const KxOptionList &KxCounterScreen::ClearOptions()
{
    static const KxOptionList list(kClear);
    return list;
}

KxCounterScreen::KxCounterScreen(const QString &objectName, const QString &caption, const Layout &layout,
                                 QWidget *parent)
    : KxScreen(objectName, caption, parent), m_layout(layout)
{
    auto *columns = new QHBoxLayout;
    Body()->addLayout(columns);
    QFormLayout *transmitted = AddGroup(QLatin1String(layout.transmittedTitle), columns);
    QFormLayout *received = AddGroup(QLatin1String(layout.receivedTitle), columns);
    std::vector<QLineEdit *> edits;
    for (int i = 0; layout.counters[i].OID; ++i) {
        const Counter &c = layout.labels[i];
        QFormLayout *group = i < layout.transmitted ? transmitted : received;
        QLineEdit *edit = AddEdit(group, QLatin1String(c.label), c.edit, true);
        edit->setAccessibleName(QString::fromLatin1(c.label).trimmed());
        edit->setMinimumWidth(110);
        edits.push_back(edit);
    }
    // The received group is the longer one: the transmitted counters stay at the top.
    transmitted->parentWidget()->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    columns->setAlignment(transmitted->parentWidget(), Qt::AlignTop);

    QPushButton *refresh = AddButton(QStringLiteral("Refresh"), "Bt_Refresh");
    QPushButton *clear = AddButton(QStringLiteral("Clear"), "Bt_Clear");
    for (QPushButton *b : {refresh, clear})
        b->setAccessibleName(b->text());
    connect(refresh, &QPushButton::clicked, this, &KxCounterScreen::Bt_RefreshClick);
    connect(clear, &QPushButton::clicked, this, &KxCounterScreen::Bt_ClearClick);
    m_clearBox = AddHidden<QComboBox>("CB_Clear");

    const bool built = Guard([&] {
        m_counters = MakeRequest(layout.counters, KxItemType::Instance, 0, false, kCountersTimeout);
        for (int i = 0; i < int(edits.size()); ++i)
            m_counters->BindControl(i, QStringLiteral("%s"), edits[size_t(i)]);
        // The clear reports to the status line: a refused reset must not pass unseen.
        m_clear = MakeRequest(layout.clear, KxItemType::Instance, 0, false, layout.clearTimeout);
        m_clear->BindControl(0, m_clearBox);
    });
    if (!built) {
        refresh->setEnabled(false);
        clear->setEnabled(false);
        return;
    }
    ShowStatus(QLatin1String(ReadCounters() ? layout.texts.getOk : layout.texts.getError));
}

bool KxCounterScreen::ReadCounters()
{
    bool read = false;
    Guard([&] { read = m_counters->GetIntoControls(); });
    return read;
}

void KxCounterScreen::Bt_RefreshClick()
{
    if (!m_counters)
        return;
    const Texts &t = m_layout.texts;
    ShowStatus(QLatin1String(ReadCounters() ? t.refreshOk : t.refreshError));
}

void KxCounterScreen::Bt_ClearClick()
{
    if (!m_clear)
        return;
    const Texts &t = m_layout.texts;
    m_clearBox->setCurrentIndex(kClearItem);
    if (t.clearing)
        ShowStatus(QLatin1String(t.clearing));
    bool cleared = false;
    Guard([&] { cleared = m_clear->SetFromControls(true, true); });
    if (!cleared)
        return;
    // Counters that could not be read again say so rather than that all went well.
    if (ReadCounters())
        ShowStatus(QLatin1String(t.clearOk));
    else
        ShowStatus(QLatin1String(t.refreshError));
}
