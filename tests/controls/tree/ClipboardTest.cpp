// Clipboard formats, the data object and cut, copy and paste through the real clipboard of the
// offscreen platform: within one tree and between two, the marks and pending states, a paste
// that fails, refused moves and copies, flushing, and payloads from outside that are refused.
#include "TextTreeSupport.h"

#include "controls/tree/LazyDrawTree.h"
#include "controls/tree/LazyTreeTransfer.h"
#include "platform/exchange/NamedFormats.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QtEndian>
#include <gtest/gtest.h>

using namespace controls;
using namespace treetest;

namespace {

const QString kDataMime = QStringLiteral("application/x-varnetor-tree-nodes");
const QString kReferenceMime = QStringLiteral("application/x-varnetor-tree-reference");

// A tree with A(A1,A2),B,C that offers every format its class knows.
struct ClipTree : TextTree {
    ClipTree()
    {
        PLazyNode a = add(nullptr, {QStringLiteral("A")});
        add(a, {QStringLiteral("A1")});
        add(a, {QStringLiteral("A2")});
        add(nullptr, {QStringLiteral("B")});
        add(nullptr, {QStringLiteral("C")});
        QStringList all;
        TClipboardFormatList::EnumerateFormats(tree->metaObject(), all);
        tree->ClipboardFormats().Assign(all);
        tree->TreeOptions().SetSelectionOptions({toMultiSelect});
    }
    void select(std::initializer_list<const char*> names)
    {
        tree->ClearSelection();
        for (const char* n : names)
            tree->AddToSelection(find(QString::fromLatin1(n)));
    }
    QString marked()
    {
        QStringList out;
        for (PLazyNode n = tree->GetFirstNoInit(); n; n = tree->GetNextNoInit(n))
            if (n->States.contains(vsCutOrCopy))
                out << texts(n).value(0);
        return out.join(QLatin1Char(','));
    }
};

void clearClipboard() { QGuiApplication::clipboard()->clear(); }

TFormatEtc formatOf(uint16_t id)
{
    TFormatEtc f;
    f.cfFormat = id;
    return f;
}

} // namespace

TEST(ClipboardFormats, RegistryOrderLookupsAndTheTreesList)
{
    QStringList names;
    TClipboardFormatList::EnumerateFormats(&TLazyStringTree::staticMetaObject, names);
    EXPECT_EQ(names, (QStringList{"Lazy Tree Data", "HTML Format", "Rich Text Format Without Objects", "Rich Text Format",
                                  "CSV", "Unicode text", "Plain text"}));
    QStringList base;
    TClipboardFormatList::EnumerateFormats(&TLazyDrawTree::staticMetaObject, base);
    EXPECT_EQ(base, QStringList{"Lazy Tree Data"});
    uint16_t id = 0;
    EXPECT_EQ(TClipboardFormatList::FindFormat(QStringLiteral("html format"), id), &TCustomLazyStringTree::staticMetaObject);
    EXPECT_EQ(id, CF_HTML());
    QString description;
    EXPECT_EQ(TClipboardFormatList::FindFormat(CF_TEXT, description), &TCustomLazyStringTree::staticMetaObject);
    EXPECT_EQ(description, QStringLiteral("Plain text"));
    // "Lazy Tree Reference" has an id but is not in the list.
    EXPECT_NE(CF_LTREFERENCE(), 0);
    EXPECT_EQ(TClipboardFormatList::FindFormat(QStringLiteral("Lazy Tree Reference")), nullptr);

    std::unique_ptr<TLazyDrawTree> draw(TBaseLazyTree::create<TLazyDrawTree>());
    EXPECT_EQ(draw->ClipboardFormats().Add(QStringLiteral("HTML Format")), -1);
    EXPECT_EQ(draw->ClipboardFormats().Add(QStringLiteral("Lazy Tree Data")), 0);
    EXPECT_EQ(draw->ClipboardFormats().Add(QStringLiteral("No Such Format")), -1);
    EXPECT_EQ(draw->ClipboardFormats().Count(), 1);
    TFormatEtcArray offered;
    draw->GetNativeClipboardFormats(offered);
    ASSERT_EQ(offered.size(), 1u);
    EXPECT_EQ(offered[0].cfFormat, CF_LAZYTREE());
}

