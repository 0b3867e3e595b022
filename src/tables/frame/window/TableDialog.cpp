#include "tables/frame/window/TableDialog.h"

#include "controls/button/FormButton.h"
#include "controls/grid/column/ColumnGrid.h"
#include "platform/text/Text.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Dialogs.h"
#include "tables/frame/window/Panels.h"
#include "workspace/Workspace.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QPalette>
#include <QScreen>
#include <QTabWidget>
#include <QVBoxLayout>

namespace tables {

using controls::grid::TEditorType;
using workspace::text;
using workspace::ws;

namespace {

constexpr int kHeaderHeight = 22;

platform::Color gridColour(uint32_t rgb) { return platform::rgb(int(rgb >> 16) & 0xFF, int(rgb >> 8) & 0xFF, int(rgb) & 0xFF); }

TEditorType editorKind(Editor e)
{
    switch (e) {
    case Editor::ComboList: return controls::grid::edComboList;
    case Editor::ComboEdit: return controls::grid::edComboEdit;
    case Editor::DataCheckBox: return controls::grid::edDataCheckBox;
    case Editor::Normal: break;
    }
    return controls::grid::edNormal;
}

QString headerOf(const ColumnDescription& c) { return c.headerText >= 0 ? text(c.headerText) : c.fixedHeader; }

} // namespace

TTableDialog::TTableDialog(TableDescription desc, QWidget* parent)
    : platform::Form(parent), capacity_(desc.capacity), limits_(desc.limits), desc_(std::move(desc)),
      copyFlags_(int(desc_.sections.size()))
{
    // FormCreate: the window itself; its controls wait for the first show (buildControls).
    setObjectName(desc_.window.className);
    setFont(platform::uiFont(QStringLiteral("Verdana"), 8));
    platform::setBackgroundColor(this, tableBackground());
    setClientSize(desc_.window.clientWidth, kClientHeight);
    Set_Lang();
}

void TTableDialog::buildControls()
{
    const int width = desc_.window.clientWidth;

    const TitlePanel title = addTitlePanel(this, width);
    P_Title = title.panel;
    L_SW_Code = title.code;
    L_SW_Desc = title.description;

    // The middle: a page per section, or the single grid.
    const int middleHeight = kClientHeight - kTitleHeight - kButtonPanelHeight;
    if (desc_.hasPages()) {
        PageControl1 = new QTabWidget(this);
        PageControl1->setObjectName(QStringLiteral("PageControl1"));
        PageControl1->setGeometry(0, kTitleHeight, width, middleHeight);
        for (size_t s = 0; s < desc_.sections.size(); ++s) {
            auto* page = new QWidget();
            page->setObjectName(desc_.sections[s].pageName);
            auto* layout = new QVBoxLayout(page);
            layout->setContentsMargins(0, 0, 0, 0);
            PageControl1->addTab(page, QString());
            buildGrid(int(s), page, width, middleHeight);
            layout->addWidget(grids_.back());
        }
    } else {
        auto* middle = new QWidget(this);
        middle->setGeometry(0, kTitleHeight, width, middleHeight);
        auto* layout = new QVBoxLayout(middle);
        layout->setContentsMargins(0, 0, 0, 0);
        buildGrid(0, middle, width, middleHeight);
        layout->addWidget(grids_.back());
    }

    P_Button = addButtonPanel(this, kClientHeight - kButtonPanelHeight, width);
    int slot = 0;
    auto add = [&](const char* name, bool present) -> controls::TFxButton* {
        if (!present && slot >= 2)
            return nullptr;
        return addPanelButton(P_Button, QLatin1String(name), slot++);
    };
    Btn_OK = add("Btn_OK", true);
    Btn_OK->onClick = [this](controls::TFxButton*) { Btn_OKClick(); };
    Btn_Cancel = add("Btn_Cancel", true);
    Btn_Cancel->setModalResult(controls::mrCancel);
    if ((Btn_DelRow = add("Btn_DelRow", desc_.buttons.delRow >= 0)))
        Btn_DelRow->onClick = [this](controls::TFxButton*) { Btn_DelRowClick(); };
    if ((Btn_InsRow = add("Btn_InsRow", desc_.buttons.insRow >= 0)))
        Btn_InsRow->onClick = [this](controls::TFxButton*) { Btn_InsRowClick(); };
    if (desc_.offersCopy()) {
        Btn_CopyRow = add("Btn_CopyRow", true);
        Btn_CopyRow->onClick = [this](controls::TFxButton*) { Btn_CopyRowClick(); };
        Btn_PasteRow = add("Btn_PasteRow", true);
        Btn_PasteRow->onClick = [this](controls::TFxButton*) { Btn_PasteRowClick(); };
    }

    platform::setLabelText(L_SW_Code, ws().SW_Code);
    if (PageControl1)
        PageControl1->setCurrentIndex(0);
    Set_Lang();
}

TTableDialog::~TTableDialog() = default;

void TTableDialog::buildGrid(int section, QWidget* parent, int width, int height)
{
    const SectionDescription& sec = desc_.sections[size_t(section)];
    auto* g = new TExtColumnGrid(parent);
    g->setObjectName(sec.gridName);
    g->resize(width, height);
    const int cols = int(sec.columns.size()) + 1;
    g->SetColCount(cols);
    if (desc_.rowHeight > 0)
        g->SetDefaultRowHeight(desc_.rowHeight);
    g->SetRowCount(capacity_ + 1);
    g->SetFixedRowAlways(true);
    // Columns are sized by their header borders, and a double click on one fits the column.
    g->setOptions(g->options() | platform::goColSizing);
    g->setRowHeights(0, kHeaderHeight);
    controls::grid::TGridColumnItem* number = g->Columns().Items(0);
    number->SetWidth(sec.numberWidth);
    number->SetColor(gridColour(kWindowColour));
    for (int c = 1; c < cols; ++c) {
        const ColumnDescription& desc = sec.columns[size_t(c - 1)];
        controls::grid::TGridColumnItem* item = g->Columns().Items(c);
        item->SetEditor(editorKind(desc.editor));
        item->ComboItems().Clear();
        if (!desc.items.isEmpty())
            item->ComboItems().AddStrings(desc.items);
        item->SetWidth(desc.width);
        item->SetColor(gridColour(desc.colour));
        item->EditLength = desc.maxLength;
        item->ReadOnly = desc.readOnly;
        if (desc.centred)
            item->SetAlignment(platform::Alignment::taCenter);
    }
    for (int c = cols - 1; c >= 1; --c)
        if (sec.columns[size_t(c - 1)].hidden)
            g->HideColumn(c);

    g->OnComboChange = [this, section, g](controls::grid::TExtStringGridEdit*, int col, int row, int index,
                                          const QString& text) {
        comboChanged(section, g->RealColIndex(col), row, index, text);
    };
    g->OnDblClickCell = [this, section, g](controls::grid::TExtStringGridEdit*, int row, int col) {
        cellDoubleClicked(section, row, g->RealColIndex(col));
    };
    if (desc_.enterMovesToNextCell)
        g->OnKeyPress = [g](QObject*, QChar& key) { Grid_Enter_Next_Cell(g, key); };
    bool hints = false;
    for (const ColumnDescription& c : sec.columns)
        hints = hints || c.hintText >= 0;
    if (hints) {
        // The grid asks for the hint of a cell by its real column, hidden columns counted.
        g->OnGridHint = [this, section](controls::grid::TExtStringGrid*, int row, int col, QString& hint) {
            const auto& columns = desc_.sections[size_t(section)].columns;
            if (row == 0 && col >= 1 && size_t(col) <= columns.size()) {
                const int t = columns[size_t(col - 1)].hintText;
                if (t >= 0)
                    hint = text(t);
            }
        };
    }
    grids_.push_back(g);
}

void TTableDialog::cellDoubleClicked(int section, int row, int col)
{
    // `col` counts hidden columns; the grid sizes its columns as shown.
    if (desc_.autoSizeOnDoubleClick)
        Grid_Auto_Size_Col(grid(section), row, grid(section)->DisplColIndex(col));
}

QString TTableDialog::pageCaption(int section) const
{
    const SectionDescription& s = desc_.sections[size_t(section)];
    return s.pageText >= 0 ? text(s.pageText) : (s.element.isEmpty() ? desc_.root : s.element);
}

void TTableDialog::Set_Lang()
{
    setWindowTitle(text(desc_.window.captionText));
    if (!controlsBuilt())
        return;
    platform::setLabelText(L_SW_Desc, text(desc_.window.descText));
    const ButtonDescription& b = desc_.buttons;
    struct Texts {
        controls::TFxButton* button;
        int caption, hint;
        QString fixed;
    };
    const Texts buttons[] = {
        {Btn_OK, b.ok, b.okHint, {}},
        {Btn_Cancel, b.cancel, b.cancelHint, {}},
        {Btn_DelRow, b.delRow, b.delRowHint, {}},
        {Btn_InsRow, b.insRow, b.insRowHint, {}},
        {Btn_CopyRow, b.copyRow, b.copyRowHint, b.copyRowCaption},
        {Btn_PasteRow, b.pasteRow, b.pasteRowHint, b.pasteRowCaption},
    };
    for (const Texts& t : buttons) {
        if (!t.button)
            continue;
        t.button->setCaption(t.caption >= 0 ? text(t.caption) : t.fixed);
        if (t.hint >= 0) {
            t.button->setHint(text(t.hint));
            t.button->setShowHint(true);
        }
    }
    for (size_t s = 0; s < desc_.sections.size(); ++s) {
        const SectionDescription& sec = desc_.sections[s];
        if (PageControl1)
            PageControl1->setTabText(int(s), pageCaption(int(s)));
        TExtColumnGrid* g = grids_[s];
        g->Columns().Items(0)->SetHeader(sec.numberHeaderText >= 0 ? text(sec.numberHeaderText) : QStringLiteral("N"));
        for (size_t c = 0; c < sec.columns.size(); ++c)
            g->Columns().Items(int(c) + 1)->SetHeader(headerOf(sec.columns[c]));
    }
}

int TTableDialog::currentSection() const { return PageControl1 ? std::max(PageControl1->currentIndex(), 0) : 0; }

void TTableDialog::setCurrentSection(int section)
{
    ensureControls();
    if (PageControl1)
        PageControl1->setCurrentIndex(section);
}

TExtColumnGrid* TTableDialog::grid(int section) const
{
    const_cast<TTableDialog*>(this)->ensureControls();
    return grids_[size_t(section)];
}

TableModel TTableDialog::model() const
{
    const_cast<TTableDialog*>(this)->ensureControls();
    TableModel m;
    for (size_t s = 0; s < desc_.sections.size(); ++s) {
        const TExtColumnGrid* g = grids_[s];
        const int cols = int(desc_.sections[s].columns.size());
        std::vector<RowCells> rows;
        const int n = g->RowCount() - 1;
        rows.reserve(size_t(std::max(n, 0)));
        for (int r = 1; r <= n; ++r) {
            RowCells cells;
            cells.reserve(cols);
            for (int c = 1; c <= cols; ++c)
                cells.push_back(g->Cells(c, r));
            rows.push_back(std::move(cells));
        }
        m.sections.push_back(std::move(rows));
    }
    return m;
}

void TTableDialog::setModel(const TableModel& m)
{
    ensureControls();
    for (size_t s = 0; s < desc_.sections.size() && s < m.sections.size(); ++s) {
        TExtColumnGrid* g = grids_[s];
        const int cols = int(desc_.sections[s].columns.size());
        const auto& rows = m.sections[s];
        g->SetRowCount(int(rows.size()) + 1);
        for (int r = 1; r <= int(rows.size()); ++r) {
            g->SetCells(0, r, QString::number(r));
            const RowCells& cells = rows[size_t(r - 1)];
            for (int c = 1; c <= cols; ++c)
                g->SetCells(c, r, c <= cells.size() ? cells[c - 1] : QString());
        }
    }
}

void TTableDialog::fillByteLists()
{
    ensureControls();
    QStringList in, out;
    for (int i = 0; i < limits_.in; ++i)
        in.push_back(QString::number(i));
    for (int i = 0; i < limits_.out; ++i)
        out.push_back(QString::number(i));
    for (size_t s = 0; s < desc_.sections.size(); ++s)
        for (size_t c = 0; c < desc_.sections[s].columns.size(); ++c) {
            const ListFill fill = desc_.sections[s].columns[c].fill;
            if (fill == ListFill::None)
                continue;
            platform::TStringList& items = grids_[s]->Columns().Items(int(c) + 1)->ComboItems();
            items.Clear();
            items.AddStrings(fill == ListFill::BytesIn ? in : out);
        }
}

void TTableDialog::FormShow()
{
    capacity_ = desc_.capacity;
    limits_ = desc_.limits;
    showing();
    for (TExtColumnGrid* g : grids_)
        g->MoveToCell(1, 1);
    if (desc_.firstPageOnShow)
        setCurrentSection(0);
    fillByteLists();
    const QString path = desc_.path ? desc_.path() : QString();
    lastLoad_ = loadFile(path);
    setModel(lastLoad_.model);
    copyFlags_.clear();
    afterLoad();
    // The keys go to the grid of the page shown: a person types into its current cell and moves
    // with the arrows without clicking into it first, at every showing.
    if (TExtColumnGrid* g = grid(currentSection()); g->isVisibleTo(this))
        g->setFocus();
    if (const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    if (lastLoad_.damaged())
        platform::showError(lastLoad_.error);
    if (!lastLoad_.warning.isEmpty())
        platform::messageBoxes().show(platform::MsgKind::Information, lastLoad_.warning);
}

LoadResult TTableDialog::loadFile(const QString& path) { return loadTable(desc_, path, capacity_); }

bool TTableDialog::Controllo_dati()
{
    checkStarting();
    const CheckResult r = tables::Controllo_dati(
        desc_, model(), [this](const RowView& row) { return checkRow(row); },
        [this](const std::vector<int>& checked) { return checkTable(checked); });
    if (!r.ok)
        platform::showError(r.message);
    return r.ok;
}

bool TTableDialog::askBeforeSaving(const TableModel& m)
{
    // One question for the rows a save would drop: the earlier of a row in use without its key
    // and a row in use below the first empty one.
    const std::optional<RowRef> keyless = firstKeylessRow(desc_, m);
    const std::optional<RowRef> dropped = firstDroppedRow(desc_, m);
    const auto before = [](const RowRef& a, const RowRef& b) {
        return a.section < b.section || (a.section == b.section && a.row < b.row);
    };
    if (keyless && (!dropped || !before(*dropped, *keyless))) {
        const SectionDescription& sec = desc_.sections[size_t(keyless->section)];
        const QString key = headerOf(sec.columns[size_t(sec.keyColumn - 1)]);
        const QString what = desc_.skipEmptyKeys ? QStringLiteral("it") : QStringLiteral("it and the rows below it");
        if (!platform::askYesNo(QStringLiteral("Row %1 of %2 holds values but its %3 is empty: %4 will not be saved. "
                                               "Save anyway?")
                                    .arg(keyless->row)
                                    .arg(pageCaption(keyless->section), platform::trim(key), what)))
            return false;
    } else if (dropped) {
        if (!platform::askYesNo(QStringLiteral("Row %1 of %2 follows an empty row: it and the rows below it will not "
                                               "be saved. Save anyway?")
                                    .arg(dropped->row)
                                    .arg(pageCaption(dropped->section))))
            return false;
    }
    const QString name = QFileInfo(desc_.path ? desc_.path() : QString()).fileName();
    int notShown = 0;
    for (int n : lastLoad_.notShown)
        notShown += n;
    if (notShown > 0 && !platform::askYesNo(QStringLiteral("The file %1 holds %2 rows more than the table shows. "
                                                           "Saving removes them. Save anyway?")
                                                .arg(name)
                                                .arg(notShown)))
        return false;
    if (lastLoad_.damaged() && !platform::askYesNo(QStringLiteral("The file %1 could not be read whole. Saving "
                                                                  "replaces it with the table as shown. Replace it?")
                                                       .arg(name)))
        return false;
    return true;
}

void TTableDialog::Btn_OKClick()
{
    if (!Controllo_dati())
        return;
    const TableModel m = model();
    if (!askBeforeSaving(m))
        return;
    QString error;
    if (!saveTable(desc_, m, desc_.path ? desc_.path() : QString(), ws().Converter_Type, &error)) {
        platform::showError(error);
        return;
    }
    saved();
    // Saved: the file now holds the table as shown.
    lastLoad_ = LoadResult{};
    lastLoad_.notShown.assign(desc_.sections.size(), 0);
    setModalResult(platform::mrOk);
}

void TTableDialog::Btn_DelRowClick()
{
    const int s = currentSection();
    TExtColumnGrid* g = grid(s);
    const int row = g->Row();
    if (row < 1)
        return;
    if (!platform::askYesNo(text(desc_.deleteQuestionText) + QString::number(row)))
        return;
    Grid_Delete_Row(row, g);
    rowDeleted(s, row);
}

void TTableDialog::Btn_InsRowClick()
{
    const int s = currentSection();
    TExtColumnGrid* g = grid(s);
    const int row = g->Row();
    if (row < 1)
        return;
    const int last = g->RowCount() - 1;
    const SectionDescription& sec = desc_.sections[size_t(s)];
    const QString lastKey = sec.keyColumn > 0 ? g->Cells(sec.keyColumn, last) : QString();
    if (!(sec.keyTrimmed ? platform::trim(lastKey) : lastKey).isEmpty() &&
        !platform::askYesNo(
            QStringLiteral("The last row (%1) holds values that Insert Row would lose. Insert anyway?").arg(last)))
        return;
    Grid_Insert_Row(row, g);
    rowInserted(s, row);
}

void TTableDialog::Btn_CopyRowClick()
{
    const int s = currentSection();
    const int row = grid(s)->Row();
    if (row < 1)
        return;
    Grid_Copy_Row(grid(s), row);
    copyFlags_.copied(s);
}

void TTableDialog::Btn_PasteRowClick()
{
    const int s = currentSection();
    const int row = grid(s)->Row();
    if (row < 1)
        return;
    Grid_Paste_Row(grid(s), row, copyFlags_.copiedHere(s));
}

} // namespace tables
