#pragma once

#include "app/AtomicFile.h"

#include <QDateTime>
#include <QString>
#include <optional>
#include <vector>

struct ReminderRecord;

/// A reminder moment the planner did not see go off.
struct MissedReminder
{
    QDateTime moment;
    bool ring = false;
    QString title;
    QString content;
};

/// A stretch of wall-clock time nobody watched: moments after \a from up to \a to.
struct UnwatchedPeriod
{
    QDateTime from;
    QDateTime to;
};

/// Remembers up to when the reminders have been watched, across runs, and tells the alert
/// window which stretches of time went by unwatched: the time the planner was not running
/// (from the moment kept in the data folder), a sleep of the machine and a jump of the wall
/// clock (the wall clock running ahead of the steady one by more than a minute). A clock set
/// back shows nothing, and what was watched once is never handed out again: the watched-up-to
/// moment only ever moves forward.
class ReminderWatch
{
public:
    /// Gaps between the wall and the steady clock up to this are the clocks' own drift, a
    /// busy moment or a small correction, and the queue's own lateness rule covers them.
    static constexpr qint64 kJumpSeconds = 60;
    /// Only this much of an unwatched stretch is looked at: reminders older than that are
    /// past caring.
    static constexpr int kLookBackDays = 7;
    /// The watched-up-to moment goes to the disk at least this often while nothing happens.
    static constexpr qint64 kSaveEverySeconds = 60;

    /// \a stateFile keeps the watched-up-to moment; empty keeps nothing (tests of other windows).
    explicit ReminderWatch(QString stateFile);

    static QString FileName() { return QStringLiteral("reminder-check.txt"); }

    /// Looks at the clocks (Clock::now, Clock::monotonicMs) once a second. The first look gives
    /// the time since the moment the state file holds, later ones a jump since the look before;
    /// the period ends at the current whole second and reaches back at most kLookBackDays.
    std::optional<UnwatchedPeriod> Look();
    /// Writes the watched-up-to moment when it moved and kSaveEverySeconds have passed on the
    /// steady clock since the last write, or at once with \a now (after reminders went off, so
    /// that a crash cannot show them again, and when the planner ends). A write that was not
    /// due, or had nothing new to write, succeeds.
    CAtomicFile::Result Save(bool now = false);

    /// The moment kept in \a stateFile; invalid when the file is missing or holds no moment.
    static QDateTime ReadState(const QString& stateFile);

private:
    QString m_strStateFile;
    QDateTime m_lastWall;     ///< the wall clock at the last look
    qint64 m_nLastSteady = 0; ///< the steady clock at the last look
    QDateTime m_watchedUpTo;  ///< never goes back
    QDateTime m_saved;        ///< what the state file holds
    qint64 m_nLastSaveSteady = 0;
};

/// The moments of \a records that fall in \a period, in time order: a once-only reminder's own
/// moment, and a repeating one's every day of the period it is due on (as the day's queue
/// picks them: daily every day, weekly on its week day, monthly on its day of the month,
/// yearly on its month and day).
std::vector<MissedReminder> MomentsIn(const std::vector<ReminderRecord>& records,
                                      const UnwatchedPeriod& period);
