#include "controls/button/FxButton.h"

#include "controls/button/FxButtonFace.h"
#include "controls/button/KindGlyphs.h"

#include <QAction>
#include <QDialog>
#include <QEvent>
#include <QFocusEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcutEvent>
#include <QTimer>

namespace controls {

using namespace platform;

namespace {

bool isEnterKey(int key) { return key == Qt::Key_Return || key == Qt::Key_Enter; }

bool isTransparentStyle(TFxButtonStyle s)
{
    return s == TFxButtonStyle::bsModern || s == TFxButtonStyle::bsShape || s == TFxButtonStyle::bsQuicken;
}

struct ColorPreset {
    Color face, light, shadow, down, hot;
    TFxButtonStyle style;
    bool flat;
    Color font;
};

ColorPreset presetOf(TFxColorStyle s)
{
    using S = TFxButtonStyle;
    switch (s) {
    case TFxColorStyle::lcsGold:
        return {rgb(192, 192, 0), rgb(255, 255, 0), rgb(128, 128, 0), clNone, rgb(223, 223, 0), S::bsModern, false, clBlack};
    case TFxColorStyle::lcsChrome:
        return {rgb(192, 192, 192), clWhite, rgb(128, 128, 128), clNone, clNone, S::bsModern, false, clBlack};
    case TFxColorStyle::lcsBlue:
        return {rgb(0, 128, 255), rgb(0, 255, 255), rgb(0, 0, 255), clNone, clNone, S::bsModern, false, clBlack};
    case TFxColorStyle::lcsRed:
        return {rgb(255, 0, 0), rgb(255, 192, 192), rgb(192, 0, 0), clNone, clNone, S::bsModern, false, clBlack};
    case TFxColorStyle::lcsUltraFlat1:
        return {clBtnFace, rgb(132, 146, 181), rgb(132, 146, 181), rgb(132, 146, 181), rgb(214, 211, 222), S::bsNormal, true, clBlack};
    case TFxColorStyle::lcsUltraFlat2:
        return {clBtnFace, clBlack, clBlack, rgb(188, 218, 36), rgb(228, 246, 140), S::bsNormal, true, clBlack};
    case TFxColorStyle::lcsUltraFlatXP:
        return {rgb(219, 216, 209), rgb(132, 146, 181), rgb(133, 146, 181), rgb(133, 146, 181), rgb(182, 189, 210), S::bsNormal, true, clBlack};
    case TFxColorStyle::lcsAqua:
        return {rgb(148, 206, 236), rgb(212, 230, 252), clBlack, clNone, clNone, S::bsModern, false, clBlack};
    case TFxColorStyle::lcsQuicken:
        return {rgb(0, 48, 96), rgb(192, 192, 192), rgb(192, 192, 192), rgb(41, 101, 173), rgb(156, 174, 206), S::bsQuicken, false, clWhite};
    case TFxColorStyle::lcsDefault:
    default:
        return {clBtnFace, clWhite, rgb(128, 128, 128), clNone, clNone, S::bsNormal, false, clBlack};
    }
}

struct KindPreset {
    int modalResult;
    const char* caption;
};

KindPreset kindPresetOf(TFxButtonKind k)
{
    switch (k) {
    case TFxButtonKind::bkOK: return {mrOk, "OK"};
    case TFxButtonKind::bkCancel: return {mrCancel, "Abbrechen"};
    case TFxButtonKind::bkHelp: return {mrNone, "Hilfe"};
    case TFxButtonKind::bkYes: return {mrYes, "Ja"};
    case TFxButtonKind::bkNo: return {mrNo, "Nein"};
    case TFxButtonKind::bkClose: return {mrNone, "Schließen"};
    case TFxButtonKind::bkAbort: return {mrAbort, "Abbrechen"};
    case TFxButtonKind::bkRetry: return {mrRetry, "Wiederholen"};
    case TFxButtonKind::bkIgnore: return {mrIgnore, "Ignorieren"};
    case TFxButtonKind::bkAll: return {mrAll, "Alle"};
    case TFxButtonKind::bkCustom: break;
    }
    return {mrNone, ""};
}

} // namespace

TFxButton::TFxButton(QWidget* parent)
    : QWidget(parent)
{
    resize(100, 23);
    setFocusPolicy(Qt::TabFocus); // the mouse focuses by itself, and only with the left button
    m_htFont.font = font();
    m_htFont.color = clWindowText;
    m_fadeTimer = new QTimer(this);
    m_fadeTimer->setInterval(kFadeIntervalMs);
    connect(m_fadeTimer, &QTimer::timeout, this, &TFxButton::hotTrackTick);
}

TFxButton::~TFxButton()
{
    // The fade ends without another paint; window event filters forget us by themselves.
    m_destroying = true;
    m_fadeTimer->stop();
}

// --- properties ---------------------------------------------------------------------------

void TFxButton::setCaption(const QString& caption)
{
    m_caption = caption;
    updateShortcut();
    update();
}

QString TFxButton::caption() const
{
    return m_caption;
}

void TFxButton::setAlignment(Alignment a)
{
    m_alignment = a;
    paintNow();
}

void TFxButton::setDefault(bool on)
{
    m_default = on;
    watchWindow();
}

void TFxButton::setCancel(bool on)
{
    m_cancel = on;
    watchWindow();
}

void TFxButton::setColor(Color c)
{
    m_color = c;
    update();
}

void TFxButton::setColorStyle(TFxColorStyle s)
{
    if (s == TFxColorStyle::lcsCustom)
        return;
    const ColorPreset p = presetOf(s);
    m_flat = false;
    m_fontColor = clBlack;
    setColor(p.face);
    m_fontColor = p.font;
    m_lightColor = p.light;
    m_shadowColor = p.shadow;
    m_colorWhenDown = p.down;
    m_hotTrackColor = p.hot;
    m_style = p.style;
    m_flat = p.flat;
    paintNow();
}

void TFxButton::setFlat(bool on)
{
    m_flat = on;
    paintNow();
}

void TFxButton::setFontColor(Color c)
{
    m_fontColor = c;
    update();
}

void TFxButton::setGlyph(const QImage& strip)
{
    setGlyph(strip.isNull() ? Bitmap() : Bitmap(strip));
}

void TFxButton::setGlyph(const Bitmap& strip)
{
    m_glyph = strip;
    m_glyph.setTransparent(false);
    m_numGlyphs = (!m_glyph.isEmpty() && m_glyph.height() > 0) ? m_glyph.width() / m_glyph.height() : 0;
    m_kind = TFxButtonKind::bkCustom;
    update();
}

void TFxButton::setHint(const QString& hint)
{
    m_hint = hint;
    applyHintToolTip();
}

void TFxButton::setShowHint(bool on)
{
    m_showHint = on;
    applyHintToolTip();
}

void TFxButton::applyHintToolTip()
{
    setToolTip(m_showHint ? m_hint : QString());
}

void TFxButton::setKind(TFxButtonKind k)
{
    if (k != TFxButtonKind::bkCustom) {
        setNumGlyphs(2);
        const KindPreset p = kindPresetOf(k);
        setModalResult(p.modalResult);
        m_glyph = kindGlyph(k);
        setCaption(QString::fromUtf8(p.caption));
    }
    m_kind = k;
    update();
}

void TFxButton::setLayout(TFxButtonLayout l)
{
    m_layout = l;
    paintNow();
}

void TFxButton::setLightColor(Color c)
{
    m_lightColor = c;
    paintNow();
}

void TFxButton::setModalResult(int result)
{
    m_modalResult = result;
    m_kind = TFxButtonKind::bkCustom;
}

void TFxButton::setNumGlyphs(int n)
{
    m_numGlyphs = n;
    update();
}

QMenu* TFxButton::popupMenu() const
{
    return m_popupMenu.data();
}

QAction* TFxButton::action() const
{
    return m_action.data();
}

void TFxButton::setPopupMenu(QMenu* menu)
{
    m_popupMenu = menu;
    update();
}

void TFxButton::setShadowColor(Color c)
{
    m_shadowColor = c;
    paintNow();
}

void TFxButton::setSlowDecease(bool on)
{
    m_slowDecease = on;
    if (on) {
        m_hasFader = true;
    } else if (m_hasFader) {
        m_hotTrackStep = 0;
        m_fadeTimer->stop();
        m_hasFader = false;
    }
    update();
}

void TFxButton::setStyle(TFxButtonStyle s)
{
    m_style = s;
    update();
}

void TFxButton::setTabStop(bool on)
{
    m_tabStop = on;
    setFocusPolicy(on ? Qt::TabFocus : Qt::NoFocus);
}

void TFxButton::setWordWrap(bool on)
{
    m_wordWrap = on;
    paintNow();
}

void TFxButton::setAction(QAction* action)
{
    if (m_action)
        disconnect(m_action, nullptr, this, nullptr);
    m_action = action;
    if (!action)
        return;
    connect(action, &QAction::changed, this, &TFxButton::applyAction);
    applyAction();
}

void TFxButton::applyAction()
{
    if (!m_action)
        return;
    setCaption(m_action->text());
    setEnabled(m_action->isEnabled());
    setHint(m_action->toolTip());
    if (!m_action->isVisible() && !isHidden()) {
        m_hiddenByAction = true;
        hide();
    } else if (m_action->isVisible() && m_hiddenByAction) {
        m_hiddenByAction = false;
        show();
    }
    applyActionImage();
}

void TFxButton::applyActionImage()
{
    const QIcon icon = m_action ? m_action->icon() : QIcon();
    if (icon.isNull() || !m_glyph.isEmpty())
        return;
    const QList<QSize> sizes = icon.availableSizes();
    const QSize size = sizes.isEmpty() ? QSize(16, 16) : sizes.first();
    if (size.isEmpty())
        return;
    Bitmap image(size.width(), size.height(), clFuchsia);
    {
        QPainter p(&image.image());
        icon.paint(&p, QRect(QPoint(0, 0), size), Qt::AlignCenter, QIcon::Normal);
    }
    m_glyph = image;
    m_numGlyphs = 1;
    paintNow();
}

// --- clicking ------------------------------------------------------------------------------

bool TFxButton::visibleFlag() const
{
    return parentWidget() ? isVisibleTo(parentWidget()) : isVisible();
}

bool TFxButton::canReactToPointer() const
{
    return isEnabled() && visibleFlag() && parentWidget() && parentWidget()->isVisible();
}

void TFxButton::click()
{
    m_down = true;
    const bool acting = visibleFlag() && isEnabled();
    QPointer<TFxButton> self(this);
    performClick();
    if (!self)
        return;
    if (!acting) {
        // A refused click must not leave the button looking pressed.
        m_down = false;
        return;
    }
    if (m_action)
        m_action->trigger();
}

void TFxButton::performClick()
{
    if (!(visibleFlag() && isEnabled() && m_down))
        return;
    m_down = false;
    QPointer<TFxButton> self(this);
    if (onClick) {
        const NotifyEvent handler = onClick; // the handler may replace itself
        handler(this);
        if (!self)
            return;
    }
    Q_EMIT clicked();
    if (!self)
        return;
    if (m_modalResult != 0) {
        if (auto* dialog = qobject_cast<QDialog*>(window())) {
            if (dialog->isModal())
                dialog->done(m_modalResult);
            else
                dialog->setResult(m_modalResult);
        }
        if (!self)
            return;
    }
    if (m_popupMenu)
        m_popupMenu->popup(mapToGlobal(QPoint(0, height())));
}

bool TFxButton::dialogKey(int key, Qt::KeyboardModifiers mods)
{
    bool considered = false;
    if (isEnterKey(key) && m_default)
        considered = true;
    else if (key == Qt::Key_Escape && m_cancel
             && !(mods & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) && visibleFlag()
             && isEnabled())
        considered = true;
    if (!considered)
        return false;
    // A focused button of any kind keeps Enter to itself (Enter presses it); a radio button
    // does not. Escape goes to the cancel button all the same: a focused button does nothing
    // with it, and the window would take it as a plain close, past the cancel button's handler
    // and the question it may ask before work is thrown away.
    if (QWidget* active = isEnterKey(key) ? window()->focusWidget() : nullptr) {
        const QString cls = QString::fromLatin1(active->metaObject()->className()).toUpper();
        if (cls.contains(QLatin1String("BUTTON")) && !cls.contains(QLatin1String("RADIOBUTTON")))
            return false;
    }
    m_down = true;
    click();
    return true;
}

void TFxButton::watchWindow()
{
    QWidget* target = (m_default || m_cancel) ? window() : nullptr;
    if (target == this)
        target = nullptr;
    if (target == m_watchedWindow)
        return;
    if (m_watchedWindow)
        m_watchedWindow->removeEventFilter(this);
    m_watchedWindow = target;
    if (target)
        target->installEventFilter(this);
}

void TFxButton::updateShortcut()
{
    if (m_shortcutId != 0) {
        releaseShortcut(m_shortcutId);
        m_shortcutId = 0;
    }
    const QKeySequence seq = QKeySequence::mnemonic(m_caption);
    if (!seq.isEmpty())
        m_shortcutId = grabShortcut(seq);
}

// --- fade -------------------------------------------------------------------------------------

bool TFxButton::isFadeRunning() const
{
    return m_fadeTimer->isActive();
}

int TFxButton::fadeIntervalMs() const
{
    return m_fadeTimer->interval();
}

void TFxButton::hotTrackTick()
{
    if (m_destroying)
        return;
    --m_hotTrackStep;
    if (m_hotTrackStep <= 0) {
        m_fadeTimer->stop();
        m_hotTrackStep = 0;
    }
    paintNow();
}

// --- painting ---------------------------------------------------------------------------------

bool TFxButton::isHot() const
{
    return m_cursorOnButton || hasFocus();
}

void TFxButton::paintNow()
{
    if (!m_destroying && isVisible())
        repaint();
}

QImage TFxButton::composeFace() const
{
    const int w = width();
    const int h = height();
    if (w <= 0 || h <= 0)
        return QImage();
    Bitmap bitmap(w, h, isTransparentStyle(m_style) ? clFuchsia : clWhite);
    Font working{font(), m_fontColor};
    if (m_useHTFont && isHot())
        working = m_htFont;

    ButtonFace face;
    face.width = w;
    face.height = h;
    face.step = m_hotTrackStep;
    face.imageCount = m_numGlyphs;
    face.glyph = &m_glyph;
    face.pressed = m_down;
    face.hot = isHot();
    face.noBackground = false;
    face.enabled = isEnabled();
    face.flat = m_flat;
    face.wordWrap = m_wordWrap;
    face.dropDown = !m_popupMenu.isNull();
    face.style = m_style;
    face.faceColor = m_color;
    face.downColor = m_colorWhenDown;
    face.hotTrackColor = m_hotTrackColor;
    face.lightColor = m_lightColor;
    face.shadowColor = m_shadowColor;
    face.font = working;
    face.layout = m_layout;
    face.caption = m_caption;
    face.alignment = m_alignment;

    if (m_style == TFxButtonStyle::bsOld && hasFocus()) {
        // The focused classic button: the face one pixel smaller, shifted right and down
        // inside a black frame.
        face.width = w - 2;
        face.height = h - 2;
        if (m_down)
            face.lightColor = m_shadowColor;
        {
            Canvas canvas(bitmap);
            DrawButtonFace(canvas, face);
        }
        const Bitmap copy = bitmap;
        Canvas canvas(bitmap);
        canvas.draw(1, 1, copy);
        canvas.brush().style = BrushStyle::Clear;
        canvas.pen() = Pen{clBlack, 1, PenStyle::Solid};
        canvas.rectangle(Rect{0, 0, w, h});
    } else {
        Canvas canvas(bitmap);
        DrawButtonFace(canvas, face);
    }
    return bitmap.image();
}

bool TFxButton::wantsFocusRect() const
{
    return hasFocus() && isEnabled() && m_style != TFxButtonStyle::bsShape;
}

QImage TFxButton::renderFace() const
{
    QImage image = composeFace();
    if (!image.isNull() && wantsFocusRect()) {
        Canvas canvas(&image);
        canvas.drawFocusRect(Rect{4, 4, width() - 4, height() - 4});
    }
    return image;
}

void TFxButton::paintEvent(QPaintEvent*)
{
    if (m_destroying)
        return;
    const QImage image = composeFace();
    if (image.isNull())
        return;
    QPainter painter(this);
    if (isTransparentStyle(m_style)) {
        Bitmap b(image);
        b.setTransparent(true);
        b.setTransparentColor(clFuchsia);
        painter.drawImage(0, 0, b.toDrawable());
    } else {
        painter.drawImage(0, 0, image);
    }
    if (wantsFocusRect()) {
        Canvas canvas(painter);
        canvas.drawFocusRect(Rect{4, 4, width() - 4, height() - 4});
    }
}

// --- events -----------------------------------------------------------------------------------

bool TFxButton::event(QEvent* e)
{
    switch (e->type()) {
    case QEvent::Shortcut: {
        auto* se = static_cast<QShortcutEvent*>(e);
        if (m_shortcutId != 0 && se->shortcutId() == m_shortcutId) {
            if (visibleFlag() && isEnabled() && parentWidget() && parentWidget()->isVisible()) {
                m_down = true;
                click();
            }
            return true;
        }
        break;
    }
    case QEvent::ParentChange:
        watchWindow();
        break;
    default:
        break;
    }
    return QWidget::event(e);
}

bool TFxButton::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == m_watchedWindow && e->type() == QEvent::KeyPress) {
        auto* ke = static_cast<QKeyEvent*>(e);
        if ((isEnterKey(ke->key()) || ke->key() == Qt::Key_Escape) && dialogKey(ke->key(), ke->modifiers())) {
            ke->accept();
            return true;
        }
    }
    return QWidget::eventFilter(watched, e);
}

