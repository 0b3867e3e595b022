// The M-Bus network editor window offscreen, as a person uses it: shown on a project's
// M_Bus.xml, clicked through its tree, filled in and confirmed; the file it writes compared
// with a golden one; Cancel, delete, import, copy and paste, the unit proposals and picker.
#include "mbus/Golden.h"
#include "controls/button/FxButton.h"
#include "controls/pages/ExtPageControl.h"
#include "mbus/window/UMeter_Bus.h"
#include "mbus/window/UNewIDNode.h"
#include "mbus/window/WideComboBox.h"
#include "platform/ui/controls/TreeView.h"
#include "platform/xml/XmlDom.h"
#include "support/FakeDialogs.h"
#include "support/TempDir.h"
#include "tables/bacnet/window/EngUnitPicker.h"
#include "workspace/LangTexts.h"
#include "workspace/Workspace.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>
#include <map>

using namespace mbus;
using platform::MsgAnswer;
using testing_support::TempDir;

namespace {

// The elements, attributes and comments of a document in order, one a line, so that two files
// compare alike whatever their indentation.
QString canonical(const QByteArray& bytes)
{
    platform::XmlDocument doc;
    if (!doc.loadBytes(bytes))
        return QStringLiteral("<not XML>");
    QStringList lines;
    std::function<void(const platform::XmlNode&, int)> walk = [&](const platform::XmlNode& n, int depth) {
        for (int i = 0; i < n.childCount(); ++i) {
            const platform::XmlNode c = n.child(i);
            if (c.isElement()) {
                QString line = QString(depth * 2, QLatin1Char(' ')) + c.name();
                for (int a = 0; a < c.attributeCount(); ++a)
                    line += QStringLiteral(" %1=\"%2\"").arg(c.attributeName(a), c.attributeValue(a));
                lines << line;
                walk(c, depth + 1);
            } else if (c.kind() == platform::XmlNodeKind::Comment) {
                lines << QString(depth * 2, QLatin1Char(' ')) + QStringLiteral("<!--") + c.text() + QStringLiteral("-->");
            }
        }
    };
    for (int i = 0; i < doc.childCount(); ++i) {
        const platform::XmlNode c = doc.child(i);
        if (c.isElement()) {
            QString line = c.name();
            for (int a = 0; a < c.attributeCount(); ++a)
                line += QStringLiteral(" %1=\"%2\"").arg(c.attributeName(a), c.attributeValue(a));
            lines << line;
            walk(c, 1);
        } else if (c.kind() == platform::XmlNodeKind::Comment) {
            lines << QStringLiteral("<!--") + c.text() + QStringLiteral("-->");
        }
    }
    return lines.join(QLatin1Char('\n'));
}

// A user's pick in a selection box: the item chosen and the box's handler run.
void pick(WideComboBox* box, int index)
{
    box->setItemIndex(index);
    if (box->onChange)
        box->onChange(*box);
}

class MeterBusWindow : public ::testing::Test {
protected:
    void TearDown() override { platform::setModalDriver(previous_); }

    // A project of device type `type` whose M_Bus.xml is the fixture (none for an empty name).
    void project(int type, const char* fixture)
    {
        scoped_ = std::make_unique<workspace::ScopedWorkspace>(type);
        workspace::Default_Texts();
        workspace::ws().SW_Code = QStringLiteral("GS30120");
        path_ = dir_.file(QStringLiteral("M_Bus.xml"));
        workspace::ws().Path_M_Bus = path_;
        if (fixture && *fixture)
            dir_.write(QStringLiteral("M_Bus.xml"), testing_support::dataFile(QLatin1String(fixture)));
        window_ = std::make_unique<TFMeter_Bus>();
        newId_ = std::make_unique<TFNewIDNode>(window_.get());
        window_->FNewIDNode = newId_.get();
        picker_ = std::make_unique<tables::TFBACnet_Eng_Unit>();
        window_->engUnitPicker = [this] { return picker_.get(); };
        previous_ = platform::setModalDriver([this](platform::Form& f) {
            if (f.objectName() == QLatin1String("FMeter_Bus")) {
                if (user_)
                    user_(static_cast<TFMeter_Bus&>(f));
            } else if (auto it = nested_.find(f.objectName()); it != nested_.end()) {
                it->second(f);
            }
        });
    }
    // Shows the editor; `user` acts in it. The modal result.
    int show(std::function<void(TFMeter_Bus&)> user)
    {
        user_ = std::move(user);
        return window_->showModal();
    }
    QByteArray file() const { return dir_.read(QStringLiteral("M_Bus.xml")); }
    QStringList captions(QTreeWidgetItem* item) const
    {
        QStringList l;
        for (int i = 0; i < item->childCount(); ++i)
            l << item->child(i)->text(0);
        return l;
    }
    void click(TFMeter_Bus& w, int node, int variable = -1)
    {
        QTreeWidgetItem* item = variable >= 0 ? w.variableItem(node, variable) : node >= 0 ? w.nodeItem(node) : w.NODE_ORIG;
        ASSERT_TRUE(item);
        w.TW->select(item);
    }