TEST(ClipboardFormats, AnEmptyListOffersOnlyWhatTheOwnerAdds)
{
    TextTree t;
    t.add(nullptr, {QStringLiteral("A")});
    t->AddToSelection(t.find(QStringLiteral("A")));
    const uint16_t mine = RegisterClipboardFormat(QStringLiteral("Meter List"));
    t->OnGetUserClipboardFormats = [&](TBaseLazyTree*, TFormatEtcArray& formats) { formats.push_back(formatOf(mine)); };
    t->OnRenderOLEData = [&](TBaseLazyTree*, const TFormatEtc& in, TStgMedium& medium, bool, HRESULT& result) {
        if (in.cfFormat == mine) {
            medium.tymed = TYMED_HGLOBAL;
            medium.data = "meters";
            result = S_OK;
        }
    };
    t->CopyToClipboard();
    const QMimeData* data = platform::clipboardMimeData();
    ASSERT_NE(data, nullptr);
    EXPECT_FALSE(data->hasFormat(kDataMime));
    EXPECT_FALSE(data->hasText());
    EXPECT_EQ(data->data(QStringLiteral("application/x-qt-windows-mime;value=\"Meter List\"")), QByteArray("meters"));
    EXPECT_TRUE(t->TreeStates().contains(tsCopyPending));
    clearClipboard();
    EXPECT_FALSE(t->TreeStates().contains(tsCopyPending));
}

TEST(ClipboardFormats, DataObjectAnswersQueriesAndEnumeratesItsFormats)
{
    ClipTree t;
    auto object = std::make_shared<TLTDataObject>(t.tree.get(), false);
    ASSERT_EQ(object->Formats().size(), 7u);
    EXPECT_EQ(object->QueryGetData(formatOf(CF_HTML())), S_OK);
    TFormatEtc wrong = formatOf(CF_HTML());
    wrong.tymed = TYMED_FILE;
    EXPECT_EQ(object->QueryGetData(wrong), DV_E_TYMED);
    wrong = formatOf(CF_HTML());
    wrong.dwAspect = 4;
    EXPECT_EQ(object->QueryGetData(wrong), DV_E_DVASPECT);
    wrong = formatOf(CF_HTML());
    wrong.lindex = 0;
    EXPECT_EQ(object->QueryGetData(wrong), DV_E_LINDEX);
    EXPECT_EQ(object->QueryGetData(formatOf(RegisterClipboardFormat(QStringLiteral("Unknown")))), DV_E_FORMATETC);
    TFormatEtc any;
    EXPECT_EQ(object->GetCanonicalFormatEtc(any, any), DATA_S_SAMEFORMATETC);

    std::unique_ptr<TEnumFormatEtc> enumerator;
    EXPECT_EQ(object->EnumFormatEtc(DATADIR_SET, enumerator), OLE_S_USEREG);
    EXPECT_EQ(enumerator, nullptr);
    ASSERT_EQ(object->EnumFormatEtc(DATADIR_GET, enumerator), S_OK);
    EXPECT_EQ(enumerator->Skip(5), S_OK);
    TFormatEtcArray got;
    uint32_t fetched = 0;
    EXPECT_EQ(enumerator->Next(3, got, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 2u);
    EXPECT_EQ(got[1].cfFormat, CF_TEXT);
    EXPECT_EQ(enumerator->Skip(1), S_FALSE);
    EXPECT_EQ(enumerator->Reset(), S_OK);
    std::unique_ptr<TEnumFormatEtc> clone;
    EXPECT_EQ(enumerator->Clone(clone), S_OK);
    EXPECT_EQ(clone->Next(1, got, &fetched), S_OK);
    EXPECT_EQ(got[0].cfFormat, CF_LAZYTREE());

    // With nothing selected there is no payload; a medium handed in is served as stored.
    TStgMedium medium;
    EXPECT_EQ(object->GetData(formatOf(CF_LAZYTREE()), medium), E_FAIL);
    EXPECT_EQ(object->SetData(formatOf(CF_LAZYTREE()), TStgMedium{TYMED_HGLOBAL, "stored"}), S_OK);
    EXPECT_EQ(object->GetData(formatOf(CF_LAZYTREE()), medium), S_OK);
    EXPECT_EQ(medium.data, QByteArray("stored"));
    EXPECT_EQ(object->GetDataHere(any, medium), E_NOTIMPL);
    // The reference names the tree of this process.
    ASSERT_EQ(object->GetData(formatOf(CF_LTREFERENCE()), medium), S_OK);
    EXPECT_EQ(ResolveTreeReference(medium.data), t.tree.get());
}

TEST(ClipboardFormats, ReferencesOnlyNameLiveTreesOfThisProcess)
{
    QByteArray reference;
    {
        ClipTree t;
        reference = MakeTreeReference(t.tree.get());
        EXPECT_EQ(ResolveTreeReference(reference), t.tree.get());
        QByteArray foreign = reference;
        qToLittleEndian<uint32_t>(qFromLittleEndian<uint32_t>(foreign.constData()) + 1, foreign.data());
        EXPECT_EQ(ResolveTreeReference(foreign), nullptr);
        EXPECT_EQ(ResolveTreeReference(reference.left(11)), nullptr);
    }
    EXPECT_EQ(ResolveTreeReference(reference), nullptr);
}

TEST(Clipboard, CopyAndPasteBetweenTwoTreesCarriesTheTextsAndKeepsTheSource)
{
    ClipTree a;
    ClipTree b;
    a.select({"A", "A1", "C"}); // A1 travels inside A
    a->CopyToClipboard();
    EXPECT_EQ(a.marked(), QStringLiteral("A,A1,C"));
    EXPECT_TRUE(a->TreeStates().contains(tsCopyPending));
    const QMimeData* data = platform::clipboardMimeData();
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->text(), QStringLiteral("A\r\n\tA1\r\nC\r\n"));
    EXPECT_TRUE(data->hasFormat(kReferenceMime));

    QStringList copied;
    b->OnNodeCopied = [&](TBaseLazyTree*, PLazyNode n) { copied << b.texts(n).value(0); };
    b->SetFocusedNode(b.find(QStringLiteral("B")));
    b->SetDefaultPasteMode(amInsertAfter);
    EXPECT_TRUE(b->PasteFromClipboard());
    EXPECT_EQ(b.shape(), QStringLiteral("A(A1,A2),B,A(A1,A2),C,C"));
    EXPECT_EQ(copied, (QStringList{"A", "C"}));
    EXPECT_EQ(a.shape(), QStringLiteral("A(A1,A2),B,C"));
    EXPECT_TRUE(a->TreeStates().contains(tsCopyPending));

    // Copying again while a cut is pending: the old object goes, its marks and states with it.
    a.select({"B"});
    a->CutToClipboard();
    EXPECT_EQ(a.marked(), QStringLiteral("B"));
    EXPECT_TRUE(a->TreeStates().contains(tsCutPending));
    a.select({"C"});
    a->CopyToClipboard();
    EXPECT_EQ(a.marked(), QStringLiteral("C"));
    EXPECT_FALSE(a->TreeStates().contains(tsCutPending));
    EXPECT_TRUE(a->TreeStates().contains(tsCopyPending));
    clearClipboard();
    EXPECT_EQ(a.marked(), QString());
}

