#include "app/VarnetoreFirmWare.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPixmap>
#include <QScreen>
#include <QShowEvent>
#include <algorithm>
#include <exception>

#include "app/Artwork.h"
#include "app/Button.h"
#include "app/Commands.h"
#include "app/WebLinks.h"
#include "app/OpenConf.h"
#include "app/Projects.h"
#include "app/UpdateCheck.h"
#include "platform/fs/Files.h"
#include "platform/text/UserError.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Form.h"
#include "platform/ui/Timer.h"
#include "workspace/DeviceTypes.h"
#include "workspace/Folders.h"
#include "workspace/LangTexts.h"
#include "workspace/Settings.h"
#include "workspace/Validators.h"
#include "workspace/Workspace.h"

namespace app {

namespace {

using workspace::text;
using workspace::ws;

// Every button of the main window with the UI text of its caption (or hint, for the three
// icon buttons). -1: set apart in Set_Lang (a fixed caption, or one that depends on the model).
struct ButtonText {
    const char* name;
    int textIndex;
};
constexpr ButtonText kIconButtons[] = {{"Btn_Info", 12}, {"Btn_Opz", 13}, {"Btn_Close", 14}};
constexpr ButtonText kStepButtons[] = {
    {"Btn_New", 15}, {"Btn_Open", 16}, {"Btn_CreateBin", 17}, {"Btn_Prm_Gen", 20},
    {"Btn_ModM_SetAccess", 90}, {"Btn_ModM_BACnet_SetAccess", 91}, {"Btn_ModS_BACnet_SetAccess", 92},
    {"Btn_ModTCPM_SetAccess", 93}, {"Btn_ModTCPM_BACnet_SetAccess", 94}, {"Btn_ModTCPS_BACnet_SetAccess", 95},
    {"Btn_PROFIBUSs_BACnet_SetAccess", 96}, {"Btn_CAN_BACnet_SetAccess", 97}, {"Btn_CAN_Rec_Frame", 98},
    {"Btn_CAN_Rec_Info", 99}, {"Btn_CAN_Send_Frame", 100}, {"Btn_CAN_Send_Info", 101},
    {"Btn_SDO_Server_CANopen", 103}, {"Btn_SDO_Client_CANopen", 104}, {"Btn_PDO_CANopen", 105},
    {"Btn_MBus", 106}, {"Btn_PROFINET_BACnet_SetAccess", 107}, {"Btn_Ethernet_BACnet_SetAccess", 108},
    {"Btn_DeviceNetM_BACnet_SetAccess", 109}, {"Btn_DNet_Net", 110}, {"Btn_DNet_Offset", 111},
    {"Btn_DeviceNetS_BACnet_SetAccess", 112}, {"Btn_EtherNetIP_BACnet_SetAccess", 113},
    {"Btn_J1939_BACnet_SetAccess", 114}, {"Btn_J1939_Rec_Frame", 115}, {"Btn_J1939_Send_Frame", 116},
    {"Btn_NMEA_BACnet_SetAccess", 117}, {"Btn_NMEA_Rec_Frame", 118}, {"Btn_NMEA_Send_Frame", 119},
    {"Btn_BACnet_Objects_Map", 120}, {"Btn_PROFIBUS_GSD", 121}, {"Btn_PROFINET_XML", 122},
    {"Btn_KNX_BACnet_SetAccess", 940}, {"Btn_KNX_Access", 941}, {"Btn_DMX_BACnet_SetAccess", 1057},
    {"Btn_DMX_Default", 1058}, {"Btn_SNMP_Manager_BACnet_SetAccess", 1093}, {"Btn_SNMP_Manager_Access", 1094},
    {"Btn_ScanDecode", 1228}, {"Btn_BACnet_EDE_File", 1277}, {"Btn_SNMP_Trap", 1917}, {"Btn_SNMP_MIB", 1918},
    {"Btn_BACnet_BDT_Access", 1919}, {"Btn_PROFINET_Map", -1}, {"Btn_CANopen_EDS", -1},
};

// Buttons that show one window, and the window.
struct ShowCommand {
    const char* button;
    WindowId window;
};
constexpr ShowCommand kShowCommands[] = {
    {"Btn_ModM_SetAccess", WindowId::FSetAccess},
    {"Btn_ModM_BACnet_SetAccess", WindowId::FBACnetSetAccess},
    {"Btn_ModTCPM_BACnet_SetAccess", WindowId::FBACnetSetAccess},
    {"Btn_ModS_BACnet_SetAccess", WindowId::FBACnetSetAccess_ModSlave},
    {"Btn_ModTCPS_BACnet_SetAccess", WindowId::FBACnetSetAccess_ModSlave},
    {"Btn_PROFIBUSs_BACnet_SetAccess", WindowId::FBACnetSetAccess_ModSlave},
    {"Btn_CAN_BACnet_SetAccess", WindowId::FBACnetSetAccess_ModSlave},
    {"Btn_PROFINET_BACnet_SetAccess", WindowId::FBACnetSetAccess_ModSlave},
    {"Btn_DeviceNetM_BACnet_SetAccess", WindowId::FBACnetSetAccess_ModSlave},
    {"Btn_DeviceNetS_BACnet_SetAccess", WindowId::FBACnetSetAccess_ModSlave},
    {"Btn_EtherNetIP_BACnet_SetAccess", WindowId::FBACnetSetAccess_ModSlave},
    {"Btn_J1939_BACnet_SetAccess", WindowId::FBACnetSetAccess_ModSlave},
    {"Btn_NMEA_BACnet_SetAccess", WindowId::FBACnetSetAccess_ModSlave},
    {"Btn_Ethernet_BACnet_SetAccess", WindowId::FBACnetSetAccess_ModSlave},
    {"Btn_KNX_BACnet_SetAccess", WindowId::FBACnetSetAccess_ModSlave},
    {"Btn_DMX_BACnet_SetAccess", WindowId::FBACnetSetAccess_ModSlave},
    {"Btn_SNMP_Manager_BACnet_SetAccess", WindowId::FBACnetSetAccess_ModSlave},
    {"Btn_ModTCPM_SetAccess", WindowId::FSetAccessTCP},
    {"Btn_CAN_Rec_Frame", WindowId::FCAN_Rec_Frames},
    {"Btn_CAN_Send_Frame", WindowId::FCAN_Send_Frame},
    {"Btn_CAN_Rec_Info", WindowId::F_Rec_Info},
    {"Btn_CAN_Send_Info", WindowId::F_Sen_Info},
    {"Btn_SDO_Server_CANopen", WindowId::FSet_SDO_Server_Access},
    {"Btn_SDO_Client_CANopen", WindowId::FSet_SDO_Client_Access},
    {"Btn_PDO_CANopen", WindowId::FSet_PDO_Access},
    {"Btn_DNet_Net", WindowId::FDNet},
    {"Btn_DNet_Offset", WindowId::FDefOffset},
    {"Btn_J1939_Rec_Frame", WindowId::FReceiveJ1939},
    {"Btn_J1939_Send_Frame", WindowId::FTransmitJ1939},
    {"Btn_NMEA_Rec_Frame", WindowId::FReceiveNMEA},
    {"Btn_NMEA_Send_Frame", WindowId::FTransmitNMEA},
    {"Btn_KNX_Access", WindowId::FKNXAccess},
    {"Btn_DMX_Default", WindowId::FDMXDefVal},
    {"Btn_SNMP_Manager_Access", WindowId::FSNMPManagerAccess},
    {"Btn_SNMP_Trap", WindowId::FSNMP_Trap_Access},
    {"Btn_BACnet_BDT_Access", WindowId::FBACnet_BDT},
};

constexpr int kDesignWidth = 1109;
constexpr int kDesignHeight = 830;
constexpr int kStepButtonWidth = 170;
constexpr int kStepButtonHeight = 36;
constexpr int kIconButtonSize = 50;
constexpr int kFirstUpdateCheckMs = 60000;
constexpr int kUpdateCheckIntervalMs = 7200000;

QString name(const char* n) { return QLatin1String(n); }

void showUnavailable() { platform::showError(notAvailableText()); }

} // namespace

TFVarnetoreFirmWare::TFVarnetoreFirmWare(const QString& programDir, QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("FVarnetoreFirmWare"));
    createControls();
    FormCreate(programDir);
}

