#pragma once
// TFBootSer: the serial update wizard (device types 1 and 20 on a serial BACnet line). Page 1
// lists the serial ports and tells the user how to put the gateway into its boot mode; page 2
// takes the choice of writes and read-backs, and Update starts the serial updater with the
// chosen port and waits for it.
#include "update/UpdateWizard.h"

#include <QString>
#include <QStringList>
#include <functional>

class QLabel;
class QWidget;

namespace platform::ctl {
class ComboBox;
} // namespace platform::ctl

namespace controls {
class TFxButton;
}

namespace update {

class TFBootSer : public UpdateWizard {
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

    QLabel* L_Steps1 = nullptr;
    QLabel* L_Steps2 = nullptr;
    QLabel* L_Steps3 = nullptr;
    QLabel* L_Steps4 = nullptr;
    QLabel* L_Steps5 = nullptr;
    platform::ctl::ComboBox* CB_Com = nullptr;
    controls::TFxButton* Btn_COM_List = nullptr;

protected:
    void FormShow() override;
    void buildControls() override;

private:
    QList<QWidget*> page1() const;
};

} // namespace update
