#pragma once
// TFTemplate_Creation: the window in which an engineer writes a new device template for the M-Bus
// master models: "BACnet Objects", the values to publish (ACG_BACnet, 13 columns), and "M-Bus
// Requests", the request frames to send (ACG_MBus, 8 columns), 2000 data rows each with the row
// number in column 0. It never reads a template: every showing starts with two empty tables and
// no copied row. Create Template checks both tables (mbus/master/TemplateTables.h), asks for the
// name through the new-project dialog in its template mode and writes the file into the template
// folder; the window stays open.
//
// The buttons act on the grid of the page shown: Delete Row (asked first), Insert Row, Copy Row and
// Paste Row (the row routines of the table windows; a paste needs a row copied from the same grid
// during this showing), Import CSV (its first line a header, line n filling row n, objects from
// column 1 and requests from column 0) and Erase (asked first).
//
// Both grids are edited in place: the requests too, whose column hints ask the user to insert
// their values.
//
// Creating the window makes no control: the title, the pages with their grids and the buttons
// are built on the first show (see platform/ui/Form.h); the handlers build them when called
// earlier, and the control pointers below are null until then.
#include "mbus/Template.h"
#include "platform/ui/Form.h"
#include "tables/frame/window/GridRows.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

class QLabel;
class QTabWidget;
class QWidget;

namespace controls {
class TFxButton;
}

namespace mbus::master {

using controls::grid::TExtColumnGrid;

class TFTemplate_Creation : public platform::Form {
    Q_OBJECT
public:
    explicit TFTemplate_Creation(QWidget* parent = nullptr);
    ~TFTemplate_Creation() override;

    // Shows the new-project dialog in its template mode: the full path of the new template, or no
    // value when the user cancelled. Set by the program start.
    std::function<std::optional<QString>()> askTemplateName;

    void Set_Lang() override;

    // --- the handlers, public so that tests drive the window as a user does -------------------
    void Btn_Create_TemplateClick();
    void Btn_DelRowClick();
    void Btn_InsRowClick();
    void Btn_CopyRowClick();
    void Btn_PasteRowClick();
    void Btn_ImportClick();
    void Btn_EraseClick();

    bool Controllo_dati();
    void Delete_Lists();
    // Fills the grid from a CSV file from `Start_Col` on; a file that cannot be read changes no
    // row. False after an error.
    bool Import_CSV(TExtColumnGrid* grid, const QString& FileName, int Start_Col);
    void Erase_Table(TExtColumnGrid* grid);
    void Create_Template_XML_File(const QString& file_Template);

    bool Do_Copy_BACnet() const { return copyFlags_.copiedHere(0); }
    bool Do_Copy_MBus() const { return copyFlags_.copiedHere(1); }

    std::vector<TStruct_BACnet> List_BACnet;
    std::vector<TStruct_MBus> List_MBus;
    QStringList Hint_BACnet; // columns 1..12
    QStringList Hint_MBus;   // columns 0..7

    // The grid of the page shown.
    TExtColumnGrid* activeGrid() const;

    QLabel* L_SW_Code = nullptr;
    QLabel* L_SW_Desc = nullptr;
    QTabWidget* PageControl1 = nullptr;
    QWidget* TS_BACnet = nullptr;
    QWidget* TS_MBus = nullptr;
    TExtColumnGrid* ACG_BACnet = nullptr;
    TExtColumnGrid* ACG_MBus = nullptr;
    controls::TFxButton* Btn_Create_Template = nullptr;
    controls::TFxButton* Btn_Cancel = nullptr;
    controls::TFxButton* Btn_DelRow = nullptr;
    controls::TFxButton* Btn_InsRow = nullptr;
    controls::TFxButton* Btn_CopyRow = nullptr;
    controls::TFxButton* Btn_PasteRow = nullptr;
    controls::TFxButton* Btn_Import = nullptr;
    controls::TFxButton* Btn_Erase = nullptr;

    static constexpr int kClientWidth = 1083;
    static constexpr int kClientHeight = 337;

protected:
    void FormShow() override;
    void buildControls() override;

private:
    void setUpGrid(TExtColumnGrid* grid);
    // The index of the grid of the page shown (0 objects, 1 requests).
    int activeIndex() const;

    tables::CopyFlags copyFlags_{2};
};

} // namespace mbus::master