    TempDir dir_;
    QString path_;
    std::unique_ptr<workspace::ScopedWorkspace> scoped_;
    testing_support::FakeMessageBoxes boxes_;
    testing_support::FakeFileDialogs files_;
    std::unique_ptr<TFMeter_Bus> window_;
    std::unique_ptr<TFNewIDNode> newId_;
    std::unique_ptr<tables::TFBACnet_Eng_Unit> picker_;
    std::function<void(TFMeter_Bus&)> user_;
    std::map<QString, std::function<void(platform::Form&)>> nested_;
    platform::ModalDriver previous_;
};

} // namespace

TEST_F(MeterBusWindow, ShowsTheNetworkAndTheSelectionSetsPagesAndButtons)
{
    project(1, "mbus/M_Bus_1.xml");
    EXPECT_EQ(window_->windowTitle(), QStringLiteral("M-Bus Network"));
    show([this](TFMeter_Bus& w) {
        EXPECT_EQ(w.NODE_ORIG->text(0), QStringLiteral("M-Bus Network"));
        EXPECT_TRUE(w.NODE_ORIG->isExpanded());
        EXPECT_EQ(captions(w.NODE_ORIG), (QStringList{QStringLiteral("ID 5 - Heat meter"), QStringLiteral("ID 1 - Water")}));
        EXPECT_EQ(captions(w.nodeItem(0)).at(0), QStringLiteral("VAR - Energy"));
        EXPECT_EQ(captions(w.nodeItem(1)), QStringList{QStringLiteral("VAR - Flow")});
        EXPECT_EQ(w.btn_Add_Node->caption(), QStringLiteral("ADD NODE"));
        EXPECT_FALSE(w.CB_SelDev->isVisibleTo(&w));
        EXPECT_FALSE(w.CB_MBus_Type->isVisibleTo(&w));

        click(w, 0);
        EXPECT_EQ(w.btn_Add_Node->caption(), QStringLiteral("MODIFY NODE"));
        EXPECT_EQ(w.btn_Add_Var->caption(), QStringLiteral("ADD VARIABLE"));
        EXPECT_EQ(w.ExtPageControl1->activePage(), w.ExtTabSheet1);
        EXPECT_EQ(w.E_New_Node_Desc->text(), QStringLiteral("Heat meter"));
        EXPECT_EQ(w.E_New_Node_ID_Pri->text(), QStringLiteral("5"));
        EXPECT_EQ(w.E_New_Node_ID_Sec->text(), QStringLiteral("12345678"));
        EXPECT_TRUE(w.RB_ID_Primary->isChecked());
        EXPECT_EQ(w.CB_Cut_After->text(), QStringLiteral("250"));
        EXPECT_EQ(w.E_BACnet_EngUnit->text(), QStringLiteral("95"));

        click(w, 0, 0);
        EXPECT_EQ(w.btn_Add_Node->caption(), QStringLiteral("ADD NODE"));
        EXPECT_EQ(w.btn_Add_Var->caption(), QStringLiteral("MODIFY VARIABLE"));
        EXPECT_EQ(w.ExtPageControl1->activePage(), w.ExtTabSheet2);
        EXPECT_EQ(w.E_New_Var_Desc->text(), QStringLiteral("Energy"));
        EXPECT_EQ(w.E_Sto_Num->text(), QStringLiteral("4294967295"));
        EXPECT_EQ(w.E_BACnet_EngUnit->text(), QStringLiteral("18"));
        EXPECT_TRUE(w.CB_Var_ToD->isVisibleTo(w.ExtTabSheet2));
        EXPECT_FALSE(w.CB_BACnet_DataType->isVisibleTo(w.ExtTabSheet2));

        // Water is read by position: the other layout.
        click(w, 1, 0);
        EXPECT_TRUE(w.RB_ID_Secondary->isChecked());
        EXPECT_FALSE(w.CB_Var_ToD->isVisibleTo(w.ExtTabSheet2));
        EXPECT_TRUE(w.CB_BACnet_DataType->isVisibleTo(w.ExtTabSheet2));
        EXPECT_EQ(w.E_Position->text(), QStringLiteral("7"));
        EXPECT_EQ(w.CB_BACnet_DataType->text(), QStringLiteral("Positive Integer"));

        // The root: adding again; the page stays.
        click(w, -1);
        EXPECT_EQ(w.btn_Add_Node->caption(), QStringLiteral("ADD NODE"));
        EXPECT_EQ(w.btn_Add_Var->caption(), QStringLiteral("ADD VARIABLE"));
        EXPECT_EQ(w.ExtPageControl1->activePage(), w.ExtTabSheet2);
        EXPECT_TRUE(w.CB_Enable_Node->isChecked());
        EXPECT_FALSE(w.CB_SND_NKE->isChecked());
        EXPECT_EQ(w.E_New_Node_Desc->text(), QStringLiteral("Water")); // kept
        w.FxButton4Click();
    });
    EXPECT_TRUE(boxes_.shown().empty());
}

