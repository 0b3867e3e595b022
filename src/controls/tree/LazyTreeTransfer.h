#pragma once
// What a tree hands to the clipboard and to a drag, and takes back from them.
//
// Formats. A process-wide registry knows every clipboard format a tree class may offer, each
// with a priority: lookups by name or id prefer the largest priority value, enumerations run
// from the smallest up. The one-time set-up (first tree) registers
//   "Lazy Tree Data" (every tree, 50), "HTML Format" (string trees, 80), "Rich Text Format
//   Without Objects" (84), "Rich Text Format" (85), "CSV" (90), Unicode text (id 13, 95) and
//   plain text (id 1, 100),
// and registers the name "Lazy Tree Reference" without entering it in the list. A tree offers
// the formats named in its ClipboardFormats (empty: none) plus what OnGetUserClipboardFormats
// adds. Format ids: 1..17 are the predefined formats; registered names get ids from 0xC000 up,
// one per name (case-insensitive), for the life of the process.
//
// The data object (TLTDataObject) renders lazily: a consumer asking for a format makes the
// owner render it at that moment. It travels through Qt as a MIME container (the platform's
// table names the MIME type of each format, platform/exchange/NamedFormats.h).
//
// The two private formats:
//   "Lazy Tree Data"       4 bytes payload length N (little-endian), then N bytes: one node
//                          record of the tree stream (LazyTreeStream.h, version 2) per
//                          transferred node, each with its whole subtree; a node whose ancestor
//                          is transferred too travels inside its ancestor's record.
//   "Lazy Tree Reference"  4 bytes process id, then 8 bytes the source tree's identity
//                          (both little-endian): which tree of which process made the data.
// A payload from outside is checked whole before anything changes: a length beyond the block,
// records cut short or malformed refuse the paste or drop and leave the tree as it was; a
// reference is believed only when its process is this one and it names a tree alive in it.
#include "controls/tree/TreeTypes.h"
#include "platform/draw/Canvas.h"
#include "platform/draw/Geometry.h"

#include <QByteArray>
#include <QImage>
#include <QPoint>
#include <QPointer>
#include <QSize>
#include <QString>
#include <QStringList>
#include <Qt>
#include <memory>
#include <optional>
#include <vector>

class QMetaObject;
class QMimeData;

