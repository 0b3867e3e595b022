#include "controls/tree/LazyTreeAccessibility.h"
#include "controls/tree/LazyTree.h"

#include <algorithm>

namespace controls {

TLTAccessibilityFactory& TLTAccessibilityFactory::GetAccessibilityFactory()
{
    static TLTAccessibilityFactory factory;
    return factory;
}

void TLTAccessibilityFactory::RegisterAccessibleProvider(const std::shared_ptr<ILTAccessibleProvider>& Provider)
{
    if (Provider && std::find(FAccessibleProviders.begin(), FAccessibleProviders.end(), Provider) == FAccessibleProviders.end())
        FAccessibleProviders.push_back(Provider);
}

void TLTAccessibilityFactory::UnRegisterAccessibleProvider(const std::shared_ptr<ILTAccessibleProvider>& Provider)
{
    const auto it = std::find(FAccessibleProviders.begin(), FAccessibleProviders.end(), Provider);
    if (it != FAccessibleProviders.end())
        FAccessibleProviders.erase(it);
}

QAccessibleInterface* TLTAccessibilityFactory::CreateIAccessible(TBaseLazyTree* ATree)
{
    if (!ATree)
        return nullptr;
    if (!ATree->Accessible() && !FAccessibleProviders.empty())
        return FAccessibleProviders.front()->CreateIAccessible(ATree);
    if (ATree->AccessibleItem())
        return ATree->AccessibleItem();
    if (FAccessibleProviders.empty())
        return nullptr;
    for (size_t i = FAccessibleProviders.size() - 1; i >= 1; --i)
        if (QAccessibleInterface* result = FAccessibleProviders[i]->CreateIAccessible(ATree))
            return result;
    return FAccessibleProviders.front()->CreateIAccessible(ATree);
}

} // namespace controls
