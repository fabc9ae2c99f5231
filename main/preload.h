// SPDX-License-Identifier: MIT
#pragma once

#include <condition_variable>
#include <mutex>
#include <thread>

/// @brief Readies on a worker thread what the first window needs before it
/// can draw, while the main thread starts the application object and builds
/// the parts of the window that draw no text.
///
/// The worker loads the system font configuration and finds the installed
/// Japanese families. Once the application object exists, it loads the image
/// format plugins and fills the application's font database. Each step is one
/// the main thread would otherwise take itself when first needed; it then
/// waits for a step in progress instead.
class StartUpPreload
{
public:
    StartUpPreload();
    ~StartUpPreload();
    StartUpPreload(const StartUpPreload &) = delete;
    StartUpPreload &operator=(const StartUpPreload &) = delete;

    /// The application object exists: the worker may go on.
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
