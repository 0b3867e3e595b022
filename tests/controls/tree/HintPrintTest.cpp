// Hints and tooltips (the truncation test, the rectangle a hint stays valid in, the window's
// size, place and animation), printing to PDF (page counts read back with pdfinfo) and the
// draw tree.
#include "TextTreeSupport.h"
#include "support/FakeProcess.h"
#include "support/TempDir.h"

#include "platform/fs/Files.h"

#include "controls/tree/LazyDrawTree.h"
#include "controls/tree/LazyTreeHint.h"
#include "platform/print/Print.h"

#include <QApplication>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QProcess>
#include <QScreen>
#include <QTest>
#include <QToolTip>
#include <gtest/gtest.h>

using namespace controls;
using namespace treetest;

namespace {

// A shown string tree with one column 120 pixels wide: "short" fits, the long text is cut.
struct HintTree : TextTree {
    HintTree()
        : TextTree(1)
    {
        tree->Header().Columns()[0]->SetWidth(120);
        add(nullptr, {QStringLiteral("short")});
        add(nullptr, {QStringLiteral("a rather long text that the column cuts off")});
        tree->SetHintMode(hmTooltip);
        tree->SetHintAnimation(hatNone);
        tree->resize(300, 150);
        tree->show();
        QApplication::setActiveWindow(tree.get());
        tree->setFocus();
        QApplication::processEvents();
    }
    QPoint label(int row)
    {
        PLazyNode n = row == 0 ? tree->GetFirst() : tree->GetNext(tree->GetFirst());
        const platform::Rect r = tree->GetDisplayRect(n, 0, true);
        return QPoint(r.left + 6, (r.top + r.bottom) / 2);
    }
};

int pdfPages(const QString& file)
{
    QProcess pdfinfo;
    pdfinfo.start(QStringLiteral("pdfinfo"), {file});
    if (!pdfinfo.waitForFinished(30000))
        return -1;
    for (const QString& line : QString::fromLocal8Bit(pdfinfo.readAllStandardOutput()).split(QLatin1Char('\n')))
        if (line.startsWith(QLatin1String("Pages:")))
            return line.mid(6).trimmed().toInt();
    return -1;
}

} // namespace

TEST(Hint, ATooltipShowsOnlyOverACutText)
{
    HintTree t;
    THintInfo info;
    EXPECT_FALSE(t->HintRequest(t.label(0), info));
    EXPECT_TRUE(t->LastHintRect().isEmpty());
    EXPECT_FALSE(t->TreeStates().contains(tsHint));
    ASSERT_TRUE(t->HintRequest(t.label(1), info));
    EXPECT_TRUE(t->TreeStates().contains(tsHint));
    PLazyNode cut = t->GetNext(t->GetFirst());
    const platform::Rect text = t->GetDisplayRect(cut, 0, true, true, true);
    EXPECT_EQ(info.CursorRect, text);
    EXPECT_EQ(info.HintPos, t->ClientToScreen(QPoint(text.left, text.top)));
    EXPECT_EQ(t->HintData().Node, cut);
    EXPECT_EQ(t->HintPause(), 0);
    // Within the rectangle the hint stays; the node is not asked again.
    int asked = 0;
    t->OnGetHintKind = [&](TBaseLazyTree*, PLazyNode, TColumnIndex, TLTHintKind&) { ++asked; };
    EXPECT_TRUE(t->HintRequest(t.label(1) + QPoint(5, 0), info));
    EXPECT_EQ(asked, 0);
}

TEST(Hint, TheTooltipWindowShowsTheWholeTextOverTheCell)
{
    HintTree t;
    QTest::mouseMove(t->viewport(), t.label(1));
    TLazyTreeHintWindow* window = t->HintWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->HintData().HintText, QStringLiteral("a rather long text that the column cuts off"));
    PLazyNode cut = t->GetNext(t->GetFirst());
    const platform::Rect text = t->GetDisplayRect(cut, 0, true, true, true);
    // One pixel around the text's rectangle, its top-left at the text's.
    EXPECT_EQ(window->geometry().topLeft(), t->ClientToScreen(QPoint(text.left, text.top)));
    EXPECT_EQ(window->height(), text.height() + 2);
    QTest::mouseMove(t->viewport(), t.label(0));
    EXPECT_FALSE(window->isVisible());
}

TEST(Hint, AHintNearTheScreenCornerIsMovedOntoTheDesktop)
{
    HintTree t;
    t->SetHintMode(hmHint);
    t->OnGetHint = [](TBaseLazyTree*, PLazyNode, TColumnIndex, TLTHintLineBreakStyle&, QString& text) {
        text = QStringLiteral("A hint of the node");
    };
    THintInfo info;
    ASSERT_TRUE(t->HintRequest(t.label(0), info));
    TLazyTreeHintWindow window;
    const platform::Rect size = window.CalcHintRect(800, QStringLiteral(" "), info.HintData);
    const QFontMetrics fm(QToolTip::font());
    EXPECT_EQ(size.height(), fm.height() + 6);
    EXPECT_EQ(size.width(), fm.horizontalAdvance(QStringLiteral("A hint of the node")) + t->TextMargin() + fm.height());
    const QRect desk = QGuiApplication::primaryScreen()->availableGeometry();
    window.ActivateHint(size.offset(desk.right() - 10, desk.bottom() - 5), QStringLiteral(" "));
    EXPECT_TRUE(desk.contains(window.geometry())) << window.geometry().x() << "," << window.geometry().y();
    EXPECT_EQ(window.geometry().bottomRight(), desk.bottomRight());
}

