#pragma once
// ProjectDialog: the frame the new-project and open-project dialogs share. The heading, a
// prompt (Label1) above the dialog's own control, and OK and Cancel side by side at the
// bottom; the texts are five consecutive UI texts: title, description, prompt, OK, Cancel.
#include <QString>

#include "platform/ui/Form.h"

class QLabel;

namespace controls {
class TFxButton;
}

namespace app {

using AppButton = controls::TFxButton;

class ProjectDialog : public platform::Form {
    Q_OBJECT
protected:
    // Names the window, sets its font, and creates the heading and the prompt at 8, promptTop.
    ProjectDialog(const QString& objectName, int promptTop, QWidget* parent);

    // OK at left, top and Cancel beside it (75 x 30 each); Cancel ends with mrCancel.
    void addButtons(int left, int top);
    // The end of the dialog's construction: software code, size and texts.
    void FormCreate(int width, int height);
    // Title, description, prompt, OK and Cancel from the texts first .. first + 4.
    void setTexts(int first);

    QLabel* L_SW_Code = nullptr;
    QLabel* L_SW_Desc = nullptr;
    QLabel* Label1 = nullptr;
    AppButton* Btn_OK = nullptr;
    AppButton* Btn_Cancel = nullptr;
};

} // namespace app
