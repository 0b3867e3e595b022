// The network editor's logic without its window: the checks of the two pages and of the new
// node ID dialog (one table of cases per family, the network unchanged after every refusal),
// the collision rules, adding and modifying, deleting, the copy buffers and pasting, import.
#include "mbus/NetworkEditor.h"
#include "platform/text/UserError.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace mbus;
using testing_support::TempDir;

namespace {

TVariabile variable(const char* description, int typeOfData = 0)
{
    TVariabile v;
    v.Enable = true;
    v.Description = QLatin1String(description);
    v.Type_Of_Data = typeOfData;
    v.Position = 1;
    v.BACnet_EngUnit = 95;
    return v;
}

TNodo wired(int32_t primary, int32_t secondary, uint8_t idType, const char* description)
{
    TNodo n;
    n.Enable = true;
    n.Description = QLatin1String(description);
    n.Node_ID_Primary = primary;
    n.Node_ID_Secondary = secondary;
    n.Node_ID_Type = idType;
    n.MBus_Type = 1;
    return n;
}

TNodo wireless(const char* address, const char* description)
{
    TNodo n = wired(1, 1, 0, description);
    n.MBus_Type = 0;
    n.wMBus_Add = QLatin1String(address);
    n.wMBus_ManID = QStringLiteral("1234");
    return n;
}

// Two wired nodes: "Heat" on primary 5 with two variables, "Water" on secondary 6 with one.
NetworkEditor sampleEditor(int32_t type = 1)
{
    NetworkEditor e(type);
    TNodo heat = wired(5, 11, 0, "Heat");
    heat.Var_List = {variable("Energy"), variable("Volume", 2)};
    TNodo water = wired(1, 6, 1, "Water");
    water.Var_List = {variable("Flow", 8)};
    e.load({heat, water});
    return e;
}

NodePage wiredPage(const char* primary, const char* description = "New")
{
    NodePage p;
    p.description = QLatin1String(description);
    p.primary = QLatin1String(primary);
    return p;
}

NodePage wirelessPage()
{
    NodePage p;
    p.description = QStringLiteral("Radio");
    p.mbusType = 0;
    p.manId = QStringLiteral("0x2C2D");
    p.address = QStringLiteral("12345678");
    p.version = QStringLiteral("1");
    p.devType = QStringLiteral("7");
    for (int i = 0; i < 16; ++i)
        p.keys[static_cast<size_t>(i)] = QString::number(i);
    return p;
}

} // namespace

