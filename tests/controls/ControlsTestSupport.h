// What the tests of the controls and the shell components share: writing a
// component as a whole stream and reading one back, searching stream bytes,
// the published property names of a class, an event recorder, a gauge that
// counts its repaints, and a fixture
// that puts the process's current directory back after each test (the
// directory list moves it).
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "controls/Gauges.h"
#include "framework/Component.h"
#include "framework/Reader.h"
#include "framework/StringList.h"
#include "framework/Writer.h"
#include "runtime/Stream.h"

using Bytes = std::vector<uint8_t>;

// The stream a writer makes of the component as a root.
Bytes WriteRoot(TComponent* root);
// A stream built with the writer's raw calls: the signature, one root record
// with the properties that properties writes, no children.
Bytes RootStream(std::string_view className, std::string_view name, const std::function<void(TWriter&)>& properties);
// Reads a whole stream into an existing root.
void ReadRoot(const Bytes& bytes, TComponent* root);
// Whether the bytes contain the text.
bool Contains(const Bytes& bytes, std::string_view text);
// The bytes that follow the first occurrence of text, count of them.
Bytes After(const Bytes& bytes, std::string_view text, size_t count);

// The names of every published property of the class, ancestors' first.
std::vector<std::string> PublishedNames(const TClassInfo& info);
// Each named published property has that default in the type information,
// and the object holds it.
void ExpectOrdDefaults(const TObject& object, std::initializer_list<std::pair<const char*, int64_t>> defaults);

// The directory without its trailing backslash, as the system reports a
// current directory other than a drive root.
std::string NoSlash(std::string dir);
// The lines of a list.
std::vector<std::string> ItemTexts(const TStrings& items);

// Counts the calls of a notification event and remembers the last sender.
class EventLog : public TObject {
public:
    void Handler(TObject* sender)
    {
        ++Count;
        Sender = sender;
    }
    TNotifyEvent Event() { return TNotifyEvent::Of<&EventLog::Handler>(this); }

    int Count = 0;
    TObject* Sender = nullptr;
};

// Restores the process's current directory when the test ends.
class CurrentDirTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

private:
    std::string m_saved;
};

// The message of the exception of class E that call raises; a test failure
// if it raises none or another kind.
template <typename E>
std::string ErrorOf(const std::function<void()>& call)
{
    try {
        call();
    } catch (const E& e) {
        return e.what();
    } catch (const std::exception& e) {
        ADD_FAILURE() << "unexpected exception class, message: " << e.what();
        return std::string("(wrong exception class) ") + e.what();
    }
    ADD_FAILURE() << "no exception";
    return "(no exception)";
}

// A gauge that counts its immediate repaints.
class CountingGauge : public TGauge {
public:
    using TGauge::TGauge;
    int Repaints = 0;

protected:
    void RepaintNow() override
    {
        ++Repaints;
        TGauge::RepaintNow();
    }
};
