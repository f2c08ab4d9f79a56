// Dynamic data exchange: the program's DDE manager, which initialises the
// DDE library and registers the program's service name for as long as the
// program runs, and the client side of a conversation with another program.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "framework/Component.h"
#include "runtime/Exceptions.h"

// The DDE library's handles, as its header declares them; the header itself
// is left to the implementation, so that users of these classes do not get
// the system's macros.
struct HCONV__;
struct HSZ__;

// Owners of the DDE library's handles: each gives its handle back to the
// library when it is reset or destroyed.
struct DdeFree {
    unsigned long Instance = 0;  // the instance a string handle belongs to
    void operator()(HSZ__* hsz) const;
    void operator()(HCONV__* conv) const;
};
using DdeString = std::unique_ptr<HSZ__, DdeFree>;
using DdeConv = std::unique_ptr<HCONV__, DdeFree>;

// The DDE library initialised for the program: uninitialised when destroyed.
class DdeInstance {
public:
    DdeInstance() = default;
    ~DdeInstance();
    DdeInstance(const DdeInstance&) = delete;
    DdeInstance& operator=(const DdeInstance&) = delete;

    unsigned long Id() const { return m_id; }
    // Where the library's initialisation stores the instance it starts.
    unsigned long* Receiver() { return &m_id; }

private:
    unsigned long m_id = 0;
};

class EDdeError : public Exception {
public:
    using Exception::Exception;
};

// The message for a DDE library error code: out of memory, no conversation,
// or any other error, each showing the code in hexadecimal.
std::string DdeErrorMessage(unsigned code);

// One per program: the DDE support's start-up step makes it when the
// framework starts, owned by the application object, which frees it at the
// program's end after the forms. While it exists the DDE library is
// initialised and the program's service name (its executable's name without
// directory and without everything from its first full stop on) is
// registered.
class TDdeMgr : public TComponent {
    DECLARE_CLASS_INFO(TDdeMgr)
public:
    // Raises EDdeError, named by the library's error code, when the DDE
    // library cannot be initialised.
    explicit TDdeMgr(TComponent* owner);
    ~TDdeMgr() override;

    uint32_t DdeInstId() const { return m_instance.Id(); }
    // The registered service name.
    const std::string& AppName() const { return m_appName; }
    // The clipboard format "Link".
    unsigned LinkClipFmt() const { return m_linkClipFmt; }
    // The string handle of the service name.
    HSZ__* AppNameHandle() const { return m_hszApp.get(); }

private:
    // The string handle is freed before the library is uninitialised.
    DdeInstance m_instance;
    DdeString m_hszApp;  // the registered service name
    std::string m_appName;
    unsigned m_linkClipFmt = 0;
};

// The program's DDE manager while one exists.
extern TDdeMgr* DdeMgr;

enum TDataMode { ddeAutomatic, ddeManual };
template <>
const TEnumTypeInfo& EnumTypeOf<TDataMode>();

// The client side of a conversation with a DDE server, named by service and
// topic. A design stores service and topic together as "LinkInfo"; once the
// component is loaded with a service and automatic connection, it connects.
class TDdeClientConv : public TComponent {
    DECLARE_CLASS_INFO(TDdeClientConv)
public:
    explicit TDdeClientConv(TComponent* owner);
    ~TDdeClientConv() override;

    // The command line that starts the server when a connection fails.
    const std::string& ServiceApplication() const { return m_serviceApplication; }
    void SetServiceApplication(const std::string& value) { m_serviceApplication = value; }
    const std::string& DdeService() const { return m_service; }
    void SetDdeService(const std::string& value) { m_service = value; }
    const std::string& DdeTopic() const { return m_topic; }
    void SetDdeTopic(const std::string& value) { m_topic = value; }
    // Switching to ddeAutomatic while a service and a topic are set connects,
    // raising EDdeError "Unable to connect DDE conversation" on failure.
    TDataMode ConnectMode() const { return m_connectMode; }
    void SetConnectMode(TDataMode value);
    bool FormatChars() const { return m_formatChars; }
    void SetFormatChars(bool value) { m_formatChars = value; }

    // Connects to the service and topic unless connected already, starting
    // the server once if the first attempt fails. Fires OnOpen on success.
    bool OpenLink();
    // Ends an open conversation (firing OnClose first), frees the name
    // handles and clears service and topic, also when OnClose raises.
    void CloseLink();
    HCONV__* Conv() const { return m_conv.get(); }

    // Events
    TNotifyEvent OnClose() const { return m_onClose; }
    void SetOnClose(TNotifyEvent e) { m_onClose = e; }
    TNotifyEvent OnOpen() const { return m_onOpen; }
    void SetOnOpen(TNotifyEvent e) { m_onOpen = e; }

    // Streaming
    void DefineProperties(TFiler& filer) override;
    void Loaded() override;
    void WriteState(TWriter& writer) override;

private:
    // What the writer sees of service and topic: nothing, since they are
    // stored as LinkInfo.
    std::string StoredService() const;
    std::string StoredTopic() const;
    // CloseLink without OnClose.
    void EndConversation();

    std::string m_serviceApplication;
    std::string m_service;
    std::string m_topic;
    TDataMode m_connectMode = ddeAutomatic;
    bool m_formatChars = false;
    DdeConv m_conv;
    DdeString m_hszService;
    DdeString m_hszTopic;
    TNotifyEvent m_onClose;
    TNotifyEvent m_onOpen;
};
