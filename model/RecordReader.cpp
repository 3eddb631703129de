// The binary record file. The file is read in chunks straight into the
// arrays of the mesh and the values: the element block on the calling
// thread (which reports the progress) and the node blocks on a job beside it
// at the same time. Every count is checked against the file size
// before anything is allocated. A check reads the whole file the same way
// and keeps nothing.
#include "model/RecordReader.h"

#include "core/Memory.h"
#include "core/Messages.h"
#include "core/Parallel.h"
#include "core/TextFormat.h"
#include "core/TextLines.h"
#include "model/Texts.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace quillmere {

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "record files are read as little-endian memory");

namespace {

constexpr uint64_t HeaderSize = 376;
constexpr uint64_t ExtendedElementBytes = 88;
constexpr uint64_t NodeRecordBytes = 8;
constexpr size_t ChunkBytes = size_t(1) << 20;

template <typename T> T Load(const unsigned char* at) {
    T value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

CCoordinate LoadFloatTriple(const unsigned char* at) {
    return {Load<float>(at), Load<float>(at + 4), Load<float>(at + 8)};
}

SymmetryType SymmetryFromName(const std::string& name) {
    if (EqualsNoCase(name, "QUARTER"))
        return QUARTER;
    if (EqualsNoCase(name, "HALF"))
        return HALF;
    if (EqualsNoCase(name, "FULL"))
        return FULL;
    if (EqualsNoCase(name, "ONE_STRIPE"))
        return ONE_STRIPE;
    return OTHER_SYMMETRY;
}

// An open record file read at given offsets; safe to share between threads.
class CRecordFileHandle {
public:
    // Regular files only: a FIFO would block the opening, a device never end.
    explicit CRecordFileHandle(const std::string& path) : descriptor(OpenRegularFile(path)) {}
    ~CRecordFileHandle() {
        if (descriptor >= 0)
            ::close(descriptor);
    }
    CRecordFileHandle(const CRecordFileHandle&) = delete;
    CRecordFileHandle& operator=(const CRecordFileHandle&) = delete;

    bool IsOpen() const { return descriptor >= 0; }

    // Size of a regular file, or -1.
    int64_t Size() const {
        struct stat info;
        return ::fstat(descriptor, &info) == 0 && S_ISREG(info.st_mode) ? static_cast<int64_t>(info.st_size)
                                                                        : -1;
    }

    bool ReadAt(uint64_t offset, void* out, size_t size) const {
        unsigned char* to = static_cast<unsigned char*>(out);
        while (size > 0) {
            const ssize_t got = ::pread(descriptor, to, size, static_cast<off_t>(offset));
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                return false;
            to += got;
            offset += static_cast<uint64_t>(got);
            size -= static_cast<size_t>(got);
        }
        return true;
    }

    // Hands count records of recordBytes each, starting at offset, to
    // consume(data, first, n) a chunk at a time. False when a read fails or
    // consume returns false.
    template <typename Consume>
    bool ForEachChunk(uint64_t offset, uint64_t count, size_t recordBytes, Consume consume) const {
        const size_t perChunk = std::max<size_t>(1, ChunkBytes / recordBytes);
        std::vector<unsigned char> buffer(std::min<uint64_t>(count, perChunk) * recordBytes);
        for (uint64_t first = 0; first < count; first += perChunk) {
            const size_t n = static_cast<size_t>(std::min<uint64_t>(perChunk, count - first));
            if (!ReadAt(offset + first * recordBytes, buffer.data(), n * recordBytes) ||
                !consume(buffer.data(), static_cast<size_t>(first), n))
                return false;
        }
        return true;
    }

private:
    int descriptor;
};

bool Ignore(const unsigned char*, size_t, size_t) {
    return true;
}

// What a record's mesh, values and derived values take in memory. A file of
// the size its header asks for may still be sparse: its counts must fit the
// machine.
uint64_t RecordMemory(uint64_t elements, uint64_t nodes, bool extended) {
    const uint64_t perElement = sizeof(ElementNodes) + sizeof(int32_t) + sizeof(double) +
                                sizeof(CElementValues) + sizeof(CElementDerived) +
                                (extended ? sizeof(std::array<double, 11>) : 0);
    const uint64_t perNode = 2 * sizeof(CCoordinate) + kToolSlots + NodeRecordBytes + 1;
    return elements * perElement + (nodes + 1) * perNode;
}

RecordError Fault(RecordFault fault, int elements = 0, int nodes = 0) {
    RecordError error;
    error.fault = fault;
    error.elements = elements;
    error.nodes = nodes;
    return error;
}

// Where the blocks of a record file lie, from its header.
struct CLayout {
    int32_t elements = 0, nodes = 0, planes = 0;
    bool wide = false, extended = false, marks = false;
    size_t baseBytes = 0, elementBytes = 0;
    uint64_t currentAt = 0, contactAt = 0, referenceAt = 0, idsAt = 0, nodeRecordsAt = 0;
    uint64_t planeCountAt = 0, planesAt = 0, marksAt = 0;
};

// The header's counts and flags, and where they put the blocks; the symmetry
// name and the tool positions go into data when given.
RecordError ReadHeader(const CRecordFileHandle& file, int64_t fileSize, CLayout& at, CRecordData* data) {
    unsigned char header[HeaderSize];
    if (static_cast<uint64_t>(fileSize) < HeaderSize || !file.ReadAt(0, header, HeaderSize))
        return Fault(RecordFault::ShorterThanHeader);
    at.elements = Load<int32_t>(header);
    at.nodes = Load<int32_t>(header + 4);
    at.marks = header[8] != 0;
    at.extended = header[47] == 'Y' && Load<int32_t>(header + 48) >= 410;
    if (data) {
        char name[24] = {};
        std::memcpy(name, header + 24, 23);
        data->mesh.symmetryName = name;
        data->mesh.symmetry = SymmetryFromName(data->mesh.symmetryName);
        for (size_t t = 0; t < kToolSlots; ++t)
            data->values.toolPositions[t] = Load<double>(header + 56 + 8 * t);
    }
    if (at.elements <= 0 || at.nodes <= 0)
        return Fault(RecordFault::NoElementsOrNodes, at.elements, at.nodes);
    const uint64_t elements = static_cast<uint64_t>(at.elements), nodes = static_cast<uint64_t>(at.nodes);
    at.wide = at.nodes >= 65536;
    at.baseBytes = at.wide ? 36 : 32;
    at.elementBytes = at.baseBytes + (at.extended ? ExtendedElementBytes : 0);
    at.currentAt = HeaderSize + elements * at.elementBytes;
    at.contactAt = at.currentAt + nodes * 12;
    at.referenceAt = at.contactAt + nodes + 1;
    at.idsAt = at.referenceAt + nodes * 12;
    at.nodeRecordsAt = at.idsAt + elements * 4 + 4;
    at.planeCountAt = at.nodeRecordsAt + (nodes + 1) * NodeRecordBytes;
    at.planesAt = at.planeCountAt + 4;
    return RecordError();
}

// The symmetry planes' count, and whether the file holds everything the
// header announces and the machine the memory it needs.
RecordError CheckSizes(const CRecordFileHandle& file, int64_t fileSize, CLayout& at) {
    const uint64_t size = static_cast<uint64_t>(fileSize);
    if (size < at.planeCountAt + 4 || !file.ReadAt(at.planeCountAt, &at.planes, 4))
        return Fault(RecordFault::ShorterThanCounts, at.elements, at.nodes);
    if (at.planes < 0 || at.planes > MaxSymmetryPlanes) {
        RecordError error = Fault(RecordFault::TooManyPlanes);
        error.planes = at.planes;
        return error;
    }
    at.marksAt = at.planesAt + static_cast<uint64_t>(at.planes) * 32;
    const uint64_t nodes = static_cast<uint64_t>(at.nodes);
    if (size < at.marksAt + (at.marks ? nodes + 1 : 0))
        return Fault(RecordFault::EndsBeforePlanesOrMarks);
    const uint64_t memory = RecordMemory(static_cast<uint64_t>(at.elements), nodes, at.extended);
    if (memory > PhysicalMemoryBytes()) {
        RecordError error = Fault(RecordFault::BeyondMemory, at.elements, at.nodes);
        error.gigabytes = static_cast<double>(memory) / 1e9;
        return error;
    }
    return RecordError();
}

// The symmetry planes, kept in mesh when given.
bool ReadPlanes(const CRecordFileHandle& file, const CLayout& at, CMeshData* into) {
    unsigned char planeBytes[MaxSymmetryPlanes * 32];
    if (!file.ReadAt(at.planesAt, planeBytes, static_cast<size_t>(at.planes) * 32))
        return false;
    if (!into)
        return true;
    CMeshData& mesh = *into;
    mesh.symmetryPlaneCount = at.planes;
    for (size_t p = 0; p < static_cast<size_t>(at.planes); ++p) {
        const unsigned char* bytes = planeBytes + 32 * p;
        mesh.symmetryPlanes[p].normal = {Load<double>(bytes), Load<double>(bytes + 8),
                                         Load<double>(bytes + 16)};
        mesh.symmetryPlanes[p].offset = Load<double>(bytes + 24);
    }
    return true;
}

// The node blocks: read only, or kept in data.
bool ReadNodeBlocks(const CRecordFileHandle& file, const CLayout& at, CRecordData* data) {
    const uint64_t nodes = static_cast<uint64_t>(at.nodes);
    if (!data)
        return file.ForEachChunk(at.currentAt, nodes, 12, Ignore) &&
               file.ForEachChunk(at.contactAt, nodes + 1, 1, Ignore) &&
               file.ForEachChunk(at.referenceAt, nodes, 12, Ignore) &&
               file.ForEachChunk(at.nodeRecordsAt, nodes + 1, NodeRecordBytes, Ignore) &&
               (!at.marks || file.ForEachChunk(at.marksAt, nodes + 1, 1, Ignore));
    CMeshData& mesh = data->mesh;
    CRecordValues& values = data->values;
    const size_t slots = static_cast<size_t>(nodes) + 1;
    values.currentCoordinates.resize(slots);
    mesh.referenceCoordinates.resize(slots);
    std::array<uint8_t, kToolSlots> noContact;
    noContact.fill(1);
    values.contactFlags.assign(slots, noContact);
    mesh.nodeSymmetry.resize(slots);
    values.nodeConditions.resize(slots);
    mesh.nodeMarks.assign(slots, 0);
    auto coordinates = [](BigArray<CCoordinate>& into) {
        return [&into](const unsigned char* bytes, size_t first, size_t count) {
            for (size_t i = 0; i < count; ++i)
                into[first + i + 1] = LoadFloatTriple(bytes + 12 * i);
            return true;
        };
    };
    auto contact = [&values](const unsigned char* bytes, size_t first, size_t count) {
        // Index 0 is not a node.
        for (size_t i = first == 0 ? 1 : 0; i < count; ++i)
            if (bytes[i] < kToolSlots)
                values.contactFlags[first + i][bytes[i]] = 0;
        return true;
    };
    // Bytes 2 and 3 of a node record are not used.
    auto nodeRecords = [&](const unsigned char* bytes, size_t first, size_t count) {
        for (size_t i = 0; i < count; ++i) {
            const unsigned char* record = bytes + NodeRecordBytes * i;
            mesh.nodeSymmetry[first + i] = {record[0], record[1]};
            values.nodeConditions[first + i] = Load<uint32_t>(record + 4);
        }
        return true;
    };
    return file.ForEachChunk(at.currentAt, nodes, 12, coordinates(values.currentCoordinates)) &&
           file.ForEachChunk(at.contactAt, nodes + 1, 1, contact) &&
           file.ForEachChunk(at.referenceAt, nodes, 12, coordinates(mesh.referenceCoordinates)) &&
           file.ForEachChunk(at.nodeRecordsAt, nodes + 1, NodeRecordBytes, nodeRecords) &&
           (!at.marks || file.ReadAt(at.marksAt, mesh.nodeMarks.data(), slots));
}

// The progress of the element block: the percentage grows at element
// nextAt, the first whose 100 i / e exceeds the one reported, so that no
// element costs a division.
class CElementProgress {
public:
    CElementProgress(IProgressSink* sink, int32_t elements)
        : progress(sink), count(elements), nextAt((static_cast<int64_t>(elements) + 99) / 100) {}
    void At(size_t element) {
        if (!progress || static_cast<int64_t>(element) < nextAt)
            return;
        const int64_t percent = 100 * static_cast<int64_t>(element) / count;
        progress->SetPosition(static_cast<int>(percent));
        nextAt = ((percent + 1) * count + 99) / 100;
    }

private:
    IProgressSink* progress;
    int64_t count;
    int64_t nextAt;
};

// One element record into data: its nodes, identifier and values. False,
// with the error, for a node outside the mesh.
bool TakeElement(const unsigned char* bytes, size_t i, int32_t id, const CLayout& at, CRecordData* data,
                 RecordError& error) {
    ElementNodes nodes;
    for (size_t c = 0; c < 3; ++c) {
        nodes[c] = at.wide ? Load<int32_t>(bytes + 4 * c) : Load<uint16_t>(bytes + 2 * c);
        if (nodes[c] < 1 || nodes[c] > at.nodes) {
            error = Fault(RecordFault::NodeOutOfRange, 0, at.nodes);
            error.element = static_cast<int>(i + 1);
            error.node = nodes[c];
            return false;
        }
    }
    if (!data)
        return true;
    const unsigned char* values = bytes + (at.wide ? 12 : 8);
    CElementValues element;
    element.Temperature = Load<float>(values);
    element.InitialThickness = Load<float>(values + 8);
    element.PrincipalStress1 = Load<float>(values + 12);
    element.PrincipalStress2 = Load<float>(values + 16);
    element.ThirdStress = Load<float>(values + 20);
    if (at.extended)
        std::memcpy(data->values.layerValues[i].data(), bytes + at.baseBytes, ExtendedElementBytes);
    data->mesh.elementNodes.push_back(nodes);
    data->mesh.elementIds.push_back(id);
    data->values.elements.push_back(element);
    return true;
}

// The element block with the identifiers, which stand in a block of their
// own: each chunk of elements reads its own, so that every element is
// written once.
bool ReadElementBlock(const CRecordFileHandle& file, const CLayout& at, IProgressSink* progress,
                      CRecordData* data, RecordError& error) {
    const uint64_t elements = static_cast<uint64_t>(at.elements);
    if (data) {
        data->mesh.elementNodes.reserve(elements);
        data->mesh.elementIds.reserve(elements);
        data->values.elements.reserve(elements);
        if (at.extended)
            data->values.layerValues.resize(elements);
    }
    CElementProgress percent(progress, at.elements);
    std::vector<unsigned char> ids;
    return file.ForEachChunk(
        HeaderSize, elements, at.elementBytes, [&](const unsigned char* bytes, size_t first, size_t count) {
            ids.resize(4 * count);
            if (!file.ReadAt(at.idsAt + 4 * static_cast<uint64_t>(first), ids.data(), ids.size()))
                return false;
            for (size_t k = 0; k < count; ++k) {
                percent.At(first + k);
                if (!TakeElement(bytes + k * at.elementBytes, first + k, Load<int32_t>(ids.data() + 4 * k),
                                 at, data, error))
                    return false;
            }
            return true;
        });
}

// Reads the blocks a header announced, the node blocks beside the elements.
RecordError ReadBlocks(const CRecordFileHandle& file, const CLayout& at, IProgressSink* progress,
                       const std::string& path, CRecordData* data) {
    if (data) {
        data->mesh.elementCount = at.elements;
        data->mesh.nodeCount = at.nodes;
        data->mesh.hasNodeMarks = at.marks;
    }
    if (!ReadPlanes(file, at, data ? &data->mesh : nullptr))
        return Fault(RecordFault::CannotRead);
    bool nodesRead = false;
    // Blocking reads: a job of their own, not a core of the loops.
    parallel::Job<void> nodeReader = parallel::StartJob([&] { nodesRead = ReadNodeBlocks(file, at, data); });
    if (progress) {
        progress->SetRange(0, 100);
        progress->SetStatusText(FormatText(texts::LoadingFile, path.c_str()));
    }
    RecordError badNode;
    const bool elementsRead = ReadElementBlock(file, at, progress, data, badNode);
    nodeReader.Take();
    // Ready again, whether the record is used or refused.
    if (progress) {
        progress->SetPosition(0);
        progress->SetStatusText(texts::Ready);
    }
    if (badNode)
        return badNode;
    if (!elementsRead || !nodesRead)
        return Fault(RecordFault::CannotRead);
    return RecordError();
}

RecordError ReadRecord(const std::string& path, IProgressSink* progress, CRecordData* data) {
    CRecordFileHandle file(path);
    if (!file.IsOpen())
        return Fault(RecordFault::CannotOpen);
    const int64_t fileSize = file.Size();
    if (fileSize < 0)
        return Fault(RecordFault::CannotRead);
    CLayout layout;
    RecordError error = ReadHeader(file, fileSize, layout, data);
    if (!error)
        error = CheckSizes(file, fileSize, layout);
    if (!error)
        error = ReadBlocks(file, layout, progress, path, data);
    return error;
}

} // namespace

Message RecordErrorMessage(const RecordError& error) {
    switch (error.fault) {
    case RecordFault::None:
        return Message();
    case RecordFault::CannotOpen:
        return MessageId::FileCannotOpen;
    case RecordFault::CannotRead:
        return MessageId::FileCannotRead;
    case RecordFault::ShorterThanHeader:
        return MessageId::RecordShorterThanHeader;
    case RecordFault::NoElementsOrNodes:
        return Message(MessageId::RecordWithoutMesh, error.elements, error.nodes);
    case RecordFault::ShorterThanCounts:
        return Message(MessageId::RecordShorterThanCounts, error.elements, error.nodes);
    case RecordFault::TooManyPlanes:
        return Message(MessageId::RecordTooManyPlanes, error.planes, MaxSymmetryPlanes);
    case RecordFault::EndsBeforePlanesOrMarks:
        return MessageId::RecordEndsEarly;
    case RecordFault::BeyondMemory:
        return Message(MessageId::RecordBeyondMemory, error.elements, error.nodes, error.gigabytes);
    case RecordFault::NodeOutOfRange:
        return Message(MessageId::RecordNodeOutOfRange, error.element, error.node, error.nodes);
    }
    return Message();
}

CRecordData ReadRecordFile(const std::string& path, int index, IProgressSink* progress) {
    CRecordData data;
    data.values.recordPath = path;
    data.values.recordIndex = index;
    data.error = ReadRecord(path, progress, &data);
    if (data.error) {
        // Nothing of a refused record is kept.
        CRecordData refused;
        refused.error = data.error;
        refused.values.recordPath = path;
        refused.values.recordIndex = index;
        return refused;
    }
    return data;
}

RecordError CheckRecordFile(const std::string& path, IProgressSink* progress) {
    return ReadRecord(path, progress, nullptr);
}

CRecordContact ReadRecordContact(const std::string& path) {
    CRecordContact contact;
    CRecordFileHandle file(path);
    if (!file.IsOpen()) {
        contact.error = Fault(RecordFault::CannotOpen);
        return contact;
    }
    const int64_t fileSize = file.Size();
    CLayout at;
    contact.error = fileSize < 0 ? Fault(RecordFault::CannotRead) : ReadHeader(file, fileSize, at, nullptr);
    if (!contact.error)
        contact.error = CheckSizes(file, fileSize, at);
    if (contact.error)
        return contact;
    contact.elementCount = at.elements;
    contact.nodeCount = at.nodes;
    contact.tool.resize(static_cast<size_t>(at.nodes) + 1);
    if (!file.ReadAt(at.contactAt, contact.tool.data(), contact.tool.size())) {
        contact = CRecordContact();
        contact.error = Fault(RecordFault::CannotRead);
    }
    return contact;
}

} // namespace quillmere
