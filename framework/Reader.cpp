// The component stream reader: the registry of classes it may create, buffered
// reading of values, components and properties, defined values, and the
// resolving of references once the whole stream is read.
#include "framework/Reader.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <utility>

#include "framework/Collection.h"
#include "framework/Component.h"
#include "runtime/ScopeGuard.h"
#include "runtime/Stream.h"

static_assert(std::numeric_limits<long double>::digits == 64, "floats are stored as 80-bit extended values");

namespace {

constexpr size_t BufferSize = 4096;
// Lists, sets and component records nest; a stream nested deeper than any
// form could be is refused instead of exhausting the stack.
constexpr int MaxNesting = 256;
// Collection items are added up to the stored index; an index this far
// beyond the items there are is not a real stream's. The gap is kept small
// because every item record may open one: a few bytes of stream must not
// add more than a few thousand items.
constexpr int32_t MaxCollectionGap = 1024;

TReader::FindGlobalComponentProc g_findGlobal = nullptr;
std::vector<const TClassInfo*> g_registered;
std::vector<TPropFixup> g_globalFixups;
std::vector<TComponent*>* g_globalLoading = nullptr;  // the loading list of the form being read, if any

[[noreturn]] void InvalidValue()
{
    throw EReadError(StrId::SInvalidPropertyValue);
}

bool IsIntegerCode(TValueType t)
{
    return t == vaInt8 || t == vaInt16 || t == vaInt32;
}

// Assigns a component to a class property, if it is of the class the
// property holds; anything else leaves the property empty.
void AssignReference(TObject* instance, const TPropInfo& prop, TComponent* component)
{
    if (component && prop.PropClass && !component->InheritsFrom(*prop.PropClass()))
        component = nullptr;
    prop.SetObj(instance, component);
}

class NestingGuard {
public:
    explicit NestingGuard(int& depth) : m_depth(depth)
    {
        if (++m_depth > MaxNesting) {
            --m_depth;
            throw EReadError(StrId::SInvalidImage);
        }
    }
    ~NestingGuard() { --m_depth; }
    NestingGuard(const NestingGuard&) = delete;
    NestingGuard& operator=(const NestingGuard&) = delete;

private:
    int& m_depth;
};

thread_local int t_nesting = 0;

} // namespace

// ---------------------------------------------------------------------------
// Global state

TReader::FindGlobalComponentProc TReader::SetFindGlobalComponent(FindGlobalComponentProc proc)
{
    return std::exchange(g_findGlobal, proc);
}

TComponent* TReader::FindGlobalComponent(std::string_view name)
{
    return g_findGlobal ? g_findGlobal(name) : nullptr;
}

void TReader::RegisterClass(const TClassInfo& info)
{
    if (const TClassInfo* existing = FindRegisteredClass(info.Name)) {
        if (existing == &info)
            return;
        throw EFilerError(StrId::SDuplicateClass, {info.Name});
    }
    g_registered.push_back(&info);
}

void TReader::UnregisterClass(const TClassInfo& info)
{
    g_registered.erase(std::remove(g_registered.begin(), g_registered.end(), &info), g_registered.end());
}

const TClassInfo* TReader::FindRegisteredClass(std::string_view name)
{
    for (const TClassInfo* info : g_registered)
        if (SameName(info->Name, name))
            return info;
    return nullptr;
}

std::string TReader::MakeUniqueName(std::string_view name)
{
    if (!FindGlobalComponent(name))
        return std::string(name);
    for (int i = 1;; ++i) {
        std::string candidate = Format("%s_%d", {name, i});
        if (!FindGlobalComponent(candidate))
            return candidate;
    }
}

size_t TReader::PendingGlobalFixups()
{
    return g_globalFixups.size();
}

void TReader::RemoveFixups(TComponent* root)
{
    std::erase_if(g_globalFixups,
                  [root](const TPropFixup& f) { return f.InstanceRoot == root || f.Instance == root; });
}

class TReader::LoadingScope {
public:
    explicit LoadingScope(std::vector<TComponent*>& list) : m_saved(g_globalLoading) { g_globalLoading = &list; }
    ~LoadingScope() { g_globalLoading = m_saved; }
    LoadingScope(const LoadingScope&) = delete;
    LoadingScope& operator=(const LoadingScope&) = delete;

private:
    std::vector<TComponent*>* m_saved;
};

