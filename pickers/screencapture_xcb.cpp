// SPDX-License-Identifier: MIT
// The capture on X11. The frozen picture stays on the X server: the root
// window, every monitor of it, is copied into a pixmap there in one request,
// the eyedropper window shows that pixmap as the background of a child window
// the server paints by itself, and only the pixels asked for (the one that is
// picked) travel to the program. Reading the whole screen into the program and
// painting it back into the window moved 33 MB each way at 3840 x 2160, and
// that was most of the wait before the picture appeared.
//
// The pixmap itself is kept between picks. A fresh one costs the server far
// more than the copy into it: it takes new memory from the system and touches
// every page of it (33 MB at 3840 x 2160), and freeing it at once gave that
// memory back, so every pick paid again. Kept, it is only copied into; it is
// made ready (allocated and touched) when a pick is likely, before the click,
// and given back once no pick has come for a while, so that an idle program
// holds no screen-sized memory in the server.
//
// On Xwayland, where the root window reads black, the compositor's copy of
// its outputs is put into the same kept pixmap from shared memory, and shown
// in a window kept mapped beside the screen (see Stage).
#include "pickers/capturebackends.h"

#include <QEvent>
#include <QGuiApplication>
#include <QSysInfo>
#include <QTimer>
#include <QWidget>

#include <xcb/xcb.h>
#ifdef VANDREL_HAVE_XCB_SHM
#include <fcntl.h>
#include <xcb/shm.h>
#endif

#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <utility>

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

/// @brief The pixmap kept on the server for the next picture, and the one
/// graphics context the captures use.
///
/// A pixmap is either kept here or lent to one picture at a time; a picture
/// gives it back when it goes, and the store keeps it for the next capture.
/// The kept pixmap is freed after a while without a capture.
class PixmapStore
{
public:
    /// A pixmap handed to a capture, and its creation to check for an error
    /// when the capture checks its own request, if no one has yet.
    struct Loan
    {
        xcb_pixmap_t pixmap = XCB_NONE;
        std::optional<xcb_void_cookie_t> created;
    };

    PixmapStore(xcb_connection_t *connection, const RootFormat &format,
                std::chrono::milliseconds keep)
        : m_connection(connection), m_format(format)
    {
        m_idle.setSingleShot(true);
        m_idle.setInterval(keep);
        QObject::connect(&m_idle, &QTimer::timeout, &m_idle, [this] {
            dropKept();
            xcb_flush(m_connection);
        });
        // The windows on the screen are part of the root window's picture
        // only when the copy includes the root's inferiors. The foreground
        // stays black, for preparing.
        const uint32_t values[] = {XCB_SUBWINDOW_MODE_INCLUDE_INFERIORS, 0};
        xcb_create_gc(m_connection, m_gc, m_format.root,
                      XCB_GC_SUBWINDOW_MODE | XCB_GC_GRAPHICS_EXPOSURES, values);
    }

    ~PixmapStore()
    {
        dropKept();
        xcb_free_gc(m_connection, m_gc);
        xcb_flush(m_connection);
    }

    PixmapStore(const PixmapStore &) = delete;
    PixmapStore &operator=(const PixmapStore &) = delete;

    xcb_gcontext_t gc() const { return m_gc; }

    /// A pixmap of @p size: the kept one when it has that size, a new one
    /// otherwise.
    Loan lend(QSize size)
    {
        m_idle.stop();
        ++m_lent;
        if (m_kept.pixmap != XCB_NONE && m_keptSize == size)
            return std::exchange(m_kept, {});
        dropKept();
        return create(size);
    }

    /// Takes back a pixmap lent for a picture of @p size (none, when it
    /// could not be made); kept when no other is.
    void giveBack(Loan loan, QSize size)
    {
        --m_lent;
        if (loan.pixmap != XCB_NONE && m_kept.pixmap == XCB_NONE) {
            m_kept = loan;
            m_keptSize = size;
        } else if (loan.pixmap != XCB_NONE) {
            discard(loan);
        }
        if (m_lent == 0)
            m_idle.start();
    }

