#pragma once
// TTableDialog: the one dialog of every protocol table, built from its TableDescription
// (tables/frame/TableDescription.h). A title panel (the software code, the editor's description), one
// tab page per section holding one column grid each (a single grid fills the middle when the
// table has no pages), and the button panel: OK, Cancel, Delete Row, Insert Row and, where
// offered, Copy Row and Paste Row, 110 x 28 at y = 6 from x = 16, 118 apart. Background
// #F8F7ED, client height 337, centred; the close box and Escape are Cancel.
//
// Showing loads the file (TableModel.h): every row fresh, the first page current (or, with
// `firstPageOnShow` off, the page the user left), the byte
// limits and their pick lists, then the file's rows; the grid of the page shown takes the keys. A damaged file, or a row lacking a
// required attribute, shows its error; rows beyond the capacity a warning. OK checks
// (`Controllo_dati`), asks where the save would lose something, writes the file whole and
// closes; a failed write shows an error naming the file and the dialog stays open.
//
// Creating the dialog makes no control: the title, the pages with their grids and the buttons
// are built on the first show (buildControls, see platform/ui/Form.h), so the program's many
// table windows cost nothing at start. grid(), model() and setModel() build them when asked
// earlier; the control pointers below (PageControl1, Btn_OK ...) are null until then
// (ensureControls() builds them). An editor that adds controls of its own overrides
// buildControls() and calls TTableDialog::buildControls() first.
//
// An editor derives from it, gives its description to the constructor and overrides the hooks
// it needs:
//   showing()      before the load: set `capacity_` and `limits_` for this showing
//   afterLoad()    editor steps after the load
//   checkRow()     its row checks, in order; checkTable() a check over the whole table
//   comboChanged() an item picked from a column's list
//   cellDoubleClicked()  a double click on a cell (the default fits the column when bound)
//   loadFile()     the load of the file, for a table whose file has a reader of its own
//   checkStarting() before the rows are checked (a check that counts over the rows resets)
//   rowInserted(), rowDeleted()  after Insert Row or a confirmed Delete Row moved the rows
//   saved()        after OK wrote the file, before the dialog closes
//
// Questions the frame asks (fixed English; each Yes/No, No keeps everything as it is):
//   Insert Row when the last row's key holds text:
//     "The last row (<r>) holds values that Insert Row would lose. Insert anyway?"
//   OK with a row in use whose key is empty (the first empty key of a page; any row of a
//   table that skips rows without a key):
//     "Row <r> of <page> holds values but its <key header> is empty: it [and the rows below it]
//      will not be saved. Save anyway?"
//   OK with rows in use below the first empty key (when the question above is not asked for
//   an earlier row):
//     "Row <r> of <page> follows an empty row: it and the rows below it will not be saved.
//      Save anyway?"
//   OK after a load that left rows unshown:
//     "The file <name> holds <n> rows more than the table shows. Saving removes them. Save
//      anyway?"
//   OK after a load that failed:
//     "The file <name> could not be read whole. Saving replaces it with the table as shown.
//      Replace it?"
#include "platform/ui/Form.h"
#include "tables/frame/TableModel.h"
#include "tables/frame/TableDescription.h"
#include "tables/frame/window/GridRows.h"

#include <QString>
#include <optional>
#include <vector>

class QLabel;
class QTabWidget;
class QWidget;

namespace controls {
class TFxButton;
}

namespace tables {

class TTableDialog : public platform::Form {
    Q_OBJECT
public:
    explicit TTableDialog(TableDescription desc, QWidget* parent = nullptr);
    ~TTableDialog() override;

    const TableDescription& description() const { return desc_; }
    void Set_Lang() override;

    // The handlers, public so that the main window and tests drive the dialog as a user does.
    bool Controllo_dati();
    void Btn_OKClick();
    void Btn_DelRowClick();
    void Btn_InsRowClick();
    void Btn_CopyRowClick();
    void Btn_PasteRowClick();

    // The grids' texts as the model, and back.
    TableModel model() const;
    void setModel(const TableModel& model);

    int sectionCount() const { return int(grids_.size()); }
    // Builds the controls when they are not built yet.
    TExtColumnGrid* grid(int section) const;
    // The section of the current page (0 without pages).
    int currentSection() const;
    void setCurrentSection(int section);
    int capacity() const { return capacity_; }
    const ByteLimits& limits() const { return limits_; }
    // The result of the last load (its error, its warning).
    const LoadResult& lastLoad() const { return lastLoad_; }
    const CopyFlags& copyFlags() const { return copyFlags_; }

    QWidget* P_Title = nullptr;
    QLabel* L_SW_Code = nullptr;
    QLabel* L_SW_Desc = nullptr;
    QTabWidget* PageControl1 = nullptr; // null without pages
    QWidget* P_Button = nullptr;
    controls::TFxButton* Btn_OK = nullptr;
    controls::TFxButton* Btn_Cancel = nullptr;
    controls::TFxButton* Btn_DelRow = nullptr;
    controls::TFxButton* Btn_InsRow = nullptr;
    controls::TFxButton* Btn_CopyRow = nullptr;
    controls::TFxButton* Btn_PasteRow = nullptr;

    static constexpr int kClientHeight = 337;
    static constexpr int kTitleHeight = 69;      // the title panel's (Panels.h)
    static constexpr int kButtonPanelHeight = 40; // the button panel's

protected:
    void FormShow() override;
    void buildControls() override;

    virtual void showing() {}
    virtual void afterLoad() {}
    virtual std::optional<Failure> checkRow(const RowView&) { return std::nullopt; }
    virtual std::optional<Failure> checkTable(const std::vector<int>& /*checked*/) { return std::nullopt; }
    virtual void comboChanged(int /*section*/, int /*col*/, int /*row*/, int /*itemIndex*/, const QString& /*text*/) {}
    virtual void cellDoubleClicked(int section, int row, int col);
    virtual LoadResult loadFile(const QString& path);
    virtual void checkStarting() {}
    virtual void rowInserted(int /*section*/, int /*row*/) {}
    virtual void rowDeleted(int /*section*/, int /*row*/) {}
    virtual void saved() {}

    // Fills the grids' "Position" lists with "0" .. limit - 1.
    void fillByteLists();

    int capacity_;
    ByteLimits limits_;

private:
    void buildGrid(int section, QWidget* parent, int width, int height);
    QString pageCaption(int section) const;
    bool askBeforeSaving(const TableModel& model);

    TableDescription desc_;
    std::vector<TExtColumnGrid*> grids_;
    LoadResult lastLoad_;
    CopyFlags copyFlags_;
};

} // namespace tables
