#pragma once
// The UI-text table `Lang_Texts`: 2400 texts addressed by index, the built-in English texts
// overlaid by a language file `<Language_Dir>/<name>.lng`.
//
// Language file: lines ending at CR LF, LF or CR; a byte-order mark selects UTF-8 or UTF-16
// (LE or BE), a file without one is Windows-1252. A line that sets a text reads, after
// leading and trailing blanks and control characters are removed:
//   "STR" <index> <one character that is not read> "=" <text>
// e.g. "STR0012 = Hello /#/ a remark". The text is trimmed; a "/#/" starts a remark; a text
// enclosed in pilcrows (U+00B6) keeps its leading and trailing blanks, and a lone pilcrow
// stores an empty text. Every other line is ignored, as are lines whose index is outside
// 0..2399 and lines without text, so the text already in the table stays.
#include <QString>

namespace workspace {

// Language files larger than this are not read at all (real ones are a few hundred KiB).
constexpr qint64 kMaxLanguageFileBytes = 16 * 1024 * 1024;

// Fills `Lang_Texts` with the 2400 built-in English texts.
void Default_Texts();

// Overlays `Lang_Texts` with the texts of one language file. The table is replaced only when
// the whole file has been read, so it never holds half a file; a table not yet filled gets
// the built-in texts first. False when the file cannot be read or is too large (the table
// then stays as it was).
bool Read_Lng_File(const QString& fileName);

// `Default_Texts`, then the language file of `Language_Name`; when that file is missing,
// `Language_Name` becomes "English" and English.lng is read if it exists, else the built-in
// texts stay.
void Load_Language();

// The table of a language the user picked: the built-in texts overlaid by the file of
// `languageName`, put in place only when that file can be read. False when it is missing or
// cannot be read; the table then keeps the texts it had. `Language_Name` is not touched.
bool Try_Load_Language(const QString& languageName);

// The path of a language's file in `Language_Dir`; empty when the name cannot be a file of
// that folder (empty, or holding a path separator).
QString languageFilePath(const QString& languageName);

} // namespace workspace
