#include "app/OpenConf.h"

#include <QLabel>
#include <QListWidget>

#include "app/Button.h"
#include "app/Projects.h"
#include "platform/ui/Controls.h"
#include "workspace/Workspace.h"

namespace app {

using workspace::text;
using workspace::ws;

TFOpenConf::TFOpenConf(QWidget* parent) : platform::Form(parent)
{
    setObjectName(QStringLiteral("FOpenConf"));
    const QFont normal = platform::uiFont(QStringLiteral("Verdana"), 8);
    setFont(normal);
    QPalette grey;
    grey.setColor(QPalette::WindowText, QColor(128, 128, 128));
    L_SW_Code = platform::addLabel(this, QStringLiteral("L_SW_Code"), 8, 6, platform::uiFont(QStringLiteral("Verdana"), 12, true));
    L_SW_Code->setPalette(grey);
    L_SW_Desc = platform::addLabel(this, QStringLiteral("L_SW_Desc"), 8, 34, platform::uiFont(QStringLiteral("Verdana"), 8, true));
    Label1 = platform::addLabel(this, QStringLiteral("Label1"), 8, 60, normal);
    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListBox1->setGeometry(8, 78, 361, 222);
    Btn_OK = addButton(this, QStringLiteral("Btn_OK"), 208, 312, 75, 30);
    Btn_OK->setModalResult(platform::mrOk);
    Btn_Cancel = addButton(this, QStringLiteral("Btn_Cancel"), 294, 312, 75, 30);
    Btn_Cancel->setModalResult(platform::mrCancel);
    // The current line is the choice, whether it was clicked or reached with the keys, so
    // OK always opens the project the user sees selected.
    connect(ListBox1, &QListWidget::currentRowChanged, this, [this](int row) { ListBox1Click(row); });
    FormCreate();
}

void TFOpenConf::FormCreate()
{
    platform::setLabelText(L_SW_Code, ws().SW_Code);
    setClientSize(377, 351);
    Set_Lang();
}

void TFOpenConf::Set_Lang()
{
    setWindowTitle(text(33));
    platform::setLabelText(L_SW_Desc, text(34));
    platform::setLabelText(Label1, text(35));
    Btn_OK->setCaption(text(36));
    Btn_Cancel->setCaption(text(37));
}

void TFOpenConf::FormShow()
{
    const workspace::Workspace& w = ws();
    names_ = Load_Existing_Configuration(w.Projects_Dir);
    {
        const QSignalBlocker quiet(ListBox1);
        ListBox1->clear();
        ListBox1->addItems(names_);
    }
    const int found = Search_Open_Conf(names_, openProjectName(w.Project_Dir, w.Projects_Dir));
    const int row = found >= 0 ? found : (names_.isEmpty() ? -1 : 0);
    if (row >= 0) {
        ListBox1->setCurrentRow(row);
        Name_Conf = names_[row];
    }
}

void TFOpenConf::ListBox1Click(int row)
{
    if (row >= 0 && row < ListBox1->count())
        Name_Conf = ListBox1->item(row)->text();
}

} // namespace app
