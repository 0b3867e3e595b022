// Every kind of drop-down through the same steps: opened by F4, by Alt+Down and by its button;
// a value chosen with the keyboard in the popup and kept; a second choice undone by Escape; the
// popup inside the 1280 x 1024 screen with the edit at each corner.
#include "DropDownFixture.h"
#include "controls/grid/dropdown/CalculatorDropDown.h"
#include "controls/grid/dropdown/ColorPickerDropDown.h"
#include "controls/grid/dropdown/DetailDropDown.h"
#include "controls/grid/dropdown/ImagePickerDropDown.h"
#include "controls/grid/dropdown/MultiColumnDropDown.h"
#include "controls/grid/dropdown/TimePickerDropDown.h"
#include "controls/grid/dropdown/TrackBarMemoDropDown.h"
#include "controls/grid/dropdown/grid/GridDropDown.h"
#include "platform/core/DateTime.h"

#include <QPlainTextEdit>
#include <QSlider>

using namespace dropdown_test;
using namespace platform;

namespace {

struct Kind {
    const char* name;
    std::function<TExtCustomDropDown*(QWidget* parent, const TImageList* images)> make;
    // A choice made with keys in the open popup.
    std::function<void(TExtCustomDropDown* d)> choose;
    // The drop-down's value as text.
    std::function<QString(TExtCustomDropDown* d)> value = [](TExtCustomDropDown* d) { return d->GetText(); };
    // The key that closes the popup keeping the choice, and where it is sent.
    int keepKey = Qt::Key_Return;
    std::function<QWidget*(TExtCustomDropDown* d)> keyTarget = [](TExtCustomDropDown* d) {
        return static_cast<QWidget*>(d->DropDownForm());
    };
};

template <typename T>
T* As(TExtCustomDropDown* d)
{
    return static_cast<T*>(d);
}

void Fill(TDropDownColumns& columns, TDropDownItems& items)
{
    columns.Add()->Header = QStringLiteral("Name");
    columns.Add()->Header = QStringLiteral("Code");
    for (const char* n : {"Alpha", "Beta", "Gamma", "Delta"})
        items.Add()->Text = QStringList{QString::fromLatin1(n), QStringLiteral("x")};
}

std::vector<Kind> Kinds()
{
    std::vector<Kind> k;
    k.push_back({"calculator", [](QWidget* p, const TImageList*) -> TExtCustomDropDown* {
                     auto* c = new TExtCalculatorDropdown(p);
                     c->SetText(QStringLiteral("7"));
                     return c;
                 },
                 [](TExtCustomDropDown* d) { Type(d->DropDownForm(), QStringLiteral("*3=")); }});
    k.push_back({"colour picker", [](QWidget* p, const TImageList*) -> TExtCustomDropDown* {
                     auto* c = new TExtColorPickerDropDown(p);
                     c->AddDefaultColors();
                     c->SetSelectedColor(clRed);
                     return c;
                 },
                 [](TExtCustomDropDown* d) { Key(d->DropDownForm(), Qt::Key_Down); },
                 [](TExtCustomDropDown* d) {
                     return QString::number(As<TExtColorPickerDropDown>(d)->SelectedColor(), 16);
                 }});
    k.push_back({"image picker",
                 [](QWidget* p, const TImageList* images) -> TExtCustomDropDown* {
                     auto* c = new TExtImagePickerDropDown(p);
                     c->SetImages(images);
                     c->AddImagesFromImageList();
                     c->SetItemIndex(1);
                     return c;
                 },
                 [](TExtCustomDropDown* d) { Key(d->DropDownForm(), Qt::Key_Down); },
                 [](TExtCustomDropDown* d) { return QString::number(As<TExtImagePickerDropDown>(d)->ItemIndex()); }});
    k.push_back({"detail", [](QWidget* p, const TImageList*) -> TExtCustomDropDown* {
                     auto* c = new TExtDetailDropDown(p);
                     for (const char* n : {"One", "Two", "Three"})
                         c->Items().Add()->SetCaption(QString::fromLatin1(n));
                     c->SetItemIndex(0);
                     return c;
                 },
                 [](TExtCustomDropDown* d) { Key(d->DropDownForm(), Qt::Key_Down); }});
    Kind track{"track bar", [](QWidget* p, const TImageList*) -> TExtCustomDropDown* {
                   auto* c = new TExtTrackBarDropDown(p);
                   c->SetPosition(4);
                   return c;
               },
               [](TExtCustomDropDown* d) { Key(As<TExtTrackBarDropDown>(d)->TrackBar(), Qt::Key_PageUp); }};
    k.push_back(track);
    Kind memo{"memo", [](QWidget* p, const TImageList*) -> TExtCustomDropDown* {
                  auto* c = new TExtMemoDropDown(p);
                  c->SetMemoText(QStringList{"a", "b"});
                  return c;
              },
              [](TExtCustomDropDown* d) { Type(As<TExtMemoDropDown>(d)->Memo(), QStringLiteral("z")); },
              [](TExtCustomDropDown* d) { return As<TExtMemoDropDown>(d)->MemoText().join(u'|'); }};
    memo.keepKey = Qt::Key_F4; // Return makes a new line in the memo
    memo.keyTarget = [](TExtCustomDropDown* d) { return static_cast<QWidget*>(As<TExtMemoDropDown>(d)->Memo()); };
    k.push_back(memo);
    k.push_back({"time picker", [](QWidget* p, const TImageList*) -> TExtCustomDropDown* {
                     auto* c = new TExtTimePickerDropDown(p);
                     c->Animation = false; // the hands jump, no timer needed
                     c->SetTime(EncodeTime(9, 30, 0, 0));
                     return c;
                 },
                 [](TExtCustomDropDown* d) { Key(d->DropDownForm(), Qt::Key_PageUp); }});
    Kind multi{"multi-column", [](QWidget* p, const TImageList*) -> TExtCustomDropDown* {
                   auto* c = new TExtMultiColumnDropDown(p);
                   Fill(c->Columns(), c->Items());
                   c->EndUpdate();
                   c->SetItemIndex(1);
                   return c;
               },
               [](TExtCustomDropDown* d) { Key(As<TExtMultiColumnDropDown>(d)->Grid(), Qt::Key_Down); }};
    multi.keyTarget = [](TExtCustomDropDown* d) { return static_cast<QWidget*>(As<TExtMultiColumnDropDown>(d)->Grid()); };
    k.push_back(multi);
    Kind grid{"grid", [](QWidget* p, const TImageList*) -> TExtCustomDropDown* {
                  auto* c = new TCustomExtGridDropDown(p);
                  Fill(c->Columns(), c->Items());
                  c->EndUpdate();
                  c->SetItemIndex(1);
                  return c;
              },
              [](TExtCustomDropDown* d) { Key(As<TCustomExtGridDropDown>(d)->GetGrid(), Qt::Key_Down); }};
    grid.keyTarget = [](TExtCustomDropDown* d) { return static_cast<QWidget*>(As<TCustomExtGridDropDown>(d)->GetGrid()); };
    k.push_back(grid);
    return k;
}

class EveryKindTest : public DropDownWindowTest {
protected:
    TImageList images{16, 16};
    void SetUp() override
    {
        DropDownWindowTest::SetUp();
        for (Color c : {clRed, clGreen, clBlue, clYellow})
            images.Add(Bitmap(16, 16, c));
    }
};

TEST_F(EveryKindTest, OpenChooseKeepAndEscape)
{
    for (const Kind& kind : Kinds()) {
        SCOPED_TRACE(kind.name);
        TExtCustomDropDown* d = kind.make(&window, &images);
        Put(d, 300, 300);
        // Three ways to open; F4 and Alt+Up close again keeping the value.
        Key(d, Qt::Key_F4);
        ASSERT_TRUE(d->DroppedDown());
        d->HideDropDown(false);
        Key(d, Qt::Key_Down, Qt::AltModifier);
        ASSERT_TRUE(d->DroppedDown());
        d->HideDropDown(false);
        clock.advance(300);
        Click(d->Button()->SpeedButton(), QPoint(4, 4));
        ASSERT_TRUE(d->DroppedDown());
        // A choice by keys, kept.
        const QString start = kind.value(d);
        kind.choose(d);
        Key(kind.keyTarget(d), kind.keepKey);
        EXPECT_FALSE(d->DroppedDown());
        const QString kept = kind.value(d);
        EXPECT_NE(kept, start);
        // Another choice, undone by Escape.
        Key(d, Qt::Key_F4);
        ASSERT_TRUE(d->DroppedDown());
        kind.choose(d);
        Key(kind.keyTarget(d), Qt::Key_Escape);
        EXPECT_FALSE(d->DroppedDown());
        EXPECT_EQ(kind.value(d), kept);
        delete d;
    }
}

TEST_F(EveryKindTest, PopupInsideTheScreenAtEachCorner)
{
    ASSERT_EQ(ScreenRect(), QRect(0, 0, 1280, 1024));
    const QPoint corners[] = {{0, 0}, {1280 - 150, 0}, {0, 1024 - 21}, {1280 - 150, 1024 - 21}};
    for (const Kind& kind : Kinds()) {
        SCOPED_TRACE(kind.name);
        TExtCustomDropDown* d = kind.make(&window, &images);
        Put(d, 0, 0);
        for (const QPoint& at : corners) {
            d->move(at);
            d->ShowDropDown();
            ASSERT_TRUE(d->DroppedDown());
            const QRect popup = d->DropDownForm()->geometry();
            EXPECT_TRUE(ScreenRect().contains(popup)) << at.x() << "," << at.y();
            const QRect edit(d->mapToGlobal(QPoint(0, 0)), d->size());
            // Below the edit (sharing its bottom border line) or above it.
            EXPECT_TRUE(popup.top() >= edit.bottom() || popup.bottom() < edit.top()) << at.x() << "," << at.y();
            d->HideDropDown(true);
        }
        delete d;
    }
}

} // namespace
