// The tree stream: the bytes the writer puts down, the golden streams of tests/data/tree read
// and written back byte for byte, user and caption chunks, and the refusal of every truncated
// or inflated stream with the tree left as it was.
#include "TreeTestSupport.h"
#include "controls/tree/LazyStringTree.h"
#include "support/TempDir.h"

#include <QBuffer>
#include <QDataStream>
#include <QtEndian>
#include <gtest/gtest.h>
#include <memory>
#include <new>

using namespace controls;
using namespace treetest;
using testing_support::dataFile;
using testing_support::hexBytes;
using testing_support::toHex;

namespace {

// A string tree whose nodes keep their caption in their user data, given by OnGetText and
// taken back by OnNewText.
class CaptionTree {
public:
    CaptionTree()
        : tree(TBaseLazyTree::create<TLazyStringTree>())
    {
        tree->SetNodeDataSize(int(sizeof(QString)));
        tree->OnFreeNode = [](TBaseLazyTree*, PLazyNode node) { textOf(node).~QString(); };
        tree->OnGetText = [](TBaseLazyTree*, PLazyNode node, TColumnIndex, TVSTTextType, QString& text) {
            text = textOf(node);
        };
        tree->OnNewText = [](TBaseLazyTree* sender, PLazyNode node, TColumnIndex, const QString& text) {
            *static_cast<QString*>(sender->GetNodeData(node)) = text;
        };
    }
    ~CaptionTree() { delete tree; }
    static QString& textOf(PLazyNode node) { return *reinterpret_cast<QString*>(NodeDataAddress(node)); }
    PLazyNode add(PLazyNode parent, const QString& text)
    {
        PLazyNode n = tree->AddChild(parent);
        *static_cast<QString*>(tree->GetNodeData(n)) = text;
        return n;
    }
    // "Meters(Meter 1[x](Volume,Energy)),Other": captions in document order, children in
    // brackets, [x] for a checked node and * for a selected one.
    QString shape(PLazyNode parent = nullptr)
    {
        QStringList parts;
        for (PLazyNode n = (parent ? parent : tree->RootNode())->FirstChild; n; n = n->NextSibling) {
            QString s = textOf(n);
            if (n->CheckState == csCheckedNormal)
                s += QStringLiteral("[x]");
            if (n->States.contains(vsSelected))
                s += QLatin1Char('*');
            if (n->FirstChild)
                s += QLatin1Char('(') + shape(n) + QLatin1Char(')');
            parts << s;
        }
        return parts.join(QLatin1Char(','));
    }
    TLazyStringTree* tree;
};

// The three-level tree of tests/data/tree/three_levels_captions.tree.
void buildThreeLevels(CaptionTree& t)
{
    PLazyNode meters = t.add(nullptr, QStringLiteral("Meters"));
    PLazyNode meter = t.add(meters, QStringLiteral("Meter 1"));
    t.add(meter, QStringLiteral("Volume"));
    t.add(meter, QStringLiteral("Energy"));
    t.add(nullptr, QStringLiteral("Other"));
    t.tree->SetCheckType(meter, ctCheckBox);
    t.tree->SetCheckState(meter, csCheckedNormal);
    t.tree->SetExpanded(meters, true);
    t.tree->SetExpanded(meter, true);
}

QByteArray saved(TBaseLazyTree& tree)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    tree.SaveToStream(buffer);
    return buffer.data();
}

// Loads the bytes; the help context of the error, 0 when they loaded.
int load(TBaseLazyTree& tree, const QByteArray& bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    try {
        tree.LoadFromStream(buffer);
    } catch (const ELazyTreeError& e) {
        return e.HelpContext();
    }
    return 0;
}

