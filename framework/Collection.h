// A collection: an owned, ordered list of items of one item class, each with
// published properties of its own, stored as one value (code 14).
#pragma once

#include <memory>
#include <vector>

#include "framework/Component.h"

class TCollection;

class TCollectionItem : public TPersistent {
    DECLARE_CLASS_INFO(TCollectionItem)
public:
    explicit TCollectionItem(TCollection* collection) : m_collection(collection) {}
    TCollection* Collection() const { return m_collection; }
    int Index() const;

private:
    TCollection* m_collection;  // not owned: the collection owns its items
};

class TCollection : public TPersistent {
    DECLARE_CLASS_INFO(TCollection)
public:
    using ItemFactory = std::unique_ptr<TCollectionItem> (*)(TCollection*);
    explicit TCollection(ItemFactory factory) : m_factory(factory) {}

    TCollectionItem* Add();
    int Count() const { return static_cast<int>(m_items.size()); }
    TCollectionItem* Items(int index) const { return m_items.at(static_cast<size_t>(index)).get(); }
    void Clear() { m_items.clear(); }
    int IndexOf(const TCollectionItem* item) const;

    // Updates are suspended while a reader fills the collection.
    void BeginUpdate() { ++m_updateCount; }
    void EndUpdate()
    {
        if (m_updateCount > 0 && --m_updateCount == 0)
            Changed();
    }
    int UpdateCount() const { return m_updateCount; }

protected:
    virtual void Changed() {}

private:
    ItemFactory m_factory;
    std::vector<std::unique_ptr<TCollectionItem>> m_items;
    int m_updateCount = 0;
};
