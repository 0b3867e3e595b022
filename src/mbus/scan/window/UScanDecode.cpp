#include "mbus/scan/window/UScanDecode.h"

#include "controls/button/FormButton.h"
#include "controls/grid/input/GridInput.h"
#include "controls/tree/LazyStringTree.h"
#include "mbus/scan/window/ScanDecodeTexts.h"
#include "mbus/scan/window/ScanDialogs.h"
#include "controls/grid/column/ColumnGrid.h"
#include "platform/draw/Canvas.h"
#include "platform/draw/Graphics.h"
#include "platform/fs/Files.h"
#include "platform/serial/CommInt.h"
#include "platform/text/UserError.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Timer.h"
#include "platform/ui/controls/Controls.h"
#include "workspace/Validators.h"
#include "workspace/Workspace.h"

#include <QAction>
#include <QCursor>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QStyledItemDelegate>

namespace mbus::scan {

using controls::PLazyNode;
using controls::TBaseLazyTree;
using controls::TLazyStringTree;
using workspace::text;
namespace ctl = platform::ctl;

namespace {

const QColor kBackground(0xF8, 0xF7, 0xED);

// The 8 bytes of a tree node: which meter, record and line it shows, and its level (0 meter,
// 1 record, 2 record line).
struct Item {
    int16_t meter;
    int16_t record;
    int16_t line;
    int16_t level;
};
static_assert(sizeof(Item) == 8);

const Item& itemOf(PLazyNode n) { return *reinterpret_cast<const Item*>(controls::NodeDataAddress(n)); }

// Layout of the set-up area.
constexpr int kSectionX = 16;
constexpr int kLabelX = 32;
constexpr int kFieldX = 176;
constexpr int kFieldHeight = 21;
constexpr int kRowStep = 24;
constexpr int kSectionStep = 32;
constexpr int kButtonLeft = 16;
constexpr int kButtonTop = 6;
constexpr int kButtonWidth = 110;
constexpr int kButtonHeight = 28;
constexpr int kButtonGap = 8;
// How long closing waits for the scan's closing commands before leaving them to the engine.
constexpr int kCloseWaitMs = 100;

ScanEnvironment& defaultEnvironment()
{
    static ScanEnvironment env;
    return env;
}

// The progress list: a line without "[NOT FOUND]" whole in blue; one with it in red, the
// address in a box 70 pixels wide and the mark after it.
class ProgressDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        platform::Canvas c(*painter);
        const platform::Rect item = platform::Rect::fromQRect(option.rect);
        const bool selected = option.state & QStyle::State_Selected;
        c.setBrush({selected ? platform::systemColor(13) : platform::clWhite, platform::BrushStyle::Solid});
        c.fillRect(item);
        c.setBkMode(platform::BkMode::Transparent);
        platform::Font f{option.font, platform::clBlue, 0};
        const ProgressLook look = progressLook(index.data().toString());
        const unsigned flags = platform::DT_SINGLELINE | platform::DT_VCENTER | platform::DT_NOPREFIX;
        if (!look.notFound) {
            c.setFont(f);
            platform::Rect r = item;
            c.drawText(look.first, r, flags | platform::DT_EXPANDTABS);
            return;
        }
        f.color = platform::clRed;
        c.setFont(f);
        platform::Rect first{item.left, item.top, item.left + 70, item.bottom};
        c.drawText(look.first, first, flags);
        platform::Rect rest{item.left + 70, item.top, item.left + 70 + item.width() - 71, item.bottom};
        c.drawText(look.rest, rest, flags);
    }
};

platform::Bitmap square(platform::Color colour)
{
    platform::Bitmap b(16, 16, platform::clFuchsia);
    for (int y = 3; y < 13; ++y)
        for (int x = 3; x < 13; ++x)
            b.setPixel(x, y, colour);
    return b;
}

// A meter's node, under it one node per record and under each record its twelve lines; the
// record nodes go into `records`.
PLazyNode addMeterNodes(TLazyStringTree* tree, int meter, size_t recordCount, std::vector<PLazyNode>& records)
{
    PLazyNode m = tree->AddChild(nullptr);
    *tree->GetNodeData<Item>(m) = Item{int16_t(meter), -1, 0, 0};
    for (size_t r = 0; r < recordCount; ++r) {
        PLazyNode record = tree->AddChild(m);
        *tree->GetNodeData<Item>(record) = Item{int16_t(meter), int16_t(r), 0, 1};
        records.push_back(record);
        for (int l = 0; l < kRecordLineCount; ++l) {
            PLazyNode line = tree->AddChild(record);
            *tree->GetNodeData<Item>(line) = Item{int16_t(meter), int16_t(r), int16_t(l), 2};
        }
    }
    return m;
}

QLabel* label(QWidget* parent, const char* name)
{
    QLabel* l = platform::addLabel(parent, QLatin1String(name), 0, 0, parent->font());
    return l;
}

} // namespace

void setScanWindowEnvironment(const ScanEnvironment& env) { defaultEnvironment() = env; }

QPoint keyDialogPlace(QPoint mouse, QSize dialog, const QRect& client)
{
    int x = mouse.x();
    int y = mouse.y();
    const int right = client.x() + client.width();
    const int bottom = client.y() + client.height();
    if (x + dialog.width() > right)
        x -= x + dialog.width() - right;
    if (y + dialog.height() > bottom)
        y -= y + dialog.height() - bottom;
    return {x, y};
}

TFScanDecode::TFScanDecode(QWidget* parent) : TFScanDecode(defaultEnvironment(), parent) {}

TFScanDecode::TFScanDecode(const ScanEnvironment& env, QWidget* parent) : platform::Form(parent), env_(env)
{
    // Made at program start: the window itself and its poll timer; the controls wait for the
    // first show (buildControls), the scan engine for the first use (engine()).
    setObjectName(QStringLiteral("FScanDecode"));
    setFont(platform::uiFont(QStringLiteral("Verdana"), 8));
    platform::setBackgroundColor(this, kBackground);
    T_InScan = new platform::Timer(this);
    T_InScan->setInterval(1000);
    T_InScan->onTimer = [this] { T_InScanTimer(); };
    setClientSize(kClientWidth, 523);
    Set_Lang();
}

void TFScanDecode::buildControls()
{
    createControls();
    FormCreate();
}

TFScanDecode::~TFScanDecode()
{
    // The engine ends its scan and its thread before the controls it reports to go.
    engine_.reset();
}

void TFScanDecode::setDialogs(TFInsertKeyWireless* key, TFScanModbusStart* start, TFModbusStartAdd_SD* perNode)
{
    keyDialog_ = key;
    startDialog_ = start;
    perNodeDialog_ = perNode;
}