bool TReader::ReadWithGlobalLoading(const std::function<bool()>& readStreams)
{
    std::vector<TComponent*> loaded;
    LoadingScope scope(loaded);
    const bool result = readStreams();
    for (TComponent* component : loaded)
        component->Loaded();
    return result;
}

void TReader::ResolveGlobalFixups()
{
    std::vector<TComponent*> touched;
    for (auto it = g_globalFixups.begin(); it != g_globalFixups.end();) {
        TComponent* root = FindGlobalComponent(it->RootName);
        if (root) {
            AssignReference(it->Instance, *it->Prop, root->FindComponent(it->Name));
        } else if (!it->Prop->GetObj(it->Instance)) {
            ++it;
            continue;  // the root may be read later
        }
        if (auto* component = dynamic_cast<TComponent*>(it->Instance))
            touched.push_back(component);
        it = g_globalFixups.erase(it);
    }
    for (TComponent* component : touched) {
        const bool pending = std::any_of(g_globalFixups.begin(), g_globalFixups.end(),
                                         [component](const TPropFixup& f) { return f.Instance == component; });
        if (!pending)
            component->SetFixups(false);
    }
}

// ---------------------------------------------------------------------------
// Buffered reading

TReader::TReader(TStream& stream) : m_stream(stream), m_buffer(BufferSize) {}

TReader::~TReader()
{
    // Leave the stream just behind what was read.
    if (m_bufEnd > m_bufPos)
        m_stream.Seek(-static_cast<int64_t>(m_bufEnd - m_bufPos), SeekOrigin::Current);
}

void TReader::ReadBuffer()
{
    const int64_t got = m_stream.Read(m_buffer.data(), static_cast<int64_t>(m_buffer.size()));
    if (got <= 0)
        throw EReadError(StrId::SReadError);
    m_bufPos = 0;
    m_bufEnd = static_cast<size_t>(got);
}

void TReader::Read(void* buffer, size_t count)
{
    auto* out = static_cast<uint8_t*>(buffer);
    while (count > 0) {
        if (m_bufPos == m_bufEnd)
            ReadBuffer();
        const size_t n = std::min(count, m_bufEnd - m_bufPos);
        std::memcpy(out, m_buffer.data() + m_bufPos, n);
        m_bufPos += n;
        out += n;
        count -= n;
    }
}

void TReader::SkipBytes(size_t count)
{
    while (count > 0) {
        if (m_bufPos == m_bufEnd)
            ReadBuffer();
        const size_t n = std::min(count, m_bufEnd - m_bufPos);
        m_bufPos += n;
        count -= n;
    }
}

// ---------------------------------------------------------------------------
// Values

TValueType TReader::ReadValue()
{
    uint8_t byte;
    Read(&byte, 1);
    return static_cast<TValueType>(byte);
}

TValueType TReader::NextValue()
{
    const TValueType type = ReadValue();
    --m_bufPos;  // the byte just read is still in the buffer
    return type;
}

bool TReader::EndOfList()
{
    return NextValue() == vaNull;
}

void TReader::ReadListBegin()
{
    if (ReadValue() != vaList)
        InvalidValue();
}

void TReader::ReadListEnd()
{
    if (ReadValue() != vaNull)
        InvalidValue();
}

std::string TReader::ReadStr()
{
    uint8_t length;
    Read(&length, 1);
    std::string text(length, '\0');
    Read(text.data(), length);
    return text;
}

void TReader::ReadSignature()
{
    char signature[4];
    Read(signature, 4);
    if (std::memcmp(signature, FilerSignature, 4) != 0)
        throw EReadError(StrId::SInvalidImage);
}

void TReader::ReadPrefix(uint8_t& flags, int& childPos)
{
    flags = 0;
    childPos = 0;
    uint8_t byte;
    Read(&byte, 1);
    if (byte < 0xF0) {
        --m_bufPos;
        return;
    }
    flags = byte & 0x0F;
    if (flags & ffChildPos)
        childPos = ReadInteger();
}

