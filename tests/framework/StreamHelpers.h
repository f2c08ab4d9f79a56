// Helpers for the tests of component streams: streams built piece by piece
// with the writer's raw calls, reading them back, the message of the error a
// read raises, and a fixture that checks that no test object outlives a test.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "framework/Component.h"
#include "framework/Reader.h"
#include "framework/Writer.h"
#include "runtime/Exceptions.h"
#include "runtime/Stream.h"
#include "tools/fuzz/StreamBuilder.h"

// Reads a whole stream into root (none: the stream's class is created).
TComponent* ReadStream(const Bytes& bytes, TComponent* root);

// The message of the exception of class E that call raises; a test failure
// if it raises none or another kind.
template <typename E>
std::string ErrorOf(const std::function<void()>& call)
{
    try {
        call();
    } catch (const E& e) {
        return e.Message();
    } catch (const Exception& e) {
        ADD_FAILURE() << "unexpected exception class, message: " << e.Message();
        return "(wrong exception class) " + e.Message();
    }
    ADD_FAILURE() << "no exception";
    return "(no exception)";
}

// The type byte of the value stored for path in the record of the component
// named component: the byte after the first such path behind the name.
int ValueCodeOf(const Bytes& stream, std::string_view component, std::string_view path);

// Registers a class for as long as it lives.
class ScopedRegistration {
public:
    explicit ScopedRegistration(const TClassInfo& info) : m_info(info) { TReader::RegisterClass(info); }
    ~ScopedRegistration() { TReader::UnregisterClass(m_info); }
    ScopedRegistration(const ScopedRegistration&) = delete;
    ScopedRegistration& operator=(const ScopedRegistration&) = delete;

private:
    const TClassInfo& m_info;
};

// Installs a global root lookup over a list of roots for as long as it
// lives, and puts back the one installed before.
class ScopedGlobalRoots {
public:
    ScopedGlobalRoots();
    ~ScopedGlobalRoots();
    ScopedGlobalRoots(const ScopedGlobalRoots&) = delete;
    ScopedGlobalRoots& operator=(const ScopedGlobalRoots&) = delete;

    void Add(TComponent* root);
    void Remove(TComponent* root);

private:
    TReader::FindGlobalComponentProc m_previous;
};

// Every test starts with an empty log and must leave no test object alive
// and no global fix-up pending.
class FrameworkTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

private:
    int m_aliveBefore = 0;
    size_t m_fixupsBefore = 0;
};
