// The binary record file read into a sheet.
#pragma once

class CSheetProfile;
class IProgressSink;

// Reads the record file at sheet's RecordPath into sheet, or, without
// keepValues, only checks it the same way and keeps nothing. A damaged file
// makes the sheet ReadFailed; one that cannot be opened ends the program
// when unopenableIsCritical, else it makes the sheet OpenFailed too.
void ReadRecordFile(CSheetProfile& sheet, IProgressSink* progress, bool unopenableIsCritical,
                    bool keepValues);