int32_t TReader::ReadInteger()
{
    switch (ReadValue()) {
    case vaInt8: {
        int8_t v;
        Read(&v, 1);
        return v;
    }
    case vaInt16: {
        uint8_t b[2];
        Read(b, 2);
        return static_cast<int16_t>(b[0] | b[1] << 8);
    }
    case vaInt32: {
        uint8_t b[4];
        Read(b, 4);
        return static_cast<int32_t>(static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 |
                                    static_cast<uint32_t>(b[2]) << 16 | static_cast<uint32_t>(b[3]) << 24);
    }
    default:
        InvalidValue();
    }
}

long double TReader::ReadFloat()
{
    if (NextValue() != vaExtended)
        return ReadInteger();
    ReadValue();
    long double value = 0;
    uint8_t bytes[sizeof(long double)] = {};
    Read(bytes, 10);
    std::memcpy(&value, bytes, sizeof value);
    return value;
}

std::string TReader::ReadString()
{
    switch (ReadValue()) {
    case vaString:
        return ReadStr();
    case vaLString: {
        uint8_t b[4];
        Read(b, 4);
        const int32_t length = static_cast<int32_t>(b[0] | b[1] << 8 | b[2] << 16 | static_cast<uint32_t>(b[3]) << 24);
        if (length < 0)
            InvalidValue();
        // Read in pieces, so that a damaged length fails at the end of the
        // data instead of asking for gigabytes first.
        std::string text;
        char piece[BufferSize];
        for (size_t left = static_cast<size_t>(length); left > 0;) {
            const size_t n = std::min(left, sizeof piece);
            Read(piece, n);
            text.append(piece, n);
            left -= n;
        }
        return text;
    }
    default:
        InvalidValue();
    }
}

std::string TReader::ReadIdent()
{
    switch (ReadValue()) {
    case vaIdent:
        return ReadStr();
    case vaFalse:
        return "False";
    case vaTrue:
        return "True";
    case vaNil:
        return "nil";
    default:
        InvalidValue();
    }
}

bool TReader::ReadBoolean()
{
    return ReadValue() == vaTrue;
}

char TReader::ReadChar()
{
    if (NextValue() != vaString) {
        SkipValue();
        InvalidValue();
    }
    ReadValue();
    const std::string text = ReadStr();
    if (text.size() != 1)
        InvalidValue();
    return text[0];
}

void TReader::SkipSetBody()
{
    while (!ReadStr().empty()) {
    }
}

void TReader::SkipProperty()
{
    ReadStr();
    SkipValue();
}

void TReader::SkipValue()
{
    NestingGuard guard(t_nesting);
    switch (ReadValue()) {
    case vaNull:
    case vaFalse:
    case vaTrue:
    case vaNil:
        return;
    case vaList:
        while (!EndOfList())
            SkipValue();
        ReadListEnd();
        return;
    case vaInt8:
        SkipBytes(1);
        return;
    case vaInt16:
        SkipBytes(2);
        return;
    case vaInt32:
        SkipBytes(4);
        return;
    case vaExtended:
        SkipBytes(10);
        return;
    case vaString:
    case vaIdent:
        ReadStr();
        return;
    case vaBinary:
    case vaLString: {
        uint8_t b[4];
        Read(b, 4);
        SkipBytes(static_cast<uint32_t>(b[0] | b[1] << 8 | b[2] << 16 | static_cast<uint32_t>(b[3]) << 24));
        return;
    }
    case vaSet:
        SkipSetBody();
        return;
    case vaCollection:
        SkipCollectionItems();
        return;
    default:
        InvalidValue();
    }
}

// The items of a collection value (after its type byte) and its end marker.
void TReader::SkipCollectionItems()
{
    while (!EndOfList()) {
        if (IsIntegerCode(NextValue()))
            SkipValue();
        ReadListBegin();
        while (!EndOfList())
            SkipProperty();
        ReadListEnd();
    }
    ReadListEnd();
}