TMBusScanDecode& TFScanDecode::engine()
{
    if (!engine_)
        engine_ = std::make_unique<TMBusScanDecode>(lists_, env_);
    return *engine_;
}

// --- creation ------------------------------------------------------------------------------------

void TFScanDecode::createControls()
{
    const QFont normal = font();
    const QFont bold = platform::uiFont(QStringLiteral("Verdana"), 8, true);

    P_Title = new QWidget(this);
    P_Title->setObjectName(QStringLiteral("P_Title"));
    P_Title->setGeometry(0, 0, kClientWidth, kTitleHeight);
    platform::setBackgroundColor(P_Title, Qt::white);
    const platform::Heading h = platform::addHeading(P_Title);
    L_SW_Code = h.code;
    L_SW_Desc = h.description;
    Label1 = platform::addLabel(P_Title, QStringLiteral("Label1"), kClientWidth - 80, 40, normal);
    Label1->hide();

    // The set-up area.
    P_Main = new QWidget(this);
    P_Main->setObjectName(QStringLiteral("P_Main"));
    auto combo = [&](const char* name, int width) {
        auto* c = new ctl::ComboBox(P_Main);
        c->setObjectName(QLatin1String(name));
        c->resize(width, kFieldHeight);
        return c;
    };
    auto edit = [&](const char* name, int width, const QString& textValue) {
        auto* e = new ctl::Edit(P_Main);
        e->setObjectName(QLatin1String(name));
        e->resize(width, kFieldHeight);
        e->setText(textValue);
        return e;
    };
    auto check = [&](const char* name) {
        auto* c = new ctl::CheckBox(P_Main);
        c->setObjectName(QLatin1String(name));
        c->resize(260, 19);
        return c;
    };
    L_ScanMethod = label(P_Main, "L_ScanMethod");
    CB_ScanMethod = combo("CB_ScanMethod", 160);
    L_ScanBy = label(P_Main, "L_ScanBy");
    CB_ScanBy = combo("CB_ScanBy", 160);
    L_HardwareType = label(P_Main, "L_HardwareType");
    CB_HardwareType = combo("CB_HardwareType", 160);
    L_IP = label(P_Main, "L_IP");
    E_IP1 = edit("E_IP1", 60, QStringLiteral("192"));
    E_IP2 = edit("E_IP2", 60, QStringLiteral("168"));
    E_IP3 = edit("E_IP3", 60, QStringLiteral("2"));
    E_IP4 = edit("E_IP4", 60, QStringLiteral("205"));
    L_IP_Dot1 = label(P_Main, "L_IP_Dot1");
    L_IP_Dot2 = label(P_Main, "L_IP_Dot2");
    L_IP_Dot3 = label(P_Main, "L_IP_Dot3");
    for (QLabel* dot : {L_IP_Dot1, L_IP_Dot2, L_IP_Dot3})
        platform::setLabelText(dot, QStringLiteral("."));
    L_ComPort = label(P_Main, "L_ComPort");
    CB_ComPort = combo("CB_ComPort", 140);
    Btn_COM_List = controls::addButton(P_Main, QStringLiteral("Btn_COM_List"), 0, 0, 24, 23);
    Btn_COM_List->setCaption(QStringLiteral("..."));
    Btn_COM_List->setHint(QStringLiteral("Update COM Ports List"));
    Btn_COM_List->onClick = [this](controls::TFxButton*) { Btn_COM_ListClick(); };
    L_Port = label(P_Main, "L_Port");
    E_Port = edit("E_Port", 60, QStringLiteral("502"));
    L_MBus_ParGen = platform::addLabel(P_Main, QStringLiteral("L_MBus_ParGen"), 0, 0, bold);
    L_MBus_Baud = label(P_Main, "L_MBus_Baud");
    CB_MBus_Baud = combo("CB_MBus_Baud", 100);
    CB_MBus_Baud->setItems({QStringLiteral("300"), QStringLiteral("600"), QStringLiteral("1200"), QStringLiteral("2400"),
                            QStringLiteral("4800"), QStringLiteral("9600"), QStringLiteral("19200"),
                            QStringLiteral("38400")});
    CB_MBus_Baud->setItemIndex(3);
    L_MBus_Parity = label(P_Main, "L_MBus_Parity");
    CB_MBus_Parity = combo("CB_MBus_Parity", 100);
    CB_MBus_Parity->setItems({QStringLiteral("NONE"), QStringLiteral("EVEN"), QStringLiteral("ODD")});
    CB_MBus_Parity->setItemIndex(1);
    L_wMBus_Mode = label(P_Main, "L_wMBus_Mode");
    CB_wMBus_Mode = combo("CB_wMBus_Mode", 100);
    CB_wMBus_Mode->setItems({QStringLiteral("S"), QStringLiteral("T"), QStringLiteral("N1"), QStringLiteral("N2"),
                             QStringLiteral("C")});
    CB_wMBus_Mode->setItemIndex(0);
    L_wMBus_Radio_Channel = label(P_Main, "L_wMBus_Radio_Channel");
    CB_wMBus_Radio_Channel = combo("CB_wMBus_Radio_Channel", 160);
    CB_wMBus_Radio_Channel->setItems({QStringLiteral("1a @ 4800 bps"), QStringLiteral("1b @ 4800 bps"),
                                      QStringLiteral("2a @ 2400 bps"), QStringLiteral("2b @ 2400 bps"),
                                      QStringLiteral("3a @ 4800 bps"), QStringLiteral("3b @ 4800 bps"),
                                      QStringLiteral("0 @ 19200 bps"), QStringLiteral("2a @ 4800 bps"),
                                      QStringLiteral("2b @ 4800 bps")});
    CB_wMBus_Radio_Channel->setItemIndex(0);
    L_Option_Scan = platform::addLabel(P_Main, QStringLiteral("L_Option_Scan"), 0, 0, bold);
    CB_Opt_App_Reset = check("CB_Opt_App_Reset");
    CB_Opt_SND_NKE = check("CB_Opt_SND_NKE");
    L_Opt_Cut_After = label(P_Main, "L_Opt_Cut_After");
    E_Opt_Cut_After = edit("E_Opt_Cut_After", 40, QStringLiteral("3"));
    CB_Opt_Use_Fix_C_Field = check("CB_Opt_Use_Fix_C_Field");
    CB_Opt_Use_Fix_C_Field->resize(140, 19);
    CB_Opt_Use_Fix_C_Field_Value = combo("CB_Opt_Use_Fix_C_Field_Value", 80);
    CB_Opt_Use_Fix_C_Field_Value->setItems({QStringLiteral("0x5X"), QStringLiteral("0x7X")});
    CB_Opt_Use_Fix_C_Field_Value->setItemIndex(0);
    CB_Opt_Check_BCD_to_Int = check("CB_Opt_Check_BCD_to_Int");
    CB_Opt_Enable_Remote_Scan = check("CB_Opt_Enable_Remote_Scan");

    for (ctl::ComboBox* c : {CB_HardwareType, CB_MBus_Baud, CB_MBus_Parity, CB_ScanBy, CB_ScanMethod})
        c->onChange = [this](ctl::ComboBox&) { CB_HardwareTypeChange(); };
    const std::pair<ctl::Edit*, ctl::Edit*> ipChain[] = {{E_IP1, E_IP2}, {E_IP2, E_IP3}, {E_IP3, E_IP4}, {E_IP4, nullptr}};
    for (const auto& [from, to] : ipChain)
        from->onKeyPress = [next = to](ctl::Edit&, QChar& key) { ctl::addressDot(key, next); };

    // Progress and the wired result.
    P_TreeView = new QWidget(this);
    P_TreeView->setObjectName(QStringLiteral("P_TreeView"));
    L_ScanProgress = platform::addLabel(P_TreeView, QStringLiteral("L_ScanProgress"), 16, 8, bold);
    L_Num_Slave = platform::addLabel(P_TreeView, QStringLiteral("L_Num_Slave"), 16, 8, bold);
    L_AvailableDevice = platform::addLabel(P_TreeView, QStringLiteral("L_AvailableDevice"), 16, 32, normal);
    LB_AvailableDevice = new QListWidget(P_TreeView);
    LB_AvailableDevice->setObjectName(QStringLiteral("LB_AvailableDevice"));
    LB_AvailableDevice->setItemDelegate(new ProgressDelegate(LB_AvailableDevice));
    LB_AvailableDevice->setUniformItemSizes(true);
    VST = TBaseLazyTree::create<TLazyStringTree>(P_TreeView);
    VST->setObjectName(QStringLiteral("VST"));

    // The wireless result.
    P_View_Wireless = new QWidget(this);
    P_View_Wireless->setObjectName(QStringLiteral("P_View_Wireless"));
    P_W_Table = new QWidget(P_View_Wireless);
    P_W_Table->setObjectName(QStringLiteral("P_W_Table"));
    XGR_Wireless = new controls::grid::TExtStringGridInput(P_W_Table);
    XGR_Wireless->setObjectName(QStringLiteral("XGR_Wireless"));
    VST_Wireless = TBaseLazyTree::create<TLazyStringTree>(P_View_Wireless);
    VST_Wireless->setObjectName(QStringLiteral("VST_Wireless"));

    // The buttons.
    P_Button = new QWidget(this);
    P_Button->setObjectName(QStringLiteral("P_Button"));
    platform::setBackgroundColor(P_Button, kBackground);
    auto button = [&](const char* name, int width) {
        auto* b = controls::addButton(P_Button, QLatin1String(name), kButtonLeft, kButtonTop, width, kButtonHeight);
        b->onClick = [this](controls::TFxButton* sender) { BtnClick(sender); };
        return b;
    };
    Btn_StartScan = button("Btn_StartScan", kButtonWidth);
    Btn_StopScan = button("Btn_StopScan", kButtonWidth);
    Btn_AbortScan = button("Btn_AbortScan", kButtonWidth);
    Btn_NewScan = button("Btn_NewScan", kButtonWidth);
    Btn_SaveConf = button("Btn_SaveConf", kButtonWidth);
    Btn_SaveConfManual = button("Btn_SaveConfManual", 150);

    // The cyclic test scan: a menu item that no control offers.
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    Ciclic1 = PopupMenu1->addAction(QStringLiteral("Scan Cyclic"));
    Ciclic1->setObjectName(QStringLiteral("Ciclic1"));
    connect(Ciclic1, &QAction::triggered, this, [this] { Ciclic1Click(); });
}

