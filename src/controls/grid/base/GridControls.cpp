#include "controls/grid/base/GridControls.h"

#include "controls/grid/style/ExtStyle.h"
#include "controls/grid/util/ExtDraw.h"
#include "platform/core/Errors.h"
#include "platform/draw/Frames.h"
#include "platform/draw/Theme.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QRegion>
#include <algorithm>
#include <cmath>

namespace controls::grid {

using platform::Bitmap;
using platform::Canvas;
using platform::clNone;
using platform::Rect;

bool CheckWinXPVersion() { return IsWinXPOrLater(); }
bool IsThemedXP() { return CheckWinXPVersion() && platform::IsThemeActive() && IsComCtl32Version6(); }
int GetXPColorScheme() { return GetXPThemeColor(); }

// --- arrows and the focus window --------------------------------------------------------------------

QPolygon TArrowWindow::Outline(TArrowDirection direction)
{
    switch (direction) {
    case arrUp:
        return QPolygon({QPoint(5, 0), QPoint(10, 5), QPoint(7, 5), QPoint(7, 9), QPoint(3, 9), QPoint(3, 5), QPoint(0, 5)});
    case arrDown:
        return QPolygon({QPoint(3, 0), QPoint(7, 0), QPoint(7, 4), QPoint(9, 4), QPoint(5, 8), QPoint(1, 4), QPoint(3, 4)});
    case arrLeft:
        return QPolygon({QPoint(0, 3), QPoint(0, 7), QPoint(4, 7), QPoint(4, 10), QPoint(8, 5), QPoint(4, 0), QPoint(4, 3)});
    default:
        return QPolygon({QPoint(0, 5), QPoint(4, 10), QPoint(4, 7), QPoint(8, 7), QPoint(8, 3), QPoint(4, 3), QPoint(4, 0)});
    }
}

TArrowWindow::TArrowWindow(QWidget* owner, TArrowDirection direction)
    : QWidget(owner, Qt::ToolTip | Qt::FramelessWindowHint), m_dir(direction), m_arrow(Outline(direction))
{
    const QRect box = m_arrow.boundingRect();
    resize(box.right() + 1, box.bottom() + 1);
    setMask(QRegion(m_arrow, Qt::WindingFill));
    hide();
}

void TArrowWindow::SetArrowColor(Color c)
{
    m_color = c;
    update();
}

void TArrowWindow::paintEvent(QPaintEvent*)
{
    Canvas canvas(this);
    canvas.brush() = platform::Brush{m_color, platform::BrushStyle::Solid};
    canvas.fillRect(Rect{0, 0, width(), height()});
}

TGridFocusWindow::TGridFocusWindow(QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus)
{
    resize(0, 0);
    hide();
}

void TGridFocusWindow::paintEvent(QPaintEvent*)
{
    Canvas canvas(this);
    canvas.brush() = platform::Brush{FrameColor, platform::BrushStyle::Solid};
    canvas.frameRect(Rect{0, 0, width(), height()});
}

// --- alpha mask and blur ----------------------------------------------------------------------------------

TGridAlphaMask::TGridAlphaMask() { m_bitmap.setPixelFormat(platform::PixelFormat::pf32bit); }

void TGridAlphaMask::Assign(const TGridAlphaMask& source)
{
    Opacity = source.Opacity;
    m_bitmap = source.m_bitmap;
    m_bitmap.setPixelFormat(platform::PixelFormat::pf32bit);
}

void TGridAlphaMask::Assign(const platform::Bitmap& source)
{
    m_bitmap = source;
    m_bitmap.setPixelFormat(platform::PixelFormat::pf32bit);
}

void TGridAlphaMask::MergeMask(const platform::Bitmap& mask, const platform::Bitmap& bitmap, Color)
{
    if (bitmap.pixelFormat() != platform::PixelFormat::pf24bit)
        return;
    QImage out(bitmap.width(), bitmap.height(), QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < bitmap.height(); ++y) {
        const uint32_t* src = bitmap.scanLine(y);
        const uint32_t* m = mask.scanLine(std::min(y, mask.height() - 1));
        auto* dst = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < bitmap.width(); ++x) {
            const int alpha = m && x < mask.width() ? qRed(m[x]) : 0;
            auto mul = [alpha](int c) { return int(std::lround(c * alpha / 255.0)); };
            dst[x] = qRgba(mul(qRed(src[x])), mul(qGreen(src[x])), mul(qBlue(src[x])), alpha);
        }
    }
    m_bitmap = platform::Bitmap::fromImage(out, platform::PixelFormat::pf32bit);
}

