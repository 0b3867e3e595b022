// The string tree: texts from the owner, the default text, the width cache, node heights,
// paths, incremental-search comparison, hints, restoring the selection by text, and the CSV
// file.
#include "TreeTestSupport.h"

#include "controls/tree/LazyStringTree.h"
#include "support/TempDir.h"

#include <QApplication>
#include <QFile>
#include <QFontMetrics>
#include <gtest/gtest.h>

using namespace controls;
using namespace treetest;

namespace {

// Nodes whose text is their number in a table of names.
struct TextTree {
    std::unique_ptr<TLazyStringTree> tree{TBaseLazyTree::create<TLazyStringTree>()};
    QStringList texts;
    int asked = 0;
    TextTree()
    {
        tree->SetNodeDataSize(sizeof(void*));
        tree->OnGetText = [this](TBaseLazyTree*, PLazyNode n, TColumnIndex, TVSTTextType type, QString& text) {
            ++asked;
            if (type != ttNormal)
                return;
            const auto i = *reinterpret_cast<intptr_t*>(NodeDataAddress(n));
            if (i >= 0 && i < texts.size())
                text = texts[i];
        };
    }
    // The text's index travels as the user data, so the node has its text from the start.
    PLazyNode add(PLazyNode parent, const QString& text)
    {
        texts << text;
        return tree->AddChild(parent, reinterpret_cast<void*>(intptr_t(texts.size() - 1)));
    }
};

} // namespace

TEST(StringTree, DefaultTextWhenTheHandlerLeavesTheText)
{
    auto tree = std::unique_ptr<TLazyStringTree>(TBaseLazyTree::create<TLazyStringTree>());
    PLazyNode n = tree->AddChild(nullptr);
    EXPECT_EQ(tree->GetText(n, NoColumn), QStringLiteral("Node"));
    tree->OnGetText = [](TBaseLazyTree*, PLazyNode, TColumnIndex, TVSTTextType, QString&) {};
    EXPECT_EQ(tree->GetText(n, NoColumn), QStringLiteral("Node"));
    tree->SetDefaultText(QStringLiteral("(none)"));
    EXPECT_EQ(tree->GetText(n, NoColumn), QStringLiteral("(none)"));
    EXPECT_EQ(tree->GetStaticText(n, NoColumn), QString());
    try {
        tree->GetText(nullptr, NoColumn);
        FAIL();
    } catch (const ELazyTreeAssertion& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Node must not be nil."));
    }
}

TEST(StringTree, TheStringTreeHasItsOwnOptionsAndTheWidthCache)
{
    TextTree t;
    EXPECT_TRUE(dynamic_cast<TStringTreeOptions*>(&t.tree->TBaseLazyTree::TreeOptions()));
    EXPECT_EQ(t.tree->TreeOptions().StringOptions(), (TLTStringOptions{toSaveCaptions, toAutoAcceptEditChange}));
    PLazyNode a = t.add(nullptr, QStringLiteral("Alpha"));
    int32_t* cache = t.tree->GetTextWidthCache(a);
    ASSERT_NE(cache, nullptr);
    EXPECT_EQ(*cache, 0) << "measured when first needed";
    t.tree->show();
    const QRect text = [&] {
        const platform::Rect r = t.tree->GetDisplayRect(a, NoColumn, true);
        return r.toQRect();
    }();
    const int expected = QFontMetrics(t.tree->font()).horizontalAdvance(QStringLiteral("Alpha")) + 2 * t.tree->TextMargin();
    EXPECT_EQ(text.width(), expected);
    EXPECT_EQ(*cache, expected);
    t.asked = 0;
    t.tree->GetDisplayRect(a, NoColumn, true);
    EXPECT_EQ(t.asked, 0) << "the cached width is used";
    t.texts[0] = QStringLiteral("Alphabet");
    t.tree->InvalidateNode(a);
    EXPECT_EQ(*cache, 0);
    EXPECT_GT(t.tree->GetDisplayRect(a, NoColumn, true).width(), expected);
    const int32_t before = *cache;
    QFont bigger = t.tree->font();
    bigger.setPixelSize(20);
    t.tree->setFont(bigger);
    EXPECT_GT(*cache, before) << "a font change measures again";
    EXPECT_EQ(t.tree->GetTextWidthCache(nullptr), nullptr);
}