void TFScanDecode::setUpTree(TLazyStringTree* tree, bool wireless)
{
    using namespace controls;
    auto& o = tree->TreeOptions();
    o.SetMiscOptions({toCheckSupport, toFullRepaintOnResize, toInitOnSave, toToggleOnDblClick, toWheelPanning});
    o.SetPaintOptions({toShowButtons, toShowRoot, toShowTreeLines, toThemeAware, toUseBlendedImages});
    o.SetSelectionOptions({toCenterScrollIntoView});
    tree->SetImages(IL_Tree1.get());
    tree->SetNodeDataSize(sizeof(Item));
    tree->OnGetText = [this, wireless](TBaseLazyTree*, PLazyNode n, TColumnIndex, TVSTTextType type, QString& out) {
        if (type != ttNormal)
            return;
        const Item& it = itemOf(n);
        const TVariable_MBus* record = nullptr;
        if (wireless) {
            if (it.level == 0) {
                out = wirelessMeterCaption(wirelessShown_);
                return;
            }
            if (it.record >= 0 && size_t(it.record) < wirelessShown_.List_Var.size())
                record = &wirelessShown_.List_Var[size_t(it.record)];
        } else {
            if (it.meter < 0 || size_t(it.meter) >= wiredShown_.size())
                return;
            const TSlave_MBus& m = wiredShown_[size_t(it.meter)];
            if (it.level == 0) {
                out = meterCaption(m);
                return;
            }
            if (it.record >= 0 && size_t(it.record) < m.List_Var.size())
                record = &m.List_Var[size_t(it.record)];
        }
        if (!record)
            return;
        if (it.level == 1)
            out = wireless ? wirelessRecordCaption(*record) : recordCaption(*record);
        else
            out = recordLine(*record, it.line);
    };
    tree->OnInitNode = [this, wireless](TBaseLazyTree* sender, PLazyNode, PLazyNode n, TLazyNodeInitStates&) {
        const Item& it = itemOf(n);
        if (it.level >= 2)
            return;
        sender->SetCheckType(n, ctCheckBox);
        bool checked = true;
        if (wireless) {
            if (it.level == 0)
                checked = wirelessShown_.Enable;
            else if (it.record >= 0 && size_t(it.record) < wirelessShown_.List_Var.size())
                checked = wirelessShown_.List_Var[size_t(it.record)].Enable;
        }
        n->CheckState = checked ? csCheckedNormal : csUncheckedNormal;
    };
    tree->OnGetImageIndexEx = [](TBaseLazyTree*, PLazyNode n, TLTImageKind kind, TColumnIndex, bool&, int& index,
                                 platform::TImageList*&) {
        if (kind == ikNormal || kind == ikSelected)
            index = itemOf(n).level;
    };
    tree->OnChecking = [](TBaseLazyTree*, PLazyNode, TCheckState&, bool& allowed) { allowed = true; };
    if (!wireless)
        return; // the project writer reads the wired tree's marks when it saves
    tree->OnChecked = [this](TBaseLazyTree*, PLazyNode n) {
        // The meter the tree shows, whichever grid row is current meanwhile.
        const int index = wirelessTreeIndex_;
        const TCheckState state = n->CheckState;
        if (index < 0 || (state != csCheckedNormal && state != csUncheckedNormal))
            return;
        const bool on = state == csCheckedNormal;
        const Item it = itemOf(n);
        const bool isMeter = it.level == 0;
        if (it.level > 1)
            return;
        lists_.List_Slave_wMBus.with([&](std::vector<TSlave_wMBus>& list) {
            if (size_t(index) >= list.size())
                return;
            TSlave_wMBus& m = list[size_t(index)];
            if (isMeter)
                m.Enable = on;
            else if (it.record >= 0 && size_t(it.record) < m.List_Var.size())
                m.List_Var[size_t(it.record)].Enable = on;
        });
        if (isMeter)
            wirelessShown_.Enable = on;
        else if (it.record >= 0 && size_t(it.record) < wirelessShown_.List_Var.size())
            wirelessShown_.List_Var[size_t(it.record)].Enable = on;
    };
}

