// SPDX-License-Identifier: MIT
#include "main/clipboardkeeper.h"

#include "common/platform.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QTimer>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr char kReady = 'k';

/// Reads everything until the other end stops writing; empty on any failure.
QByteArray ReadToEnd(int socket)
{
    QByteArray bytes;
    char buffer[4096];
    for (;;) {
        const ssize_t got = read(socket, buffer, sizeof buffer);
        if (got > 0) {
            bytes.append(buffer, static_cast<qsizetype>(got));
        } else if (got == 0) {
            return bytes;
        } else if (errno != EINTR) {
            return {};
        }
    }
}

/// The keeper's whole life: wait for the text, take the clipboard, say so,
/// and serve it until another program takes it or the time is up.
void Serve(int socket)
{
    // Out of the terminal's session, its output and its folder: a command
    // that reads the program's output gets its end of file when the program
    // ends, and closing the terminal leaves the keeper running.
    setsid();
    if (const int null = open("/dev/null", O_RDWR | O_CLOEXEC); null >= 0) {
        dup2(null, STDIN_FILENO);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        close(null);
    }
    [[maybe_unused]] const int ignored = chdir("/");

    const QByteArray text = ReadToEnd(socket);
    if (text.isEmpty())
        return;
    int argc = 1;
    char name[] = "vandrel";
    char *argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);
    // NOTE: on Qt's Wayland platform only a program that has just had the
    // user's input may set the clipboard; a keeper without a window cannot.
    if (platform::onWaylandPlatform())
        return;
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->setText(QString::fromUtf8(text), QClipboard::Clipboard);
    if (!clipboard->ownsClipboard())
        return;
    if (write(socket, &kReady, 1) != 1)
        return;
    close(socket);
    QObject::connect(clipboard, &QClipboard::changed, &app, [clipboard](QClipboard::Mode mode) {
        if (mode == QClipboard::Clipboard && !clipboard->ownsClipboard())
            QCoreApplication::quit();
    });
    QTimer::singleShot(ClipboardKeeper::kMaxServe, &app, &QCoreApplication::quit);
    QGuiApplication::exec();
}

} // namespace

std::unique_ptr<ClipboardKeeper> ClipboardKeeper::Start()
{
    int sockets[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sockets) != 0)
        return nullptr;
    const pid_t pid = fork();
    if (pid == 0) {
        close(sockets[0]);
        Serve(sockets[1]);
        // NOTE: the keeper is a copy of the program at its start; it leaves
        // without running what the program registered to run at its end.
        _exit(0);
    }
    close(sockets[1]);
    if (pid < 0) {
        close(sockets[0]);
        return nullptr;
    }
    return std::unique_ptr<ClipboardKeeper>(new ClipboardKeeper(sockets[0]));
}

ClipboardKeeper::~ClipboardKeeper()
{
    if (m_socket >= 0)
        close(m_socket);
}

bool ClipboardKeeper::keep(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    qsizetype sent = 0;
    while (sent < bytes.size()) {
        // MSG_NOSIGNAL: a keeper that has gone is a failure, not a signal.
        const ssize_t done = send(m_socket, bytes.constData() + sent,
                                  static_cast<size_t>(bytes.size() - sent), MSG_NOSIGNAL);
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0)
            return false;
        sent += done;
    }
    shutdown(m_socket, SHUT_WR);
    pollfd ready{m_socket, POLLIN, 0};
    const int waitMs = static_cast<int>(std::chrono::milliseconds(kReadyBound).count());
    int polled;
    do {
        polled = poll(&ready, 1, waitMs);
    } while (polled < 0 && errno == EINTR);
    char answer = 0;
    return polled == 1 && read(m_socket, &answer, 1) == 1 && answer == kReady;
}
