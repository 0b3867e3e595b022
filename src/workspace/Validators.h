#pragma once
// Small shared rules: checks of KNX addresses, dotted IPv4 texts, SNMP object identifiers and
// SNMPv3 names and pass phrases; the tables that turn table-row texts into the codes the
// configuration images carry; per-type BACnet object counters; the serial ports present; and
// the two values the scan window gets from the device type.
#include <QString>
#include <QStringList>
#include <cstdint>
#include <string_view>

namespace workspace {

// Scan window: the device code (6 for model 1, 12 for model 21, else 0) and the form type
// (1 for model 21, else 0) of the current device type.
int Get_XML_Code_Dev();
int Get_Form_Type();

// KNX row codes; the text is upper-cased (a-z only), not trimmed.
// "WRITE" 128, "READ" 0, otherwise the text as an integer (0 when it is not one).
int APCI_Code(const QString& text);
// "SYSTEM" 0, "NORMAL" 1, "URGENT" 2, "LOW" 3, anything else 2.
int KNX_Priority_Code(const QString& text);
// "NONE" 0x0000 .. "FLOAT16 TO INT * 100" 0x9000, anything else 0.
int Conversion_Code(const QString& text);

// True when the text holds no "." (a group address rather than an individual one).
bool Is_KNX_Group_Address(const QString& text);
// 0 when valid, 1 when not. Group form: "main/sub" (0-31 / 0-2047), "main/middle/sub"
// (0-31 / 0-7 / 0-255), not all parts 0, or a plain number 1-65535. Individual form:
// "area.line.device" (0-15 . 0-15 . 0-255; 0.0.0 only with `allowZero`) or a number 1-65535.
// Parts are trimmed and read by the common integer rule.
int Check_KNX_Address(const QString& text, bool group, bool allowZero);

// Splits a dotted IPv4 text into its four bytes. True ("bad") when the text is empty (bytes
// untouched) or any part is not an integer 0-255 (that byte becomes 0). Parts are not trimmed;
// a fifth part stays in the fourth ("1.2.3.4.5" makes the last byte bad).
bool IP_Text_To_Bytes(const QString& text, uint8_t& b1, uint8_t& b2, uint8_t& b3, uint8_t& b4);
// The same on UTF-8 text, for readers that hold a table file's bytes.
bool IP_Text_To_Bytes(std::string_view utf8, uint8_t& b1, uint8_t& b2, uint8_t& b3, uint8_t& b4);

// Object identifier check: 0 valid; 1 longer than 62 characters; 2 a character other than a
// digit or "." (also for an empty identifier); 3 begins with "."; 4 ends with "."; 5 holds
// ".."; 6 an arc above 65535.
int Check_SNMP_OID(const QString& text);

// SNMPv3 user name (`user` set) or pass phrase: 0 valid; 1 longer than 15 characters;
// 2 shorter than 1 (user name) or 8 (pass phrase) characters; 3 a character other than
// 0-9, A-Z, a-z.
int Check_SNMPv3_Text(const QString& text, bool user);

// SNMPv3 choices, on the trimmed, upper-cased text. The index routines give list positions of
// the general parameters window, the code routines the values of the SNMP manager table.
int SNMPv3_Level_Index(const QString& text); // "AUTH NOPRIV" 1, "AUTH PRIV" 2, else 0
int SNMPv3_Auth_Index(const QString& text);  // "SHA" 1, else 0 (MD5)
int SNMPv3_Priv_Index(const QString& text);  // "AES" 1, else 0 (DES)
int SNMPv3_Level_Code(const QString& text);  // "AUTH NOPRIV" 1, "AUTH PRIV" 3, "" -1, else 0
int SNMPv3_Auth_Code(const QString& text);   // "MD5" 1, "SHA" 2, else 0
int SNMPv3_Priv_Code(const QString& text);   // "DES" 1, "AES" 2, else 0

// Device paths of the serial ports backed by hardware ("/dev/ttyS0", "/dev/ttyUSB0", ...),
// sorted; what the serial updater and the scan window open.
QStringList List_COM_Ports();

// Per-type counters of BACnet objects, for the 15 object types the gateways offer
// (0-5, 13, 14, 19, 23, 40, 44, 45, 46, 48). Other types are ignored (counted as 0).
void Reset_Obj_Counters();
void Inc_Obj_Counter(int objectType);
int32_t Get_Obj_Counter(int objectType);

} // namespace workspace
