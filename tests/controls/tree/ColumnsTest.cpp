// Columns and the header with columns (offscreen): positions and left edges, widths within
// their limits, auto-size, spring and proportional resizing, the popup menu, the header's mouse
// (border tracking, column dragging, click sorting, check boxes), header painting and the
// header stream.
#include "TreeTestSupport.h"
#include "controls/tree/LazyStringTree.h"
#include "controls/tree/LazyTreeHeaderPopup.h"
#include "controls/tree/LazyTreeStream.h"

#include <QAction>
#include <QBuffer>
#include <QTest>
#include <QtEndian>
#include <gtest/gtest.h>

using namespace controls;
using namespace treetest;

namespace {

struct ColumnTree {
    explicit ColumnTree(int columns = 3, int width = 400, bool show = true)
        : tree(TBaseLazyTree::create<TLazyStringTree>())
    {
        tree->resize(width, 200);
        for (int i = 0; i < columns; ++i)
            header().Columns().Add()->SetText(QString(QChar(u'A' + i)));
        if (show) {
            tree->show();
            header().SetOptions(header().Options() + hoVisible);
        }
    }
    TLTHeader& header() { return tree->Header(); }
    TLazyTreeColumns& columns() { return tree->Header().Columns(); }
    TLazyTreeColumn* col(int i) { return columns().Items(i); }
    QString lefts()
    {
        QStringList out;
        for (int i = 0; i < columns().Count(); ++i)
            out << QString::number(col(i)->UnscrolledLeft());
        return out.join(QLatin1Char(','));
    }
    QString positions()
    {
        QStringList out;
        for (TColumnIndex i : columns().PositionToIndex())
            out << QString::number(i);
        return out.join(QLatin1Char(','));
    }
    bool send(THeaderMessage msg, QPoint p, TShiftState shift = {})
    {
        TLTHeaderMessage m;
        m.Msg = msg;
        m.Pos = p;
        m.Shift = shift;
        return header().HandleMessage(m);
    }
    // A point in the strip (client coordinates, y above the rows).
    QPoint strip(int x) const { return QPoint(x, -5); }
    std::unique_ptr<TLazyStringTree> tree;
};

} // namespace

TEST(Columns, PositionsAndLeftEdges)
{
    ColumnTree t(3, 400, false);
    EXPECT_EQ(t.lefts(), QStringLiteral("0,50,100"));
    EXPECT_EQ(t.header().MainColumn(), 0);
    t.col(1)->SetOptions(t.col(1)->Options() - coVisible);
    EXPECT_EQ(t.lefts(), QStringLiteral("0,50,50"));
    EXPECT_EQ(t.header().TotalWidth(), 100);
    t.col(1)->SetOptions(t.col(1)->Options() + coVisible);
    t.col(2)->SetPosition(0);
    EXPECT_EQ(t.positions(), QStringLiteral("2,0,1"));
    EXPECT_EQ(t.lefts(), QStringLiteral("50,100,0"));
    EXPECT_EQ(t.header().GetFirstVisibleColumn(), 2);
    EXPECT_EQ(t.header().GetNextVisibleColumn(2), 0);
    EXPECT_EQ(t.header().GetLastVisibleColumn(), 1);
    // A negative position is the last one.
    t.col(0)->SetPosition(TColumnPosition(-1));
    EXPECT_EQ(t.positions(), QStringLiteral("2,1,0"));
    EXPECT_EQ(t.header().ColumnFromPosition(TColumnPosition(2)), 0);
    EXPECT_EQ(t.header().ColumnFromPosition(TColumnPosition(3)), NoColumn);
    EXPECT_THROW(t.columns().Items(3), platform::EListError);
}

TEST(Columns, DeletingAColumnMovesTheIndexesThatReferToIt)
{
    struct Case {
        int main, sort, deleted, mainAfter, sortAfter;
    };
    for (const Case& c : {Case{0, 2, 0, 0, 1}, Case{2, -1, 0, 1, -1}, Case{1, 1, 1, 0, -1}}) {
        ColumnTree t(3, 400, false);
        t.header().SetMainColumn(c.main);
        t.tree->TreeOptions().SetAutoOptions(t.tree->TreeOptions().AutoOptions() - toAutoSort);
        t.header().SetSortColumn(c.sort);
        t.columns().Delete(c.deleted);
        EXPECT_EQ(t.header().MainColumn(), c.mainAfter);
        EXPECT_EQ(t.header().SortColumn(), c.sortAfter);
        EXPECT_EQ(t.positions(), QStringLiteral("0,1"));
    }
    ColumnTree one(1, 400, false);
    one.columns().Delete(0);
    EXPECT_EQ(one.header().MainColumn(), NoColumn);
    EXPECT_FALSE(one.header().UseColumns());
}

