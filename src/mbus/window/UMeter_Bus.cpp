#include "mbus/window/UMeter_Bus.h"

#include "controls/button/FormButton.h"
#include "controls/pages/ExtPageControl.h"
#include "mbus/ProjectFiles.h"
#include "mbus/window/UNewIDNode.h"
#include "mbus/window/WideComboBox.h"
#include "platform/fs/Files.h"
#include "platform/text/UserError.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/controls/TreeView.h"
#include "tables/bacnet/window/EngUnitPicker.h"
#include "workspace/Workspace.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QStyle>
#include <atomic>

namespace mbus {

using workspace::text;

namespace {

constexpr int kRowPitch = 24;
constexpr int kLabelLeft = 12;
constexpr int kControlLeft = 210;
constexpr int kControlWidth = 210;
constexpr int kRowHeight = 21;
constexpr int kFirstRow = 10;
const platform::Color kCream = platform::rgb(248, 247, 237);

std::atomic<TFMeter_Bus*> theEditor{nullptr};

QFont normalFont() { return platform::uiFont(QStringLiteral("Verdana"), 8); }

QLabel* label(QWidget* parent, const char* name, int left = kLabelLeft)
{
    return platform::addLabel(parent, QLatin1String(name), left, 0, normalFont());
}

platform::ctl::Edit* edit(QWidget* parent, const char* name, int left = kControlLeft, int width = kControlWidth)
{
    auto* e = new platform::ctl::Edit(parent);
    e->setObjectName(QLatin1String(name));
    e->setBounds(left, 0, width, kRowHeight);
    return e;
}

WideComboBox* combo(QWidget* parent, const char* name, const QStringList& items, int left = kControlLeft,
                    int width = kControlWidth)
{
    auto* c = new WideComboBox(parent);
    c->setObjectName(QLatin1String(name));
    c->setBounds(left, 0, width, kRowHeight);
    c->setItems(items);
    c->setItemIndex(items.isEmpty() ? -1 : 0);
    return c;
}

platform::ctl::CheckBox* check(QWidget* parent, const char* name, int width = 190)
{
    auto* c = new platform::ctl::CheckBox(parent);
    c->setObjectName(QLatin1String(name));
    c->setBounds(kLabelLeft, 0, width, kRowHeight);
    return c;
}

platform::ctl::RadioButton* radio(QWidget* parent, const char* name)
{
    auto* r = new platform::ctl::RadioButton(parent);
    r->setObjectName(QLatin1String(name));
    r->setGeometry(kLabelLeft, 0, 190, kRowHeight);
    return r;
}

QStringList numbers(int from, int to)
{
    QStringList l;
    for (int i = from; i <= to; ++i)
        l << QString::number(i);
    return l;
}

// Places rows of widgets from `y` down, kRowPitch apart, and shows them; a label sits 3
// pixels lower than the box beside it. Returns the y below the last row.
int placeRows(int y, std::initializer_list<std::initializer_list<QWidget*>> rows)
{
    for (const auto& row : rows) {
        for (QWidget* w : row) {
            w->move(w->x(), qobject_cast<QLabel*>(w) ? y + 3 : y);
            w->show();
        }
        y += kRowPitch;
    }
    return y;
}

void hideAll(std::initializer_list<QWidget*> widgets)
{
    for (QWidget* w : widgets)
        w->hide();
}

void setCaption(QWidget* w, const QString& caption)
{
    if (auto* l = qobject_cast<QLabel*>(w))
        platform::setLabelText(l, caption);
    else if (auto* c = dynamic_cast<platform::ctl::CheckBox*>(w))
        c->setCaption(caption);
    else if (auto* r = dynamic_cast<platform::ctl::RadioButton*>(w))
        r->setCaption(caption);
}

} // namespace

int Get_BACnet_EngUnit_MBus(int typeOfData, int code)
{
    if (const TFMeter_Bus* e = theEditor.load())
        return e->Found_BACnet_EngUnits(typeOfData, code);
    return mbus::Found_BACnet_EngUnits(typeOfData, code);
}

TFMeter_Bus::TFMeter_Bus(QWidget* parent) : platform::Form(parent), editor_(workspace::ws().Converter_Type)
{
    // FormCreate: the window itself and empty copy buffers; the tree, the pages and their
    // controls wait for the first show (buildControls).
    setObjectName(QStringLiteral("FMeter_Bus"));
    setFont(normalFont());
    platform::setBackgroundColor(this, QColor(248, 247, 237));
    setClientSize(834, 662);
    editor_.Copy_Var.reset();
    editor_.Copy_Node.reset();
    Set_Lang();
    theEditor.store(this);
}

void TFMeter_Bus::buildControls()
{
    createControls();
    FormCreate();
}

TFMeter_Bus::~TFMeter_Bus()
{
    TFMeter_Bus* self = this;
    theEditor.compare_exchange_strong(self, nullptr);
}

int TFMeter_Bus::Found_BACnet_EngUnits(int typeOfData, int vife) const
{
    return mbus::Found_BACnet_EngUnits(typeOfData, vife);
}

void TFMeter_Bus::createControls()
{
    const QFont normal = normalFont();
    const platform::Heading heading = platform::addHeading(this);
    L_SW_Code = heading.code;
    L_SW_Desc = heading.description;

    TW = new platform::ctl::TreeView(this);
    TW->setObjectName(QStringLiteral("TW"));
    TW->setGeometry(8, 72, 320, 540);
    TW->onChange = [this](platform::ctl::TreeView&) {
        if (!treeQuiet_)
            TWClick();
    };
    TW->onClick = [this](platform::ctl::TreeView&) {
        if (!treeQuiet_)
            TWClick();
    };
    PM_CopyPaste = new platform::ctl::PopupMenu(this);
    PM_CopyPaste->setObjectName(QStringLiteral("PM_CopyPaste"));
    PM_CopyPaste->addItem(QStringLiteral("CopyVariable1"), QString(), [this] { CopyVariable1Click(); });
    PM_CopyPaste->addItem(QStringLiteral("PasteVariable1"), QString(), [this] { PasteVariable1Click(); });
    PM_CopyPaste->addSeparator();
    PM_CopyPaste->addItem(QStringLiteral("CopyNode1"), QString(), [this] { CopyNode1Click(); });
    PM_CopyPaste->addItem(QStringLiteral("PasteNode1"), QString(), [this] { PasteNode1Click(); });
    PM_CopyPaste->addSeparator();
    PM_CopyPaste->addItem(QStringLiteral("DeleteItems1"), QString(), [this] { btn_Delete_ItemClick(); });
    TW->setPopupMenu(PM_CopyPaste);

    ExtPageControl1 = new controls::TExtPageControl(this);
    ExtPageControl1->setObjectName(QStringLiteral("ExtPageControl1"));
    ExtPageControl1->setFont(normal);
    ExtPageControl1->setActiveFont(platform::Font{normal, platform::clBlack, 0});
    ExtPageControl1->setColor(kCream);
    ExtPageControl1->setTabPosition(controls::TTabPosition::tpLeft);
    ExtPageControl1->setTabStyle(controls::TTabStyle::tsDotNet);
    ExtPageControl1->setMultiLine(true);
    ExtPageControl1->setDefaultTabColor(kCream);
    ExtPageControl1->setTabBackGroundColor(kCream);
    ExtPageControl1->setActiveColor(platform::clSkyBlue);
    ExtPageControl1->tabMargin().setTopMargin(10);
    ExtPageControl1->tabMargin().setRightMargin(20);
    ExtPageControl1->setTabOverlap(0);
    ExtPageControl1->setGeometry(336, 72, 490, 540);
    for (controls::TExtTabSheet** s : {&ExtTabSheet1, &ExtTabSheet2}) {
        *s = new controls::TExtTabSheet(this);
        (*s)->setObjectName(s == &ExtTabSheet1 ? QStringLiteral("ExtTabSheet1") : QStringLiteral("ExtTabSheet2"));
        (*s)->setFont(normal);
        (*s)->setColor(kCream);
        (*s)->setPageControl(ExtPageControl1);
    }

    // Node page.
    QWidget* np = ExtTabSheet1;
    L_SelDev = label(np, "L_SelDev");
    platform::setLabelText(L_SelDev, QStringLiteral("Select Device"));
    CB_SelDev = combo(np, "CB_SelDev",
                      {QStringLiteral("Standard"), QStringLiteral("RVD230"), QStringLiteral("RVD240"), QStringLiteral("RVD250"),
                       QStringLiteral("RVD260"), QStringLiteral("AVD500"), QStringLiteral("UH50 FULL MWh"),
                       QStringLiteral("UH50 FAST MWh"), QStringLiteral("UH50 FULL kWh"), QStringLiteral("UH50 FAST kWh")});
    CB_SelDev->onChange = [this](platform::ctl::ComboBox&) { CB_SelDevChange(); };
    CB_Enable_Node = check(np, "CB_Enable_Node");
    CB_Enable_Node->setChecked(true);
    L_Node_Desc = label(np, "L_Node_Desc");
    E_New_Node_Desc = edit(np, "E_New_Node_Desc");
    L_MBus_Type = label(np, "L_MBus_Type");
    platform::setLabelText(L_MBus_Type, QStringLiteral("M-Bus Type"));
    CB_MBus_Type = combo(np, "CB_MBus_Type", mbusTypeTexts());
    CB_MBus_Type->setItemIndex(1);
    CB_MBus_Type->onChange = [this](platform::ctl::ComboBox&) { CB_MBus_TypeChange(); };
    RB_ID_Primary = radio(np, "RB_ID_Primary");
    RB_ID_Primary->setChecked(true);
    E_New_Node_ID_Pri = edit(np, "E_New_Node_ID_Pri", kControlLeft, 100);
    E_New_Node_ID_Pri->setText(QStringLiteral("1"));
    RB_ID_Secondary = radio(np, "RB_ID_Secondary");
    E_New_Node_ID_Sec = edit(np, "E_New_Node_ID_Sec", kControlLeft, 100);
    E_New_Node_ID_Sec->setText(QStringLiteral("1"));
    CB_Node_State = check(np, "CB_Node_State");
    CB_NS_VarType = combo(np, "CB_NS_VarType", nsVarTypeTexts());
    CB_Ident_Num = check(np, "CB_Ident_Num");
    CB_IN_VarType = combo(np, "CB_IN_VarType", nsVarTypeTexts());
    CB_IN_VarType->hide();
    L_Swap_IN = label(np, "L_Swap_IN");
    CB_Swap_IN = combo(np, "CB_Swap_IN", swapIdentTexts());
    CB_Conv_BCD = check(np, "CB_Conv_BCD", 400);
    CB_SND_NKE = check(np, "CB_SND_NKE");
    CB_Reset_App = check(np, "CB_Reset_App");
    L_Var_Type = label(np, "L_Var_Type");
    CB_Var_Type = combo(np, "CB_Var_Type", varListTypeTexts());
    L_Cut_After = label(np, "L_Cut_After");
    CB_Cut_After = combo(np, "CB_Cut_After", numbers(1, 250), kControlLeft, 80);
    L_Frames = label(np, "L_Frames", kControlLeft + 88);
    btn_Add_Node = controls::addButton(np, QStringLiteral("btn_Add_Node"), kControlLeft, 0, kControlWidth, 28);
    btn_Add_Node->onClick = [this](controls::TFxButton*) { btn_Add_NodeClick(); };

    P_wMBus_Node = new QWidget(np);
    P_wMBus_Node->setObjectName(QStringLiteral("P_wMBus_Node"));
    P_wMBus_Node->setGeometry(0, 0, 450, 14 * kRowPitch);
    QWidget* wp = P_wMBus_Node;
    L_wMBus_ManID = label(wp, "L_wMBus_ManID");
    E_wMBus_ManID = edit(wp, "E_wMBus_ManID");
    L_wMBus_Add = label(wp, "L_wMBus_Add");
    E_wMBus_Add = edit(wp, "E_wMBus_Add");
    L_wMBus_Ver = label(wp, "L_wMBus_Ver");
    E_wMBus_Ver = edit(wp, "E_wMBus_Ver");
    L_wMBus_DevType = label(wp, "L_wMBus_DevType");
    E_wMBus_DevType = edit(wp, "E_wMBus_DevType");
    CB_wMBus_EnKey = check(wp, "CB_wMBus_EnKey");
    for (int i = 0; i < 16; ++i) {
        const int left = kLabelLeft + (i % 4) * 104;
        L_wMBus_K[size_t(i)] = platform::addLabel(wp, QStringLiteral("L_wMBus_K%1").arg(i + 1), left, 0, normal);
        E_wMBus_K[size_t(i)] = new platform::ctl::Edit(wp);
        E_wMBus_K[size_t(i)]->setObjectName(QStringLiteral("E_wMBus_K%1").arg(i + 1));
        E_wMBus_K[size_t(i)]->setBounds(left + 26, 0, 64, kRowHeight);
    }
    CB_wMBus_NodeState = check(wp, "CB_wMBus_NodeState");
    CB_wMBus_NS_VarType = combo(wp, "CB_wMBus_NS_VarType", nsVarTypeTexts());
    CB_wMBus_IdentNum = check(wp, "CB_wMBus_IdentNum");
    CB_wMBus_IN_VarType = combo(wp, "CB_wMBus_IN_VarType", nsVarTypeTexts());
    CB_wMBus_IN_VarType->hide();
    CB_wMBus_Conv_BCD = check(wp, "CB_wMBus_Conv_BCD", 400);
    L_wMBus_Swap_Ident = label(wp, "L_wMBus_Swap_Ident");
    CB_wMBus_Swap_Ident = combo(wp, "CB_wMBus_Swap_Ident", swapIdentTexts());
    L_wMBus_VarList = label(wp, "L_wMBus_VarList");
    CB_wMBus_VarList = combo(wp, "CB_wMBus_VarList", varListTypeTexts());
    int y = placeRows(0, {{L_wMBus_ManID, E_wMBus_ManID}, {L_wMBus_Add, E_wMBus_Add}, {L_wMBus_Ver, E_wMBus_Ver},
                          {L_wMBus_DevType, E_wMBus_DevType}, {CB_wMBus_EnKey}});
    for (int r = 0; r < 4; ++r, y += kRowPitch)
        for (int c = 0; c < 4; ++c) {
            const size_t i = size_t(r * 4 + c);
            L_wMBus_K[i]->move(L_wMBus_K[i]->x(), y + 3);
            E_wMBus_K[i]->move(E_wMBus_K[i]->x(), y);
        }
    placeRows(y, {{CB_wMBus_NodeState, CB_wMBus_NS_VarType}, {CB_wMBus_IdentNum}, {CB_wMBus_Conv_BCD},
                  {L_wMBus_Swap_Ident, CB_wMBus_Swap_Ident}, {L_wMBus_VarList, CB_wMBus_VarList}});

    // Variable page.
    QWidget* vp = ExtTabSheet2;
    CB_Var_En = check(vp, "CB_Var_En");
    CB_Var_En->setChecked(true);
    L_Var_Desc = label(vp, "L_Var_Desc");
    E_New_Var_Desc = edit(vp, "E_New_Var_Desc");
    L_Var_ToD = label(vp, "L_Var_ToD");
    CB_Var_ToD = combo(vp, "CB_Var_ToD", typeOfDataTexts());
    CB_Var_ToD->onChange = [this](platform::ctl::ComboBox&) {
        CB_Var_ToDChange();
        CB_Var_ToDSelect();
    };
    L_VIF_ASCII = label(vp, "L_VIF_ASCII");
    E_VIF_ASCII = edit(vp, "E_VIF_ASCII");
    L_Var_FF = label(vp, "L_Var_FF");
    CB_Var_FF = combo(vp, "CB_Var_FF", functionFieldTexts());
    L_Var_Dim = label(vp, "L_Var_Dim");
    CB_Var_Dim = combo(vp, "CB_Var_Dim", dimensionTexts());
    CB_Var_Dim->onChange = [this](platform::ctl::ComboBox&) { CB_Var_DimChange(); };
    L_Length = label(vp, "L_Length");
    E_Length = edit(vp, "E_Length", kControlLeft, 80);
    E_Length->setText(QStringLiteral("0"));
    L_Var_Unit = label(vp, "L_Var_Unit");
    CB_Var_Unit = combo(vp, "CB_Var_Unit", numbers(0, 10), kControlLeft, 80);
    L_Sto_Num = label(vp, "L_Sto_Num");
    E_Sto_Num = edit(vp, "E_Sto_Num", kControlLeft, 120);
    E_Sto_Num->setText(QStringLiteral("0"));
    L_Tariff = label(vp, "L_Tariff");
    E_Tariff = edit(vp, "E_Tariff", kControlLeft, 120);
    E_Tariff->setText(QStringLiteral("0"));
    L_VIFE = label(vp, "L_VIFE");
    CB_VIFE = combo(vp, "CB_VIFE", vifeTexts());
    CB_VIFE->onChange = [this](platform::ctl::ComboBox&) { CB_VIFESelect(); };
    CB_BCDtoINT = check(vp, "CB_BCDtoINT");
    L_Position = label(vp, "L_Position");
    E_Position = edit(vp, "E_Position", kControlLeft, 80);
    E_Position->setText(QStringLiteral("1"));
    L_BACnet_EngUnit = label(vp, "L_BACnet_EngUnit");
    E_BACnet_EngUnit = edit(vp, "E_BACnet_EngUnit", kControlLeft, 80);
    E_BACnet_EngUnit->setText(QStringLiteral("95"));
    E_BACnet_EngUnit->installEventFilter(this);
    Btn_EngUnit = controls::addButton(vp, QStringLiteral("Btn_EngUnit"), kControlLeft + 86, 0, 28, kRowHeight);
    Btn_EngUnit->setCaption(QStringLiteral("..."));
    Btn_EngUnit->onClick = [this](controls::TFxButton*) { E_BACnet_EngUnitDblClick(); };
    L_BACnet_DataType = label(vp, "L_BACnet_DataType");
    CB_BACnet_DataType = combo(vp, "CB_BACnet_DataType", bacnetDataTypeTexts());
    CB_BACnet_DataType->onChange = [this](platform::ctl::ComboBox&) { CB_VIFESelect(); };
    L_PostOpe = label(vp, "L_PostOpe");
    CB_PostOpe = combo(vp, "CB_PostOpe", postOperationTexts());
    CB_PostOpe->onChange = [this](platform::ctl::ComboBox&) { CB_VIFESelect(); };
    btn_Add_Var = controls::addButton(vp, QStringLiteral("btn_Add_Var"), kControlLeft, 0, kControlWidth, 28);
    btn_Add_Var->onClick = [this](controls::TFxButton*) { btn_Add_VarClick(); };
    placeRows(kFirstRow, {{CB_Var_En}, {L_Var_Desc, E_New_Var_Desc}});

    Btn_ImportNet = controls::addButton(this, QStringLiteral("Btn_ImportNet"), 8, 622, 150, 28);
    Btn_ImportNet->onClick = [this](controls::TFxButton*) { Btn_ImportNet_Click(); };
    Btn_OK = controls::addButton(this, QStringLiteral("Btn_OK"), 598, 622, 110, 28);
    Btn_OK->onClick = [this](controls::TFxButton*) { FxButton2Click(); };
    Btn_Cancel = controls::addButton(this, QStringLiteral("Btn_Cancel"), 716, 622, 110, 28);
    Btn_Cancel->setCancel(true);
    Btn_Cancel->onClick = [this](controls::TFxButton*) { FxButton4Click(); };
}

void TFMeter_Bus::FormCreate()
{
    // The rest of the creation handler, on the controls.
    Select_Width_ComboBox(CB_Var_ToD);
    Select_Width_ComboBox(CB_VIFE);
    CB_Var_ToD->setOpensLeft(true);
    CB_VIFE->setOpensLeft(true);
    ExtPageControl1->setActivePage(ExtTabSheet1);
    platform::setLabelText(L_SW_Code, workspace::ws().SW_Code);
    Nodes_Move_Elements();
    Sposta_Oggetti_Var(0);
    Set_Lang();
}

void TFMeter_Bus::Select_Width_ComboBox(WideComboBox* box)
{
    const QFontMetrics fm(box->font());
    int needed = 0;
    for (const QString& item : box->items())
        needed = std::max(needed, fm.horizontalAdvance(item));
    needed += 12 + (box->objectName() == QLatin1String("CB_VIFE") ? 65 : 30);
    const int scrollBar = box->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, box);
    if (box->width() - scrollBar >= needed)
        return;
    if (box->count() > box->maxVisibleItems())
        needed += scrollBar;
    box->setDroppedWidth(needed);
}