std::vector<double> BlurKernel(int radius)
{
    const double r = std::max(1, radius);
    double weights[21];
    double sum = 0;
    for (int k = -10; k <= 10; ++k) {
        weights[k + 10] = std::exp(-(k / r) * (k / r) / 2);
        sum += weights[k + 10];
    }
    for (double& w : weights)
        w /= sum;
    double removed = 0;
    int h = 10;
    do {
        removed += 2 * weights[h + 10];
        --h;
    } while (removed < 1.0 / 510 && h > 1);
    std::vector<double> kept(weights + 10 - h, weights + 10 + h + 1);
    double keptSum = 0;
    for (double w : kept)
        keptSum += w;
    for (double& w : kept)
        w /= keptSum;
    return kept;
}

void BlurBitmap(platform::Bitmap& bitmap, int radius)
{
    if (bitmap.pixelFormat() != platform::PixelFormat::pf24bit || bitmap.isEmpty())
        throw platform::Exception(QStringLiteral("Blur only works for 24-bit bitmaps"));
    const std::vector<double> kernel = BlurKernel(radius);
    const int h = int(kernel.size()) / 2;
    const int width = bitmap.width();
    const int height = bitmap.height();
    auto blurLine = [&](auto get, auto set, int length) {
        std::vector<QRgb> line(static_cast<size_t>(length));
        for (int i = 0; i < length; ++i)
            line[size_t(i)] = get(i);
        for (int i = 0; i < length; ++i) {
            double rs = 0, gs = 0, bs = 0;
            for (int k = -h; k <= h; ++k) {
                const QRgb p = line[size_t(std::clamp(i + k, 0, length - 1))];
                const double w = kernel[size_t(k + h)];
                rs += qRed(p) * w;
                gs += qGreen(p) * w;
                bs += qBlue(p) * w;
            }
            // A whisker over the truncation keeps a uniform line uniform.
            auto channel = [](double v) { return std::clamp(int(v + 1e-6), 0, 255); };
            set(i, qRgb(channel(rs), channel(gs), channel(bs)));
        }
    };
    auto edgeRow = [height](int y) { return y <= 20 || y >= height - 20; };
    for (int y = 0; y < height; ++y) {
        if (!edgeRow(y) && y != 15)
            continue;
        uint32_t* row = bitmap.scanLine(y);
        blurLine([row](int x) { return QRgb(row[x]); }, [row](int x, QRgb v) { row[x] = v; }, width);
    }
    if (height > 41 && height > 15) {
        const uint32_t* model = bitmap.scanLine(15);
        for (int y = 21; y < height - 20; ++y)
            std::copy(model, model + width, bitmap.scanLine(y));
    }
    auto edgeCol = [width](int x) { return x <= 20 || x >= width - 20; };
    for (int x = 0; x < width; ++x) {
        if (!edgeCol(x) && x != 15)
            continue;
        blurLine([&](int y) { return QRgb(bitmap.scanLine(y)[x]); }, [&](int y, QRgb v) { bitmap.scanLine(y)[x] = v; },
                 height);
    }
    if (width > 41 && width > 15) {
        for (int y = 0; y < height; ++y) {
            uint32_t* row = bitmap.scanLine(y);
            for (int x = 21; x < width - 20; ++x)
                row[x] = row[15];
        }
    }
}

void MakeRoundRectMask(platform::Bitmap& bitmap, int width, int height, int penWidth, int corner, int blurRadius)
{
    bitmap = platform::Bitmap(std::max(1, width), std::max(1, height), platform::clBlack);
    const int c = penWidth / 2;
    {
        QPainter p(&bitmap.image());
        p.setRenderHint(QPainter::Antialiasing, false);
        const QRectF r(c + 2, c + 2, width - 2 * c - 4, height - 2 * c - 4);
        if (penWidth > 0) {
            p.setPen(QPen(Qt::white, penWidth));
            p.setBrush(Qt::NoBrush);
        } else {
            p.setPen(Qt::NoPen);
            p.setBrush(Qt::white);
        }
        p.drawRoundedRect(r, corner / 2.0, corner / 2.0);
    }
    if (blurRadius > 0)
        BlurBitmap(bitmap, blurRadius);
}

