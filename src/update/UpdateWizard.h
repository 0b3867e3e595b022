#pragma once
// UpdateWizard: what the Ethernet and serial update wizards have in common. Both are windows of
// 350 x 233 with the software code and a description on top, a first page of their own, and a
// second page with the choice of writes and read-backs (all ticked at the start) above a row
// of Cancel, Next and Update buttons. Each wizard creates its own first page between the
// heading and the choices, so the controls keep their order for the Tab key.
#include "platform/ui/Form.h"
#include "update/UpdateTargets.h"

#include <QFont>
#include <QList>
#include <QString>
#include <functional>

class QLabel;
class QWidget;

namespace platform::ctl {
class CheckBox;
} // namespace platform::ctl

namespace controls {
class TFxButton;
}

namespace update {

class UpdateWizard : public platform::Form {
    Q_OBJECT
public:
    UpdateChoices choices() const;

    QLabel* L_SW_Code = nullptr;
    QLabel* L_SW_Desc = nullptr;
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
    // Names the window, sets its font and creates the heading.
    UpdateWizard(const QString& objectName, QWidget* parent);

    static QFont normalFont();
    static controls::TFxButton* addFxButton(QWidget* parent, const QString& name, int left, int top, int width,
                                            int height = 25);

    // Creates the choices and the buttons row; Next and Update run the given handlers.
    void addChoicesPage(std::function<void()> onNext, std::function<void()> onUpdate);
    // The end of the wizard's construction: software code, size, every choice ticked, texts.
    void FormCreate();
    // The options label takes text `first`, the four check boxes the texts after it.
    void setChoicesTexts(int first);

    // The controls of the second page (Update among them; Cancel and Next belong to the first).
    QList<QWidget*> choicesPage() const;
    void hideChoicesPage();
    // Places the second page's controls and shows them.
    void showChoicesPage();
};

} // namespace update
