// Drag and drop: the suggested effect and the drop mode, drags within one tree and between two
// (moves arrive as the very nodes and report no effect back, copies keep the source), a drop
// of malformed node data, the auto-expand timer, the drag image and the framework drag. The
// platform's drag loop is played by a test service that hands Qt's drag events to the target.
#include "TextTreeSupport.h"
#include "support/FakeProcess.h"

#include "controls/tree/LazyTreeTransfer.h"
#include "platform/exchange/NamedFormats.h"
#include "platform/ui/Timer.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QMimeData>
#include <QTest>
#include <QtEndian>
#include <cmath>
#include <gtest/gtest.h>

using namespace controls;
using namespace treetest;
using platform::DROPEFFECT_COPY;
using platform::DROPEFFECT_LINK;
using platform::DROPEFFECT_MOVE;
using platform::DROPEFFECT_NONE;

namespace {

// Plays the target of a drag: enter and move at `at` over `target`, then a drop (or a leave).
class PlayedDrag final : public platform::DragService {
public:
    PlayedDrag() { platform::setDragService(this); }
    ~PlayedDrag() override { platform::setDragService(nullptr); }

    QWidget* target = nullptr;
    QPoint at;
    Qt::KeyboardModifiers modifiers;
    bool drop = true;
    unsigned allowed = 0;
    QImage image;
    QPoint hotSpot;
    int runs = 0;

    unsigned exec(QWidget*, QMimeData* data, const QImage& picture, QPoint hot, unsigned allowedEffects) override
    {
        std::unique_ptr<QMimeData> owned(data);
        ++runs;
        allowed = allowedEffects;
        image = picture;
        hotSpot = hot;
        if (!target)
            return DROPEFFECT_NONE;
        return play(target, at, data, allowedEffects, modifiers, drop);
    }

    static unsigned play(QWidget* target, QPoint at, const QMimeData* data, unsigned allowedEffects,
                         Qt::KeyboardModifiers modifiers, bool drop)
    {
        const Qt::DropActions actions = Qt::DropActions::fromInt(int(allowedEffects));
        QDragEnterEvent enter(at, actions, data, Qt::LeftButton, modifiers);
        QApplication::sendEvent(target, &enter);
        if (!enter.isAccepted())
            return DROPEFFECT_NONE;
        QDragMoveEvent move(at, actions, data, Qt::LeftButton, modifiers);
        QApplication::sendEvent(target, &move);
        if (!drop) {
            QDragLeaveEvent leave;
            QApplication::sendEvent(target, &leave);
            return DROPEFFECT_NONE;
        }
        QDropEvent dropEvent(at, actions, data, Qt::LeftButton, modifiers);
        QApplication::sendEvent(target, &dropEvent);
        return dropEvent.isAccepted() ? unsigned(dropEvent.dropAction()) : DROPEFFECT_NONE;
    }
};

// A shown tree with A(A1,A2),B,C that drags its nodes and takes drops with ProcessDrop.
struct DragTree : TextTree {
    DragTree()
    {
        PLazyNode a = add(nullptr, {QStringLiteral("A")});
        add(a, {QStringLiteral("A1")});
        add(a, {QStringLiteral("A2")});
        add(nullptr, {QStringLiteral("B")});
        add(nullptr, {QStringLiteral("C")});
        tree->TreeOptions().SetSelectionOptions({toMultiSelect});
        tree->TreeOptions().SetPaintOptions(tree->TreeOptions().PaintOptions() + toShowDropmark);
        tree->ClipboardFormats().Add(QStringLiteral("Lazy Tree Data"));
        tree->OnDragAllowed = [](TBaseLazyTree*, PLazyNode, TColumnIndex, bool& allowed) { allowed = true; };
        tree->OnDragOver = [](TBaseLazyTree*, QObject*, TShiftState, TDragState, QPoint, TDropMode, unsigned&,
                              bool& accept) { accept = true; };
        tree->OnDragDrop = [this](TBaseLazyTree* s, QObject* source, const QMimeData* data, const std::vector<uint16_t>& formats,
                                  TShiftState, QPoint, unsigned& effect, TDropMode mode) {
            dropSource = source;
            dropFormats = formats;
            dropMode = mode;
            const TLTNodeAttachMode attach = mode == dmAbove ? amInsertBefore : mode == dmBelow ? amInsertAfter : amAddChildLast;
            dropped = s->ProcessDrop(data, s->DropTargetNode(), effect, attach);
        };
        tree->OnEndDrag = [this](TBaseLazyTree*, QObject*, int, int) { log << QStringLiteral("end drag"); };
        tree->resize(200, 200);
        tree->show();
    }
    QPoint label(const char* name)
    {
        const platform::Rect r = tree->GetDisplayRect(find(QString::fromLatin1(name)), NoColumn, true);
        return QPoint(r.left + 4, (r.top + r.bottom) / 2);
    }
    void select(const char* name)
    {
        tree->ClearSelection();
        tree->AddToSelection(find(QString::fromLatin1(name)));
        tree->SetFocusedNode(find(QString::fromLatin1(name)));
    }
    QObject* dropSource = nullptr;
    std::vector<uint16_t> dropFormats;
    TDropMode dropMode = dmNowhere;
    bool dropped = false;
};

} // namespace

