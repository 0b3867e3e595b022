#pragma once
// Small generators of device templates for the tests of the M-Bus master files.
#include "mbus/Template.h"

#include <QString>
#include <vector>

namespace mbus_test {

// A template variable; `frame` 0 makes a leading row.
inline mbus::TStruct_BACnet var(int frame, int position, int objectType, const QString& name,
                                const QString& description, int options = 0, std::vector<uint8_t> writeFrame = {})
{
    mbus::TStruct_BACnet v;
    v.FrameNumber = frame;
    v.PositionInFrame = position;
    v.Dimension = 4;
    v.ObjectType = objectType;
    v.PostOperation = 2;
    v.LengthWriteFrame = static_cast<int32_t>(writeFrame.size());
    v.WriteFrame = std::move(writeFrame);
    v.Units = 62;
    v.Options = options;
    v.ObjectName = name;
    const auto splits = mbus::Split_Object_Name(name);
    if (splits) {
        v.ON_Split1 = (*splits)[0];
        v.ON_Split2 = (*splits)[1];
        v.ON_Split3 = (*splits)[2];
        v.ON_Split4 = (*splits)[3];
    }
    v.Description = description;
    return v;
}

inline mbus::TStruct_MBus request(int step, std::vector<uint8_t> frame, int next)
{
    mbus::TStruct_MBus r;
    r.Step = step;
    r.FrameNumber = step;
    r.FrameLength = static_cast<int32_t>(frame.size());
    r.Frame = std::move(frame);
    r.ByteToChange = 3;
    r.Reply = 229;
    r.NextStep = next;
    r.VariablesForFrame = 2;
    return r;
}

// The two leading rows and `extra` variables of object types `types`.
inline std::vector<mbus::TStruct_BACnet> meterVars(const std::vector<int>& types)
{
    std::vector<mbus::TStruct_BACnet> v{var(0, 0, 13, "NS_xx'yy'zzz'", "Node State"),
                                        var(0, 0, 23, "IN_xx'yy'zzz'", "Identification Number")};
    for (size_t k = 0; k < types.size(); ++k)
        v.push_back(var(1, static_cast<int>(k) + 1, types[k], QStringLiteral("V%1_xx'_yy'_zzz'").arg(k + 1),
                        QStringLiteral("Value %1").arg(k + 1)));
    return v;
}

} // namespace mbus_test
