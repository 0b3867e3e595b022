#include "controls/grid/style/ExtStyle.h"

#include <QCoreApplication>
#include <QWidget>
#include <gtest/gtest.h>

using namespace controls::grid;

TEST(ExtStyleTest, DetectionGivesTheNeutralAnswers)
{
    EXPECT_EQ(GetOfficeVersion(), 0);
    EXPECT_EQ(ReadOfficeThemeValue(QStringLiteral("Software\\Microsoft\\Office\\12.0\\Common")), -1);
    EXPECT_EQ(GetXPThemeColor(), 0);
    EXPECT_EQ(GetOfficeTheme(), ot2003Classic);
    EXPECT_TRUE(IsVistaOrLater());
    EXPECT_EQ(GetDefaultFontName(), QStringLiteral("Segoe UI"));
}

TEST(ExtStyleTest, HandleListKeepsEachWindowOnce)
{
    QWidget a, b;
    THandleList list;
    list.Add(&a);
    list.Add(&b);
    list.Insert(0, &b);
    EXPECT_EQ(list.Count(), 3);
    list.DeleteValue(&b); // the first of the two
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Items(0), &a);
    EXPECT_TRUE(list.HasValue(&b));
    QWidget never;
    list.DeleteValue(&never);
    EXPECT_EQ(list.Count(), 2);
}

TEST(ExtStyleTest, NotifierWithoutOfficeHasNoWatcherAndIgnoresWindows)
{
    QWidget owner;
    QWidget window;
    TThemeNotifier* n = GetThemeNotifier(&owner);
    ASSERT_NE(n, nullptr);
    EXPECT_EQ(GetThemeNotifier(nullptr), n); // one per process
    EXPECT_FALSE(n->HasWatcher());
    n->RegisterWindow(&window);
    n->RegisterWindow(&window);
    EXPECT_EQ(n->WindowList().Count(), 0);
    n->UnRegisterWindow(&window);
    delete n;
    EXPECT_EQ(ThemeNotifierInstance(), nullptr);
}

TEST(ExtStyleTest, NotifierWindowTurnsTheMessageIntoTheEvent)
{
    TThemeNotifierWindow w(nullptr);
    int fired = 0;
    w.OnOfficeThemeChange = [&] { ++fired; };
    w.notifyChange();
    QCoreApplication::processEvents();
    EXPECT_EQ(fired, 1);
}
