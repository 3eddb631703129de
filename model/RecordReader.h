// The binary record file: its mesh and its values as read, or what is wrong
// with it.
#pragma once

#include "core/Messages.h"
#include "model/RecordValues.h"
#include "model/SheetMesh.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quillmere {

class IProgressSink;

// What makes a record file unusable.
enum class RecordFault {
    None,
    CannotOpen, // missing, not a regular file, or not to be opened
    CannotRead, // a read failed
    ShorterThanHeader,
    NoElementsOrNodes, // elements, nodes: the header's counts
    ShorterThanCounts, // elements, nodes
    TooManyPlanes,     // planes
    EndsBeforePlanesOrMarks,
    BeyondMemory,   // elements, nodes, gigabytes
    NodeOutOfRange, // element (1-based), node, nodes
};

struct RecordError {
    RecordFault fault = RecordFault::None;
    int elements = 0, nodes = 0;
    int planes = 0;
    int element = 0, node = 0;
    double gigabytes = 0;

    explicit operator bool() const { return fault != RecordFault::None; }
};

// Why a record cannot be used, the reason inside the message that refuses
// it ("its header gives 0 elements and 9 nodes"); empty without an error.
Message RecordErrorMessage(const RecordError& error);

// A record file read: what it says of the mesh and its values, or the
// error that makes it unusable (the rest is then empty).
struct CRecordData {
    RecordError error;
    CMeshData mesh;
    CRecordValues values;
};

// Reads the record file at path, record index (0-based) of its project. The
// progress sink (may be null) shows "Loading <path>." and the percentage of
// elements read, and the idle text at the end, whether the record is used
// or refused.
CRecordData ReadRecordFile(const std::string& path, int index, IProgressSink* progress);
// Checks a record file as ReadRecordFile reads it, with the same progress
// and errors, keeping none of its values.
RecordError CheckRecordFile(const std::string& path, IProgressSink* progress);

// The contact block of a record file and its header's counts, its sizes
// checked as ReadRecordFile checks them, without reading anything else: what
// a pass over every record for the tools' contact needs.
struct CRecordContact {
    RecordError error;
    int elementCount = 0, nodeCount = 0;
    // By node number (entry 0 is no node): the slot of the tool the node
    // touches, kToolSlots or more for none.
    std::vector<uint8_t> tool;
};
CRecordContact ReadRecordContact(const std::string& path);

} // namespace quillmere
