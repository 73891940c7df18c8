#include "tests/app/AppTestSupport.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QVariantMap>

#include <gtest/gtest.h>

// After gtest and Qt: the X headers' macros (None, Bool, Status) clash with them.
#include "../capture/XTestScreen.h"

#include <vector>

namespace {

constexpr const char* kService = "org.freedesktop.Notifications";
constexpr const char* kPath = "/org/freedesktop/Notifications";

// A notification service of our own on the test's session bus: it records what it is asked to show and
// can say that the user activated a notification, as a desktop's notification daemon does.
class NotificationService : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    struct Shown {
        uint id;
        QString summary;
        QString body;
        QStringList actions;
    };

    bool Register()
    {
        QDBusConnection bus = QDBusConnection::sessionBus();
        return bus.registerObject(kPath, this, QDBusConnection::ExportAllSlots) && bus.registerService(kService);
    }
    ~NotificationService() override
    {
        QDBusConnection::sessionBus().unregisterService(kService);
        QDBusConnection::sessionBus().unregisterObject(kPath);
    }

    void Activate(uint id)
    {
        QDBusMessage signal = QDBusMessage::createSignal(kPath, kService, "ActionInvoked");
        signal << id << QString("default");
        QDBusConnection::sessionBus().send(signal);
    }

    std::vector<Shown> shown;

public slots:
    uint Notify(const QString&, uint, const QString&, const QString& summary, const QString& body,
        const QStringList& actions, const QVariantMap&, int)
    {
        const uint id = uint(shown.size()) + 100;
        shown.push_back({ id, summary, body, actions });
        return id;
    }
    QStringList GetCapabilities() { return { "actions", "body" }; }
    void CloseNotification(uint) { }
};

// Starts the real program on the test's X server and session bus, asks it over the bus for full-screen
// captures (auto-saved, so that the end of each is seen), and watches the notifications it sends.
class CaptureNotificationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (const std::string why = MissingKeyboardTestNeeds(); !why.empty())
            GTEST_SKIP() << why;
        openbox_ = QStandardPaths::findExecutable("openbox");
        if (openbox_.isEmpty())
            GTEST_SKIP() << "openbox is not installed";
        EnsureApp();
        if (!QDBusConnection::sessionBus().isConnected())
            GTEST_SKIP() << "no session bus";
        display_ = XOpenDisplay(nullptr);
        ASSERT_NE(display_, nullptr);
        screenWidth_ = DisplayWidth(display_, DefaultScreen(display_));
        screenHeight_ = DisplayHeight(display_, DefaultScreen(display_));
        executable_ = CopyProgramInto(programDir_.path());
        ASSERT_FALSE(executable_.isEmpty());
        // Without a window manager a minimised window stays on show; a window mapped before it has taken
        // the screen may be left in a state of its own.
        wm_ = std::make_unique<WindowManager>(openbox_, display_);
        ASSERT_TRUE(WaitFor([this] { return WindowManagerReady(); }, 10000));
    }

    void TearDown() override
    {
        if (lumora_) {
            lumora_->kill();
            lumora_->waitForFinished(5000);
            delete lumora_;
        }
        wm_.reset();
        if (display_)
            XCloseDisplay(display_);
    }

    bool WindowManagerReady() const
    {
        Atom type = 0;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        const bool ready
            = XGetWindowProperty(display_, DefaultRootWindow(display_), XInternAtom(display_, "_NET_SUPPORTED", False),
                  0, 1, False, AnyPropertyType, &type, &format, &count, &after, &data)
                == Success
            && count > 0;
        if (data)
            XFree(data);
        return ready;
    }

    // restore: the main window comes back after a capture (otherwise it is minimised).
    void StartLumora(bool restore, const char* notifySetting)
    {
        QFile config(programDir_.path() + "/config.ini");
        ASSERT_TRUE(config.open(QIODevice::WriteOnly));
        config.write(QString("[CaptureSet]\nHideWndBeforCap=1\nRestoreWndAftCap=%1\nCapAppViewMode=0\n"
                             "CopyToClipboard=1\nCapDelayTime=800\n%2\n"
                             "[AudoSaveSet]\nIsAudoSave=1\nImageSavePath=%3\nImageSaveTitle=Snap\nImageFormat=2\n")
                         .arg(restore ? 1 : 0)
                         .arg(notifySetting)
                         .arg(shots_.path())
                         .toUtf8());
        config.close();
        // The previous run's name must be gone, or the next request would reach no one.
        ASSERT_TRUE(WaitFor([] {
            return !QDBusConnection::sessionBus().interface()->isServiceRegistered("org.lumora.Lumora").value();
        }));
        lumora_ = new QProcess;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "xcb");
        env.insert("XDG_CONFIG_HOME", configHome_.path());
        lumora_->setProcessEnvironment(env);
        lumora_->start(executable_, {});
        ASSERT_TRUE(WaitFor(
            [] { return QDBusConnection::sessionBus().interface()->isServiceRegistered("org.lumora.Lumora").value(); },
            30000))
            << lumora_->readAllStandardError().toStdString();
        ASSERT_TRUE(WaitFor([&] { return !ShownWindow().isEmpty(); }, 30000));
    }

    // Asks for a full-screen capture and waits for its auto-saved file; false when it never came.
    bool Capture(int number, int limitMs = 15000)
    {
        QDBusMessage call = QDBusMessage::createMethodCall(
            "org.lumora.Lumora", "/org/lumora/Lumora", "org.lumora.Lumora", "CaptureByType");
        call << 0;
        QDBusConnection::sessionBus().call(call);
        const QString file = shots_.path() + QString("/Snap%1.png").arg(number);
        return WaitFor([&] { return QFile::exists(file); }, limitMs);
    }

    QString ShownWindow() const { return ShownMainWindow(lumora_->processId()); }

    QString Size() const { return QString("%1 x %2").arg(screenWidth_).arg(screenHeight_); }

    QString openbox_;
    QTemporaryDir programDir_;
    QTemporaryDir configHome_;
    QTemporaryDir shots_;
    QString executable_;
    QProcess* lumora_ = nullptr;
    Display* display_ = nullptr;
    std::unique_ptr<WindowManager> wm_;
    int screenWidth_ = 0;
    int screenHeight_ = 0;
};

