#include "platform/GlobalHotKeys.h"
#include "platform/VirtualKeyMap.h"
#include "tests/app/AppTestSupport.h"

#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

// After gtest: X.h defines macros (None, Bool) that clash with its names.
#include <X11/X.h>
#include <X11/keysym.h>

TEST(VirtualKeyMap, VirtualKeysBecomeKeysyms)
{
    using VirtualKeyMap::KeysymFor;
    // Letters are stored as their upper-case character codes and grabbed by their plain keysym.
    EXPECT_EQ(KeysymFor('F'), XK_f);
    EXPECT_EQ(KeysymFor('A'), XK_a);
    EXPECT_EQ(KeysymFor('Z'), XK_z);
    EXPECT_EQ(KeysymFor('0'), XK_0);
    EXPECT_EQ(KeysymFor('9'), XK_9);
    EXPECT_EQ(KeysymFor(0x70), XK_F1);
    EXPECT_EQ(KeysymFor(0x7B), XK_F12);
    EXPECT_EQ(KeysymFor(0x2C), XK_Print);
    EXPECT_EQ(KeysymFor(0x60), XK_KP_0);
    EXPECT_EQ(KeysymFor(0x1B), XK_Escape);
    EXPECT_EQ(KeysymFor(0xBD), XK_minus);
    // Nothing for a pair of zeros or codes without an X counterpart (mouse buttons, unassigned codes).
    EXPECT_EQ(KeysymFor(0), unsigned(NoSymbol));
    EXPECT_EQ(KeysymFor(0x01), unsigned(NoSymbol));
    EXPECT_EQ(KeysymFor(0x07), unsigned(NoSymbol));
    EXPECT_EQ(KeysymFor('a'), XK_KP_1); // 0x61 is VK_NUMPAD1, not a letter
}

TEST(VirtualKeyMap, ModBitsBecomeModifierMasks)
{
    using VirtualKeyMap::ModifierMaskFor;
    EXPECT_EQ(ModifierMaskFor(0), 0u);
    EXPECT_EQ(ModifierMaskFor(1), unsigned(Mod1Mask));
    EXPECT_EQ(ModifierMaskFor(2), unsigned(ControlMask));
    EXPECT_EQ(ModifierMaskFor(4), unsigned(ShiftMask));
    EXPECT_EQ(ModifierMaskFor(6), unsigned(ControlMask | ShiftMask));
    EXPECT_EQ(ModifierMaskFor(7), unsigned(ControlMask | ShiftMask | Mod1Mask));
    EXPECT_EQ(ModifierMaskFor(8), unsigned(Mod4Mask));
}

namespace {
// Hot keys need a real X server (CI runs the tests under xvfb-run) and xdotool to press keys.
class GlobalHotKeysTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (const std::string why = MissingKeyboardTestNeeds(); !why.empty())
            GTEST_SKIP() << why;
        EnsureApp();
        ASSERT_TRUE(turn_.Held()) << "another test kept the X server's keyboard";
    }

    // A loaded server may refuse a connection for a moment; ask again until it accepts one.
    static std::unique_ptr<GlobalHotKeys> Connect()
    {
        std::unique_ptr<GlobalHotKeys> keys;
        WaitFor([&] {
            keys = std::make_unique<GlobalHotKeys>();
            return keys->IsAvailable();
        });
        return keys;
    }

    // The previous test process's grabs last until the server has noticed its connection close.
    static bool RegisterOnceFree(GlobalHotKeys& keys, int id, int virtualKey, int modBits)
    {
        return WaitFor([&] { return keys.Register(id, virtualKey, modBits); });
    }

    static void Press(const QStringList& keys)
    {
        QProcess xdotool;
        xdotool.start("xdotool", QStringList { "key", "--clearmodifiers" } + keys);
        ASSERT_TRUE(xdotool.waitForFinished(10000));
        ASSERT_EQ(xdotool.exitCode(), 0);
    }

    XServerTurn turn_;
};
} // namespace

