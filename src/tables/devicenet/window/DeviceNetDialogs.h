#pragma once
// The dialogs of the DeviceNet master (device type 10):
//   TFDNet       "DeviceNet Network", the network table on the table frame (DNETM_Net.xml)
//   TFDefOffset  "Define Offset", the BACnet array position and description of every input and
//                output byte of every slave (DNETM_DefOff.xml)
// Files, checks and messages are in tables/devicenet/DeviceNetFiles.h and DeviceNetTables.h.
//
// TFDefOffset: 482 x 610. Under the title panel, `Panel1` (162 high) with "Select the Slave
// DeviceNet" and the read-only slave grid (ID, Num Byte IN, Num Byte OUT, Mnemonic; one row per
// slave of the network file), a 3-pixel splitter, and `Panel3` with the two hint lines and the
// pages "Byte IN" and "Byte OUT", each a grid of the shown slave's bytes: the byte number from 0,
// its "Offset" ("None" or a position 0 .. 5999, picked from a list) and its "Mnemonic". Selecting
// another slave first takes the byte grids back into the slave they showed, so edits are kept
// while switching; OK takes them back too, checks that no two output bytes share a position,
// and writes the file. The offsets belong to the slaves by position: the dialog warns before it
// shows a file whose node count differs from the slave count.
#include "platform/ui/Form.h"
#include "tables/devicenet/DeviceNetFiles.h"
#include "tables/frame/RowOrigins.h"
#include "tables/frame/window/TableDialog.h"

#include <vector>

class QLabel;
class QSplitter;
class QTabWidget;

namespace tables::devicenet {

class TFDNet : public TTableDialog {
    Q_OBJECT
public:
    explicit TFDNet(QWidget* parent = nullptr);

protected:
    LoadResult loadFile(const QString& path) override;
    void afterLoad() override;
    std::optional<Failure> checkRow(const RowView& row) override;
    void rowInserted(int section, int row) override;
    void rowDeleted(int section, int row) override;
    void saved() override;

private:
    NetTable loaded_; // the network as this showing read it
    RowOrigins origins_;
};

class TFDefOffset : public platform::Form {
    Q_OBJECT
public:
    explicit TFDefOffset(QWidget* parent = nullptr);

    void Set_Lang() override;

    // The handlers and steps, public so that the main window and tests drive the dialog.
    void bitbtn1Click();
    void ACG_DN_SlavesClick();
    void Load_Slave_DN();
    void Load_Offset_Slave_DN();
    void Select_First();
    void Update_Slave_DN();
    bool Save_Data_ByteIN_ByteOUT();
    bool Save_Offset_Slave_DN();
    bool Check_Data();
    void Reset_Panel_Backgrounds();

    std::vector<Slave> List_Slaves_DN;
    int Slave_Before_Select = -1;
    int MAX_BYTE_IN = kByteArraySize;
    int MAX_BYTE_OUT = kByteArraySize;

    // Null until the controls are built (on the first show, or by ensureControls()).
    QWidget* P_Title = nullptr;
    QLabel* L_SW_Code = nullptr;
    QLabel* L_SW_Desc = nullptr;
    QSplitter* Splitter1 = nullptr;
    QWidget* Panel1 = nullptr;
    QLabel* Label1 = nullptr;
    TExtColumnGrid* ACG_DN_Slaves = nullptr;
    QWidget* Panel3 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QTabWidget* PageControl1 = nullptr;
    QWidget* TabSheet1 = nullptr;
    QWidget* TabSheet2 = nullptr;
    TExtColumnGrid* ACG_ByteIN = nullptr;
    TExtColumnGrid* ACG_ByteOUT = nullptr;
    QWidget* P_Button = nullptr;
    controls::TFxButton* Btn_OK = nullptr;
    controls::TFxButton* Btn_Cancel = nullptr;

    static constexpr int kClientWidth = 482;
    static constexpr int kClientHeight = 610;

protected:
    void FormShow() override;
    void buildControls() override;

private:
    void selectSlave(int row);
    TExtColumnGrid* byteGrid(QWidget* page, const QString& name);

    NetTable net_;       // the network file's texts, for the slave grid
    QString loadError_;  // why the files were not read whole
    QString countWarning_;
    bool loading_ = false;
};

} // namespace tables::devicenet
