#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "platform/ui/Controls.h"
#include "platform/ui/Form.h"

using namespace platform;

namespace {

class ProbeForm : public Form {
public:
    int shows = 0;
    int resultAtShow = -1;
    bool closeInShow = false;

protected:
    void FormShow() override
    {
        ++shows;
        resultAtShow = modalResult();
        if (closeInShow)
            setModalResult(mrOk);
    }
};

// A window whose controls wait for the first show.
class LazyForm : public Form {
public:
    int builds = 0;
    int labels = 0;
    bool builtBeforeShow = false;
    QWidget* control = nullptr;

    void Set_Lang() override
    {
        if (controlsBuilt())
            ++labels;
    }

protected:
    void buildControls() override
    {
        ++builds;
        control = new QWidget(this);
        Set_Lang();
    }
    void FormShow() override { builtBeforeShow = control != nullptr; }
};

struct DriverGuard {
    explicit DriverGuard(ModalDriver d) { previous = setModalDriver(std::move(d)); }
    ~DriverGuard() { setModalDriver(previous); }
    ModalDriver previous;
};

} // namespace

TEST(FormTest, DriverSeesTheShownWindowAndItsResultIsReturned)
{
    ProbeForm f;
    f.setModalResult(mrCancel); // left over from an earlier showing
    int driven = 0;
    DriverGuard g([&](Form& form) {
        ++driven;
        EXPECT_EQ(&form, &f);
        EXPECT_TRUE(form.isShowingModal());
        form.setModalResult(mrOk);
    });
    EXPECT_EQ(f.showModal(), mrOk);
    EXPECT_EQ(driven, 1);
    EXPECT_EQ(f.shows, 1);
    EXPECT_EQ(f.resultAtShow, mrNone) << "every showing starts with no result";
    EXPECT_FALSE(f.isShowingModal());
}

TEST(FormTest, RealModalLoopEndsWithTheResultSet)
{
    ProbeForm f;
    QTimer::singleShot(0, &f, [&] { f.setModalResult(mrOk); });
    EXPECT_EQ(f.showModal(), mrOk);
    EXPECT_FALSE(f.isVisible());
}

TEST(FormTest, EscapeAndCloseBoxAnswerCancel)
{
    ProbeForm f;
    QTimer::singleShot(0, &f, [&] { QTest::keyClick(&f, Qt::Key_Escape); });
    EXPECT_EQ(f.showModal(), mrCancel);

    QTimer::singleShot(0, &f, [&] { f.close(); });
    EXPECT_EQ(f.showModal(), mrCancel);
}

TEST(FormTest, AResultSetWhileShowingEndsTheShowingAtOnce)
{
    ProbeForm f;
    f.closeInShow = true;
    // No timer and no driver: a nested loop here would never end.
    EXPECT_EQ(f.showModal(), mrOk);
}

TEST(FormTest, ClientSizeIsFixed)
{
    ProbeForm f;
    f.setClientSize(331, 162);
    EXPECT_EQ(f.size(), QSize(331, 162));
    EXPECT_EQ(f.minimumSize(), f.maximumSize());
}

