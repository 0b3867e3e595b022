#include "mbus/scan/window/ScanDialogs.h"

#include "controls/button/FormButton.h"
#include "controls/grid/column/ColumnGrid.h"
#include "mbus/scan/window/ScanDecodeTexts.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Dialogs.h"
#include "workspace/Workspace.h"

#include <QCheckBox>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QScreen>
#include <QValidator>

#include <functional>

namespace mbus::scan {

using workspace::text;
using workspace::ws;

namespace {

const QColor kBackground(0xF8, 0xF7, 0xED);
constexpr int kTitleHeight = 69;
constexpr int kButtonPanelHeight = 40;

// Letters typed or pasted become upper case; the key is hexadecimal.
class UpperCase final : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override
    {
        input = input.toUpper();
        return Acceptable;
    }
};

void centre(QWidget* w)
{
    if (const QScreen* screen = w->screen() ? w->screen() : QGuiApplication::primaryScreen())
        w->move(screen->availableGeometry().center() - w->rect().center());
}

QWidget* panel(QWidget* parent, const QString& name, int top, int width, int height)
{
    auto* p = new QWidget(parent);
    p->setObjectName(name);
    p->setGeometry(0, top, width, height);
    platform::setBackgroundColor(p, kBackground);
    return p;
}

// The window's name, font and background, and its white title panel with the heading (software
// code and description).
QWidget* titled(platform::Form* f, const QString& name, int width, QLabel*& code, QLabel*& description)
{
    f->setObjectName(name);
    f->setFont(platform::uiFont(QStringLiteral("Verdana"), 8));
    platform::setBackgroundColor(f, kBackground);
    QWidget* title = panel(f, QStringLiteral("P_Title"), 0, width, kTitleHeight);
    platform::setBackgroundColor(title, Qt::white);
    const platform::Heading h = platform::addHeading(title);
    code = h.code;
    description = h.description;
    return title;
}

// OK (default, running `ok`) and Cancel (Escape, modal result Cancel), 28 high at y 6.
void okCancel(QWidget* panel, int left, int width, int gap, controls::TFxButton*& okButton,
              controls::TFxButton*& cancelButton, std::function<void()> ok)
{
    okButton = controls::addButton(panel, QStringLiteral("Btn_OK"), left, 6, width, 28);
    okButton->setDefault(true);
    okButton->onClick = [ok = std::move(ok)](controls::TFxButton*) { ok(); };
    cancelButton = controls::addButton(panel, QStringLiteral("Btn_Cancel"), left + width + gap, 6, width, 28);
    cancelButton->setCancel(true);
    cancelButton->setModalResult(controls::mrCancel);
}

} // namespace

// --- TFInsertKeyWireless ------------------------------------------------------------------------

TFInsertKeyWireless::TFInsertKeyWireless(QWidget* parent) : platform::Form(parent)
{
    setObjectName(QStringLiteral("FInsertKeyWireless"));
    // Borderless, framed by its own shape.
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setFont(platform::uiFont(QStringLiteral("Verdana"), 8));
    platform::setBackgroundColor(this, kBackground);
    Shape1 = platform::addShape(this, QStringLiteral("Shape1"), 0, 0, kClientWidth, kClientHeight, QColor(0x80, 0x80, 0x80),
                                false);
    L_InsKey = platform::addLabel(this, QStringLiteral("L_InsKey"), 10, 16, platform::uiFont(QStringLiteral("Verdana"), 8, true));
    E_Key = new QLineEdit(this);
    E_Key->setObjectName(QStringLiteral("E_Key"));
    E_Key->setGeometry(126, 12, 226, 22);
    E_Key->setMaxLength(32);
    E_Key->setValidator(new UpperCase(E_Key));
    okCancel(this, 358, 56, 4, Btn_OK, Btn_Cancel, [this] { Btn_OKClick(); });

    setClientSize(kClientWidth, kClientHeight);
    Set_Lang();
}

void TFInsertKeyWireless::Set_Lang()
{
    // No title bar shows it; the window manager and assistive tools name the window by it.
    setWindowTitle(text(1700));
    platform::setLabelText(L_InsKey, text(1700));
    Btn_OK->setCaption(text(1701));
    Btn_Cancel->setCaption(text(1702));
}

void TFInsertKeyWireless::FormShow() { E_Key->setFocus(); }

void TFInsertKeyWireless::Btn_OKClick()
{
    if (const std::optional<int> error = keyError(E_Key->text())) {
        platform::showError(text(*error));
        return;
    }
    setModalResult(platform::mrOk);
}

// --- TFScanModbusStart --------------------------------------------------------------------------

