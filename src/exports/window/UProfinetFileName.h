#pragma once
// TFProfinetFileName: composes the name of the GSDML file. The user types the free part between
// the fixed prefix of the model ("GSDML-V2.31-Ostrel-GX30120") and the fixed date suffix
// ("-20240305.xml", the date of program start); OK composes `Name_File_XML` and closes with
// OK, Cancel closes with Cancel and composes nothing. The free part stays in its edit between
// two showings.
//
// Use from the main window:
//     auto* name = new exports::TFProfinetFileName(mainWindow); // at start, after the texts
//     if (name->showModal() == platform::mrOk)
//         exports::Create_PROFINET_XML(name->Name_File_XML);
#include <QString>

#include "platform/ui/Form.h"

class QLabel;
class QLineEdit;
class QWidget;

namespace controls {
class TFxButton;
}

namespace exports {

class TFProfinetFileName : public platform::Form {
    Q_OBJECT
public:
    explicit TFProfinetFileName(QWidget* parent = nullptr);

    void Set_Lang() override;
    void Btn_OKClick();

    // The composed file name, set by OK.
    QString Name_File_XML;

    QWidget* P_Title = nullptr;
    QLabel* L_SW_Code = nullptr;
    QLabel* L_SW_Desc = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* L_XML_Fix1 = nullptr;
    QLineEdit* E_XML_User = nullptr;
    QLabel* L_XML_Fix2 = nullptr;
    QWidget* P_Button = nullptr;
    controls::TFxButton* Btn_OK = nullptr;
    controls::TFxButton* Btn_Cancel = nullptr;

protected:
    void FormShow() override;

private:
    void FormCreate();
    void placeRow();
};

} // namespace exports
