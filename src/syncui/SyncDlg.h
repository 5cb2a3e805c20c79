#pragma once

#include "sync/SyncEngine.h"

#include <QDialog>
#include <vector>

class CPlannerContext;
class QLabel;
class QPushButton;
class QTreeWidget;

/// "日历同步": when the last sync ended and how, "立即同步", the items the server refused with its
/// answer, and the local versions that lost to the server's, each to restore ("恢复") or drop
/// ("放弃"); "账户…" opens the account.
class CSyncDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CSyncDlg(CPlannerContext& context, QWidget* parent = nullptr);

private:
    void ReadStatus();
    void ReadConflicts();
    void ShowRefused(const QList<SyncRefusal>& refused);
    void OnSyncNow();
    void OnSynced(const SyncReport& report);
    void OnRestore();
    void OnDrop();
    void OnAccount();
    /// The account dialog saved the account: its password goes to the keyring and to the sync.
    void KeepPassword(const QString& settingsPath, const QString& password);
    /// The conflict of the selected row; null when none is selected.
    const SyncConflict* Selected() const;

    CPlannerContext& m_context;
    std::vector<SyncConflict> m_conflicts;

    QLabel* m_pLastLabel = nullptr;
    QLabel* m_pStatusLabel = nullptr;
    QPushButton* m_pSyncNowButton = nullptr;
    QTreeWidget* m_pRefusedList = nullptr;
    QTreeWidget* m_pConflictList = nullptr;
    QPushButton* m_pRestoreButton = nullptr;
    QPushButton* m_pDropButton = nullptr;
    QPushButton* m_pAccountButton = nullptr;
    QPushButton* m_pCloseButton = nullptr;
};
