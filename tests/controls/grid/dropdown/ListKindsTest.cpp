#include "DropDownFixture.h"
#include "controls/grid/dropdown/DetailDropDown.h"
#include "controls/grid/dropdown/ImagePickerDropDown.h"
#include "controls/grid/dropdown/TrackBarMemoDropDown.h"
#include "platform/ui/Timer.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTextCursor>

using namespace dropdown_test;
using namespace platform;

namespace {

TImageList FiveImages()
{
    TImageList list(16, 16);
    const Color colors[5] = {clRed, clGreen, clBlue, clYellow, clAqua};
    for (Color c : colors)
        list.Add(Bitmap(16, 16, c));
    return list;
}

class KindsTest : public DropDownWindowTest {
protected:
    // Outlives the pickers' paint events at the end of a test.
    TImageList images = FiveImages();
};

TEST_F(KindsTest, TrackBarKeysDragAndTypedText)
{
    auto* t = new TExtTrackBarDropDown(&window);
    Put(t, 100, 100);
    t->SetFrequency(3);
    t->SetPosition(9);
    EXPECT_EQ(t->GetText(), QStringLiteral("9"));
    Key(t, Qt::Key_Down); // 12 would pass Max 10
    EXPECT_EQ(t->Position(), 9);
    Key(t, Qt::Key_Up);
    EXPECT_EQ(t->Position(), 6);
    int changes = 0;
    t->OnTrackChange = [&](QObject*) { ++changes; };
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(10, 10), t->mapToGlobal(QPointF(10, 10)), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(t, &press);
    t->HideDropDown(false); // the press opened the popup; the drag goes on over the edit
    MoveMouse(t, QPoint(17, 10));
    EXPECT_EQ(t->Position(), 6 + 3); // 7 pixels of PageSize 2: three steps
    EXPECT_GT(changes, 0);
    t->SetEditText(QStringLiteral("x")); // no integer: the position stays
    EXPECT_EQ(t->Position(), 9);
    t->SetEditText(QStringLiteral("8"));
    EXPECT_EQ(t->Position(), 8);
    t->SetPageSize(0); // counts as one pixel a step
    MoveMouse(t, QPoint(15, 10));
    EXPECT_EQ(t->Position(), 6);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(15, 10), t->mapToGlobal(QPointF(15, 10)), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(t, &release);
}

TEST_F(KindsTest, TrackBarPopup)
{
    auto* t = new TExtTrackBarDropDown(&window);
    Put(t, 100, 100);
    t->SetPosition(2);
    Key(t, Qt::Key_F4);
    ASSERT_TRUE(t->DroppedDown());
    t->TrackBar()->setValue(7);
    EXPECT_EQ(t->GetText(), QStringLiteral("7"));
    Key(t->DropDownForm(), Qt::Key_Escape);
    EXPECT_EQ(t->Position(), 2);
    EXPECT_EQ(t->GetText(), QStringLiteral("2"));
    Key(t, Qt::Key_F4);
    t->TrackBar()->setValue(5);
    Key(t->DropDownForm(), Qt::Key_Return);
    EXPECT_EQ(t->Position(), 5);
}

TEST_F(KindsTest, MemoShowsTheFirstLineAndTakesTheMemoOnClose)
{
    auto* m = new TExtMemoDropDown(&window);
    Put(m, 100, 100);
    m->SetEditorEnabled(false);
    m->SetMemoText(QStringList{"first", "second"});
    EXPECT_EQ(m->GetText(), QStringLiteral("first..."));
    m->SetMemoText(QStringList{"first"});
    EXPECT_EQ(m->GetText(), QStringLiteral("first"));
    m->SetMemoText(QStringList{QString(60, u'w')});
    EXPECT_TRUE(m->GetText().endsWith(QStringLiteral("...")));
    EXPECT_LT(m->GetText().length(), 60);
    m->SetMemoText(QStringList{"a", "b"});
    Key(m, Qt::Key_F4);
    ASSERT_TRUE(m->DroppedDown());
    m->Memo()->setPlainText(QStringLiteral("changed\nlines"));
    Key(m->Memo(), Qt::Key_Escape); // cancelled: the memo text stays
    EXPECT_FALSE(m->DroppedDown());
    EXPECT_EQ(m->MemoText(), (QStringList{"a", "b"}));
    Key(m, Qt::Key_F4);
    Key(m->Memo(), Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r")); // Return stays in the memo
    EXPECT_TRUE(m->DroppedDown());
    EXPECT_EQ(m->Memo()->toPlainText(), QStringLiteral("\na\nb"));
    m->Memo()->setPlainText(QStringLiteral("new\ntext"));
    m->HideDropDown(false);
    EXPECT_EQ(m->MemoText(), (QStringList{"new", "text"}));
    EXPECT_EQ(m->MemoTextWithBreaks(), QStringLiteral("new\r\ntext\r\n"));
    m->SetEditorEnabled(true);
    m->SetEditText(QString());
    Type(m, QStringLiteral("typed"));
    EXPECT_EQ(m->MemoText(), (QStringList{"typed"}));
    // A text written into the edit keeps its empty lines; a break at its end starts no line.
    m->SetEditText(QStringLiteral("one\r\n\r\nthree\r\n"));
    EXPECT_EQ(m->MemoText(), (QStringList{"one", "", "three"}));
    m->SetEditText(QStringLiteral("\r\n"));
    EXPECT_EQ(m->MemoText(), (QStringList{""}));
}

// The memo takes the control's MaxLength for what is typed in it, and its context menu.
TEST_F(KindsTest, MemoTakesMaxLengthAndPopupMenu)
{
    auto* m = new TExtMemoDropDown(&window);
    Put(m, 100, 100);
    m->SetMemoText(QStringList{"ab"});
    m->SetMaxLength(4);
    QMenu menu;
    m->MemoPopup = &menu;
    Key(m, Qt::Key_F4);
    ASSERT_TRUE(m->DroppedDown());
    EXPECT_EQ(m->Memo()->contextMenuPolicy(), Qt::CustomContextMenu);
    m->Memo()->moveCursor(QTextCursor::End);
    Type(m->Memo(), QStringLiteral("cdef"));
    EXPECT_EQ(m->Memo()->toPlainText(), QStringLiteral("abcd"));
    m->HideDropDown(false);
    EXPECT_EQ(m->MemoText(), (QStringList{"abcd"}));
    m->MemoPopup = nullptr;
    m->ShowDropDown();
    EXPECT_EQ(m->Memo()->contextMenuPolicy(), Qt::DefaultContextMenu);
    m->HideDropDown(true);
}

TEST_F(KindsTest, ImagePickerFromListAndFolder)
{
    auto* p = new TExtImagePickerDropDown(&window);
    Put(p, 100, 100);
    p->SetImages(&images);
    p->AddImagesFromImageList();
    ASSERT_EQ(p->Items().Count(), 5);
    for (int i = 0; i < 5; ++i)
        p->Items()[i]->SetCaption(QStringList{"red", "green", "blue", "yellow", "aqua"}.at(i));
    // A typed caption is looked up in the list: nothing before a drop-down has filled it, then
    // the item is selected without opening the popup.
    ManualTimers manual;
    Key(p, Qt::Key_B, Qt::NoModifier, QStringLiteral("b"));
    EXPECT_EQ(p->ItemIndex(), -1);
    p->ShowDropDown();
    p->HideDropDown(true);
    clock.advance(500);
    fireDueTimers(); // the search text is forgotten
    Key(p, Qt::Key_Y, Qt::NoModifier, QStringLiteral("y"));
    EXPECT_FALSE(p->DroppedDown());
    EXPECT_EQ(p->ItemIndex(), 3);
    p->SetItemIndex(-1);
    int selects = 0, changes = 0;
    p->OnSelect = [&](QObject*) { ++selects; };
    p->OnChange = [&](QObject*) { ++changes; };
    p->SetImageIndex(3);
    EXPECT_EQ(p->ItemIndex(), 3);
    p->SetItemIndex(3);
    EXPECT_EQ(selects, 1);
    EXPECT_EQ(changes, 1);
    p->SetImageIndex(7);
    EXPECT_EQ(p->ItemIndex(), -1);
    EXPECT_EQ(p->ImageIndex(), -1);
    // The edit shows the selected image centred.
    p->SetItemIndex(2);
    window.setFocus();
    const QImage shot = p->grab().toImage();
    const Rect r = p->EditRect().offset(2, 2);
    EXPECT_EQ(fromQColor(shot.pixelColor(r.left + r.width() / 2, r.top + r.height() / 2)), clBlue);
    // Open, step with the keyboard, cancel: back to item 2; pick with the mouse.
    Key(p, Qt::Key_F4);
    Key(p->DropDownForm(), Qt::Key_Down);
    EXPECT_EQ(p->ItemIndex(), 3);
    Key(p->DropDownForm(), Qt::Key_Escape);
    EXPECT_EQ(p->ItemIndex(), 2);
    p->ShowDropDown();
    const Rect item4 = p->ListSelector()->Items()[4]->ItemRect;
    Click(p->ListSelector()->Panel(), QPoint(item4.left + 3, item4.top + 3));
    EXPECT_FALSE(p->DroppedDown());
    EXPECT_EQ(p->ImageIndex(), 4);
    // The list shows item hints as the picker's ShowHint says.
    p->Items()[1]->Hint = QStringLiteral("green");
    p->ShowHint = false;
    p->ShowDropDown();
    const Rect item1 = p->ListSelector()->Items()[1]->ItemRect;
    MoveMouse(p->ListSelector()->Panel(), QPoint(item1.left + 3, item1.top + 3));
    EXPECT_EQ(p->ListSelector()->Panel()->toolTip(), QString());
    p->HideDropDown(true);
    p->ShowHint = true;
    p->ShowDropDown();
    MoveMouse(p->ListSelector()->Panel(), QPoint(item1.left + 3, item1.top + 3));
    EXPECT_EQ(p->ListSelector()->Panel()->toolTip(), QStringLiteral("green"));
    p->HideDropDown(true);

    testing_support::TempDir dir;
    QImage(8, 8, QImage::Format_RGB32).save(dir.path() + QStringLiteral("/a.png"));
    QImage(8, 8, QImage::Format_RGB32).save(dir.path() + QStringLiteral("/b.png"));
    QFile bad(dir.path() + QStringLiteral("/c.png"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("not a picture");
    bad.close();
    QDir(dir.path()).mkdir(QStringLiteral("d.png"));
    auto* q = new TExtImagePickerDropDown(&window);
    q->AddImagesFromFolder(dir.path() + QStringLiteral("/*.png"), true);
    ASSERT_EQ(q->Items().Count(), 2); // the text file and the folder are skipped
    EXPECT_EQ(q->Items()[0]->Caption(), QStringLiteral("a.png"));
    EXPECT_EQ(q->Items()[1]->Image.width(), 8);
}

TEST_F(KindsTest, DetailCompletesTypedText)
{
    auto* d = new TExtDetailDropDown(&window);
    Put(d, 100, 100);
    for (const char* c : {"Alpha", "Alpine", "Beta"})
        d->Items().Add()->SetCaption(QString::fromLatin1(c));
    d->Items()[1]->Notes = QStringLiteral("<b>mountain</b>");
    d->SetEditText(QString());
    int changes = 0;
    d->OnChange = [&](QObject*) { ++changes; };
    Type(d, QStringLiteral("A"));
    EXPECT_EQ(d->GetText(), QStringLiteral("Alpha"));
    EXPECT_EQ(d->InputSelStart(), 1);
    EXPECT_EQ(d->InputSelLength(), 4);
    EXPECT_EQ(changes, 2); // the keystroke and the completed text
    EXPECT_FALSE(d->GetIsModified());
    Type(d, QStringLiteral("lpi"));
    EXPECT_EQ(d->GetText(), QStringLiteral("Alpine"));
    Type(d, QStringLiteral("x"));
    EXPECT_EQ(d->GetText(), QStringLiteral("Alpix"));
    // Backspace does not complete.
    Key(d, Qt::Key_Backspace, Qt::NoModifier, QString(QChar(8)));
    EXPECT_EQ(d->GetText(), QStringLiteral("Alpi"));
    // Return on a whole caption selects it.
    int selects = 0;
    d->OnSelect = [&](QObject*) { ++selects; };
    d->SetEditText(QStringLiteral("Beta"));
    Key(d, Qt::Key_Return);
    EXPECT_EQ(d->ItemIndex(), 2);
    EXPECT_EQ(selects, 1);
    d->SetEditText(QStringLiteral("beta"));
    d->SetItemIndex(-1);
    d->SetEditText(QStringLiteral("beta"));
    Key(d, Qt::Key_Return); // case-sensitive: nothing
    EXPECT_EQ(d->ItemIndex(), -1);
}

// Once a drop-down has filled the popup's list, typing in the edit still completes from the
// captions (the list's typed look-up must not select an item under the typed characters); with
// the editor off, typing looks the caption up in the list.
TEST_F(KindsTest, DetailCompletesTypedTextAfterTheListWasFilled)
{
    auto* d = new TExtDetailDropDown(&window);
    Put(d, 100, 100);
    for (const char* c : {"Alpha", "Alpine", "Beta"})
        d->Items().Add()->SetCaption(QString::fromLatin1(c));
    d->ShowDropDown();
    d->HideDropDown(true);
    d->setFocus();
    d->SetEditText(QString());
    Type(d, QStringLiteral("A"));
    EXPECT_EQ(d->GetText(), QStringLiteral("Alpha"));
    EXPECT_EQ(d->InputSelStart(), 1);
    Type(d, QStringLiteral("lpi"));
    EXPECT_EQ(d->GetText(), QStringLiteral("Alpine"));
    EXPECT_EQ(d->ItemIndex(), 1);
    Type(d, QStringLiteral("x"));
    EXPECT_EQ(d->GetText(), QStringLiteral("Alpix"));
    // Typed while the popup is open: the same completion, the popup stays open.
    d->SetEditText(QString());
    d->ShowDropDown();
    Type(d->DropDownForm(), QStringLiteral("B"));
    EXPECT_TRUE(d->DroppedDown());
    EXPECT_EQ(d->GetText(), QStringLiteral("Beta"));
    d->HideDropDown(false);
    // Editor off: the typed key looks the caption up.
    d->SetEditorEnabled(false);
    d->setFocus();
    Type(d, QStringLiteral("B"));
    EXPECT_EQ(d->ItemIndex(), 2);
    EXPECT_EQ(d->GetText(), QStringLiteral("Beta"));
}

TEST_F(KindsTest, DetailPopupRows)
{
    auto* d = new TExtDetailDropDown(&window);
    Put(d, 100, 100);
    for (const char* c : {"One", "Two", "Three"})
        d->Items().Add()->SetCaption(QString::fromLatin1(c));
    d->SetItemIndex(0);
    Key(d, Qt::Key_F4);
    ASSERT_TRUE(d->DroppedDown());
    TExtCustomItemSelector* list = d->ListSelector();
    EXPECT_EQ(list->Items()[1]->ItemRect.height(), 22);
    Key(d->DropDownForm(), Qt::Key_Down);
    EXPECT_TRUE(d->DroppedDown());
    EXPECT_EQ(d->ItemIndex(), 1);
    Key(d->DropDownForm(), Qt::Key_Escape);
    EXPECT_EQ(d->ItemIndex(), 0);
    EXPECT_EQ(d->GetText(), QStringLiteral("One"));
    d->ShowDropDown();
    const Rect r = list->Items()[2]->ItemRect;
    Click(list->Panel(), QPoint(r.left + 5, r.top + 5));
    EXPECT_FALSE(d->DroppedDown());
    EXPECT_EQ(d->GetText(), QStringLiteral("Three"));
    // A text edited after the choice: choosing the same item again brings its caption back.
    d->SetEditText(QStringLiteral("Zed"));
    ASSERT_EQ(d->GetText(), QStringLiteral("Zed"));
    EXPECT_EQ(d->ItemIndex(), 2);
    d->ShowDropDown();
    Click(list->Panel(), QPoint(r.left + 5, r.top + 5));
    EXPECT_FALSE(d->DroppedDown());
    EXPECT_EQ(d->GetText(), QStringLiteral("Three"));
    EXPECT_EQ(d->InputSelLength(), 5);
}

} // namespace

namespace {

// The item selector on its own: the panel laid out in columns, the hot item under the mouse (none
// over a disabled item, whose hint still shows), a click selecting an enabled item, the look-up.
TEST_F(KindsTest, ItemSelectorMouseHotHintAndClick)
{
    auto* sel = new TExtCustomItemSelector(&window);
    sel->setGeometry(10, 10, 400, 300);
    sel->SetSelectorType(stColor);
    sel->SetColumns(3);
    sel->SetColumns(0); // keeps 3
    EXPECT_EQ(sel->Columns(), 3);
    const char* names[] = {"Apple", "Abacus", "Berry", "Cherry", "Date", "Elder", "Fig"};
    for (const char* n : names) {
        TSelectorItem* item = sel->Items().Add();
        item->SetCaption(QString::fromLatin1(n));
        item->SetColor(clRed);
        item->Hint = QStringLiteral("hint ") + QString::fromLatin1(n);
    }
    sel->Items()[2]->Enabled = false;
    sel->UpdateSelectorPanel();
    sel->show();
    int selects = 0;
    sel->OnItemSelect = [&](QObject*) { ++selects; };
    TCustomItemSelector* panel = sel->Panel();
    // Items run in rows of three.
    EXPECT_EQ(panel->GetItemRect(1).top, panel->GetItemRect(0).top);
    EXPECT_GT(panel->GetItemRect(1).left, panel->GetItemRect(0).left);
    EXPECT_EQ(panel->GetItemRect(3).left, panel->GetItemRect(0).left);
    EXPECT_GT(panel->GetItemRect(3).top, panel->GetItemRect(0).top);
    auto centre = [&](int i) {
        const Rect r = panel->GetItemRect(i);
        return QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    };
    MoveMouse(panel, centre(1));
    EXPECT_EQ(sel->ItemHot(), 1);
    EXPECT_EQ(panel->toolTip(), QStringLiteral("hint Abacus"));
    // With BorderColorHot set the hot item has a plain frame in it, also under the preset.
    sel->ItemAppearance().BorderColorHot = 0x00FF00;
    const Rect hotRect = panel->GetItemRect(1);
    const QImage shot = panel->grab().toImage();
    EXPECT_EQ(fromQColor(shot.pixelColor(hotRect.left, (hotRect.top + hotRect.bottom) / 2)), Color(0x00FF00));
    EXPECT_EQ(fromQColor(shot.pixelColor((hotRect.left + hotRect.right) / 2, hotRect.top)), Color(0x00FF00));
    MoveMouse(panel, centre(2));
    EXPECT_EQ(sel->ItemHot(), -1) << "a disabled item is never hot";
    EXPECT_EQ(panel->toolTip(), QStringLiteral("hint Berry")) << "but shows its hint";
    Click(panel, centre(2));
    EXPECT_EQ(sel->ItemIndex(), -1);
    EXPECT_EQ(selects, 0);
    Click(panel, centre(4));
    EXPECT_EQ(sel->ItemIndex(), 4);
    EXPECT_EQ(selects, 1);
    Click(panel, centre(4)); // the same item again raises the event again
    EXPECT_EQ(selects, 2);
    EXPECT_TRUE(sel->LookupItem(QStringLiteral("AB")));
    EXPECT_EQ(sel->ItemIndex(), 1);
    EXPECT_FALSE(sel->LookupItem(QStringLiteral("ab")));
    delete sel;
    try {
        TCustomItemSelector orphan(nullptr);
        ADD_FAILURE() << "a panel without its container";
    } catch (const platform::Exception& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Invalid parent"));
    }
}

} // namespace
