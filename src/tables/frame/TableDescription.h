#pragma once
// The description of a table editor: everything that makes one protocol table differ from the
// next, as data. The table dialog (tables/frame/window/TableDialog.h) builds its title panel,
// pages, grids and buttons from it; the plain model (tables/frame/TableModel.h) loads, checks
// and saves the table's file by it. No widget appears here.
//
// How an editor describes itself (the Modbus RTU master table, shortened):
//
//     TableDescription s;
//     s.window = {.className = "FSetAccess", .captionText = 383, .descText = 384, .clientWidth = 1165};
//     s.buttons = {.ok = 385, .cancel = 386, .delRow = 387, .insRow = 388};
//     s.deleteQuestionText = 441;
//     s.path = [] { return workspace::ws().Path_ModbusM_SetAccess; };
//     s.root = "BACnet_to_Modbus";
//     s.comments = {{0, "SW_VERSION = 1.702"}};
//     s.capacity = 2000;
//     s.limits = {1439, 1439};
//     SectionDescription read{.element = "Modbus_Read", .pageText = 389, .pageName = "TS_Modbus_Read",
//                      .gridName = "ACG_Modbus_Read", .numberHeaderText = 391, .keyColumn = 1};
//     read.columns = {
//         {.headerText = 392, .attribute = "Slave_ID", .width = 64, .colour = 0xE0FAFE},
//         {.headerText = 393, .attribute = "Type", .editor = Editor::ComboList,
//          .items = {"Coil Status", ...}, .width = 115, .colour = 0xE0FAFE},
//         {.headerText = 398, .attribute = "Position", .editor = Editor::ComboList,
//          .fill = ListFill::BytesIn, .width = 61, .colour = 0xFCD6F4},
//         {.headerText = 400, .attribute = "Float_Conv", .editor = Editor::DataCheckBox,
//          .absent = "N", .width = 75, .colour = 0xFFFFA8},
//         ...};
//     s.sections = {read, write};
//
// and gives its row checks to the model (checkTable) or, in a dialog, by overriding
// TTableDialog::checkRow. A column without `absent` is required: a file row that lacks it stops
// the load at that row. Colours are 0xRRGGBB. Text numbers index the UI-text table.
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

namespace tables {

// The window's own background colour (#F8F7ED), also the colour of the number column.
constexpr uint32_t kWindowColour = 0xF8F7ED;

// How the user changes a cell: free text, a pick list whose items are the only choices, a pick
// list whose text may also be typed, a check box whose text is "Y" or "N".
enum class Editor { Normal, ComboList, ComboEdit, DataCheckBox };

// A pick list filled at each showing with "0" .. limit - 1 from one of the two byte limits.
enum class ListFill { None, BytesIn, BytesOut };

struct ColumnDescription {
    int headerText = -1;       // UI-text index of the header; -1: `fixedHeader` instead
    QString attribute;         // of the file's `row` element
    Editor editor = Editor::Normal;
    QStringList items{};       // fixed pick-list items
    ListFill fill = ListFill::None;
    QString fresh{};           // the text of a fresh row (after showing, inserting, deleting)
    // The text the load writes when the attribute is absent; no value: the attribute is
    // required and its absence stops the load at that row.
    std::optional<QString> absent{};
    int width = 64;
    uint32_t colour = kWindowColour;
    int maxLength = 0;         // greatest typed length, 0: none
    bool centred = false;      // check boxes drawn in the middle of the cell
    bool readOnly = false;     // the program may write it, the user may not
    bool hidden = false;       // kept, loaded, moved and saved, not shown
    QString fixedHeader{};     // a header not taken from the UI-text table ("Swap")
    int hintText = -1;         // UI-text index of the header's hint, -1: none
};

struct SectionDescription {
    // Element of the section in the root; empty for a table whose rows stand in the root
    // (then it is the only section).
    QString element;
    int pageText = -1;         // caption of its page; -1: no page control (a single grid)
    QString pageName{};        // "TS_Modbus_Read"
    QString gridName{};        // "ACG_Modbus_Read"
    int numberHeaderText = -1; // header of column 0 ("N")
    int keyColumn = 1;         // a row whose key cell, trimmed, is empty is not used; 0: the
                               // section has no key and every row is used
    bool keyTrimmed = true;    // false: only a key cell without any character is empty (blanks
                               // make a used row)
    int numberWidth = 40;      // width of column 0
    int enableColumn = 0;      // 0: none; a row whose enable cell, trimmed and upper-cased,
                               // is not "Y" is passed over by the checks (and still saved)
    std::vector<ColumnDescription> columns{}; // data columns 1 .. n in order
};

struct WindowDescription {
    QString className;         // object name of the window ("FSetAccess")
    int captionText = -1;
    int descText = -1;         // the description label L_SW_Desc
    int clientWidth = 800;
};

// Captions and hints of the buttons, in their order on the panel; -1: the button is absent
// (OK and Cancel are always there).
struct ButtonDescription {
    int ok = -1, cancel = -1, delRow = -1, insRow = -1, copyRow = -1, pasteRow = -1;
    int okHint = -1, cancelHint = -1, delRowHint = -1, insRowHint = -1, copyRowHint = -1, pasteRowHint = -1;
    // Captions of Copy Row and Paste Row that the UI-text table does not hold, used where their
    // index is -1.
    QString copyRowCaption{}, pasteRowCaption{};
};

struct ByteLimits {
    int in = 1439;  // NByte_IN
    int out = 1439; // NByte_OUT
};

struct TableDescription {
    WindowDescription window;
    ButtonDescription buttons;
    int deleteQuestionText = -1; // followed directly by the row number

    // The file: its path now (the project's path global), root, version comment by device type
    // (the first pair whose type matches; else `otherComment`; an empty text writes none).
    std::function<QString()> path;
    QString root;
    std::vector<std::pair<int, QString>> comments{};
    QString otherComment{};
    std::vector<SectionDescription> sections;
    QString rowElement = QStringLiteral("row"); // the element of a row ("Row" in some files)
    // Elements the save writes empty into the root before the sections and the load never
    // reads: parts of the file's format that no grid of the editor fills.
    QStringList emptySections{};

    // Data rows per grid; the dialog may change it at each showing.
    int capacity = 2000;
    int rowHeight = 0; // default height of the data rows; 0: the grid's own
    ByteLimits limits{};
    // The rows with an empty key are passed over by the checks and the save instead of ending
    // the table there.
    bool skipEmptyKeys = false;

    // Grid events: a double click on a header fits the column (with the option on); Enter moves
    // to the next cell (with the option on).
    bool autoSizeOnDoubleClick = false;
    bool enterMovesToNextCell = false;
    // Each showing makes the first page current; false: only the creation does.
    bool firstPageOnShow = true;

    QString versionComment(int converterType) const;
    bool hasPages() const { return sections.size() > 1 || (!sections.empty() && sections[0].pageText >= 0); }
    bool offersCopy() const
    {
        return (buttons.copyRow >= 0 || !buttons.copyRowCaption.isEmpty()) &&
               (buttons.pasteRow >= 0 || !buttons.pasteRowCaption.isEmpty());
    }
};

} // namespace tables