TEST_F(MeterBusWindow, DeviceType21ShowsTheWirelessPanelForAWirelessNode)
{
    project(21, "mbus/M_Bus_21.xml");
    show([this](TFMeter_Bus& w) {
        EXPECT_EQ(captions(w.NODE_ORIG),
                  (QStringList{QStringLiteral("ID 5 - Heat meter"), QStringLiteral("wM-Bus Node - Address 4294967295 - Water")}));
        EXPECT_TRUE(w.CB_MBus_Type->isVisibleTo(&w));
        click(w, 1);
        EXPECT_EQ(w.CB_MBus_Type->text(), QStringLiteral("wM-Bus"));
        EXPECT_TRUE(w.P_wMBus_Node->isVisibleTo(w.ExtTabSheet1));
        EXPECT_FALSE(w.RB_ID_Primary->isVisibleTo(w.ExtTabSheet1));
        EXPECT_EQ(w.E_wMBus_ManID->text(), QStringLiteral("11571"));
        EXPECT_EQ(w.E_wMBus_K[1]->text(), QStringLiteral("17"));
        EXPECT_TRUE(w.CB_wMBus_EnKey->isChecked());
        EXPECT_GT(w.btn_Add_Node->y(), w.P_wMBus_Node->y() + w.P_wMBus_Node->height() - 1);
        click(w, 0);
        EXPECT_FALSE(w.P_wMBus_Node->isVisibleTo(w.ExtTabSheet1));
        EXPECT_TRUE(w.RB_ID_Primary->isVisibleTo(w.ExtTabSheet1));
        // Switching the type by hand switches the rows.
        pick(w.CB_MBus_Type, 0);
        EXPECT_TRUE(w.P_wMBus_Node->isVisibleTo(w.ExtTabSheet1));
        w.FxButton4Click();
    });
}

