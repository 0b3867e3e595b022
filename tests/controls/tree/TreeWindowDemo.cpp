// A window for the end-to-end run of the lazy tree (tests/e2e/tree_window.sh): a string tree
// with the scan window's options showing 3 meters with 4 records of 12 lines each, check boxes
// on meters and records, an image per level, and a log line on standard output for every
// expansion, collapse, check, focus and selection change. Nodes can be renamed in place (F2)
// and dragged onto other nodes, which takes them in as their last child; renames, the start of
// a drag and every move are logged too.
//
// Layout: the tree fills the window's client area (500 x 420) without a border, rows of 18
// pixels, the standard font of the tests (DejaVu Sans, 11 pixels) and the Fusion style.
#include "controls/tree/LazyStringTree.h"
#include "platform/draw/Graphics.h"

#include <QApplication>
#include <QFont>
#include <QHash>
#include <QStyleFactory>
#include <QWidget>
#include <cstdio>

using namespace controls;

namespace {

// The 8 bytes of a node: which meter, record or line it is.
struct Item {
    int16_t meter;
    int16_t record;
    int16_t line;
    int16_t level;
};

const char* const kLines[12] = {"Storage Number = 0", "Tariff = 0",       "Unit = 0",   "Data Field = 4",
                                "Function Field = 0", "Type = Energy",    "Value = 1234",
                                "DIF = 4",            "VIF = $03",        "DIFE = ",    "VIFE = ", "DATA = $D2040000"};

QString textOf(const Item& item)
{
    switch (item.level) {
    case 0:
        return QStringLiteral("Meter %1 - Primary Address = %1").arg(item.meter + 1);
    case 1:
        return QStringLiteral("Record %1 of meter %2").arg(item.record + 1).arg(item.meter + 1);
    default:
        return QString::fromLatin1(kLines[item.line]);
    }
}

const char* stateName(TCheckState s)
{
    switch (s) {
    case csCheckedNormal:
        return "checked";
    case csMixedNormal:
        return "mixed";
    case csUncheckedNormal:
        return "unchecked";
    default:
        return "pressed";
    }
}

void log(const QString& line)
{
    std::fputs(line.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(11);
    QApplication::setFont(f);

    QWidget window;
    window.setWindowTitle(QStringLiteral("Lazy Tree"));
    window.resize(500, 420);
    auto* tree = TBaseLazyTree::create<TLazyStringTree>(&window);
    tree->setGeometry(0, 0, 500, 420);
    tree->SetBorderStyle(bsNone);

    auto& o = tree->TreeOptions();
    o.SetAnimationOptions({toAnimatedToggle});
    o.SetAutoOptions({toAutoDropExpand, toAutoTristateTracking});
    o.SetMiscOptions({toCheckSupport, toFullRepaintOnResize, toInitOnSave, toToggleOnDblClick, toWheelPanning, toEditable,
                      toAcceptOLEDrop});
    o.SetPaintOptions({toShowButtons, toShowRoot, toShowTreeLines, toThemeAware, toUseBlendedImages});
    o.SetSelectionOptions({toMultiSelect, toCenterScrollIntoView});

    // One image per level: blue meters, green records, grey lines.
    platform::TImageList images(16, 16);
    for (platform::Color c : {platform::rgb(40, 90, 200), platform::rgb(40, 160, 60), platform::rgb(150, 150, 150)}) {
        platform::Bitmap b(16, 16, platform::clFuchsia);
        for (int y = 3; y < 13; ++y)
            for (int x = 3; x < 13; ++x)
                b.setPixel(x, y, c);
        images.AddMasked(b, platform::clFuchsia);
    }
    tree->SetImages(&images);

    tree->SetNodeDataSize(sizeof(Item));
    auto item = [](PLazyNode n) { return *reinterpret_cast<const Item*>(NodeDataAddress(n)); };
    // Names given in the tree, by node.
    QHash<PLazyNode, QString> renamed;
    auto nameOf = [&](PLazyNode n) { return renamed.value(n, textOf(item(n))); };
    tree->OnGetText = [&](TBaseLazyTree*, PLazyNode n, TColumnIndex, TVSTTextType type, QString& text) {
        if (type == ttNormal)
            text = nameOf(n);
    };
    tree->OnFreeNode = [&](TBaseLazyTree*, PLazyNode n) { renamed.remove(n); };
    tree->OnNewText = [&](TBaseLazyTree*, PLazyNode n, TColumnIndex, const QString& text) {
        log(QStringLiteral("renamed %1 to %2").arg(nameOf(n), text));
        renamed.insert(n, text);
    };
    // Dragging nodes onto others within the tree.
    tree->ClipboardFormats().Add(QStringLiteral("Lazy Tree Data"));
    tree->OnDragAllowed = [](TBaseLazyTree*, PLazyNode, TColumnIndex, bool& allowed) { allowed = true; };
    tree->OnStartDrag = [&](TBaseLazyTree*, QObject*&) { log(QStringLiteral("drag started")); };
    tree->OnDragOver = [](TBaseLazyTree*, QObject*, TShiftState, TDragState, QPoint, TDropMode mode, unsigned&,
                          bool& accept) { accept = mode == dmOnNode; };
    tree->OnDragDrop = [](TBaseLazyTree* sender, QObject*, const QMimeData* data, const std::vector<uint16_t>&,
                          TShiftState, QPoint, unsigned& effect, TDropMode) {
        sender->ProcessDrop(data, sender->DropTargetNode(), effect, amAddChildLast);
    };
    tree->OnNodeMoved = [&](TBaseLazyTree* sender, PLazyNode n) {
        const PLazyNode parent = sender->NodeParent(n);
        log(QStringLiteral("moved %1 under %2").arg(nameOf(n), parent ? nameOf(parent) : QStringLiteral("the top")));
    };
    tree->OnInitNode = [&](TBaseLazyTree* sender, PLazyNode, PLazyNode n, TLazyNodeInitStates&) {
        if (item(n).level < 2) {
            sender->SetCheckType(n, ctCheckBox);
            n->CheckState = csCheckedNormal;
        }
    };
    tree->OnGetImageIndexEx = [&](TBaseLazyTree*, PLazyNode n, TLTImageKind kind, TColumnIndex, bool&, int& index,
                                  platform::TImageList*&) {
        if (kind == ikNormal || kind == ikSelected)
            index = item(n).level;
    };
    tree->OnExpanded = [&](TBaseLazyTree*, PLazyNode n) { log(QStringLiteral("expanded ") + textOf(item(n))); };
    tree->OnCollapsed = [&](TBaseLazyTree*, PLazyNode n) { log(QStringLiteral("collapsed ") + textOf(item(n))); };
    tree->OnChecking = [](TBaseLazyTree*, PLazyNode, TCheckState&, bool& allowed) { allowed = true; };
    tree->OnChecked = [&](TBaseLazyTree*, PLazyNode n) {
        log(QStringLiteral("checked %1 %2").arg(textOf(item(n)), QString::fromLatin1(stateName(n->CheckState))));
    };
    tree->OnFocusChanged = [&](TBaseLazyTree*, PLazyNode n, TColumnIndex) {
        log(QStringLiteral("focus ") + (n ? textOf(item(n)) : QStringLiteral("none")));
    };
    tree->OnChange = [&](TBaseLazyTree* sender, PLazyNode) {
        QStringList selected;
        for (PLazyNode n = sender->GetFirstSelected(); n; n = sender->GetNextSelected(n))
            selected << textOf(item(n));
        log(QStringLiteral("selection ") + selected.join(QStringLiteral(", ")));
    };

    tree->BeginUpdate();
    for (int m = 0; m < 3; ++m) {
        PLazyNode meter = tree->AddChild(nullptr);
        *tree->GetNodeData<Item>(meter) = Item{int16_t(m), 0, 0, 0};
        for (int r = 0; r < 4; ++r) {
            PLazyNode record = tree->AddChild(meter);
            *tree->GetNodeData<Item>(record) = Item{int16_t(m), int16_t(r), 0, 1};
            for (int l = 0; l < 12; ++l) {
                PLazyNode line = tree->AddChild(record);
                *tree->GetNodeData<Item>(line) = Item{int16_t(m), int16_t(r), int16_t(l), 2};
            }
        }
    }
    tree->EndUpdate();

    window.show();
    tree->setFocus();
    log(QStringLiteral("ready"));
    return app.exec();
}
