// SPDX-License-Identifier: MIT
// The capture in a Wayland session, from the compositor itself. The program
// keeps a Wayland connection of its own beside the one to Xwayland (or to the
// compositor, on Qt's Wayland platform) and asks the compositor to copy every
// output into shared memory: with ext-image-copy-capture where the compositor
// offers it and the program was built with it, else with wlr-screencopy (the
// wlroots compositors). The outputs' pictures are then put together at their
// places in the compositor's layout. The desktop portal's screenshot, which
// passes through a PNG file, took seconds at 3840 x 2160; this copy takes
// some 20 ms.
//
// On Xwayland the picture of a single upright output goes from the buffer
// to the X server, which keeps and shows it as on X11 (see
// screencapture_xcb.cpp): painting it in the program, and then Xwayland
// copying it into the window's fresh memory, took 100-200 ms at 3840 x 2160.
#include "pickers/capturebackends.h"
#include "pickers/desktopimage.h"

#include <wayland-client.h>

#include "wlr-screencopy-unstable-v1-client-protocol.h"
#include "xdg-output-unstable-v1-client-protocol.h"
#ifdef VANDREL_HAVE_EXT_IMAGE_COPY
#include "ext-image-capture-source-v1-client-protocol.h"
#include "ext-image-copy-capture-v1-client-protocol.h"
#endif

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <poll.h>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

namespace {

/// How long a capture may take before the portal is asked instead.
constexpr std::chrono::milliseconds kCaptureBound{3000};

/// How long the capture's buffers are kept after the last capture.
constexpr std::chrono::seconds kKeepBuffers{30};

/// The largest buffer the program accepts for one output: 16384 x 16384.
constexpr size_t kMaxBufferBytes = size_t{16384} * 16384 * 4;

/// One output of the compositor and where it lies.
struct Output
{
    uint32_t name = 0;
    wl_output *output = nullptr;
    zxdg_output_v1 *xdg = nullptr;
    QPoint position;
    QSize mode;
    int32_t scale = 1;
    int32_t transform = WL_OUTPUT_TRANSFORM_NORMAL;
    std::optional<QPoint> logicalPosition;
    std::optional<QSize> logicalSize;
    bool described = false; ///< its first description has come
    bool gone = false;      ///< the compositor removed it

    ~Output()
    {
        if (xdg)
            zxdg_output_v1_destroy(xdg);
        if (output)
            wl_output_destroy(output);
    }

    /// Its place in the layout, in the compositor's logical coordinates.
    QRect logical() const
    {
        if (logicalPosition && logicalSize && !logicalSize->isEmpty())
            return {*logicalPosition, *logicalSize};
        // Without xdg-output: the mode, turned as the output is, at its scale.
        const QSize turned = (transform & 1) != 0 ? mode.transposed() : mode;
        return {position, turned / std::max(scale, 1)};
    }
};

const wl_output_listener kOutputListener = {
    [](void *data, wl_output *, int32_t x, int32_t y, int32_t, int32_t, int32_t, const char *,
       const char *, int32_t transform) {
        auto *output = static_cast<Output *>(data);
        output->position = QPoint(x, y);
        output->transform = transform;
    },
    [](void *data, wl_output *, uint32_t flags, int32_t width, int32_t height, int32_t) {
        if ((flags & WL_OUTPUT_MODE_CURRENT) != 0)
            static_cast<Output *>(data)->mode = QSize(width, height);
    },
    [](void *data, wl_output *) { static_cast<Output *>(data)->described = true; },
    [](void *data, wl_output *, int32_t factor) { static_cast<Output *>(data)->scale = factor; },
    [](void *, wl_output *, const char *) {},
    [](void *, wl_output *, const char *) {},
};

const zxdg_output_v1_listener kXdgOutputListener = {
    [](void *data, zxdg_output_v1 *, int32_t x, int32_t y) {
        static_cast<Output *>(data)->logicalPosition = QPoint(x, y);
    },
    [](void *data, zxdg_output_v1 *, int32_t width, int32_t height) {
        static_cast<Output *>(data)->logicalSize = QSize(width, height);
    },
    [](void *, zxdg_output_v1 *) {},
    [](void *, zxdg_output_v1 *, const char *) {},
    [](void *, zxdg_output_v1 *, const char *) {},
};

/// Whether the program reads pixels of @p format: 32 bits, 8 for each colour.
bool Readable(uint32_t format)
{
    return format == WL_SHM_FORMAT_XRGB8888 || format == WL_SHM_FORMAT_ARGB8888 ||
           format == WL_SHM_FORMAT_XBGR8888 || format == WL_SHM_FORMAT_ABGR8888;
}

/// Whether pixels of @p format are laid out as the X server's (checked when
/// the server is first asked): red, green and blue in the low 24 bits.
bool ServerReadable(uint32_t format)
{
    return format == WL_SHM_FORMAT_XRGB8888 || format == WL_SHM_FORMAT_ARGB8888;
}

/// Memory of the program's own, shared with the compositor; unmapped with
/// its last owner.
struct Mapping
{
    uchar *data = nullptr;
    size_t bytes = 0;

