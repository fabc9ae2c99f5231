// SPDX-License-Identifier: MIT
#include "pickers/screencapture.h"

#include "pickers/screencapturebackends.h"

std::unique_ptr<ScreenCapture> CreateScreenCapture()
{
    std::unique_ptr<ScreenCapture> capture = pickers::CreateQtScreenCapture();
#ifdef VANDREL_HAVE_XCB
    if (auto x11 = pickers::CreateXcbScreenCapture(std::move(capture)))
        return x11;
    capture = pickers::CreateQtScreenCapture();
#endif
    return capture;
}
