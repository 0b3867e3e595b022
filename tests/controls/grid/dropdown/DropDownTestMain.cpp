#include <QApplication>
#include <QFont>
#include <QStyleFactory>
#include <gtest/gtest.h>

#include "support/GuiState.h"

// The drop-down window tests run without a display on one 1280 x 1024 screen, so that popups
// placed at its edges can be checked; one font and one style, as the other window tests.
int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" VN_TEST_DATA_DIR "/dropdown/screen1280x1024.json");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(11);
    QApplication::setFont(f);
    testing_support::installGuiStateReset();
    return RUN_ALL_TESTS();
}
