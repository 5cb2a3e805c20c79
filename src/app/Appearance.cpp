#include "app/Appearance.h"

#include <QApplication>
#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QLocale>
#include <QPalette>
#include <QStyle>
#include <QStyleFactory>
#include <QTranslator>

namespace {

// Preferred faces, best first. Noto/Source Han ship with Debian's fonts-noto-cjk; the others
// are what other distributions and Windows have.
const QStringList kSongFaces = {QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Source Han Serif SC"),
                                QStringLiteral("AR PL UMing CN"),    QStringLiteral("SimSun"),
                                QStringLiteral("NSimSun"),           QStringLiteral("Noto Sans CJK SC"),
                                QStringLiteral("WenQuanYi Zen Hei")};
const QStringList kSansFaces = {QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Source Han Sans SC"),
                                QStringLiteral("Microsoft YaHei"),  QStringLiteral("WenQuanYi Micro Hei"),
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
        QApplication::setStyle(fusion);
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
