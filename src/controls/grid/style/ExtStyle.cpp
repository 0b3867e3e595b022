#include "controls/grid/style/ExtStyle.h"

#include "platform/draw/Theme.h"

#include <QCoreApplication>
#include <QEvent>
#include <algorithm>

namespace controls::grid {

namespace {

TThemeNotifier* g_instance = nullptr;

QEvent::Type themeChangeEventType()
{
    static const int type = QEvent::registerEventType();
    return QEvent::Type(type);
}

} // namespace

bool IsComCtl32Version6() { return true; }
bool IsWinXPOrLater() { return true; }
bool IsVistaOrLater() { return true; }

QString GetDefaultFontName() { return IsVistaOrLater() ? QStringLiteral("Segoe UI") : QStringLiteral("Tahoma"); }

int GetOfficeVersion() { return 0; }

int GetXPThemeColor()
{
    // Only a theme name could tell the colour scheme, and the style adapter has none.
    if (!IsWinXPOrLater() || !platform::IsThemeActive() || !IsComCtl32Version6())
        return 0;
    return 0;
}

int ReadOfficeThemeValue(const QString& /*key*/) { return -1; }

TOfficeTheme GetOfficeTheme()
{
    switch (ReadOfficeThemeValue(QStringLiteral("Software\\Microsoft\\Office\\14.0\\Common"))) {
    case -1:
        break;
    case 1:
        return ot2010Blue;
    case 2:
        return ot2010Silver;
    case 3:
        return ot2010Black;
    default:
        return ot2003Blue;
    }
    switch (ReadOfficeThemeValue(QStringLiteral("Software\\Microsoft\\Office\\12.0\\Common"))) {
    case -1:
        break;
    case 1:
        return ot2007Blue;
    case 2:
        return ot2007Silver;
    case 3:
        return ot2007Black;
    default:
        return ot2003Blue;
    }
    switch (GetXPThemeColor()) {
    case 0:
        return ot2003Classic;
    case 2:
        return ot2003Olive;
    case 3:
        return ot2003Silver;
    default:
        return ot2003Blue;
    }
}

void THandleList::DeleteValue(QWidget* w)
{
    const auto it = std::find(m_items.begin(), m_items.end(), w);
    if (it != m_items.end())
        m_items.erase(it);
}

bool THandleList::HasValue(QWidget* w) const { return std::find(m_items.begin(), m_items.end(), w) != m_items.end(); }

TThemeNotifierWindow::TThemeNotifierWindow(QWidget* parent) : QWidget(parent) { hide(); }

void TThemeNotifierWindow::notifyChange() { QCoreApplication::postEvent(this, new QEvent(themeChangeEventType())); }

bool TThemeNotifierWindow::event(QEvent* e)
{
    if (e->type() == themeChangeEventType() && OnOfficeThemeChange)
        OnOfficeThemeChange();
    return QWidget::event(e);
}

TThemeNotifier::TThemeNotifier(QObject* owner) : QObject(owner)
{
    const int version = GetOfficeVersion();
    if (version == 1 || version == 2) {
        auto* parentWidget = qobject_cast<QWidget*>(owner);
        m_notifier = new TThemeNotifierWindow(parentWidget);
        m_notifier->OnOfficeThemeChange = [this] {
            if (OnOfficeThemeChange)
                OnOfficeThemeChange();
        };
        m_watching = true;
    }
}

TThemeNotifier::~TThemeNotifier()
{
    if (g_instance == this)
        g_instance = nullptr;
}

void TThemeNotifier::RegisterWindow(QWidget* window)
{
    if (m_watching && !m_windows.HasValue(window))
        m_windows.Add(window);
}

void TThemeNotifier::UnRegisterWindow(QWidget* window)
{
    if (m_watching)
        m_windows.DeleteValue(window);
}

TThemeNotifier* GetThemeNotifier(QObject* owner)
{
    if (!g_instance)
        g_instance = new TThemeNotifier(owner);
    return g_instance;
}

TThemeNotifier* ThemeNotifierInstance() { return g_instance; }

} // namespace controls::grid
