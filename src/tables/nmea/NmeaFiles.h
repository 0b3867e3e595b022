#pragma once
// The frame tables of the NMEA 2000 model (device type 14), read as plain data:
// NMEA_Rec_Frames.xml and NMEA_Send_Frames.xml, both with the root "Receive_NMEA_2000" and one
// `row` per parameter group directly in it. Every attribute is optional: a missing one gives its
// column's default ("N" for the check boxes, empty for the rest). The texts are kept as the
// file holds them.
#include "tables/plain/PlainTable.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace tables::nmea {

struct ReceiveRow {
    QString PGN, SA;
    QString TP = QStringLiteral("N");
    QString FP = QStringLiteral("N");
    QString TP_Start, TP_NByte;
    QString Delete = QStringLiteral("N");
    QString Mnemonic;
};

struct TransmitRow {
    QString Priority, PGN, SA;
    QString TP = QStringLiteral("N");
    QString FP = QStringLiteral("N");
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

} // namespace tables::nmea