void TFScanDecode::FormCreate()
{
    IL_Tree1 = std::make_unique<platform::TImageList>(16, 16);
    for (platform::Color c : {platform::rgb(40, 90, 200), platform::rgb(40, 160, 60), platform::rgb(150, 150, 150)})
        IL_Tree1->AddMasked(square(c), platform::clFuchsia);
    IL_Wireless_Table = std::make_unique<platform::TImageList>(16, 16);
    for (platform::Color c : {platform::rgb(220, 40, 40), platform::rgb(40, 170, 60)})
        IL_Wireless_Table->AddMasked(square(c), platform::clFuchsia);

    setUpTree(VST, false);
    setUpTree(VST_Wireless, true);

    XGR_Wireless->SetColCount(kWirelessColumns);
    XGR_Wireless->SetRowCount(2);
    XGR_Wireless->SetFixedRows(1);
    XGR_Wireless->SetDefaultRowHeight(22);
    XGR_Wireless->setOptions(XGR_Wireless->options() | platform::goRowSelect);
    XGR_Wireless->SetGridImages(IL_Wireless_Table.get());
    const QStringList headers = wirelessHeaders();
    for (int c = 0; c < kWirelessColumns; ++c)
        XGR_Wireless->SetCells(c, 0, headers[c]);
    XGR_Wireless->OnClickCell = [this](controls::grid::TExtStringGridInput*, int row, int col) {
        XGR_WirelessClickCell(row, col);
    };
    XGR_Wireless->OnDblClickCell = [this](controls::grid::TExtStringGridEdit*, int row, int col) {
        XGR_WirelessDblClickCell(row, col, QCursor::pos());
    };

    CB_ScanMethod->setItemIndex(0);
    Colomns_Width_Init();
    P_W_Table->setGeometry(0, 0, kClientWidth, 200);
    Set_Lang();
    Move_Object_Type_Form();
    Form_Style(1);
}

void TFScanDecode::Set_Lang()
{
    setWindowTitle(text(1300));
    if (!controlsBuilt())
        return; // labelled when they are built
    platform::setLabelText(L_SW_Code, shownCaption(text(1301)));
    platform::setLabelText(L_SW_Desc, shownCaption(text(1302)));
    platform::setLabelText(L_ScanBy, shownCaption(text(1303)));
    CB_ScanBy->setItems({text(1304), text(1305)});
    CB_ScanBy->setItemIndex(0);
    platform::setLabelText(L_HardwareType, shownCaption(text(1306)));
    CB_HardwareType->setItems({text(1307), text(1308)});
    CB_HardwareType->setItemIndex(0);
    platform::setLabelText(L_IP, shownCaption(text(1309)));
    platform::setLabelText(L_ComPort, shownCaption(text(1310)));
    platform::setLabelText(L_MBus_ParGen, shownCaption(text(1311)));
    platform::setLabelText(L_MBus_Baud, shownCaption(text(1312)));
    platform::setLabelText(L_MBus_Parity, shownCaption(text(1313)));
    platform::setLabelText(L_Option_Scan, shownCaption(text(1314)));
    CB_Opt_App_Reset->setCaption(shownCaption(text(1315)));
    CB_Opt_SND_NKE->setCaption(shownCaption(text(1316)));
    platform::setLabelText(L_Opt_Cut_After, shownCaption(text(1317)));
    platform::setLabelText(L_ScanProgress, shownCaption(text(1318)));
    platform::setLabelText(L_AvailableDevice, shownCaption(text(1320)));
    Btn_StartScan->setCaption(text(1321));
    Btn_StopScan->setCaption(text(1322));
    Btn_AbortScan->setCaption(text(1323));
    Btn_NewScan->setCaption(text(1324));
    Btn_SaveConf->setCaption(text(1325));
    Btn_SaveConfManual->setCaption(text(1339));
    platform::setLabelText(L_ScanMethod, shownCaption(text(1331)));
    CB_ScanMethod->setItems({text(1332), text(1333)});
    CB_ScanMethod->setItemIndex(0);
    platform::setLabelText(L_wMBus_Mode, shownCaption(text(1334)));
    platform::setLabelText(L_wMBus_Radio_Channel, shownCaption(text(1335)));
    platform::setLabelText(L_Port, shownCaption(text(1336)));
    CB_Opt_Use_Fix_C_Field->setCaption(shownCaption(text(1340)));
    CB_Opt_Check_BCD_to_Int->setCaption(shownCaption(text(1341)));
    CB_Opt_Enable_Remote_Scan->setCaption(shownCaption(text(1342)));
    // The lists were refilled: their rows follow.
    Move_Object_Type_Form();
}

void TFScanDecode::Colomns_Width_Init()
{
    const std::array<int, kWirelessColumns> widths = wirelessWidths();
    for (int c = 0; c < kWirelessColumns; ++c)
        XGR_Wireless->setColWidths(c, widths[size_t(c)]);
}

// --- showing, layout and styles -------------------------------------------------------------------

