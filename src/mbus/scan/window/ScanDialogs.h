#pragma once
// The three small dialogs of the scan window, made once at program start:
//   TFInsertKeyWireless   the AES key of an encrypted wireless meter: 32 hexadecimal characters,
//                         typed letters upper-cased (errors 1704, 1703); borderless, framed, and
//                         placed by the scan window at the mouse
//   TFScanModbusStart     the first Modbus register when scan results are added to an existing
//                         network: 1..65535 (error 1806), kept in StartModAdd
//   TFModbusStartAdd_SD   one Modbus start address per meter (column 1 of `sga`, each 1..59999
//                         and not empty: "Error row <n>!! ...", texts 2208-2210) and the node
//                         state and identification number options
// Each validates at OK, shows the first failure in an error box and stays open; Cancel closes
// with the modal result Cancel.
#include "platform/ui/Form.h"

#include <QString>

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QWidget;

namespace controls {
class TFxButton;
namespace grid {
class TExtColumnGrid;
}
} // namespace controls

namespace mbus::scan {

class TFInsertKeyWireless : public platform::Form {
    Q_OBJECT
public:
    explicit TFInsertKeyWireless(QWidget* parent = nullptr);
    void Set_Lang() override;
    void Btn_OKClick();

    QFrame* Shape1 = nullptr;
    QLabel* L_InsKey = nullptr;
    QLineEdit* E_Key = nullptr;
    controls::TFxButton* Btn_OK = nullptr;
    controls::TFxButton* Btn_Cancel = nullptr;

    static constexpr int kClientWidth = 481;
    static constexpr int kClientHeight = 47;

protected:
    void FormShow() override;
};

class TFScanModbusStart : public platform::Form {
    Q_OBJECT
public:
    explicit TFScanModbusStart(QWidget* parent = nullptr);
    void Set_Lang() override;
    void Btn_OKClick();

    // The accepted address.
    int StartModAdd = 1;

    QWidget* P_Title = nullptr;
    QLabel* L_SW_Code = nullptr;
    QLabel* L_SW_Desc = nullptr;
    QLabel* L_StartModAdd = nullptr;
    QLineEdit* E_StartModAdd = nullptr;
    QWidget* P_Button = nullptr;
    controls::TFxButton* Btn_OK = nullptr;
    controls::TFxButton* Btn_Cancel = nullptr;

    static constexpr int kClientWidth = 331;
    static constexpr int kClientHeight = 162;

protected:
    void FormShow() override;
};

class TFModbusStartAdd_SD : public platform::Form {
    Q_OBJECT
public:
    explicit TFModbusStartAdd_SD(QWidget* parent = nullptr);
    void Set_Lang() override;
    void Btn_OKClick();
    bool Check_Data();

    QWidget* P_Title = nullptr;
    QLabel* L_SW_Code = nullptr;
    QLabel* L_SW_Desc = nullptr;
    QCheckBox* CB_En_NodeState = nullptr;
    QCheckBox* CB_En_IndNum = nullptr;
    controls::grid::TExtColumnGrid* sga = nullptr;
    QWidget* P_Button = nullptr;
    controls::TFxButton* Btn_OK = nullptr;
    controls::TFxButton* Btn_Cancel = nullptr;

    static constexpr int kClientWidth = 511;
    static constexpr int kClientHeight = 336;
    static constexpr int kRows = 31;

protected:
    void FormShow() override;
    void buildControls() override;
};

} // namespace mbus::scan