    Mapping(uchar *mapped, size_t size) : data(mapped), bytes(size) {}
    ~Mapping() { munmap(data, bytes); }
    Mapping(const Mapping &) = delete;
    Mapping &operator=(const Mapping &) = delete;
};

/// @brief Shared memory that the compositor copies one output into, kept for
/// the next capture.
///
/// NOTE: fresh memory is slow to touch the first time, on both sides: at
/// 3840 x 2160 it took longer to fault in than the copy itself. A buffer kept
/// stays mapped in the program and in the compositor (and in the X server),
/// and a new one takes all its memory at once, which took 10-20 ms where
/// the compositor's writing it page by page took 40-70.
class ShmBuffer
{
public:
    /// Null when the size makes no sense or the memory cannot be had.
    /// With @p server, the memory is lent to the X server too, where it
    /// allows it.
    static std::unique_ptr<ShmBuffer> create(wl_shm *shm, uint32_t width, uint32_t height,
                                             uint32_t stride, uint32_t format,
                                             pickers::SharedMemoryPictures *server)
    {
        if (width == 0 || height == 0 || width > 16384 || height > 16384 || stride / 4 < width ||
            size_t{stride} * height > kMaxBufferBytes)
            return nullptr;
        const size_t bytes = size_t{stride} * height;
        const int fd = memfd_create("vandrel-screen", MFD_CLOEXEC);
        if (fd < 0)
            return nullptr;
        auto buffer = std::unique_ptr<ShmBuffer>(new ShmBuffer);
        // NOTE: the memory is taken at once, not page by page as it is
        // first written.
        if (ftruncate(fd, static_cast<off_t>(bytes)) == 0 &&
            fallocate(fd, 0, 0, static_cast<off_t>(bytes)) == 0) {
            void *data = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
            if (data != MAP_FAILED) {
                buffer->m_mapping = std::make_shared<Mapping>(static_cast<uchar *>(data), bytes);
                wl_shm_pool *pool = wl_shm_create_pool(shm, fd, static_cast<int32_t>(bytes));
                buffer->m_buffer = wl_shm_pool_create_buffer(pool, 0, static_cast<int32_t>(width),
                                                             static_cast<int32_t>(height),
                                                             static_cast<int32_t>(stride), format);
                wl_shm_pool_destroy(pool);
                if (server && buffer->m_buffer && ServerReadable(format)) {
                    buffer->m_segment = server->attach(fd, bytes);
                    if (buffer->m_segment != 0)
                        buffer->m_server = server;
                }
            }
        }
        close(fd);
        if (!buffer->m_buffer)
            return nullptr;
        buffer->m_width = width;
        buffer->m_height = height;
        buffer->m_stride = stride;
        buffer->m_format = format;
        return buffer;
    }

    ~ShmBuffer()
    {
        if (m_server)
            m_server->detach(m_segment);
        if (m_buffer)
            wl_buffer_destroy(m_buffer);
    }

    ShmBuffer(const ShmBuffer &) = delete;
    ShmBuffer &operator=(const ShmBuffer &) = delete;

    wl_buffer *buffer() const { return m_buffer; }
    QSize size() const { return {static_cast<int>(m_width), static_cast<int>(m_height)}; }
    uint32_t stride() const { return m_stride; }
    /// The memory as the X server knows it; 0 when it does not.
    uint32_t segment() const { return m_segment; }

    bool fits(uint32_t width, uint32_t height, uint32_t stride, uint32_t format) const
    {
        return width == m_width && height == m_height && stride == m_stride && format == m_format;
    }

    /// No picture shows its pixels any more.
    bool idle() const { return m_mapping.use_count() == 1; }

    /// Handed to a capture that runs now.
    bool taken = false;

