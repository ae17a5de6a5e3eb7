#include "KxSaveWait.h"

#include "TFM_Waiting.h"

#include <QLabel>

KxSaveWait::KxSaveWait(QWidget *window) : m_window(window) {}

KxSaveWait::~KxSaveWait()
{
    Close();
}

void KxSaveWait::Show()
{
    if (m_notice)
        return;
    m_notice = TFM_Waiting::ShowNotice(m_window, QStringLiteral("Please wait..."),
                                       QStringLiteral("The settings are saving and taking effect."), QString());
    m_notice->Line("Label1")->hide();
    if (m_window)
        m_window->unsetCursor();
}

void KxSaveWait::Close()
{
    if (!m_notice)
        return;
    if (m_window)
        m_window->unsetCursor();
    TFM_Waiting::CloseNotice(m_window, m_notice);
    m_notice = nullptr;
}
