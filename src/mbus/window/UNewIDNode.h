#pragma once
// TFNewIDNode: asks the address of a node being pasted into the M-Bus network. Form_Type 1
// asks a wired address (primary or secondary, each with its box), 2 a wireless one. The boxes
// keep their texts from one showing to the next; the editor fills those of the mode it asks
// for before it shows the dialog, and reads them after OK.
#include "mbus/NetworkEditor.h"
#include "platform/ui/Form.h"

class QLabel;

namespace controls {
class TFxButton;
}
namespace platform::ctl {
class Edit;
class RadioButton;
} // namespace platform::ctl

namespace mbus {

class TFMeter_Bus;

class TFNewIDNode : public platform::Form {
    Q_OBJECT
public:
    // `editor`: the network editor whose nodes the address must not collide with.
    explicit TFNewIDNode(TFMeter_Bus* editor, QWidget* parent = nullptr);

    int32_t Form_Type = 1;

    void Set_Lang() override;
    // OK: checks the entry; closes with OK when it passes, else shows why and stays.
    void FxButton2Click();

    // The boxes as they are (built first when the dialog was never shown).
    NewNodeIdPage readPage();
    // Fills the boxes and the choice, and takes the page's Form_Type.
    void showPage(const NewNodeIdPage& page);

    QLabel* L_SW_Code = nullptr;
    QLabel* L_SW_Desc = nullptr;
    QLabel* Label1 = nullptr;
    platform::ctl::RadioButton* RB_ID_Primary = nullptr;
    platform::ctl::Edit* E_New_Node_ID_Pri = nullptr;
    platform::ctl::RadioButton* RB_ID_Secondary = nullptr;
    platform::ctl::Edit* E_New_Node_ID_Sec = nullptr;
    QLabel* L_wMBus_Add = nullptr;
    platform::ctl::Edit* E_wMBus_Add = nullptr;
    controls::TFxButton* Btn_OK = nullptr;
    controls::TFxButton* Btn_Cancel = nullptr;

protected:
    void FormShow() override;
    void buildControls() override;

private:
    TFMeter_Bus* editor_;
};

} // namespace mbus
