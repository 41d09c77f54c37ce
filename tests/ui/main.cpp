// Entry of the window tests: one application object for all tests, on Qt's
// offscreen platform unless a display platform is chosen from outside.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // the settings the program keeps between sessions (recent variants) go to
    // a folder of the tests, not into the user's own
    qputenv("XDG_CONFIG_HOME", (QDir::tempPath() + "/rivolaw_tests_config").toUtf8());
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
