#include "controls/grid/dropdown/rules/DropDownTypes.h"

namespace controls::grid::dropdown {

bool ModalResultCloses(int modalResult)
{
    switch (modalResult) {
    case mrOk:
    case mrCancel:
    case mrAbort:
    case mrIgnore:
    case mrYes:
    case mrNo:
    case mrAll:
    case mrNoToAll:
    case mrYesToAll:
        return true;
    default:
        return false;
    }
}

bool ModalResultCancels(int modalResult)
{
    return modalResult == mrCancel || modalResult == mrAbort || modalResult == mrIgnore || modalResult == mrNo ||
           modalResult == mrNoToAll;
}

} // namespace controls::grid::dropdown