// The offsets of the ChildCount fields of every base chunk in a version-2 stream, found by
// walking the chunks as the layout describes them.
void childCountOffsets(const QByteArray& s, qsizetype pos, qsizetype end, std::vector<qsizetype>& out)
{
    auto i32 = [&](qsizetype at) { return qFromLittleEndian<int32_t>(s.constData() + at); };
    while (pos < end) {
        const qsizetype nodeEnd = pos + 8 + i32(pos + 4);
        qsizetype p = pos + 8;
        while (p < nodeEnd) {
            const int32_t type = i32(p);
            const int32_t size = i32(p + 4);
            if (type == 2) {
                out.push_back(p + 8);
                childCountOffsets(s, p + 8 + 19, p + 8 + size, out);
            }
            p += 8 + size;
        }
        pos = nodeEnd;
    }
}

} // namespace

TEST(TreeStream, EmptyTreeAndOneUninitialisedNodeGiveTheBytesOfTheLayout)
{
    NamedTree t;
    EXPECT_EQ(toHex(saved(*t)), QStringLiteral("45 20 56 00 54 00 02 00 20 00 46 20 00 00 00 00"));

    auto* plain = TBaseLazyTree::create<TBaseLazyTree>();
    plain->TreeOptions().SetMiscOptions(plain->TreeOptions().MiscOptions() - toInitOnSave);
    plain->SetRootNodeCount(1);
    EXPECT_EQ(toHex(saved(*plain)), QStringLiteral("45 20 56 00 54 00 02 00 20 00 46 20 01 00 00 00 "
                                                   "01 00 00 00 1B 00 00 00 02 00 00 00 13 00 00 00 "
                                                   "00 00 00 00 12 00 00 00 80 00 00 00 32 00 00 00 00 00 00"));
    delete plain;
}

TEST(TreeStream, UserChunksCarryWhatTheHandlersWriteAndReadOnlyTheirOwnBytes)
{
    auto* tree = TBaseLazyTree::create<TBaseLazyTree>();
    tree->TreeOptions().SetMiscOptions(tree->TreeOptions().MiscOptions() - toInitOnSave);
    tree->SetRootNodeCount(2);
    // A handler that writes nothing leaves no user chunk.
    tree->OnSaveNode = [](TBaseLazyTree*, PLazyNode, QIODevice&) {};
    const QByteArray bare = saved(*tree);
    EXPECT_EQ(bare.size(), 16 + 2 * 35);
    tree->OnSaveNode = [](TBaseLazyTree*, PLazyNode node, QIODevice& s) {
        s.write(node->Index == 0 ? QByteArray("\x0A\x0B\x0C\x0D", 4) : QByteArray("\x01\x02\x03\x04", 4));
    };
    const QByteArray withUser = saved(*tree);
    EXPECT_EQ(toHex(withUser.mid(16, 47)), QStringLiteral("01 00 00 00 27 00 00 00 02 00 00 00 13 00 00 00 "
                                                          "00 00 00 00 12 00 00 00 80 00 00 00 32 00 00 00 00 00 00 "
                                                          "04 00 00 00 04 00 00 00 0A 0B 0C 0D"));
    // A reader that takes only part of its chunk, and one that asks for more than it holds,
    // leave the next chunks and nodes alone.
    QByteArrayList seen;
    auto* other = TBaseLazyTree::create<TBaseLazyTree>();
    other->OnLoadNode = [&](TBaseLazyTree*, PLazyNode node, QIODevice& s) {
        seen << (node == other->RootNode()->FirstChild ? s.read(2) : s.read(100));
    };
    EXPECT_EQ(load(*other, withUser), 0);
    EXPECT_EQ(other->RootNodeCount(), 2u);
    ASSERT_EQ(seen.size(), 2);
    EXPECT_EQ(seen[0], QByteArray("\x0A\x0B", 2));
    EXPECT_EQ(seen[1], QByteArray("\x01\x02\x03\x04", 4));
    EXPECT_EQ(checkInvariants(*other), QString());
    delete other;
    delete tree;
}

