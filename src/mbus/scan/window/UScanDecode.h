#pragma once
// TFScanDecode ("Scan & Decode"): the window from which the engineer scans a wired M-Bus by
// primary or secondary address, or listens to a wireless M-Bus, through the gateway; watches the
// progress; looks at the meters found; enters the keys of encrypted wireless meters; and takes
// the meters into the project's M_Bus.xml.
//
// The window is made at program start with nothing but itself and its timer; its controls are
// built before it is first shown. It owns the scan engine (TMBusScanDecode, made the first time
// the window is shown)
// and its two meter lists. It drives the engine through the engine's public operations only,
// is told of progress through the engine's two notifications (on this, the user-interface,
// thread), polls the engine every 1000 ms (T_InScan) and reads the meters only as copies taken
// under the lists' locks. Saving goes through the engine's project writers.
//
// Layout states (Form_Style): 1 set-up; 2 wired scan running (progress list); 3 wired scan
// ended (tree VST); 4 wireless listening and 5 wireless ended (grid XGR_Wireless with the tree
// VST_Wireless of the meter clicked).
//
// Sound behaviour beyond the window's first design:
// - the gateway address typed into the four fields must be four decimal numbers 0..255 before a
//   scan starts (an error box, no scan, the previous results kept);
// - a save that the project writer cannot complete shows an error box naming the file (the
//   previous M_Bus.xml stays whole);
// - closing the window mid-scan aborts the scan, lets the engine send its closing commands
//   in the background and parks its thread once they are done; the window never waits on the
//   engine for longer than a short bounded stop;
// - a check mark set in the wireless tree changes the meter the tree shows, whichever grid row
//   is current meanwhile;
// - a tree node the tree never initialised counts as checked when saving (its initial state).
#include "mbus/scan/MBusScanDecode.h"
#include "mbus/scan/ScanTypes.h"
#include "platform/ui/Form.h"

#include <QPointer>
#include <QString>

#include <memory>
#include <vector>

class QAction;
class QLabel;
class QListWidget;
class QMenu;
class QWidget;

namespace controls {
class TFxButton;
class TBaseLazyTree;
class TLazyStringTree;
struct TLazyNode;
namespace grid {
class TExtStringGridInput;
}
} // namespace controls

namespace platform {
class Timer;
class TImageList;
namespace ctl {
class CheckBox;
class ComboBox;
class Edit;
} // namespace ctl
} // namespace platform

namespace mbus::scan {

class TFInsertKeyWireless;
class TFScanModbusStart;
class TFModbusStartAdd_SD;

// The engine environment of the scan windows made from now on (the test launcher points the
// scan at a stand-in gateway's port with it); the program leaves the default.
void setScanWindowEnvironment(const ScanEnvironment& env);

class TFScanDecode : public platform::Form {
    Q_OBJECT
public:
    explicit TFScanDecode(QWidget* parent = nullptr);
    // Tests give the engine's environment (a fake channel, a clock, no thread of its own).
    TFScanDecode(const ScanEnvironment& env, QWidget* parent);
    ~TFScanDecode() override;

    // The dialogs the program made at start.
    void setDialogs(TFInsertKeyWireless* key, TFScanModbusStart* start, TFModbusStartAdd_SD* perNode);

    // Set by the main window before showing.
    uint32_t XML_Code_Dev = 0;
    QString FileName_MBus;
    uint32_t Form_Type = 0;
    bool Cyclic_Scan = false;
    int Error_Cyclic = 0;

    // The engine (made on first use) and its lists.
    TMBusScanDecode& engine();
    ScanLists& lists() { return lists_; }

    void Set_Lang() override;

    // --- handlers and methods, public so that the program and tests drive the window ----------
    void BtnClick(QWidget* sender);
    void CB_HardwareTypeChange();
    void Btn_COM_ListClick() { Update_List_of_COM_Port(); }
    void T_InScanTimer();
    void Ciclic1Click();
    void FormClose();

    void Form_Style(int style);
    void Move_Object_Type_Form();
    void Update_List_of_COM_Port();
    void Select_Scan();
    void StartScan();
    void StarScanWireless();
    void StopScan();
    void AbortScan();
    void NewScan();
    void Show_Scan_Progress(int Event, int Value, int Found, int Kind);

    // Results (wired tree, wireless grid and tree), key entry and saving.
    void Show_Slave_in_Tree();
    void Show_Slave_in_Tree_Wireless(int Index);
    void Show_Wireless_Slave_Row(int Index, const TSlave_wMBus* Slave);
    void Colomns_Width_Init();
    void Cancel_Grid_Wireless();
    void Cancel_Device_List_Wireless();
    void Cancel_Device_List();
    void Select_SaveXML(int Type_SaveXML);
    void SaveXML(bool Append, int Start_Modbus, int Start_Modbus_node);
    void SaveXMLWireless(bool Append, int Start_Modbus, int Start_Modbus_node);
    void Carica_Dati_Modbus_Start_Add();
    void XGR_WirelessClickCell(int row, int col);
    // `mouse`: where the double click happened, in screen coordinates.
    void XGR_WirelessDblClickCell(int row, int col, QPoint mouse);

    // The tree nodes of a wired meter (record -1) or record, and of the wireless tree's meter
    // (record -1) or records; null when there is none.
    controls::TLazyNode* wiredNode(int meter, int record) const;
    controls::TLazyNode* wirelessNode(int record) const;
    // The meter the wireless tree shows (-1: none).
    int wirelessTreeMeter() const { return wirelessTreeIndex_; }