TEST(Columns, WidthsStayWithinTheirLimits)
{
    ColumnTree t(3, 400, false);
    TLazyTreeColumn* c = t.col(0);
    c->SetWidth(5);
    EXPECT_EQ(c->Width(), 10);
    c->SetMinWidth(30);
    EXPECT_EQ(c->Width(), 30);
    c->SetMaxWidth(20);
    EXPECT_EQ(c->MaxWidth(), 30) << "a maximum below the minimum becomes the minimum";
    c->SetMinWidth(-4);
    EXPECT_EQ(c->MinWidth(), 0);
    c->SetMaxWidth(100);
    c->SetWidth(150);
    EXPECT_EQ(c->Width(), 100);
    EXPECT_EQ(c->LastWidth(), 30);
    c->SetMargin(-1);
    EXPECT_EQ(c->Margin(), 4);
    // The width that an animated resize ends with; 10 pixels in 32 steps move 0 each.
    t.col(1)->SetWidth(100);
    t.columns().AnimatedResize(1, 110);
    EXPECT_EQ(t.col(1)->Width(), 110);
    EXPECT_EQ(t.columns().LastAnimationStep(), 0);
    t.columns().AnimatedResize(1, 174);
    EXPECT_EQ(t.columns().LastAnimationStep(), 2);
    EXPECT_EQ(t.col(1)->Width(), 174);
}

TEST(Columns, TheAutoSizeColumnTakesWhatTheOthersLeave)
{
    ColumnTree t(3, 400, true);
    const int client = t.tree->ClientWidth();
    t.col(0)->SetWidth(100);
    t.col(1)->SetWidth(100);
    t.header().SetAutoSizeIndex(2);
    t.header().SetOptions(t.header().Options() + hoAutoResize);
    EXPECT_EQ(t.col(2)->Width(), client - 200);
    t.col(2)->SetWidth(50);
    EXPECT_EQ(t.col(2)->Width(), client - 200);
    t.col(0)->SetWidth(150);
    EXPECT_EQ(t.col(2)->Width(), client - 250);
    // An index out of range means the last column.
    t.header().SetAutoSizeIndex(7);
    EXPECT_EQ(t.col(2)->Width(), client - 250);
}

TEST(Columns, ScrollWidthDisplayNameAndFixedWidth)
{
    ColumnTree t(3, 400, false);
    t.col(0)->SetWidth(50);
    t.col(1)->SetWidth(51);
    t.col(2)->SetOptions(t.col(2)->Options() - coVisible);
    EXPECT_EQ(t.header().GetScrollWidth(), 50);
    t.col(0)->SetOptions(t.col(0)->Options() + coFixed);
    EXPECT_EQ(t.header().GetVisibleFixedWidth(), 50);
    EXPECT_EQ(t.header().GetScrollWidth(), 51);
    t.col(1)->SetOptions(t.col(1)->Options() - coVisible);
    t.col(0)->SetOptions(t.col(0)->Options() - coFixed - coVisible);
    EXPECT_EQ(t.header().GetScrollWidth(), 18);
    t.col(2)->SetText(QString::fromUtf8("Ωμέγα"));
    EXPECT_EQ(t.col(2)->GetDisplayName(), QStringLiteral("Column 2"));
    t.col(1)->SetText(QString::fromUtf8("Größe"));
    EXPECT_EQ(t.col(1)->GetDisplayName(), QString::fromUtf8("Größe"));
}

TEST(Columns, AFixedColumnStaysWithinItsShareOfTheClient)
{
    ColumnTree t(3, 500, true);
    t.tree->resize(500 + (500 - t.tree->ClientWidth()), 200);
    ASSERT_EQ(t.tree->ClientWidth(), 500);
    t.col(0)->SetOptions(t.col(0)->Options() + coFixed);
    t.col(1)->SetOptions(t.col(1)->Options() + coFixed);
    t.col(1)->SetWidth(30);
    t.header().FixedAreaConstraints().SetConstraint(TLTFixedAreaConstraints::MaxWidthPercentIndex, 20);
    t.col(0)->SetWidth(300);
    EXPECT_EQ(t.col(0)->Width(), 70);
}

