// SPDX-License-Identifier: MIT
#include "main/preload.h"

#include "common/fonts.h"

#include <QFontDatabase>
#include <QImageReader>

#include <system_error>

namespace {

void Preload()
{
    ResolveMappedFamilies();
    // The menu bar and toolbar read their overflow buttons' pictures through
    // the image format plugins, and reading one picture loads them all.
    QImageReader::supportedImageFormats();
    // The font database is safe to use from any thread; the main thread's
    // first text waits for it here instead of filling it itself.
    QFontDatabase::families();
}

} // namespace

StartUpPreload::StartUpPreload()
{
    try {
        m_thread = std::thread(Preload);
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
    if (m_thread.joinable())
        m_thread.join();
}