    /// @brief The pixels as a picture that shares the memory, never copied;
    /// the memory stays mapped while the picture lives.
    QImage picture() const
    {
        const QImage::Format format =
            m_format == WL_SHM_FORMAT_XBGR8888 || m_format == WL_SHM_FORMAT_ABGR8888
                ? QImage::Format_RGBX8888
                : QImage::Format_RGB32;
        auto *owner = new std::shared_ptr<Mapping>(m_mapping);
        return QImage(
            m_mapping->data, static_cast<int>(m_width), static_cast<int>(m_height),
            static_cast<qsizetype>(m_stride), format,
            [](void *info) { delete static_cast<std::shared_ptr<Mapping> *>(info); }, owner);
    }

private:
    ShmBuffer() = default;

    wl_buffer *m_buffer = nullptr;
    std::shared_ptr<Mapping> m_mapping;
    uint32_t m_width = 0;
    uint32_t m_height = 0;
    uint32_t m_stride = 0;
    uint32_t m_format = 0;
    pickers::SharedMemoryPictures *m_server = nullptr;
    uint32_t m_segment = 0;
};

/// One output's capture while it runs.
struct OutputCapture
{
    enum class State { Asked, Copying, Ready, Failed };

    Output *output = nullptr;
    /// Finds a buffer of that width, height, stride and format; null if none.
    std::function<ShmBuffer *(uint32_t, uint32_t, uint32_t, uint32_t)> obtain;
    State state = State::Asked;
    /// Only finds the buffer, copies nothing: getting ready for a capture.
    bool dry = false;
    ShmBuffer *buffer = nullptr;
    int32_t transform = WL_OUTPUT_TRANSFORM_NORMAL;
    bool yInverted = false;

    // wlr-screencopy
    zwlr_screencopy_frame_v1 *wlrFrame = nullptr;
    uint32_t wlrVersion = 0;
    uint32_t format = 0, width = 0, height = 0, stride = 0;
    bool offered = false;

#ifdef VANDREL_HAVE_EXT_IMAGE_COPY
    ext_image_capture_source_v1 *source = nullptr;
    ext_image_copy_capture_session_v1 *session = nullptr;
    ext_image_copy_capture_frame_v1 *extFrame = nullptr;
#endif

    OutputCapture() = default;
    OutputCapture(const OutputCapture &) = delete;
    OutputCapture &operator=(const OutputCapture &) = delete;

    ~OutputCapture()
    {
        if (wlrFrame)
            zwlr_screencopy_frame_v1_destroy(wlrFrame);
#ifdef VANDREL_HAVE_EXT_IMAGE_COPY
        if (extFrame)
            ext_image_copy_capture_frame_v1_destroy(extFrame);
        if (session)
            ext_image_copy_capture_session_v1_destroy(session);
        if (source)
            ext_image_capture_source_v1_destroy(source);
#endif
    }

    bool finished() const
    {
        return state == State::Ready || state == State::Failed;
    }

    /// Finds a buffer as the compositor asks for it; false if none.
    bool makeBuffer()
    {
        buffer = offered ? obtain(width, height, stride, format) : nullptr;
        if (!buffer)
            state = State::Failed;
        return buffer != nullptr;
    }