TEST(NetworkEditor, VariableChecksInTheirOrderAndTheNetworkUnchangedAfterARefusal)
{
    struct Case {
        const char* what;
        std::function<void(VariablePage&)> fill;
        bool byPosition;
        int message;
    } cases[] = {
        {"storage 4294967295", [](VariablePage& p) { p.storageNumber = QStringLiteral("4294967295"); }, false, 0},
        {"storage 4294967296", [](VariablePage& p) { p.storageNumber = QStringLiteral("4294967296"); }, false, 327},
        {"storage -1", [](VariablePage& p) { p.storageNumber = QStringLiteral("-1"); }, false, 327},
        {"storage text", [](VariablePage& p) { p.storageNumber = QStringLiteral("abc"); }, false, 327},
        {"storage before tariff", [](VariablePage& p) { p.storageNumber = QStringLiteral("x"); p.tariff = QStringLiteral("x"); }, false, 327},
        {"tariff 1048575", [](VariablePage& p) { p.tariff = QStringLiteral("0xFFFFF"); }, false, 0},
        {"tariff 1048576", [](VariablePage& p) { p.tariff = QStringLiteral("1048576"); }, false, 328},
        {"length 192, variable length", [](VariablePage& p) { p.dimension = 7; p.length = QStringLiteral("192"); }, false, 329},
        {"length 192, fixed length", [](VariablePage& p) { p.dimension = 2; p.length = QStringLiteral("192"); }, false, 0},
        {"length 191", [](VariablePage& p) { p.dimension = 7; p.length = QStringLiteral("191"); }, false, 0},
        {"position 0", [](VariablePage& p) { p.position = QStringLiteral("0"); }, false, 330},
        {"position 101 by position", [](VariablePage& p) { p.position = QStringLiteral("101"); }, true, 330},
        {"position 100", [](VariablePage& p) { p.position = QStringLiteral("100"); }, true, 0},
        {"unit 65536", [](VariablePage& p) { p.engUnit = QStringLiteral("65536"); }, false, 331},
        {"unit empty", [](VariablePage& p) { p.engUnit.clear(); }, false, 331},
        {"string with 32 bits by position", [](VariablePage& p) { p.dataType = 3; p.dimension = 2; }, true, 332},
        {"string with 32 bits by type", [](VariablePage& p) { p.dataType = 3; p.dimension = 2; }, false, 0},
        {"string with variable length", [](VariablePage& p) { p.dataType = 3; p.dimension = 7; }, true, 0},
        {"post-op on positive integer", [](VariablePage& p) { p.dataType = 2; p.postOperation = 1; }, true, 333},
        {"post-op on analog input", [](VariablePage& p) { p.dataType = 0; p.postOperation = 1; }, true, 0},
        {"post-op on time point", [](VariablePage& p) { p.typeOfData = 20; p.postOperation = 1; }, false, 334},
        {"post-op on bus address", [](VariablePage& p) { p.typeOfData = 25; p.postOperation = 12; }, false, 334},
        {"post-op on VIFE 0", [](VariablePage& p) { p.typeOfData = 19; p.vife = 0; p.postOperation = 1; }, false, 335},
        {"post-op on VIFE 61", [](VariablePage& p) { p.typeOfData = 19; p.vife = 61; p.postOperation = 1; }, false, 0},
        {"post-op none on time point", [](VariablePage& p) { p.typeOfData = 20; }, false, 0},
    };
    for (const Case& c : cases) {
        NetworkEditor e = sampleEditor();
        e.select(0, 1);
        VariablePage page;
        page.description = QStringLiteral("Changed");
        c.fill(page);
        EXPECT_EQ(Controllo_Dati_New_Var(page, c.byPosition), c.message) << c.what;
        const MBusNetwork before = e.Nodi_List;
        for (bool adding : {true, false}) {
            const NetworkEditor::Outcome o = e.btn_Add_VarClick(page, adding, c.byPosition);
            EXPECT_EQ(o.message, c.message) << c.what;
            if (c.message != 0) {
                EXPECT_EQ(o.done, NetworkEditor::Done::Nothing) << c.what;
                EXPECT_EQ(e.Nodi_List, before) << c.what;
                EXPECT_FALSE(e.Is_Change) << c.what;
            }
        }
    }
}

TEST(NetworkEditor, VifeCodesThatAllowAPostOperation)
{
    for (int vife = 0; vife <= 125; ++vife) {
        const bool allows = vife == 38 || vife == 39 || (vife >= 51 && vife <= 69);
        EXPECT_EQ(Check_VIFE_PostOpe(vife), !allows) << vife;
    }
}