TFScanModbusStart::TFScanModbusStart(QWidget* parent) : platform::Form(parent)
{
    P_Title = titled(this, QStringLiteral("FScanModbusStart"), kClientWidth, L_SW_Code, L_SW_Desc);
    L_StartModAdd = platform::addLabel(this, QStringLiteral("L_StartModAdd"), 16, 84, font());
    E_StartModAdd = new QLineEdit(this);
    E_StartModAdd->setObjectName(QStringLiteral("E_StartModAdd"));
    E_StartModAdd->setGeometry(16, 100, 100, 21);
    E_StartModAdd->setText(QStringLiteral("1"));
    P_Button = panel(this, QStringLiteral("P_Button"), kClientHeight - kButtonPanelHeight, kClientWidth, kButtonPanelHeight);
    okCancel(P_Button, kClientWidth - 2 * 100 - 16, 100, 8, Btn_OK, Btn_Cancel, [this] { Btn_OKClick(); });

    setClientSize(kClientWidth, kClientHeight);
    Set_Lang();
}

void TFScanModbusStart::Set_Lang()
{
    setWindowTitle(text(1800));
    platform::setLabelText(L_SW_Code, shownCaption(text(1801)));
    platform::setLabelText(L_SW_Desc, shownCaption(text(1802)));
    platform::setLabelText(L_StartModAdd, shownCaption(text(1803)));
    Btn_OK->setCaption(text(1804));
    Btn_Cancel->setCaption(text(1805));
}

void TFScanModbusStart::FormShow()
{
    centre(this);
    E_StartModAdd->setFocus();
}

void TFScanModbusStart::Btn_OKClick()
{
    const std::optional<int> start = startRegister(E_StartModAdd->text());
    if (!start) {
        platform::showError(text(1806));
        return;
    }
    StartModAdd = *start;
    setModalResult(platform::mrOk);
}

// --- TFModbusStartAdd_SD ------------------------------------------------------------------------

TFModbusStartAdd_SD::TFModbusStartAdd_SD(QWidget* parent) : platform::Form(parent)
{
    // Made at program start; its grid and the other controls wait for the first show.
    setObjectName(QStringLiteral("FModbusStartAdd_SD"));
    setClientSize(kClientWidth, kClientHeight);
    Set_Lang();
}

void TFModbusStartAdd_SD::buildControls()
{
    using namespace controls::grid;
    P_Title = titled(this, objectName(), kClientWidth, L_SW_Code, L_SW_Desc);

    CB_En_NodeState = new QCheckBox(this);
    CB_En_NodeState->setObjectName(QStringLiteral("CB_En_NodeState"));
    CB_En_NodeState->setGeometry(16, 76, 240, 19);
    CB_En_IndNum = new QCheckBox(this);
    CB_En_IndNum->setObjectName(QStringLiteral("CB_En_IndNum"));
    CB_En_IndNum->setGeometry(260, 76, 240, 19);

    sga = new TExtColumnGrid(this);
    sga->setObjectName(QStringLiteral("sga"));
    sga->setGeometry(16, 100, 2 * 200 + 24, kClientHeight - kButtonPanelHeight - 100 - 6);
    sga->SetColCount(2);
    sga->SetRowCount(kRows);
    sga->SetFixedCols(1);
    sga->SetFixedRowAlways(true);
    sga->SetDefaultRowHeight(21);
    TGridColumnItem* id = sga->Columns().Items(0);
    id->SetWidth(200);
    id->ReadOnly = true;
    TGridColumnItem* start = sga->Columns().Items(1);
    start->SetWidth(200);
    start->SetColor(platform::rgb(0xE0, 0xFA, 0xFE));

    P_Button = panel(this, QStringLiteral("P_Button"), kClientHeight - kButtonPanelHeight, kClientWidth, kButtonPanelHeight);
    okCancel(P_Button, 16, 110, 8, Btn_OK, Btn_Cancel, [this] { Btn_OKClick(); });

    platform::setLabelText(L_SW_Code, ws().SW_Code);
    Set_Lang();
}

void TFModbusStartAdd_SD::Set_Lang()
{
    setWindowTitle(text(2200));
    if (!controlsBuilt())
        return; // labelled when they are built
    platform::setLabelText(L_SW_Desc, shownCaption(text(2201)));
    CB_En_NodeState->setText(shownCaption(text(2202)));
    CB_En_IndNum->setText(shownCaption(text(2203)));
    sga->Columns().Items(0)->SetHeader(text(2204));
    sga->Columns().Items(1)->SetHeader(text(2205));
    Btn_OK->setCaption(text(2206));
    Btn_Cancel->setCaption(text(2207));
}

void TFModbusStartAdd_SD::FormShow()
{
    centre(this);
    if (sga->RowCount() > 1)
        sga->MoveToCell(1, 1);
}

bool TFModbusStartAdd_SD::Check_Data()
{
    ensureControls();
    QStringList addresses;
    for (int r = 1; r < sga->RowCount(); ++r)
        addresses << sga->Cells(1, r);
    if (const std::optional<QString> error = nodeStartError(addresses, &workspace::text)) {
        platform::showError(*error);
        return false;
    }
    return true;
}

void TFModbusStartAdd_SD::Btn_OKClick()
{
    if (Check_Data())
        setModalResult(platform::mrOk);
}

} // namespace mbus::scan
