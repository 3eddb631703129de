// One open project as the windows and the batch tool work on it: the
// project with its record player and the record its sheet holds, and the
// cut made on that sheet. A window's document drives it through its views
// and the cut window; a batch command opens one, reaches its record and
// asks it for what it writes.
#pragma once

#include "cut/CutSession.h"
#include "measure/MeasuredPoints.h"
#include "model/CProjectProfile.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace quillmere {

class CConfiguration;
class IProgressSink;

class CSession {
public:
    CSession() = default;
    CSession(const CSession&) = delete;
    CSession& operator=(const CSession&) = delete;

    // Opens the project; every failure has been reported when it returns
    // false.
    bool Open(const std::string& path, IProgressSink* progress) { return project.Open(path, progress); }
    CProjectProfile& Project() { return project; }
    const CProjectProfile& Project() const { return project; }
    CSheetProfile* Sheet() const { return project.Sheet(); }

    // Makes the sheet hold record (1-based), read only when it holds another;
    // false after the message ("Invalid record number." outside the
    // project's records, or why the record cannot be read).
    bool ShowRecord(int record);

    // The cut of the cut window (or of the cut command), whose settings its
    // owner edits. A fresh one when a cut window opens; it is dropped when
    // the window closes, so that the views draw no cut without one.
    CCutSession& StartCut();
    void EndCut() { cut = CCutSession(); }
    CCutSession& Cut() { return cut; }
    const CCutSession& Cut() const { return cut; }
    // Cuts the record the sheet holds with the cut's plane and profile, of
    // the differences to the cut's comparison prepared for that record
    // first. False, with the reason in failure, when the comparison cannot
    // be prepared: it is dropped and the cut is of the plain values. Nothing
    // without a sheet.
    bool MakeCut(const CConfiguration& configuration, Message& failure);

    // What the 3D views draw of the cut: its line, when it was made on the
    // values the sheet holds (null without a sheet), and the point the cut
    // window's read-out marks on it (null for none).
    const CCutSegments* CutLine() const;
    const CCoordinate* CutMark() const;

    // The measured points imported into the project, compared with the
    // record the sheet holds (null: none). They are the project's, not a
    // view's: every 3D view of it draws them, and they follow its record.
    const std::shared_ptr<const MeasuredPoints>& Measured() const { return measured; }
    void SetMeasured(std::shared_ptr<const MeasuredPoints> points) { measured = std::move(points); }
    // The point the measurements panel selected, which the views mark; -1
    // for none.
    int SelectedPoint() const { return selectedPoint; }
    void SelectPoint(int point) { selectedPoint = point; }

private:
    CProjectProfile project;
    CCutSession cut;
    std::shared_ptr<const MeasuredPoints> measured;
    int selectedPoint = -1;
};

} // namespace quillmere