TEST(Clipboard, CutAndPasteInOneTreeMovesTheNodes)
{
    ClipTree t;
    PLazyNode c = t.find(QStringLiteral("C"));
    t.select({"C"});
    t->CutToClipboard();
    int copies = 0;
    t->OnNodeCopying = [&](TBaseLazyTree*, PLazyNode, PLazyNode, bool&) { ++copies; };
    t->SetFocusedNode(t.find(QStringLiteral("A")));
    t->SetDefaultPasteMode(amAddChildFirst);
    EXPECT_TRUE(t->PasteFromClipboard());
    EXPECT_EQ(t.shape(), QStringLiteral("A(C,A1,A2),B"));
    EXPECT_EQ(t.find(QStringLiteral("C")), c);
    EXPECT_EQ(copies, 0);
    EXPECT_FALSE(t->TreeStates().contains(tsCutPending));
    EXPECT_EQ(t.marked(), QString());
}

TEST(Clipboard, CutInOneTreePastedInAnotherRemovesOnlyWhatMoved)
{
    ClipTree a;
    ClipTree b;
    a.select({"A", "C"});
    a->CutToClipboard();
    // A's move is refused: A stays in its tree, only C moves.
    a->OnNodeMoving = [&](TBaseLazyTree*, PLazyNode n, PLazyNode, bool& allowed) { allowed = a.texts(n).value(0) != "A"; };
    int copies = 0;
    b->OnNodeCopying = [&](TBaseLazyTree*, PLazyNode, PLazyNode, bool&) { ++copies; };
    b->SetFocusedNode(nullptr);
    b->SetDefaultPasteMode(amAddChildLast);
    EXPECT_TRUE(b->PasteFromClipboard());
    EXPECT_EQ(b.shape(), QStringLiteral("A(A1,A2),B,C,C"));
    EXPECT_EQ(copies, 0);
    EXPECT_EQ(a.shape(), QStringLiteral("A(A1,A2),B"));
    EXPECT_FALSE(a->TreeStates().contains(tsCutPending));
    EXPECT_EQ(a.marked(), QString());
}

TEST(Clipboard, CutThenFailedPasteChangesNothing)
{
    ClipTree a;
    ClipTree b;
    a.select({"B"});
    a->CutToClipboard();
    b->TreeOptions().SetMiscOptions(b->TreeOptions().MiscOptions() + toReadOnly);
    EXPECT_FALSE(b->PasteFromClipboard());
    // A tree that refuses the data by itself says so too.
    b->TreeOptions().SetMiscOptions(b->TreeOptions().MiscOptions() - toReadOnly);
    EXPECT_FALSE(b->ProcessOLEData(a.tree.get(), nullptr, nullptr, amAddChildLast, true));
    EXPECT_EQ(b.shape(), QStringLiteral("A(A1,A2),B,C"));
    EXPECT_EQ(a.shape(), QStringLiteral("A(A1,A2),B,C"));
    EXPECT_TRUE(a->TreeStates().contains(tsCutPending));
    EXPECT_EQ(a.marked(), QStringLiteral("B"));
}