TEST(NetworkEditor, NodeChecksWithTheirMessagesAndTheNetworkUnchanged)
{
    struct Case {
        const char* what;
        int32_t type;
        std::function<void(NodePage&)> fill;
        int message;
    } cases[] = {
        {"primary 255", 1, [](NodePage& p) { p.primary = QStringLiteral("255"); }, 0},
        {"primary 256", 1, [](NodePage& p) { p.primary = QStringLiteral("256"); }, 336},
        {"primary -1", 20, [](NodePage& p) { p.primary = QStringLiteral("-1"); }, 336},
        {"primary of another node", 1, [](NodePage& p) { p.primary = QStringLiteral("5"); }, 340},
        {"primary equal to another's secondary", 1, [](NodePage& p) { p.primary = QStringLiteral("6"); }, 340},
        {"another's unused secondary is free", 1, [](NodePage& p) { p.primary = QStringLiteral("11"); }, 0},
        {"secondary 99999999", 1, [](NodePage& p) { p.secondarySelected = true; p.secondary = QStringLiteral("99999999"); }, 0},
        {"secondary 100000000", 1, [](NodePage& p) { p.secondarySelected = true; p.secondary = QStringLiteral("100000000"); }, 337},
        {"secondary of another node", 21, [](NodePage& p) { p.secondarySelected = true; p.secondary = QStringLiteral("6"); }, 340},
        {"disabled node with primary 999", 1, [](NodePage& p) { p.enable = false; p.primary = QStringLiteral("999"); }, 0},
        {"disabled node on a used address", 1, [](NodePage& p) { p.enable = false; p.primary = QStringLiteral("5"); }, 0},
        {"the other box holds no number", 1, [](NodePage& p) { p.secondary = QStringLiteral("x"); }, 337},
        {"disabled, a box without a number", 1, [](NodePage& p) { p.enable = false; p.primary = QStringLiteral("x"); }, 336},
        {"wireless page ignored for type 1", 1, [](NodePage& p) { p.mbusType = 0; p.manId = QStringLiteral("x"); }, 0},
    };
    for (const Case& c : cases) {
        NetworkEditor e = sampleEditor(c.type);
        NodePage page = wiredPage("7");
        c.fill(page);
        EXPECT_EQ(e.Controllo_Dati_New_Nodo(page), c.message) << c.what;
        const MBusNetwork before = e.Nodi_List;
        const NetworkEditor::Outcome o = e.btn_Add_NodeClick(page, true);
        EXPECT_EQ(o.message, c.message) << c.what;
        if (c.message != 0) {
            EXPECT_EQ(e.Nodi_List, before) << c.what;
            EXPECT_FALSE(e.Is_Change) << c.what;
        } else {
            ASSERT_EQ(e.Nodi_List.size(), 3u) << c.what;
            EXPECT_EQ(e.Nodi_List[2], nodeFromPage(page, c.type)) << c.what;
        }
    }
}

TEST(NetworkEditor, WirelessNodeChecksOfDeviceType21)
{
    struct Case {
        const char* what;
        std::function<void(NodePage&)> fill;
        int message;
    } cases[] = {
        {"all good", [](NodePage&) {}, 0},
        {"manufacturer 65536", [](NodePage& p) { p.manId = QStringLiteral("65536"); }, 1257},
        {"manufacturer empty", [](NodePage& p) { p.manId.clear(); }, 1257},
        {"address 4294967295", [](NodePage& p) { p.address = QStringLiteral("4294967295"); }, 0},
        {"address 0xFFFFFFFF", [](NodePage& p) { p.address = QStringLiteral("0xFFFFFFFF"); }, 0},
        {"address 4294967296", [](NodePage& p) { p.address = QStringLiteral("4294967296"); }, 1258},
        {"version 256", [](NodePage& p) { p.version = QStringLiteral("256"); }, 1259},
        {"device type -1", [](NodePage& p) { p.devType = QStringLiteral("-1"); }, 1260},
        {"key 7 of 256 unused", [](NodePage& p) { p.keys[6] = QStringLiteral("256"); }, 0},
        {"key 1 of 256", [](NodePage& p) { p.keyEnable = true; p.keys[0] = QStringLiteral("256"); }, 1261},
        {"key 7 of 256", [](NodePage& p) { p.keyEnable = true; p.keys[6] = QStringLiteral("256"); }, 1267},
        {"key 16 empty", [](NodePage& p) { p.keyEnable = true; p.keys[15].clear(); }, 1276},
        {"key $FF", [](NodePage& p) { p.keyEnable = true; p.keys[3] = QStringLiteral("$FF"); }, 0},
        {"disabled with a bad address", [](NodePage& p) { p.enable = false; p.address = QStringLiteral("x"); }, 0},
        // A wireless node is not compared with the others, wired or wireless.
        {"hidden primary in use", [](NodePage& p) { p.primary = QStringLiteral("5"); }, 0},
        {"hidden primary out of range", [](NodePage& p) { p.primary = QStringLiteral("999"); }, 0},
    };
    for (const Case& c : cases) {
        NetworkEditor e = sampleEditor(21);
        e.Nodi_List.push_back(wireless("12345678", "Other radio"));
        NodePage page = wirelessPage();
        c.fill(page);
        const MBusNetwork before = e.Nodi_List;
        const NetworkEditor::Outcome o = e.btn_Add_NodeClick(page, true);
        EXPECT_EQ(o.message, c.message) << c.what;
        EXPECT_EQ(e.Nodi_List.size(), before.size() + (c.message == 0 ? 1 : 0)) << c.what;
    }
}

