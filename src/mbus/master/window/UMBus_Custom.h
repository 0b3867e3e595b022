#pragma once
// TFMBus_Custom: a window for choosing M-Bus devices out of a text file of device descriptions
// (mbus/master/CustomDevices.h). The program creates it at start with its other windows; nothing
// opens it and its buttons have no action. Its texts are fixed (it has no Set_Lang).
//
// Import_Devices_Template reads a description file into AvailableDevices; the grid's resize
// handler (ACGResize) shares the room the first three columns leave between the last two.
#include "mbus/master/CustomDevices.h"
#include "platform/ui/Form.h"

#include <QString>
#include <vector>

class QLabel;
class QListWidget;

namespace controls {
class TFxButton;
}
namespace controls::grid {
class TExtColumnGrid;
}
namespace platform::ctl {
class ComboBox;
}

namespace mbus::master {

class TFMBus_Custom : public platform::Form {
    Q_OBJECT
public:
    explicit TFMBus_Custom(QWidget* parent = nullptr);
    ~TFMBus_Custom() override;

    // Appends the devices of the file to AvailableDevices. Throws platform::UserError when the
    // file cannot be read (the list stays as it was).
    void Import_Devices_Template(const QString& file_name);
    void ACGResize();

    std::vector<TDevice_MBus> AvailableDevices;
    std::vector<TDevice_MBus> Devices_List;

    QLabel* L_Title = nullptr;
    QLabel* L_NumByte = nullptr;
    QLabel* L_Add_Template = nullptr;
    platform::ctl::ComboBox* CB_Add_Template = nullptr;
    controls::TFxButton* Btn_Add = nullptr;
    QLabel* L_Devices = nullptr;
    QListWidget* LB_Devices = nullptr;
    controls::grid::TExtColumnGrid* ACG = nullptr;
    controls::TFxButton* Btn_OK = nullptr;
    controls::TFxButton* Btn_Cancel = nullptr;
    controls::TFxButton* Btn_Import = nullptr;

protected:
    void buildControls() override;
};

} // namespace mbus::master