namespace controls {

class TBaseLazyTree;

// --- result codes of the data object and the drag (the platform's values) -------------------------

using HRESULT = int32_t;
constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_NOTIMPL = int32_t(0x80004001u);
constexpr HRESULT E_FAIL = int32_t(0x80004005u);
constexpr HRESULT E_UNEXPECTED = int32_t(0x8000FFFFu);
constexpr HRESULT E_OUTOFMEMORY = int32_t(0x8007000Eu);
constexpr HRESULT DV_E_FORMATETC = int32_t(0x80040064u);
constexpr HRESULT DV_E_TYMED = int32_t(0x80040069u);
constexpr HRESULT DV_E_DVASPECT = int32_t(0x8004006Bu);
constexpr HRESULT DV_E_LINDEX = int32_t(0x80040068u);
constexpr HRESULT OLE_S_USEREG = 0x00040000;
constexpr HRESULT DATA_S_SAMEFORMATETC = 0x00040130;
constexpr HRESULT DRAGDROP_S_DROP = 0x00040100;
constexpr HRESULT DRAGDROP_S_CANCEL = 0x00040101;
constexpr HRESULT DRAGDROP_S_USEDEFAULTCURSORS = 0x00040102;

constexpr uint32_t TYMED_HGLOBAL = 1;
constexpr uint32_t TYMED_FILE = 2;
constexpr uint32_t TYMED_ISTREAM = 4;
constexpr uint32_t DVASPECT_CONTENT = 1;
constexpr int DATADIR_GET = 1;
constexpr int DATADIR_SET = 2;

// Predefined clipboard formats the tree uses.
constexpr uint16_t CF_TEXT = 1;
constexpr uint16_t CF_UNICODETEXT = 13;

// One format as a consumer asks for it.
struct TFormatEtc {
    uint16_t cfFormat = 0;
    uintptr_t ptd = 0;
    uint32_t dwAspect = DVASPECT_CONTENT;
    int32_t lindex = -1;
    uint32_t tymed = TYMED_HGLOBAL;
};
using TFormatEtcArray = std::vector<TFormatEtc>;

// A rendered format: for TYMED_HGLOBAL the block, for TYMED_ISTREAM the stream's bytes.
struct TStgMedium {
    uint32_t tymed = 0;
    QByteArray data;
};

// --- format names and ids -------------------------------------------------------------------------

// The id of a format name (registered on first use, case-insensitive), and the name of an id
// (the standard descriptions for 1..17, empty for an id nobody registered).
uint16_t RegisterClipboardFormat(const QString& Name);
QString ClipboardFormatName(uint16_t Format);
// The ids of the formats the one-time set-up registers.
uint16_t CF_LAZYTREE();
uint16_t CF_LTREFERENCE();
uint16_t CF_HTML();
uint16_t CF_RTF();
uint16_t CF_RTFNOOBJS();
uint16_t CF_CSV();

struct TClipboardFormatListEntry {
    QString Description;
    const QMetaObject* TreeClass = nullptr;
    uint32_t Priority = 0;
    TFormatEtc FormatEtc;
};

class TClipboardFormats;

// The process-wide registry (see the header comment).
class TClipboardFormatList {
public:
    static void Add(const QString& FormatString, const QMetaObject* TreeClass, const TFormatEtc& FormatEtc, uint32_t Priority);
    static void Clear();
    // The formats of TreeClass (its own and its ancestors'), smallest priority first; with
    // AllowedFormats only those it names.
    static void EnumerateFormats(const QMetaObject* TreeClass, TFormatEtcArray& Formats,
                                 const TClipboardFormats* AllowedFormats = nullptr);
    static void EnumerateFormats(const QMetaObject* TreeClass, QStringList& Formats);
    static const TClipboardFormatListEntry* FindFormat(const QString& FormatString);
    static const QMetaObject* FindFormat(const QString& FormatString, uint16_t& Fmt);
    static const QMetaObject* FindFormat(uint16_t Fmt, QString& Description);
    static const std::vector<TClipboardFormatListEntry>& Entries();
    // The one-time set-up's formats (runs once per process).
    static void EnsureStandardFormats();
};

// Registers a format by name for TreeClass; returns its id.
uint16_t RegisterLTClipboardFormat(const QString& Description, const QMetaObject* TreeClass, uint32_t Priority,
                                   uint32_t tymed = TYMED_HGLOBAL, uintptr_t ptd = 0, uint32_t dwAspect = DVASPECT_CONTENT,
                                   int32_t lindex = -1);
// Registers a predefined (1..17) or already named format for TreeClass.
void RegisterStandardClipboardFormat(uint16_t Format, const QMetaObject* TreeClass, uint32_t Priority);

// The names of the formats a tree may offer: sorted, case-insensitive, no duplicates; only
// registered formats of the owner's class (or an ancestor's) are taken.
class TClipboardFormats {
public:
    explicit TClipboardFormats(TBaseLazyTree* Owner) : FOwner(Owner) {}
    // The index of S, or -1 when S is refused.
    int Add(const QString& S);
    void Insert(int Index, const QString& S);
    void Clear() { FNames.clear(); }
    void Assign(const QStringList& Names);
    int Count() const { return int(FNames.size()); }
    const QStringList& Names() const { return FNames; }
    bool Contains(const QString& S) const { return FNames.contains(S, Qt::CaseInsensitive); }

private:
    TBaseLazyTree* FOwner;
    QStringList FNames;
};

// --- the data object ------------------------------------------------------------------------------

class TEnumFormatEtc {
public:
    TEnumFormatEtc(TBaseLazyTree* Tree, const TFormatEtcArray& Formats) : FTree(Tree), FFormatEtcArray(Formats) {}
    // Up to celt entries from the current one: S_OK when celt came, else S_FALSE.
    HRESULT Next(uint32_t celt, TFormatEtcArray& elt, uint32_t* pceltFetched);
    HRESULT Skip(uint32_t celt);
    HRESULT Reset();
    HRESULT Clone(std::unique_ptr<TEnumFormatEtc>& Enum) const;

private:
    TBaseLazyTree* FTree;
    TFormatEtcArray FFormatEtcArray;
    int32_t FCurrentIndex = 0;
};

class TLTDataObject : public std::enable_shared_from_this<TLTDataObject> {
public:
    TLTDataObject(TBaseLazyTree* Owner, bool ForClipboard);
    ~TLTDataObject();
    TLTDataObject(const TLTDataObject&) = delete;
    TLTDataObject& operator=(const TLTDataObject&) = delete;