void TFMeter_Bus::Set_Lang()
{
    setWindowTitle(text(286));
    if (!controlsBuilt())
        return;
    platform::setLabelText(L_SW_Desc, text(287));
    Btn_OK->setCaption(text(288));
    Btn_Cancel->setCaption(text(289));
    Btn_ImportNet->setCaption(text(290));
    ExtTabSheet1->setCaption(text(291));
    ExtTabSheet2->setCaption(text(292));
    const std::pair<QWidget*, int> captions[] = {
        {CB_Enable_Node, 293}, {L_Node_Desc, 294}, {RB_ID_Primary, 295}, {RB_ID_Secondary, 296},
        {CB_Node_State, 297}, {CB_Ident_Num, 298}, {L_Swap_IN, 299}, {CB_Conv_BCD, 300},
        {CB_SND_NKE, 301}, {CB_Reset_App, 302}, {L_Var_Type, 303}, {L_Cut_After, 304},
        {L_Frames, 305}, {CB_Var_En, 308}, {L_Var_Desc, 309}, {L_Var_ToD, 310},
        {L_VIF_ASCII, 311}, {L_Var_FF, 312}, {L_Var_Dim, 313}, {L_Length, 314},
        {L_Var_Unit, 315}, {L_Sto_Num, 316}, {L_Tariff, 317}, {L_VIFE, 318},
        {CB_BCDtoINT, 319}, {L_Position, 320}, {L_BACnet_EngUnit, 321}, {L_BACnet_DataType, 322},
        {L_PostOpe, 323}, {L_wMBus_ManID, 1231}, {L_wMBus_Add, 1232}, {L_wMBus_Ver, 1233},
        {L_wMBus_DevType, 1234}, {CB_wMBus_EnKey, 1235}, {CB_wMBus_NodeState, 1252},
        {CB_wMBus_IdentNum, 1253}, {CB_wMBus_Conv_BCD, 1254}, {L_wMBus_Swap_Ident, 1255},
        {L_wMBus_VarList, 1256},
    };
    for (const auto& [w, index] : captions)
        setCaption(w, text(index));
    for (int i = 0; i < 16; ++i)
        platform::setLabelText(L_wMBus_K[size_t(i)], text(1236 + i));
    btn_Add_Node->setCaption(text(307));
    btn_Add_Var->setCaption(text(325));
    const char* items[] = {"CopyVariable1", "PasteVariable1", "CopyNode1", "PasteNode1", "DeleteItems1"};
    for (int i = 0; i < 5; ++i)
        PM_CopyPaste->item(QLatin1String(items[i]))->setText(text(1072 + i));
    for (QWidget* page : {static_cast<QWidget*>(ExtTabSheet1), static_cast<QWidget*>(ExtTabSheet2), P_wMBus_Node})
        platform::ctl::fitLabels(page);
}

