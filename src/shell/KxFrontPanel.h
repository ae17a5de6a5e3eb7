// The device's front panel as the main window shows it: a drawn picture of the access
// point and the status lamps placed over it.
#pragma once

#include <QColor>
#include <QPixmap>
#include <QWidget>

// The 472 x 148 picture behind the lamps.
QPixmap DrawFrontPanel();

// A lamp: an 18 x 20 patch of colour without outline.
class KxLamp : public QWidget {
    Q_OBJECT

public:
    static inline const QColor Lit{0, 255, 0};
    static inline const QColor Dark{0, 0, 0};

    explicit KxLamp(QWidget *parent = nullptr);
    QColor color() const { return m_color; }
    void setColor(const QColor &color);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_color = Qt::white;
};