void TFScanDecode::FormShow()
{
    Move_Object_Type_Form();
    Update_List_of_COM_Port();
    engine().Event_Run().SetEvent();
    if (parkTimer_)
        parkTimer_->setEnabled(false); // shown again: the engine steps
    const QString parGen = workspace::ws().Path_ParGen;
    if (platform::fileExists(parGen)) {
        const std::array<std::optional<QString>, 4> ip = readGatewayAddress(parGen, int(XML_Code_Dev));
        ctl::Edit* edits[] = {E_IP1, E_IP2, E_IP3, E_IP4};
        for (size_t i = 0; i < 4; ++i)
            if (ip[i])
                edits[i]->setText(*ip[i]);
    }
    Form_Style(1);
}

void TFScanDecode::done(int r)
{
    FormClose();
    platform::Form::done(r);
}

void TFScanDecode::FormClose()
{
    T_InScan->setEnabled(false);
    Cyclic_Scan = false;
    if (!engine_)
        return;
    // The scan ends through its closing states (analyzer or configuration mode off); the thread
    // parks once they are done. Waiting is bounded: what is left runs on without the window.
    if (engine_->Close_Scan(kCloseWaitMs))
        engine_->Event_Run().ResetEvent();
    else
        parkWhenIdle();
}

void TFScanDecode::parkWhenIdle()
{
    if (!parkTimer_) {
        parkTimer_ = new platform::Timer(this);
        parkTimer_->setInterval(100);
        parkTimer_->onTimer = [this] {
            if (!engine_ || engine_->InScan())
                return;
            parkTimer_->setEnabled(false);
            engine_->Event_Run().ResetEvent();
        };
    }
    parkTimer_->setEnabled(true);
}

void TFScanDecode::Move_Object_Type_Form()
{
    const bool wirelessOffered = Form_Type == 1;
    const bool wireless = wirelessOffered && CB_ScanMethod->itemIndex() == 1;
    const bool ethernet = CB_HardwareType->itemIndex() != 1;
    const int clientHeight = wirelessOffered ? 571 : 523;

    auto row = [](QLabel* l, QWidget* field, int top, int fieldX = kFieldX) {
        l->move(kLabelX, top);
        l->show();
        if (field) {
            field->move(fieldX, top - 3);
            field->show();
        }
    };
    auto hide = [](std::initializer_list<QWidget*> ws) {
        for (QWidget* w : ws)
            w->hide();
    };

    int top = 11;
    if (wirelessOffered) {
        row(L_ScanMethod, CB_ScanMethod, top);
        top += kSectionStep;
    } else {
        hide({L_ScanMethod, CB_ScanMethod});
    }
    if (wireless) {
        hide({L_ScanBy, CB_ScanBy});
    } else {
        row(L_ScanBy, CB_ScanBy, top);
        top += kSectionStep;
    }
    row(L_HardwareType, CB_HardwareType, top);
    top += kRowStep;
    if (ethernet) {
        row(L_IP, E_IP1, top);
        const int xs[] = {176, 242, 308, 374};
        ctl::Edit* edits[] = {E_IP1, E_IP2, E_IP3, E_IP4};
        for (int i = 0; i < 4; ++i) {
            edits[i]->move(xs[i], top - 3);
            edits[i]->show();
        }
        const int dots[] = {237, 303, 369};
        QLabel* dotLabels[] = {L_IP_Dot1, L_IP_Dot2, L_IP_Dot3};
        for (int i = 0; i < 3; ++i) {
            dotLabels[i]->move(dots[i], top);
            dotLabels[i]->show();
        }
        hide({L_ComPort, CB_ComPort, Btn_COM_List});
    } else {
        row(L_ComPort, CB_ComPort, top);
        Btn_COM_List->move(CB_ComPort->x() + CB_ComPort->width() + 6, top - 4);
        Btn_COM_List->show();
        hide({L_IP, E_IP1, E_IP2, E_IP3, E_IP4, L_IP_Dot1, L_IP_Dot2, L_IP_Dot3});
    }
    if (wirelessOffered && ethernet && wireless) {
        top += kRowStep;
        row(L_Port, E_Port, top);
        const uint32_t code = XML_Code_Dev;
        if (code == 12 || code == 15 || code == 18) {
            E_Port->setText(QStringLiteral("10001"));
            E_Port->setEnabled(code == 18);
        } else {
            E_Port->setEnabled(true);
        }
    } else {
        hide({L_Port, E_Port});
    }

    auto section = [&](QLabel* l) {
        top += kSectionStep;
        l->move(kSectionX, top);
        l->show();
    };
    auto fieldRow = [&](QLabel* l, QWidget* field) {
        top += kRowStep;
        row(l, field, top);
    };
    auto boxes = [&](std::initializer_list<ctl::CheckBox*> cs) {
        for (ctl::CheckBox* c : cs) {
            top += kRowStep;
            c->move(kLabelX, top - 2);
            c->show();
        }
    };
    section(L_MBus_ParGen);
    if (wireless) {
        fieldRow(L_wMBus_Mode, CB_wMBus_Mode);
        fieldRow(L_wMBus_Radio_Channel, CB_wMBus_Radio_Channel);
        section(L_Option_Scan);
        boxes({CB_Opt_Check_BCD_to_Int, CB_Opt_Enable_Remote_Scan});
        hide({L_MBus_Baud, CB_MBus_Baud, L_MBus_Parity, CB_MBus_Parity, CB_Opt_App_Reset, CB_Opt_SND_NKE,
              L_Opt_Cut_After, E_Opt_Cut_After, CB_Opt_Use_Fix_C_Field, CB_Opt_Use_Fix_C_Field_Value});
    } else {
        fieldRow(L_MBus_Baud, CB_MBus_Baud);
        fieldRow(L_MBus_Parity, CB_MBus_Parity);
        section(L_Option_Scan);
        boxes({CB_Opt_App_Reset, CB_Opt_SND_NKE});
        fieldRow(L_Opt_Cut_After, E_Opt_Cut_After);
        boxes({CB_Opt_Use_Fix_C_Field});
        CB_Opt_Use_Fix_C_Field_Value->move(kFieldX, top - 3);
        CB_Opt_Use_Fix_C_Field_Value->show();
        boxes({CB_Opt_Check_BCD_to_Int, CB_Opt_Enable_Remote_Scan});
        hide({L_wMBus_Mode, CB_wMBus_Mode, L_wMBus_Radio_Channel, CB_wMBus_Radio_Channel});
    }

    // The panels follow the client height.
    setClientSize(kClientWidth, clientHeight);
    const int middle = clientHeight - kTitleHeight - kButtonPanelHeight;
    for (QWidget* p : {P_Main, P_TreeView, P_View_Wireless})
        p->setGeometry(0, kTitleHeight, kClientWidth, middle);
    P_Button->setGeometry(0, clientHeight - kButtonPanelHeight, kClientWidth, kButtonPanelHeight);
    LB_AvailableDevice->setGeometry(16, 50, kClientWidth - 32, middle - 58);
    VST->setGeometry(16, 50, kClientWidth - 32, middle - 58);
    XGR_Wireless->setGeometry(0, 0, kClientWidth, P_W_Table->height());
    VST_Wireless->setGeometry(0, P_W_Table->height(), kClientWidth, middle - P_W_Table->height());
    ctl::fitLabels(P_Main);
}

