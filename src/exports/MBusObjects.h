#pragma once
// The meters of the project's M-Bus network as the BACnet object lists see them, and the rule
// that turns an M-Bus variable into a BACnet object type. The objects map and the EDE list
// share the records and differ only in a few codes of the rule.
#include <QString>
#include <cstdint>
#include <vector>

namespace exports {

// A variable of a meter (only what the object lists read).
struct TMBus_Var {
    uint8_t Type_Of_Data = 0;    // M-Bus data type code
    uint8_t Dimension = 0;       // 7: a text variable
    uint8_t VIFE = 0;            // type code, used with data type 19
    uint16_t BACnet_EngUnit = 95; // 95: no units
    uint16_t BACnet_DataType = 0; // chosen BACnet type: 0 analog, 1 date-time, 2 positive integer
    QString Desc;
};

// A meter and its enabled variables, in file order.
struct TMBus_Nod {
    uint32_t ID = 0;         // secondary address when ID_Type is not 0, else the primary one
    uint8_t Node_State = 0;  // 1: node-state object as positive integer, 129: as analog value
    uint8_t Ident_Num = 0;
    uint8_t ID_Type = 0;     // 0 primary address, other secondary
    uint8_t Var_Type = 0;    // 0: variables typed by their M-Bus data type, else by BACnet_DataType
    uint8_t MBus_Type = 1;   // 1 wired, 0 wireless
    uint32_t wMBus_Add = 0;  // wireless address
    std::vector<TMBus_Var> Vars;
    QString Desc;
};

enum class MBusObjectKind { None, AnalogInput, DateTimeValue, PositiveIntegerValue, CharacterStringValue };

// The object type of a variable in the objects map, and in the EDE list (which knows more of
// the type codes of data type 19).
MBusObjectKind classifyForObjectsMap(const TMBus_Nod& node, const TMBus_Var& var);
MBusObjectKind classifyForEde(const TMBus_Nod& node, const TMBus_Var& var);

} // namespace exports
