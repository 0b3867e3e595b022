#pragma once
// TCellGraphic: the one graphic object a cell of the string grid may carry besides its text. Its
// kind (TCellType) says what the cell shows - a check box, a radio group, a button, an image, a
// progress bar, a node, a comment mark ... - and which fields mean what:
//
//   kind              Bitmap            Icon          CellIndex          CellAngle       CellBoolean
//   ctBitmap          the bitmap        -             -                  -               -
//   ctIcon            -                 the icon      -                  -               -
//   ctImageList       -                 -             image index        -               -
//   ctDataImage       -                 -             image index        -               -   (text holds the index)
//   ctImages          the index list    -             -                  -               dir = 0
//   ctPicture         the picture       -             padding            stretch mode    -
//   ctFilePicture     the file picture  -             padding            stretch mode    -
//   ctCheckBox,       balloon texts     -             -                  1: balloon      checked
//   ctDataCheckBox    (CellAngle 1)
//   ctTriStateCheckBox -                -             -                  -               false (CellCheckBoxState)
//   ctRadioButton     balloon texts     -             -                  1: balloon      checked
//   ctRadio           the item list     -             selected (-1)      items at start  dir <> 0
//   ctRotated         -                 -             -                  angle 0..360    -
//   ctNode            -                 -             span               display row     contracted
//   ctExpand          -                 -             collapsed height   expanded height -  (Var: expanded)
//   ctButton          -                 -             size (w | h << 16) -               pushed (Text: caption)
//   ctBitButton       the glyph         -             size               -               pushed
//   ctProgress        fore colour       back colour   fore text colour   back text col.  text colours set
//   ctXPProgress      -                 -             -                  -               false
//   ctProgressPie     colour            -             -                  value           -
//   ctRangeIndicator  negative colour   positive col. range              -               show value
//   ctComment         -                 -             indicator colour   -               -   (Text: comment)
//   ctShape           line colour       -             fill colour        shape           -
//   ctRating          empty colour      -             fill colour        scale           -
//   ctScrollbar       -                 -             position           page size       auto range (ErrFrom: range)
//   ctBalloon         title and text    -             icon               0               -
//   ctInterface       the object        -             -                  -               -
// The objects live in typed fields (Bitmap, Picture, FilePicture, Icon, and Object for the
// lists and interfaced objects); colours in ColorBitmap (the "Bitmap" column) and ColorIcon.
// Any kind may carry a marked text span (MarkerFrom / MarkerLen, fields of their own, so a
// marker never touches the values a kind keeps in CellErrFrom / CellErrLen).
//
// Ownership: an object handed to an adding operation stays the caller's; one made by a creating
// operation belongs to the graphic (CellCreated) and is freed with it. The index list of
// ctImages and the texts of a balloon always belong to the graphic.
#include "controls/grid/base/GridTypes.h"
#include "controls/grid/base/GridLists.h"
#include "platform/core/Persistent.h"
#include "platform/draw/Color.h"

#include <QPoint>
#include <QString>
#include <QVariant>
#include <memory>

namespace platform {
class Bitmap;
class Icon;
class Picture;
class TStringList;
} // namespace platform

namespace controls::grid {

using platform::Color;

enum TCellType : unsigned char {
    ctBitmap, ctIcon, ctNone, ctImageList, ctCheckBox, ctDataCheckBox, ctRotated, ctDataImage, ctNode, ctRadio,
    ctEmpty, ctImages, ctPicture, ctFilePicture, ctValue, ctProgress, ctComment, ctButton, ctBitButton,
    ctVirtCheckBox, ctRowCheckBox, ctProgressPie, ctSummary, ctRangeIndicator, ctXPProgress, ctInterface,
    ctScrollbar, ctRadioButton, ctBalloon, ctShape, ctRating, ctTriStateCheckBox, ctExpand
};

enum TCellHAlign { haLeft, haRight, haCenter, haBeforeText, haAfterText, haFull };
enum TCellVAlign { vaTop, vaBottom, vaCenter, vaUnderText, vaAboveText, vaFull };
enum TStretchMode { noStretch, Stretch, StretchWithAspectRatio, Shrink, ShrinkWithAspectRatio };

class TCellGraphic : public platform::TPersistent {
public:
    TCellGraphic() = default;
    ~TCellGraphic() override;
    TCellGraphic(const TCellGraphic&) = delete;
    TCellGraphic& operator=(const TCellGraphic&) = delete;

