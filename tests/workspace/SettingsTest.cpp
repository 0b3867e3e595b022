#include "workspace/Settings.h"
#include "workspace/Workspace.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using testing_support::TempDir;
using workspace::ScopedWorkspace;

namespace {

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override { w->Program_Dir = dir.path(); }

    void writeSettings(const QByteArray& xml) { dir.write(QStringLiteral("Varnetor.xml"), xml); }

    // Values that differ from every default, so a test sees whether reading replaced them.
    void dirtyWorkspace()
    {
        w->Project_Name = QStringLiteral("Old");
        w->Project_Dir = QStringLiteral("/somewhere/Old");
        w->Last_IP_Address = QStringLiteral("10.0.0.1");
        w->Language_Name = QStringLiteral("Italiano");
        w->Opt_Enable_Internet = w->Opt_Enable_Update = 1;
        w->Opt_Jump_Field_Tables = w->Opt_Double_Click_Auto_Size = 1;
    }

    void expectDefaults()
    {
        EXPECT_EQ(w->Project_Name, QString());
        EXPECT_EQ(w->Project_Dir, QString());
        EXPECT_EQ(w->Last_IP_Address, QStringLiteral("192.168.2.205"));
        EXPECT_EQ(w->Language_Name, QStringLiteral("English"));
        EXPECT_EQ(w->Opt_Enable_Internet, 0);
        EXPECT_EQ(w->Opt_Enable_Update, 0);
        EXPECT_EQ(w->Opt_Jump_Field_Tables, 0);
        EXPECT_EQ(w->Opt_Double_Click_Auto_Size, 0);
    }

    TempDir dir;
    ScopedWorkspace w;
};

const QByteArray kDefaultsFile =
    "<Conf_Settings><lastproj><projectname/></lastproj><lastipadd><ipaddress>192.168.2.205</ipaddress>"
    "</lastipadd><lastlang><language>English</language></lastlang><lastinternet>"
    "<enable_internet>0</enable_internet><enable_update>0</enable_update>"
    "<enable_jump_field_tables>0</enable_jump_field_tables><Double_Click_Auto_Size>0</Double_Click_Auto_Size>"
    "</lastinternet></Conf_Settings>";

} // namespace

TEST_F(SettingsTest, MissingFileGivesDefaultsAndFirstSaveWritesThem)
{
    dirtyWorkspace();
    workspace::readSettings();
    expectDefaults();
    ASSERT_TRUE(workspace::Save_Setting());
    EXPECT_EQ(dir.read(QStringLiteral("Varnetor.xml")), kDefaultsFile);
}

TEST_F(SettingsTest, ReadsEveryValueUnchanged)
{
    writeSettings("<Conf_Settings><lastproj><projectname> My Plant </projectname></lastproj>"
                  "<lastipadd><ipaddress>10.1.2.3</ipaddress></lastipadd>"
                  "<lastlang><language>Deutsch</language></lastlang>"
                  "<lastinternet><enable_internet>1</enable_internet><enable_update>1</enable_update>"
                  "<enable_jump_field_tables>1</enable_jump_field_tables>"
                  "<Double_Click_Auto_Size>1</Double_Click_Auto_Size></lastinternet></Conf_Settings>");
    dirtyWorkspace();
    workspace::readSettings();
    EXPECT_EQ(w->Project_Name, QStringLiteral(" My Plant ")); // not trimmed
    EXPECT_EQ(w->Project_Dir, QString());                     // the caller decides whether it exists
    EXPECT_EQ(w->Last_IP_Address, QStringLiteral("10.1.2.3"));
    EXPECT_EQ(w->Language_Name, QStringLiteral("Deutsch"));
    EXPECT_EQ(w->Opt_Enable_Internet, 1);
    EXPECT_EQ(w->Opt_Enable_Update, 1);
    EXPECT_EQ(w->Opt_Jump_Field_Tables, 1);
    EXPECT_EQ(w->Opt_Double_Click_Auto_Size, 1);
}

TEST_F(SettingsTest, FlagIsOnOnlyForExactlyOne)
{
    const struct {
        const char* text;
        uint8_t expected;
    } cases[] = {{"1", 1}, {"0", 0}, {"", 0}, {" 1", 0}, {"1 ", 0}, {"yes", 0}, {"true", 0}, {"01", 0}, {"2", 0}};
    for (const auto& c : cases) {
        writeSettings(QByteArray("<Conf_Settings><lastinternet><enable_internet>1</enable_internet><enable_update>") +
                      c.text + "</enable_update></lastinternet></Conf_Settings>");
        workspace::readSettings();
        EXPECT_EQ(w->Opt_Enable_Update, c.expected) << "text \"" << c.text << '"';
        EXPECT_EQ(w->Opt_Enable_Internet, 1);
    }
}