    /// Makes sure a pixmap of @p size is ready on the server, its memory
    /// taken and touched, unless one is lent out (it comes back when its
    /// picture goes). Sends the requests without waiting for the server.
    void prepare(QSize size)
    {
        if (m_lent > 0)
            return;
        m_idle.start();
        if (m_kept.pixmap != XCB_NONE && m_keptSize == size)
            return;
        dropKept();
        m_kept = create(size);
        m_keptSize = size;
        // NOTE: the server takes the memory of a new pixmap only as it is
        // first written; filling it now spares the copy that work.
        const xcb_rectangle_t all{0, 0, static_cast<uint16_t>(size.width()),
                                  static_cast<uint16_t>(size.height())};
        xcb_poly_fill_rectangle(m_connection, m_kept.pixmap, m_gc, 1, &all);
        xcb_flush(m_connection);
    }

private:
    Loan create(QSize size)
    {
        Loan loan{xcb_generate_id(m_connection), std::nullopt};
        loan.created = xcb_create_pixmap_checked(m_connection, m_format.depth, loan.pixmap,
                                                 m_format.root, static_cast<uint16_t>(size.width()),
                                                 static_cast<uint16_t>(size.height()));
        return loan;
    }

    /// Frees a pixmap never used again, and forgets its creation's outcome.
    void discard(const Loan &loan)
    {
        if (loan.created)
            xcb_discard_reply(m_connection, loan.created->sequence);
        xcb_free_pixmap(m_connection, loan.pixmap);
    }

    void dropKept()
    {
        if (m_kept.pixmap != XCB_NONE)
            discard(std::exchange(m_kept, {}));
    }

    xcb_connection_t *m_connection;
    RootFormat m_format;
    xcb_gcontext_t m_gc = xcb_generate_id(m_connection);
    Loan m_kept;
    QSize m_keptSize;
    int m_lent = 0;
    QTimer m_idle;
};

