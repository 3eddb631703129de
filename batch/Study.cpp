#include "batch/Study.h"

#include "config/CConfiguration.h"
#include "core/FilePaths.h"
#include "core/Messages.h"
#include "core/Parallel.h"
#include "core/TextFormat.h"
#include "core/TextLines.h"
#include "messages/MessageText.h"
#include "model/CProjectProfile.h"
#include "model/CSheetProfile.h"
#include "model/FormingSummary.h"
#include "model/SheetMeans.h"
#include "session/CSession.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <set>
#include <sstream>

namespace quillmere {

namespace {

// The reason of the project being read on this thread. Nested loops may run
// another project's reading on the same thread while it waits, so every
// reading restores the one before it.
thread_local std::string* currentReason = nullptr;

class CReasonScope {
public:
    explicit CReasonScope(std::string& reason) : previous(currentReason) { currentReason = &reason; }
    ~CReasonScope() { currentReason = previous; }
    CReasonScope(const CReasonScope&) = delete;
    CReasonScope& operator=(const CReasonScope&) = delete;

private:
    std::string* previous;
};

// What the readers say goes into the row's status instead of stderr.
class CStudyMessageSink : public CTextMessageSink {
public:
    explicit CStudyMessageSink(IMessageSink& outside) : other(outside) {}
    MessageAnswer ShowText(const std::string& text, MessageIcon icon, MessageButtons buttons) override {
        if (!currentReason)
            return other.ShowText(text, icon, buttons);
        std::string line;
        for (char c : text)
            if (c == '\r' || c == '\n' || c == '\t') {
                if (!line.empty() && line.back() != ' ')
                    line += ' ';
            } else {
                line += c;
            }
        line = Trim(line);
        if (!line.empty())
            *currentReason += (currentReason->empty() ? "" : "; ") + line;
        return buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::No;
    }

private:
    IMessageSink& other;
};

// The shortest text that reads back as the same number, in no locale.
std::string Number(double value) {
    char buffer[32];
    const std::to_chars_result result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

// A CSV field, quoted when it holds a separator, a quote or a line end.
std::string Field(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (char c : text)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + '"';
}

// The figures over the elements that are not clamped, as the sheet report's
// mean thickness takes them.
void TakeFigures(const CSheetProfile& sheet, const CConfiguration& units, double minimumWall, StudyRow& row) {
    const ClampedStatisticsResult clamped = ClampedStatistics(sheet);
    const auto millimetres = [&units](double metres) { return units.LengthToDisplay(metres * 1000); };
    row.elements = sheet.ElementCount();
    row.thicknessMinimum = millimetres(clamped.thicknessMinimum);
    row.thicknessMean = millimetres(clamped.meanThickness);
    row.thicknessMaximum = millimetres(clamped.thicknessMaximum);
    // Each maximum over the values that are numbers; 0 when there are none.
    struct Maximum {
        double value = 0;
        bool taken = false;
        void Fold(double candidate) {
            if (std::isfinite(candidate) && (!taken || candidate > value)) {
                value = candidate;
                taken = true;
            }
        }
    } thinningMaximum, temperatureMaximum, stressSquareMaximum;
    const BigArray<CElementValues>& values = sheet.Values().elements;
    const BigArray<CElementDerived>& derived = sheet.Derived().elements;
    for (size_t e = 0; e < values.size(); ++e) {
        if (sheet.IsClampedElement(e))
            continue;
        const CElementValues& element = values[e];
        thinningMaximum.Fold(element.InitialThickness > 0
                                 ? (element.InitialThickness - derived[e].Thickness) /
                                       element.InitialThickness * 100
                                 : 0);
        temperatureMaximum.Fold(element.Temperature);
        stressSquareMaximum.Fold(element.VonMisesSquare());
    }
    const double thinning = thinningMaximum.value, temperature = temperatureMaximum.value,
                 stressSquare = stressSquareMaximum.value;
    row.thinningMaximum = thinning;
    row.temperatureMaximum = units.TemperatureToDisplay(temperature);
    const double megapascals = CElementValues::VonMisesFromSquare(stressSquare);
    row.vonMisesMaximum = units.IsSIMetric() ? megapascals : units.PressureToDisplay(megapascals * 1e6);
    const FormingFigures forming =
        FormingFiguresOf(sheet, minimumWall > 0 ? units.LengthFromDisplay(minimumWall) / 1000 : 0, nullptr);
    row.drawRatio = forming.drawRatio;
    row.thickenedPercent = forming.thickenedPercent;
    row.hasMinimumWall = forming.belowWall.has_value();
    row.belowWallPercent = row.hasMinimumWall ? forming.belowWall->percent : 0;
}

} // namespace

bool ReadStudyList(const std::string& path, StudyList& list, std::string& failure) {
    // A regular file only: a FIFO would wait for a writer, a device never end.
    CFileHandle file(path, "rb");
    if (!file) {
        failure = path + " cannot be read";
        return false;
    }
    const std::string folder = FolderPart(path).empty() ? "." : FolderPart(path);
    list = StudyList();
    uint64_t digest = 14695981039346656037ull; // FNV-1a of the whole content
    std::string line;
    int number = 0;
    const auto take = [&] {
        ++number;
        line = Trim(line);
        if (!line.empty() && line[0] != '#') {
            list.names.push_back(line);
            list.paths.push_back(line[0] == '/' ? line : ResolveFile(line, folder));
            list.lines.push_back(number);
        }
        line.clear();
    };
    char block[1 << 16];
    size_t read;
    while ((read = std::fread(block, 1, sizeof block, file.get())) > 0) {
        for (size_t i = 0; i < read; ++i) {
            const char c = block[i];
            digest = (digest ^ static_cast<unsigned char>(c)) * 1099511628211ull;
            if (c == '\n') {
                take();
            } else if (line.size() < kMaxTextLine + 1) {
                line += c;
            } else {
                failure = FormatText("%s is no list of projects: its line %d is longer than %zu characters",
                                     path.c_str(), number + 1, kMaxTextLine);
                return false;
            }
        }
    }
    if (std::ferror(file.get())) {
        failure = path + " cannot be read";
        return false;
    }
    if (!line.empty())
        take();
    list.identity = FormatText("%016llx", static_cast<unsigned long long>(digest));
    return true;
}

StudyRow StudyProject(const std::string& path, const std::string& name, const StudyOptions& options,
                      const std::string& configurationPath) {
    StudyRow row;
    row.project = name;
    std::string reason;
    const CReasonScope scope(reason);
    bool nonFinite = false; // figures taken without values that are not numbers
    try {
        CSession session;
        if (session.Open(path, nullptr)) {
            row.records = session.Project().RecordCount();
            row.record = options.record != 0 ? options.record : row.records;
            if (row.record < 1 || row.record > row.records) {
                reason = FormatText("there is no record %d: the project has records 1 to %d", row.record,
                                    row.records);
            } else if (session.ShowRecord(row.record)) {
                CConfiguration units(configurationPath);
                units.SetSIMetric(!options.usCustomary);
                TakeFigures(*session.Sheet(), units, options.minimumWall, row);
                nonFinite = session.Sheet()->NonFinite().Any();
                row.ok = true;
            }
        }
    } catch (const CCriticalError&) {
        // The message is in the reason already.
    } catch (const std::exception& error) {
        reason += (reason.empty() ? "" : "; ") + FailureText(error);
    }
    if (row.ok) {
        row.status = nonFinite ? "nonfinite" : "ok";
    } else {
        const StudyRow empty;
        const std::string why = reason.empty() ? std::string("the project cannot be read") : reason;
        row = empty;
        row.project = name;
        row.status = why;
    }
    return row;
}

std::vector<StudyRow> RunStudy(const StudyList& list, const StudyOptions& options,
                               const std::string& configurationPath,
                               const std::function<void(int, int)>& progress) {
    std::vector<size_t> share;
    for (size_t i = static_cast<size_t>(options.task); i < list.paths.size();
         i += static_cast<size_t>(options.tasks))
        share.push_back(i);
    std::vector<StudyRow> rows(share.size());
    CStudyMessageSink sink(CurrentMessageSink());
    const CScopedMessageSink messages(&sink);
    std::mutex progressLock;
    int done = 0;
    const int total = static_cast<int>(share.size());
    const auto study = [&](size_t k) {
        rows[k] = StudyProject(list.paths[share[k]], list.names[share[k]], options, configurationPath);
        if (progress) {
            const std::lock_guard<std::mutex> lock(progressLock);
            progress(++done, total);
        }
    };
    parallel::ForEach(share.size(), options.jobs, study);
    return rows;
}

std::string StudyPictureName(const std::string& project) {
    std::string name, part;
    const std::string path = project.substr(0, project.size() - FileNamePart(project).size()) +
                             FileNamePart(project).substr(0, FileNamePart(project).rfind('.'));
    for (size_t i = 0; i <= path.size(); ++i) {
        if (i < path.size() && path[i] != '/' && path[i] != '\\') {
            part += path[i];
            continue;
        }
        if (!part.empty() && part != "." && part != "..")
            name += (name.empty() ? "" : "_") + part;
        part.clear();
    }
    return name.empty() ? std::string("project") : name;
}

std::vector<std::string> StudyPictureNames(const StudyList& list) {
    std::vector<std::string> names;
    std::set<std::string> taken; // in lower case: a folder may ignore case
    for (size_t i = 0; i < list.names.size(); ++i) {
        const std::string base = StudyPictureName(list.names[i]);
        std::string name = base;
        for (int again = 1; taken.count(ToLower(name)) != 0; ++again)
            name =
                base + "-" + std::to_string(list.lines[i]) + (again > 1 ? "-" + std::to_string(again) : "");
        taken.insert(ToLower(name));
        names.push_back(name);
    }
    return names;
}

std::string StudyTable(const std::vector<StudyRow>& rows, bool usCustomary,
                       const std::vector<std::string>* pictures) {
    const char* length = usCustomary ? "in" : "mm";
    std::string table =
        FormatText("project,records,record,elements,thickness_min_%s,thickness_mean_%s,"
                   "thickness_max_%s,thinning_max_percent,temperature_max_%s,von_mises_max_%s,"
                   "status%s,draw_ratio,thickened_area_percent,below_min_wall_percent\n",
                   length, length, length, usCustomary ? "f" : "c", usCustomary ? "psi" : "mpa",
                   pictures ? ",picture" : "");
    for (size_t i = 0; i < rows.size(); ++i) {
        const StudyRow& row = rows[i];
        table += Field(row.project) + ',';
        if (row.ok)
            table += std::to_string(row.records) + ',' + std::to_string(row.record) + ',' +
                     std::to_string(row.elements) + ',' + Number(row.thicknessMinimum) + ',' +
                     Number(row.thicknessMean) + ',' + Number(row.thicknessMaximum) + ',' +
                     Number(row.thinningMaximum) + ',' + Number(row.temperatureMaximum) + ',' +
                     Number(row.vonMisesMaximum) + ',';
        else
            table += ",,,,,,,,,";
        table += Field(row.status);
        if (pictures)
            table += ',' + Field((*pictures)[i]);
        if (row.ok)
            table += ',' + Number(row.drawRatio) + ',' + Number(row.thickenedPercent) + ',' +
                     (row.hasMinimumWall ? Number(row.belowWallPercent) : std::string());
        else
            table += ",,,";
        table += '\n';
    }
    return table;
}

namespace {

// The fields of one CSV record from position on, quoted fields across line
// ends included; false at the end of the text.
bool ReadRecord(const std::string& text, size_t& position, std::vector<std::string>& fields) {
    fields.assign(1, std::string());
    if (position >= text.size())
        return false;
    bool quoted = false;
    for (; position < text.size(); ++position) {
        const char c = text[position];
        if (quoted) {
            if (c == '"' && position + 1 < text.size() && text[position + 1] == '"')
                fields.back() += text[++position];
            else if (c == '"')
                quoted = false;
            else
                fields.back() += c;
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            fields.emplace_back();
        } else if (c == '\n') {
            ++position;
            return true;
        } else {
            fields.back() += c;
        }
    }
    return true;
}

} // namespace

bool ReadStudyTable(const std::string& table, std::vector<StudyRow>& rows, bool& usCustomary) {
    size_t position = 0;
    std::vector<std::string> fields;
    if (!ReadRecord(table, position, fields) || fields.size() < 7 || fields[0] != "project")
        return false;
    usCustomary = fields[4] == "thickness_min_in";
    rows.clear();
    while (ReadRecord(table, position, fields)) {
        if (fields.size() < 7)
            return false;
        StudyRow row;
        row.project = fields[0];
        row.ok = ParseWholeNumber(fields[4].c_str(), row.thicknessMinimum) &&
                 ParseWholeNumber(fields[5].c_str(), row.thicknessMean) &&
                 ParseWholeNumber(fields[6].c_str(), row.thicknessMaximum);
        rows.push_back(row);
    }
    return true;
}

namespace {

const char* const PartMark = "# quillmere-batch study part ";

// The first line of a part without its share: what every part of one study
// has in common.
std::string StudyOfPart(const std::string& line, int& task, int& tasks, int& failed) {
    int consumed = 0;
    if (!StartsWith(line, PartMark) ||
        ScanText(line.c_str() + std::char_traits<char>::length(PartMark), "%d of %d, %d failed%n", &task,
                 &tasks, &failed, &consumed) != 3 ||
        consumed == 0)
        return "";
    return line.substr(std::char_traits<char>::length(PartMark) + static_cast<size_t>(consumed));
}

} // namespace

std::string StudyPart(const StudyList& list, const StudyOptions& options, const std::vector<StudyRow>& rows,
                      const std::vector<std::string>* pictures) {
    const auto failed = std::count_if(rows.begin(), rows.end(), [](const StudyRow& row) { return !row.ok; });
    // Parts of studies with other minimum walls are not gathered together.
    const std::string wall = options.minimumWall > 0 ? ", minimum wall " + Number(options.minimumWall) +
                                                           (options.usCustomary ? " in" : " mm")
                                                     : std::string();
    return FormatText("%s%d of %d, %d failed; list %s of %d projects, record %d, units %s%s\n", PartMark,
                      options.task, options.tasks, static_cast<int>(failed), list.identity.c_str(),
                      static_cast<int>(list.names.size()), options.record, options.usCustomary ? "us" : "si",
                      wall.c_str()) +
           StudyTable(rows, options.usCustomary, pictures);
}

bool GatherStudy(const std::vector<std::string>& partNames, const std::vector<std::string>& parts,
                 std::string& table, int& failed, std::string& failure) {
    std::string study, header;
    int tasks = 0;
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> seen;
    failed = 0;
    for (size_t p = 0; p < parts.size(); ++p) {
        std::istringstream text(parts[p]);
        std::string first, head, line;
        int task = 0, count = 0, partFailed = 0;
        std::getline(text, first);
        const std::string common = StudyOfPart(first, task, count, partFailed);
        if (common.empty() || count < 1 || task < 0 || task >= count || !std::getline(text, head)) {
            failure = partNames[p] + " is not a part of a study";
            return false;
        }
        if (p == 0) {
            study = common;
            header = head;
            tasks = count;
            rows.resize(static_cast<size_t>(count));
            seen.resize(static_cast<size_t>(count));
        } else if (common != study || count != tasks || head != header) {
            failure = partNames[p] + " is a part of another study than " + partNames[0];
            return false;
        }
        if (!seen[static_cast<size_t>(task)].empty()) {
            failure = FormatText("%s and %s are both part %d of %d", seen[static_cast<size_t>(task)].c_str(),
                                 partNames[p].c_str(), task, tasks);
            return false;
        }
        seen[static_cast<size_t>(task)] = partNames[p];
        while (std::getline(text, line))
            rows[static_cast<size_t>(task)].push_back(line + '\n');
        failed += partFailed;
    }
    int projects = 0;
    if (tasks == 0 || ScanText(study.c_str(), "; list %*s of %d", &projects) != 1) {
        failure = "no part to gather";
        return false;
    }
    for (int task = 0; task < tasks; ++task) {
        const size_t expected =
            task < projects ? static_cast<size_t>((projects - task + tasks - 1) / tasks) : size_t(0);
        if (seen[static_cast<size_t>(task)].empty()) {
            failure = FormatText("part %d of %d is missing", task, tasks);
            return false;
        }
        if (rows[static_cast<size_t>(task)].size() != expected) {
            failure = seen[static_cast<size_t>(task)] + " is incomplete";
            return false;
        }
    }
    // Part task holds the projects at task, task + tasks, ...
    table = header + '\n';
    for (int project = 0; project < projects; ++project)
        table += rows[static_cast<size_t>(project % tasks)][static_cast<size_t>(project / tasks)];
    return true;
}

} // namespace quillmere
