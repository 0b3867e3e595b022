#include "parameters/window/UParGen.h"

#include "controls/button/FormButton.h"
#include "mbus/Template.h"
#include "parameters/ParGen.h"
#include "parameters/ParGenCheck.h"
#include "platform/fs/Files.h"
#include "platform/text/Text.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Dialogs.h"
#include "platform/xml/XmlDom.h"
#include "workspace/Workspace.h"

#include <QEvent>
#include <QFont>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPalette>
#include <QScreen>
#include <initializer_list>
#include <vector>

namespace parameters {

using platform::ctl::Button;
using platform::ctl::CheckBox;
using platform::ctl::ComboBox;
using platform::ctl::Edit;
using platform::ctl::GroupBox;
using platform::ctl::Label;

namespace {

bool isOneOf(int32_t t, std::initializer_list<int32_t> values)
{
    for (int32_t v : values)
        if (v == t)
            return true;
    return false;
}

int32_t converterType() { return workspace::ws().Converter_Type; }

// Captions of the group boxes (UI-text index; -1 for the fixed caption of GB_SNMP).
int boxCaptionIndex(Box b)
{
    switch (b) {
    case Box::BACnet: return 128;
    case Box::BACnet_Serial: return 135;
    case Box::BACnet_Type: return 140;
    case Box::Modbus_Master: return 142;
    case Box::Modbus_Slave: return 149;
    case Box::Modbus_TCP_Master: return 154;
    case Box::Modbus_TCP_Slave: return 157;
    case Box::DNET_Master: return 159;
    case Box::PROFIBUS_Slave: return 162;
    case Box::CAN: return 167;
    case Box::CANopen: return 169;
    case Box::PROFINET: return 175;
    case Box::DNET_Slave: return 179;
    case Box::EtherNetIP: return 184;
    case Box::J1939: return 188;
    case Box::NMEA2000: return 192;
    case Box::Ethernet: return 196;
    case Box::MBus: return 198;
    case Box::KNX: return 938;
    case Box::DMX: return 1059;
    case Box::SNMP_Manager: return 1077;
    case Box::wMBus: return 1221;
    case Box::Sel_Dev_Wire_Present: return 1224;
    case Box::SNMP: return -1;
    case Box::Eth2: return 1981;
    }
    return -1;
}

// The boxes whose fold buttons carry the hints "Collapse" and "Expand".
bool foldButtonsHaveHints(Box b)
{
    return !(b == Box::DMX || b == Box::SNMP_Manager || b == Box::wMBus || b == Box::Sel_Dev_Wire_Present ||
             b == Box::SNMP);
}

// Address chains: address 1..4, subnet mask 1..4, gateway 1..4; a "." moves along a chain
// that is active for the device type.
struct Chain {
    QStringList boxes;
    std::vector<int32_t> activeFor; // empty: every device type; {-1}: none
};

QStringList chainOf(const QString& ip, const QString& sm, const QString& gat, const QString& suffix = {})
{
    QStringList l;
    for (const QString& p : {ip, sm, gat})
        for (int i = 1; i <= 4; ++i)
            l << p + QString::number(i) + suffix;
    return l;
}

const std::vector<Chain>& chains()
{
    static const std::vector<Chain> c = {
        {chainOf("E_IP", "E_SM", "E_GAT"), {}},
        {chainOf("E_Modbus_TCP_Master_IP", "E_Modbus_TCP_Master_SM", "E_Modbus_TCP_Master_GAT"), {3}},
        {chainOf("E_PROFINET_IP", "E_PROFINET_SM", "E_PROFINET_GAT"), {9}},
        {chainOf("E_EtherNetIP_IP", "E_EtherNetIP_SM", "E_EtherNetIP_GAT"), {12}},
        {chainOf("E_IP", "E_SM", "E_GAT", "_SNMP_Manager"), {19}},
        {chainOf("E_Modbus_TCP_Slave_IP", "E_Modbus_TCP_Slave_SM", "E_Modbus_TCP_Slave_GAT"), {4, 1003}},
        {chainOf("E_Eth2_IP", "E_Eth2_SM", "E_Eth2_GAT"), {-1}},
    };
    return c;
}

bool chainActive(const Chain& c, int32_t type)
{
    if (c.activeFor.empty())
        return true;
    for (int32_t t : c.activeFor)
        if (t == type)
            return true;
    return false;
}

// The most characters a user can type into a text field (the device's limits).
int maxTypedLength(const QString& name)
{
    static const QHash<QString, int> limits = {
        {"E_BACnet_Name_Station", 15},  {"E_BACnet_Ser_Name_Station", 15}, {"E_PROFINET_Name", 15},
        {"E_SNMP_Name_of_Station", 15}, {"E_SNMP_Contact", 16},            {"E_SNMP_Location", 16},
        {"E_PROFI_SNMP_User", 19},      {"E_PROFI_SNMP_Auth_Pass", 15},    {"E_PROFI_SNMP_Priv_Pass", 15},
    };
    return limits.value(name, 0);
}

bool isMstpDescLimit(const KeyDesc& k) { return QLatin1String(k.field) == QLatin1String("CB_BACnet_MSTP_Desc_Limit"); }
bool isBacnetTypeKey(const KeyDesc& k) { return QLatin1String(k.key) == QLatin1String("BACnet_Type"); }

// The position 115200 has in the BACnet MS/TP baud list of the device type.
int bacnetBaud115200(int32_t t) { return t == 1 ? 7 : 5; }

} // namespace

TFParGen::TFParGen(QWidget* parent) : platform::Form(parent)
{
    // The window's controls, lists and layout are made on the first show (buildControls).
    setObjectName(QStringLiteral("FParGen"));
    setWindowTitle(workspace::text(123));
}

void TFParGen::buildControls() { FormCreate(); }

TFParGen::~TFParGen() = default;

void TFParGen::createControls()
{
    setFont(platform::uiFont(QStringLiteral("Verdana"), 8));

    L_SW_Code = new Label(this);
    L_SW_Code->setObjectName(QStringLiteral("L_SW_Code"));
    L_SW_Code->setFont(platform::uiFont(QStringLiteral("Verdana"), 24));
    L_SW_Code->move(16, 8);
    L_SW_Desc = new Label(this);
    L_SW_Desc->setObjectName(QStringLiteral("L_SW_Desc"));
    L_SW_Desc->setFont(platform::uiFont(QStringLiteral("Verdana"), 8, true));
    L_SW_Desc->move(16, 42);
    for (Label* l : {L_SW_Code, L_SW_Desc}) {
        QPalette p = l->palette();
        p.setColor(QPalette::WindowText, Qt::gray);
        l->setPalette(p);
    }

    const ParGenLayout design = ParGenLayout::design();
    for (int i = 0; i < kBoxCount; ++i) {
        auto* g = new GroupBox(this);
        g->setObjectName(boxName(boxAt(i)));
        const Place& p = design.box(boxAt(i));
        g->setBounds(p.left, p.top, p.width, p.height);
        if (boxCaptionIndex(boxAt(i)) < 0)
            g->setCaption(QStringLiteral(" SNMP "));
        boxes_[i] = g;
    }

    QHash<QString, QPair<int, int>> chainPlace;
    for (int c = 0; c < int(chains().size()); ++c)
        for (int i = 0; i < chains()[c].boxes.size(); ++i)
            chainPlace.insert(chains()[c].boxes.at(i), {c, i});

    for (const ControlDesign& d : designControls()) {
        GroupBox* parent = boxes_[boxIndex(d.box)];
        QWidget* w = nullptr;
        switch (d.kind) {
        case ControlKind::Label: {
            auto* l = new Label(parent);
            if (d.textIndex < 0)
                l->setCaption(d.fixedCaption);
            w = l;
            break;
        }
        case ControlKind::Edit: {
            auto* e = new Edit(parent);
            e->setMaxLength(maxTypedLength(d.name));
            e->onChange = [this](Edit& s) { On_Change(&s); };
            if (chainPlace.contains(d.name))
                e->onKeyPress = [this](Edit& s, QChar& key) { KeyPress(s, key); };
            w = e;
            break;
        }
        case ControlKind::Combo: {
            auto* c = new ComboBox(parent);
            c->onChange = [this](ComboBox& s) { On_Change(&s); };
            w = c;
            break;
        }
        case ControlKind::Check: {
            auto* c = new CheckBox(parent);
            if (d.textIndex < 0)
                c->setCaption(d.fixedCaption);
            c->onClick = [this](CheckBox& s) { On_Click(&s); };
            w = c;
            break;
        }
        case ControlKind::FoldButton: {
            auto* b = new Button(parent);
            const bool collapse = d.name.endsWith(QLatin1String("_Collapse"));
            b->setArrowType(collapse ? Qt::UpArrow : Qt::DownArrow);
            b->setAutoRaise(true);
            b->onClick = [this, collapse](Button& s) {
                if (collapse)
                    Btn_GB_Collapse(&s);
                else
                    Btn_GB_Expande(&s);
            };
            w = b;
            break;
        }
        }
        w->setObjectName(d.name);
        w->setGeometry(d.left, d.top, d.width, d.height);
        if (d.kind == ControlKind::Label)
            w->adjustSize();
        w->setVisible(d.visible);
        controls_.insert(d.name, w);
    }

    edit(QStringLiteral("E_PROFINET_Name"))->setLowerCase(true);
    for (const char* fixed : {"CB_Baud_PROFI_Slave", "CB_KNX_Type"})
        combo(QLatin1String(fixed))->setEnabled(false);
    for (const char* fixed : {"E_PORT_PROFINET", "E_Port_EtherNetIP"})
        edit(QLatin1String(fixed))->setEnabled(false);

    Btn_OK = controls::addButton(this, QStringLiteral("Btn_OK"), 40, 0, 110, 28);
    Btn_OK->onClick = [this](controls::TFxButton*) { Btn_OK_Click(); };
    Btn_Cancel = controls::addButton(this, QStringLiteral("Btn_Cancel"), 162, 0, 110, 28);
    Btn_Cancel->onClick = [this](controls::TFxButton*) { Btn_Cancel_Click(); };
}

void TFParGen::FormCreate()
{
    const int32_t t = converterType();
    layout_ = ParGenLayout::design();
    createControls();

    L_SW_Code->setCaption(workspace::ws().SW_Code);

    // The lists, with the window's first choices.
    const ParGen initial;
    for (const KeyDesc& k : parGenKeys()) {
        if (!k.items)
            continue;
        ComboBox* c = combo(QLatin1String(k.field));
        if (!c)
            continue;
        c->setItems(k.items(t));
        c->setItemIndex(initial.*std::get<int ParGen::*>(k.member));
    }
    combo(QStringLiteral("CB_BACnet_Ser_Baud"))->setItemIndex(bacnetBaud115200(t));
    if (t == 20) {
        combo(QStringLiteral("CB_BACnet_Type"))->setItemIndex(0);
        combo(QStringLiteral("CB_BACnet_Type"))->setEnabled(false);
    }
    // The second Ethernet fields are not always loaded; they start with these texts.
    const QStringList eth2 = {"192", "168", "0", "5", "255", "255", "255", "0", "192", "168", "0", "1"};
    const QStringList eth2Boxes = chainOf("E_Eth2_IP", "E_Eth2_SM", "E_Eth2_GAT");
    for (int i = 0; i < eth2Boxes.size(); ++i)
        edit(eth2Boxes.at(i))->setText(eth2.at(i));

    prepareCreation(layout_);
    Collapse_Expand_Creation();
    RePosition_Objects();
    Set_Lang();
    Is_Change = false;
}

void TFParGen::Set_Lang()
{
    using workspace::text;
    setWindowTitle(text(123));
    if (!controlsBuilt())
        return;
    L_SW_Desc->setCaption(text(124));
    Btn_OK->setCaption(text(125));
    Btn_Cancel->setCaption(text(126));
    for (int i = 0; i < kBoxCount; ++i) {
        const Box b = boxAt(i);
        if (b == Box::BACnet)
            boxes_[i]->setCaption(text(layout_.bacnetCaption));
        else if (boxCaptionIndex(b) >= 0)
            boxes_[i]->setCaption(text(boxCaptionIndex(b)));
        const QString collapseHint = foldButtonsHaveHints(b) ? text(204) : QString();
        const QString expandHint = foldButtonsHaveHints(b) ? text(205) : QString();
        foldButton(collapseButtonName(b))->setHint(collapseHint);
        foldButton(expandButtonName(b))->setHint(expandHint);
    }
    for (const ControlDesign& d : designControls()) {
        if (d.textIndex < 0)
            continue;
        if (Label* l = label(d.name))
            l->setCaption(text(d.textIndex));
        else if (CheckBox* c = check(d.name))
            c->setCaption(text(d.textIndex));
    }
    ComboBox* wire = combo(QStringLiteral("CB_SD_Wire_Present_MBus"));
    wire->setItems({text(1226), text(1227)});
    wire->setItemIndex(0);
    fitLabels();
}

void TFParGen::fitLabels()
{
    for (GroupBox* g : boxes_)
        platform::ctl::fitLabels(g);
}

void TFParGen::FormShow()
{
    const int32_t t = converterType();
    const QString path = workspace::ws().Path_ParGen;
    const ParGenLoad loaded = loadParGen(path, t);
    // A damaged file shows as a project without the file; it stays on disk until OK.
    showValues(loaded.values);
    Is_Change = false;
    // Loading chose list positions without their handlers (the "M-Bus on Wire" choice of device
    // type 21, the SNMPv3 security level after its check box), so the layout is brought up to
    // date once everything is in place.
    RePosition_Objects();
    // Centred on the screen at every show, at the size this device type and the loaded choices
    // give; a window taller than the screen is brought down when it is activated.
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (screen)
        move(screen->availableGeometry().center() - rect().center());
    if (loaded.status == ParGenFile::Status::Damaged)
        platform::showError(QStringLiteral("The file \"%1\" could not be read (%2). The window shows the values "
                                           "of a project without the file; OK writes a new file.")
                                .arg(path, loaded.error));
}

// Puts the values into the controls in file order, with the handlers the loading relies on.
void TFParGen::showValues(const ParGen& p)
{
    const int32_t t = converterType();
    int bt = 0;
    for (const KeyDesc& k : parGenKeys()) {
        if (isBacnetTypeKey(k)) {
            if (!hasBacnetType(t))
                continue;
            ComboBox* type = combo(QLatin1String(k.field));
            type->setItemIndex(t == 20 ? 0 : p.BACnet_Type);
            On_Change(type);
            bt = type->itemIndex();
            continue;
        }
        // Both description-limit boxes show the one stored flag.
        const bool applies = isMstpDescLimit(k) ? hasBacnetType(t) : k.applies(t, bt, true);
        if (!applies)
            continue;
        const QString field = QLatin1String(k.field);
        switch (k.form) {
        case KeyForm::Text:
        case KeyForm::FixedText:
            edit(field)->setText(p.*std::get<QString ParGen::*>(k.member));
            break;
        case KeyForm::Flag: check(field)->setChecked(p.*std::get<bool ParGen::*>(k.member)); break;
        case KeyForm::Index:
        case KeyForm::Choice:
        case KeyForm::FixedIndex: combo(field)->setItemIndex(p.*std::get<int ParGen::*>(k.member)); break;
        }
    }
}

ParGen TFParGen::values() const
{
    const int32_t t = converterType();
    ParGen p;
    for (const KeyDesc& k : parGenKeys()) {
        if (isMstpDescLimit(k))
            continue;
        const QString field = QLatin1String(k.field);
        switch (k.form) {
        case KeyForm::Text:
        case KeyForm::FixedText: p.*std::get<QString ParGen::*>(k.member) = edit(field)->text(); break;
        case KeyForm::Flag: p.*std::get<bool ParGen::*>(k.member) = check(field)->checked(); break;
        case KeyForm::Index:
        case KeyForm::Choice:
        case KeyForm::FixedIndex: p.*std::get<int ParGen::*>(k.member) = combo(field)->itemIndex(); break;
        }
    }
    // The description limit is stored from the box of the BACnet side in use.
    if (hasBacnetType(t) && effectiveBacnetType(p, t) != 0)
        p.BACnet_Desc_Chars_Limit = check(QStringLiteral("CB_BACnet_MSTP_Desc_Limit"))->checked();
    return p;
}

void TFParGen::Btn_OK_Click()
{
    const int32_t t = converterType();
    const ParGen p = values();
    const CheckResult r = Controllo_Dati(p, t);
    if (!r.ok) {
        // The message names the value; the focus stays where the user left it.
        platform::showError(r.message());
        return;
    }
    QString error;
    if (!saveParGen(workspace::ws().Path_ParGen, p, t, &error)) {
        platform::showError(error);
        return;
    }
    setModalResult(platform::mrOk);
}

void TFParGen::Btn_Cancel_Click()
{
    if (Is_Change && !platform::askYesNo(workspace::text(267)))
        return;
    setModalResult(platform::mrCancel);
}

void TFParGen::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier) {
        e->accept();
        Btn_Cancel_Click();
        return;
    }
    platform::Form::keyPressEvent(e);
}

