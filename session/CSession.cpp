#include "session/CSession.h"

#include "scale/Comparison.h"

namespace quillmere {

bool CSession::ShowRecord(int record) {
    return record == project.CurrentRecord() || project.GoToRecord(record);
}

CCutSession& CSession::StartCut() {
    cut = CCutSession();
    return cut;
}

bool CSession::MakeCut(const CConfiguration& configuration, Message& failure) {
    const CSheetProfile* sheet = Sheet();
    if (!sheet)
        return true;
    bool prepared = true;
    if (cut.Comparison && !cut.Comparison->Prepare(*sheet, project.CurrentRecord(), failure)) {
        cut.Comparison.reset();
        prepared = false;
    }
    cut.Record = project.CurrentRecord();
    cut.RecordCount = project.RecordCount();
    cut.Cut(*sheet, configuration);
    return prepared;
}

const CCutSegments* CSession::CutLine() const {
    return Sheet() ? &cut.CutOf(*Sheet()) : nullptr;
}

const CCoordinate* CSession::CutMark() const {
    return Sheet() ? cut.MarkOf(*Sheet()) : nullptr;
}

} // namespace quillmere
