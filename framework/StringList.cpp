// Lists of strings: what every list offers, its storage as a defined value in
// a form, and the list kept in memory.
#include "framework/StringList.h"

#include "framework/Filer.h"
#include "framework/Reader.h"
#include "framework/Writer.h"

const TClassInfo& TStrings::StaticClassInfo()
{
    static const TClassInfo info = ClassInfoBuilder<TStrings, TPersistent>("TStrings").Build();
    return info;
}

void TStrings::IndexError()
{
    throw EStringListError(StrId::SListIndexError);
}

void TStrings::Put(int index, const std::string& text)
{
    TObject* object = Objects(index);
    Delete(index);
    Insert(index, text);
    SetObject(index, object);
}

TObject* TStrings::Objects(int) const
{
    return nullptr;
}

void TStrings::SetObject(int, TObject*) {}

int TStrings::Add(const std::string& text)
{
    const int index = Count();
    Insert(index, text);
    return index;
}

int TStrings::AddObject(const std::string& text, TObject* object)
{
    const int index = Add(text);
    SetObject(index, object);
    return index;
}

int TStrings::IndexOf(std::string_view text) const
{
    for (int i = 0; i < Count(); ++i)
        if (SameName(Get(i), text))
            return i;
    return -1;
}

void TStrings::Assign(const TStrings& other)
{
    if (&other == this)
        return;
    BeginUpdate();
    Clear();
    for (int i = 0; i < other.Count(); ++i)
        AddObject(other.Get(i), other.Objects(i));
    EndUpdate();
}

std::string TStrings::Text() const
{
    std::string text;
    for (int i = 0; i < Count(); ++i) {
        text += Get(i);
        text += "\r\n";
    }
    return text;
}

void TStrings::BeginUpdate()
{
    if (m_updateCount++ == 0)
        SetUpdateState(true);
}

void TStrings::EndUpdate()
{
    if (m_updateCount > 0 && --m_updateCount == 0) {
        SetUpdateState(false);
        Changed();
    }
}

void TStrings::Changed()
{
    if (m_updateCount == 0 && OnChange)
        OnChange();
}

void TStrings::DefineProperties(TFiler& filer)
{
    filer.DefineProperty(
        "Strings",
        [this](TReader& reader) {
            reader.ReadListBegin();
            BeginUpdate();
            Clear();
            while (!reader.EndOfList())
                Add(reader.ReadString());
            EndUpdate();
            reader.ReadListEnd();
        },
        [this](TWriter& writer) {
            writer.WriteListBegin();
            for (int i = 0; i < Count(); ++i)
                writer.WriteString(Get(i));
            writer.WriteListEnd();
        },
        Count() > 0);
}

const TClassInfo& TStringList::StaticClassInfo()
{
    static const TClassInfo info = ClassInfoBuilder<TStringList, TStrings>("TStringList").Build();
    return info;
}

void TStringList::Check(int index) const
{
    if (index < 0 || index >= Count())
        IndexError();
}

std::string TStringList::Get(int index) const
{
    Check(index);
    return m_items[static_cast<size_t>(index)].Text;
}

void TStringList::Put(int index, const std::string& text)
{
    Check(index);
    m_items[static_cast<size_t>(index)].Text = text;
    Changed();
}

TObject* TStringList::Objects(int index) const
{
    Check(index);
    return m_items[static_cast<size_t>(index)].Object;
}

void TStringList::SetObject(int index, TObject* object)
{
    Check(index);
    m_items[static_cast<size_t>(index)].Object = object;
    Changed();
}

void TStringList::Insert(int index, const std::string& text)
{
    if (index < 0 || index > Count())
        IndexError();
    m_items.insert(m_items.begin() + index, Item{text, nullptr});
    Changed();
}

void TStringList::Delete(int index)
{
    Check(index);
    m_items.erase(m_items.begin() + index);
    Changed();
}

void TStringList::Clear()
{
    if (m_items.empty())
        return;
    m_items.clear();
    Changed();
}
