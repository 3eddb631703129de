#include "batch/CutCommand.h"

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
