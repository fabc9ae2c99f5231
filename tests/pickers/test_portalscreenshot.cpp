// SPDX-License-Identifier: MIT
// The desktop portal's screenshot, asked of a fake portal on a private session
// bus: each form of answer and what comes of it, and the portal's picture
// fitted to the desktop.
#include "pickers/portalscreenshot.h"
#include "pickers/screencapture.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVirtualObject>
#include <QFile>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;
using pickers::PortalFailure;

namespace {

const QString kService = u"org.freedesktop.portal.Desktop"_s;

/// A bus without service activation, so no real portal can start on it.
constexpr char kBusConfig[] =
    "<busconfig><type>session</type><listen>unix:tmpdir=/tmp</listen><auth>EXTERNAL</auth>"
    "<policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>"
    "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>";

QDBusConnection portalBus()
{
    return QDBusConnection(u"fake-portal"_s);
}

/// How the fake portal answers: the request's Response signal...
enum class Answer {
    AfterReply,   // after the method's reply, as portals do
    BeforeReply,  // overtaking the reply
    OnChosenPath, // on a path of the portal's own choosing (old portals), later
    Never,
    NoPortal, // no portal on the bus at all
};

/// The portal's screenshot method and the requests it makes, all under the
/// portal's object path.
class FakePortal : public QDBusVirtualObject
{
public:
    Answer answer = Answer::AfterReply;
    uint code = 0;
    QVariantMap results;
    QVariantMap options;
    int closes = 0; ///< requests closed by the caller
    QTimer resend;  ///< the answer on the portal's own path, until the test stops it

    QString introspect(const QString &) const override { return {}; }
    bool handleMessage(const QDBusMessage &call, const QDBusConnection &bus) override
    {
        if (call.member() == u"Close"_s) {
            ++closes;
            return bus.send(call.createReply());
        }
        options = qdbus_cast<QVariantMap>(call.arguments().value(1));
        // The portal's rule: the caller's unique name without ':', dots as
        // underscores, then the caller's token.
        const QString path = answer == Answer::OnChosenPath
                                 ? u"/org/freedesktop/portal/desktop/request/own/7"_s
                                 : "/org/freedesktop/portal/desktop/request/"_L1 +
                                       call.service().mid(1).replace(u'.', u'_') + u'/' +
                                       options.value(u"handle_token"_s).toString();
        const QDBusMessage signal =
            QDBusMessage::createSignal(path, u"org.freedesktop.portal.Request"_s, u"Response"_s)
            << code << results;
        if (answer == Answer::BeforeReply)
            bus.send(signal);
        bus.send(call.createReply(QVariant::fromValue(QDBusObjectPath(path))));
        if (answer == Answer::AfterReply)
            bus.send(signal);
        // Once the user has acted. The caller can listen on a path of the
        // portal's choosing only once it has the reply, and when it does is
        // not the portal's to know: the answer comes again until it is heard.
        if (answer == Answer::OnChosenPath) {
            resend.disconnect();
            QObject::connect(&resend, &QTimer::timeout, &resend,
                             [bus, signal] { bus.send(signal); });
            resend.start(50);
        }
        return true;
    }
};

/// Counts the clicks that reach it.
class InputTarget : public QObject
{
public:
    int presses = 0;

protected:
    bool event(QEvent *event) override
    {
        presses += event->type() == QEvent::MouseButtonPress ? 1 : 0;
        return QObject::event(event);
    }
};

QImage smallPicture()
{
    QImage image(4, 3, QImage::Format_RGB32);
    for (int i = 0; i < 12; ++i)
        image.setPixel(i % 4, i / 4, qRgb(40 * (i % 4), 70 * (i / 4), 200));
    return image;
}

} // namespace

