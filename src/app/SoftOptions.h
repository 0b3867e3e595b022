#pragma once
// TFSoftOptions: the software options. The user picks the language of the user interface from
// the language files present (six to a page, each with its flag), switches the internet
// connection and the update check at start on or off, checks for an update by hand, and sets
// two table options. A picked language takes effect in every window at once; it, and the
// options, are kept only when the window closes with OK (the main window then saves the
// settings and arms or stops its update timer).
#include <QString>
#include <QStringList>
#include <array>
#include <functional>

#include "app/UpdateCheck.h"
#include "platform/ui/Form.h"

class QLabel;
class QStackedWidget;
class QTabBar;

namespace platform {
class LinkLabel;
namespace ctl {
class CheckBox;
}
} // namespace platform

namespace controls {
class TFxButton;
}

namespace app {

using AppButton = controls::TFxButton;

class TFSoftOptions : public platform::Form {
    Q_OBJECT
public:
    explicit TFSoftOptions(QWidget* parent = nullptr);

    void Set_Lang() override;

    // --- events ---
    void Btn_OKClick();
    void Btn_NextClick(QWidget* sender); // Btn_Prev and Btn_Next
    void LangClick(int slot);            // slot 1..6, its picture or its label
    void CB_En_ConClick();               // any of the four check boxes
    void Btn_Check_UpdateClick();
    void LL_Check_UpdateLinkClick(const QString& link);

    void Create_Lang_List();
    void Update_Lang_Page(int Num_Page);
    void Update_CheckBox();

    // True when the server offers a newer version of this software. While a check runs, a
    // second one (the main window's timer firing meanwhile) answers false at once.
    bool Check_Version();
    // The same check with its failure told apart (Check now shows it).
    UpdateCheckResult checkForUpdate();

    // Re-labels every window after a change of language; set by the program to the main
    // window's Change_Language. Without it only this window is re-labelled.
    std::function<void()> changeLanguage;
    // Where the update check asks.
    UpdateServer server = defaultUpdateServer();

    QString Language_In_Use;
    int Show_Page = 1;
    const QStringList& languageList() const { return langList_; }

protected:
    void FormShow() override;

private:
    void FormCreate();
    void showTab(int index);

    QStringList langList_;
    bool checking_ = false;
    QString checkUpdateLink_;

    QLabel* L_SW_Code = nullptr;
    QLabel* L_SW_Desc = nullptr;
    QTabBar* PC_Options = nullptr;
    QStackedWidget* pages_ = nullptr;
    QWidget* TS_Language = nullptr;
    QWidget* TS_Con_Options = nullptr;
    QWidget* TS_Soft_Settings = nullptr;
    QLabel* L_Sel_Lang = nullptr;
    QLabel* L_Page_Lang = nullptr;
    std::array<platform::LinkLabel*, 6> I_L{};
    std::array<platform::LinkLabel*, 6> L_L{};
    AppButton* Btn_Prev = nullptr;
    AppButton* Btn_Next = nullptr;
    platform::ctl::CheckBox* CB_En_Con = nullptr;
    platform::ctl::CheckBox* CB_Update = nullptr;
    AppButton* Btn_Check_Update = nullptr;
    platform::LinkLabel* LL_Check_Update = nullptr;
    platform::ctl::CheckBox* CB_Soft_Set_Jump_Table = nullptr;
    platform::ctl::CheckBox* CB_DoubleClick_Auto_Size = nullptr;
    AppButton* Btn_OK = nullptr;
    AppButton* Btn_Cancel = nullptr;
};

} // namespace app
