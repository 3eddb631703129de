#include "batch/StudyCommand.h"

#include "batch/BatchOptions.h"
#include "batch/BatchOutput.h"
#include "batch/InputFiles.h"
#include "batch/Study.h"
#ifdef QUILLMERE_BATCH_RENDER
#include "batch/StudyPictures.h"
#endif
#include "core/AtomicFile.h"
#include "core/Messages.h"
#include "core/TextFormat.h"
#include "core/TextLines.h"
#include "messages/MessageText.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace quillmere {

namespace {

void Fail(const std::string& text) {
    ShowMessage("quillmere-batch: " + text, MessageIcon::Error);
}

// The share of a Slurm array task: its place among the array's tasks.
bool SlurmShare(int& task, int& tasks) {
    const char* id = std::getenv("SLURM_ARRAY_TASK_ID");
    const char* count = std::getenv("SLURM_ARRAY_TASK_COUNT");
    const char* low = std::getenv("SLURM_ARRAY_TASK_MIN");
    const char* high = std::getenv("SLURM_ARRAY_TASK_MAX");
    if (!id)
        return false;
    const int minimum = low ? std::atoi(low) : 0;
    task = std::atoi(id) - minimum;
    tasks = count ? std::atoi(count) : high ? std::atoi(high) - minimum + 1 : 0;
    return true;
}

bool Save(const std::string& path, const std::string& text) {
    if (ReplaceFileContent(path, path + ".XXXXXX", text))
        return true;
    Fail(path + " cannot be written");
    return false;
}

// The chart of the rows; false after a message. Only builds that draw get
// this far with a chart.
bool Chart(const std::vector<StudyRow>& rows, const std::string& file, bool usCustomary) {
#ifdef QUILLMERE_BATCH_RENDER
    return WriteStudyChart(rows, file, usCustomary);
#else
    (void)rows, (void)file, (void)usCustomary;
    return false;
#endif
}

int Gather(const StudyArguments& arguments) {
    // The parts are the inputs here.
    CInputFiles inputs;
    for (const std::string& name : arguments.gather)
        inputs.Add(name);
    if (!inputs.Accepts(arguments.output) || !inputs.Accepts(arguments.chart))
        return BatchFailure;
    std::vector<std::string> parts;
    for (const std::string& name : arguments.gather) {
        std::string text;
        if (!ReadRegularFile(name, text)) {
            Fail(name + " cannot be read");
            return BatchFailure;
        }
        parts.push_back(std::move(text));
    }
    std::string table, failure;
    int failed = 0;
    if (!GatherStudy(arguments.gather, parts, table, failed, failure)) {
        Fail(failure);
        return BatchFailure;
    }
    if (!Save(arguments.output, table))
        return BatchFailure;
    // The chart of the whole study, from the gathered table.
    if (!arguments.chart.empty()) {
        std::vector<StudyRow> rows;
        bool usCustomary = false;
        if (!ReadStudyTable(table, rows, usCustomary)) {
            Fail(arguments.output + " is not a table of a study");
            return BatchFailure;
        }
        if (!Chart(rows, arguments.chart, usCustomary))
            return BatchFailure;
    }
    return failed > 0 ? BatchIncomplete : BatchSuccess;
}

// The options of the study: its record, units and jobs, and the share of the
// list this run reads (inShares), from the command line or Slurm's array;
// false after a message when the share is none of the shares.
bool TakeStudyOptions(const StudyArguments& arguments, StudyOptions& options, bool& inShares) {
    if (arguments.record != "last")
        ParseRecordNumber(arguments.record, options.record);
    options.usCustomary = arguments.units == "us";
    if (!arguments.minimumWall.empty())
        ParseWholeNumber(arguments.minimumWall.c_str(), options.minimumWall);
    options.jobs =
        arguments.jobs > 0 ? arguments.jobs : static_cast<int>(std::thread::hardware_concurrency());
    inShares = arguments.tasks > 0;
    if (inShares) {
        options.task = arguments.task;
        options.tasks = arguments.tasks;
    } else {
        inShares = SlurmShare(options.task, options.tasks);
    }
    if (inShares && (options.tasks < 1 || options.task < 0 || options.task >= options.tasks)) {
        Fail(FormatText("task %d is not one of the %d shares (0 to %d)", options.task, options.tasks,
                        options.tasks - 1));
        return false;
    }
    return true;
}

// Every output is checked before the projects are read: none may replace
// LIST or a file of a project of it. Only a file that exists can be one,
// so a first run reads no project file for it.
bool OutputsAccepted(const StudyArguments& arguments, const StudyList& list,
                     const std::vector<size_t>& positions, const std::vector<std::string>& names) {
    std::vector<std::string> outputs = {arguments.output, arguments.chart};
    for (size_t position : positions)
        if (!arguments.pictures.empty())
            outputs.push_back(arguments.pictures + "/" + names[position] + ".png");
    const auto exists = [](const std::string& path) {
        struct stat info;
        return !path.empty() && ::stat(path.c_str(), &info) == 0;
    };
    if (std::none_of(outputs.begin(), outputs.end(), exists))
        return true;
    CInputFiles inputs;
    inputs.Add(arguments.list);
    for (const std::string& path : list.paths)
        inputs.AddProjectFile(path);
    for (const std::string& output : outputs)
        if (!inputs.Accepts(output))
            return false;
    return true;
}

} // namespace

