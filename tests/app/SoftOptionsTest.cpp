#include <QDir>
#include <QFile>
#include <QImage>
#include <QTabBar>
#include <gtest/gtest.h>

#include "app/AppFixture.h"
#include "app/LanguagePages.h"
#include "app/Program.h"
#include "app/SoftOptions.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Timer.h"
#include "platform/ui/controls/Controls.h"
#include "support/QtPrinters.h"
#include "support/StubHttpServer.h"
#include "workspace/LangTexts.h"
#include "workspace/Settings.h"

using namespace app;
using namespace app_test;
using testing_support::StubHttpServer;

namespace {

// An options window of a device type, its language folder prepared by the test.
struct Options {
    explicit Options(int type = 3) : env(type)
    {
        workspace::Workspace& w = workspace::ws();
        w.Language_Dir = env.programDir.file("LANGUAGE");
        QDir().mkpath(w.Language_Dir);
        w.SW_Code = QStringLiteral("GS30115");
        workspace::Default_Texts();
        window = std::make_unique<TFSoftOptions>();
    }
    QString lang(const QString& file) const { return workspace::ws().Language_Dir + QLatin1Char('/') + file; }
    void writeLang(const QString& name, const QByteArray& bytes = "STR0 =x\n") const
    {
        env.programDir.write(QStringLiteral("LANGUAGE/") + name, bytes);
    }
    // Shows the window; `act` plays the user while it is open.
    int show(std::function<void(TFSoftOptions&)> act = {})
    {
        env.modal.actions["FSoftOptions"] = [act](platform::Form& f) {
            if (act)
                act(static_cast<TFSoftOptions&>(f));
        };
        return window->showModal();
    }
    template <class T> T* child(const char* name) const { return window->findChild<T*>(QLatin1String(name)); }
    bool visible(const char* name) const { return child<QWidget>(name)->isVisibleTo(window.get()); }
    bool shownByFlag(const char* name) const { return !child<QWidget>(name)->isHidden(); }
    QString label(const char* name) const { return child<QLabel>(name)->text(); }
    void click(const char* button) const { child<AppButton>(button)->click(); }
    void clickSlot(int k) const { window->LangClick(k); }

    AppEnv env;
    std::unique_ptr<TFSoftOptions> window;
};

QStringList visibleSlots(const Options& o)
{
    QStringList out;
    for (int k = 1; k <= 6; ++k) {
        const QByteArray l = QStringLiteral("L_L%1").arg(k).toLatin1();
        if (o.shownByFlag(l.constData()))
            out.append(o.label(l.constData()));
    }
    return out;
}

} // namespace

TEST(LanguagePages, ThirteenLanguagesMakeThreePages)
{
    QStringList files;
    for (int i = 0; i < 13; ++i)
        files.append(QStringLiteral("L%1.lng").arg(i, 2, 10, QLatin1Char('0')));
    struct Case {
        int page;
        int first;
        int count;
        bool prev;
        bool next;
    } cases[] = {{1, 0, 6, false, true}, {2, 6, 6, true, true}, {3, 12, 1, true, false}};
    for (const Case& c : cases) {
        const LanguagePage p = languagePage(files, c.page);
        EXPECT_EQ(p.pages, 3);
        EXPECT_EQ(p.names.size(), c.count) << c.page;
        EXPECT_EQ(p.names.value(0), files[c.first].chopped(4)) << c.page;
        EXPECT_EQ(p.prevVisible, c.prev) << c.page;
        EXPECT_EQ(p.nextVisible, c.next) << c.page;
    }
    EXPECT_EQ(turnPage(3, 3, true), 3);
    EXPECT_EQ(turnPage(2, 3, true), 3);
    EXPECT_EQ(turnPage(1, 3, false), 1);
    EXPECT_EQ(turnPage(1, 0, true), 1);
    EXPECT_EQ(languagePageCount(0), 0);
    EXPECT_EQ(languagePageCount(6), 1);
    EXPECT_EQ(languagePageCount(7), 2);
}