    /// wlr-screencopy: copies into the buffer of the best format offered.
    void copyWlr()
    {
        if (state != State::Asked)
            return;
        if (!makeBuffer())
            return;
        if (dry) {
            state = State::Ready;
            return;
        }
        zwlr_screencopy_frame_v1_copy(wlrFrame, buffer->buffer());
        state = State::Copying;
    }
};

const zwlr_screencopy_frame_v1_listener kWlrFrameListener = {
    // buffer: one shared-memory format the output can be copied into
    [](void *data, zwlr_screencopy_frame_v1 *, uint32_t format, uint32_t width, uint32_t height,
       uint32_t stride) {
        auto *capture = static_cast<OutputCapture *>(data);
        if (!Readable(format) || (capture->offered && capture->format == WL_SHM_FORMAT_XRGB8888))
            return;
        capture->offered = true;
        capture->format = format;
        capture->width = width;
        capture->height = height;
        capture->stride = stride;
        // NOTE: before version 3 no buffer_done follows; the one shared-memory
        // format offered is the one to use.
        if (capture->wlrVersion < 3)
            capture->copyWlr();
    },
    // flags
    [](void *data, zwlr_screencopy_frame_v1 *, uint32_t flags) {
        static_cast<OutputCapture *>(data)->yInverted =
            (flags & ZWLR_SCREENCOPY_FRAME_V1_FLAGS_Y_INVERT) != 0;
    },
    // ready
    [](void *data, zwlr_screencopy_frame_v1 *, uint32_t, uint32_t, uint32_t) {
        static_cast<OutputCapture *>(data)->state = OutputCapture::State::Ready;
    },
    // failed
    [](void *data, zwlr_screencopy_frame_v1 *) {
        static_cast<OutputCapture *>(data)->state = OutputCapture::State::Failed;
    },
    // damage
    [](void *, zwlr_screencopy_frame_v1 *, uint32_t, uint32_t, uint32_t, uint32_t) {},
    // linux_dmabuf: the program reads shared memory only
    [](void *, zwlr_screencopy_frame_v1 *, uint32_t, uint32_t, uint32_t) {},
    // buffer_done
    [](void *data, zwlr_screencopy_frame_v1 *) {
        auto *capture = static_cast<OutputCapture *>(data);
        if (!capture->offered)
            capture->state = OutputCapture::State::Failed;
        capture->copyWlr();
    },
};

#ifdef VANDREL_HAVE_EXT_IMAGE_COPY
// NOTE: the listeners are filled by name: later versions of the protocol add
// events at the end, which the version bound here never receives.
ext_image_copy_capture_frame_v1_listener ExtFrameListener()
{
    ext_image_copy_capture_frame_v1_listener listener{};
    listener.transform = [](void *data, ext_image_copy_capture_frame_v1 *, uint32_t transform) {
        static_cast<OutputCapture *>(data)->transform = static_cast<int32_t>(transform);
    };
    listener.damage = [](void *, ext_image_copy_capture_frame_v1 *, int32_t, int32_t, int32_t,
                         int32_t) {};
    listener.presentation_time = [](void *, ext_image_copy_capture_frame_v1 *, uint32_t, uint32_t,
                                    uint32_t) {};
    listener.ready = [](void *data, ext_image_copy_capture_frame_v1 *) {
        static_cast<OutputCapture *>(data)->state = OutputCapture::State::Ready;
    };
    listener.failed = [](void *data, ext_image_copy_capture_frame_v1 *, uint32_t) {
        static_cast<OutputCapture *>(data)->state = OutputCapture::State::Failed;
    };
    return listener;
}

ext_image_copy_capture_session_v1_listener ExtSessionListener()
{
    ext_image_copy_capture_session_v1_listener listener{};
    listener.buffer_size = [](void *data, ext_image_copy_capture_session_v1 *, uint32_t width,
                              uint32_t height) {
        auto *capture = static_cast<OutputCapture *>(data);
        capture->width = width;
        capture->height = height;
        capture->stride = width * 4;
    };
    listener.shm_format = [](void *data, ext_image_copy_capture_session_v1 *, uint32_t format) {
        auto *capture = static_cast<OutputCapture *>(data);
        if (!Readable(format) || (capture->offered && capture->format == WL_SHM_FORMAT_XRGB8888))
            return;
        capture->offered = true;
        capture->format = format;
    };
    listener.dmabuf_device = [](void *, ext_image_copy_capture_session_v1 *, wl_array *) {};
    listener.dmabuf_format = [](void *, ext_image_copy_capture_session_v1 *, uint32_t, wl_array *) {
    };
    // Every constraint told; the first time, the frame is asked for.
    listener.done = [](void *data, ext_image_copy_capture_session_v1 *session) {
        auto *capture = static_cast<OutputCapture *>(data);
        if (capture->state != OutputCapture::State::Asked || !capture->makeBuffer())
            return;
        if (capture->dry) {
            capture->state = OutputCapture::State::Ready;
            return;
        }
        static const ext_image_copy_capture_frame_v1_listener frameListener = ExtFrameListener();
        capture->extFrame = ext_image_copy_capture_session_v1_create_frame(session);
        ext_image_copy_capture_frame_v1_add_listener(capture->extFrame, &frameListener, capture);
        ext_image_copy_capture_frame_v1_attach_buffer(capture->extFrame, capture->buffer->buffer());
        ext_image_copy_capture_frame_v1_damage_buffer(capture->extFrame, 0, 0,
                                                      static_cast<int32_t>(capture->width),
                                                      static_cast<int32_t>(capture->height));
        ext_image_copy_capture_frame_v1_capture(capture->extFrame);
        capture->state = OutputCapture::State::Copying;
    };
    listener.stopped = [](void *data, ext_image_copy_capture_session_v1 *) {
        auto *capture = static_cast<OutputCapture *>(data);
        if (!capture->finished())
            capture->state = OutputCapture::State::Failed;
    };
    return listener;
}
#endif

/// @brief The compositor's picture, in the program's memory and painted like
/// the plain one; on Xwayland its window bypasses the window manager.
///
/// NOTE: a window managed by a wlroots compositor is placed where the
/// compositor likes (centred on one output, so a window over two outputs
/// stood half off the desktop, and every pick beside the true pixel); an
/// X11 window that bypasses it stands where the program puts it, at once.
/// Such a window takes the keyboard only as a normal window, not as a tool
/// window (which a window outside the window manager needs not be to stay out
/// of the task bar).
void BypassWindowManager(QWidget *window)
{
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        window->setWindowFlag(Qt::BypassWindowManagerHint);
        window->setWindowFlag(Qt::Tool, false);
    }
}

