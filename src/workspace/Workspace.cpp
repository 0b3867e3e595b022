#include "workspace/Workspace.h"

namespace workspace {

namespace {
Workspace& programWorkspace()
{
    static Workspace w;
    return w;
}
Workspace* g_current = nullptr;
} // namespace

Workspace& ws() { return g_current ? *g_current : programWorkspace(); }

QString text(int index)
{
    const QStringList& t = ws().Lang_Texts;
    if (index < 0 || index >= t.size())
        return {};
    return t[index];
}

ScopedWorkspace::ScopedWorkspace(int32_t converterType) : previous_(g_current)
{
    own_.Converter_Type = converterType;
    g_current = &own_;
}

ScopedWorkspace::~ScopedWorkspace() { g_current = previous_; }

} // namespace workspace
