#pragma once
// M-Bus devices described in a text file, for the custom M-Bus device window: one device begins
// with a line "NOME TEMPLATE = <description>" (any letter case), each following line is one of its
// variables, and a line beginning with ";;;" or the next "NOME TEMPLATE =" line ends it.
//
// A variable line loses its first character; the rest is a list of fields separated by ";", each
// trimmed: frame (or "HEADER" for a value of the frame header, frame 0), position (always 0 for a
// header value), dimension, data position (header values only, else 0), customer-specific flag,
// read/write flag, write frame and its length (kept only when read/write), device instance, object
// type, object instance, object name, description, unit and post-operation. A number that does not
// read gives 1 for the dimension and 0 elsewhere; fields missing at the end stay 0, false or
// empty. A device without variables is dropped.
#include <QString>
#include <cstdint>
#include <vector>

namespace mbus::master {

class TMBusVariable {
public:
    bool Header_Frame() const { return fHeader_Frame; }
    int32_t Frame() const { return fFrame; }
    int32_t Position() const { return fPosition; }
    int32_t Dimension() const { return fDimension; }
    int32_t Position_Data() const { return fPosition_Data; }
    bool Customer_Spec() const { return fCustomer_Spec; }
    bool ReadWrite() const { return fReadWrite; }
    const QString& Frame_Write() const { return fFrame_Write; }
    int32_t FrameW_Len() const { return fFrameW_Len; }
    int32_t Dev_Instance() const { return fDev_Instance; }
    int32_t Object_Type() const { return fObject_Type; }
    int32_t Object_Inst() const { return fObject_Inst; }
    const QString& Object_Name() const { return fObject_Name; }
    const QString& Description() const { return fDescription; }
    int32_t Units() const { return fUnits; }
    int32_t Post_Ope() const { return fPost_Ope; }

    bool fHeader_Frame = false;
    int32_t fFrame = 0;
    int32_t fPosition = 0;
    int32_t fDimension = 1;
    int32_t fPosition_Data = 0;
    bool fCustomer_Spec = false;
    bool fReadWrite = false;
    QString fFrame_Write;
    int32_t fFrameW_Len = 0;
    int32_t fDev_Instance = 0;
    int32_t fObject_Type = 0;
    int32_t fObject_Inst = 0;
    QString fObject_Name;
    QString fDescription;
    int32_t fUnits = 0;
    int32_t fPost_Ope = 0;
};

class TDevice_MBus {
public:
    int32_t fID_Dev_MBus = 0;
    bool fID_Type_Primary = false;
    QString fDescription;
    std::vector<TMBusVariable> MBusVars;
};

// The devices a description text holds, in file order.
std::vector<TDevice_MBus> parseDeviceDescriptions(const QString& text);

// One variable line (its first character included, as in the file, trimmed).
TMBusVariable parseVariableLine(const QString& line);

} // namespace mbus::master