class CompositorPicture final : public FrozenScreen
{
public:
    explicit CompositorPicture(QImage image) : m_image(std::move(image)) {}

    QSize size() const override { return m_image.size(); }
    QImage pixels(const QRect &area) const override { return m_image.pixels(area); }
    void showIn(QWidget *window) override
    {
        BypassWindowManager(window);
        m_image.showIn(window);
    }

private:
    FrozenImage m_image;
};

/// @brief The compositor's picture handed to the X server (Xwayland), which
/// shows it by itself: the window never paints it.
class ServerPicture final : public FrozenScreen
{
public:
    explicit ServerPicture(std::unique_ptr<FrozenScreen> picture) : m_picture(std::move(picture)) {}

    QSize size() const override { return m_picture->size(); }
    QImage pixels(const QRect &area) const override { return m_picture->pixels(area); }
    void showIn(QWidget *window) override
    {
        BypassWindowManager(window);
        m_picture->showIn(window);
    }
    bool showsWithoutPainting() const override { return m_picture->showsWithoutPainting(); }

private:
    std::unique_ptr<FrozenScreen> m_picture;
};

class WaylandScreenCapture final : public ScreenCapture
{
public:
    explicit WaylandScreenCapture(std::unique_ptr<pickers::SharedMemoryPictures> server)
        : m_server(std::move(server))
    {
        // NOTE: the buffers are kept for picks in a row; at 3840 x 2160 they
        // hold 33 MB, so not for good.
        m_release.setSingleShot(true);
        m_release.setInterval(kKeepBuffers);
        QObject::connect(&m_release, &QTimer::timeout, &m_release, [this] { releaseBuffers(); });
    }
    WaylandScreenCapture(const WaylandScreenCapture &) = delete;
    WaylandScreenCapture &operator=(const WaylandScreenCapture &) = delete;

    ~WaylandScreenCapture() override
    {
        m_buffers.clear();
        m_outputs.clear();
        if (m_screencopy)
            zwlr_screencopy_manager_v1_destroy(m_screencopy);
#ifdef VANDREL_HAVE_EXT_IMAGE_COPY
        if (m_copyCapture)
            ext_image_copy_capture_manager_v1_destroy(m_copyCapture);
        if (m_outputSources)
            ext_output_image_capture_source_manager_v1_destroy(m_outputSources);
#endif
        if (m_xdgOutputs)
            zxdg_output_manager_v1_destroy(m_xdgOutputs);
        if (m_shm)
            wl_shm_destroy(m_shm);
        if (m_registry)
            wl_registry_destroy(m_registry);
        if (m_display)
            wl_display_disconnect(m_display);
    }

    /// Connects to the compositor; false when there is none or it offers no
    /// capture the program can use.
    bool connect()
    {
        m_display = wl_display_connect(nullptr);
        if (!m_display)
            return false;
        m_registry = wl_display_get_registry(m_display);
        wl_registry_add_listener(m_registry, &kRegistryListener, this);
        return update() && m_shm && canCapture();
    }

    void prepare() override
    {
        // NOTE: only on Xwayland, where the picture then shows without a
        // fresh piece of memory anywhere; on Qt's Wayland platform the window
        // paints it into fresh memory anyway, and getting ready measured no
        // faster there.
        if (!m_server)
            return;
        m_server->prepare(pickers::DeviceDesktop().size());
        // The buffers are made as the compositor asks for them, their memory
        // taken (see ShmBuffer); it then copies into memory it had already.
        // Buffers kept from before serve as they are.
        if (m_buffers.empty() && update() && !m_outputs.empty()) {
            std::vector<std::unique_ptr<OutputCapture>> asks = startCaptures(true);
            dispatchUntil([&] { return allFinished(asks); });
        }
        for (const std::unique_ptr<ShmBuffer> &buffer : m_buffers)
            buffer->taken = false;
        m_release.start();
        wl_display_flush(m_display);
    }

