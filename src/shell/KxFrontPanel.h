// The device's front panel as the main window shows it: a drawn picture of the access
// point and the status lamps placed over it.
#pragma once

#include <QColor>
#include <QPixmap>
#include <QWidget>

// The 472 x 148 picture behind the lamps.
QPixmap DrawFrontPanel();

// A lamp: an 18 x 20 patch of colour without outline. For assistive technology it is
// named by its caption on the panel, and its description tells its state ("2.4G: on").
class KxLamp : public QWidget {
    Q_OBJECT

public:
    static inline const QColor Lit{0, 255, 0};
    static inline const QColor Dark{0, 0, 0};

    explicit KxLamp(const QString &caption = QString(), QWidget *parent = nullptr);
    QColor color() const { return m_color; }
    void setColor(const QColor &color);
    // A blinking lamp is on, whichever colour it shows at the moment.
    void setBlinking(bool blinking);
    bool isOn() const { return m_blinking || m_color == Lit; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void describe();

    QString m_caption;
    QColor m_color = Qt::white;
    bool m_blinking = false;
};
