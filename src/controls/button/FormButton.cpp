#include "controls/button/FormButton.h"

namespace controls {

const ButtonLook& windowButtonLook()
{
    static const ButtonLook look;
    return look;
}

void applyLook(TFxButton& button, const ButtonLook& look)
{
    button.setStyle(look.style);
    button.setColor(look.face);
    button.setColorWhenDown(look.down);
    button.setHotTrackColor(look.hotTrack);
    button.setLightColor(look.light);
}

TFxButton* addButton(QWidget* parent, const QString& objectName, int left, int top, int width, int height)
{
    auto* b = new TFxButton(parent);
    b->setObjectName(objectName);
    b->setGeometry(left, top, width, height);
    applyLook(*b);
    b->setShowHint(true);
    return b;
}

} // namespace controls
