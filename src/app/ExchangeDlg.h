#pragma once

#include "exchange/CalendarExchange.h"

#include <QDialog>
#include <QString>
#include <functional>

class CDataStore;
class CPlannerContext;
class QCheckBox;
class QDateEdit;
class QPushButton;

/// The calendar exchange as the dialog calls it; tests hand in their own.
struct ExchangeFunctions
{
    std::function<CalendarExchange::ExportResult(CDataStore&, const QString&,
                                                 const CalendarExchange::ExportOptions&)>
        exportFile =
            [](CDataStore& store, const QString& path, const CalendarExchange::ExportOptions& options) {
                return CalendarExchange::ExportFile(store, path, options);
            };
    std::function<CalendarExchange::ImportResult(CDataStore&, const QString&)> importFile =
        [](CDataStore& store, const QString& path) { return CalendarExchange::ImportFile(store, path); };
};

/// "日历导入导出", opened from the settings dialog: exports the tasks (all, or those of a range of
/// days), reminders and holidays to an iCalendar file, and imports one. After an import the
/// summary shows and the planner reads its data again.
class CExchangeDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CExchangeDlg(CPlannerContext& context, QWidget* parent = nullptr,
                          ExchangeFunctions functions = {});

private:
    void OnExport();
    void OnImport();
    /// Where the file dialogs start: the folder of the last file chosen, else the home folder.
    QString StartFolder() const;

    CPlannerContext& m_context;
    ExchangeFunctions m_functions;
    QString m_strLastFolder;
    QCheckBox* m_pRangeCheck = nullptr;
    QDateEdit* m_pFromEdit = nullptr;
    QDateEdit* m_pToEdit = nullptr;
    QPushButton* m_pExportButton = nullptr;
    QPushButton* m_pImportButton = nullptr;
    QPushButton* m_pCloseButton = nullptr;
};
