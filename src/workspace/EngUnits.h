#pragma once
// The BACnet engineering units: the number the project tables and the configuration images
// carry (the standard's EngineeringUnits enumeration, 0..236) and the name people see, grouped
// in the 23 categories of the unit picker.
#include <QString>
#include <vector>

namespace workspace {

constexpr int kEngUnitCount = 237;

// The unit's standard name ("degrees-Celsius"); "unknown" for any number outside 0..236.
QString Desc_Unit(int Num_Unit);

struct EngUnitCategory {
    const char* name;       // "Temperature"
    std::vector<int> units; // unit numbers in the picker's list order
};

// The 23 categories in the picker's order; every unit number belongs to exactly one.
const std::vector<EngUnitCategory>& engUnitCategories();

} // namespace workspace
