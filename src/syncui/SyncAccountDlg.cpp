#include "syncui/SyncAccountDlg.h"

#include "controls/Messages.h"
#include "sync/SyncSettings.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QThread>
#include <QVBoxLayout>
#include <utility>

namespace {
const QString kCaption = QStringLiteral("日历同步");
const QString kTasksName = QStringLiteral("Kestrum 事情");
const QString kRemindersName = QStringLiteral("Kestrum 提醒");
/// A server that has not answered by then will not: the user hears so and may try again.
constexpr std::chrono::seconds kTimeout(20);

/// The calendar's href rides in the item's data; its name is what the user sees.
void AddCalendar(QComboBox* combo, const QString& name, const QString& href)
{
    combo->addItem(name, href);
}

/// "ab:cd:…", two lines of 16 bytes: a fingerprint people can hold beside the one their server
/// shows.
QString Fingerprint(const QByteArray& hex)
{
    QStringList pairs;
    for (qsizetype i = 0; i + 1 < hex.size(); i += 2)
        pairs << QString::fromLatin1(hex.mid(i, 2)).toUpper();
    QStringList lines;
    for (qsizetype i = 0; i < pairs.size(); i += 16)
        lines << pairs.mid(i, 16).join(u':');
    return lines.join(u'\n');
}

/// One line for the result of a test; the dialog names the four ways a new account goes wrong
/// in its own words, the rest in the client's.
QString ResultText(const DavResult& result, const DavAccount& account)
{
    switch (result.error) {
    case DavError::None:
        return QString();
    case DavError::Network:
        return QStringLiteral("连接不上服务器 %1，请检查服务器地址和网络").arg(account.server.host());
    case DavError::Auth:
        return QStringLiteral("用户名或密码不对");
    case DavError::NotCalDav:
    case DavError::NotFound:
        return QStringLiteral("这个地址上没有 CalDAV 日历服务，请检查服务器地址");
    case DavError::Certificate:
        return QStringLiteral("服务器的证书不受系统信任");
    case DavError::Timeout:
        return QStringLiteral("服务器没有回答，请稍后再试");
    default:
        break;
    }
    return result.strMessage.isEmpty() ? QStringLiteral("连接失败：%1").arg(result.strServerAnswer)
                                       : result.strMessage;
}
} // namespace

/// One request's input and output, handed to the worker and back.
struct CSyncAccountDlg::Job
{
    DavAccount account;
    DavResult result;
    DavDiscovery discovery;
    // For a new calendar: which kind, and the href it got.
    bool bMake = false;
    bool bTodos = false;
    QString strHref;

    void Run()
    {
        CCalDavClient client(account, kTimeout);
        result = client.Discover(discovery);
        if (!bMake || !result.Ok())
            return;
        const QString name = bTodos ? kTasksName : kRemindersName;
        // A calendar of ours already there (made from another machine, or by the command line)
        // is taken, not doubled.
        for (const DavCalendar& calendar : std::as_const(discovery.calendars)) {
            if (calendar.strName == name && (bTodos ? calendar.bTodos : calendar.bEvents)) {
                strHref = calendar.strHref;
                return;
            }
        }
        result = client.MakeCalendar(discovery.strHome, name, bTodos, strHref);
        if (result.Ok())
            result = client.Discover(discovery);
    }
};

