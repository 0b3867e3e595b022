// Table windows whose project files hold values of a megabyte: the window opens, paints and
// closes with Escape. Laying such a value out once cost minutes, and the window never showed;
// this binary runs under a time-out of its own (tests/app/CMakeLists.txt), not a timed check.
#include <gtest/gtest.h>

#include "app/AppFixture.h"
#include "app/Program.h"
#include "support/TableFiles.h"

#include <QApplication>
#include <QDir>
#include <QTest>

using namespace app;
using namespace app_test;
namespace tf = testing_support::tables;

namespace {

// A value of a megabyte: one word of digits, as a number column would hold it.
QString megabyteWord()
{
    QString s;
    s.reserve(1 << 20);
    for (int i = 0; s.size() < (1 << 20); ++i)
        s += QLatin1Char(char('0' + i % 10));
    return s;
}

// Opens the window through its button with `file` in the project, shows and paints it with
// every page, presses Escape and expects it closed with Cancel and the file untouched.
void openPaintAndEscape(int deviceType, const char* button, const char* window, const char* file,
                        const QByteArray& xml)
{
    AppEnv env(deviceType);
    QDir().mkpath(env.programDir.file("PROJECTS/P1/bin"));
    env.programDir.write("Varnetor.xml", settingsXml("P1", "0", "0").toUtf8());
    const QString path = QStringLiteral("PROJECTS/P1/") + QLatin1String(file);
    env.programDir.write(path, xml);
    Program program(env.programDir.path());
    TFVarnetoreFirmWare& m = program.mainWindow();

    bool painted = false;
    env.modal.actions[QLatin1String(window)] = [&](platform::Form& f) {
        auto& d = static_cast<tables::TTableDialog&>(f);
        f.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
        // Every page as the user would see it, with the long values in the visible cells.
        for (int section = d.sectionCount() - 1; section >= 0; --section) {
            d.setCurrentSection(section);
            EXPECT_EQ(d.grid(section)->Cells(1, 1).size(), 1 << 20);
            const QImage shot = f.grab().toImage();
            EXPECT_FALSE(shot.isNull());
        }
        painted = true;
        QApplication::processEvents();
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClick(focus && f.isAncestorOf(focus) ? focus : &f, Qt::Key_Escape);
        if (f.isVisible()) // an in-place editor takes the first Escape
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &f, Qt::Key_Escape);
        EXPECT_EQ(f.modalResult(), platform::mrCancel);
        EXPECT_FALSE(f.isVisible());
    };
    m.Btn_Click(m.button(QLatin1String(button)));
    EXPECT_TRUE(painted);
    EXPECT_EQ(env.modal.shown, QStringList{QLatin1String(window)});
    EXPECT_TRUE(env.boxes.texts().isEmpty()) << env.boxes.texts().join('|').left(300).toStdString();
    EXPECT_EQ(env.programDir.read(path), xml);
}

} // namespace

TEST(LongTextWindows, TheSdoServerTableWithValuesOfAMegabyteOpensPaintsAndClosesWithEscape)
{
    const QString big = megabyteWord();
    tf::SdoRow row;
    row.index = big;
    row.subIndex = big;
    row.addresses = QStringList{big, big, QString(), QString()};
    row.mnemonic = big;
    openPaintAndEscape(8, "Btn_SDO_Server_CANopen", "FSet_SDO_Server_Access", "SDO_Server_CANopen.xml",
                       tf::sdoXml({tf::sdoServerRow(row), tf::sdoServerRow({})}, {tf::sdoServerRow(row)}));
}

TEST(LongTextWindows, ThePdoTableWithValuesOfAMegabyteOpensPaintsAndClosesWithEscape)
{
    const QString big = megabyteWord();
    tf::PdoRow row;
    row.cobId = big;
    row.dimension = big;
    row.addresses = QStringList{big, QString(), QString(), QString(), QString(), QString(), QString(), QString()};
    row.timeOut = big;
    row.mnemonic = big;
    openPaintAndEscape(8, "Btn_PDO_CANopen", "FSet_PDO_Access", "PDO_CANopen.xml",
                       tf::pdoXml({tf::pdoReceiveRow(row)}, {tf::pdoTransmitRow(row)}));
}
