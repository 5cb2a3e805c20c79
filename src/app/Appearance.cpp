#include "app/Appearance.h"

#include <QApplication>
#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QIconEngine>
#include <QLibraryInfo>
#include <QLocale>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QTranslator>
#include <algorithm>

namespace {

// Preferred faces, best first. Noto/Source Han ship with Debian's fonts-noto-cjk; the others
// are what other distributions and Windows have.
const QStringList kSongFaces = {QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Source Han Serif SC"),
                                QStringLiteral("AR PL UMing CN"),    QStringLiteral("SimSun"),
                                QStringLiteral("NSimSun"),           QStringLiteral("Noto Sans CJK SC"),
                                QStringLiteral("WenQuanYi Zen Hei")};
const QStringList kSansFaces = {QStringLiteral("Noto Sans CJK SC"),  QStringLiteral("Source Han Sans SC"),
                                QStringLiteral("Microsoft YaHei"),   QStringLiteral("WenQuanYi Micro Hei"),
                                QStringLiteral("WenQuanYi Zen Hei"), QStringLiteral("Droid Sans Fallback")};

// The first of \a faces that is installed; empty when none is.
QString FirstInstalled(const QStringList& faces)
{
    const QStringList families = QFontDatabase::families();
    for (const QString& face : faces) {
        if (families.contains(face, Qt::CaseInsensitive))
            return face;
    }
    return {};
}

// That face alone, or the whole list when none is installed (font matching skips what is
// missing).
QStringList OneFace(const QStringList& faces)
{
    const QString face = FirstInstalled(faces);
    return face.isEmpty() ? faces : QStringList{face};
}

// The month arrows of the calendars: a white arrow on a green disc, drawn at whatever size is
// asked for (grey when the month cannot go further that way).
class CMonthArrowEngine final : public QIconEngine
{
public:
    explicit CMonthArrowEngine(bool bLeft) : m_bLeft(bLeft) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override
    {
        const bool enabled = mode != QIcon::Disabled;
        const QRectF disc = QRectF(rect).adjusted(1, 1, -1, -1);
        const qreal side = std::min(disc.width(), disc.height());
        const QRectF square(disc.center() - QPointF(side / 2, side / 2), QSizeF(side, side));
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(QPen(enabled ? QColor(20, 90, 24) : QColor(120, 120, 120), side / 16));
        painter->setBrush(enabled ? QColor(46, 125, 50) : QColor(170, 170, 170));
        painter->drawEllipse(square);
        // The arrow points right; a left one is its mirror image.
        painter->translate(square.center());
        painter->scale(m_bLeft ? -side : side, side);
        QPainterPath arrow;
        arrow.moveTo(-0.28, -0.07);
        arrow.lineTo(0.0, -0.07);
        arrow.lineTo(0.0, -0.24);
        arrow.lineTo(0.28, 0.0);
        arrow.lineTo(0.0, 0.24);
        arrow.lineTo(0.0, 0.07);
        arrow.lineTo(-0.28, 0.07);
        arrow.closeSubpath();
        painter->setPen(Qt::NoPen);
        painter->setBrush(enabled ? QColor(Qt::white) : QColor(235, 235, 235));
        painter->drawPath(arrow);
        painter->restore();
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        paint(&painter, QRect(QPoint(), size), mode, state);
        return pixmap;
    }

    QIconEngine* clone() const override { return new CMonthArrowEngine(m_bLeft); }

private:
    bool m_bLeft;
};

// Fusion, with the calendars' month arrows drawn by the program. The style's own arrows come
// through the desktop's icon theme, whose look-up (theme indexes, image plugins) cost every
// start about ten milliseconds before the main window's calendar could exist.
class CPlannerStyle final : public QProxyStyle
{
public:
    explicit CPlannerStyle(QStyle* base) : QProxyStyle(base) {}

    QIcon standardIcon(StandardPixmap icon, const QStyleOption* option, const QWidget* widget) const override
    {
        if (icon == SP_ArrowLeft || icon == SP_ArrowRight)
            return QIcon(new CMonthArrowEngine(icon == SP_ArrowLeft));
        return QProxyStyle::standardIcon(icon, option, widget);
    }
};

} // namespace

namespace Appearance {

QString SongFamily()
{
    const QString face = FirstInstalled(kSongFaces);
    return face.isEmpty() ? QStringLiteral("宋体") : face;
}

void ApplyChineseLook(QApplication& app)
{
    const QLocale chinese(QLocale::Chinese, QLocale::SimplifiedHanScript, QLocale::China);
    QLocale::setDefault(chinese);

    const QString translations = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    auto* translator = new QTranslator(&app);
    if (translator->load(QStringLiteral("qtbase_zh_CN"), translations))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;

    // Only the first face of each list that is installed: given several, Qt works out the
    // system's fallback fonts for every font it loads at once (fontconfig sorting all fonts each
    // time), not when a character is missing, and that costs the first paint milliseconds.
    // Looking at what is installed costs next to nothing: the first text fills the font
    // database anyway.
    const QStringList song = OneFace(kSongFaces);
    for (const QString& alias : {QStringLiteral("宋体"), QStringLiteral("新宋体"), QStringLiteral("SimSun")})
        QFont::insertSubstitutions(alias, song);
    QFont font = QApplication::font();
    font.setFamilies(OneFace(kSansFaces));
    font.setPointSize(9);
    QApplication::setFont(font);
}

void ApplySkin(QApplication& app, const QString& styleSheetFile)
{
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion")))
        QApplication::setStyle(new CPlannerStyle(fusion));
    QPalette palette = QApplication::style()->standardPalette();
    palette.setColor(QPalette::Window, QColor(0xF4, 0xF7, 0xFB));
    palette.setColor(QPalette::Button, QColor(0xE9, 0xF0, 0xF8));
    palette.setColor(QPalette::Highlight, QColor(0x2F, 0x6F, 0xB5));
    QApplication::setPalette(palette);

    QFile file(styleSheetFile);
    if (!styleSheetFile.isEmpty() && file.open(QIODevice::ReadOnly))
        app.setStyleSheet(QString::fromUtf8(file.readAll()));
}

} // namespace Appearance
