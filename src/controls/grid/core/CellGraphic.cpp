#include "controls/grid/core/CellGraphic.h"

#include "platform/core/StringList.h"
#include "platform/draw/Graphics.h"
#include "platform/text/Text.h"

namespace controls::grid {

TCellGraphic::~TCellGraphic() { ReleaseObjects(); }

void TCellGraphic::ReleaseObjects()
{
    switch (CellType) {
    case ctBitmap:
    case ctBitButton:
        if (CellCreated)
            delete Bitmap;
        break;
    case ctPicture:
        if (CellCreated)
            delete Picture;
        break;
    case ctFilePicture:
        if (CellCreated)
            delete FilePicture;
        break;
    case ctIcon:
        if (CellCreated)
            delete Icon;
        break;
    case ctRadio:
        if (CellCreated)
            delete Object;
        break;
    case ctImages:
    case ctBalloon:
        delete Object;
        break;
    case ctCheckBox:
    case ctDataCheckBox:
    case ctRadioButton:
        if (CellAngle == 1)
            delete Object;
        break;
    default:
        break;
    }
    Bitmap = nullptr;
    Picture = nullptr;
    FilePicture = nullptr;
    Icon = nullptr;
    Object = nullptr;
    CellCreated = false;
}

platform::TStringList* TCellGraphic::Strings() const { return dynamic_cast<platform::TStringList*>(Object); }
TIntList* TCellGraphic::IntList() const { return dynamic_cast<TIntList*>(Object); }

void TCellGraphic::FreeBalloon()
{
    if ((CellType == ctCheckBox || CellType == ctDataCheckBox || CellType == ctRadioButton) && CellAngle == 1) {
        delete Object;
        Object = nullptr;
        CellAngle = 0;
    }
}

void TCellGraphic::SetBitmap(platform::Bitmap* bitmap, bool transparent, TCellHAlign hal, TCellVAlign val)
{
    CellType = ctBitmap;
    Bitmap = bitmap;
    CellTransparent = transparent;
    CellHAlign = hal;
    CellVAlign = val;
}

void TCellGraphic::SetIcon(platform::Icon* icon, TCellHAlign hal, TCellVAlign val)
{
    CellType = ctIcon;
    Icon = icon;
    CellHAlign = hal;
    CellVAlign = val;
}

void TCellGraphic::SetImageIdx(int idx, TCellHAlign hal, TCellVAlign val)
{
    CellType = ctImageList;
    CellIndex = idx;
    CellHAlign = hal;
    CellVAlign = val;
}

void TCellGraphic::SetDataImage(int idx, TCellHAlign hal, TCellVAlign val)
{
    CellType = ctDataImage;
    CellIndex = idx;
    CellHAlign = hal;
    CellVAlign = val;
}

void TCellGraphic::SetMultiImage(int col, int row, int dir, TCellHAlign hal, TCellVAlign val,
                                 TIntList::ChangeEvent notifier)
{
    CellType = ctImages;
    auto* list = new TIntList(col, row);
    list->OnChange = std::move(notifier);
    Object = list;
    CellBoolean = dir == 0;
    CellHAlign = hal;
    CellVAlign = val;
    CellCreated = true;
}

void TCellGraphic::SetPicture(platform::Picture* picture, bool transparent, TStretchMode stretchMode, int padding,
                              TCellHAlign hal, TCellVAlign val)
{
    CellType = ctPicture;
    Picture = picture;
    CellTransparent = transparent;
    CellAngle = stretchMode;
    CellIndex = padding;
    CellHAlign = hal;
    CellVAlign = val;
}

void TCellGraphic::SetFilePicture(TFilePicture* picture, bool transparent, TStretchMode stretchMode, int padding,
                                  TCellHAlign hal, TCellVAlign val)
{
    CellType = ctFilePicture;
    FilePicture = picture;
    CellTransparent = transparent;
    CellAngle = stretchMode;
    CellIndex = padding;
    CellHAlign = hal;
    CellVAlign = val;
}

void TCellGraphic::SetCheckBox(bool value, bool data, bool flat, TCellHAlign hal, TCellVAlign val)
{
    CellType = data ? ctDataCheckBox : ctCheckBox;
    CellAngle = 0;
    CellBoolean = value;
    CellTransparent = flat;
    CellHAlign = hal;
    CellVAlign = val;
}

void TCellGraphic::SetCheckBox(TCheckBoxState value, bool flat, TCellHAlign hal, TCellVAlign val)
{
    CellType = ctTriStateCheckBox;
    CellCheckBoxState = value;
    CellBoolean = false;
    CellTransparent = flat;
    CellHAlign = hal;
    CellVAlign = val;
}

void TCellGraphic::SetRadioButton(bool value, bool flat, TCellHAlign hal, TCellVAlign val)
{
    CellType = ctRadioButton;
    CellAngle = 0;
    CellBoolean = value;
    CellTransparent = flat;
    CellHAlign = hal;
    CellVAlign = val;
}

void TCellGraphic::SetButton(int bw, int bh, const QString& caption, TCellHAlign hal, TCellVAlign val)
{
    CellType = ctButton;
    CellIndex = int((unsigned(bh) << 16) | (unsigned(bw) & 0xFFFF));
    CellBoolean = false;
    CellText = caption;
    CellHAlign = hal;
    CellVAlign = val;
}

void TCellGraphic::SetBitButton(int bw, int bh, const QString& caption, platform::Bitmap* glyph, TCellHAlign hal,
                                TCellVAlign val)
{
    SetButton(bw, bh, caption, hal, val);
    CellType = ctBitButton;
    Bitmap = glyph;
}

void TCellGraphic::SetInterfacedCell(platform::TObject* object)
{
    CellType = ctInterface;
    Object = object;
}

void TCellGraphic::SetAngle(int angle)
{
    CellType = ctRotated;
    while (angle < 0)
        angle += 360;
    while (angle > 360)
        angle -= 360;
    CellAngle = angle;
}

void TCellGraphic::GetPictureSize(int cw, int rh, bool, QPoint& result) const
{
    int w = 0, h = 0;
    if (CellType == ctPicture) {
        if (Picture) {
            w = Picture->width();
            h = Picture->height();
        }
    } else if (CellType == ctFilePicture) {
        if (FilePicture) {
            w = FilePicture->Width();
            h = FilePicture->Height();
        }
    } else {
        return;
    }
    const int aw = cw - CellIndex;
    const int ah = rh - CellIndex;
    auto ratios = [&](bool limit, double& rx, double& ry) {
        rx = w > 0 ? double(aw) / w : 1.0;
        ry = h > 0 ? double(ah) / h : 1.0;
        if (limit) {
            rx = std::min(rx, 1.0);
            ry = std::min(ry, 1.0);
        }
    };
    auto aspect = [&](double rx, double ry) {
        if (rx >= ry)
            result = QPoint(int(platform::roundHalfEven(w * ry)), ah);
        else
            result = QPoint(aw, int(platform::roundHalfEven(h * rx)));
    };
    switch (CellAngle) {
    case Stretch:
        result = QPoint(aw, ah);
        break;
    case StretchWithAspectRatio: {
        double rx, ry;
        ratios(false, rx, ry);
        aspect(rx, ry);
        break;
    }
    case Shrink:
        result = w <= aw && h <= ah ? QPoint(w, h) : QPoint(aw, ah);
        break;
    case ShrinkWithAspectRatio: {
        if (w <= aw && h <= ah) {
            result = QPoint(w, h);
            break;
        }
        double rx, ry;
        ratios(true, rx, ry);
        aspect(rx, ry);
        break;
    }
    default:
        result = QPoint(w, h);
        break;
    }
}

void TCellGraphic::Assign(const platform::TPersistent* source)
{
    const auto* s = dynamic_cast<const TCellGraphic*>(source);
    if (!s) {
        TPersistent::Assign(source);
        return;
    }
    CellType = s->CellType;
    CellHAlign = s->CellHAlign;
    CellVAlign = s->CellVAlign;
    CellIndex = s->CellIndex;
    CellTransparent = s->CellTransparent;
    CellValue = s->CellValue;
    CellAngle = s->CellAngle;
    CellBoolean = s->CellBoolean;
    CellErrFrom = s->CellErrFrom;
    CellErrLen = s->CellErrLen;
    CellText = s->CellText;
    CellCreated = s->CellCreated;
    CellCheckBoxState = s->CellCheckBoxState;
    MarkerFrom = s->MarkerFrom;
    MarkerLen = s->MarkerLen;
    ColorBitmap = s->ColorBitmap;
    ColorIcon = s->ColorIcon;
}

} // namespace controls::grid
