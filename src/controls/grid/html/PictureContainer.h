#pragma once
// Pictures for the mini-HTML renderer.
//
// THTMLPicture keeps the raw bytes of an image file (BMP, ICO, GIF, JPEG, PNG) and shows the
// image decoded from them. For GIF data it shows one frame at a time: frame n is made from the
// bytes before the first frame block and the bytes from the n-th frame block on, and the frame's
// place and size come from that block's image descriptor. A frame block is a graphic control
// extension (21 F9 04 .. .. .. .. ..) followed by an image descriptor (2C) at offset 8. Every
// offset is checked against the data: a short or damaged file gives fewer frames or an empty
// picture, never a read past its end.
//
// Loading:
//   - LoadFromStream / LoadFromData keep the bytes and decode them; data that does not decode
//     raises EInvalidGraphic "Could not load image. Invalid format" (the bytes stay, the picture
//     draws nothing);
//   - LoadFromFile reads a regular file of at most 32 MB; any failure leaves an empty picture
//     and raises nothing;
//   - LoadFromResourceName / LoadFromResourceID read the program's resource ":/rcdata/<name>"
//     (name in any letter case);
//   - LoadFromURL: "RES://name" and "FILE://path" (prefix in any case) load as above and set
//     ID to the URL; any other URL is not fetched: with Asynch off URL and ID take it, with
//     Asynch on URL takes it and Busy goes on (and stays on: there is no download).
// Images above 16 million pixels are refused as invalid.
//
// Animation: Step is one tick of 100 ms (the delays count hundredths of a second); FrameCount
// counts the frames on its first call and caches the count, and Step does nothing before that.
//
// THTMLPictureCache owns the pictures the renderer loaded by URL and finds them by ID (exact
// case); TPictureContainer keeps named pictures and finds them by name in any case.
#include "platform/draw/Canvas.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

namespace controls::grid {

class THTMLPicture {
public:
    using NotifyEvent = std::function<void(THTMLPicture* sender)>;
    using ProgressEvent = std::function<void(THTMLPicture* sender, int position, int total)>;
    using ErrorEvent = std::function<void(THTMLPicture* sender, const QString& error)>;

    THTMLPicture() = default;
    THTMLPicture(const THTMLPicture&) = delete;
    THTMLPicture& operator=(const THTMLPicture&) = delete;

    // nullptr clears the data; another picture's data is copied.
    void Assign(const THTMLPicture* source);
    // Stretched into r, or at r's top-left in its own size.
    void Draw(platform::Canvas& canvas, const platform::Rect& r) const;
    bool Empty() const { return m_isEmpty; }
    // The decoded frame's size (0 without one).
    int Width() const { return m_image.width(); }
    int Height() const { return m_image.height(); }
    const QImage& Image() const { return m_image; }

    void LoadFromFile(const QString& fileName);
    void LoadFromStream(const QByteArray& data);
    // The persistent form: the same bytes, without OnChange.
    void ReadData(const QByteArray& data);
    const QByteArray& SaveToStream() const { return m_data; }
    void LoadFromResourceName(const QString& name);
    void LoadFromResourceID(int id);
    void LoadFromURL(const QString& url);
    // Clipboard formats are not kept.
    void LoadFromClipboardFormat() {}
    void SaveToClipboardFormat() const {}

    // The GIF's logical screen size when it has one, else the picture's size.
    int MaxWidth() const;
    int MaxHeight() const;
    int Frame() const { return m_frame; }
    void SetFrame(int frame);
    void FrameNext();
    void FramePrev();
    bool Step();
    // The delay of frame i (1-based) in hundredths of a second; -1 when there is none.
    int FrameTime(int frame) const;
    int FrameCount();
    bool IsGIF() const;
    int FrameXPos() const { return m_frameXPos; }
    int FrameYPos() const { return m_frameYPos; }

    bool Stretch = false;
    bool IsDB = false;
    bool Asynch = true;
    bool Busy() const { return m_busy; }
    QString URL() const { return m_url; }
    QString ID() const { return m_id; }
    int LogPixX = 96;
    int LogPixY = 96;

    NotifyEvent OnChange;
    NotifyEvent OnFrameChange;
    // Declared for the download that this program does not do; never fired.
    ProgressEvent OnDownLoadProgress;
    NotifyEvent OnDownLoadCancel;
    NotifyEvent OnDownLoadComplete;
    ErrorEvent OnDownLoadError;

private:
    // Offsets of the frame blocks in the data.
    std::vector<int> frameBlocks() const;
    void makePicture();
    void setData(const QByteArray& data);

    QByteArray m_data;
    QImage m_image;
    bool m_isEmpty = true;
    QString m_url;
    QString m_id;
    bool m_busy = false;
    int m_frame = 1;
    int m_frameCount = -1;
    int m_frameXPos = 0;
    int m_frameYPos = 0;
    int m_frameXSize = 0;
    int m_frameYSize = 0;
    int m_animMaxX = 0;
    int m_animMaxY = 0;
    int m_nextCount = -1;
    int m_timerCount = -1;
};

class THTMLPictureCache {
public:
    THTMLPictureCache() = default;
    THTMLPictureCache(const THTMLPictureCache&) = delete;
    THTMLPictureCache& operator=(const THTMLPictureCache&) = delete;

    int Count() const { return int(m_items.size()); }
    THTMLPicture* Items(int index) const { return m_items.at(size_t(index)).get(); }
    THTMLPicture* AddPicture();
    THTMLPicture* FindPicture(const QString& id) const;
    void ClearPictures() { m_items.clear(); }
    // One tick for every picture; true when any showed another frame.
    bool Animate();

private:
    std::vector<std::unique_ptr<THTMLPicture>> m_items;
};

class TPictureItem {
public:
    THTMLPicture& Picture() { return m_picture; }
    const THTMLPicture& Picture() const { return m_picture; }
    // Copies the other picture's data.
    void SetPicture(const THTMLPicture* picture) { m_picture.Assign(picture); }
    QString Name;
    int Tag = 0;

private:
    THTMLPicture m_picture;
};

class TPictureContainer;

class TPictureCollection {
public:
    explicit TPictureCollection(TPictureContainer* owner) : m_owner(owner) {}
    TPictureContainer* Owner() const { return m_owner; }
    int Count() const { return int(m_items.size()); }
    TPictureItem* Items(int index) const { return m_items.at(size_t(index)).get(); }
    TPictureItem* Add();
    TPictureItem* Insert(int index);
    void Delete(int index);
    void Clear() { m_items.clear(); }
    bool Animate();

private:
    TPictureContainer* m_owner;
    std::vector<std::unique_ptr<TPictureItem>> m_items;
};

class TPictureContainer {
public:
    TPictureContainer() : m_items(this) {}
    virtual ~TPictureContainer() = default;
    TPictureContainer(const TPictureContainer&) = delete;
    TPictureContainer& operator=(const TPictureContainer&) = delete;

    TPictureCollection& Items() { return m_items; }
    const TPictureCollection& Items() const { return m_items; }
    // The picture of the first item of that name (any letter case), or nullptr.
    virtual THTMLPicture* FindPicture(const QString& name);

private:
    TPictureCollection m_items;
};

} // namespace controls::grid