TFVarnetoreFirmWare::~TFVarnetoreFirmWare() = default;

void TFVarnetoreFirmWare::createControls()
{
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    platform::setBackgroundColor(this, QColor(248, 247, 237));
    const QFont normal = platform::uiFont(QStringLiteral("Verdana"), 8);
    setFont(normal);
    setFixedSize(kDesignWidth, kDesignHeight);

    QPalette grey;
    grey.setColor(QPalette::WindowText, QColor(128, 128, 128));

    L_SW_Code = platform::addLabel(this, QStringLiteral("L_SW_Code"), 16, 8,
                                   platform::uiFont(QStringLiteral("Verdana"), 18, true));
    L_SW_Code->setPalette(grey);
    L_SW_Desc = platform::addLabel(this, QStringLiteral("L_SW_Desc"), 16, 42,
                                   platform::uiFont(QStringLiteral("Verdana"), 10, true));
    L_SW_Desc->setPalette(grey);
    L_Begin = platform::addLabel(this, QStringLiteral("L_Begin"), 16, 84, platform::uiFont(QStringLiteral("Verdana"), 8, true));
    Shape2 = platform::addShape(this, QStringLiteral("Shape2"), 80, 70, 426, 36, QColor(160, 160, 160), false);
    L_Name_Conf = platform::addLabel(this, QStringLiteral("L_Name_Conf"), 87, 75, normal);
    L_Name_Conf_L2 = platform::addLabel(this, QStringLiteral("L_Name_Conf_L2"), 87, 88,
                                        platform::uiFont(QStringLiteral("Verdana"), 8, true));
    for (int i = 0; i < 9; ++i) {
        L_Step[i] = platform::addLabel(this, QStringLiteral("L_Step_%1").arg(i + 1), 16, workspace::stepLabelTop(i + 1),
                                       platform::uiFont(QStringLiteral("Verdana"), 8, true));
        L_Step[i]->setPalette(grey);
    }

    L_Ostrel = new platform::LinkLabel(this);
    L_Ostrel->setObjectName(QStringLiteral("L_Ostrel"));
    L_Ostrel->setFont(normal);
    platform::setLabelText(L_Ostrel, QStringLiteral("www.ostrelcorp.com"));
    connect(L_Ostrel, &platform::LinkLabel::clicked, this, [this] { L_OstrelClick(); });

    LL_Update = new platform::LinkLabel(this);
    LL_Update->setObjectName(QStringLiteral("LL_Update"));
    LL_Update->setFont(normal);
    LL_Update->move(258, 42);
    LL_Update->hide();
    connect(LL_Update, &platform::LinkLabel::clicked, this, [this] { LL_UpdateLinkClick(updateLink_); });

    // The partner's logo is drawn only for the model that shows it (applyDeviceLayout).
    I_Quendal = new QLabel(this);
    I_Quendal->setObjectName(QStringLiteral("I_Quendal"));
    I_Quendal->resize(120, 48);

    Shape1 = platform::addShape(this, QStringLiteral("Shape1"), 10, 500, 674, 1, QColor(160, 160, 160), true);

    const QImage icons[] = {artwork::infoIcon(), artwork::optionsIcon(), artwork::closeIcon()};
    int i = 0;
    for (const ButtonText& b : kIconButtons) {
        AppButton* btn = addButton(this, name(b.name), 0, 0, kIconButtonSize, kIconButtonSize);
        btn->setGlyph(icons[i++]);
        btn->onClick = [this](AppButton* sender) { Btn_Click(sender); };
        buttons_.push_back(btn);
    }
    const QImage glyph = artwork::stepGlyph();
    for (const ButtonText& b : kStepButtons) {
        AppButton* btn = addButton(this, name(b.name), 80, 0, kStepButtonWidth, kStepButtonHeight);
        makeStepButton(btn, glyph);
        btn->onClick = [this](AppButton* sender) { Btn_Click(sender); };
        buttons_.push_back(btn);
    }

    Timer_Update = new platform::Timer(this);
    Timer_Update->setObjectName(QStringLiteral("Timer_Update"));
    Timer_Update->setInterval(kFirstUpdateCheckMs);
    Timer_Update->onTimer = [this] { Timer_UpdateTimer(); };
}