    // --- controls ------------------------------------------------------------------------------
    QWidget* P_Title = nullptr;
    QLabel* L_SW_Code = nullptr;
    QLabel* L_SW_Desc = nullptr;
    QLabel* Label1 = nullptr;
    QWidget* P_Main = nullptr;
    QLabel* L_ScanMethod = nullptr;
    platform::ctl::ComboBox* CB_ScanMethod = nullptr;
    QLabel* L_ScanBy = nullptr;
    platform::ctl::ComboBox* CB_ScanBy = nullptr;
    QLabel* L_HardwareType = nullptr;
    platform::ctl::ComboBox* CB_HardwareType = nullptr;
    QLabel* L_IP = nullptr;
    platform::ctl::Edit* E_IP1 = nullptr;
    platform::ctl::Edit* E_IP2 = nullptr;
    platform::ctl::Edit* E_IP3 = nullptr;
    platform::ctl::Edit* E_IP4 = nullptr;
    QLabel* L_IP_Dot1 = nullptr;
    QLabel* L_IP_Dot2 = nullptr;
    QLabel* L_IP_Dot3 = nullptr;
    QLabel* L_ComPort = nullptr;
    platform::ctl::ComboBox* CB_ComPort = nullptr;
    controls::TFxButton* Btn_COM_List = nullptr;
    QLabel* L_Port = nullptr;
    platform::ctl::Edit* E_Port = nullptr;
    QLabel* L_MBus_ParGen = nullptr;
    QLabel* L_MBus_Baud = nullptr;
    platform::ctl::ComboBox* CB_MBus_Baud = nullptr;
    QLabel* L_MBus_Parity = nullptr;
    platform::ctl::ComboBox* CB_MBus_Parity = nullptr;
    QLabel* L_wMBus_Mode = nullptr;
    platform::ctl::ComboBox* CB_wMBus_Mode = nullptr;
    QLabel* L_wMBus_Radio_Channel = nullptr;
    platform::ctl::ComboBox* CB_wMBus_Radio_Channel = nullptr;
    QLabel* L_Option_Scan = nullptr;
    platform::ctl::CheckBox* CB_Opt_App_Reset = nullptr;
    platform::ctl::CheckBox* CB_Opt_SND_NKE = nullptr;
    QLabel* L_Opt_Cut_After = nullptr;
    platform::ctl::Edit* E_Opt_Cut_After = nullptr;
    platform::ctl::CheckBox* CB_Opt_Use_Fix_C_Field = nullptr;
    platform::ctl::ComboBox* CB_Opt_Use_Fix_C_Field_Value = nullptr;
    platform::ctl::CheckBox* CB_Opt_Check_BCD_to_Int = nullptr;
    platform::ctl::CheckBox* CB_Opt_Enable_Remote_Scan = nullptr;

    QWidget* P_TreeView = nullptr;
    QLabel* L_ScanProgress = nullptr;
    QLabel* L_Num_Slave = nullptr;
    QLabel* L_AvailableDevice = nullptr;
    QListWidget* LB_AvailableDevice = nullptr;
    controls::TLazyStringTree* VST = nullptr;

    QWidget* P_View_Wireless = nullptr;
    QWidget* P_W_Table = nullptr;
    controls::grid::TExtStringGridInput* XGR_Wireless = nullptr;
    controls::TLazyStringTree* VST_Wireless = nullptr;

    QWidget* P_Button = nullptr;
    controls::TFxButton* Btn_StartScan = nullptr;
    controls::TFxButton* Btn_StopScan = nullptr;
    controls::TFxButton* Btn_AbortScan = nullptr;
    controls::TFxButton* Btn_NewScan = nullptr;
    controls::TFxButton* Btn_SaveConf = nullptr;
    controls::TFxButton* Btn_SaveConfManual = nullptr;

    platform::Timer* T_InScan = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QAction* Ciclic1 = nullptr;

    static constexpr int kClientWidth = 640;
    static constexpr int kTitleHeight = 69;
    static constexpr int kButtonPanelHeight = 40;

protected:
    void FormShow() override;
    void done(int r) override;
    void buildControls() override;

private:
    void FormCreate();
    void createControls();
    void setUpTree(controls::TLazyStringTree* tree, bool wireless);
    void addProgressLine(const QString& line);
    QString gatewayAddress() const;
    bool checkGatewayAddress();
    void parkWhenIdle();

    ScanEnvironment env_;
    ScanLists lists_;
    // The meters as the trees show them: copies taken under the lists' locks.
    std::vector<TSlave_MBus> wiredShown_;
    std::vector<controls::TLazyNode*> wiredMeterNodes_;
    std::vector<std::vector<controls::TLazyNode*>> wiredRecordNodes_;
    TSlave_wMBus wirelessShown_;
    int wirelessTreeIndex_ = -1;
    controls::TLazyNode* wirelessMeterNode_ = nullptr;
    std::vector<controls::TLazyNode*> wirelessRecordNodes_;
    std::unique_ptr<platform::TImageList> IL_Tree1;
    std::unique_ptr<platform::TImageList> IL_Wireless_Table;
    platform::Timer* parkTimer_ = nullptr;
    QPointer<TFInsertKeyWireless> keyDialog_;
    QPointer<TFScanModbusStart> startDialog_;
    QPointer<TFModbusStartAdd_SD> perNodeDialog_;
    // Last: the engine ends (and stops calling the window) before anything it reports to.
    std::unique_ptr<TMBusScanDecode> engine_;
};

// Where the key dialog goes: its top-left corner at the mouse, moved left and up by as much as
// it would pass the right and bottom edges of the scan window's client area (all in screen
// coordinates).
QPoint keyDialogPlace(QPoint mouse, QSize dialog, const QRect& client);

} // namespace mbus::scan