    TCellType CellType = ctNone;
    // Objects of the kinds that hold one (see the table); owned only as the header says.
    platform::Bitmap* Bitmap = nullptr;
    platform::Picture* Picture = nullptr;
    TFilePicture* FilePicture = nullptr;
    platform::Icon* Icon = nullptr;
    platform::TObject* Object = nullptr;
    // Colours of the kinds that hold colours there.
    Color ColorBitmap = platform::clNone;
    Color ColorIcon = platform::clNone;
    TCellVAlign CellVAlign = vaTop;
    TCellHAlign CellHAlign = haLeft;
    int CellIndex = 0;
    bool CellTransparent = false;
    bool CellCreated = false;
    bool CellBoolean = false;
    int CellAngle = 0;
    double CellValue = 0;
    int CellErrFrom = 0;
    int CellErrLen = 0;
    QString CellText;
    QVariant CellVar;
    TCheckBoxState CellCheckBoxState = cbUnchecked;
    int MarkerFrom = 0;
    int MarkerLen = 0;

    // Typed views of the object fields (nullptr for another class).
    platform::TStringList* Strings() const;
    TIntList* IntList() const;

    void SetBitmap(platform::Bitmap* bitmap, bool transparent, TCellHAlign hal, TCellVAlign val);
    void SetIcon(platform::Icon* icon, TCellHAlign hal, TCellVAlign val);
    void SetImageIdx(int idx, TCellHAlign hal, TCellVAlign val);
    void SetDataImage(int idx, TCellHAlign hal, TCellVAlign val);
    void SetMultiImage(int col, int row, int dir, TCellHAlign hal, TCellVAlign val, TIntList::ChangeEvent notifier);
    void SetPicture(platform::Picture* picture, bool transparent, TStretchMode stretchMode, int padding,
                    TCellHAlign hal, TCellVAlign val);
    void SetFilePicture(TFilePicture* picture, bool transparent, TStretchMode stretchMode, int padding,
                        TCellHAlign hal, TCellVAlign val);
    void SetCheckBox(bool value, bool data, bool flat, TCellHAlign hal, TCellVAlign val);
    void SetCheckBox(TCheckBoxState value, bool flat, TCellHAlign hal, TCellVAlign val);
    void SetRadioButton(bool value, bool flat, TCellHAlign hal, TCellVAlign val);
    void SetButton(int bw, int bh, const QString& caption, TCellHAlign hal, TCellVAlign val);
    void SetBitButton(int bw, int bh, const QString& caption, platform::Bitmap* glyph, TCellHAlign hal,
                      TCellVAlign val);
    void SetInterfacedCell(platform::TObject* object);
    // Brought into 0..360 (360 stays 360).
    void SetAngle(int angle);

    // Size of a picture in a cell of cw x rh by the stretch mode (ctPicture, ctFilePicture);
    // other kinds leave result as it is.
    void GetPictureSize(int cw, int rh, bool hasText, QPoint& result) const;

    // Copies kind, aligns and the plain values; not the objects or CellVar.
    void Assign(const platform::TPersistent* source) override;

    // Frees the balloon texts of a check box or radio button (CellAngle 1).
    void FreeBalloon();
    // Frees what the graphic owns by its kind (see the header) and forgets every object.
    void ReleaseObjects();
};

} // namespace controls::grid
