// The scan window's three dialogs: the key of a wireless meter, the first Modbus register, and
// the per-node start addresses.
#include "WindowFixture.h"
#include "controls/grid/column/ColumnGrid.h"
#include "mbus/scan/window/ScanDecodeTexts.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

using namespace scanwindow;

namespace {

struct DialogEnv {
    DialogEnv()
    {
        workspace::setDeviceIdentity();
        workspace::Default_Texts();
        previous = platform::setModalDriver([this](platform::Form& f) {
            if (act)
                act(f);
        });
    }
    ~DialogEnv() { platform::setModalDriver(previous); }
    // Shows the dialog, lets `fill` play the user and press OK; the result and the boxes shown.
    template <class D>
    int ok(D& d, const std::function<void(D&)>& fill)
    {
        boxes.clear();
        act = [&](platform::Form& f) {
            fill(static_cast<D&>(f));
            d.Btn_OK->click();
            if (f.modalResult() == platform::mrNone)
                f.setModalResult(platform::mrCancel); // stayed open: the user gives up
        };
        return d.showModal();
    }
    workspace::ScopedWorkspace scoped{3};
    testing_support::FakeMessageBoxes boxes;
    std::function<void(platform::Form&)> act;
    platform::ModalDriver previous;
};

TEST(ScanDialogs, KeyMustBeThirtyTwoHexadecimalCharacters)
{
    DialogEnv env;
    TFInsertKeyWireless d;
    EXPECT_EQ(d.size(), QSize(481, 47));
    EXPECT_TRUE(d.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(d.L_InsKey->text(), QStringLiteral("Insert Key (HEX)"));
    EXPECT_EQ(d.Btn_OK->caption(), QStringLiteral("OK"));
    EXPECT_EQ(d.Btn_Cancel->caption(), QStringLiteral("Cancel"));
    EXPECT_EQ(d.E_Key->maxLength(), 32);

    const QString good = QStringLiteral("000102030405060708090A0B0C0D0E0F");
    struct Case {
        QString key;
        int result;
        QStringList boxes;
    };
    const Case cases[] = {
        {good.left(31), platform::mrCancel, {workspace::text(1704)}},
        {QString(), platform::mrCancel, {workspace::text(1704)}},
        {good.left(31) + QStringLiteral("G"), platform::mrCancel, {workspace::text(1703)}},
        {good.left(31) + QStringLiteral("g"), platform::mrCancel, {workspace::text(1703)}},
        {good, platform::mrOk, {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(env.ok<TFInsertKeyWireless>(d, [&](TFInsertKeyWireless& f) { f.E_Key->setText(c.key); }), c.result)
            << c.key.toStdString();
        EXPECT_EQ(env.boxes.texts(), c.boxes) << c.key.toStdString();
    }
    // Typed letters become upper case; typing stops at 32 characters.
    EXPECT_EQ(env.ok<TFInsertKeyWireless>(d,
                                          [&](TFInsertKeyWireless& f) {
                                              f.E_Key->clear();
                                              QTest::keyClicks(f.E_Key, good.toLower() + QStringLiteral("ff"));
                                          }),
              platform::mrOk);
    EXPECT_EQ(d.E_Key->text(), good);
    EXPECT_EQ(keyBytes(d.E_Key->text())[10], 0x0A);
    EXPECT_EQ(keyBytes(QStringLiteral("ZZ01"))[0], 0);
    EXPECT_EQ(keyBytes(QStringLiteral("ZZ01"))[1], 1);
}

TEST(ScanDialogs, StartRegisterFrom1To65535)
{
    DialogEnv env;
    TFScanModbusStart d;
    EXPECT_EQ(d.size(), QSize(331, 162));
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Start Modbus Register"));
    EXPECT_EQ(d.L_SW_Code->text(), QStringLiteral("SCAN & DECODE"));
    EXPECT_EQ(d.L_SW_Desc->text(), QStringLiteral("Insert the Start Modbus Register"));
    EXPECT_EQ(d.L_StartModAdd->text(), QStringLiteral("Insert the Start Address for Modbus Registers"));
    struct Case {
        const char* text;
        int result;
        int start;
    };
    d.StartModAdd = 7;
    for (const Case& c : {Case{"0", platform::mrCancel, 7}, Case{"65536", platform::mrCancel, 7},
                          Case{"", platform::mrCancel, 7}, Case{"-5", platform::mrCancel, 7}, Case{"abc", platform::mrCancel, 7},
                          Case{"65535", platform::mrOk, 65535}, Case{"1", platform::mrOk, 1}}) {
        EXPECT_EQ(env.ok<TFScanModbusStart>(d, [&](TFScanModbusStart& f) { f.E_StartModAdd->setText(QLatin1String(c.text)); }),
                  c.result)
            << c.text;
        EXPECT_EQ(d.StartModAdd, c.start) << c.text;
        EXPECT_EQ(env.boxes.texts(),
                  c.result == platform::mrOk ? QStringList{} : QStringList{workspace::text(1806)})
            << c.text;
    }
}

TEST(ScanDialogs, PerNodeStartAddressesAreCheckedRowByRow)
{
    DialogEnv env;
    TFModbusStartAdd_SD d;
    EXPECT_EQ(d.size(), QSize(511, 336));
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Modbus Start Address"));
    // Made at start without its controls; they come before the first show.
    EXPECT_FALSE(d.controlsBuilt());
    EXPECT_EQ(d.sga, nullptr);
    d.ensureControls();
    EXPECT_EQ(d.L_SW_Code->text(), workspace::ws().SW_Code);
    EXPECT_EQ(d.CB_En_NodeState->text(), QStringLiteral("Enable Node State"));
    EXPECT_EQ(d.CB_En_IndNum->text(), QStringLiteral("Enable Identification Number"));
    auto* g = d.sga;
    EXPECT_EQ(g->ColCount(), 2);
    EXPECT_EQ(g->RowCount(), 31);
    EXPECT_EQ(g->FixedCols(), 1);
    EXPECT_EQ(g->DefaultRowHeight(), 21);
    EXPECT_EQ(g->Columns().Items(0)->Width(), 200);
    EXPECT_EQ(g->Columns().Items(1)->Width(), 200);
    EXPECT_EQ(g->Columns().Items(0)->Header(), QStringLiteral("M-Bus ID"));
    EXPECT_EQ(g->Columns().Items(1)->Header(), QStringLiteral("Modbus Start Address"));
    EXPECT_EQ(g->Columns().Items(1)->GetColor(), platform::rgb(0xE0, 0xFA, 0xFE));

    struct Case {
        std::vector<const char*> rows;
        int result;
        QString box;
    };
    const Case cases[] = {
        {{"1", "60000", "5"}, platform::mrCancel, QStringLiteral("Error row 2!! Modbus Start Address must be between 1 and 59999")},
        {{"1", "59999", ""}, platform::mrCancel, QStringLiteral("Error row 3!! Modbus Start Address cannot be empty")},
        {{"0"}, platform::mrCancel, QStringLiteral("Error row 1!! Modbus Start Address must be between 1 and 59999")},
        {{"abc"}, platform::mrCancel, QStringLiteral("Error row 1!! Modbus Start Address must be between 1 and 59999")},
        {{"1", "59999", "300"}, platform::mrOk, QString()},
        {{}, platform::mrOk, QString()}, // no data rows: accepted at once
    };
    for (const Case& c : cases) {
        g->SetRowCount(int(c.rows.size()) + 1);
        for (size_t r = 0; r < c.rows.size(); ++r)
            g->SetCells(1, int(r) + 1, QLatin1String(c.rows[r]));
        EXPECT_EQ(env.ok<TFModbusStartAdd_SD>(d, [](TFModbusStartAdd_SD&) {}), c.result) << c.rows.size();
        EXPECT_EQ(env.boxes.texts(), c.box.isEmpty() ? QStringList{} : QStringList{c.box});
    }
    // The start-address column can be typed into; the meters' column cannot.
    bool can = false;
    g->CheckCanEdit(1, 1, can);
    EXPECT_TRUE(can);
    g->CheckCanEdit(0, 1, can);
    EXPECT_FALSE(can);
}

TEST(ScanDialogs, ProgressLinesAndTheirLook)
{
    workspace::ScopedWorkspace scoped(3);
    workspace::Default_Texts();
    struct Case {
        int e, v, f, k;
        std::optional<QString> line;
    };
    const Case cases[] = {
        {1, 0, 0, 1, std::nullopt},
        {1, 0, 0, 2, QStringLiteral("Start Scan By Secondary Address")},
        {2, 5, 1, 1, QStringLiteral("ID = 5\t")},
        {2, 250, 0, 1, QStringLiteral("ID = 250\t[NOT FOUND]")},
        {2, 0x12345678, 1, 2, QStringLiteral("ID = 12345678")},
        {2, 0x42, 1, 2, QStringLiteral("ID = 00000042")},
        {3, 0, 0, 1, std::nullopt},
        {3, 0, 0, 2, QStringLiteral("Finish Scan By Secondary Address")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(progressLine(c.e, c.v, c.f, c.k, +[](int i) { return workspace::text(i); }), c.line) << c.e << " " << c.v;
    const ProgressLook found = progressLook(QStringLiteral("ID = 5\t"));
    EXPECT_FALSE(found.notFound);
    const ProgressLook missing = progressLook(QStringLiteral("ID = 250\t[NOT FOUND]"));
    EXPECT_TRUE(missing.notFound);
    EXPECT_EQ(missing.first, QStringLiteral("ID = 250"));
    EXPECT_EQ(missing.rest, QStringLiteral("[NOT FOUND]"));
}

} // namespace
