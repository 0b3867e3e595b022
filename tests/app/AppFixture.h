#pragma once
// A main window created in a temporary program folder for one device type, with the message
// boxes, file dialogs, processes and clock replaced, and every modal showing recorded.
#include <QLabel>
#include <QStringList>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "app/Button.h"
#include "app/VarnetoreFirmWare.h"
#include "controls/button/FxButton.h"
#include "controls/grid/column/ColumnGrid.h"
#include "platform/ui/Form.h"
#include "support/FakeDialogs.h"
#include "support/FakeProcess.h"
#include "support/TempDir.h"
#include "tables/frame/window/TableDialog.h"
#include "workspace/Workspace.h"

namespace app_test {

// A stand-in for a window of a later subsystem.
class ProbeForm : public platform::Form {
public:
    explicit ProbeForm(const QString& name, QWidget* parent = nullptr) : platform::Form(parent)
    {
        setObjectName(name);
    }
    int langCalls = 0;
    void Set_Lang() override { ++langCalls; }
};

// Records every modal showing and lets a test act in the shown window.
class ModalRecorder {
public:
    ModalRecorder()
    {
        previous_ = platform::setModalDriver([this](platform::Form& f) {
            shown.push_back(f.objectName());
            auto it = actions.find(f.objectName());
            if (it != actions.end())
                it->second(f);
            else
                f.setModalResult(defaultResult);
        });
    }
    ~ModalRecorder() { platform::setModalDriver(previous_); }
    ModalRecorder(const ModalRecorder&) = delete;
    ModalRecorder& operator=(const ModalRecorder&) = delete;

    QStringList shown;
    std::map<QString, std::function<void(platform::Form&)>> actions;
    int defaultResult = platform::mrOk;

private:
    platform::ModalDriver previous_;
};

struct AppEnv {
    explicit AppEnv(int deviceType) : scoped(deviceType) {}
    testing_support::TempDir programDir;
    workspace::ScopedWorkspace scoped;
    testing_support::FakeMessageBoxes boxes;
    testing_support::FakeFileDialogs files;
    testing_support::FakeProcesses processes;
    testing_support::FakeClock clock;
    ModalRecorder modal;
};

inline QString labelText(const QWidget& w, const char* name)
{
    const auto* l = w.findChild<QLabel*>(QLatin1String(name));
    return l ? l->text() : QStringLiteral("<no label %1>").arg(QLatin1String(name));
}

inline QString settingsXml(const QString& project, const QString& internet, const QString& update)
{
    return QStringLiteral("<Conf_Settings><lastproj><projectname>%1</projectname></lastproj>"
                          "<lastipadd><ipaddress>10.0.0.7</ipaddress></lastipadd>"
                          "<lastlang><language>English</language></lastlang>"
                          "<lastinternet><enable_internet>%2</enable_internet><enable_update>%3</enable_update>"
                          "<enable_jump_field_tables>0</enable_jump_field_tables>"
                          "<Double_Click_Auto_Size>0</Double_Click_Auto_Size></lastinternet></Conf_Settings>")
        .arg(project, internet, update);
}

// A table window as its user meets it in the program: `button` of the main window opens
// `window` (a table dialog), `cells` go into row 1 of grid `section` from column 1 on, OK saves;
// opened again the row is back, and Cancel leaves the file alone. Returns the file saved in the
// project "P1" as `file`.
inline QByteArray saveFirstRowThroughButton(AppEnv& env, app::TFVarnetoreFirmWare& m, const char* button,
                                            const char* window, const char* file, const QStringList& cells,
                                            int section = 0)
{
    env.modal.shown.clear();
    env.modal.actions[QLatin1String(window)] = [&](platform::Form& f) {
        auto& d = static_cast<tables::TTableDialog&>(f);
        EXPECT_EQ(d.currentSection(), section);
        for (int c = 1; c <= cells.size(); ++c)
            d.grid(section)->SetCells(c, 1, cells[c - 1]);
        d.Btn_OK->click();
    };
    m.Btn_Click(m.button(QLatin1String(button)));
    EXPECT_EQ(env.modal.shown, QStringList{QLatin1String(window)});
    EXPECT_TRUE(env.boxes.texts().isEmpty()) << env.boxes.texts().join('|').toStdString();
    const QString path = QStringLiteral("PROJECTS/P1/") + QLatin1String(file);
    const QByteArray saved = env.programDir.read(path);
    env.modal.actions[QLatin1String(window)] = [&](platform::Form& f) {
        auto& d = static_cast<tables::TTableDialog&>(f);
        EXPECT_EQ(d.grid(section)->Cells(2, 1), cells[1]);
        d.Btn_Cancel->click();
    };
    m.Btn_Click(m.button(QLatin1String(button)));
    EXPECT_EQ(env.programDir.read(path), saved);
    return saved;
}

} // namespace app_test
