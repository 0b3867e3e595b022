#pragma once
// TFDMXDefVal: the DMX default values (device type 18) on the table frame
// (tables/frame/window/TableDialog.h), with the description and check of
// tables/dmx/DmxTables.h. One grid of one row per channel, OK and Cancel only; the channel
// count is read from the general parameters at each showing.
#include "tables/frame/window/TableDialog.h"

namespace tables::dmx {

class TFDMXDefVal : public TTableDialog {
    Q_OBJECT
public:
    explicit TFDMXDefVal(QWidget* parent = nullptr);

protected:
    void showing() override;
    std::optional<Failure> checkRow(const RowView& row) override;
};

} // namespace tables::dmx
