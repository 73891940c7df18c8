// Text drawing needs a QGuiApplication; one lives for the whole run of the suite.
#include <QGuiApplication>

#include <gtest/gtest.h>

#include <memory>

namespace {

class QtGuiEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "objects_tests";
        static char* argv[] = { name, nullptr };
        app_ = std::make_unique<QGuiApplication>(argc, argv);
    }

    void TearDown() override { app_.reset(); }

private:
    std::unique_ptr<QGuiApplication> app_;
};

[[maybe_unused]] ::testing::Environment* const environment = ::testing::AddGlobalTestEnvironment(new QtGuiEnvironment);

} // namespace