AppButton* TFVarnetoreFirmWare::button(const QString& n) const
{
    for (AppButton* b : buttons_)
        if (b->objectName() == n)
            return b;
    return nullptr;
}

void TFVarnetoreFirmWare::FormCreate(const QString& programDir)
{
    workspace::Workspace& w = ws();
    // 1. The UI-text table starts empty.
    w.Lang_Texts.clear();
    // 2. The fixed controls; 3. the layout of the device type.
    applyFixedLayout();
    applyDeviceLayout();
    // 4. The program's folders.
    workspace::setupFolders(programDir);
    // 5. The settings file (a value it lacks takes its default; the last project none).
    workspace::readSettings();
    // 6. The update check runs only when both internet options are on.
    applyUpdateTimerRule();
    // 7. The model's identity.
    workspace::setDeviceIdentity();
    setWindowTitle(w.Window_Title);
    platform::setLabelText(L_SW_Code, w.SW_Code);
    platform::setLabelText(L_SW_Desc, w.SW_Desc);
    // 8. The language.
    workspace::Load_Language();
    // 9. The last project, when its folder is still there.
    // Project_Name stays even without its folder, so the next save writes it back.
    w.Project_Dir = existingProjectFolder(w.Projects_Dir, w.Project_Name);
    showActiveConfiguration();
    // 10. The meter lists of the scan belong to the scan's own objects and are created there.
    // 11. The texts.
    Set_Lang();
    // 12. The project file paths.
    workspace::Set_Files();
    // 13. The shared lists start empty.
    w.Row_Clipboard.clear();
    w.MIB_Read_List.clear();
    w.MIB_Write_List.clear();
}

