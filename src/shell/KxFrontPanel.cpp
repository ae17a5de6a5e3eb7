#include "KxFrontPanel.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

QPixmap DrawFrontPanel()
{
    QPixmap picture(472, 148);
    picture.fill(QColor(236, 238, 241));
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);

    // The housing: a rounded slab with a soft top-to-bottom shade.
    QLinearGradient shade(0, 20, 0, 130);
    shade.setColorAt(0, QColor(250, 251, 252));
    shade.setColorAt(1, QColor(196, 201, 208));
    QPainterPath body;
    body.addRoundedRect(QRectF(12, 22, 448, 104), 18, 18);
    p.fillPath(body, shade);
    p.setPen(QPen(QColor(140, 146, 155), 1.5));
    p.drawPath(body);

    // Two antennas behind the housing.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(70, 74, 80));
    p.drawRoundedRect(QRectF(34, 2, 9, 30), 4, 4);
    p.drawRoundedRect(QRectF(429, 2, 9, 30), 4, 4);

    // The lamp strip: recessed wells behind the four lamps.
    p.setBrush(QColor(58, 62, 68));
    p.drawRoundedRect(QRectF(172, 40, 74, 32), 6, 6);
    p.drawRoundedRect(QRectF(283, 39, 30, 32), 6, 6);

    QFont font(QStringLiteral("Sans"), 7);
    p.setFont(font);
    p.setPen(QColor(60, 64, 70));
    // Captions centred under the lamps placed at x = 178, 200, 222 and 289.
    p.drawText(QRectF(175, 74, 24, 12), Qt::AlignCenter, QStringLiteral("5G"));
    p.drawText(QRectF(197, 74, 24, 12), Qt::AlignCenter, QStringLiteral("2.4G"));
    p.drawText(QRectF(219, 74, 24, 12), Qt::AlignCenter, QStringLiteral("AP"));
    p.drawText(QRectF(283, 74, 30, 12), Qt::AlignCenter, QStringLiteral("PWR"));

    QFont name(QStringLiteral("Sans"), 13, QFont::Bold);
    p.setFont(name);
    p.setPen(QColor(38, 66, 110));
    p.drawText(QRectF(30, 92, 200, 24), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("RWN-3460"));
    p.setFont(font);
    p.setPen(QColor(90, 96, 104));
    p.drawText(QRectF(30, 110, 220, 12), Qt::AlignLeft, QStringLiteral("Wireless Access Point"));

    // Ventilation slots on the right.
    p.setPen(QPen(QColor(150, 156, 164), 2, Qt::SolidLine, Qt::RoundCap));
    for (int x = 340; x <= 430; x += 10)
        p.drawLine(x, 50, x, 100);
    return picture;
}

KxLamp::KxLamp(const QString &caption, QWidget *parent) : QWidget(parent), m_caption(caption)
{
    setFixedSize(18, 20);
    setAccessibleName(caption);
    describe();
}

void KxLamp::setColor(const QColor &color)
{
    if (color == m_color)
        return;
    m_color = color;
    update();
    describe();
}

void KxLamp::setBlinking(bool blinking)
{
    m_blinking = blinking;
    describe();
}

void KxLamp::describe()
{
    // Only a change is announced: a blinking lamp stays "on" between its flashes.
    const QString text = m_caption + (isOn() ? QStringLiteral(": on") : QStringLiteral(": off"));
    if (accessibleDescription() != text)
        setAccessibleDescription(text);
}

void KxLamp::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), m_color);
}
