#include <QApplication>

#include <gtest/gtest.h>

#include "data/resources.h"
#include "korvalen_version.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Test discovery and runs by hand need no display either. Shared by
    // every test binary that drives windows.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral(KORVALEN_NAME));
    korvalen::data::InitResources();
    return RUN_ALL_TESTS();
}
