#include "mbus/master/window/UMBus_Custom.h"

#include "controls/button/FormButton.h"
#include "controls/grid/column/ColumnGrid.h"
#include "mbus/master/TextInput.h"
#include "mbus/master/window/WindowParts.h"
#include "platform/ui/Controls.h"
#include "platform/ui/controls/Controls.h"

#include <QLabel>
#include <QListWidget>

namespace mbus::master {

namespace {

constexpr int kWidth = 900;
constexpr int kHeight = 500;
constexpr int kColumnWidths[5] = {40, 60, 70, 200, 200};

} // namespace

TFMBus_Custom::TFMBus_Custom(QWidget* parent) : platform::Form(parent)
{
    // FormCreate: the two device lists are members, empty from the start; the controls wait for
    // the first show.
    setObjectName(QStringLiteral("FMBus_Custom"));
    setFont(platform::uiFont(QStringLiteral("Verdana"), 8));
    platform::setBackgroundColor(this, kWindowBackground);
    setWindowTitle(QStringLiteral("M-Bus Network"));
    setClientSize(kWidth, kHeight);
}

void TFMBus_Custom::buildControls()
{

    auto* title = new QWidget(this);
    title->setObjectName(QStringLiteral("P_Title"));
    title->setGeometry(0, 0, kWidth, 48);
    QFont big = platform::uiFont(QStringLiteral("Verdana"), 8, true);
    big.setPixelSize(16);
    L_Title = platform::addLabel(title, QStringLiteral("L_Title"), 16, 14, big);
    platform::setLabelText(L_Title, QStringLiteral("M-Bus Network"));
    L_NumByte = platform::addLabel(title, QStringLiteral("L_NumByte"), 700, 18, font());
    platform::setLabelText(L_NumByte, QStringLiteral("Bytes Used : 0"));

    auto* left = new QWidget(this);
    left->setObjectName(QStringLiteral("P_Left"));
    left->setGeometry(8, 56, 240, kHeight - 56 - 48);
    L_Add_Template = platform::addLabel(left, QStringLiteral("L_Add_Template"), 0, 0, font());
    platform::setLabelText(L_Add_Template, QStringLiteral("Add Template"));
    CB_Add_Template = new platform::ctl::ComboBox(left);
    CB_Add_Template->setObjectName(QStringLiteral("CB_Add_Template"));
    CB_Add_Template->setGeometry(0, 16, 240, 22);
    Btn_Add = controls::addButton(left, QStringLiteral("Btn_Add"), 0, 44, 80, 26);
    Btn_Add->setCaption(QStringLiteral("Add"));
    L_Devices = platform::addLabel(left, QStringLiteral("L_Devices"), 0, 80, font());
    platform::setLabelText(L_Devices, QStringLiteral("List of Devices"));
    LB_Devices = new QListWidget(left);
    LB_Devices->setObjectName(QStringLiteral("LB_Devices"));
    LB_Devices->setGeometry(0, 96, 240, left->height() - 96);

    ACG = addGrid(this, QStringLiteral("ACG"), 5, 2, kColumnWidths, true);
    ACG->setGeometry(256, 56, kWidth - 256 - 8, kHeight - 56 - 48);
    const char* headers[] = {"N", "Frame", "Position", "Object Name", "Description"};
    for (int c = 0; c < 5; ++c)
        ACG->Columns().Items(c)->SetHeader(QLatin1String(headers[c]));
    ACG->OnResize = [this](controls::grid::TExtStringGrid*) { ACGResize(); };

    const int top = kHeight - 38;
    Btn_OK = addRowButton(this, QStringLiteral("Btn_OK"), 0, top);
    Btn_Cancel = addRowButton(this, QStringLiteral("Btn_Cancel"), 1, top);
    Btn_Import = addRowButton(this, QStringLiteral("Btn_Import"), 2, top);
    Btn_OK->setCaption(QStringLiteral("OK"));
    Btn_Cancel->setCaption(QStringLiteral("Cancel"));
    Btn_Import->setCaption(QStringLiteral("Import Network"));
}

TFMBus_Custom::~TFMBus_Custom() = default;

void TFMBus_Custom::ACGResize()
{
    ensureControls();
    auto& columns = ACG->Columns();
    const int used = columns.Items(0)->Width() + columns.Items(1)->Width() + columns.Items(2)->Width();
    const int client = ACG->clientWidth();
    if (used + 164 < client) {
        const int half = (client - used - 4) / 2;
        columns.Items(3)->SetWidth(half);
        columns.Items(4)->SetWidth(half);
    }
}

void TFMBus_Custom::Import_Devices_Template(const QString& file_name)
{
    std::vector<TDevice_MBus> devices = parseDeviceDescriptions(readTextInput(file_name));
    for (TDevice_MBus& d : devices)
        AvailableDevices.push_back(std::move(d));
}

} // namespace mbus::master
