// The notice a screen shows while a long save runs ("Please wait..."), with the screen
// disabled meanwhile. As a scope guard: whatever way the save ends (a check that fails
// half way, an exception from a conversion), the notice goes and the screen is usable.
#pragma once

#include <QPointer>
#include <QWidget>

class TFM_Waiting;

class KxSaveWait {
public:
    explicit KxSaveWait(QWidget *window);
    ~KxSaveWait();
    KxSaveWait(const KxSaveWait &) = delete;
    KxSaveWait &operator=(const KxSaveWait &) = delete;

    // Shows the notice and disables the window; while shown, a further call does nothing
    // (a request's before-set hook calls it before each of its writes).
    void Show();
    // Enables the window and removes the notice; nothing when it is not shown.
    void Close();
    bool IsShown() const { return m_notice != nullptr; }
    TFM_Waiting *Notice() const { return m_notice; }

private:
    QPointer<QWidget> m_window;
    TFM_Waiting *m_notice = nullptr;
};