    HiddenWindowWait hiddenWindowWait() const override
    {
        // NOTE: the window leaves the screen once the compositor has taken
        // it off; to see that, every look would copy whole outputs.
        return HiddenWindowWait::UnmapOnly;
    }

    Result grab() override
    {
        Result shot = capture();
        // Buffers no output asked for now (the outputs changed) go at once,
        // the others once no capture has come for a while.
        std::erase_if(m_buffers, [](const std::unique_ptr<ShmBuffer> &buffer) {
            return !buffer->taken && buffer->idle();
        });
        for (const std::unique_ptr<ShmBuffer> &buffer : m_buffers)
            buffer->taken = false;
        m_release.start();
        return shot;
    }

private:
    Result capture()
    {
        if (!update() || m_outputs.empty())
            return {};
        std::vector<std::unique_ptr<OutputCapture>> captures = startCaptures(false);
        const bool finished = dispatchUntil([&] { return allFinished(captures); });
        // NOTE: an output missing from the picture would show black there,
        // and a pick there would be a wrong colour: then the whole capture
        // counts as failed. Its buffers are not used again, as the
        // compositor may still be writing into them.
        const bool ready =
            finished && std::all_of(captures.begin(), captures.end(), [](const auto &capture) {
                return capture->state == OutputCapture::State::Ready;
            });
        const QSize desktopSize = pickers::DeviceDesktop().size();
        if (ready && m_server && captures.size() == 1) {
            // NOTE: one output, upright, as large as the desktop: the X
            // server takes the picture from the buffer as it is.
            const OutputCapture &only = *captures.front();
            const ShmBuffer &buffer = *only.buffer;
            if ((only.transform & 7) == WL_OUTPUT_TRANSFORM_NORMAL && !only.yInverted &&
                buffer.segment() != 0 && buffer.size() == desktopSize) {
                if (std::unique_ptr<FrozenScreen> picture =
                        m_server->picture(buffer.segment(), desktopSize, buffer.stride())) {
                    captures.clear();
                    wl_display_flush(m_display);
                    return {std::make_unique<ServerPicture>(std::move(picture))};
                }
                // The server failed it: the program paints the picture.
            }
        }
        std::vector<pickers::OutputPicture> pictures;
        if (ready) {
            for (const std::unique_ptr<OutputCapture> &capture : captures)
                pictures.push_back({capture->buffer->picture(),
                                    static_cast<pickers::OutputTransform>(capture->transform & 7),
                                    capture->yInverted, capture->output->logical()});
        }
        captures.clear();
        if (!ready) {
            std::erase_if(m_buffers,
                          [](const std::unique_ptr<ShmBuffer> &buffer) { return buffer->taken; });
            wl_display_flush(m_display);
            return {};
        }
        wl_display_flush(m_display);
        QImage desktop = pickers::ComposeOutputPictures(std::move(pictures), desktopSize);
        if (desktop.isNull())
            return {};
        return {std::make_unique<CompositorPicture>(std::move(desktop))};
    }

    /// A capture of every output, asked for.
    std::vector<std::unique_ptr<OutputCapture>> startCaptures(bool dry)
    {
        std::vector<std::unique_ptr<OutputCapture>> captures;
        for (const std::unique_ptr<Output> &output : m_outputs) {
            auto capture = std::make_unique<OutputCapture>();
            capture->output = output.get();
            capture->dry = dry;
            capture->obtain = [this](uint32_t width, uint32_t height, uint32_t stride,
                                     uint32_t format) {
                return obtain(width, height, stride, format);
            };
            start(*capture);
            captures.push_back(std::move(capture));
        }
        return captures;
    }

    static bool allFinished(const std::vector<std::unique_ptr<OutputCapture>> &captures)
    {
        return std::all_of(captures.begin(), captures.end(),
                           [](const auto &capture) { return capture->finished(); });
    }

