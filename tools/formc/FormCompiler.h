// Turns a parsed form source (FormSource.h) into the binary component stream
// that the program reads from its form resources: the signature "TPF0", then
// the root's component record. Each value goes out through the framework's
// writer, so the stream follows the same encoding rules as one written from
// live components (smallest integer code, short or long string, False, True
// and nil as their own codes).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tools/formc/FormSource.h"

namespace formc {

// Supplies the bytes of a file named in file() or bitmap(); line is where the
// name stands, for the error it raises (FormError) when there is no such file.
using FileLoader = std::function<std::vector<uint8_t>(const std::string& name, int line)>;

std::vector<uint8_t> CompileForm(const Component& root, const FileLoader& loadFile);

} // namespace formc