TEST(NetworkEditor, WirelessNodeTakesItsValuesFromThePanelAndItsAddressesFromTheHiddenRows)
{
    NodePage page = wirelessPage();
    page.primary = QStringLiteral("9");
    page.secondary = QStringLiteral("77");
    page.secondarySelected = true;
    page.sendSnk = true;
    page.cutAfter = 4;
    page.nodeState = false;
    page.wNodeState = true;
    page.identNum = true;
    page.wIdentNum = false;
    page.wNsVarType = 1;
    page.wBcdToIntIn = true;
    page.wSwapIdent = 1;
    page.wVarListType = 1;
    page.keyEnable = true;
    const TNodo n = nodeFromPage(page, 21);
    EXPECT_EQ(n.MBus_Type, 0);
    EXPECT_EQ(n.Node_ID_Primary, 9);
    EXPECT_EQ(n.Node_ID_Secondary, 77);
    EXPECT_EQ(n.Node_ID_Type, 1);
    EXPECT_EQ(n.Send_SNK, 1);
    EXPECT_EQ(n.Cut_After, 4);
    EXPECT_EQ(n.Node_State, 1);
    EXPECT_EQ(n.Ident_Num, 0);
    EXPECT_EQ(n.NS_VarType, 1);
    EXPECT_EQ(n.BCDtoINT_IN, 1);
    EXPECT_EQ(n.Swap_Ident, 1);
    EXPECT_EQ(n.Var_List_Type, 1);
    EXPECT_EQ(n.wMBus_ManID, QStringLiteral("0x2C2D"));
    EXPECT_EQ(n.wMBus_En_Key, 1);
    EXPECT_EQ(n.wMBus_Key[15], QStringLiteral("15"));
    EXPECT_EQ(nodeCaption(page, 21), QStringLiteral("wM-Bus Node - Address 12345678 - Radio"));
    EXPECT_EQ(nodeCaption(n, 21), QStringLiteral("wM-Bus Node - Address 12345678 - Radio"));

    // Shown again, the node fills both the wired rows and the panel; device type 1 keeps the
    // wireless boxes as they were and writes no wireless values.
    NodePage shown;
    showNode(shown, n, 21);
    EXPECT_EQ(nodeFromPage(shown, 21), n);
    NodePage typeOne = wirelessPage();
    showNode(typeOne, n, 1);
    EXPECT_EQ(typeOne.manId, QStringLiteral("0x2C2D"));
    const TNodo asWired = nodeFromPage(typeOne, 1);
    EXPECT_EQ(asWired.MBus_Type, 1);
    EXPECT_TRUE(asWired.wMBus_ManID.isEmpty());
    EXPECT_EQ(nodeCaption(asWired, 1), QStringLiteral("ID 77 - Radio"));
}

TEST(NetworkEditor, CollisionRulesOfTheEditorAndOfThePasteDialogDiffer)
{
    NetworkEditor e = sampleEditor(); // Water selects itself by secondary 6
    // The editor compares the number whatever its type; the paste dialog only the same type.
    EXPECT_EQ(e.Check_Node_ID(6), 340);
    EXPECT_EQ(Check_Node_ID2(e.Nodi_List, 6, 0), 0);
    EXPECT_EQ(Check_Node_ID2(e.Nodi_List, 6, 1), 338);
    EXPECT_EQ(Check_Node_ID2(e.Nodi_List, 5, 0), 338);
    EXPECT_EQ(Check_Node_ID2(e.Nodi_List, 11, 1), 0); // Heat's secondary does not select it

    // Modifying a node and keeping its own address is accepted; a variable of that node
    // selected means the button adds, and the node's address is then taken (339).
    e.select(0);
    EXPECT_EQ(e.Check_Node_ID(5), 0);
    e.select(0, 1);
    EXPECT_EQ(e.Check_Node_ID(5), 339);
    EXPECT_EQ(e.Check_Node_ID(6), 340);

    // Device type 21: wireless nodes are skipped, by both checks' rules of the editor, also the
    // selected one; the paste dialog compares them all.
    NetworkEditor r(21);
    TNodo radio = wireless("99", "Radio");
    radio.Node_ID_Primary = 8;
    radio.Var_List = {variable("Energy")};
    r.load({radio});
    EXPECT_EQ(r.Check_Node_ID(8), 0);
    r.select(0, 0);
    EXPECT_EQ(r.Check_Node_ID(8), 0);
    EXPECT_EQ(Check_Node_ID2(r.Nodi_List, 8, 0), 338);
}

