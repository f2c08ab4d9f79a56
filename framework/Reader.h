// Reads component streams into components: creates the components a stream
// describes, names them (which fills the root's published fields), sets their
// published properties by name, binds events to the root's published methods
// and resolves references between components once the stream is read.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "framework/Filer.h"
#include "runtime/ResStrings.h"

class TObject;
class TPersistent;
class TComponent;
struct TClassInfo;
struct TPropInfo;

// A reference to a component that can be assigned only once the component
// it names exists.
struct TPropFixup {
    TPersistent* Instance;      // whose property is set
    TComponent* InstanceRoot;   // the root the instance belongs to
    const TPropInfo* Prop;
    std::string RootName;       // empty for a reference within the same root
    std::string Name;           // the referenced component
};

class TReader : public TFiler {
public:
    // The stream is read from its current position; when the reader is freed
    // the stream is moved back to just behind what was read.
    explicit TReader(TStream& stream);
    ~TReader() override;

    // Whole components
    // Reads a stream into root; with none given, the stream's class is created.
    TComponent* ReadRootComponent(TComponent* root);
    TComponent* ReadComponent(TComponent* component);
    void ReadData(TComponent* instance);
    void ReadProperty(TPersistent* instance);

    // Typed values
    TValueType ReadValue();
    TValueType NextValue();
    int32_t ReadInteger();
    long double ReadFloat();
    std::string ReadString();
    std::string ReadIdent();
    bool ReadBoolean();
    char ReadChar();
    void ReadListBegin();
    void ReadListEnd();
    bool EndOfList();
    // A short string (length byte, characters): names and paths.
    std::string ReadStr();
    void ReadSignature();
    void ReadPrefix(uint8_t& flags, int& childPos);
    void Read(void* buffer, size_t count);
    // Consumes exactly one value of any type.
    void SkipValue();
    void SkipComponent(bool skipHeader);

    // TFiler
    void DefineProperty(std::string_view name, const ReaderProc& readData, const WriterProc& writeData,
                        bool hasData) override;
    void DefineBinaryProperty(std::string_view name, const StreamProc& readData, const StreamProc& writeData,
                              bool hasData) override;

    // Global state shared by every reader of the program

    // Finds a root (a form) of the program by name, ignoring ASCII case. The
    // form layer installs it; without one, no global name is known. Returns
    // the one installed before, so that it can be put back.
    using FindGlobalComponentProc = TComponent* (*)(std::string_view name);
    static FindGlobalComponentProc SetFindGlobalComponent(FindGlobalComponentProc proc);
    static TComponent* FindGlobalComponent(std::string_view name);

    // Classes the reader may create by name besides the root's field classes.
    // Raises EFilerError "A class named %s already exists" for a second class
    // of the same name.
    static void RegisterClass(const TClassInfo& info);
    static void UnregisterClass(const TClassInfo& info);
    static const TClassInfo* FindRegisteredClass(std::string_view name);

    // The stored name if no root has it, else "%s_%d" with 1, 2, 3...
    static std::string MakeUniqueName(std::string_view name);

    // Global fix-ups still waiting for their root to exist.
    static size_t PendingGlobalFixups();
    // Drops the pending global fix-ups whose instance belongs to root (a
    // form being freed) or is root itself (any component being freed).
    static void RemoveFixups(TComponent* root);

    // Runs readStreams (which reads every stream of one form) with a loading
    // list of its own, so that the loaded notifications of all the components
    // read come after the last stream, in the order they were read. Returns
    // what readStreams returns; the previous list is restored, also on an
    // exception.
    static bool ReadWithGlobalLoading(const std::function<bool()>& readStreams);

private:
    class LoadingScope;
    friend class LoadingScope;

    const TClassInfo& FindComponentClass(std::string_view className) const;
    void AddLoaded(TComponent* component);
    void ReadPropValue(TPersistent* instance, const TPropInfo& prop);
    void ReadSetValue(TObject* instance, const TPropInfo& prop);
    void ReadCollection(TObject* collection);
    void FixupReferences();
    void ReadBuffer();
    void SkipSetBody();
    void SkipProperty();
    void SkipCollectionItems();
    void SkipBytes(size_t count);
    void PropertyError(StrId id);
    static void ResolveGlobalFixups();

    TStream& m_stream;
    std::vector<uint8_t> m_buffer;
    size_t m_bufPos = 0;
    size_t m_bufEnd = 0;
    TComponent* m_owner = nullptr;   // not owned: where new components go (the root)
    TComponent* m_parent = nullptr;  // not owned: the parent for new controls
    std::vector<TComponent*>* m_loaded = nullptr;  // the loading list in use; not owned
    std::vector<TPropFixup>* m_fixups = nullptr;   // the local fix-ups of the stream; not owned
    std::string m_propName;          // the property whose value is being read
    bool m_canHandleExcepts = false;
};
