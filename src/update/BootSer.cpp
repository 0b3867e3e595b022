#include "update/BootSer.h"

#include "controls/button/FxButton.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/StartProgram.h"
#include "platform/ui/controls/Controls.h"
#include "update/UpdaterCommand.h"
#include "workspace/Validators.h"
#include "workspace/Workspace.h"

#include <QIcon>
#include <QLabel>
#include <QPalette>
#include <QPixmap>
#include <QStyle>
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

controls::TFxButton* addFxButton(QWidget* parent, const QString& name, int left, int top, int width, int height = 25)
{
    auto* b = new controls::TFxButton(parent);
    b->setObjectName(name);
    b->setGeometry(left, top, width, height);
    return b;
}

} // namespace

TFBootSer::TFBootSer(QWidget* parent) : platform::Form(parent), EnumPorts(workspace::List_COM_Ports)
{
    setObjectName(QStringLiteral("FBootSer"));
    const QFont normal = platform::uiFont(QStringLiteral("Verdana"), 8);
    setFont(normal);
    QPalette grey;
    grey.setColor(QPalette::WindowText, QColor(128, 128, 128));
    L_SW_Code = platform::addLabel(this, QStringLiteral("L_SW_Code"), 8, 6,
                                   platform::uiFont(QStringLiteral("Verdana"), 12, true));
    L_SW_Code->setPalette(grey);
    L_SW_Desc = platform::addLabel(this, QStringLiteral("L_SW_Desc"), 8, 34,
                                   platform::uiFont(QStringLiteral("Verdana"), 8, true));

    L_Steps1 = platform::addLabel(this, QStringLiteral("L_Steps1"), 16, 75, normal);
    L_Steps2 = platform::addLabel(this, QStringLiteral("L_Steps2"), 36, 93, normal);
    L_Steps3 = platform::addLabel(this, QStringLiteral("L_Steps3"), 36, 112, normal);
    L_Steps4 = platform::addLabel(this, QStringLiteral("L_Steps4"), 36, 131, normal);
    L_Steps5 = platform::addLabel(this, QStringLiteral("L_Steps5"), 36, 176, normal);
    CB_Com = new platform::ctl::ComboBox(this);
    CB_Com->setObjectName(QStringLiteral("CB_Com"));
    CB_Com->setGeometry(54, 151, 145, 21);
    Btn_COM_List = addFxButton(this, QStringLiteral("Btn_COM_List"), 209, 148, 25, 25);
    Btn_COM_List->setGlyph(style()->standardIcon(QStyle::SP_BrowserReload).pixmap(16, 16).toImage());
    Btn_COM_List->setShowHint(true);
    Btn_COM_List->onClick = [this](controls::TFxButton*) { Btn_COM_ListClick(); };

    L_Options = platform::addLabel(this, QStringLiteral("L_Options"), 16, 75, normal);
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
    Btn_Next->onClick = [this](controls::TFxButton*) { Btn_NextClick(); };
    Btn_Update = addFxButton(Panel_Buttons, QStringLiteral("Btn_Update"), 264, 8, 75);
    Btn_Update->onClick = [this](controls::TFxButton*) { Btn_UpdateClick(); };
    FormCreate();
}

void TFBootSer::FormCreate()
{
    platform::setLabelText(L_SW_Code, ws().SW_Code);
    setClientSize(350, 233);
    for (platform::ctl::CheckBox* c : {CB_Firmware, CB_Read_Firm, CB_Conf, CB_Read_Conf})
        c->setChecked(true);
    Set_Lang();
}

void TFBootSer::Set_Lang()
{
    setWindowTitle(text(73));
    platform::setLabelText(L_SW_Desc, text(74));
    platform::setLabelText(L_Steps1, text(75));
    platform::setLabelText(L_Steps2, text(76));
    platform::setLabelText(L_Steps3, text(77));
    platform::setLabelText(L_Steps4, text(78));
    platform::setLabelText(L_Steps5, text(79));
    Btn_COM_List->setHint(text(80));
    platform::setLabelText(L_Options, text(81));
    CB_Firmware->setText(text(82));
    CB_Read_Firm->setText(text(83));
    CB_Conf->setText(text(84));
    CB_Read_Conf->setText(text(85));
    Btn_Cancel->setCaption(text(86));
    Btn_Next->setCaption(text(87));
    Btn_Update->setCaption(text(88));
}

QList<QWidget*> TFBootSer::page1() const
{
    return {L_Steps1, L_Steps2, L_Steps3, L_Steps4, L_Steps5, CB_Com, Btn_COM_List, Btn_Cancel, Btn_Next};
}

QList<QWidget*> TFBootSer::page2() const
{
    return {L_Options, CB_Firmware, CB_Read_Firm, CB_Conf, CB_Read_Conf, Btn_Update};
}

void TFBootSer::update_ComPort()
{
    QStringList ports = EnumPorts ? EnumPorts() : QStringList();
    ports.removeAll(QString());
    CB_Com->setItems(ports);
    CB_Com->setItemIndex(ports.isEmpty() ? -1 : 0);
}

void TFBootSer::FormShow()
{
    update_ComPort();
    L_Steps1->move(16, 75);
    L_Steps2->move(36, 93);
    L_Steps3->move(36, 112);
    L_Steps4->move(36, 131);
    L_Steps5->move(36, 176);
    CB_Com->move(54, 151);
    Btn_COM_List->move(209, 148);
    for (QWidget* w : page1())
        w->setVisible(true);
    for (QWidget* w : page2())
        w->setVisible(false);
}

void TFBootSer::Btn_COM_ListClick() { update_ComPort(); }

void TFBootSer::Btn_NextClick()
{
    if (CB_Com->itemIndex() < 0 || CB_Com->text().isEmpty()) {
        platform::showError(text(89));
        return;
    }
    for (QWidget* w : page1())
        w->setVisible(false);
    L_Options->move(16, 75);
    CB_Firmware->move(36, 96);
    CB_Read_Firm->move(56, 119);
    CB_Conf->move(36, 142);
    CB_Read_Conf->move(56, 165);
    Btn_Update->move(16, Btn_Update->y());
    for (QWidget* w : page2())
        w->setVisible(true);
}

UpdateChoices TFBootSer::choices() const
{
    return {CB_Firmware->isChecked(), CB_Read_Firm->isChecked(), CB_Conf->isChecked(), CB_Read_Conf->isChecked()};
}

void TFBootSer::Btn_UpdateClick()
{
    const QString port = CB_Com->text();
    if (port.isEmpty()) {
        platform::showError(text(89));
        return;
    }
    const workspace::Workspace& w = ws();
    const UpdaterCommand c = serialUpdater(port, choices(), w.Program_Dir, w.Master_Dir, w.Project_Dir);
    platform::Start_Program(c.program, c.arguments, false);
}

} // namespace update
