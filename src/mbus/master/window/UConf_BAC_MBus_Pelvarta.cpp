#include "mbus/master/window/UConf_BAC_MBus_Pelvarta.h"

#include "controls/button/FormButton.h"
#include "controls/grid/column/ColumnGrid.h"
#include "mbus/master/window/WindowParts.h"
#include "platform/text/UserError.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/controls/Controls.h"
#include "workspace/Workspace.h"

#include <QFileInfo>
#include <QLabel>

namespace mbus::master {

using workspace::text;
using workspace::ws;

namespace {

constexpr int kDeviceColumns = 9;
constexpr int kVariableColumns = 10;
constexpr int kDeviceWidths[kDeviceColumns] = {130, 75, 80, 35, 35, 45, 45, 75, 160};
constexpr int kVariableWidths[kVariableColumns] = {30, 50, 70, 60, 75, 60, 95, 45, 120, 145};
constexpr int kRightLeft = 312;
constexpr int kRightWidth = TFConf_BAC_MBus_Pelvarta::kClientWidth - kRightLeft - 8;

bool isProfinet() { return ws().Converter_Type == 1002; }

template <typename T>
T* place(QWidget* parent, const char* name, int left, int top, int width, int height)
{
    auto* w = new T(parent);
    w->setObjectName(QLatin1String(name));
    w->setGeometry(left, top, width, height);
    return w;
}

platform::ctl::Label* label(QWidget* parent, const char* name, int left, int top)
{
    auto* l = new platform::ctl::Label(parent);
    l->setObjectName(QLatin1String(name));
    l->move(left, top);
    return l;
}

void fillRow(TExtColumnGrid* g, int row, const QStringList& cells)
{
    for (int c = 0; c < cells.size(); ++c)
        g->SetCells(c, row, cells[c]);
}

} // namespace

TFConf_BAC_MBus_Pelvarta::TFConf_BAC_MBus_Pelvarta(QWidget* parent) : platform::Form(parent)
{
    // FormCreate: the window itself; its fields, grids and buttons wait for the first show.
    setObjectName(QStringLiteral("FConf_BAC_MBus_Pelvarta"));
    setFont(platform::uiFont(QStringLiteral("Verdana"), 8));
    platform::setBackgroundColor(this, kWindowBackground);
    setClientSize(kClientWidth, kClientHeight);
    Set_Lang();
}

void TFConf_BAC_MBus_Pelvarta::buildControls()
{
    const TitlePanel title = addTitlePanel(this, kClientWidth);
    L_SW_Code = title.code;
    L_SW_Desc = title.description;
    QFont bytesFont = platform::uiFont(QStringLiteral("Verdana"), 8, true);
    bytesFont.setPixelSize(13);
    L_MBus_NumByte = platform::addLabel(title.panel, QStringLiteral("L_MBus_NumByte"), 800, 40, bytesFont);

    // The left panel: a device's fields, its buttons and the converter variant.
    GB_Node = place<platform::ctl::GroupBox>(this, "GB_Node", 8, 75, 296, 386);
    L_Sel_Template = label(GB_Node, "L_Sel_Template", 10, 22);
    CB_Sel_Template = place<platform::ctl::ComboBox>(GB_Node, "CB_Sel_Template", 10, 38, 276, 22);
    L_Desc = label(GB_Node, "L_Desc", 10, 68);
    E_Desc = place<platform::ctl::Edit>(GB_Node, "E_Desc", 10, 84, 276, 22);
    L_ID_Type = label(GB_Node, "L_ID_Type", 10, 114);
    CB_ID_Type = place<platform::ctl::ComboBox>(GB_Node, "CB_ID_Type", 10, 130, 130, 22);
    L_MBus_ID = label(GB_Node, "L_MBus_ID", 156, 114);
    E_MBus_ID = place<platform::ctl::Edit>(GB_Node, "E_MBus_ID", 156, 130, 130, 22);
    CB_NodeState = place<platform::ctl::CheckBox>(GB_Node, "CB_NodeState", 10, 160, 276, 20);
    CB_IdeNumber = place<platform::ctl::CheckBox>(GB_Node, "CB_IdeNumber", 10, 182, 276, 20);
    L_MSB = label(GB_Node, "L_MSB", 10, 210);
    E_MSB = place<platform::ctl::Edit>(GB_Node, "E_MSB", 10, 226, 80, 22);
    L_SST = label(GB_Node, "L_SST", 100, 210);
    E_SST = place<platform::ctl::Edit>(GB_Node, "E_SST", 100, 226, 80, 22);
    L_ThirdField = label(GB_Node, "L_ThirdField", 190, 210);
    E_ThirdField = place<platform::ctl::Edit>(GB_Node, "E_ThirdField", 190, 226, 96, 22);
    Btn_Add = controls::addButton(GB_Node, QStringLiteral("Btn_Add"), 10, 262, 88, 28);
    Btn_Modify = controls::addButton(GB_Node, QStringLiteral("Btn_Modify"), 104, 262, 88, 28);
    Btn_Delete = controls::addButton(GB_Node, QStringLiteral("Btn_Delete"), 198, 262, 88, 28);
    L_Select_Conv = label(GB_Node, "L_Select_Conv", 10, 304);
    CB_Select_Conv = place<platform::ctl::ComboBox>(GB_Node, "CB_Select_Conv", 10, 320, 276, 22);
    E_MBus_ID->setText(QStringLiteral("1"));

    // The right side: the devices above, the selected device's variables below.
    L_Devices = label(this, "L_Devices", kRightLeft, 75);
    ACG1 = addGrid(this, QStringLiteral("ACG1"), kDeviceColumns, 2, kDeviceWidths, false);
    ACG1->setGeometry(kRightLeft, 92, kRightWidth, 190);
    ACG1->setOptions(ACG1->options() | platform::goRowSelect);
    for (int c = 0; c < kDeviceColumns; ++c)
        ACG1->Columns().Items(c)->ReadOnly = true;
    for (int c : {3, 4}) {
        ACG1->Columns().Items(c)->SetEditor(controls::grid::edDataCheckBox);
        ACG1->Columns().Items(c)->SetAlignment(platform::Alignment::taCenter);
    }
    L_Vars = label(this, "L_Vars", kRightLeft, 290);
    ACG2 = addGrid(this, QStringLiteral("ACG2"), kVariableColumns, 2, kVariableWidths, true);
    ACG2->setGeometry(kRightLeft, 307, kRightWidth, 184);
    for (int c = 0; c < kVariableColumns; ++c)
        ACG2->Columns().Items(c)->ReadOnly = true;

    ACG1->OnClickCell = [this](controls::grid::TExtStringGridInput*, int, int) { ACG1Click(); };
    for (TExtColumnGrid* g : {ACG1, ACG2})
        g->OnDblClickCell = [g](controls::grid::TExtStringGridEdit*, int row, int col) {
            if (row == 0)
                g->AutoSizeCol(col, 0);
        };
    ACG1->OnGridHint = [this](controls::grid::TExtStringGrid*, int row, int col, QString& hint) {
        if (row == 0 && col >= 0 && col < Hint_ACG1.size())
            hint = Hint_ACG1[col];
    };
    // The hints follow the shown columns after "N"; the grid names real columns (the hidden
    // Enable column is column 1).
    ACG2->OnGridHint = [this](controls::grid::TExtStringGrid*, int row, int col, QString& hint) {
        if (row == 0 && col >= 2 && col - 2 < Hint_ACG2.size())
            hint = Hint_ACG2[col - 2];
    };

    const int buttonsTop = kClientHeight - 38;
    Btn_OK = addRowButton(this, QStringLiteral("Btn_OK"), 0, buttonsTop);
    Btn_Cancel = addRowButton(this, QStringLiteral("Btn_Cancel"), 1, buttonsTop);
    Btn_Template = addRowButton(this, QStringLiteral("Btn_Template"), 2, buttonsTop);
    Btn_Cancel->setModalResult(controls::mrCancel);
    Btn_OK->onClick = [this](controls::TFxButton*) { Btn_OKClick(); };
    Btn_Template->onClick = [this](controls::TFxButton*) { Btn_TemplateClick(); };
    Btn_Add->onClick = [this](controls::TFxButton*) { Btn_AddClick(); };
    Btn_Modify->onClick = [this](controls::TFxButton*) { Btn_ModifyClick(); };
    Btn_Delete->onClick = [this](controls::TFxButton*) { Btn_DeleteClick(); };

    ACG2->HideColumn(1);
    ACG2->Columns().Items(9)->SetWidth(145);
    CB_Select_Conv->setItems(converterCodes(ws().Converter_Type));
    CB_Select_Conv->setItemIndex(0);
    L_MBus_NumByte->setVisible(isProfinet());
    Set_Lang();
}

TFConf_BAC_MBus_Pelvarta::~TFConf_BAC_MBus_Pelvarta() = default;

void TFConf_BAC_MBus_Pelvarta::Set_Lang()
{
    setWindowTitle(text(isProfinet() ? 1929 : 1155));
    Hint_ACG1.clear();
    for (int t = 1177; t <= 1185; ++t)
        Hint_ACG1 << text(t);
    Hint_ACG2.clear();
    for (int t = 1198; t <= 1205; ++t)
        Hint_ACG2 << text(t);
    if (!controlsBuilt())
        return;
    platform::setLabelText(L_SW_Desc, text(isProfinet() ? 1930 : 1156));
    GB_Node->setCaption(text(1157));
    const std::pair<platform::ctl::Label*, int> labels[] = {
        {L_Sel_Template, 1158}, {L_Desc, 1159}, {L_ID_Type, 1160}, {L_MBus_ID, 1161}, {L_MSB, 1164},
        {L_SST, 1165},          {L_ThirdField, 1166}, {L_Devices, 1167}, {L_Vars, 1186}, {L_Select_Conv, 1279},
    };
    for (const auto& [l, t] : labels)
        l->setCaption(text(t));
    CB_NodeState->setCaption(text(1162));
    CB_IdeNumber->setCaption(text(1163));
    const int idType = std::max(CB_ID_Type->itemIndex(), 0);
    CB_ID_Type->setItems({text(1208), text(1209)});
    CB_ID_Type->setItemIndex(idType);
    for (int c = 0; c < kDeviceColumns; ++c)
        ACG1->Columns().Items(c)->SetHeader(text(1168 + c));
    for (int c = 0; c < kVariableColumns; ++c)
        ACG2->Columns().Items(c)->SetHeader(text(1187 + c));
    const std::pair<controls::TFxButton*, int> buttons[] = {{Btn_Add, 1210},    {Btn_Modify, 1211}, {Btn_Delete, 1212},
                                                            {Btn_OK, 1213},     {Btn_Cancel, 1214}, {Btn_Template, 1206}};
    for (const auto& [b, t] : buttons)
        b->setCaption(text(t));
    platform::ctl::fitLabels(GB_Node);
    Update_NumBytes_Used();
}

void TFConf_BAC_MBus_Pelvarta::FormShow()
{
    ensureControls();
    Load_Template();
    Load_Configuration();
    if (isProfinet()) {
        Load_Num_Byte_ParGen();
        Update_NumBytes_Used();
    }
    Update_Data_Node();
    Update_List_Devices();
    Update_Vars_List();
}

// --- templates ------------------------------------------------------------------------------

void TFConf_BAC_MBus_Pelvarta::Load_Template()
{
    List_Template = templateFileList(ws().Template_Dir);
    Update_List_Template();
}

void TFConf_BAC_MBus_Pelvarta::Update_List_Template()
{
    CB_Sel_Template->setItems(List_Template);
    CB_Sel_Template->setEnabled(!List_Template.isEmpty());
    CB_Sel_Template->setItemIndex(List_Template.isEmpty() ? -1 : 0);
}

bool TFConf_BAC_MBus_Pelvarta::Template_Exists(const QString& Template_Name) const
{
    return List_Template.contains(Template_Name);
}

void TFConf_BAC_MBus_Pelvarta::Btn_TemplateClick()
{
    if (templateWindow)
        templateWindow->showModal();
}

// --- the device list ------------------------------------------------------------------------

void TFConf_BAC_MBus_Pelvarta::Delete_All_Devices() { Devices_List.clear(); }

void TFConf_BAC_MBus_Pelvarta::Load_Configuration()
{
    Delete_All_Devices();
    loadError_.clear();
    const workspace::Workspace& w = ws();
    QStringList missing;
    try {
        const std::optional<DeviceListTexts> texts = readDeviceListTexts(w.Path_M_Bus_Custom_QV);
        if (!texts)
            return; // no list yet: the variant stays as it was
        DeviceList list = devicesFromTexts(*texts, w.Template_Dir);
        missing = devicesWithoutTemplate(*texts, w.Template_Dir);
        loadedIndex_ = list.converterIndex.value_or(0);
        CB_Select_Conv->setItemIndex(loadedIndex_);
        Devices_List = std::move(list.devices);
    } catch (const platform::UserError& e) {
        loadError_ = e.message();
        platform::showError(e.message());
        return;
    }
    if (!missing.isEmpty())
        platform::messageBoxes().show(
            platform::MsgKind::Information,
            QStringLiteral("The templates of these devices no longer exist in the folder TEMPLATE:\n%1\nThe devices "
                           "are not shown, and OK removes them from the device list.")
                .arg(missing.join(QLatin1Char('\n'))));
}

int TFConf_BAC_MBus_Pelvarta::converterIndex() const
{
    const int i = CB_Select_Conv->itemIndex();
    return i >= 0 ? i : loadedIndex_;
}

void TFConf_BAC_MBus_Pelvarta::Save_Configuration()
{
    mbus::Save_Configuration(ws().Path_M_Bus_Custom_QV, Devices_List, converterIndex());
}

// --- a device -------------------------------------------------------------------------------

DeviceFields TFConf_BAC_MBus_Pelvarta::fields() const
{
    DeviceFields f;
    f.templateName = CB_Sel_Template->text();
    f.description = E_Desc->text();
    f.idType = CB_ID_Type->itemIndex() == 1 ? 1 : 0;
    f.idMBus = E_MBus_ID->text();
    f.nodeState = CB_NodeState->checked();
    f.ideNumber = CB_IdeNumber->checked();
    f.msb = E_MSB->text();
    f.sst = E_SST->text();
    f.thirdField = E_ThirdField->text();
    return f;
}

void TFConf_BAC_MBus_Pelvarta::showFields(const DeviceFields& f)
{
    CB_Sel_Template->setItemIndex(List_Template.indexOf(f.templateName));
    E_Desc->setText(f.description);
    CB_ID_Type->setItemIndex(f.idType != 0 ? 1 : 0);
    E_MBus_ID->setText(f.idMBus);
    CB_NodeState->setChecked(f.nodeState);
    CB_IdeNumber->setChecked(f.ideNumber);
    E_MSB->setText(f.msb);
    E_SST->setText(f.sst);
    E_ThirdField->setText(f.thirdField);
}

void TFConf_BAC_MBus_Pelvarta::resetFields()
{
    DeviceFields f;
    f.templateName = List_Template.value(0);
    showFields(f);
}

bool TFConf_BAC_MBus_Pelvarta::Controllo_dati()
{
    if (const std::optional<int> failure = checkDeviceFields(fields())) {
        platform::showError(text(*failure));
        return false;
    }
    return true;
}

int TFConf_BAC_MBus_Pelvarta::selectedDevice() const
{
    const int row = ACG1->Row();
    return row >= 1 && row <= int(Devices_List.size()) ? row - 1 : -1;
}

void TFConf_BAC_MBus_Pelvarta::Add_Device()
{
    if (!Controllo_dati())
        return;
    try {
        Devices_List.push_back(deviceFromFields(fields(), ws().Template_Dir));
    } catch (const platform::UserError& e) {
        platform::showError(e.message());
        return;
    }
    Update_List_Devices();
}

void TFConf_BAC_MBus_Pelvarta::Modify_Device()
{
    const int i = selectedDevice();
    if (i < 0 || !Controllo_dati())
        return;
    try {
        modifyDevice(Devices_List[size_t(i)], fields(), ws().Template_Dir);
    } catch (const platform::UserError& e) {
        platform::showError(e.message());
        return;
    }
    Update_List_Devices();
    Update_Vars_List();
}

void TFConf_BAC_MBus_Pelvarta::Delete_Device()
{
    const int i = selectedDevice();
    if (i < 0)
        return;
    Devices_List.erase(Devices_List.begin() + i);
    Update_Data_Node();
    Update_List_Devices();
    Update_Vars_List();
}

void TFConf_BAC_MBus_Pelvarta::Btn_AddClick()
{
    ensureControls();
    Add_Device();
    if (isProfinet())
        Update_NumBytes_Used();
}

void TFConf_BAC_MBus_Pelvarta::Btn_ModifyClick()
{
    ensureControls();
    Modify_Device();
    if (isProfinet())
        Update_NumBytes_Used();
}

void TFConf_BAC_MBus_Pelvarta::Btn_DeleteClick()
{
    ensureControls();
    Delete_Device();
    if (isProfinet())
        Update_NumBytes_Used();
}

void TFConf_BAC_MBus_Pelvarta::ACG1Click()
{
    ensureControls();
    if (Devices_List.empty())
        return;
    Update_Data_Node();
    Update_Vars_List();
}

QString TFConf_BAC_MBus_Pelvarta::AddZeroStr(const QString& text, int MinLen) { return Pad_Zero_Left(text, MinLen); }

// --- the grids ------------------------------------------------------------------------------

void TFConf_BAC_MBus_Pelvarta::Update_Data_Node()
{
    const int i = selectedDevice();
    if (i < 0) {
        resetFields();
        return;
    }
    const TDevice_QV& d = Devices_List[size_t(i)];
    if (Template_Exists(d.Template_File))
        showFields(fieldsOf(d));
}

void TFConf_BAC_MBus_Pelvarta::Update_List_Devices()
{
    const int n = int(Devices_List.size());
    ACG1->BeginUpdate();
    ACG1->SetRowCount(std::max(n, 1) + 1);
    if (n == 0) {
        fillRow(ACG1, 1, {QString(), QString(), QString(), QStringLiteral("N"), QStringLiteral("N"), QString(),
                          QString(), QString(), QString()});
    }
    for (int i = 0; i < n; ++i)
        fillRow(ACG1, i + 1, deviceRowTexts(Devices_List[size_t(i)], text(1208), text(1209)));
    ACG1->EndUpdate();
}

void TFConf_BAC_MBus_Pelvarta::Update_Vars_List()
{
    const int i = selectedDevice();
    const std::vector<TVar_Dev>* vars = i >= 0 ? &Devices_List[size_t(i)].Vars_List : nullptr;
    ACG2->BeginUpdate();
    if (!vars || vars->empty()) {
        ACG2->SetRowCount(2);
        QStringList empty(kVariableColumns, QString());
        empty[1] = QStringLiteral("N");
        fillRow(ACG2, 1, empty);
    } else {
        ACG2->SetRowCount(int(vars->size()) + 1);
        for (size_t k = 0; k < vars->size(); ++k)
            fillRow(ACG2, int(k) + 1, variableRowTexts((*vars)[k], int(k) + 1));
    }
    ACG2->EndUpdate();
}

// --- bytes and OK ---------------------------------------------------------------------------

int32_t TFConf_BAC_MBus_Pelvarta::Used_Bytes() const { return mbus::master::Used_Bytes(Devices_List); }

void TFConf_BAC_MBus_Pelvarta::Update_NumBytes_Used()
{
    platform::setLabelText(L_MBus_NumByte, text(1207) + QString::number(Used_Bytes()));
}

void TFConf_BAC_MBus_Pelvarta::Load_Num_Byte_ParGen()
{
    const ByteLimit limit = mbus::master::Load_Num_Byte_ParGen(ws().Path_ParGen);
    Num_Byte_Max = limit.Num_Byte_Max;
    Auto_Calc_Byte = limit.Auto_Calc_Byte;
}

void TFConf_BAC_MBus_Pelvarta::Save_Num_Byte_ParGen()
{
    if (Auto_Calc_Byte)
        mbus::master::Save_Num_Byte_ParGen(ws().Path_ParGen, Used_Bytes());
}

bool TFConf_BAC_MBus_Pelvarta::Check_Configuration()
{
    const std::optional<QString> failure = mbus::master::Check_Configuration(
        Devices_List, CB_Select_Conv->itemIndex(), ws().Converter_Type, ByteLimit{Num_Byte_Max, Auto_Calc_Byte});
    if (failure)
        platform::showError(*failure);
    return !failure;
}

void TFConf_BAC_MBus_Pelvarta::Btn_OKClick()
{
    ensureControls();
    if (!Check_Configuration())
        return;
    if (!loadError_.isEmpty() &&
        !platform::askYesNo(QStringLiteral("The file %1 could not be read when this window opened. Saving replaces it "
                                           "with the devices shown. Replace it?")
                                .arg(QFileInfo(ws().Path_M_Bus_Custom_QV).fileName())))
        return;
    try {
        Save_Configuration();
        loadError_.clear();
        if (isProfinet())
            Save_Num_Byte_ParGen();
    } catch (const platform::UserError& e) {
        platform::showError(e.message());
        return;
    }
    setModalResult(platform::mrOk);
}

} // namespace mbus::master
