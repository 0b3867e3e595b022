#include "tables/can/window/CanDialogs.h"

#include "controls/button/FxButton.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/controls/Controls.h"
#include "tables/frame/window/Panels.h"
#include "workspace/Workspace.h"

#include <QEvent>
#include <QFileInfo>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QScreen>
#include <QTimer>

namespace tables::can {

using workspace::text;
using workspace::ws;

// --- frame tables ------------------------------------------------------------------------------

TFCanFrames::TFCanFrames(Direction d, QWidget* parent) : TTableDialog(canFramesTable(d), parent), direction_(d) {}

void TFCanFrames::afterLoad() { origins_.reset(capacity()); }

std::optional<Failure> TFCanFrames::checkRow(const RowView& row) { return checkCanFrameRow(row, direction_); }

void TFCanFrames::rowInserted(int, int row) { origins_.inserted(row); }

void TFCanFrames::rowDeleted(int, int row) { origins_.deleted(row); }

void TFCanFrames::saved()
{
    const std::vector<int> rows = usedRows(description(), model(), 0);
    std::vector<int> origins;
    bool moved = false;
    for (int r : rows) {
        origins.push_back(origins_.origin(r));
        moved = moved || origins.back() != r - 1;
    }
    if (!moved)
        return;
    const QString info = direction_ == Direction::Receive ? ws().Path_CAN_Rec_Info : ws().Path_CAN_Send_Info;
    QString error;
    if (!moveByteMapRows(direction_, info, origins, ws().Converter_Type, &error))
        platform::showError(error);
    origins_.reset(capacity());
}

// --- byte maps -----------------------------------------------------------------------------------

TByteMapDialog::TByteMapDialog(Direction d, QWidget* parent) : platform::Form(parent), direction_(d)
{
    // FormCreate: the window itself; its controls wait for the first show (buildControls).
    setObjectName(d == Direction::Receive ? QStringLiteral("F_Rec_Info") : QStringLiteral("F_Sen_Info"));
    setFont(platform::uiFont(QStringLiteral("Verdana"), 8));
    platform::setBackgroundColor(this, tableBackground());
    setClientSize(kClientWidth, kClientHeight);
    Set_Lang();
}

void TByteMapDialog::buildControls()
{
    const bool rec = direction_ == Direction::Receive;
    const TitlePanel title = addTitlePanel(this, kClientWidth);
    P_Title = title.panel;
    L_SW_Code = title.code;
    L_SW_Desc = title.description;

    const QFont font = platform::uiFont(QStringLiteral("Verdana"), 8);
    L_CobId = platform::addLabel(this, QStringLiteral("L_CobId"), 16, 70, font);
    L_Bytes = platform::addLabel(this, QStringLiteral("L_Bytes"), 192, 70, font);
    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setGeometry(8, 88, 169, 377);
    ListBox1->setFrameShape(QFrame::Box);
    connect(ListBox1, &QListWidget::currentRowChanged, this, [this](int) { ListBox1Click(); });

    for (int k = 1; k <= 8; ++k) {
        const size_t i = size_t(k - 1);
        QWidget* p = new QWidget(this);
        p->setObjectName(QStringLiteral("Panel%1").arg(k));
        p->setGeometry(184, 88 + 48 * (k - 1), 457, 41);
        Panel[i] = p;
        L_Line[i] = platform::addLabel(p, QStringLiteral("L_Line%1").arg(k), 16, 16, font);
        auto* e = new platform::ctl::Edit(p);
        e->setObjectName(QStringLiteral("Edit%1").arg(k));
        e->setGeometry(208, 13, 57, 19);
        e->setFrame(false);
        e->setText(QStringLiteral("none"));
        Edit[i] = e;
        L_OfBACnet[i] = platform::addLabel(p, QStringLiteral("L_OfBACnet%1").arg(k), 272, 16, font);
        L_NotInUse[i] = platform::addLabel(p, QStringLiteral("Label%1").arg(18 + k), 376, 16, font);
        if (rec)
            e->installEventFilter(this);
        else
            e->onChange = [this, k](platform::ctl::Edit&) { EditChange(k); };
    }

    P_Button = addButtonPanel(this, kClientHeight - kButtonPanelHeight, kClientWidth);
    Btn_OK = addPanelButton(P_Button, QStringLiteral("Btn_OK"), 0);
    Btn_OK->onClick = [this](controls::TFxButton*) { bitbtn1Click(); };
    Btn_Cancel = addPanelButton(P_Button, QStringLiteral("Btn_Cancel"), 1);
    Btn_Cancel->setModalResult(controls::mrCancel);

    platform::setLabelText(L_SW_Code, ws().SW_Code);
    Set_Lang();
}

void TByteMapDialog::Set_Lang()
{
    const int base = direction_ == Direction::Receive ? 575 : 605;
    setWindowTitle(text(base));
    if (!controlsBuilt())
        return;
    platform::setLabelText(L_SW_Desc, text(base + 1));
    Btn_OK->setCaption(text(base + 2));
    Btn_Cancel->setCaption(text(base + 3));
    platform::setLabelText(L_CobId, text(base + 4));
    platform::setLabelText(L_Bytes, text(base + 5));
    for (size_t i = 0; i < 8; ++i) {
        platform::setLabelText(L_Line[i], text(base + 6 + int(i)));
        platform::setLabelText(L_OfBACnet[i], text(base + 14));
        platform::setLabelText(L_NotInUse[i], text(base + 15));
    }
}

void TByteMapDialog::FormShow()
{
    ensureControls();
    Num_Byte_Max = kNumByteMax;
    const bool rec = direction_ == Direction::Receive;
    const ByteMap map = loadByteMap(direction_, rec ? ws().Path_CAN_Rec_Frames : ws().Path_CAN_Send_Frames,
                                    rec ? ws().Path_CAN_Rec_Info : ws().Path_CAN_Send_Info);
    Data_arr = map.Data_arr;
    cobIds_ = map.cobIds;
    loadError_ = map.error;
    shown_ = -1;
    {
        const QSignalBlocker block(ListBox1);
        ListBox1->clear();
        ListBox1->addItems(cobIds_);
    }
    if (Data_arr.empty()) {
        // No frame: the lines take no input.
        for (size_t i = 0; i < 8; ++i) {
            Panel[i]->setEnabled(false);
            L_NotInUse[i]->hide();
            Edit[i]->setText(QStringLiteral("none"));
        }
    } else {
        ListBox1->setCurrentRow(0); // shows the first frame
        if (shown_ != 0)
            ListBox1Click();
    }
    if (const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    if (!loadError_.isEmpty())
        platform::showError(loadError_);
    if (const QString w = mapCountWarning(direction_, map); !w.isEmpty())
        platform::messageBoxes().show(platform::MsgKind::Information, w);
}

void TByteMapDialog::ListBox1Click()
{
    ensureControls();
    const int f = ListBox1->currentRow();
    if (f < 0 || size_t(f) >= Data_arr.size())
        return;
    shown_ = f;
    const TRecInfo& info = Data_arr[size_t(f)];
    showingFrame_ = true;
    for (int k = 1; k <= 8; ++k) {
        const size_t i = size_t(k - 1);
        const bool used = info.Dim >= k;
        Panel[i]->setEnabled(used);
        L_NotInUse[i]->setVisible(!used);
        const uint16_t p = info.PosB[i];
        // Writing the edit raises the send side's change handler, which stores the shown value
        // back unchanged.
        Edit[i]->setText(!used || p == kNoPosition ? QStringLiteral("none") : QString::number(p));
    }
    showingFrame_ = false;
}

bool TByteMapDialog::takeLine(int k)
{
    ensureControls();
    if (shown_ < 0 || size_t(shown_) >= Data_arr.size() || k < 1 || k > 8)
        return true;
    TRecInfo& info = Data_arr[size_t(shown_)];
    if (info.Dim < k)
        return true; // a line not in use takes nothing
    const std::optional<uint16_t> p = bytePosition(Edit[size_t(k - 1)]->text(), Num_Byte_Max);
    if (!p) {
        platform::showError(bytePositionError(direction_, k, Num_Byte_Max));
        return false;
    }
    info.PosB[size_t(k - 1)] = *p;
    return true;
}

bool TByteMapDialog::EditExit(int k)
{
    ensureControls();
    if (takeLine(k))
        return true;
    // The focus goes back to the refused line once the box is gone.
    platform::ctl::Edit* e = Edit[size_t(k - 1)];
    QTimer::singleShot(0, e, [e] { e->setFocus(Qt::OtherFocusReason); });
    return false;
}

void TByteMapDialog::EditChange(int k)
{
    if (direction_ == Direction::Send)
        takeLine(k);
}

bool TByteMapDialog::eventFilter(QObject* watched, QEvent* e)
{
    if (e->type() == QEvent::FocusOut && !inExit_) {
        const auto reason = static_cast<QFocusEvent*>(e)->reason();
        // A box or another window taking the focus is no exit from the edit.
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            for (int k = 1; k <= 8; ++k)
                if (watched == Edit[size_t(k - 1)]) {
                    inExit_ = true;
                    EditExit(k);
                    inExit_ = false;
                }
        }
    }
    return platform::Form::eventFilter(watched, e);
}

bool TByteMapDialog::Controlla_dati()
{
    ByteMap map;
    map.cobIds = cobIds_;
    map.Data_arr = Data_arr;
    if (const std::optional<QString> clash = tables::can::Controlla_dati(map, Num_Byte_Max)) {
        platform::showError(*clash);
        return false;
    }
    return true;
}

void TByteMapDialog::bitbtn1Click()
{
    ensureControls();
    if (direction_ == Direction::Receive) {
        // The line being typed in is taken first, as leaving it for the button would; a text
        // refused there keeps the dialog open with its error.
        for (int k = 1; k <= 8; ++k)
            if (Panel[size_t(k - 1)]->isEnabled() && !EditExit(k))
                return;
        if (!Controlla_dati())
            return;
    }
    const bool rec = direction_ == Direction::Receive;
    const QString path = rec ? ws().Path_CAN_Rec_Info : ws().Path_CAN_Send_Info;
    if (!loadError_.isEmpty() &&
        !platform::askYesNo(QStringLiteral("The frames and their maps could not be read whole. Saving replaces %1 "
                                           "with the maps as shown. Replace it?")
                                .arg(QFileInfo(path).fileName())))
        return;
    QString error;
    if (!saveByteMap(direction_, Data_arr, path, ws().Converter_Type, &error)) {
        platform::showError(error);
        return;
    }
    loadError_.clear();
    setModalResult(platform::mrOk);
}

} // namespace tables::can