TEST(Columns, ProportionalResizingAndSpringColumns)
{
    ColumnTree t(3, 400, false);
    EXPECT_EQ(t.header().ResizeColumns(10, 0, 2), 10);
    EXPECT_EQ(t.lefts(), QStringLiteral("0,54,107"));
    EXPECT_EQ(t.col(0)->Width(), 54);
    EXPECT_EQ(t.header().ResizeColumns(-10, 0, 2), -10);
    EXPECT_EQ(t.col(0)->Width(), 50);
    EXPECT_EQ(t.col(1)->Width(), 50);
    EXPECT_EQ(t.col(2)->Width(), 50);
    // Growing stops at the maximum and reports what it did.
    t.col(1)->SetMaxWidth(52);
    t.col(0)->SetMaxWidth(51);
    t.col(2)->SetMaxWidth(53);
    EXPECT_EQ(t.header().ResizeColumns(100, 0, 2), 6);

    ColumnTree s(2, 300, true);
    s.header().SetOptions(s.header().Options() + hoAutoSpring);
    for (int i = 0; i < 2; ++i)
        s.col(i)->SetOptions(s.col(i)->Options() + coAutoSpring);
    s.tree->resize(400, 200);
    QCoreApplication::processEvents();
    const int w0 = s.col(0)->Width();
    s.tree->resize(407, 200);
    QCoreApplication::processEvents();
    EXPECT_EQ(s.col(0)->Width(), w0 + 3);
    EXPECT_EQ(s.col(1)->Width(), w0 + 3);
    EXPECT_FLOAT_EQ(s.col(0)->SpringRest(), 0.5f);
    s.tree->resize(408, 200);
    QCoreApplication::processEvents();
    EXPECT_EQ(s.col(0)->Width(), w0 + 4);
    EXPECT_EQ(s.col(1)->Width(), w0 + 4);
}

TEST(HeaderMenu, TheLastVisibleColumnCannotBeHidden)
{
    ColumnTree t(3, 400, true);
    t.col(1)->SetOptions(t.col(1)->Options() - coVisible);
    TLTHeaderPopupMenu menu(t.tree.get());
    menu.SetPopupComponent(t.tree.get());
    menu.RebuildItems();
    auto summary = [&] {
        QStringList out;
        for (QAction* a : menu.actions())
            if (!a->isSeparator())
                out << a->text() + (a->isChecked() ? QStringLiteral("+") : QString()) +
                           (a->isEnabled() ? QString() : QStringLiteral("-"));
        return out.join(QLatin1Char(','));
    };
    EXPECT_EQ(summary(), QStringLiteral("A+,B,C+"));
    // Hiding A through its item leaves C as the last one shown.
    std::vector<std::pair<TColumnIndex, bool>> changes;
    menu.OnColumnChange = [&](TBaseLazyTree*, TColumnIndex column, bool visible) { changes.emplace_back(column, visible); };
    menu.actions()[0]->trigger();
    EXPECT_FALSE(t.col(0)->Options().contains(coVisible));
    EXPECT_EQ(changes, (std::vector<std::pair<TColumnIndex, bool>>{{0, false}}));
    menu.RebuildItems();
    EXPECT_EQ(summary(), QStringLiteral("A,B,C+-"));
    menu.SetOptions({poAllowHideAll});
    menu.RebuildItems();
    EXPECT_EQ(summary(), QStringLiteral("A,B,C+"));
    // Display order, or collection order; a hidden item still counts when visible.
    t.col(0)->SetOptions(t.col(0)->Options() + coVisible);
    t.col(2)->SetPosition(0);
    menu.SetOptions({poResizeToFitItem});
    menu.RebuildItems();
    EXPECT_EQ(summary(), QStringLiteral("&Resize All Columns To Fit,C+,A+,B"));
    menu.SetOptions({poOriginalOrder});
    menu.OnAddHeaderPopupItem = [](TBaseLazyTree*, TColumnIndex column, TAddPopupItemType& cmd) {
        if (column == 0)
            cmd = apHidden;
    };
    menu.RebuildItems();
    EXPECT_EQ(summary(), QStringLiteral("B,C+")) << "A is left out but still counted as visible";
    // Without columns the menu is empty.
    ColumnTree none(0, 200, true);
    TLTHeaderPopupMenu empty(none.tree.get());
    empty.SetPopupComponent(none.tree.get());
    empty.RebuildItems();
    EXPECT_TRUE(empty.actions().isEmpty());
}

