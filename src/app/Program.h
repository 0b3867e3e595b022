#pragma once
// The program start: creates every window once, the main window first, and registers the
// others with it. The windows live until the program ends.
#include <QString>
#include <memory>

namespace app {

class TFVarnetoreFirmWare;

class Program {
public:
    // `programDir`: the folder of the program file (its MASTER, PROJECTS, LANGUAGE ... and the
    // settings file live there).
    explicit Program(const QString& programDir);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    TFVarnetoreFirmWare& mainWindow() { return *main_; }

private:
    std::unique_ptr<TFVarnetoreFirmWare> main_;
};

} // namespace app
