#pragma once
// TFBACnet_Eng_Unit: the picker of a BACnet engineering unit. The caller puts the unit's text
// into E_Selected_EU and "-> " plus its name into Label5 (pickEngUnit below does both), shows
// the window, and on OK takes E_Selected_EU's text back. The user picks a category, then a
// unit of it, and takes it with Btn_Select_Eng_Unit; typing into E_Selected_EU is handed back
// as typed (the table's check judges it). The category chosen last stays chosen.
#include "platform/ui/Form.h"

#include <QString>

class QLabel;

namespace controls {
class TFxButton;
}
namespace platform::ctl {
class ComboBox;
class Edit;
}

namespace tables {

class TFBACnet_Eng_Unit : public platform::Form {
    Q_OBJECT
public:
    explicit TFBACnet_Eng_Unit(QWidget* parent = nullptr);

    void Set_Lang() override;
    // A new category: its units in list order, the first one chosen.
    void CB_Select_TypeSelect();
    // The chosen unit's number into E_Selected_EU, its name into Label5.
    void Btn_Select_Eng_UnitClick();

    QLabel* L_SW_Code = nullptr;
    QLabel* L_SW_Desc = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    platform::ctl::Edit* E_Selected_EU = nullptr;
    platform::ctl::ComboBox* CB_Select_Type = nullptr;
    platform::ctl::ComboBox* CB_Select_Unit = nullptr;
    controls::TFxButton* Btn_Select_Eng_Unit = nullptr;
    controls::TFxButton* Btn_OK = nullptr;
    controls::TFxButton* Btn_Cancel = nullptr;

protected:
    void FormShow() override;
};

// "-> " followed by the name of the unit the text names (a text that is no number: "unknown").
QString engUnitLabel(const QString& unitText);

// The opening protocol every caller follows: the picker starts from `current`; the text to
// keep comes back (the picked one after OK, `current` after Cancel).
QString pickEngUnit(TFBACnet_Eng_Unit& picker, const QString& current);

} // namespace tables
