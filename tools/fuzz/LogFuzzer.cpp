// The fuzz target of the uninstall log's reading. Each input is read as an
// uninstall log, record by record as the uninstaller reads it (no command of
// the log has a second argument line), and every record is checked against
// the plain model of the line rules. A crash, undefined behaviour, a leak,
// an exception or a record that differs from the model is a finding.
#include <cstdint>
#include <string_view>

#include "tools/fuzz/RecordModel.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CheckRecordReader(std::string_view(reinterpret_cast<const char*>(data), size), std::string_view());
    return 0;
}
