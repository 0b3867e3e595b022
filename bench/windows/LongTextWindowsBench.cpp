// Opening windows whose project files hold texts of a megabyte, as a user does: the window is
// shown and painted, and Escape closes it. Each iteration opens the window once and times it
// from showModal() to the window closed, the program's message boxes included (laid out,
// painted and closed as if by OK).
//
//   window/SdoServerOrdinary        the CANopen SDO server table with ordinary values
//   window/SdoServer1MiB            the same table with a row on each page whose five values
//                                   are a megabyte long each (goal: under a second; the window
//                                   never painted before)
//   window/CustomerConfig1MiBTemplate  the M-Bus master's customer configuration (device
//                                   type 1003) with a device whose template name is a megabyte
//                                   long (goal: under a second; it took 8.8 s)
#include "mbus/DeviceList.h"
#include "mbus/master/window/UConf_BAC_MBus_Pelvarta.h"
#include "platform/ui/Form.h"
#include "tables/canopen/window/CanopenDialogs.h"
#include "workspace/Folders.h"
#include "workspace/LangTexts.h"
#include "workspace/Workspace.h"

#include "common/GuiApp.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <stdexcept>

namespace {

QString megabyteWord(char first)
{
    QString s;
    s.reserve(1 << 20);
    for (int i = 0; s.size() < (1 << 20); ++i)
        s += QLatin1Char(char(first + i % 10));
    return s;
}

// Closes the program's message boxes as if by OK once they are laid out and painted.
class BoxCloser {
public:
    BoxCloser()
    {
        timer_.setInterval(0);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                benchmark::DoNotOptimize(box->grab());
                box->done(QMessageBox::Ok);
                ++closed;
            }
        });
        timer_.start();
    }
    int closed = 0;

private:
    QTimer timer_;
};

// Shows the window modally; it is painted, then Escape goes to the control holding the focus.
void openPaintAndEscape(platform::Form& f)
{
    const platform::ModalDriver previous = platform::setModalDriver([](platform::Form& w) {
        w.show();
        benchmark::DoNotOptimize(w.grab());
        QApplication::processEvents();
        for (int i = 0; i < 2 && w.isVisible(); ++i) { // an open in-place editor takes the first Escape
            QWidget* target = QApplication::focusWidget();
            if (!target || !w.isAncestorOf(target))
                target = &w;
            QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QApplication::sendEvent(target, &press);
        }
    });
    f.showModal();
    platform::setModalDriver(previous);
    if (f.isVisible() || f.modalResult() != platform::mrCancel)
        throw std::runtime_error("the window did not close with Escape");
}

struct Project {
    explicit Project(int deviceType) : scoped(deviceType)
    {
        workspace::Default_Texts();
        workspace::Workspace& w = workspace::ws();
        w.Template_Dir = dir.filePath(QStringLiteral("TEMPLATE"));
        w.Projects_Dir = dir.filePath(QStringLiteral("PROJECTS"));
        w.Project_Name = QStringLiteral("P");
        w.Project_Dir = dir.filePath(QStringLiteral("PROJECTS/P"));
        QDir().mkpath(w.Template_Dir);
        QDir().mkpath(w.Project_Dir + QStringLiteral("/bin"));
        workspace::Set_Files();
    }
    void write(const QString& path, const QByteArray& bytes)
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            throw std::runtime_error("cannot write the fixture");
    }
    QTemporaryDir dir;
    workspace::ScopedWorkspace scoped;
    BoxCloser boxes;
};

// The SDO server file: on the read page a row of `value`s and an ordinary row, on the write page
// a row of `value`s (Index, SubIndex, two addresses and the mnemonic).
QByteArray sdoServerXml(const QString& value)
{
    const QString row = QStringLiteral("<row Index=\"%1\" SubIndex=\"%1\" NByte=\"1\" Address_B1=\"%1\" "
                                       "Address_B2=\"%1\" Address_B3=\"\" Address_B4=\"\" Mnemonic=\"%1\"/>");
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?><EtherNetIP_to_SDO_CANopen><SDO_Read>%1%2</SDO_Read>"
                          "<SDO_Write>%1</SDO_Write></EtherNetIP_to_SDO_CANopen>")
        .arg(row.arg(value), row.arg(QStringLiteral("8192")))
        .toUtf8();
}

void sdoServer(benchmark::State& state, const QString& value)
{
    bench_common::ensureGuiApp();
    Project project(8);
    project.write(workspace::ws().Path_SDO_Server_CANopen, sdoServerXml(value));
    for (auto _ : state) {
        tables::canopen::TFSet_SDO_Server_Access window;
        openPaintAndEscape(window);
    }
}

void BM_SdoServerOrdinary(benchmark::State& state) { sdoServer(state, QStringLiteral("8192")); }
BENCHMARK(BM_SdoServerOrdinary)->Name("window/SdoServerOrdinary")->Unit(benchmark::kMillisecond);

void BM_SdoServer1MiB(benchmark::State& state) { sdoServer(state, megabyteWord('0')); }
BENCHMARK(BM_SdoServer1MiB)->Name("window/SdoServer1MiB")->Unit(benchmark::kMillisecond);

void BM_CustomerConfig1MiBTemplate(benchmark::State& state)
{
    bench_common::ensureGuiApp();
    Project project(1003);
    mbus::TDevice_QV device;
    device.Template_File = megabyteWord('a');
    mbus::Save_Configuration(workspace::ws().Path_M_Bus_Custom_QV, {device}, 0);
    for (auto _ : state) {
        mbus::master::TFConf_BAC_MBus_Pelvarta window;
        openPaintAndEscape(window);
    }
    // The box that names the device whose template is gone, once a showing.
    state.counters["boxes_per_open"] = double(project.boxes.closed) / double(state.iterations());
}
BENCHMARK(BM_CustomerConfig1MiBTemplate)->Name("window/CustomerConfig1MiBTemplate")->Unit(benchmark::kMillisecond);

} // namespace
