// SPDX-License-Identifier: MIT
// The X11 capture: one request for the root window gives the whole desktop,
// every monitor included, in device pixels.
#include "pickers/screencapturebackends.h"

#include <QGuiApplication>
#include <QSysInfo>

#include <sys/ipc.h>
#include <sys/shm.h>
#include <xcb/shm.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

namespace pickers {

namespace {

/// Frees an xcb reply when it goes out of scope.
struct FreeReply
{
    void operator()(void *reply) const { std::free(reply); }
};
template <typename Reply>
using ReplyPtr = std::unique_ptr<Reply, FreeReply>;

class XcbScreenCapture final : public ScreenCapture
{
public:
    XcbScreenCapture(xcb_connection_t *connection, xcb_window_t root,
                     std::unique_ptr<ScreenCapture> fallback)
        : m_connection(connection), m_root(root), m_fallback(std::move(fallback))
    {
        const xcb_query_extension_reply_t *shm = xcb_get_extension_data(m_connection, &xcb_shm_id);
        m_haveShm = shm && shm->present;
    }
    ~XcbScreenCapture() override { xcb_disconnect(m_connection); }
    XcbScreenCapture(const XcbScreenCapture &) = delete;
    XcbScreenCapture &operator=(const XcbScreenCapture &) = delete;

    QImage grab() override
    {
        // NOTE: the size in the connection set-up is the size at connection
        // time; a monitor added since would be missed, so ask every time.
        const ReplyPtr<xcb_get_geometry_reply_t> geometry{
            xcb_get_geometry_reply(m_connection, xcb_get_geometry(m_connection, m_root), nullptr)};
        if (!geometry)
            return m_fallback->grab();
        const int width = geometry->width;
        const int height = geometry->height;

        QImage picture;
        if (m_haveShm)
            picture = grabShared(width, height);
        if (picture.isNull())
            picture = grabPlain(width, height);
        if (picture.isNull())
            return m_fallback->grab();
        return picture;
    }

private:
    /// The picture through a shared-memory segment, which the QImage keeps
    /// and releases: no copy through the socket and none afterwards.
    QImage grabShared(int width, int height)
    {
        const auto bytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4;
        const int id = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
        if (id < 0)
            return {};
        void *memory = shmat(id, nullptr, 0);
        // NOTE: marked for removal at once: the segment lives while it is
        // attached and disappears by itself when the last user detaches,
        // even if this program dies in between.
        if (memory == reinterpret_cast<void *>(-1)) {
            shmctl(id, IPC_RMID, nullptr);
            return {};
        }
        const xcb_shm_seg_t segment = xcb_generate_id(m_connection);
        xcb_shm_attach(m_connection, segment, static_cast<std::uint32_t>(id), 0);
        xcb_generic_error_t *error = nullptr;
        const ReplyPtr<xcb_shm_get_image_reply_t> reply{xcb_shm_get_image_reply(
            m_connection,
            xcb_shm_get_image(m_connection, m_root, 0, 0, static_cast<std::uint16_t>(width),
                              static_cast<std::uint16_t>(height), ~0u, XCB_IMAGE_FORMAT_Z_PIXMAP,
                              segment, 0),
            &error)};
        // The server has attached (or refused) the segment by the time the
        // reply is in, so it can be marked for removal and detached here.
        shmctl(id, IPC_RMID, nullptr);
        xcb_shm_detach(m_connection, segment);
        xcb_flush(m_connection);
        const bool ok = reply && !error;
        std::free(error);
        if (!ok) {
            shmdt(memory);
            return {};
        }
        return QImage(
            static_cast<uchar *>(memory), width, height, width * 4, QImage::Format_RGB32,
            [](void *data) { shmdt(data); }, memory);
    }

    /// The picture through an ordinary image request (a remote display).
    QImage grabPlain(int width, int height)
    {
        xcb_get_image_reply_t *reply = xcb_get_image_reply(
            m_connection,
            xcb_get_image(m_connection, XCB_IMAGE_FORMAT_Z_PIXMAP, m_root, 0, 0,
                          static_cast<std::uint16_t>(width), static_cast<std::uint16_t>(height),
                          ~0u),
            nullptr);
        if (!reply)
            return {};
        const auto expected =
            static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4;
        if (static_cast<std::size_t>(xcb_get_image_data_length(reply)) < expected) {
            std::free(reply);
            return {};
        }
        return QImage(
            xcb_get_image_data(reply), width, height, width * 4, QImage::Format_RGB32,
            [](void *data) { std::free(data); }, reply);
    }

    xcb_connection_t *m_connection = nullptr;
    xcb_window_t m_root = 0;
    std::unique_ptr<ScreenCapture> m_fallback;
    bool m_haveShm = false;
};

/// Whether pixels of the root window read as QImage::Format_RGB32: 32 bits
/// per pixel, 8 bits per channel at the usual places, in this machine's byte
/// order.
bool rootIsRgb32(const xcb_setup_t *setup, const xcb_screen_t *screen)
{
    const auto order = QSysInfo::ByteOrder == QSysInfo::LittleEndian ? XCB_IMAGE_ORDER_LSB_FIRST
                                                                     : XCB_IMAGE_ORDER_MSB_FIRST;
    if (setup->image_byte_order != order)
        return false;
    bool formatOk = false;
    for (auto it = xcb_setup_pixmap_formats_iterator(setup); it.rem; xcb_format_next(&it)) {
        if (it.data->depth == screen->root_depth)
            formatOk = it.data->bits_per_pixel == 32;
    }
    if (!formatOk)
        return false;
    for (auto depth = xcb_screen_allowed_depths_iterator(screen); depth.rem;
         xcb_depth_next(&depth)) {
        for (auto visual = xcb_depth_visuals_iterator(depth.data); visual.rem;
             xcb_visualtype_next(&visual)) {
            if (visual.data->visual_id == screen->root_visual)
                return visual.data->red_mask == 0xFF0000u && visual.data->green_mask == 0xFF00u &&
                       visual.data->blue_mask == 0xFFu;
        }
    }
    return false;
}

} // namespace

std::unique_ptr<ScreenCapture> CreateXcbScreenCapture(std::unique_ptr<ScreenCapture> fallback)
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    // NOTE: a connection of its own, opened on the display Qt uses, keeps the
    // capture's requests out of Qt's event handling.
    int screenNumber = 0;
    xcb_connection_t *connection = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return nullptr;
    }
    const xcb_setup_t *setup = xcb_get_setup(connection);
    auto screens = xcb_setup_roots_iterator(setup);
    for (int i = 0; i < screenNumber && screens.rem; ++i)
        xcb_screen_next(&screens);
    if (!screens.rem || !rootIsRgb32(setup, screens.data)) {
        xcb_disconnect(connection);
        return nullptr;
    }
    return std::make_unique<XcbScreenCapture>(connection, screens.data->root, std::move(fallback));
}

} // namespace pickers