// --- layout -------------------------------------------------------------------------------------

void TFMeter_Bus::Nodes_Move_Elements()
{
    // The rows above the wired rows or the wireless panel; CB_MBus_TypeChange places the rest.
    const int type = editor_.converterType();
    int y = kFirstRow;
    if (type == 20)
        y = placeRows(y, {{L_SelDev, CB_SelDev}});
    else
        hideAll({L_SelDev, CB_SelDev});
    y = placeRows(y, {{CB_Enable_Node}, {L_Node_Desc, E_New_Node_Desc}});
    if (type == 21)
        placeRows(y, {{L_MBus_Type, CB_MBus_Type}});
    else
        hideAll({L_MBus_Type, CB_MBus_Type, P_wMBus_Node});
    layoutNodeRows();
}

void TFMeter_Bus::CB_MBus_TypeChange()
{
    if (editor_.converterType() == 21)
        layoutNodeRows();
}

void TFMeter_Bus::layoutNodeRows()
{
    const int type = editor_.converterType();
    int y = kFirstRow + kRowPitch * (type == 20 || type == 21 ? 3 : 2);
    // Anything but "wM-Bus" counts as wired, as the network's readers take it.
    const bool wireless = type == 21 && CB_MBus_Type->itemIndex() == 0;
    if (wireless) {
        hideAll({RB_ID_Primary, E_New_Node_ID_Pri, RB_ID_Secondary, E_New_Node_ID_Sec, CB_Node_State, CB_NS_VarType,
                 CB_Ident_Num, L_Swap_IN, CB_Swap_IN, CB_Conv_BCD, CB_SND_NKE, CB_Reset_App, L_Var_Type, CB_Var_Type,
                 L_Cut_After, CB_Cut_After, L_Frames});
        P_wMBus_Node->move(0, y);
        P_wMBus_Node->show();
        y += P_wMBus_Node->height();
    } else {
        P_wMBus_Node->hide();
        y = placeRows(y, {{RB_ID_Primary, E_New_Node_ID_Pri},
                          {RB_ID_Secondary, E_New_Node_ID_Sec},
                          {CB_Node_State, CB_NS_VarType},
                          {CB_Ident_Num},
                          {L_Swap_IN, CB_Swap_IN},
                          {CB_Conv_BCD},
                          {CB_SND_NKE},
                          {CB_Reset_App},
                          {L_Var_Type, CB_Var_Type},
                          {L_Cut_After, CB_Cut_After, L_Frames}});
    }
    CB_IN_VarType->hide();
    btn_Add_Node->move(btn_Add_Node->x(), y + 6);
}

