#include "update/UpdateWizard.h"

#include "controls/button/FormButton.h"
#include "platform/ui/Controls.h"
#include "platform/ui/controls/Controls.h"
#include "workspace/Workspace.h"

#include <QLabel>
#include <QWidget>

namespace update {

using workspace::text;
using workspace::ws;

namespace {

platform::ctl::CheckBox* addCheckBox(QWidget* parent, const QString& name)
{
    auto* c = new platform::ctl::CheckBox(parent);
    c->setObjectName(name);
    c->resize(280, 17);
    return c;
}

} // namespace

UpdateWizard::UpdateWizard(const QString& objectName, QWidget* parent) : platform::Form(parent)
{
    setObjectName(objectName);
    setFont(normalFont());
    const platform::Heading heading = platform::addHeading(this);
    L_SW_Code = heading.code;
    L_SW_Desc = heading.description;
}

QFont UpdateWizard::normalFont() { return platform::uiFont(QStringLiteral("Verdana"), 8); }

controls::TFxButton* UpdateWizard::addFxButton(QWidget* parent, const QString& name, int left, int top, int width,
                                               int height)
{
    return controls::addButton(parent, name, left, top, width, height);
}

void UpdateWizard::addChoicesPage(std::function<void()> onNext, std::function<void()> onUpdate)
{
    L_Options = platform::addLabel(this, QStringLiteral("L_Options"), 16, 75, normalFont());
    CB_Firmware = addCheckBox(this, QStringLiteral("CB_Firmware"));
    CB_Read_Firm = addCheckBox(this, QStringLiteral("CB_Read_Firm"));
    CB_Conf = addCheckBox(this, QStringLiteral("CB_Conf"));
    CB_Read_Conf = addCheckBox(this, QStringLiteral("CB_Read_Conf"));

    Panel_Buttons = new QWidget(this);
    Panel_Buttons->setObjectName(QStringLiteral("Panel_Buttons"));
    Panel_Buttons->setGeometry(0, 193, 350, 40);
    Btn_Cancel = addFxButton(Panel_Buttons, QStringLiteral("Btn_Cancel"), 180, 8, 75);
    Btn_Cancel->setModalResult(controls::mrCancel);
    Btn_Next = addFxButton(Panel_Buttons, QStringLiteral("Btn_Next"), 264, 8, 75);
    Btn_Next->onClick = [next = std::move(onNext)](controls::TFxButton*) { next(); };
    Btn_Update = addFxButton(Panel_Buttons, QStringLiteral("Btn_Update"), 264, 8, 75);
    Btn_Update->onClick = [update = std::move(onUpdate)](controls::TFxButton*) { update(); };
}

void UpdateWizard::FormCreate()
{
    platform::setLabelText(L_SW_Code, ws().SW_Code);
    setClientSize(350, 233);
    for (platform::ctl::CheckBox* c : {CB_Firmware, CB_Read_Firm, CB_Conf, CB_Read_Conf})
        c->setChecked(true);
    Set_Lang();
}

void UpdateWizard::setChoicesTexts(int first)
{
    platform::setLabelText(L_Options, text(first));
    CB_Firmware->setText(text(first + 1));
    CB_Read_Firm->setText(text(first + 2));
    CB_Conf->setText(text(first + 3));
    CB_Read_Conf->setText(text(first + 4));
}

QList<QWidget*> UpdateWizard::choicesPage() const
{
    return {L_Options, CB_Firmware, CB_Read_Firm, CB_Conf, CB_Read_Conf, Btn_Update};
}

void UpdateWizard::hideChoicesPage()
{
    for (QWidget* w : choicesPage())
        w->setVisible(false);
}

void UpdateWizard::showChoicesPage()
{
    L_Options->move(16, 75);
    CB_Firmware->move(36, 96);
    CB_Read_Firm->move(56, 119);
    CB_Conf->move(36, 142);
    CB_Read_Conf->move(56, 165);
    Btn_Update->move(16, Btn_Update->y());
    for (QWidget* w : choicesPage())
        w->setVisible(true);
}

UpdateChoices UpdateWizard::choices() const
{
    return {CB_Firmware->isChecked(), CB_Read_Firm->isChecked(), CB_Conf->isChecked(), CB_Read_Conf->isChecked()};
}

} // namespace update