TEST(TreeStream, GoldenThreeLevelTreeIsWrittenByteForByteAndReadBackEqual)
{
    const QByteArray golden = dataFile(QStringLiteral("tree/three_levels_captions.tree"));
    CaptionTree built;
    buildThreeLevels(built);
    EXPECT_EQ(toHex(saved(*built.tree)), toHex(golden));

    CaptionTree read;
    std::vector<PLazyNode> copied;
    read.tree->OnNodeCopied = [&](TBaseLazyTree*, PLazyNode node) { copied.push_back(node); };
    ASSERT_EQ(load(*read.tree, golden), 0);
    EXPECT_EQ(read.shape(), QStringLiteral("Meters(Meter 1[x](Volume,Energy)),Other"));
    EXPECT_EQ(copied, std::vector<PLazyNode>{nullptr});
    PLazyNode meter = read.tree->RootNode()->FirstChild->FirstChild;
    EXPECT_EQ(meter->CheckType, ctCheckBox);
    EXPECT_TRUE(meter->States.contains(vsExpanded));
    EXPECT_TRUE(meter->States.contains(vsInitialized));
    EXPECT_EQ(read.tree->VisibleCount(), 5u);
    EXPECT_EQ(checkInvariants(*read.tree), QString());
    EXPECT_EQ(toHex(saved(*read.tree)), toHex(golden));
}

TEST(TreeStream, VersionOneStreamIsReadToItsEnd)
{
    NamedTree t;
    t->TreeOptions().SetSelectionOptions(t->TreeOptions().SelectionOptions() + toMultiSelect);
    ASSERT_EQ(load(*t, dataFile(QStringLiteral("tree/version1.tree"))), 0);
    ASSERT_EQ(t->RootNodeCount(), 2u);
    PLazyNode a = t->RootNode()->FirstChild;
    PLazyNode a1 = a->FirstChild;
    PLazyNode b = a->NextSibling;
    ASSERT_NE(a1, nullptr);
    EXPECT_TRUE(a->States.contains(vsExpanded));
    EXPECT_TRUE(a->States.contains(vsVisible));
    EXPECT_FALSE(a->States.contains(vsSelected));
    // Bit 7 of a version-1 record is the selection; every node is visible.
    EXPECT_TRUE(a1->States.contains(vsSelected));
    EXPECT_TRUE(a1->States.contains(vsVisible));
    EXPECT_EQ(t->SelectedCount(), 1u);
    EXPECT_EQ(b->NodeHeight, 25);
    EXPECT_EQ(t->VisibleCount(), 3u);
    EXPECT_EQ(checkInvariants(*t), QString());
    // Without multi-selection nothing read is selected.
    NamedTree single;
    ASSERT_EQ(load(*single, dataFile(QStringLiteral("tree/version1.tree"))), 0);
    EXPECT_EQ(single->SelectedCount(), 0u);
    EXPECT_FALSE(single->RootNode()->FirstChild->FirstChild->States.contains(vsSelected));
}