TEST(StringTree, PathsAndHeights)
{
    TextTree t;
    PLazyNode a = t.add(nullptr, QStringLiteral("A"));
    PLazyNode b = t.add(a, QStringLiteral("B"));
    PLazyNode c = t.add(b, QStringLiteral("C"));
    EXPECT_EQ(t.tree->Path(a, NoColumn, QLatin1Char('/')), QStringLiteral("A/"));
    EXPECT_EQ(t.tree->Path(c, NoColumn, QLatin1Char('\\')), QStringLiteral("A\\B\\C\\"));
    EXPECT_EQ(t.tree->Path(nullptr, NoColumn, QLatin1Char('/')), QStringLiteral("/"));
    EXPECT_EQ(t.tree->Path(t.tree->RootNode(), NoColumn, QLatin1Char('/')), QStringLiteral("/"));

    const int line = QFontMetrics(t.tree->font()).height();
    EXPECT_EQ(t.tree->ComputeNodeHeight(nullptr, a, NoColumn), line);
    t.tree->resize(120, 200);
    t.tree->show();
    t.texts[1] = QStringLiteral("a long text that wraps over several lines in a narrow tree");
    t.tree->SetMultiline(b, true);
    EXPECT_GT(t.tree->ComputeNodeHeight(nullptr, b, NoColumn), 2 * line);
}

TEST(StringTree, IncrementalSearchComparesTheStartOfTheText)
{
    TextTree t;
    t.tree->SetIncrementalSearch(isAll);
    t.tree->SetIncrementalSearchTimeout(1000);
    for (const char* text : {"apple", "banana", "avocado", "aardvark", "blueberry"})
        t.add(nullptr, QString::fromLatin1(text));
    t.tree->show();
    int beeps = 0;
    t.tree->MessageBeep = [&] { ++beeps; };
    // Two letters quickly: the first node starting with them.
    t.tree->HandleIncrementalSearch('b');
    t.tree->HandleIncrementalSearch('l');
    EXPECT_EQ(t.tree->GetText(t.tree->FocusedNode(), NoColumn), QStringLiteral("blueberry"));
    EXPECT_EQ(t.tree->SearchBuffer(), QStringLiteral("bl"));
    // No match beeps and keeps the buffer.
    t.tree->HandleIncrementalSearch('x');
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(t.tree->SearchBuffer(), QStringLiteral("bl"));
    // Backspace searches back for the shortened text.
    t.tree->HandleIncrementalSearch(8);
    EXPECT_EQ(t.tree->SearchBuffer(), QStringLiteral("b"));
    EXPECT_EQ(t.tree->GetText(t.tree->FocusedNode(), NoColumn), QStringLiteral("banana"));
}

TEST(StringTree, HintsAndTooltips)
{
    TextTree t;
    PLazyNode a = t.add(nullptr, QStringLiteral("Meter 12"));
    TLTHintLineBreakStyle style = hlbForceMultiLine;
    EXPECT_EQ(t.tree->DoGetNodeTooltip(a, NoColumn, style), QStringLiteral("Meter 12"));
    EXPECT_EQ(style, hlbDefault);
    t.tree->OnGetHint = [](TBaseLazyTree*, PLazyNode, TColumnIndex, TLTHintLineBreakStyle& s, QString& hint) {
        hint = QStringLiteral("hint");
        s = hlbForceSingleLine;
    };
    EXPECT_EQ(t.tree->DoGetNodeHint(a, NoColumn, style), QStringLiteral("hint"));
    EXPECT_EQ(style, hlbForceSingleLine);
    EXPECT_EQ(t.tree->DoGetNodeTooltip(a, NoColumn, style), QStringLiteral("hint"));
}

TEST(StringTree, RestoreSelectionByText)
{
    TextTree t;
    t.tree->TreeOptions().SetSelectionOptions({toMultiSelect, toRestoreSelection});
    PLazyNode a = t.add(nullptr, QStringLiteral("Meter A"));
    PLazyNode b = t.add(nullptr, QStringLiteral("Meter B"));
    t.add(nullptr, QStringLiteral("Meter C"));
    t.tree->SetSelected(a, true);
    t.tree->SetSelected(b, true);
    // Clearing the tree keeps the remembered texts; nodes added again with them are selected.
    t.tree->Clear();
    EXPECT_EQ(t.tree->SelectedCount(), 0u);
    PLazyNode again = t.add(nullptr, QStringLiteral("meter a"));
    EXPECT_TRUE(again->States.contains(vsSelected)) << "texts compare case-insensitively";
    PLazyNode other = t.add(nullptr, QStringLiteral("Meter C"));
    EXPECT_FALSE(other->States.contains(vsSelected));
    PLazyNode bAgain = t.add(nullptr, QStringLiteral("Meter B"));
    EXPECT_TRUE(bAgain->States.contains(vsSelected));
    EXPECT_EQ(t.tree->SelectedCount(), 2u);
    // Unselecting forgets the text.
    t.tree->SetSelected(bAgain, false);
    t.tree->DeleteNode(bAgain);
    EXPECT_FALSE(t.add(nullptr, QStringLiteral("Meter B"))->States.contains(vsSelected));
    EXPECT_EQ(checkInvariants(*t.tree), QString());
}