void DrawGridButtonGradient(Canvas& canvas, Color fromColor, Color toColor, bool horizontal, const Rect& r, int steps,
                            Color frameColor)
{
    steps = std::max(1, steps);
    const Color from = platform::colorToRgb(fromColor);
    const Color to = platform::colorToRgb(toColor);
    const int size = horizontal ? r.width() : r.height();
    for (int i = 0; i < steps; ++i) {
        auto channel = [&](int f, int t) { return f + int(std::lround(double(i) * (t - f) / steps)); };
        const Color c = platform::rgb(channel(platform::redOf(from), platform::redOf(to)),
                                      channel(platform::greenOf(from), platform::greenOf(to)),
                                      channel(platform::blueOf(from), platform::blueOf(to)));
        const int a = i * size / steps;
        const int b = i == steps - 1 ? size : (i + 1) * size / steps;
        canvas.brush() = platform::Brush{c, platform::BrushStyle::Solid};
        canvas.fillRect(horizontal ? Rect{r.left + a, r.top, r.left + b, r.bottom} : Rect{r.left, r.top + a, r.right, r.top + b});
    }
    if (frameColor != clNone) {
        canvas.brush() = platform::Brush{frameColor, platform::BrushStyle::Solid};
        canvas.frameRect(r);
    }
}

// --- the gradient button ---------------------------------------------------------------------------------

TExtGridButton::TExtGridButton(QWidget* owner) : QWidget(owner)
{
    resize(22, 23);
    setMouseTracking(true);
}

TExtGridButton::~TExtGridButton() = default;

void TExtGridButton::SetAction(QAction* action)
{
    m_actionLink.reset();
    if (action)
        m_actionLink = std::make_unique<TExtGridButtonActionLink>(this, action);
}

QAction* TExtGridButton::Action() const { return m_actionLink ? m_actionLink->Action() : nullptr; }

// --- TExtGridButtonActionLink -----------------------------------------------------------------------

TExtGridButtonActionLink::TExtGridButtonActionLink(TExtGridButton* button, QAction* action)
    : m_button(button)
    , m_action(action)
    , m_caption(action->text())
    , m_checked(action->isChecked())
    , m_groupIndex(action->property("groupIndex").toInt())
{
    m_changed = QObject::connect(action, &QAction::changed, button, [this]() {
        if (!m_action)
            return;
        SetCaption(m_action->text());
        SetChecked(m_action->isChecked());
        SetGroupIndex(m_action->property("groupIndex").toInt());
        m_button->setEnabled(m_action->isEnabled());
    });
}

TExtGridButtonActionLink::~TExtGridButtonActionLink() { QObject::disconnect(m_changed); }

bool TExtGridButtonActionLink::IsCaptionLinked() const { return m_button->Caption() == m_caption; }

bool TExtGridButtonActionLink::IsCheckedLinked() const
{
    return m_button->GroupIndex() != 0 && m_button->AllowAllUp && m_button->Down() == m_checked;
}

bool TExtGridButtonActionLink::IsGroupIndexLinked() const { return m_button->GroupIndex() == m_groupIndex; }

void TExtGridButtonActionLink::SetCaption(const QString& caption)
{
    if (IsCaptionLinked())
        m_button->SetCaption(caption);
    m_caption = caption;
}

void TExtGridButtonActionLink::SetChecked(bool checked)
{
    if (IsCheckedLinked())
        m_button->SetDown(checked);
    m_checked = checked;
}

void TExtGridButtonActionLink::SetGroupIndex(int index)
{
    if (IsGroupIndexLinked())
        m_button->SetGroupIndex(index);
    m_groupIndex = index;
}

void TExtGridButton::SetCaption(const QString& c)
{
    m_caption = c;
    update();
}

void TExtGridButton::SetFlat(bool on)
{
    if (on != m_flat) {
        m_flat = on;
        update();
    }
}

void TExtGridButton::SetSpacing(int s)
{
    if (s != m_spacing) {
        m_spacing = s;
        update();
    }
}

void TExtGridButton::SetMargin(int m)
{
    if (m >= -1 && m != m_margin) {
        m_margin = m;
        update();
    }
}

void TExtGridButton::SetGroupIndex(int g)
{
    if (g != m_groupIndex) {
        m_groupIndex = g;
        groupChanged();
    }
}

void TExtGridButton::groupChanged()
{
    if (!m_down || m_groupIndex == 0 || !parentWidget())
        return;
    for (QObject* o : parentWidget()->children()) {
        auto* other = dynamic_cast<TExtGridButton*>(o);
        if (other && other != this && other->m_groupIndex == m_groupIndex && other->m_down) {
            other->m_down = false;
            other->AllowAllUp = AllowAllUp;
            other->m_state = bsUp;
            other->update();
        }
    }
}

