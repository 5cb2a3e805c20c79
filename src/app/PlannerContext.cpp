#include "app/PlannerContext.h"

#include <cstdlib>
#include <utility>

CPlannerContext::CPlannerContext(CDataStore& store, ConfigFlags& settings, NoticeFunction notice, QString appFolder,
                                 ConfigWriter writeConfig)
    : m_store(store),
      m_settings(settings),
      m_notice(std::move(notice)),
      m_strAppFolder(std::move(appFolder)),
      m_writeConfig(std::move(writeConfig))
{
}

void CPlannerContext::ShowNotice(const QString& text, int bAutoClose, int nSeconds, bool bAnimate) const
{
    if (m_notice)
        m_notice(text, bAutoClose, nSeconds, bAnimate);
}

void CPlannerContext::SplitHourMinute(const QString& text, int& nHour, int& nMinute)
{
    // Read as C's atoi reads: "8:" is 8 o'clock, ":5" is no minute.
    nHour = std::atoi(text.left(2).toLatin1().constData());
    nMinute = std::atoi(text.right(2).toLatin1().constData());
}
