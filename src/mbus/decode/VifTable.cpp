#include "mbus/decode/VifTable.h"

#include <array>
#include <span>

namespace mbus::decode {

namespace {

using E = ExpRule;

// Rows cover a code range; where the text changes with the low bits each code has a row of
// its own. Codes that no row covers are reserved.
constexpr VifEntry kPrimary[] = {
    {0x00, 0x07, 0, E::N, -3, u"Energy Wh"},
    {0x08, 0x0F, 1, E::N, 0, u"Energy J"},
    {0x10, 0x17, 2, E::N, -6, u"Volume m3"},
    {0x18, 0x1F, 3, E::N, -3, u"Mass kg"},
    {0x20, 0x20, 4, E::None, 0, u"On Time Seconds"},
    {0x21, 0x21, 4, E::None, 0, u"On Time Minutes"},
    {0x22, 0x22, 4, E::None, 0, u"On Time Hours"},
    {0x23, 0x23, 4, E::None, 0, u"On Time Days"},
    {0x24, 0x24, 5, E::None, 0, u"Operating Time Seconds"},
    {0x25, 0x25, 5, E::None, 0, u"Operating Time Minutes"},
    {0x26, 0x26, 5, E::None, 0, u"Operating Time Hours"},
    {0x27, 0x27, 5, E::None, 0, u"Operating Time Days"},
    {0x28, 0x2F, 6, E::N, -3, u"Power W"},
    {0x30, 0x37, 7, E::N, 0, u"Power J/h"},
    {0x38, 0x3F, 8, E::N, -6, u"Volume Flow m3/h"},
    {0x40, 0x47, 9, E::N, -7, u"Volume Flow ext. m3/min"},
    {0x48, 0x4F, 10, E::N, -9, u"Volume Flow ext. m3/s"},
    {0x50, 0x57, 11, E::N, -3, u"Mass Flow kg/h"},
    {0x58, 0x5B, 12, E::NN, -3, u"Flow Temperature °C"},
    {0x5C, 0x5F, 13, E::NN, -3, u"Return Temperature °C"},
    {0x60, 0x63, 14, E::NN, -3, u"Temperature Difference K"},
    {0x64, 0x67, 15, E::NN, -3, u"External Temperature °C"},
    {0x68, 0x6B, 16, E::NN, -3, u"Pressure bar"},
    {0x6C, 0x6D, 20, E::None, 0, u""}, // time point: the text follows the data field
    {0x6E, 0x6E, 22, E::None, 0, u"Units for H.C.A."},
    {0x6F, 0x6F, -1, E::None, 0, u""},
    {0x70, 0x70, 17, E::None, 0, u"Averaging Duration Seconds"},
    {0x71, 0x71, 17, E::None, 0, u"Averaging Duration Minutes"},
    {0x72, 0x72, 17, E::None, 0, u"Averaging Duration Hours"},
    {0x73, 0x73, 17, E::None, 0, u"Averaging Duration Days"},
    {0x74, 0x74, 18, E::None, 0, u"Actuality Duration Seconds"},
    {0x75, 0x75, 18, E::None, 0, u"Actuality Duration Minutes"},
    {0x76, 0x76, 18, E::None, 0, u"Actuality Duration Hours"},
    {0x77, 0x77, 18, E::None, 0, u"Actuality Duration Days"},
    {0x78, 0x78, 23, E::None, 0, u"Fabrication No"},
    {0x79, 0x79, 24, E::None, 0, u"Identification"},
    {0x7A, 0x7A, 25, E::None, 0, u"Bus Address"},
    {0x7B, 0x7B, 19, E::None, 0, u""}, // the extension table of FB names it
    {0x7C, 0x7C, 21, E::None, 0, u"Vif in following String"},
    {0x7D, 0x7D, 19, E::None, 0, u""}, // the extension table of FD names it
    {0x7E, 0x7E, -1, E::None, 0, u"Any VIF"},
    {0x7F, 0x7F, -1, E::None, 0, u"Manufacturer Specific"},
};

constexpr VifEntry kExtFD[] = {
    {0x00, 0x03, 1, E::NN, -3, u"Credit of (currency units)"},
    {0x04, 0x07, 2, E::NN, -3, u"Debit of (currency units)"},
    {0x08, 0x08, 3, E::None, 0, u"Unique message Identification"},
    {0x09, 0x09, 4, E::None, 0, u"Device Type"},
    {0x0A, 0x0A, 5, E::None, 0, u"Manufacturer"},
    {0x0B, 0x0B, 6, E::None, 0, u"Parameter Set Identification"},
    {0x0C, 0x0C, 7, E::None, 0, u"Model Version"},
    {0x0D, 0x0D, 8, E::None, 0, u"Hardware Version Number"},
    {0x0E, 0x0E, 9, E::None, 0, u"Metrology (Firmware) Version Number"},
    {0x0F, 0x0F, 10, E::None, 0, u"Other Software Version Number"},
    {0x10, 0x10, 11, E::None, 0, u"Customer LOcation"},
    {0x11, 0x11, 12, E::None, 0, u"Customer"},
    {0x12, 0x12, 13, E::None, 0, u"Access Code User"},
    {0x13, 0x13, 14, E::None, 0, u"Access Code Operator"},
    {0x14, 0x14, 15, E::None, 0, u"Access Code System Operator"},
    {0x15, 0x15, 16, E::None, 0, u"Access Code Developer"},
    {0x16, 0x16, 17, E::None, 0, u"Password"},
    {0x17, 0x17, 18, E::None, 0, u"Error Flag (Binary)"},
    {0x18, 0x18, 19, E::None, 0, u"Error Mask"},
    {0x19, 0x19, 126, E::None, 0, u"Security Key"},
    {0x1A, 0x1A, 20, E::None, 0, u"Digital Output (Binary)"},
    {0x1B, 0x1B, 21, E::None, 0, u"Digital Input (Binary)"},
    {0x1C, 0x1C, 22, E::None, 0, u"Baudrate [Baud]"},
    {0x1D, 0x1D, 23, E::None, 0, u"Responce Delay Time [Bit-Times]"},
    {0x1E, 0x1E, 24, E::None, 0, u"Retry"},
    {0x1F, 0x1F, 127, E::None, 0, u"Remote Control (Device Specific e.g. Gas Value)"},
    {0x20, 0x20, 25, E::None, 0, u"First Storage Number for Cyclic Storage"},
    {0x21, 0x21, 26, E::None, 0, u"Last Storage Number for Cyclic Storage"},
    {0x22, 0x22, 27, E::None, 0, u"Size of Storage Block"},
    {0x24, 0x24, 28, E::None, 0, u"Storage Interval Second(s)"},
    {0x25, 0x25, 28, E::None, 0, u"Storage Interval Minute(s)"},
    {0x26, 0x26, 28, E::None, 0, u"Storage Interval Hour(s)"},
    {0x27, 0x27, 28, E::None, 0, u"Storage Interval Day(s)"},
    {0x28, 0x28, 29, E::None, 0, u"Storage Interval Month(s)"},
    {0x29, 0x29, 30, E::None, 0, u"Storage Interval Year(s)"},
    {0x2A, 0x2A, 128, E::None, 0, u"Operator Specific Data"},
    {0x2B, 0x2B, 129, E::None, 0, u"Time Point Second (0 to 59)"},
    {0x2C, 0x2C, 31, E::None, 0, u"Duration Since Last Readout Second(s)"},
    {0x2D, 0x2D, 31, E::None, 0, u"Duration Since Last Readout Minute(s)"},
    {0x2E, 0x2E, 31, E::None, 0, u"Duration Since Last Readout Hour(s)"},
    {0x2F, 0x2F, 31, E::None, 0, u"Duration Since Last Readout Day(s)"},
    {0x30, 0x30, 32, E::None, 0, u"Start (Date/Time) of Tariff"},
    {0x31, 0x31, 33, E::None, 0, u"Duration of Tariff Minute(s)"},
    {0x32, 0x32, 33, E::None, 0, u"Duration of Tariff Hour(s)"},
    {0x33, 0x33, 33, E::None, 0, u"Duration of Tariff Day(s)"},
    {0x34, 0x34, 34, E::None, 0, u"Period of Tariff Second(s)"},
    {0x35, 0x35, 34, E::None, 0, u"Period of Tariff Minute(s)"},
    {0x36, 0x36, 34, E::None, 0, u"Period of Tariff Hour(s)"},
    {0x37, 0x37, 34, E::None, 0, u"Period of Tariff Day(s)"},
    {0x38, 0x38, 35, E::None, 0, u"Period of Tariff Month(s)"},
    {0x39, 0x39, 36, E::None, 0, u"Period of Tariff Year(s)"},
    {0x3A, 0x3A, 37, E::None, 0, u"Dimensionless / No VIF"},
    {0x3B, 0x3B, 130, E::None, 0, u"Data Container for Wireless M-Bus Protocol"},
    {0x3C, 0x3C, 131, E::None, 0, u"Period of Nominal Data Transmissions Second(s)"},
    {0x3D, 0x3D, 131, E::None, 0, u"Period of Nominal Data Transmissions Minute(s)"},
    {0x3E, 0x3E, 131, E::None, 0, u"Period of Nominal Data Transmissions Hour(s)"},
    {0x3F, 0x3F, 131, E::None, 0, u"Period of Nominal Data Transmissions Day(s)"},
    {0x40, 0x4F, 38, E::Low4, -9, u"Electric Units Volts"},
    {0x50, 0x5F, 39, E::Low4, -12, u"Electric Units A"},
    {0x60, 0x60, 40, E::None, 0, u"Reset Counter"},
    {0x61, 0x61, 41, E::None, 0, u"Cumulation Counter"},
    {0x62, 0x62, 42, E::None, 0, u"Control Signal"},
    {0x63, 0x63, 43, E::None, 0, u"Day of Week"},
    {0x64, 0x64, 44, E::None, 0, u"Week Number"},
    {0x65, 0x65, 45, E::None, 0, u"Time Point of Day Change"},
    {0x66, 0x66, 46, E::None, 0, u"State of Parameter Activation"},
    {0x67, 0x67, 47, E::None, 0, u"Special Supplier Information"},
    {0x68, 0x68, 48, E::None, 0, u"Duration Since Last Cumulation Hour(s)"},
    {0x69, 0x69, 48, E::None, 0, u"Duration Since Last Cumulation Day(s)"},
    {0x6A, 0x6A, 48, E::None, 0, u"Duration Since Last Cumulation Month(s)"},
    {0x6B, 0x6B, 48, E::None, 0, u"Duration Since Last Cumulation Year(s)"},
    {0x6C, 0x6C, 49, E::None, 0, u"Operating Time Battery Hour(s)"},
    {0x6D, 0x6D, 49, E::None, 0, u"Operating Time Battery Day(s)"},
    {0x6E, 0x6E, 49, E::None, 0, u"Operating Time Battery Month(s)"},
    {0x6F, 0x6F, 49, E::None, 0, u"Operating Time Battery Year(s)"},
    {0x70, 0x70, 50, E::None, 0, u"Date and Time of Battery Change"},
    {0x71, 0x71, 132, E::None, 0, u"RF Level Units: dBm"},
    {0x72, 0x72, 133, E::None, 0, u"Daylight Savings (Beginning, Ending, Deviation) Data Type K"},
    {0x73, 0x73, 134, E::None, 0, u"Listening Window Management Data Type L"},
    {0x74, 0x74, 135, E::None, 0, u"Remaining Battery Life Time (Days)"},
    {0x75, 0x75, 136, E::None, 0, u"Number Times the Meter Was Stopped"},
};

constexpr VifEntry kExtFB[] = {
    {0x00, 0x01, 51, E::Bit0, -1, u"Energy MWh"},
    {0x02, 0x03, 137, E::Bit0, 0, u"Reactive Energy kVARh"},
    {0x04, 0x05, 138, E::Bit0, 0, u"Apparent Energy kVAh"},
    {0x08, 0x09, 52, E::Bit0, -1, u"Energy GJ"},
    {0x0C, 0x0F, 139, E::NN, -1, u"Energy MCal"},
    {0x10, 0x11, 53, E::Bit0, 2, u"Volume m3"},
    {0x14, 0x17, 140, E::NN, -3, u"Reactive Power kVAR"},
    {0x18, 0x19, 54, E::Bit0, 2, u"Volume t"},
    {0x1A, 0x1B, 141, E::Bit0, -1, u"Relative Humidity %"},
    {0x20, 0x20, 142, E::None, 0, u"Volume Feet 3"},
    {0x21, 0x21, 55, E::None, 0, u"Volume 0,1 Feet 3"},
    {0x22, 0x22, 56, E::None, 0, u"Volume 0,1 American Gallon"},
    {0x23, 0x23, 57, E::None, 0, u"Volume 1 American Gallon"},
    {0x24, 0x24, 58, E::None, 0, u"Volume Flow 0,001 American Gallon/min"},
    {0x25, 0x25, 59, E::None, 0, u"Volume Flow 1 American Gallon/min"},
    {0x26, 0x26, 60, E::None, 0, u"Volume Flow 1 American Gallon/h"},
    {0x28, 0x29, 61, E::Bit0, -1, u"Power MW"},
    {0x2A, 0x2A, 143, E::None, 0, u"Phase U-U (Volt. to Volt.)"},
    {0x2B, 0x2B, 144, E::None, 0, u"Phase U-I (Volt. to Current)"},
    {0x2C, 0x2F, 145, E::NN, -3, u"Frequency Hz"},
    {0x30, 0x31, 62, E::Bit0, -1, u"Power GJ/h"},
    {0x34, 0x37, 146, E::NN, -3, u"Apparent Power kVA"},
    {0x58, 0x5B, 63, E::NN, -3, u"Flow Temperature °F"},
    {0x5C, 0x5F, 64, E::NN, -3, u"Return Temperature °F"},
    {0x60, 0x63, 65, E::NN, -3, u"Temperature Difference °F"},
    {0x64, 0x67, 66, E::NN, -3, u"External Temperature °F"},
    {0x70, 0x73, 67, E::NN, -3, u"Cold / Warm Temperature Limit °F"},
    {0x74, 0x77, 68, E::NN, -3, u"Cold / Warm Temperature Limit °C"},
    {0x78, 0x7F, 69, E::N, -3, u"Cum. Max. of Active Power W"},
};

constexpr VifEntry kCombinable[] = {
    {0x00, 0x00, 108, E::None, 0, u" - None"},
    {0x01, 0x01, 109, E::None, 0, u" - Too Many DIFEs"},
    {0x02, 0x02, 110, E::None, 0, u" - Storage Number not Implemented"},
    {0x03, 0x03, 111, E::None, 0, u" - Unit Number not Implemented"},
    {0x04, 0x04, 112, E::None, 0, u" - Tariff Number not Implemented"},
    {0x05, 0x05, 113, E::None, 0, u" - Function not Implemented"},
    {0x06, 0x06, 114, E::None, 0, u" - Data Class not Implemented"},
    {0x07, 0x07, 115, E::None, 0, u" - Data Size not Implemented"},
    {0x0B, 0x0B, 116, E::None, 0, u" - Too Many VIFEs"},
    {0x0C, 0x0C, 117, E::None, 0, u" - Illegal VIF-Group"},
    {0x0D, 0x0D, 118, E::None, 0, u" - Illegal VIF-Exponent"},
    {0x0E, 0x0E, 119, E::None, 0, u" - VIF / DIF Mismatch"},
    {0x0F, 0x0F, 120, E::None, 0, u" - Unimplemented Action"},
    {0x15, 0x15, 121, E::None, 0, u" - No Data Available (Undefined Value)"},
    {0x16, 0x16, 122, E::None, 0, u" - Data Overflow"},
    {0x17, 0x17, 123, E::None, 0, u" - Data Underflow"},
    {0x18, 0x18, 124, E::None, 0, u" - Data Error"},
    {0x1C, 0x1C, 125, E::None, 0, u" - Premature End of Record"},
    {0x20, 0x20, 70, E::None, 0, u" - Per Second"},
    {0x21, 0x21, 71, E::None, 0, u" - Per Minute"},
    {0x22, 0x22, 72, E::None, 0, u" - Per Hour"},
    {0x23, 0x23, 73, E::None, 0, u" - Per Day"},
    {0x24, 0x24, 74, E::None, 0, u" - Per Week"},
    {0x25, 0x25, 75, E::None, 0, u" - Per Month"},
    {0x26, 0x26, 76, E::None, 0, u" - Per Year"},
    {0x27, 0x27, 77, E::None, 0, u" - Per Revolution / Measurement"},
    {0x28, 0x28, 78, E::None, 0, u" - Increment per Input Pulse on Input Channel 0"},
    {0x29, 0x29, 78, E::None, 0, u" - Increment per Input Pulse on Input Channel 1"},
    {0x2A, 0x2A, 79, E::None, 0, u" - Increment per Output Pulse on Output Channel 0"},
    {0x2B, 0x2B, 79, E::None, 0, u" - Increment per Output Pulse on Output Channel 1"},
    {0x2C, 0x2C, 80, E::None, 0, u" - Per Liter"},
    {0x2D, 0x2D, 81, E::None, 0, u" - Per m3"},
    {0x2E, 0x2E, 82, E::None, 0, u" - Per kg"},
    {0x2F, 0x2F, 83, E::None, 0, u" - Per K (Kelvin)"},
    {0x30, 0x30, 84, E::None, 0, u" - Per kWh"},
    {0x31, 0x31, 85, E::None, 0, u" - Per GJ"},
    {0x32, 0x32, 86, E::None, 0, u" - Per kW"},
    {0x33, 0x33, 87, E::None, 0, u" - Per (K*l)(Kelvin * Litre)"},
    {0x34, 0x34, 88, E::None, 0, u" - Per V (Volt)"},
    {0x35, 0x35, 89, E::None, 0, u" - Per (A) (Ampere)"},
    {0x36, 0x36, 90, E::None, 0, u" - Multiplied by s"},
    {0x37, 0x37, 91, E::None, 0, u" - Multiplied by s / V"},
    {0x38, 0x38, 92, E::None, 0, u" - Multiplied by s / A"},
    {0x39, 0x39, 93, E::None, 0, u" - Start Date (/Time) of"},
    {0x3A, 0x3A, 94, E::None, 0, u" - VIF Contains Uncorrect Unit or Value at Metering Conditions Instead of Converted Unit"},
    {0x3B, 0x3B, 95, E::None, 0, u" - Accumulation Only if Positive Contributions (Forward Flow Contribution)"},
    {0x3C, 0x3C, 96, E::None, 0, u" - Accumulation of abs Value Only if Negative Contributions (Backward Flow)"},
    {0x3D, 0x3D, 147, E::None, 0, u" - Reserved for Alternate non-metric Unit System (according to Annex C)"},
    {0x3E, 0x3E, 148, E::None, 0, u" - Value at Base Conditions"},
    {0x40, 0x40, 97, E::None, 0, u" - Lower Limit Value"},
    {0x41, 0x41, 98, E::None, 0, u" - # of Exceeds of Lower Limit"},
    {0x42, 0x42, 99, E::None, 0, u" - Date(/Time) of Begin of First Lower Limit Exceed", true},
    {0x43, 0x43, 99, E::None, 0, u" - Date(/Time) of End of First Lower Limit Exceed", true},
    {0x46, 0x46, 99, E::None, 0, u" - Date(/Time) of Begin of Last Lower Limit Exceed", true},
    {0x47, 0x47, 99, E::None, 0, u" - Date(/Time) of End of Last Lower Limit Exceed", true},
    {0x48, 0x48, 97, E::None, 0, u" - Upper Limit Value"},
    {0x49, 0x49, 98, E::None, 0, u" - # of Exceeds of Upper Limit"},
    {0x4A, 0x4A, 99, E::None, 0, u" - Date(/Time) of Begin of First Upper Limit Exceed", true},
    {0x4B, 0x4B, 99, E::None, 0, u" - Date(/Time) of End of First Upper Limit Exceed", true},
    {0x4E, 0x4E, 99, E::None, 0, u" - Date(/Time) of Begin of Last Upper Limit Exceed", true},
    {0x4F, 0x4F, 99, E::None, 0, u" - Date(/Time) of End of Last Upper Limit Exceed", true},
    {0x50, 0x50, 100, E::None, 0, u" - Duration 00 of First Lower Limit Exceed"},
    {0x51, 0x51, 100, E::None, 0, u" - Duration 01 of First Lower Limit Exceed"},
    {0x52, 0x52, 100, E::None, 0, u" - Duration 02 of First Lower Limit Exceed"},
    {0x53, 0x53, 100, E::None, 0, u" - Duration 03 of First Lower Limit Exceed"},
    {0x54, 0x54, 100, E::None, 0, u" - Duration 00 of Last Lower Limit Exceed"},
    {0x55, 0x55, 100, E::None, 0, u" - Duration 01 of Last Lower Limit Exceed"},
    {0x56, 0x56, 100, E::None, 0, u" - Duration 02 of Last Lower Limit Exceed"},
    {0x57, 0x57, 100, E::None, 0, u" - Duration 03 of Last Lower Limit Exceed"},
    {0x58, 0x58, 100, E::None, 0, u" - Duration 00 of First Upper Limit Exceed"},
    {0x59, 0x59, 100, E::None, 0, u" - Duration 01 of First Upper Limit Exceed"},
    {0x5A, 0x5A, 100, E::None, 0, u" - Duration 02 of First Upper Limit Exceed"},
    {0x5B, 0x5B, 100, E::None, 0, u" - Duration 03 of First Upper Limit Exceed"},
    {0x5C, 0x5C, 100, E::None, 0, u" - Duration 00 of Last Upper Limit Exceed"},
    {0x5D, 0x5D, 100, E::None, 0, u" - Duration 01 of Last Upper Limit Exceed"},
    {0x5E, 0x5E, 100, E::None, 0, u" - Duration 02 of Last Upper Limit Exceed"},
    {0x5F, 0x5F, 100, E::None, 0, u" - Duration 03 of Last Upper Limit Exceed"},
    {0x60, 0x60, 101, E::None, 0, u" - Duration 00 of First"},
    {0x61, 0x61, 101, E::None, 0, u" - Duration 01 of First"},
    {0x62, 0x62, 101, E::None, 0, u" - Duration 02 of First"},
    {0x63, 0x63, 101, E::None, 0, u" - Duration 03 of First"},
    {0x64, 0x64, 101, E::None, 0, u" - Duration 00 of Last"},
    {0x65, 0x65, 101, E::None, 0, u" - Duration 01 of Last"},
    {0x66, 0x66, 101, E::None, 0, u" - Duration 02 of Last"},
    {0x67, 0x67, 101, E::None, 0, u" - Duration 03 of Last"},
    {0x68, 0x68, 149, E::None, 0, u" - Value During Lower Limit Exceed"},
    {0x69, 0x69, 150, E::None, 0, u" - Leakage Values"},
    {0x6A, 0x6A, 102, E::None, 0, u" - Date(/Time) of Begin of First", true},
    {0x6B, 0x6B, 102, E::None, 0, u" - Date(/Time) of End of First", true},
    {0x6C, 0x6C, 149, E::None, 0, u" - Value During Upper Limit Exceed"},
    {0x6D, 0x6D, 151, E::None, 0, u" - Overflow Values"},
    {0x6E, 0x6E, 102, E::None, 0, u" - Date(/Time) of Begin of Last", true},
    {0x6F, 0x6F, 102, E::None, 0, u" - Date(/Time) of End of Last", true},
    {0x70, 0x70, 103, E::Fixed, -6, u" - Moltiplicative Correction Factor: 10^(-6)"},
    {0x71, 0x71, 103, E::Fixed, -5, u" - Moltiplicative Correction Factor: 10^(-5)"},
    {0x72, 0x72, 103, E::Fixed, -4, u" - Moltiplicative Correction Factor: 10^(-4)"},
    {0x73, 0x73, 103, E::Fixed, -3, u" - Moltiplicative Correction Factor: 10^(-3)"},
    {0x74, 0x74, 103, E::Fixed, -2, u" - Moltiplicative Correction Factor: 10^(-2)"},
    {0x75, 0x75, 103, E::Fixed, -1, u" - Moltiplicative Correction Factor: 10^(-1)"},
    {0x76, 0x76, 103, E::Fixed, 0, u" - Moltiplicative Correction Factor: 10^(0)"},
    {0x77, 0x77, 103, E::Fixed, 1, u" - Moltiplicative Correction Factor: 10^(1)"},
    {0x78, 0x78, 104, E::Fixed, -3, u" - Additive Correction Constant: 10^(-3) * Unit of VIF"},
    {0x79, 0x79, 104, E::Fixed, -2, u" - Additive Correction Constant: 10^(-2) * Unit of VIF"},
    {0x7A, 0x7A, 104, E::Fixed, -1, u" - Additive Correction Constant: 10^(-1) * Unit of VIF"},
    {0x7B, 0x7B, 104, E::Fixed, 0, u" - Additive Correction Constant: 10^(0) * Unit of VIF"},
    {0x7C, 0x7C, -1, E::None, 0, u""}, // the next VIFE is a qualifier
    {0x7D, 0x7D, 105, E::Fixed, 3, u" - Multiplicative Cerrection Factor: 10^(3)"},
    {0x7E, 0x7E, 106, E::None, 0, u" - Future Value"},
    {0x7F, 0x7F, 107, E::None, 0, u" - Next VIFEs and Data of This Block Are Manufacturer Specific"},
};

constexpr VifEntry kQualifier[] = {
    {0x01, 0x01, -1, E::None, 0, u" - At Phase L1"},
    {0x02, 0x02, -1, E::None, 0, u" - At Phase L2"},
    {0x03, 0x03, -1, E::None, 0, u" - At Phase L3"},
    {0x04, 0x04, -1, E::None, 0, u" - At Neutral (N)"},
    {0x05, 0x05, -1, E::None, 0, u" - Between Phase L1 and L2"},
    {0x06, 0x06, -1, E::None, 0, u" - Between Phase L2 and L3"},
    {0x07, 0x07, -1, E::None, 0, u" - Between Phase L3 and L1"},
    {0x10, 0x10, -1, E::None, 0,
     u" - Accumulation of abs. Value for Both Positive and Negative Contribution (Absolute Count)"},
};

constexpr VifEntry kReserved{0x00, 0x7F, -1, E::None, 0, u"Reserved"};
constexpr VifEntry kReservedVife{0x00, 0x7F, -1, E::None, 0, u" - Reserved"};
constexpr VifEntry kNoQualifier{0x00, 0x7F, -1, E::None, 0, u""};

// Code -> row, built from the rows when the program is compiled; 0xFF marks a reserved code.
template <size_t N>
constexpr std::array<uint8_t, 128> indexRows(const VifEntry (&rows)[N])
{
    static_assert(N < 0xFF);
    std::array<uint8_t, 128> index{};
    for (auto& i : index)
        i = 0xFF;
    for (size_t r = 0; r < N; ++r)
        for (int c = rows[r].first; c <= rows[r].last; ++c)
            index[static_cast<size_t>(c)] = static_cast<uint8_t>(r);
    return index;
}

// True when no two rows claim the same code and every row's range is in order.
template <size_t N>
constexpr bool rowsDisjoint(const VifEntry (&rows)[N])
{
    std::array<bool, 128> seen{};
    for (size_t r = 0; r < N; ++r) {
        if (rows[r].first > rows[r].last || rows[r].last > 0x7F)
            return false;
        for (int c = rows[r].first; c <= rows[r].last; ++c) {
            if (seen[static_cast<size_t>(c)])
                return false;
            seen[static_cast<size_t>(c)] = true;
        }
    }
    return true;
}

static_assert(rowsDisjoint(kPrimary) && rowsDisjoint(kExtFD) && rowsDisjoint(kExtFB) &&
              rowsDisjoint(kCombinable) && rowsDisjoint(kQualifier));

constexpr auto kPrimaryIndex = indexRows(kPrimary);
constexpr auto kExtFDIndex = indexRows(kExtFD);
constexpr auto kExtFBIndex = indexRows(kExtFB);
constexpr auto kCombinableIndex = indexRows(kCombinable);
constexpr auto kQualifierIndex = indexRows(kQualifier);

template <size_t N>
const VifEntry& pick(const VifEntry (&rows)[N], const std::array<uint8_t, 128>& index, uint8_t code,
                     const VifEntry& otherwise)
{
    const uint8_t r = index[code & 0x7F];
    return r == 0xFF ? otherwise : rows[r];
}

} // namespace

const VifEntry& vifEntry(VifTable table, uint8_t code)
{
    switch (table) {
    case VifTable::Primary: return pick(kPrimary, kPrimaryIndex, code, kReserved);
    case VifTable::ExtFD: return pick(kExtFD, kExtFDIndex, code, kReserved);
    case VifTable::ExtFB: return pick(kExtFB, kExtFBIndex, code, kReserved);
    case VifTable::Combinable: return pick(kCombinable, kCombinableIndex, code, kReservedVife);
    case VifTable::Qualifier: return pick(kQualifier, kQualifierIndex, code, kNoQualifier);
    }
    return kReserved;
}

std::u16string_view timePointText(uint8_t dataField)
{
    switch (dataField) {
    case 2: return u"Time Point Date (Type G)";
    case 4: return u"Time Point Date and Time (Type F)";
    case 3: return u"Time Point Extended Time Point (Type J)";
    case 6: return u"Time Point Extended Date and Time Point (Type I)";
    default: return {};
    }
}

} // namespace mbus::decode
