#pragma once
// Text routines around the grid's mini-HTML dialect: character entities, tag stripping,
// colour names and "#RRGGBB" colours, search highlight tags, and the reading and rewriting of
// the "<CONTROL" tags that embed form controls in a cell's text. All are pure functions of
// their arguments; positions are 1-based (0: not found).
//
// Entities: "&lt;", "&gt;", "&amp;", "&quot;" and, with `full`, the 55 named accented letters
// and signs of the Western code page ("&eacute;", "&Ccedil;", "&euro;", "&copy;" ...). Names
// are matched in their exact case, so "&Eacute;" and "&eacute;" keep their own letters, and
// both directions work in one pass: "&amp;eacute;" decodes to the text "&eacute;", and
// encoding then decoding gives back any text.
//
// Control tags: <CONTROL TYPE="EDIT" ID="E1" VALUE="..." WIDTH="..." HEIGHT="..." PROP="..."
// MAXLEN="...">, TYPE one of EDIT, PASSWORD, MASK, COMBO, CHECK, RADIO, BUTTON. VALUE and PROP
// are stored entity-coded; a CHECK or RADIO whose VALUE is "TRUE" (any case) is ticked. An
// attribute is found by NAME= in the upper-cased tag and its value runs between the next two
// double quotes; a missing attribute reads as empty.
#include "platform/draw/Color.h"

#include <QString>

namespace controls::grid {

using platform::Color;

QString DecodeHTMLEntities(const QString& text, bool full);
QString EncodeHTMLEntities(const QString& text, bool full);
QString SpacesToNbsp(const QString& text);
// Plain text: "<BR>" and "<HR>" (any case) become CR LF, every other tag is dropped; a "<"
// without a ">" after it stays with the rest of the text.
QString StripHTMLTags(const QString& text);
// Drops CR and LF; with convert every CR becomes "<BR>" first.
QString LineBreaksToBR(const QString& text, bool convert);
QString UnwrapHashTags(const QString& text);
QString PasswordMask(const QString& text);

// "clred", "clwindow" ...; any other name gives 0 (black).
Color HTMLColorNameToColor(const QString& name);
// "#RRGGBB" to a colour; each pair is read as a byte (characters other than hex digits give
// some byte, never more), so any text gives a colour of 24 bits.
Color HTMLHexColorToColor(const QString& text);
// Two hex digits (either case) as a byte; any other character counts as 0.
int HexPairToByte(const QString& pair);

// Wraps every match of search in <tag> ... </tag>, over the visible text; result receives it.
void AddHighlightTags(const QString& text, const QString& search, const QString& tag, QString& result,
                      bool caseSensitive);
QString RemoveHighlightTags(const QString& text, const QString& tag);
QString VisibleHTMLText(const QString& text);
int VisibleToRawIndex(const QString& text, int visiblePos);
int PosFrom(const QString& search, const QString& text, int from, int& pos, bool caseSensitive);

struct TControlTag {
    QString Type;
    QString ID;
    QString Value;
    QString Width;
    QString Height;
    QString Prop;
    QString MaxLen;
};
TControlTag ParseControlTag(const QString& tag);
bool HasControlTag(const QString& text);
QString GetNextControlID(const QString& text, const QString& currentID);
bool GetControlValue(const QString& text, const QString& id, QString& value);
QString GetControlProp(const QString& text, const QString& id);
int GetControlMaxLen(const QString& text, const QString& id);
bool SetControlValue(QString& text, const QString& id, const QString& value);
QString ClearRadioControls(const QString& text);

// The unit's own primitives.
int HTMLVarPos(const QString& sub, const QString& s, int& pos);
int PosNoCase(const QString& sub, const QString& s);
int VarPosUpper(const QString& sub, const QString& s, int& pos);
bool ReplaceFirstNoCase(QString& s, const QString& sub, const QString& with);
// The leading integer of the text (after blanks and a sign); 0 when there is none.
int IntValue(const QString& s);

} // namespace controls::grid