TEST(NetworkEditor, AddingAndModifyingNodesAndVariables)
{
    NetworkEditor e = sampleEditor();
    // Modify with nothing selected (a caption left from an earlier showing) does nothing.
    EXPECT_EQ(e.btn_Add_NodeClick(wiredPage("200"), false).done, NetworkEditor::Done::Nothing);
    EXPECT_EQ(e.btn_Add_VarClick(VariablePage{}, true, false).done, NetworkEditor::Done::Nothing);
    EXPECT_FALSE(e.Is_Change);

    // Modifying a node keeps its variables and may keep its address.
    e.select(0);
    NodePage page = wiredPage("5", "Heat 2");
    const NetworkEditor::Outcome o = e.btn_Add_NodeClick(page, false);
    EXPECT_EQ(o.done, NetworkEditor::Done::Modified);
    EXPECT_TRUE(e.Is_Change);
    EXPECT_EQ(e.Nodi_List[0].Description, QStringLiteral("Heat 2"));
    EXPECT_EQ(e.Nodi_List[0].Var_List.size(), 2u);
    // The caption is built from the boxes as typed.
    page.primary = QStringLiteral(" 5");
    EXPECT_EQ(nodeCaption(page, 1), QStringLiteral("ID  5 - Heat 2"));

    // A variable is added to the node of a selected variable, and a selected one modified.
    e.select(1, 0);
    VariablePage v;
    v.description = QStringLiteral("Temperature");
    v.typeOfData = 12;
    v.storageNumber = QStringLiteral("4294967295");
    v.engUnit = QStringLiteral("62");
    v.position = QStringLiteral("3");
    v.dimension = 7;
    v.length = QStringLiteral("12");
    EXPECT_EQ(e.btn_Add_VarClick(v, true, false).done, NetworkEditor::Done::Added);
    ASSERT_EQ(e.Nodi_List[1].Var_List.size(), 2u);
    const TVariabile& added = e.Nodi_List[1].Var_List[1];
    EXPECT_EQ(added.Storage_Number, 4294967295u);
    EXPECT_EQ(added.BACnet_EngUnit, 62);
    EXPECT_EQ(added.Position, 3);
    EXPECT_EQ(added.Length, 12);
    EXPECT_EQ(pageOfVariable(added), v);
    v.description = QStringLiteral("Flow 2");
    EXPECT_EQ(e.btn_Add_VarClick(v, false, false).done, NetworkEditor::Done::Modified);
    EXPECT_EQ(e.Nodi_List[1].Var_List[0].Description, QStringLiteral("Flow 2"));
    EXPECT_EQ(variableCaption(e.Nodi_List[1].Var_List[0]), QStringLiteral("VAR - Flow 2"));
    // Modify needs a variable: with a node selected it does nothing.
    e.select(1);
    EXPECT_EQ(e.btn_Add_VarClick(v, false, false).done, NetworkEditor::Done::Nothing);
}

TEST(NetworkEditor, NothingSelectedClearsOnlyItsBoxes)
{
    NodePage n = wiredPage("9", "Kept");
    n.enable = false;
    n.sendSnk = n.resetApp = n.nodeState = n.identNum = n.bcdToIntIn = true;
    n.nsVarType = 1;
    n.swapIdent = 1;
    VariablePage v;
    v.description = QStringLiteral("Kept");
    v.engUnit = QStringLiteral("62");
    v.dataType = 2;
    v.postOperation = 3;
    v.typeOfData = 4;
    clearForNothingSelected(n, v);
    EXPECT_TRUE(n.enable);
    EXPECT_FALSE(n.sendSnk || n.resetApp || n.nodeState || n.identNum || n.bcdToIntIn);
    EXPECT_EQ(n.nsVarType, 0);
    EXPECT_EQ(n.swapIdent, 1);
    EXPECT_EQ(n.primary, QStringLiteral("9"));
    EXPECT_EQ(n.description, QStringLiteral("Kept"));
    EXPECT_EQ(v.engUnit, QStringLiteral("95"));
    EXPECT_EQ(v.dataType, 0);
    EXPECT_EQ(v.postOperation, 0);
    EXPECT_EQ(v.typeOfData, 4);
    EXPECT_EQ(v.description, QStringLiteral("Kept"));
}

