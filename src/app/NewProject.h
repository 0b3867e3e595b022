#pragma once
// TFNew_Project: asks for the name of a new project and creates its folder (with "bin"), or,
// in template mode (Type_Form 1), asks for the file name of a new M-Bus device template.
#include <QString>

#include "app/ProjectDialog.h"

class QLineEdit;

namespace app {

class TFNew_Project : public ProjectDialog {
    Q_OBJECT
public:
    explicit TFNew_Project(QWidget* parent = nullptr);

    // 0: a new project (the default); 1: a template file name. The template window sets 1
    // before showing and 0 again afterwards.
    int32_t Type_Form = 0;
    // Template mode: the full path of the chosen template file, read by the caller after OK.
    QString Template_Name;

    void Set_Lang() override;
    void Btn_OKClick();
    QLineEdit* E_New_Proj = nullptr;

protected:
    void FormShow() override;
};

} // namespace app
