#pragma once

#include <QString>
#include <QUrl>
#include <chrono>

/// The sync password in the desktop's keyring (Secret Service, KWallet ...), under the service
/// "Kestrum" and the key "user@server". Nothing is ever written to disk by the planner: where no
/// keyring answers, the caller asks the user once per run (or reads standard input) instead.
/// Calls wait for the keyring's answer, so they belong to a thread with an event dispatcher.
namespace PasswordStore {

enum class Outcome
{
    Done,      ///< read (the password is set), written or removed
    NotFound,  ///< the keyring answered and holds no password for the account
    NoKeyring, ///< no keyring on the session, or none answered in time
    Failed,    ///< the keyring answered with an error (the user refused it access ...)
};

struct Answer
{
    Outcome outcome = Outcome::NoKeyring;
    QString strPassword;
    QString strError; ///< the keyring's own words when it failed
};

/// "user@host" (with ":port" where the address names one).
QString Key(const QUrl& server, const QString& user);

Answer Read(const QUrl& server, const QString& user);
Answer Write(const QUrl& server, const QString& user, const QString& password);
Answer Remove(const QUrl& server, const QString& user);

/// How long a call waits for a keyring that says nothing (a session bus whose Secret Service
/// never starts); a few seconds unless set. Once a keyring has failed to answer, later calls
/// of the run give up at once, so nobody waits twice.
void SetAnswerWait(std::chrono::milliseconds wait);
/// Forgets that the keyring did not answer (for a new account, and for tests).
void ResetSilence();

} // namespace PasswordStore