void TFScanDecode::CB_HardwareTypeChange() { Move_Object_Type_Form(); }

void TFScanDecode::Form_Style(int style)
{
    CB_HardwareType->setItemIndex(0);
    CB_HardwareType->setEnabled(false);
    Move_Object_Type_Form();

    const bool setUp = style == 1;
    const bool running = style == 2 || style == 4;
    const bool ended = style == 3 || style == 5;
    const bool wired = style == 2 || style == 3;
    const bool wirelessView = style == 4 || style == 5;

    P_Main->setVisible(setUp);
    P_TreeView->setVisible(wired);
    P_View_Wireless->setVisible(wirelessView);
    if (style == 2) {
        VST->hide();
        platform::setLabelText(L_ScanProgress, shownCaption(text(1318)));
        L_ScanProgress->show();
        L_Num_Slave->hide();
        L_AvailableDevice->show();
        LB_AvailableDevice->show();
    } else if (style == 3) {
        platform::setLabelText(L_ScanProgress, shownCaption(text(1319)));
        L_Num_Slave->move(L_ScanProgress->x() + L_ScanProgress->width() + 8, L_ScanProgress->y());
        L_Num_Slave->show();
        LB_AvailableDevice->hide();
        VST->show();
    }

    for (controls::TFxButton* b : {Btn_StartScan, Btn_StopScan, Btn_AbortScan, Btn_NewScan, Btn_SaveConf, Btn_SaveConfManual})
        b->hide();
    const int second = kButtonLeft + kButtonWidth + kButtonGap;
    if (setUp) {
        Btn_StartScan->move(kButtonLeft, kButtonTop);
        Btn_StartScan->show();
    } else if (running) {
        Btn_StopScan->move(kButtonLeft, kButtonTop);
        Btn_AbortScan->move(second, kButtonTop);
        Btn_StopScan->show();
        Btn_AbortScan->show();
    } else if (ended) {
        Btn_NewScan->move(kButtonLeft, kButtonTop);
        Btn_SaveConf->move(second, kButtonTop);
        Btn_SaveConfManual->move(second + kButtonWidth + kButtonGap, kButtonTop);
        Btn_NewScan->show();
        Btn_SaveConf->show();
        const uint32_t code = XML_Code_Dev;
        const bool manualHidden =
            style == 3 ? (code == 6 || code == 11 || code == 15 || code == 20) : code == 15;
        Btn_SaveConfManual->setVisible(!manualHidden);
    }
}

void TFScanDecode::Update_List_of_COM_Port()
{
    // The serial ports of this machine, by their device paths.
    CB_ComPort->setItems(workspace::List_COM_Ports());
    if (CB_ComPort->count() > 0)
        CB_ComPort->setItemIndex(0);
}

// --- scanning ------------------------------------------------------------------------------------

void TFScanDecode::BtnClick(QWidget* sender)
{
    if (sender == Btn_StartScan)
        Select_Scan();
    else if (sender == Btn_StopScan)
        StopScan();
    else if (sender == Btn_AbortScan)
        AbortScan();
    else if (sender == Btn_NewScan)
        NewScan();
    else if (sender == Btn_SaveConf)
        Select_SaveXML(0);
    else if (sender == Btn_SaveConfManual)
        Select_SaveXML(1);
}

void TFScanDecode::Select_Scan()
{
    if (Form_Type == 1 && CB_ScanMethod->itemIndex() == 1)
        StarScanWireless();
    else
        StartScan();
}

QString TFScanDecode::gatewayAddress() const
{
    return QStringList{E_IP1->text(), E_IP2->text(), E_IP3->text(), E_IP4->text()}.join(QLatin1Char('.'));
}

bool TFScanDecode::checkGatewayAddress()
{
    if (isGatewayAddress(gatewayAddress()))
        return true;
    platform::showError(QStringLiteral("Error! The IP Address of the gateway must be four numbers from 0 to 255."));
    return false;
}

void TFScanDecode::StartScan()
{
    TMBusScanDecode& e = engine();
    if (e.InScan()) {
        platform::showError(text(1326));
        return;
    }
    const bool serial = CB_HardwareType->itemIndex() == 1;
    if (!serial && !checkGatewayAddress())
        return;
    Cancel_Device_List();
    const TScanType type = CB_ScanBy->itemIndex() == 1 ? TScanType::saSecondaryAddress : TScanType::saPrimaryAddress;
    const QString target = serial ? CB_ComPort->text() : gatewayAddress();
    const int baud = numberOr(CB_MBus_Baud->text(), 2400);
    const int cutAfter = numberOr(E_Opt_Cut_After->text(), 3);
    LB_AvailableDevice->clear();
    LB_AvailableDevice->show();
    e.setSaveXMLFile(QString());
    try {
        e.Start_Scan(type, serial ? TSelectHard::shSerial : TSelectHard::shEthernet, target, baud,
                     CB_MBus_Parity->itemIndex(), CB_Opt_App_Reset->checked(), CB_Opt_SND_NKE->checked(), cutAfter,
                     CB_Opt_Use_Fix_C_Field->checked(), uint8_t(std::max(CB_Opt_Use_Fix_C_Field_Value->itemIndex(), 0)),
                     CB_Opt_Enable_Remote_Scan->checked(),
                     [this](int ev, int v, int f, int k) { Show_Scan_Progress(ev, v, f, k); });
    } catch (const platform::UserError& err) {
        platform::showError(err.message());
        return;
    } catch (const std::exception& err) {
        platform::showError(QString::fromLocal8Bit(err.what()));
        return;
    }
    Form_Style(2);
    T_InScan->setEnabled(true);
}

void TFScanDecode::StarScanWireless()
{
    TMBusScanDecode& e = engine();
    if (e.InScan()) {
        platform::showError(text(1326));
        return;
    }
    const int port = numberOr(E_Port->text(), -1);
    if (port < 0 || port > 65535) {
        platform::showError(text(1338));
        return;
    }
    if (!checkGatewayAddress())
        return;
    Cancel_Device_List_Wireless();
    try {
        e.Start_Scan_Wireless(TSelectHard::shEthernet, gatewayAddress(), uint16_t(port),
                              wirelessModeCode(CB_wMBus_Mode->itemIndex()),
                              std::max(CB_wMBus_Radio_Channel->itemIndex(), 0), CB_Opt_Enable_Remote_Scan->checked(),
                              [this](int index, const TSlave_wMBus* m) { Show_Wireless_Slave_Row(index, m); }, false);
    } catch (const platform::UserError& err) {
        platform::showError(err.message());
        return;
    }
    Form_Style(4);
    T_InScan->setEnabled(true);
}

