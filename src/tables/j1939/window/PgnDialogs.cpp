#include "tables/j1939/window/PgnDialogs.h"

namespace tables::j1939 {

TPgnTableDialog::TPgnTableDialog(const TableDescription& desc, Direction d, Check check, Loader load, QWidget* parent)
    : TTableDialog(desc, parent), direction_(d), check_(std::move(check)), load_(std::move(load))
{
}

LoadResult TPgnTableDialog::loadFile(const QString& path) { return load_(path, capacity()); }

std::optional<Failure> TPgnTableDialog::checkRow(const RowView& row) { return check_(row, total_, byteLimit()); }

namespace {

TPgnTableDialog::Check j1939Check(Direction d)
{
    return [d](const RowView& row, int& total, int numBytes) { return checkJ1939Row(row, d, total, numBytes); };
}

TPgnTableDialog::Loader j1939Loader(Direction d)
{
    return [d](const QString& path, int capacity) { return loadJ1939(d, path, capacity); };
}

} // namespace

TFReceiveJ1939::TFReceiveJ1939(QWidget* parent)
    : TPgnTableDialog(j1939Table(Direction::Receive), Direction::Receive, j1939Check(Direction::Receive),
                      j1939Loader(Direction::Receive), parent)
{
}

TFTransmitJ1939::TFTransmitJ1939(QWidget* parent)
    : TPgnTableDialog(j1939Table(Direction::Transmit), Direction::Transmit, j1939Check(Direction::Transmit),
                      j1939Loader(Direction::Transmit), parent)
{
}

} // namespace tables::j1939