// The labels and shapes keep the places createControls gave them; this shows the fixed part
// and places the buttons every model has.
void TFVarnetoreFirmWare::applyFixedLayout()
{
    for (QWidget* wdg : std::initializer_list<QWidget*>{L_SW_Code, L_SW_Desc, L_Begin, Shape2, L_Name_Conf,
                                                        L_Name_Conf_L2})
        wdg->show();
    button(QStringLiteral("Btn_Info"))->move(516, 8);
    button(QStringLiteral("Btn_Opz"))->move(574, 8);
    button(QStringLiteral("Btn_Close"))->move(632, 8);
    for (QLabel* step : L_Step)
        step->hide();
    L_Ostrel->move(565, 392);
    L_Ostrel->hide();
    for (AppButton* b : buttons_)
        b->setVisible(false);
    for (const char* n : {"Btn_Info", "Btn_Opz", "Btn_Close"})
        button(name(n))->show();
    button(QStringLiteral("Btn_New"))->move(80, 112);
    button(QStringLiteral("Btn_Open"))->move(258, 112);
    button(QStringLiteral("Btn_Prm_Gen"))->move(80, 156);
    button(QStringLiteral("Btn_CreateBin"))->move(80, 332);
    for (const char* n : {"Btn_New", "Btn_Open", "Btn_Prm_Gen", "Btn_CreateBin"})
        button(name(n))->show();
    I_Quendal->hide();
}

void TFVarnetoreFirmWare::applyDeviceLayout()
{
    const workspace::StepLayout l = workspace::layoutFor(ws().Converter_Type);
    for (int i = 0; i < 9; ++i)
        L_Step[i]->setVisible(i < l.stepCount);
    for (const workspace::StepButton& sb : l.buttons)
        if (AppButton* b = button(sb.name)) {
            b->move(sb.left, sb.top);
            b->show();
        }
    if (l.showScanButton) {
        AppButton* scan = button(QStringLiteral("Btn_ScanDecode"));
        scan->move(workspace::kScanButtonPos);
        scan->show();
    }
    button(QStringLiteral("Btn_CreateBin"))->move(80, l.createBinTop);
    L_Ostrel->setVisible(l.showOstrel);
    if (l.showOstrel)
        L_Ostrel->move(l.ostrelPos);
    I_Quendal->setVisible(l.showLogo);
    if (l.showLogo) {
        if (I_Quendal->pixmap().isNull())
            I_Quendal->setPixmap(QPixmap::fromImage(artwork::partnerLogo()));
        I_Quendal->move(l.logoPos);
    }
    Shape1->setGeometry(l.separator);
    setFixedSize(l.clientSize);
    orderTabStops();
}

