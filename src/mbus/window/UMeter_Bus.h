#pragma once
// TFMeter_Bus: the M-Bus network editor of device types 1, 20 and 21. Left the tree TW of the
// network (root "M-Bus Network", a node item per node, a variable item per variable), right a
// page control with the node page and the variable page, below OK, Cancel and Import Network.
//
// Creating the window sets only the window itself; the tree, the pages and their controls are
// built before the first show (platform::Form::buildControls).
//
// The window is a view over mbus::NetworkEditor: it reads the page the user filled into a
// NodePage or VariablePage, lets the editor check and apply it, and mirrors the result in the
// tree. Every showing loads M_Bus.xml afresh; OK writes it whole; Cancel asks before it drops
// changes; Import takes another file only once it reads as a network. The copy buffers live as
// long as the window, across showings.
//
// The pages keep what the user typed between showings; the first click in the tree refreshes
// them. The node page follows the device type (20: "Select Device" first; 21: "M-Bus Type"
// with the wired rows or the wireless panel); the variable page follows the selected node's
// list type ("By Type" or "By Position").
#include "mbus/NetworkEditor.h"
#include "platform/ui/Form.h"

#include <QString>
#include <array>
#include <functional>
#include <vector>

class QLabel;
class QTreeWidgetItem;
class QWidget;

namespace controls {
class TFxButton;
class TExtPageControl;
class TExtTabSheet;
} // namespace controls
namespace platform::ctl {
class CheckBox;
class ComboBox;
class Edit;
class PopupMenu;
class RadioButton;
class TreeView;
} // namespace platform::ctl
namespace tables {
class TFBACnet_Eng_Unit;
}

namespace mbus {

class TFNewIDNode;

// A selection box whose drop-down list can be wider than the box and open towards the left
// (its right edge under the box's right edge).
class WideComboBox;

class TFMeter_Bus : public platform::Form {
    Q_OBJECT
public:
    explicit TFMeter_Bus(QWidget* parent = nullptr);
    ~TFMeter_Bus() override;

    // The windows it opens: the new node ID dialog and the unit picker (set at program start).
    TFNewIDNode* FNewIDNode = nullptr;
    std::function<tables::TFBACnet_Eng_Unit*()> engUnitPicker;

    const NetworkEditor& editor() const { return editor_; }
    const MBusNetwork& Nodi_List() const { return editor_.Nodi_List; }
    bool Is_Change() const { return editor_.Is_Change; }

    void Set_Lang() override;
    int Found_BACnet_EngUnits(int typeOfData, int vife) const;

    // --- event handlers ---------------------------------------------------------------------
    void TWClick();
    void Aggiorna_Label();
    void Sposta_Oggetti_Var(int listType);
    void Nodes_Move_Elements();
    void CB_MBus_TypeChange();
    void btn_Add_NodeClick();
    void btn_Add_VarClick();
    void btn_Delete_ItemClick();
    void FxButton2Click(); // OK
    void FxButton4Click(); // Cancel
    void Btn_ImportNet_Click();
    void CB_Var_ToDChange();
    void CB_Var_ToDSelect();
    void CB_VIFESelect();
    void CB_Var_DimChange();
    void CB_SelDevChange();
    void E_BACnet_EngUnitDblClick();
    void CopyVariable1Click();
    void PasteVariable1Click();
    void CopyNode1Click();
    void PasteNode1Click();
    // Widens a box's drop-down list to its longest item.
    void Select_Width_ComboBox(WideComboBox* box);

    // The pages as plain data, and back.
    NodePage readNodePage() const;
    void showNodePage(const NodePage& page);
    VariablePage readVariablePage() const;
    void showVariablePage(const VariablePage& page);
    // The variable page shows the "By Position" layout.
    bool byPositionLayout() const;

    // The tree items (root, node i, variable j of node i); null when there is none.
    QTreeWidgetItem* NODE_ORIG = nullptr;
    QTreeWidgetItem* nodeItem(int node) const;
    QTreeWidgetItem* variableItem(int node, int variable) const;

    // --- controls ---------------------------------------------------------------------------
    QLabel* L_SW_Code = nullptr;
    QLabel* L_SW_Desc = nullptr;
    platform::ctl::TreeView* TW = nullptr;
    platform::ctl::PopupMenu* PM_CopyPaste = nullptr;
    controls::TExtPageControl* ExtPageControl1 = nullptr;
    controls::TExtTabSheet* ExtTabSheet1 = nullptr; // nodes
    controls::TExtTabSheet* ExtTabSheet2 = nullptr; // variables
    controls::TFxButton* Btn_OK = nullptr;
    controls::TFxButton* Btn_Cancel = nullptr;
    controls::TFxButton* Btn_ImportNet = nullptr;

