#pragma once
// Strict and default conversions between text and numbers, and the locale's letter case and
// ordering of texts.
//
// Integers follow the program's one whole-integer rule (platform/text: leading blanks, a sign,
// decimal digits or "$"/"0x" hexadecimal, nothing after the digits). Floating-point text has
// optional blanks around it, an optional sign, digits with at most one decimal separator (the
// one of the format settings; no thousand separators) and an optional exponent ("E" or "e",
// optional sign, digits); at least one digit before the exponent. Values that do not fit a
// double are refused.
//
// Strict conversions raise EConvertError with the text in the message; the *Def variants give
// the default; the Try variants report success.
#include "platform/core/FormatSettings.h"

#include <QString>
#include <cstdint>

namespace platform {

int32_t StrToInt(const QString& s);
int32_t StrToIntDef(const QString& s, int32_t def);
bool TryStrToInt(const QString& s, int32_t& value);
int64_t StrToInt64(const QString& s);
int64_t StrToInt64Def(const QString& s, int64_t def);
QString IntToStr(int64_t value);

double StrToFloat(const QString& s);
double StrToFloat(const QString& s, const TFormatSettings& fs);
double StrToFloatDef(const QString& s, double def);
double StrToFloatDef(const QString& s, double def, const TFormatSettings& fs);
bool TryStrToFloat(const QString& s, double& value);
bool TryStrToFloat(const QString& s, double& value, const TFormatSettings& fs);

// General number format: the shortest text with up to `precision` significant digits, fixed
// notation unless the value needs more than `precision` integer digits or is below 0.0001;
// scientific notation then, with at least `expDigits` exponent digits and a sign only when
// negative. ffExponent: "-d.ddd...E+ddd" with `precision` significant digits and at least
// `expDigits` exponent digits. ffFixed: `digits` decimals. ffNumber: ffFixed with thousand
// separators. Halves round away from zero on the decimal value, "NAN", "INF" and "-INF" name
// the values that are not numbers.
enum TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber };
QString FloatToStrF(double value, TFloatFormat format, int precision, int digits);
QString FloatToStrF(double value, TFloatFormat format, int precision, int digits, const TFormatSettings& fs);
// ffGeneral with 15 digits: 0.1 + 0.2 gives "0.3", 1E20 gives "1E20".
QString FloatToStr(double value);
QString FloatToStr(double value, const TFormatSettings& fs);

// Letter case by the Unicode simple mapping, one character for one (positions stay valid).
QString AnsiUpperCase(const QString& s);
QString AnsiLowerCase(const QString& s);
// Order of texts by the locale's collation: negative, zero or positive. CompareText ignores
// case ("a" equals "A"); CompareStr does not (lower case first: "a" < "A" < "b").
int AnsiCompareStr(const QString& a, const QString& b);
int AnsiCompareText(const QString& a, const QString& b);
bool AnsiSameText(const QString& a, const QString& b);

} // namespace platform
