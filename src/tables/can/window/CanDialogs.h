#pragma once
// The dialogs of the CAN model (device type 7):
//   TFCAN_Rec_Frames, TFCAN_Send_Frame   the frame tables, on the table frame
//   TF_Rec_Info, TF_Sen_Info             the byte maps of their frames
// Tables, checks and files are in tables/can/CanTables.h.
//
// The byte maps belong to the frames by position. When Insert Row or Delete Row has moved frames
// and OK saves the frame table, the frame dialog moves the rows of the direction's byte-map file
// with them (a new frame maps nothing), so that no map goes to another frame. The byte-map
// dialog warns before it shows a map file whose row count differs from the number of frames
// (a file written elsewhere, or frames added since the maps were last saved).
//
// Byte-map dialog (its controls are built on the first show, or by ensureControls()): 654 x 508,
// the title panel, the list of the frames' Cob-IDs at 8,88
// (169 x 377) under "COB ID", eight byte lines from 184,88 every 48 pixels under "Bytes", each
// with its caption, the edit (208,13; 57 x 19), "of BACnet" and the "Not in use" label; OK and
// Cancel. A line beyond the frame's Dimension is disabled and shows "none". The receive side
// takes a typed position when its edit loses the focus (and at OK), the send side at every change
// of the text; a refused text shows the line's error and keeps the stored position.
#include "platform/ui/Form.h"
#include "tables/can/CanTables.h"
#include "tables/frame/RowOrigins.h"
#include "tables/frame/window/TableDialog.h"

#include <array>
#include <vector>

class QLabel;
class QListWidget;

namespace platform::ctl {
class Edit;
}

namespace tables::can {

class TFCanFrames : public TTableDialog {
    Q_OBJECT
public:
    TFCanFrames(Direction d, QWidget* parent);

protected:
    void afterLoad() override;
    std::optional<Failure> checkRow(const RowView& row) override;
    void rowInserted(int section, int row) override;
    void rowDeleted(int section, int row) override;
    void saved() override;

private:
    Direction direction_;
    RowOrigins origins_;
};

class TFCAN_Rec_Frames : public TFCanFrames {
    Q_OBJECT
public:
    explicit TFCAN_Rec_Frames(QWidget* parent = nullptr) : TFCanFrames(Direction::Receive, parent) {}
};

class TFCAN_Send_Frame : public TFCanFrames {
    Q_OBJECT
public:
    explicit TFCAN_Send_Frame(QWidget* parent = nullptr) : TFCanFrames(Direction::Send, parent) {}
};

class TByteMapDialog : public platform::Form {
    Q_OBJECT
public:
    TByteMapDialog(Direction d, QWidget* parent);

    void Set_Lang() override;

    // The handlers, public so that the main window and tests drive the dialog as a user does.
    void ListBox1Click();
    // Receive: line k (1..8) lost the focus. Answers false when its text was refused.
    bool EditExit(int k);
    // Send: the text of line k changed.
    void EditChange(int k);
    // The receive side's duplicate check; true when the map may be saved.
    bool Controlla_dati();
    void bitbtn1Click();

    Direction direction() const { return direction_; }
    int selectedFrame() const { return shown_; }

    std::vector<TRecInfo> Data_arr;
    int Num_Byte_Max = kNumByteMax;

    // Null until the controls are built.
    QWidget* P_Title = nullptr;
    QLabel* L_SW_Code = nullptr;
    QLabel* L_SW_Desc = nullptr;
    QLabel* L_CobId = nullptr; // "COB ID"
    QLabel* L_Bytes = nullptr; // "Bytes"
    QListWidget* ListBox1 = nullptr;
    std::array<QWidget*, 8> Panel{};          // Panel1 .. Panel8
    std::array<QLabel*, 8> L_Line{};          // "Byte k of frame CAN ..."
    std::array<platform::ctl::Edit*, 8> Edit{}; // Edit1 .. Edit8
    std::array<QLabel*, 8> L_OfBACnet{};      // "of BACnet"
    std::array<QLabel*, 8> L_NotInUse{};      // Label19 .. Label26
    QWidget* P_Button = nullptr;
    controls::TFxButton* Btn_OK = nullptr;
    controls::TFxButton* Btn_Cancel = nullptr;

    static constexpr int kClientWidth = 654;
    static constexpr int kClientHeight = 508;

protected:
    void FormShow() override;
    void buildControls() override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    // Stores the text of line k into the shown frame; false (with the error box) when refused.
    bool takeLine(int k);

    Direction direction_;
    QStringList cobIds_;
    int shown_ = -1;
    bool showingFrame_ = false;
    bool inExit_ = false;
    QString loadError_;
};

class TF_Rec_Info : public TByteMapDialog {
    Q_OBJECT
public:
    explicit TF_Rec_Info(QWidget* parent = nullptr) : TByteMapDialog(Direction::Receive, parent) {}
};

class TF_Sen_Info : public TByteMapDialog {
    Q_OBJECT
public:
    explicit TF_Sen_Info(QWidget* parent = nullptr) : TByteMapDialog(Direction::Send, parent) {}
};

} // namespace tables::can
