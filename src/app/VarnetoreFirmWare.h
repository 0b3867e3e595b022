#pragma once
// TFVarnetoreFirmWare: the main window. Its creation prepares the whole workspace (UI texts,
// the layout of the device type, the program's folders, the settings, the model's identity,
// the language, the last project, the project file paths) before any other window exists;
// then it numbers the work in steps and runs one command per button (Btn_Click).
//
// The other windows are created by the program start and registered here by number
// (Windows.h). The companion-file writers, the image builder and the fields of the wizards and
// the scan window reach the commands through `Services`; a command whose window or service is
// not registered shows an error box saying that the function is not available in this build.
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <array>
#include <functional>

#include "app/Windows.h"

class QLabel;
class QFrame;
namespace platform {
class Form;
class LinkLabel;
class Timer;
} // namespace platform

namespace controls {
class TFxButton;
}

namespace app {

using AppButton = controls::TFxButton;

class TFVarnetoreFirmWare : public QWidget {
    Q_OBJECT
public:
    // What later subsystems lend to the commands. Every member may be empty.
    struct Services {
        // Build_Bin then Save_Bin of the device type: the paths of the images written. A
        // failure that ends the build throws (platform::UserError).
        std::function<QStringList()> buildImages;
        // Sets the Ethernet update wizard's BACnetType before it is shown.
        std::function<void(int bacnetType)> setBootTcpBACnetType;
        // Sets XML_Code_Dev, FileName_MBus and Form_Type of the scan window.
        std::function<void(int xmlCodeDev, const QString& fileNameMBus, int formType)> setScanFields;
        // Writers of the exports, given the full file name.
        std::function<void(const QString&)> Write_BACnet_Objects_Map;
        std::function<void(const QString&)> Write_BACnet_EDE_File;
        std::function<void(const QString&)> Write_PROFINET_Map_File;
        std::function<void(const QString&)> Write_EDS_File;
        // Writers that ask for their file themselves.
        std::function<void()> Create_GSD_File;
        std::function<void()> Create_MIB_File;
        // The GSDML file name chosen in TFProfinetFileName, and its writer.
        std::function<QString()> profinetFileName;
        std::function<void(const QString&)> Create_PROFINET_XML;
        // The update check that Timer_Update runs: true when a newer version is available.
        std::function<bool()> Check_Version;
    };

    // Runs FormCreate with `programDir` as the program's folder.
    explicit TFVarnetoreFirmWare(const QString& programDir, QWidget* parent = nullptr);
    ~TFVarnetoreFirmWare() override;

    void registerWindow(WindowId id, platform::Form* window);
    platform::Form* window(WindowId id) const;
    Services& services() { return services_; }

    // --- commands -------------------------------------------------------------------------
    void Btn_Click(QWidget* sender);
    void Create_New_Project();
    void Open_Project();
    void Update_Device();
    void Enable_BDT_Table();
    void BACnet_Objects_Map();
    void BACnet_EDE_File();
    void PROFINET_Map_130();
    void Build_EDS_File();
    void PROFINET_XML();
    void L_OstrelClick();
    void LL_UpdateLinkClick(const QString& Link);
    // The update check shows a newer version's link with this.
    void showUpdateLink(const QString& caption, const QString& link);
    void Change_Language();
    void Set_Lang();

    // Looks a button up by its name (Btn_New ...); null for an unknown name.
    AppButton* button(const QString& name) const;

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void FormCreate(const QString& programDir);
    void FormShow();
    void FormClose();
    void createControls();
    void applyFixedLayout();
    void applyDeviceLayout();
    void orderTabStops();
    void showActiveConfiguration();
    void showModalWindow(WindowId id);
    void exportCsv(const std::function<void(const QString&)>& writer);
    void applyUpdateTimerRule();

public:
    // The update timer's handler: checks for a newer version, shows or hides LL_Update, and
    // runs again two hours after the check.
    void Timer_UpdateTimer();

private:
    void runCommand(const QString& name);

    Services services_;
    std::array<QPointer<platform::Form>, kWindowCount> windows_{};
    bool shownOnce_ = false;

    QLabel* L_SW_Code = nullptr;
    QLabel* L_SW_Desc = nullptr;
    QLabel* L_Begin = nullptr;
    QLabel* L_Name_Conf = nullptr;
    QLabel* L_Name_Conf_L2 = nullptr;
    std::array<QLabel*, 9> L_Step{};
    platform::LinkLabel* L_Ostrel = nullptr;
    platform::LinkLabel* LL_Update = nullptr;
    QLabel* I_Quendal = nullptr;
    QFrame* Shape1 = nullptr;
    QFrame* Shape2 = nullptr;
    platform::Timer* Timer_Update = nullptr;
    QString updateLink_;
    std::vector<AppButton*> buttons_;
};

} // namespace app