TEST(HeaderMouse, BordersAreGrabbedWithinTheTolerance)
{
    struct Case {
        int dx;
        bool grabbed;
    };
    for (const Case& c : {Case{-2, true}, Case{4, true}, Case{-3, false}, Case{5, false}, Case{0, true}}) {
        SCOPED_TRACE(c.dx);
        ColumnTree t(3, 400, true);
        QStringList log;
        t.tree->OnBeforeColumnWidthTracking = [&](TBaseLazyTree*, TColumnIndex column, TShiftState) {
            log << QStringLiteral("before %1").arg(column);
        };
        t.tree->OnAfterColumnWidthTracking = [&](TBaseLazyTree*, TColumnIndex column) {
            log << QStringLiteral("after %1").arg(column);
        };
        // The border of column A is at x = 50.
        t.send(THeaderMessage::NCLButtonDown, t.strip(50 + c.dx));
        EXPECT_EQ(t.header().States().contains(hsColumnWidthTrackPending), c.grabbed);
        if (!c.grabbed) {
            t.send(THeaderMessage::NCLButtonUp, t.strip(50 + c.dx));
            continue;
        }
        if (c.dx == 0) {
            // Released without moving: no tracking happened.
            t.send(THeaderMessage::NCLButtonUp, t.strip(50));
            EXPECT_EQ(log, QStringList{QStringLiteral("before 0")});
            EXPECT_EQ(t.col(0)->Width(), 50);
            continue;
        }
        t.send(THeaderMessage::MouseMove, t.strip(60));
        t.send(THeaderMessage::MouseMove, t.strip(90));
        EXPECT_EQ(t.col(0)->Width(), 90);
        EXPECT_EQ(t.lefts(), QStringLiteral("0,90,140"));
        t.send(THeaderMessage::NCLButtonUp, t.strip(90));
        EXPECT_EQ(log, QStringList({QStringLiteral("before 0"), QStringLiteral("after 0")}));
        EXPECT_TRUE(t.header().States().empty());
    }
    // A column that cannot be resized, and a handler that refuses, keep their borders.
    ColumnTree t(3, 400, true);
    t.col(0)->SetOptions(t.col(0)->Options() - coResizable);
    t.send(THeaderMessage::NCLButtonDown, t.strip(50));
    EXPECT_TRUE(t.header().States().empty() || t.header().States().contains(hsDragPending));
    t.send(THeaderMessage::NCLButtonUp, t.strip(50));
    t.tree->OnCanSplitterResizeColumn = [](TBaseLazyTree*, QPoint, TColumnIndex, bool& allowed) { allowed = false; };
    t.send(THeaderMessage::NCLButtonDown, t.strip(100));
    EXPECT_FALSE(t.header().States().contains(hsColumnWidthTrackPending));
    t.send(THeaderMessage::NCLButtonUp, t.strip(100));
}

TEST(HeaderMouse, DraggingTheAutoSizeColumnsBorderResizesTheNextColumn)
{
    ColumnTree t(3, 400, true);
    const int client = t.tree->ClientWidth();
    t.header().SetAutoSizeIndex(0);
    t.header().SetOptions(t.header().Options() + hoAutoResize);
    ASSERT_EQ(t.col(0)->Width(), client - 100);
    t.send(THeaderMessage::NCLButtonDown, t.strip(client - 100));
    t.send(THeaderMessage::MouseMove, t.strip(client - 95));
    t.send(THeaderMessage::MouseMove, t.strip(client - 120));
    t.send(THeaderMessage::NCLButtonUp, t.strip(client - 120));
    EXPECT_EQ(t.col(1)->Width(), 70);
    EXPECT_EQ(t.col(0)->Width(), client - 120);
}

