#include "measurement/SeriesTable.h"

#include "core/NumberRules.h"
#include "core/ProgramState.h"
#include "measurement/Evaluation.h"

#include <algorithm>

namespace {

// The graph shows counts 1 to 20; the table keeps every count up to the highest measured.
constexpr int32_t kCountsAlwaysListed = 20;
constexpr int32_t kHighestCountSlot = 101;   // the histogram's last slot holds everything above 100

std::string row(std::initializer_list<std::string> cells)
{
    std::string line;
    for (const std::string& cell : cells) {
        if (!line.empty())
            line += ';';
        line += cell;
    }
    return line + "\r\n";
}

} // namespace

std::string SeriesTable()
{
    // The byte order mark tells spreadsheets that the umlauts are UTF-8.
    std::string table = "\xEF\xBB\xBF" + row({"Intervall", "Anzahl k", "Quelle", "Schritte"});
    int32_t highest = kCountsAlwaysListed;
    for (size_t i = 0; i < state.intervalRecords.size(); ++i) {
        const IntervalRecord& record = state.intervalRecords[i];
        table += row({numberText(static_cast<int64_t>(i) + 1), numberText(record.count),
                      record.fromCounter ? "Zählrohr" : "simuliert", numberText(record.steps)});
        highest = std::max(highest, std::min(record.count, kHighestCountSlot));
    }
    table += "\r\n" + row({"Anzahl k", "Häufigkeit"});
    for (int32_t k = 0; k <= highest; ++k)
        table += row({k == kHighestCountSlot ? "über 100" : numberText(k),
                      numberText(state.histogram[static_cast<size_t>(k)])});
    const int64_t measured = IntervalsMeasured();
    table += "\r\n" + row({"Zahl der Versuche n", numberText(measured)});
    table += row({"Mittelwert", measured > 0 ? meanText(state.meanCount) : ""});
    return table;
}
