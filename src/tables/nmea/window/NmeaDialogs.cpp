#include "tables/nmea/window/NmeaDialogs.h"

#include "tables/nmea/NmeaTables.h"

namespace tables::nmea {

namespace {

j1939::TPgnTableDialog::Check nmeaCheck(Direction d)
{
    return [d](const RowView& row, int& total, int numBytes) { return checkNmeaRow(row, d, total, numBytes); };
}

j1939::TPgnTableDialog::Loader nmeaLoader(Direction d)
{
    return [d](const QString& path, int capacity) { return loadNmea(d, path, capacity); };
}

} // namespace

TFReceiveNMEA::TFReceiveNMEA(QWidget* parent)
    : TPgnTableDialog(nmeaTable(Direction::Receive), Direction::Receive, nmeaCheck(Direction::Receive),
                      nmeaLoader(Direction::Receive), parent)
{
}

TFTransmitNMEA::TFTransmitNMEA(QWidget* parent)
    : TPgnTableDialog(nmeaTable(Direction::Transmit), Direction::Transmit, nmeaCheck(Direction::Transmit),
                      nmeaLoader(Direction::Transmit), parent)
{
}

} // namespace tables::nmea
