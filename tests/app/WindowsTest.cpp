// What every window the program builds has in common, checked for every device type on the
// windows of the program start: the title bar's buttons, the buttons' look, and labels that
// no other control covers.
#include <QAbstractButton>
#include <QAbstractItemView>
#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <gtest/gtest.h>

#include "app/AppFixture.h"
#include "app/Program.h"
#include "app/Windows.h"
#include "controls/button/FormButton.h"
#include "workspace/DeviceTypes.h"

using namespace app;
using namespace app_test;

namespace {

// The program's windows: the main window and every registered one.
std::vector<QWidget*> windowsOf(TFVarnetoreFirmWare& main)
{
    std::vector<QWidget*> l{&main};
    for (int id = 2; id <= kWindowCount; ++id)
        if (platform::Form* f = main.window(static_cast<WindowId>(id)))
            l.push_back(f);
    return l;
}

// A control a label's text can be covered by (containers, panels and drawn shapes are not).
bool isControl(const QWidget* w)
{
    return qobject_cast<const QLabel*>(w) || qobject_cast<const QLineEdit*>(w) || qobject_cast<const QComboBox*>(w) ||
           qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QAbstractItemView*>(w) ||
           qobject_cast<const controls::TFxButton*>(w);
}

bool shown(const QWidget* w) { return w->isVisibleTo(w->window()); }

QRect inWindow(const QWidget* w, const QRect& r) { return QRect(w->mapTo(w->window(), r.topLeft()), r.size()); }

// The rectangle the ink of the label's text takes, in window coordinates: a line box placed
// by the label's alignment, narrowed to the glyphs.
QRect textRect(const QLabel* l)
{
    const QFontMetrics fm(l->font());
    if (l->wordWrap())
        return inWindow(l, fm.boundingRect(l->contentsRect(), int(l->alignment()) | Qt::TextWordWrap, l->text()));
    const QRect line = QStyle::alignedRect(l->layoutDirection(), l->alignment(),
                                           QSize(fm.horizontalAdvance(l->text()), fm.height()), l->contentsRect());
    return inWindow(l, fm.tightBoundingRect(l->text()).translated(line.x(), line.y() + fm.ascent()));
}

// The part of a control that can be seen: its rectangle cut by every container up to the
// window.
QRect visibleRect(const QWidget* w)
{
    QRect r = inWindow(w, w->rect());
    for (const QWidget* p = w->parentWidget(); p && !p->isWindow(); p = p->parentWidget())
        r &= inWindow(p, p->rect());
    return r;
}

QString describe(const QWidget* w, const QRect& r)
{
    return QStringLiteral("%1 (%2,%3 %4x%5)")
        .arg(w->objectName())
        .arg(r.x())
        .arg(r.y())
        .arg(r.width())
        .arg(r.height());
}

// Every label of the window whose text another shown control covers: "label / control".
QStringList coveredLabels(const QWidget* window)
{
    QStringList found;
    const QList<QWidget*> all = window->findChildren<QWidget*>();
    for (const QLabel* l : window->findChildren<QLabel*>()) {
        if (l->window() != window || !shown(l) || l->text().trimmed().isEmpty() || !l->pixmap().isNull())
            continue;
        const QRect text = textRect(l) & visibleRect(l);
        for (const QWidget* other : all) {
            if (other == l || other->window() != window || !shown(other) || !isControl(other) ||
                other->isAncestorOf(l) || l->isAncestorOf(other))
                continue;
            // A label is see-through: only its own text can cover another label's text.
            const auto* otherLabel = qobject_cast<const QLabel*>(other);
            const QRect covering = otherLabel && otherLabel->pixmap().isNull() ? textRect(otherLabel) & visibleRect(other)
                                                                               : visibleRect(other);
            if (covering.intersects(text))
                found << describe(l, text) + QStringLiteral(" / ") + describe(other, covering);
        }
    }
    return found;
}

// Shows the window as its command does, with FormShow, and hands it to `check`.
void showAndCheck(QWidget* w, const std::function<void(QWidget*)>& check)
{
    if (auto* f = qobject_cast<platform::Form*>(w)) {
        platform::ModalDriver previous = platform::setModalDriver([&](platform::Form& form) {
            form.show();
            check(&form);
            form.setModalResult(platform::mrCancel);
        });
        f->showModal();
        platform::setModalDriver(previous);
        f->hide();
    } else {
        w->show();
        check(w);
        w->hide();
    }
}

} // namespace

TEST(ProgramWindows, TitleBarsShowTheCloseButtonOnly)
{
    AppEnv env(3);
    Program program(env.programDir.path());
    for (QWidget* w : windowsOf(program.mainWindow())) {
        const Qt::WindowFlags f = w->windowFlags();
        if (f & Qt::FramelessWindowHint)
            continue; // borderless (the key of a wireless meter): no title bar at all
        EXPECT_TRUE(f & Qt::CustomizeWindowHint) << w->objectName().toStdString();
        EXPECT_TRUE(f & Qt::WindowCloseButtonHint) << w->objectName().toStdString();
        EXPECT_FALSE(f & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)) << w->objectName().toStdString();
    }
}

TEST(ProgramWindows, EveryButtonHasTheWindowLook)
{
    AppEnv env(3);
    Program program(env.programDir.path());
    const controls::ButtonLook& look = controls::windowButtonLook();
    int buttons = 0;
    for (QWidget* w : windowsOf(program.mainWindow()))
        for (const controls::TFxButton* b : w->findChildren<controls::TFxButton*>()) {
            ++buttons;
            const std::string where = (w->objectName() + QLatin1Char('.') + b->objectName()).toStdString();
            EXPECT_EQ(b->color(), look.face) << where;
            EXPECT_EQ(b->hotTrackColor(), look.hotTrack) << where;
            EXPECT_EQ(b->colorWhenDown(), look.down) << where;
            EXPECT_EQ(b->style(), look.style) << where;
        }
    EXPECT_GT(buttons, 60);
}

TEST(ProgramWindows, NoLabelTextIsCoveredByAnotherControl)
{
    for (int type : workspace::deviceTypes()) {
        AppEnv env(type);
        Program program(env.programDir.path());
        for (QWidget* w : windowsOf(program.mainWindow()))
            showAndCheck(w, [type](QWidget* shownWindow) {
                EXPECT_EQ(coveredLabels(shownWindow), QStringList())
                    << "device type " << type << ", window " << shownWindow->objectName().toStdString();
            });
    }
}