void TReader::SkipComponent(bool skipHeader)
{
    NestingGuard guard(t_nesting);
    if (skipHeader) {
        uint8_t flags;
        int childPos;
        ReadPrefix(flags, childPos);
        ReadStr();
        ReadStr();
    }
    while (!EndOfList())
        SkipProperty();
    ReadListEnd();
    while (!EndOfList())
        SkipComponent(true);
    ReadListEnd();
}

// ---------------------------------------------------------------------------
// Components

TComponent* TReader::ReadRootComponent(TComponent* root)
{
    ReadSignature();
    uint8_t flags;
    int childPos;
    ReadPrefix(flags, childPos);

    // A root made here is freed again if its reading fails; the caller's
    // root stays the caller's.
    ComponentPtr<TComponent> created;
    if (root) {
        ReadStr();  // the stored class name: the instance's own class decides
        root->SetName(MakeUniqueName(ReadStr()));
    } else {
        const std::string className = ReadStr();
        const TClassInfo* info = FindRegisteredClass(className);
        if (!info || !info->Create)
            throw EClassNotFound(StrId::SClassNotFound, {className});
        created.reset(info->Create(nullptr));
        root = created.get();
        root->SetName(ReadStr());
    }

    std::vector<TComponent*> ownList;
    const bool ownLoading = g_globalLoading == nullptr;
    const size_t loadingMark = ownLoading ? 0 : g_globalLoading->size();
    try {
        m_root = root;
        m_owner = root;
        m_loaded = ownLoading ? &ownList : g_globalLoading;
        AddLoaded(root);
        root->SetLoading(true);
        root->SetReading(true);
        root->ReadState(*this);
        root->SetReading(false);
        if (ownLoading) {
            for (TComponent* component : ownList)
                component->Loaded();
        }
        m_loaded = nullptr;
        ResolveGlobalFixups();
    } catch (...) {
        m_loaded = nullptr;
        RemoveFixups(root);
        // What this stream added to the form's loading list is gone with it.
        if (!ownLoading)
            g_globalLoading->resize(loadingMark);
        throw;
    }
    created.release();
    return root;
}

const TClassInfo& TReader::FindComponentClass(std::string_view className) const
{
    const TClassInfo* info = m_root ? m_root->ClassInfo().FindFieldClass(className) : nullptr;
    if (!info)
        info = FindRegisteredClass(className);
    if (!info || !info->Create)
        throw EClassNotFound(StrId::SClassNotFound, {className});
    return *info;
}

TComponent* TReader::ReadComponent(TComponent*)
{
    NestingGuard guard(t_nesting);
    uint8_t flags;
    int childPos;
    ReadPrefix(flags, childPos);
    const std::string className = ReadStr();
    const std::string name = ReadStr();

    // A component made here is freed again if its reading fails; an
    // inherited one belongs to the root.
    ComponentPtr<TComponent> created;
    TComponent* result = nullptr;
    try {
        if (flags & ffInherited) {
            result = m_root ? m_root->FindComponent(name) : nullptr;
            if (!result)
                throw EReadError(StrId::SAncestorNotFound, {name});
        } else {
            const TClassInfo& info = FindComponentClass(className);
            created.reset(info.Create(m_owner));
            result = created.get();
            result->SetLoading(true);
            result->SetParentComponent(m_parent);
            result->SetName(name);
        }
    } catch (...) {
        // The rest of the record belongs to the component that failed.
        SkipComponent(false);
        throw;
    }

    result->SetReading(true);
    result->ReadState(*this);
    result->SetReading(false);
    if ((flags & ffChildPos) && m_parent)
        m_parent->SetChildOrder(result, childPos);
    AddLoaded(result);
    created.release();
    return result;
}

void TReader::AddLoaded(TComponent* component)
{
    // A later stream of the same form reads the root and inherited
    // components again; each is loaded once all the same.
    if (m_loaded && std::find(m_loaded->begin(), m_loaded->end(), component) == m_loaded->end())
        m_loaded->push_back(component);
}

