#include "batch/BatchCommandLine.h"

#include "batch/BatchOptions.h"
#include "batch/Subcommands.h"
#include "core/Messages.h"
#include "core/TextFormat.h"
#include "messages/MessageText.h"

#include <CLI/CLI.hpp>
#include <algorithm>

namespace quillmere {

namespace {

const char* const Usage =
    "usage: quillmere-batch report sheet|project|record|document|forming PROJECT.tfc [--units si|us] "
    "[--record N] [--min-wall T]\n"
    "       quillmere-batch values PROJECT.tfc --quantity Q [--record N] [--min A --max B] [--min-wall T] "
    "[--minus REFERENCE.tfc "
    "[--minus-record M] [--by-position [--max-distance D]]]\n"
    "       quillmere-batch cut PROJECT.tfc --plane x|y|z --position P --quantity Q [--record N] [--units "
    "si|us] "
    "[--graph | --save FILE.csv] [--minus REFERENCE.tfc [--minus-record M] [--by-position [--max-distance "
    "D]]]\n"
    "       quillmere-batch tip PROJECT.tfc (--node N | --element E) [--record N] [--units si|us]\n"
    "       quillmere-batch export PROJECT.tfc --to DIR [--with-solution [--first-last]] [--create]\n"
    "       quillmere-batch render PROJECT.tfc -o FILE [--record N] [--quantity Q] [--view general|xy|xz|yz] "
    "[--size WxH] [--no-name] [--scale] [--units si|us] [--min-wall T] [--minus REFERENCE.tfc "
    "[--minus-record M] "
    "[--by-position "
    "[--max-distance D]]]\n"
    "       quillmere-batch video PROJECT.tfc -o FILE.avi|FILE.mp4 [--size WxH] [--codec NAME] [--quantity "
    "Q] "
    "[--view general|xy|xz|yz]\n"
    "       quillmere-batch study LIST -o TABLE.csv [--record last|N] [--units si|us] [--min-wall T] [--jobs "
    "N] [--pictures DIR] [--chart FILE.png] [--task I --of N]\n"
    "       quillmere-batch study --gather PART.csv... -o TABLE.csv\n"
    "       quillmere-batch vtk PROJECT.tfc --to DIR [--records all|last|N[,M...]] [--units si|us]\n"
    "       quillmere-batch measure PROJECT.tfc --points FILE.csv [--record N] [--units si|us] "
    "[--max-distance "
    "D] [--tolerance T] [--fit rigid] [-o TABLE.csv]\n"
    "       quillmere-batch gltf PROJECT.tfc -o FILE.glb [--record N] [--quantity Q] [--min-wall T] [--minus "
    "REFERENCE.tfc [--minus-record M] [--by-position [--max-distance D]]]\n"
    "       quillmere-batch share PROJECT.tfc -o PAGE.html [--records all|last|N[,M...]] [--quantity Q ...] "
    "[--units si|us]";

// The first argument of list but "--", which ends the options (and which
// CLI11 lists among the arguments it did not take).
std::string FirstOf(const std::vector<std::string>& list) {
    for (const std::string& argument : list)
        if (argument != "--")
            return argument;
    return "";
}

// The first argument that no command took. CLI11 keeps those of the command
// (unknown options) apart from those it handed back (surplus values): the
// unknown option names the fault best.
std::string FirstUnexpected(const CLI::App& app) {
    for (const CLI::App* command : app.get_subcommands())
        if (!FirstOf(command->remaining()).empty())
            return FirstOf(command->remaining());
    return FirstOf(app.remaining());
}

// Why a command line is wrong, in one line.
std::string Reason(const std::string& error, const CLI::App& app, const std::vector<std::string>& arguments) {
    const std::string unexpected = FirstUnexpected(app);
    if (arguments.empty())
        return "a command is needed: report, values, cut, tip, export, render, video, study, vtk, measure, "
               "gltf or share";
    if (app.get_subcommands().empty() && !arguments.empty() && !arguments[0].empty() &&
        arguments[0][0] != '-')
        return arguments[0] + " is not a command: report, values, cut, tip, export, render, video, study, "
                              "vtk, measure, gltf or share";
    if (!unexpected.empty() && unexpected[0] == '-' && !app.get_subcommands().empty())
        return unexpected + " is not an option of " + app.get_subcommands().front()->get_name();
    if (!unexpected.empty())
        return (unexpected[0] == '-' ? "unknown option " : "unexpected argument ") + unexpected;
    std::string reason = error;
    std::replace(reason.begin(), reason.end(), '\n', ' ');
    return reason;
}

} // namespace

ParseOutcome ParseArguments(const std::vector<std::string>& arguments, BatchArguments& parsed,
                            std::ostream& out) {
    CLI::App app("Reports, node values, cuts and data tips of solved projects", "quillmere-batch");
    OptionTexts texts;
    DescribeCommands(app, parsed, texts);
    // After the commands, which would take it over otherwise.
    app.footer(Usage);
    std::string reason;
    try {
        // CLI11 takes the arguments last first.
        std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
        app.parse(reversed);
        if (!FirstUnexpected(app).empty())
            reason = Reason("", app, arguments);
        else if (app.got_subcommand("tip") && texts.node.empty() && texts.element.empty())
            reason = "tip needs --node N or --element E";
        else if (app.got_subcommand("report") && parsed.report != "forming" && !texts.minimumWall.empty())
            reason = "--min-wall goes with report forming";
    } catch (const CLI::CallForHelp&) {
        out << app.help();
        return ParseOutcome::Done;
    } catch (const CLI::CallForVersion& version) {
        out << version.what() << '\n';
        return ParseOutcome::Done;
    } catch (const CLI::ParseError& error) {
        reason = Reason(error.what(), app, arguments);
    }
    if (!reason.empty()) {
        ShowMessage(FormatText("quillmere-batch: %s\n%s", reason.c_str(), Usage), MessageIcon::Error);
        return ParseOutcome::Wrong;
    }
    parsed.command = app.get_subcommands().front()->get_name();
    TakeOptionTexts(texts, parsed);
    return ParseOutcome::Run;
}

} // namespace quillmere
