// SPDX-License-Identifier: MIT
// The desktop portal's screenshot, asked of a fake portal on a private session
// bus: every form of answer, and the portal's picture fitted to the desktop.
#include "pickers/portalscreenshot.h"
#include "pickers/screencapture.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;
using pickers::PortalFailure;

namespace {

const QString kRequestInterface = u"org.freedesktop.portal.Request"_s;

/// A bus without service activation, so no real portal can start on it.
constexpr char kBusConfig[] =
    "<busconfig><type>session</type><listen>unix:tmpdir=/tmp</listen><auth>EXTERNAL</auth>"
    "<policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>"
    "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy>"
    "</busconfig>";

/// When the fake portal sends the request's Response signal.
enum class Answer {
    AfterReply,   // as portals do
    BeforeReply,  // the signal overtakes the method's reply
    OnChosenPath, // an old portal: on a path of its own, not the predicted one
    Never,
};

class FakeRequest : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Request")
public:
    bool closed = false;
public Q_SLOTS:
    Q_SCRIPTABLE void Close() { closed = true; }
};

class FakePortal : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Screenshot")
public:
    explicit FakePortal(QDBusConnection bus) : m_bus(std::move(bus)) {}

    Answer answer = Answer::AfterReply;
    uint code = 0;
    QVariantMap results;
    QVariantMap options;
    QString path;
    FakeRequest request;

public Q_SLOTS:
    Q_SCRIPTABLE QDBusObjectPath Screenshot(const QString &, const QVariantMap &asked)
    {
        options = asked;
        // The portal's rule: the caller's unique name without ':', dots as
        // underscores, then the caller's token.
        const QString caller = message().service().mid(1).replace(u'.', u'_');
        path = answer == Answer::OnChosenPath
                   ? u"/org/freedesktop/portal/desktop/request/own/7"_s
                   : "/org/freedesktop/portal/desktop/request/"_L1 + caller + u'/' +
                         asked.value(u"handle_token"_s).toString();
        m_bus.registerObject(path, &request, QDBusConnection::ExportScriptableSlots);
        if (answer == Answer::BeforeReply)
            respond();
        else if (answer == Answer::OnChosenPath)
            // Such a portal answers once the user has acted; the caller can
            // only listen on the path after the reply has come.
            QTimer::singleShot(500, this, &FakePortal::respond);
        else if (answer != Answer::Never)
            QTimer::singleShot(0, this, &FakePortal::respond);
        return QDBusObjectPath(path);
    }

private:
    void respond()
    {
        QDBusMessage signal = QDBusMessage::createSignal(path, kRequestInterface, u"Response"_s);
        signal << code << results;
        m_bus.send(signal);
    }

    QDBusConnection m_bus;
};

QImage smallPicture()
{
    QImage image(4, 3, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb(40 * x, 70 * y, 200));
    return image;
}

} // namespace

class TestPortalScreenshot : public QObject
{
    Q_OBJECT
private:
    QProcess m_daemon;
    QTemporaryDir m_dir;
    std::unique_ptr<FakePortal> m_portal;

    QDBusConnection portalBus() const { return QDBusConnection(u"fake-portal"_s); }
    QDBusConnection clientBus() const { return QDBusConnection(u"client"_s); }

private Q_SLOTS:
    void initTestCase()
    {
        const QString daemon = QStandardPaths::findExecutable(u"dbus-daemon"_s);
        QVERIFY2(!daemon.isEmpty(), "dbus-daemon is needed (scripts/setup.sh installs it)");
        QFile config(m_dir.filePath(u"bus.conf"_s));
        QVERIFY(config.open(QIODevice::WriteOnly) && config.write(kBusConfig) > 0);
        config.close();
        m_daemon.start(daemon, {u"--nofork"_s, u"--print-address=1"_s,
                                "--config-file="_L1 + config.fileName()});
        QTRY_VERIFY_WITH_TIMEOUT(m_daemon.canReadLine() || m_daemon.state() == QProcess::NotRunning,
                                 10000);
        const QString address = QString::fromUtf8(m_daemon.readLine()).trimmed();
        QVERIFY2(!address.isEmpty(), "the private bus did not start");
        QVERIFY(QDBusConnection::connectToBus(address, u"fake-portal"_s).isConnected());
        QVERIFY(QDBusConnection::connectToBus(address, u"client"_s).isConnected());
    }

    void cleanupTestCase()
    {
        QDBusConnection::disconnectFromBus(u"client"_s);
        QDBusConnection::disconnectFromBus(u"fake-portal"_s);
        m_daemon.kill();
        m_daemon.waitForFinished(5000);
    }

    void init()
    {
        m_portal = std::make_unique<FakePortal>(portalBus());
        QVERIFY(portalBus().registerObject(u"/org/freedesktop/portal/desktop"_s, m_portal.get(),
                                           QDBusConnection::ExportScriptableSlots));
        QVERIFY(portalBus().registerService(u"org.freedesktop.portal.Desktop"_s));
    }

    void cleanup()
    {
        portalBus().unregisterService(u"org.freedesktop.portal.Desktop"_s);
        portalBus().unregisterObject(u"/org/freedesktop/portal/desktop"_s,
                                     QDBusConnection::UnregisterTree);
        m_portal.reset();
    }

    void answers_data()
    {
        const QString picture = m_dir.filePath(u"shot.png"_s);
        QVERIFY(smallPicture().save(picture));
        const QString empty = m_dir.filePath(u"empty.png"_s);
        QFile(empty).open(QIODevice::WriteOnly);
        const QString text = m_dir.filePath(u"text.png"_s);
        QFile file(text);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("not a picture") > 0);
        file.close();
        const auto uri = [](const QString &path) { return QUrl::fromLocalFile(path).toString(); };

