// Builds and saves the configuration image of a project folder the way Update Device does, so
// that a checker outside the program can read the bank files it writes.
//
//   image_build_tool TYPE PROJECT_DIR [--templates DIR] [--map FILE]
//
// TYPE is the device type. The bank files go to PROJECT_DIR/bin. --templates names the template
// folder of the M-Bus master models; --map also writes their register map to FILE.
// Exit status: 0 written, 3 the build was refused (its message on standard output), 4 the save
// or the map failed, 2 bad arguments.
#include "image/ImageBuilder.h"
#include "image/ImageState.h"
#include "mbus/RegisterMap.h"
#include "platform/text/UserError.h"
#include "workspace/Folders.h"
#include "workspace/Workspace.h"

#include <QCoreApplication>
#include <QString>
#include <cstdio>
#include <memory>

namespace {

int usage()
{
    std::fputs("usage: image_build_tool TYPE PROJECT_DIR [--templates DIR] [--map FILE]\n", stderr);
    return 2;
}

void say(const char* tag, const QString& text)
{
    std::printf("%s: %s\n", tag, text.toUtf8().constData());
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 3)
        return usage();
    bool typeOk = false;
    const int32_t type = args[1].toInt(&typeOk);
    if (!typeOk)
        return usage();
    QString templates;
    QString map;
    for (qsizetype i = 3; i < args.size(); i += 2) {
        if (i + 1 >= args.size())
            return usage();
        if (args[i] == QLatin1String("--templates"))
            templates = args[i + 1];
        else if (args[i] == QLatin1String("--map"))
            map = args[i + 1];
        else
            return usage();
    }

    workspace::ScopedWorkspace ws(type);
    ws->Project_Dir = args[2];
    workspace::Set_Files();
    ws->Template_Dir = templates;

    // The builder's state is large; it lives on the heap as the program's does.
    const auto st = std::make_unique<image::ImageState>();
    const image::BuildResult built = image::Build_Bin(*st);
    if (!built.ok) {
        say("BUILD-REFUSED", built.error);
        return 3;
    }
    const image::SaveResult saved = image::Save_Bin(*st);
    if (!saved.ok) {
        say("SAVE-FAILED", saved.error);
        return 4;
    }
    for (const QString& f : saved.files)
        say("WROTE", f);
    if (!map.isEmpty()) {
        try {
            mbus::Write_PROFINET_Map_File(map);
        } catch (const platform::UserError& e) {
            say("MAP-FAILED", e.message());
            return 4;
        }
    }
    return 0;
}
