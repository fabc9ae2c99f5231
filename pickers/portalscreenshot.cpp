// SPDX-License-Identifier: MIT
#include "pickers/portalscreenshot.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QEventLoop>
#include <QFileInfo>
#include <QImageReader>
#include <QTimer>
#include <QUrl>
#include <QVariantMap>

#include <optional>

using namespace Qt::StringLiterals;

namespace {

const QString kService = u"org.freedesktop.portal.Desktop"_s;
const QString kPortalPath = u"/org/freedesktop/portal/desktop"_s;
const QString kScreenshotInterface = u"org.freedesktop.portal.Screenshot"_s;
const QString kRequestInterface = u"org.freedesktop.portal.Request"_s;
const QString kResponse = u"Response"_s;

/// The answer to one request: the Response signal on the request's path.
class ResponseCatcher : public QObject
{
    Q_OBJECT
public:
    explicit ResponseCatcher(QDBusConnection bus) : m_bus(std::move(bus)) {}
    ~ResponseCatcher() override { unwatch(); }

    void watch(const QString &path)
    {
        unwatch();
        // NOTE: QDBusConnection connects a bus signal only to a slot named
        // in the string form (SLOT()); it has no pointer-to-member overload.
        // The slot's signature must match the signal's arguments, (ua{sv}).
        if (m_bus.connect(kService, path, kRequestInterface, kResponse, this,
                          SLOT(onResponse(uint, QVariantMap))))
            m_path = path;
    }

    bool answered = false;
    uint code = 0;
    QVariantMap results;

Q_SIGNALS:
    void responded();

private Q_SLOTS:
    void onResponse(uint response, const QVariantMap &values)
    {
        if (answered)
            return;
        answered = true;
        code = response;
        results = values;
        Q_EMIT responded();
    }

private:
    void unwatch()
    {
        if (m_path.isEmpty())
            return;
        m_bus.disconnect(kService, m_path, kRequestInterface, kResponse, this,
                         SLOT(onResponse(uint, QVariantMap)));
        m_path.clear();
    }

    QDBusConnection m_bus;
    QString m_path;
};

pickers::PortalFailure failureOfCallError(const QDBusError &error)
{
    if (error.type() == QDBusError::NoReply || error.type() == QDBusError::Timeout)
        return pickers::PortalFailure::NoAnswer;
    // The bus's own errors (no such service, object, interface or method)
    // mean there is no screenshot portal; anything else the portal said.
    if (error.name().startsWith("org.freedesktop.DBus.Error."_L1))
        return pickers::PortalFailure::NoPortal;
    return pickers::PortalFailure::Refused;
}

} // namespace

namespace pickers {

PortalScreenshot::PortalScreenshot(QDBusConnection bus, std::chrono::milliseconds bound)
    : m_bus(std::move(bus)), m_bound(bound)
{
}

QString PortalScreenshot::requestPath(const QString &uniqueName, const QString &token)
{
    QString sender = uniqueName.startsWith(u':') ? uniqueName.mid(1) : uniqueName;
    sender.replace(u'.', u'_');
    return kPortalPath + "/request/"_L1 + sender + u'/' + token;
}

PortalPicture PortalScreenshot::take()
{
    if (!m_bus.isConnected())
        return {{}, PortalFailure::NoPortal};
    // One token per request of this program; the portal builds the request's
    // path from it, so the answer can be listened for before asking.
    static int serial = 0;
    const QString token = u"vandrel_%1"_s.arg(++serial);
    QString handle = requestPath(m_bus.baseService(), token);
    ResponseCatcher catcher(m_bus);
    catcher.watch(handle);

    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPortalPath, kScreenshotInterface,
                                                       u"Screenshot"_s);
    const QVariantMap options{
        {u"handle_token"_s, token}, {u"modal"_s, false}, {u"interactive"_s, false}};
    call << QString() << options;
    const int boundMs = static_cast<int>(m_bound.count());
    QDBusPendingCallWatcher watcher(m_bus.asyncCall(call, boundMs));

    QEventLoop loop;
    QTimer limit;
    limit.setSingleShot(true);
    std::optional<PortalFailure> callFailure;
    QObject::connect(&watcher, &QDBusPendingCallWatcher::finished, &loop, [&] {
        if (watcher.isError()) {
            callFailure = failureOfCallError(watcher.error());
            loop.quit();
            return;
        }
        // NOTE: portals before version 0.9 chose the path themselves; the
        // answer then comes on the path they return.
        const QString returned = QDBusPendingReply<QDBusObjectPath>(watcher).value().path();
        if (!catcher.answered && !returned.isEmpty() && returned != handle) {
            handle = returned;
            catcher.watch(handle);
        }
    });
    QObject::connect(&catcher, &ResponseCatcher::responded, &loop, &QEventLoop::quit);
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    limit.start(m_bound);
    m_givenUp = false;
    m_wait = &loop;
    loop.exec();
    m_wait = nullptr;

    if (catcher.answered) {
        if (catcher.code == 0)
            return ReadPortalPicture(catcher.results.value(u"uri"_s).toString());
        return {{}, catcher.code == 1 ? PortalFailure::Cancelled : PortalFailure::Refused};
    }
    if (callFailure && *callFailure != PortalFailure::NoAnswer)
        return {{}, *callFailure};
    // Nobody will wait for this request any more: ask the portal to drop it.
    m_bus.send(QDBusMessage::createMethodCall(kService, handle, kRequestInterface, u"Close"_s));
    return {{}, m_givenUp ? PortalFailure::GivenUp : PortalFailure::NoAnswer};
}

void PortalScreenshot::giveUp()
{
    if (!m_wait)
        return;
    m_givenUp = true;
    m_wait->quit();
}

void WakePortal(const QDBusConnection &bus)
{
    QDBusMessage question = QDBusMessage::createMethodCall(
        kService, kPortalPath, u"org.freedesktop.DBus.Properties"_s, u"Get"_s);
    question << kScreenshotInterface << u"version"_s;
    // The answer is of no use; the call is sent and forgotten.
    QDBusConnection(bus).send(question);
}

PortalPicture ReadPortalPicture(const QString &uri)
{
    const QUrl url(uri, QUrl::StrictMode);
    if (!url.isValid() || !url.isLocalFile())
        return {{}, PortalFailure::Unreadable};
    // NOTE: a regular file only: reading a pipe or a device could block the
    // program for good.
    const QString path = url.toLocalFile();
    if (!QFileInfo(path).isFile())
        return {{}, PortalFailure::Unreadable};
    QImageReader reader(path);
    QImage image = reader.read();
    if (image.isNull())
        return {{}, PortalFailure::Unreadable};
    return {std::move(image), PortalFailure::None};
}

QImage FitPortalPicture(const QImage &picture, QSize desktop)
{
    if (picture.isNull() || desktop.isEmpty())
        return picture;
    QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    if (rgb.size() == desktop)
        return rgb;
    // Nearest pixel, never a blend: every pixel shown is one the screen had.
    return rgb.scaled(desktop, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

} // namespace pickers

#include "portalscreenshot.moc"
