#pragma once

#include "app/AtomicFile.h"

#include <QDialog>
#include <QIcon>
#include <QPixmap>
#include <memory>

class CBalloonTip;
class CPlannerContext;
class CProgramList;
class CProgramListModel;
class QFileIconProvider;
class QListView;
class QPushButton;

/// "常用软件及文件快速启动": the user's favourite programs and files, started with a double
/// click or "打开" and kept in order with the buttons beside the list. Ends with kStarted
/// once something was started, so that the main window can go to the tray.
class CProgramListDlg : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kStarted = 100;
    static constexpr int kWidth = 440;
    static constexpr int kHeight = 380;

    /// Reads "program.dat" from the data folder.
    explicit CProgramListDlg(CPlannerContext& context, QWidget* parent = nullptr);
    ~CProgramListDlg() override;

    /// The entry the buttons work on, -1 when none.
    int GetSelection() const { return m_nSel; }
    const CProgramList& GetList() const { return *m_pList; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    /// Says how many entries of the file were left out when it was read, if any.
    void ReportLeftOut();
    void OnClickList();
    int SelectedRow() const;
    void OnDblClickList();
    void OnOpen();
    void OnMoveUp();
    void OnMoveDown();
    void OnAdd();
    void OnDelete();
    void OnChange();
    void StartProgram(const QString& strPath);
    /// Shows the list again after \a bSaved change, keeping m_nSel chosen; says so when the
    /// change could not be written.
    void Refill(const CAtomicFile::Result& saved);
    QPushButton* MakeButton(const QString& strText, const char* pszName, const char* pszIcon, int nTop,
                            void (CProgramListDlg::*handler)());

    CPlannerContext& m_context;
    std::unique_ptr<QFileIconProvider> m_pIcons; ///< the desktop's file pictures, for m_pList
    QIcon m_fallbackIcon;                        ///< for entries the desktop has no picture of
    std::unique_ptr<CProgramList> m_pList;
    int m_nSel = 0;
    bool m_bLeftOutShown = false;

    QPixmap m_background;
    CProgramListModel* m_pModel = nullptr;
    QListView* m_pListView = nullptr;
    CBalloonTip* m_pTip = nullptr;
};
