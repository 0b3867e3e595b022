#include "mbus/window/UNewIDNode.h"

#include "controls/button/FormButton.h"
#include "mbus/window/UMeter_Bus.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/controls/TreeView.h"
#include "workspace/Workspace.h"

#include <QLabel>

namespace mbus {

using workspace::text;

namespace {

platform::ctl::Edit* numberBox(QWidget* parent, const char* name, int top)
{
    auto* e = new platform::ctl::Edit(parent);
    e->setObjectName(QLatin1String(name));
    e->setBounds(152, top, 96, 21);
    e->setText(QStringLiteral("1"));
    return e;
}

platform::ctl::RadioButton* choice(QWidget* parent, const char* name, int top)
{
    auto* r = new platform::ctl::RadioButton(parent);
    r->setObjectName(QLatin1String(name));
    r->setGeometry(16, top, 134, 21);
    return r;
}

} // namespace

TFNewIDNode::TFNewIDNode(TFMeter_Bus* editor, QWidget* parent) : platform::Form(parent), editor_(editor)
{
    // FormCreate: the window itself; its controls wait for the first show.
    setObjectName(QStringLiteral("FNewIDNode"));
    setFont(platform::uiFont(QStringLiteral("Verdana"), 8));
    platform::setBackgroundColor(this, QColor(248, 247, 237));
    setClientSize(265, 195);
    Set_Lang();
}

void TFNewIDNode::buildControls()
{
    const QFont normal = font();
    const platform::Heading heading = platform::addHeading(this);
    L_SW_Code = heading.code;
    L_SW_Desc = heading.description;
    Label1 = platform::addLabel(this, QStringLiteral("Label1"), 16, 60, normal);
    RB_ID_Primary = choice(this, "RB_ID_Primary", 84);
    RB_ID_Primary->setChecked(true);
    E_New_Node_ID_Pri = numberBox(this, "E_New_Node_ID_Pri", 84);
    RB_ID_Secondary = choice(this, "RB_ID_Secondary", 112);
    E_New_Node_ID_Sec = numberBox(this, "E_New_Node_ID_Sec", 112);
    L_wMBus_Add = platform::addLabel(this, QStringLiteral("L_wMBus_Add"), 16, 118, normal);
    E_wMBus_Add = numberBox(this, "E_wMBus_Add", 115);
    Btn_OK = controls::addButton(this, QStringLiteral("Btn_OK"), 16, 155, 110, 28);
    Btn_OK->setDefault(true);
    Btn_OK->onClick = [this](controls::TFxButton*) { FxButton2Click(); };
    Btn_Cancel = controls::addButton(this, QStringLiteral("Btn_Cancel"), 138, 155, 110, 28);
    Btn_Cancel->setModalResult(platform::mrCancel);

    platform::setLabelText(L_SW_Code, workspace::ws().SW_Code);
    Set_Lang();
}

void TFNewIDNode::Set_Lang()
{
    setWindowTitle(text(277));
    if (!controlsBuilt())
        return;
    platform::setLabelText(L_SW_Desc, text(278));
    Btn_OK->setCaption(text(279));
    Btn_Cancel->setCaption(text(280));
    platform::setLabelText(Label1, text(281));
    RB_ID_Primary->setCaption(text(282));
    RB_ID_Secondary->setCaption(text(283));
    platform::setLabelText(L_wMBus_Add, text(1229));
    platform::ctl::fitLabels(this);
}

void TFNewIDNode::FormShow()
{
    const bool wired = Form_Type == 1;
    for (QWidget* w : {static_cast<QWidget*>(RB_ID_Primary), static_cast<QWidget*>(E_New_Node_ID_Pri),
                       static_cast<QWidget*>(RB_ID_Secondary), static_cast<QWidget*>(E_New_Node_ID_Sec)})
        w->setVisible(wired);
    L_wMBus_Add->setVisible(!wired);
    E_wMBus_Add->setVisible(!wired);
    (wired ? (RB_ID_Secondary->isChecked() ? E_New_Node_ID_Sec : E_New_Node_ID_Pri) : E_wMBus_Add)->setFocus();
}

NewNodeIdPage TFNewIDNode::readPage()
{
    ensureControls();
    NewNodeIdPage p;
    p.Form_Type = Form_Type;
    p.secondarySelected = RB_ID_Secondary->isChecked();
    p.primary = E_New_Node_ID_Pri->text();
    p.secondary = E_New_Node_ID_Sec->text();
    p.wAddress = E_wMBus_Add->text();
    return p;
}

void TFNewIDNode::showPage(const NewNodeIdPage& p)
{
    ensureControls();
    Form_Type = p.Form_Type;
    RB_ID_Primary->setChecked(!p.secondarySelected);
    RB_ID_Secondary->setChecked(p.secondarySelected);
    E_New_Node_ID_Pri->setText(p.primary);
    E_New_Node_ID_Sec->setText(p.secondary);
    E_wMBus_Add->setText(p.wAddress);
}

void TFNewIDNode::FxButton2Click()
{
    const MBusNetwork none;
    const int message = checkNewNodeId(readPage(), editor_ ? editor_->Nodi_List() : none);
    if (message != 0) {
        platform::showError(text(message));
        return;
    }
    setModalResult(platform::mrOk);
}

} // namespace mbus
