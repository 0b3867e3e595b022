#pragma once
// The program's application object. Its event delivery is the one place where an error that
// escapes a window's event handler ends: the error's message is shown in an error box and the
// event loop goes on with the next event, so no handler can end the program by throwing.
// (The main window's command handler catches its own errors first; every other window relies
// on this.)
#include <QApplication>
#include <QString>
#include <exception>

namespace platform {

class Application : public QApplication {
    Q_OBJECT
public:
    Application(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// The text of the error box for an error that escaped a handler.
QString escapedErrorText(const std::exception_ptr& error);

} // namespace platform
