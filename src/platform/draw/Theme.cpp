#include "platform/draw/Theme.h"

#include <QApplication>
#include <QPainter>
#include <QPointer>
#include <QStyle>
#include <QStyleOption>
#include <QWidget>
#include <unordered_map>

namespace platform {

namespace {

enum class ThemeClass { Button, ComboBox, Spin, Header, Progress };

struct OpenTheme {
    ThemeClass cls;
    QString name;
    QPointer<QWidget> window;
};

struct Registry {
    bool active = true;
    QPointer<QStyle> style;
    bool styleSet = false;
    HTHEME next = 1;
    std::unordered_map<HTHEME, OpenTheme> open;
};

Registry& registry()
{
    static Registry r;
    return r;
}

bool classOf(const QString& name, ThemeClass& cls)
{
    static const struct {
        const char* name;
        ThemeClass cls;
    } known[] = {{"button", ThemeClass::Button},
                 {"combobox", ThemeClass::ComboBox},
                 {"spin", ThemeClass::Spin},
                 {"header", ThemeClass::Header},
                 {"progress", ThemeClass::Progress}};
    for (const auto& k : known)
        if (name.trimmed().compare(QLatin1String(k.name), Qt::CaseInsensitive) == 0) {
            cls = k.cls;
            return true;
        }
    return false;
}

QStyle* styleFor(const OpenTheme& t)
{
    if (t.window)
        return t.window->style();
    Registry& reg = registry();
    if (reg.styleSet && reg.style)
        return reg.style;
    return qobject_cast<QApplication*>(QCoreApplication::instance()) ? QApplication::style() : nullptr;
}

// States 1..4 of most parts: normal, hot, pressed, disabled.
QStyle::State commonState(int stateId)
{
    switch (stateId) {
    case 2:
        return QStyle::State_Enabled | QStyle::State_MouseOver | QStyle::State_Raised;
    case 3:
        return QStyle::State_Enabled | QStyle::State_Sunken;
    case 4:
        return QStyle::State_None;
    default:
        return QStyle::State_Enabled | QStyle::State_Raised;
    }
}

void fillOption(QStyleOption& o, const Rect& r, const QWidget* w, QStyle::State state)
{
    o.rect = r.toQRect();
    o.state = state;
    o.direction = Qt::LeftToRight;
    o.palette = w ? w->palette() : (qobject_cast<QApplication*>(QCoreApplication::instance()) ? QApplication::palette() : QPalette());
    o.fontMetrics = w ? w->fontMetrics() : QFontMetrics(QApplication::font());
}

bool drawPart(QStyle* style, QPainter& p, const OpenTheme& t, int part, int state, const Rect& r)
{
    const QWidget* w = t.window.data();
    switch (t.cls) {
    case ThemeClass::Button: {
        if (part == BP_PUSHBUTTON) {
            QStyleOptionButton o;
            fillOption(o, r, w, commonState(state == PBS_DEFAULTED ? 1 : state));
            if (state == PBS_DEFAULTED)
                o.features |= QStyleOptionButton::DefaultButton;
            style->drawPrimitive(QStyle::PE_PanelButtonCommand, &o, &p, w);
            return true;
        }
        if (part == BP_CHECKBOX || part == BP_RADIOBUTTON) {
            if (state < 1 || state > (part == BP_CHECKBOX ? 12 : 8))
                return false;
            QStyleOptionButton o;
            QStyle::State s = commonState((state - 1) % 4 + 1);
            s.setFlag(QStyle::State_Raised, false);
            const int group = (state - 1) / 4; // unchecked, checked, mixed
            s |= group == 0 ? QStyle::State_Off : group == 1 ? QStyle::State_On : QStyle::State_NoChange;
            fillOption(o, r, w, s);
            style->drawPrimitive(part == BP_CHECKBOX ? QStyle::PE_IndicatorCheckBox : QStyle::PE_IndicatorRadioButton, &o, &p, w);
            return true;
        }
        if (part == BP_GROUPBOX) {
            QStyleOptionFrame o;
            fillOption(o, r, w, commonState(state));
            o.lineWidth = 1;
            style->drawPrimitive(QStyle::PE_FrameGroupBox, &o, &p, w);
            return true;
        }
        return false;
    }
    case ThemeClass::ComboBox:
    case ThemeClass::Spin: {
        QStyle::PrimitiveElement arrow;
        if (t.cls == ThemeClass::ComboBox) {
            if (part != CP_DROPDOWNBUTTON)
                return false;
            arrow = QStyle::PE_IndicatorArrowDown;
        } else {
            static const QStyle::PrimitiveElement arrows[] = {QStyle::PE_IndicatorSpinUp, QStyle::PE_IndicatorSpinDown,
                                                               QStyle::PE_IndicatorArrowRight, QStyle::PE_IndicatorArrowLeft};
            if (part < SPNP_UP || part > SPNP_DOWNHORZ)
                return false;
            arrow = arrows[part - 1];
        }
        QStyleOptionToolButton o;
        fillOption(o, r, w, commonState(state));
        style->drawPrimitive(QStyle::PE_PanelButtonTool, &o, &p, w);
        QStyleOption a;
        const int inset = std::max(1, std::min(r.width(), r.height()) / 4);
        fillOption(a, r.inflated(-inset, -inset), w, commonState(state));
        style->drawPrimitive(arrow, &a, &p, w);
        return true;
    }
    case ThemeClass::Header: {
        QStyleOptionHeader o;
        if (part == HP_HEADERSORTARROW) {
            fillOption(o, r, w, QStyle::State_Enabled);
            o.sortIndicator = state == HSAS_SORTEDDOWN ? QStyleOptionHeader::SortDown : QStyleOptionHeader::SortUp;
            style->drawPrimitive(QStyle::PE_IndicatorHeaderArrow, &o, &p, w);
            return true;
        }
        if (part < HP_HEADERITEM || part > HP_HEADERITEMRIGHT)
            return false;
        QStyle::State s = QStyle::State_Enabled | QStyle::State_Horizontal | QStyle::State_Raised;
        if (state == HIS_HOT)
            s |= QStyle::State_MouseOver;
        else if (state == HIS_PRESSED)
            s = (s | QStyle::State_Sunken).setFlag(QStyle::State_Raised, false);
        fillOption(o, r, w, s);
        o.position = part == HP_HEADERITEMLEFT ? QStyleOptionHeader::Beginning
                     : part == HP_HEADERITEMRIGHT ? QStyleOptionHeader::End
                                                  : QStyleOptionHeader::Middle;
        style->drawControl(QStyle::CE_HeaderSection, &o, &p, w);
        return true;
    }
    case ThemeClass::Progress: {
        if (part < PP_BAR || part > PP_FILLVERT)
            return false;
        const bool vertical = part % 2 == 0;
        QStyleOptionProgressBar o;
        fillOption(o, r, w, QStyle::State_Enabled | (vertical ? QStyle::State_None : QStyle::State_Horizontal));
        o.minimum = 0;
        o.maximum = 100;
        o.progress = 100;
        style->drawControl(part <= PP_BARVERT ? QStyle::CE_ProgressBarGroove : QStyle::CE_ProgressBarContents, &o, &p, w);
        return true;
    }
    }
    return false;
}

} // namespace

bool ThemeLibrary::InitThemeLibrary()
{
    m_loaded = true;
    return true;
}

void ThemeLibrary::FreeThemeLibrary() { m_loaded = false; }

ThemeLibrary& ThemeApi()
{
    static ThemeLibrary library;
    return library;
}

bool IsThemeActive() { return registry().active; }

void SetThemeActive(bool on) { registry().active = on; }

void SetThemeStyle(QStyle* style)
{
    registry().style = style;
    registry().styleSet = style != nullptr;
}

HTHEME OpenThemeData(QWidget* window, const QString& classList)
{
    Registry& reg = registry();
    if (!reg.active || !ThemeApi().Loaded())
        return 0;
    for (const QString& name : classList.split(QLatin1Char(';'))) {
        ThemeClass cls;
        if (classOf(name, cls)) {
            const HTHEME h = reg.next++;
            reg.open.emplace(h, OpenTheme{cls, name.trimmed().toLower(), window});
            return h;
        }
    }
    return 0;
}

bool CloseThemeData(HTHEME theme) { return registry().open.erase(theme) > 0; }

bool DrawThemeBackground(HTHEME theme, Canvas& canvas, int partId, int stateId, const Rect& r, const Rect* clip)
{
    const auto it = registry().open.find(theme);
    if (it == registry().open.end() || r.isEmpty())
        return false;
    canvas.log(QStringLiteral("DrawThemeBackground %1 %2/%3 %4").arg(it->second.name).arg(partId).arg(stateId).arg(logRect(r)));
    QStyle* style = styleFor(it->second);
    if (!style)
        return false;
    QPainter& p = canvas.painter();
    if (!p.isActive())
        return false;
    p.save();
    p.setClipRect(r.toQRect(), Qt::IntersectClip);
    if (clip)
        p.setClipRect(clip->toQRect(), Qt::IntersectClip);
    // Styles lay some parts out from the origin (a vertical bar is turned about it), so every
    // part is drawn at the origin and moved into place.
    p.translate(r.left, r.top);
    const bool drawn = drawPart(style, p, it->second, partId, stateId, Rect{0, 0, r.width(), r.height()});
    p.restore();
    return drawn;
}

} // namespace platform
