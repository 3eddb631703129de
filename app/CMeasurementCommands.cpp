#include "app/CMeasurementCommands.h"

#include "app/AppTexts.h"
#include "app/CChildFrame.h"
#include "app/CMainFrame.h"
#include "app/CommandIds.h"
#include "config/CConfiguration.h"
#include "core/AtomicFile.h"
#include "core/Messages.h"
#include "measure/MeasurementTable.h"
#include "messages/MessageText.h"
#include "model/CProjectProfile.h"
#include "session/CSession.h"
#include "ui/measure/CMeasurementPanel.h"
#include "ui/scene/CSceneRender.h"

#include <QDir>
#include <QDockWidget>
#include <QFileInfo>

namespace quillmere {

namespace {

LengthUnit UnitOf(const CConfiguration& configuration) {
    return configuration.IsSIMetric() ? LengthUnit::Millimetre : LengthUnit::Inch;
}

// Reads the file when read has no points yet, then compares with sheet.
std::shared_ptr<const MeasuredPoints> ReadAndCompare(std::shared_ptr<const MeasuredPoints> read,
                                                     LengthUnit unit, const CSheetProfile& sheet,
                                                     int record) {
    if (read->file.points.empty() && !read->file.error) {
        auto file = std::make_shared<MeasuredPoints>(*read);
        file->file = ReadMeasurementFile(read->path, unit);
        if (file->file.error)
            return file;
        read = std::move(file);
    }
    return CompareMeasuredPoints(*read, sheet, record);
}

} // namespace

CMeasurementCommands::CMeasurementCommands(CMainFrame& mainFrame) : frame(mainFrame) {
    dock = new QDockWidget(QString::fromUtf8(appTexts::MeasurementsPanel), &frame);
    dock->setObjectName(QStringLiteral("measurements"));
    dock->setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea | Qt::BottomDockWidgetArea);
    panel = new CMeasurementPanel(dock);
    dock->setWidget(panel);
    // Below the windows: the table is wide, and the views keep their width.
    frame.addDockWidget(Qt::BottomDockWidgetArea, dock);
    dock->hide();
    connect(panel, &CMeasurementPanel::PointSelected, this, &CMeasurementCommands::Select);
    connect(panel, &CMeasurementPanel::SaveTableRequested, this, &CMeasurementCommands::SaveTable);
    connect(&frame, &CMainFrame::ActiveViewChanged, this, &CMeasurementCommands::ShowInPanel);
    connect(&frame, &CMainFrame::DocumentClosing, this, [this](const CProjectProfile* document) {
        for (auto at = pending.begin(); at != pending.end();)
            at = &at->first->Project() == document ? pending.erase(at) : std::next(at);
        // The panel lets go of the project's points with its last window.
        for (CChildFrame* child : frame.ChildrenOf(document))
            if (child->Session() && panel->Points() && panel->Points() == child->Session()->Measured())
                panel->Show(nullptr, frame.Configuration(), -1);
    });

    frame.Commands().Define(
        command::ImportMeasurements, QStringLiteral("Import &measurements\u2026"),
        QStringLiteral("Compare points measured on the formed part with the sheet"),
        [this] {
            const QString path = frame.Files().MeasurementsToImport(&frame);
            if (!path.isEmpty())
                Import(path);
        },
        [this] {
            return CommandState{ActiveSession() != nullptr, false};
        });
}

CMeasurementCommands::~CMeasurementCommands() {
    // The jobs are waited for while the sessions still exist.
    pending.clear();
}

CSession* CMeasurementCommands::ActiveSession() const {
    CChildFrame* child = frame.ActiveChild();
    return child && child->Session() && child->Session()->Sheet() ? child->Session() : nullptr;
}

bool CMeasurementCommands::Busy(const CSession* session) const {
    return pending.count(const_cast<CSession*>(session)) > 0;
}

void CMeasurementCommands::Import(const QString& path) {
    CSession* session = ActiveSession();
    if (!session)
        return;
    auto read = std::make_shared<MeasuredPoints>();
    read->path = QFileInfo(path).absoluteFilePath().toStdString();
    Start(*session, std::move(read), true);
}

void CMeasurementCommands::Start(CSession& session, std::shared_ptr<const MeasuredPoints> read, bool import) {
    const auto running = pending.find(&session);
    if (running != pending.end() && running->second.job.Valid()) {
        // An import waits for the comparison running, and a record shown
        // meanwhile is compared after it.
        if (import)
            running->second.job = parallel::Job<Result>(); // waits
        else {
            running->second.again = true;
            return;
        }
    }
    // The job reads a copy: the interface thread may step the sheet on.
    std::shared_ptr<const CSheetProfile> sheet = CopySheet(*session.Sheet());
    const int record = session.Project().CurrentRecord();
    const LengthUnit unit = UnitOf(frame.Configuration());
    Pending& entry = pending[&session];
    entry.import = import;
    entry.record = record;
    entry.again = false;
    entry.generation = ++generations;
    CSession* key = &session;
    const unsigned generation = entry.generation;
    entry.job = parallel::StartJob([read = std::move(read), unit, sheet = std::move(sheet),
                                    record] { return ReadAndCompare(read, unit, *sheet, record); },
                                   [this, key, generation] {
                                       QMetaObject::invokeMethod(
                                           this, [this, key, generation] { Finished(key, generation); },
                                           Qt::QueuedConnection);
                                   });
}

