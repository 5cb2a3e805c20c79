#include "reminder/ReminderEditPage.h"

#include "app/Clock.h"
#include "app/PlannerContext.h"
#include "controls/Messages.h"
#include "reminder/ReminderAlertWnd.h"
#include "store/DataStore.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimeEdit>

namespace {
QDateTime NowToTheSecond()
{
    const QDateTime now = Clock::now();
    return QDateTime(now.date(), QTime(now.time().hour(), now.time().minute(), now.time().second()));
}
} // namespace

CReminderEditPage::CReminderEditPage(CPlannerContext& context, CReminderAlertWnd* pAlertWnd, QWidget* parent)
    : QWidget(parent), m_context(context), m_pAlertWnd(pAlertWnd)
{
    setObjectName(QStringLiteral("ReminderEditPage"));
    m_dtReminder = NowToTheSecond();
    m_tmDate = m_dtReminder.date();
    m_tmTime = m_dtReminder.time();

    m_pDatePicker = new QDateEdit(this);
    m_pDatePicker->setObjectName(QStringLiteral("datePicker"));
    m_pDatePicker->setCalendarPopup(true);
    m_pDatePicker->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    m_pTimePicker = new QTimeEdit(this);
    m_pTimePicker->setObjectName(QStringLiteral("timePicker"));
    m_pTimePicker->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    m_pTitleEdit = new QLineEdit(this);
    m_pTitleEdit->setObjectName(QStringLiteral("titleEdit"));
    m_pContentEdit = new QPlainTextEdit(this);
    m_pContentEdit->setObjectName(QStringLiteral("contentEdit"));
    m_pContentEdit->setTabChangesFocus(true);
    m_pRingCheck = new QCheckBox(QStringLiteral("铃声提醒"), this);
    m_pRingCheck->setObjectName(QStringLiteral("ringCheck"));

    auto* modeBox = new QGroupBox(QStringLiteral("提醒方式"), this);
    auto* modeLayout = new QHBoxLayout(modeBox);
    auto* modeGroup = new QButtonGroup(this);
    const QStringList modes = QStringLiteral("一次 每天 每周 每月 每年").split(u' ');
    for (int i = 0; i < modes.size(); ++i) {
        auto* button = new QRadioButton(modes.at(i), modeBox);
        button->setObjectName(QStringLiteral("mode%1").arg(i));
        modeGroup->addButton(button, i);
        modeLayout->addWidget(button);
        m_modeButtons << button;
    }
    modeLayout->addStretch();

    m_pAddButton = new QPushButton(QIcon(QStringLiteral(":/reminder/216.png")), QStringLiteral("增加"), this);
    m_pAddButton->setObjectName(QStringLiteral("addButton"));
    m_pSaveButton = new QPushButton(QIcon(QStringLiteral(":/reminder/206.png")), QStringLiteral("保存"), this);
    m_pSaveButton->setObjectName(QStringLiteral("saveButton"));
    for (QPushButton* b : {m_pAddButton, m_pSaveButton})
        b->setMinimumSize(90, 30);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(18, 14, 18, 14);
    grid->setHorizontalSpacing(10);
    const auto label = [this](const QString& text) { return new QLabel(text, this); };
    grid->addWidget(label(QStringLiteral("提醒日期")), 0, 0);
    grid->addWidget(m_pDatePicker, 0, 1);
    grid->addWidget(label(QStringLiteral("提醒时间")), 0, 2);
    grid->addWidget(m_pTimePicker, 0, 3);
    grid->addWidget(label(QStringLiteral("提醒标题")), 1, 0);
    grid->addWidget(m_pTitleEdit, 1, 1, 1, 3);
    grid->addWidget(label(QStringLiteral("提醒内容")), 2, 0, Qt::AlignTop);
    grid->addWidget(m_pContentEdit, 2, 1, 1, 3);
    grid->addWidget(modeBox, 3, 0, 1, 4);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_pRingCheck);
    buttons->addStretch();
    buttons->addWidget(m_pAddButton);
    buttons->addWidget(m_pSaveButton);
    grid->addLayout(buttons, 4, 0, 1, 4);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);

    connect(m_pAddButton, &QPushButton::clicked, this, &CReminderEditPage::OnAdd);
    connect(m_pSaveButton, &QPushButton::clicked, this, &CReminderEditPage::OnSave);
    connect(m_pRingCheck, &QCheckBox::clicked, this, &CReminderEditPage::OnRingCheck);
    connect(modeGroup, &QButtonGroup::idClicked, this, [this](int id) { m_nMode = id; });

    ShowData();
    m_pRingCheck->setChecked(m_bRingCheck);
    m_modeButtons.at(m_nMode)->setChecked(true);
    EnableEditing(false);
}

void CReminderEditPage::ShowData()
{
    m_pDatePicker->setDate(m_tmDate);
    m_pTimePicker->setTime(m_tmTime);
    m_pTitleEdit->setText(m_strTitle);
    m_pContentEdit->setPlainText(m_strContent);
}

void CReminderEditPage::UpdateData()
{
    m_tmDate = m_pDatePicker->date();
    m_tmTime = m_pTimePicker->time();
    m_strTitle = m_pTitleEdit->text();
    m_strContent = m_pContentEdit->toPlainText();
}

void CReminderEditPage::EnableEditing(bool bOn)
{
    if (bOn) {
        m_strTitle.clear();
        m_strContent.clear();
        m_dtReminder = NowToTheSecond();
        m_tmDate = m_dtReminder.date();
        m_tmTime = m_dtReminder.time();
        ShowData();
    }
    for (QWidget* w : std::initializer_list<QWidget*>{m_pTitleEdit, m_pContentEdit, m_pRingCheck, m_pDatePicker,
                                                      m_pTimePicker})
        w->setEnabled(bOn);
    for (QRadioButton* b : std::as_const(m_modeButtons))
        b->setEnabled(bOn);
    m_pAddButton->setEnabled(!bOn);
    m_pSaveButton->setEnabled(bOn);
    if (bOn)
        m_pTitleEdit->setFocus();
}

bool CReminderEditPage::IsTimeValid() const
{
    return m_nMode != 0 || m_dtReminder > NowToTheSecond();
}

void CReminderEditPage::OnAdd()
{
    EnableEditing(true);
}

void CReminderEditPage::OnRingCheck()
{
    m_bRingCheck = m_pRingCheck->isChecked();
    m_bRing = m_bRingCheck;
}

void CReminderEditPage::OnSave()
{
    UpdateData();
    const auto warn = [this](const QString& text) {
        Messages::show(this, text, QStringLiteral("警告"), Messages::Icon::Warning);
    };
    if (m_strTitle.isEmpty()) {
        warn(QStringLiteral("信息标题不能为空"));
        return;
    }
    m_dtReminder = QDateTime(m_tmDate, QTime(m_tmTime.hour(), m_tmTime.minute(), m_tmTime.second()));
    if (!IsTimeValid()) {
        warn(QStringLiteral("一次性的定时提醒要求提醒时间必须\n在当前时间之后，请修改你的提醒时间"));
        return;
    }
    if (!m_context.Store().AddReminder(m_dtReminder, m_nMode, m_bRing ? 1 : 0, m_strTitle, m_strContent)) {
        warn(QStringLiteral("保存数据失败,请重试"));
        return;
    }
    EnableEditing(false);
    if (m_pAlertWnd)
        m_pAlertWnd->ScheduleReload();
    m_context.ShowNotice(QStringLiteral("保存提醒信息到数据库成功"), 1, 5, true);
}
