#include "controls/grid/html/HTMLDraw.h"

#include "controls/grid/html/HTMLUtil.h"

namespace controls::grid {

namespace {
Color g_highlight = platform::clHighlight;
Color g_highlightText = platform::clHighlightText;
} // namespace

bool HTMLDrawText(Canvas& canvas, const QString& text, const Rect& r, const THTMLDrawParams& params,
                  THTMLDrawResult& result)
{
    const QString keepId = params.NoDraw ? result.ControlID : QString();
    result = THTMLDrawResult{};
    result.ControlID = keepId;

    const QString plain = StripHTMLTags(text);
    result.StripVal = plain;
    unsigned flags = platform::DT_NOPREFIX | platform::DT_LEFT;
    flags |= params.WordWrap ? platform::DT_WORDBREAK : (platform::DT_SINGLELINE | platform::DT_END_ELLIPSIS);
    Rect area{r.left + 1, r.top, r.right, r.bottom};
    Rect measure = area;
    canvas.drawText(plain, measure, flags | platform::DT_CALCRECT);
    result.TextWidth = measure.width();
    result.TextHeight = plain.isEmpty() ? canvas.textHeight(QStringLiteral("gh")) : measure.height();
    if (!params.CalcOnly && !plain.isEmpty()) {
        const platform::BkMode mode = canvas.bkMode();
        canvas.setBkMode(platform::BkMode::Transparent);
        canvas.drawText(plain, area, flags);
        canvas.setBkMode(mode);
    }
    return false;
}

void SetHighlightColors(Color background, Color text)
{
    g_highlight = background;
    g_highlightText = text;
}

Color HTMLHighlightColor() { return g_highlight; }
Color HTMLHighlightTextColor() { return g_highlightText; }

} // namespace controls::grid
