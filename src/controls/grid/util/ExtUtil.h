#pragma once
// Free text, number and date routines of the grid suite. They keep no state: every routine
// works on the text it is given. Positions are 1-based and 0 means "not found", as the grid's
// import, export and painting code count them. Upper-casing touches only a-z unless a routine
// says it follows the locale. Separators come from the current format settings
// (platform::FormatSettings()), never from fixed characters.
//
// Text kinds (GetTextKind): 0 plain, 1 HTML, 2 RTF, 3 formula, 5 wide-coded.
// Number kinds (DetectNumberType): 0 integer, 1 float, 2 text, 5 scientific.
#include "platform/core/DateTime.h"
#include "platform/draw/Color.h"

#include <QChar>
#include <QString>
#include <QStringView>
#include <vector>

namespace platform {
struct TGridRect;
struct TGridCoord;
class TStringList;
} // namespace platform

namespace controls::grid {

using platform::Color;
using platform::TDateTime;

// Separators and the short date format of the current format settings.
QChar GetTimeSeparator();
QChar GetDateSeparator();
QChar GetThousandSeparator();
QChar GetDecimalSeparator();
QString GetShortDateFormat();

// --- primitives -----------------------------------------------------------------------------
int CharPos(QChar ch, const QString& s);
// As CharPos; pos is written only when the character is found.
int VarCharPos(QChar ch, const QString& s, int& pos);
// Position of sub in s, also written to pos (0 when absent).
int VarPos(const QString& sub, const QString& s, int& pos);
int WidePos(const QString& sub, const QString& s);
// Position of sub (taken as it is) in s upper-cased.
int PosInUpperCase(const QString& sub, const QString& s);
int CountChar(QChar ch, const QString& s);
int IntMax(int a, int b);
int IntMin(int a, int b);
// Equal limits leave the value alone; otherwise a positive minimum raises it and a positive
// maximum lowers it (the maximum wins when both apply).
int ClampToLimits(int value, int minimum, int maximum);
bool CellInGridRect(const platform::TGridRect& r, int col, int row);
// The text before the first delimiter; it and the delimiter leave source. Without a
// delimiter: empty, source unchanged.
QString CutToken(QChar delimiter, QString& source);
QString ConcatStrings(const platform::TStringList& list);
void FillWithChar(QString& s, QChar ch);
// The first line of s (up to CR); the CR and one LF right after it are dropped. The rest
// stays in s only with keepRest; otherwise s is emptied. Without CR the whole text is the
// first line.
QString ExtractFirstLine(QString& s, bool keepRest);
// The lines ExtractFirstLine(s, multiLine) takes off s one after another until s is empty (one
// line without multiLine), in order, without copying what remains after each: a text of many
// lines costs its length.
std::vector<QStringView> SplitCellLines(const QString& s, bool multiLine);
int CountLines(const QString& s, bool multiLine);
bool IsWordBreakChar(QChar c);
bool IsDigitChar(QChar c); // any Unicode number character
bool IsDigitOrMinus(QChar c);
bool IsNumberChar(QChar c);
bool IsFloatTextChar(QChar c);
bool IsNumberOrSignChar(QChar c);

// --- line breaks, quoting, code pages (CR 13, LF 10, VT 11) ------------------------------
QString DoubleQuotes(const QString& s);
// Each pair c c becomes one c (when c occurs at all).
QString UndoubleChar(const QString& s, QChar c);
void QuoteMultiLine(QString& s);
void RemoveCRBeforeLF(QString& s);
void VTToCRLF(QString& s);
QString CRToTilde(const QString& s);
QString TildeToCRLF(const QString& s);
QString RemoveCR(const QString& s);
QString CRToLF(const QString& s);
QString CRToBR(const QString& s);
QString EscapeNewLines(const QString& s);
QString UnescapeNewLines(const QString& s);
// The grid's own cell file: CR 9, LF 8, NUL 1 (only when the text holds a CR), and back.
QString EncodeCellLineBreaks(const QString& s);
QString DecodeCellLineBreaks(const QString& s, bool multiLine);
int ClosingQuotePos(QChar quote, const QString& s, int& pos);
int CountClosingQuotes(QChar quote, const QString& s);
// To the OEM code page (850) and back, as 8-bit text that an ANSI write turns into the OEM
// bytes (CSV export and import options).
void StringToOem(QString& s);
void OemToString(QString& s);

// --- wide cells: "|\" then the high and low byte of every UTF-16 unit as characters -------
QString EncodeWideCellText(const QString& wide);
QString DecodeWideCellText(const QString& text);

// --- classification and URLs ----------------------------------------------------------------
int GetTextKind(const QString& text, bool htmlEnabled);
int DetectNumberType(const QString& text);
// Number text ready for conversion: decoration and thousand separators dropped, the decimal
// separator made ".", brackets around a number make it negative: "(1,234.50) EUR" -> "-1234.50".
QString CleanFloatText(const QString& text);
bool IsURL(const QString& text);
void StripURLProtocol(QString& text);
// Turns the first URL starting with prefix (upper case, "HTTP://") into an anchor; false and
// dest untouched when the prefix is absent.
bool AddURLAnchor(const QString& text, const QString& prefix, QString& dest);
bool LooksLikeDate(const QString& text);
// "R<row>C<col>" references.
bool ParseRCReference(const QString& text, platform::TGridCoord& cell);
// RRGGBB of the value as stored (system colours are not resolved).
QString ColorToHTMLHex(Color c);
// Wraps an HTML fragment in the clipboard's HTML format. The offsets count bytes of the UTF-8
// form of the result, which declares itself utf-8, so a fragment beyond Latin-1 keeps its
// offsets right.
void WrapCFHTML(QString& html);

// --- colour arithmetic ------------------------------------------------------------------------
Color HalveColor(Color c);
// Each channel c + c * percent / 100, rounded and kept within 0..255.
Color AdjustColorBrightness(Color c, int percent);

// --- dates and text case ----------------------------------------------------------------------
// Dates for ordering cells: "/" or else "." or else "-" separates the fields; years up to 25
// get 2000 added, larger ones 1900 (also four-digit years: only the order matters). 0 when a
// field is not a number; an impossible date raises EConvertError.
TDateTime ParseMDYDate(const QString& text);
TDateTime ParseDMYDate(const QString& text);
// One step of a date series (see the grid's fill operations).
TDateTime AdvanceDate(int yearStep, int monthStep, unsigned dayStep, TDateTime date, double step);
QString ProperCase(const QString& text);

} // namespace controls::grid
