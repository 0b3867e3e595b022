#pragma once
// The registry of accessibility providers. A tree does not implement an accessibility object
// itself: providers register here and are asked for one object for a tree as a whole and one
// for its focused item. The program registers none, so every request yields nothing; the
// registry exists so that a provider can be added without touching the tree.
#include <memory>
#include <vector>

class QAccessibleInterface;

namespace controls {

class TBaseLazyTree;

class ILTAccessibleProvider {
public:
    virtual ~ILTAccessibleProvider() = default;
    // May answer nullptr.
    virtual QAccessibleInterface* CreateIAccessible(TBaseLazyTree* ATree) = 0;
};

class TLTAccessibilityFactory {
public:
    // The process-wide registry, made on first use.
    static TLTAccessibilityFactory& GetAccessibilityFactory();

    // Appends the provider unless it is registered already.
    void RegisterAccessibleProvider(const std::shared_ptr<ILTAccessibleProvider>& Provider);
    // Removes it when it is registered.
    void UnRegisterAccessibleProvider(const std::shared_ptr<ILTAccessibleProvider>& Provider);
    int ProviderCount() const { return int(FAccessibleProviders.size()); }

    // The first registered provider makes the object of the tree; the others, asked from the
    // last registered down, make the object of its item, with the first provider's answer as
    // the fallback.
    QAccessibleInterface* CreateIAccessible(TBaseLazyTree* ATree);

private:
    std::vector<std::shared_ptr<ILTAccessibleProvider>> FAccessibleProviders;
};

} // namespace controls
