#pragma once
// A pseudo-terminal pair for serial-port tests: the program under test opens `slavePath()` as
// its port, the test plays the device on the master side.
#include <QByteArray>
#include <QString>

namespace testing_support {

class PseudoTerminal {
public:
    PseudoTerminal(); // fails the test (ADD_FAILURE) when no pair can be had
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    QString slavePath() const { return slavePath_; }
    int master() const { return master_; }
    // Writes all bytes on the master side.
    void write(const QByteArray& bytes) const;
    // Reads what the master has received, waiting at most `waitMs` for at least `atLeast` bytes.
    QByteArray read(int atLeast, int waitMs) const;

private:
    int master_ = -1;
    int keepOpen_ = -1; // a slave descriptor that keeps the pair alive between opens
    QString slavePath_;
};

} // namespace testing_support