TEST_F(MeterBusWindow, OkWritesTheNetworkAsEdited)
{
    project(1, "mbus/M_Bus_1.xml");
    const int result = show([this](TFMeter_Bus& w) {
        // A new node typed on the node page.
        click(w, -1);
        w.E_New_Node_Desc->setText(QStringLiteral("Boiler"));
        w.E_New_Node_ID_Pri->setText(QStringLiteral("7"));
        w.CB_Node_State->setChecked(true);
        pick(w.CB_Cut_After, 2);
        w.btn_Add_Node->click();
        ASSERT_EQ(w.NODE_ORIG->childCount(), 3);
        EXPECT_EQ(w.nodeItem(2)->text(0), QStringLiteral("ID 7 - Boiler"));
        // Its variable, the unit proposed by the type of data.
        click(w, 2);
        w.E_New_Var_Desc->setText(QStringLiteral("Flow temperature"));
        pick(w.CB_Var_ToD, 12);
        EXPECT_EQ(w.E_BACnet_EngUnit->text(), QStringLiteral("62"));
        w.E_Sto_Num->setText(QStringLiteral("2"));
        w.btn_Add_Var->click();
        EXPECT_EQ(captions(w.nodeItem(2)), QStringList{QStringLiteral("VAR - Flow temperature")});
        // An existing variable modified, then copied to the new node.
        click(w, 0, 0);
        w.E_New_Var_Desc->setText(QStringLiteral("Energy total"));
        w.btn_Add_Var->click();
        EXPECT_EQ(w.variableItem(0, 0)->text(0), QStringLiteral("VAR - Energy total"));
        w.CopyVariable1Click();
        click(w, 2);
        w.PasteVariable1Click();
        EXPECT_EQ(w.nodeItem(2)->childCount(), 2);
        // A node modified: the caption as typed.
        click(w, 1);
        w.E_New_Node_ID_Sec->setText(QStringLiteral("3"));
        w.btn_Add_Node->click();
        EXPECT_EQ(w.nodeItem(1)->text(0), QStringLiteral("ID 3 - Water"));
        EXPECT_TRUE(w.Is_Change());
        w.Btn_OK->click();
    });
    EXPECT_EQ(result, platform::mrOk);
    EXPECT_TRUE(boxes_.shown().empty()) << boxes_.texts().join(QLatin1Char('|')).toStdString();
    const QString golden = QStringLiteral("mbus/window/M_Bus_edited_1.xml");
    if (qEnvironmentVariableIsSet("VN_UPDATE_GOLDEN"))
        mbus_test::expectGolden(golden, file());
    EXPECT_EQ(canonical(file()), canonical(testing_support::dataFile(golden)));
    // Shown again, the tree is as left.
    show([this](TFMeter_Bus& w) {
        EXPECT_EQ(captions(w.NODE_ORIG), (QStringList{QStringLiteral("ID 5 - Heat meter"), QStringLiteral("ID 3 - Water"),
                                                      QStringLiteral("ID 7 - Boiler")}));
        EXPECT_FALSE(w.Is_Change());
        w.FxButton4Click();
    });
}

TEST_F(MeterBusWindow, RefusedEntriesShowTheirMessageAndChangeNothing)
{
    project(1, "mbus/M_Bus_1.xml");
    const QByteArray before = file();
    show([this](TFMeter_Bus& w) {
        click(w, -1);
        w.E_New_Node_Desc->setText(QStringLiteral("Clash"));
        w.E_New_Node_ID_Pri->setText(QStringLiteral("1")); // Water selects itself by secondary 1
        w.btn_Add_Node->click();
        EXPECT_EQ(boxes_.texts(), QStringList{QStringLiteral("Error!! ID Node is already used ")});
        EXPECT_EQ(w.NODE_ORIG->childCount(), 2);
        click(w, 0, 0);
        w.E_Tariff->setText(QStringLiteral("1048576"));
        w.btn_Add_Var->click();
        EXPECT_EQ(boxes_.texts().last(), QStringLiteral("Error!! Tariff must be between 0x00000 and 0xFFFFF "));
        EXPECT_EQ(w.E_Tariff->text(), QStringLiteral("1048576")); // the page keeps what was typed
        EXPECT_FALSE(w.Is_Change());
        // Copy Node with the root selected, Paste Variable with nothing copied.
        click(w, -1);
        w.CopyNode1Click();
        EXPECT_EQ(boxes_.texts().last(), QStringLiteral("Error! Select a Node"));
        w.PasteVariable1Click();
        EXPECT_EQ(boxes_.texts().last(), QStringLiteral("Error! Copy a Variable before"));
        EXPECT_FALSE(w.PM_CopyPaste->item(QStringLiteral("PasteVariable1"))->isEnabled());
        w.FxButton4Click();
    });
    EXPECT_EQ(file(), before);
}

