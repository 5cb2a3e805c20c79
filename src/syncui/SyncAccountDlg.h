#pragma once

#include "sync/CalDavClient.h"

#include <QByteArray>
#include <QDialog>
#include <QString>
#include <functional>
#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

/// "日历同步账户": the server, the user and the password, a test of the connection, the calendar for
/// tasks and the one for reminders (or new ones made on the server), and how often to sync. 保存
/// writes the [sync] settings; the password goes to \a keepPassword, never to a file.
///
/// Every talk with the server runs on a worker thread with a client of its own, so the window
/// stays usable while a slow or silent server keeps it waiting.
class CSyncAccountDlg : public QDialog
{
    Q_OBJECT
public:
    /// \a settingsPath: kestrum.ini of the data folder. \a password: the one known for this run
    /// (empty where none is). \a keepPassword receives the password when the account is saved.
    CSyncAccountDlg(QString settingsPath, const QString& password,
                    std::function<void(const QString&)> keepPassword, QWidget* parent = nullptr);
    ~CSyncAccountDlg() override;

signals:
    /// A test of the connection or the making of a calendar has ended and its result shows.
    void workFinished();

private:
    struct Job;

    void OnTest();
    void OnNewCalendar(bool bTodos);
    void OnSave();
    DavAccount AccountFromControls() const;
    bool CheckAddress();
    /// Runs \a job's request on a worker; \a done gets it back on this thread.
    void Start(std::shared_ptr<Job> job, void (CSyncAccountDlg::*done)(const Job&));
    void OnTested(const Job& job);
    void OnCalendarMade(const Job& job);
    void SetBusy(bool bBusy, const QString& note);
    void FillCalendars(const DavDiscovery& discovery, const QString& tasks, const QString& reminders);

    QString m_strSettingsPath;
    std::function<void(const QString&)> m_keepPassword;
    QByteArray m_trustedFingerprint;
    /// The calendar home found by the last good test: where new calendars go.
    bool m_bDiscovered = false;

    QLineEdit* m_pServerEdit = nullptr;
    QLineEdit* m_pUserEdit = nullptr;
    QLineEdit* m_pPasswordEdit = nullptr;
    QPushButton* m_pTestButton = nullptr;
    QLabel* m_pResultLabel = nullptr;
    QComboBox* m_pTasksCombo = nullptr;
    QComboBox* m_pRemindersCombo = nullptr;
    QPushButton* m_pNewTasksButton = nullptr;
    QPushButton* m_pNewRemindersButton = nullptr;
    QSpinBox* m_pIntervalSpin = nullptr;
    QPushButton* m_pSaveButton = nullptr;
    QPushButton* m_pCloseButton = nullptr;
};
