#pragma once
// The layout of the general parameters window as plain data: the 25 group boxes, the controls
// inside them with their designed places, and the rules that choose, stack, size and fold the
// boxes for the device type and the user's current choices. The window creates its controls
// from `designControls()`, keeps one `ParGenLayout`, runs the rules on it and copies the result
// onto its widgets; the rules never touch a widget, so they run and are tested headless.
//
// Coordinates of a control are relative to its group box; those of a box relative to the
// window's client area.
#include <QHash>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <vector>

namespace parameters {

enum class Box {
    BACnet,
    BACnet_Serial,
    BACnet_Type,
    Modbus_Master,
    Modbus_Slave,
    Modbus_TCP_Master,
    Modbus_TCP_Slave,
    DNET_Master,
    PROFIBUS_Slave,
    CAN,
    CANopen,
    PROFINET,
    DNET_Slave,
    EtherNetIP,
    J1939,
    NMEA2000,
    Ethernet,
    MBus,
    KNX,
    DMX,
    SNMP_Manager,
    wMBus,
    Sel_Dev_Wire_Present,
    SNMP,
    Eth2,
};
constexpr int kBoxCount = 25;
constexpr int boxIndex(Box b) { return static_cast<int>(b); }
constexpr Box boxAt(int i) { return static_cast<Box>(i); }

// "BACnet" for Box::BACnet: the box's name without "GB_".
QString boxKey(Box b);
// "GB_BACnet".
QString boxName(Box b);
// "Btn_BACnet_Collapse", "Btn_BACnet_Expande".
QString collapseButtonName(Box b);
QString expandButtonName(Box b);

enum class ControlKind { Label, Edit, Combo, Check, FoldButton };

struct ControlDesign {
    QString name;
    ControlKind kind;
    Box box;
    int left, top, width, height;
    int textIndex = -1; // caption from the UI-text table, -1: the fixed caption below
    QString fixedCaption;
    bool visible = true;
};

// Every control inside the boxes, fold buttons included, at its designed place.
const std::vector<ControlDesign>& designControls();

struct Place {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool visible = true;
    int bottom() const { return top + height; }
};

// The state the layout rules read besides the geometry: the device type and the choices of
// the lists and check box that the layout follows.
struct LayoutChoices {
    int32_t converterType = 0;
    int bacnetType = 0;        // CB_BACnet_Type
    int wirePresent = 0;       // CB_SD_Wire_Present_MBus ("M-Bus on Wire")
    bool snmpVersion3 = false; // CB_PROFI_SNMP_Ver3
    int snmpSecurityLevel = 0; // CB_PROFI_SNMP_Secure_Lev
};

class ParGenLayout {
public:
    // The designed form: boxes and controls as designed, every box unfolded.
    static ParGenLayout design();

    Place& box(Box b) { return boxes_[boxIndex(b)]; }
    const Place& box(Box b) const { return boxes_[boxIndex(b)]; }
    // The expanded flag of a box (GB_BACnet_Visible ...): unfolded when true.
    bool expanded(Box b) const { return expanded_[boxIndex(b)]; }
    void setExpanded(Box b, bool on) { expanded_[boxIndex(b)] = on; }

    bool hasControl(const QString& name) const { return controls_.contains(name); }
    // A control by name; the name must be one of designControls().
    Place& control(const QString& name);
    const Place& control(const QString& name) const;
    void show(const QStringList& names, bool visible);

    // UI-text index of the caption of GB_BACnet: 128 " BACnet ", or 127 " Ethernet Update "
    // while it serves as the update port of an MS/TP setting.
    int bacnetCaption = 128;
    int buttonsTop = 0;
    int clientWidth = 312;
    int clientHeight = 0;

private:
    std::array<Place, kBoxCount> boxes_{};
    std::array<bool, kBoxCount> expanded_{};
    QHash<QString, Place> controls_;
};

constexpr int kFirstBoxTop = 70;
constexpr int kBoxLeft = 8;
constexpr int kBoxWidth = 296;
constexpr int kBoxGap = 6;
constexpr int kFoldedHeight = 26;
constexpr int kButtonsGap = 13;
constexpr int kButtonsToClientBottom = 41;
constexpr int kClientWidth = 312;

// The creation steps of the layout: the PROFINET rows of the model shown and its height set,
// every box hidden.
void prepareCreation(ParGenLayout& l);
// Every box unfolded, its collapse button shown and its expand button hidden.
void collapseExpandCreation(ParGenLayout& l);
// Shows, hides, stacks and sizes the boxes for the device type and the choices, places the
// OK and Cancel buttons below the last box and sets the client size.
void rePositionObjects(ParGenLayout& l, const LayoutChoices& c);

// The controls of a box's top row that folding hides.
QStringList foldedControls(Box b);
// Fold: height 26, top row hidden, expand button shown; then the layout again.
void collapseBox(ParGenLayout& l, Box b, const LayoutChoices& c);
// Unfold: top row shown, collapse button shown; then the layout again.
void expandBox(ParGenLayout& l, Box b, const LayoutChoices& c);

// The boxes shown, top to bottom, for a device type and its choices.
std::vector<Box> shownBoxes(const LayoutChoices& c);

} // namespace parameters
