#include "mbus/master/window/UTemplate_Creation.h"

#include "controls/button/FormButton.h"
#include "controls/grid/column/ColumnGrid.h"
#include "mbus/master/TemplateTables.h"
#include "mbus/master/TextInput.h"
#include "mbus/master/window/WindowParts.h"
#include "platform/fs/Files.h"
#include "platform/text/UserError.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Dialogs.h"
#include "workspace/Workspace.h"

#include <QLabel>
#include <QTabWidget>
#include <QVBoxLayout>

namespace mbus::master {

using workspace::text;

namespace {

constexpr int kObjectWidths[kObjectColumns] = {40, 50, 60, 70, 100, 75, 95, 80, 110, 50, 55, 140, 120};
constexpr int kRequestWidths[kRequestColumns] = {40, 80, 90, 260, 90, 70, 80, 90};
constexpr int kButtonPanelHeight = 40;

QWidget* addPage(QTabWidget* pages, const QString& name, TExtColumnGrid* grid)
{
    auto* page = new QWidget();
    page->setObjectName(name);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    pages->addTab(page, QString());
    grid->setParent(page);
    layout->addWidget(grid);
    return page;
}

} // namespace

TFTemplate_Creation::TFTemplate_Creation(QWidget* parent) : platform::Form(parent)
{
    // FormCreate: the window itself; its two grids and buttons wait for the first show.
    setObjectName(QStringLiteral("FTemplate_Creation"));
    setFont(platform::uiFont(QStringLiteral("Verdana"), 8));
    platform::setBackgroundColor(this, kWindowBackground);
    setClientSize(kClientWidth, kClientHeight);
    Set_Lang();
}

void TFTemplate_Creation::buildControls()
{
    const TitlePanel title = addTitlePanel(this, kClientWidth);
    L_SW_Code = title.code;
    L_SW_Desc = title.description;

    const int middle = kClientHeight - kTitleHeight - kButtonPanelHeight;
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setGeometry(0, kTitleHeight, kClientWidth, middle);
    ACG_BACnet = addGrid(nullptr, QStringLiteral("ACG_BACnet"), kObjectColumns, kTemplateRows + 1, kObjectWidths, true);
    ACG_MBus = addGrid(nullptr, QStringLiteral("ACG_MBus"), kRequestColumns, kTemplateRows + 1, kRequestWidths, true);
    TS_BACnet = addPage(PageControl1, QStringLiteral("TS_BACnet"), ACG_BACnet);
    TS_MBus = addPage(PageControl1, QStringLiteral("TS_MBus"), ACG_MBus);
    setUpGrid(ACG_BACnet);
    setUpGrid(ACG_MBus);
    ACG_BACnet->OnGridHint = [this](controls::grid::TExtStringGrid*, int row, int col, QString& hint) {
        if (row == 0 && col >= 1 && col <= Hint_BACnet.size())
            hint = Hint_BACnet[col - 1];
    };
    ACG_MBus->OnGridHint = [this](controls::grid::TExtStringGrid*, int row, int col, QString& hint) {
        if (row == 0 && col >= 0 && col < Hint_MBus.size())
            hint = Hint_MBus[col];
    };

    auto* buttons = new QWidget(this);
    buttons->setObjectName(QStringLiteral("P_Button"));
    buttons->setGeometry(0, kClientHeight - kButtonPanelHeight, kClientWidth, kButtonPanelHeight);
    platform::setBackgroundColor(buttons, kWindowBackground);
    int slot = 0;
    const auto add = [&](const char* name, void (TFTemplate_Creation::*handler)()) {
        controls::TFxButton* b = addRowButton(buttons, QLatin1String(name), slot++, 6);
        if (handler)
            b->onClick = [this, handler](controls::TFxButton*) { (this->*handler)(); };
        return b;
    };
    Btn_Create_Template = add("Btn_Create_Template", &TFTemplate_Creation::Btn_Create_TemplateClick);
    Btn_Cancel = add("Btn_Cancel", nullptr);
    Btn_Cancel->setModalResult(controls::mrCancel);
    Btn_DelRow = add("Btn_DelRow", &TFTemplate_Creation::Btn_DelRowClick);
    Btn_InsRow = add("Btn_InsRow", &TFTemplate_Creation::Btn_InsRowClick);
    Btn_CopyRow = add("Btn_CopyRow", &TFTemplate_Creation::Btn_CopyRowClick);
    Btn_PasteRow = add("Btn_PasteRow", &TFTemplate_Creation::Btn_PasteRowClick);
    Btn_Import = add("Btn_Import", &TFTemplate_Creation::Btn_ImportClick);
    Btn_Erase = add("Btn_Erase", &TFTemplate_Creation::Btn_EraseClick);
    Set_Lang();
}

TFTemplate_Creation::~TFTemplate_Creation() = default;

void TFTemplate_Creation::setUpGrid(TExtColumnGrid* g)
{
    // A click on a row number selects the whole row.
    g->OnClickCell = [g](controls::grid::TExtStringGridInput*, int row, int col) {
        if (col == 0 && row > 0)
            g->SelectRows(row, 1);
    };
    g->OnDblClickCell = [g](controls::grid::TExtStringGridEdit*, int row, int col) {
        tables::Grid_Auto_Size_Col(g, row, col);
    };
    g->OnKeyPress = [g](QObject*, QChar& key) { tables::Grid_Enter_Next_Cell(g, key); };
}

void TFTemplate_Creation::Set_Lang()
{
    setWindowTitle(text(1400));
    Hint_BACnet.clear();
    for (int t = 1441; t <= 1452; ++t)
        Hint_BACnet << text(t);
    Hint_MBus.clear();
    for (int t = 1453; t <= 1460; ++t)
        Hint_MBus << text(t);
    if (!controlsBuilt())
        return;
    platform::setLabelText(L_SW_Desc, text(1401));
    PageControl1->setTabText(0, text(1402));
    PageControl1->setTabText(1, text(1403));
    controls::TFxButton* const buttons[] = {Btn_Create_Template, Btn_Cancel, Btn_DelRow, Btn_InsRow,
                                            Btn_CopyRow, Btn_PasteRow, Btn_Import, Btn_Erase};
    for (int i = 0; i < 8; ++i) {
        buttons[i]->setCaption(text(1404 + i));
        buttons[i]->setHint(text(1412 + i));
        buttons[i]->setShowHint(true);
    }
    for (int c = 0; c < kObjectColumns; ++c)
        ACG_BACnet->Columns().Items(c)->SetHeader(text(1420 + c));
    for (int c = 0; c < kRequestColumns; ++c)
        ACG_MBus->Columns().Items(c)->SetHeader(text(1433 + c));
}

void TFTemplate_Creation::FormShow()
{
    ensureControls();
    copyFlags_.clear();
    Erase_Table(ACG_BACnet);
    Erase_Table(ACG_MBus);
    for (TExtColumnGrid* g : {ACG_BACnet, ACG_MBus})
        g->MoveToCell(1, 1);
    PageControl1->setCurrentIndex(0);
}

int TFTemplate_Creation::activeIndex() const { return PageControl1 && PageControl1->currentIndex() == 1 ? 1 : 0; }

TExtColumnGrid* TFTemplate_Creation::activeGrid() const
{
    const_cast<TFTemplate_Creation*>(this)->ensureControls();
    return activeIndex() == 1 ? ACG_MBus : ACG_BACnet;
}

void TFTemplate_Creation::Erase_Table(TExtColumnGrid* g)
{
    g->BeginUpdate();
    const int cols = tables::fullColCount(g);
    // Only the cells that differ are written: a table mostly empty is erased at little cost.
    for (int r = 1; r < g->RowCount(); ++r) {
        const QString number = QString::number(r);
        if (g->Cells(0, r) != number)
            g->SetCells(0, r, number);
        for (int c = 1; c < cols; ++c)
            if (!g->Cells(c, r).isEmpty())
                g->SetCells(c, r, QString());
    }
    g->EndUpdate();
}

void TFTemplate_Creation::Btn_DelRowClick()
{
    TExtColumnGrid* g = activeGrid();
    const int row = g->Row();
    if (row < 1 || !platform::askYesNo(text(1488) + QString::number(row)))
        return;
    tables::Grid_Delete_Row(row, g);
}

void TFTemplate_Creation::Btn_InsRowClick()
{
    TExtColumnGrid* g = activeGrid();
    if (g->Row() >= 1)
        tables::Grid_Insert_Row(g->Row(), g);
}

void TFTemplate_Creation::Btn_CopyRowClick()
{
    TExtColumnGrid* g = activeGrid();
    if (g->Row() < 1)
        return;
    tables::Grid_Copy_Row(g, g->Row());
    copyFlags_.copied(activeIndex());
}

void TFTemplate_Creation::Btn_PasteRowClick()
{
    TExtColumnGrid* g = activeGrid();
    if (g->Row() >= 1)
        tables::Grid_Paste_Row(g, g->Row(), copyFlags_.copiedHere(activeIndex()));
}

void TFTemplate_Creation::Btn_EraseClick()
{
    if (platform::askYesNo(text(1489)))
        Erase_Table(activeGrid());
}

void TFTemplate_Creation::Btn_ImportClick()
{
    platform::FileDialogRequest request;
    request.filter = QStringLiteral("CSV File (*.csv)");
    const QString file = platform::fileDialogs().openFile(request);
    if (file.isEmpty())
        return;
    if (!platform::fileExists(file)) {
        platform::showError(text(1491));
        return;
    }
    if (!platform::askYesNo(text(1490)))
        return;
    // The requests' first field fills the step column.
    Import_CSV(activeGrid(), file, activeIndex() == 1 ? 0 : 1);
}

bool TFTemplate_Creation::Import_CSV(TExtColumnGrid* g, const QString& FileName, int Start_Col)
{
    std::vector<CsvRow> rows;
    try {
        rows = csvRows(readTextInput(FileName));
    } catch (const platform::UserError& e) {
        platform::showError(e.message());
        return false;
    }
    const int cols = tables::fullColCount(g);
    int beyond = 0;
    g->BeginUpdate();
    for (const CsvRow& r : rows) {
        if (r.row >= g->RowCount()) {
            ++beyond;
            continue;
        }
        for (int k = 0; k < r.fields.size() && Start_Col + k < cols; ++k)
            g->SetCells(Start_Col + k, r.row, r.fields[k]);
    }
    g->EndUpdate();
    if (beyond > 0)
        platform::messageBoxes().show(
            platform::MsgKind::Information,
            QStringLiteral("The table has %1 rows: %2 lines of the file beyond them were not imported.")
                .arg(g->RowCount() - 1)
                .arg(beyond));
    return true;
}

bool TFTemplate_Creation::Controllo_dati()
{
    ensureControls();
    const auto rowsOf = [](const TExtColumnGrid* g) {
        return usedTemplateRows([g](int c, int r) { return g->Cells(c, r); }, g->RowCount(), g->ColCount());
    };
    TemplateCheck check = checkTemplateTables(rowsOf(ACG_BACnet), rowsOf(ACG_MBus));
    if (!check.ok) {
        platform::showError(check.message);
        return false;
    }
    List_BACnet = std::move(check.variables);
    List_MBus = std::move(check.requests);
    return true;
}

void TFTemplate_Creation::Delete_Lists()
{
    List_BACnet.clear();
    List_MBus.clear();
}

void TFTemplate_Creation::Create_Template_XML_File(const QString& file_Template)
{
    mbus::Create_Template_XML_File(file_Template, List_BACnet, List_MBus);
}

void TFTemplate_Creation::Btn_Create_TemplateClick()
{
    Delete_Lists();
    if (Controllo_dati()) {
        const std::optional<QString> name = askTemplateName ? askTemplateName() : std::nullopt;
        if (name) {
            try {
                Create_Template_XML_File(*name);
            } catch (const platform::UserError& e) {
                platform::showError(e.message());
            }
        }
    }
    Delete_Lists();
}

} // namespace mbus::master
