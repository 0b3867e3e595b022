#include "update/BootTCP.h"

#include "controls/button/FxButton.h"
#include "platform/fs/Files.h"
#include "platform/net/Ping.h"
#include "platform/process/Clock.h"
#include "platform/text/UserError.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/StartProgram.h"
#include "platform/ui/controls/Controls.h"
#include "update/EthernetUpdateXml.h"
#include "update/PingCheck.h"
#include "update/UpdaterCommand.h"
#include "workspace/Workspace.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPalette>
#include <QPointer>
#include <QWidget>

namespace update {

using workspace::text;
using workspace::ws;

namespace {

platform::ctl::Edit* addAddressField(QWidget* parent, const QString& name, int left)
{
    auto* e = new platform::ctl::Edit(parent);
    e->setObjectName(name);
    e->setGeometry(left, 97, 41, 21);
    e->setText(QStringLiteral("0"));
    return e;
}

// Turns a control off for the lifetime of the object (and back on, if it was on).
class Disabled {
public:
    explicit Disabled(QWidget* w) : w_(w), was_(w->isEnabled()) { w_->setEnabled(false); }
    ~Disabled() { w_->setEnabled(was_); }
    Disabled(const Disabled&) = delete;
    Disabled& operator=(const Disabled&) = delete;

private:
    QWidget* w_;
    bool was_;
};

} // namespace

TFBootTCP::TFBootTCP(QWidget* parent) : UpdateWizard(QStringLiteral("FBootTCP"), parent)
{
    const QFont normal = normalFont();

    L_IP_Address = platform::addLabel(this, QStringLiteral("L_IP_Address"), 16, 75, normal);
    E_IP1 = addAddressField(this, QStringLiteral("E_IP1"), 35);
    E_IP2 = addAddressField(this, QStringLiteral("E_IP2"), 91);
    E_IP3 = addAddressField(this, QStringLiteral("E_IP3"), 147);
    E_IP4 = addAddressField(this, QStringLiteral("E_IP4"), 203);
    Label2 = platform::addLabel(this, QStringLiteral("Label2"), 83, 105, normal);
    Label3 = platform::addLabel(this, QStringLiteral("Label3"), 139, 105, normal);
    Label4 = platform::addLabel(this, QStringLiteral("Label4"), 195, 105, normal);
    for (QLabel* dot : {Label2, Label3, Label4})
        platform::setLabelText(dot, QStringLiteral("."));
    // "." in the first three fields moves on to the next field, its text selected, instead of
    // being typed (the same rule as every address of the program).
    const std::pair<platform::ctl::Edit*, platform::ctl::Edit*> chain[] = {{E_IP1, E_IP2}, {E_IP2, E_IP3}, {E_IP3, E_IP4}};
    for (const auto& [field, next] : chain) {
        platform::ctl::Edit* n = next;
        field->onKeyPress = [n](platform::ctl::Edit&, QChar& key) { platform::ctl::addressDot(key, n); };
    }
    // A changed address is not the one the ping check found.
    for (platform::ctl::Edit* field : {E_IP1, E_IP2, E_IP3, E_IP4})
        field->onChange = [this](platform::ctl::Edit&) { addressChanged(); };

    L_Ping = platform::addLabel(this, QStringLiteral("L_Ping"), 16, 136, normal);
    Btn_Ping = addFxButton(this, QStringLiteral("Btn_Ping"), 35, 155, 100);
    Btn_Ping->onClick = [this](controls::TFxButton*) { FxButton1Click(); };
    LPing = platform::addLabel(this, QStringLiteral("LPing"), 151, 163, platform::uiFont(QStringLiteral("Verdana"), 8, true));

    addChoicesPage([this] { FxButton2Click(); }, [this] { FxButton4Click(); });
    FormCreate();
}

void TFBootTCP::Set_Lang()
{
    setWindowTitle(text(57));
    platform::setLabelText(L_SW_Desc, text(57));
    platform::setLabelText(L_Ping, text(59));
    Btn_Ping->setCaption(text(60));
    Btn_Cancel->setCaption(text(61));
    Btn_Next->setCaption(text(62));
    setChoicesTexts(63);
    Btn_Update->setCaption(text(68));
}

void TFBootTCP::FormShow()
{
    // Page 1.
    L_IP_Address->move(16, 75);
    const int lefts[4] = {35, 91, 147, 203};
    platform::ctl::Edit* fields[4] = {E_IP1, E_IP2, E_IP3, E_IP4};
    for (int i = 0; i < 4; ++i)
        fields[i]->move(lefts[i], 97);
    Label2->move(83, 105);
    Label3->move(139, 105);
    Label4->move(195, 105);
    L_Ping->move(16, 136);
    Btn_Ping->move(35, 155);
    LPing->move(151, 163);
    platform::setLabelText(LPing, QString());
    for (QWidget* w : page1())
        w->setVisible(true);
    hideChoicesPage();

    QString p[4];
    const QString& last = ws().Last_IP_Address;
    if (!last.isEmpty() && Valid_IP(last, p[0], p[1], p[2], p[3]))
        for (int i = 0; i < 4; ++i)
            fields[i]->setText(p[i]);

    const EthernetTarget target = ethernetTarget(ws().Converter_Type);
    if (target.kind != UpdaterKind::None)
        platform::setLabelText(L_IP_Address, text(58) + target.modelCode);

    Esegui_Ping = false;
    checkedAddress_.reset();
}

std::optional<Ipv4Address> TFBootTCP::fieldAddress() const
{
    return parseAddressFields(E_IP1->text(), E_IP2->text(), E_IP3->text(), E_IP4->text());
}

QList<QWidget*> TFBootTCP::page1() const
{
    return {L_IP_Address, E_IP1, E_IP2, E_IP3, E_IP4, Label2, Label3, Label4, L_Ping, Btn_Ping, LPing, Btn_Cancel, Btn_Next};
}

void TFBootTCP::showPingResult(int textIndex, bool found)
{
    QPalette p = LPing->palette();
    p.setColor(QPalette::WindowText, found ? QColor(0, 128, 0) : QColor(255, 0, 0));
    LPing->setPalette(p);
    platform::setLabelText(LPing, text(textIndex));
}

void TFBootTCP::FxButton1Click()
{
    Esegui_Ping = false;
    ping_ = 0;
    const std::optional<Ipv4Address> address = fieldAddress();
    if (!address) {
        showPingResult(71, false);
        return;
    }
    // The window keeps painting during the check; a second check or Next must wait for it.
    // Turning the focused Ping button off hands the focus on to Cancel: it comes back after
    // the check, or the next Enter would close the wizard.
    const QPointer<QWidget> focused = focusWidget();
    PingCheckResult r;
    {
        const Disabled noPing(Btn_Ping);
        const Disabled noNext(Btn_Next);
        r = runPingCheck(platform::pinger(), platform::clock(), address->text(),
                         [] { QCoreApplication::processEvents(); });
    }
    if (focused && focused->isVisible() && focused->isEnabled() && focusWidget() != focused)
        focused->setFocus();
    switch (r.outcome) {
    case PingOutcome::Found:
        ping_ = 1;
        Esegui_Ping = true;
        checkedAddress_ = address;
        showPingResult(69, true);
        break;
    case PingOutcome::NotFound:
        ping_ = 2;
        showPingResult(70, false);
        break;
    case PingOutcome::Error:
        showPingResult(71, false);
        break;
    }
}

void TFBootTCP::addressChanged()
{
    Esegui_Ping = false;
    checkedAddress_.reset();
    if (!LPing->text().isEmpty())
        platform::setLabelText(LPing, QString());
}

void TFBootTCP::FxButton2Click()
{
    // Only the address the check found goes on (a field typed into during the check, or after
    // it, clears the check).
    const std::optional<Ipv4Address> address = fieldAddress();
    if (!Esegui_Ping || !address || address != checkedAddress_) {
        platform::showError(text(72));
        return;
    }
    // Page 2.
    for (QWidget* w : page1())
        w->setVisible(false);
    showChoicesPage();
    ws().Last_IP_Address = address->text();
}

void TFBootTCP::startCommonUpdater(bool is102, const Ipv4Address& address)
{
    const workspace::Workspace& w = ws();
    EthernetUpdateRequest r;
    r.deviceType = w.Converter_Type;
    r.address = address;
    r.choices = choices();
    r.bacnetType = BACnetType;
    r.masterDir = w.Master_Dir;
    r.projectDir = w.Project_Dir;
    r.pathParGen = w.Path_ParGen;
    r.pathMBusCustomQV = w.Path_M_Bus_Custom_QV;
    const QString settings = platform::joinPath(w.Program_Dir, commonUpdaterSettingsFile());
    try {
        if (settings.isEmpty())
            throw platform::UserError(QStringLiteral("The program folder is not known."));
        if (is102)
            Compile_XML_Parameter_102(r, settings);
        else
            Compile_XML_Parameter(r, settings);
    } catch (const platform::UserError& e) {
        // The updater would read a stale or missing file: it is not started.
        platform::showError(e.message());
        return;
    }
    platform::Start_Program(platform::joinPath(w.Program_Dir, commonUpdaterFile()), {}, false);
}

void TFBootTCP::FxButton4Click()
{
    const std::optional<Ipv4Address> address = fieldAddress();
    if (!address) {
        platform::showError(text(71));
        return;
    }
    const workspace::Workspace& w = ws();
    switch (ethernetTarget(w.Converter_Type).kind) {
    case UpdaterKind::None:
        return;
    case UpdaterKind::CommonXml:
        return startCommonUpdater(false, *address);
    case UpdaterKind::CommonXml102:
        return startCommonUpdater(true, *address);
    case UpdaterKind::OwnBankImage:
    case UpdaterKind::OwnBinFolder:
        break;
    }
    const std::optional<UpdaterCommand> c = ownEthernetUpdater(w.Converter_Type, *address, choices(), BACnetType,
                                                               w.Program_Dir, w.Master_Dir, w.Project_Dir);
    if (!c)
        return;
    // The updater sends every file of the bin folder: a copy that a killed save left there
    // must not go with them.
    if (ethernetTarget(w.Converter_Type).kind == UpdaterKind::OwnBinFolder)
        platform::removeStaleWriteTemps(platform::joinPath(w.Project_Dir, QStringLiteral("bin")));
    platform::Start_Program(c->program, c->arguments, false);
}

} // namespace update
