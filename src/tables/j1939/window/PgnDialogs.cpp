#include "tables/j1939/window/PgnDialogs.h"

namespace tables::j1939 {

TPgnTableDialog::TPgnTableDialog(const TableDescription& desc, Direction d, Check check, Loader load, QWidget* parent)
    : TTableDialog(desc, parent), direction_(d), check_(check), load_(load)
{
}

LoadResult TPgnTableDialog::loadFile(const QString& path) { return load_(direction_, path, capacity()); }

std::optional<Failure> TPgnTableDialog::checkRow(const RowView& row) { return check_(row, direction_, total_, byteLimit()); }

TFReceiveJ1939::TFReceiveJ1939(QWidget* parent)
    : TPgnTableDialog(j1939Table(Direction::Receive), Direction::Receive, checkJ1939Row, loadJ1939, parent)
{
}

TFTransmitJ1939::TFTransmitJ1939(QWidget* parent)
    : TPgnTableDialog(j1939Table(Direction::Transmit), Direction::Transmit, checkJ1939Row, loadJ1939, parent)
{
}

} // namespace tables::j1939
