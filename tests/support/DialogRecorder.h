#pragma once

#include "controls/StdDialogs.h"

#include <QPrinter>
#include <QProcess>
#include <QStringList>
#include <functional>

/// Answers the standard dialogs: file names from a queue (empty: cancelled); print to PDF or cancel.
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

/// Prints through \a print to a PDF in \a folder and runs \a tool on it (the PDF before the last
/// of \a arguments), output to \a pOutput; false when nothing was printed or the tool failed.
inline bool PrintAndRun(const std::function<void()>& print, const QString& folder, const QString& tool,
                        QStringList arguments, QByteArray* pOutput = nullptr)
{
    const QString pdf = folder + QStringLiteral("/printed.pdf");
    DialogRecorder dialogs;
    dialogs.setPrintTarget(pdf);
    print();
    arguments.insert(arguments.size() - 1, pdf);
    QProcess process;
    process.start(tool, arguments);
    if (dialogs.printDialogs() != 1 || !process.waitForFinished(60000) || process.exitCode() != 0)
        return false;
    if (pOutput)
        *pOutput = process.readAllStandardOutput();
    return true;
}

/// What pdftotext reads, laid out, from \a print's output; empty when nothing could be read.
inline QString PrintedText(const std::function<void()>& print, const QString& folder,
                           const QString& pdftotext)
{
    QByteArray text;
    PrintAndRun(
        print, folder, pdftotext,
        {QStringLiteral("-layout"), QStringLiteral("-enc"), QStringLiteral("UTF-8"), QStringLiteral("-")},
        &text);
    return QString::fromUtf8(text);
}