TEST(DragDrop, SuggestedEffectFollowsSourceAndKeys)
{
    DragTree t;
    DragTree other;
    const unsigned all = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
    struct Row {
        QObject* source;
        TShiftState shift;
        unsigned allowed;
        unsigned effect;
    };
    const Row rows[] = {
        {t.tree.get(), {}, all, DROPEFFECT_MOVE},
        {other.tree.get(), {}, all, DROPEFFECT_COPY},
        {nullptr, {}, all, DROPEFFECT_COPY},
        {t.tree.get(), {ssCtrl, ssShift}, all, DROPEFFECT_LINK},
        {t.tree.get(), {ssCtrl}, all, DROPEFFECT_COPY},
        {other.tree.get(), {ssShift}, all, DROPEFFECT_MOVE},
        {other.tree.get(), {ssAlt}, all, DROPEFFECT_LINK},
        {other.tree.get(), {ssAlt, ssCtrl}, all, DROPEFFECT_COPY},
        // Falling back when the wanted effect is not allowed.
        {t.tree.get(), {}, DROPEFFECT_COPY, DROPEFFECT_COPY},
        {other.tree.get(), {ssCtrl}, DROPEFFECT_MOVE, DROPEFFECT_MOVE},
        {t.tree.get(), {ssCtrl, ssShift}, DROPEFFECT_COPY | DROPEFFECT_MOVE, DROPEFFECT_MOVE},
    };
    for (const Row& r : rows)
        EXPECT_EQ(t->SuggestDropEffect(r.source, r.shift, QPoint(), r.allowed), r.effect);
}

TEST(DragDrop, DropModeByWhereThePointerIs)
{
    DragTree t;
    PLazyNode b = t.find(QStringLiteral("B"));
    const platform::Rect row = t->GetDisplayRect(b, NoColumn, false);
    auto modeAt = [&](QPoint p) {
        THitInfo hit;
        t->GetHitTestInfoAt(p.x(), p.y(), true, hit);
        return t->DetermineDropMode(p, hit, hit.HitNode ? t->GetDisplayRect(hit.HitNode, NoColumn, false) : platform::Rect{});
    };
    EXPECT_EQ(modeAt(t.label("B")), dmOnNode);
    // Over the indent area: above or below by the middle of the row.
    EXPECT_EQ(modeAt(QPoint(2, row.top + 2)), dmAbove);
    EXPECT_EQ(modeAt(QPoint(2, row.bottom - 2)), dmBelow);
    EXPECT_EQ(modeAt(QPoint(10, 190)), dmNowhere);
    t->TreeOptions().SetPaintOptions(t->TreeOptions().PaintOptions() - toShowDropmark);
    EXPECT_EQ(modeAt(QPoint(2, row.top + 2)), dmOnNode);
}