    /// A buffer of that width, height, stride and format that no picture
    /// shows and no other output of this capture has; a new one if none.
    ShmBuffer *obtain(uint32_t width, uint32_t height, uint32_t stride, uint32_t format)
    {
        for (const std::unique_ptr<ShmBuffer> &buffer : m_buffers) {
            if (!buffer->taken && buffer->idle() && buffer->fits(width, height, stride, format)) {
                buffer->taken = true;
                return buffer.get();
            }
        }
        std::unique_ptr<ShmBuffer> fresh =
            ShmBuffer::create(m_shm, width, height, stride, format, m_server.get());
        if (!fresh)
            return nullptr;
        fresh->taken = true;
        m_buffers.push_back(std::move(fresh));
        return m_buffers.back().get();
    }

    /// Lets the buffers go that no picture shows; the others at a later look.
    void releaseBuffers()
    {
        std::erase_if(m_buffers,
                      [](const std::unique_ptr<ShmBuffer> &buffer) { return buffer->idle(); });
        if (!m_buffers.empty())
            m_release.start();
        wl_display_flush(m_display);
    }

    bool canCapture() const
    {
#ifdef VANDREL_HAVE_EXT_IMAGE_COPY
        if (m_copyCapture && m_outputSources)
            return true;
#endif
        return m_screencopy != nullptr;
    }

    void start(OutputCapture &capture)
    {
#ifdef VANDREL_HAVE_EXT_IMAGE_COPY
        // The newer, common protocol first, where the compositor has it.
        if (m_copyCapture && m_outputSources) {
            capture.source = ext_output_image_capture_source_manager_v1_create_source(
                m_outputSources, capture.output->output);
            capture.session =
                ext_image_copy_capture_manager_v1_create_session(m_copyCapture, capture.source, 0);
            static const ext_image_copy_capture_session_v1_listener listener = ExtSessionListener();
            ext_image_copy_capture_session_v1_add_listener(capture.session, &listener, &capture);
            return;
        }
#endif
        // The pointer is left out of the picture.
        capture.wlrFrame =
            zwlr_screencopy_manager_v1_capture_output(m_screencopy, 0, capture.output->output);
        capture.wlrVersion = zwlr_screencopy_frame_v1_get_version(capture.wlrFrame);
        capture.transform = capture.output->transform;
        zwlr_screencopy_frame_v1_add_listener(capture.wlrFrame, &kWlrFrameListener, &capture);
    }

    /// Takes in what changed since the last time: outputs that came or went,
    /// moved or changed their mode. False when the connection is lost.
    bool update()
    {
        if (!roundtrip())
            return false;
        std::erase_if(m_outputs,
                      [](const std::unique_ptr<Output> &output) { return output->gone; });
        // New outputs describe themselves in answer to being bound.
        const bool fresh = std::any_of(m_outputs.begin(), m_outputs.end(),
                                       [](const auto &output) { return !output->described; });
        if (fresh && !roundtrip())
            return false;
        for (const std::unique_ptr<Output> &output : m_outputs)
            output->described = true;
        return true;
    }

    bool roundtrip()
    {
        bool done = false;
        wl_callback *sync = wl_display_sync(m_display);
        static const wl_callback_listener listener = {
            [](void *data, wl_callback *, uint32_t) { *static_cast<bool *>(data) = true; }};
        wl_callback_add_listener(sync, &listener, &done);
        const bool answered = dispatchUntil([&] { return done; });
        wl_callback_destroy(sync);
        return answered;
    }

    /// Reads and handles the compositor's events until @p done() or the
    /// capture's bound has passed; false then, or when the connection is
    /// lost.
    template <typename Done> bool dispatchUntil(Done done)
    {
        QElapsedTimer timer;
        timer.start();
        const qint64 bound = kCaptureBound.count();
        while (!done()) {
            if (wl_display_get_error(m_display) != 0)
                return false;
            if (wl_display_prepare_read(m_display) != 0) {
                if (wl_display_dispatch_pending(m_display) < 0)
                    return false;
                continue;
            }
            while (wl_display_flush(m_display) < 0 && errno == EAGAIN) {
                pollfd out{wl_display_get_fd(m_display), POLLOUT, 0};
                if (poll(&out, 1, static_cast<int>(std::max<qint64>(bound - timer.elapsed(), 0))) <=
                    0)
                    break;
            }
            pollfd in{wl_display_get_fd(m_display), POLLIN, 0};
            const int left = static_cast<int>(std::max<qint64>(bound - timer.elapsed(), 0));
            const int ready = poll(&in, 1, left);
            if (ready <= 0) {
                wl_display_cancel_read(m_display);
                if (ready < 0 && errno == EINTR)
                    continue;
                return false;
            }
            if (wl_display_read_events(m_display) < 0 || wl_display_dispatch_pending(m_display) < 0)
                return false;
        }
        return true;
    }