void TFMeter_Bus::Sposta_Oggetti_Var(int listType)
{
    const int y = kFirstRow + 2 * kRowPitch;
    int end = 0;
    if (listType == 1) {
        byPosition_ = true;
        hideAll({L_Var_ToD, CB_Var_ToD, L_VIF_ASCII, E_VIF_ASCII, L_Var_FF, CB_Var_FF, L_Var_Unit, CB_Var_Unit, L_Sto_Num,
                 E_Sto_Num, L_Tariff, E_Tariff, L_VIFE, CB_VIFE});
        end = placeRows(y, {{L_Var_Dim, CB_Var_Dim},
                            {L_Length, E_Length},
                            {CB_BCDtoINT},
                            {L_Position, E_Position},
                            {L_BACnet_EngUnit, E_BACnet_EngUnit, Btn_EngUnit},
                            {L_BACnet_DataType, CB_BACnet_DataType},
                            {L_PostOpe, CB_PostOpe}});
    } else {
        byPosition_ = false;
        hideAll({L_Position, E_Position, L_BACnet_DataType, CB_BACnet_DataType});
        end = placeRows(y, {{L_Var_ToD, CB_Var_ToD},
                            {L_VIF_ASCII, E_VIF_ASCII},
                            {L_Var_FF, CB_Var_FF},
                            {L_Var_Dim, CB_Var_Dim},
                            {L_Length, E_Length},
                            {L_Var_Unit, CB_Var_Unit},
                            {L_Sto_Num, E_Sto_Num},
                            {L_Tariff, E_Tariff},
                            {L_VIFE, CB_VIFE},
                            {CB_BCDtoINT},
                            {L_BACnet_EngUnit, E_BACnet_EngUnit, Btn_EngUnit},
                            {L_PostOpe, CB_PostOpe}});
    }
    btn_Add_Var->move(btn_Add_Var->x(), end + 6);
}

