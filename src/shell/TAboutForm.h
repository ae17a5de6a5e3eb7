// "Help\About": the module's name and release; Shift+Alt+F3 on OK shows the build.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

class TAboutForm : public QDialog {
    Q_OBJECT

public:
    explicit TAboutForm(QWidget *parent = nullptr);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPushButton *m_ok;
    QLabel *m_build;
};
