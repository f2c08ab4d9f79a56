// Collections and their items: the class information of both, adding an item,
// and an item's place in its collection.
#include "framework/Collection.h"

const TClassInfo& TCollectionItem::StaticClassInfo()
{
    static const TClassInfo info = ClassInfoBuilder<TCollectionItem, TPersistent>("TCollectionItem").Build();
    return info;
}

int TCollectionItem::Index() const
{
    return m_collection ? m_collection->IndexOf(this) : -1;
}

const TClassInfo& TCollection::StaticClassInfo()
{
    static const TClassInfo info = ClassInfoBuilder<TCollection, TPersistent>("TCollection").Build();
    return info;
}

TCollectionItem* TCollection::Add()
{
    m_items.push_back(m_factory(this));
    if (m_updateCount == 0)
        Changed();
    return m_items.back().get();
}

int TCollection::IndexOf(const TCollectionItem* item) const
{
    for (size_t i = 0; i < m_items.size(); ++i)
        if (m_items[i].get() == item)
            return static_cast<int>(i);
    return -1;
}
