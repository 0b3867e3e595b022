#include "app/Button.h"

namespace app {

AppButton* addButton(QWidget* parent, const QString& objectName, int left, int top, int width, int height)
{
    return controls::addButton(parent, objectName, left, top, width, height);
}

void makeStepButton(AppButton* b, const QImage& glyph)
{
    b->setGlyph(glyph);
    b->setLayout(controls::TFxButtonLayout::blGlyphLeft);
    b->setAlignment(platform::Alignment::taLeftJustify);
}

} // namespace app