bool TFMeter_Bus::byPositionLayout() const { return byPosition_; }

// --- showing ------------------------------------------------------------------------------------

void TFMeter_Bus::FormShow()
{
    CB_Cut_After->setItems(numbers(1, 250));
    CB_Cut_After->setItemIndex(0);
    MBusNetwork network;
    loadFailed_ = false;
    try {
        network = Read_MBus_Network(workspace::ws().Path_M_Bus, editor_.converterType());
    } catch (const platform::UserError& e) {
        // The window opens on an empty network; the file stays as it is unless the user builds
        // a network and confirms it.
        loadFailed_ = true;
        platform::showError(e.message());
    }
    editor_.load(std::move(network));
    fillTree();
    Sposta_Oggetti_Var(0);
    updatePasteItems();
}

void TFMeter_Bus::fillTree()
{
    treeQuiet_ = true;
    TW->clear();
    NODE_ORIG = TW->addItem(nullptr, QStringLiteral("M-Bus Network"));
    for (const TNodo& n : editor_.Nodi_List)
        addNodeItem(n);
    NODE_ORIG->setExpanded(true);
    TW->select(nullptr);
    treeQuiet_ = false;
}

void TFMeter_Bus::addNodeItem(const TNodo& node)
{
    QTreeWidgetItem* item = TW->addItem(NODE_ORIG, nodeCaption(node, editor_.converterType()));
    for (const TVariabile& v : node.Var_List)
        TW->addItem(item, variableCaption(v));
}