bool TFParGen::event(QEvent* e)
{
    const bool r = platform::Form::event(e);
    if (e->type() == QEvent::WindowActivate)
        FormActivate();
    return r;
}

void TFParGen::FormActivate()
{
    if (y() < 0)
        move(x(), 0);
}

void TFParGen::KeyPress(Edit& sender, QChar& key)
{
    if (key != QLatin1Char('.'))
        return;
    const int32_t t = converterType();
    Edit* next = nullptr;
    for (const Chain& c : chains()) {
        const int i = c.boxes.indexOf(sender.objectName());
        if (i < 0)
            continue;
        if (chainActive(c, t) && i + 1 < c.boxes.size())
            next = edit(c.boxes.at(i + 1));
        break;
    }
    platform::ctl::addressDot(key, next);
}

void TFParGen::On_Change(QObject* sender)
{
    Is_Change = true;
    const QString name = sender ? sender->objectName() : QString();
    if (name == QLatin1String("CB_BACnet_Type")) {
        if (isOneOf(converterType(), {0, 2, 3, 4, 6, 7, 8, 9, 12, 16, 17, 18, 19, 2016})) {
            combo(QStringLiteral("CB_Serial_Modbus_Master"))->setEnabled(true);
            combo(QStringLiteral("CB_Serial_Modbus_Slave"))->setEnabled(true);
        }
        RePosition_Objects();
    } else if (name == QLatin1String("CB_KNX_Type") || name == QLatin1String("CB_SD_Wire_Present_MBus") ||
               name == QLatin1String("CB_PROFI_SNMP_Secure_Lev")) {
        RePosition_Objects();
    }
}

