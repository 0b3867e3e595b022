#pragma once
// TFParGen, the general parameters window ("Set Communication"): the parameters of the
// program's device type in stacked group boxes, loaded from the project's ParGen.xml each time
// the window is shown and written back whole when the user confirms with OK.
//
// The window is thin: the values go through the model (parameters/ParGen.h), the checks are
// `Controllo_Dati` (parameters/ParGenCheck.h) and the placing of the boxes is the plain layout
// of parameters/window/ParGenLayout.h. What remains here is the wiring of the controls:
//
// - Putting a text into an edit or changing a check box in code runs its handler exactly as a
//   user's edit does; choosing a list position in code runs none (platform/ui/controls). So the
//   loading calls the BACnet-type handler itself after choosing the type, and again lays out
//   device type 21, whose layout follows the "M-Bus on Wire" list.
// - `Is_Change` is set by every handler and cleared at the end of loading; Cancel asks before
//   leaving a changed window.
// - A damaged ParGen.xml opens with the values of a project without the file and an error box
//   saying it could not be read; the damaged file stays until OK writes a new one.
// - OK with a value that fails its check shows the message and keeps every value as typed and
//   the focus where it was; nothing is written.
// - Escape is Cancel (with its question); the close box leaves without a question.
//
// Use from the main window:
//     auto* parGen = new parameters::TFParGen(mainWindow);   // at start, after the texts (cheap:
//                                                             // the controls wait for the show)
//     parGen->Set_Lang();                                     // on every change of language
//     parGen->showModal();                                    // "Set Communication"
#include "parameters/window/ParGenLayout.h"
#include "platform/ui/Form.h"
#include "platform/ui/controls/Controls.h"

#include <QHash>
#include <QString>
#include <array>

namespace controls {
class TFxButton;
}

namespace parameters {

struct ParGen;

class TFParGen : public platform::Form {
    Q_OBJECT
public:
    explicit TFParGen(QWidget* parent = nullptr);
    ~TFParGen() override;

    void Set_Lang() override;

    // Handlers, public so that the main window and tests can drive the window as a user would.
    void FormActivate();
    void Btn_OK_Click();
    void Btn_Cancel_Click();
    void KeyPress(platform::ctl::Edit& sender, QChar& key);
    void On_Change(QObject* sender);
    void On_Click(QObject* sender);
    int Used_Bytes_Configuration();
    void Collapse_Expand_Creation();
    void RePosition_Objects();
    void Btn_GB_Collapse(QObject* sender);
    void Btn_GB_Expande(QObject* sender);

    bool Is_Change = false;

    // The controls by their names ("E_IP1", "CB_BACnet_Type" ...); null for an unknown name or
    // a control of another kind. The controls are made on the first show; asking for one
    // before makes them.
    platform::ctl::Edit* edit(const QString& name) const;
    platform::ctl::ComboBox* combo(const QString& name) const;
    platform::ctl::CheckBox* check(const QString& name) const;
    platform::ctl::Label* label(const QString& name) const;
    platform::ctl::Button* foldButton(const QString& name) const;
    platform::ctl::GroupBox* box(Box b) const;
    controls::TFxButton* okButton() const;
    controls::TFxButton* cancelButton() const;

    // The values the controls show, as the model of the file.
    ParGen values() const;

protected:
    void FormShow() override;
    void buildControls() override;
    // Escape is Cancel, asking when something changed; the close box leaves without asking.
    void keyPressEvent(QKeyEvent* e) override;
    bool event(QEvent* e) override;

private:
    void FormCreate();
    void createControls();
    QWidget* control(const QString& name) const;
    void showValues(const ParGen& p);
    LayoutChoices choices() const;
    void applyLayout();
    // Labels whose text would run under the field beside them take a smaller font.
    void fitLabels();

    ParGenLayout layout_;
    std::array<platform::ctl::GroupBox*, kBoxCount> boxes_{};
    QHash<QString, QWidget*> controls_;
    platform::ctl::Label* L_SW_Code = nullptr;
    platform::ctl::Label* L_SW_Desc = nullptr;
    controls::TFxButton* Btn_OK = nullptr;
    controls::TFxButton* Btn_Cancel = nullptr;
};

} // namespace parameters