TEST(ControlsTest, FontsKeepTheirPixelSizeWhenTheFamilyIsMissing)
{
    const QFont f = uiFont(QStringLiteral("NoSuchFamily Vn"), 8, true);
    EXPECT_EQ(f.family(), QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(f.pixelSize(), 11); // 8 pt at 96 dpi
    EXPECT_TRUE(f.bold());
    EXPECT_EQ(uiFont(QStringLiteral("DejaVu Sans"), 12).pixelSize(), 16);
}

TEST(ControlsTest, LabelsFitTheirTextAndLinkLabelsClick)
{
    QWidget w;
    QLabel* l = addLabel(&w, QStringLiteral("L_Begin"), 16, 84, uiFont(QStringLiteral("Verdana"), 8));
    EXPECT_EQ(l->pos(), QPoint(16, 84));
    setLabelText(l, QStringLiteral("Begin"));
    const int shortWidth = l->width();
    setLabelText(l, QStringLiteral("Begin with a much longer caption"));
    EXPECT_GT(l->width(), shortWidth);

    LinkLabel link(&w);
    link.setText(QStringLiteral("www"));
    link.adjustSize();
    QSignalSpy spy(&link, &LinkLabel::clicked);
    QTest::mouseClick(&link, Qt::LeftButton);
    QTest::mouseClick(&link, Qt::RightButton);
    EXPECT_EQ(spy.count(), 1);
    EXPECT_EQ(link.cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(link.palette().color(QPalette::WindowText), QColor(0, 0, 255));
}

// A window manager may offer a minimise button that the window did not ask for; the program's
// windows come back from it, a window without the rule stays minimised.
TEST(FormTest, AMinimisedWindowComesBackAtOnce)
{
    ProbeForm f;
    QDialog plain;
    QWidget keptWidget;
    keepRestored(&keptWidget);
    keepRestored(&keptWidget); // a second call adds nothing
    for (QWidget* w : std::initializer_list<QWidget*>{&f, &plain, &keptWidget}) {
        w->show();
        w->setWindowState(Qt::WindowMinimized);
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }
    EXPECT_FALSE(f.isMinimized());
    EXPECT_TRUE(f.isVisible());
    EXPECT_FALSE(keptWidget.isMinimized());
    EXPECT_TRUE(plain.isMinimized()) << "the platform reports the minimise";

    // A hidden window is left alone: nothing shows it again.
    f.hide();
    f.setWindowState(Qt::WindowMinimized);
    QCoreApplication::processEvents();
    EXPECT_FALSE(f.isVisible());
}

TEST(FormTest, ControlsAreBuiltOnceOnTheFirstShowOrWhenAskedFor)
{
    {
        LazyForm f;
        EXPECT_FALSE(f.controlsBuilt());
        EXPECT_EQ(f.builds, 0);
        f.Set_Lang(); // a change of language before the first show labels nothing
        EXPECT_EQ(f.labels, 0);
        DriverGuard g([](Form& form) { form.setModalResult(mrOk); });
        f.showModal();
        EXPECT_TRUE(f.builtBeforeShow) << "FormShow finds the controls";
        f.showModal();
        EXPECT_EQ(f.builds, 1);
        EXPECT_EQ(f.labels, 1) << "the build labels its controls";
    }
    {
        LazyForm f;
        f.show(); // shown without the modal road
        EXPECT_EQ(f.builds, 1);
        EXPECT_EQ(f.control->parentWidget(), &f);
        f.hide();
        f.show();
        f.ensureControls();
        EXPECT_EQ(f.builds, 1);
    }
    {
        LazyForm f;
        f.ensureControls();
        EXPECT_TRUE(f.controlsBuilt());
        EXPECT_NE(f.control, nullptr);
        f.Set_Lang();
        EXPECT_EQ(f.labels, 2);
    }
}

TEST(FormTest, AFontFamilyIsLookedUpOnceAndKeepsItsAnswer)
{
    // The lookup is cached: the same family gives the same answer, a missing one the fallback.
    EXPECT_EQ(installedFamily(QStringLiteral("No Such Family 4711")), QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(installedFamily(QStringLiteral("No Such Family 4711")), QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(uiFont(QStringLiteral("No Such Family 4711"), 8).family(), QStringLiteral("DejaVu Sans"));
}

// The control typed into last is where the keys go back; once it is hidden (a cell editor that
// ended), the control that held it takes them.
TEST(FormTest, TheInputFocusFallsBackToTheControlHoldingAHiddenEditor)
{
    Form f;
    auto* holder = new QWidget(&f);
    holder->setFocusPolicy(Qt::StrongFocus);
    auto* area = new QWidget(holder); // takes no focus itself
    auto* editor = new QLineEdit(area);
    auto* button = new QWidget(&f);
    button->setFocusPolicy(Qt::TabFocus);
    f.show();
    QApplication::setActiveWindow(&f);
    editor->setFocus();
    QApplication::processEvents();
    button->setFocus(); // a button does not count
    QApplication::processEvents();
    EXPECT_EQ(f.inputFocus(), editor);
    editor->hide();
    EXPECT_EQ(f.inputFocus(), holder);
    holder->setEnabled(false);
    EXPECT_EQ(f.inputFocus(), nullptr);
}

// A button takes the focus when pressed and keeps it while its window is hidden; shown again,
// the window must not give the keys back to it (typing would go nowhere, Enter would press it a
// second time): the focus starts where the first showing had it, or where FormShow() puts it.
TEST(FormTest, AShowingAgainDoesNotGiveTheKeysToTheButtonThatEndedTheLastOne)
{
    ProbeForm f;
    auto* edit = new QLineEdit(&f);
    auto* button = new QWidget(&f);
    button->setFocusPolicy(Qt::TabFocus); // as the program's buttons: focused when pressed
    QWidget* atShow = nullptr;
    DriverGuard g([&](Form& form) {
        atShow = form.focusWidget();
        button->setFocus(Qt::MouseFocusReason); // pressed, it ends the showing
        form.setModalResult(mrCancel);
    });
    f.showModal();
    ASSERT_EQ(f.focusWidget(), button);
    f.showModal();
    EXPECT_NE(atShow, button) << "the second showing gave the keys to the button that ended the first";

    // A control that takes the focus by a click, left with it, keeps it.
    edit->setFocus();
    f.showModal();
    EXPECT_EQ(atShow, edit);
}