TEST(DragDrop, AMouseDragWithinOneTreeMovesTheNodes)
{
    PlayedDrag drag;
    DragTree t;
    PLazyNode c = t.find(QStringLiteral("C"));
    drag.target = t->viewport();
    drag.at = t.label("A");
    QTest::mousePress(t->viewport(), Qt::LeftButton, {}, t.label("C"));
    EXPECT_TRUE(t->TreeStates().contains(tsOLEDragPending));
    QTest::mouseMove(t->viewport(), t.label("C") + QPoint(2, 0));
    EXPECT_EQ(drag.runs, 0);
    QTest::mouseMove(t->viewport(), t.label("C") + QPoint(0, 12));
    EXPECT_EQ(drag.runs, 1);
    EXPECT_EQ(t.shape(), QStringLiteral("A(A1,A2,C),B"));
    EXPECT_EQ(t.find(QStringLiteral("C")), c);
    EXPECT_EQ(t.dropSource, t.tree.get());
    EXPECT_EQ(t.dropMode, dmOnNode);
    EXPECT_TRUE(t.dropped);
    // The drag offered copy and move and the tree's own data object's formats.
    EXPECT_EQ(drag.allowed, DROPEFFECT_COPY | DROPEFFECT_MOVE);
    EXPECT_NE(std::find(t.dropFormats.begin(), t.dropFormats.end(), CF_LAZYTREE()), t.dropFormats.end());
    EXPECT_EQ(t.log, QStringList{"end drag"});
    EXPECT_FALSE(t->TreeStates().contains(tsOLEDragging));
    EXPECT_FALSE(t->TreeStates().contains(tsLeftButtonDown));
    EXPECT_TRUE(t->DragSelection().empty());
    EXPECT_EQ(t->DropTargetNode(), nullptr);
}

TEST(DragDrop, AMoveBetweenTreesMovesAndAsksTheSourceToDeleteNothing)
{
    PlayedDrag drag;
    DragTree a;
    DragTree b;
    a->TreeOptions().SetAutoOptions(a->TreeOptions().AutoOptions() + toAutoDeleteMovedNodes);
    a->TreeOptions().SetSelectionOptions({toMultiSelect});
    a.select("B");
    a->AddToSelection(a.find(QStringLiteral("C")));
    drag.target = b->viewport();
    drag.at = b.label("B");
    drag.modifiers = Qt::ShiftModifier; // a move into another tree
    int copies = 0;
    b->OnNodeCopying = [&](TBaseLazyTree*, PLazyNode, PLazyNode, bool&) { ++copies; };
    a->BeginDrag(true);
    EXPECT_EQ(b.shape(), QStringLiteral("A(A1,A2),B(B,C),C"));
    EXPECT_EQ(a.shape(), QStringLiteral("A(A1,A2)"));
    EXPECT_EQ(copies, 0);
    EXPECT_EQ(a->LastDragEffect(), DROPEFFECT_NONE);
    EXPECT_EQ(b.dropSource, a.tree.get());

    // With Ctrl the nodes are copied and the source keeps them.
    a.select("A");
    drag.modifiers = Qt::ControlModifier;
    drag.at = b.label("A");
    a->BeginDrag(true);
    EXPECT_EQ(b.shape(), QStringLiteral("A(A1,A2,A(A1,A2)),B(B,C),C"));
    EXPECT_EQ(a.shape(), QStringLiteral("A(A1,A2)"));
    EXPECT_EQ(a->LastDragEffect(), DROPEFFECT_COPY);
    EXPECT_EQ(copies, 1);
}

