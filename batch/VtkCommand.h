// quillmere-batch vtk: records of a project as VTK unstructured grids, one
// .vtu per record, and the .pvd that lists them with their times.
#pragma once

#include "batch/BatchCommand.h"

#include <string>
#include <vector>

namespace quillmere {

// "all", "last" or record numbers separated by commas ("3", "1,5,9").
bool IsRecordList(const std::string& text);

// The records a list names, in its order without repeats; empty when a
// number lies outside 1 .. count.
std::vector<int> RecordsOfList(const std::string& text, int count);

// Writes NAME_R.vtu for each record R of the list and NAME.pvd into folder
// (which exists), NAME being the project file's name without extension; the
// .pvd lists the records in their order. Every array and the points in the
// configuration's units: metres (the points), mm, degC and MPa, or inches,
// degF and psi. A message on stderr and BatchFailure when a record cannot be
// read, a file cannot be written or would replace one of inputs.
int VtkProject(CSession& session, const CConfiguration& configuration, const std::string& records,
               const std::string& folder, const CInputFiles* inputs = nullptr);

// The command: the --to folder refused as the export dialog refuses it, or
// created, then VtkProject.
int WriteVtk(const BatchArguments& arguments, BatchProject& project);

} // namespace quillmere
