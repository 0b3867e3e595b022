#pragma once
// The scan's settings, its meter lists and the two notifications it sends the window.
#include "mbus/decode/Meters.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <vector>

namespace mbus::scan {

using decode::Key128;
using decode::TMBusType;
using decode::TRadioModule;
using decode::TSlave_MBus;
using decode::TSlave_wMBus;
using decode::TVariable_MBus;

enum class TScanType : uint8_t { saPrimaryAddress = 0, saSecondaryAddress = 1 };
// The gateway over UDP, or a serial port of this machine.
enum class TSelectHard : uint8_t { shEthernet = 0, shSerial = 1 };

// A list that the scan's threads and the user-interface thread share: every access takes the
// list's lock for as long as `with` runs. Notifications are never sent while a lock is held.
template <class T>
class GuardedList {
public:
    template <class F>
    decltype(auto) with(F&& f)
    {
        std::lock_guard lk(m_);
        return f(items_);
    }
    template <class F>
    decltype(auto) with(F&& f) const
    {
        std::lock_guard lk(m_);
        return f(static_cast<const std::vector<T>&>(items_));
    }
    size_t size() const
    {
        std::lock_guard lk(m_);
        return items_.size();
    }
    void clear()
    {
        std::lock_guard lk(m_);
        items_.clear();
    }

private:
    mutable std::mutex m_;
    std::vector<T> items_;
};

// The meters a scan finds: wired ones filed by the scan's thread, wireless ones by its UDP
// listener. The window reads them, and empties them before a new scan.
struct ScanLists {
    GuardedList<TSlave_MBus> List_Slave_MBus;
    GuardedList<TSlave_wMBus> List_Slave_wMBus;
};

// Wired progress: (Event, Value, Found, Kind); see TMBusScanDecode.
using TSlaveListProc = std::function<void(int Event, int Value, int Found, int Kind)>;
// A wireless telegram was filed: the meter's index in List_Slave_wMBus and the meter, or no
// meter when the scan was started for a caller that takes the index only. The meter does not
// change while the notification runs.
using TWirelessSlaveProc = std::function<void(int Index, const TSlave_wMBus* Meter)>;

// How the meters go into the project's M_Bus.xml.
struct TSaveConfXML {
    int32_t Append = 0;       // 1: add to the nodes of File_Name
    int32_t XML_Code_Dev = 0; // device code of the window
    int32_t Mod_Start = 0;    // first register number
    int32_t Index_Baud = 0;
    int32_t Index_Par = 0;
    int32_t Node_ID_Type = 0;
    int32_t SND_NKE = 0;
    int32_t Reset_App = 0;
    int32_t Cut_After = 0;
    int32_t StartModnode = 0; // 1: each node starts its registers at its SMN_Array entry
    std::vector<int32_t> SMN_Array;
    bool En_NodeState = false;
    bool En_IdeNum = false;
    QString File_Name;
};

// Whether the user has checked a meter (record -1) or one of its records in the scan window's
// tree; no value when the item has no tree node, which counts as checked.
using TreeChecks = std::function<std::optional<bool>(int meter, int record)>;

} // namespace mbus::scan
