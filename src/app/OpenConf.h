#pragma once
// TFOpenConf: lists the project folders and returns the chosen name in Name_Conf.
#include <QString>
#include <QStringList>

#include "app/ProjectDialog.h"

class QListWidget;

namespace app {

class TFOpenConf : public ProjectDialog {
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
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void ListBox1Click(int row);

    QStringList names_;
};

} // namespace app
