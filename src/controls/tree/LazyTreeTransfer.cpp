// The clipboard format registry, the data object and its enumerator, the private wire formats,
// the drag image and the drag manager.
#include "controls/tree/LazyTreeTransfer.h"
#include "controls/tree/LazyStringTree.h"
#include "controls/tree/LazyTree.h"
#include "controls/tree/LazyTreeStream.h"
#include "platform/exchange/NamedFormats.h"

#include <QCoreApplication>
#include <QHash>
#include <QMetaObject>
#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <set>

namespace controls {

// --- format names and ids -----------------------------------------------------------------------

namespace {

const char* const kStandardNames[18] = {nullptr,
                                        "Plain text",
                                        "Windows bitmap",
                                        "Windows metafile",
                                        "Symbolic link",
                                        "Data interchange format",
                                        "Tiff image",
                                        "OEM text",
                                        "DIB image",
                                        "Palette data",
                                        "Pen data",
                                        "Riff audio data",
                                        "Wav audio data",
                                        "Unicode text",
                                        "Enhanced metafile image",
                                        "File name(s)",
                                        "Locale descriptor",
                                        "DIB image V5"};

struct FormatIds {
    QHash<QString, uint16_t> byName; // lower-case name
    std::vector<QString> names;      // index: id - 0xC000
};

FormatIds& formatIds()
{
    static FormatIds ids;
    return ids;
}

std::vector<TClipboardFormatListEntry>& registry()
{
    static std::vector<TClipboardFormatListEntry> entries;
    return entries;
}

bool appliesTo(const QMetaObject* entryClass, const QMetaObject* treeClass)
{
    return entryClass && treeClass && treeClass->inherits(entryClass);
}

} // namespace

uint16_t RegisterClipboardFormat(const QString& Name)
{
    FormatIds& ids = formatIds();
    const QString key = Name.toLower();
    auto it = ids.byName.constFind(key);
    if (it != ids.byName.constEnd())
        return it.value();
    const uint16_t id = uint16_t(0xC000 + ids.names.size());
    ids.names.push_back(Name);
    ids.byName.insert(key, id);
    return id;
}

QString ClipboardFormatName(uint16_t Format)
{
    if (Format >= 1 && Format <= 17)
        return QString::fromLatin1(kStandardNames[Format]);
    const FormatIds& ids = formatIds();
    if (Format >= 0xC000 && size_t(Format - 0xC000) < ids.names.size())
        return ids.names[size_t(Format - 0xC000)];
    return QString();
}

uint16_t CF_LAZYTREE() { return RegisterClipboardFormat(QStringLiteral("Lazy Tree Data")); }
uint16_t CF_LTREFERENCE() { return RegisterClipboardFormat(QStringLiteral("Lazy Tree Reference")); }
uint16_t CF_HTML() { return RegisterClipboardFormat(QStringLiteral("HTML Format")); }
uint16_t CF_RTF() { return RegisterClipboardFormat(QStringLiteral("Rich Text Format")); }
uint16_t CF_RTFNOOBJS() { return RegisterClipboardFormat(QStringLiteral("Rich Text Format Without Objects")); }
uint16_t CF_CSV() { return RegisterClipboardFormat(QStringLiteral("CSV")); }

// --- the registry -------------------------------------------------------------------------------

void TClipboardFormatList::Add(const QString& FormatString, const QMetaObject* TreeClass, const TFormatEtc& FormatEtc,
                               uint32_t Priority)
{
    auto& entries = registry();
    entries.push_back(TClipboardFormatListEntry{FormatString, TreeClass, Priority, FormatEtc});
    // Equal priorities keep no defined order; a stable sort keeps them as added.
    std::stable_sort(entries.begin(), entries.end(),
                     [](const TClipboardFormatListEntry& a, const TClipboardFormatListEntry& b) { return a.Priority < b.Priority; });
}

void TClipboardFormatList::Clear() { registry().clear(); }

const std::vector<TClipboardFormatListEntry>& TClipboardFormatList::Entries() { return registry(); }

void TClipboardFormatList::EnumerateFormats(const QMetaObject* TreeClass, TFormatEtcArray& Formats,
                                            const TClipboardFormats* AllowedFormats)
{
    EnsureStandardFormats();
    for (const TClipboardFormatListEntry& e : registry()) {
        if (!appliesTo(e.TreeClass, TreeClass))
            continue;
        if (AllowedFormats && !AllowedFormats->Contains(e.Description))
            continue;
        Formats.push_back(e.FormatEtc);
    }
}

void TClipboardFormatList::EnumerateFormats(const QMetaObject* TreeClass, QStringList& Formats)
{
    EnsureStandardFormats();
    for (const TClipboardFormatListEntry& e : registry())
        if (appliesTo(e.TreeClass, TreeClass))
            Formats << e.Description;
}

const TClipboardFormatListEntry* TClipboardFormatList::FindFormat(const QString& FormatString)
{
    EnsureStandardFormats();
    const auto& entries = registry();
    for (auto it = entries.rbegin(); it != entries.rend(); ++it)
        if (it->Description.compare(FormatString, Qt::CaseInsensitive) == 0)
            return &*it;
    return nullptr;
}

const QMetaObject* TClipboardFormatList::FindFormat(const QString& FormatString, uint16_t& Fmt)
{
    const TClipboardFormatListEntry* e = FindFormat(FormatString);
    if (!e)
        return nullptr;
    Fmt = e->FormatEtc.cfFormat;
    return e->TreeClass;
}

const QMetaObject* TClipboardFormatList::FindFormat(uint16_t Fmt, QString& Description)
{
    EnsureStandardFormats();
    const auto& entries = registry();
    for (auto it = entries.rbegin(); it != entries.rend(); ++it)
        if (it->FormatEtc.cfFormat == Fmt) {
            Description = it->Description;
            return it->TreeClass;
        }
    return nullptr;
}

uint16_t RegisterLTClipboardFormat(const QString& Description, const QMetaObject* TreeClass, uint32_t Priority,
                                   uint32_t tymed, uintptr_t ptd, uint32_t dwAspect, int32_t lindex)
{
    const uint16_t id = RegisterClipboardFormat(Description);
    TClipboardFormatList::Add(Description, TreeClass, TFormatEtc{id, ptd, dwAspect, lindex, tymed}, Priority);
    return id;
}

void RegisterStandardClipboardFormat(uint16_t Format, const QMetaObject* TreeClass, uint32_t Priority)
{
    const QString description = ClipboardFormatName(Format);
    if (description.isEmpty())
        return;
    TClipboardFormatList::Add(description, TreeClass, TFormatEtc{Format, 0, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}, Priority);
}

void TClipboardFormatList::EnsureStandardFormats()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    const QMetaObject* base = &TBaseLazyTree::staticMetaObject;
    const QMetaObject* text = &TCustomLazyStringTree::staticMetaObject;
    CF_LTREFERENCE();
    Add(QStringLiteral("Lazy Tree Data"), base, TFormatEtc{CF_LAZYTREE(), 0, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}, 50);
    Add(QStringLiteral("HTML Format"), text, TFormatEtc{CF_HTML(), 0, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}, 80);
    Add(QStringLiteral("Rich Text Format Without Objects"), text,
        TFormatEtc{CF_RTFNOOBJS(), 0, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}, 84);
    Add(QStringLiteral("Rich Text Format"), text, TFormatEtc{CF_RTF(), 0, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}, 85);
    Add(QStringLiteral("CSV"), text, TFormatEtc{CF_CSV(), 0, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}, 90);
    RegisterStandardClipboardFormat(CF_UNICODETEXT, text, 95);
    RegisterStandardClipboardFormat(CF_TEXT, text, 100);
}