TEST(NetworkEditor, DeletingMovesTheSelectionAsTheTreeDoes)
{
    NetworkEditor e = sampleEditor();
    EXPECT_EQ(e.deleteQuestion(), 341);
    e.select(0, 0);
    EXPECT_EQ(e.deleteQuestion(), 343);
    e.deleteSelected(); // the next variable takes its place
    EXPECT_EQ(e.Nodi_List[0].Var_List.size(), 1u);
    EXPECT_EQ(e.IND_NODO, 0);
    EXPECT_EQ(e.IND_VAR, 0);
    e.deleteSelected(); // the last one: the node
    EXPECT_EQ(e.IND_VAR, -1);
    EXPECT_EQ(e.deleteQuestion(), 342);
    e.select(1);
    e.deleteSelected(); // the last node: the previous one
    EXPECT_EQ(e.Nodi_List.size(), 1u);
    EXPECT_EQ(e.IND_NODO, 0);
    e.deleteSelected(); // no node left: nothing
    EXPECT_TRUE(e.Nodi_List.empty());
    EXPECT_EQ(e.selected(), NetworkEditor::Selected::Nothing);
    EXPECT_TRUE(e.Is_Change);

    // Deleting all of an empty network changes nothing.
    NetworkEditor empty(1);
    empty.deleteSelected();
    EXPECT_FALSE(empty.Is_Change);
    NetworkEditor all = sampleEditor();
    all.deleteSelected();
    EXPECT_TRUE(all.Nodi_List.empty());
    EXPECT_TRUE(all.Is_Change);
}

TEST(NetworkEditor, CopyAndPasteRefusalsLeaveTheNetworkAlone)
{
    struct Case {
        const char* what;
        int node;
        int variable;
        int (NetworkEditor::*command)();
        bool withCopy;
        int message;
    } cases[] = {
        {"copy variable, root", -1, -1, &NetworkEditor::CopyVariable1Click, false, 345},
        {"copy variable, node", 0, -1, &NetworkEditor::CopyVariable1Click, false, 344},
        {"paste variable, no copy", 0, -1, &NetworkEditor::PasteVariable1Click, false, 348},
        {"paste variable, root", -1, -1, &NetworkEditor::PasteVariable1Click, true, 349},
        {"copy node, root", -1, -1, &NetworkEditor::CopyNode1Click, false, 346},
    };
    for (const Case& c : cases) {
        NetworkEditor e = sampleEditor();
        if (c.withCopy) {
            e.select(0, 0);
            ASSERT_EQ(e.CopyVariable1Click(), 0);
        }
        e.select(c.node, c.variable);
        const MBusNetwork before = e.Nodi_List;
        EXPECT_EQ((e.*c.command)(), c.message) << c.what;
        EXPECT_EQ(e.Nodi_List, before) << c.what;
        EXPECT_FALSE(e.Is_Change) << c.what;
    }
    // A node index past the list (the window never makes one, the check still holds).
    NetworkEditor e = sampleEditor();
    e.IND_NODO = 2;
    EXPECT_EQ(e.CopyNode1Click(), 347);
    EXPECT_FALSE(e.Copy_Node);
}

TEST(NetworkEditor, PastingAVariableTakesTheCopyAsItWasWhenCopied)
{
    NetworkEditor e = sampleEditor();
    e.select(0, 1);
    ASSERT_EQ(e.CopyVariable1Click(), 0);
    const TVariabile copied = e.Nodi_List[0].Var_List[1];
    // The source node is deleted; the paste still gives the copied values.
    e.select(0);
    e.deleteSelected();
    ASSERT_EQ(e.Nodi_List.size(), 1u);
    // With the node selected and with one of its variables selected, the duplicate goes to the
    // end of that node.
    e.select(0);
    ASSERT_EQ(e.PasteVariable1Click(), 0);
    e.select(0, 0);
    ASSERT_EQ(e.PasteVariable1Click(), 0);
    ASSERT_EQ(e.Nodi_List[0].Var_List.size(), 3u);
    EXPECT_EQ(e.Nodi_List[0].Var_List[1], copied);
    EXPECT_EQ(e.Nodi_List[0].Var_List[2], copied);
    EXPECT_EQ(e.Nodi_List[0].Var_List[0].Description, QStringLiteral("Flow"));
}

