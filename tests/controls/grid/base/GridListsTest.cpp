#include "controls/grid/base/GridCheck.h"
#include "controls/grid/base/GridLists.h"

#include "platform/core/Errors.h"
#include "platform/grid/StringGrid.h"

#include <gtest/gtest.h>

using namespace controls::grid;

TEST(GridListsTest, SortIndexListTextRoundTrip)
{
    TSortIndexList list;
    list.AddIndex(3, true);
    list.AddIndex(5, false);
    EXPECT_EQ(list.SaveToString(), QStringLiteral("u3;d5"));
    TSortIndexList loaded;
    loaded.LoadFromString(QStringLiteral("u3;d5"));
    EXPECT_EQ(loaded.Values(), list.Values());
    EXPECT_EQ(loaded.GetSortColumns(1), 5);
    EXPECT_FALSE(loaded.GetSortDirections(1));
    loaded.ToggleIndex(5);
    EXPECT_EQ(loaded.SaveToString(), QStringLiteral("u3;u5"));
    loaded.LoadFromString(QStringLiteral("x;u7;dz;;d"));
    EXPECT_EQ(loaded.SaveToString(), QStringLiteral("u7"));
    EXPECT_EQ(loaded.FindIndex(7), 0);
    EXPECT_EQ(loaded.FindIndex(3), -1);
    loaded.SetSortColumns(0, 70000);
    EXPECT_EQ(loaded.GetSortColumns(0), 70000);
    EXPECT_EQ(loaded.SaveToString(), QStringLiteral("u4464")); // the low 16 bits
    loaded.SetSortDirections(0, false);
    EXPECT_EQ(loaded.GetSortColumns(0), 70000);
    EXPECT_FALSE(loaded.GetSortDirections(0));
}

TEST(GridListsTest, IntListTextAndEvents)
{
    TIntList list(2, 3);
    int events = 0;
    list.OnChange = [&](TIntList*, int col, int row) {
        EXPECT_EQ(QPoint(col, row), QPoint(2, 3));
        ++events;
    };
    list.Add(1);
    list.Add(2);
    list.Insert(2, 3);
    EXPECT_EQ(events, 2);
    EXPECT_EQ(list.StrValue(), QStringLiteral("1,2,3"));
    events = 0;
    list.SetStrValue(QStringLiteral("4,5"));
    EXPECT_EQ(list.StrValue(), QStringLiteral("4,5"));
    EXPECT_EQ(events, 2);
    EXPECT_THROW(list.SetStrValue(QStringLiteral("6,x,7")), platform::EConvertError);
    EXPECT_EQ(list.StrValue(), QStringLiteral("6"));
    list.DeleteValue(99);
    list.DeleteValue(6);
    EXPECT_EQ(list.Count(), 0);
}

TEST(GridListsTest, FileStringListAndControlList)
{
    TFileStringList f;
    f.Write(QStringLiteral("a"));
    f.Write(QStringLiteral("b"));
    f.WriteLn(QStringLiteral("c"));
    f.WriteLn(QStringLiteral("d"));
    ASSERT_EQ(f.Count(), 2);
    EXPECT_EQ(f.Strings(0), QStringLiteral("abc"));
    f.Reset();
    QString line;
    EXPECT_FALSE(f.Eof());
    f.ReadLn(line);
    EXPECT_EQ(line, QStringLiteral("abc"));
    f.ReadLn(line);
    EXPECT_TRUE(f.Eof());

    TControlList controls;
    QWidget w;
    controls.AddControl(1, 2, &w);
    controls.AddControl(3, 4, nullptr);
    EXPECT_EQ(controls.ControlIndex(3, 4), 1);
    EXPECT_EQ(controls.ControlIndex(9, 9), -1);
    EXPECT_TRUE(controls.HasHandle(&w));
    controls.RemoveControl(0);
    EXPECT_FALSE(controls.HasHandle(&w));
}

TEST(GridListsTest, SettingsDefaults)
{
    TSearchFooter plain;
    EXPECT_TRUE(plain.AutoSearch());
    EXPECT_EQ(plain.Color(), 0xFFFFFFu);
    EXPECT_EQ(plain.ColorTo(), platform::clBtnFace);
    EXPECT_EQ(plain.SearchColumn(), -1);
    EXPECT_EQ(plain.FindNextCaption(), QString());
    EXPECT_TRUE(plain.ShowClose() && plain.ShowFindNext() && plain.ShowFindPrev() && plain.ShowHighLight()
                && plain.ShowMatchCase());
    EXPECT_FALSE(plain.Visible());
    TSearchFooter placed(true);
    EXPECT_EQ(placed.FindNextCaption(), QStringLiteral("Find &next"));
    EXPECT_EQ(placed.HintHighlight(), QStringLiteral("Highlight occurrences"));

    TNavigation nav;
    EXPECT_TRUE(nav.AdvanceOnEnterLoop && nav.SkipFixedCells && nav.CopyHTMLTagsToClipboard && nav.EditSelectAll);
    EXPECT_FALSE(nav.AllowInsertRow || nav.AdvanceOnEnter || nav.AdvanceAuto() || nav.TabToNextAtEnd);
    EXPECT_EQ(nav.AdvanceDirection(), adLeftRight);
    EXPECT_EQ(nav.HomeEndKey, heFirstLastColumn);

    TMouseActions ma;
    EXPECT_TRUE(ma.AutoSizeColOnDblClick && ma.PreciseNodeClick);
    EXPECT_FALSE(ma.AllSelect || ma.DisjunctRowSelect() || ma.HotmailRowSelect() || ma.RowSelect);
    EXPECT_EQ(ma.WheelAction(), waMoveSelection);
    EXPECT_EQ(ma.FixedRowsEditor, fceEdit);

    TBands bands;
    EXPECT_FALSE(bands.Active());
    EXPECT_EQ(bands.PrimaryColor(), platform::clInfoBk);
    EXPECT_EQ(bands.SecondaryColor(), platform::clWindow);
    EXPECT_EQ(bands.TotalLength(), 2);

    TExtStringGridCheck check;
    EXPECT_FALSE(check.AutoCorrect || check.AutoMarkError || check.GotoCell || check.UseCorrect || check.UseMarkError);
    EXPECT_EQ(check.Correct(1, 1, QStringLiteral("teh")), QStringLiteral("teh"));
    EXPECT_EQ(check.MarkError(1, 1, QStringLiteral("teh")), QStringLiteral("teh"));
}

