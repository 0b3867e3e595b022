#pragma once
// The maker's identity as the companion files carry it: the vendor block of the GSD header, the
// PROFIBUS ident number, the PROFINET vendor and device identifiers, and the organisation,
// contact and private enterprise number of the MIB module. The values registered for the
// gateways go here and nowhere else.
namespace exports::company {

// GSD header, vendor block: the company name, then the lines below it.
inline constexpr const char* kName = "OstrelCorp";
inline constexpr const char* kAddress[3] = {"Example Street 1", "00000 Example Town (EX)", "Example Country"};
inline constexpr const char* kTelephone = "+00 000 0000000";
inline constexpr const char* kFax = "+00 000 0000001";
inline constexpr const char* kEMail = "info@ostrelcorp.example";

// PROFIBUS ident number of the PROFIBUS slave gateway (written as 0x and four hex digits).
inline constexpr int kProfibusIdentNumber = 0x0B17;

// PROFINET vendor identifier and the device identifiers of the two PROFINET models.
inline constexpr int kProfinetVendorId = 0x0ACE;
inline constexpr int kProfinetDeviceIdBacnet = 0x0120; // device type 9
inline constexpr int kProfinetDeviceIdMBus = 0x0130;   // device type 1002

// MIB module identity.
inline constexpr const char* kWebAddress = "www.ostrelcorp.example";
inline constexpr const char* kContactStreet = "Example Street 1";
inline constexpr const char* kContactTown = "00000 Example Town (EX)";
inline constexpr const char* kContactCountry = "Example Country";
inline constexpr const char* kMailDomain = "ostrelcorp.example";
inline constexpr int kEnterpriseNumber = 99999;

} // namespace exports::company