TEST_F(GlobalHotKeysTest, RealKeyPressReachesTheHandlerOfItsCombination)
{
    const std::unique_ptr<GlobalHotKeys> connection = Connect();
    ASSERT_TRUE(connection->IsAvailable());
    GlobalHotKeys& keys = *connection;
    std::vector<int> fired;
    keys.SetHandler([&](int id) { fired.push_back(id); });
    ASSERT_TRUE(RegisterOnceFree(keys, 32835, 'F', 6)); // Ctrl+Shift+F
    ASSERT_TRUE(RegisterOnceFree(keys, 32793, 'W', 6)); // Ctrl+Shift+W
    Press({ "ctrl+shift+w" });
    ASSERT_TRUE(WaitFor([&] { return !fired.empty(); }));
    EXPECT_EQ(fired, std::vector<int> { 32793 });
    Press({ "ctrl+shift+f" });
    ASSERT_TRUE(WaitFor([&] { return fired.size() == 2; }));
    EXPECT_EQ(fired.back(), 32835);
}

TEST_F(GlobalHotKeysTest, CapsLockOnStillTriggers)
{
    const std::unique_ptr<GlobalHotKeys> connection = Connect();
    GlobalHotKeys& keys = *connection;
    std::vector<int> fired;
    keys.SetHandler([&](int id) { fired.push_back(id); });
    ASSERT_TRUE(RegisterOnceFree(keys, 32794, 'A', 3)); // Ctrl+Alt+A
    Press({ "Caps_Lock" });
    Press({ "ctrl+alt+a" });
    const bool reached = WaitFor([&] { return !fired.empty(); });
    Press({ "Caps_Lock" });
    EXPECT_TRUE(reached);
}

TEST_F(GlobalHotKeysTest, CombinationHeldByAnotherProgramFailsSilently)
{
    // Two connections are two programs to the X server.
    const std::unique_ptr<GlobalHotKeys> firstConnection = Connect(), secondConnection = Connect();
    GlobalHotKeys &first = *firstConnection, &second = *secondConnection;
    ASSERT_TRUE(RegisterOnceFree(first, 1, 'R', 3)); // Ctrl+Alt+R
    EXPECT_FALSE(second.Register(1, 'R', 3));
    EXPECT_TRUE(second.RegisteredIds().empty());
    // Once released it is free again.
    first.UnregisterAll();
    EXPECT_TRUE(second.Register(1, 'R', 3));
}

TEST_F(GlobalHotKeysTest, SameCombinationTwiceKeepsTheFirstRegistration)
{
    const std::unique_ptr<GlobalHotKeys> connection = Connect();
    GlobalHotKeys& keys = *connection;
    std::vector<int> fired;
    keys.SetHandler([&](int id) { fired.push_back(id); });
    ASSERT_TRUE(RegisterOnceFree(keys, 32792, 'S', 6));
    EXPECT_FALSE(keys.Register(32921, 'S', 6));
    Press({ "ctrl+shift+s" });
    ASSERT_TRUE(WaitFor([&] { return !fired.empty(); }));
    EXPECT_EQ(fired, std::vector<int> { 32792 });
}

TEST_F(GlobalHotKeysTest, ZeroPairAndUnknownKeysRegisterNothing)
{
    const std::unique_ptr<GlobalHotKeys> connection = Connect();
    GlobalHotKeys& keys = *connection;
    EXPECT_FALSE(keys.Register(1, 0, 0));
    EXPECT_FALSE(keys.Register(2, 0x01, 6));
    EXPECT_TRUE(keys.RegisteredIds().empty());
}

TEST_F(GlobalHotKeysTest, UnregisteredKeyNoLongerTriggers)
{
    const std::unique_ptr<GlobalHotKeys> connection = Connect();
    GlobalHotKeys& keys = *connection;
    std::vector<int> fired;
    keys.SetHandler([&](int id) { fired.push_back(id); });
    ASSERT_TRUE(RegisterOnceFree(keys, 7, 'X', 6));
    ASSERT_TRUE(RegisterOnceFree(keys, 8, 'Y', 6));
    keys.Unregister(7);
    EXPECT_EQ(keys.RegisteredIds(), std::vector<int> { 8 });
    // The second key works as a marker: once it has arrived, an X press sent before it would have too.
    Press({ "ctrl+shift+x" });
    Press({ "ctrl+shift+y" });
    ASSERT_TRUE(WaitFor([&] { return !fired.empty(); }));
    EXPECT_EQ(fired, std::vector<int> { 8 });
}
