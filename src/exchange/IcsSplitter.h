#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

class QIODevice;

/// One top-level component of a calendar stream as its lines stand in the file (folded lines and
/// line ends untouched, so that libical sees exactly what the file holds).
struct IcsChunk
{
    QByteArray name; ///< the component's name in capitals ("VEVENT")
    QByteArray text; ///< from its BEGIN line to its END line
    int nLine = 0;   ///< the line its BEGIN stands on, counted from 1
};

/// Cuts an iCalendar stream into its top-level components, reading one line at a time. libical
/// only parses whole components and counts no lines, so the structure of the calendar (BEGIN and
/// END lines, the lines themselves) is checked here, where the line numbers are known.
class CIcsSplitter
{
public:
    explicit CIcsSplitter(QIODevice* device);

    enum class Step
    {
        Component,
        End,
        Failed,
    };
    Step Next(IcsChunk& chunk);
    /// "第 N 行：…" after Failed.
    QString ErrorString() const { return m_strError; }

private:
    enum class State
    {
        Start,
        InCalendar,
        InComponent,
        AfterCalendar,
    };
    struct Line
    {
        QByteArray unfolded; ///< without line ends and folds, for the checks here
        QByteArray raw;      ///< as read
        int nLine = 0;
    };
    bool ReadPhysical(QByteArray& line);
    Step Fail(int nLine, const QString& text);
    /// Takes one logical line; true when \a chunk is complete.
    bool Take(const Line& line, IcsChunk& chunk, Step& failed);
    QString CutText() const;

    QIODevice* m_pDevice;
    State m_state = State::Start;
    Line m_pending;
    bool m_bHavePending = false;
    bool m_bEof = false;
    bool m_bFailed = false;
    int m_nPhysical = 0;
    QList<QByteArray> m_stack; ///< names of the open components, outermost first
    IcsChunk m_current;
    QByteArray m_uid; ///< the UID of the component being read, for messages
    QString m_strError;
};
