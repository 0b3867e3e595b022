// Options and their writers, the support classes, the shared check image lists, the control's
// defaults, check states with their propagation, colours and the accessibility registry.
#include "TreeTestSupport.h"

#include "controls/tree/CheckImages.h"
#include "controls/tree/LazyTreeAccessibility.h"
#include "platform/draw/Graphics.h"

#include <gtest/gtest.h>

using namespace controls;
using namespace treetest;
using platform::Color;

TEST(TreeOptions, DefaultsAndWriterEffects)
{
    NamedTree t;
    TCustomLazyTreeOptions& o = t->TreeOptions();
    EXPECT_EQ(o.PaintOptions().bits(), 7008u);
    EXPECT_EQ(o.AutoOptions().bits(), 1369u);
    EXPECT_EQ(o.MiscOptions().bits(), 16809u);
    EXPECT_TRUE(o.AnimationOptions().empty());
    EXPECT_TRUE(o.SelectionOptions().empty());
    EXPECT_EQ(o.ExportMode(), emAll);
    EXPECT_EQ(o.PaintOptions(), (TLTPaintOptions{toShowButtons, toShowDropmark, toShowRoot, toShowTreeLines, toThemeAware,
                                                 toUseBlendedImages}));

    o.SetPaintOptions({toFixedIndent});
    EXPECT_EQ(o.PaintOptions(), (TLTPaintOptions{toFixedIndent, toShowRoot})) << "a fixed indent shows the root";

    // Switching multi-selection clears the selection.
    t.add(QStringLiteral("A"));
    t.add(QStringLiteral("B"));
    o.SetSelectionOptions({toMultiSelect});
    t->SetSelected(t.find(QStringLiteral("A")), true);
    t->SetSelected(t.find(QStringLiteral("B")), true);
    EXPECT_EQ(t->SelectedCount(), 2u);
    o.SetSelectionOptions({});
    EXPECT_EQ(t->SelectedCount(), 0u);

    // Showing filtered nodes gives them their rows back.
    t->SetFiltered(t.find(QStringLiteral("A")), true);
    EXPECT_EQ(t->VisibleCount(), 1u);
    const uint32_t range = t->RangeY();
    o.SetPaintOptions(o.PaintOptions() + toShowFilteredNodes);
    EXPECT_EQ(t->VisibleCount(), 2u);
    EXPECT_EQ(t->RangeY(), range + 18);
    EXPECT_EQ(checkInvariants(*t), QString());
}

TEST(TreeOptions, AssigningRunsEveryWriter)
{
    NamedTree source;
    NamedTree target;
    target.add(QStringLiteral("A"));
    target->TreeOptions().SetSelectionOptions({toMultiSelect});
    target->SetSelected(target.find(QStringLiteral("A")), true);
    source->TreeOptions().SetPaintOptions({toFixedIndent});
    source->TreeOptions().SetMiscOptions({toCheckSupport});
    target->SetTreeOptions(source->TreeOptions());
    EXPECT_EQ(target->TreeOptions().PaintOptions(), (TLTPaintOptions{toFixedIndent, toShowRoot}));
    EXPECT_EQ(target->TreeOptions().MiscOptions(), TLTMiscOptions{toCheckSupport});
    EXPECT_EQ(target->SelectedCount(), 0u) << "the selection writer cleared the selection";
}

TEST(TreeOptions, LegacyOptionsReplaceAllSets)
{
    NamedTree t;
    t->TreeOptions().ReadLegacyOptions({QStringLiteral("voMultiSelect"), QStringLiteral("voShowRoot")});
    EXPECT_EQ(t->TreeOptions().PaintOptions(), TLTPaintOptions{toShowRoot});
    EXPECT_EQ(t->TreeOptions().SelectionOptions(), TLTSelectionOptions{toMultiSelect});
    EXPECT_TRUE(t->TreeOptions().AutoOptions().empty());
    EXPECT_TRUE(t->TreeOptions().MiscOptions().empty());
    t->TreeOptions().ReadLegacyOptions(
        {QStringLiteral("voAnimatedToggle"), QStringLiteral("voToggleOnDblClick"), QStringLiteral("voNoSuchOption")});
    EXPECT_EQ(t->TreeOptions().AnimationOptions(), TLTAnimationOptions{toAnimatedToggle});
    EXPECT_EQ(t->TreeOptions().MiscOptions(), TLTMiscOptions{toToggleOnDblClick});
    EXPECT_TRUE(t->TreeOptions().PaintOptions().empty());
}

