#pragma once
// A program folder for the wizards' tests: a fresh workspace with the built-in texts, the
// program, MASTER and project folders in a temporary folder, message boxes answered by a
// double, and the stub updater copied in under an updater's name.
#include "support/FakeDialogs.h"
#include "support/QtPrinters.h"
#include "support/TempDir.h"
#include "workspace/LangTexts.h"
#include "workspace/Workspace.h"

#include <QFile>
#include <QStringList>
#include <gtest/gtest.h>

class WizardTest : public ::testing::Test {
protected:
    explicit WizardTest(int deviceType = 3) : ws_(deviceType)
    {
        workspace::Default_Texts();
        ws_->Program_Dir = dir_.path() + QStringLiteral("/prog");
        ws_->Master_Dir = ws_->Program_Dir + QStringLiteral("/MASTER");
        ws_->Projects_Dir = ws_->Program_Dir + QStringLiteral("/PROJECTS");
        ws_->Project_Name = QStringLiteral("Plant 1");
        ws_->Project_Dir = ws_->Projects_Dir + QStringLiteral("/Plant 1");
        dir_.write(QStringLiteral("prog/PROJECTS/Plant 1/bin/bank1.bin"), "\x01");
        dir_.write(QStringLiteral("prog/MASTER/sim.txt"), "");
    }

    // The stub in the program folder under this updater's name.
    void installUpdater(const QString& name)
    {
        const QString target = ws_->Program_Dir + QLatin1Char('/') + name;
        QFile::remove(target);
        ASSERT_TRUE(QFile::copy(QStringLiteral(VN_SOURCE_DIR "/tests/update/stub_updater.sh"), target));
        ASSERT_TRUE(QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    }

    // What the stub recorded: its name, its working folder, then its arguments. Empty when it
    // has not run to its end.
    QStringList record() const
    {
        const QByteArray r = dir_.read(QStringLiteral("prog/updater_record.txt"));
        if (r.isEmpty())
            return {};
        QStringList lines = QString::fromUtf8(r).split(QLatin1Char('\n'));
        lines.removeLast(); // after the last line break
        return lines;
    }

    workspace::ScopedWorkspace ws_;
    testing_support::TempDir dir_;
    testing_support::FakeMessageBoxes boxes_;
};