TEST(HeaderMouse, DraggedColumnsLandBeforeOrAfterTheDropTarget)
{
    struct Case {
        int dropX;
        TColumnPosition position;
        bool draggedOut;
    };
    // Column A (0..50) dropped on C (100..150): right half after it, left half before it.
    for (const Case& c : {Case{140, 2, false}, Case{110, 1, false}, Case{140, 0, true}}) {
        ColumnTree t(3, 400, true);
        QStringList log;
        t.tree->OnHeaderDragged = [&](TBaseLazyTree*, TColumnIndex column, TColumnPosition old) {
            log << QStringLiteral("dragged %1 from %2").arg(column).arg(old);
        };
        t.tree->OnHeaderDraggedOut = [&](TBaseLazyTree*, TColumnIndex column, QPoint) {
            log << QStringLiteral("out %1").arg(column);
        };
        t.send(THeaderMessage::NCLButtonDown, t.strip(20));
        EXPECT_TRUE(t.header().States().contains(hsDragPending));
        t.send(THeaderMessage::MouseMove, t.strip(30));
        EXPECT_TRUE(t.header().States().contains(hsDragging));
        EXPECT_TRUE(t.header().DragImage().Visible());
        t.send(THeaderMessage::MouseMove, t.strip(c.dropX));
        EXPECT_EQ(t.columns().DropTarget(), 2);
        const QPoint release = c.draggedOut ? QPoint(c.dropX, -1000) : t.strip(c.dropX);
        t.send(THeaderMessage::NCLButtonUp, release);
        EXPECT_EQ(t.col(0)->Position(), c.position);
        EXPECT_EQ(log, QStringList{c.draggedOut ? QStringLiteral("out 0") : QStringLiteral("dragged 0 from 0")});
        EXPECT_FALSE(t.header().DragImage().Visible());
        EXPECT_EQ(t.columns().DropTarget(), NoColumn);
    }
    // Escape ends a drag without either event.
    ColumnTree t(3, 400, true);
    int events = 0;
    t.tree->OnHeaderDragged = [&](TBaseLazyTree*, TColumnIndex, TColumnPosition) { ++events; };
    t.tree->OnHeaderDraggedOut = [&](TBaseLazyTree*, TColumnIndex, QPoint) { ++events; };
    t.send(THeaderMessage::NCLButtonDown, t.strip(20));
    t.send(THeaderMessage::MouseMove, t.strip(140));
    QTest::keyClick(t.tree.get(), Qt::Key_Escape);
    EXPECT_TRUE(t.header().States().empty());
    t.send(THeaderMessage::NCLButtonUp, t.strip(140));
    EXPECT_EQ(events, 0);
    EXPECT_EQ(t.positions(), QStringLiteral("0,1,2"));
}

TEST(HeaderMouse, AClickSortsTheTreeAndShowsTheSortGlyph)
{
    ColumnTree t(3, 400, true);
    t.tree->SetNodeDataSize(sizeof(int));
    for (int v : {3, 1, 2})
        *static_cast<int*>(t.tree->GetNodeData(t.tree->AddChild(nullptr))) = v;
    std::vector<TColumnIndex> compared;
    t.tree->OnCompareNodes = [&](TBaseLazyTree* sender, PLazyNode a, PLazyNode b, TColumnIndex column, int& result) {
        compared.push_back(column);
        result = *static_cast<int*>(sender->GetNodeData(a)) - *static_cast<int*>(sender->GetNodeData(b));
    };
    auto order = [&] {
        QString s;
        for (PLazyNode n = t.tree->RootNode()->FirstChild; n; n = n->NextSibling)
            s += QString::number(*static_cast<int*>(t.tree->GetNodeData(n)));
        return s;
    };
    std::vector<TLTHeaderHitInfo> clicks;
    t.tree->OnHeaderClick = [&](TBaseLazyTree*, const TLTHeaderHitInfo& hit) { clicks.push_back(hit); };
    t.header().SetOptions(t.header().Options() + hoHeaderClickAutoSort);
    // A click is a press and a release on the same column, through the strip itself.
    QWidget* strip = t.tree->HeaderStrip();
    ASSERT_NE(strip, nullptr);
    ASSERT_TRUE(strip->isVisible());
    QTest::mouseClick(strip, Qt::LeftButton, {}, QPoint(70, 5));
    EXPECT_EQ(t.header().SortColumn(), 1);
    EXPECT_EQ(order(), QStringLiteral("123"));
    ASSERT_FALSE(compared.empty());
    EXPECT_EQ(compared.back(), 1);
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0].Column, 1);
    EXPECT_TRUE(clicks[0].HitPosition.contains(hhiOnColumn));
    QTest::mouseClick(strip, Qt::LeftButton, {}, QPoint(70, 5));
    EXPECT_EQ(t.header().SortDirection(), sdDescending);
    EXPECT_EQ(order(), QStringLiteral("321"));

    // The sort column's glyph is laid out and drawn.
    std::vector<THeaderPaintInfo> painted;
    t.header().SetOptions(t.header().Options() + hoOwnerDraw);
    // The owner draws nothing but is told where everything went (it asks for an element it
    // leaves alone, so that it is called after the layout).
    t.tree->OnHeaderDrawQueryElements = [&](TBaseLazyTree*, THeaderPaintInfo& info, THeaderPaintElements& elements) {
        if (info.Column)
            elements = hpeDropMark;
    };
    t.tree->OnAdvancedHeaderDraw = [&](TBaseLazyTree*, THeaderPaintInfo& info, THeaderPaintElements) {
        painted.push_back(info);
    };
    const QImage image = strip->grab().toImage();
    ASSERT_EQ(painted.size(), 3u);
    EXPECT_FALSE(painted[0].ShowSortGlyph);
    ASSERT_TRUE(painted[1].ShowSortGlyph);
    const QPoint glyph = painted[1].SortGlyphPos;
    EXPECT_GE(glyph.x(), 50 + 4);
    EXPECT_LE(glyph.x() + 16, 100);
    // Some pixel of the glyph's box differs from the button face around it.
    const QRgb face = image.pixel(52, 2);
    bool ink = false;
    for (int y = glyph.y(); y < glyph.y() + 16 && y < image.height(); ++y)
        for (int x = glyph.x(); x < glyph.x() + 16; ++x)
            ink = ink || image.pixel(x, y) != face;
    EXPECT_TRUE(ink);
}