void TFParGen::On_Click(QObject* sender)
{
    Is_Change = true;
    const QString name = sender ? sender->objectName() : QString();
    if (name == QLatin1String("CB_PROFINET_Auto_Calc_Bytes")) {
        Edit* out = edit(QStringLiteral("E_B_OUT_PROFINET"));
        if (check(name)->checked()) {
            out->setEnabled(false);
            out->setText(QString::number(Used_Bytes_Configuration()));
        } else {
            out->setEnabled(true);
        }
    } else if (name == QLatin1String("CB_PROFI_SNMP_Ver3")) {
        RePosition_Objects();
    }
}

int TFParGen::Used_Bytes_Configuration()
{
    const workspace::Workspace& w = workspace::ws();
    platform::XmlDocument deviceList;
    if (!platform::fileExists(w.Path_M_Bus_Custom_QV) || !deviceList.load(w.Path_M_Bus_Custom_QV))
        return 0;
    // A missing child reads as an empty text.
    const auto childText = [](const platform::XmlNode& n, const char* name) {
        return n.elementText(QLatin1String(name)).value_or(QString());
    };
    int sum = 0;
    const platform::XmlNode devices = deviceList.rootElement().element(QStringLiteral("List_Devices"));
    for (int i = 0; i < devices.elementCount(); ++i) {
        const platform::XmlNode device = devices.elementAt(i);
        // Found as every other template read finds it: a name with a folder part ("..",
        // "/") names no template.
        const QString templatePath = mbus::findTemplateFile(w.Template_Dir, childText(device, "Template"));
        if (templatePath.isEmpty())
            continue;
        if (childText(device, "Node_State") == QLatin1String("1"))
            sum += 4;
        if (childText(device, "Identification_Number") == QLatin1String("1"))
            sum += 4;
        platform::XmlDocument deviceTemplate;
        if (!deviceTemplate.load(templatePath))
            continue;
        const platform::XmlNode variables = deviceTemplate.rootElement().element(QStringLiteral("List_Variables"));
        for (int v = 0; v < variables.elementCount(); ++v) {
            const platform::XmlNode variable = variables.elementAt(v);
            if (childText(variable, "FrameNumber") == QLatin1String("0"))
                continue;
            const int objectType = platform::toIntDef(childText(variable, "ObjectType"), 0);
            if (objectType == 2 || objectType == 13 || objectType == 23)
                sum += 4;
        }
    }
    return sum;
}