/// @brief On Xwayland: a top-level window as large as the desktop, kept
/// mapped outside the screen while a pick is likely, in which each picture
/// shows.
///
/// NOTE: Xwayland gives every top-level window memory of its own, which it
/// hands to the compositor, anew each time the window maps, and fills it as
/// the window maps: at 3840 x 2160 that took 50-110 ms, most of the wait
/// before the picture showed. A window kept mapped keeps that memory, and
/// painting the next picture into it takes 2-10 ms. The eyedropper window is
/// laid into it as a child window, which has no memory of its own there.
class Stage
{
public:
    Stage(xcb_connection_t *connection, const RootFormat &format, std::chrono::milliseconds keep)
        : m_connection(connection), m_format(format)
    {
        m_idle.setSingleShot(true);
        m_idle.setInterval(keep);
        QObject::connect(&m_idle, &QTimer::timeout, &m_idle, [this] {
            if (!m_showing)
                destroy();
        });
        const auto intern = [connection](const char *name) {
            return xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name);
        };
        m_typeCookie = intern("_NET_WM_WINDOW_TYPE");
        m_utilityCookie = intern("_NET_WM_WINDOW_TYPE_UTILITY");
    }

    ~Stage()
    {
        destroy();
        xcb_flush(m_connection);
    }

    Stage(const Stage &) = delete;
    Stage &operator=(const Stage &) = delete;

    /// Makes sure it is mapped, outside the screen, at @p size, unless it
    /// shows a picture; sends the requests without waiting for the server.
    void prepare(QSize size)
    {
        if (m_showing)
            return;
        m_idle.start();
        if (m_window != XCB_NONE && m_size == size)
            return;
        destroy();
        m_window = xcb_generate_id(m_connection);
        m_size = size;
        const QPoint parked = parkedAt();
        // In the order of the value bits: background (black, so that the
        // server fills the window's memory as it maps it, now), border,
        // override-redirect, colour map.
        const uint32_t values[] = {0, 0, 1, m_format.colormap};
        xcb_create_window(
            m_connection, m_format.depth, m_window, m_format.root, static_cast<int16_t>(parked.x()),
            static_cast<int16_t>(parked.y()), static_cast<uint16_t>(size.width()),
            static_cast<uint16_t>(size.height()), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, m_format.visual,
            XCB_CW_BACK_PIXEL | XCB_CW_BORDER_PIXEL | XCB_CW_OVERRIDE_REDIRECT | XCB_CW_COLORMAP,
            values);
        // NOTE: a wlroots compositor gives the keyboard to an unmanaged
        // window as it maps, unless its type says it wants none: this one
        // maps long before a pick, and must not take the keyboard from the
        // main window then.
        if (const xcb_atom_t type = typeAtom(); type != XCB_NONE)
            xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, m_window, type, XCB_ATOM_ATOM,
                                32, 1, &m_utility);
        xcb_map_window(m_connection, m_window);
        xcb_flush(m_connection);
    }

    /// @brief Shows the picture in @p pixmap, of @p size, with @p window (a
    /// top-level window not yet mapped, as large as the picture) laid into
    /// it where it stands, above every other window. False, doing nothing,
    /// while it shows another picture.
    bool show(xcb_pixmap_t pixmap, QSize size, xcb_window_t window)
    {
        if (m_showing)
            return false;
        prepare(size);
        m_idle.stop();
        m_showing = true;
        // Painted while still outside the screen: the compositor never sees
        // the last picture.
        xcb_change_window_attributes(m_connection, m_window, XCB_CW_BACK_PIXMAP, &pixmap);
        xcb_clear_area(m_connection, 0, m_window, 0, 0, 0, 0);
        QPoint at;
        const Reply<xcb_get_geometry_reply_t> geometry(
            xcb_get_geometry_reply(m_connection, xcb_get_geometry(m_connection, window), nullptr));
        if (geometry)
            at = QPoint(geometry->x, geometry->y);
        // The window lets the picture show through it.
        const uint32_t none = XCB_BACK_PIXMAP_NONE;
        xcb_change_window_attributes(m_connection, window, XCB_CW_BACK_PIXMAP, &none);
        xcb_reparent_window(m_connection, window, m_window, 0, 0);
        moveTo(at);
        return true;
    }

    /// Takes it off the screen again, keeping it mapped.
    void park()
    {
        if (!m_showing)
            return;
        m_showing = false;
        moveTo(parkedAt());
        // The picture's pixmap goes back to its store; the window's memory
        // keeps what it shows.
        const uint32_t none = XCB_BACK_PIXMAP_NONE;
        xcb_change_window_attributes(m_connection, m_window, XCB_CW_BACK_PIXMAP, &none);
        xcb_flush(m_connection);
        m_idle.start();
    }

private:
    /// Wholly above and left of the screen.
    QPoint parkedAt() const { return {-m_size.width(), -m_size.height()}; }

    void moveTo(QPoint at)
    {
        const uint32_t values[] = {static_cast<uint32_t>(at.x()), static_cast<uint32_t>(at.y()),
                                   XCB_STACK_MODE_ABOVE};
        xcb_configure_window(
            m_connection, m_window,
            XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y | XCB_CONFIG_WINDOW_STACK_MODE, values);
        xcb_flush(m_connection);
    }

    xcb_atom_t typeAtom()
    {
        if (m_typeCookie) {
            const Reply<xcb_intern_atom_reply_t> type(
                xcb_intern_atom_reply(m_connection, *std::exchange(m_typeCookie, {}), nullptr));
            const Reply<xcb_intern_atom_reply_t> utility(
                xcb_intern_atom_reply(m_connection, *std::exchange(m_utilityCookie, {}), nullptr));
            if (type && utility) {
                m_type = type->atom;
                m_utility = utility->atom;
            }
        }
        return m_type;
    }

    void destroy()
    {
        if (m_window != XCB_NONE)
            xcb_destroy_window(m_connection, std::exchange(m_window, XCB_NONE));
        m_size = {};
    }

    xcb_connection_t *m_connection;
    RootFormat m_format;
    xcb_window_t m_window = XCB_NONE;
    QSize m_size;
    bool m_showing = false;
    QTimer m_idle;
    std::optional<xcb_intern_atom_cookie_t> m_typeCookie;
    std::optional<xcb_intern_atom_cookie_t> m_utilityCookie;
    xcb_atom_t m_type = XCB_NONE;
    xcb_atom_t m_utility = XCB_NONE;
};

