// A second, plain reading of the system's line files, written from the line
// rules alone, against which the fuzz targets check the record reader: a
// UTF-8 byte-order mark at the very start is dropped, the data ends at the
// first Ctrl-Z, lines end at CR with one LF after it
// dropped, and a record is a command line (only its first character counts;
// an empty one eats the line after it), an argument line and, for some
// commands, a second argument line.
#pragma once

#include <string_view>
#include <vector>

#include "runtime/RecordReader.h"

std::vector<TextRecord> ModelRecords(std::string_view bytes, std::string_view threeLineCommands);

// Reads bytes with TextRecordReader over a TextBuffer and aborts when a
// record differs from the model's in command, arguments, their presence or
// their line numbers, or when an argument holds a CR or a Ctrl-Z.
std::vector<TextRecord> CheckRecordReader(std::string_view bytes, std::string_view threeLineCommands);

// Aborts the fuzz target when condition is false: a broken contract is a
// finding like a crash.
void Require(bool condition);
