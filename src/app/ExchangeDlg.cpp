#include "app/ExchangeDlg.h"

#include "app/Clock.h"
#include "app/PlannerContext.h"
#include "controls/Messages.h"
#include "controls/StdDialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <utility>

namespace {
const QString kCaption = QStringLiteral("日历导入导出");
const QString kFilter = QStringLiteral("iCalendar 文件 (*.ics);;所有文件 (*)");
/// Left-out items listed in a message box at most; the rest are counted. With their texts
/// shortened, the box stays within a small screen.
constexpr qsizetype kMaxListed = 10;

// A task's content may run to thousands of characters: in a message box it would fill the screen.
QString Shortened(const QString& text)
{
    constexpr qsizetype kMax = 60;
    if (text.size() <= kMax)
        return text;
    qsizetype n = kMax - 1;
    if (text[n - 1].isHighSurrogate())
        --n;
    return text.left(n) + u'…';
}

QList<ExchangeLeftOut> ForMessageBox(QList<ExchangeLeftOut> leftOut)
{
    for (qsizetype i = 0; i < qMin(kMaxListed, leftOut.size()); ++i) {
        leftOut[i].strName = Shortened(leftOut[i].strName);
        leftOut[i].strReason = Shortened(leftOut[i].strReason);
    }
    return leftOut;
}

QDateEdit* MakeDateEdit(QWidget* parent, const QString& name, const QDate& date)
{
    auto* edit = new QDateEdit(date, parent);
    edit->setObjectName(name);
    edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    edit->setCalendarPopup(true);
    return edit;
}

/// The wait cursor while the exchange runs: a big file takes a while.
class CWaitCursor
{
public:
    CWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~CWaitCursor() { QApplication::restoreOverrideCursor(); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
};
} // namespace

CExchangeDlg::CExchangeDlg(CPlannerContext& context, QWidget* parent, ExchangeFunctions functions)
    : QDialog(parent), m_context(context), m_functions(std::move(functions))
{
    setObjectName(QStringLiteral("ExchangeDlg"));
    setWindowTitle(kCaption);

    auto* exportFrame = new QGroupBox(QStringLiteral("导出"), this);
    exportFrame->setObjectName(QStringLiteral("exportFrame"));
    auto* exportLayout = new QGridLayout(exportFrame);
    auto* exportText = new QLabel(QStringLiteral("把事情、提醒和节日写入一个 iCalendar 文件 (.ics)，\n"
                                                 "其他日历程序也能读取。"),
                                  exportFrame);
    m_pRangeCheck = new QCheckBox(QStringLiteral("只导出这段日期的事情"), exportFrame);
    m_pRangeCheck->setObjectName(QStringLiteral("rangeCheck"));
    m_pRangeCheck->setToolTip(QStringLiteral("提醒和节日总是全部导出"));
    // This month by default: the range people most often want to hand on.
    const QDate today = Clock::today();
    const QDate monthStart(today.year(), today.month(), 1);
    m_pFromEdit = MakeDateEdit(exportFrame, QStringLiteral("fromEdit"), monthStart);
    m_pToEdit = MakeDateEdit(exportFrame, QStringLiteral("toEdit"), monthStart.addMonths(1).addDays(-1));
    auto* fromLabel = new QLabel(QStringLiteral("从"), exportFrame);
    auto* toLabel = new QLabel(QStringLiteral("到"), exportFrame);
    fromLabel->setBuddy(m_pFromEdit);
    toLabel->setBuddy(m_pToEdit);
    m_pExportButton = new QPushButton(QStringLiteral("导出…"), exportFrame);
    m_pExportButton->setObjectName(QStringLiteral("exportButton"));
    exportLayout->addWidget(exportText, 0, 0, 1, 4);
    exportLayout->addWidget(m_pRangeCheck, 1, 0, 1, 4);
    exportLayout->addWidget(fromLabel, 2, 0);
    exportLayout->addWidget(m_pFromEdit, 2, 1);
    exportLayout->addWidget(toLabel, 2, 2);
    exportLayout->addWidget(m_pToEdit, 2, 3);
    exportLayout->addWidget(m_pExportButton, 3, 3);
    for (QWidget* widget : {static_cast<QWidget*>(m_pFromEdit), static_cast<QWidget*>(m_pToEdit),
                            static_cast<QWidget*>(fromLabel), static_cast<QWidget*>(toLabel)}) {
        widget->setEnabled(false);
        connect(m_pRangeCheck, &QCheckBox::toggled, widget, &QWidget::setEnabled);
    }

    auto* importFrame = new QGroupBox(QStringLiteral("导入"), this);
    importFrame->setObjectName(QStringLiteral("importFrame"));
    auto* importLayout = new QGridLayout(importFrame);
    auto* importText = new QLabel(QStringLiteral("读入 iCalendar 文件中的事情、提醒和节日。\n"
                                                 "同一文件导入两次不会重复；文件有错时什么也不改变。"),
                                  importFrame);
    m_pImportButton = new QPushButton(QStringLiteral("导入…"), importFrame);
    m_pImportButton->setObjectName(QStringLiteral("importButton"));
    importLayout->addWidget(importText, 0, 0, 1, 2);
    importLayout->addWidget(m_pImportButton, 1, 1);
    importLayout->setColumnStretch(0, 1);

    m_pCloseButton =
        new QPushButton(QIcon(QStringLiteral(":/dialogs/146.png")), QStringLiteral("关闭"), this);
    m_pCloseButton->setObjectName(QStringLiteral("closeButton"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_pCloseButton);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(exportFrame);
    layout->addWidget(importFrame);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_pExportButton, &QPushButton::clicked, this, &CExchangeDlg::OnExport);
    connect(m_pImportButton, &QPushButton::clicked, this, &CExchangeDlg::OnImport);
    connect(m_pCloseButton, &QPushButton::clicked, this, &QDialog::reject);
}

QString CExchangeDlg::StartFolder() const
{
    return m_strLastFolder.isEmpty() ? QDir::homePath() : m_strLastFolder;
}

void CExchangeDlg::OnExport()
{
    CalendarExchange::ExportOptions options;
    if (m_pRangeCheck->isChecked()) {
        options.dtFrom = m_pFromEdit->date();
        options.dtTo = m_pToEdit->date();
        if (options.dtFrom > options.dtTo) {
            Messages::show(this, QStringLiteral("开始日期不能晚于结束日期"), kCaption,
                           Messages::Icon::Warning);
            m_pFromEdit->setFocus();
            return;
        }
    }
    const QString path = StdDialogs::getSaveFileName(this, QStringLiteral("导出日历"),
                                                     StartFolder() + QStringLiteral("/kestrum.ics"), kFilter);
    if (path.isEmpty())
        return;
    m_strLastFolder = QFileInfo(path).absolutePath();
    CalendarExchange::ExportResult result;
    {
        const CWaitCursor wait;
        result = m_functions.exportFile(m_context.Store(), path, options);
    }
    if (!result.bOk) {
        Messages::show(this, result.strError, QStringLiteral("导出失败"), Messages::Icon::Warning);
        return;
    }
    QString text = QStringLiteral("已导出到 %1\n事情 %2 件，提醒 %3 个，节日 %4 个")
                       .arg(QDir::toNativeSeparators(path))
                       .arg(result.written[0])
                       .arg(result.written[1])
                       .arg(result.written[2]);
    if (!result.leftOut.isEmpty()) {
        text += QStringLiteral("\n未导出 %1 项：\n").arg(result.leftOut.size()) +
                CalendarExchange::LeftOutLines(ForMessageBox(result.leftOut), kMaxListed).join(u'\n');
    }
    Messages::show(this, text, QStringLiteral("导出完成"), Messages::Icon::Information);
}

void CExchangeDlg::OnImport()
{
    const QString path =
        StdDialogs::getOpenFileName(this, QStringLiteral("导入日历"), StartFolder(), kFilter);
    if (path.isEmpty())
        return;
    m_strLastFolder = QFileInfo(path).absolutePath();
    CalendarExchange::ImportResult result;
    {
        const CWaitCursor wait;
        result = m_functions.importFile(m_context.Store(), path);
    }
    if (!result.bOk) {
        Messages::show(this, result.strError, QStringLiteral("导入失败"), Messages::Icon::Warning);
        return;
    }
    // The planner behind shows the new data by the time the summary is read.
    m_context.ReloadData();
    result.leftOut = ForMessageBox(result.leftOut);
    Messages::show(this, result.SummaryText(kMaxListed), QStringLiteral("导入完成"),
                   Messages::Icon::Information);
}