/// Takes the stage off the screen as soon as the eyedropper window hides.
class ParkOnHide final : public QObject
{
public:
    explicit ParkOnHide(Stage &stage) : m_stage(stage) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Hide)
            m_stage.park();
        return QObject::eventFilter(watched, event);
    }

private:
    Stage &m_stage;
};

class XcbFrozenScreen final : public FrozenScreen
{
public:
    XcbFrozenScreen(xcb_connection_t *connection, const RootFormat &format,
                    std::weak_ptr<PixmapStore> store, xcb_pixmap_t pixmap, QSize size,
                    std::shared_ptr<Stage> stage)
        : m_connection(connection), m_format(format), m_store(std::move(store)), m_pixmap(pixmap),
          m_size(size), m_stage(std::move(stage))
    {
    }

    ~XcbFrozenScreen() override
    {
        if (m_parkOnHide)
            m_stage->park();
        if (m_window != XCB_NONE)
            xcb_destroy_window(m_connection, m_window);
        if (const std::shared_ptr<PixmapStore> store = m_store.lock())
            store->giveBack({m_pixmap, std::nullopt}, m_size);
        else
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
        if (m_window != XCB_NONE || m_parkOnHide)
            return;
        // NOTE: with the picture on the server the window need not wait for
        // the window manager: bypassing it, the server maps the window at
        // once, above every other window and over every monitor, where a
        // managed full-screen window appeared only once the window manager
        // had placed it (some 40 ms with openbox). The eyedropper takes the
        // keyboard itself. Set before the native window exists, which the
        // child window needs next.
        window->setWindowFlag(Qt::BypassWindowManagerHint);
        const auto parent = static_cast<xcb_window_t>(window->winId());
        if (m_stage && m_stage->show(m_pixmap, m_size, parent)) {
            m_parkOnHide = std::make_unique<ParkOnHide>(*m_stage);
            window->installEventFilter(m_parkOnHide.get());
            return;
        }
        // Where the picture does not reach (a rounded-up edge at a fractional
        // scale), the server paints the window black by itself too.
        const uint32_t black = 0;
        xcb_change_window_attributes(m_connection, parent, XCB_CW_BACK_PIXEL, &black);
        m_window = xcb_generate_id(m_connection);
        // In the order of the value bits: background pixmap, border pixel,
        // colour map (needed when the depth differs from the parent's).
        const uint32_t values[] = {m_pixmap, 0, m_format.colormap};
        xcb_create_window(m_connection, m_format.depth, m_window, parent, 0, 0,
                          static_cast<uint16_t>(m_size.width()),
                          static_cast<uint16_t>(m_size.height()), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                          m_format.visual,
                          XCB_CW_BACK_PIXMAP | XCB_CW_BORDER_PIXEL | XCB_CW_COLORMAP, values);
        xcb_map_window(m_connection, m_window);
        xcb_flush(m_connection);
    }

    bool showsWithoutPainting() const override { return true; }

private:
    xcb_connection_t *m_connection;
    RootFormat m_format;
    std::weak_ptr<PixmapStore> m_store;
    xcb_pixmap_t m_pixmap;
    QSize m_size;
    xcb_window_t m_window = XCB_NONE;
    std::shared_ptr<Stage> m_stage;
    std::unique_ptr<ParkOnHide> m_parkOnHide;
};

