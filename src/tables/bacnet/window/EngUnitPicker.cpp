#include "tables/bacnet/window/EngUnitPicker.h"

#include "controls/button/FormButton.h"
#include "platform/text/Text.h"
#include "platform/ui/Controls.h"
#include "platform/ui/controls/Controls.h"
#include "workspace/EngUnits.h"
#include "workspace/Workspace.h"

#include <QLabel>

namespace tables {

using workspace::text;

namespace {

platform::ctl::ComboBox* addList(QWidget* parent, const char* name, int left, int top, int width)
{
    auto* c = new platform::ctl::ComboBox(parent);
    c->setObjectName(QLatin1String(name));
    c->setBounds(left, top, width, 21);
    return c;
}

} // namespace

TFBACnet_Eng_Unit::TFBACnet_Eng_Unit(QWidget* parent) : platform::Form(parent)
{
    setObjectName(QStringLiteral("FBACnet_Eng_Unit"));
    const QFont normal = platform::uiFont(QStringLiteral("Verdana"), 8);
    setFont(normal);
    platform::setBackgroundColor(this, QColor(0xF8, 0xF7, 0xED));
    const platform::Heading heading = platform::addHeading(this);
    L_SW_Code = heading.code;
    L_SW_Desc = heading.description;

    Label1 = platform::addLabel(this, QStringLiteral("Label1"), 16, 72, normal);
    E_Selected_EU = new platform::ctl::Edit(this);
    E_Selected_EU->setObjectName(QStringLiteral("E_Selected_EU"));
    E_Selected_EU->setBounds(16, 90, 80, 21);
    Label5 = platform::addLabel(this, QStringLiteral("Label5"), 106, 93, platform::uiFont(QStringLiteral("Verdana"), 8, true));

    Label2 = platform::addLabel(this, QStringLiteral("Label2"), 16, 128, platform::uiFont(QStringLiteral("Verdana"), 8, true));
    Label3 = platform::addLabel(this, QStringLiteral("Label3"), 16, 152, normal);
    CB_Select_Type = addList(this, "CB_Select_Type", 16, 170, 240);
    Label4 = platform::addLabel(this, QStringLiteral("Label4"), 272, 152, normal);
    CB_Select_Unit = addList(this, "CB_Select_Unit", 272, 170, 260);
    QStringList categories;
    for (const workspace::EngUnitCategory& c : workspace::engUnitCategories())
        categories << QLatin1String(c.name);
    CB_Select_Type->setItems(categories);
    CB_Select_Type->setItemIndex(0);
    CB_Select_Type->onChange = [this](platform::ctl::ComboBox&) { CB_Select_TypeSelect(); };

    Btn_Select_Eng_Unit = controls::addButton(this, QStringLiteral("Btn_Select_Eng_Unit"), 16, 206, 240, 28);
    Btn_Select_Eng_Unit->onClick = [this](controls::TFxButton*) { Btn_Select_Eng_UnitClick(); };
    Btn_OK = controls::addButton(this, QStringLiteral("Btn_OK"), 306, 262, 110, 28);
    Btn_OK->setModalResult(platform::mrOk);
    Btn_Cancel = controls::addButton(this, QStringLiteral("Btn_Cancel"), 424, 262, 110, 28);
    Btn_Cancel->setModalResult(platform::mrCancel);

    // Creation: the software code, the size, the texts.
    platform::setLabelText(L_SW_Code, workspace::ws().SW_Code);
    setClientSize(548, 306);
    CB_Select_TypeSelect();
    Set_Lang();
}

void TFBACnet_Eng_Unit::Set_Lang()
{
    setWindowTitle(text(268));
    platform::setLabelText(L_SW_Desc, text(269));
    Btn_OK->setCaption(text(270));
    Btn_Cancel->setCaption(text(271));
    platform::setLabelText(Label1, text(272));
    platform::setLabelText(Label2, text(273));
    platform::setLabelText(Label3, text(274));
    platform::setLabelText(Label4, text(275));
    Btn_Select_Eng_Unit->setCaption(text(276));
}

void TFBACnet_Eng_Unit::FormShow()
{
    CB_Select_TypeSelect();
}

void TFBACnet_Eng_Unit::CB_Select_TypeSelect()
{
    const auto& cats = workspace::engUnitCategories();
    const int c = CB_Select_Type->itemIndex();
    QStringList names;
    if (c >= 0 && size_t(c) < cats.size())
        for (int unit : cats[size_t(c)].units)
            names << workspace::Desc_Unit(unit);
    CB_Select_Unit->setItems(names);
    CB_Select_Unit->setItemIndex(names.isEmpty() ? -1 : 0);
}

void TFBACnet_Eng_Unit::Btn_Select_Eng_UnitClick()
{
    const auto& cats = workspace::engUnitCategories();
    const int c = CB_Select_Type->itemIndex();
    const int u = CB_Select_Unit->itemIndex();
    if (c < 0 || size_t(c) >= cats.size() || u < 0 || size_t(u) >= cats[size_t(c)].units.size())
        return;
    const int number = cats[size_t(c)].units[size_t(u)];
    E_Selected_EU->setText(QString::number(number));
    platform::setLabelText(Label5, engUnitLabel(QString::number(number)));
}

QString engUnitLabel(const QString& unitText)
{
    return QStringLiteral("-> ") + workspace::Desc_Unit(platform::toIntDef(unitText, -1));
}

QString pickEngUnit(TFBACnet_Eng_Unit& picker, const QString& current)
{
    picker.E_Selected_EU->setText(current);
    platform::setLabelText(picker.Label5, engUnitLabel(current));
    if (picker.showModal() == platform::mrOk)
        return picker.E_Selected_EU->text();
    return current;
}

} // namespace tables
