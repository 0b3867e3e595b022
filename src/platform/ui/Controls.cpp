#include "platform/ui/Controls.h"

#include <QFontDatabase>
#include <QHash>
#include <QMouseEvent>
#include <QPalette>
#include <cmath>

namespace platform {

QString installedFamily(const QString& family)
{
    // Asking the font database resolves the family through fontconfig every time (about a tenth
    // of a millisecond); the windows ask for the same few families for every control they
    // create, so each family is looked up once. The installed fonts do not change while the
    // program runs. Windows are made on the user-interface thread only.
    static QHash<QString, QString> known;
    const auto found = known.constFind(family);
    if (found != known.constEnd())
        return found.value();
    const QString used = QFontDatabase::hasFamily(family) ? family : QStringLiteral("DejaVu Sans");
    known.insert(family, used);
    return used;
}

QFont uiFont(const QString& family, int points, bool bold)
{
    QFont f(installedFamily(family));
    f.setPixelSize(std::max(1, static_cast<int>(std::lround(points * 96.0 / 72.0))));
    f.setBold(bold);
    return f;
}

void setBackgroundColor(QWidget* w, const QColor& c)
{
    QPalette p = w->palette();
    p.setColor(QPalette::Window, c);
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

QLabel* addLabel(QWidget* parent, const QString& objectName, int left, int top, const QFont& font)
{
    auto* l = new QLabel(parent);
    l->setObjectName(objectName);
    // The labels show names the user chose (a project folder may be called "<b>Plant"):
    // never read as markup.
    l->setTextFormat(Qt::PlainText);
    l->setFont(font);
    l->move(left, top);
    l->adjustSize();
    return l;
}

Heading addHeading(QWidget* parent)
{
    Heading h;
    QPalette grey;
    grey.setColor(QPalette::WindowText, QColor(128, 128, 128));
    h.code = addLabel(parent, QStringLiteral("L_SW_Code"), 8, 6, uiFont(QStringLiteral("Verdana"), 12, true));
    h.code->setPalette(grey);
    h.description = addLabel(parent, QStringLiteral("L_SW_Desc"), 8, 34, uiFont(QStringLiteral("Verdana"), 8, true));
    return h;
}

void setLabelText(QLabel* label, const QString& text)
{
    label->setText(text);
    label->adjustSize();
}

LinkLabel::LinkLabel(QWidget* parent) : QLabel(parent)
{
    setCursor(Qt::PointingHandCursor);
    setTextFormat(Qt::PlainText);
    QPalette link = palette();
    link.setColor(QPalette::WindowText, QColor(0, 0, 255));
    setPalette(link);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* e)
{
    QLabel::mouseReleaseEvent(e);
    if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()))
        Q_EMIT clicked();
}

QFrame* addShape(QWidget* parent, const QString& objectName, int left, int top, int width, int height,
                 const QColor& color, bool filled)
{
    auto* f = new QFrame(parent);
    f->setObjectName(objectName);
    f->setGeometry(left, top, width, height);
    if (filled) {
        f->setFrameShape(QFrame::NoFrame);
        f->setAutoFillBackground(true);
        QPalette p = f->palette();
        p.setColor(QPalette::Window, color);
        f->setPalette(p);
    } else {
        f->setFrameShape(QFrame::Box);
        f->setLineWidth(1);
        QPalette p = f->palette();
        p.setColor(QPalette::WindowText, color);
        f->setPalette(p);
    }
    return f;
}

} // namespace platform
