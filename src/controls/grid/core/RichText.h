#pragma once
// Rich-text cells: a cell whose text begins with "{\" holds RTF. The grid shows and edits such a
// cell through its plain text; RichTextToPlain takes the text out of RTF (groups, control words,
// hexadecimal and Unicode escapes; font, colour and style tables, pictures and other
// destinations skipped), and PlainToRichText writes plain text as RTF (line breaks as
// paragraphs, characters beyond the Western code page as Unicode escapes).
//
// The reader takes any text: unbalanced braces, cut escapes and deep nesting end the text that
// can be read, never the program.
#include <QString>

namespace controls::grid {

QString RichTextToPlain(const QString& rtf);
QString PlainToRichText(const QString& plain, const QString& fontName = QStringLiteral("Tahoma"), int fontSize = 8);
bool IsRichText(const QString& text);

} // namespace controls::grid
