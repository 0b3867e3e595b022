#pragma once
// TFAbout: which gateway model this build configures, with its software code, version and
// manual code, and the maker's logo that opens the model's web page. Fixed English texts.
#include <QString>
#include <cstdint>

#include "platform/ui/Form.h"

class QLabel;

namespace platform {
class LinkLabel;
}

namespace controls {
class TFxButton;
}

namespace app {

using AppButton = controls::TFxButton;

struct AboutInfo {
    bool known = false;
    QString description; // Label2
    QString swCode;      // Label9
    QString version;     // Label10
    QString documentCode; // Label12
};
// The about box's line of a device type; `known` false for a type outside its table.
AboutInfo aboutInfo(int32_t deviceType);

class TFAbout : public platform::Form {
    Q_OBJECT
public:
    explicit TFAbout(QWidget* parent = nullptr);
    void Label4Click();

protected:
    void FormShow() override;
    void buildControls() override;

private:
    void placeRows();

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    platform::LinkLabel* Label4 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label8 = nullptr;
    QLabel* Label9 = nullptr;
    QLabel* Label10 = nullptr;
    QLabel* Label12 = nullptr;
    platform::LinkLabel* Image2 = nullptr;
    platform::LinkLabel* I_Quendal = nullptr;
    AppButton* FxButton1 = nullptr;
};

} // namespace app
