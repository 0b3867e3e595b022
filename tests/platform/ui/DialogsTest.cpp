#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

#include "platform/ui/Dialogs.h"
#include "support/FakeDialogs.h"

using namespace platform;

namespace {

// Runs `act` on the message box once it is on screen.
void onNextBox(std::function<void(QMessageBox&)> act)
{
    QTimer::singleShot(0, [act] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        act(*box);
        if (box->isVisible())
            box->done(QMessageBox::NoButton);
    });
}

} // namespace

TEST(QtMessageBoxesTest, EachKindHasItsButtonsIconAndAnswer)
{
    struct Case {
        MsgKind kind;
        QMessageBox::StandardButtons buttons;
        QMessageBox::Icon icon;
        QMessageBox::StandardButton click;
        MsgAnswer answer;
    } cases[] = {
        {MsgKind::Error, QMessageBox::Ok, QMessageBox::Critical, QMessageBox::Ok, MsgAnswer::Ok},
        {MsgKind::Information, QMessageBox::Ok, QMessageBox::Information, QMessageBox::Ok, MsgAnswer::Ok},
        {MsgKind::Confirm, QMessageBox::Yes | QMessageBox::No, QMessageBox::Question, QMessageBox::Yes,
         MsgAnswer::Yes},
        {MsgKind::ConfirmCancel, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Question,
         QMessageBox::No, MsgAnswer::No},
        {MsgKind::Warning, QMessageBox::Yes | QMessageBox::No, QMessageBox::Warning, QMessageBox::Yes,
         MsgAnswer::Yes},
    };
    for (const Case& c : cases) {
        QMessageBox::StandardButtons seenButtons;
        QMessageBox::Icon seenIcon = QMessageBox::NoIcon;
        QString seenText;
        onNextBox([&](QMessageBox& box) {
            seenButtons = box.standardButtons();
            seenIcon = box.icon();
            seenText = box.text();
            box.button(c.click)->click();
        });
        EXPECT_EQ(messageBoxes().show(c.kind, QStringLiteral("Error! Project not Valid")), c.answer);
        EXPECT_EQ(seenButtons, c.buttons);
        EXPECT_EQ(seenIcon, c.icon);
        EXPECT_EQ(seenText, QStringLiteral("Error! Project not Valid"));
    }
}

TEST(QtMessageBoxesTest, ABoxClosedWithoutAButtonGivesTheCarefulAnswer)
{
    onNextBox([](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); });
    EXPECT_EQ(messageBoxes().show(MsgKind::ConfirmCancel, QStringLiteral("Overwrite?")), MsgAnswer::Cancel);
    onNextBox([](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); });
    EXPECT_EQ(messageBoxes().show(MsgKind::Warning, QStringLiteral("Replace?")), MsgAnswer::No);
}

TEST(QtMessageBoxesTest, EnterOnAQuestionGivesTheAnswerThatChangesNothing)
{
    // A reflex Enter must not discard, replace or overwrite: No where the question has two
    // answers; Cancel where it has three, since No may act too ("No" replaces a file where
    // "Yes" appends to it).
    struct Case {
        MsgKind kind;
        QMessageBox::StandardButton button;
        MsgAnswer answer;
    } cases[] = {
        {MsgKind::Confirm, QMessageBox::No, MsgAnswer::No},
        {MsgKind::ConfirmCancel, QMessageBox::Cancel, MsgAnswer::Cancel},
        {MsgKind::Warning, QMessageBox::No, MsgAnswer::No},
    };
    for (const Case& c : cases) {
        QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
        onNextBox([&](QMessageBox& box) {
            defaultButton = box.standardButton(box.defaultButton());
            QTest::keyClick(&box, Qt::Key_Return);
        });
        EXPECT_EQ(messageBoxes().show(c.kind, QStringLiteral("File XML already exists. Do you want to add to this file?")),
                  c.answer);
        EXPECT_EQ(defaultButton, c.button);
        EXPECT_EQ(defaultAnswer(c.kind), c.answer);
    }
    // A question whose Yes loses nothing keeps Yes as its default.
    onNextBox([](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Return); });
    EXPECT_EQ(messageBoxes().show(MsgKind::Question, QStringLiteral("Change the language?")), MsgAnswer::Yes);
    // An error box still closes with Enter as OK.
    onNextBox([](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Return); });
    EXPECT_EQ(messageBoxes().show(MsgKind::Error, QStringLiteral("Error!")), MsgAnswer::Ok);
}

