#include "platform/ui/Application.h"

#include "platform/text/UserError.h"
#include "platform/ui/Dialogs.h"

namespace platform {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {}

bool Application::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        const QString text = escapedErrorText(std::current_exception());
        // A box that fails to show must not end the program either.
        try {
            showError(text);
        } catch (...) {
        }
        return true;
    }
}

QString escapedErrorText(const std::exception_ptr& error)
{
    try {
        std::rethrow_exception(error);
    } catch (const UserError& e) {
        return e.message();
    } catch (const std::exception& e) {
        const QString what = QString::fromLocal8Bit(e.what());
        return what.isEmpty() ? QStringLiteral("Error!") : what;
    } catch (...) {
    }
    return QStringLiteral("Error! An unexpected error ended the operation.");
}

} // namespace platform