TEST(DragDrop, MalformedNodeDataDroppedFromOutsideChangesNothing)
{
    DragTree source;
    source.select("A");
    auto object = std::make_shared<TLTDataObject>(source.tree.get(), false);
    TFormatEtc format;
    format.cfFormat = CF_LAZYTREE();
    TStgMedium medium;
    ASSERT_EQ(object->GetData(format, medium), S_OK);
    QByteArray cut = medium.data;
    cut.chop(7);
    DragTree target;
    QMimeData data;
    data.setData(platform::mimeTypeOfFormat(QStringLiteral("Lazy Tree Data")), cut);
    const unsigned effect = PlayedDrag::play(target->viewport(), target.label("B"), &data, DROPEFFECT_COPY, {}, true);
    EXPECT_EQ(effect, DROPEFFECT_NONE);
    EXPECT_FALSE(target.dropped);
    EXPECT_EQ(target.shape(), QStringLiteral("A(A1,A2),B,C"));

    data.setData(platform::mimeTypeOfFormat(QStringLiteral("Lazy Tree Data")), medium.data);
    EXPECT_EQ(PlayedDrag::play(target->viewport(), target.label("B"), &data, DROPEFFECT_COPY, {}, true), DROPEFFECT_COPY);
    EXPECT_EQ(target.shape(), QStringLiteral("A(A1,A2),B(A(A1,A2)),C"));
}

TEST(DragDrop, HoveringOverACollapsedParentExpandsItAfterTheDelay)
{
    testing_support::FakeClock clock;
    platform::ManualTimers manual;
    DragTree t;
    t->TreeOptions().SetAutoOptions(t->TreeOptions().AutoOptions() + toAutoDropExpand);
    t->SetAutoExpandDelay(1000);
    QMimeData data;
    const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction;
    QDragEnterEvent enter(t.label("B"), actions, &data, Qt::LeftButton, {});
    QApplication::sendEvent(t->viewport(), &enter);
    QDragMoveEvent overA(t.label("A"), actions, &data, Qt::LeftButton, {});
    QApplication::sendEvent(t->viewport(), &overA);
    EXPECT_EQ(t->DropTargetNode(), t.find(QStringLiteral("A")));
    clock.advance(999);
    platform::fireDueTimers();
    EXPECT_FALSE(t->Expanded(t.find(QStringLiteral("A"))));
    // Leaving A for B before the delay cancels the expansion.
    QDragMoveEvent overB(t.label("B"), actions, &data, Qt::LeftButton, {});
    QApplication::sendEvent(t->viewport(), &overB);
    clock.advance(5000);
    platform::fireDueTimers();
    EXPECT_FALSE(t->Expanded(t.find(QStringLiteral("A"))));
    QApplication::sendEvent(t->viewport(), &overA);
    clock.advance(1000);
    platform::fireDueTimers();
    EXPECT_TRUE(t->Expanded(t.find(QStringLiteral("A"))));
    QDragLeaveEvent leave;
    QApplication::sendEvent(t->viewport(), &leave);
    EXPECT_EQ(t->DropTargetNode(), nullptr);
}

TEST(DragDrop, EmptyDragOperationsAllowAllEffectsAndACancelledDragEndsClean)
{
    PlayedDrag drag;
    DragTree t;
    t->SetDragOperations({});
    t.select("B");
    drag.target = t->viewport();
    drag.at = t.label("A");
    drag.drop = false; // Escape: the drag ends without a drop
    t->BeginDrag(true);
    EXPECT_EQ(drag.allowed, DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK);
    EXPECT_EQ(t.shape(), QStringLiteral("A(A1,A2),B,C"));
    EXPECT_EQ(t->LastDragEffect(), DROPEFFECT_NONE);
    EXPECT_FALSE(t->Dragging());
    EXPECT_EQ(t->DropTargetNode(), nullptr);
    EXPECT_EQ(TLTDragManager::QueryContinueDrag(true, {ssLeft}), DRAGDROP_S_CANCEL);
    EXPECT_EQ(TLTDragManager::QueryContinueDrag(false, {ssLeft, ssRight}), DRAGDROP_S_CANCEL);
    EXPECT_EQ(TLTDragManager::QueryContinueDrag(false, {ssLeft}), S_OK);
    EXPECT_EQ(TLTDragManager::QueryContinueDrag(false, {}), DRAGDROP_S_DROP);
}