TEST(StringTree, CsvFileWritesEachTopLevelText)
{
    testing_support::TempDir dir;
    TextTree t;
    PLazyNode a = t.add(nullptr, QStringLiteral("Meter \"12\""));
    t.add(a, QStringLiteral("child not written"));
    t.add(nullptr, QStringLiteral(""));
    t.add(nullptr, QStringLiteral("Zähler"));
    EXPECT_FALSE(t.tree->SaveToCSVFile(QString(), true));
    const QString path = dir.path() + QStringLiteral("/tree.csv");
    ASSERT_TRUE(t.tree->SaveToCSVFile(path, true));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("\r\n\"Meter \"\"12\"\"\"\r\n\" \"\r\n\"Z\xE4hler\"\r\n"));
    f.close();
    ASSERT_TRUE(t.tree->SaveToCSVFile(path, false));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().startsWith("\"Meter"));
    EXPECT_THROW(t.tree->SaveToCSVFile(dir.path() + QStringLiteral("/no/such/folder/x.csv"), false), platform::Exception);
}

TEST(StringTree, PaintsTheOwnersTextButNotTheDefault)
{
    TextTree t;
    t.tree->resize(220, 100);
    PLazyNode a = t.add(nullptr, QStringLiteral("WWWW"));
    t.tree->show();
    auto inkIn = [&](const QRect& r) {
        const QImage img = t.tree->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        int ink = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                if (qGray(img.pixel(x, y)) < 100)
                    ++ink;
        return ink;
    };
    const QRect textArea(26, 0, 80, 18);
    EXPECT_GT(inkIn(textArea), 10);
    // A handler that leaves the text paints nothing, though GetText answers "Node".
    t.tree->OnGetText = [](TBaseLazyTree*, PLazyNode, TColumnIndex, TVSTTextType, QString&) {};
    t.tree->InvalidateNode(a);
    EXPECT_EQ(inkIn(textArea), 0);
    EXPECT_EQ(t.tree->GetText(a, NoColumn), QStringLiteral("Node"));
}

TEST(StringTree, ItemQueriesOfThePlatformTreeControl)
{
    TextTree t;
    PLazyNode a = t.add(nullptr, QStringLiteral("Alpha"));
    PLazyNode a1 = t.add(a, QStringLiteral("Alpha one"));
    PLazyNode b = t.add(nullptr, QStringLiteral("Beta"));
    t.tree->resize(200, 40);
    t.tree->show();
    EXPECT_EQ(t.tree->GetNextItem(TVGN_ROOT, nullptr), a);
    EXPECT_EQ(t.tree->GetNextItem(TVGN_NEXT, a), b);
    EXPECT_EQ(t.tree->GetNextItem(TVGN_PARENT, a), nullptr) << "a top-level node has none";
    EXPECT_EQ(t.tree->GetNextItem(TVGN_PARENT, a1), a);
    EXPECT_EQ(t.tree->GetNextItem(TVGN_CHILD, a), a1);
    EXPECT_EQ(t.tree->GetNextItem(TVGN_NEXTVISIBLE, a), b);
    EXPECT_EQ(t.tree->GetNextItem(TVGN_NEXT, nullptr), nullptr);
    // The focused node even when it is scrolled out of view.
    for (int i = 0; i < 10; ++i)
        t.add(nullptr, QStringLiteral("more %1").arg(i));
    PLazyNode last = t.tree->RootNode()->LastChild;
    t.tree->SetFocusedNode(last);
    t.tree->SetOffsetY(0);
    EXPECT_EQ(t.tree->GetNextItem(TVGN_CARET, nullptr), last);

    platform::Rect r{1, 2, 3, 4};
    EXPECT_FALSE(t.tree->GetItemRect(a1, false, r)) << "inside a collapsed parent";
    EXPECT_EQ(r, (platform::Rect{1, 2, 3, 4}));
    EXPECT_TRUE(t.tree->GetItemRect(b, false, r));
    EXPECT_EQ(r.top, 18);

    TLTItemInfo info;
    info.mask = TVIF_HANDLE | TVIF_TEXT | TVIF_CHILDREN | TVIF_STATE;
    info.hItem = a;
    info.cchTextMax = 4;
    EXPECT_TRUE(t.tree->GetItem(info));
    EXPECT_EQ(info.pszText, QStringLiteral("Alp")) << "at most cchTextMax - 1 characters";
    EXPECT_EQ(info.cChildren, 1);
    EXPECT_EQ(info.stateMask, 0xFF2Fu);
    EXPECT_EQ(info.state & (TVIS_FOCUSED | TVIS_EXPANDED), 0u);
    info.mask = TVIF_TEXT;
    EXPECT_FALSE(t.tree->GetItem(info)) << "without TVIF_HANDLE";
}
