#include <QApplication>
#include <QKeyEvent>
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
