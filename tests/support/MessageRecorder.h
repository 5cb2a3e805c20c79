#pragma once

#include "controls/Messages.h"

#include <QList>
#include <QStringList>
#include <QWidget>

/// Answers and remembers message boxes while it lives: queued answers in order, else Yes if offered, else Ok.
class MessageRecorder final : public Messages::Handler
{
public:
    MessageRecorder() { Messages::setHandler(this); }
    ~MessageRecorder() override { Messages::setHandler(nullptr); }
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    void setNextAnswer(Messages::Answer answer) { m_answers.append(answer); }

    const QList<Messages::Request>& requests() const { return m_requests; }
    QStringList texts() const
    {
        QStringList out;
        for (const auto& r : m_requests)
            out << r.text;
        return out;
    }
    int count() const { return int(m_requests.size()); }
    /// For each box, whether its window was on screen (else the box goes to the screen's corner).
    const QList<bool>& ownersShown() const { return m_ownersShown; }
    Messages::Request last() const { return m_requests.isEmpty() ? Messages::Request{} : m_requests.last(); }
    void clear()
    {
        m_requests.clear();
        m_ownersShown.clear();
    }

    Messages::Answer Respond(const Messages::Request& request) override
    {
        m_requests.append(request);
        m_ownersShown.append(request.parent && request.parent->isVisible());
        if (!m_answers.isEmpty())
            return m_answers.takeFirst();
        return request.buttons.testFlag(QMessageBox::Yes) ? QMessageBox::Yes : QMessageBox::Ok;
    }

private:
    QList<Messages::Answer> m_answers;
    QList<Messages::Request> m_requests;
    QList<bool> m_ownersShown;
};