void CMeasurementCommands::Finished(CSession* session, unsigned generation) {
    const auto at = pending.find(session);
    if (at == pending.end() || at->second.generation != generation || !at->second.job.Valid())
        return;
    const bool import = at->second.import, again = at->second.again;
    Result result;
    try {
        result = at->second.job.Take();
    } catch (const std::exception& error) {
        pending.erase(at);
        ShowMessage(FailureMessage(error), MessageIcon::Error);
        return;
    }
    pending.erase(at);
    Take(*session, std::move(result), import);
    // The record moved on while the points were compared.
    if (session->Measured() && (again || session->Project().CurrentRecord() != session->Measured()->record))
        Start(*session, session->Measured(), false);
}

void CMeasurementCommands::Take(CSession& session, Result result, bool import) {
    if (import) {
        const MeasurementFile& file = result->file;
        if (file.error) {
            // The project keeps what it had.
            ShowMessage(MeasurementRefusal(result->path, file.error), MessageIcon::Error);
            return;
        }
        session.SelectPoint(-1);
        session.SetMeasured(result);
        ShowEverywhere(session);
        dock->show();
        dock->raise();
        const Message bad = BadRowsMessage(result->path, file);
        if (bad)
            ShowMessage(bad, MessageIcon::Warning);
        return;
    }
    // A comparison of points dropped or replaced meanwhile is not wanted.
    if (!session.Measured() || session.Measured()->path != result->path)
        return;
    session.SetMeasured(std::move(result));
    ShowEverywhere(session);
}

void CMeasurementCommands::RecordLoaded() {
    for (CProjectProfile* document : frame.Documents())
        for (CChildFrame* child : frame.ChildrenOf(document)) {
            CSession* session = child->Session();
            if (session && session->Sheet() && session->Measured() &&
                session->Measured()->record != session->Project().CurrentRecord())
                Start(*session, session->Measured(), false);
            break;
        }
}

void CMeasurementCommands::CompareNow(CSession& session) {
    if (!session.Sheet() || !session.Measured())
        return;
    const auto running = pending.find(&session);
    if (running != pending.end()) {
        running->second.job = parallel::Job<Result>(); // waits
        pending.erase(running);
    }
    if (session.Measured()->record == session.Project().CurrentRecord())
        return;
    Take(session,
         ReadAndCompare(session.Measured(), UnitOf(frame.Configuration()), *session.Sheet(),
                        session.Project().CurrentRecord()),
         false);
}

void CMeasurementCommands::ShowEverywhere(CSession& session) {
    for (CChildFrame* child : frame.ChildrenOf(&session.Project()))
        child->ShowMeasurements();
    if (ActiveSession() == &session)
        ShowInPanel();
}

void CMeasurementCommands::ShowInPanel() {
    CSession* session = ActiveSession();
    if (!session || !session->Measured()) {
        // Another project's window, or one without points: its panel is
        // empty; a cut window leaves the panel as it was.
        if (frame.ActiveChild() || !frame.ActiveDocumentFrame())
            panel->Show(nullptr, frame.Configuration(), -1);
        return;
    }
    panel->Show(session->Measured(), frame.Configuration(), session->SelectedPoint());
}

void CMeasurementCommands::UnitsChanged() {
    for (CChildFrame* child : frame.Children())
        child->ShowMeasurements();
    ShowInPanel();
}

void CMeasurementCommands::Select(int point) {
    CSession* session = ActiveSession();
    if (!session || !session->Measured())
        return;
    session->SelectPoint(point);
    for (CChildFrame* child : frame.ChildrenOf(&session->Project()))
        child->View()->ShowMeasurements();
    const std::vector<MeasurementMarker> markers = MeasurementMarkers(*session->Measured());
    if (point >= 0 && static_cast<size_t>(point) < markers.size())
        if (CSceneRender* view = frame.ActiveSceneView())
            view->CentreOn(markers[static_cast<size_t>(point)].position);
}

void CMeasurementCommands::SaveTable() {
    CSession* session = ActiveSession();
    const std::shared_ptr<const MeasuredPoints> points = session ? session->Measured() : nullptr;
    if (!points)
        return;
    const QFileInfo source(QString::fromStdString(points->path));
    const QString path = frame.Files().TableToSave(
        &frame, source.dir().filePath(source.completeBaseName() + QStringLiteral("_table.csv")));
    if (path.isEmpty())
        return;
    const std::string target = path.toStdString();
    // The bytes of the batch tool's table, in the user's units.
    const std::string table =
        MeasurementTable(points->file, points->comparison, UnitOf(frame.Configuration()));
    // A hidden unique name beside the file while it is written.
    const QFileInfo place(path);
    CAtomicFile file(target, place.dir()
                                 .filePath(QStringLiteral(".") + place.fileName() + QStringLiteral(".XXXXXX"))
                                 .toStdString());
    if (!file.Open() || !file.Write(table) || !file.Commit())
        ShowMessage("The table cannot be written to " + target + ".", MessageIcon::Error);
}

} // namespace quillmere
