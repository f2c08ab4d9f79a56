// The exception classes of the runtime library. Every failure the program
// reports is one of these (or a framework class derived from Exception); the
// message is built once, where the failure is detected, from the string table.
#pragma once

#include <exception>
#include <initializer_list>
#include <string>

#include "runtime/Format.h"
#include "runtime/ResStrings.h"

class Exception : public std::exception {
public:
    explicit Exception(std::string message);
    Exception(StrId id, std::initializer_list<FormatArg> args = {});

    const std::string& Message() const { return m_message; }
    void SetMessage(std::string message) { m_message = std::move(message); }
    const char* what() const noexcept override { return m_message.c_str(); }

private:
    std::string m_message;
};

// Raised to leave a handler without a report; the application never shows it.
class EAbort : public Exception {
public:
    EAbort() : Exception(std::string()) {}
};

// A failed text-file operation, with the operating-system or runtime code.
class EInOutError : public Exception {
public:
    explicit EInOutError(int code);
    int ErrorCode;
};

class EConvertError : public Exception {
public:
    using Exception::Exception;
};

class EStreamError : public Exception {
public:
    using Exception::Exception;
};

class EFOpenError : public EStreamError {
public:
    using EStreamError::EStreamError;
};

class EFCreateError : public EStreamError {
public:
    using EStreamError::EStreamError;
};

class EFilerError : public EStreamError {
public:
    using EStreamError::EStreamError;
};

class EReadError : public EFilerError {
public:
    using EFilerError::EFilerError;
};

class EWriteError : public EFilerError {
public:
    using EFilerError::EFilerError;
};
