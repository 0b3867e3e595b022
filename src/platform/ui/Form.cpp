#include "platform/ui/Form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QShowEvent>
#include <QTimer>
#include <algorithm>

namespace platform {

namespace {
ModalDriver& driver()
{
    static ModalDriver d;
    return d;
}
} // namespace

ModalDriver setModalDriver(ModalDriver d)
{
    ModalDriver previous = std::move(driver());
    driver() = std::move(d);
    return previous;
}

Qt::WindowFlags dialogWindowFlags()
{
    // Without CustomizeWindowHint a window manager adds its default buttons (minimise,
    // maximise) whatever else the flags say.
    return Qt::Dialog | Qt::CustomizeWindowHint | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
}

namespace {

class RestoreWhenMinimised final : public QObject {
public:
    explicit RestoreWhenMinimised(QWidget* window) : QObject(window), window_(window)
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        if (watched == window_ && e->type() == QEvent::WindowStateChange && window_->isMinimized() &&
            window_->isVisible()) {
            // After the state change has run its course: the window manager has just unmapped
            // the window, and mapping it again brings it (and, with openbox, its parent) back.
            QTimer::singleShot(0, window_, [w = window_] {
                if (!w->isMinimized())
                    return;
                w->setWindowState(w->windowState() & ~Qt::WindowMinimized);
                w->raise();
                w->activateWindow();
            });
        }
        return false;
    }

private:
    QWidget* window_;
};

} // namespace

void keepRestored(QWidget* window)
{
    static const char* const kMark = "keepRestored";
    if (!window || window->property(kMark).toBool())
        return;
    window->setProperty(kMark, true);
    new RestoreWhenMinimised(window);
}

void keepInsideScreen(QWidget* window)
{
    if (!window)
        return;
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const QRect frame = window->frameGeometry();
    int x = frame.x();
    int y = frame.y();
    if (x + frame.width() > area.x() + area.width())
        x = area.x() + area.width() - frame.width();
    if (y + frame.height() > area.y() + area.height())
        y = area.y() + area.height() - frame.height();
    x = std::max(x, area.x());
    y = std::max(y, area.y());
    if (x != frame.x() || y != frame.y())
        window->move(x, y);
}

Form::Form(QWidget* parent) : QDialog(parent)
{
    setWindowFlags(dialogWindowFlags());
    setSizeGripEnabled(false);
    keepRestored(this);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now && now != this && now->window() == this && (now->focusPolicy() & Qt::ClickFocus))
            inputFocus_ = now;
    });
}

QWidget* Form::inputFocus() const
{
    QWidget* w = inputFocus_.data();
    if (!w || w->window() != this)
        return nullptr;
    // An editor that has closed since (a grid's cell editor ends when a button is pressed)
    // leaves the keys to the control that held it.
    while (w && w != this && !(w->isVisibleTo(this) && w->isEnabled() && (w->focusPolicy() & Qt::ClickFocus)))
        w = w->parentWidget();
    return w != this ? w : nullptr;
}

void Form::ensureControls()
{
    if (controlsBuilt_)
        return;
    // Set first: the build ends with Set_Lang(), which labels only built controls.
    controlsBuilt_ = true;
    buildControls();
}

void Form::setVisible(bool visible)
{
    if (visible)
        ensureControls();
    QDialog::setVisible(visible);
}

int Form::showModal()
{
    ensureControls();
    setResult(mrNone);
    // The button pressed to end the last showing (a button takes the focus when pressed) still
    // holds the window's focus, and a window shown again gives the keys back to it: typing would
    // go nowhere and Enter would press it again. Dropped, the focus starts where the first
    // showing had it, unless FormShow() puts it somewhere.
    if (QWidget* w = focusWidget(); w && w != this && !(w->focusPolicy() & Qt::ClickFocus))
        w->clearFocus();
    showingModal_ = true;
    FormShow();
    if (driver()) {
        ModalDriver d = driver(); // a copy: the driver may install another one
        d(*this);
    } else if (result() == mrNone) {
        exec();
    }
    showingModal_ = false;
    return result();
}

void Form::setModalResult(int result)
{
    setResult(result);
    if (result != mrNone && showingModal_ && isVisible())
        done(result);
}

void Form::setClientSize(int width, int height)
{
    const QSize before = size();
    setFixedSize(width, height);
    // A re-layout that grows the window must not push its buttons off the screen.
    if (size() != before && isVisible())
        keepInsideScreen(this);
}

void Form::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (!e->spontaneous())
        keepInsideScreen(this);
}

void Form::reject() { setModalResult(mrCancel); }

void Form::closeEvent(QCloseEvent* e)
{
    if (result() == mrNone)
        setResult(mrCancel);
    QDialog::closeEvent(e);
}

} // namespace platform