TEST(SupportClasses, BufferedStringsGrowInWholeSteps)
{
    TBufferedString s;
    EXPECT_EQ(s.Capacity(), 0);
    s.Add(QString(5000, QLatin1Char('x')));
    EXPECT_EQ(s.Capacity(), 8192);
    s.Add(QString());
    EXPECT_EQ(s.Capacity(), 8192);
    s.Add(QStringLiteral("yz"));
    s.AddNewLine();
    EXPECT_EQ(s.AsString(), QString(5000, QLatin1Char('x')) + QStringLiteral("yz\r\n"));

    TBufferedRawByteString b;
    b.Add(QByteArray("ab"));
    b.AddNewLine();
    b.Add(QByteArray(4094, 'c'));
    EXPECT_EQ(b.Capacity(), 8192);
    EXPECT_EQ(b.AsString().size(), 4098);
    EXPECT_TRUE(b.AsString().startsWith("ab\r\ncc"));
}

TEST(CheckImages, TwentyFiveImagesPerKindBuiltOnce)
{
    for (TCheckImageKind kind : {ckLightCheck, ckDarkCheck, ckLightTick, ckDarkTick, ckFlat, ckXP, ckSystemFlat,
                                 ckSystemDefault}) {
        SCOPED_TRACE(int(kind));
        platform::TImageList* list = SharedCheckImages(kind);
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(list->Count(), 25);
        EXPECT_EQ(SharedCheckImages(kind), list) << "shared, made once";
        const int expected = kind == ckSystemDefault || kind == ckSystemFlat ? kMenuCheckSize : 16;
        EXPECT_EQ(list->Width(), expected);
        // Image 0 is empty; unchecked, checked, mixed and the button differ.
        EXPECT_EQ(list->Image(0).convertToFormat(QImage::Format_ARGB32).pixel(6, 6) >> 24, 0u);
        EXPECT_NE(list->Image(9), list->Image(13));
        EXPECT_NE(list->Image(13), list->Image(17));
        EXPECT_NE(list->Image(9), list->Image(21));
        EXPECT_NE(list->Image(9), list->Image(12)) << "the disabled box looks different";
    }
    EXPECT_EQ(SharedCheckImages(ckCustom), nullptr);
}

TEST(TreeControl, DefaultsOfANewTree)
{
    auto* tree = TBaseLazyTree::create<TBaseLazyTree>();
    EXPECT_NE(tree->RootNode(), nullptr);
    EXPECT_EQ(tree->RootNodeCount(), 0u);
    EXPECT_EQ(tree->NodeDataSize(), -1);
    EXPECT_EQ(tree->DefaultNodeHeight(), 18u);
    EXPECT_EQ(tree->Indent(), 18u);
    EXPECT_EQ(tree->Margin(), 4);
    EXPECT_EQ(tree->TextMargin(), 4);
    EXPECT_EQ(tree->AnimationDuration(), 200u);
    EXPECT_EQ(tree->CheckImageKind(), ckSystemDefault);
    EXPECT_EQ(tree->CheckImages(), SharedCheckImages(ckSystemDefault));
    EXPECT_EQ(tree->IncrementalSearch(), isNone);
    EXPECT_EQ(tree->Header().MainColumn(), NoColumn);
    EXPECT_FALSE(tree->Header().UseColumns());
    EXPECT_TRUE(tree->DoubleBuffered());
    tree->SetDoubleBuffered(false);
    EXPECT_TRUE(tree->DoubleBuffered());

    tree->SetDefaultNodeHeight(0);
    EXPECT_EQ(tree->DefaultNodeHeight(), 18u);
    tree->SetAnimationDuration(0);
    EXPECT_FALSE(tree->TreeOptions().AnimationOptions().contains(toAnimatedToggle));
    tree->SetAnimationDuration(150);
    EXPECT_TRUE(tree->TreeOptions().AnimationOptions().contains(toAnimatedToggle));

    // The custom list is used only while the kind says so.
    platform::TImageList custom(16, 16);
    tree->SetCheckImageKind(ckCustom);
    EXPECT_EQ(tree->CheckImages(), nullptr);
    tree->SetCustomCheckImages(&custom);
    EXPECT_EQ(tree->CheckImages(), &custom);
    tree->SetCheckImageKind(ckFlat);
    platform::TImageList other(16, 16);
    tree->SetCustomCheckImages(&other);
    EXPECT_EQ(tree->CheckImages(), SharedCheckImages(ckFlat));
    delete tree;
}

