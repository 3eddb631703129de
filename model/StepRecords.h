// A record of an open project read onto its mesh, as the navigation, the
// animation and the video read the records after the first; and the
// messages that tell why one cannot be.
#pragma once

#include "core/Messages.h"

#include <memory>

namespace quillmere {

class CProjectProfile;
class CSheetProfile;
struct CRecordData;
class IProgressSink;

// Reads record (1-based) of document; false, with the message to show, when
// it is missing, damaged or of other element or node counts than the sheet.
bool ReadStepRecord(const CProjectProfile& document, int record, IProgressSink* progress, CRecordData& read,
                    Message& failure);
// Derives a record read on the sheet's mesh (see PrepareRecord); null, with
// the message to show, when its elements use other nodes.
std::unique_ptr<CSheetProfile> PrepareStepRecord(const CProjectProfile& document, CRecordData read,
                                                 Message& failure);
// Reads record and prepares it; null as ReadStepRecord and PrepareStepRecord.
std::unique_ptr<CSheetProfile> ReadPreparedRecord(const CProjectProfile& document, int record,
                                                  IProgressSink* progress, Message& failure);

// The warning that record (1-based), held by sheet, has values that are not
// numbers; empty when all are numbers.
Message NonFiniteWarning(const CSheetProfile& sheet, int record);

} // namespace quillmere
