#pragma once
// TSpeedButton: the small push button the editors put beside their text. It takes no focus;
// pressed with the left button it shows down while the mouse stays over it, and released over
// itself it clicks. It is hot while the mouse is over it. Descendants paint it and may change
// what a press and a release do.
#include <QWidget>
#include <functional>

namespace controls::grid {

class TSpeedButton : public QWidget {
    Q_OBJECT

public:
    explicit TSpeedButton(QWidget* parent);

    bool Down() const { return m_pressed && m_over; }
    bool Hot() const { return m_hot; }
    bool Flat = false;
    std::function<void(TSpeedButton* sender)> OnClick;
    virtual void Click();

protected:
    // The left button went down on the button.
    virtual void MouseDown() {}
    // The left button came up; over: on the button itself (a click by default).
    virtual void MouseUp(bool over);

    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void enterEvent(QEnterEvent* e) override;
    void leaveEvent(QEvent* e) override;

private:
    bool m_pressed = false;
    bool m_over = false;
    bool m_hot = false;
};

} // namespace controls::grid