TEST(Hint, AHeaderColumnShowsItsOwnHint)
{
    HintTree t;
    t->SetHintMode(hmDefault);
    t->Header().SetOptions(t->Header().Options() + hoVisible + hoShowHint);
    t->Header().Columns()[0]->SetHint(QStringLiteral("The meter's name"));
    THintInfo info;
    // Points above the rows are the header's.
    ASSERT_TRUE(t->HintRequest(QPoint(30, -5), info));
    EXPECT_EQ(t->HintData().DefaultHint, QStringLiteral("The meter's name"));
    EXPECT_EQ(info.CursorRect, (platform::Rect{0, -t->Header().Height(), 120, 0}));
    TLazyTreeHintWindow window;
    EXPECT_FALSE(window.CalcHintRect(800, QStringLiteral(" "), info.HintData).isEmpty());
    EXPECT_EQ(window.HintData().HintText, QStringLiteral("The meter's name"));
    // Beyond the last column there is no hint.
    EXPECT_FALSE(t->HintRequest(QPoint(200, -5), info));
    t->SetShowHint(false);
    EXPECT_FALSE(t->HintRequest(QPoint(30, -5), info));
}

TEST(Hint, AnimationTypesAndTheirLastPicture)
{
    testing_support::FakeClock clock;
    HintTree t;
    t->SetHintAnimation(hatSystemDefault);
    QApplication::setEffectEnabled(Qt::UI_General, true);
    QApplication::setEffectEnabled(Qt::UI_AnimateTooltip, false);
    EXPECT_EQ(t->DoGetAnimationType(), hatNone);
    QApplication::setEffectEnabled(Qt::UI_AnimateTooltip, true);
    QApplication::setEffectEnabled(Qt::UI_FadeTooltip, true);
    EXPECT_EQ(t->DoGetAnimationType(), hatFade);
    QApplication::setEffectEnabled(Qt::UI_FadeTooltip, false);
    EXPECT_EQ(t->DoGetAnimationType(), hatSlide);
    QApplication::setEffectEnabled(Qt::UI_AnimateTooltip, false);

    for (THintAnimationType type : {hatFade, hatSlide}) {
        t->SetHintAnimation(type);
        t->SetAnimationDuration(100);
        t->HideHint();
        QTest::mouseMove(t->viewport(), t.label(0));
        QTest::mouseMove(t->viewport(), t.label(1));
        TLazyTreeHintWindow* window = t->HintWindow();
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(window->Animation(), type);
        EXPECT_TRUE(window->isVisible());
        EXPECT_EQ(window->windowOpacity(), 1.0);
        EXPECT_EQ(window->height(), window->DrawBuffer().height());
        EXPECT_FALSE(t->TreeStates().contains(tsInAnimation));
    }
}

TEST(Hint, TheDrawTreeSizesAndDrawsItsHintsItself)
{
    std::unique_ptr<TLazyDrawTree> tree(TBaseLazyTree::create<TLazyDrawTree>());
    tree->SetRootNodeCount(3);
    tree->SetHintMode(hmHint);
    tree->SetHintAnimation(hatNone);
    tree->resize(200, 100);
    tree->show();
    QApplication::setActiveWindow(tree.get());
    const QPoint p(20, 27);
    THintInfo info;
    // Without OnGetHintSize the owner-drawn hint has no size: none shows.
    EXPECT_FALSE(tree->HintRequest(p, info));
    tree->OnGetHintSize = [](TBaseLazyTree*, PLazyNode, TColumnIndex, platform::Rect& r) { r = platform::Rect{0, 0, 40, 12}; };
    int drawn = 0;
    tree->OnDrawHint = [&](TBaseLazyTree*, platform::Canvas& canvas, PLazyNode node, const platform::Rect& r, TColumnIndex) {
        ++drawn;
        EXPECT_EQ(node, tree->GetNext(tree->GetFirst()));
        canvas.brush() = platform::Brush{platform::clRed};
        canvas.fillRect(r);
    };
    QTest::mouseMove(tree->viewport(), p);
    QHelpEvent help(QEvent::ToolTip, p, tree->viewport()->mapToGlobal(p));
    QApplication::sendEvent(tree->viewport(), &help);
    TLazyTreeHintWindow* window = tree->HintWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->size(), QSize(40, 12));
    EXPECT_EQ(drawn, 1);
    EXPECT_EQ(window->DrawBuffer().pixel(20, 6), qRgb(255, 0, 0));
}

