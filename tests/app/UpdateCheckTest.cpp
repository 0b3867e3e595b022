#include <QElapsedTimer>
#include <QTimer>
#include <gtest/gtest.h>

#include "app/AppFixture.h"
#include "app/Program.h"
#include "app/SoftOptions.h"
#include "app/UpdateCheck.h"
#include "app/UpdateServer.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Timer.h"
#include "support/QtPrinters.h"
#include "support/StubHttpServer.h"

using namespace app;
using namespace app_test;
using testing_support::StubHttpServer;

namespace {

UpdateServer stubServer(quint16 port, int timeoutMs = 3000)
{
    return {QStringLiteral("127.0.0.1"), port, timeoutMs};
}

QByteArray okReply(const char* body) { return QByteArray("HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n") + body; }

} // namespace

TEST(UpdateCheck, VersionTextsBecomeNumbers)
{
    struct Case {
        const char* text;
        int number;
    } cases[] = {
        {"1.405", 1405},      {"VER. 1.407", 1407}, {"Ver. 1.405", 1405}, {"VER. 0.000", 0},
        {"VER. 1.4059", 1405}, {"VER.  1.407 ", 1407}, {"x 1a405", 1405}, // the second character is never read
        {"VER. 10.01", -1},   {"VER. 1.40", -1},    {"", -1},           {"VER.1.407", -1},
        {"VER. +.123", -1},   {"VER. $.ABC", -1},   {"VER. 1.4 5", -1}, {"VER. ١.٤٠٥", -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Conv_Version(QString::fromUtf8(c.text)), c.number) << c.text;
}

TEST(UpdateCheck, OnlyANewerVersionIsAnUpdate)
{
    struct Case {
        const char* reply;
        const char* local;
        bool update;
    } cases[] = {
        {"VER. 1.407", "1.405", true},
        {"\r\n  VER. 1.407\r\n", "1.405", true},
        {"VER. 1.4069", "1.405", true},
        {"Ver. 1.405", "1.405", false},
        {"VER. 1.4059", "1.405", false},
        {"VER. 1.404", "1.405", false},
        {"VER. 0.000", "1.405", false},
        {"ver. 0.000", "0.000", false},
        {"VER. 10.01", "1.405", false},
        {"", "1.405", false},
        {"   ", "1.405", false},
        {"<html>VER. 1.407</html>", "1.405", true}, // only five characters after the first blank count
        {"<html> VER. 1.407</html>", "1.405", false},
        {"VER. 9.999", "", false}, // a model without a version of its own never gets one
    };
    for (const Case& c : cases)
        EXPECT_EQ(replyOffersUpdate(QLatin1String(c.reply), QLatin1String(c.local)), c.update) << c.reply << " / " << c.local;
}

TEST(UpdateCheck, TheModelsCodeVersionAndAnchor)
{
    EXPECT_EQ(localVersion(3).swCode, QStringLiteral("GS30115"));
    EXPECT_EQ(localVersion(3).version, QStringLiteral("1.405"));
    EXPECT_EQ(localVersion(20).version, QStringLiteral("1.102"));
    EXPECT_EQ(localVersion(1003).swCode, QStringLiteral("GS30129"));
    EXPECT_TRUE(localVersion(2016).swCode.isEmpty());
    EXPECT_TRUE(localVersion(2016).version.isEmpty());
    EXPECT_EQ(downloadAnchor(3), QStringLiteral("GX30115"));
    EXPECT_EQ(downloadAnchor(18), QStringLiteral("GX30112"));
    EXPECT_EQ(downloadAnchor(20), QStringLiteral("GX30113"));
    EXPECT_EQ(downloadAnchor(2016), QStringLiteral("GX30113"));
    EXPECT_EQ(downloadLink(3), QLatin1String(update_server::kDownloadPage) + QStringLiteral("#GX30115"));
    const UpdateServer s = defaultUpdateServer();
    EXPECT_EQ(s.host, QLatin1String(update_server::kHost));
    EXPECT_EQ(s.timeoutMs, 10000);
}

TEST(UpdateCheck, AgainstAServerTheRepliesDecide)
{
    struct Case {
        int type;
        QByteArray reply;
        bool update;
    } cases[] = {
        {3, okReply("VER. 1.407"), true},
        {3, okReply("Ver. 1.405"), false},
        {3, okReply("VER. 0.000"), false},
        {3, okReply("VER. 10.01"), false},
        {20, okReply("VER. 1.103"), true},
        {3, "HTTP/1.0 500 Server Error\r\n\r\nVER. 9.999", false},
        {3, "HTTP/1.0 302 Found\r\nLocation: /x\r\n\r\nVER. 9.999", false},
        {3, "VER. 9.999", false},
        {2016, okReply("VER. 9.999"), false},
    };
    for (const Case& c : cases) {
        StubHttpServer server(StubHttpServer::Mode::Reply, c.reply);
        EXPECT_EQ(Check_Version(c.type, stubServer(server.port())), c.update) << c.type << " " << c.reply.constData();
    }
}

TEST(UpdateCheck, TheQueryIsAnHttp10GetWithTheUsualHeaders)
{
    for (int type : {3, 2016}) {
        StubHttpServer server(StubHttpServer::Mode::Reply, okReply("VER. 1.000"));
        Check_Version(type, stubServer(server.port()));
        const QByteArray code = type == 3 ? "GS30115" : "";
        EXPECT_EQ(server.request(),
                  "GET /home/download/GetversionSW.asp?nomesw=" + code + " HTTP/1.0\r\n"
                  "Host: 127.0.0.1:" + QByteArray::number(server.port()) + "\r\n"
                  "Accept: text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8\r\n"
                  "User-Agent: Mozilla/3.0 (compatible; Indy Library)\r\n"
                  "\r\n");
    }
}

TEST(UpdateCheck, NoAnswerInTimeIsNoUpdate)
{
    constexpr int bound = 500;
    struct Case {
        const char* what;
        std::unique_ptr<StubHttpServer> server; // none: a refused connection
    };
    Case cases[3];
    cases[0] = {"refused", nullptr};
    cases[1] = {"never answers", std::make_unique<StubHttpServer>(StubHttpServer::Mode::Silent)};
    cases[2] = {"cut in the middle", std::make_unique<StubHttpServer>(
                                         StubHttpServer::Mode::ReplyThenStall,
                                         "HTTP/1.0 200 OK\r\nContent-Length: 10\r\n\r\nVER. 1")};
    for (Case& c : cases) {
        const quint16 port = c.server ? c.server->port() : StubHttpServer::closedPort();
        QElapsedTimer t;
        t.start();
        EXPECT_FALSE(Check_Version(3, stubServer(port, bound))) << c.what;
        EXPECT_LT(t.elapsed(), bound + 3000) << c.what;
    }
    // Cut and closed: no need to wait for the bound.
    StubHttpServer cut(StubHttpServer::Mode::Reply, "HTTP/1.0 200 OK\r\nContent-Length: 10\r\n\r\nVER. 1");
    EXPECT_FALSE(Check_Version(3, stubServer(cut.port(), 60000)));
}

namespace {

// A program of device type 3 with both internet options on, its timers run by hand.
struct TimedProgram {
    TimedProgram() : env(3)
    {
        env.programDir.write("Varnetor.xml", settingsXml("", "1", "1").toUtf8());
        program = std::make_unique<Program>(env.programDir.path());
        options = qobject_cast<TFSoftOptions*>(program->mainWindow().window(WindowId::FSoftOptions));
        timer = program->mainWindow().findChild<platform::Timer*>(QStringLiteral("Timer_Update"));
        link = program->mainWindow().findChild<platform::LinkLabel*>(QStringLiteral("LL_Update"));
    }
    AppEnv env;
    platform::ManualTimers manual;
    std::unique_ptr<Program> program;
    TFSoftOptions* options = nullptr;
    platform::Timer* timer = nullptr;
    platform::LinkLabel* link = nullptr;
};

} // namespace

TEST(UpdateTimer, FirstAfterAMinuteThenTwoHoursAfterEachCheck)
{
    TimedProgram p;
    ASSERT_TRUE(p.options && p.timer && p.link);
    int checks = 0;
    bool answer = true;
    p.program->mainWindow().services().Check_Version = [&] {
        ++checks;
        p.env.clock.advance(4000); // the check itself takes time
        return answer;
    };
    ASSERT_TRUE(p.timer->enabled());
    p.env.clock.advance(59999);
    EXPECT_EQ(platform::fireDueTimers(), 0);
    p.env.clock.advance(1);
    EXPECT_EQ(platform::fireDueTimers(), 1);
    EXPECT_EQ(checks, 1);
    EXPECT_TRUE(p.link->isVisibleTo(&p.program->mainWindow()));
    EXPECT_EQ(p.link->text(), QStringLiteral("New Version Available. Click Here for more Details"));
    p.program->mainWindow().LL_UpdateLinkClick(downloadLink(3));
    EXPECT_EQ(p.env.processes.openedUrls().last(), downloadLink(3));

    // Two hours after the check ended, not after it began.
    EXPECT_EQ(p.timer->interval(), 7200000);
    answer = false;
    p.env.clock.advance(7199999);
    EXPECT_EQ(platform::fireDueTimers(), 0);
    p.env.clock.advance(1);
    EXPECT_EQ(platform::fireDueTimers(), 1);
    EXPECT_EQ(checks, 2);
    EXPECT_FALSE(p.link->isVisibleTo(&p.program->mainWindow()));

    // The timer goes on even when the options say otherwise, until they are confirmed.
    workspace::ws().Opt_Enable_Update = 0;
    p.env.clock.advance(7200000 + 4000);
    EXPECT_EQ(platform::fireDueTimers(), 1);
    p.env.modal.actions["FSoftOptions"] = [](platform::Form& f) {
        f.findChild<AppButton*>(QStringLiteral("Btn_OK"))->click();
    };
    p.program->mainWindow().Btn_Click(p.program->mainWindow().button(QStringLiteral("Btn_Opz")));
    EXPECT_FALSE(p.timer->enabled());
    p.env.clock.advance(3 * 7200000);
    EXPECT_EQ(platform::fireDueTimers(), 0);
    EXPECT_EQ(checks, 3);
}

TEST(UpdateTimer, TheProgramsCheckAsksTheServerAndLeavesTheOptionsWindowAlone)
{
    TimedProgram p;
    StubHttpServer server(StubHttpServer::Mode::Reply, okReply("VER. 1.407"));
    p.options->server = stubServer(server.port());
    p.env.clock.advance(60000);
    EXPECT_EQ(platform::fireDueTimers(), 1);
    EXPECT_EQ(server.connections(), 1);
    EXPECT_TRUE(p.link->isVisibleTo(&p.program->mainWindow()));
    const auto* optionsLink = p.options->findChild<QLabel*>(QStringLiteral("LL_Check_Update"));
    EXPECT_TRUE(optionsLink->text().isEmpty());
}

TEST(UpdateTimer, ACheckThatComesWhileOneWaitsAnswersAtOnceWithoutASecondRequest)
{
    AppEnv env(3);
    TFSoftOptions options;
    StubHttpServer server(StubHttpServer::Mode::Silent);
    options.server = stubServer(server.port(), 600);
    int nested = -1;
    qint64 nestedMs = -1;
    // The main window's timer fires while the manual check waits for the server.
    QTimer::singleShot(50, [&] {
        QElapsedTimer t;
        t.start();
        nested = options.Check_Version() ? 1 : 0;
        nestedMs = t.elapsed();
    });
    EXPECT_FALSE(options.Check_Version());
    EXPECT_EQ(nested, 0);
    EXPECT_LT(nestedMs, 300);
    EXPECT_EQ(server.connections(), 1);
}