void TFParGen::Collapse_Expand_Creation()
{
    ensureControls();
    collapseExpandCreation(layout_);
    applyLayout();
}

void TFParGen::RePosition_Objects()
{
    ensureControls();
    rePositionObjects(layout_, choices());
    applyLayout();
}

void TFParGen::Btn_GB_Collapse(QObject* sender)
{
    for (int i = 0; i < kBoxCount; ++i)
        if (sender && sender == controls_.value(collapseButtonName(boxAt(i)))) {
            collapseBox(layout_, boxAt(i), choices());
            applyLayout();
            return;
        }
    RePosition_Objects();
}

void TFParGen::Btn_GB_Expande(QObject* sender)
{
    for (int i = 0; i < kBoxCount; ++i)
        if (sender && sender == controls_.value(expandButtonName(boxAt(i)))) {
            expandBox(layout_, boxAt(i), choices());
            applyLayout();
            return;
        }
    RePosition_Objects();
}

LayoutChoices TFParGen::choices() const
{
    LayoutChoices c;
    c.converterType = converterType();
    c.bacnetType = combo(QStringLiteral("CB_BACnet_Type"))->itemIndex();
    c.wirePresent = combo(QStringLiteral("CB_SD_Wire_Present_MBus"))->itemIndex();
    c.snmpVersion3 = check(QStringLiteral("CB_PROFI_SNMP_Ver3"))->checked();
    c.snmpSecurityLevel = combo(QStringLiteral("CB_PROFI_SNMP_Secure_Lev"))->itemIndex();
    return c;
}

