#include "tables/nmea/window/NmeaDialogs.h"

#include "tables/nmea/NmeaTables.h"

namespace tables::nmea {

TFReceiveNMEA::TFReceiveNMEA(QWidget* parent)
    : TPgnTableDialog(nmeaTable(Direction::Receive), Direction::Receive, checkNmeaRow, loadNmea, parent)
{
}

TFTransmitNMEA::TFTransmitNMEA(QWidget* parent)
    : TPgnTableDialog(nmeaTable(Direction::Transmit), Direction::Transmit, checkNmeaRow, loadNmea, parent)
{
}

} // namespace tables::nmea
