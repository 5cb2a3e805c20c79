// The fair baseline for the main window: a bare Qt program that shows the same month calendar
// and two-column list with Chinese texts in the same fonts (Chinese locale and translations, a
// Chinese sans face for the controls, a Song face drawn over the background), so that loading
// the CJK fonts costs both programs alike. Prints the monotonic clock when the dialog is first
// painted, then ends.
#include "FirstPaintDialog.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QLibraryInfo>
#include <QLocale>
#include <QPainter>
#include <QPushButton>
#include <QTableWidget>
#include <QTranslator>

namespace {

class ChineseDialog : public FirstPaintDialog
{
protected:
    void paintEvent(QPaintEvent* event) override
    {
        {
            QPainter painter(this);
            QFont song(QStringLiteral("Noto Serif CJK SC"));
            song.setPixelSize(15);
            song.setBold(true);
            painter.setFont(song);
            painter.drawText(QRect(120, 294, 165, 16), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("马(丙午)年十一月十七"));
            song.setBold(false);
            song.setPixelSize(13);
            painter.setFont(song);
            painter.drawText(QRect(62, 321, 218, 38), Qt::AlignLeft | Qt::AlignTop, QStringLiteral("★_^-^) 圣诞节"));
        }
        FirstPaintDialog::paintEvent(event);
    }
};

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::SimplifiedHanScript, QLocale::China));
    QTranslator translator;
    if (translator.load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&translator);
    QFont font = QApplication::font();
    font.setFamilies({QStringLiteral("Noto Sans CJK SC")});
    font.setPointSize(9);
    QApplication::setFont(font);

    ChineseDialog dialog;
    dialog.setWindowTitle(QStringLiteral("Kestrum"));
    dialog.setFixedSize(730, 440);
    auto* calendar = new QCalendarWidget(&dialog);
    calendar->setGeometry(20, 129, 310, 163);
    calendar->setHorizontalHeaderFormat(QCalendarWidget::SingleLetterDayNames);
    auto* list = new QTableWidget(5, 2, &dialog);
    list->setGeometry(358, 158, 356, 236);
    const char* const tasks[] = {"早读：检查三班背诵", "批改作文二十篇", "准备下周公开课的课件和教案", "给家长回电话", "教研组会议"};
    for (int i = 0; i < 5; ++i) {
        list->setItem(i, 0, new QTableWidgetItem(QStringLiteral(" %1、").arg(i + 1) + QString::fromUtf8(tasks[i])));
        list->setItem(i, 1, new QTableWidgetItem(QStringLiteral("未完成")));
    }
    const char* const buttons[] = {"事情统计", "常用软件", "查询事情", "节日设置", "系统设置"};
    for (int i = 0; i < 5; ++i)
        (new QPushButton(QString::fromUtf8(buttons[i]), &dialog))->setGeometry(352 + i * 61, 402, 57, 26);
    return dialog.exec();
}
