#include "app/SoftOptions.h"

#include <QColor>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QPalette>
#include <QPixmap>
#include <QStackedWidget>
#include <QTabBar>

#include "app/Button.h"
#include "app/WebLinks.h"
#include "app/LanguagePages.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/controls/Controls.h"
#include "workspace/LangTexts.h"
#include "workspace/Workspace.h"

namespace app {

namespace {

using workspace::text;
using workspace::ws;

// Texts of the window (indexes into the UI-text table).
namespace txt {
constexpr int Caption = 38;
constexpr int Description = 39;
constexpr int LanguageTab = 40;
constexpr int ConnectionTab = 41;
constexpr int SelectedLanguage = 42; // "Selected Language: "
constexpr int Page = 43;             // "Page "
constexpr int Of = 44;               // " / "
constexpr int Previous = 45;
constexpr int Next = 46;
constexpr int EnableInternet = 47;
constexpr int CheckAtStart = 48;
constexpr int CheckNow = 49;
constexpr int Ok = 50;
constexpr int Cancel = 51;
constexpr int NewVersion = 52;       // "New Version Available. Click Here for more Details"
constexpr int NoUpdate = 53;         // "No Update Available"
constexpr int ChangeFrom = 54;       // "Do you want to change the Language from "
constexpr int ChangeTo = 55;         // " to "
constexpr int ChangeEnd = 56;        // "?"
} // namespace txt

enum Tab { LanguageTab = 0, ConnectionTab = 1, SettingsTab = 2 };

constexpr int kClientWidth = 440;
constexpr int kClientHeight = 376;
// The page control: its tabs at the top, the pages below them.
constexpr int kPagesLeft = 8;
constexpr int kTabsTop = 60;
constexpr int kTabsHeight = 24;
constexpr int kPagesTop = kTabsTop + kTabsHeight;
constexpr int kPagesWidth = 424;
constexpr int kPagesHeight = 244;
// The language slots: 1-3 in the left column, 4-6 in the right one, top to bottom.
constexpr int kSlotLeft[2] = {16, 216};
constexpr int kSlotTop = 34;
constexpr int kSlotPitch = 56;
constexpr int kFlagSize = 48;

QPixmap flagPixmap(const QString& languageDir, const QString& name)
{
    // A picture that is there but cannot be read counts as missing.
    for (const QString& path : flagPictures(languageDir, name)) {
        QImage img(path);
        if (!img.isNull())
            return QPixmap::fromImage(img.scaled(kFlagSize, kFlagSize));
    }
    return {};
}

platform::ctl::CheckBox* addCheckBox(QWidget* parent, const QString& name, int left, int top)
{
    auto* cb = new platform::ctl::CheckBox(parent);
    cb->setObjectName(name);
    cb->move(left, top);
    return cb;
}

void setCheckBoxCaption(platform::ctl::CheckBox* cb, const QString& caption)
{
    cb->setCaption(caption);
    cb->adjustSize();
}

} // namespace

TFSoftOptions::TFSoftOptions(QWidget* parent) : platform::Form(parent)
{
    setObjectName(QStringLiteral("FSoftOptions"));
    const QFont normal = platform::uiFont(QStringLiteral("Verdana"), 8);
    setFont(normal);

    const platform::Heading heading = platform::addHeading(this);
    L_SW_Code = heading.code;
    L_SW_Desc = heading.description;

    PC_Options = new QTabBar(this);
    PC_Options->setObjectName(QStringLiteral("PC_Options"));
    PC_Options->setDrawBase(false);
    PC_Options->setExpanding(false);
    PC_Options->setGeometry(kPagesLeft, kTabsTop, kPagesWidth, kTabsHeight);
    auto* frame = new QStackedWidget(this);
    pages_ = frame;
    frame->setFrameShape(QFrame::StyledPanel);
    frame->setGeometry(kPagesLeft, kPagesTop, kPagesWidth, kPagesHeight);
    for (const char* n : {"TS_Language", "TS_Con_Options", "TS_Soft_Settings"}) {
        auto* page = new QWidget(frame);
        page->setObjectName(QLatin1String(n));
        frame->addWidget(page);
        PC_Options->addTab(QString());
    }
    TS_Language = frame->widget(LanguageTab);
    TS_Con_Options = frame->widget(ConnectionTab);
    TS_Soft_Settings = frame->widget(SettingsTab);
    connect(PC_Options, &QTabBar::currentChanged, this, [this](int i) { pages_->setCurrentIndex(i); });

    // Language.
    L_Sel_Lang = platform::addLabel(TS_Language, QStringLiteral("L_Sel_Lang"), 12, 10,
                                    platform::uiFont(QStringLiteral("Verdana"), 8, true));
    L_Page_Lang = platform::addLabel(TS_Language, QStringLiteral("L_Page_Lang"), 300, 10, normal);
    for (int k = 0; k < kLanguageSlots; ++k) {
        const int left = kSlotLeft[k / 3];
        const int top = kSlotTop + (k % 3) * kSlotPitch;
        auto* picture = new platform::LinkLabel(TS_Language);
        picture->setObjectName(QStringLiteral("I_L%1").arg(k + 1));
        picture->setGeometry(left, top, kFlagSize, kFlagSize);
        auto* label = new platform::LinkLabel(TS_Language);
        label->setObjectName(QStringLiteral("L_L%1").arg(k + 1));
        label->setFont(normal);
        label->move(left + kFlagSize + 8, top + 16);
        for (platform::LinkLabel* l : {picture, label})
            connect(l, &platform::LinkLabel::clicked, this, [this, k] { LangClick(k + 1); });
        I_L[k] = picture;
        L_L[k] = label;
    }
    Btn_Prev = addButton(TS_Language, QStringLiteral("Btn_Prev"), 12, 206, 90, 25);
    Btn_Next = addButton(TS_Language, QStringLiteral("Btn_Next"), 318, 206, 90, 25);
    for (AppButton* b : {Btn_Prev, Btn_Next})
        b->onClick = [this](AppButton* sender) { Btn_NextClick(sender); };

    // Connection options.
    CB_En_Con = addCheckBox(TS_Con_Options, QStringLiteral("CB_En_Con"), 16, 16);
    CB_Update = addCheckBox(TS_Con_Options, QStringLiteral("CB_Update"), 16, 44);
    Btn_Check_Update = addButton(TS_Con_Options, QStringLiteral("Btn_Check_Update"), 16, 76, 120, 25);
    Btn_Check_Update->onClick = [this](AppButton*) { Btn_Check_UpdateClick(); };
    LL_Check_Update = new platform::LinkLabel(TS_Con_Options);
    LL_Check_Update->setObjectName(QStringLiteral("LL_Check_Update"));
    LL_Check_Update->setFont(normal);
    LL_Check_Update->move(16, 116);
    connect(LL_Check_Update, &platform::LinkLabel::clicked, this,
            [this] { LL_Check_UpdateLinkClick(checkUpdateLink_); });

    // Software settings: fixed English captions.
    CB_Soft_Set_Jump_Table = addCheckBox(TS_Soft_Settings, QStringLiteral("CB_Soft_Set_Jump_Table"), 16, 16);
    setCheckBoxCaption(CB_Soft_Set_Jump_Table, QStringLiteral("Jump into next field in the tables by pressing the Enter Key"));
    CB_DoubleClick_Auto_Size = addCheckBox(TS_Soft_Settings, QStringLiteral("CB_DoubleClick_Auto_Size"), 16, 44);
    setCheckBoxCaption(CB_DoubleClick_Auto_Size, QStringLiteral("Enable Auto Size of Table Columns by Double Click"));

    for (platform::ctl::CheckBox* cb : {CB_En_Con, CB_Update, CB_Soft_Set_Jump_Table, CB_DoubleClick_Auto_Size})
        cb->onClick = [this](platform::ctl::CheckBox&) { CB_En_ConClick(); };

    // The buttons below the pages; OK stores the choices itself, Cancel only closes.
    Btn_OK = addButton(this, QStringLiteral("Btn_OK"), 264, 340, 80, 28);
    Btn_OK->onClick = [this](AppButton*) { Btn_OKClick(); };
    Btn_Cancel = addButton(this, QStringLiteral("Btn_Cancel"), 352, 340, 80, 28);
    Btn_Cancel->setModalResult(platform::mrCancel);

    setClientSize(kClientWidth, kClientHeight);
    FormCreate();
}

void TFSoftOptions::FormCreate()
{
    platform::setLabelText(L_SW_Code, ws().SW_Code);
    // The partner-branded models (device types above 2000) have no connection options.
    PC_Options->setTabVisible(ConnectionTab, ws().Converter_Type <= 2000);
    Set_Lang();
}

void TFSoftOptions::Set_Lang()
{
    setWindowTitle(text(txt::Caption));
    platform::setLabelText(L_SW_Desc, text(txt::Description));
    PC_Options->setTabText(LanguageTab, text(txt::LanguageTab));
    PC_Options->setTabText(ConnectionTab, text(txt::ConnectionTab));
    PC_Options->setTabText(SettingsTab, QStringLiteral("Software Settings"));
    platform::setLabelText(L_Sel_Lang, text(txt::SelectedLanguage));
    platform::setLabelText(L_Page_Lang, text(txt::Page) + QStringLiteral("1") + text(txt::Of) + QStringLiteral("1"));
    Btn_Prev->setCaption(text(txt::Previous));
    Btn_Next->setCaption(text(txt::Next));
    setCheckBoxCaption(CB_En_Con, text(txt::EnableInternet));
    setCheckBoxCaption(CB_Update, text(txt::CheckAtStart));
    Btn_Check_Update->setCaption(text(txt::CheckNow));
    Btn_OK->setCaption(text(txt::Ok));
    Btn_Cancel->setCaption(text(txt::Cancel));
}

void TFSoftOptions::FormShow()
{
    const workspace::Workspace& w = ws();
    Language_In_Use = w.Language_Name;
    Create_Lang_List();
    LL_Check_Update->hide();
    showTab(LanguageTab);
    CB_En_Con->setChecked(w.Opt_Enable_Internet != 0);
    CB_Update->setChecked(w.Opt_Enable_Update != 0);
    CB_Soft_Set_Jump_Table->setChecked(w.Opt_Jump_Field_Tables != 0);
    CB_DoubleClick_Auto_Size->setChecked(w.Opt_Double_Click_Auto_Size != 0);
    Update_CheckBox();
}

void TFSoftOptions::showTab(int index)
{
    PC_Options->setCurrentIndex(index);
    pages_->setCurrentIndex(index);
}

void TFSoftOptions::Create_Lang_List()
{
    langList_ = languageFileList(ws().Language_Dir);
    Show_Page = 1;
    Update_Lang_Page(Show_Page);
}

void TFSoftOptions::Update_Lang_Page(int Num_Page)
{
    const LanguagePage page = languagePage(langList_, Num_Page);
    platform::setLabelText(L_Sel_Lang, text(txt::SelectedLanguage) + Language_In_Use);
    platform::setLabelText(L_Page_Lang, text(txt::Page) + QString::number(page.page) + text(txt::Of) +
                                            QString::number(page.pages));
    Btn_Prev->setVisible(page.prevVisible);
    Btn_Next->setVisible(page.nextVisible);
    const QString dir = ws().Language_Dir;
    for (int k = 0; k < kLanguageSlots; ++k) {
        if (k >= page.names.size()) {
            I_L[k]->hide();
            L_L[k]->hide();
            continue;
        }
        platform::setLabelText(L_L[k], page.names[k]);
        L_L[k]->show();
        const QPixmap flag = flagPixmap(dir, page.names[k]);
        I_L[k]->setPixmap(flag);
        I_L[k]->setVisible(!flag.isNull());
    }
}

void TFSoftOptions::Btn_NextClick(QWidget* sender)
{
    const int pages = languagePageCount(static_cast<int>(langList_.size()));
    if (sender == Btn_Next)
        Show_Page = turnPage(Show_Page, pages, true);
    else if (sender == Btn_Prev)
        Show_Page = turnPage(Show_Page, pages, false);
    Update_Lang_Page(Show_Page);
}

void TFSoftOptions::LangClick(int slot)
{
    if (slot < 1 || slot > kLanguageSlots)
        return;
    const int entry = (Show_Page - 1) * kLanguageSlots + slot - 1;
    if (entry < 0 || entry >= langList_.size())
        return;
    const QString name = langList_[entry].chopped(4);
    const QString question =
        text(txt::ChangeFrom) + Language_In_Use + text(txt::ChangeTo) + name + text(txt::ChangeEnd);
    // Yes loses nothing here (the language can be changed back): the default stays Yes.
    if (platform::messageBoxes().show(platform::MsgKind::Question, question) != platform::MsgAnswer::Yes)
        return;
    // The language in use stays, with its texts, when the file offered cannot be read now.
    if (!workspace::Try_Load_Language(name)) {
        platform::showError(QStringLiteral("Error! The language file \"%1.lng\" cannot be read. The language stays %2.")
                                .arg(name, Language_In_Use));
        return;
    }
    Language_In_Use = name;
    if (changeLanguage)
        changeLanguage();
    else
        Set_Lang();
    // Set_Lang labels the page as the first of one; the page shown stays where it is.
    Update_Lang_Page(Show_Page);
}

void TFSoftOptions::CB_En_ConClick() { Update_CheckBox(); }

void TFSoftOptions::Update_CheckBox()
{
    CB_Update->setEnabled(CB_En_Con->checked());
    Btn_Check_Update->setEnabled(CB_Update->isEnabled() && CB_Update->checked());
}

void TFSoftOptions::Btn_OKClick()
{
    workspace::Workspace& w = ws();
    w.Language_Name = Language_In_Use;
    w.Opt_Enable_Internet = CB_En_Con->checked() ? 1 : 0;
    w.Opt_Enable_Update = CB_Update->checked() ? 1 : 0; // also while it is disabled
    w.Opt_Jump_Field_Tables = CB_Soft_Set_Jump_Table->checked() ? 1 : 0;
    w.Opt_Double_Click_Auto_Size = CB_DoubleClick_Auto_Size->checked() ? 1 : 0;
    // The main window saves the settings and arms or stops its update timer on OK.
    setModalResult(platform::mrOk);
}

UpdateCheckResult TFSoftOptions::checkForUpdate()
{
    if (checking_)
        return {};
    checking_ = true;
    const UpdateCheckResult r = app::checkForUpdate(ws().Converter_Type, server);
    checking_ = false;
    return r;
}

bool TFSoftOptions::Check_Version() { return checkForUpdate().answer == UpdateAnswer::NewVersion; }

void TFSoftOptions::Btn_Check_UpdateClick()
{
    const UpdateCheckResult r = checkForUpdate();
    if (r.answer == UpdateAnswer::NewVersion) {
        checkUpdateLink_ = downloadLink(ws().Converter_Type);
        platform::setLabelText(LL_Check_Update, text(txt::NewVersion));
        LL_Check_Update->setCursor(Qt::PointingHandCursor);
        QPalette link = LL_Check_Update->palette();
        link.setColor(QPalette::WindowText, QColor(0, 0, 255));
        LL_Check_Update->setPalette(link);
    } else {
        // Plain text: nothing to click.
        checkUpdateLink_.clear();
        // A failure is not a result: "No Update Available" would tell what nobody found out.
        platform::setLabelText(LL_Check_Update,
                               r.answer == UpdateAnswer::ServerUnreachable
                                   ? QStringLiteral("The update server could not be reached: %1").arg(r.error)
                                   : text(txt::NoUpdate));
        LL_Check_Update->setCursor(Qt::ArrowCursor);
        LL_Check_Update->setPalette(TS_Con_Options->palette());
    }
    LL_Check_Update->show();
}

void TFSoftOptions::LL_Check_UpdateLinkClick(const QString& link)
{
    openWebPage(link);
}

} // namespace app