// Tab walks the buttons as the steps read: row by row from the top, left to right in a row.
// The buttons are created in a fixed list whose order says nothing about where each model
// places them (Update Device would otherwise follow Open Configuration).
void TFVarnetoreFirmWare::orderTabStops()
{
    std::vector<AppButton*> shown;
    for (AppButton* b : buttons_)
        if (b->isVisibleTo(this))
            shown.push_back(b);
    std::stable_sort(shown.begin(), shown.end(), [](const AppButton* a, const AppButton* b) {
        return a->y() != b->y() ? a->y() < b->y() : a->x() < b->x();
    });
    for (std::size_t i = 1; i < shown.size(); ++i)
        QWidget::setTabOrder(shown[i - 1], shown[i]);
}

void TFVarnetoreFirmWare::showActiveConfiguration()
{
    const workspace::Workspace& w = ws();
    if (!w.Project_Dir.isEmpty()) {
        platform::setLabelText(L_Name_Conf, text(txt::OpenedConfiguration));
        platform::setLabelText(L_Name_Conf_L2, w.Project_Name);
    } else {
        platform::setLabelText(L_Name_Conf, text(txt::NoConfiguration));
        platform::setLabelText(L_Name_Conf_L2, text(txt::UseStep1));
    }
}

void TFVarnetoreFirmWare::Set_Lang()
{
    platform::setLabelText(L_Begin, text(0));
    for (int i = 0; i < 8; ++i)
        platform::setLabelText(L_Step[i], text(1 + i));
    platform::setLabelText(L_Step[8], text(22));
    for (const ButtonText& b : kIconButtons)
        button(name(b.name))->setHint(text(b.textIndex));
    for (const ButtonText& b : kStepButtons) {
        AppButton* btn = button(name(b.name));
        if (b.textIndex >= 0)
            btn->setCaption(text(b.textIndex));
    }
    button(QStringLiteral("Btn_PROFINET_Map"))->setCaption(text(workspace::layoutFor(ws().Converter_Type).profinetMapTextIndex));
    button(QStringLiteral("Btn_CANopen_EDS"))->setCaption(QStringLiteral("EDS File"));
}

void TFVarnetoreFirmWare::registerWindow(WindowId id, platform::Form* window)
{
    const int i = windowIndex(id);
    if (i > 0 && i < kWindowCount)
        windows_[i] = window;
}

platform::Form* TFVarnetoreFirmWare::window(WindowId id) const
{
    const int i = windowIndex(id);
    return i > 0 && i < kWindowCount ? windows_[i].data() : nullptr;
}

void TFVarnetoreFirmWare::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    if (e->spontaneous() || shownOnce_)
        return;
    shownOnce_ = true;
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - rect().center());
    }
    // A model's layout taller than a small screen would put the title bar above it.
    platform::keepInsideScreen(this);
    FormShow();
}

void TFVarnetoreFirmWare::FormShow() { Enable_BDT_Table(); }

void TFVarnetoreFirmWare::closeEvent(QCloseEvent* e)
{
    FormClose();
    e->accept();
    // Closing the main window ends the program, whatever other window is still around.
    QCoreApplication::quit();
}

void TFVarnetoreFirmWare::FormClose() { workspace::Save_Setting(); }

void TFVarnetoreFirmWare::applyUpdateTimerRule()
{
    // A timer already running keeps its count; one that starts uses its current interval.
    const workspace::Workspace& w = ws();
    Timer_Update->setEnabled(w.Opt_Enable_Internet && w.Opt_Enable_Update);
}

void TFVarnetoreFirmWare::Timer_UpdateTimer()
{
    Timer_Update->setEnabled(false);
    if (services_.Check_Version && services_.Check_Version())
        showUpdateLink(text(txt::NewVersion), downloadLink(ws().Converter_Type));
    else
        LL_Update->hide();
    // Two hours after this check ended, whatever the options say meanwhile; only confirming
    // the options with either internet option cleared stops it.
    Timer_Update->setInterval(kUpdateCheckIntervalMs);
    Timer_Update->setEnabled(true);
}

// --- commands -----------------------------------------------------------------------------

void TFVarnetoreFirmWare::Btn_Click(QWidget* sender)
{
    if (!sender)
        return;
    // An error that ends a command is shown and the window stays usable.
    try {
        runCommand(sender->objectName());
    } catch (const platform::UserError& e) {
        platform::showError(e.message());
    } catch (const std::exception& e) {
        platform::showError(QString::fromLocal8Bit(e.what()));
    }
}