    TBaseLazyTree* Owner() const { return FOwner.data(); }
    bool ForClipboard() const { return FForClipboard; }
    const TFormatEtcArray& Formats() const { return FFormatEtcArray; }

    HRESULT QueryGetData(const TFormatEtc& FormatEtc) const;
    HRESULT GetData(const TFormatEtc& FormatEtcIn, TStgMedium& Medium);
    HRESULT GetDataHere(const TFormatEtc&, TStgMedium&) const { return E_NOTIMPL; }
    HRESULT GetCanonicalFormatEtc(const TFormatEtc&, TFormatEtc&) const { return DATA_S_SAMEFORMATETC; }
    // Stores a medium the consumer hands in (a later GetData of its format serves it).
    HRESULT SetData(const TFormatEtc& FormatEtc, const TStgMedium& Medium);
    HRESULT EnumFormatEtc(int Direction, std::unique_ptr<TEnumFormatEtc>& Enum) const;

    // A Qt container that carries this object to the clipboard or a drag (owned by the caller
    // until handed over; it keeps the object alive).
    QMimeData* CreateMimeData();

private:
    int FindFormatEtc(const TFormatEtc& FormatEtc) const;

    QPointer<TBaseLazyTree> FOwner;
    bool FForClipboard;
    TFormatEtcArray FFormatEtcArray;
    std::vector<std::pair<uint16_t, TStgMedium>> FInternalStgMediumArray;
};

// The wire forms of the private formats.
QByteArray MakeTreeReference(const TBaseLazyTree* Tree);
// The tree a reference names: nullptr for another process, an unknown tree or bad bytes.
TBaseLazyTree* ResolveTreeReference(const QByteArray& Block);
// The node records of a "Lazy Tree Data" block, checked whole: no value when the length
// prefix does not fit the block or the records are not well formed (an empty payload is
// refused too).
std::optional<QByteArray> ReadTreeDataPayload(const QByteArray& Block);
// A "Lazy Tree Data" block of these records.
QByteArray MakeTreeDataBlock(const QByteArray& Records);

// Whether Tree is a tree alive in this process (trees enter and leave the set as they are made
// and destroyed).
bool IsLiveTree(const TBaseLazyTree* Tree);
void RegisterLiveTree(const TBaseLazyTree* Tree, bool Alive);

// --- drag image -----------------------------------------------------------------------------------

// The picture of a node drag: what the tree paints of the dragged nodes, faded from the centre
// by an alpha channel, with the colour key (the tree's background) fully transparent. The
// platform's drag shows it under the pointer; drawing it on the screen ourselves is not done
// (see the README), so the image is never "visible" in the sense of an own screen image.
enum TLTDragImageState : uint8_t { disHidden, disInDrag, disPrepared, disSystemSupport };
using TLTDragImageStates = TSet<TLTDragImageState, uint8_t>;

class TLTDragImage {
public:
    explicit TLTDragImage(TBaseLazyTree* Owner) : FOwner(Owner) {}

    // Builds the image from DragImage (32-bit) and hands it to the platform: the states become
    // in drag, prepared and system-supported.
    void PrepareDrag(const QImage& DragImage, QPoint ImagePosition, QPoint HotSpot);
    void EndDrag();
    bool Visible() const;
    bool WillMove(QPoint P) const;
    bool DragTo(QPoint P, bool ForceRepaint);
    void ShowDragImage() {}
    void HideDragImage() {}

    // The alpha channel of Target from Source: transparent where Source has the colour key,
    // else round(255 * e^(-8 d)) for the distance d from the centre relative to the larger side.
    void BuildAlphaChannel(const QImage& Source, QImage& Target) const;

    // The picture handed to the platform (premultiplied alpha) and its hot spot inside it.
    const QImage& Image() const { return FDragImage; }
    QPoint HotSpot() const { return FLastPosition - FImagePosition; }
    TLTDragImageStates States() const { return FStates; }