TEST(TreeControl, LoadingDefersTheRootNodes)
{
    auto* tree = TBaseLazyTree::create<TBaseLazyTree>();
    tree->TreeOptions().SetMiscOptions(tree->TreeOptions().MiscOptions() + toReadOnly);
    tree->BeginLoading();
    tree->SetRootNodeCount(3);
    tree->SetNodeDataSize(16);
    EXPECT_EQ(tree->RootNode()->FirstChild, nullptr);
    EXPECT_TRUE(tree->TreeStates().contains(tsNeedRootCountUpdate));
    tree->Loaded();
    EXPECT_EQ(tree->RootNodeCount(), 3u) << "made after loading, also when read-only";
    EXPECT_TRUE(tree->TreeOptions().MiscOptions().contains(toReadOnly));
    EXPECT_EQ(checkInvariants(*tree), QString());
    delete tree;
}

TEST(TreeControl, AssignCopiesSettingsAndACountOfFreshNodes)
{
    NamedTree source;
    source.add(QStringLiteral("A"));
    source.add(QStringLiteral("B"));
    source->SetIndent(25);
    source->SetAnimationDuration(0);
    source->SetTextMargin(9);
    auto* target = TBaseLazyTree::create<TBaseLazyTree>();
    target->Assign(source.tree);
    EXPECT_EQ(target->RootNodeCount(), 2u);
    EXPECT_FALSE(target->RootNode()->FirstChild->States.contains(vsInitialized));
    EXPECT_EQ(target->Indent(), 25u);
    EXPECT_EQ(target->AnimationDuration(), 200u);
    EXPECT_EQ(target->TextMargin(), 4);
    delete target;
}

TEST(TreeColors, DefaultsAndAssign)
{
    NamedTree t;
    const TLTColors& c = t->Colors();
    using platform::clBtnFace;
    using platform::clBtnShadow;
    using platform::clHighlight;
    using platform::clHighlightText;
    using platform::clWindowText;
    const Color expected[17] = {clBtnShadow, clHighlight, clHighlight, clHighlight, clBtnFace, clBtnShadow,
                                clBtnFace,   clBtnFace,   clWindowText, clHighlight, clBtnFace, clHighlight,
                                clHighlight, clHighlight, clBtnShadow,  clHighlightText, clBtnFace};
    for (int i = 0; i < 17; ++i)
        EXPECT_EQ(c.GetColor(TLTColors::Index(i)), expected[i]) << i;
    EXPECT_EQ(c.BackGroundColor(), platform::clWindow);
    NamedTree other;
    other->Colors().SetColor(TLTColors::TreeLineColorIndex, platform::clRed);
    t->Colors().Assign(&other->Colors());
    EXPECT_EQ(t->Colors().TreeLineColor(), platform::clRed);

    TLTFixedAreaConstraints f;
    int changes = 0;
    f.OnChange = [&](TLTFixedAreaConstraints*) { ++changes; };
    f.SetConstraint(TLTFixedAreaConstraints::MinWidthPercentIndex, 30);
    f.SetConstraint(TLTFixedAreaConstraints::MaxWidthPercentIndex, 20);
    EXPECT_EQ(f.MinWidthPercent(), 20);
    f.SetConstraint(TLTFixedAreaConstraints::MinWidthPercentIndex, 40);
    EXPECT_EQ(f.MaxWidthPercent(), 40);
    EXPECT_EQ(changes, 3);
}

// --- check states -----------------------------------------------------------------------------

