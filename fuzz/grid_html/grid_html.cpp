// The grid's text routines on cell texts from files, the clipboard and drops: mini-HTML tags,
// entities, control tags, highlight tags and the grid's own text codings. Any text ends in a
// text, never a crash, and the codings read back what they wrote.
#include "controls/grid/html/HTMLUtil.h"
#include "controls/grid/util/ExtUtil.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace controls::grid;
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));

    if (DecodeHTMLEntities(EncodeHTMLEntities(text, true), true) != text)
        std::abort();
    if (DecodeWideCellText(EncodeWideCellText(text)) != text)
        std::abort();
    // The cell file's coding is read back when the text holds a line feed and none of the
    // characters the coding uses.
    if (text.contains(u'\n') && text.contains(u'\r') && !text.contains(QChar(8)) && !text.contains(QChar(9))
        && !text.contains(QChar(1)) && DecodeCellLineBreaks(EncodeCellLineBreaks(text), true) != text)
        std::abort();

    const QString stripped = StripHTMLTags(text);
    const QString visible = VisibleHTMLText(text);
    if (visible.size() > text.size())
        std::abort();
    for (int n = 0; n <= int(visible.size()) + 1; n += 7) {
        const int raw = VisibleToRawIndex(text, n);
        if (raw < 0 || raw > text.size() + 1)
            std::abort();
    }
    const qsizetype cut = text.size() / 3;
    QString highlighted;
    AddHighlightTags(text, text.mid(cut, 3), QStringLiteral("hi"), highlighted, false);
    (void)RemoveHighlightTags(highlighted, QStringLiteral("hi"));

    if (HasControlTag(text)) {
        QString id = GetNextControlID(text, QString());
        for (int guard = 0; !id.isEmpty() && guard < 64; ++guard) {
            QString value;
            GetControlValue(text, id, value);
            (void)GetControlProp(text, id);
            (void)GetControlMaxLen(text, id);
            QString copy = text;
            SetControlValue(copy, id, QStringLiteral("v<&>\""));
            id = GetNextControlID(text, id);
        }
        (void)ClearRadioControls(text);
    }

    (void)GetTextKind(text, true);
    (void)DetectNumberType(text);
    (void)CleanFloatText(text);
    (void)ProperCase(text);
    (void)UnwrapHashTags(stripped);
    QString anchored;
    AddURLAnchor(text, QStringLiteral("HTTP://"), anchored);
    QString line = text;
    while (!line.isEmpty())
        (void)ExtractFirstLine(line, true);
    (void)CountClosingQuotes(u'"', text);
    (void)HTMLHexColorToColor(text);
    (void)IntValue(text);
    return 0;
}
