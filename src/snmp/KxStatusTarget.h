// Where a request writes its log line: a status bar as a whole, one of its panels, or a
// memo that collects the lines.
#pragma once

#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QStatusBar>
#include <QString>

class KxStatusTarget {
public:
    KxStatusTarget() = default;
    KxStatusTarget(QStatusBar *bar) : m_bar(bar) {}
    KxStatusTarget(QLabel *panel) : m_panel(panel) {}
    KxStatusTarget(QPlainTextEdit *memo) : m_memo(memo) {}

    bool isSet() const { return m_bar || m_panel || m_memo; }
    // A memo gets a new line; a bar shows the text as its whole text; a panel shows it
    // as its own text, and its bar drops any whole text so the panel is what shows.
    void Write(const QString &text) const;

private:
    QPointer<QStatusBar> m_bar;
    QPointer<QLabel> m_panel;
    QPointer<QPlainTextEdit> m_memo;
};

// Panel `index` of a status bar, created (with the ones before it) when missing.
QLabel *KxStatusPanel(QStatusBar *bar, int index);
// The text a status bar shows now: its whole text, or else its panels' texts joined by " | ".
QString KxStatusText(const QStatusBar *bar);
