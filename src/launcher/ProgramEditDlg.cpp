#include "launcher/ProgramEditDlg.h"

#include "controls/BackgroundBitmap.h"
#include "controls/GbkLength.h"
#include "controls/Messages.h"
#include "controls/StdDialogs.h"

#include <QFileInfo>
#include <QIcon>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {
// The background picture letters the two labels at these rows (tools/make-launcher-art.py).
constexpr int kFieldLeft = 108;
constexpr int kNameTop = 84;
constexpr int kPathTop = 124;
constexpr int kRowHeight = 28;

void Warn(QWidget* parent, const QString& text)
{
    Messages::show(parent, text, QStringLiteral("警告"), Messages::Icon::Warning);
}

const QString kNameTooLong = QStringLiteral("程序名称太长，请修改并不超过十个汉字");
} // namespace

CProgramEditDlg::CProgramEditDlg(bool bChange, const QString& strName, const QString& strPath, QWidget* parent)
    : QDialog(parent), m_strName(strName), m_strPath(strPath), m_bChange(bChange),
      m_background(QStringLiteral(":/launcher/130.png"))
{
    setObjectName(QStringLiteral("ProgramEditDlg"));
    setWindowTitle(m_bChange ? QStringLiteral("修改当前程序信息") : QStringLiteral("增加新程序"));
    setWindowIcon(QIcon(QStringLiteral(":/launcher/edit.png")));
    setFixedSize(kWidth, kHeight);

    m_pNameEdit = new QLineEdit(this);
    m_pNameEdit->setObjectName(QStringLiteral("nameEdit"));
    m_pNameEdit->setGeometry(kFieldLeft, kNameTop, 284, kRowHeight);

    // Filled only by browsing: a path typed by hand is too easily a path to nothing.
    m_pPathEdit = new QPlainTextEdit(this);
    m_pPathEdit->setObjectName(QStringLiteral("pathEdit"));
    m_pPathEdit->setReadOnly(true);
    m_pPathEdit->setGeometry(kFieldLeft, kPathTop, 216, 56);
    m_pBrowseButton = new QPushButton(QIcon(QStringLiteral(":/launcher/browse.png")), QStringLiteral("浏览"), this);
    m_pBrowseButton->setObjectName(QStringLiteral("browseButton"));
    m_pBrowseButton->setGeometry(kFieldLeft + 222, kPathTop, 62, kRowHeight);

    m_pOkButton = new QPushButton(QIcon(QStringLiteral(":/dialogs/147.png")), QStringLiteral("确定"), this);
    m_pOkButton->setObjectName(QStringLiteral("okButton"));
    m_pOkButton->setGeometry(216, 206, 90, 30);
    m_pOkButton->setDefault(true);
    m_pOkButton->setEnabled(m_bChange);
    m_pCancelButton = new QPushButton(QIcon(QStringLiteral(":/dialogs/146.png")), QStringLiteral("取消"), this);
    m_pCancelButton->setObjectName(QStringLiteral("cancelButton"));
    m_pCancelButton->setGeometry(316, 206, 90, 30);

    connect(m_pBrowseButton, &QPushButton::clicked, this, &CProgramEditDlg::OnBrowse);
    connect(m_pOkButton, &QPushButton::clicked, this, &CProgramEditDlg::OnOK);
    connect(m_pCancelButton, &QPushButton::clicked, this, &QDialog::reject);
    UpdateData(false);
    m_pNameEdit->setFocus();
}

void CProgramEditDlg::UpdateData(bool bSaveAndValidate)
{
    if (bSaveAndValidate) {
        m_strName = m_pNameEdit->text();
        m_strPath = m_pPathEdit->toPlainText();
    } else {
        m_pNameEdit->setText(m_strName);
        m_pPathEdit->setPlainText(m_strPath);
    }
}

void CProgramEditDlg::OnBrowse()
{
    const QString strChosen =
        StdDialogs::getOpenFileName(this, QStringLiteral("打开"), QString(), QStringLiteral("所有文件 (*)"));
    if (strChosen.isEmpty())
        return;
    m_strPath = strChosen;
    m_strName = QFileInfo(strChosen).completeBaseName();
    UpdateData(false);
    m_pOkButton->setEnabled(true);
    // The file's own name is only a proposal: the user shortens it here.
    if (GbkLength(m_strName) > kMaxNameBytes) {
        Warn(this, kNameTooLong);
        m_pNameEdit->setFocus();
        m_pNameEdit->selectAll();
    }
}

void CProgramEditDlg::OnOK()
{
    UpdateData(true);
    m_strName = m_strName.trimmed();
    const auto refuse = [this](const QString& text) {
        Warn(this, text);
        m_pNameEdit->setFocus();
    };
    if (GbkLength(m_strName) > kMaxNameBytes)
        return refuse(kNameTooLong);
    if (m_strName.isEmpty())
        return refuse(QStringLiteral("请输入程序显示名称"));
    // The file keeps "name;path" lines: a ";" in the name would move the rest into the path.
    if (m_strName.contains(u';'))
        return refuse(QStringLiteral("程序名称不能包含分号"));
    accept();
}

void CProgramEditDlg::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    DrawBackgroundBitmap(painter, m_background, this);
}