class TestPortalScreenshot : public QObject
{
    Q_OBJECT
private:
    QProcess m_daemon;
    QTemporaryDir m_dir;
    FakePortal m_portal;

private Q_SLOTS:
    void initTestCase()
    {
        QFile config(m_dir.filePath(u"bus.conf"_s));
        QVERIFY(config.open(QIODevice::WriteOnly) && config.write(kBusConfig) > 0);
        config.close();
        m_daemon.start(u"dbus-daemon"_s, {u"--nofork"_s, u"--print-address=1"_s,
                                          "--config-file="_L1 + config.fileName()});
        QTRY_VERIFY_WITH_TIMEOUT(m_daemon.canReadLine() || m_daemon.state() == QProcess::NotRunning,
                                 10000);
        const QString address = QString::fromUtf8(m_daemon.readLine()).trimmed();
        QVERIFY2(!address.isEmpty(), "no private bus (scripts/setup.sh installs dbus-daemon)");
        QVERIFY(QDBusConnection::connectToBus(address, u"fake-portal"_s).isConnected());
        QVERIFY(QDBusConnection::connectToBus(address, u"client"_s).isConnected());
        QVERIFY(portalBus().registerVirtualObject(u"/org/freedesktop/portal/desktop"_s, &m_portal,
                                                  QDBusConnection::SubPath));
        QVERIFY(portalBus().registerService(kService));
    }

    void cleanupTestCase()
    {
        m_daemon.kill();
        m_daemon.waitForFinished(5000);
    }

    void answers_data()
    {
        QVERIFY(smallPicture().save(m_dir.filePath(u"shot.png"_s)));
        const auto uri = [this](const QString &name) {
            return QVariantMap{{u"uri"_s, QUrl::fromLocalFile(m_dir.filePath(name)).toString()}};
        };

        QTest::addColumn<Answer>("answer");
        QTest::addColumn<uint>("code");
        QTest::addColumn<QVariantMap>("results");
        QTest::addColumn<PortalFailure>("failure");
        const QVariantMap good = uri(u"shot.png"_s);
        QTest::newRow("picture") << Answer::AfterReply << 0u << good << PortalFailure::None;
        QTest::newRow("answer before the reply")
            << Answer::BeforeReply << 0u << good << PortalFailure::None;
        QTest::newRow("answer on the portal's own path")
            << Answer::OnChosenPath << 0u << good << PortalFailure::None;
        // The response codes: 0 a picture, 1 the user cancelled, 2 (or any
        // other) the portal ended it; the eyedropper refuses either way.
        QTest::newRow("cancelled") << Answer::AfterReply << 1u << good << PortalFailure::Cancelled;
        QTest::newRow("other end") << Answer::AfterReply << 2u << good << PortalFailure::Refused;
        QTest::newRow("no answer") << Answer::Never << 0u << good << PortalFailure::NoAnswer;
        QTest::newRow("no portal") << Answer::NoPortal << 0u << good << PortalFailure::NoPortal;
        const std::pair<const char *, QVariantMap> unreadable[] = {
            {"missing file", uri(u"gone.png"_s)},
            {"not a picture", uri(u"bus.conf"_s)},
            {"not a local file", {{u"uri"_s, u"https://example.org/shot.png"_s}}}, // or none
        };
        for (const auto &[name, results] : unreadable)
            QTest::newRow(name) << Answer::AfterReply << 0u << results << PortalFailure::Unreadable;
    }

