// A results file, CSV or JSON Lines (the first byte chooses), read line by
// line; a record read back is written and read again to the same record.
#include "MatchRecord.h"
#include "RecordText.h"

#include "Require.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const bool json = data[0] & 1;
    const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
    std::vector<vorlen::match::MatchRecord> records;
    std::string error;
    std::string warning;
    if (!vorlen::match::parseRecords(text, json, records, error, &warning))
        return 0;
    for (const vorlen::match::MatchRecord& record : records) {
        const std::string line = json ? vorlen::match::toJsonLine(record)
                                      : vorlen::match::csvHeader() + vorlen::match::toCsv(record);
        std::vector<vorlen::match::MatchRecord> again;
        const bool read = vorlen::match::parseRecords(line, json, again, error);
        // JSON replaces bytes that are not UTF-8; anything else comes back.
        require(!read || again.size() == 1);
        require(!read || json || vorlen::match::toCsv(again[0]) == vorlen::match::toCsv(record));
    }
    return 0;
}
