// SPDX-License-Identifier: MIT
#include "main/preload.h"

#include "common/fonts.h"

#include <QFontDatabase>
#include <QImageReader>

#include <fontconfig/fontconfig.h>

#include <system_error>

StartUpPreload::StartUpPreload()
{
    try {
        m_thread = std::thread([this] { run(); });
    } catch (const std::system_error &) {
        // No thread to spare: the main thread does it all when first needed.
    }
}

StartUpPreload::~StartUpPreload()
{
    wait();
}

void StartUpPreload::wait()
{
    {
        // A worker still waiting for the application object gives up.
        const std::lock_guard lock(m_mutex);
        if (m_stage == Stage::Waiting)
            m_stage = Stage::Cancelled;
    }
    m_changed.notify_one();
    if (m_thread.joinable())
        m_thread.join();
}

void StartUpPreload::applicationStarted()
{
    {
        const std::lock_guard lock(m_mutex);
        if (m_stage == Stage::Waiting)
            m_stage = Stage::Started;
    }
    m_changed.notify_one();
}

void StartUpPreload::run()
{
    FcInit();
    ResolveMappedFamilies();
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_stage != Stage::Waiting; });
    if (m_stage == Stage::Cancelled)
        return;
    lock.unlock();
    // The menu bar and toolbar read their overflow buttons' pictures through
    // the image format plugins, and reading one picture loads them all.
    QImageReader::supportedImageFormats();
    // The font database is safe to use from any thread; the main thread's
    // first text waits for it here instead of filling it itself.
    QFontDatabase::families();
}
