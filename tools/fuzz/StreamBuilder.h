// Component streams built piece by piece with the writer's raw calls, for
// tests and for the fuzzer's seeds. Nothing here needs the test framework or
// the operating system.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "framework/Writer.h"

using Bytes = std::vector<uint8_t>;
using WriteFn = std::function<void(TWriter&)>;

// What a writer writes through write.
Bytes WriteBytes(const WriteFn& write);

// A whole stream: the signature and one root record with the properties
// that properties writes (each a path and a value) and the child records
// that children writes (each a whole record, see ChildRecord).
Bytes RootStream(std::string_view className, std::string_view name, const WriteFn& properties,
                 const WriteFn& children = {});
// Writes one child record (prefix, class, name, properties, children).
void ChildRecord(TWriter& writer, std::string_view className, std::string_view name, const WriteFn& properties,
                 const WriteFn& children = {}, uint8_t flags = 0, int childPos = 0);
// Writes a property record: the path, then the value that value writes.
void Prop(TWriter& writer, std::string_view path, const WriteFn& value);