    // Node page.
    QLabel* L_SelDev = nullptr;
    WideComboBox* CB_SelDev = nullptr;
    platform::ctl::CheckBox* CB_Enable_Node = nullptr;
    QLabel* L_Node_Desc = nullptr;
    platform::ctl::Edit* E_New_Node_Desc = nullptr;
    QLabel* L_MBus_Type = nullptr;
    WideComboBox* CB_MBus_Type = nullptr;
    platform::ctl::RadioButton* RB_ID_Primary = nullptr;
    platform::ctl::Edit* E_New_Node_ID_Pri = nullptr;
    platform::ctl::RadioButton* RB_ID_Secondary = nullptr;
    platform::ctl::Edit* E_New_Node_ID_Sec = nullptr;
    platform::ctl::CheckBox* CB_Node_State = nullptr;
    WideComboBox* CB_NS_VarType = nullptr;
    platform::ctl::CheckBox* CB_Ident_Num = nullptr;
    WideComboBox* CB_IN_VarType = nullptr; // never shown
    QLabel* L_Swap_IN = nullptr;
    WideComboBox* CB_Swap_IN = nullptr;
    platform::ctl::CheckBox* CB_Conv_BCD = nullptr;
    platform::ctl::CheckBox* CB_SND_NKE = nullptr;
    platform::ctl::CheckBox* CB_Reset_App = nullptr;
    QLabel* L_Var_Type = nullptr;
    WideComboBox* CB_Var_Type = nullptr;
    QLabel* L_Cut_After = nullptr;
    WideComboBox* CB_Cut_After = nullptr;
    QLabel* L_Frames = nullptr;
    controls::TFxButton* btn_Add_Node = nullptr;
    // The wireless panel.
    QWidget* P_wMBus_Node = nullptr;
    QLabel* L_wMBus_ManID = nullptr;
    platform::ctl::Edit* E_wMBus_ManID = nullptr;
    QLabel* L_wMBus_Add = nullptr;
    platform::ctl::Edit* E_wMBus_Add = nullptr;
    QLabel* L_wMBus_Ver = nullptr;
    platform::ctl::Edit* E_wMBus_Ver = nullptr;
    QLabel* L_wMBus_DevType = nullptr;
    platform::ctl::Edit* E_wMBus_DevType = nullptr;
    platform::ctl::CheckBox* CB_wMBus_EnKey = nullptr;
    std::array<QLabel*, 16> L_wMBus_K{};
    std::array<platform::ctl::Edit*, 16> E_wMBus_K{};
    platform::ctl::CheckBox* CB_wMBus_NodeState = nullptr;
    WideComboBox* CB_wMBus_NS_VarType = nullptr;
    platform::ctl::CheckBox* CB_wMBus_IdentNum = nullptr;
    WideComboBox* CB_wMBus_IN_VarType = nullptr; // never shown
    platform::ctl::CheckBox* CB_wMBus_Conv_BCD = nullptr;
    QLabel* L_wMBus_Swap_Ident = nullptr;
    WideComboBox* CB_wMBus_Swap_Ident = nullptr;
    QLabel* L_wMBus_VarList = nullptr;
    WideComboBox* CB_wMBus_VarList = nullptr;

    // Variable page.
    platform::ctl::CheckBox* CB_Var_En = nullptr;
    QLabel* L_Var_Desc = nullptr;
    platform::ctl::Edit* E_New_Var_Desc = nullptr;
    QLabel* L_Var_ToD = nullptr;
    WideComboBox* CB_Var_ToD = nullptr;
    QLabel* L_VIF_ASCII = nullptr;
    platform::ctl::Edit* E_VIF_ASCII = nullptr;
    QLabel* L_Var_FF = nullptr;
    WideComboBox* CB_Var_FF = nullptr;
    QLabel* L_Var_Dim = nullptr;
    WideComboBox* CB_Var_Dim = nullptr;
    QLabel* L_Length = nullptr;
    platform::ctl::Edit* E_Length = nullptr;
    QLabel* L_Var_Unit = nullptr;
    WideComboBox* CB_Var_Unit = nullptr;
    QLabel* L_Sto_Num = nullptr;
    platform::ctl::Edit* E_Sto_Num = nullptr;
    QLabel* L_Tariff = nullptr;
    platform::ctl::Edit* E_Tariff = nullptr;
    QLabel* L_VIFE = nullptr;
    WideComboBox* CB_VIFE = nullptr;
    platform::ctl::CheckBox* CB_BCDtoINT = nullptr;
    QLabel* L_Position = nullptr;
    platform::ctl::Edit* E_Position = nullptr;
    QLabel* L_BACnet_EngUnit = nullptr;
    platform::ctl::Edit* E_BACnet_EngUnit = nullptr;
    controls::TFxButton* Btn_EngUnit = nullptr; // "..."
    QLabel* L_BACnet_DataType = nullptr;
    WideComboBox* CB_BACnet_DataType = nullptr;
    QLabel* L_PostOpe = nullptr;
    WideComboBox* CB_PostOpe = nullptr;
    controls::TFxButton* btn_Add_Var = nullptr;

protected:
    void FormShow() override;
    void buildControls() override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void createControls();
    void FormCreate();
    // The wired rows or the wireless panel below the top rows, and the node button below them.
    void layoutNodeRows();
    void fillTree();
    void addNodeItem(const TNodo& node);
    // After a change of the tree in code: the selection the editor holds, shown and taken over.
    void selectInTree(int node, int variable);
    void showMessage(int textIndex);
    void updatePasteItems();

    NetworkEditor editor_;
    bool byPosition_ = false;
    bool loadFailed_ = false;
    bool treeQuiet_ = false;
};

// The BACnet unit proposed for an M-Bus type of data and second code, answered by the editor
// created at start (the same pure table with or without it); the scan's network writers call it.
int Get_BACnet_EngUnit_MBus(int typeOfData, int code);

} // namespace mbus
