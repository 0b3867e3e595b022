#include <QApplication>
#include <QFont>
#include <QStyleFactory>
#include <gtest/gtest.h>

#include "support/GuiState.h"

// Window tests run without a display, with one font and one style, so that geometry and
// texts do not depend on the machine.
int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(11);
    QApplication::setFont(f);
    testing_support::installGuiStateReset();
    return RUN_ALL_TESTS();
}
