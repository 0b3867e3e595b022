#pragma once
// Small helpers for the standard controls the windows place by pixel: fonts named in points
// as on the gateway's original desktop (96 dots per inch), labels that size themselves to
// their text, clickable link labels and plain frames.
#include <QColor>
#include <QFont>
#include <QFrame>
#include <QLabel>
#include <QString>

namespace platform {

// The family when it is installed, else the program's fallback "DejaVu Sans". Each family is
// looked up once per run: every control of every window asks, and a lookup is slow.
QString installedFamily(const QString& family);

// A font of `points` at 96 dpi, as a pixel size, so that a window keeps its geometry
// whatever the screen's resolution or the family actually used.
QFont uiFont(const QString& family, int points, bool bold = false);

// Fills the window's background with a plain colour.
void setBackgroundColor(QWidget* w, const QColor& c);

// A label that fits its text (like an auto-sized label) at left, top; its text is plain, never
// markup.
QLabel* addLabel(QWidget* parent, const QString& objectName, int left, int top, const QFont& font);
// Sets the text and fits the label to it.
void setLabelText(QLabel* label, const QString& text);

// The heading of the small windows: the software code in grey (Verdana 12 bold) at 8,6 and a
// bold description (Verdana 8) below it at 8,34, named L_SW_Code and L_SW_Desc.
struct Heading {
    QLabel* code = nullptr;
    QLabel* description = nullptr;
};
Heading addHeading(QWidget* parent);

// A label that runs a click handler; shown in link blue with a hand cursor.
class LinkLabel : public QLabel {
    Q_OBJECT
public:
    explicit LinkLabel(QWidget* parent = nullptr);
Q_SIGNALS:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* e) override;
};

// A rectangle (frame) or a line, drawn in a plain colour.
QFrame* addShape(QWidget* parent, const QString& objectName, int left, int top, int width, int height,
                 const QColor& color, bool filled);

} // namespace platform