int RunStudyCommand(const StudyArguments& arguments, const std::string& configurationPath) {
#ifndef QUILLMERE_BATCH_RENDER
    if (!arguments.pictures.empty() || !arguments.chart.empty()) {
        Fail("this build draws no pictures (built without Qt)");
        return BatchFailure;
    }
#endif
    if (!arguments.gather.empty())
        return Gather(arguments);
    if (arguments.list.empty()) {
        Fail("study needs LIST, or --gather PART.csv...");
        return BatchFailure;
    }
    StudyList list;
    std::string failure;
    if (!ReadStudyList(arguments.list, list, failure)) {
        Fail(failure);
        return BatchFailure;
    }
    StudyOptions options;
    bool inShares = false;
    if (!TakeStudyOptions(arguments, options, inShares))
        return BatchFailure;
    // This share's projects by their position in LIST.
    std::vector<size_t> positions;
    for (size_t i = static_cast<size_t>(options.task); i < list.paths.size();
         i += static_cast<size_t>(options.tasks))
        positions.push_back(i);
    const bool pictures = !arguments.pictures.empty();
    const std::vector<std::string> names = pictures ? StudyPictureNames(list) : std::vector<std::string>();
    if (!OutputsAccepted(arguments, list, positions, names))
        return BatchFailure;

    const bool terminal = ::isatty(STDERR_FILENO) != 0;
    const std::vector<StudyRow> rows =
        RunStudy(list, options, configurationPath, [terminal](int done, int total) {
            if (terminal)
                std::fprintf(stderr, "\rstudy: %d of %d projects%s", done, total, done == total ? "\n" : "");
        });
    // The pictures first, so that the table names those written.
    bool complete = true;
    std::vector<std::string> written;
#ifdef QUILLMERE_BATCH_RENDER
    if (pictures) {
        std::error_code error;
        std::filesystem::create_directories(arguments.pictures, error);
        complete = WriteStudyPictures(list, positions, rows, names, arguments.pictures, configurationPath,
                                      options.usCustomary, written, options.minimumWall);
    }
#endif
    const std::vector<std::string>* column = pictures ? &written : nullptr;
    const std::string text =
        inShares ? StudyPart(list, options, rows, column) : StudyTable(rows, options.usCustomary, column);
    if (!Save(arguments.output, text) || !complete)
        return BatchFailure;
    if (!arguments.chart.empty() && !Chart(rows, arguments.chart, options.usCustomary))
        return BatchFailure;
    for (const StudyRow& row : rows)
        if (!row.ok)
            return BatchIncomplete;
    return BatchSuccess;
}

} // namespace quillmere