void TExtGridButton::SetDown(bool down)
{
    if (m_groupIndex == 0 && Style != tasCheck)
        down = false;
    if (down == m_down)
        return;
    if (m_down && m_groupIndex != 0 && !AllowAllUp)
        return;
    m_down = down;
    m_state = down ? (m_groupIndex != 0 ? bsExclusive : bsDown) : bsUp;
    if (down)
        groupChanged();
    update();
}

void TExtGridButton::SetShaded(bool on)
{
    m_shaded = on;
    if (on)
        makeShade();
}

void TExtGridButton::SetGlyph(const platform::Bitmap& b)
{
    m_glyph = b;
    if (m_glyphDisabled.isEmpty() && !b.isEmpty()) {
        m_glyphDisabled = b;
        for (int y = 0; y < b.height(); ++y) {
            for (int x = 0; x < b.width(); ++x) {
                const Color c = b.pixel(x, y);
                const int grey = int(std::lround((platform::redOf(c) + platform::greenOf(c) + platform::blueOf(c)) / 3.0)) / 2 + 96;
                m_glyphDisabled.setPixel(x, y, platform::rgb(grey, grey, grey));
            }
        }
    }
    if (m_shaded)
        makeShade();
    update();
}

void TExtGridButton::makeShade()
{
    if (m_glyph.isEmpty()) {
        m_glyphShade = platform::Bitmap();
        return;
    }
    const Color transparent = m_glyph.pixel(0, m_glyph.height() - 1);
    QImage shade(m_glyph.width(), m_glyph.height(), QImage::Format_ARGB32_Premultiplied);
    shade.fill(Qt::transparent);
    for (int y = 0; y < m_glyph.height(); ++y)
        for (int x = 0; x < m_glyph.width(); ++x)
            if (m_glyph.pixel(x, y) != transparent)
                shade.setPixel(x, y, qRgba(0x80, 0x80, 0x80, 0xFF));
    m_glyphShade = platform::Bitmap::fromImage(shade, platform::PixelFormat::pf32bit);
}

void TExtGridButton::SetLook(int look)
{
    struct Preset {
        Color color, colorTo, hot, hotTo, down, downTo, checked, checkedTo, borderDown, borderHot;
        bool rounded;
    };
    static const Preset presets[] = {
        {0xEDF1F1, 0xDFEBEB, 0xFAFCFC, 0xE5ECED, 0xE0E6E7, 0xD8E0E1, 0xFFFFFF, clNone, 0xAF987A, 0xC3CECE, true},
        {0xFF00000F, clNone, 0xEED2C1, clNone, 0xE2B598, clNone, 0xE8E6E1, clNone, 0xC56A31, 0xC56A31, false},
        {0xFDEADA, 0xE4AE88, 0xCCF4FF, 0x91D0FF, 0x4E91FE, 0x8ED3FF, 0x8ED3FF, 0x55ADFF, 0x000000, 0x000000, false},
        {0xCFF0EA, 0x8CC0B1, 0xCCF4FF, 0x91D0FF, 0x4E91FE, 0x8ED3FF, 0x8ED3FF, 0x55ADFF, 0x000000, 0x000000, false},
        {0xECE2E1, 0xB39698, 0xCCF4FF, 0x91D0FF, 0x4E91FE, 0x8ED3FF, 0x8ED3FF, 0x55ADFF, 0x000000, 0x000000, false},
        {0xFF00000F, clNone, 0xFF00000F, clNone, 0xD8D3D2, clNone, 0xCAC7C7, clNone, clNone, clNone, false},
        {0xCAFFFF, 0xA6FFFF, 0xA8F0FD, 0x7CE9FC, 0x4DE0FB, 0x7AE9FC, 0xB5E6F2, 0x9CDDED, 0x808080, 0x808080, false},
    };
    if (look < 0 || look > 6)
        return;
    const Preset& p = presets[look];
    Color_ = p.color;
    ColorTo = p.colorTo;
    ColorHot = p.hot;
    ColorHotTo = p.hotTo;
    ColorDown = p.down;
    ColorDownTo = p.downTo;
    ColorChecked = p.checked;
    ColorCheckedTo = p.checkedTo;
    BorderDownColor = p.borderDown;
    BorderHotColor = p.borderHot;
    Rounded = p.rounded;
    BorderColor = clNone;
    m_flat = true;
    update();
}

