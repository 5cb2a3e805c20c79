#include "holiday/HolidayListDlg.h"

#include "app/PlannerContext.h"
#include "controls/GifPicture.h"
#include "store/DataStore.h"

#include <QIcon>
#include <QPlainTextEdit>

CHolidayListDlg::CHolidayListDlg(CPlannerContext& context, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("HolidayListDlg"));
    setWindowTitle(QStringLiteral("显示全部节日信息"));
    setWindowIcon(QIcon(QStringLiteral(":/holiday/icon.png")));
    setFixedSize(kWidth, kHeight);
    QPalette sky = palette();
    sky.setColor(QPalette::Window, QColor(213, 225, 249));
    setPalette(sky);
    setAutoFillBackground(true);

    m_pPicture = new CGifPicture(this);
    m_pPicture->setObjectName(QStringLiteral("holidayPicture"));
    m_pPicture->move(8, 8);
    m_pTextEdit = new QPlainTextEdit(this);
    m_pTextEdit->setObjectName(QStringLiteral("holidayText"));
    m_pTextEdit->setGeometry(88, 8, kWidth - 96, kHeight - 16);
    m_pTextEdit->setReadOnly(true);
    m_pTextEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    // The listing is shown as it came back, also when one of the tables had nothing to give.
    context.Store().GetAllHolidaysText(m_strText);
    m_pTextEdit->setPlainText(QString(m_strText).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));

    if (m_pPicture->LoadFromResource(229, QStringLiteral("GIF"))) {
        m_pPicture->Start();
        m_pPicture->SetBackground(QColor(213, 225, 249));
    }
}