TEST(DrawTree, OwnerWidthsAndPaintingOfEveryCell)
{
    std::unique_ptr<TLazyDrawTree> tree(TBaseLazyTree::create<TLazyDrawTree>());
    tree->SetRootNodeCount(4);
    tree->resize(200, 120);
    tree->show();
    THitInfo hit;
    // Without OnGetNodeWidth a node is 2 x TextMargin wide: past that is no label.
    const platform::Rect row = tree->GetDisplayRect(tree->GetFirst(), NoColumn, false);
    const platform::Rect label = tree->GetDisplayRect(tree->GetFirst(), NoColumn, true);
    EXPECT_EQ(label.width(), 2 * tree->TextMargin());
    tree->GetHitTestInfoAt(label.right + 3, (row.top + row.bottom) / 2, true, hit);
    EXPECT_FALSE(hit.HitPositions.contains(hiOnItemLabel));
    tree->OnGetNodeWidth = [](TBaseLazyTree*, platform::Canvas*, PLazyNode, TColumnIndex, int& width) { width = 90; };
    EXPECT_EQ(tree->GetDisplayRect(tree->GetFirst(), NoColumn, true).width(), 90);
    int painted = 0;
    tree->OnDrawNode = [&](TBaseLazyTree*, const TLTPaintInfo& info) {
        ++painted;
        info.Canvas->brush() = platform::Brush{platform::clBlue};
        info.Canvas->fillRect(info.ContentRect);
    };
    const QImage picture = tree->viewport()->grab().toImage();
    EXPECT_EQ(painted, 4);
    EXPECT_EQ(picture.pixel(label.left + 10, (row.top + row.bottom) / 2), qRgb(0, 0, 255));
    EXPECT_EQ(tree->GetDefaultHintKind(), vhkOwnerDraw);
}

TEST(Print, PagesAreTheRoundedUpPartsOfThePicture)
{
    testing_support::TempDir dir;
    TextTree t(1);
    t->Header().SetOptions(t->Header().Options() - hoVisible);
    t->Header().Columns()[0]->SetWidth(150);
    t->SetBorderStyle(bsNone);
    t->resize(100, 20);
    t->show();
    auto layoutOf = [&](bool header) {
        TLTPrintLayout layout;
        platform::printToPdf(dir.file(QStringLiteral("probe.pdf")), QString(), platform::PaperOrientation::Portrait,
                             [&](platform::PrintSurface& surface) { layout = t->PrintLayout(surface, header); });
        return layout;
    };
    auto print = [&](const QString& name, bool header) {
        const QString file = dir.file(name);
        platform::printToPdf(file, QString(), platform::PaperOrientation::Portrait,
                             [&](platform::PrintSurface& surface) { t->Print(surface, header); });
        return pdfPages(file);
    };
    TLTPrintLayout layout = layoutOf(false);
    ASSERT_GT(layout.Page.height(), 36);
    // One page long (its last row may go on over the page's end), and one row more.
    const int rows = (layout.Page.height() + 17) / 18 + 1;
    for (int i = 0; i < rows; ++i)
        t.add(nullptr, {QStringLiteral("row %1").arg(i)});
    layout = layoutOf(false);
    EXPECT_EQ(layout.VerticalPages, 2);
    EXPECT_EQ(layout.HorizontalPages, 1);
    EXPECT_EQ(print(QStringLiteral("tree.pdf"), true), 2);

    // Exactly two pages wide: two page columns, no blank third one.
    t->Header().Columns()[0]->SetWidth(2 * layout.Page.width());
    layout = layoutOf(false);
    ASSERT_EQ(layout.Image.width(), 2 * layout.Page.width());
    EXPECT_EQ(layout.HorizontalPages, 2);
    EXPECT_EQ(print(QStringLiteral("wide.pdf"), false), 4);

    // An invisible header adds nothing; a visible one its height.
    EXPECT_EQ(layoutOf(true).Image.height(), layout.Image.height());
    t->Header().SetOptions(t->Header().Options() + hoVisible);
    EXPECT_EQ(layoutOf(true).Image.height(), layout.Image.height() + t->Header().Height());
    // The scale comes from the font heights, so the text keeps its size relative to the font.
    EXPECT_NEAR(layout.Scale, 300.0 / 96.0, 0.4);

    // A print that fails on the way writes no file, and leaves the one there as it was.
    platform::writeWholeFile(dir.file(QStringLiteral("kept.pdf")), "old");
    EXPECT_THROW(platform::printToPdf(dir.file(QStringLiteral("kept.pdf")), QString(), platform::PaperOrientation::Portrait,
                                      [&](platform::PrintSurface& surface) {
                                          t->Print(surface, false);
                                          throw ELazyTreeError(QStringLiteral("stopped"));
                                      }),
                 ELazyTreeError);
    EXPECT_EQ(dir.read(QStringLiteral("kept.pdf")), QByteArray("old"));
    EXPECT_EQ(t->UpdateCount(), 0u);
}
