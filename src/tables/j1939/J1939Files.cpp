#include "tables/j1939/J1939Files.h"

namespace tables::j1939 {

namespace {

const TextColumn<ReceiveRow> kReceiveColumns[] = {
    {"DP", &ReceiveRow::DP}, {"PGN", &ReceiveRow::PGN}, {"SA", &ReceiveRow::SA}, {"TP", &ReceiveRow::TP},
    {"TP_Start", &ReceiveRow::TP_Start}, {"TP_NByte", &ReceiveRow::TP_NByte}, {"Delete", &ReceiveRow::Delete},
    {"Mnemonic", &ReceiveRow::Mnemonic},
};

const TextColumn<TransmitRow> kTransmitColumns[] = {
    {"Priority", &TransmitRow::Priority}, {"DP", &TransmitRow::DP}, {"PGN", &TransmitRow::PGN},
    {"SA", &TransmitRow::SA}, {"TP", &TransmitRow::TP}, {"TP_NByte", &TransmitRow::TP_NByte},
    {"T_Type", &TransmitRow::T_Type}, {"SendTimer", &TransmitRow::SendTimer},
    {"Mnemonic", &TransmitRow::Mnemonic},
};

} // namespace

FrameTable<ReceiveRow> readReceiveFrames(const QString& path) { return readPlainTable(path, kReceiveColumns); }

FrameTable<TransmitRow> readTransmitFrames(const QString& path) { return readPlainTable(path, kTransmitColumns); }

std::vector<QStringList> rowTexts(const FrameTable<ReceiveRow>& t) { return cellTexts(t.rows, kReceiveColumns); }

std::vector<QStringList> rowTexts(const FrameTable<TransmitRow>& t) { return cellTexts(t.rows, kTransmitColumns); }

QStringList receiveAttributes() { return columnAttributes(kReceiveColumns); }

QStringList transmitAttributes() { return columnAttributes(kTransmitColumns); }

} // namespace tables::j1939
