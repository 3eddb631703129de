#include "model/FirstContact.h"

#include "core/FilePaths.h"
#include "core/Messages.h"
#include "core/Parallel.h"
#include "core/TextFormat.h"
#include "model/RecordReader.h"
#include "model/SheetDerivation.h"
#include "model/Texts.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace quillmere {

namespace {

// Record files are named as the project file with the record index, at least
// three digits, for its extension.
std::string RecordFile(const std::string& projectPath, int index) {
    const size_t dot = projectPath.rfind('.');
    const size_t separator = LastSeparator(projectPath);
    const std::string prefix = dot == std::string::npos || (separator != std::string::npos && dot < separator)
                                   ? projectPath + "."
                                   : projectPath.substr(0, dot + 1);
    return prefix + FormatText("%03d", index);
}

} // namespace

void FoldFirstContact(const CRecordValues& values, int record, std::vector<double>& first) {
    const size_t entries = std::min(first.size(), values.contactFlags.size());
    const auto* flags = values.contactFlags.data();
    double* out = first.data();
    const double number = record;
    parallel::ForBlocks(entries, kNodeGrain, [&](size_t begin, size_t end) {
        for (size_t node = std::max<size_t>(begin, 1); node < end; ++node) {
            if (!std::isnan(out[node]))
                continue;
            // A flag is 0 where the node touches that tool.
            const auto& tools = flags[node];
            if (std::find(tools.begin(), tools.end(), uint8_t(0)) != tools.end())
                out[node] = number;
        }
    });
}

ContactSpan ContactSpanOf(const std::vector<double>& records) {
    ContactSpan span;
    for (size_t node = 1; node < records.size(); ++node) {
        const double record = records[node];
        if (std::isnan(record)) {
            ++span.neverInContact;
            continue;
        }
        const int number = static_cast<int>(record);
        span.first = span.first == 0 ? number : std::min(span.first, number);
        span.last = std::max(span.last, number);
    }
    return span;
}

FirstContact FirstContactRecords(const std::string& projectPath, int recordCount,
                                 const std::function<void(int done, int count)>& progress,
                                 const std::atomic<bool>& cancel) {
    FirstContact result;
    int nodes = -1;
    int index = 0;
    const auto fail = [&result](std::string failure) {
        result.outcome = FirstContact::Failed;
        result.failure = std::move(failure);
        result.records.clear();
        return result;
    };
    try {
        for (int record = 1; record <= recordCount; ++record) {
            if (cancel.load()) {
                result.outcome = FirstContact::Cancelled;
                result.records.clear();
                return result;
            }
            index = record - 1;
            const std::string name = RecordFile(projectPath, index);
            const std::string found = FindExistingFile(name, "");
            if (found.empty())
                return fail(FormatText(texts::UnableToReadFrom, name.c_str()));
            const CRecordData read = ReadRecordFile(found, index, nullptr);
            if (read.error.fault == RecordFault::CannotOpen)
                return fail(FormatText(texts::UnableToReadFrom, name.c_str()));
            if (read.error)
                return fail(
                    FormatText(texts::UnusableRecord, found.c_str(), RecordErrorText(read.error).c_str()));
            if (nodes < 0) {
                nodes = read.mesh.nodeCount;
                result.records.assign(static_cast<size_t>(nodes) + 1,
                                      std::numeric_limits<double>::quiet_NaN());
            } else if (read.mesh.nodeCount != nodes) {
                return fail(
                    FormatText(texts::UnusableRecord, found.c_str(), "its mesh is not the project's mesh"));
            }
            FoldFirstContact(read.values, record, result.records);
            if (progress)
                progress(record, recordCount);
        }
    } catch (const CCriticalError&) {
        return fail(""); // said already
    } catch (const std::exception& error) {
        return fail(FormatText(texts::UnusableRecord, RecordFile(projectPath, index).c_str(),
                               FailureText(error).c_str()));
    }
    return result;
}

} // namespace quillmere