QTreeWidgetItem* TFMeter_Bus::nodeItem(int node) const
{
    return NODE_ORIG && node >= 0 && node < NODE_ORIG->childCount() ? NODE_ORIG->child(node) : nullptr;
}

QTreeWidgetItem* TFMeter_Bus::variableItem(int node, int variable) const
{
    QTreeWidgetItem* n = nodeItem(node);
    return n && variable >= 0 && variable < n->childCount() ? n->child(variable) : nullptr;
}

void TFMeter_Bus::updatePasteItems()
{
    PM_CopyPaste->item(QStringLiteral("PasteVariable1"))->setEnabled(editor_.Copy_Var.has_value());
    PM_CopyPaste->item(QStringLiteral("PasteNode1"))->setEnabled(editor_.Copy_Node.has_value());
}

void TFMeter_Bus::showMessage(int textIndex)
{
    if (textIndex != 0)
        platform::showError(text(textIndex));
}

// --- selection ----------------------------------------------------------------------------------

void TFMeter_Bus::TWClick()
{
    QTreeWidgetItem* item = TW->selected();
    int node = -1;
    int variable = -1;
    if (item && item != NODE_ORIG && NODE_ORIG) {
        QTreeWidgetItem* parent = item->parent();
        if (parent == NODE_ORIG) {
            node = NODE_ORIG->indexOfChild(item);
        } else if (parent && parent->parent() == NODE_ORIG) {
            node = NODE_ORIG->indexOfChild(parent);
            variable = parent->indexOfChild(item);
        }
    }
    editor_.select(node, variable);
    Aggiorna_Label();
    CB_Var_ToDChange();
    CB_Var_DimChange();
    switch (editor_.selected()) {
    case NetworkEditor::Selected::Variable: ExtPageControl1->setActivePage(ExtTabSheet2); break;
    case NetworkEditor::Selected::Node: ExtPageControl1->setActivePage(ExtTabSheet1); break;
    case NetworkEditor::Selected::Nothing: break;
    }
}

void TFMeter_Bus::selectInTree(int node, int variable)
{
    QTreeWidgetItem* item = variable >= 0 ? variableItem(node, variable) : node >= 0 ? nodeItem(node) : nullptr;
    treeQuiet_ = true;
    TW->select(item);
    treeQuiet_ = false;
    TWClick();
}

void TFMeter_Bus::Aggiorna_Label()
{
    const int type = editor_.converterType();
    NodePage nodes = readNodePage();
    VariablePage variables = readVariablePage();
    switch (editor_.selected()) {
    case NetworkEditor::Selected::Nothing:
        btn_Add_Node->setCaption(text(307));
        btn_Add_Var->setCaption(text(325));
        clearForNothingSelected(nodes, variables);
        showNodePage(nodes);
        showVariablePage(variables);
        break;
    case NetworkEditor::Selected::Node: {
        btn_Add_Node->setCaption(text(306));
        btn_Add_Var->setCaption(text(325));
        const TNodo& n = editor_.Nodi_List[size_t(editor_.IND_NODO)];
        showNode(nodes, n, type);
        showNodePage(nodes);
        showVariablePage(VariablePage{});
        Sposta_Oggetti_Var(n.Var_List_Type);
        break;
    }
    case NetworkEditor::Selected::Variable: {
        btn_Add_Node->setCaption(text(307));
        btn_Add_Var->setCaption(text(324));
        const TNodo& n = editor_.Nodi_List[size_t(editor_.IND_NODO)];
        showNode(nodes, n, type);
        showNodePage(nodes);
        showVariablePage(pageOfVariable(n.Var_List[size_t(editor_.IND_VAR)]));
        Sposta_Oggetti_Var(n.Var_List_Type);
        break;
    }
    }
    CB_MBus_TypeChange();
}

// --- the pages as data --------------------------------------------------------------------------

NodePage TFMeter_Bus::readNodePage() const
{
    NodePage p;
    p.enable = CB_Enable_Node->isChecked();
    p.description = E_New_Node_Desc->text();
    p.mbusType = CB_MBus_Type->itemIndex();
    p.secondarySelected = RB_ID_Secondary->isChecked();
    p.primary = E_New_Node_ID_Pri->text();
    p.secondary = E_New_Node_ID_Sec->text();
    p.nodeState = CB_Node_State->isChecked();
    p.nsVarType = CB_NS_VarType->itemIndex();
    p.inVarType = CB_IN_VarType->itemIndex();
    p.identNum = CB_Ident_Num->isChecked();
    p.swapIdent = CB_Swap_IN->itemIndex();
    p.bcdToIntIn = CB_Conv_BCD->isChecked();
    p.sendSnk = CB_SND_NKE->isChecked();
    p.resetApp = CB_Reset_App->isChecked();
    p.varListType = CB_Var_Type->itemIndex();
    p.cutAfter = CB_Cut_After->itemIndex();
    p.manId = E_wMBus_ManID->text();
    p.address = E_wMBus_Add->text();
    p.version = E_wMBus_Ver->text();
    p.devType = E_wMBus_DevType->text();
    p.keyEnable = CB_wMBus_EnKey->isChecked();
    for (size_t i = 0; i < 16; ++i)
        p.keys[i] = E_wMBus_K[i]->text();
    p.wNodeState = CB_wMBus_NodeState->isChecked();
    p.wNsVarType = CB_wMBus_NS_VarType->itemIndex();
    p.wInVarType = CB_wMBus_IN_VarType->itemIndex();
    p.wIdentNum = CB_wMBus_IdentNum->isChecked();
    p.wBcdToIntIn = CB_wMBus_Conv_BCD->isChecked();
    p.wSwapIdent = CB_wMBus_Swap_Ident->itemIndex();
    p.wVarListType = CB_wMBus_VarList->itemIndex();
    return p;
}

