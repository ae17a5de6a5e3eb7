#include "TAboutForm.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

TAboutForm::TAboutForm(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutForm"));
    setWindowTitle(QStringLiteral("Help\\About"));
    auto *layout = new QVBoxLayout(this);
    auto *icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("Image1"));
    icon->setPixmap(style()->standardIcon(QStyle::SP_DriveNetIcon).pixmap(32, 32));
    auto *model = new QLabel(QStringLiteral("RWN-3460 Management Module"), this);
    model->setObjectName(QStringLiteral("Label1"));
    QFont bold = model->font();
    bold.setBold(true);
    model->setFont(bold);
    auto *release = new QLabel(QStringLiteral("Release Version: v1.10"), this);
    release->setObjectName(QStringLiteral("Label2"));
    auto *notice = new QLabel(QStringLiteral("Copyright (C) the maker of the RWN-3460. All rights reserved."), this);
    notice->setObjectName(QStringLiteral("Label3"));
    m_build = new QLabel(QStringLiteral("R35(2009/06/09)"), this);
    m_build->setObjectName(QStringLiteral("LB_Build"));
    m_build->setStyleSheet(QStringLiteral("color: red"));
    m_build->hide();
    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setObjectName(QStringLiteral("OKButton"));
    m_ok->setDefault(true);
    for (QWidget *w : std::initializer_list<QWidget *>{icon, model, release, notice, m_build, m_ok})
        layout->addWidget(w);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    m_ok->installEventFilter(this);
}

bool TAboutForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_ok && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const Qt::KeyboardModifiers wanted = Qt::ShiftModifier | Qt::AltModifier;
        if (key->key() == Qt::Key_F3 && (key->modifiers() & wanted) == wanted) {
            m_build->show();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
