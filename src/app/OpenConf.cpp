#include "app/OpenConf.h"

#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>

#include "app/Button.h"
#include "app/Projects.h"
#include "platform/ui/Controls.h"
#include "workspace/Workspace.h"

namespace app {

using workspace::ws;

TFOpenConf::TFOpenConf(QWidget* parent) : ProjectDialog(QStringLiteral("FOpenConf"), 60, parent)
{
    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListBox1->setGeometry(8, 78, 361, 222);
    addButtons(208, 312);
    Btn_OK->setModalResult(platform::mrOk);
    // The current line is the choice, whether it was clicked or reached with the keys, so
    // OK always opens the project the user sees selected.
    connect(ListBox1, &QListWidget::currentRowChanged, this, [this](int row) { ListBox1Click(row); });
    // Enter in the list does what OK does.
    ListBox1->installEventFilter(this);
    FormCreate(377, 351);
}

bool TFOpenConf::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == ListBox1 && e->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(e)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            Btn_OK->click();
            return true;
        }
    }
    return ProjectDialog::eventFilter(watched, e);
}

void TFOpenConf::Set_Lang() { setTexts(33); }

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
