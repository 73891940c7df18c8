#include "app/CaptureRequestSink.h"
#include "app/LumoraDBusService.h"
#include "tests/app/AppTestSupport.h"

#include <QDBusConnection>
#include <QProcess>

#include <gtest/gtest.h>

namespace {
struct RecordingSink : CaptureRequestSink {
    void RequestCapture(int commandId) override { captures.push_back(commandId); }
    void HighlightWindow(uint64_t window) override { highlighted.push_back(window); }
    void CaptureWindow(bool capture, uint64_t window) override { givenWindows.emplace_back(capture, window); }
    std::vector<int> captures;
    std::vector<uint64_t> highlighted;
    std::vector<std::pair<bool, uint64_t>> givenWindows;
};

// Runs `lumora send ARGS` while this process keeps serving the bus; returns its exit code.
int Send(const QStringList& args)
{
    QProcess client;
    client.start(LUMORA_EXECUTABLE, QStringList { "send" } + args);
    if (!client.waitForStarted(10000))
        return -1;
    WaitFor([&] { return client.state() == QProcess::NotRunning; }, 20000);
    return client.exitStatus() == QProcess::NormalExit ? client.exitCode() : -1;
}

class DBusServiceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureApp();
        if (!QDBusConnection::sessionBus().isConnected())
            GTEST_SKIP() << "no D-Bus session bus";
    }
};
} // namespace

TEST(LumoraDBusService, KindsMapToTheCaptureCommands)
{
    EXPECT_EQ(LumoraDBusService::CommandForKind(0), 32835);
    EXPECT_EQ(LumoraDBusService::CommandForKind(1), 32793);
    EXPECT_EQ(LumoraDBusService::CommandForKind(2), 32792);
    EXPECT_EQ(LumoraDBusService::CommandForKind(3), 32794);
    EXPECT_EQ(LumoraDBusService::CommandForKind(4), 0);
    EXPECT_EQ(LumoraDBusService::CommandForKind(-1), 0);
}

TEST(SendCommand, BadArgumentsExitWithTwo)
{
    EnsureApp();
    EXPECT_EQ(Send({}), 2);
    EXPECT_EQ(Send({ "capture" }), 2);
    EXPECT_EQ(Send({ "capture", "everything" }), 2);
    EXPECT_EQ(Send({ "highlight", "not-a-window" }), 2);
    EXPECT_EQ(Send({ "blink", "1" }), 2);
}

TEST_F(DBusServiceTest, SendWithoutARunningInstanceFails)
{
    EXPECT_EQ(Send({ "capture", "0" }), 1);
}

TEST_F(DBusServiceTest, SendCaptureReachesTheCaptureRoutines)
{
    RecordingSink sink;
    LumoraDBusService service(sink);
    ASSERT_TRUE(service.Register());
    EXPECT_EQ(Send({ "capture", "0" }), 0);
    ASSERT_TRUE(WaitFor([&] { return !sink.captures.empty(); }));
    EXPECT_EQ(sink.captures, std::vector<int> { 32835 });
    // Several kinds in one call, by name and number; an unknown number does nothing.
    EXPECT_EQ(Send({ "capture", "region", "3", "9" }), 0);
    ASSERT_TRUE(WaitFor([&] { return sink.captures.size() == 3; }));
    EXPECT_EQ(sink.captures, (std::vector<int> { 32835, 32792, 32794 }));
}

TEST_F(DBusServiceTest, SendHighlightAndCaptureWindowPassTheWindowId)
{
    RecordingSink sink;
    LumoraDBusService service(sink);
    ASSERT_TRUE(service.Register());
    EXPECT_EQ(Send({ "highlight", "0x1a00003" }), 0);
    EXPECT_EQ(Send({ "capture-window", "4194311" }), 0);
    ASSERT_TRUE(WaitFor([&] { return !sink.highlighted.empty() && !sink.givenWindows.empty(); }));
    EXPECT_EQ(sink.highlighted, std::vector<uint64_t> { 0x1a00003 });
    EXPECT_EQ(sink.givenWindows, (std::vector<std::pair<bool, uint64_t>> { { true, 4194311 } }));
}

TEST_F(DBusServiceTest, RunningInstanceKeepsTheNameFromALaterOne)
{
    RecordingSink first;
    LumoraDBusService a(first);
    ASSERT_TRUE(a.Register());
    // A later program lives on its own connection and cannot take the name over.
    QDBusConnection other = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "second-instance");
    ASSERT_TRUE(other.isConnected());
    EXPECT_FALSE(other.registerService(LumoraDBusService::kServiceName));
    QDBusConnection::disconnectFromBus("second-instance");
    EXPECT_EQ(Send({ "capture", "1" }), 0);
    EXPECT_TRUE(WaitFor([&] { return first.captures == std::vector<int> { 32793 }; }));
}