// --- a tree's list of formats -------------------------------------------------------------------

int TClipboardFormats::Add(const QString& S)
{
    const TClipboardFormatListEntry* e = TClipboardFormatList::FindFormat(S);
    if (!e || !FOwner || !appliesTo(e->TreeClass, FOwner->metaObject()))
        return -1;
    for (int i = 0; i < FNames.size(); ++i)
        if (FNames[i].compare(S, Qt::CaseInsensitive) == 0)
            return i;
    auto at = std::lower_bound(FNames.begin(), FNames.end(), S,
                               [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    const int index = int(at - FNames.begin());
    FNames.insert(index, S);
    return index;
}

void TClipboardFormats::Insert(int, const QString& S) { Add(S); }

void TClipboardFormats::Assign(const QStringList& Names)
{
    FNames.clear();
    for (const QString& n : Names)
        Add(n);
}

// --- live trees and the private wire formats ----------------------------------------------------

namespace {

std::set<const TBaseLazyTree*>& liveTrees()
{
    static std::set<const TBaseLazyTree*> trees;
    return trees;
}

uint32_t processId() { return uint32_t(QCoreApplication::applicationPid()); }

} // namespace

void RegisterLiveTree(const TBaseLazyTree* Tree, bool Alive)
{
    if (Alive)
        liveTrees().insert(Tree);
    else
        liveTrees().erase(Tree);
}

bool IsLiveTree(const TBaseLazyTree* Tree) { return Tree && liveTrees().count(Tree) > 0; }

QByteArray MakeTreeReference(const TBaseLazyTree* Tree)
{
    QByteArray block(12, '\0');
    qToLittleEndian<uint32_t>(processId(), block.data());
    qToLittleEndian<uint64_t>(uint64_t(reinterpret_cast<uintptr_t>(Tree)), block.data() + 4);
    return block;
}

TBaseLazyTree* ResolveTreeReference(const QByteArray& Block)
{
    if (Block.size() < 12)
        return nullptr;
    if (qFromLittleEndian<uint32_t>(Block.constData()) != processId())
        return nullptr;
    const uint64_t value = qFromLittleEndian<uint64_t>(Block.constData() + 4);
    // A reference is only a number: it names a tree only when a tree of that identity lives.
    for (const TBaseLazyTree* tree : liveTrees())
        if (uint64_t(reinterpret_cast<uintptr_t>(tree)) == value)
            return const_cast<TBaseLazyTree*>(tree);
    return nullptr;
}

std::optional<QByteArray> ReadTreeDataPayload(const QByteArray& Block)
{
    if (Block.size() < 4)
        return std::nullopt;
    const uint32_t length = qFromLittleEndian<uint32_t>(Block.constData());
    // The length is bounded by the block that holds it.
    if (length == 0 || uint64_t(length) > uint64_t(Block.size() - 4))
        return std::nullopt;
    QByteArray records = Block.mid(4, qsizetype(length));
    TLazyTreeStreamReader reader(records);
    if (CheckNodeRecords(reader, TreeStreamVersion, 0, true) != 0)
        return std::nullopt;
    return records;
}

QByteArray MakeTreeDataBlock(const QByteArray& Records)
{
    QByteArray block(4, '\0');
    qToLittleEndian<uint32_t>(uint32_t(Records.size()), block.data());
    block += Records;
    return block;
}

// --- enumerator ---------------------------------------------------------------------------------

HRESULT TEnumFormatEtc::Next(uint32_t celt, TFormatEtcArray& elt, uint32_t* pceltFetched)
{
    uint32_t fetched = 0;
    elt.clear();
    while (fetched < celt && size_t(FCurrentIndex) < FFormatEtcArray.size()) {
        elt.push_back(FFormatEtcArray[size_t(FCurrentIndex)]);
        ++FCurrentIndex;
        ++fetched;
    }
    if (pceltFetched)
        *pceltFetched = fetched;
    return fetched == celt ? S_OK : S_FALSE;
}

HRESULT TEnumFormatEtc::Skip(uint32_t celt)
{
    if (size_t(FCurrentIndex) + celt <= FFormatEtcArray.size()) {
        FCurrentIndex += int32_t(celt);
        return S_OK;
    }
    return S_FALSE;
}

HRESULT TEnumFormatEtc::Reset()
{
    FCurrentIndex = 0;
    return S_OK;
}

HRESULT TEnumFormatEtc::Clone(std::unique_ptr<TEnumFormatEtc>& Enum) const
{
    Enum = std::make_unique<TEnumFormatEtc>(FTree, FFormatEtcArray);
    Enum->FCurrentIndex = FCurrentIndex;
    return S_OK;
}

// --- data object --------------------------------------------------------------------------------

namespace {

bool sameFormat(const TFormatEtc& a, const TFormatEtc& b)
{
    return a.cfFormat == b.cfFormat && a.ptd == b.ptd && a.dwAspect == b.dwAspect && a.lindex == b.lindex &&
           (a.tymed & b.tymed) != 0;
}

} // namespace

TLTDataObject::TLTDataObject(TBaseLazyTree* Owner, bool ForClipboard)
    : FOwner(Owner)
    , FForClipboard(ForClipboard)
{
    if (Owner)
        Owner->GetNativeClipboardFormats(FFormatEtcArray);
}

TLTDataObject::~TLTDataObject()
{
    // The clipboard no longer holds the nodes: their marks go (a flush ends the state itself).
    TBaseLazyTree* owner = FOwner.data();
    if (FForClipboard && owner && IsLiveTree(owner) && !owner->IsDestroying() &&
        !owner->TreeStates().contains(tsClipboardFlushing))
        owner->CancelCutOrCopy();
}

int TLTDataObject::FindFormatEtc(const TFormatEtc& FormatEtc) const
{
    for (size_t i = 0; i < FFormatEtcArray.size(); ++i)
        if (sameFormat(FFormatEtcArray[i], FormatEtc))
            return int(i);
    return -1;
}

HRESULT TLTDataObject::QueryGetData(const TFormatEtc& FormatEtc) const
{
    HRESULT result = DV_E_FORMATETC;
    for (const TFormatEtc& f : FFormatEtcArray) {
        if (f.cfFormat != FormatEtc.cfFormat)
            continue;
        if ((f.tymed & FormatEtc.tymed) == 0)
            result = DV_E_TYMED;
        else if (f.dwAspect != FormatEtc.dwAspect)
            result = DV_E_DVASPECT;
        else if (f.lindex != FormatEtc.lindex)
            result = DV_E_LINDEX;
        else
            return S_OK;
    }
    return result;
}

HRESULT TLTDataObject::GetData(const TFormatEtc& FormatEtcIn, TStgMedium& Medium)
{
    Medium = TStgMedium{};
    TBaseLazyTree* owner = FOwner.data();
    if (FormatEtcIn.cfFormat == CF_LTREFERENCE()) {
        if (!owner || owner->TreeStates().contains(tsClipboardFlushing))
            return E_FAIL;
        Medium.tymed = TYMED_HGLOBAL;
        Medium.data = MakeTreeReference(owner);
        return S_OK;
    }
    try {
        const HRESULT query = QueryGetData(FormatEtcIn);
        if (query != S_OK)
            return query;
        if (FindFormatEtc(FormatEtcIn) < 0)
            return DV_E_FORMATETC;
        for (const auto& stored : FInternalStgMediumArray)
            if (stored.first == FormatEtcIn.cfFormat && stored.second.tymed != 0) {
                Medium = stored.second;
                return S_OK;
            }
        if (!owner || owner->IsDestroying())
            return E_FAIL;
        return owner->RenderOLEData(FormatEtcIn, Medium, FForClipboard);
    } catch (...) {
        Medium = TStgMedium{};
        return E_FAIL;
    }
}

HRESULT TLTDataObject::SetData(const TFormatEtc& FormatEtc, const TStgMedium& Medium)
{
    if (FindFormatEtc(FormatEtc) < 0) {
        FFormatEtcArray.push_back(FormatEtc);
        FInternalStgMediumArray.emplace_back(FormatEtc.cfFormat, TStgMedium{});
    }
    for (auto& stored : FInternalStgMediumArray)
        if (stored.first == FormatEtc.cfFormat) {
            stored.second = Medium;
            return S_OK;
        }
    FInternalStgMediumArray.emplace_back(FormatEtc.cfFormat, Medium);
    return S_OK;
}

HRESULT TLTDataObject::EnumFormatEtc(int Direction, std::unique_ptr<TEnumFormatEtc>& Enum) const
{
    Enum.reset();
    if (Direction != DATADIR_GET)
        return OLE_S_USEREG;
    Enum = std::make_unique<TEnumFormatEtc>(FOwner.data(), FFormatEtcArray);
    return S_OK;
}

QMimeData* TLTDataObject::CreateMimeData()
{
    auto* data = new platform::LazyMimeData;
    std::shared_ptr<TLTDataObject> self = shared_from_this();
    data->formatNames = [self]() {
        QStringList names;
        for (const TFormatEtc& f : self->FFormatEtcArray) {
            const QString name = ClipboardFormatName(f.cfFormat);
            if (!name.isEmpty() && !names.contains(name, Qt::CaseInsensitive))
                names << name;
        }
        names << ClipboardFormatName(CF_LTREFERENCE());
        return names;
    };
    data->render = [self](const QString& name) -> std::optional<QByteArray> {
        TFormatEtc request;
        request.cfFormat = RegisterClipboardFormat(name);
        if (name.compare(QLatin1String("Plain text"), Qt::CaseInsensitive) == 0)
            request.cfFormat = CF_TEXT;
        else if (name.compare(QLatin1String("Unicode text"), Qt::CaseInsensitive) == 0)
            request.cfFormat = CF_UNICODETEXT;
        for (const TFormatEtc& f : self->FFormatEtcArray)
            if (f.cfFormat == request.cfFormat) {
                request = f;
                request.tymed = TYMED_HGLOBAL;
                break;
            }
        TStgMedium medium;
        if (self->GetData(request, medium) != S_OK || medium.data.isEmpty())
            return std::nullopt;
        return medium.data;
    };
    return data;
}

// --- drag image ---------------------------------------------------------------------------------

void TLTDragImage::BuildAlphaChannel(const QImage& Source, QImage& Target) const
{
    const int w = Source.width();
    const int h = Source.height();
    const int m = std::max(w, h);
    if (m == 0)
        return;
    const bool keyed = ColorKey != 0x1FFFFFFF;
    const QRgb key = qRgb(int(ColorKey & 0xFF), int((ColorKey >> 8) & 0xFF), int((ColorKey >> 16) & 0xFF));
    for (int y = 0; y < h; ++y) {
        const QRgb* src = reinterpret_cast<const QRgb*>(Source.constScanLine(y));
        QRgb* dst = reinterpret_cast<QRgb*>(Target.scanLine(y));
        for (int x = 0; x < w; ++x) {
            int alpha;
            if (keyed && (src[x] & 0x00FFFFFF) == (key & 0x00FFFFFF)) {
                alpha = 0;
            } else {
                const double dx = double(x - w / 2) / m;
                const double dy = double(y - h / 2) / m;
                alpha = int(std::lround(255.0 * std::exp(-8.0 * std::sqrt(dx * dx + dy * dy))));
            }
            dst[x] = (dst[x] & 0x00FFFFFF) | (QRgb(alpha) << 24);
        }
    }
}

void TLTDragImage::PrepareDrag(const QImage& DragImage, QPoint ImagePosition, QPoint HotSpot)
{
    FLastPosition = HotSpot;
    FImagePosition = ImagePosition;
    QImage image = DragImage.convertToFormat(QImage::Format_ARGB32);
    if (PreBlendBias != 0) {
        // A brightness shift: every colour byte moved by the bias, saturated.
        for (int y = 0; y < image.height(); ++y) {
            QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                auto shift = [&](int v) { return std::clamp(v + PreBlendBias, 0, 255); };
                line[x] = qRgba(shift(qRed(line[x])), shift(qGreen(line[x])), shift(qBlue(line[x])), qAlpha(line[x]));
            }
        }
    }
    QImage faded = image;
    if (Fade || ColorKey != 0x1FFFFFFF)
        BuildAlphaChannel(DragImage.convertToFormat(QImage::Format_ARGB32), faded);
    // The whole image carries the transparency on top of its own alpha.
    for (int y = 0; y < faded.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(faded.scanLine(y));
        for (int x = 0; x < faded.width(); ++x) {
            const int a = (Fade || ColorKey != 0x1FFFFFFF) ? qAlpha(line[x]) * Transparency / 256 : Transparency;
            line[x] = qRgba(qRed(line[x]), qGreen(line[x]), qBlue(line[x]), a);
        }
    }
    FDragImage = faded.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    // The platform's drag shows the picture: there is no own screen image to move.
    FStates = TLTDragImageStates{disInDrag, disPrepared, disSystemSupport};
}

void TLTDragImage::EndDrag()
{
    FStates = {};
    FDragImage = QImage();
}

bool TLTDragImage::Visible() const
{
    return FStates.contains(disInDrag) && FStates.contains(disPrepared) && !FStates.contains(disHidden) &&
           !FStates.contains(disSystemSupport);
}

bool TLTDragImage::WillMove(QPoint P) const
{
    if (!Visible())
        return false;
    switch (MoveRestriction) {
    case dmrHorizontalOnly:
        return P.x() != FLastPosition.x();
    case dmrVerticalOnly:
        return P.y() != FLastPosition.y();
    default:
        return P != FLastPosition;
    }
}

bool TLTDragImage::DragTo(QPoint P, bool ForceRepaint)
{
    const int dx = MoveRestriction == dmrVerticalOnly ? 0 : FLastPosition.x() - P.x();
    const int dy = MoveRestriction == dmrHorizontalOnly ? 0 : FLastPosition.y() - P.y();
    const bool result = dx != 0 || dy != 0 || ForceRepaint;
    if (result) {
        FImagePosition -= QPoint(dx, dy);
        FLastPosition = P;
    }
    return result;
}

// --- drag manager -------------------------------------------------------------------------------

QMimeData* TLTDragManager::ProvideDataObject()
{
    QMimeData* data = nullptr;
    if (FOwner->OnCreateDataObject)
        FOwner->OnCreateDataObject(FOwner, data);
    if (data)
        return data;
    auto object = std::make_shared<TLTDataObject>(FOwner, false);
    return object->CreateMimeData();
}

HRESULT TLTDragManager::DragEnter(const QMimeData* DataObject, TShiftState KeyState, QPoint Pt, unsigned& Effect)
{
    FDataObject = DataObject;
    FIsDropTarget = true;
    FDragSource = FOwner->GetTreeFromDataObject(DataObject);
    return FOwner->DragEnter(KeyState, Pt, Effect);
}

HRESULT TLTDragManager::DragOver(TShiftState KeyState, QPoint Pt, unsigned& Effect)
{
    return FOwner->DragOver(FDragSource.data(), KeyState, dsDragMove, Pt, Effect);
}

HRESULT TLTDragManager::DragLeave()
{
    FOwner->DragLeave();
    FIsDropTarget = false;
    FDragSource = nullptr;
    FDataObject = nullptr;
    return S_OK;
}

HRESULT TLTDragManager::Drop(const QMimeData* DataObject, TShiftState KeyState, QPoint Pt, unsigned& Effect)
{
    const HRESULT result = FOwner->DragDrop(DataObject, KeyState, Pt, Effect);
    FIsDropTarget = false;
    FDataObject = nullptr;
    return result;
}

HRESULT TLTDragManager::QueryContinueDrag(bool EscapePressed, TShiftState KeyState)
{
    const bool left = KeyState.contains(ssLeft);
    const bool right = KeyState.contains(ssRight);
    if (EscapePressed || (left && right))
        return DRAGDROP_S_CANCEL;
    if (left || right)
        return S_OK;
    return DRAGDROP_S_DROP;
}

} // namespace controls