TEST(SoftOptions, ThirteenLanguageFilesAreOfferedSixToAPage)
{
    Options o;
    const QStringList names = {"Cestina", "dansk", "Deutsch", "English", "Espanol", "francais", "Italiano",
                               "Magyar", "Nederlands", "Polski", "Portugues", "Suomi", "Svenska"};
    for (const QString& n : names)
        o.writeLang(n + QStringLiteral(".lng"));
    o.show([&](TFSoftOptions& w) {
        EXPECT_EQ(w.languageList().size(), 13);
        EXPECT_EQ(o.label("L_Page_Lang"), QStringLiteral("Page 1 / 3"));
        EXPECT_EQ(o.label("L_Sel_Lang"), QStringLiteral("Selected Language: English"));
        EXPECT_EQ(visibleSlots(o), names.mid(0, 6)) << "sorted without regard to letter case";
        EXPECT_FALSE(o.shownByFlag("Btn_Prev"));
        EXPECT_TRUE(o.shownByFlag("Btn_Next"));
        o.click("Btn_Next");
        EXPECT_EQ(o.label("L_Page_Lang"), QStringLiteral("Page 2 / 3"));
        EXPECT_EQ(visibleSlots(o), names.mid(6, 6));
        EXPECT_TRUE(o.shownByFlag("Btn_Prev"));
        EXPECT_TRUE(o.shownByFlag("Btn_Next"));
        o.click("Btn_Next");
        EXPECT_EQ(o.label("L_Page_Lang"), QStringLiteral("Page 3 / 3"));
        EXPECT_EQ(visibleSlots(o), QStringList{"Svenska"});
        EXPECT_FALSE(o.shownByFlag("I_L2"));
        EXPECT_FALSE(o.shownByFlag("Btn_Next"));
        w.Btn_NextClick(o.child<AppButton>("Btn_Next")); // even when called, no page 4
        EXPECT_EQ(w.Show_Page, 3);
        o.click("Btn_Prev");
        o.click("Btn_Prev");
        EXPECT_EQ(w.Show_Page, 1);
        w.Btn_NextClick(o.child<AppButton>("Btn_Prev"));
        EXPECT_EQ(w.Show_Page, 1);
        // The slots stand in two columns of three.
        const auto pos = [&](const char* n) { return o.child<QWidget>(n)->pos(); };
        EXPECT_EQ(pos("I_L1").x(), pos("I_L3").x());
        EXPECT_LT(pos("I_L1").y(), pos("I_L2").y());
        EXPECT_LT(pos("I_L2").y(), pos("I_L3").y());
        EXPECT_GT(pos("I_L4").x(), pos("I_L1").x());
        EXPECT_EQ(pos("I_L4").y(), pos("I_L1").y());
    });
    // Each showing starts again at page 1.
    o.show([&](TFSoftOptions& w) { EXPECT_EQ(w.Show_Page, 1); });
}

