#pragma once
// An owned, ordered collection of items of one class, as the drop-down family keeps its buttons,
// columns, items and colours: items are made by the collection (Add, Insert), freed with it, and
// report their changes to it, which raises OnChange. Assign copies item by item through the
// item's Assign. An index outside the list raises EListError.
#include "platform/core/Errors.h"
#include "platform/core/Persistent.h"

#include <QString>
#include <functional>
#include <memory>
#include <vector>

namespace controls::grid::dropdown {

class TCollectionItem : public platform::TPersistent {
public:
    // The item's position in its collection.
    int Index() const { return m_index; }

protected:
    // Tells the collection that the item changed.
    void Changed()
    {
        if (m_notify)
            m_notify();
    }

private:
    template <typename T>
    friend class TCollection;
    std::function<void()> m_notify;
    int m_index = -1;
};

template <typename Item>
class TCollection : public platform::TPersistent {
public:
    TCollection() = default;
    TCollection(const TCollection&) = delete;
    TCollection& operator=(const TCollection&) = delete;

    std::function<void()> OnChange;

    int Count() const { return int(m_items.size()); }
    Item* Items(int index) const
    {
        check(index);
        return m_items[size_t(index)].get();
    }
    Item* operator[](int index) const { return Items(index); }
    Item* Add() { return Insert(Count()); }
    Item* Insert(int index)
    {
        if (index < 0 || index > Count())
            throw platform::EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
        m_items.insert(m_items.begin() + index, std::make_unique<Item>());
        hook();
        Changed();
        return m_items[size_t(index)].get();
    }
    void Delete(int index)
    {
        check(index);
        m_items.erase(m_items.begin() + index);
        hook();
        Changed();
    }
    void Clear()
    {
        if (m_items.empty())
            return;
        m_items.clear();
        Changed();
    }
    void Assign(const platform::TPersistent* source) override
    {
        const auto* other = dynamic_cast<const TCollection<Item>*>(source);
        if (!other) {
            platform::TPersistent::Assign(source);
            return;
        }
        if (other == this)
            return;
        m_items.clear();
        for (const auto& item : other->m_items) {
            m_items.push_back(std::make_unique<Item>());
            m_items.back()->Assign(item.get());
        }
        hook();
        Changed();
    }
    void Changed()
    {
        if (OnChange)
            OnChange();
    }

private:
    void check(int index) const
    {
        if (index < 0 || index >= Count())
            throw platform::EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
    }
    void hook()
    {
        for (size_t i = 0; i < m_items.size(); ++i) {
            m_items[i]->m_index = int(i);
            m_items[i]->m_notify = [this] { Changed(); };
        }
    }

    std::vector<std::unique_ptr<Item>> m_items;
};

} // namespace controls::grid::dropdown