namespace {

// G (tri-state) > P (tri-state) > L1, L2 (check boxes); G also has Q (check box).
struct CheckTree {
    NamedTree t;
    QStringList events;
    CheckTree()
    {
        t->TreeOptions().SetMiscOptions(t->TreeOptions().MiscOptions() + toCheckSupport);
        for (const char* path : {"G", "G/P", "P/L1", "P/L2", "G/Q"})
            t.add(QString::fromLatin1(path));
        for (const char* name : {"G", "P"})
            t->SetCheckType(n(name), ctTriStateCheckBox);
        for (const char* name : {"L1", "L2", "Q"})
            t->SetCheckType(n(name), ctCheckBox);
        t->OnChecking = [this](TBaseLazyTree*, PLazyNode node, TCheckState& state, bool& allowed) {
            events << QStringLiteral("checking %1=%2").arg(t.nameOf(node)).arg(int(state));
            if (refuse == t.nameOf(node))
                allowed = false;
        };
        t->OnChecked = [this](TBaseLazyTree*, PLazyNode node) { events << QStringLiteral("checked ") + t.nameOf(node); };
    }
    PLazyNode n(const char* name) { return t.find(QString::fromLatin1(name)); }
    TCheckState s(const char* name) { return n(name)->CheckState; }
    QString refuse;
};

} // namespace