void TFVarnetoreFirmWare::runCommand(const QString& n)
{
    if (n == QLatin1String("Btn_New"))
        return Create_New_Project();
    if (n == QLatin1String("Btn_Open"))
        return Open_Project();
    if (n == QLatin1String("Btn_Close")) {
        close();
        return;
    }
    if (n == QLatin1String("Btn_Info"))
        return showModalWindow(WindowId::FAbout);
    if (n == QLatin1String("Btn_Opz")) {
        platform::Form* options = window(WindowId::FSoftOptions);
        if (!options)
            return showUnavailable();
        if (options->showModal() == platform::mrOk) {
            workspace::Save_Setting();
            applyUpdateTimerRule();
        }
        return;
    }
    if (ws().Project_Dir.isEmpty()) {
        platform::showError(text(txt::ProjectNotValid));
        return;
    }
    for (const ShowCommand& c : kShowCommands)
        if (n == QLatin1String(c.button))
            return showModalWindow(c.window);
    if (n == QLatin1String("Btn_Prm_Gen")) {
        if (!window(WindowId::FParGen))
            return showUnavailable();
        showModalWindow(WindowId::FParGen);
        Enable_BDT_Table();
        return;
    }
    if (n == QLatin1String("Btn_MBus")) {
        const int t = ws().Converter_Type;
        return showModalWindow(t == 1 || t == 20 || t == 21 ? WindowId::FMeter_Bus : WindowId::FConf_BAC_MBus_Pelvarta);
    }
    if (n == QLatin1String("Btn_BACnet_Objects_Map"))
        return BACnet_Objects_Map();
    if (n == QLatin1String("Btn_BACnet_EDE_File"))
        return BACnet_EDE_File();
    if (n == QLatin1String("Btn_PROFINET_Map"))
        return PROFINET_Map_130();
    if (n == QLatin1String("Btn_PROFIBUS_GSD"))
        return services_.Create_GSD_File ? services_.Create_GSD_File() : showUnavailable();
    if (n == QLatin1String("Btn_SNMP_MIB"))
        return services_.Create_MIB_File ? services_.Create_MIB_File() : showUnavailable();
    if (n == QLatin1String("Btn_CANopen_EDS"))
        return Build_EDS_File();
    if (n == QLatin1String("Btn_PROFINET_XML"))
        return PROFINET_XML();
    if (n == QLatin1String("Btn_ScanDecode")) {
        platform::Form* scan = window(WindowId::FScanDecode);
        if (!scan || !services_.setScanFields)
            return showUnavailable();
        const workspace::Workspace& w = ws();
        if (platform::fileExists(w.Path_M_Bus) &&
            platform::messageBoxes().show(platform::MsgKind::Warning, text(txt::MBusExists)) != platform::MsgAnswer::Yes)
            return;
        services_.setScanFields(workspace::Get_XML_Code_Dev(), w.Path_M_Bus, workspace::Get_Form_Type());
        scan->showModal();
        return;
    }
    if (n == QLatin1String("Btn_CreateBin"))
        return Update_Device();
}

void TFVarnetoreFirmWare::showModalWindow(WindowId id)
{
    platform::Form* f = window(id);
    if (!f)
        return showUnavailable();
    f->showModal();
}

void TFVarnetoreFirmWare::Create_New_Project()
{
    platform::Form* dialog = window(WindowId::FNew_Project);
    if (!dialog)
        return showUnavailable();
    if (dialog->showModal() == platform::mrOk)
        showActiveConfiguration();
}

void TFVarnetoreFirmWare::Open_Project()
{
    platform::Form* dialog = window(WindowId::FOpenConf);
    if (!dialog)
        return showUnavailable();
    if (dialog->showModal() != platform::mrOk)
        return;
    workspace::Workspace& w = ws();
    auto* open = qobject_cast<TFOpenConf*>(dialog);
    w.Project_Name = open ? open->Name_Conf : QString();
    w.Project_Dir = existingProjectFolder(w.Projects_Dir, w.Project_Name);
    showActiveConfiguration();
    workspace::Set_Files();
}