TEST_F(SettingsTest, MissingElementsTakeTheirDefaultsAlone)
{
    // No "lastinternet" and no "lastlang"; an element of the wrong case does not count.
    writeSettings("<Conf_Settings><lastproj><projectname>P1</projectname></lastproj>"
                  "<lastipadd><ipaddress></ipaddress></lastipadd>"
                  "<LastLang><language>Deutsch</language></LastLang></Conf_Settings>");
    dirtyWorkspace();
    workspace::readSettings();
    EXPECT_EQ(w->Project_Name, QStringLiteral("P1"));
    EXPECT_EQ(w->Last_IP_Address, QString()); // present and empty: empty, not the default
    EXPECT_EQ(w->Language_Name, QStringLiteral("English"));
    EXPECT_EQ(w->Opt_Enable_Internet + w->Opt_Enable_Update + w->Opt_Jump_Field_Tables +
                  w->Opt_Double_Click_Auto_Size,
              0);
}

TEST_F(SettingsTest, MalformedFileGivesDefaultsAndNextSaveRewritesItWhole)
{
    const QByteArray broken[] = {
        "<Conf_Settings><lastproj><projectname>P1</projectname></lastproj>", // cut off
        "",
        QByteArray("\x00\xFF\xFE garbage", 12),
        "just text",
    };
    for (const QByteArray& bytes : broken) {
        writeSettings(bytes);
        dirtyWorkspace();
        workspace::readSettings();
        expectDefaults();
        ASSERT_TRUE(workspace::Save_Setting());
        EXPECT_EQ(dir.read(QStringLiteral("Varnetor.xml")), kDefaultsFile);
    }
}

TEST_F(SettingsTest, RoundTripKeepsEveryValue)
{
    w->Project_Name = QStringLiteral("Größe & <Co>");
    w->Last_IP_Address = QString(); // an empty address stays empty
    w->Language_Name = QStringLiteral("Français");
    w->Opt_Enable_Internet = 1;
    w->Opt_Enable_Update = 0;
    w->Opt_Jump_Field_Tables = 0;
    w->Opt_Double_Click_Auto_Size = 1;
    ASSERT_TRUE(workspace::Save_Setting());

    ScopedWorkspace fresh;
    fresh->Program_Dir = dir.path();
    workspace::readSettings();
    EXPECT_EQ(fresh->Project_Name, QStringLiteral("Größe & <Co>"));
    EXPECT_EQ(fresh->Last_IP_Address, QString());
    EXPECT_EQ(fresh->Language_Name, QStringLiteral("Français"));
    EXPECT_EQ(fresh->Opt_Enable_Internet, 1);
    EXPECT_EQ(fresh->Opt_Enable_Update, 0);
    EXPECT_EQ(fresh->Opt_Jump_Field_Tables, 0);
    EXPECT_EQ(fresh->Opt_Double_Click_Auto_Size, 1);
}

// A settings file of an older version, in the system code page without a declaration: the
// project name is read as Windows-1252 (not as replacement characters that the next save would
// write back), and saved again it reads the same.
TEST_F(SettingsTest, OlderWindows1252FileReadsItsProjectName)
{
    writeSettings("<Conf_Settings><lastproj><projectname>Caf\xE9 \x80 1</projectname></lastproj></Conf_Settings>");
    workspace::readSettings();
    EXPECT_EQ(w->Project_Name, QStringLiteral("Caf\u00E9 \u20AC 1"));
    ASSERT_TRUE(workspace::Save_Setting());
    ScopedWorkspace fresh;
    fresh->Program_Dir = dir.path();
    workspace::readSettings();
    EXPECT_EQ(fresh->Project_Name, QStringLiteral("Caf\u00E9 \u20AC 1"));
}

TEST_F(SettingsTest, SaveReplacesAnotherDocumentsContentsAndReportsFailure)
{
    writeSettings("<Par_Gen><IP>1.2.3.4</IP></Par_Gen><!--SW_VERSION = 3-->");
    w->Project_Name.clear();
    ASSERT_TRUE(workspace::Save_Setting());
    EXPECT_EQ(dir.read(QStringLiteral("Varnetor.xml")), kDefaultsFile);

    w->Program_Dir = dir.file(QStringLiteral("no/such/folder"));
    EXPECT_FALSE(workspace::Save_Setting());
    w->Program_Dir.clear(); // never a file relative to the working folder
    EXPECT_FALSE(workspace::Save_Setting());
}
