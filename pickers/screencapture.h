// SPDX-License-Identifier: MIT
#pragma once

#include "common/desktopenvironment.h"
#include "pickers/portalscreenshot.h"

#include <QImage>
#include <QRect>
#include <QSize>
#include <memory>

class QWidget;

/// @brief A frozen picture of the whole desktop, every screen included, held
/// wherever its backend keeps it: in the program's memory, or on the display
/// server so that its pixels never travel.
///
/// Its top-left pixel is the virtual desktop's top-left corner; everything is
/// in device pixels.
class FrozenScreen
{
public:
    virtual ~FrozenScreen() = default;

    /// The picture's size in device pixels.
    virtual QSize size() const = 0;

    /// @brief The captured pixels of @p area (device pixels), as an RGB32
    /// image of the area's size. Where the picture has no pixel (outside it,
    /// or where reading failed) the image is black.
    virtual QImage pixels(const QRect &area) const = 0;

    /// @brief Shows the picture in @p window, pixel for pixel from the
    /// window's top-left corner, whatever its device pixel ratio; call once,
    /// before the window is shown. The picture covers the part of the window
    /// it reaches; the window itself paints the rest, unless
    /// showsWithoutPainting(). A backend whose picture needs no painting may
    /// let the window bypass the window manager (Qt::BypassWindowManagerHint),
    /// so that it appears at once.
    ///
    /// NOTE: to show a widget above the picture, make it a child of @p window
    /// with Qt::WA_NativeWindow set, after this call, and raise() it: a
    /// backend may put the picture into a native child window of its own,
    /// which covers whatever the window itself paints.
    virtual void showIn(QWidget *window) = 0;

    /// @brief Whether the display server shows the picture, and the rest of
    /// the window, by itself once showIn() has run. The window then need
    /// never paint: with its updates disabled it holds no picture of its own
    /// size, and what shows above the picture is best a window of its own.
    virtual bool showsWithoutPainting() const { return false; }
};

/// @brief The plain backend's picture: a QImage in the program's memory,
/// painted by a child widget. Also the black picture shown when a capture
/// fails (a null image).
class FrozenImage final : public FrozenScreen
{
public:
    /// @p image in device pixels; its device pixel ratio is ignored.
    explicit FrozenImage(QImage image);

    QSize size() const override { return m_image.size(); }
    QImage pixels(const QRect &area) const override;
    void showIn(QWidget *window) override;

private:
    QImage m_image;
};

/// @brief Reads the whole desktop picture, every screen included.
///
/// The eyedropper window only sees this interface: the backend for X11 keeps
/// the picture on the display server, another one reads it through Qt, and a
/// desktop portal may serve where the screen cannot be read directly.
class ScreenCapture
{
public:
    /// What a capture gave.
    struct Result
    {
        /// The frozen picture; null when the screen could not be read, and
        /// the eyedropper then shows a black picture.
        std::unique_ptr<FrozenScreen> picture;
        /// Nothing of the screen could be seen (the user or the system
        /// declined to hand it over, or the desktop portal failed): the
        /// eyedropper does not open at all.
        bool refused = false;
        /// The user gave up waiting (Esc): the eyedropper does not open, and
        /// nothing needs saying.
        bool givenUp = false;
    };

    /// What the eyedropper command can wait for before it captures, once it
    /// has hidden the main window.
    enum class HiddenWindowWait {
        /// The window's place on the screen showing something else: the
        /// program can read the screen cheaply (X11).
        ScreenChange,
        /// The window unmapped, no more: where no program reads the screen,
        /// or a look at it would cost a whole capture (Wayland).
        UnmapOnly,
    };

    virtual ~ScreenCapture() = default;
    /// Captures the desktop as it is on the screen now.
    virtual Result grab() = 0;
    virtual HiddenWindowWait hiddenWindowWait() const { return HiddenWindowWait::ScreenChange; }

    /// @brief A capture is likely soon: a backend may get ready now what
    /// grab() would otherwise prepare while the user waits. Returns at once;
    /// cheap when called again. The plain backends have nothing to prepare.
    virtual void prepare() {}
};

/// @brief The backend for the desktop the program runs on, chosen here alone.
///
/// In a Wayland session: the compositor's own copy of its outputs where it
/// offers one (unless VANDREL_NO_SCREENCOPY is set to anything but 0), with
/// the desktop portal for the captures it fails; else the portal alone, which
/// is woken in the background. Elsewhere the picture kept on the X server, or
/// else the screens read through Qt.
std::unique_ptr<ScreenCapture>
CreateScreenCapture(const DesktopEnvironment &desktop = DesktopEnvironment::current());

/// @brief The backend for Wayland sessions whose compositor copies nothing for
/// the program: the desktop portal's screenshot, asked on @p bus and waited
/// for at most @p bound. Every failure is a refusal: nothing of the screen
/// could be seen.
///
/// While it waits, the busy cursor shows over the program's windows, no input
/// reaches them, and Esc gives up.
std::unique_ptr<ScreenCapture> CreatePortalScreenCapture(
    QDBusConnection bus = QDBusConnection::sessionBus(),
    std::chrono::milliseconds bound = pickers::PortalScreenshot::kDefaultBound);