    uint8_t Transparency = 128;
    int PreBlendBias = 0;
    int PostBlendBias = 0;
    bool Fade = false;
    TLTDragMoveRestriction MoveRestriction = dmrNone;
    uint32_t ColorKey = 0x1FFFFFFF; // clNone

private:
    TBaseLazyTree* FOwner;
    QImage FDragImage;
    QPoint FImagePosition;
    QPoint FLastPosition;
    TLTDragImageStates FStates;
};

// --- drag manager ---------------------------------------------------------------------------------

// The drop target and drop source of one tree: the tree's viewport hands it Qt's drag events;
// it keeps the data object of the drag over the tree and the source tree when that lives in
// this process.
class TLTDragManager {
public:
    explicit TLTDragManager(TBaseLazyTree* Owner) : FOwner(Owner) {}
    virtual ~TLTDragManager() = default;

    // ILTDragManager
    virtual void ForceDragLeave() {}
    // The data object of the drag over the tree, else OnCreateDataObject's, else a new one.
    virtual QMimeData* ProvideDataObject();
    TBaseLazyTree* DragSourceTree() const { return FDragSource.data(); }
    bool HasDropTargetHelper() const { return false; }
    bool IsDragOverTree() const { return FIsDropTarget; }
    const QMimeData* DataObject() const { return FDataObject; }

    // IDropTarget: KeyState are the keys and buttons held, Pt in screen coordinates.
    HRESULT DragEnter(const QMimeData* DataObject, TShiftState KeyState, QPoint Pt, unsigned& Effect);
    HRESULT DragOver(TShiftState KeyState, QPoint Pt, unsigned& Effect);
    HRESULT DragLeave();
    HRESULT Drop(const QMimeData* DataObject, TShiftState KeyState, QPoint Pt, unsigned& Effect);

    // IDropSource
    static HRESULT QueryContinueDrag(bool EscapePressed, TShiftState KeyState);
    static HRESULT GiveFeedback(unsigned) { return DRAGDROP_S_USEDEFAULTCURSORS; }

private:
    TBaseLazyTree* FOwner;
    QPointer<TBaseLazyTree> FDragSource;
    bool FIsDropTarget = false;
    const QMimeData* FDataObject = nullptr;
};

// --- hints ------------------------------------------------------------------------------------------

// What the tree tells its hint window.
struct TLTHintData {
    TBaseLazyTree* Tree = nullptr;
    PLazyNode Node = nullptr;
    TColumnIndex Column = NoColumn;
    // Owner-drawn hint size (empty for text hints).
    platform::Rect HintRect;
    QString DefaultHint;
    QString HintText;
    TBiDiMode BidiMode = bdLeftToRight;
    platform::Alignment Alignment = platform::Alignment::taLeftJustify;
    TLTHintLineBreakStyle LineBreakStyle = hlbDefault;
};

// The framework's hint request: where and what, filled by the tree.
struct THintInfo {
    // Whether the tree's own hint window shows the hint (else a plain hint with HintStr).
    bool OwnHintWindow = true;
    // Screen position of the hint and the client rectangle it stays valid in.
    QPoint HintPos;
    int HintMaxWidth = 0;
    platform::Rect CursorRect;
    QPoint CursorPos;
    QString HintStr;
    TLTHintData* HintData = nullptr;
};

// --- printing -------------------------------------------------------------------------------------

struct TLTPrintLayout {
    // The whole tree (and header) as painted on screen, in screen pixels.
    QSize Image;
    int HeaderHeight = 0;
    // Printer pixels per screen pixel, from the font heights on both devices.
    double Scale = 1.0;
    // What one printed page shows of the picture, and how many pages across and down.
    QSize Page;
    int HorizontalPages = 1;
    int VerticalPages = 1;
};

// --- in-place editing -----------------------------------------------------------------------------

// The editor of one cell, as the tree drives it.
class ILTEditLink {
public:
    virtual ~ILTEditLink() = default;
    // Shows the editor and starts; false aborts.
    virtual bool BeginEdit() = 0;
    // Stops without applying; false refuses.
    virtual bool CancelEdit() = 0;
    // Applies and stops; false refuses.
    virtual bool EndEdit() = 0;
    // Binds to a cell; false refuses.
    virtual bool PrepareEdit(TBaseLazyTree* Tree, PLazyNode Node, TColumnIndex Column) = 0;
    // The editor's bounds in tree client coordinates.
    virtual platform::Rect GetBounds() = 0;
    // Hands a key to the editor.
    virtual void ProcessMessage(int Key, Qt::KeyboardModifiers Modifiers) = 0;
    virtual void SetBounds(platform::Rect R) = 0;
};
using ILTEditLinkPtr = std::shared_ptr<ILTEditLink>;

} // namespace controls
