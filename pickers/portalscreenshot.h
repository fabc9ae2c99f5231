// SPDX-License-Identifier: MIT
#pragma once

#include <QDBusConnection>
#include <QImage>
#include <QString>
#include <chrono>

class QEventLoop;

/// @brief A picture of the whole desktop from the desktop portal
/// (org.freedesktop.portal.Screenshot), the one way a program can read what
/// other programs show in a Wayland session.
namespace pickers {

/// Why the portal gave no picture.
enum class PortalFailure {
    None,       ///< a picture came
    NoPortal,   ///< no portal on the bus, or it has no screenshot service
    Cancelled,  ///< the user or the portal cancelled (response 1)
    Refused,    ///< the portal ended the request otherwise (response 2 and others)
    NoAnswer,   ///< no answer within the bound; the request was closed
    Unreadable, ///< the answer named no readable picture
    GivenUp,    ///< the program gave up waiting (giveUp()); the request was closed
};

struct PortalPicture
{
    QImage image; ///< null unless failure is None
    PortalFailure failure = PortalFailure::None;
};

/// @brief Asks the portal for a screenshot without any dialog and waits,
/// bounded, for its answer.
///
/// The wait runs the event loop, user input included: the caller keeps what
/// must not happen meanwhile away (the eyedropper's capture lets no input
/// reach the program's windows but Esc, which calls giveUp()). The picture
/// file the portal names is read at once and left where it is: the portal
/// made it, and on some desktops it is the user's own screenshot folder.
class PortalScreenshot
{
public:
    /// @brief How long take() waits for the portal by default.
    ///
    /// NOTE: a first call may wait for the user to answer the desktop's
    /// question whether the program may see the screen, and a portal that
    /// encodes a PNG file of a 3840 x 2160 desktop with real content takes
    /// seconds.
    static constexpr std::chrono::milliseconds kDefaultBound{60000};

    explicit PortalScreenshot(QDBusConnection bus = QDBusConnection::sessionBus(),
                              std::chrono::milliseconds bound = kDefaultBound);

    /// One request to the portal, answered within the bound.
    PortalPicture take();

    /// Ends the wait of a take() that runs, which then gives
    /// PortalFailure::GivenUp; does nothing otherwise.
    void giveUp();

    /// The object path of the request the portal makes for @p token, asked
    /// by the bus connection whose unique name is @p uniqueName.
    static QString requestPath(const QString &uniqueName, const QString &token);

private:
    QDBusConnection m_bus;
    std::chrono::milliseconds m_bound;
    QEventLoop *m_wait = nullptr;
    bool m_givenUp = false;
};

/// @brief Asks the portal on @p bus, in the background, for its screenshot
/// service's version and leaves the answer: the portal starts on its first
/// call, which now and then takes half a minute; this pays for that start
/// before the first screenshot is asked for.
void WakePortal(const QDBusConnection &bus);

/// Reads the picture a portal answer names by its URI: a local file only.
PortalPicture ReadPortalPicture(const QString &uri);

/// @brief The portal's picture, which covers the compositor's layout of all
/// outputs at the compositor's scale, brought to the program's desktop of
/// @p desktop device pixels, so that each pixel lies where the program's
/// windows see it. Scaled by taking the nearest pixel, never a blend.
QImage FitPortalPicture(const QImage &picture, QSize desktop);

} // namespace pickers
