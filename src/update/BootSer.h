#pragma once
// TFBootSer: the serial update wizard (device types 1 and 20 on a serial BACnet line). Page 1
// lists the serial ports and tells the user how to put the gateway into its boot mode; page 2
// takes the choice of writes and read-backs, and Update starts the serial updater with the
// chosen port and waits for it.
#include "platform/ui/Form.h"
#include "update/UpdateTargets.h"

#include <QString>
#include <QStringList>
#include <functional>

class QLabel;
class QWidget;

namespace platform::ctl {
class CheckBox;
class ComboBox;
} // namespace platform::ctl

namespace controls {
class TFxButton;
}

namespace update {

class TFBootSer : public platform::Form {
    Q_OBJECT
public:
    explicit TFBootSer(QWidget* parent = nullptr);

    // The serial ports present, as device paths ("/dev/ttyUSB0"), in the order to list them.
    // The system's list by default; tests put their own in its place.
    std::function<QStringList()> EnumPorts;
    // Refills CB_Com from EnumPorts and chooses the first port (none when there is none).
    void update_ComPort();

    void Set_Lang() override;

    void Btn_COM_ListClick();
    void Btn_NextClick();
    void Btn_UpdateClick();

    UpdateChoices choices() const;

    QLabel* L_SW_Code = nullptr;
    QLabel* L_SW_Desc = nullptr;
    QLabel* L_Steps1 = nullptr;
    QLabel* L_Steps2 = nullptr;
    QLabel* L_Steps3 = nullptr;
    QLabel* L_Steps4 = nullptr;
    QLabel* L_Steps5 = nullptr;
    platform::ctl::ComboBox* CB_Com = nullptr;
    controls::TFxButton* Btn_COM_List = nullptr;
    QLabel* L_Options = nullptr;
    platform::ctl::CheckBox* CB_Firmware = nullptr;
    platform::ctl::CheckBox* CB_Read_Firm = nullptr;
    platform::ctl::CheckBox* CB_Conf = nullptr;
    platform::ctl::CheckBox* CB_Read_Conf = nullptr;
    QWidget* Panel_Buttons = nullptr;
    controls::TFxButton* Btn_Cancel = nullptr;
    controls::TFxButton* Btn_Next = nullptr;
    controls::TFxButton* Btn_Update = nullptr;

protected:
    void FormShow() override;

private:
    void FormCreate();
    QList<QWidget*> page1() const;
    QList<QWidget*> page2() const;
};

} // namespace update
