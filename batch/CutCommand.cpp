#include "batch/CutCommand.h"

#include "batch/BatchOptions.h"
#include "batch/BatchOutput.h"
#include "core/Messages.h"
#include "core/TextFormat.h"
#include "cut/CutComputation.h"
#include "cut/ProfileCsv.h"
#include "messages/MessageText.h"
#include "session/CSession.h"
#include "session/CSessionView.h"

namespace quillmere {

namespace {

void WritePieces(const CCutSegments& cut, std::ostream& out) {
    out << "element,x0,y0,z0,x1,y1,z1,arc_start,arc_end,value\n";
    for (const CAbscisse& piece : cut) {
        out << piece.ElementNumber << ',' << ExactNumber(piece.Start.x) << ',' << ExactNumber(piece.Start.y)
            << ',' << ExactNumber(piece.Start.z) << ',' << ExactNumber(piece.End.x) << ','
            << ExactNumber(piece.End.y) << ',' << ExactNumber(piece.End.z) << ','
            << ExactNumber(piece.ArcStart) << ',' << ExactNumber(piece.ArcEnd) << ','
            << ExactNumber(piece.Value) << '\n';
    }
}

void WriteGraph(const CCutSession& cut, std::ostream& out) {
    if (cut.HasPoints()) {
        const CGraphLimits& limits = cut.GraphLimits;
        out << "# limits " << ExactNumber(limits.xMin) << ' ' << ExactNumber(limits.xMax) << ' '
            << ExactNumber(limits.yMin) << ' ' << ExactNumber(limits.yMax) << '\n';
    }
    out << "arc,value\n";
    for (const CGraphPoint& point : cut.Graph.Points)
        out << ExactNumber(point.x) << ',' << ExactNumber(point.y) << '\n';
}

} // namespace

void DescribeCut(CLI::App& app, BatchArguments& parsed, OptionTexts& texts) {
    CLI::App* cut = app.add_subcommand(
        "cut",
        "Writes the cut of the sheet by a plane, or its profile graph; the element numbers of the pieces "
        "and of the CSV count from 1, as the cut window's do (tip --element takes the number less one)");
    AddProject(*cut, parsed);
    cut->add_option("--plane", texts.plane, "The axis the plane is normal to")
        ->type_name("x|y|z")
        ->required()
        ->check(CLI::IsMember({"x", "y", "z"}));
    cut->add_option("--position", texts.position,
                    "Where the plane meets the axis, in mm (inch with --units us)")
        ->type_name("P")
        ->required()
        ->check(Accepts(IsNumber, "a number"));
    AddQuantity(*cut, texts, true);
    AddRecord(*cut, texts);
    AddUnits(*cut, parsed);
    CLI::Option* graph =
        cut->add_flag("--graph", parsed.graph, "Writes the profile graph instead of the pieces");
    cut->add_option(
           "--save", parsed.save,
           "Writes the profile as CSV into FILE.csv (as the cut window's Save data does) and nothing "
           "to the standard output")
        ->type_name("FILE.csv")
        ->excludes(graph);
    AddMinus(*cut, parsed, texts);
}

int WriteCut(const BatchArguments& arguments, BatchProject& project, std::ostream& out) {
    CSession& session = project.session;
    CCutSession& cut = session.StartCut();
    cut.PlaneIndex = arguments.plane;
    cut.Position = arguments.position;
    cut.ProfileQuantity = *arguments.quantity;
    cut.Comparison = project.view.Comparison();
    Message failure;
    if (!session.MakeCut(project.configuration, failure))
        return BatchFail(MessageText(failure));
    const CCutSegments& pieces = *session.CutLine();
    if (!arguments.save.empty()) {
        if (!SaveProfileCsv(arguments.save, ProfileCsv(pieces, cut.ProfileQuantity, project.configuration,
                                                       cut.Made.difference)))
            return BatchFail(arguments.save + " cannot be written");
    } else if (arguments.graph) {
        WriteGraph(cut, out);
    } else {
        WritePieces(pieces, out);
    }
    if (pieces.empty())
        ShowMessage(NoCutText, MessageIcon::Information);
    return BatchSuccess;
}

} // namespace quillmere
