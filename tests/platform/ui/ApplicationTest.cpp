#include "platform/ui/Application.h"

#include "platform/text/UserError.h"
#include "platform/ui/Form.h"
#include "support/FakeDialogs.h"

#include <QFont>
#include <QPushButton>
#include <QStyleFactory>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "support/GuiState.h"
#include <stdexcept>

using testing_support::FakeMessageBoxes;

namespace {

// A dialog whose button's handler throws what the test gives it.
class ThrowingDialog : public platform::Form {
public:
    explicit ThrowingDialog(std::function<void()> handler)
    {
        button = new QPushButton(QStringLiteral("Go"), this);
        button->setGeometry(10, 10, 80, 24);
        connect(button, &QPushButton::clicked, this, [h = std::move(handler)] { h(); });
        setClientSize(200, 60);
    }
    QPushButton* button;
};

} // namespace

// An error thrown in a dialog's click handler ends in an error box; the dialog stays open and
// the program goes on (a later click works, the dialog ends normally).
TEST(Application, ErrorEscapingADialogHandlerShowsABoxAndTheProgramRunsOn)
{
    struct Case {
        std::function<void()> thrower;
        QString box;
    };
    const Case cases[] = {
        {[] { throw platform::UserError(QStringLiteral("Error! Project not Valid")); },
         QStringLiteral("Error! Project not Valid")},
        {[] { throw std::runtime_error("disk full"); }, QStringLiteral("disk full")},
        {[] { throw 42; }, QStringLiteral("Error! An unexpected error ended the operation.")},
    };
    for (const Case& c : cases) {
        FakeMessageBoxes boxes;
        int calls = 0;
        ThrowingDialog dialog([&] {
            if (++calls == 1)
                c.thrower();
        });
        QTimer::singleShot(0, &dialog, [&] {
            QTest::mouseClick(dialog.button, Qt::LeftButton); // throws inside the delivery
            EXPECT_TRUE(dialog.isVisible());
            QTest::mouseClick(dialog.button, Qt::LeftButton); // the dialog still works
            dialog.setModalResult(platform::mrOk);
        });
        EXPECT_EQ(dialog.showModal(), platform::mrOk);
        EXPECT_EQ(calls, 2);
        EXPECT_EQ(boxes.texts(), QStringList(c.box));
        ASSERT_EQ(boxes.shown().size(), 1u);
        EXPECT_EQ(boxes.shown()[0].kind, platform::MsgKind::Error);
    }
}

// An error unwinding through Qt's own frames (built without clean-ups) leaves a few of Qt's
// temporaries behind: the price of the escape route, for this binary only.
extern "C" const char* __lsan_default_suppressions() { return "leak:libQt6Core\nleak:libQt6Widgets\n"; }

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    platform::Application app(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(11);
    QApplication::setFont(f);
    testing_support::installGuiStateReset();
    return RUN_ALL_TESTS();
}
