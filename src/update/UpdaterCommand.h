#pragma once
// The command lines of the updaters, as argument vectors: each token is one argument, so paths
// with blanks need no quoting and nothing passes through a shell.
#include "update/IpAddress.h"
#include "update/UpdateTargets.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

namespace update {

struct UpdaterCommand {
    QString program; // full path of the updater in the program folder
    QStringList arguments;
};

// The four choice words: "FW"/"NO", "FR"/"NO", "PW"/"NO", "PR"/"NO".
QStringList choiceWords(const UpdateChoices& choices);

// The own updater of a device type whose target is OwnBankImage or OwnBinFolder:
// address, boot port, the choice words, the firmware image in the MASTER folder, then either
// the project's bin/bank1.bin and the BACnet type, or the project's bin folder.
// No value for a device type of the common updater or none.
std::optional<UpdaterCommand> ownEthernetUpdater(int32_t deviceType, const Ipv4Address& address,
                                                 const UpdateChoices& choices, uint32_t bacnetType,
                                                 const QString& programDir, const QString& masterDir,
                                                 const QString& projectDir);

// The serial updater (device types 1 and 20): the port's device name, the choice words, the
// serial firmware image and the project's bin/bank1.bin.
UpdaterCommand serialUpdater(const QString& portDevice, const UpdateChoices& choices,
                             const QString& programDir, const QString& masterDir, const QString& projectDir);

} // namespace update
