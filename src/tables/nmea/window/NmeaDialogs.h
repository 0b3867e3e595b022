#pragma once
// The NMEA 2000 frame tables (device type 14), TFReceiveNMEA and TFTransmitNMEA: parameter-group
// tables (tables/j1939/window/PgnDialogs.h) with the descriptions and checks of
// tables/nmea/NmeaTables.h.
#include "tables/j1939/window/PgnDialogs.h"

namespace tables::nmea {

class TFReceiveNMEA : public j1939::TPgnTableDialog {
    Q_OBJECT
public:
    explicit TFReceiveNMEA(QWidget* parent = nullptr);
};

class TFTransmitNMEA : public j1939::TPgnTableDialog {
    Q_OBJECT
public:
    explicit TFTransmitNMEA(QWidget* parent = nullptr);
};

} // namespace tables::nmea
