#pragma once
// Checks of the general parameters before ParGen.xml is written.
//
// `Controllo_Dati` runs the checks of the device type in their fixed order on the values the
// window put into a `ParGen` and stops at the first that fails. The result names the UI text
// of the message (with the number some messages end with) and the control the window should
// show the user; the window shows `message()` in an error box and keeps every value.
//
// A box is read as a number by the whole-integer rule; a text that is not a number counts as
// -1, so an empty box fails every range that starts at 0 or 1.
#include "parameters/ParGen.h"

#include <QString>
#include <cstdint>

namespace parameters {

struct CheckResult {
    bool ok = true;
    int textIndex = -1;         // UI text of the message
    QString appended;           // a number that follows that text, without a separator
    int trailingTextIndex = -1; // a second UI text after the number (M-Bus timing messages)
    QString field;              // the control of the failed value, e.g. "E_IP1"

    // The whole message from the current UI-text table; empty when the check passed.
    QString message() const;
};

// Runs the checks for the device type; the first failure only.
CheckResult Controllo_Dati(const ParGen& p, int32_t converterType);
// The same for the program's device type (`workspace::ws().Converter_Type`).
CheckResult Controllo_Dati(const ParGen& p);

// The check of the BACnet device instance alone, as Controllo_Dati makes it for the device type
// and the chosen BACnet type (the BACnet/IP or the MS/TP instance, its bounds, its message). For
// the readers of ParGen.xml that write the instance into images and companion files: a file
// edited by hand may hold what the window never lets through.
CheckResult checkDeviceInstance(const ParGen& p, int32_t converterType);

// True when `str` holds a character other than 0-9, A-Z and a-z (the name is not valid);
// an empty name gives false.
bool Check_Device_Name(const QString& str);

} // namespace parameters
