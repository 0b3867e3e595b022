#include "support/GuiState.h"

#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QFont>
#include <QLocale>
#include <QMimeData>
#include <QPalette>
#include <QStyle>
#include <QStyleFactory>
#include <QTest>
#include <QToolTip>
#include <QWidget>
#include <QWindow>
#include <gtest/gtest.h>

#include <array>
#include <optional>

namespace testing_support {

namespace {

constexpr std::array kEffects = {Qt::UI_General,       Qt::UI_AnimateMenu,    Qt::UI_FadeMenu,
                                 Qt::UI_AnimateCombo,  Qt::UI_AnimateTooltip, Qt::UI_FadeTooltip,
                                 Qt::UI_AnimateToolBox};

struct Snapshot {
    QFont font;
    QPalette palette;
    QString style;
    QLocale locale;
    QPoint cursor;
    int keyboardInputInterval = 0;
    std::array<bool, kEffects.size()> effects{};
};

std::optional<Snapshot>& snapshot()
{
    static std::optional<Snapshot> s;
    return s;
}

// Closes what a test left open that takes the input: popups (menus, drop-down lists) and modal
// windows shown without an event loop of their own. Bounded: a widget that refuses to close
// does not hang the run.
void closeInputGrabbers()
{
    for (int i = 0; i < 32; ++i) {
        QWidget* w = QApplication::activePopupWidget();
        if (!w)
            w = QApplication::activeModalWidget();
        if (!w)
            break;
        w->close();
        if (w->isVisible())
            w->hide();
    }
    QToolTip::hideText();
}

// QTest keeps the buttons it pressed in a global of its own; the application keeps those that
// came through the window system (QTest's QWindow overloads). Both are let go.
void releaseMouseButtons()
{
    QTestPrivate::qtestMouseButtons = Qt::NoButton;
    Qt::MouseButtons held = QGuiApplication::mouseButtons();
    if (held == Qt::NoButton)
        return;
    QWindow sink;
    sink.setGeometry(0, 0, 1, 1);
    sink.create();
    for (Qt::MouseButton b : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton, Qt::BackButton, Qt::ForwardButton}) {
        if (!held.testFlag(b))
            continue;
        held.setFlag(b, false);
        QTest::lastMouseTimestamp += QTest::mouseDoubleClickInterval;
        qt_handleMouseEvent(&sink, QPointF(0, 0), QPointF(sink.mapToGlobal(QPoint(0, 0))), held, b,
                            QEvent::MouseButtonRelease, Qt::NoModifier, QTest::lastMouseTimestamp);
    }
}

class GuiStateListener final : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override { restoreGuiState(); }
    void OnTestEnd(const ::testing::TestInfo&) override { restoreGuiState(); }
};

} // namespace

void installGuiStateReset()
{
    Snapshot s;
    s.font = QApplication::font();
    s.palette = QApplication::palette();
    s.style = QApplication::style()->name();
    s.locale = QLocale();
    s.cursor = QCursor::pos();
    s.keyboardInputInterval = QApplication::keyboardInputInterval();
    for (size_t i = 0; i < kEffects.size(); ++i)
        s.effects[i] = QApplication::isEffectEnabled(kEffects[i]);
    snapshot() = s;
    ::testing::UnitTest::GetInstance()->listeners().Append(new GuiStateListener);
}

void restoreGuiState()
{
    const std::optional<Snapshot>& s = snapshot();
    closeInputGrabbers();
    releaseMouseButtons();
    if (QWidget* f = QApplication::focusWidget())
        f->clearFocus();
    QApplication::setActiveWindow(nullptr);
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
    if (const QMimeData* m = QGuiApplication::clipboard()->mimeData(); m && !m->formats().isEmpty())
        QGuiApplication::clipboard()->clear();
    if (s) {
        if (QCursor::pos() != s->cursor)
            QCursor::setPos(s->cursor);
        if (QApplication::style()->name() != s->style)
            QApplication::setStyle(QStyleFactory::create(s->style));
        if (QApplication::font() != s->font)
            QApplication::setFont(s->font);
        if (QApplication::palette() != s->palette)
            QApplication::setPalette(s->palette);
        if (QLocale() != s->locale)
            QLocale::setDefault(s->locale);
        QApplication::setKeyboardInputInterval(s->keyboardInputInterval);
        for (size_t i = 0; i < kEffects.size(); ++i)
            QApplication::setEffectEnabled(kEffects[i], s->effects[i]);
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace testing_support