TEST_F(MeterBusWindow, DeletingAsksAndCancelAsksOnlyAfterAChange)
{
    project(1, "mbus/M_Bus_1.xml");
    const QByteArray before = file();
    // Nothing changed: Cancel closes without a question.
    EXPECT_EQ(show([](TFMeter_Bus& w) { w.Btn_Cancel->click(); }), platform::mrCancel);
    EXPECT_TRUE(boxes_.shown().empty());

    show([this](TFMeter_Bus& w) {
        // A variable, then its node: the selection moves on as the tree's does.
        click(w, 0, 1);
        boxes_.answer(MsgAnswer::Yes);
        w.btn_Delete_ItemClick();
        EXPECT_EQ(boxes_.texts().last(), QStringLiteral("Are you sure to want to cancel this Variable?"));
        EXPECT_EQ(captions(w.nodeItem(0)), (QStringList{QStringLiteral("VAR - Energy"), QStringLiteral("VAR - Volt°")}));
        EXPECT_EQ(w.E_New_Var_Desc->text(), QStringLiteral("Volt°"));
        click(w, 0);
        boxes_.answer(MsgAnswer::No);
        w.btn_Delete_ItemClick();
        EXPECT_EQ(w.NODE_ORIG->childCount(), 2);
        boxes_.answer(MsgAnswer::Yes);
        w.btn_Delete_ItemClick();
        EXPECT_EQ(boxes_.texts().last(), QStringLiteral("Are you sure to want to cancel this Node?"));
        EXPECT_EQ(captions(w.NODE_ORIG), QStringList{QStringLiteral("ID 1 - Water")});
        EXPECT_EQ(w.btn_Add_Node->caption(), QStringLiteral("MODIFY NODE"));
        EXPECT_EQ(w.E_New_Node_Desc->text(), QStringLiteral("Water"));
        // Everything, from the root.
        click(w, -1);
        boxes_.answer(MsgAnswer::Yes);
        w.btn_Delete_ItemClick();
        EXPECT_EQ(boxes_.texts().last(), QStringLiteral("Are you sure to want to cancel all Nodes?"));
        EXPECT_EQ(w.NODE_ORIG->childCount(), 0);
        EXPECT_EQ(w.NODE_ORIG->text(0), QStringLiteral("M-Bus Network"));
        // Escape is Cancel, also while the button just pressed has the focus: it asks too.
        const int asked = int(boxes_.texts().size());
        w.btn_Add_Node->setFocus(Qt::MouseFocusReason);
        boxes_.answer(MsgAnswer::No);
        QTest::keyClick(w.btn_Add_Node, Qt::Key_Escape);
        ASSERT_EQ(int(boxes_.texts().size()), asked + 1);
        EXPECT_EQ(boxes_.texts().last(), QStringLiteral("Do you want to exit without saving changes?"));
        EXPECT_EQ(w.modalResult(), platform::mrNone);
        // Cancel now asks; No keeps the window, Yes closes without writing.
        boxes_.answer(MsgAnswer::No);
        w.Btn_Cancel->click();
        EXPECT_EQ(boxes_.texts().last(), QStringLiteral("Do you want to exit without saving changes?"));
        EXPECT_EQ(w.modalResult(), platform::mrNone);
        boxes_.answer(MsgAnswer::Yes);
        w.Btn_Cancel->click();
        EXPECT_EQ(w.modalResult(), platform::mrCancel);
    });
    EXPECT_EQ(file(), before);
}

TEST_F(MeterBusWindow, ImportTakesOnlyAFileThatReadsAsANetwork)
{
    project(1, "mbus/M_Bus_1.xml");
    const QByteArray before = file();
    const QString broken = dir_.write(QStringLiteral("broken.xml"), "<M-Bus_Network><Nodo Descrizione=");
    const QString notNetwork = dir_.write(QStringLiteral("other.xml"), "<ParGen><IP>1</IP></ParGen>");
    const QString good = dir_.write(
        QStringLiteral("good.xml"), "<M-Bus_Network><Nodo Descrizione=\"Imported\" ID_Primary=\"9\" Extra=\"kept\"/></M-Bus_Network>");
    show([&](TFMeter_Bus& w) {
        for (const QString& path : {broken, notNetwork}) {
            files_.choose(path);
            w.Btn_ImportNet->click();
            EXPECT_TRUE(boxes_.texts().last().contains(QFileInfo(path).fileName())) << boxes_.texts().last().toStdString();
            EXPECT_EQ(file(), before);
            EXPECT_EQ(w.NODE_ORIG->childCount(), 2);
        }
        // Cancelling the file dialog does nothing.
        boxes_.clear();
        w.Btn_ImportNet->click();
        EXPECT_TRUE(boxes_.shown().empty());
        // A good file: the question first, No keeps the project's network.
        click(w, 0);
        w.E_New_Node_Desc->setText(QStringLiteral("Changed"));
        w.btn_Add_Node->click();
        files_.choose(good);
        boxes_.answer(MsgAnswer::No);
        w.Btn_ImportNet->click();
        EXPECT_EQ(boxes_.texts().last(), QStringLiteral("Do you really want to overwrite the existing M-Bus Network?"));
        EXPECT_EQ(file(), before);
        files_.choose(good);
        boxes_.answer(MsgAnswer::Yes);
        w.Btn_ImportNet->click();
        EXPECT_EQ(captions(w.NODE_ORIG), QStringList{QStringLiteral("ID 9 - Imported")});
        EXPECT_FALSE(w.Is_Change());
        w.Btn_Cancel->click(); // no question: the import is no change of the editor's
    });
    EXPECT_EQ(files_.requests().at(0).filter, QStringLiteral("XML File (*.xml)"));
    // The file was taken as it was, with what the editor does not know.
    EXPECT_EQ(file(), dir_.read(QStringLiteral("good.xml")));
}