TEST(SoftOptions, OnlyWritableLngFilesAreOffered)
{
    Options o;
    o.writeLang("Deutsch.lng");
    o.writeLang("ReadOnly.lng");
    o.writeLang(".Hidden.lng");
    o.writeLang("Upper.LNG");
    o.writeLang("Notes.txt");
    o.writeLang("Deutsch.lng.bak");
    QDir().mkpath(o.lang("Folder.lng"));
    ASSERT_TRUE(QFile::setPermissions(o.lang("ReadOnly.lng"), QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    EXPECT_EQ(languageFileList(workspace::ws().Language_Dir), (QStringList{".Hidden.lng", "Deutsch.lng"}));
    EXPECT_TRUE(languageFileList(QString()).isEmpty());
    EXPECT_TRUE(languageFileList(o.lang("missing")).isEmpty());
}

TEST(SoftOptions, NoLanguageFileGivesPageOneOfNone)
{
    Options o;
    o.show([&](TFSoftOptions& w) {
        EXPECT_TRUE(visibleSlots(o).isEmpty());
        for (const char* n : {"I_L1", "I_L2", "I_L3", "I_L4", "I_L5", "I_L6"})
            EXPECT_FALSE(o.shownByFlag(n)) << n;
        EXPECT_EQ(o.label("L_Page_Lang"), QStringLiteral("Page 1 / 0"));
        EXPECT_FALSE(o.shownByFlag("Btn_Prev"));
        EXPECT_TRUE(o.shownByFlag("Btn_Next"));
        o.click("Btn_Next");
        EXPECT_EQ(w.Show_Page, 1);
        EXPECT_EQ(o.label("L_Page_Lang"), QStringLiteral("Page 1 / 0"));
        w.LangClick(1); // a hidden slot asks nothing
        EXPECT_TRUE(o.env.boxes.shown().empty());
    });
}

TEST(SoftOptions, FlagPicturesFallBackToTheDefaultFlagAndThenToNone)
{
    Options o;
    for (const char* n : {"Deutsch.lng", "English.lng", "Italiano.lng"})
        o.writeLang(QLatin1String(n));
    QImage red(20, 14, QImage::Format_RGB32);
    red.fill(Qt::red);
    ASSERT_TRUE(red.save(o.lang("Deutsch.bmp"), "BMP"));
    o.env.programDir.write("LANGUAGE/Italiano.bmp", "BM not really a picture");
    o.show([&](TFSoftOptions&) {
        EXPECT_TRUE(o.shownByFlag("I_L1"));
        EXPECT_EQ(o.child<QLabel>("I_L1")->pixmap().size(), QSize(48, 48));
        EXPECT_FALSE(o.shownByFlag("I_L2")) << "no picture of its own and no default";
        EXPECT_FALSE(o.shownByFlag("I_L3")) << "a picture that cannot be read counts as missing";
        EXPECT_TRUE(o.shownByFlag("L_L2"));
    });
    QImage blue(16, 16, QImage::Format_RGB32);
    blue.fill(Qt::blue);
    ASSERT_TRUE(blue.save(o.lang("DefaultFlag.bmp"), "BMP"));
    o.show([&](TFSoftOptions&) {
        for (const char* n : {"I_L1", "I_L2", "I_L3"})
            EXPECT_TRUE(o.shownByFlag(n)) << n;
        EXPECT_EQ(o.child<QLabel>("I_L2")->pixmap().toImage().pixelColor(5, 5), QColor(Qt::blue));
        EXPECT_EQ(o.child<QLabel>("I_L3")->pixmap().toImage().pixelColor(5, 5), QColor(Qt::blue));
        EXPECT_EQ(o.child<QLabel>("I_L1")->pixmap().toImage().pixelColor(5, 5), QColor(Qt::red));
    });
}

TEST(SoftOptions, AChosenLanguageIsAskedForAndLoadedAtOnceButKeptOnlyOnOk)
{
    Options o;
    o.writeLang("Deutsch.lng", "STR38 =Software-Optionen\nSTR42 =\xB6Sprache: \xB6\nSTR43 =\xB6Seite \xB6\n");
    o.writeLang("English.lng", "");
    int relabels = 0;
    o.window->changeLanguage = [&] {
        ++relabels;
        o.window->Set_Lang();
    };
    // No: nothing changes.
    o.show([&](TFSoftOptions& w) {
        w.LangClick(1);
        ASSERT_EQ(o.env.boxes.shown().size(), 1u);
        EXPECT_EQ(o.env.boxes.shown()[0].kind, platform::MsgKind::Question);
        EXPECT_EQ(o.env.boxes.shown()[0].text, QStringLiteral("Do you want to change the Language from English to Deutsch?"));
        EXPECT_EQ(w.Language_In_Use, QStringLiteral("English"));
        EXPECT_EQ(relabels, 0);
        EXPECT_EQ(w.windowTitle(), QStringLiteral("Software Options"));
    });
    // Yes, then Cancel: the texts change for this run, the stored language does not.
    o.env.boxes.clear();
    o.env.boxes.answer(platform::MsgAnswer::Yes);
    EXPECT_EQ(o.show([&](TFSoftOptions& w) {
        w.LangClick(1);
        EXPECT_EQ(w.Language_In_Use, QStringLiteral("Deutsch"));
        EXPECT_EQ(relabels, 1);
        EXPECT_EQ(w.windowTitle(), QStringLiteral("Software-Optionen"));
        EXPECT_EQ(o.label("L_Sel_Lang"), QStringLiteral("Sprache: Deutsch"));
        EXPECT_EQ(o.label("L_Page_Lang"), QStringLiteral("Seite 1 / 1"));
        EXPECT_EQ(workspace::ws().Language_Name, QStringLiteral("English"));
        o.click("Btn_Cancel");
    }), platform::mrCancel);
    EXPECT_EQ(workspace::ws().Language_Name, QStringLiteral("English"));
    EXPECT_EQ(workspace::text(38), QStringLiteral("Software-Optionen"));

    // Yes, then OK: kept.
    o.env.boxes.answer(platform::MsgAnswer::Yes);
    EXPECT_EQ(o.show([&](TFSoftOptions& w) {
        EXPECT_EQ(w.Language_In_Use, QStringLiteral("English")) << "each showing starts from the stored language";
        w.LangClick(1);
        o.click("Btn_OK");
    }), platform::mrOk);
    EXPECT_EQ(workspace::ws().Language_Name, QStringLiteral("Deutsch"));
}

TEST(SoftOptions, APageOtherThanTheFirstStaysLabelledAfterAChangeOfLanguage)
{
    Options o;
    for (int i = 0; i < 8; ++i)
        o.writeLang(QStringLiteral("L%1.lng").arg(i));
    o.env.boxes.answer(platform::MsgAnswer::Yes);
    o.show([&](TFSoftOptions& w) {
        o.click("Btn_Next");
        w.LangClick(2);
        EXPECT_EQ(w.Language_In_Use, QStringLiteral("L7"));
        EXPECT_EQ(o.label("L_Page_Lang"), QStringLiteral("Page 2 / 2"));
        EXPECT_EQ(visibleSlots(o), (QStringList{"L6", "L7"}));
    });
}

TEST(SoftOptions, AnOfferedLanguageThatCannotBeLoadedLeavesTheLanguageInUse)
{
    Options o;
    o.writeLang("Deutsch.lng", "STR38 =Software-Optionen\n");
    o.writeLang("Klingon.lng", "STR38 =tlhIngan\n");
    o.env.boxes.answer(platform::MsgAnswer::Yes);
    o.env.boxes.answer(platform::MsgAnswer::Yes);
    int relabels = 0;
    o.window->changeLanguage = [&] { ++relabels; };
    o.show([&](TFSoftOptions& w) {
        w.LangClick(1); // Deutsch
        ASSERT_EQ(w.Language_In_Use, QStringLiteral("Deutsch"));
        // The file goes away while the window offers it.
        ASSERT_TRUE(QFile::remove(o.lang("Klingon.lng")));
        o.env.boxes.clear();
        w.LangClick(2);
        ASSERT_EQ(o.env.boxes.shown().size(), 2u);
        EXPECT_EQ(o.env.boxes.shown()[1].kind, platform::MsgKind::Error);
        EXPECT_TRUE(o.env.boxes.shown()[1].text.contains(QLatin1String("Klingon.lng")));
        EXPECT_EQ(w.Language_In_Use, QStringLiteral("Deutsch"));
        EXPECT_EQ(workspace::text(38), QStringLiteral("Software-Optionen"));
        EXPECT_EQ(relabels, 1);
        o.click("Btn_OK");
    });
    EXPECT_EQ(workspace::ws().Language_Name, QStringLiteral("Deutsch"));
}

TEST(SoftOptions, CheckBoxesFollowTheFlagsAndTheirRules)
{
    struct Case {
        uint8_t internet, update, jump, autosize;
        bool updateEnabled, checkEnabled;
    } cases[] = {
        {1, 1, 0, 1, true, true},
        {1, 0, 1, 0, true, false},
        {0, 1, 0, 0, false, false},
        {0, 0, 1, 1, false, false},
    };
    for (const Case& c : cases) {
        Options o;
        workspace::Workspace& w = workspace::ws();
        w.Opt_Enable_Internet = c.internet;
        w.Opt_Enable_Update = c.update;
        w.Opt_Jump_Field_Tables = c.jump;
        w.Opt_Double_Click_Auto_Size = c.autosize;
        o.show([&](TFSoftOptions&) {
            EXPECT_EQ(o.child<QCheckBox>("CB_En_Con")->isChecked(), c.internet != 0);
            EXPECT_EQ(o.child<QCheckBox>("CB_Update")->isChecked(), c.update != 0);
            EXPECT_EQ(o.child<QCheckBox>("CB_Soft_Set_Jump_Table")->isChecked(), c.jump != 0);
            EXPECT_EQ(o.child<QCheckBox>("CB_DoubleClick_Auto_Size")->isChecked(), c.autosize != 0);
            EXPECT_EQ(o.child<QWidget>("CB_Update")->isEnabled(), c.updateEnabled);
            EXPECT_EQ(o.child<QWidget>("Btn_Check_Update")->isEnabled(), c.checkEnabled);
            EXPECT_FALSE(o.shownByFlag("LL_Check_Update"));
            EXPECT_EQ(o.child<QTabBar>("PC_Options")->currentIndex(), 0);
            // Nothing changes until OK.
            o.child<QCheckBox>("CB_Soft_Set_Jump_Table")->click();
            o.click("Btn_Cancel");
        });
        EXPECT_EQ(w.Opt_Jump_Field_Tables, c.jump);
    }

    // Clearing the internet connection disables the rest, but the update tick is still stored.
    Options o;
    workspace::ws().Opt_Enable_Internet = 1;
    workspace::ws().Opt_Enable_Update = 1;
    o.show([&](TFSoftOptions&) {
        o.child<QCheckBox>("CB_En_Con")->click();
        EXPECT_FALSE(o.child<QWidget>("CB_Update")->isEnabled());
        EXPECT_FALSE(o.child<QWidget>("Btn_Check_Update")->isEnabled());
        o.child<QCheckBox>("CB_DoubleClick_Auto_Size")->click();
        o.click("Btn_OK");
    });
    EXPECT_EQ(workspace::ws().Opt_Enable_Internet, 0);
    EXPECT_EQ(workspace::ws().Opt_Enable_Update, 1);
    EXPECT_EQ(workspace::ws().Opt_Double_Click_Auto_Size, 1);
}

TEST(SoftOptions, TheTextsOfTheWindow)
{
    Options o;
    o.show([&](TFSoftOptions& w) {
        const auto* tabs = o.child<QTabBar>("PC_Options");
        EXPECT_EQ(w.windowTitle(), QStringLiteral("Software Options"));
        EXPECT_EQ(o.label("L_SW_Code"), QStringLiteral("GS30115"));
        EXPECT_EQ(o.label("L_SW_Desc"), QStringLiteral("Software Options"));
        EXPECT_EQ(tabs->tabText(0), QStringLiteral("Language"));
        EXPECT_EQ(tabs->tabText(1), QStringLiteral("Connection Options"));
        EXPECT_EQ(tabs->tabText(2), QStringLiteral("Software Settings"));
        EXPECT_TRUE(tabs->isTabVisible(1));
        EXPECT_EQ(o.child<AppButton>("Btn_Prev")->caption(), QStringLiteral("Previous"));
        EXPECT_EQ(o.child<AppButton>("Btn_Next")->caption(), QStringLiteral("Next"));
        EXPECT_EQ(o.child<QCheckBox>("CB_En_Con")->text(), QStringLiteral("Enable Internet Connection"));
        EXPECT_EQ(o.child<QCheckBox>("CB_Update")->text(), QStringLiteral("Check for Updates at Start"));
        EXPECT_EQ(o.child<QCheckBox>("CB_Soft_Set_Jump_Table")->text(),
                  QStringLiteral("Jump into next field in the tables by pressing the Enter Key"));
        EXPECT_EQ(o.child<QCheckBox>("CB_DoubleClick_Auto_Size")->text(),
                  QStringLiteral("Enable Auto Size of Table Columns by Double Click"));
        EXPECT_EQ(o.child<AppButton>("Btn_Check_Update")->caption(), QStringLiteral("Check Now"));
        EXPECT_EQ(o.child<AppButton>("Btn_OK")->caption(), QStringLiteral("OK"));
        EXPECT_EQ(o.child<AppButton>("Btn_Cancel")->caption(), QStringLiteral("Cancel"));
        // Every control lies inside the window.
        for (const QWidget* c : w.findChildren<QWidget*>()) {
            if (!c->objectName().isEmpty()) {
                EXPECT_TRUE(w.rect().contains(c->mapTo(&w, c->rect().bottomRight()))) << c->objectName().toStdString();
            }
        }
    });
}

TEST(SoftOptions, ThePartnerModelHasNoConnectionOptionsAndKeepsItsFlags)
{
    Options o(2016);
    workspace::ws().Opt_Enable_Internet = 1;
    workspace::ws().Opt_Enable_Update = 0;
    workspace::ws().Opt_Jump_Field_Tables = 1;
    EXPECT_FALSE(o.child<QTabBar>("PC_Options")->isTabVisible(1));
    o.show([&](TFSoftOptions&) { o.click("Btn_OK"); });
    EXPECT_EQ(workspace::ws().Opt_Enable_Internet, 1);
    EXPECT_EQ(workspace::ws().Opt_Enable_Update, 0);
    EXPECT_EQ(workspace::ws().Opt_Jump_Field_Tables, 1);
}

TEST(SoftOptions, CheckNowShowsTheResultInTheWindowOnly)
{
    Options o;
    workspace::ws().Opt_Enable_Internet = 1;
    workspace::ws().Opt_Enable_Update = 1;
    {
        StubHttpServer server(StubHttpServer::Mode::Reply, "HTTP/1.0 200 OK\r\n\r\nVER. 1.407");
        o.window->server = {QStringLiteral("127.0.0.1"), server.port(), 3000};
        o.show([&](TFSoftOptions& w) {
            o.click("Btn_Check_Update");
            EXPECT_TRUE(o.shownByFlag("LL_Check_Update"));
            EXPECT_EQ(o.label("LL_Check_Update"), QStringLiteral("New Version Available. Click Here for more Details"));
            o.child<platform::LinkLabel>("LL_Check_Update")->clicked();
            ASSERT_EQ(o.env.processes.openedUrls().size(), 1);
            EXPECT_EQ(o.env.processes.openedUrls()[0], downloadLink(3));
            EXPECT_TRUE(o.env.processes.openedUrls()[0].endsWith(QLatin1String("#GX30115")));
            w.LL_Check_UpdateLinkClick(QString());
            EXPECT_EQ(o.env.processes.openedUrls().size(), 1);
        });
    }
    {
        StubHttpServer server(StubHttpServer::Mode::Reply, "HTTP/1.0 200 OK\r\n\r\nVER. 1.405");
        o.window->server = {QStringLiteral("127.0.0.1"), server.port(), 3000};
        o.show([&](TFSoftOptions&) {
            EXPECT_FALSE(o.shownByFlag("LL_Check_Update"));
            o.click("Btn_Check_Update");
            EXPECT_EQ(o.label("LL_Check_Update"), QStringLiteral("No Update Available"));
            o.child<platform::LinkLabel>("LL_Check_Update")->clicked();
            EXPECT_EQ(o.env.processes.openedUrls().size(), 1) << "plain text opens nothing";
        });
    }
    // A server that cannot be reached, or answers with an error, is said to be so: a failure is
    // no result. The timer's check stays silent (it hides its link, MainWindowTest).
    struct Failure {
        StubHttpServer::Mode mode;
        const char* reply;
    } failures[] = {{StubHttpServer::Mode::Reply, "HTTP/1.0 500 Internal Server Error\r\n\r\nVER. 1.407"},
                    {StubHttpServer::Mode::Reply, "garbage"}};
    for (const Failure& f : failures) {
        StubHttpServer server(f.mode, f.reply);
        o.window->server = {QStringLiteral("127.0.0.1"), server.port(), 3000};
        o.show([&](TFSoftOptions& w) {
            o.click("Btn_Check_Update");
            EXPECT_TRUE(o.label("LL_Check_Update").startsWith(QLatin1String("The update server could not be reached: ")))
                << o.label("LL_Check_Update").toStdString();
            EXPECT_FALSE(w.Check_Version());
        });
    }
    quint16 closedPort = 0;
    {
        StubHttpServer gone(StubHttpServer::Mode::Reply, "");
        closedPort = gone.port();
    }
    o.window->server = {QStringLiteral("127.0.0.1"), closedPort, 3000};
    o.show([&](TFSoftOptions&) {
        o.click("Btn_Check_Update");
        EXPECT_TRUE(o.label("LL_Check_Update").startsWith(QLatin1String("The update server could not be reached: ")));
    });
}

TEST(SoftOptionsInTheProgram, YesOnALanguageRelabelsEveryWindowAndOkStoresTheChoices)
{
    AppEnv env(3);
    env.programDir.write("LANGUAGE/Deutsch.lng", "STR15 =Neue Konfiguration\nSTR25 =Neues Projekt\n"
                                                 "STR38 =Software-Optionen\nSTR57 =Update per Ethernet\n"
                                                 "STR73 =Update seriell\nSTR123 =Kommunikation\n");
    Program program(env.programDir.path());
    TFVarnetoreFirmWare& m = program.mainWindow();
    env.boxes.answer(platform::MsgAnswer::Yes);
    env.modal.actions["FSoftOptions"] = [&](platform::Form& f) {
        auto& o = static_cast<TFSoftOptions&>(f);
        o.LangClick(1);
        o.findChild<QCheckBox*>(QStringLiteral("CB_En_Con"))->click();
        o.findChild<QCheckBox*>(QStringLiteral("CB_Update"))->click();
        o.findChild<QCheckBox*>(QStringLiteral("CB_Soft_Set_Jump_Table"))->click();
        o.findChild<AppButton*>(QStringLiteral("Btn_OK"))->click();
    };
    m.Btn_Click(m.button(QStringLiteral("Btn_Opz")));
    EXPECT_EQ(m.button(QStringLiteral("Btn_New"))->caption(), QStringLiteral("Neue Konfiguration"));
    const struct {
        WindowId id;
        const char* title;
    } titles[] = {{WindowId::FNew_Project, "Neues Projekt"},
                  {WindowId::FSoftOptions, "Software-Optionen"},
                  {WindowId::FBootTCP, "Update per Ethernet"},
                  {WindowId::FBootSer, "Update seriell"},
                  {WindowId::FParGen, "Kommunikation"}};
    for (const auto& t : titles)
        EXPECT_EQ(m.window(t.id)->windowTitle(), QLatin1String(t.title));

    // The main window saved the settings on OK; the next start reads them back.
    const QByteArray saved = env.programDir.read("Varnetor.xml");
    EXPECT_TRUE(saved.contains("<language>Deutsch</language>")) << saved.constData();
    EXPECT_TRUE(saved.contains("<enable_internet>1</enable_internet><enable_update>1</enable_update>"
                               "<enable_jump_field_tables>1</enable_jump_field_tables>"
                               "<Double_Click_Auto_Size>0</Double_Click_Auto_Size>"))
        << saved.constData();
    EXPECT_TRUE(m.findChild<platform::Timer*>(QStringLiteral("Timer_Update"))->enabled());

    workspace::ws().Opt_Enable_Internet = 0;
    workspace::readSettings();
    EXPECT_EQ(workspace::ws().Language_Name, QStringLiteral("Deutsch"));
    EXPECT_EQ(workspace::ws().Opt_Enable_Internet, 1);
    EXPECT_EQ(workspace::ws().Opt_Enable_Update, 1);
    EXPECT_EQ(workspace::ws().Opt_Jump_Field_Tables, 1);
    EXPECT_EQ(workspace::ws().Opt_Double_Click_Auto_Size, 0);
    env.modal.actions["FSoftOptions"] = [&](platform::Form& f) {
        EXPECT_EQ(static_cast<TFSoftOptions&>(f).Language_In_Use, QStringLiteral("Deutsch"));
        EXPECT_TRUE(f.findChild<QCheckBox*>(QStringLiteral("CB_Soft_Set_Jump_Table"))->isChecked());
        f.findChild<AppButton*>(QStringLiteral("Btn_Cancel"))->click();
    };
    m.Btn_Click(m.button(QStringLiteral("Btn_Opz")));
}
