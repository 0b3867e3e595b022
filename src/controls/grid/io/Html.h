#pragma once
// The string grid as an HTML table: every cell a TD whose look (colours, font, alignment) is a
// CSS class shared by the cells that look alike, merged cells as COLSPAN/ROWSPAN, cell pictures
// as JPEG files in an "images" folder beside the file, URLs as anchors (URLShow). Settings are
// the grid's HTMLSettings.
//
// Written soundly: the text is the document's declared encoding (UTF-8; UTF-16 with its mark
// when Unicode is asked, and then declared so), attribute values are quoted and escaped, plain
// cell texts are escaped (texts that are the grid's HTML go out as their markup), and with XHTML
// the document is well-formed XHTML 1.0 Strict: lower-case elements, a head with the style
// block, a body around the table, empty elements closed. The clipboard's HTML writes no picture
// files.
#include "controls/grid/paint/GridPaint.h"

#include <QString>
#include <functional>

namespace controls::grid::io {

// dir is the folder (ending in "/") where pictures go; pictures false writes none.
QString SaveToHTMLString(TExtStringGridPaint& grid, const QString& dir, bool pictures = true);
void SaveToHTML(TExtStringGridPaint& grid, const QString& fileName, bool show = false, bool unicode = false);
void AppendToHTML(TExtStringGridPaint& grid, const QString& fileName, bool show = false, bool unicode = false);

// The CSS declarations of a cell's look.
QString HTMLCellStyle(const TExtStringGridPaint& grid, const platform::Font& font, Color brushColor,
                      platform::Alignment hAlign, TVAlignment vAlign);

// Opens a written file with the system's viewer (Show or AutoPreview); tests replace it.
std::function<void(const QString& fileName)>& HtmlViewer();

} // namespace controls::grid::io