/// @brief The picture in @p loan once the server has carried out @p filled,
/// the request that put the pixels there; null, with the pixmap given back,
/// when either that or the pixmap's creation failed. One round trip.
std::unique_ptr<FrozenScreen> FinishPicture(xcb_connection_t *connection, const RootFormat &format,
                                            const std::shared_ptr<PixmapStore> &store,
                                            PixmapStore::Loan loan, xcb_void_cookie_t filled,
                                            QSize size, std::shared_ptr<Stage> stage = nullptr)
{
    // The server answers once the pixels are in.
    const Reply<xcb_generic_error_t> fillError(xcb_request_check(connection, filled));
    const Reply<xcb_generic_error_t> createError(
        loan.created ? xcb_request_check(connection, *loan.created) : nullptr);
    loan.created.reset();
    if (createError) {
        // No pixmap was made: nothing to give back.
        store->giveBack({}, {});
        return nullptr;
    }
    if (fillError) {
        store->giveBack(loan, size);
        return nullptr;
    }
    return std::make_unique<XcbFrozenScreen>(connection, format, store, loan.pixmap, size,
                                             std::move(stage));
}

class XcbScreenCapture final : public ScreenCapture
{
public:
    XcbScreenCapture(xcb_connection_t *connection, const RootFormat &format,
                     std::chrono::milliseconds keep)
        : m_connection(connection), m_format(format),
          m_store(std::make_shared<PixmapStore>(connection, format, keep))
    {
    }

    Result grab() override
    {
        const QRect desktop = DrawableDesktop();
        if (desktop.isEmpty())
            return {};
        PixmapStore::Loan loan = m_store->lend(desktop.size());
        const xcb_void_cookie_t copied = xcb_copy_area_checked(
            m_connection, m_format.root, loan.pixmap, m_store->gc(),
            static_cast<int16_t>(desktop.x()), static_cast<int16_t>(desktop.y()), 0, 0,
            static_cast<uint16_t>(desktop.width()), static_cast<uint16_t>(desktop.height()));
        return {FinishPicture(m_connection, m_format, m_store, std::move(loan), copied,
                              desktop.size())};
    }

    void prepare() override
    {
        const QRect desktop = DrawableDesktop();
        if (!desktop.isEmpty())
            m_store->prepare(desktop.size());
    }

private:
    /// The desktop in device pixels; empty when a pixmap cannot hold it.
    static QRect DrawableDesktop()
    {
        const QRect desktop = pickers::DeviceDesktop();
        if (desktop.width() > 0x7FFF || desktop.height() > 0x7FFF)
            return {};
        return desktop;
    }

    xcb_connection_t *m_connection;
    RootFormat m_format;
    std::shared_ptr<PixmapStore> m_store;
};

#ifdef VANDREL_HAVE_XCB_SHM
/// @brief The compositor's copies on Xwayland, put into the pixmap the X11
/// capture keeps, straight from the shared memory the compositor wrote: the
/// server copies them in one request, and no pixel passes through the socket.
class XcbSharedMemoryPictures final : public pickers::SharedMemoryPictures
{
public:
    XcbSharedMemoryPictures(xcb_connection_t *connection, const RootFormat &format,
                            std::chrono::milliseconds keep)
        : m_connection(connection), m_format(format),
          m_store(std::make_shared<PixmapStore>(connection, format, keep)),
          m_stage(std::make_shared<Stage>(connection, format, keep))
    {
    }

    uint32_t attach(int fd, size_t bytes) override
    {
        // xcb closes the descriptor it sends.
        const int sent = fcntl(fd, F_DUPFD_CLOEXEC, 0);
        if (sent < 0 || bytes == 0)
            return 0;
        const xcb_shm_seg_t segment = xcb_generate_id(m_connection);
        // NOTE: the answer is read when the memory is first used: the server
        // may be busy with a preparation sent just before.
        m_attaching.emplace(segment, xcb_shm_attach_fd_checked(m_connection, segment, sent, 1));
        xcb_flush(m_connection);
        return segment;
    }

