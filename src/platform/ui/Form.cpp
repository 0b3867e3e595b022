#include "platform/ui/Form.h"

#include <QCloseEvent>

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

Form::Form(QWidget* parent) : QDialog(parent)
{
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setSizeGripEnabled(false);
}

int Form::showModal()
{
    setResult(mrNone);
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

void Form::setClientSize(int width, int height) { setFixedSize(width, height); }

void Form::reject() { setModalResult(mrCancel); }

void Form::closeEvent(QCloseEvent* e)
{
    if (result() == mrNone)
        setResult(mrCancel);
    QDialog::closeEvent(e);
}

} // namespace platform
