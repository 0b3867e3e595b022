#include "tables/devicenet/window/DeviceNetDialogs.h"

#include "controls/button/FxButton.h"
#include "controls/grid/column/ColumnGrid.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Dialogs.h"
#include "tables/devicenet/DeviceNetTables.h"
#include "tables/frame/window/Panels.h"
#include "workspace/Workspace.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QSplitter>
#include <QTabWidget>
#include <QVBoxLayout>

namespace tables::devicenet {

using workspace::text;
using workspace::ws;

// --- network table -------------------------------------------------------------------------------

TFDNet::TFDNet(QWidget* parent) : TTableDialog(dnetTable(), parent) {}

LoadResult TFDNet::loadFile(const QString& path) { return loadDNet(path, &loaded_); }

void TFDNet::afterLoad() { origins_.reset(capacity()); }

std::optional<Failure> TFDNet::checkRow(const RowView& row) { return checkDNetRow(row); }

void TFDNet::rowInserted(int, int row) { origins_.inserted(row); }

void TFDNet::rowDeleted(int, int row) { origins_.deleted(row); }

void TFDNet::saved()
{
    std::vector<int> origins;
    bool moved = false;
    for (int r : usedRows(description(), model(), 0)) {
        origins.push_back(origins_.origin(r));
        moved = moved || origins.back() != r - 1;
    }
    if (!moved)
        return;
    QString error;
    if (!moveOffsetNodes(loaded_, QFileInfo(ws().Path_DNETM_Net).fileName(), ws().Path_DNETM_DefOff, origins, &error))
        platform::showError(error);
}

// --- slave offsets -------------------------------------------------------------------------------

namespace {

using controls::grid::TGridColumnItem;

platform::Color colour(uint32_t rgb) { return platform::rgb(int(rgb >> 16) & 0xFF, int(rgb >> 8) & 0xFF, int(rgb) & 0xFF); }

// Keeps a fixed header row even without data rows.
void cutToHeader(TExtColumnGrid* g, int dataRows)
{
    g->SetRowCount(dataRows + 1);
}

} // namespace

TExtColumnGrid* TFDefOffset::byteGrid(QWidget* page, const QString& name)
{
    auto* g = new TExtColumnGrid(page);
    g->setObjectName(name);
    g->SetColCount(3);
    g->SetFixedRowAlways(true);
    g->SetFixedCols(1);
    g->SetRowCount(1);
    const std::pair<int, uint32_t> widths[] = {{60, kWindowColour}, {90, 0xFFFFFF}, {300, 0xFFFFFF}};
    for (int c = 0; c < 3; ++c) {
        TGridColumnItem* item = g->Columns().Items(c);
        item->SetWidth(widths[c].first);
        if (c > 0)
            item->SetColor(colour(widths[c].second));
    }
    g->Columns().Items(1)->SetEditor(controls::grid::edComboList);
    g->Columns().Items(2)->SetEditor(controls::grid::edNormal);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(g);
    return g;
}

TFDefOffset::TFDefOffset(QWidget* parent) : platform::Form(parent)
{
    // FormCreate: the window itself; its controls wait for the first show (buildControls).
    setObjectName(QStringLiteral("FDefOffset"));
    setFont(platform::uiFont(QStringLiteral("Verdana"), 8));
    platform::setBackgroundColor(this, tableBackground());
    setClientSize(kClientWidth, kClientHeight);
    Set_Lang();
}

void TFDefOffset::buildControls()
{
    const TitlePanel title = addTitlePanel(this, kClientWidth);
    P_Title = title.panel;
    L_SW_Code = title.code;
    L_SW_Desc = title.description;

    Splitter1 = new QSplitter(Qt::Vertical, this);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    Splitter1->setGeometry(0, kTitlePanelHeight, kClientWidth, kClientHeight - kTitlePanelHeight - kButtonPanelHeight);
    Splitter1->setHandleWidth(3);
    Splitter1->setChildrenCollapsible(false);

    Panel1 = new QWidget();
    Panel1->setObjectName(QStringLiteral("Panel1"));
    auto* top = new QVBoxLayout(Panel1);
    top->setContentsMargins(8, 1, 8, 2);
    top->setSpacing(3);
    Label1 = new QLabel(Panel1);
    Label1->setObjectName(QStringLiteral("Label1"));
    top->addWidget(Label1);
    ACG_DN_Slaves = new TExtColumnGrid(Panel1);
    ACG_DN_Slaves->setObjectName(QStringLiteral("ACG_DN_Slaves"));
    ACG_DN_Slaves->SetColCount(4);
    ACG_DN_Slaves->SetFixedRowAlways(true);
    ACG_DN_Slaves->SetFixedCols(0);
    ACG_DN_Slaves->SetRowCount(1);
    // Read-only and picked by whole rows.
    ACG_DN_Slaves->setOptions((ACG_DN_Slaves->options() | platform::goRowSelect) & ~platform::TGridOptions(platform::goEditing));
    const std::pair<int, uint32_t> slaveColumns[] = {{60, 0xCEFFCE}, {90, 0xFFFFD5}, {90, 0xFFFFD5}, {220, kWindowColour}};
    for (int c = 0; c < 4; ++c) {
        TGridColumnItem* item = ACG_DN_Slaves->Columns().Items(c);
        item->SetWidth(slaveColumns[c].first);
        item->SetColor(colour(slaveColumns[c].second));
        item->ReadOnly = true;
    }
    ACG_DN_Slaves->OnRowChanged = [this](controls::grid::TExtStringGrid*, int, int row) { selectSlave(row); };
    ACG_DN_Slaves->OnClickCell = [this](controls::grid::TExtStringGrid*, int row, int) { selectSlave(row); };
    top->addWidget(ACG_DN_Slaves, 1);
    Splitter1->addWidget(Panel1);

    Panel3 = new QWidget();
    Panel3->setObjectName(QStringLiteral("Panel3"));
    auto* bottom = new QVBoxLayout(Panel3);
    bottom->setContentsMargins(8, 8, 8, 4);
    bottom->setSpacing(3);
    Label2 = new QLabel(Panel3);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label3 = new QLabel(Panel3);
    Label3->setObjectName(QStringLiteral("Label3"));
    bottom->addWidget(Label2);
    bottom->addWidget(Label3);
    PageControl1 = new QTabWidget(Panel3);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    TabSheet1 = new QWidget();
    TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
    TabSheet2 = new QWidget();
    TabSheet2->setObjectName(QStringLiteral("TabSheet2"));
    PageControl1->addTab(TabSheet1, QString());
    PageControl1->addTab(TabSheet2, QString());
    ACG_ByteIN = byteGrid(TabSheet1, QStringLiteral("ACG_ByteIN"));
    ACG_ByteOUT = byteGrid(TabSheet2, QStringLiteral("ACG_ByteOUT"));
    bottom->addWidget(PageControl1, 1);
    Splitter1->addWidget(Panel3);
    Splitter1->setSizes({162, Splitter1->height() - 162 - Splitter1->handleWidth()});

    P_Button = addButtonPanel(this, kClientHeight - kButtonPanelHeight, kClientWidth);
    Btn_OK = addPanelButton(P_Button, QStringLiteral("Btn_OK"), 0);
    Btn_OK->onClick = [this](controls::TFxButton*) { bitbtn1Click(); };
    Btn_Cancel = addPanelButton(P_Button, QStringLiteral("Btn_Cancel"), 1);
    Btn_Cancel->setModalResult(controls::mrCancel);

    Reset_Panel_Backgrounds();
    platform::setLabelText(L_SW_Code, ws().SW_Code);
    PageControl1->setCurrentIndex(0); // here only, not at each showing
    Set_Lang();
}

void TFDefOffset::Reset_Panel_Backgrounds()
{
    ensureControls();
    // Each panel paints its own background, the window's colour.
    for (QWidget* p : {P_Button, Panel1, Panel3})
        platform::setBackgroundColor(p, tableBackground());
}

void TFDefOffset::Set_Lang()
{
    setWindowTitle(text(791));
    if (!controlsBuilt())
        return;
    platform::setLabelText(L_SW_Desc, text(792));
    Btn_OK->setCaption(text(793));
    Btn_Cancel->setCaption(text(794));
    PageControl1->setTabText(0, text(795));
    PageControl1->setTabText(1, text(796));
    Label1->setText(text(797));
    Label2->setText(text(798));
    Label3->setText(text(799));
    for (int c = 0; c < 4; ++c)
        ACG_DN_Slaves->Columns().Items(c)->SetHeader(text(800 + c));
    for (int c = 0; c < 3; ++c) {
        ACG_ByteIN->Columns().Items(c)->SetHeader(text(804 + c));
        ACG_ByteOUT->Columns().Items(c)->SetHeader(text(807 + c));
    }
}

void TFDefOffset::FormShow()
{
    ensureControls();
    List_Slaves_DN.clear();
    MAX_BYTE_IN = kByteArraySize;
    MAX_BYTE_OUT = kByteArraySize;
    for (auto [g, count] : {std::pair{ACG_ByteIN, MAX_BYTE_IN}, std::pair{ACG_ByteOUT, MAX_BYTE_OUT}}) {
        QStringList items{QStringLiteral("None")};
        items.reserve(count + 1);
        for (int i = 0; i < count; ++i)
            items << QString::number(i);
        platform::TStringList& list = g->Columns().Items(1)->ComboItems();
        list.Clear();
        list.AddStrings(items);
    }
    Slave_Before_Select = -1;
    loadError_.clear();
    countWarning_.clear();
    // Filling the slave grid may move its current row: no slave is shown before the offsets are in.
    loading_ = true;
    Load_Slave_DN();
    Load_Offset_Slave_DN();
    loading_ = false;
    Select_First();
    if (const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    if (!loadError_.isEmpty())
        platform::showError(loadError_);
    if (!countWarning_.isEmpty())
        platform::messageBoxes().show(platform::MsgKind::Information, countWarning_);
}

void TFDefOffset::Load_Slave_DN()
{
    ensureControls();
    const QString path = ws().Path_DNETM_Net;
    net_ = readNetTable(path);
    SlaveList list = slavesFromNet(net_, QFileInfo(path).fileName());
    if (!list.error.isEmpty())
        loadError_ = list.error;
    List_Slaves_DN = std::move(list.slaves);
    // The grid lists the slaves that were read, with the file's texts.
    cutToHeader(ACG_DN_Slaves, int(List_Slaves_DN.size()));
    for (size_t i = 0; i < List_Slaves_DN.size(); ++i) {
        const NetRow& r = net_.rows[i];
        const QString texts[] = {r.ID, r.NB_IN, r.NB_OUT, r.Mnemonic};
        for (int c = 0; c < 4; ++c)
            ACG_DN_Slaves->SetCells(c, int(i) + 1, texts[c]);
    }
}

void TFDefOffset::Load_Offset_Slave_DN()
{
    SlaveList list;
    list.slaves = std::move(List_Slaves_DN);
    int nodes = 0;
    const QString error = tables::devicenet::Load_Offset_Slave_DN(list, ws().Path_DNETM_DefOff, &nodes);
    List_Slaves_DN = std::move(list.slaves);
    if (!error.isEmpty() && loadError_.isEmpty())
        loadError_ = error;
    if (error.isEmpty() && nodes > 0)
        countWarning_ = nodeCountWarning(nodes, int(List_Slaves_DN.size()));
}

void TFDefOffset::Select_First()
{
    ensureControls();
    if (List_Slaves_DN.empty()) {
        Update_Slave_DN();
        return;
    }
    ACG_DN_Slaves->SetRow(1);
    selectSlave(1);
}

void TFDefOffset::ACG_DN_SlavesClick()
{
    ensureControls();
    selectSlave(ACG_DN_Slaves->Row());
}

void TFDefOffset::selectSlave(int row)
{
    if (loading_ || row < 1 || size_t(row) > List_Slaves_DN.size())
        return;
    if (Slave_Before_Select != -1)
        Save_Data_ByteIN_ByteOUT();
    if (ACG_DN_Slaves->Row() != row)
        ACG_DN_Slaves->SetRow(row); // reports the row again, which finds it shown already
    if (Slave_Before_Select == row - 1)
        return;
    Slave_Before_Select = row - 1;
    Update_Slave_DN();
}

void TFDefOffset::Update_Slave_DN()
{
    ensureControls();
    if (Slave_Before_Select < 0 || size_t(Slave_Before_Select) >= List_Slaves_DN.size()) {
        cutToHeader(ACG_ByteIN, 0);
        cutToHeader(ACG_ByteOUT, 0);
        return;
    }
    const Slave& s = List_Slaves_DN[size_t(Slave_Before_Select)];
    const std::pair<TExtColumnGrid*, std::pair<const QStringList*, const QStringList*>> grids[] = {
        {ACG_ByteIN, {&s.List_ByteIN, &s.List_ByteIN_M}}, {ACG_ByteOUT, {&s.List_ByteOUT, &s.List_ByteOUT_M}}};
    for (const auto& [g, lists] : grids) {
        const QStringList& offsets = *lists.first;
        const QStringList& mnemonics = *lists.second;
        cutToHeader(g, int(offsets.size()));
        for (int i = 0; i < offsets.size(); ++i) {
            g->SetCells(0, i + 1, QString::number(i));
            g->SetCells(1, i + 1, offsets[i]);
            g->SetCells(2, i + 1, mnemonics.value(i));
        }
        if (!offsets.isEmpty())
            g->MoveToCell(1, 1);
    }
}

bool TFDefOffset::Save_Data_ByteIN_ByteOUT()
{
    ensureControls();
    if (Slave_Before_Select < 0 || size_t(Slave_Before_Select) >= List_Slaves_DN.size())
        return true;
    Slave& s = List_Slaves_DN[size_t(Slave_Before_Select)];
    const std::pair<TExtColumnGrid*, std::pair<QStringList*, QStringList*>> grids[] = {
        {ACG_ByteIN, {&s.List_ByteIN, &s.List_ByteIN_M}}, {ACG_ByteOUT, {&s.List_ByteOUT, &s.List_ByteOUT_M}}};
    for (const auto& [g, lists] : grids) {
        QStringList& offsets = *lists.first;
        QStringList& mnemonics = *lists.second;
        const int n = std::min<int>(g->RowCount() - 1, int(offsets.size()));
        for (int r = 1; r <= n; ++r) {
            offsets[r - 1] = g->Cells(1, r);
            mnemonics[r - 1] = g->Cells(2, r);
        }
    }
    return true;
}

bool TFDefOffset::Check_Data()
{
    if (const std::optional<OffsetClash> clash = tables::devicenet::Check_Data(List_Slaves_DN)) {
        platform::showError(clashMessage(*clash));
        return false;
    }
    return true;
}

bool TFDefOffset::Save_Offset_Slave_DN()
{
    QString error;
    if (tables::devicenet::Save_Offset_Slave_DN(List_Slaves_DN, ws().Path_DNETM_DefOff, &error))
        return true;
    platform::showError(error);
    return false;
}

void TFDefOffset::bitbtn1Click()
{
    ensureControls();
    Save_Data_ByteIN_ByteOUT();
    if (!Check_Data())
        return;
    if (!loadError_.isEmpty() &&
        !platform::askYesNo(QStringLiteral("The slaves and their offsets could not be read whole. Saving replaces %1 "
                                           "with the offsets as shown. Replace it?")
                                .arg(QFileInfo(ws().Path_DNETM_DefOff).fileName())))
        return;
    if (!Save_Offset_Slave_DN())
        return;
    loadError_.clear();
    setModalResult(platform::mrOk);
}

} // namespace tables::devicenet