TEST(NetworkEditor, PastingANodeAsksForAFreeAddress)
{
    NetworkEditor e = sampleEditor();
    EXPECT_FALSE(e.pasteNodePrompt(NewNodeIdPage{}));
    e.select(0);
    ASSERT_EQ(e.CopyNode1Click(), 0);
    // Later changes to the network do not reach the copy.
    e.Nodi_List[0].Var_List.clear();

    // The dialog offers the copy's addresses; keeping 5 gives 338, 6 is taken.
    NewNodeIdPage prompt = *e.pasteNodePrompt(NewNodeIdPage{});
    EXPECT_EQ(prompt.Form_Type, 1);
    EXPECT_FALSE(prompt.secondarySelected);
    EXPECT_EQ(prompt.primary, QStringLiteral("5"));
    EXPECT_EQ(prompt.secondary, QStringLiteral("11"));
    EXPECT_EQ(checkNewNodeId(prompt, e.Nodi_List), 338);
    prompt.primary = QStringLiteral("6"); // Water's secondary 6 does not count here
    EXPECT_EQ(checkNewNodeId(prompt, e.Nodi_List), 0);
    const std::optional<int> index = e.pasteNode(prompt);
    ASSERT_EQ(index, 2);
    const TNodo& pasted = e.Nodi_List[2];
    EXPECT_EQ(pasted.Node_ID_Primary, 6);
    EXPECT_EQ(pasted.Node_ID_Secondary, 11);
    EXPECT_EQ(pasted.Description, QStringLiteral("Heat"));
    ASSERT_EQ(pasted.Var_List.size(), 2u);
    EXPECT_EQ(pasted.Var_List[1].Description, QStringLiteral("Volume"));
    EXPECT_TRUE(e.Is_Change);
    EXPECT_EQ(pastedNodeCaption(prompt, *e.Copy_Node, 1), QStringLiteral("ID 6 - Heat"));
}