void TFScanDecode::StopScan()
{
    if (engine_ && engine_->InScan())
        engine_->Stop_Scan();
}

void TFScanDecode::AbortScan()
{
    if (engine_ && engine_->InScan())
        engine_->Abort_Scan();
}

void TFScanDecode::NewScan()
{
    Cancel_Device_List();
    Form_Style(1);
}

void TFScanDecode::T_InScanTimer()
{
    T_InScan->setEnabled(false);
    TMBusScanDecode& e = engine();
    if (e.InScan()) {
        T_InScan->setEnabled(true);
        return;
    }
    const bool wirelessMethod = CB_ScanMethod->itemIndex() == 1;
    if (e.Result() == 2) {
        platform::showError(text(1329));
        Form_Style(1);
    } else if (wirelessMethod) {
        Form_Style(5);
    } else {
        Form_Style(3);
        Show_Slave_in_Tree();
    }
    if (Cyclic_Scan) {
        const size_t count = Form_Type == 1 && wirelessMethod ? lists_.List_Slave_wMBus.size() : lists_.List_Slave_MBus.size();
        if (count != 30) {
            ++Error_Cyclic;
            platform::setLabelText(Label1, QString::number(Error_Cyclic));
        }
        Select_Scan();
    }
}

void TFScanDecode::Ciclic1Click()
{
    Cyclic_Scan = true;
    Error_Cyclic = 0;
    Select_Scan();
}

void TFScanDecode::addProgressLine(const QString& line)
{
    LB_AvailableDevice->addItem(line);
    LB_AvailableDevice->scrollToItem(LB_AvailableDevice->item(LB_AvailableDevice->count() - 1),
                                     QAbstractItemView::PositionAtTop);
}

void TFScanDecode::Show_Scan_Progress(int Event, int Value, int Found, int Kind)
{
    if (const std::optional<QString> line = progressLine(Event, Value, Found, Kind, &workspace::text))
        addProgressLine(*line);
}

// --- results -------------------------------------------------------------------------------------

void TFScanDecode::Show_Slave_in_Tree()
{
    wiredShown_ = lists_.List_Slave_MBus.with([](const std::vector<TSlave_MBus>& l) { return l; });
    platform::setLabelText(L_Num_Slave, QString::number(wiredShown_.size()));
    wiredMeterNodes_.clear();
    wiredRecordNodes_.clear();
    VST->BeginUpdate();
    VST->Clear();
    for (size_t m = 0; m < wiredShown_.size(); ++m)
        wiredMeterNodes_.push_back(
            addMeterNodes(VST, int(m), wiredShown_[m].List_Var.size(), wiredRecordNodes_.emplace_back()));
    VST->EndUpdate();
    L_Num_Slave->move(L_ScanProgress->x() + L_ScanProgress->width() + 8, L_ScanProgress->y());
}

void TFScanDecode::Show_Slave_in_Tree_Wireless(int Index)
{
    wirelessMeterNode_ = nullptr;
    wirelessRecordNodes_.clear();
    VST_Wireless->Clear();
    const std::optional<TSlave_wMBus> meter =
        lists_.List_Slave_wMBus.with([&](const std::vector<TSlave_wMBus>& l) -> std::optional<TSlave_wMBus> {
            if (Index < 0 || size_t(Index) >= l.size())
                return std::nullopt;
            return l[size_t(Index)];
        });
    if (!meter) {
        wirelessTreeIndex_ = -1;
        return;
    }
    wirelessShown_ = *meter;
    wirelessTreeIndex_ = Index;
    VST_Wireless->BeginUpdate();
    wirelessMeterNode_ = addMeterNodes(VST_Wireless, Index, wirelessShown_.List_Var.size(), wirelessRecordNodes_);
    VST_Wireless->EndUpdate();
}

PLazyNode TFScanDecode::wiredNode(int meter, int record) const
{
    if (meter < 0 || size_t(meter) >= wiredMeterNodes_.size())
        return nullptr;
    if (record < 0)
        return wiredMeterNodes_[size_t(meter)];
    const std::vector<PLazyNode>& records = wiredRecordNodes_[size_t(meter)];
    return size_t(record) < records.size() ? records[size_t(record)] : nullptr;
}

PLazyNode TFScanDecode::wirelessNode(int record) const
{
    if (record < 0)
        return wirelessMeterNode_;
    return size_t(record) < wirelessRecordNodes_.size() ? wirelessRecordNodes_[size_t(record)] : nullptr;
}

void TFScanDecode::Show_Wireless_Slave_Row(int Index, const TSlave_wMBus* Slave)
{
    if (!Slave || Index < 0)
        return;
    const int row = Index + 1;
    if (XGR_Wireless->RowCount() < Index + 2)
        XGR_Wireless->SetRowCount(Index + 2);
    const platform::Color colour = wirelessRowColour(Slave->Cripted);
    const QStringList cells = wirelessRowCells(Index, *Slave);
    for (int c = 0; c < kWirelessColumns; ++c) {
        XGR_Wireless->SetCells(c, row, cells[c]);
        XGR_Wireless->CellProperties(c, row)->SetBrushColor(colour);
    }
    XGR_Wireless->RemoveImageIdx(kWirelessColumns - 1, row);
    XGR_Wireless->AddImageIdx(kWirelessColumns - 1, row, wirelessRowImage(Slave->Cripted), controls::grid::haCenter,
                              controls::grid::vaCenter);
}

void TFScanDecode::Cancel_Grid_Wireless()
{
    XGR_Wireless->SetRowCount(2);
    for (int c = 0; c < XGR_Wireless->ColCount(); ++c) {
        XGR_Wireless->SetCells(c, 1, QString());
        if (c >= 1)
            XGR_Wireless->CellProperties(c, 1)->SetBrushColor(platform::clWhite);
    }
    XGR_Wireless->RemoveImageIdx(kWirelessColumns - 1, 1);
}

void TFScanDecode::Cancel_Device_List_Wireless()
{
    lists_.List_Slave_wMBus.clear();
    Cancel_Grid_Wireless();
    wirelessMeterNode_ = nullptr;
    wirelessRecordNodes_.clear();
    wirelessTreeIndex_ = -1;
    VST_Wireless->Clear();
}