TEST_F(CaptureNotificationTest, OneNotificationOnlyWhenTheWindowStaysAwayAndTheSettingIsOn)
{
    const struct {
        const char* name;
        bool restore;
        const char* setting;
        bool expected;
    } cases[] = {
        { "minimised", false, "", true },
        { "shown again", true, "", false },
        { "turned off", false, "NotifyWhenHidden=0", false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        NotificationService service;
        ASSERT_TRUE(service.Register());
        StartLumora(c.restore, c.setting);
        ASSERT_TRUE(Capture(1));
        if (c.expected) {
            ASSERT_TRUE(WaitFor([&] { return !service.shown.empty(); }));
            // Anything more would have been sent with the first.
            WaitFor([] { return false; }, 500);
            ASSERT_EQ(service.shown.size(), 1u);
            EXPECT_EQ(service.shown[0].summary.toStdString(), ("Capture 1: " + Size()).toStdString());
            EXPECT_EQ(service.shown[0].body.toStdString(), "Tab \"Snap1.png\", copied, saved as Snap1.png");
            EXPECT_TRUE(service.shown[0].actions.contains("default"));
        } else {
            EXPECT_FALSE(WaitFor([&] { return !service.shown.empty(); }, 1500));
        }
        lumora_->kill();
        lumora_->waitForFinished(5000);
        delete lumora_;
        lumora_ = nullptr;
        QFile::remove(shots_.path() + "/Snap1.png");
    }
}

TEST_F(CaptureNotificationTest, ActivatingANotificationShowsTheWindowOnItsTab)
{
    NotificationService service;
    ASSERT_TRUE(service.Register());
    StartLumora(false, "");
    ASSERT_TRUE(Capture(1));
    ASSERT_TRUE(Capture(2));
    ASSERT_TRUE(WaitFor([&] { return service.shown.size() == 2; }));
    EXPECT_EQ(service.shown[1].summary.toStdString(), ("Capture 2: " + Size()).toStdString());
    ASSERT_TRUE(WaitFor([&] { return ShownWindow().isEmpty(); }));

    service.Activate(service.shown[0].id);
    ASSERT_TRUE(WaitFor([&] { return !ShownWindow().isEmpty(); }, 10000));
    EXPECT_TRUE(WaitFor([&] { return WindowName(ShownWindow()) == "Lumora - Snap1.png"; }, 5000))
        << WindowName(ShownWindow()).toStdString();
}

TEST_F(CaptureNotificationTest, WithoutANotificationServiceCapturesStillEndAtOnce)
{
    ASSERT_FALSE(QDBusConnection::sessionBus().interface()->isServiceRegistered(kService).value());
    StartLumora(false, "");
    // The capture's own wait is 800 ms; a call left waiting for an answer would take far longer.
    EXPECT_TRUE(Capture(1, 8000));
    EXPECT_TRUE(Capture(2, 8000));
}

} // namespace

#include "CaptureNotificationTest.moc"