        QTest::addColumn<bool>("portalOnBus");
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<uint>("code");
        QTest::addColumn<QVariantMap>("results");
        QTest::addColumn<PortalFailure>("failure");
        const bool on = true;
        const QVariantMap good{{u"uri"_s, uri(picture)}};
        QTest::newRow("picture") << on << Answer::AfterReply << 0u << good << PortalFailure::None;
        QTest::newRow("answer before the reply")
            << on << Answer::BeforeReply << 0u << good << PortalFailure::None;
        QTest::newRow("answer on the portal's own path")
            << on << Answer::OnChosenPath << 0u << good << PortalFailure::None;
        QTest::newRow("cancelled")
            << on << Answer::AfterReply << 1u << QVariantMap{} << PortalFailure::Cancelled;
        QTest::newRow("other end")
            << on << Answer::AfterReply << 2u << QVariantMap{} << PortalFailure::Refused;
        QTest::newRow("no answer") << on << Answer::Never << 0u << good << PortalFailure::NoAnswer;
        QTest::newRow("no portal")
            << false << Answer::AfterReply << 0u << good << PortalFailure::NoPortal;
        const std::pair<const char *, QVariantMap> unreadable[] = {
            {"no uri", {}},
            {"missing file", {{u"uri"_s, uri(m_dir.filePath(u"gone.png"_s))}}},
            {"empty file", {{u"uri"_s, uri(empty)}}},
            {"not a picture", {{u"uri"_s, uri(text)}}},
            {"a folder", {{u"uri"_s, uri(m_dir.path())}}},
            {"not a local file", {{u"uri"_s, u"https://example.org/shot.png"_s}}},
        };
        for (const auto &[name, results] : unreadable)
            QTest::newRow(name) << on << Answer::AfterReply << 0u << results
                                << PortalFailure::Unreadable;
    }

    void answers()
    {
        QFETCH(bool, portalOnBus);
        QFETCH(Answer, answer);
        QFETCH(uint, code);
        QFETCH(QVariantMap, results);
        QFETCH(PortalFailure, failure);
        if (!portalOnBus)
            portalBus().unregisterService(u"org.freedesktop.portal.Desktop"_s);
        m_portal->answer = answer;
        m_portal->code = code;
        m_portal->results = results;

        // A short bound where no answer comes; a generous one elsewhere, so a
        // busy machine cannot turn an answer into a timeout.
        const std::chrono::milliseconds bound(answer == Answer::Never ? 300 : 20000);
        const pickers::PortalPicture got = pickers::PortalScreenshot(clientBus(), bound).take();
        // The eyedropper's capture: every failure is a refusal, never a picture.
        const ScreenCapture::Result shot = CreatePortalScreenCapture(clientBus(), bound)->grab();
        QCOMPARE(shot.refused, failure != PortalFailure::None);
        QCOMPARE(shot.picture != nullptr, failure == PortalFailure::None);

        QCOMPARE(got.failure, failure);
        QCOMPARE(got.image.isNull(), failure != PortalFailure::None);
        if (failure == PortalFailure::None) {
            QCOMPARE(got.image.convertToFormat(QImage::Format_RGB32), smallPicture());
            // The portal's file is the portal's: it is left in place.
            QVERIFY(QFile::exists(QUrl(results.value(u"uri"_s).toString()).toLocalFile()));
        }
        if (portalOnBus) {
            // Asked without any dialog.
            QCOMPARE(m_portal->options.value(u"interactive"_s), QVariant(false));
            QCOMPARE(m_portal->options.value(u"modal"_s), QVariant(false));
        }
        if (answer == Answer::Never)
            QTRY_VERIFY_WITH_TIMEOUT(m_portal->request.closed, 10000);
        else
            QVERIFY(!m_portal->request.closed);
    }

    void fitToDesktop_data()
    {
        QTest::addColumn<QSize>("desktop");
        QTest::addColumn<double>("portalScale");
        QTest::newRow("same scale") << QSize(64, 36) << 1.0;
        QTest::newRow("portal at 2") << QSize(64, 36) << 2.0;
        QTest::newRow("portal at 1.5") << QSize(64, 36) << 1.5;
        QTest::newRow("desktop at 2, portal at 1") << QSize(128, 72) << 0.5;
    }

    void fitToDesktop()
    {
        // A scene of cells, each two desktop pixels wide and high and of its
        // own colour, drawn at the portal's scale; fitted to the desktop,
        // every desktop pixel shows the colour of its own cell.
        QFETCH(QSize, desktop);
        QFETCH(double, portalScale);
        const auto cell = [](int x, int y) { return qRgb(x, y, (x * 7 + y * 13) & 0xFF); };
        const double cellInPortal = 2 * portalScale;
        const QSize size(qRound(desktop.width() * portalScale),
                         qRound(desktop.height() * portalScale));
        QImage portal(size, QImage::Format_ARGB32);
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x)
                portal.setPixel(
                    x, y,
                    cell(static_cast<int>(x / cellInPortal), static_cast<int>(y / cellInPortal)));

        const QImage fitted = pickers::FitPortalPicture(portal, desktop);
        QCOMPARE(fitted.size(), desktop);
        int wrong = 0;
        for (int y = 0; y < desktop.height(); ++y)
            for (int x = 0; x < desktop.width(); ++x)
                wrong += fitted.pixel(x, y) != cell(x / 2, y / 2);
        QCOMPARE(wrong, 0);
    }
};

QTEST_GUILESS_MAIN(TestPortalScreenshot)
#include "test_portalscreenshot.moc"
