#pragma once
// The parameter-group tables on the table frame: the J1939 receive and transmit tables
// (TFReceiveJ1939, TFTransmitJ1939) and, built the same way, the NMEA 2000 ones
// (tables/nmea/window/NmeaDialogs.h). Each reads its file through the model's plain reader and
// checks its rows with a running total of data bytes against the byte limit of this showing
// (NUM_BYTE_IN for receive, NUM_BYTE_OUT for transmit, both 512).
#include "tables/frame/window/TableDialog.h"
#include "tables/j1939/J1939Tables.h"


namespace tables::j1939 {

class TPgnTableDialog : public TTableDialog {
    Q_OBJECT
public:
    // The model's row check (with the running total) and its load through the plain reader.
    using Check = std::optional<Failure> (*)(const RowView& row, Direction d, int& total, int numBytes);
    using Loader = LoadResult (*)(Direction d, const QString& path, int capacity);

    TPgnTableDialog(const TableDescription& desc, Direction d, Check check, Loader load, QWidget* parent);

    // NUM_BYTE_IN (receive) or NUM_BYTE_OUT (transmit) of this showing.
    int byteLimit() const { return direction_ == Direction::Receive ? limits().in : limits().out; }

protected:
    LoadResult loadFile(const QString& path) override;
    void checkStarting() override { total_ = 0; }
    std::optional<Failure> checkRow(const RowView& row) override;

private:
    Direction direction_;
    Check check_;
    Loader load_;
    int total_ = 0;
};

class TFReceiveJ1939 : public TPgnTableDialog {
    Q_OBJECT
public:
    explicit TFReceiveJ1939(QWidget* parent = nullptr);
};

class TFTransmitJ1939 : public TPgnTableDialog {
    Q_OBJECT
public:
    explicit TFTransmitJ1939(QWidget* parent = nullptr);
};

} // namespace tables::j1939