TEST(CheckStates, DerivedMappings)
{
    struct Row {
        TCheckState s, pressed, unpressed, enabled, toggled;
        bool disabled, checked;
    };
    const Row rows[] = {
        {csUncheckedNormal, csUncheckedPressed, csUncheckedNormal, csUncheckedNormal, csCheckedNormal, false, false},
        {csUncheckedPressed, csUncheckedPressed, csUncheckedNormal, csUncheckedPressed, csCheckedPressed, false, false},
        {csCheckedNormal, csCheckedPressed, csCheckedNormal, csCheckedNormal, csUncheckedNormal, false, true},
        {csCheckedPressed, csCheckedPressed, csCheckedNormal, csCheckedPressed, csUncheckedPressed, false, true},
        {csMixedNormal, csMixedPressed, csMixedNormal, csMixedNormal, csCheckedNormal, false, false},
        {csMixedPressed, csMixedPressed, csMixedNormal, csMixedPressed, csCheckedPressed, false, false},
        {csUncheckedDisabled, csUncheckedDisabled, csUncheckedDisabled, csUncheckedNormal, csUncheckedDisabled, true, false},
        {csCheckedDisabled, csCheckedDisabled, csCheckedDisabled, csCheckedNormal, csCheckedDisabled, true, true},
        {csMixedDisabled, csMixedDisabled, csMixedDisabled, csMixedNormal, csMixedDisabled, true, false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(int(r.s));
        EXPECT_EQ(PressedState(r.s), r.pressed);
        EXPECT_EQ(UnpressedState(r.s), r.unpressed);
        EXPECT_EQ(EnabledState(r.s), r.enabled);
        EXPECT_EQ(ToggledState(r.s), r.toggled);
        EXPECT_EQ(IsDisabledState(r.s), r.disabled);
        EXPECT_EQ(IsCheckedState(r.s), r.checked);
    }
}

TEST(CheckStates, OneClickRunsCheckingBottomUpAndCheckedTopDown)
{
    CheckTree c;
    c.t->SetCheckState(c.n("L1"), csCheckedNormal);
    EXPECT_EQ(c.events, (QStringList{QStringLiteral("checking L1=2"), QStringLiteral("checking P=4"),
                                     QStringLiteral("checking G=4"), QStringLiteral("checked G"),
                                     QStringLiteral("checked P"), QStringLiteral("checked L1")}));
    EXPECT_EQ(c.s("P"), csMixedNormal);
    EXPECT_EQ(c.s("G"), csMixedNormal);
    EXPECT_FALSE(c.t->TreeStates().contains(tsCheckPropagation));

    // The second child completes P; G stays mixed, so it hears OnChecking but no OnChecked.
    c.events.clear();
    c.t->SetCheckState(c.n("L2"), csCheckedNormal);
    EXPECT_EQ(c.s("P"), csCheckedNormal);
    EXPECT_EQ(c.events, (QStringList{QStringLiteral("checking L2=2"), QStringLiteral("checking P=2"),
                                     QStringLiteral("checking G=4"), QStringLiteral("checked P"),
                                     QStringLiteral("checked L2")}));

    // Writing the current value fires nothing.
    c.events.clear();
    c.t->SetCheckState(c.n("L2"), csCheckedNormal);
    EXPECT_TRUE(c.events.isEmpty());
}

TEST(CheckStates, PropagationTable)
{
    struct Row {
        const char* name;
        std::function<void(CheckTree&)> setUp;
        const char* node;
        TCheckState value;
        // expected states of G, P, L1, L2, Q
        TCheckState g, p, l1, l2, q;
    };
    const Row rows[] = {
        {"checking a tri-state parent checks its boxes", [](CheckTree&) {}, "P", csCheckedNormal, csMixedNormal,
         csCheckedNormal, csCheckedNormal, csCheckedNormal, csUncheckedNormal},
        {"a disabled unchecked child does not stop the parent",
         [](CheckTree& c) { c.n("L2")->CheckState = csUncheckedDisabled; }, "P", csCheckedNormal, csMixedNormal,
         csCheckedNormal, csCheckedNormal, csUncheckedDisabled, csUncheckedNormal},
        {"a disabled checked child keeps the parent mixed",
         [](CheckTree& c) {
             c.t->SetCheckState(c.n("P"), csCheckedNormal);
             c.n("L2")->CheckState = csCheckedDisabled;
         },
         "P", csUncheckedNormal, csMixedNormal, csMixedNormal, csUncheckedNormal, csCheckedDisabled, csUncheckedNormal},
        {"checking the grandparent reaches every box", [](CheckTree&) {}, "G", csCheckedNormal, csCheckedNormal,
         csCheckedNormal, csCheckedNormal, csCheckedNormal, csCheckedNormal},
        {"radio and plain children are neither changed nor counted",
         [](CheckTree& c) {
             c.t->SetCheckType(c.n("L2"), ctRadioButton);
             c.t->SetCheckType(c.n("Q"), ctNone);
         },
         "G", csCheckedNormal, csCheckedNormal, csCheckedNormal, csCheckedNormal, csUncheckedNormal, csUncheckedNormal},
        {"a disabled node ignores writes", [](CheckTree& c) { c.t->SetDisabled(c.n("L1"), true); }, "L1", csCheckedNormal,
         csUncheckedNormal, csUncheckedNormal, csUncheckedNormal, csUncheckedNormal, csUncheckedNormal},
        {"read-only refuses every change",
         [](CheckTree& c) { c.t->TreeOptions().SetMiscOptions(c.t->TreeOptions().MiscOptions() + toReadOnly); }, "G",
         csCheckedNormal, csUncheckedNormal, csUncheckedNormal, csUncheckedNormal, csUncheckedNormal, csUncheckedNormal},
        {"a refusing parent stops the propagation", [](CheckTree& c) { c.refuse = QStringLiteral("P"); }, "L1",
         csCheckedNormal, csUncheckedNormal, csUncheckedNormal, csCheckedNormal, csUncheckedNormal, csUncheckedNormal},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        CheckTree c;
        r.setUp(c);
        c.events.clear();
        c.t->SetCheckState(c.n(r.node), r.value);
        EXPECT_EQ(c.s("G"), r.g);
        EXPECT_EQ(c.s("P"), r.p);
        EXPECT_EQ(c.s("L1"), r.l1);
        EXPECT_EQ(c.s("L2"), r.l2);
        EXPECT_EQ(c.s("Q"), r.q);
    }
}

TEST(CheckStates, ARefusingAncestorLeavesTheChildWithoutOnChecked)
{
    CheckTree c;
    c.refuse = QStringLiteral("G");
    c.t->SetCheckState(c.n("L1"), csCheckedNormal);
    // P changed but G refused: P gets no OnChecked, L1 does.
    EXPECT_EQ(c.s("P"), csMixedNormal);
    EXPECT_EQ(c.s("G"), csUncheckedNormal);
    EXPECT_FALSE(c.events.contains(QStringLiteral("checked P")));
    EXPECT_TRUE(c.events.contains(QStringLiteral("checked L1")));
}

TEST(CheckStates, RadioButtonsAreExclusiveWithoutEvents)
{
    CheckTree c;
    for (const char* name : {"L1", "L2"})
        c.t->SetCheckType(c.n(name), ctRadioButton);
    c.t->SetCheckState(c.n("L1"), csCheckedNormal);
    c.events.clear();
    c.t->SetCheckState(c.n("L2"), csCheckedNormal);
    EXPECT_EQ(c.s("L1"), csUncheckedNormal);
    EXPECT_EQ(c.s("L2"), csCheckedNormal);
    EXPECT_EQ(c.events, (QStringList{QStringLiteral("checking L2=2"), QStringLiteral("checked L2")}));
}

TEST(CheckStates, TypesCountsAndBulkOperations)
{
    CheckTree c;
    c.n("P")->CheckState = csMixedNormal;
    c.t->SetCheckType(c.n("P"), ctCheckBox);
    EXPECT_EQ(c.s("P"), csUncheckedNormal) << "only tri-state boxes are mixed";
    // A new check box under a decided tri-state parent takes its state.
    c.t->SetCheckState(c.n("G"), csCheckedNormal);
    PLazyNode extra = c.t.add(QStringLiteral("G/X"));
    c.t->SetCheckType(extra, ctCheckBox);
    EXPECT_EQ(extra->CheckState, csCheckedNormal);

    c.n("L1")->CheckState = csCheckedPressed;
    c.n("L2")->CheckState = csCheckedDisabled;
    const uint32_t checked = c.t->CheckedCount();
    EXPECT_EQ(checked, 4u) << "G, P, Q, X: pressed and disabled boxes do not count";

    c.t->ClearChecked();
    EXPECT_EQ(c.t->CheckedCount(), 0u);
    EXPECT_EQ(c.s("L2"), csUncheckedNormal);
    c.n("L2")->CheckState = csCheckedDisabled;
    c.t->SetCheckStateForAll(csCheckedNormal, false, true);
    EXPECT_EQ(c.s("L2"), csCheckedDisabled) << "disabled states excluded";
}

// --- accessibility registry -------------------------------------------------------------------

namespace {
class FakeProvider : public ILTAccessibleProvider {
public:
    explicit FakeProvider(QAccessibleInterface* answer) : m_answer(answer) {}
    QAccessibleInterface* CreateIAccessible(TBaseLazyTree*) override
    {
        ++asked;
        return m_answer;
    }
    int asked = 0;

private:
    QAccessibleInterface* m_answer;
};
} // namespace

TEST(Accessibility, ProvidersAnswerForTheTreeAndItsItem)
{
    TLTAccessibilityFactory& f = TLTAccessibilityFactory::GetAccessibilityFactory();
    NamedTree t;
    EXPECT_EQ(f.CreateIAccessible(t.tree), nullptr) << "no provider registered";
    auto* objectA = reinterpret_cast<QAccessibleInterface*>(0x1000);
    auto p0 = std::make_shared<FakeProvider>(objectA);
    auto p1 = std::make_shared<FakeProvider>(nullptr);
    f.RegisterAccessibleProvider(p0);
    f.RegisterAccessibleProvider(p0);
    EXPECT_EQ(f.ProviderCount(), 1);
    f.RegisterAccessibleProvider(p1);
    EXPECT_EQ(f.CreateIAccessible(t.tree), objectA) << "the tree object comes from the first provider";
    t->SetAccessible(objectA, nullptr);
    EXPECT_EQ(f.CreateIAccessible(t.tree), objectA) << "the item object falls back to the first provider";
    EXPECT_EQ(p1->asked, 1);
    f.UnRegisterAccessibleProvider(std::make_shared<FakeProvider>(nullptr));
    EXPECT_EQ(f.ProviderCount(), 2);
    f.UnRegisterAccessibleProvider(p0);
    f.UnRegisterAccessibleProvider(p1);
    EXPECT_EQ(f.ProviderCount(), 0);
    EXPECT_EQ(f.CreateIAccessible(nullptr), nullptr);
}
