#pragma once

#include "controls/StdDialogs.h"

#include <QPrinter>
#include <QStringList>

/// Answers the standard dialogs: file names are taken from a queue (an empty text means the
/// user cancelled), and the print dialog sends the job to a PDF file or cancels.
class DialogRecorder final : public StdDialogs::Handler
{
public:
    DialogRecorder() { StdDialogs::setHandler(this); }
    ~DialogRecorder() override { StdDialogs::setHandler(nullptr); }
    DialogRecorder(const DialogRecorder&) = delete;
    DialogRecorder& operator=(const DialogRecorder&) = delete;

    void queueFileName(const QString& name) { m_fileNames.append(name); }
    /// The next print dialog prints into \a pdfFile; an empty name cancels it.
    void setPrintTarget(const QString& pdfFile) { m_strPrintTarget = pdfFile; }

    int printDialogs() const { return m_nPrintDialogs; }

    QString OpenFileName(QWidget*, const QString&, const QString&, const QString&) override
    {
        return m_fileNames.isEmpty() ? QString() : m_fileNames.takeFirst();
    }
    QString SaveFileName(QWidget* parent, const QString& caption, const QString& dir,
                         const QString& filter) override
    {
        return OpenFileName(parent, caption, dir, filter);
    }
    bool Print(QWidget*, QPrinter* printer) override
    {
        ++m_nPrintDialogs;
        if (m_strPrintTarget.isEmpty())
            return false;
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(m_strPrintTarget);
        return true;
    }

private:
    QStringList m_fileNames;
    QString m_strPrintTarget;
    int m_nPrintDialogs = 0;
};