TEST(HeaderMouse, ACheckBoxClickChangesTheStateAndDoesNotSort)
{
    ColumnTree t(2, 400, true);
    t.header().SetOptions(t.header().Options() + hoShowImages + hoHeaderClickAutoSort);
    t.col(0)->SetCheckBox(true);
    t.tree->grab(); // paints the strip, which places the check box
    t.tree->HeaderStrip()->grab();
    ASSERT_TRUE(t.col(0)->HasImage());
    const platform::Rect box = t.col(0)->ImageRect();
    const QPoint inside(box.left + 2, box.top + 2 - t.header().Height());
    t.send(THeaderMessage::NCLButtonDown, inside);
    EXPECT_TRUE(t.columns().CheckBoxHit());
    t.send(THeaderMessage::NCLButtonUp, inside);
    EXPECT_EQ(t.col(0)->CheckState(), csCheckedNormal);
    EXPECT_EQ(t.header().SortColumn(), NoColumn);
}

TEST(ColumnPainting, RowsArePaintedCellByCellWithFixedColumnsUnscrolled)
{
    ColumnTree t(3, 200, true);
    t.tree->OnGetText = [](TBaseLazyTree*, PLazyNode, TColumnIndex column, TVSTTextType, QString& text) {
        text = QStringLiteral("cell %1").arg(column);
    };
    t.col(0)->SetOptions(t.col(0)->Options() + coFixed);
    for (int i = 0; i < 3; ++i)
        t.col(i)->SetWidth(100);
    t.tree->SetRootNodeCount(2);
    std::vector<std::pair<TColumnIndex, int>> cells;
    t.tree->OnAfterCellPaint = [&](TBaseLazyTree*, platform::Canvas&, PLazyNode node, TColumnIndex column,
                                   const platform::Rect& r) {
        if (node == t.tree->RootNode()->FirstChild)
            cells.emplace_back(column, r.left);
    };
    t.tree->SetOffsetX(-60);
    ASSERT_EQ(t.tree->EffectiveOffsetX(), 60);
    t.tree->viewport()->grab();
    // The fixed column in its own pass, then the scrolling columns that show.
    ASSERT_GE(cells.size(), 2u);
    EXPECT_EQ(cells[0], std::make_pair(TColumnIndex(0), 0));
    EXPECT_EQ(cells[1], std::make_pair(TColumnIndex(1), 100));
    // Right of the fixed column the columns scroll by 60: client 120 is column 1, 150 column 2;
    // over the fixed column it is column 0.
    THitInfo hit;
    t.tree->GetHitTestInfoAt(120, 5, true, hit);
    EXPECT_EQ(hit.HitColumn, 1);
    t.tree->GetHitTestInfoAt(150, 5, true, hit);
    EXPECT_EQ(hit.HitColumn, 2);
    t.tree->GetHitTestInfoAt(50, 5, true, hit);
    EXPECT_EQ(hit.HitColumn, 0);
}

