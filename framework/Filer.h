// What the reader and the writer of component streams share: the value codes
// of the stream format and the declaration of values that are stored besides
// the published properties (defined properties).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

class TReader;
class TWriter;
class TStream;
class TComponent;

// The type byte in front of every stored value.
enum TValueType : uint8_t {
    vaNull = 0,  // also the end of a list
    vaList = 1,
    vaInt8 = 2,
    vaInt16 = 3,
    vaInt32 = 4,
    vaExtended = 5,
    vaString = 6,
    vaIdent = 7,
    vaFalse = 8,
    vaTrue = 9,
    vaBinary = 10,
    vaSet = 11,
    vaLString = 12,
    vaNil = 13,
    vaCollection = 14,
};

// Flags of the optional prefix byte (0xF0 + flags) in front of a component record.
enum TFilerFlag : uint8_t { ffInherited = 1, ffChildPos = 2 };

inline constexpr char FilerSignature[4] = {'T', 'P', 'F', '0'};

class TFiler {
public:
    virtual ~TFiler() = default;

    using ReaderProc = std::function<void(TReader&)>;
    using WriterProc = std::function<void(TWriter&)>;
    using StreamProc = std::function<void(TStream&)>;

    // A stored value that is not a published property. hasData tells the
    // writer whether to store it at all.
    virtual void DefineProperty(std::string_view name, const ReaderProc& readData, const WriterProc& writeData,
                                bool hasData) = 0;
    // The same for a binary value (code 10), handed over as a stream.
    virtual void DefineBinaryProperty(std::string_view name, const StreamProc& readData,
                                      const StreamProc& writeData, bool hasData) = 0;

protected:
    TComponent* m_root = nullptr;  // not owned: the component whose stream is read or written
};