void TFxButton::mousePressEvent(QMouseEvent* e)
{
    e->accept();
    if (isEnabled() && e->button() == Qt::LeftButton) {
        m_down = true;
        setFocus(Qt::MouseFocusReason);
        paintNow();
    }
}

void TFxButton::mouseDoubleClickEvent(QMouseEvent* e)
{
    // The button has no double clicks: the second press is a press like the first.
    mousePressEvent(e);
}

void TFxButton::mouseReleaseEvent(QMouseEvent* e)
{
    e->accept();
    QPointer<TFxButton> self(this);
    if (m_down)
        click();
    if (!self)
        return;
    m_down = false;
    paintNow();
}

void TFxButton::keyPressEvent(QKeyEvent* e)
{
    const int key = e->key();
    if (isEnterKey(key) || key == Qt::Key_Space) {
        e->accept();
        if (isEnabled()) {
            m_down = true;
            m_keyDown = key;
            paintNow();
        }
        return;
    }
    QWidget::keyPressEvent(e);
}

void TFxButton::keyReleaseEvent(QKeyEvent* e)
{
    const int key = e->key();
    if (!isEnterKey(key) && key != Qt::Key_Space) {
        QWidget::keyReleaseEvent(e);
        return;
    }
    e->accept();
    if (e->isAutoRepeat())
        return; // a held key clicks once, when it is let go
    // Only the release of the key that pressed this button clicks it. A dialog that closed on
    // the key going down hands the focus back here before the key comes up; that release
    // belongs to the dialog's command, and clicking would run a command nobody gave.
    if (m_keyDown != key || !m_down) {
        m_keyDown = 0;
        return;
    }
    m_keyDown = 0;
    QPointer<TFxButton> self(this);
    click();
    if (self)
        paintNow();
}