TEST(HeaderStream, SavedHeadersLoadIntoAFreshTreeEqual)
{
    ColumnTree a(2, 400, true);
    a.col(0)->SetText(QStringLiteral("Meter"));
    a.col(0)->SetHint(QStringLiteral("The meter"));
    a.col(1)->SetText(QStringLiteral("Value"));
    a.col(1)->SetWidth(120);
    a.col(1)->SetCaptionAlignment(platform::Alignment::taRightJustify);
    a.col(1)->SetPosition(0);
    a.columns().SetDefaultWidth(70);
    a.header().SetMaxHeight(40);
    a.header().SetMinHeight(12);
    a.header().FixedAreaConstraints().SetConstraint(TLTFixedAreaConstraints::MinWidthPercentIndex, 5);
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(11);
    font.setBold(true);
    a.header().SetFont(font);
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    a.header().SaveToStream(buffer);
    const QByteArray bytes = buffer.data();
    EXPECT_EQ(qFromLittleEndian<int32_t>(bytes.constData()), -1);
    EXPECT_EQ(qFromLittleEndian<int32_t>(bytes.constData() + 4), 6);
    // A column record is 60 bytes and its texts, 64 with the caption alignment.
    EXPECT_EQ(qFromLittleEndian<int32_t>(bytes.constData() + 8), 2);
    const int first = 60 + 2 * (5 + 9);
    EXPECT_EQ(qFromLittleEndian<int32_t>(bytes.constData() + 12 + first), 5) << "the next record's text length";
    EXPECT_TRUE(bytes.contains(QByteArray("\x06\x00\x00\x00Tahoma", 10)));

    ColumnTree b(0, 400, true);
    buffer.seek(0);
    b.header().LoadFromStream(buffer);
    EXPECT_TRUE(b.columns().Equals(&a.columns()));
    EXPECT_EQ(b.positions(), QStringLiteral("1,0"));
    EXPECT_EQ(b.columns().DefaultWidth(), 70);
    EXPECT_EQ(b.header().MaxHeight(), 40);
    EXPECT_EQ(b.header().MinHeight(), 12);
    EXPECT_EQ(b.header().FixedAreaConstraints().MinWidthPercent(), 5);
    EXPECT_TRUE(b.header().Font().bold());
    EXPECT_EQ(b.header().Font().family(), QStringLiteral("Tahoma"));
    EXPECT_EQ(b.col(0)->Hint(), QStringLiteral("The meter"));
    EXPECT_EQ(b.col(1)->CaptionAlignment(), platform::Alignment::taRightJustify);
}

TEST(HeaderStream, OlderVersionsAndBrokenStreams)
{
    // A column record of version `version` with the given options.
    auto stream = [](int version, uint32_t options, std::vector<int32_t> positions = {0}) {
        QByteArray bytes;
        TLazyTreeStreamWriter w(bytes);
        if (version >= 0) {
            w.WriteInt32(-1);
            w.WriteInt32(version);
        }
        w.WriteInt32(int32_t(positions.size()));
        for (size_t i = 0; i < positions.size(); ++i) {
            w.WriteInt32(1);
            w.WriteUtf16(QStringLiteral("X"));
            w.WriteInt32(0);
            for (int32_t v : {80, 10, 10000, 0, -1, 0, 4, 3, 0})
                w.WriteInt32(v);
            w.WriteUInt32(options);
            if (version > 0) {
                w.WriteInt32(0);
                w.WriteInt32(0);
            }
            if (version > 1)
                w.WriteUInt32(platform::clWindow);
        }
        for (int32_t p : positions)
            w.WriteInt32(p);
        if (version > 4)
            w.WriteInt32(50);
        for (int32_t v : {0, int32_t(platform::clBtnFace), 19, 0x604, 0, 0, -11, 0})
            w.WriteInt32(v);
        w.WriteInt32(0);
        w.WriteInt32(0);
        if (version > 0)
            for (int32_t v : {0, -1, 0})
                w.WriteInt32(v);
        if (version > 4)
            for (int32_t v : {0, 10000, 10, 19, 0, 0, 0, 0})
                w.WriteInt32(v);
        return bytes;
    };
    auto load = [](ColumnTree& t, const QByteArray& bytes) {
        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        try {
            t.header().LoadFromStream(buffer);
        } catch (const ELazyTreeError& e) {
            return e.message();
        }
        return QString();
    };
    struct Case {
        int version;
        uint32_t written;
        uint16_t read;
    };
    for (const Case& c : {Case{2, 0x0FFF, 0x00FF}, Case{1, 0x00FF, 0x00EF}, Case{-1, 0x00FF, 0x00EF}, Case{6, 0x88FF, 0x88FF}}) {
        SCOPED_TRACE(c.version);
        ColumnTree t(0, 400, true);
        ASSERT_EQ(load(t, stream(c.version, c.written)), QString());
        ASSERT_EQ(t.columns().Count(), 1);
        EXPECT_EQ(t.col(0)->Options().bits(), c.read);
        EXPECT_EQ(t.col(0)->Width(), 80);
    }
    // A stream that starts with 0 has no marker and no columns.
    ColumnTree zero(2, 400, true);
    QByteArray noColumns = stream(-1, 0xFF, {});
    EXPECT_EQ(load(zero, noColumns), QString());
    EXPECT_EQ(zero.columns().Count(), 0);
    // Positions that are not a permutation give the index order.
    ColumnTree twice(0, 400, true);
    EXPECT_EQ(load(twice, stream(6, 0x88FF, {1, 1})), QString());
    EXPECT_EQ(twice.positions(), QStringLiteral("0,1"));
    // Every truncation is refused and leaves the header and its options as they were.
    const QByteArray good = stream(6, 0x88FF, {1, 0});
    ColumnTree kept(3, 400, true);
    const TLTHeaderOptions options = kept.header().Options();
    for (qsizetype size = 0; size < good.size(); ++size) {
        SCOPED_TRACE(size);
        EXPECT_EQ(load(kept, good.left(size)), QStringLiteral("Stream read error"));
        EXPECT_EQ(kept.columns().Count(), 3);
        EXPECT_EQ(kept.header().Options(), options);
    }
    // Counts and text lengths larger than the bytes left.
    QByteArray huge = good;
    qToLittleEndian<int32_t>(0x7FFFFFFF, huge.data() + 8);
    EXPECT_EQ(load(kept, huge), QStringLiteral("Stream read error"));
    QByteArray longText = good;
    qToLittleEndian<int32_t>(0x40000000, longText.data() + 12);
    EXPECT_EQ(load(kept, longText), QStringLiteral("Stream read error"));
    EXPECT_EQ(kept.columns().Count(), 3);
}

