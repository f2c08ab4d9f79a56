// The exception classes' constructors, and the message of a failed text-file
// operation, chosen from its error code.
#include "runtime/Exceptions.h"

namespace {

std::string InOutMessage(int code)
{
    switch (code) {
    case 2: return LoadResString(StrId::SFileNotFound);
    case 3: return LoadResString(StrId::SInvalidFilename);
    case 4: return LoadResString(StrId::STooManyOpenFiles);
    case 5: return LoadResString(StrId::SAccessDenied);
    case 100: return LoadResString(StrId::SEndOfFile);
    case 101: return LoadResString(StrId::SDiskFull);
    case 106: return LoadResString(StrId::SInvalidInput);
    default: return Format(LoadResString(StrId::SInOutError), {code});
    }
}

} // namespace

Exception::Exception(std::string message) : m_message(std::move(message)) {}

Exception::Exception(StrId id, std::initializer_list<FormatArg> args) : m_message(Format(LoadResString(id), args)) {}

EInOutError::EInOutError(int code) : Exception(InOutMessage(code)), ErrorCode(code) {}
