#include "reminder/DesktopNotifier.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>
#include <utility>

CDesktopNotifier::CDesktopNotifier(const QString& appFolder, QObject* parent)
    : QObject(parent), m_strIcon(AppIcon(appFolder))
{}

CDesktopNotifier::~CDesktopNotifier() = default;

QString CDesktopNotifier::AppIcon(const QString& appFolder)
{
    // The install puts the same picture in every size; one of them answers for all.
    const QString themed = QStringLiteral("icons/hicolor/48x48/apps/") + IconName() + QStringLiteral(".png");
    if (!QStandardPaths::locate(QStandardPaths::GenericDataLocation, themed).isEmpty())
        return IconName();
    const QString beside = QDir::cleanPath(appFolder + QStringLiteral("/../share/") + themed);
    if (QFileInfo::exists(beside))
        return QUrl::fromLocalFile(beside).toString();
    return IconName();
}

void CDesktopNotifier::Post(const QString& summary, const QString& body, Done done)
{
    const quint64 nPost = ++m_nLastPost;
    m_waiting.emplace(nPost, std::move(done));
    QTimer::singleShot(m_nGiveUpMs, this, [this, nPost] { Finish(nPost, false); });
    Send(nPost, summary, body);
}

void CDesktopNotifier::GiveUpWaiting()
{
    std::map<quint64, Done> waiting;
    waiting.swap(m_waiting);
    for (auto& [nPost, done] : waiting)
        done(false);
}

bool CDesktopNotifier::Finish(quint64 nPost, bool bPosted)
{
    // The first of the answer and the give-up settles a post; whichever comes second finds it gone.
    const auto it = m_waiting.find(nPost);
    if (it == m_waiting.end())
        return false;
    const Done done = std::move(it->second);
    m_waiting.erase(it);
    done(bPosted);
    return true;
}
