#include "platform/grid/Keys.h"

#include <QKeyEvent>
#include <gtest/gtest.h>

using namespace platform;

TEST(GridKeys, VirtualKeysAndCharactersOfKeyEvents)
{
    struct Case {
        int key;
        Qt::KeyboardModifiers mods;
        QString text;
        quint16 vk;
        QString chars;
        unsigned keyData;
    };
    const QString none;
    const Case cases[] = {
        {Qt::Key_A, Qt::NoModifier, QStringLiteral("a"), 'A', QStringLiteral("a"), 0},
        {Qt::Key_A, Qt::ShiftModifier, QStringLiteral("A"), 'A', QStringLiteral("A"), 0},
        {Qt::Key_C, Qt::ControlModifier, none, 'C', QString(QChar(3)), 0},
        {Qt::Key_V, Qt::ControlModifier, QString(QChar(22)), 'V', QString(QChar(22)), 0},
        {Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"), VK_RETURN, QString(QChar(13)), 0},
        {Qt::Key_Return, Qt::ControlModifier, none, VK_RETURN, QString(QChar(10)), 0},
        {Qt::Key_Escape, Qt::NoModifier, QString(QChar(27)), VK_ESCAPE, QString(QChar(27)), 0},
        {Qt::Key_Tab, Qt::NoModifier, QStringLiteral("\t"), VK_TAB, QString(QChar(9)), 0},
        {Qt::Key_Backtab, Qt::ShiftModifier, none, VK_TAB, QString(QChar(9)), 0},
        {Qt::Key_Backspace, Qt::NoModifier, QString(QChar(8)), VK_BACK, QString(QChar(8)), 0},
        {Qt::Key_Delete, Qt::NoModifier, QString(QChar(127)), VK_DELETE, none, 0},
        {Qt::Key_Left, Qt::NoModifier, none, VK_LEFT, none, 0},
        {Qt::Key_PageDown, Qt::ShiftModifier, none, VK_NEXT, none, 0},
        {Qt::Key_F2, Qt::NoModifier, none, VK_F2, none, 0},
        {Qt::Key_Period, Qt::KeypadModifier, QStringLiteral("."), VK_DECIMAL, QStringLiteral("."), kKeyDataKeypad},
        {Qt::Key_Period, Qt::NoModifier, QStringLiteral("."), 0, QStringLiteral("."), 0},
        {Qt::Key_5, Qt::KeypadModifier, QStringLiteral("5"), VK_NUMPAD0 + 5, QStringLiteral("5"), kKeyDataKeypad},
        {Qt::Key_Eacute, Qt::NoModifier, QStringLiteral("\u00e9"), 0, QStringLiteral("\u00e9"), 0},
    };
    for (const Case& c : cases) {
        const QKeyEvent e(QEvent::KeyPress, c.key, c.mods, c.text);
        SCOPED_TRACE(testing::Message() << "key 0x" << std::hex << c.key << " text " << c.text.toStdString());
        EXPECT_EQ(virtualKeyOf(e), c.vk);
        EXPECT_EQ(charsOf(e), c.chars);
        EXPECT_EQ(keyDataOf(e), c.keyData);
    }
    EXPECT_EQ(shiftStateOf(Qt::ShiftModifier | Qt::ControlModifier, Qt::LeftButton),
              TShiftState(ssShift | ssCtrl | ssLeft));
    EXPECT_EQ(shiftStateOf(Qt::AltModifier, Qt::RightButton | Qt::MiddleButton),
              TShiftState(ssAlt | ssRight | ssMiddle));
}
