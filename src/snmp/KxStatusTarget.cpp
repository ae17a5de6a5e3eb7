#include "KxStatusTarget.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QStatusBar>

namespace {
QString panelName(int index)
{
    return QStringLiteral("KxStatusPanel%1").arg(index);
}
} // namespace

void KxStatusTarget::Write(const QString &text) const
{
    if (m_memo) {
        m_memo->appendPlainText(text);
    } else if (m_bar) {
        m_bar->showMessage(text);
    } else if (m_panel) {
        if (auto *bar = qobject_cast<QStatusBar *>(m_panel->parentWidget()))
            bar->clearMessage();
        m_panel->setText(text);
    }
}

QLabel *KxStatusPanel(QStatusBar *bar, int index)
{
    for (int i = 0; i <= index; ++i) {
        if (!bar->findChild<QLabel *>(panelName(i), Qt::FindDirectChildrenOnly)) {
            auto *label = new QLabel(bar);
            label->setObjectName(panelName(i));
            bar->addWidget(label);
        }
    }
    return bar->findChild<QLabel *>(panelName(index), Qt::FindDirectChildrenOnly);
}

QString KxStatusText(const QStatusBar *bar)
{
    if (!bar->currentMessage().isEmpty())
        return bar->currentMessage();
    QStringList texts;
    for (int i = 0;; ++i) {
        const auto *label = bar->findChild<QLabel *>(panelName(i), Qt::FindDirectChildrenOnly);
        if (!label)
            break;
        texts.append(label->text());
    }
    return texts.join(QStringLiteral(" | "));
}