TEST(TreeStream, BadHeadersAreRefusedWithTheirErrors)
{
    const QByteArray golden = dataFile(QStringLiteral("tree/three_levels_captions.tree"));
    struct Case {
        const char* name;
        QByteArray bytes;
        int error;
    };
    QByteArray version3 = golden;
    version3[6] = 3;
    QByteArray magic = golden;
    magic[0] = 0x44;
    QByteArray lastMagic = golden;
    lastMagic[11] = 0x21;
    QByteArray spaceChanged = golden; // value 4 is not checked
    spaceChanged[8] = 0x7F;
    const Case cases[] = {
        {"version 3", version3, 2003},        {"first value", magic, 2002},
        {"last value", lastMagic, 2002},      {"11 bytes", golden.left(11), 2004},
        {"no count", golden.left(14), 2004},  {"value 4 is free", spaceChanged, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CaptionTree t;
        EXPECT_EQ(load(*t.tree, c.bytes), c.error);
    }
    try {
        CaptionTree t;
        QBuffer buffer;
        buffer.setData(version3);
        buffer.open(QIODevice::ReadOnly);
        t.tree->LoadFromStream(buffer);
        FAIL() << "no error";
    } catch (const ELazyTreeError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Unable to load tree structure, the version is unknown."));
    }
}

TEST(TreeStream, EveryTruncationAndEveryInflatedCountIsRefusedAndTheTreeStaysAsItWas)
{
    const QByteArray golden = dataFile(QStringLiteral("tree/three_levels_captions.tree"));
    CaptionTree t;
    PLazyNode keep = t.add(nullptr, QStringLiteral("Keep"));
    t.add(keep, QStringLiteral("Child"));
    t.tree->SetExpanded(keep, true);
    const QString before = t.shape();
    auto unchanged = [&] {
        EXPECT_EQ(t.shape(), before);
        EXPECT_EQ(checkInvariants(*t.tree), QString());
    };
    for (qsizetype size = 0; size < golden.size(); ++size) {
        SCOPED_TRACE(size);
        const int error = load(*t.tree, golden.left(size));
        EXPECT_TRUE(error == 2004 || error == 2005 || error == 2006) << error;
        unchanged();
    }
    std::vector<qsizetype> counts{12};
    childCountOffsets(golden, 16, golden.size(), counts);
    ASSERT_EQ(counts.size(), 6u);
    for (qsizetype at : counts)
        for (uint32_t add : {1u, 2u, 1000u, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
            SCOPED_TRACE(QStringLiteral("count at %1 + %2").arg(at).arg(add).toStdString());
            QByteArray inflated = golden;
            const uint64_t raised = uint64_t(qFromLittleEndian<uint32_t>(golden.constData() + at)) + add;
            const uint32_t value = uint32_t(std::min<uint64_t>(raised, 0xFFFFFFFFu));
            qToLittleEndian(value, inflated.data() + at);
            const int error = load(*t.tree, inflated);
            EXPECT_TRUE(error == 2005 || error == 2006) << error;
            unchanged();
        }
}

TEST(TreeStream, ANodeNeverInitialisedKeepsItsChildrenInTheStream)
{
    auto* tree = TBaseLazyTree::create<TBaseLazyTree>();
    tree->TreeOptions().SetMiscOptions(tree->TreeOptions().MiscOptions() - toInitOnSave);
    tree->SetRootNodeCount(1);
    PLazyNode top = tree->RootNode()->FirstChild;
    ASSERT_FALSE(top->States.contains(vsInitialized));
    tree->SetChildCount(top, 3);
    tree->SetChildCount(top->FirstChild, 2);
    const QByteArray bytes = saved(*tree);
    auto* other = TBaseLazyTree::create<TBaseLazyTree>();
    other->TreeOptions().SetMiscOptions(other->TreeOptions().MiscOptions() - toInitOnSave);
    ASSERT_EQ(load(*other, bytes), 0);
    EXPECT_EQ(other->RootNode()->TotalCount, 7u);
    EXPECT_EQ(other->RootNode()->FirstChild->ChildCount, 3u);
    EXPECT_EQ(checkInvariants(*other), QString());
    EXPECT_EQ(saved(*other), bytes);
    delete other;
    delete tree;
}

TEST(TreeStream, RecordsNestedTooDeeplyAreRefused)
{
    auto chain = [](int depth) {
        // One record per level, each the only child of the one before.
        QByteArray records;
        for (int level = depth - 1; level >= 0; --level) {
            QByteArray base;
            QDataStream s(&base, QIODevice::WriteOnly);
            s.setByteOrder(QDataStream::LittleEndian);
            s << quint32(level == depth - 1 ? 0 : 1) << quint32(18) << quint32(0x81) << quint8(50) << quint8(0)
              << quint8(0) << quint32(0);
            base += records;
            QByteArray node;
            QDataStream n(&node, QIODevice::WriteOnly);
            n.setByteOrder(QDataStream::LittleEndian);
            n << qint32(1) << qint32(base.size() + 8) << qint32(2) << qint32(base.size());
            records = node + base;
        }
        return hexBytes("45 20 56 00 54 00 02 00 20 00 46 20 01 00 00 00") + records;
    };
    NamedTree t;
    EXPECT_EQ(load(*t, chain(MaxTreeStreamDepth)), 0);
    EXPECT_EQ(t->RootNode()->TotalCount, uint32_t(MaxTreeStreamDepth) + 1);
    EXPECT_EQ(load(*t, chain(MaxTreeStreamDepth + 1)), 2006);
    EXPECT_EQ(t->RootNode()->TotalCount, uint32_t(MaxTreeStreamDepth) + 1);
}

TEST(TreeStream, AddFromStreamAppendsUnderTheTargetAndOnLoadTreeReadsWhatFollows)
{
    CaptionTree source;
    buildThreeLevels(source);
    source.tree->OnSaveTree = [](TBaseLazyTree*, QIODevice& s) { s.write("tail"); };
    const QByteArray bytes = saved(*source.tree);

    CaptionTree target;
    PLazyNode host = target.add(nullptr, QStringLiteral("Host"));
    target.add(host, QStringLiteral("First"));
    std::vector<PLazyNode> completed;
    target.tree->OnNodeCopied = [&](TBaseLazyTree*, PLazyNode node) { completed.push_back(node); };
    QByteArray tail;
    target.tree->OnLoadTree = [&](TBaseLazyTree*, QIODevice& s) { tail = s.readAll(); };
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    target.tree->AddFromStream(buffer, host);
    EXPECT_EQ(target.shape(), QStringLiteral("Host(First,Meters(Meter 1[x](Volume,Energy)),Other)"));
    EXPECT_EQ(completed, std::vector<PLazyNode>{host});
    EXPECT_TRUE(tail.isEmpty()); // OnLoadTree belongs to LoadFromStream
    EXPECT_EQ(checkInvariants(*target.tree), QString());

    buffer.seek(0);
    target.tree->LoadFromStream(buffer);
    EXPECT_EQ(tail, QByteArray("tail"));
    EXPECT_EQ(target.shape(), QStringLiteral("Meters(Meter 1[x](Volume,Energy)),Other"));
}

TEST(TreeStream, FilesAreWrittenWholeAndAFailedLoadKeepsTheTree)
{
    testing_support::TempDir dir;
    CaptionTree source;
    buildThreeLevels(source);
    const QString path = dir.file(QStringLiteral("meters.tree"));
    source.tree->SaveToFile(path);
    EXPECT_EQ(dir.read(QStringLiteral("meters.tree")), dataFile(QStringLiteral("tree/three_levels_captions.tree")));

    CaptionTree read;
    read.add(nullptr, QStringLiteral("Before"));
    EXPECT_THROW(read.tree->LoadFromFile(dir.file(QStringLiteral("missing.tree"))), ELazyTreeError);
    EXPECT_EQ(read.shape(), QStringLiteral("Before"));
    read.tree->LoadFromFile(path);
    EXPECT_EQ(read.shape(), QStringLiteral("Meters(Meter 1[x](Volume,Energy)),Other"));
    // A read-only tree loads nothing.
    read.tree->TreeOptions().SetMiscOptions(read.tree->TreeOptions().MiscOptions() + toReadOnly);
    EXPECT_EQ(load(*read.tree, hexBytes("45 20 56 00 54 00 02 00 20 00 46 20 00 00 00 00")), 0);
    EXPECT_EQ(read.tree->RootNodeCount(), 2u);
    read.tree->TreeOptions().SetMiscOptions(read.tree->TreeOptions().MiscOptions() - toReadOnly);
}