void TExtGridButton::Click()
{
    if (OnClick)
        OnClick(this);
    if (m_actionLink && m_actionLink->Action())
        m_actionLink->Action()->trigger();
}

void TExtGridButton::paintEvent(QPaintEvent*)
{
    Canvas canvas(this);
    if (!isEnabled()) {
        m_state = bsDisabled;
        m_dragging = false;
    } else if (m_state == bsDisabled) {
        m_state = m_down && m_groupIndex != 0 ? bsExclusive : bsUp;
    }
    TGridButtonState shown = m_state;
    if (Style == tasCheck && m_down)
        shown = bsDown;
    Rect r{0, 0, width(), height()};
    auto face = [&](Color from, Color to, Color frame) {
        if (to == clNone) {
            canvas.brush() = platform::Brush{from, platform::BrushStyle::Solid};
            canvas.fillRect(r);
            if (frame != clNone) {
                canvas.brush().color = frame;
                canvas.frameRect(r);
            }
        } else {
            DrawGridButtonGradient(canvas, from, to, false, r, 16, Rounded ? clNone : frame);
        }
    };
    const bool pressed = shown == bsDown || shown == bsExclusive;
    if (m_flat) {
        if (BorderDownColor == clNone || Rounded)
            r = r.inflated(-1, -1);
        if (!m_mouseIn || !isEnabled()) {
            if (Style == tasCheck && m_down)
                face(ColorChecked, ColorCheckedTo, BorderDownColor);
            else
                face(Color_, ColorTo, m_down ? BorderDownColor : BorderColor);
        } else if (pressed && !(Style == tasCheck && m_down && !m_dragging)) {
            face(ColorDown, ColorDownTo, BorderDownColor);
        } else if (Style == tasCheck && m_down) {
            face(ColorChecked, ColorCheckedTo, BorderDownColor);
        } else {
            face(ColorHot, ColorHotTo, BorderHotColor);
        }
        if (BorderColor != clNone) {
            canvas.pen() = platform::Pen{BorderColor, 1, platform::PenStyle::Solid};
            canvas.brush().style = platform::BrushStyle::Clear;
            if (Rounded)
                canvas.roundRect(r.inflated(1, 1), 8, 8);
            else
                canvas.rectangle(r);
        }
        if (DropDownButton && m_mouseIn) {
            canvas.pen() = platform::Pen{BorderHotColor, 1, platform::PenStyle::Solid};
            canvas.moveTo(width() - 12, 0);
            canvas.lineTo(width() - 12, height());
        }
        r = r.inflated(-1, -1);
    } else {
        Rect frame = r;
        platform::DrawFrameControl(canvas, frame, platform::DFC_BUTTON,
                                   platform::DFCS_BUTTONPUSH | (pressed ? platform::DFCS_PUSHED : 0u));
    }
    if (DropDownButton) {
        DrawSmallDownTriangle(canvas, width() - 6, height() / 2 - 1, platform::clWindowText);
        r.right -= 12;
    }
    const platform::Bitmap* glyph = &m_glyph;
    if (m_mouseIn && !pressed && !GlyphHot.isEmpty())
        glyph = &GlyphHot;
    else if (pressed && !GlyphDown.isEmpty())
        glyph = &GlyphDown;
    else if (!isEnabled() && !m_glyphDisabled.isEmpty())
        glyph = &m_glyphDisabled;
    int x = r.left + std::max(0, m_margin);
    if (!glyph->isEmpty()) {
        platform::Bitmap g = *glyph;
        g.setTransparent(true);
        const int gy = r.top + (r.height() - g.height() + 1) / 2;
        if (m_shaded && m_mouseIn && !pressed && isEnabled() && !m_glyphShade.isEmpty())
            canvas.draw(x + 2, gy + 2, m_glyphShade);
        canvas.draw(x, gy, g);
        x += g.width() + m_spacing;
    }
    if (ShowCaption && !m_caption.isEmpty()) {
        canvas.setBkMode(platform::BkMode::Transparent);
        canvas.font() = platform::Font{font(), isEnabled() ? platform::clBtnText : platform::clBtnShadow, 0};
        Rect t{x, r.top, r.right, r.bottom};
        canvas.drawText(m_caption, t, platform::DT_SINGLELINE | platform::DT_VCENTER | platform::DT_LEFT);
    }
}