TEST(NetworkEditor, NewNodeIdChecks)
{
    const MBusNetwork net = sampleEditor().Nodi_List;
    struct Case {
        const char* what;
        NewNodeIdPage page;
        int message;
    } cases[] = {
        {"primary 255", {1, false, QStringLiteral("255"), QStringLiteral("1"), {}}, 0},
        {"primary 256", {1, false, QStringLiteral("256"), QStringLiteral("1"), {}}, 284},
        {"primary text", {1, false, QStringLiteral("five"), QStringLiteral("1"), {}}, 284},
        {"primary used", {1, false, QStringLiteral("5"), QStringLiteral("1"), {}}, 338},
        {"secondary 100000000", {1, true, QStringLiteral("1"), QStringLiteral("100000000"), {}}, 285},
        {"secondary used", {1, true, QStringLiteral("1"), QStringLiteral("6"), {}}, 338},
        {"secondary used as primary elsewhere", {1, true, QStringLiteral("1"), QStringLiteral("5"), {}}, 0},
        {"other box without a number", {1, false, QStringLiteral("7"), QStringLiteral(""), {}}, 285},
        {"wireless 4294967295", {2, false, QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("4294967295")}, 0},
        {"wireless 4294967296", {2, false, QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("4294967296")}, 1230},
        {"wireless, hidden box without a number", {2, false, QStringLiteral("?"), QStringLiteral("1"), QStringLiteral("5")}, 284},
        {"another form type", {3, false, QStringLiteral("?"), QStringLiteral("?"), QStringLiteral("?")}, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(checkNewNodeId(c.page, net), c.message) << c.what;
}

TEST(NetworkEditor, PastingAWirelessNodeOfDeviceType21)
{
    NetworkEditor e(21);
    TNodo radio = wireless("0x00000010", "Radio");
    radio.wMBus_En_Key = 1;
    radio.wMBus_Key[0] = QStringLiteral("17");
    radio.Var_List = {variable("Energy")};
    TNodo other = wireless("0x00000020", "Other");
    e.load({radio, other});
    e.select(0);
    ASSERT_EQ(e.CopyNode1Click(), 0);
    NewNodeIdPage current;
    current.primary = QStringLiteral("42"); // what the hidden boxes held before
    NewNodeIdPage prompt = *e.pasteNodePrompt(current);
    EXPECT_EQ(prompt.Form_Type, 2);
    EXPECT_EQ(prompt.wAddress, QStringLiteral("0x00000010"));
    EXPECT_EQ(prompt.primary, QStringLiteral("42"));
    // An address another wireless node uses is accepted.
    prompt.wAddress = QStringLiteral("0x00000020");
    EXPECT_EQ(checkNewNodeId(prompt, e.Nodi_List), 0);
    ASSERT_EQ(e.pasteNode(prompt), 2);
    const TNodo& p = e.Nodi_List[2];
    EXPECT_EQ(p.MBus_Type, 0);
    EXPECT_EQ(p.wMBus_Add, QStringLiteral("0x00000020"));
    EXPECT_EQ(p.wMBus_ManID, QStringLiteral("1234"));
    EXPECT_EQ(p.wMBus_Key[0], QStringLiteral("17"));
    EXPECT_EQ(p.Node_ID_Primary, 42);
    EXPECT_EQ(p.Var_List.size(), 1u);
    EXPECT_EQ(pastedNodeCaption(prompt, *e.Copy_Node, 21), QStringLiteral("wM-Bus Node - Address 0x00000020 - Radio"));

    // A wired copy of type 21 keeps its own wireless texts.
    NetworkEditor w(21);
    TNodo meter = wired(3, 1, 0, "Meter");
    meter.wMBus_Add = QStringLiteral("77");
    w.load({meter});
    w.select(0);
    ASSERT_EQ(w.CopyNode1Click(), 0);
    NewNodeIdPage wp = *w.pasteNodePrompt(NewNodeIdPage{});
    EXPECT_EQ(wp.Form_Type, 1);
    wp.primary = QStringLiteral("4");
    wp.wAddress = QStringLiteral("999");
    ASSERT_EQ(w.pasteNode(wp), 1);
    EXPECT_EQ(w.Nodi_List[1].wMBus_Add, QStringLiteral("77"));
    EXPECT_EQ(w.Nodi_List[1].MBus_Type, 1);
}

TEST(NetworkEditor, ImportReadsTheChosenFileAsANetworkFirst)
{
    TempDir dir;
    const QString good = dir.write(QStringLiteral("good.xml"),
                                   "<M-Bus_Network><Nodo Descrizione=\"A\" ID_Primary=\"3\"/></M-Bus_Network>");
    EXPECT_EQ(readImportedNetwork(good, 1), dir.read(QStringLiteral("good.xml")));

    struct Case {
        const char* name;
        QByteArray bytes;
        const char* expected;
    } cases[] = {
        {"broken.xml", "<M-Bus_Network><Nodo", "The file broken.xml cannot be read"},
        {"other.xml", "<ParGen><IP_Address>1.2.3.4</IP_Address></ParGen>",
         "The file other.xml is not an M-Bus network: node 1: the attribute Descrizione is missing."},
        {"var.xml", "<M-Bus_Network><Nodo Descrizione=\"A\"><Variabile Desc=\"v\" Type=\"x\" Fun_Field=\"0\" Dim=\"0\"/></Nodo></M-Bus_Network>",
         "The file var.xml is not an M-Bus network: node 1, variable 1: the attribute Type"},
    };
    for (const Case& c : cases) {
        const QString path = dir.write(QLatin1String(c.name), c.bytes);
        try {
            readImportedNetwork(path, 1);
            ADD_FAILURE() << c.name << " was taken";
        } catch (const platform::UserError& e) {
            EXPECT_TRUE(e.message().startsWith(QLatin1String(c.expected))) << e.message().toStdString();
        }
    }
    EXPECT_THROW(readImportedNetwork(dir.file(QStringLiteral("missing.xml")), 1), platform::UserError);
}
