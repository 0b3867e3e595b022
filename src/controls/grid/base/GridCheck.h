#pragma once
// TExtStringGridCheck: the base of components that check or correct cell texts of a string grid
// (word or format checkers). A grid with one attached hands it each cell text; this base
// changes nothing, descendants override the four operations. The five switches tell the grid
// whether to call Correct and MarkError, to write their results back, and to move to a cell
// with an error.
#include <QObject>
#include <QString>

namespace controls::grid {

class TExtStringGridCheck : public QObject {
public:
    explicit TExtStringGridCheck(QObject* owner = nullptr) : QObject(owner) {}

    bool AutoCorrect = false;
    bool AutoMarkError = false;
    bool GotoCell = false;
    bool UseCorrect = false;
    bool UseMarkError = false;

    virtual QString MarkError(int /*col*/, int /*row*/, const QString& text) { return text; }
    virtual QString Correct(int /*col*/, int /*row*/, const QString& text) { return text; }
    virtual void StartCheck() {}
    virtual void StopCheck() {}
};

} // namespace controls::grid