void TExtGridButton::mousePressEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton || !isEnabled())
        return;
    if (DropDownButton && e->position().x() >= width() - 12) {
        m_state = bsUp;
        if (OnDropDown)
            OnDropDown(this);
        if (DropDownMenu)
            DropDownMenu->popup(mapToGlobal(QPoint(0, height())));
        return;
    }
    m_state = bsDown;
    m_dragging = true;
    update();
}

void TExtGridButton::mouseMoveEvent(QMouseEvent* e)
{
    if (!m_dragging)
        return;
    const bool inside = rect().contains(e->position().toPoint());
    const TGridButtonState s = inside ? bsDown : (m_down ? bsExclusive : bsUp);
    if (s != m_state) {
        m_state = s;
        update();
    }
}

void TExtGridButton::mouseReleaseEvent(QMouseEvent* e)
{
    if (!m_dragging)
        return;
    m_dragging = false;
    const bool inside = rect().contains(e->position().toPoint());
    if (m_groupIndex == 0) {
        m_state = bsUp;
        if (Style == tasCheck && inside)
            m_down = !m_down;
    } else if (inside) {
        SetDown(!m_down);
    }
    update();
    if (inside)
        Click();
}

void TExtGridButton::enterEvent(QEnterEvent*)
{
    m_mouseIn = true;
    update();
    if (OnMouseEnter)
        OnMouseEnter(this);
}

void TExtGridButton::leaveEvent(QEvent*)
{
    if (!m_dragging)
        m_mouseIn = false;
    update();
    if (OnMouseLeave)
        OnMouseLeave(this);
}

// --- the check box ---------------------------------------------------------------------------------------

TExtCheckBox::TExtCheckBox(QWidget* owner) : QWidget(owner)
{
    resize(98, 20);
    setFocusPolicy(Qt::StrongFocus);
}

void TExtCheckBox::SetState(TCheckBoxState s)
{
    m_state = s;
    update(Alignment == platform::Alignment::taRightJustify ? QRect(width() - 20, 0, 20, height())
                                                             : QRect(0, 0, 20, height()));
}

void TExtCheckBox::SetCaption(const QString& c)
{
    m_caption = c;
    update();
}

void TExtCheckBox::Toggle()
{
    if (!ReadOnly)
        SetChecked(!Checked());
}

void TExtCheckBox::paintEvent(QPaintEvent*)
{
    Canvas canvas(this);
    const bool right = Alignment == platform::Alignment::taRightJustify;
    const int y = ButtonVertAlign == tlTop ? 4 : ButtonVertAlign == tlCenter ? height() / 2 - 6 : height() - 17;
    Rect box{right ? width() - 13 : 0, y, (right ? width() - 13 : 0) + 13, y + 13};
    unsigned flags = platform::DFCS_BUTTONCHECK;
    if (m_state == cbChecked)
        flags |= platform::DFCS_CHECKED;
    if (!isEnabled() || m_state == cbGrayed)
        flags |= platform::DFCS_INACTIVE;
    if (Down)
        flags |= platform::DFCS_PUSHED;
    platform::DrawFrameControl(canvas, box, platform::DFC_BUTTON, flags);
    canvas.setBkMode(platform::BkMode::Transparent);
    canvas.font() = platform::Font{font(), isEnabled() ? platform::clWindowText : platform::clGray, 0};
    Rect text = right ? Rect{6, 4, width() - 9, height()} : Rect{15, 4, width(), height()};
    canvas.drawText(m_caption, text, platform::DT_LEFT | platform::DT_TOP | (Ellipsis ? platform::DT_END_ELLIPSIS : 0u));
    if (hasFocus())
        canvas.drawFocusRect(text);
}

void TExtCheckBox::mousePressEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton || !isEnabled())
        return;
    setFocus();
    m_mouseDown = true;
    Down = true;
    update();
}

void TExtCheckBox::mouseReleaseEvent(QMouseEvent* e)
{
    if (!m_mouseDown)
        return;
    m_mouseDown = false;
    Down = false;
    if (rect().contains(e->position().toPoint())) {
        Toggle();
        if (OnClick)
            OnClick(this);
    }
    update();
}

void TExtCheckBox::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Space && !e->isAutoRepeat()) {
        Down = true;
        update();
        return;
    }
    if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && ReturnIsTab) {
        focusNextChild();
        return;
    }
    QWidget::keyPressEvent(e);
}

void TExtCheckBox::keyReleaseEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Space && !e->isAutoRepeat() && Down) {
        Down = false;
        Toggle();
        if (OnClick)
            OnClick(this);
        return;
    }
    QWidget::keyReleaseEvent(e);
}

} // namespace controls::grid
