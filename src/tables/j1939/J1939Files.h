#pragma once
// The frame tables of the J1939 model (device type 13), read as plain data: J1939_Rec_Frames.xml
// and J1939_Send_Frames.xml, both with the root "Receive_J1939" and one `row` per parameter
// group directly in it. Every attribute is optional: a missing one gives its column's default
// ("N" for the check boxes, empty for the rest). The texts are kept as the file holds them.
#include "tables/plain/PlainTable.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace tables::j1939 {

struct ReceiveRow {
    QString DP, PGN, SA;
    QString TP = QStringLiteral("N");
    QString TP_Start, TP_NByte;
    QString Delete = QStringLiteral("N");
    QString Mnemonic;
};

struct TransmitRow {
    QString Priority, DP, PGN, SA;
    QString TP = QStringLiteral("N");
    QString TP_NByte, T_Type, SendTimer, Mnemonic;
};

template <typename Row>
using FrameTable = PlainTable<Row>;

// No file: no rows and no error.
FrameTable<ReceiveRow> readReceiveFrames(const QString& path);
FrameTable<TransmitRow> readTransmitFrames(const QString& path);

// The texts of each row, and the attribute names, in the order of the file's attributes.
std::vector<QStringList> rowTexts(const FrameTable<ReceiveRow>& t);
std::vector<QStringList> rowTexts(const FrameTable<TransmitRow>& t);
QStringList receiveAttributes();
QStringList transmitAttributes();

} // namespace tables::j1939
