#pragma once
// TFBootTCP: the Ethernet update wizard. Page 1 asks for the gateway's IPv4 address and checks
// that it answers echo requests; page 2 takes the choice of writes and read-backs, and Update
// hands the work to the updater: the common Ethernet_Update.exe driven by Ethernet_Update.xml,
// or the model's own updater driven by its arguments. The wizard waits for the updater.
//
// The address fields must hold four decimal numbers 0..255 before the ping, Next and Update;
// what is passed on is built from those numbers. Ping and Next are off while a check runs.
// Next goes on only with the address the last check found: changing a field clears the check.
#include "update/IpAddress.h"
#include "update/UpdateWizard.h"

#include <QString>
#include <cstdint>
#include <optional>

class QLabel;
class QWidget;

namespace platform::ctl {
class Edit;
} // namespace platform::ctl

namespace controls {
class TFxButton;
}

namespace update {

class TFBootTCP : public UpdateWizard {
    Q_OBJECT
public:
    explicit TFBootTCP(QWidget* parent = nullptr);

    // BACnet_Type of the project's general parameters; the main window sets it before showing.
    uint32_t BACnetType = 0;
    // State of the last echo: 0 none yet, 1 answered, 2 not answered.
    int32_t ping_ = 0;
    // The last ping check found the gateway at the address the fields still hold; Next needs it.
    bool Esegui_Ping = false;

    void Set_Lang() override;

    void FxButton1Click(); // Ping
    void FxButton2Click(); // Next
    void FxButton4Click(); // Update

    // The address in the four fields, or no value when a field is not a number 0..255.
    std::optional<Ipv4Address> fieldAddress() const;

    QLabel* L_IP_Address = nullptr;
    platform::ctl::Edit* E_IP1 = nullptr;
    platform::ctl::Edit* E_IP2 = nullptr;
    platform::ctl::Edit* E_IP3 = nullptr;
    platform::ctl::Edit* E_IP4 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* L_Ping = nullptr;
    controls::TFxButton* Btn_Ping = nullptr;
    QLabel* LPing = nullptr;

protected:
    void FormShow() override;

private:
    QList<QWidget*> page1() const;
    void showPingResult(int textIndex, bool found);
    void addressChanged();
    void startCommonUpdater(bool is102, const Ipv4Address& address);

    std::optional<Ipv4Address> checkedAddress_;
};

} // namespace update