TEST(FakeDialogsTest, RecordAnswerAndRestoreTheRealServices)
{
    MessageBoxes* realBoxes = &messageBoxes();
    FileDialogs* realFiles = &fileDialogs();
    {
        testing_support::FakeMessageBoxes boxes;
        testing_support::FakeFileDialogs files;
        boxes.answer(MsgAnswer::Yes);
        EXPECT_TRUE(askYesNo(QStringLiteral("first")));
        EXPECT_FALSE(askYesNo(QStringLiteral("second"))); // nothing queued: No
        showError(QStringLiteral("third"));
        EXPECT_EQ(boxes.texts(), (QStringList{"first", "second", "third"}));
        EXPECT_EQ(boxes.shown()[2].kind, MsgKind::Error);

        files.choose(QStringLiteral("/tmp/a.csv"));
        EXPECT_EQ(fileDialogs().saveFile({QStringLiteral("Save"), QStringLiteral("/p"), {}, {}, {}}),
                  QStringLiteral("/tmp/a.csv"));
        EXPECT_TRUE(fileDialogs().saveFile({}).isEmpty());
        ASSERT_EQ(files.requests().size(), 2u);
        EXPECT_EQ(files.requests()[0].initialFolder, QStringLiteral("/p"));
    }
    EXPECT_EQ(&messageBoxes(), realBoxes);
    EXPECT_EQ(&fileDialogs(), realFiles);
}

TEST(QtMessageBoxesTest, AMinimisedBoxComesBackAndStillAnswers)
{
    bool restored = false;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        box->setWindowState(Qt::WindowMinimized);
        QTimer::singleShot(0, box, [&restored, box] {
            QTimer::singleShot(0, box, [&restored, box] {
                restored = box->isVisible() && !box->isMinimized();
                box->button(QMessageBox::Yes)->click();
            });
        });
    });
    EXPECT_EQ(messageBoxes().show(MsgKind::Confirm, QStringLiteral("Go on?")), MsgAnswer::Yes);
    EXPECT_TRUE(restored);
}

// A message quoting a value of a megabyte shows the start of that line with "..." (a box laying
// out the whole value took most of a minute); short lines and the lines around stay as they are.
TEST(QtMessageBoxesTest, AVeryLongLineIsCutWithAnEllipsis)
{
    const QString name(1 << 20, QLatin1Char('t'));
    const QString text = QStringLiteral("These devices are gone:\ndevice 1: ") + name + QStringLiteral("\nOK removes them.");
    QString seenText;
    onNextBox([&](QMessageBox& box) {
        seenText = box.text();
        box.button(QMessageBox::Ok)->click();
    });
    EXPECT_EQ(messageBoxes().show(MsgKind::Information, text), MsgAnswer::Ok);
    const QString cut = QStringLiteral("device 1: ") + name.left(500 - 3 - 10) + QStringLiteral("...");
    EXPECT_EQ(seenText, QStringLiteral("These devices are gone:\n") + cut + QStringLiteral("\nOK removes them."));

    struct Case {
        QString text, shown;
    } cases[] = {
        {QStringLiteral("short\nlines"), QStringLiteral("short\nlines")},
        {QString(8, QLatin1Char('x')), QString(8, QLatin1Char('x'))},
        {QString(9, QLatin1Char('x')) + QStringLiteral("\n\n"), QStringLiteral("xxxxx...\n\n")},
        // A surrogate pair is not cut in half.
        {QStringLiteral("abcd") + QString::fromUtf8("\xF0\x9F\x98\x80") + QStringLiteral("xyz"), QStringLiteral("abcd...")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(boundedMessageText(c.text, 8), c.shown) << c.text.toStdString();
}