void TReader::ReadData(TComponent* instance)
{
    // The outermost read of a stream keeps the local fix-ups, which are
    // resolved once the root's whole record is read.
    std::vector<TPropFixup> localFixups;
    const bool outermost = m_fixups == nullptr;
    if (outermost)
        m_fixups = &localFixups;
    const ScopeExit reset([this, outermost] {
        if (outermost)
            m_fixups = nullptr;
    });

    while (!EndOfList())
        ReadProperty(instance);
    ReadListEnd();

    const ScopeExit restore([this, parent = m_parent, owner = m_owner] {
        m_parent = parent;
        m_owner = owner;
    });
    m_parent = instance->GetChildParent();
    if (TComponent* owner = instance->GetChildOwner())
        m_owner = owner;
    while (!EndOfList())
        ReadComponent(nullptr);
    ReadListEnd();

    if (outermost)
        FixupReferences();
}

void TReader::FixupReferences()
{
    for (const TPropFixup& fixup : *m_fixups)
        AssignReference(fixup.Instance, *fixup.Prop, m_root ? m_root->FindComponent(fixup.Name) : nullptr);
    m_fixups->clear();
}

void TReader::PropertyError(StrId id)
{
    SkipValue();
    throw EReadError(id);
}

void TReader::ReadProperty(TPersistent* instance)
{
    const std::string path = ReadStr();
    try {
        m_canHandleExcepts = true;
        TObject* object = instance;
        std::string_view rest = path;
        for (size_t dot = rest.find('.'); dot != std::string_view::npos; dot = rest.find('.')) {
            const TPropInfo* prop = object->ClassInfo().FindProperty(rest.substr(0, dot));
            if (!prop)
                PropertyError(StrId::SUnknownProperty);
            TObject* next = prop->Kind == TTypeKind::Class ? prop->GetObj(object) : nullptr;
            if (!dynamic_cast<TPersistent*>(next))
                PropertyError(StrId::SInvalidPropertyPath);
            object = next;
            rest.remove_prefix(dot + 1);
        }
        m_propName = rest;
        if (const TPropInfo* prop = object->ClassInfo().FindProperty(rest)) {
            ReadPropValue(static_cast<TPersistent*>(object), *prop);
        } else if (rest.empty()) {
            // No value is defined under an empty name; an empty m_propName
            // below would mean that a definition read it.
            PropertyError(StrId::SUnknownProperty);
        } else {
            m_canHandleExcepts = false;
            static_cast<TPersistent*>(object)->DefineProperties(*this);
            m_canHandleExcepts = true;
            if (!m_propName.empty())
                PropertyError(StrId::SUnknownProperty);
        }
        m_propName.clear();
    } catch (const std::exception& e) {
        // Whatever a setter raises, a failed allocation included.
        m_propName.clear();
        const auto* component = dynamic_cast<const TComponent*>(instance);
        const std::string name =
            component && !component->Name().empty() ? component->Name() : std::string(instance->ClassName());
        throw EReadError(StrId::SPropertyException, {name, path, e.what()});
    }
}

void TReader::DefineProperty(std::string_view name, const ReaderProc& readData, const WriterProc&, bool)
{
    if (m_propName.empty() || !readData || !SameName(name, m_propName))
        return;
    readData(*this);
    m_propName.clear();
}

void TReader::DefineBinaryProperty(std::string_view name, const StreamProc& readData, const StreamProc&, bool)
{
    if (m_propName.empty() || !readData || !SameName(name, m_propName))
        return;
    if (NextValue() != vaBinary)
        PropertyError(StrId::SInvalidPropertyValue);
    ReadValue();
    uint8_t b[4];
    Read(b, 4);
    const uint32_t size = static_cast<uint32_t>(b[0] | b[1] << 8 | b[2] << 16 | static_cast<uint32_t>(b[3]) << 24);
    if (size > static_cast<uint32_t>(std::numeric_limits<int32_t>::max()))
        InvalidValue();
    // The value is copied once, into a memory stream of exactly its size;
    // it is read in pieces so that a damaged length fails at the end of the
    // data before much is allocated.
    std::vector<uint8_t> data;
    for (uint32_t done = 0; done < size;) {
        const uint32_t n = std::min<uint32_t>(size - done, 1u << 20);
        data.resize(done + n);
        Read(data.data() + done, n);
        done += n;
    }
    TMemoryStream stream(std::move(data));
    readData(stream);
    m_propName.clear();
}

