#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <functional>

/// The local socket through which copies of the program talk to each other. It is served by the
/// module kestrum_network (LocalSocketModule.cpp), so that Qt Network and the libraries it brings
/// are not loaded at start-up; these are the module's entry points, looked up with
/// Modules::Resolve.
namespace LocalSocket {

constexpr char kModule[] = "kestrum_network";

using MessageHandler = std::function<void(const QByteArray& message)>;

/// Listens on the socket \a name, for this user alone, after removing a socket file of that name
/// (a crashed listener's). \a onMessage gets what each connection sends, on the calling thread.
/// The caller owns what comes back and stops listening by deleting it; nullptr when the socket
/// cannot listen.
constexpr char kListen[] = "kestrum_local_listen";
using Listen = QObject* (*)(const QString& name, const MessageHandler& onMessage);

/// Sends \a message to whoever listens on \a name, trying to connect for up to \a timeoutMs (at
/// least once) while the listener may still be starting. False when none took it.
constexpr char kSend[] = "kestrum_local_send";
using Send = bool (*)(const QString& name, const QByteArray& message, int timeoutMs);

} // namespace LocalSocket
