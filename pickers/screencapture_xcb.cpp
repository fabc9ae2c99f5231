// SPDX-License-Identifier: MIT
// The capture on X11. The frozen picture stays on the X server: the root
// window, every monitor of it, is copied into a pixmap there in one request,
// the eyedropper window shows that pixmap as the background of a child window
// the server paints by itself, and only the pixels asked for (the one that is
// picked) travel to the program. Reading the whole screen into the program and
// painting it back into the window moved 33 MB each way at 3840 x 2160, and
// that was most of the wait before the picture appeared.
#include "pickers/capturebackends.h"

#include <QGuiApplication>
#include <QSysInfo>
#include <QWidget>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>

namespace {

/// Frees what xcb allocated for a reply or an error.
struct FreeReply
{
    void operator()(void *reply) const { std::free(reply); }
};
template <typename T> using Reply = std::unique_ptr<T, FreeReply>;

/// The root window and how its pixels are laid out.
struct RootFormat
{
    xcb_window_t root = XCB_NONE;
    uint8_t depth = 0;
    xcb_visualid_t visual = 0;
    xcb_colormap_t colormap = XCB_NONE;
};

/// @brief The root window's format, when its pixels read back as they are in
/// QImage::Format_RGB32 (true colour, 8 bits a channel in 32-bit pixels, in
/// this machine's byte order); otherwise nothing, and the capture through Qt,
/// which converts, serves instead.
std::optional<RootFormat> FindRootFormat(xcb_connection_t *connection)
{
    const xcb_setup_t *setup = xcb_get_setup(connection);
    // NOTE: a display of several separate X screens (not monitors) is left to
    // Qt, which knows which of them the program runs on.
    if (!setup || xcb_setup_roots_length(setup) != 1)
        return std::nullopt;
    const bool littleEndian = QSysInfo::ByteOrder == QSysInfo::LittleEndian;
    if ((setup->image_byte_order == XCB_IMAGE_ORDER_LSB_FIRST) != littleEndian)
        return std::nullopt;
    const xcb_screen_t *screen = xcb_setup_roots_iterator(setup).data;
    bool fullPixels = false;
    for (auto format = xcb_setup_pixmap_formats_iterator(setup); format.rem;
         xcb_format_next(&format)) {
        if (format.data->depth == screen->root_depth)
            fullPixels = format.data->bits_per_pixel == 32 && format.data->scanline_pad == 32;
    }
    if (!fullPixels)
        return std::nullopt;
    for (auto depth = xcb_screen_allowed_depths_iterator(screen); depth.rem;
         xcb_depth_next(&depth)) {
        for (auto visual = xcb_depth_visuals_iterator(depth.data); visual.rem;
             xcb_visualtype_next(&visual)) {
            const xcb_visualtype_t &type = *visual.data;
            if (type.visual_id != screen->root_visual)
                continue;
            if (type._class != XCB_VISUAL_CLASS_TRUE_COLOR || type.red_mask != 0xFF0000 ||
                type.green_mask != 0x00FF00 || type.blue_mask != 0x0000FF)
                return std::nullopt;
            return RootFormat{screen->root, screen->root_depth, screen->root_visual,
                              screen->default_colormap};
        }
    }
    return std::nullopt;
}

class XcbFrozenScreen final : public FrozenScreen
{
public:
    XcbFrozenScreen(xcb_connection_t *connection, const RootFormat &format, xcb_pixmap_t pixmap,
                    QSize size)
        : m_connection(connection), m_format(format), m_pixmap(pixmap), m_size(size)
    {
    }

    ~XcbFrozenScreen() override
    {
        if (m_window != XCB_NONE)
            xcb_destroy_window(m_connection, m_window);
        xcb_free_pixmap(m_connection, m_pixmap);
        xcb_flush(m_connection);
    }

    XcbFrozenScreen(const XcbFrozenScreen &) = delete;
    XcbFrozenScreen &operator=(const XcbFrozenScreen &) = delete;

    QSize size() const override { return m_size; }

    QImage pixels(const QRect &area) const override
    {
        QImage image(area.size(), QImage::Format_RGB32);
        image.fill(Qt::black);
        const QRect inside = area & QRect(QPoint(0, 0), m_size);
        if (inside.isEmpty())
            return image;
        const Reply<xcb_get_image_reply_t> reply(xcb_get_image_reply(
            m_connection,
            xcb_get_image(m_connection, XCB_IMAGE_FORMAT_Z_PIXMAP, m_pixmap,
                          static_cast<int16_t>(inside.x()), static_cast<int16_t>(inside.y()),
                          static_cast<uint16_t>(inside.width()),
                          static_cast<uint16_t>(inside.height()), ~0U),
            nullptr));
        if (!reply)
            return image;
        // 32-bit pixels, so the lines follow each other without padding.
        const auto lineBytes = static_cast<size_t>(inside.width()) * 4;
        if (static_cast<size_t>(xcb_get_image_data_length(reply.get())) <
            lineBytes * static_cast<size_t>(inside.height()))
            return image;
        const uint8_t *data = xcb_get_image_data(reply.get());
        for (int y = 0; y < inside.height(); ++y) {
            auto *line = reinterpret_cast<QRgb *>(image.scanLine(inside.y() - area.y() + y)) +
                         (inside.x() - area.x());
            std::memcpy(line, data + static_cast<size_t>(y) * lineBytes, lineBytes);
            // The byte above the 24 bits of colour is undefined on the server.
            for (int x = 0; x < inside.width(); ++x)
                line[x] |= 0xFF000000U;
        }
        return image;
    }