TEST(DragDrop, TheDragImageShowsTheSelectedNodesFadingFromTheCentre)
{
    PlayedDrag drag;
    DragTree t;
    t->SetDragWidth(120);
    t->SetDragHeight(60);
    QTest::mousePress(t->viewport(), Qt::LeftButton, {}, t.label("B"));
    QTest::mouseMove(t->viewport(), t.label("B") + QPoint(0, 20));
    ASSERT_EQ(drag.runs, 1);
    ASSERT_EQ(drag.image.size(), QSize(120, 60));
    EXPECT_EQ(drag.hotSpot, QPoint(60, 30));
    const QImage image = drag.image.convertToFormat(QImage::Format_ARGB32);
    // The background around the nodes is fully transparent (the colour key); a pixel of the
    // selected row is drawn, strongest at the centre.
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
    int strongest = 0;
    for (int x = 0; x < image.width(); ++x)
        strongest = std::max(strongest, qAlpha(image.pixel(x, 30)));
    EXPECT_GT(strongest, 100);

    TLTDragImage fade(t.tree.get());
    QImage source(101, 101, QImage::Format_ARGB32);
    source.fill(qRgb(10, 20, 30));
    QImage alpha = source;
    fade.BuildAlphaChannel(source, alpha);
    EXPECT_EQ(qAlpha(alpha.pixel(50, 50)), 255);
    // Half the larger side away: e^-4 of opaque, about 5.
    EXPECT_EQ(qAlpha(alpha.pixel(50, 0)), int(std::lround(255 * std::exp(-8.0 * 50 / 101))));
    EXPECT_EQ(qAlpha(alpha.pixel(50, 0)), 5);
    EXPECT_EQ(qAlpha(alpha.pixel(100, 50)), 5);
    fade.ColorKey = platform::rgb(10, 20, 30);
    fade.BuildAlphaChannel(source, alpha);
    EXPECT_EQ(qAlpha(alpha.pixel(50, 50)), 0);
    // The platform shows the picture: there is no own screen image to move.
    EXPECT_FALSE(fade.Visible());
    EXPECT_FALSE(fade.WillMove(QPoint(5, 5)));
    EXPECT_FALSE(fade.DragTo(QPoint(0, 0), false));
}

TEST(DragDrop, AFrameworkDragCarriesNoDataObject)
{
    PlayedDrag drag;
    DragTree a;
    DragTree b;
    a->SetDragType(dtVCL);
    a.select("C");
    drag.target = b->viewport();
    drag.at = b.label("B");
    const QMimeData* received = reinterpret_cast<const QMimeData*>(1);
    b->OnDragDrop = [&](TBaseLazyTree* s, QObject* source, const QMimeData* data, const std::vector<uint16_t>&, TShiftState,
                        QPoint, unsigned& effect, TDropMode) {
        received = data;
        b.dropSource = source;
        // The owner moves the source's nodes itself.
        auto* from = qobject_cast<TBaseLazyTree*>(source);
        from->MoveTo(from->GetFirstSelected(), s->DropTargetNode(), amAddChildLast, false);
        effect = DROPEFFECT_NONE;
    };
    a->BeginDrag(true);
    EXPECT_EQ(received, nullptr);
    EXPECT_EQ(b.dropSource, a.tree.get());
    EXPECT_EQ(b.shape(), QStringLiteral("A(A1,A2),B(C),C"));
    EXPECT_EQ(a.shape(), QStringLiteral("A(A1,A2),B"));
    EXPECT_EQ(a.log, QStringList{"end drag"});
    EXPECT_FALSE(a->TreeStates().contains(tsVCLDragging));
    EXPECT_FALSE(b->TreeStates().contains(tsVCLDragging));
}