void TFVarnetoreFirmWare::Update_Device()
{
    const workspace::Workspace& w = ws();
    const int type = w.Converter_Type;
    if (hasConfigurationImage(type)) {
        if (!services_.buildImages)
            return platform::showError(QStringLiteral("Error! The configuration image builder is not available in this build."));
        const QStringList written = services_.buildImages();
        // The wizard sends what is in the bin folder: it must be what was just built.
        const QString expected = platform::joinPath(platform::joinPath(w.Project_Dir, QStringLiteral("bin")),
                                                    QStringLiteral("bank1.bin"));
        QString missing = written.isEmpty() ? expected : QString();
        for (const QString& f : written)
            if (missing.isEmpty() && !platform::fileExists(f))
                missing = f;
        if (!missing.isEmpty())
            return platform::showError(QStringLiteral("Error! The configuration image was not written:\n") + missing);
    }
    const bool readsType = type == 1 || type == 20 || chooseUpdateWizard(type, 0).setsBACnetType;
    const int bacnetType = readsType ? Get_Type_BACnet() : 0;
    const WizardChoice choice = chooseUpdateWizard(type, bacnetType);
    if (choice.wizard == UpdateWizard::Serial)
        return showModalWindow(WindowId::FBootSer);
    platform::Form* wizard = window(WindowId::FBootTCP);
    if (!wizard)
        return showUnavailable();
    if (choice.setsBACnetType && services_.setBootTcpBACnetType)
        services_.setBootTcpBACnetType(bacnetType);
    wizard->showModal();
}

void TFVarnetoreFirmWare::Enable_BDT_Table()
{
    if (const std::optional<bool> on = bdtButtonEnabled(ws().Converter_Type))
        button(QStringLiteral("Btn_BACnet_BDT_Access"))->setEnabled(*on);
}

void TFVarnetoreFirmWare::exportCsv(const std::function<void(const QString&)>& writer)
{
    if (!writer)
        return showUnavailable();
    platform::FileDialogRequest r;
    r.initialFolder = ws().Project_Dir;
    r.filter = QStringLiteral("CSV (MS-DOS) (*.csv)");
    const QString chosen = platform::fileDialogs().saveFile(r);
    if (chosen.isEmpty())
        return;
    const QString file = csvExportFileName(chosen);
    if (platform::fileExists(file) &&
        platform::messageBoxes().show(platform::MsgKind::ConfirmCancel, text(txt::FileExists)) != platform::MsgAnswer::Yes)
        return;
    writer(file);
}

void TFVarnetoreFirmWare::BACnet_Objects_Map() { exportCsv(services_.Write_BACnet_Objects_Map); }
void TFVarnetoreFirmWare::BACnet_EDE_File() { exportCsv(services_.Write_BACnet_EDE_File); }
void TFVarnetoreFirmWare::PROFINET_Map_130() { exportCsv(services_.Write_PROFINET_Map_File); }

void TFVarnetoreFirmWare::Build_EDS_File()
{
    if (!services_.Write_EDS_File)
        return showUnavailable();
    platform::FileDialogRequest r;
    r.initialFolder = ws().Project_Dir;
    r.filter = QStringLiteral("Electronic Data Sheet (*.eds)");
    r.defaultExtension = QStringLiteral("eds");
    const QString chosen = platform::fileDialogs().saveFile(r);
    if (!chosen.isEmpty())
        services_.Write_EDS_File(chosen);
}

void TFVarnetoreFirmWare::PROFINET_XML()
{
    platform::Form* dialog = window(WindowId::FProfinetFileName);
    if (!dialog || !services_.profinetFileName || !services_.Create_PROFINET_XML)
        return showUnavailable();
    if (dialog->showModal() == platform::mrOk)
        services_.Create_PROFINET_XML(services_.profinetFileName());
}

void TFVarnetoreFirmWare::L_OstrelClick()
{
    openWebPage(makerPageUrl(ws().Converter_Type));
}

void TFVarnetoreFirmWare::showUpdateLink(const QString& caption, const QString& link)
{
    updateLink_ = link;
    platform::setLabelText(LL_Update, caption);
    LL_Update->show();
}

void TFVarnetoreFirmWare::LL_UpdateLinkClick(const QString& Link)
{
    openWebPage(Link);
}

void TFVarnetoreFirmWare::Change_Language()
{
    for (WindowId id : kLanguageOrder) {
        if (id == WindowId::FVarnetoreFirmWare)
            Set_Lang();
        else if (platform::Form* f = window(id))
            f->Set_Lang();
    }
}

} // namespace app