TEST(GridListsTest, SetterEffects)
{
    TBands bands;
    int changes = 0;
    bands.OnChange = [&](platform::TObject*) { ++changes; };
    bands.SetPrimaryColor(platform::clRed);
    EXPECT_EQ(changes, 0); // not active
    bands.SetPrimaryLength(3);
    EXPECT_EQ(bands.TotalLength(), 4);
    bands.SetActive(true);
    bands.SetSecondaryColor(platform::clBlue);
    EXPECT_EQ(changes, 2);

    TMouseActions ma;
    int invalidated = 0;
    ma.OnInvalidate = [&](platform::TObject*) { ++invalidated; };
    ma.SetHotmailRowSelect(true);
    EXPECT_TRUE(ma.DisjunctRowSelect());
    EXPECT_TRUE(ma.CheckAllCheck);
    EXPECT_EQ(invalidated, 1);
    ma.OnIsDesigning = [](TMouseActions*, bool& d) { d = true; };
    ma.SetDisjunctColSelect(true);
    EXPECT_FALSE(ma.DisjunctRowSelect());

    TNavigation nav;
    int navChanges = 0;
    nav.OnChange = [&](platform::TObject*) { ++navChanges; };
    nav.SetAdvanceAuto(true);
    EXPECT_TRUE(nav.AdvanceOnEnter);
    EXPECT_EQ(navChanges, 0);
    nav.SetAdvanceDirection(adTopBottom);
    nav.SetAdvanceDirection(adTopBottom);
    EXPECT_EQ(navChanges, 1);

    TSearchFooter sf;
    int sfChanges = 0;
    sf.OnChange = [&](platform::TObject*) { ++sfChanges; };
    sf.SetVisible(false); // unchanged
    sf.SetColor(0x123456);
    sf.SetColor(0x123456); // the plain setters notify every time
    EXPECT_EQ(sfChanges, 2);
}

TEST(GridListsTest, AssignCopiesItsListAndIgnoresOtherClasses)
{
    TSearchFooter a(true), b;
    a.SetAutoSearch(false);
    a.SetSearchFixedCells(true);
    a.SetSearchColumn(4);
    a.SetVisible(true);
    a.LastSearch = QStringLiteral("q");
    b.Assign(&a);
    EXPECT_EQ(b.FindNextCaption(), QStringLiteral("Find &next"));
    EXPECT_EQ(b.SearchColumn(), 4);
    EXPECT_TRUE(b.Visible());
    EXPECT_TRUE(b.AutoSearch());         // not copied
    EXPECT_FALSE(b.SearchFixedCells());  // not copied
    EXPECT_EQ(b.LastSearch, QString()); // not copied

    TNavigation n1, n2;
    n1.AllowInsertRow = true;
    n1.KeepScrollOnSort = true;
    n1.SetAdvanceDirection(adTopBottomInCol);
    n2.Assign(&n1);
    EXPECT_TRUE(n2.AllowInsertRow);
    EXPECT_EQ(n2.AdvanceDirection(), adTopBottomInCol);
    EXPECT_FALSE(n2.KeepScrollOnSort);

    TMouseActions m1, m2;
    m1.SizeFixedCol = true;
    m1.SizeFixedRow = true;
    m1.SetHotmailRowSelect(true);
    m1.SetEditOnDblClickOnly(true);
    m2.Assign(&m1);
    EXPECT_TRUE(m2.SizeFixedCol);
    EXPECT_FALSE(m2.SizeFixedRow);       // not in the copy list
    EXPECT_FALSE(m2.HotmailRowSelect()); // not in the copy list
    EXPECT_TRUE(m2.DisjunctRowSelect());

    TBands b1, b2;
    b1.SetPrimaryLength(5);
    b1.Print = true;
    b2.Assign(&b1);
    EXPECT_EQ(b2.TotalLength(), 6);
    EXPECT_TRUE(b2.Print);
    b2.Assign(&n1); // another class: ignored
    EXPECT_EQ(b2.TotalLength(), 6);

    platform::TStringGrid owner, other;
    TSyncGrid s1(&owner), s2(&owner);
    s1.SetGrid(&owner);
    EXPECT_EQ(s1.Grid(), nullptr); // the owner itself is refused
    s1.SetGrid(&other);
    s1.MoveRow = true;
    s2.Assign(&s1);
    EXPECT_EQ(s2.Grid(), &other);
    EXPECT_TRUE(s2.MoveRow);

    TFocusHelper f1, f2;
    f1.Enabled = true;
    f2.Assign(&f1);
    EXPECT_TRUE(f2.Enabled);
}
