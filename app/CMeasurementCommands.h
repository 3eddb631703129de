// Measured points against the sheet in the windows: File > Import
// measurements..., the "Measurements" panel with its table and "Save
// table...", and the comparison made again for each record a project shows.
// The points are a session's: every 3D window of the project draws them.
// Files are read and compared by jobs, never on the interface thread.
#pragma once

#include "core/Parallel.h"
#include "measure/MeasuredPoints.h"

#include <QObject>
#include <QString>

#include <map>
#include <memory>

class QDockWidget;

namespace quillmere {

class CMainFrame;
class CMeasurementPanel;
class CProjectProfile;
class CSession;

class CMeasurementCommands : public QObject {
    Q_OBJECT

public:
    explicit CMeasurementCommands(CMainFrame& frame);
    ~CMeasurementCommands() override;

    // Reads a measurement file into the active project's session and
    // compares it with the record shown; the result comes later, through the
    // interface thread.
    void Import(const QString& path);
    // A record was loaded: sessions whose points were compared with another
    // one compare them again.
    void RecordLoaded();
    // Compares the session's points with the record shown at once, on this
    // thread, dropping a comparison under way: a video's frame shows the
    // points of its own record, not those of the record before.
    void CompareNow(CSession& session);
    // The units changed: the panel and the scales follow.
    void UnitsChanged();
    // Whether a job of the session runs.
    bool Busy(const CSession* session) const;

    CMeasurementPanel* Panel() const { return panel; }
    QDockWidget* Dock() const { return dock; }

private:
    using Result = std::shared_ptr<const MeasuredPoints>;
    struct Pending {
        parallel::Job<Result> job;
        bool import = false;
        int record = 0;
        unsigned generation = 0;
        // Started again once this one is done (the record moved on).
        bool again = false;
    };

    void Start(CSession& session, std::shared_ptr<const MeasuredPoints> read, bool import);
    void Finished(CSession* session, unsigned generation);
    void Take(CSession& session, Result result, bool import);
    // The session of the active window; null for none.
    CSession* ActiveSession() const;
    // Every window of the session shows its points as they are now; the
    // panel shows those of the active window.
    void ShowEverywhere(CSession& session);
    void ShowInPanel();
    void Select(int point);
    void SaveTable();

    CMainFrame& frame;
    QDockWidget* dock;
    CMeasurementPanel* panel;
    std::map<CSession*, Pending> pending;
    unsigned generations = 0;
};

} // namespace quillmere
