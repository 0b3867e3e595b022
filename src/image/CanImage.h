#pragma once
// The image of the CAN model (device type 7): bank1 = BACnet object area, the CAN frame table
// (1024 records of 32 bytes: receive frames, then send frames, then empty records), the
// standard parameter record and the BBMD table; 102,520 bytes.
#include "image/Bank.h"
#include "image/ParGenRecord.h"

#include <QString>
#include <array>
#include <cstdint>

namespace image {

struct ImageState;

constexpr int kCanFrameRecords = 1024;
constexpr int32_t kCanFrameRecordSize = 32;
constexpr int32_t kCanBankLength = 102520;
// Data-byte position of a byte that carries nothing.
constexpr uint16_t kNoPosition = 0xFFFF;

struct CanFrameRecord {
    uint32_t Cob_Id = 0;      // bit 31 set for a 29-bit identifier
    uint32_t Send_Timer = 0;  // send frames on timer
    uint32_t Rec_TimeOut = 0; // receive frames
    uint8_t Direction = 0;    // 0 receive, 1 send
    uint8_t Data_Length = 0;
    std::array<uint16_t, 8> Position{kNoPosition, kNoPosition, kNoPosition, kNoPosition,
                                     kNoPosition, kNoPosition, kNoPosition, kNoPosition};
};

using CanFrameTable = std::array<CanFrameRecord, kCanFrameRecords>;

// The four table files of the CAN model.
struct CanFramePaths {
    QString recFrames, sendFrames, recInfo, sendInfo;
};

void Clear_CAN_Frames(CanFrameTable& t);
// Fills the cleared table from the frame and byte-map files and stores the frame count in the
// record. Throws platform::UserError when a file cannot be read, a frames file lacks its
// section, a number is missing or not a whole number, or the frames of both files do not fit
// the table's 1024 records (counted before any record is filled); the count is then not set.
void Load_CAN_Frames(CanFrameTable& t, ParGenStd& p, const CanFramePaths& paths);
int32_t Write_CAN_Frames(BankBuffer& bank, const CanFrameTable& t, int32_t offset);

// CAN bit rate of a "CAN_BAUDRATE" code (10 is 90909 bit/s; unknown codes 1000000).
uint32_t canBitRate(int32_t code);

void Read_Par_Gen_CAN(ImageState& st);
void Build_Bin_CAN(ImageState& st);

} // namespace image
