#pragma once
// TFOpenConf: lists the project folders and returns the chosen name in Name_Conf.
#include <QString>
#include <QStringList>

#include "platform/ui/Form.h"

class QLabel;
class QListWidget;

namespace controls {
class TFxButton;
}

namespace app {

using AppButton = controls::TFxButton;

class TFOpenConf : public platform::Form {
    Q_OBJECT
public:
    explicit TFOpenConf(QWidget* parent = nullptr);

    // The chosen project name, read by the main window after OK. Keeps its value when the
    // list is empty.
    QString Name_Conf;

    void Set_Lang() override;
    const QStringList& names() const { return names_; }
    QListWidget* ListBox1 = nullptr;

protected:
    void FormShow() override;

private:
    void FormCreate();
    void ListBox1Click(int row);

    QStringList names_;
    QLabel* L_SW_Code = nullptr;
    QLabel* L_SW_Desc = nullptr;
    QLabel* Label1 = nullptr;
    AppButton* Btn_OK = nullptr;
    AppButton* Btn_Cancel = nullptr;
};

} // namespace app
