#pragma once
// The gateway's IPv4 address as the update wizard takes it: four fields, each a decimal number
// 0..255. The address handed on (to the ping, the settings file and the updater) is always
// built from the parsed numbers, never from the raw field texts.
#include <QString>
#include <array>
#include <cstdint>
#include <optional>

namespace update {

struct Ipv4Address {
    std::array<uint8_t, 4> parts{};
    // Dotted decimal text, "192.168.2.205".
    QString text() const;
    bool operator==(const Ipv4Address&) const = default;
};

// One address part: blanks around it are ignored, then one to three decimal digits with a
// value 0..255. Anything else (signs, hexadecimal, empty) gives no value.
std::optional<uint8_t> parseAddressPart(const QString& text);

// The four fields of the wizard; no value when any of them is not a part.
std::optional<Ipv4Address> parseAddressFields(const QString& f1, const QString& f2, const QString& f3,
                                              const QString& f4);

// Splits a dotted address text into its four (trimmed) part texts and says whether all four
// are address parts. Missing dots give false with the outputs untouched; otherwise the outputs
// get the part texts whatever the result.
bool Valid_IP(const QString& IP, QString& ip1, QString& ip2, QString& ip3, QString& ip4);

} // namespace update