TEST(Clipboard, DisabledNodesAreNotMarkedAndReadOnlyTreesDoNotCut)
{
    ClipTree t;
    t->SetDisabled(t.find(QStringLiteral("B")), true);
    t.select({"A", "B"});
    t->CopyToClipboard();
    EXPECT_EQ(t.marked(), QStringLiteral("A"));
    clearClipboard();
    t->TreeOptions().SetMiscOptions(t->TreeOptions().MiscOptions() + toReadOnly);
    t->CutToClipboard();
    EXPECT_FALSE(t->TreeStates().contains(tsCutPending));
    EXPECT_EQ(t.marked(), QString());
}

TEST(Clipboard, FlushLeavesPlainCopiesWithoutTheReference)
{
    ClipTree t;
    t.select({"B"});
    t->CopyToClipboard();
    t->FlushClipboard();
    EXPECT_FALSE(t->TreeStates().contains(tsCopyPending));
    EXPECT_EQ(t.marked(), QString());
    const QMimeData* data = platform::clipboardMimeData();
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(dynamic_cast<const platform::LazyMimeData*>(data), nullptr);
    EXPECT_FALSE(data->hasFormat(kReferenceMime));
    EXPECT_EQ(data->text(), QStringLiteral("B\r\n"));
    EXPECT_TRUE(data->hasFormat(kDataMime));
    // Pasted from the flushed copy, the nodes are copies (the tree is not known any more).
    ClipTree other;
    EXPECT_TRUE(other->PasteFromClipboard());
    EXPECT_EQ(other.shape(), QStringLiteral("A(A1,A2),B,C,B"));
    // A tree destroyed while its data is on the clipboard leaves the plain copies there.
    {
        ClipTree gone;
        gone.select({"C"});
        gone->CopyToClipboard();
    }
    EXPECT_EQ(platform::clipboardMimeData()->text(), QStringLiteral("C\r\n"));
    clearClipboard();
}

TEST(Clipboard, CopiedNodesKeepTheirOrderAndARefusedCopyIsRemoved)
{
    ClipTree a;
    ClipTree b;
    a.select({"A", "B", "C"});
    a->CopyToClipboard();
    b->OnNodeCopying = [&](TBaseLazyTree*, PLazyNode n, PLazyNode, bool& allowed) { allowed = b.texts(n).value(0) != "B"; };
    b->SetFocusedNode(b.find(QStringLiteral("A1")));
    b->SetDefaultPasteMode(amAddChildFirst);
    EXPECT_TRUE(b->PasteFromClipboard());
    EXPECT_EQ(b.shape(), QStringLiteral("A(A1(A(A1,A2),C),A2),B,C"));
    clearClipboard();
}

TEST(Clipboard, MalformedNodeDataFromOutsideIsRefusedWhole)
{
    ClipTree source;
    source.select({"A", "C"});
    auto object = std::make_shared<TLTDataObject>(source.tree.get(), false);
    TStgMedium medium;
    ASSERT_EQ(object->GetData(formatOf(CF_LAZYTREE()), medium), S_OK);
    const QByteArray good = medium.data;
    ASSERT_TRUE(ReadTreeDataPayload(good).has_value());

    QByteArray longer = good;
    qToLittleEndian<uint32_t>(uint32_t(good.size()), longer.data()); // claims 4 bytes beyond the block
    QByteArray cut = good;
    cut.chop(3);
    qToLittleEndian<uint32_t>(uint32_t(cut.size() - 4), cut.data()); // consistent length, record cut short
    QByteArray empty(4, '\0');
    for (const QByteArray& bad : {longer, cut, empty, QByteArray("\x01\x00", 2)}) {
        EXPECT_FALSE(ReadTreeDataPayload(bad).has_value());
        ClipTree target;
        QMimeData data;
        data.setData(kDataMime, bad);
        EXPECT_FALSE(target->ProcessOLEData(nullptr, &data, nullptr, amAddChildLast, false));
        EXPECT_EQ(target.shape(), QStringLiteral("A(A1,A2),B,C"));
    }
    ClipTree target;
    QMimeData data;
    data.setData(kDataMime, good);
    EXPECT_TRUE(target->ProcessOLEData(nullptr, &data, nullptr, amAddChildLast, false));
    EXPECT_EQ(target.shape(), QStringLiteral("A(A1,A2),B,C,A(A1,A2),C"));
}