void TFMeter_Bus::showNodePage(const NodePage& p)
{
    CB_Enable_Node->setChecked(p.enable);
    E_New_Node_Desc->setText(p.description);
    CB_MBus_Type->setItemIndex(p.mbusType);
    RB_ID_Primary->setChecked(!p.secondarySelected);
    RB_ID_Secondary->setChecked(p.secondarySelected);
    E_New_Node_ID_Pri->setText(p.primary);
    E_New_Node_ID_Sec->setText(p.secondary);
    CB_Node_State->setChecked(p.nodeState);
    CB_NS_VarType->setItemIndex(p.nsVarType);
    CB_IN_VarType->setItemIndex(p.inVarType);
    CB_Ident_Num->setChecked(p.identNum);
    CB_Swap_IN->setItemIndex(p.swapIdent);
    CB_Conv_BCD->setChecked(p.bcdToIntIn);
    CB_SND_NKE->setChecked(p.sendSnk);
    CB_Reset_App->setChecked(p.resetApp);
    CB_Var_Type->setItemIndex(p.varListType);
    CB_Cut_After->setItemIndex(p.cutAfter);
    E_wMBus_ManID->setText(p.manId);
    E_wMBus_Add->setText(p.address);
    E_wMBus_Ver->setText(p.version);
    E_wMBus_DevType->setText(p.devType);
    CB_wMBus_EnKey->setChecked(p.keyEnable);
    for (size_t i = 0; i < 16; ++i)
        E_wMBus_K[i]->setText(p.keys[i]);
    CB_wMBus_NodeState->setChecked(p.wNodeState);
    CB_wMBus_NS_VarType->setItemIndex(p.wNsVarType);
    CB_wMBus_IN_VarType->setItemIndex(p.wInVarType);
    CB_wMBus_IdentNum->setChecked(p.wIdentNum);
    CB_wMBus_Conv_BCD->setChecked(p.wBcdToIntIn);
    CB_wMBus_Swap_Ident->setItemIndex(p.wSwapIdent);
    CB_wMBus_VarList->setItemIndex(p.wVarListType);
}

VariablePage TFMeter_Bus::readVariablePage() const
{
    VariablePage p;
    p.enable = CB_Var_En->isChecked();
    p.description = E_New_Var_Desc->text();
    p.typeOfData = CB_Var_ToD->itemIndex();
    p.vifAscii = E_VIF_ASCII->text();
    p.functionField = CB_Var_FF->itemIndex();
    p.dimension = CB_Var_Dim->itemIndex();
    p.length = E_Length->text();
    p.unit = CB_Var_Unit->itemIndex();
    p.storageNumber = E_Sto_Num->text();
    p.tariff = E_Tariff->text();
    p.vife = CB_VIFE->itemIndex();
    p.bcdToInt = CB_BCDtoINT->isChecked();
    p.position = E_Position->text();
    p.engUnit = E_BACnet_EngUnit->text();
    p.dataType = CB_BACnet_DataType->itemIndex();
    p.postOperation = CB_PostOpe->itemIndex();
    return p;
}

void TFMeter_Bus::showVariablePage(const VariablePage& p)
{
    CB_Var_En->setChecked(p.enable);
    E_New_Var_Desc->setText(p.description);
    CB_Var_ToD->setItemIndex(p.typeOfData);
    E_VIF_ASCII->setText(p.vifAscii);
    CB_Var_FF->setItemIndex(p.functionField);
    CB_Var_Dim->setItemIndex(p.dimension);
    E_Length->setText(p.length);
    CB_Var_Unit->setItemIndex(p.unit);
    E_Sto_Num->setText(p.storageNumber);
    E_Tariff->setText(p.tariff);
    CB_VIFE->setItemIndex(p.vife);
    CB_BCDtoINT->setChecked(p.bcdToInt);
    E_Position->setText(p.position);
    E_BACnet_EngUnit->setText(p.engUnit);
    CB_BACnet_DataType->setItemIndex(p.dataType);
    CB_PostOpe->setItemIndex(p.postOperation);
}

// --- dependent boxes ----------------------------------------------------------------------------

void TFMeter_Bus::CB_Var_ToDChange() { E_VIF_ASCII->setEnabled(CB_Var_ToD->itemIndex() == 21); }

void TFMeter_Bus::CB_Var_DimChange() { E_Length->setEnabled(CB_Var_Dim->itemIndex() == kVariableLength); }

void TFMeter_Bus::CB_Var_ToDSelect()
{
    const int unit = CB_Var_ToD->isVisibleTo(ExtTabSheet2)
                         ? Found_BACnet_EngUnits(CB_Var_ToD->itemIndex(), CB_VIFE->itemIndex())
                         : 95;
    E_BACnet_EngUnit->setText(QString::number(unit));
}

void TFMeter_Bus::CB_VIFESelect()
{
    if (CB_Var_ToD->itemIndex() != 19)
        return;
    const int unit = CB_VIFE->isVisibleTo(ExtTabSheet2) ? Found_BACnet_EngUnits(19, CB_VIFE->itemIndex()) : 95;
    E_BACnet_EngUnit->setText(QString::number(unit));
}

void TFMeter_Bus::CB_SelDevChange()
{
    if (editor_.converterType() != 20)
        return;
    const int i = CB_SelDev->itemIndex();
    E_New_Node_Desc->setText(i > 0 ? CB_SelDev->text() : QString());
}

