// Sheets made from record files read: a record on its own mesh, a record of
// a project's mesh to step to, and a reference record that may share the
// mesh of the sheet it is compared with.
#pragma once

#include "model/CSheetProfile.h"
#include "model/RecordReader.h"

#include <memory>
#include <string>

namespace quillmere {

class IProgressSink;

// The sheet of a record read without error: its mesh made from the file's,
// with the undeformed areas and the elements of each node, and its values
// derived on it.
std::unique_ptr<CSheetProfile> OpenSheet(CRecordData read);

// A record of mesh's project read without error: its values derived on mesh
// (the record's own undeformed sheet, identifiers, node symmetry and marks
// are the mesh's), for CSheetProfile::SwapRecordValues. Null when its counts
// or the nodes of its elements are not the mesh's.
std::unique_ptr<CSheetProfile> PrepareRecord(const std::shared_ptr<const CSheetMesh>& mesh, CRecordData read);

// A record read without error that may have mesh: its sheet shares mesh when
// the file's mesh is the same in every part, and only its node lists when
// just the elements' nodes are the same; it has a mesh of its own otherwise.
// sameElements tells whether its elements use mesh's nodes.
std::unique_ptr<CSheetProfile>
OpenSheetOnMesh(CRecordData read, const std::shared_ptr<const CSheetMesh>& mesh, bool& sameElements);

// Reads a record file and opens its sheet; null, with the error in error
// when given, when it cannot be used.
std::unique_ptr<CSheetProfile> ReadSheet(const std::string& path, int index, IProgressSink* progress,
                                         RecordError* error = nullptr);

} // namespace quillmere
