#include "update/UpdaterCommand.h"

#include "platform/fs/Files.h"

namespace update {

QStringList choiceWords(const UpdateChoices& c)
{
    const QString no = QStringLiteral("NO");
    return {c.firmware ? QStringLiteral("FW") : no, c.readFirmware ? QStringLiteral("FR") : no,
            c.configuration ? QStringLiteral("PW") : no, c.readConfiguration ? QStringLiteral("PR") : no};
}

std::optional<UpdaterCommand> ownEthernetUpdater(int32_t deviceType, const Ipv4Address& address,
                                                 const UpdateChoices& choices, uint32_t bacnetType,
                                                 const QString& programDir, const QString& masterDir,
                                                 const QString& projectDir)
{
    const EthernetTarget t = ethernetTarget(deviceType);
    if (t.kind != UpdaterKind::OwnBankImage && t.kind != UpdaterKind::OwnBinFolder)
        return std::nullopt;
    UpdaterCommand c;
    c.program = platform::joinPath(programDir, t.updaterFile);
    c.arguments << address.text() << bootPort() << choiceWords(choices)
                << platform::joinPath(masterDir, t.firmwareFile);
    if (t.kind == UpdaterKind::OwnBankImage)
        c.arguments << platform::joinPath(projectDir, QStringLiteral("bin/bank1.bin")) << QString::number(bacnetType);
    else
        c.arguments << platform::joinPath(projectDir, QStringLiteral("bin"));
    return c;
}

UpdaterCommand serialUpdater(const QString& portDevice, const UpdateChoices& choices, const QString& programDir,
                             const QString& masterDir, const QString& projectDir)
{
    UpdaterCommand c;
    c.program = platform::joinPath(programDir, serialUpdaterFile());
    c.arguments << portDevice << choiceWords(choices) << platform::joinPath(masterDir, serialFirmwareFile())
                << platform::joinPath(projectDir, QStringLiteral("bin/bank1.bin"));
    return c;
}

} // namespace update