    void answers()
    {
        QFETCH(Answer, answer);
        QFETCH(uint, code);
        QFETCH(QVariantMap, results);
        QFETCH(PortalFailure, failure);
        m_portal.answer = answer;
        m_portal.code = code;
        m_portal.results = results;
        m_portal.options.clear();
        m_portal.closes = 0;
        if (answer == Answer::NoPortal)
            portalBus().unregisterService(kService);

        // A short bound where no answer comes; a generous one elsewhere, so a
        // busy machine cannot turn an answer into a timeout.
        const std::chrono::milliseconds bound(answer == Answer::Never ? 300 : 20000);
        const QDBusConnection client(u"client"_s);
        const pickers::PortalPicture got = pickers::PortalScreenshot(client, bound).take();
        // The eyedropper's capture: every failure a refusal, never a picture.
        const ScreenCapture::Result shot = CreatePortalScreenCapture(client, bound)->grab();
        m_portal.resend.stop();
        portalBus().registerService(kService);
        QCOMPARE(got.failure, failure);
        QCOMPARE(shot.picture   ? u"picture"_s
                 : shot.refused ? u"refused"_s
                                : u"black"_s,
                 failure == PortalFailure::None ? u"picture"_s : u"refused"_s);
        QCOMPARE(got.image.convertToFormat(QImage::Format_RGB32),
                 failure == PortalFailure::None ? smallPicture() : QImage());
        // Asked without any dialog; the portal's file is the portal's, left
        // in place; each request nobody waits for any more is closed.
        QCOMPARE(m_portal.options.value(u"interactive"_s).toString() +
                     m_portal.options.value(u"modal"_s).toString(),
                 answer == Answer::NoPortal ? QString() : u"falsefalse"_s);
        QVERIFY(QFile::exists(m_dir.filePath(u"shot.png"_s)));
        QTRY_COMPARE_WITH_TIMEOUT(m_portal.closes, answer == Answer::Never ? 2 : 0, 10000);
    }

    void givingUp()
    {
        // While the portal is waited for: the busy cursor, no click reaches
        // the program, and Esc gives up; the request is then closed.
        m_portal.answer = Answer::Never;
        m_portal.closes = 0;
        InputTarget target;
        const auto click = [&target] {
            QMouseEvent press(QEvent::MouseButtonPress, QPointF(), QPointF(), Qt::LeftButton,
                              Qt::LeftButton, {});
            QCoreApplication::sendEvent(&target, &press);
        };
        const QCursor *cursor = nullptr;
        QTimer::singleShot(0, &target, [&] {
            cursor = QGuiApplication::overrideCursor();
            click();
            QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, {});
            QCoreApplication::sendEvent(&target, &escape);
        });
        const ScreenCapture::Result shot =
            CreatePortalScreenCapture(QDBusConnection(u"client"_s))->grab();
        QVERIFY(cursor && cursor->shape() == Qt::BusyCursor);
        QCOMPARE(target.presses, 0);
        click();
        QCOMPARE(target.presses, 1);
        QVERIFY(!QGuiApplication::overrideCursor());
        QVERIFY(!shot.picture && shot.givenUp && !shot.refused);
        QTRY_COMPARE_WITH_TIMEOUT(m_portal.closes, 1, 10000);
    }

    void fitToDesktop()
    {
        // A scene of cells, each two desktop pixels wide and high and of its
        // own colour, drawn at the portal's scale; fitted to the desktop,
        // every desktop pixel shows the colour of its own cell.
        const auto cell = [](int x, int y) { return qRgb(x, y, (x * 7 + y * 13) & 0xFF); };
        QImage expected(64, 36, QImage::Format_RGB32);
        for (int y = 0; y < expected.height(); ++y)
            for (int x = 0; x < expected.width(); ++x)
                expected.setPixel(x, y, cell(x / 2, y / 2));
        for (const double portalScale : {1.0, 1.5, 0.5}) {
            QImage portal(expected.size() * portalScale, QImage::Format_ARGB32);
            for (int y = 0; y < portal.height(); ++y)
                for (int x = 0; x < portal.width(); ++x)
                    portal.setPixel(x, y, cell(int(x / portalScale / 2), int(y / portalScale / 2)));
            QVERIFY2(pickers::FitPortalPicture(portal, expected.size()) == expected,
                     qPrintable(u"portal at %1"_s.arg(portalScale)));
        }
    }
};

QTEST_MAIN(TestPortalScreenshot)
#include "test_portalscreenshot.moc"
