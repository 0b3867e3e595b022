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
#include <QPixmap>
#include <QStyle>
#include <QWidget>

namespace update {

using workspace::text;
using workspace::ws;

TFBootSer::TFBootSer(QWidget* parent)
    : UpdateWizard(QStringLiteral("FBootSer"), parent), EnumPorts(workspace::List_COM_Ports)
{
    const QFont normal = normalFont();

    L_Steps1 = platform::addLabel(this, QStringLiteral("L_Steps1"), 16, 75, normal);
    L_Steps2 = platform::addLabel(this, QStringLiteral("L_Steps2"), 36, 93, normal);
    L_Steps3 = platform::addLabel(this, QStringLiteral("L_Steps3"), 36, 112, normal);
    L_Steps4 = platform::addLabel(this, QStringLiteral("L_Steps4"), 36, 131, normal);
    L_Steps5 = platform::addLabel(this, QStringLiteral("L_Steps5"), 36, 176, normal);
    CB_Com = new platform::ctl::ComboBox(this);
    CB_Com->setObjectName(QStringLiteral("CB_Com"));
    CB_Com->setGeometry(54, 151, 145, 21);
    Btn_COM_List = addFxButton(this, QStringLiteral("Btn_COM_List"), 209, 148, 25, 25);
    Btn_COM_List->setShowHint(true);
    Btn_COM_List->onClick = [this](controls::TFxButton*) { Btn_COM_ListClick(); };

    addChoicesPage([this] { Btn_NextClick(); }, [this] { Btn_UpdateClick(); });
    FormCreate();
}

void TFBootSer::buildControls()
{
    // The style's icon is read from the icon theme, which takes milliseconds: only showing
    // needs it.
    Btn_COM_List->setGlyph(style()->standardIcon(QStyle::SP_BrowserReload).pixmap(16, 16).toImage());
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
    setChoicesTexts(81);
    Btn_Cancel->setCaption(text(86));
    Btn_Next->setCaption(text(87));
    Btn_Update->setCaption(text(88));
}

QList<QWidget*> TFBootSer::page1() const
{
    return {L_Steps1, L_Steps2, L_Steps3, L_Steps4, L_Steps5, CB_Com, Btn_COM_List, Btn_Cancel, Btn_Next};
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
    hideChoicesPage();
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
    showChoicesPage();
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