TEST_F(MeterBusWindow, AFileThatCannotBeReadIsLeftForTheUserToMend)
{
    project(1, "");
    dir_.write(QStringLiteral("M_Bus.xml"), "<M-Bus_Network><Nodo ID_Primary=\"3\"/></M-Bus_Network>");
    const QByteArray before = file();
    EXPECT_EQ(show([](TFMeter_Bus& w) { w.Btn_OK->click(); }), platform::mrOk);
    ASSERT_EQ(boxes_.texts().size(), 1);
    EXPECT_TRUE(boxes_.texts().at(0).contains(QStringLiteral("Descrizione")));
    EXPECT_EQ(file(), before);
    // With a network built anew, OK writes it.
    show([](TFMeter_Bus& w) {
        w.E_New_Node_Desc->setText(QStringLiteral("New"));
        w.E_New_Node_ID_Pri->setText(QStringLiteral("4"));
        w.btn_Add_Node->click();
        w.Btn_OK->click();
    });
    EXPECT_TRUE(file().contains("Descrizione=\"New\""));
    // A folder that cannot be written: the error, and the window stays open.
    workspace::ws().Path_M_Bus = dir_.file(QStringLiteral("missing/M_Bus.xml"));
    show([this](TFMeter_Bus& w) {
        boxes_.clear();
        w.Btn_OK->click();
        EXPECT_EQ(boxes_.texts().size(), 1);
        EXPECT_EQ(w.modalResult(), platform::mrNone);
        w.Btn_Cancel->click();
    });
}

TEST_F(MeterBusWindow, PastingANodeAsksForItsAddress)
{
    project(1, "mbus/M_Bus_1.xml");
    show([this](TFMeter_Bus& w) {
        EXPECT_FALSE(w.PM_CopyPaste->item(QStringLiteral("PasteNode1"))->isEnabled());
        click(w, 0);
        w.CopyNode1Click();
        EXPECT_TRUE(w.PM_CopyPaste->item(QStringLiteral("PasteNode1"))->isEnabled());
        // Cancel in the dialog adds nothing.
        nested_[QStringLiteral("FNewIDNode")] = [](platform::Form& f) { static_cast<TFNewIDNode&>(f).Btn_Cancel->click(); };
        w.PasteNode1Click();
        EXPECT_EQ(w.NODE_ORIG->childCount(), 2);
        // The copy's address is offered; keeping it is refused, 6 is taken.
        nested_[QStringLiteral("FNewIDNode")] = [this](platform::Form& f) {
            auto& d = static_cast<TFNewIDNode&>(f);
            EXPECT_TRUE(d.RB_ID_Primary->isVisibleTo(&d));
            EXPECT_FALSE(d.E_wMBus_Add->isVisibleTo(&d));
            EXPECT_TRUE(d.RB_ID_Primary->isChecked());
            EXPECT_EQ(d.E_New_Node_ID_Pri->text(), QStringLiteral("5"));
            d.Btn_OK->click();
            EXPECT_EQ(boxes_.texts().last(), QStringLiteral("Error!! ID Node is already used "));
            EXPECT_EQ(d.modalResult(), platform::mrNone);
            d.E_New_Node_ID_Pri->setText(QStringLiteral("6"));
            d.Btn_OK->click();
        };
        w.PasteNode1Click();
        ASSERT_EQ(w.NODE_ORIG->childCount(), 3);
        EXPECT_EQ(w.nodeItem(2)->text(0), QStringLiteral("ID 6 - Heat meter"));
        EXPECT_EQ(w.nodeItem(2)->childCount(), 3);
        EXPECT_EQ(w.Nodi_List()[2].Node_ID_Primary, 6);
        EXPECT_TRUE(w.Is_Change());
        w.Btn_OK->click();
    });
    // The buffer lives on: the next showing can paste again.
    show([this](TFMeter_Bus& w) {
        EXPECT_TRUE(w.PM_CopyPaste->item(QStringLiteral("PasteNode1"))->isEnabled());
        EXPECT_EQ(w.NODE_ORIG->childCount(), 3);
        w.Btn_Cancel->click();
    });
}

