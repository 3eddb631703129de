#include "batch/BatchTool.h"

#include "batch/BatchCommandLine.h"
#include "batch/CutCommand.h"
#include "batch/ExportCommand.h"
#include "batch/GltfCommand.h"
#include "batch/InputFiles.h"
#include "batch/MeasureCommand.h"
#include "batch/ReportCommand.h"
#include "batch/ShareCommand.h"
#include "batch/StudyCommand.h"
#include "batch/TipCommand.h"
#include "batch/ValuesCommand.h"
#include "batch/VtkCommand.h"
#ifdef QUILLMERE_BATCH_RENDER
#include "batch/RenderCommand.h"
#include "batch/VideoCommand.h"
#endif
#include "config/CConfiguration.h"
#include "core/Messages.h"
#include "messages/MessageText.h"
#include "scale/AllRecordLimits.h"
#include "scale/ByPosition.h"
#include "scale/Comparison.h"
#include "session/CSession.h"
#include "session/CSessionView.h"

namespace quillmere {

namespace {

// First contact is read from every record of a project before it is shown;
// false after the message when a record cannot be used.
bool PrepareFirstContact(const BatchArguments& arguments, const CProjectProfile& project) {
    // A model carries the values of every quantity: without first contact it
    // carries none of it.
    const bool shown = arguments.quantity == ResultQuantity::FirstContact;
    if (!shown && arguments.command != "gltf")
        return true;
    Message failure;
    if (EnsureFirstContact(project, failure))
        return true;
    if (!shown) {
        if (failure)
            ShowMessage(failure, MessageIcon::Warning);
        return true;
    }
    if (failure)
        ShowMessage(failure, MessageIcon::Error);
    return false;
}

// The view compares with the --minus project (or another record of this
// one), whose files are inputs as well, node by node or by position; false
// after a message when it cannot.
bool CompareWithMinus(const BatchArguments& arguments, const CConfiguration& configuration,
                      CSessionView& view, CInputFiles& inputs) {
    CProjectProfile reference;
    if (!reference.Open(arguments.minus, nullptr))
        return false;
    inputs.AddProject(reference);
    if (!PrepareFirstContact(arguments, reference))
        return false;
    if (arguments.minusRecord != 0 &&
        (arguments.minusRecord < 1 || arguments.minusRecord > reference.RecordCount())) {
        ShowMessage(MessageId::InvalidRecordNumber, MessageIcon::None);
        return false;
    }
    ComparisonRule rule;
    if (arguments.byPosition) {
        rule.mode = ComparisonMode::ByPosition;
        if (arguments.hasMaxDistance)
            rule.maxDistance = configuration.LengthFromDisplay(arguments.maxDistance) / 1000;
    }
    Message failure;
    if (!view.CompareWith(reference, arguments.minusRecord, failure, rule)) {
        BatchFail(MessageText(failure));
        return false;
    }
    return true;
}

// The file a command on a project writes besides its standard output, or "".
const std::string& OutputOf(const BatchArguments& arguments) {
    return arguments.command == "render"    ? arguments.render.output
           : arguments.command == "video"   ? arguments.video.output
           : arguments.command == "measure" ? arguments.measure.output
           : arguments.command == "gltf"    ? arguments.model
           : arguments.command == "share"   ? arguments.share.output
                                            : arguments.save;
}

int RunProjectCommand(const BatchArguments& arguments, BatchProject& project, std::ostream& out) {
    const std::string& command = arguments.command;
    if (command == "report")
        return WriteReport(arguments, project, out);
    if (command == "values")
        return WriteValues(arguments, project, out);
    if (command == "tip")
        return WriteTip(arguments, project, out);
    if (command == "vtk")
        return WriteVtk(arguments, project);
    if (command == "measure")
        return WriteMeasure(arguments, project, out);
    if (command == "gltf")
        return WriteGltf(arguments, project);
    if (command == "share")
        return WriteShare(arguments, project);
#ifdef QUILLMERE_BATCH_RENDER
    if (command == "render")
        return WriteRender(arguments, project);
    if (command == "video")
        return WriteVideo(arguments, project);
#else
    if (command == "render")
        return BatchFail("this build draws no pictures (built without Qt)");
    if (command == "video")
        return BatchFail("this build draws no videos (built without Qt)");
#endif
    return WriteCut(arguments, project, out);
}

// The command once its arguments are known.
int RunCommand(const BatchArguments& arguments, const std::string& configurationPath, std::ostream& out) {
    // The export copies files; it reads no record and no configuration.
    if (arguments.command == "export")
        return ExportFiles(arguments.project, arguments.target, arguments.withSolution,
                           arguments.firstAndLast, arguments.create, out);
    if (arguments.command == "study")
        return RunStudyCommand(arguments.study, configurationPath);

    CConfiguration configuration(configurationPath);
    if (!arguments.units.empty())
        configuration.SetSIMetric(arguments.units == "si");
    // Other records are reached the way the windows reach them.
    CSession session;
    if (!session.Open(arguments.project, nullptr) ||
        (arguments.record != 0 && !session.ShowRecord(arguments.record)) ||
        !PrepareFirstContact(arguments, session.Project()))
        return BatchFailure;
    // No output may replace a file the command reads.
    CInputFiles inputs;
    inputs.AddProject(session.Project());
    if (!arguments.measure.points.empty())
        inputs.Add(arguments.measure.points);
    CSessionView view(&session);
    if (!arguments.minus.empty() && !CompareWithMinus(arguments, configuration, view, inputs))
        return BatchFailure;
    if (!inputs.Accepts(OutputOf(arguments)))
        return BatchFailure;
    BatchProject project{session, view, configuration, inputs};
    const int status = RunProjectCommand(arguments, project, out);
    // Nodes beyond the reference sheet have no difference: said once, after
    // the output that shows them as nan (or grey).
    if (const CComparison* comparison = view.Comparison().get()) {
        out.flush();
        const Message beyond =
            BeyondReferenceMessage(comparison->BeyondNodes(), comparison->Rule().maxDistance, configuration);
        if (beyond)
            ShowMessage(beyond, MessageIcon::Warning);
    }
    return status;
}

// A full disk or a closed file under the standard output must not pass for
// a complete output.
int CheckOutput(std::ostream& out, int status) {
    out.flush();
    if (out)
        return status;
    ShowMessage("quillmere-batch: the standard output cannot be written", MessageIcon::Error);
    return status == BatchCritical ? status : BatchFailure;
}

} // namespace

int RunBatch(const std::vector<std::string>& argumentList, const std::string& configurationPath,
             std::ostream& out) {
    BatchArguments arguments;
    switch (ParseArguments(argumentList, arguments, out)) {
    case ParseOutcome::Done:
        return CheckOutput(out, BatchSuccess);
    case ParseOutcome::Wrong:
        return BatchFailure;
    case ParseOutcome::Run:
        break;
    }
    int status = BatchCritical;
    try {
        status = RunCommand(arguments, configurationPath, out);
    } catch (const CCriticalError&) {
        // The message has been shown where the error arose.
    }
    return CheckOutput(out, status);
}

} // namespace quillmere
