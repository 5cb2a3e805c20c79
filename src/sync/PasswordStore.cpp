#include "sync/PasswordStore.h"

#include <QEventLoop>
#include <QPointer>
#include <QTimer>
#include <atomic>
#include <qt6keychain/keychain.h>

namespace {
const QString kService = QStringLiteral("Kestrum");
std::atomic<long long> g_waitMs{5000};
// Set when a keyring was asked and said nothing within the wait: asking again would only make
// the user wait again for the same silence.
std::atomic<bool> g_silent{false};

PasswordStore::Answer Run(QKeychain::Job* job)
{
    PasswordStore::Answer answer;
    if (g_silent) {
        delete job;
        return answer;
    }
    // Never the file the library could fall back to: a password is not written to disk.
    job->setInsecureFallback(false);
    // A job that outlives the wait deletes itself when its answer comes at last.
    job->setAutoDelete(true);
    QEventLoop loop;
    bool bFinished = false;
    QObject::connect(job, &QKeychain::Job::finished, &loop, [&](QKeychain::Job* done) {
        bFinished = true;
        switch (done->error()) {
        case QKeychain::NoError:
            answer.outcome = PasswordStore::Outcome::Done;
            if (auto* read = qobject_cast<QKeychain::ReadPasswordJob*>(done))
                answer.strPassword = read->textData();
            break;
        case QKeychain::EntryNotFound:
            answer.outcome = PasswordStore::Outcome::NotFound;
            break;
        case QKeychain::NoBackendAvailable:
        case QKeychain::NotImplemented:
            answer.outcome = PasswordStore::Outcome::NoKeyring;
            break;
        default:
            answer.outcome = PasswordStore::Outcome::Failed;
            answer.strError = done->errorString();
            break;
        }
        loop.quit();
    });
    QTimer::singleShot(std::chrono::milliseconds(g_waitMs.load()), &loop, &QEventLoop::quit);
    job->start();
    if (!bFinished)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (!bFinished) {
        // The job may still answer later; it must not reach this frame when it does.
        QObject::disconnect(job, &QKeychain::Job::finished, &loop, nullptr);
        g_silent = true;
    } else if (answer.outcome == PasswordStore::Outcome::NoKeyring) {
        g_silent = true;
    }
    return answer;
}
} // namespace

namespace PasswordStore {

QString Key(const QUrl& server, const QString& user)
{
    QString key = user + u'@' + server.host();
    if (server.port() >= 0)
        key += u':' + QString::number(server.port());
    return key;
}

Answer Read(const QUrl& server, const QString& user)
{
    auto* job = new QKeychain::ReadPasswordJob(kService);
    job->setKey(Key(server, user));
    return Run(job);
}

Answer Write(const QUrl& server, const QString& user, const QString& password)
{
    auto* job = new QKeychain::WritePasswordJob(kService);
    job->setKey(Key(server, user));
    job->setTextData(password);
    return Run(job);
}

Answer Remove(const QUrl& server, const QString& user)
{
    auto* job = new QKeychain::DeletePasswordJob(kService);
    job->setKey(Key(server, user));
    return Run(job);
}

void SetAnswerWait(std::chrono::milliseconds wait)
{
    g_waitMs = wait.count();
}

void ResetSilence()
{
    g_silent = false;
}

} // namespace PasswordStore
