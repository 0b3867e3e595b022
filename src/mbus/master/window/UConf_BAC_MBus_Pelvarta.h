#pragma once
// TFConf_BAC_MBus_Pelvarta: the customer configuration of the M-Bus master models (device types
// 1001-1003), the window of the main window's M-Bus button. It edits the project's device list
// M_Bus_Custom_QV.xml: the converter variant and the M-Bus meters the gateway reads, each with its
// template (from the TEMPLATE folder), its M-Bus address and the numbers that complete the object
// names of its variables. For device type 1002 it counts the bytes the configuration publishes,
// refuses a count that reaches the PROFINET limit, and with the automatic count on writes it into
// ParGen.xml ("PROFINET_NB_OUT"). Its Template button opens the template creation window. The
// logic is in mbus/master/CustomerConfig.h.
//
// Each showing reads the template list and the device list again. Devices whose template no
// longer exists are named in a message when the window opens (the list leaves them out, so OK
// would drop them); a device list that cannot be read is reported, and OK then asks before it
// replaces the file.
//
// Creating the window makes no control: they are built on the first show (see
// platform/ui/Form.h); the button handlers build them when called earlier, and the control
// pointers below are null until then.
#include "mbus/DeviceList.h"
#include "mbus/master/CustomerConfig.h"
#include "platform/ui/Form.h"

#include <QPointer>
#include <QString>
#include <QStringList>
#include <vector>

class QLabel;

namespace controls {
class TFxButton;
}
namespace controls::grid {
class TExtColumnGrid;
}
namespace platform::ctl {
class CheckBox;
class ComboBox;
class Edit;
class GroupBox;
class Label;
} // namespace platform::ctl

namespace mbus::master {

using controls::grid::TExtColumnGrid;

class TFConf_BAC_MBus_Pelvarta : public platform::Form {
    Q_OBJECT
public:
    explicit TFConf_BAC_MBus_Pelvarta(QWidget* parent = nullptr);
    ~TFConf_BAC_MBus_Pelvarta() override;

    // The template creation window the Template button shows; set by the program start.
    QPointer<platform::Form> templateWindow;

    void Set_Lang() override;

    // --- the handlers and steps, public so that tests drive the window as a user does --------
    void Btn_AddClick();
    void Btn_ModifyClick();
    void Btn_DeleteClick();
    void Btn_OKClick();
    void Btn_TemplateClick();
    // A click on the device grid.
    void ACG1Click();

    void Load_Template();
    void Update_List_Template();
    bool Template_Exists(const QString& Template_Name) const;
    void Load_Configuration();
    void Save_Configuration();
    void Delete_All_Devices();
    bool Controllo_dati();
    void Add_Device();
    void Modify_Device();
    void Delete_Device();
    void Update_List_Devices();
    void Update_Data_Node();
    void Update_Vars_List();
    static QString AddZeroStr(const QString& text, int MinLen);
    bool Check_Configuration();
    int32_t Used_Bytes() const;
    void Update_NumBytes_Used();
    void Load_Num_Byte_ParGen();
    void Save_Num_Byte_ParGen();

    // The fields of the left panel.
    DeviceFields fields() const;

    QStringList List_Template;
    std::vector<TDevice_QV> Devices_List;
    QStringList Hint_ACG1;
    QStringList Hint_ACG2;
    int32_t Num_Byte_Max = kDefaultByteLimit;
    bool Auto_Calc_Byte = false;

    QLabel* L_SW_Code = nullptr;
    QLabel* L_SW_Desc = nullptr;
    QLabel* L_MBus_NumByte = nullptr;
    platform::ctl::GroupBox* GB_Node = nullptr;
    platform::ctl::Label* L_Sel_Template = nullptr;
    platform::ctl::ComboBox* CB_Sel_Template = nullptr;
    platform::ctl::Label* L_Desc = nullptr;
    platform::ctl::Edit* E_Desc = nullptr;
    platform::ctl::Label* L_ID_Type = nullptr;
    platform::ctl::ComboBox* CB_ID_Type = nullptr;
    platform::ctl::Label* L_MBus_ID = nullptr;
    platform::ctl::Edit* E_MBus_ID = nullptr;
    platform::ctl::CheckBox* CB_NodeState = nullptr;
    platform::ctl::CheckBox* CB_IdeNumber = nullptr;
    platform::ctl::Label* L_MSB = nullptr;
    platform::ctl::Edit* E_MSB = nullptr;
    platform::ctl::Label* L_SST = nullptr;
    platform::ctl::Edit* E_SST = nullptr;
    platform::ctl::Label* L_ThirdField = nullptr;
    platform::ctl::Edit* E_ThirdField = nullptr;
    platform::ctl::Label* L_Select_Conv = nullptr;
    platform::ctl::ComboBox* CB_Select_Conv = nullptr;
    platform::ctl::Label* L_Devices = nullptr;
    TExtColumnGrid* ACG1 = nullptr;
    platform::ctl::Label* L_Vars = nullptr;
    TExtColumnGrid* ACG2 = nullptr;
    controls::TFxButton* Btn_Add = nullptr;
    controls::TFxButton* Btn_Modify = nullptr;
    controls::TFxButton* Btn_Delete = nullptr;
    controls::TFxButton* Btn_OK = nullptr;
    controls::TFxButton* Btn_Cancel = nullptr;
    controls::TFxButton* Btn_Template = nullptr;

    static constexpr int kClientWidth = 1024;
    static constexpr int kClientHeight = 543;

protected:
    void FormShow() override;
    void buildControls() override;

private:
    // The index of the selected device, or -1.
    int selectedDevice() const;
    // The variant to save: the list's choice, else the index the file held.
    int converterIndex() const;
    void showFields(const DeviceFields& f);
    void resetFields();

    // The device list could not be read at this showing: OK asks before it replaces the file.
    QString loadError_;
    int loadedIndex_ = 0;
};

} // namespace mbus::master