void TReader::ReadPropValue(TPersistent* instance, const TPropInfo& prop)
{
    if (prop.IsReadOnly())
        throw EReadError(StrId::SReadOnlyProperty);
    switch (prop.Kind) {
    case TTypeKind::Integer:
        if (NextValue() == vaIdent) {
            const std::string ident = ReadIdent();
            int32_t value;
            if (!prop.IntType || !prop.IntType->IdentToInt(ident, value))
                InvalidValue();
            prop.SetOrd(instance, value);
        } else {
            prop.SetOrd(instance, ReadInteger());
        }
        return;
    case TTypeKind::Char:
        prop.SetOrd(instance, ReadChar());
        return;
    case TTypeKind::Enumeration: {
        const int value = prop.EnumType->ValueOf(ReadIdent());
        if (value < 0)
            InvalidValue();
        prop.SetOrd(instance, value);
        return;
    }
    case TTypeKind::Float:
        prop.SetFloat(instance, ReadFloat());
        return;
    case TTypeKind::String:
        prop.SetStr(instance, ReadString());
        return;
    case TTypeKind::Set:
        ReadSetValue(instance, prop);
        return;
    case TTypeKind::Class:
        switch (NextValue()) {
        case vaNil:
            ReadValue();
            prop.SetObj(instance, nullptr);
            return;
        case vaCollection:
            ReadValue();
            ReadCollection(prop.GetObj(instance));
            return;
        case vaIdent: {
            const std::string ident = ReadIdent();
            const size_t dot = ident.find('.');
            TComponent* root = m_root;
            if (dot == std::string::npos) {
                if (m_fixups)
                    m_fixups->push_back(TPropFixup{instance, root, &prop, std::string(), ident});
                else
                    AssignReference(instance, prop, root ? root->FindComponent(ident) : nullptr);
            } else {
                g_globalFixups.push_back(TPropFixup{instance, root, &prop, ident.substr(0, dot), ident.substr(dot + 1)});
                if (auto* component = dynamic_cast<TComponent*>(instance))
                    component->SetFixups(true);
            }
            return;
        }
        default:
            SkipValue();
            InvalidValue();
        }
        return;
    case TTypeKind::Method: {
        if (NextValue() == vaNil) {
            ReadValue();
            prop.SetMethod(instance, TMethod{});
            return;
        }
        const std::string ident = ReadIdent();
        const TMethodInfo* method = m_root ? m_root->ClassInfo().FindMethod(ident) : nullptr;
        if (!method || method->Signature != prop.EventType)
            InvalidValue();
        prop.SetMethod(instance, TMethod{m_root, method});
        return;
    }
    }
}

void TReader::ReadSetValue(TObject* instance, const TPropInfo& prop)
{
    if (NextValue() != vaSet) {
        SkipValue();
        InvalidValue();
    }
    ReadValue();
    uint32_t bits = 0;
    for (std::string name = ReadStr(); !name.empty(); name = ReadStr()) {
        const int value = prop.EnumType->ValueOf(name);
        if (value < 0) {
            SkipSetBody();
            InvalidValue();
        }
        if (value < 32)  // a set holds 32 elements; later ones are dropped
            bits |= 1u << value;
    }
    prop.SetOrd(instance, bits);
}

void TReader::ReadCollection(TObject* object)
{
    auto* collection = dynamic_cast<TCollection*>(object);
    if (!collection) {
        // Not a collection: the items have nowhere to go.
        SkipCollectionItems();
        InvalidValue();
    }
    collection->BeginUpdate();
    const ScopeExit endUpdate([collection] { collection->EndUpdate(); });
    int32_t index = 0;
    while (!EndOfList()) {
        if (IsIntegerCode(NextValue()))
            index = ReadInteger();
        if (index < 0 || index - collection->Count() > MaxCollectionGap)
            InvalidValue();
        while (collection->Count() <= index)
            collection->Add();
        ReadListBegin();
        TCollectionItem* item = collection->Items(index);
        while (!EndOfList())
            ReadProperty(item);
        ReadListEnd();
        ++index;
    }
    ReadListEnd();
}