void TFxButton::enterEvent(QEnterEvent* e)
{
    QWidget::enterEvent(e);
    if (!canReactToPointer())
        return;
    m_cursorOnButton = true;
    m_hotTrackStep = kHotTrackSteps;
    // The pointer is back: a fade still running from the last leave stops here, so that the
    // highlight stays while the pointer rests on the button.
    m_fadeTimer->stop();
    paintNow();
    if (onMouseEnter)
        onMouseEnter(this);
}

void TFxButton::leaveEvent(QEvent* e)
{
    QWidget::leaveEvent(e);
    m_cursorOnButton = false;
    if (m_slowDecease) {
        if (m_hasFader && !m_fadeTimer->isActive())
            m_fadeTimer->start();
    } else {
        m_hotTrackStep = 0;
        paintNow();
    }
    if (canReactToPointer() && onMouseExit)
        onMouseExit(this);
}

void TFxButton::focusInEvent(QFocusEvent* e)
{
    QWidget::focusInEvent(e);
    paintNow();
}

void TFxButton::focusOutEvent(QFocusEvent* e)
{
    QWidget::focusOutEvent(e);
    // A key held while the focus leaves is released elsewhere; it presses nothing here.
    if (m_keyDown != 0) {
        m_keyDown = 0;
        m_down = false;
    }
    paintNow();
}

void TFxButton::changeEvent(QEvent* e)
{
    QWidget::changeEvent(e);
    if (e->type() == QEvent::EnabledChange) {
        m_down = false;
        paintNow();
    }
}

void TFxButton::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    watchWindow();
}

void TFxButton::hideEvent(QHideEvent* e)
{
    QWidget::hideEvent(e);
    // A dialog that closes under the pointer sends its buttons no leave: the highlight would
    // still be there when the dialog opens again. A window shown under the pointer sends a
    // fresh enter.
    const bool wasOn = m_cursorOnButton;
    m_cursorOnButton = false;
    m_hotTrackStep = 0;
    m_fadeTimer->stop();
    if (wasOn && onMouseExit)
        onMouseExit(this);
}

} // namespace controls
