#pragma once
// What every control of the grid suite shares about visual styles: the style names, colour
// tones, the two interfaces a control offers to take a style or tones, the detection of the
// system's look and of the Office colour scheme, the default font name, and the process-wide
// theme notifier.
//
// Detection on this platform: the parts are drawn by the style adapter (platform/draw/Theme),
// so the version checks answer as a current themed system (IsWinXPOrLater, IsComCtl32Version6
// and IsVistaOrLater true, which makes "Segoe UI" the default font name; where that family is
// not installed the fonts fall back as every font of the program does). There is no registry and no
// Office installation to read: GetOfficeVersion is 0, ReadOfficeThemeValue -1, GetXPThemeColor
// 0, and GetOfficeTheme gives ot2003Classic. The notifier therefore never creates its hidden
// window or a watcher thread, and RegisterWindow does nothing.
#include "platform/draw/Color.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <vector>

namespace controls::grid {

using platform::Color;

enum TVekkoStyle {
    tsOffice2003Blue, tsOffice2003Silver, tsOffice2003Olive, tsOffice2003Classic, tsOffice2007Luna,
    tsOffice2007Obsidian, tsWindowsXP, tsWhidbey, tsCustom, tsOffice2007Silver, tsWindowsVista, tsWindows7,
    tsTerminal, tsOffice2010Blue, tsOffice2010Silver, tsOffice2010Black
};

struct TColorTone {
    Color BrushColor = platform::clNone;
    Color BorderColor = platform::clNone;
    Color TextColor = platform::clNone;
    bool operator==(const TColorTone&) const = default;
};

struct TColorTones {
    TColorTone Background;
    TColorTone Foreground;
    TColorTone Selected;
    TColorTone Hover;
    TColorTone Disabled;
    bool operator==(const TColorTones&) const = default;
};

enum TOfficeTheme {
    ot2003Blue, ot2003Silver, ot2003Olive, ot2003Classic, ot2007Blue, ot2007Silver, ot2007Black, ot2010Blue,
    ot2010Silver, ot2010Black, otUnknown
};

// A control that can take one of the suite's styles.
class IVekkoStyle {
public:
    virtual ~IVekkoStyle() = default;
    virtual void SetComponentStyle(TVekkoStyle style) = 0;
};

// A control that can take colour tones.
class IVekkoTones {
public:
    virtual ~IVekkoTones() = default;
    virtual void SetColorTones(const TColorTones& tones) = 0;
};

bool IsComCtl32Version6();
bool IsWinXPOrLater();
bool IsVistaOrLater();
QString GetDefaultFontName();
int GetOfficeVersion();
int GetXPThemeColor();
int ReadOfficeThemeValue(const QString& key);
TOfficeTheme GetOfficeTheme();

// The message a watched window receives when the Office colour scheme changes.
constexpr int WM_OFFICETHEMECHANGE = 2993;

// Windows told about a change of the colour scheme, each at most once.
class THandleList {
public:
    int Count() const { return int(m_items.size()); }
    QWidget* Items(int index) const { return m_items.at(size_t(index)); }
    void Add(QWidget* w) { m_items.push_back(w); }
    void Insert(int index, QWidget* w) { m_items.insert(m_items.begin() + index, w); }
    void Delete(int index) { m_items.erase(m_items.begin() + index); }
    // Removes the first entry equal to w; nothing when it is absent.
    void DeleteValue(QWidget* w);
    bool HasValue(QWidget* w) const;

private:
    std::vector<QWidget*> m_items;
};

// Hidden window that turns the scheme-change message into an event.
class TThemeNotifierWindow : public QWidget {
public:
    explicit TThemeNotifierWindow(QWidget* parent);
    std::function<void()> OnOfficeThemeChange;
    // Posts the scheme-change message to the window.
    void notifyChange();

protected:
    bool event(QEvent* e) override;
};

// Tells registered windows about a change of the Office colour scheme. There is one per
// process (GetThemeNotifier). Without an Office installation it has neither its hidden window
// nor a watcher, and registrations are ignored.
class TThemeNotifier : public QObject {
public:
    explicit TThemeNotifier(QObject* owner);
    ~TThemeNotifier() override;

    void RegisterWindow(QWidget* window);
    void UnRegisterWindow(QWidget* window);
    bool HasWatcher() const { return m_watching; }
    const THandleList& WindowList() const { return m_windows; }
    std::function<void()> OnOfficeThemeChange;

private:
    QPointer<TThemeNotifierWindow> m_notifier;
    THandleList m_windows;
    bool m_watching = false;
};

// The process-wide notifier, created on the first call with owner as its parent.
TThemeNotifier* GetThemeNotifier(QObject* owner);
// The instance, or nullptr while none exists.
TThemeNotifier* ThemeNotifierInstance();

} // namespace controls::grid
