// The one tab of 'Advanced \ Wireless Schedule' and the controls that only carry values.
#include "KxServiceKit.h"

#include "KxAccessible.h"
#include "TFM_Scheduling.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

QLineEdit *timeEdit(QWidget *parent, const char *name, const QString &accessible)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(QLatin1String(name));
    e->setProperty("typingLimit", 2);
    e->setAccessibleName(accessible);
    e->setMaximumWidth(40);
    return e;
}

QLayout *timeRow(QWidget *parent, QLineEdit *hour, QLineEdit *minute)
{
    auto *row = new QHBoxLayout;
    row->addWidget(hour);
    row->addWidget(new QLabel(QStringLiteral(":"), parent));
    row->addWidget(minute);
    row->addWidget(new QLabel(QStringLiteral("(hour:minute, 24 hour time) "), parent));
    row->addStretch();
    return row;
}

} // namespace

void TFM_Scheduling::BuildForm()
{
    static const char *const kDayBoxes[7] = {"CheckBox_Sun", "CheckBox_Mon", "CheckBox_Tue", "CheckBox_Wed",
                                             "CheckBox_Thu", "CheckBox_Fri", "CheckBox_Sat"};
    static const char *const kDayNames[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    auto *tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("PageControl1"));
    Body()->addWidget(tabs);
    auto *page = new QWidget(tabs);
    tabs->addTab(page, QStringLiteral("Wireless Scheduling Setting"));
    auto *v = new QVBoxLayout(page);

    auto *top = new QFormLayout;
    v->addLayout(top);
    m_statusBox = new QComboBox(page);
    m_statusBox->setObjectName(QStringLiteral("CBox_ScheduleStatus"));
    top->addRow(QStringLiteral("Wrieless Schedule"), m_statusBox);

    auto *listGroup = new QGroupBox(QStringLiteral("Schedule Rule List"), page);
    v->addWidget(listGroup);
    m_shown = KxReportList(listGroup, "User_ListView",
                           {QStringLiteral("Name"), QStringLiteral("SSID Index"), QStringLiteral("SSID "),
                            QStringLiteral("Days"), QStringLiteral("Time Frame"), QStringLiteral("Wireless")},
                           QStringLiteral("Schedule Rule List"));
    (new QVBoxLayout(listGroup))->addWidget(m_shown);

    auto *ruleGroup = new QGroupBox(QStringLiteral("Add Schedule Rule"), page);
    v->addWidget(ruleGroup);
    auto *form = new QFormLayout(ruleGroup);
    m_index = new QComboBox(ruleGroup);
    m_index->setObjectName(QStringLiteral("Cbox_SchIndex"));
    form->addRow(QStringLiteral("Index"), m_index);
    m_ssid = new QLineEdit(ruleGroup);
    m_ssid->setObjectName(QStringLiteral("Ed_SchSsid"));
    form->addRow(QStringLiteral("SSID"), m_ssid);
    m_nameEdit = new QLineEdit(ruleGroup);
    m_nameEdit->setObjectName(QStringLiteral("Ed_ScheduleName"));
    m_nameEdit->setProperty("typingLimit", 32);
    form->addRow(QStringLiteral("Name"), m_nameEdit);

    auto *dayBox = new QVBoxLayout;
    auto *choice = new QHBoxLayout;
    m_week = new QRadioButton(QStringLiteral("All Week "), ruleGroup);
    m_week->setObjectName(QStringLiteral("RB_Week"));
    m_day = new QRadioButton(QStringLiteral("Select Day(s)"), ruleGroup);
    m_day->setObjectName(QStringLiteral("RB_Day"));
    auto *group = new QButtonGroup(ruleGroup);
    group->addButton(m_week);
    group->addButton(m_day);
    choice->addWidget(m_week);
    choice->addWidget(m_day);
    choice->addStretch();
    dayBox->addLayout(choice);
    auto *days = new QHBoxLayout;
    for (int d = 0; d < 7; ++d) {
        m_days[size_t(d)] = new QCheckBox(QLatin1String(kDayNames[d]), ruleGroup);
        m_days[size_t(d)]->setObjectName(QLatin1String(kDayBoxes[d]));
        days->addWidget(m_days[size_t(d)]);
    }
    days->addStretch();
    dayBox->addLayout(days);
    form->addRow(QStringLiteral("Day(s)"), dayBox);
    m_allDay = new QCheckBox(QStringLiteral("All Day(s) - 24hrs"), ruleGroup);
    m_allDay->setObjectName(QStringLiteral("CheckBox_AllDay"));
    form->addRow(QString(), m_allDay);
    m_startHour = timeEdit(ruleGroup, "Ed_StartHour", QStringLiteral("Start Time hour"));
    m_startMinute = timeEdit(ruleGroup, "Ed_StartMinute", QStringLiteral("Start Time minute"));
    m_endHour = timeEdit(ruleGroup, "Ed_EndHour", QStringLiteral("End Time hour"));
    m_endMinute = timeEdit(ruleGroup, "Ed_EndMinute", QStringLiteral("End Time minute"));
    form->addRow(QStringLiteral("Start Time"), timeRow(ruleGroup, m_startHour, m_startMinute));
    form->addRow(QStringLiteral("End Time "), timeRow(ruleGroup, m_endHour, m_endMinute));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    form->addRow(buttons);
    auto button = [&](const QString &caption, const char *name, QWidget *parent, QHBoxLayout *row) {
        auto *b = new QPushButton(caption, parent);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        row->addWidget(b);
        return b;
    };
    m_add = button(QStringLiteral("Add"), "Btn_Add", ruleGroup, buttons);
    m_clear = button(QStringLiteral("Clear"), "Btn_Clear", ruleGroup, buttons);
    m_del = button(QStringLiteral("Delete"), "Btn_Del", ruleGroup, buttons);
    auto *below = new QHBoxLayout;
    below->addStretch();
    v->addLayout(below);
    m_apply = button(QStringLiteral("Apply"), "Btn_Apply", page, below);

    m_apModeBox = AddHidden<QComboBox>("CB_APMode");
    m_ssidList = AddHidden<QTreeWidget>("LV_SSID");
    m_table = AddHidden<QTreeWidget>("Schedule_ListView");
    setMinimumWidth(640); // room for every column of the rule list
    KxNameControls(this);
}

void TFM_Scheduling::Connect()
{
    connect(m_shown, &QTreeWidget::itemSelectionChanged, this, &TFM_Scheduling::User_ListViewSelect);
    connect(m_add, &QPushButton::clicked, this, &TFM_Scheduling::Btn_AddClick);
    connect(m_del, &QPushButton::clicked, this, &TFM_Scheduling::Btn_DelClick);
    connect(m_apply, &QPushButton::clicked, this, &TFM_Scheduling::Btn_ApplyClick);
    connect(m_clear, &QPushButton::clicked, this, &TFM_Scheduling::Btn_ClearClick);
    connect(m_statusBox, &QComboBox::activated, this, &TFM_Scheduling::CBox_ScheduleStatusChange);
    connect(m_allDay, &QCheckBox::clicked, this, &TFM_Scheduling::CheckBox_AllDayClick);
    connect(m_week, &QRadioButton::clicked, this, &TFM_Scheduling::RB_WeekClick);
    connect(m_day, &QRadioButton::clicked, this, &TFM_Scheduling::RB_DayClick);
    connect(m_index, &QComboBox::activated, this, &TFM_Scheduling::Cbox_SchIndexChange);
}