void TFScanDecode::Cancel_Device_List()
{
    lists_.List_Slave_MBus.clear();
    wiredMeterNodes_.clear();
    wiredRecordNodes_.clear();
    VST->Clear();
    wiredShown_.clear();
}

void TFScanDecode::XGR_WirelessClickCell(int row, int)
{
    if (row < 1 || size_t(row) > lists_.List_Slave_wMBus.size())
        return;
    Show_Slave_in_Tree_Wireless(row - 1);
}

void TFScanDecode::XGR_WirelessDblClickCell(int row, int, QPoint mouse)
{
    if (row < 1)
        return;
    const bool cripted = lists_.List_Slave_wMBus.with([&](const std::vector<TSlave_wMBus>& l) {
        return size_t(row) <= l.size() && l[size_t(row - 1)].Cripted;
    });
    if (!cripted || !keyDialog_)
        return;
    const QRect client(mapToGlobal(QPoint(0, 0)), size());
    keyDialog_->move(keyDialogPlace(mouse, keyDialog_->size(), client));
    if (keyDialog_->showModal() != platform::mrOk)
        return;
    engine().Insert_Wireless_Key(row - 1, keyBytes(keyDialog_->E_Key->text()));
}

// --- saving --------------------------------------------------------------------------------------

void TFScanDecode::Carica_Dati_Modbus_Start_Add()
{
    if (!perNodeDialog_)
        return;
    perNodeDialog_->ensureControls();
    controls::grid::TExtColumnGrid* g = perNodeDialog_->sga;
    QStringList ids;
    if (Form_Type == 1 && CB_ScanMethod->itemIndex() == 1) {
        lists_.List_Slave_wMBus.with([&](const std::vector<TSlave_wMBus>& l) {
            for (const TSlave_wMBus& m : l)
                ids << QString::number(m.ALA_Address);
        });
    } else {
        lists_.List_Slave_MBus.with([&](const std::vector<TSlave_MBus>& l) {
            for (const TSlave_MBus& m : l)
                ids << QStringLiteral("%1 - %2").arg(m.Primary_Addresss).arg(m.Secondary_Addresss);
        });
    }
    g->SetRowCount(int(ids.size()) + 1);
    for (int r = 0; r < ids.size(); ++r) {
        g->SetCells(0, r + 1, ids[r]);
        g->SetCells(1, r + 1, QStringLiteral("1"));
    }
}

void TFScanDecode::Select_SaveXML(int Type_SaveXML)
{
    const uint32_t code = XML_Code_Dev;
    const bool perNodeCode = code == 0 || code == 1 || code == 9 || code == 13 || code == 14;
    // The per-node dialog where the device code has one; elsewhere its step counts as confirmed.
    auto perNodeConfirmed = [&] {
        Carica_Dati_Modbus_Start_Add();
        if (!perNodeCode || !perNodeDialog_)
            return true;
        return perNodeDialog_->showModal() == platform::mrOk;
    };
    bool append = false;
    int start = 1;
    if (platform::fileExists(FileName_MBus)) {
        const platform::MsgAnswer a = platform::messageBoxes().show(platform::MsgKind::ConfirmCancel, text(1337));
        if (a == platform::MsgAnswer::Cancel)
            return;
        append = a == platform::MsgAnswer::Yes;
        if (Type_SaveXML == 1) {
            if (!perNodeConfirmed())
                return;
        } else if (append && perNodeCode && startDialog_) {
            if (startDialog_->showModal() != platform::mrOk)
                return;
            start = startDialog_->StartModAdd;
        }
    } else if (Type_SaveXML == 1 && !perNodeConfirmed()) {
        return;
    }
    if (Form_Type == 1 && CB_ScanMethod->itemIndex() == 1)
        SaveXMLWireless(append, start, Type_SaveXML);
    else
        SaveXML(append, start, Type_SaveXML);
}

namespace {

TSaveConfXML saveData(bool append, int start, int startNode, uint32_t code, const QString& file,
                      TFModbusStartAdd_SD* perNode)
{
    TSaveConfXML d;
    d.Append = append ? 1 : 0;
    d.XML_Code_Dev = int32_t(code);
    d.Mod_Start = start;
    d.StartModnode = startNode;
    d.File_Name = file;
    if (perNode) {
        perNode->ensureControls();
        for (int r = 1; r < perNode->sga->RowCount(); ++r)
            d.SMN_Array.push_back(numberOr(perNode->sga->Cells(1, r), 1));
        d.En_NodeState = perNode->CB_En_NodeState->isChecked();
        d.En_IdeNum = perNode->CB_En_IndNum->isChecked();
    }
    return d;
}

} // namespace

void TFScanDecode::SaveXML(bool Append, int Start_Modbus, int Start_Modbus_node)
{
    TSaveConfXML d = saveData(Append, Start_Modbus, Start_Modbus_node, XML_Code_Dev, FileName_MBus, perNodeDialog_);
    d.Index_Baud = CB_MBus_Baud->itemIndex();
    d.Index_Par = CB_MBus_Parity->itemIndex();
    d.Node_ID_Type = CB_ScanBy->itemIndex();
    d.SND_NKE = CB_Opt_SND_NKE->checked() ? 1 : 0;
    d.Reset_App = CB_Opt_App_Reset->checked() ? 1 : 0;
    d.Cut_After = numberOr(E_Opt_Cut_After->text(), 3);
    // A node the tree never initialised has the state its initialisation gives: checked.
    const TreeChecks checks = [this](int meter, int record) -> std::optional<bool> {
        const PLazyNode n = wiredNode(meter, record);
        if (!n || !n->States.contains(controls::vsInitialized))
            return std::nullopt;
        return n->CheckState == controls::csCheckedNormal;
    };
    try {
        if (engine().Save_XML_Conf_Wired(d, CB_Opt_Check_BCD_to_Int->checked(), checks))
            platform::messageBoxes().show(platform::MsgKind::Information, text(1330));
    } catch (const platform::UserError& e) {
        platform::showError(e.message());
    }
}

void TFScanDecode::SaveXMLWireless(bool Append, int Start_Modbus, int Start_Modbus_node)
{
    TSaveConfXML d = saveData(Append, Start_Modbus, Start_Modbus_node, XML_Code_Dev, FileName_MBus, perNodeDialog_);
    d.Cut_After = 3;
    try {
        if (engine().Save_XML_Conf_Wireless(d, CB_Opt_Check_BCD_to_Int->checked()))
            platform::messageBoxes().show(platform::MsgKind::Information, text(1330));
    } catch (const platform::UserError& e) {
        platform::showError(e.message());
    }
}

} // namespace mbus::scan
