// SPDX-License-Identifier: MIT
#pragma once

#include <QFont>
#include <QString>

#include <condition_variable>
#include <mutex>
#include <thread>

/// The Japanese font names the windows are drawn in.
inline const QString kGothicName = QStringLiteral(u"ＭＳ ゴシック");
inline const QString kPGothicName = QStringLiteral(u"ＭＳ Ｐゴシック");

/// @brief The font a window asks for by one of the Japanese names, at
/// @p points: "ＭＳ ゴシック" maps to a monospaced and "ＭＳ Ｐゴシック" to a
/// proportional Japanese gothic installed here. Asking by the installed
/// family spares the font database a fallback search for a name it does not
/// have.
QFont MappedFont(const QString &name, int points);

/// @brief Readies the font system on a worker thread while the main thread
/// starts the application object and builds the parts of the first window
/// that draw no text.
///
/// The worker loads the system font configuration and finds the installed
/// families, then, once the application object exists, loads the image
/// format plugins and fills the application's font database. Every step is one the main thread
/// would otherwise take at its first font; it takes whatever the worker has not finished itself,
/// waiting for the step in progress.
class FontPreload
{
public:
    FontPreload();
    ~FontPreload();
    FontPreload(const FontPreload &) = delete;
    FontPreload &operator=(const FontPreload &) = delete;

    /// The application object exists: the worker may fill the font database.
    void applicationStarted();

    /// Waits until the worker has finished (at once if the application
    /// object has not started); call while the application object still
    /// exists. The destructor waits too.
    void wait();

private:
    void run();

    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    enum class Stage { Waiting, Started, Cancelled } m_stage = Stage::Waiting;
};