// Copies the layout onto the widgets.
void TFParGen::applyLayout()
{
    for (int i = 0; i < kBoxCount; ++i) {
        const Place& p = layout_.box(boxAt(i));
        boxes_[i]->setBounds(p.left, p.top, p.width, p.height);
        boxes_[i]->setVisible(p.visible);
    }
    boxes_[boxIndex(Box::BACnet)]->setCaption(workspace::text(layout_.bacnetCaption));
    for (const ControlDesign& d : designControls()) {
        const Place& p = layout_.control(d.name);
        QWidget* w = controls_.value(d.name);
        if (d.kind == ControlKind::Label)
            w->move(p.left, p.top); // labels keep the width of their text
        else
            w->setGeometry(p.left, p.top, p.width, p.height);
        w->setVisible(p.visible);
    }
    Btn_OK->move(Btn_OK->x(), layout_.buttonsTop);
    Btn_Cancel->move(Btn_Cancel->x(), layout_.buttonsTop);
    fitLabels();
    setClientSize(layout_.clientWidth, layout_.clientHeight);
}

QWidget* TFParGen::control(const QString& name) const
{
    const_cast<TFParGen*>(this)->ensureControls();
    return controls_.value(name);
}

platform::ctl::GroupBox* TFParGen::box(Box b) const
{
    const_cast<TFParGen*>(this)->ensureControls();
    return boxes_[boxIndex(b)];
}

controls::TFxButton* TFParGen::okButton() const
{
    const_cast<TFParGen*>(this)->ensureControls();
    return Btn_OK;
}

controls::TFxButton* TFParGen::cancelButton() const
{
    const_cast<TFParGen*>(this)->ensureControls();
    return Btn_Cancel;
}

Edit* TFParGen::edit(const QString& name) const { return dynamic_cast<Edit*>(control(name)); }
ComboBox* TFParGen::combo(const QString& name) const { return dynamic_cast<ComboBox*>(control(name)); }
CheckBox* TFParGen::check(const QString& name) const { return dynamic_cast<CheckBox*>(control(name)); }
Label* TFParGen::label(const QString& name) const { return dynamic_cast<Label*>(control(name)); }
Button* TFParGen::foldButton(const QString& name) const { return dynamic_cast<Button*>(control(name)); }

} // namespace parameters
