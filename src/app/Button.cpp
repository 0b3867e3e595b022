#include "app/Button.h"

namespace app {

AppButton* addButton(QWidget* parent, const QString& objectName, int left, int top, int width, int height)
{
    auto* b = new AppButton(parent);
    b->setObjectName(objectName);
    b->setGeometry(left, top, width, height);
    b->setShowHint(true);
    return b;
}

void makeStepButton(AppButton* b, const QImage& glyph)
{
    b->setGlyph(glyph);
    b->setLayout(controls::TFxButtonLayout::blGlyphLeft);
    b->setAlignment(platform::Alignment::taLeftJustify);
}

} // namespace app
