#include "exports/MBusObjects.h"

namespace exports {

namespace {

using K = MBusObjectKind;

bool in(int v, int lo, int hi) { return v >= lo && v <= hi; }

// The rule both lists share; `byVife` decides data type 19.
template <typename ByVife>
MBusObjectKind classify(const TMBus_Nod& node, const TMBus_Var& var, ByVife byVife)
{
    if (var.Dimension == 7)
        return K::CharacterStringValue;
    if (node.Var_Type != 0) {
        switch (var.BACnet_DataType) {
        case 0: return K::AnalogInput;
        case 1: return K::DateTimeValue;
        case 2: return K::PositiveIntegerValue;
        default: return K::None;
        }
    }
    const int t = var.Type_Of_Data;
    if (t < 19)
        return K::AnalogInput;
    if (t == 19)
        return byVife(var.VIFE);
    if (t == 20)
        return K::DateTimeValue;
    if (t <= 25)
        return K::PositiveIntegerValue;
    return K::None;
}

} // namespace

MBusObjectKind classifyForObjectsMap(const TMBus_Nod& node, const TMBus_Var& var)
{
    return classify(node, var, [](int v) {
        if (v == 38 || v == 39 || in(v, 51, 69))
            return K::AnalogInput;
        if (v == 50)
            return K::DateTimeValue;
        if (in(v, 1, 37) || in(v, 40, 49) || in(v, 70, 125))
            return K::PositiveIntegerValue;
        return K::None;
    });
}

MBusObjectKind classifyForEde(const TMBus_Nod& node, const TMBus_Var& var)
{
    return classify(node, var, [](int v) {
        if (v == 38 || v == 39 || in(v, 51, 69) || v == 131 || in(v, 137, 146))
            return K::AnalogInput;
        if (v == 50)
            return K::DateTimeValue;
        if (in(v, 1, 37) || in(v, 40, 49) || in(v, 70, 130) || in(v, 132, 136))
            return K::PositiveIntegerValue;
        return K::None;
    });
}

} // namespace exports