    void detach(uint32_t segment) override
    {
        if (!attached(segment))
            return;
        xcb_shm_detach(m_connection, segment);
        xcb_flush(m_connection);
    }

    std::unique_ptr<FrozenScreen> picture(uint32_t segment, QSize size, uint32_t stride) override
    {
        if (size.isEmpty() || size.width() > 0x7FFF || size.height() > 0x7FFF || stride % 4 != 0 ||
            stride / 4 < static_cast<uint32_t>(size.width()) || stride / 4 > 0xFFFF ||
            !attached(segment))
            return nullptr;
        PixmapStore::Loan loan = m_store->lend(size);
        const auto width = static_cast<uint16_t>(size.width());
        const auto height = static_cast<uint16_t>(size.height());
        const xcb_void_cookie_t copied = xcb_shm_put_image_checked(
            m_connection, loan.pixmap, m_store->gc(), static_cast<uint16_t>(stride / 4), height, 0,
            0, width, height, 0, 0, m_format.depth, XCB_IMAGE_FORMAT_Z_PIXMAP, 0, segment, 0);
        return FinishPicture(m_connection, m_format, m_store, std::move(loan), copied, size,
                             m_stage);
    }

    void prepare(QSize size) override
    {
        if (!size.isEmpty() && size.width() <= 0x7FFF && size.height() <= 0x7FFF) {
            m_store->prepare(size);
            m_stage->prepare(size);
        }
    }

private:
    /// Whether the server took @p segment; waits for its answer if need be.
    bool attached(uint32_t segment)
    {
        const auto attaching = m_attaching.find(segment);
        if (attaching == m_attaching.end())
            return !m_refused.contains(segment);
        const Reply<xcb_generic_error_t> error(xcb_request_check(m_connection, attaching->second));
        m_attaching.erase(attaching);
        if (error)
            m_refused.insert(segment);
        return !error;
    }

    xcb_connection_t *m_connection;
    RootFormat m_format;
    std::shared_ptr<PixmapStore> m_store;
    std::shared_ptr<Stage> m_stage;
    /// Segments whose attachment is not yet checked, and those refused.
    std::map<uint32_t, xcb_void_cookie_t> m_attaching;
    std::set<uint32_t> m_refused;
};
#endif

/// Qt's connection to the X server, when the program runs on X11 and the root
/// window's pixels read back as they are (FindRootFormat).
struct QtServer
{
    xcb_connection_t *connection = nullptr;
    RootFormat format;
};

std::optional<QtServer> FindQtServer()
{
    const auto *x11 =
        qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t *connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return std::nullopt;
    const std::optional<RootFormat> format = FindRootFormat(connection);
    if (!format)
        return std::nullopt;
    return QtServer{connection, *format};
}

} // namespace

std::unique_ptr<ScreenCapture> pickers::CreateXcbScreenCapture(std::chrono::milliseconds keep)
{
    const std::optional<QtServer> server = FindQtServer();
    if (!server)
        return nullptr;
    return std::make_unique<XcbScreenCapture>(server->connection, server->format, keep);
}

#ifdef VANDREL_HAVE_XCB_SHM
std::unique_ptr<pickers::SharedMemoryPictures>
pickers::CreateXcbSharedMemoryPictures(std::chrono::milliseconds keep)
{
    const std::optional<QtServer> server = FindQtServer();
    if (!server)
        return nullptr;
    xcb_connection_t *connection = server->connection;
    // Memory handed over as a file descriptor: version 1.2.
    const Reply<xcb_shm_query_version_reply_t> version(
        xcb_shm_query_version_reply(connection, xcb_shm_query_version(connection), nullptr));
    if (!version || version->major_version < 1 ||
        (version->major_version == 1 && version->minor_version < 2))
        return nullptr;
    return std::make_unique<XcbSharedMemoryPictures>(connection, server->format, keep);
}
#endif
