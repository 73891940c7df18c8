// Widgets need a QApplication; one lives for the whole run of the suite.
#include <QApplication>

#include <gtest/gtest.h>

#include <memory>

namespace {

class QtWidgetsEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "lumora_tests";
        static char* argv[] = { name, nullptr };
        app_ = std::make_unique<QApplication>(argc, argv);
    }

    void TearDown() override { app_.reset(); }

private:
    std::unique_ptr<QApplication> app_;
};

[[maybe_unused]] ::testing::Environment* const environment
    = ::testing::AddGlobalTestEnvironment(new QtWidgetsEnvironment);

} // namespace