void TFMeter_Bus::E_BACnet_EngUnitDblClick()
{
    tables::TFBACnet_Eng_Unit* picker = engUnitPicker ? engUnitPicker() : nullptr;
    if (!picker)
        return;
    E_BACnet_EngUnit->setText(tables::pickEngUnit(*picker, E_BACnet_EngUnit->text()));
}

bool TFMeter_Bus::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == E_BACnet_EngUnit && e->type() == QEvent::MouseButtonDblClick) {
        E_BACnet_EngUnitDblClick();
        return true;
    }
    return platform::Form::eventFilter(watched, e);
}

// --- commands -----------------------------------------------------------------------------------

void TFMeter_Bus::btn_Add_NodeClick()
{
    const NodePage page = readNodePage();
    const NetworkEditor::Outcome o = editor_.btn_Add_NodeClick(page, btn_Add_Node->caption() == text(307));
    showMessage(o.message);
    if (o.done == NetworkEditor::Done::Added)
        TW->addItem(NODE_ORIG, nodeCaption(page, editor_.converterType()));
    else if (o.done == NetworkEditor::Done::Modified)
        nodeItem(editor_.IND_NODO)->setText(0, nodeCaption(page, editor_.converterType()));
    if (o.done != NetworkEditor::Done::Nothing)
        NODE_ORIG->setExpanded(true);
}

void TFMeter_Bus::btn_Add_VarClick()
{
    const VariablePage page = readVariablePage();
    const NetworkEditor::Outcome o =
        editor_.btn_Add_VarClick(page, btn_Add_Var->caption() == text(325), byPositionLayout());
    showMessage(o.message);
    if (o.done == NetworkEditor::Done::Added)
        TW->addItem(nodeItem(editor_.IND_NODO), variableCaption(page.description));
    else if (o.done == NetworkEditor::Done::Modified)
        variableItem(editor_.IND_NODO, editor_.IND_VAR)->setText(0, variableCaption(page.description));
    if (o.done != NetworkEditor::Done::Nothing)
        NODE_ORIG->setExpanded(true);
}

void TFMeter_Bus::btn_Delete_ItemClick()
{
    const NetworkEditor::Selected what = editor_.selected();
    if (!platform::askYesNo(text(editor_.deleteQuestion())))
        return;
    const int node = editor_.IND_NODO;
    const int variable = editor_.IND_VAR;
    editor_.deleteSelected();
    treeQuiet_ = true;
    switch (what) {
    case NetworkEditor::Selected::Nothing:
        fillTree();
        break;
    case NetworkEditor::Selected::Node: delete nodeItem(node); break;
    case NetworkEditor::Selected::Variable: delete variableItem(node, variable); break;
    }
    treeQuiet_ = false;
    if (what != NetworkEditor::Selected::Nothing)
        selectInTree(editor_.IND_NODO, editor_.IND_VAR);
    TW->viewport()->update();
}

void TFMeter_Bus::FxButton2Click()
{
    // After a file that could not be read, OK without a change leaves that file for the user
    // to mend, rather than putting an empty network in its place.
    if (!(loadFailed_ && !editor_.Is_Change)) {
        try {
            Write_MBus_Network(workspace::ws().Path_M_Bus, editor_.Nodi_List, editor_.converterType());
        } catch (const platform::UserError& e) {
            platform::showError(e.message());
            return;
        }
    }
    treeQuiet_ = true;
    TW->clear();
    NODE_ORIG = nullptr;
    treeQuiet_ = false;
    editor_.load({});
    setModalResult(platform::mrOk);
}

void TFMeter_Bus::FxButton4Click()
{
    if (editor_.Is_Change && !platform::askYesNo(text(350)))
        return;
    setModalResult(platform::mrCancel);
}

void TFMeter_Bus::Btn_ImportNet_Click()
{
    platform::FileDialogRequest request;
    request.filter = QStringLiteral("XML File (*.xml)");
    request.defaultExtension = QStringLiteral("xml");
    const QString path = platform::fileDialogs().openFile(request);
    if (path.isEmpty())
        return;
    const QString target = workspace::ws().Path_M_Bus;
    try {
        // The chosen file must read as a network before it may replace the project's one.
        const QByteArray bytes = readImportedNetwork(path, editor_.converterType());
        if (platform::fileExists(target) && !platform::askYesNo(text(326)))
            return;
        writeFileBytes(target, bytes);
    } catch (const platform::UserError& e) {
        platform::showError(e.message());
        return;
    }
    FormShow();
}

void TFMeter_Bus::CopyVariable1Click()
{
    showMessage(editor_.CopyVariable1Click());
    updatePasteItems();
}

void TFMeter_Bus::PasteVariable1Click()
{
    const int node = editor_.IND_NODO;
    const int m = editor_.PasteVariable1Click();
    showMessage(m);
    if (m == 0) {
        TW->addItem(nodeItem(node), variableCaption(*editor_.Copy_Var));
        NODE_ORIG->setExpanded(true);
    }
}

void TFMeter_Bus::CopyNode1Click()
{
    showMessage(editor_.CopyNode1Click());
    updatePasteItems();
}

void TFMeter_Bus::PasteNode1Click()
{
    if (!FNewIDNode)
        return;
    const std::optional<NewNodeIdPage> prompt = editor_.pasteNodePrompt(FNewIDNode->readPage());
    if (!prompt)
        return;
    FNewIDNode->showPage(*prompt);
    if (FNewIDNode->showModal() != platform::mrOk)
        return;
    const NewNodeIdPage answer = FNewIDNode->readPage();
    if (const std::optional<int> index = editor_.pasteNode(answer)) {
        const TNodo& pasted = editor_.Nodi_List[size_t(*index)];
        QTreeWidgetItem* item =
            TW->addItem(NODE_ORIG, pastedNodeCaption(answer, *editor_.Copy_Node, editor_.converterType()));
        for (const TVariabile& v : pasted.Var_List)
            TW->addItem(item, variableCaption(v));
        NODE_ORIG->setExpanded(true);
    }
}

} // namespace mbus