TEST(Columns, AutoFitMeasuresTheWidestCellAndAskedColumnsCanRefuse)
{
    ColumnTree t(3, 400, true);
    t.tree->OnGetText = [](TBaseLazyTree*, PLazyNode node, TColumnIndex column, TVSTTextType, QString& text) {
        text = QString(int(node->Index + 1) * (column + 1), QLatin1Char('W'));
    };
    t.tree->SetRootNodeCount(3);
    QStringList log;
    t.tree->OnBeforeAutoFitColumns = [&](TBaseLazyTree*, TSmartAutoFitType&) { log << QStringLiteral("before all"); };
    t.tree->OnAfterAutoFitColumns = [&](TBaseLazyTree*) { log << QStringLiteral("after all"); };
    t.tree->OnBeforeAutoFitColumn = [&](TBaseLazyTree*, TColumnIndex column, TSmartAutoFitType&, bool& allowed) {
        allowed = column != 2;
    };
    t.tree->OnAfterAutoFitColumn = [&](TBaseLazyTree*, TColumnIndex column) { log << QString::number(column); };
    // Positions out of range mean all of them.
    t.header().AutoFitColumns(false, smaUseColumnOption, -5, 99);
    EXPECT_EQ(log, QStringList({QStringLiteral("before all"), QStringLiteral("0"), QStringLiteral("1"),
                                QStringLiteral("after all")}));
    // Column 1 holds the widest texts (6 W in the third row); the main column adds the indent.
    EXPECT_EQ(t.col(1)->Width(), t.tree->GetMaxColumnWidth(1));
    EXPECT_GT(t.col(1)->Width(), t.col(0)->Width() - int(t.tree->Indent()));
    EXPECT_EQ(t.col(2)->Width(), 50);
    // A double click on a border with hoDblClickResize fits that column.
    t.col(1)->SetWidth(20);
    t.header().SetOptions(t.header().Options() + hoDblClickResize);
    log.clear();
    const int border = t.col(1)->UnscrolledLeft() + t.col(1)->Width();
    t.send(THeaderMessage::NCLButtonDblClk, t.strip(border));
    EXPECT_EQ(t.col(1)->Width(), t.tree->GetMaxColumnWidth(1));
    EXPECT_EQ(log, QStringList({QStringLiteral("before all"), QStringLiteral("1"), QStringLiteral("after all")}));
    // The widths restored, the last one first.
    t.header().RestoreColumns();
    EXPECT_EQ(t.col(1)->Width(), 20);
}