    void global(wl_registry *registry, uint32_t name, const char *interface, uint32_t version)
    {
        const auto is = [interface](const wl_interface &known) {
            return std::strcmp(interface, known.name) == 0;
        };
        if (is(wl_output_interface)) {
            auto output = std::make_unique<Output>();
            output->name = name;
            output->output = static_cast<wl_output *>(
                wl_registry_bind(registry, name, &wl_output_interface, std::min(version, 2U)));
            wl_output_add_listener(output->output, &kOutputListener, output.get());
            if (m_xdgOutputs)
                describe(*output);
            m_outputs.push_back(std::move(output));
        } else if (is(wl_shm_interface) && !m_shm) {
            m_shm = static_cast<wl_shm *>(wl_registry_bind(registry, name, &wl_shm_interface, 1));
        } else if (is(zxdg_output_manager_v1_interface) && !m_xdgOutputs) {
            m_xdgOutputs = static_cast<zxdg_output_manager_v1 *>(wl_registry_bind(
                registry, name, &zxdg_output_manager_v1_interface, std::min(version, 3U)));
            for (const std::unique_ptr<Output> &output : m_outputs)
                describe(*output);
        } else if (is(zwlr_screencopy_manager_v1_interface) && !m_screencopy) {
            m_screencopy = static_cast<zwlr_screencopy_manager_v1 *>(wl_registry_bind(
                registry, name, &zwlr_screencopy_manager_v1_interface, std::min(version, 3U)));
        }
#ifdef VANDREL_HAVE_EXT_IMAGE_COPY
        else if (is(ext_image_copy_capture_manager_v1_interface) && !m_copyCapture) {
            m_copyCapture = static_cast<ext_image_copy_capture_manager_v1 *>(
                wl_registry_bind(registry, name, &ext_image_copy_capture_manager_v1_interface, 1));
        } else if (is(ext_output_image_capture_source_manager_v1_interface) && !m_outputSources) {
            m_outputSources =
                static_cast<ext_output_image_capture_source_manager_v1 *>(wl_registry_bind(
                    registry, name, &ext_output_image_capture_source_manager_v1_interface, 1));
        }
#endif
    }

    void describe(Output &output)
    {
        if (output.xdg)
            return;
        output.xdg = zxdg_output_manager_v1_get_xdg_output(m_xdgOutputs, output.output);
        zxdg_output_v1_add_listener(output.xdg, &kXdgOutputListener, &output);
    }

    void globalRemove(uint32_t name)
    {
        for (const std::unique_ptr<Output> &output : m_outputs)
            if (output->name == name)
                output->gone = true;
    }

    static const wl_registry_listener kRegistryListener;

    /// The X server the pictures go to, if any; it outlives the buffers it
    /// reads.
    std::unique_ptr<pickers::SharedMemoryPictures> m_server;
    wl_display *m_display = nullptr;
    wl_registry *m_registry = nullptr;
    wl_shm *m_shm = nullptr;
    zxdg_output_manager_v1 *m_xdgOutputs = nullptr;
    zwlr_screencopy_manager_v1 *m_screencopy = nullptr;
#ifdef VANDREL_HAVE_EXT_IMAGE_COPY
    ext_image_copy_capture_manager_v1 *m_copyCapture = nullptr;
    ext_output_image_capture_source_manager_v1 *m_outputSources = nullptr;
#endif
    /// Removed outputs stay until the next capture starts: a capture that
    /// runs may still point at them.
    std::vector<std::unique_ptr<Output>> m_outputs;
    std::vector<std::unique_ptr<ShmBuffer>> m_buffers;
    /// Lets the buffers go a while after the last capture.
    QTimer m_release;
};

const wl_registry_listener WaylandScreenCapture::kRegistryListener = {
    [](void *data, wl_registry *registry, uint32_t name, const char *interface, uint32_t version) {
        static_cast<WaylandScreenCapture *>(data)->global(registry, name, interface, version);
    },
    [](void *data, wl_registry *, uint32_t name) {
        static_cast<WaylandScreenCapture *>(data)->globalRemove(name);
    },
};

} // namespace

std::unique_ptr<ScreenCapture>
pickers::CreateWaylandScreenCapture(std::unique_ptr<SharedMemoryPictures> server)
{
    auto capture = std::make_unique<WaylandScreenCapture>(std::move(server));
    if (!capture->connect())
        return nullptr;
    return capture;
}
