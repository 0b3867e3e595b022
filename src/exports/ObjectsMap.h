#pragma once
// The BACnet objects map: a semicolon-separated list of the objects the gateway of the open
// project exposes (name, instance, object type, unit, read or write), one line per object,
// written as Windows-1252 text with CR LF lines.
//
// The M-Bus models (device types 1, 20, 21) list what their M-Bus network gives: per meter a
// node-state and an identification-number object, one object per enabled variable, and four
// command objects. The other models list the rows of their BACnet object table.
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <vector>

#include "exports/MBusObjects.h"

namespace exports {

// One line of the M-Bus objects map (all text).
struct TBACnet_Obj_102 {
    QString ID_Node; // "Primary ID Node - 5", or empty for the command objects
    QString Name_Var_BACnet;
    QString Instance;
    QString Type_Var;
    QString Unit_Var;
    QString Read_Write;
};

// One line of the table objects map.
struct TBACnet_Obj_115 {
    QString Name_Var_BACnet;
    QString Instance; // empty for a data type outside the known ones
    QString Type_Var; // the row's Data_Type as stored
    QString Unit_Var;
    QString Read_Write;
};

// The unit's standard name, or "unknown (n)" for a number without one.
QString unitText(int unit);

// Which rows of which file the table variant lists, and how long names may be.
struct ObjectTableRule {
    QString path;
    int nameLength = 16;
    bool readSection = true;
    bool writeSection = true;
};
// The rule of the device type from its general parameters; no value for a model that has no
// table objects map (the M-Bus models, 11, 1001-1003 and unknown types). Throws
// platform::UserError when ParGen.xml cannot be read.
std::optional<ObjectTableRule> objectTableRule(int32_t deviceType);

// The table objects of a rule. Throws platform::UserError naming the file (and the row) when
// the table cannot be read or a row's Eng_Unit is not a whole number.
std::vector<TBACnet_Obj_115> Read_BACnet_Object_Table(const ObjectTableRule& rule);
// The M-Bus objects of a network, the four command objects last.
std::vector<TBACnet_Obj_102> Build_MBus_Object_List(const std::vector<TMBus_Nod>& nodes);

QStringList objectsMapTableLines(const std::vector<TBACnet_Obj_115>& objects);
QStringList objectsMapMBusLines(const std::vector<TBACnet_Obj_102>& objects);

// Writes the objects map of the open project. Throws platform::UserError, with nothing
// written, when a project file cannot be read, the model has no objects map, or the file
// cannot be written.
void Write_BACnet_Objects_Map(const QString& fileName);

} // namespace exports
