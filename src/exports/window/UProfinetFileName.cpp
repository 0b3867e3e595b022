#include "exports/window/UProfinetFileName.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>

#include "controls/button/FxButton.h"
#include "exports/Gsdml.h"
#include "platform/process/Clock.h"
#include "platform/ui/Controls.h"
#include "workspace/Workspace.h"

namespace exports {

namespace {

using workspace::text;
using workspace::ws;

constexpr int kClientWidth = 540;
constexpr int kClientHeight = 205;
constexpr int kTitleHeight = 69;
constexpr int kButtonPanelHeight = 40;
constexpr int kEditWidth = 267;
constexpr int kHeadingTop = 98;
constexpr int kRowTop = 116;
constexpr int kGap = 3;

controls::TFxButton* addButton(QWidget* parent, const QString& name, int left)
{
    auto* b = new controls::TFxButton(parent);
    b->setObjectName(name);
    b->setGeometry(left, 6, 110, 28);
    return b;
}

} // namespace

TFProfinetFileName::TFProfinetFileName(QWidget* parent) : platform::Form(parent)
{
    setObjectName(QStringLiteral("FProfinetFileName"));
    const QFont normal = platform::uiFont(QStringLiteral("Verdana"), 8);
    setFont(normal);

    P_Title = new QWidget(this);
    P_Title->setObjectName(QStringLiteral("P_Title"));
    P_Title->setGeometry(0, 0, kClientWidth, kTitleHeight);
    platform::setBackgroundColor(P_Title, QColor(255, 255, 255));
    const platform::Heading heading = platform::addHeading(P_Title);
    L_SW_Code = heading.code;
    L_SW_Desc = heading.description;

    Label1 = platform::addLabel(this, QStringLiteral("Label1"), 8, 77, platform::uiFont(QStringLiteral("Verdana"), 8, true));
    Label2 = platform::addLabel(this, QStringLiteral("Label2"), 8, kHeadingTop, normal);
    Label4 = platform::addLabel(this, QStringLiteral("Label4"), 8, kHeadingTop, normal);
    Label5 = platform::addLabel(this, QStringLiteral("Label5"), 8, kHeadingTop, normal);
    L_XML_Fix1 = platform::addLabel(this, QStringLiteral("L_XML_Fix1"), 8, kRowTop + 4, normal);
    E_XML_User = new QLineEdit(this);
    E_XML_User->setObjectName(QStringLiteral("E_XML_User"));
    E_XML_User->setGeometry(8, kRowTop, kEditWidth, 22);
    L_XML_Fix2 = platform::addLabel(this, QStringLiteral("L_XML_Fix2"), 8, kRowTop + 4, normal);

    P_Button = new QWidget(this);
    P_Button->setObjectName(QStringLiteral("P_Button"));
    P_Button->setGeometry(0, kClientHeight - kButtonPanelHeight, kClientWidth, kButtonPanelHeight);
    Btn_OK = addButton(P_Button, QStringLiteral("Btn_OK"), kClientWidth - 2 * 110 - 16);
    Btn_OK->setDefault(true);
    Btn_OK->onClick = [this](controls::TFxButton*) { Btn_OKClick(); };
    Btn_Cancel = addButton(P_Button, QStringLiteral("Btn_Cancel"), kClientWidth - 110 - 8);
    Btn_Cancel->setCancel(true);
    Btn_Cancel->setModalResult(controls::mrCancel);

    FormCreate();
}

void TFProfinetFileName::FormCreate()
{
    platform::setLabelText(L_SW_Code, ws().SW_Code);
    setClientSize(kClientWidth, kClientHeight);
    platform::setLabelText(L_XML_Fix1, gsdmlFileNamePrefix(ws().Converter_Type));
    // The date of program start: the program's windows are created once, at start.
    platform::setLabelText(L_XML_Fix2, gsdmlFileNameSuffix(platform::clock().now().date()));
    Set_Lang();
}

void TFProfinetFileName::Set_Lang()
{
    setWindowTitle(text(782));
    platform::setLabelText(L_SW_Desc, text(783));
    Btn_OK->setCaption(text(784));
    Btn_Cancel->setCaption(text(785));
    platform::setLabelText(Label1, text(786));
    platform::setLabelText(Label2, text(787));
    platform::setLabelText(Label4, text(788));
    platform::setLabelText(Label5, text(789));
    placeRow();
}

// Prefix, edit and suffix side by side, each under its heading.
void TFProfinetFileName::placeRow()
{
    L_XML_Fix1->move(8, kRowTop + 4);
    E_XML_User->move(L_XML_Fix1->x() + L_XML_Fix1->width() + kGap, kRowTop);
    L_XML_Fix2->move(E_XML_User->x() + E_XML_User->width() + kGap, kRowTop + 4);
    Label2->move(L_XML_Fix1->x(), kHeadingTop);
    Label4->move(E_XML_User->x(), kHeadingTop);
    Label5->move(L_XML_Fix2->x(), kHeadingTop);
}

void TFProfinetFileName::FormShow()
{
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (screen)
        move(screen->availableGeometry().center() - rect().center());
    E_XML_User->setFocus();
}

void TFProfinetFileName::Btn_OKClick()
{
    Name_File_XML = composeGsdmlFileName(L_XML_Fix1->text(), E_XML_User->text(), L_XML_Fix2->text());
    setModalResult(platform::mrOk);
}

} // namespace exports
