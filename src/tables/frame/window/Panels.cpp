#include "tables/frame/window/Panels.h"

#include "controls/button/FormButton.h"
#include "platform/ui/Controls.h"

#include <QLabel>
#include <QPalette>

namespace tables {

namespace {

constexpr int kButtonWidth = 110;
constexpr int kButtonHeight = 28;
constexpr int kButtonLeft = 16;
constexpr int kButtonPitch = 118;
constexpr int kButtonTop = 6;

} // namespace

QColor tableBackground() { return QColor(0xF8, 0xF7, 0xED); }

TitlePanel addTitlePanel(QWidget* window, int width)
{
    TitlePanel t;
    t.panel = new QWidget(window);
    t.panel->setObjectName(QStringLiteral("P_Title"));
    t.panel->setGeometry(0, 0, width, kTitlePanelHeight);
    platform::setBackgroundColor(t.panel, tableBackground());
    QFont codeFont = platform::uiFont(QStringLiteral("Verdana"), 8);
    codeFont.setPixelSize(32);
    QFont descFont = platform::uiFont(QStringLiteral("Verdana"), 8, true);
    descFont.setPixelSize(11);
    t.code = platform::addLabel(t.panel, QStringLiteral("L_SW_Code"), 16, 8, codeFont);
    t.description = platform::addLabel(t.panel, QStringLiteral("L_SW_Desc"), 16, 42, descFont);
    for (QLabel* l : {t.code, t.description}) {
        QPalette p = l->palette();
        p.setColor(QPalette::WindowText, Qt::gray);
        l->setPalette(p);
    }
    return t;
}

QWidget* addButtonPanel(QWidget* window, int top, int width)
{
    auto* panel = new QWidget(window);
    panel->setObjectName(QStringLiteral("P_Button"));
    panel->setGeometry(0, top, width, kButtonPanelHeight);
    platform::setBackgroundColor(panel, tableBackground());
    return panel;
}

controls::TFxButton* addPanelButton(QWidget* panel, const QString& name, int slot)
{
    return controls::addButton(panel, name, kButtonLeft + slot * kButtonPitch, kButtonTop, kButtonWidth,
                               kButtonHeight);
}

} // namespace tables
