// SPDX-License-Identifier: MIT
#pragma once

#include "pickers/screencapture.h"

#include <chrono>
#include <cstddef>
#include <cstdint>

/// The capture backends that CreateScreenCapture() chooses from.
namespace pickers {

/// Every screen read through Qt into one picture in the program's memory.
std::unique_ptr<ScreenCapture> CreateQtScreenCapture();

/// How long the X11 capture keeps its picture's room on the server after the
/// last pick or preparation.
inline constexpr std::chrono::milliseconds kKeepPicture{60000};

/// The picture kept on the X server; null when the program does not run on
/// X11 or was built without xcb. The room for the picture stays on the server
/// between picks, and is given back after @p keep without one.
std::unique_ptr<ScreenCapture>
CreateXcbScreenCapture(std::chrono::milliseconds keep = kKeepPicture);

/// @brief Pictures that the X server takes from the program's shared memory
/// and then keeps and shows as the X11 capture keeps and shows its own: for
/// the compositor's copy on Xwayland, where the root window reads black.
class SharedMemoryPictures
{
public:
    virtual ~SharedMemoryPictures() = default;

    /// @brief Lets the server read the first @p bytes of the shared memory
    /// @p fd (which stays the caller's) until detach(). Returns at once, 0
    /// when it cannot ask; a segment the server refused makes no picture.
    virtual uint32_t attach(int fd, size_t bytes) = 0;
    virtual void detach(uint32_t segment) = 0;

    /// @brief The desktop picture of @p size from the start of @p segment,
    /// rows @p stride bytes apart, in the root window's pixel format, copied
    /// into the server's own keeping; null when the server fails it.
    virtual std::unique_ptr<FrozenScreen> picture(uint32_t segment, QSize size,
                                                  uint32_t stride) = 0;

    /// Gets the server's room for a picture of @p size ready (see
    /// ScreenCapture::prepare()).
    virtual void prepare(QSize size) = 0;
};

/// Pictures on the X server the program runs on; null when it does not run on
/// X11, the server shares no memory with it, or it was built without xcb-shm.
std::unique_ptr<SharedMemoryPictures>
CreateXcbSharedMemoryPictures(std::chrono::milliseconds keep = kKeepPicture);

/// @brief The compositor's own copy of its outputs, through a Wayland
/// connection of the program's own; null when no compositor answers or it
/// offers no capture the program knows. A capture that fails gives no
/// picture and is not refused.
///
/// With @p server (on Xwayland) a picture that needs no putting together is
/// handed to the X server and shown by it; the others are painted.
std::unique_ptr<ScreenCapture>
CreateWaylandScreenCapture(std::unique_ptr<SharedMemoryPictures> server = nullptr);

/// The desktop in device pixels, as the union of every monitor: the extent a
/// backend's picture covers.
QRect DeviceDesktop();

} // namespace pickers
