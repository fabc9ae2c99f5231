// SPDX-License-Identifier: MIT
#pragma once

#include <thread>

/// @brief Readies on a worker thread what the first window needs before it
/// can draw, while the main thread builds the parts of the window that draw
/// no text.
///
/// The worker loads the system font configuration, finds the installed
/// Japanese families, loads the image format plugins and fills the
/// application's font database. Each step is one the main thread would
/// otherwise take itself when first needed; it then waits for a step in
/// progress instead.
///
/// Create it once the application object exists, and let it go before the
/// application object does: the worker uses the application's font database
/// and plugins.
class StartUpPreload
{
public:
    StartUpPreload();
    ~StartUpPreload();
    StartUpPreload(const StartUpPreload &) = delete;
    StartUpPreload &operator=(const StartUpPreload &) = delete;

    /// Waits until the worker has finished. The destructor waits too.
    void wait();

private:
    std::thread m_thread;
};