TEST_F(MeterBusWindow, PastingAWirelessNodeAsksOnlyItsAddress)
{
    project(21, "mbus/M_Bus_21.xml");
    show([this](TFMeter_Bus& w) {
        click(w, 1);
        w.CopyNode1Click();
        nested_[QStringLiteral("FNewIDNode")] = [this](platform::Form& f) {
            auto& d = static_cast<TFNewIDNode&>(f);
            EXPECT_EQ(d.Form_Type, 2);
            EXPECT_FALSE(d.RB_ID_Primary->isVisibleTo(&d));
            EXPECT_TRUE(d.E_wMBus_Add->isVisibleTo(&d));
            EXPECT_EQ(d.E_wMBus_Add->text(), QStringLiteral("4294967295"));
            EXPECT_EQ(d.L_wMBus_Add->text(), QStringLiteral("wM-Bus Address"));
            d.E_wMBus_Add->setText(QStringLiteral("4294967296"));
            d.Btn_OK->click();
            EXPECT_EQ(boxes_.texts().last(),
                      QStringLiteral("Error!! Address for a Node wM-Bus must be between 0x00000000 and 0xFFFFFF"));
            d.E_wMBus_Add->setText(QStringLiteral("0x00ABCDEF"));
            d.Btn_OK->click();
        };
        w.PasteNode1Click();
        ASSERT_EQ(w.NODE_ORIG->childCount(), 3);
        EXPECT_EQ(w.nodeItem(2)->text(0), QStringLiteral("wM-Bus Node - Address 0x00ABCDEF - Water"));
        EXPECT_EQ(w.Nodi_List()[2].wMBus_Add, QStringLiteral("0x00ABCDEF"));
        EXPECT_EQ(w.Nodi_List()[2].wMBus_Key[15], QStringLiteral("255"));
        w.Btn_Cancel->click();
    });
}

TEST_F(MeterBusWindow, UnitProposalsAndDependentBoxes)
{
    project(20, "");
    show([this](TFMeter_Bus& w) {
        EXPECT_TRUE(w.CB_SelDev->isVisibleTo(&w));
        EXPECT_LT(w.CB_SelDev->y(), w.CB_Enable_Node->y());
        pick(w.CB_SelDev, 2);
        EXPECT_EQ(w.E_New_Node_Desc->text(), QStringLiteral("RVD240"));
        pick(w.CB_SelDev, 0);
        EXPECT_EQ(w.E_New_Node_Desc->text(), QString());

        pick(w.CB_Var_ToD, 2); // Volume (m³)
        EXPECT_EQ(w.E_BACnet_EngUnit->text(), QStringLiteral("80"));
        EXPECT_FALSE(w.E_VIF_ASCII->isEnabled());
        pick(w.CB_Var_ToD, 19);
        EXPECT_EQ(w.E_BACnet_EngUnit->text(), QStringLiteral("95"));
        pick(w.CB_VIFE, w.CB_VIFE->findText(QStringLiteral("Power MW")));
        EXPECT_EQ(w.E_BACnet_EngUnit->text(), QStringLiteral("49"));
        pick(w.CB_Var_ToD, 21);
        EXPECT_TRUE(w.E_VIF_ASCII->isEnabled());
        // The VIFE proposes only for type of data 19.
        w.E_BACnet_EngUnit->setText(QStringLiteral("7"));
        pick(w.CB_VIFE, 38);
        EXPECT_EQ(w.E_BACnet_EngUnit->text(), QStringLiteral("7"));
        pick(w.CB_Var_Dim, 7);
        EXPECT_TRUE(w.E_Length->isEnabled());
        pick(w.CB_Var_Dim, 2);
        EXPECT_FALSE(w.E_Length->isEnabled());

        // The unit picker opens on the box's text and gives back its choice.
        nested_[QStringLiteral("FBACnet_Eng_Unit")] = [](platform::Form& f) {
            auto& p = static_cast<tables::TFBACnet_Eng_Unit&>(f);
            EXPECT_EQ(p.E_Selected_EU->text(), QStringLiteral("7"));
            EXPECT_EQ(p.Label5->text(), QStringLiteral("-> megavolts"));
            p.E_Selected_EU->setText(QStringLiteral("62"));
            p.Btn_OK->click();
        };
        QTest::mouseDClick(w.E_BACnet_EngUnit, Qt::LeftButton);
        EXPECT_EQ(w.E_BACnet_EngUnit->text(), QStringLiteral("62"));
        nested_[QStringLiteral("FBACnet_Eng_Unit")] = [](platform::Form& f) {
            auto& p = static_cast<tables::TFBACnet_Eng_Unit&>(f);
            p.E_Selected_EU->setText(QStringLiteral("1"));
            p.Btn_Cancel->click();
        };
        w.Btn_EngUnit->click();
        EXPECT_EQ(w.E_BACnet_EngUnit->text(), QStringLiteral("62"));
        w.Btn_Cancel->click();
    });
}