    void showIn(QWidget *window) override
    {
        // NOTE: the picture lives in a child window of the eyedropper window
        // whose background is the pixmap: the server paints it on every
        // expose with no help from the program. Were the pixmap the window's
        // own background, Qt would flush its backing store (never painted
        // there) over it on each expose. A child window also clips what Qt
        // draws into the window itself, so only native child widgets raised
        // above it can show on top of the picture. The child selects no
        // input: pointer events go on to the eyedropper window, and the
        // child shows the eyedropper window's cursor.
        if (m_window != XCB_NONE)
            return;
        // NOTE: with the picture on the server the window need not wait for
        // the window manager: bypassing it, the server maps the window at
        // once, above every other window and over every monitor, where a
        // managed full-screen window appeared only once the window manager
        // had placed it (some 40 ms with openbox). The eyedropper takes the
        // keyboard itself. Set before the native window exists, which the
        // child window needs next.
        window->setWindowFlag(Qt::BypassWindowManagerHint);
        m_window = xcb_generate_id(m_connection);
        // In the order of the value bits: background pixmap, border pixel,
        // colour map (needed when the depth differs from the parent's).
        const uint32_t values[] = {m_pixmap, 0, m_format.colormap};
        xcb_create_window(
            m_connection, m_format.depth, m_window, static_cast<xcb_window_t>(window->winId()), 0,
            0, static_cast<uint16_t>(m_size.width()), static_cast<uint16_t>(m_size.height()), 0,
            XCB_WINDOW_CLASS_INPUT_OUTPUT, m_format.visual,
            XCB_CW_BACK_PIXMAP | XCB_CW_BORDER_PIXEL | XCB_CW_COLORMAP, values);
        xcb_map_window(m_connection, m_window);
        xcb_flush(m_connection);
    }

private:
    xcb_connection_t *m_connection;
    RootFormat m_format;
    xcb_pixmap_t m_pixmap;
    QSize m_size;
    xcb_window_t m_window = XCB_NONE;
};

class XcbScreenCapture final : public ScreenCapture
{
public:
    XcbScreenCapture(xcb_connection_t *connection, const RootFormat &format)
        : m_connection(connection), m_format(format)
    {
    }

    Result grab() override
    {
        const QRect desktop = pickers::DeviceDesktop();
        if (desktop.isEmpty() || desktop.width() > 0x7FFF || desktop.height() > 0x7FFF)
            return {};
        const xcb_pixmap_t pixmap = xcb_generate_id(m_connection);
        const xcb_gcontext_t gc = xcb_generate_id(m_connection);
        const auto width = static_cast<uint16_t>(desktop.width());
        const auto height = static_cast<uint16_t>(desktop.height());
        const xcb_void_cookie_t created = xcb_create_pixmap_checked(
            m_connection, m_format.depth, pixmap, m_format.root, width, height);
        // The windows on the screen are part of the root window's picture
        // only when the copy includes the root's inferiors.
        const uint32_t gcValues[] = {XCB_SUBWINDOW_MODE_INCLUDE_INFERIORS, 0};
        xcb_create_gc(m_connection, gc, pixmap, XCB_GC_SUBWINDOW_MODE | XCB_GC_GRAPHICS_EXPOSURES,
                      gcValues);
        const xcb_void_cookie_t copied = xcb_copy_area_checked(
            m_connection, m_format.root, pixmap, gc, static_cast<int16_t>(desktop.x()),
            static_cast<int16_t>(desktop.y()), 0, 0, width, height);
        xcb_free_gc(m_connection, gc);
        // One round trip: the server answers once the copy is done.
        const Reply<xcb_generic_error_t> copyError(xcb_request_check(m_connection, copied));
        const Reply<xcb_generic_error_t> createError(xcb_request_check(m_connection, created));
        if (createError || copyError) {
            if (!createError)
                xcb_free_pixmap(m_connection, pixmap);
            return {};
        }
        return {std::make_unique<XcbFrozenScreen>(m_connection, m_format, pixmap, desktop.size())};
    }

private:
    xcb_connection_t *m_connection;
    RootFormat m_format;
};

} // namespace

std::unique_ptr<ScreenCapture> pickers::CreateXcbScreenCapture()
{
    const auto *x11 =
        qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t *connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return nullptr;
    const std::optional<RootFormat> format = FindRootFormat(connection);
    if (!format)
        return nullptr;
    return std::make_unique<XcbScreenCapture>(connection, *format);
}