CSyncAccountDlg::CSyncAccountDlg(QString settingsPath, const QString& password,
                                 std::function<void(const QString&)> keepPassword, QWidget* parent)
    : QDialog(parent), m_strSettingsPath(std::move(settingsPath)), m_keepPassword(std::move(keepPassword))
{
    setObjectName(QStringLiteral("SyncAccountDlg"));
    setWindowTitle(QStringLiteral("日历同步账户"));
    const SyncSettings settings = SyncSettings::Load(m_strSettingsPath);
    m_trustedFingerprint = settings.trustedFingerprint;

    auto* serverFrame = new QGroupBox(QStringLiteral("服务器"), this);
    auto* serverLayout = new QFormLayout(serverFrame);
    const auto edit = [serverFrame](const QString& name, const QString& text) {
        auto* line = new QLineEdit(text, serverFrame);
        line->setObjectName(name);
        line->setMinimumWidth(300);
        return line;
    };
    m_pServerEdit = edit(QStringLiteral("serverEdit"), settings.server.toString());
    m_pServerEdit->setPlaceholderText(QStringLiteral("https://calendar.example.org"));
    m_pUserEdit = edit(QStringLiteral("userEdit"), settings.strUser);
    m_pPasswordEdit = edit(QStringLiteral("passwordEdit"), password);
    m_pPasswordEdit->setEchoMode(QLineEdit::Password);
    m_pPasswordEdit->setToolTip(QStringLiteral("密码存放在桌面的密钥环中，不写入任何文件"));
    serverLayout->addRow(QStringLiteral("服务器地址"), m_pServerEdit);
    serverLayout->addRow(QStringLiteral("用户名"), m_pUserEdit);
    serverLayout->addRow(QStringLiteral("密码"), m_pPasswordEdit);
    m_pTestButton = new QPushButton(QStringLiteral("测试连接"), serverFrame);
    m_pTestButton->setObjectName(QStringLiteral("testButton"));
    m_pResultLabel = new QLabel(serverFrame);
    m_pResultLabel->setObjectName(QStringLiteral("resultLabel"));
    m_pResultLabel->setWordWrap(true);
    m_pResultLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* testRow = new QHBoxLayout;
    testRow->addWidget(m_pTestButton);
    testRow->addWidget(m_pResultLabel, 1);
    serverLayout->addRow(testRow);

    auto* calendarFrame = new QGroupBox(QStringLiteral("日历"), this);
    auto* calendarLayout = new QFormLayout(calendarFrame);
    const auto picker = [calendarFrame, calendarLayout](const QString& label, const QString& name,
                                                        const QString& buttonName, const QString& saved) {
        auto* combo = new QComboBox(calendarFrame);
        combo->setObjectName(name);
        combo->setMinimumWidth(220);
        // Until a test lists the server's calendars, the saved choice stays as it was.
        if (!saved.isEmpty())
            AddCalendar(combo, saved.section(u'/', -2, -2), saved);
        auto* button = new QPushButton(QStringLiteral("新建"), calendarFrame);
        button->setObjectName(buttonName);
        button->setEnabled(false);
        auto* row = new QHBoxLayout;
        row->addWidget(combo, 1);
        row->addWidget(button);
        calendarLayout->addRow(label, row);
        return std::pair{combo, button};
    };
    std::tie(m_pTasksCombo, m_pNewTasksButton) =
        picker(QStringLiteral("事情存入"), QStringLiteral("tasksCombo"), QStringLiteral("newTasksButton"),
               settings.strTasksCalendar);
    std::tie(m_pRemindersCombo, m_pNewRemindersButton) =
        picker(QStringLiteral("提醒存入"), QStringLiteral("remindersCombo"),
               QStringLiteral("newRemindersButton"), settings.strRemindersCalendar);
    m_pNewTasksButton->setToolTip(QStringLiteral("在服务器上新建日历“%1”").arg(kTasksName));
    m_pNewRemindersButton->setToolTip(QStringLiteral("在服务器上新建日历“%1”").arg(kRemindersName));
    m_pIntervalSpin = new QSpinBox(calendarFrame);
    m_pIntervalSpin->setObjectName(QStringLiteral("intervalSpin"));
    m_pIntervalSpin->setRange(0, 24 * 60);
    m_pIntervalSpin->setSuffix(QStringLiteral(" 分钟"));
    m_pIntervalSpin->setSpecialValueText(QStringLiteral("只在启动、修改后和手动时"));
    m_pIntervalSpin->setValue(settings.nIntervalMinutes);
    calendarLayout->addRow(QStringLiteral("同步间隔"), m_pIntervalSpin);

    m_pSaveButton = new QPushButton(QIcon(QStringLiteral(":/dialogs/147.png")), QStringLiteral("保存"), this);
    m_pSaveButton->setObjectName(QStringLiteral("saveButton"));
    m_pSaveButton->setDefault(true);
    m_pCloseButton =
        new QPushButton(QIcon(QStringLiteral(":/dialogs/146.png")), QStringLiteral("关闭"), this);
    m_pCloseButton->setObjectName(QStringLiteral("closeButton"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_pSaveButton);
    buttons->addWidget(m_pCloseButton);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(serverFrame);
    layout->addWidget(calendarFrame);
    layout->addLayout(buttons);

    // A fingerprint belongs to the server it was accepted for.
    connect(m_pServerEdit, &QLineEdit::textEdited, this, [this] { m_trustedFingerprint.clear(); });
    connect(m_pTestButton, &QPushButton::clicked, this, &CSyncAccountDlg::OnTest);
    connect(m_pNewTasksButton, &QPushButton::clicked, this, [this] { OnNewCalendar(true); });
    connect(m_pNewRemindersButton, &QPushButton::clicked, this, [this] { OnNewCalendar(false); });
    connect(m_pSaveButton, &QPushButton::clicked, this, &CSyncAccountDlg::OnSave);
    connect(m_pCloseButton, &QPushButton::clicked, this, &QDialog::reject);
}

CSyncAccountDlg::~CSyncAccountDlg() = default;

DavAccount CSyncAccountDlg::AccountFromControls() const
{
    DavAccount account;
    QString address = m_pServerEdit->text().trimmed();
    // People type a host name as they would in a browser.
    if (!address.isEmpty() && !address.contains(QStringLiteral("://")))
        address.prepend(QStringLiteral("https://"));
    account.server = QUrl(address);
    account.strUser = m_pUserEdit->text().trimmed();
    account.strPassword = m_pPasswordEdit->text();
    account.trustedFingerprint = m_trustedFingerprint;
    return account;
}

bool CSyncAccountDlg::CheckAddress()
{
    const DavAccount account = AccountFromControls();
    QLineEdit* missing = nullptr;
    QString text;
    if (!account.server.isValid() || account.server.host().isEmpty()) {
        missing = m_pServerEdit;
        text = QStringLiteral("请填写服务器地址");
    } else if (account.strUser.isEmpty()) {
        missing = m_pUserEdit;
        text = QStringLiteral("请填写用户名");
    }
    if (!missing)
        return true;
    Messages::show(this, text, kCaption, Messages::Icon::Warning);
    missing->setFocus();
    return false;
}

void CSyncAccountDlg::OnTest()
{
    if (!CheckAddress())
        return;
    auto job = std::make_shared<Job>();
    job->account = AccountFromControls();
    SetBusy(true, QStringLiteral("正在连接服务器…"));
    Start(job, &CSyncAccountDlg::OnTested);
}

void CSyncAccountDlg::OnNewCalendar(bool bTodos)
{
    if (!CheckAddress())
        return;
    auto job = std::make_shared<Job>();
    job->account = AccountFromControls();
    job->bMake = true;
    job->bTodos = bTodos;
    SetBusy(true, QStringLiteral("正在新建日历…"));
    Start(job, &CSyncAccountDlg::OnCalendarMade);
}

void CSyncAccountDlg::Start(std::shared_ptr<Job> job, void (CSyncAccountDlg::*done)(const Job&))
{
    QThread* worker = QThread::create([job] { job->Run(); });
    // The worker owns its request: a window closed meanwhile does not wait for a slow server, and
    // the answer then goes nowhere.
    connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    connect(worker, &QThread::finished, this, [this, job, done] { (this->*done)(*job); });
    worker->start();
}

void CSyncAccountDlg::SetBusy(bool bBusy, const QString& note)
{
    for (QWidget* widget :
         {static_cast<QWidget*>(m_pTestButton), static_cast<QWidget*>(m_pSaveButton),
          static_cast<QWidget*>(m_pNewTasksButton), static_cast<QWidget*>(m_pNewRemindersButton)})
        widget->setEnabled(!bBusy);
    if (!bBusy) {
        m_pNewTasksButton->setEnabled(m_bDiscovered);
        m_pNewRemindersButton->setEnabled(m_bDiscovered);
    }
    m_pResultLabel->setText(note);
}

void CSyncAccountDlg::OnTested(const Job& job)
{
    if (job.result.error == DavError::Certificate && !job.result.certificateFingerprint.isEmpty() &&
        job.result.certificateFingerprint != m_trustedFingerprint) {
        SetBusy(false, ResultText(job.result, job.account));
        const QString text =
            QStringLiteral("服务器 %1 的证书不受系统信任。\n证书的 SHA-256 指纹：\n%2\n\n"
                           "只有确认这个指纹和你的服务器的证书相同时，才信任它。信任这个证书吗？")
                .arg(job.account.server.host(), Fingerprint(job.result.certificateFingerprint));
        if (Messages::show(this, text, kCaption, Messages::Icon::Warning,
                           QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes) {
            emit workFinished();
            return;
        }
        m_trustedFingerprint = job.result.certificateFingerprint;
        OnTest();
        return;
    }
    m_bDiscovered = job.result.Ok();
    if (m_bDiscovered) {
        FillCalendars(job.discovery, m_pTasksCombo->currentData().toString(),
                      m_pRemindersCombo->currentData().toString());
        SetBusy(false, QStringLiteral("连接成功，服务器上有 %1 个日历").arg(job.discovery.calendars.size()));
    } else {
        SetBusy(false, ResultText(job.result, job.account));
    }
    emit workFinished();
}

void CSyncAccountDlg::OnCalendarMade(const Job& job)
{
    m_bDiscovered = job.result.Ok();
    if (m_bDiscovered) {
        const bool bTodos = job.bTodos;
        FillCalendars(job.discovery, bTodos ? job.strHref : m_pTasksCombo->currentData().toString(),
                      bTodos ? m_pRemindersCombo->currentData().toString() : job.strHref);
        SetBusy(false, QStringLiteral("已建好日历“%1”").arg(bTodos ? kTasksName : kRemindersName));
    } else {
        SetBusy(false, ResultText(job.result, job.account));
    }
    emit workFinished();
}

void CSyncAccountDlg::FillCalendars(const DavDiscovery& discovery, const QString& tasks,
                                    const QString& reminders)
{
    m_pTasksCombo->clear();
    m_pRemindersCombo->clear();
    for (const DavCalendar& calendar : discovery.calendars) {
        if (calendar.bTodos)
            AddCalendar(m_pTasksCombo, calendar.strName, calendar.strHref);
        if (calendar.bEvents)
            AddCalendar(m_pRemindersCombo, calendar.strName, calendar.strHref);
    }
    // The choice made before stays where the server still has it.
    m_pTasksCombo->setCurrentIndex(qMax(0, m_pTasksCombo->findData(tasks)));
    m_pRemindersCombo->setCurrentIndex(qMax(0, m_pRemindersCombo->findData(reminders)));
}

void CSyncAccountDlg::OnSave()
{
    if (!CheckAddress())
        return;
    const DavAccount account = AccountFromControls();
    SyncSettings settings = SyncSettings::Load(m_strSettingsPath);
    // Another server or user makes what was last seen meaningless.
    if (settings.server != account.server || settings.strUser != account.strUser) {
        settings.lastSync = QDateTime();
        settings.strLastResult.clear();
    }
    settings.server = account.server;
    settings.strUser = account.strUser;
    settings.strTasksCalendar = m_pTasksCombo->currentData().toString();
    settings.strRemindersCalendar = m_pRemindersCombo->currentData().toString();
    settings.nIntervalMinutes = m_pIntervalSpin->value();
    settings.trustedFingerprint = m_trustedFingerprint;
    QString error;
    if (!settings.Save(m_strSettingsPath, error)) {
        Messages::show(this, QStringLiteral("无法保存同步设置：%1").arg(error), kCaption,
                       Messages::Icon::Warning);
        return;
    }
    if (m_keepPassword)
        m_keepPassword(account.strPassword);
    accept();
}