TEST_F(MeterBusWindow, CreatingTheWindowLeavesItsControlsForTheFirstShow)
{
    project(21, "");
    EXPECT_FALSE(window_->controlsBuilt());
    EXPECT_EQ(window_->TW, nullptr);
    EXPECT_EQ(window_->windowTitle(), QStringLiteral("M-Bus Network"));
    EXPECT_EQ(window_->size(), QSize(834, 662));
    EXPECT_FALSE(newId_->controlsBuilt());
    show([](TFMeter_Bus& w) {
        EXPECT_TRUE(w.controlsBuilt());
        EXPECT_EQ(w.findChild<QLabel*>(QStringLiteral("L_SW_Code"))->text(), QStringLiteral("GS30120"));
        EXPECT_EQ(w.ExtPageControl1->activePage(), w.ExtTabSheet1);
        EXPECT_TRUE(w.CB_MBus_Type->isVisibleTo(&w));
        w.Btn_Cancel->click();
    });
}

TEST_F(MeterBusWindow, LongListsOpenWideAndTowardTheLeft)
{
    project(1, "");
    TFMeter_Bus& w = *window_;
    w.ensureControls();
    int longest = 0;
    const QFontMetrics fm(w.CB_VIFE->font());
    for (const QString& t : vifeTexts())
        longest = std::max(longest, fm.horizontalAdvance(t));
    EXPECT_GE(w.CB_VIFE->droppedWidth(), longest + 12 + 65);
    EXPECT_TRUE(w.CB_VIFE->opensLeft());
    EXPECT_TRUE(w.CB_Var_ToD->opensLeft());
    w.show();
    w.ExtPageControl1->setActivePage(w.ExtTabSheet2);
    w.CB_VIFE->showPopup();
    const QRect list = w.CB_VIFE->listGeometry();
    ASSERT_FALSE(list.isEmpty());
    EXPECT_EQ(list.width(), w.CB_VIFE->droppedWidth());
    EXPECT_EQ(list.right(), w.CB_VIFE->mapToGlobal(QPoint(w.CB_VIFE->width() - 1, 0)).x());
    w.CB_VIFE->hidePopup();
    w.hide();
}

TEST_F(MeterBusWindow, CaptionsFollowTheLanguage)
{
    project(1, "");
    workspace::ws().Lang_Texts[291] = QStringLiteral("Knoten");
    workspace::ws().Lang_Texts[1072] = QStringLiteral("Variable kopieren");
    workspace::ws().Lang_Texts[1277 - 21] = QStringLiteral("Liste");
    window_->Set_Lang();
    EXPECT_FALSE(window_->controlsBuilt()); // the title only, until the first show
    window_->ensureControls();
    EXPECT_EQ(window_->ExtTabSheet1->caption(), QStringLiteral("Knoten"));
    EXPECT_EQ(window_->ExtPageControl1->tabStrings().at(0), QStringLiteral("Knot"));
    EXPECT_EQ(window_->PM_CopyPaste->item(QStringLiteral("CopyVariable1"))->text(), QStringLiteral("Variable kopieren"));
    EXPECT_EQ(window_->L_wMBus_VarList->text(), QStringLiteral("Liste"));
    EXPECT_EQ(newId_->windowTitle(), QStringLiteral("New ID Node"));
}

TEST_F(MeterBusWindow, TheUnitTableAnswersWithAndWithoutTheWindow)
{
    EXPECT_EQ(Get_BACnet_EngUnit_MBus(19, 61), 49);
    EXPECT_EQ(Get_BACnet_EngUnit_MBus(2, 0), 80);
    project(21, "");
    EXPECT_EQ(Get_BACnet_EngUnit_MBus(19, 61), 49);
    EXPECT_EQ(Get_BACnet_EngUnit_MBus(26, 0), 95);
    EXPECT_EQ(window_->Found_BACnet_EngUnits(19, 68), 62);
}
