#pragma once

#include "app/ConfigFile.h"

#include <QString>
#include <functional>

class CDataStore;
class CSyncService;
struct SyncReport;
class CTimetable;

/// What a window of the planner is handed instead of reaching for the application object: the
/// data store, the four settings, the notice function and the program folder. The application
/// owns the one of the running program; a test builds its own around a store and a notice
/// recorder of its own. Windows keep a reference to it for their whole life.
class CPlannerContext
{
public:
    /// Shows a text in the notification pop-up (see CPlannerApp::ShowNotice).
    using NoticeFunction = std::function<void(const QString& text, int bAutoClose, int nSeconds, bool bAnimate)>;
    /// Writes the settings to the configuration file; false (after its message) when it fails.
    using ConfigWriter = std::function<bool()>;

    CPlannerContext(CDataStore& store, ConfigFlags& settings, NoticeFunction notice, QString appFolder,
                    ConfigWriter writeConfig = {});

    CDataStore& Store() const { return m_store; }
    /// The settings as read at start-up; the settings dialog changes them.
    ConfigFlags& Settings() const { return m_settings; }
    /// Folder of the executable, where the program's companions (the splash program, the
    /// account book) are found.
    QString GetAppFolder() const { return m_strAppFolder; }
    /// \a name in the data folder (the database's folder, with the text files and the sounds);
    /// empty before a folder is set, so that nothing is read or written by accident.
    QString DataFile(const QString& name) const
    {
        return m_strDataFolder.isEmpty() ? QString() : m_strDataFolder + u'/' + name;
    }
    void SetDataFolder(const QString& folder) { m_strDataFolder = folder; }
    /// Shows \a text in the notification pop-up, closing by itself after \a nSeconds when
    /// \a bAutoClose is 1. Does nothing where no pop-up exists.
    void ShowNotice(const QString& text, int bAutoClose, int nSeconds, bool bAnimate) const;
    /// The course timetable, kept for the whole run (null where nobody set one, as in tests
    /// that need none).
    CTimetable* Timetable() const { return m_pTimetable; }
    void SetTimetable(CTimetable* pTimetable) { m_pTimetable = pTimetable; }
    /// Shows the reminder dialog, which lives hidden from start-up on. Does nothing before it
    /// exists.
    void ShowReminders() const
    {
        if (m_showReminders)
            m_showReminders();
    }
    void SetReminderOpener(std::function<void()> open) { m_showReminders = std::move(open); }
    /// Tells the windows that hold data read earlier (the shown day, today's reminder queue) that
    /// the database has changed under them, as an import does. Does nothing where nobody listens.
    void ReloadData() const
    {
        if (m_reloadData)
            m_reloadData();
    }
    void SetDataReloader(std::function<void()> reload) { m_reloadData = std::move(reload); }

    /// The background sync of the running planner (null where nobody made one, as in tests): the
    /// windows ask it for its status, to sync now, and hand it a new account's password.
    CSyncService* SyncService() const { return m_pSyncService; }
    void SetSyncService(CSyncService* pService) { m_pSyncService = pService; }

    /// Writes Settings() to the configuration file. False when it could not be written (the
    /// writer has said so) or when there is no writer.
    bool WriteConfig() const { return m_writeConfig && m_writeConfig(); }

    /// "08:20" gives 8 and 20: the value of the first two and of the last two characters, each
    /// read like C's atoi (so a hand-written "8:20" is 8 and 20 too).
    static void SplitHourMinute(const QString& text, int& nHour, int& nMinute);

    /// The last sync's report of this run (null before the first): the sync window lists the
    /// items the server refused from it.
    const SyncReport* LastSyncReport() const { return m_pLastSyncReport; }
    void SetLastSyncReport(const SyncReport* pReport) { m_pLastSyncReport = pReport; }

private:
    CDataStore& m_store;
    ConfigFlags& m_settings;
    NoticeFunction m_notice;
    QString m_strAppFolder;
    QString m_strDataFolder;
    ConfigWriter m_writeConfig;
    CTimetable* m_pTimetable = nullptr;
    CSyncService* m_pSyncService = nullptr;
    std::function<void()> m_showReminders;
    std::function<void()> m_reloadData;
    const SyncReport* m_pLastSyncReport = nullptr;
};
