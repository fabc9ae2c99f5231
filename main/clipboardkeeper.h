// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <chrono>
#include <memory>

/// @brief Keeps a text on the clipboard after the program has ended, as a
/// process of its own.
///
/// On X11 a program's clipboard goes with the program unless it stays to
/// hand the text to whoever pastes it. The keeper is forked at start, before
/// the application object or any thread exists, and waits idle for its text.
/// Given one, it takes the clipboard, says so, and serves it in the
/// background until another program takes the clipboard or kMaxServe has
/// passed; the program itself can then end.
class ClipboardKeeper
{
public:
    /// The longest a keeper serves the clipboard.
    static constexpr std::chrono::minutes kMaxServe{30};
    /// The longest the program waits for the keeper to take the clipboard.
    static constexpr std::chrono::seconds kReadyBound{10};

    /// Forks the keeper, which uses the Qt platform the environment names;
    /// null when it could not be forked. In the keeper the call does not return.
    static std::unique_ptr<ClipboardKeeper> Start();

    /// A keeper never handed a text ends as soon as this goes.
    ~ClipboardKeeper();
    ClipboardKeeper(const ClipboardKeeper &) = delete;
    ClipboardKeeper &operator=(const ClipboardKeeper &) = delete;

    /// Hands @p text to the keeper. True once it holds the clipboard; false
    /// when it cannot (or did not say so within kReadyBound).
    bool keep(const QString &text);

private:
    explicit ClipboardKeeper(int socket) : m_socket(socket) {}
    int m_socket = -1;
};
