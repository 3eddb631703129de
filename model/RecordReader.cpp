// The binary record file. The file is read in chunks straight into the
// sheet's arrays: the element block on the calling thread (which reports the
// progress) and the node blocks on a job beside it at the same time. Every
// count is checked against the file size before anything is allocated.
// A check reads the whole file the same way and keeps nothing.
#include "model/RecordReader.h"

#include "core/Memory.h"
#include "core/Messages.h"
#include "core/Parallel.h"
#include "core/TextFormat.h"
#include "core/TextLines.h"
#include "model/CSheetProfile.h"
#include "model/Texts.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "record files are read as little-endian memory");

namespace {

constexpr uint64_t HeaderSize = 376;
constexpr uint64_t ExtendedElementBytes = 88;
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
class CRecordFile {
public:
    // Regular files only: a FIFO would block the opening, a device never end.
    explicit CRecordFile(const std::string& path) : descriptor(OpenRegularFile(path)) {}
    ~CRecordFile() {
        if (descriptor >= 0)
            ::close(descriptor);
    }
    CRecordFile(const CRecordFile&) = delete;
    CRecordFile& operator=(const CRecordFile&) = delete;

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

// What the reader allocates for a record's values. A file of the size its
// header asks for may still be sparse: its counts must fit the machine.
uint64_t RecordMemory(uint64_t elements, uint64_t nodes, bool extended) {
    const uint64_t perElement = sizeof(CElementProfile) + (extended ? sizeof(std::array<double, 11>) : 0);
    const uint64_t perNode = 2 * sizeof(CCoordinate) + kToolSlots + 8 + 1;
    return elements * perElement + (nodes + 1) * perNode;
}

} // namespace

void ReadRecordFile(CSheetProfile& sheet, IProgressSink* progress, bool unopenableIsCritical,
                    bool keepValues) {
    CRecordFile file(sheet.recordPath);
    if (!file.IsOpen()) {
        if (unopenableIsCritical)
            ReportCriticalError(texts::UnableToOpenSheet);
        sheet.openFailed = true;
        return sheet.Fail("the file cannot be opened");
    }
    const int64_t fileSize = file.Size();
    unsigned char header[HeaderSize];
    if (fileSize < 0)
        return sheet.Fail("the file cannot be read");
    if (static_cast<uint64_t>(fileSize) < HeaderSize || !file.ReadAt(0, header, HeaderSize))
        return sheet.Fail("the file is shorter than a record header");

    const int32_t e = Load<int32_t>(header);
    const int32_t n = Load<int32_t>(header + 4);
    sheet.hasNodeMarks = header[8] != 0;
    char name[24] = {};
    std::memcpy(name, header + 24, 23);
    sheet.symmetryName = name;
    sheet.symmetry = SymmetryFromName(sheet.symmetryName);
    const bool extended = header[47] == 'Y' && Load<int32_t>(header + 48) >= 410;
    for (int t = 0; t < kToolSlots; ++t)
        sheet.toolPositions[static_cast<size_t>(t)] = Load<double>(header + 56 + 8 * t);
    if (e <= 0 || n <= 0)
        return sheet.Fail(FormatText("its header gives %d elements and %d nodes", e, n));

    const uint64_t elements64 = static_cast<uint64_t>(e);
    const uint64_t nodes64 = static_cast<uint64_t>(n);
    const bool wide = n >= 65536;
    const size_t baseBytes = wide ? 36 : 32;
    const size_t elementBytes = baseBytes + (extended ? ExtendedElementBytes : 0);
    const uint64_t currentAt = HeaderSize + elements64 * elementBytes;
    const uint64_t contactAt = currentAt + nodes64 * 12;
    const uint64_t referenceAt = contactAt + nodes64 + 1;
    const uint64_t idsAt = referenceAt + nodes64 * 12;
    const uint64_t nodeRecordsAt = idsAt + elements64 * 4 + 4;
    const uint64_t planeCountAt = nodeRecordsAt + (nodes64 + 1) * 8;
    int32_t planes = 0;
    if (static_cast<uint64_t>(fileSize) < planeCountAt + 4 || !file.ReadAt(planeCountAt, &planes, 4))
        return sheet.Fail(FormatText("the file is shorter than its %d elements and %d nodes need", e, n));
    if (planes < 0 || planes > CSheetProfile::MaxSymmetryPlanes)
        return sheet.Fail(FormatText("it gives %d symmetry planes, where a sheet has at most %d", planes,
                                     CSheetProfile::MaxSymmetryPlanes));
    const uint64_t planesAt = planeCountAt + 4;
    const uint64_t marksAt = planesAt + static_cast<uint64_t>(planes) * 32;
    if (static_cast<uint64_t>(fileSize) < marksAt + (sheet.hasNodeMarks ? nodes64 + 1 : 0))
        return sheet.Fail("the file ends before its symmetry planes or node marks");
    const uint64_t memory = RecordMemory(elements64, nodes64, extended);
    if (memory > PhysicalMemoryBytes())
        return sheet.Fail(FormatText("its %d elements and %d nodes need %.1f GB of memory, more than this "
                                     "computer has",
                                     e, n, static_cast<double>(memory) / 1e9));

    sheet.elementCount = e;
    sheet.nodeCount = n;
    sheet.symmetryPlaneCount = planes;
    unsigned char planeBytes[CSheetProfile::MaxSymmetryPlanes * 32];
    if (!file.ReadAt(planesAt, planeBytes, static_cast<size_t>(planes) * 32))
        return sheet.Fail("the file cannot be read");
    for (int p = 0; p < planes; ++p) {
        const unsigned char* at = planeBytes + 32 * p;
        sheet.symmetryPlanes[p].normal = {Load<double>(at), Load<double>(at + 8), Load<double>(at + 16)};
        sheet.symmetryPlanes[p].offset = Load<double>(at + 24);
    }

    // The node blocks, read beside the sheet.elements.
    const size_t nodeSlots = static_cast<size_t>(n) + 1;
    bool nodesRead = false;
    // Blocking reads: a job of their own, not a core of the loops.
    parallel::Job<void> nodeReader = parallel::StartJob([&] {
        if (!keepValues) {
            nodesRead = file.ForEachChunk(currentAt, nodes64, 12, Ignore) &&
                        file.ForEachChunk(contactAt, nodes64 + 1, 1, Ignore) &&
                        file.ForEachChunk(referenceAt, nodes64, 12, Ignore) &&
                        file.ForEachChunk(nodeRecordsAt, nodes64 + 1, 8, Ignore) &&
                        (!sheet.hasNodeMarks || file.ForEachChunk(marksAt, nodes64 + 1, 1, Ignore));
            return;
        }
        sheet.currentCoordinates.resize(nodeSlots);
        sheet.referenceCoordinates.resize(nodeSlots);
        std::array<uint8_t, kToolSlots> noContact;
        noContact.fill(1);
        sheet.contactFlags.assign(nodeSlots, noContact);
        sheet.nodeSymmetry.resize(nodeSlots);
        sheet.nodeMarks.assign(nodeSlots, 0);
        auto coordinates = [](BigArray<CCoordinate>& into) {
            return [&into](const unsigned char* data, size_t first, size_t count) {
                for (size_t i = 0; i < count; ++i)
                    into[first + i + 1] = LoadFloatTriple(data + 12 * i);
                return true;
            };
        };
        nodesRead = file.ForEachChunk(currentAt, nodes64, 12, coordinates(sheet.currentCoordinates)) &&
                    file.ForEachChunk(contactAt, nodes64 + 1, 1,
                                      [&sheet](const unsigned char* data, size_t first, size_t count) {
                                          // Index 0 is not a node.
                                          for (size_t i = first == 0 ? 1 : 0; i < count; ++i)
                                              if (data[i] < kToolSlots)
                                                  sheet.contactFlags[first + i][data[i]] = 0;
                                          return true;
                                      }) &&
                    file.ForEachChunk(referenceAt, nodes64, 12, coordinates(sheet.referenceCoordinates)) &&
                    file.ForEachChunk(nodeRecordsAt, nodes64 + 1, 8,
                                      [&sheet](const unsigned char* data, size_t first, size_t count) {
                                          std::memcpy(sheet.nodeSymmetry[first].data(), data, 8 * count);
                                          return true;
                                      }) &&
                    (!sheet.hasNodeMarks || file.ReadAt(marksAt, sheet.nodeMarks.data(), nodeSlots));
    });

    if (progress) {
        progress->SetRange(0, 100);
        progress->SetStatusText(FormatText(texts::LoadingFile, sheet.recordPath.c_str()));
    }
    if (keepValues)
        sheet.elements.reserve(elements64);
    if (extended && keepValues)
        sheet.layerValues.resize(elements64);
    // The percentage grows at element nextReportAt, the first whose 100 i / e
    // exceeds the one reported: no division per element.
    int64_t nextReportAt = (static_cast<int64_t>(e) + 99) / 100;
    std::string badNode;
    // The element identifiers stand in a block of their own; each chunk of
    // sheet.elements reads its own, so that every element is written once.
    std::vector<unsigned char> ids;
    const bool elementsRead = file.ForEachChunk(
        HeaderSize, elements64, elementBytes, [&](const unsigned char* data, size_t first, size_t count) {
            ids.resize(4 * count);
            if (!file.ReadAt(idsAt + 4 * static_cast<uint64_t>(first), ids.data(), ids.size()))
                return false;
            for (size_t k = 0; k < count; ++k) {
                const size_t i = first + k;
                if (progress && static_cast<int64_t>(i) >= nextReportAt) {
                    const int64_t percent = 100 * static_cast<int64_t>(i) / e;
                    progress->SetPosition(static_cast<int>(percent));
                    nextReportAt = ((percent + 1) * e + 99) / 100;
                }
                const unsigned char* at = data + k * elementBytes;
                CElementProfile element{};
                for (int c = 0; c < 3; ++c) {
                    element.NodeNumbers[c] = wide ? Load<int32_t>(at + 4 * c) : Load<uint16_t>(at + 2 * c);
                    if (element.NodeNumbers[c] < 1 || element.NodeNumbers[c] > n) {
                        badNode = FormatText("element %d uses node %d, outside 1 ... %d",
                                             static_cast<int>(i + 1), element.NodeNumbers[c], n);
                        return false;
                    }
                }
                if (!keepValues)
                    continue;
                const unsigned char* values = at + (wide ? 12 : 8);
                element.ElementId = Load<int32_t>(ids.data() + 4 * k);
                element.Temperature = Load<float>(values);
                element.InitialThickness = Load<float>(values + 8);
                element.PrincipalStress1 = Load<float>(values + 12);
                element.PrincipalStress2 = Load<float>(values + 16);
                element.ThirdStress = Load<float>(values + 20);
                if (extended)
                    std::memcpy(sheet.layerValues[i].data(), at + baseBytes, ExtendedElementBytes);
                sheet.elements.push_back(element);
            }
            return true;
        });
    nodeReader.Take();

    // Ready again, whether the record is used or refused.
    if (progress) {
        progress->SetPosition(0);
        progress->SetStatusText(texts::Ready);
    }
    if (!badNode.empty())
        return sheet.Fail(badNode);
    if (!elementsRead || !nodesRead)
        return sheet.Fail("the file cannot be read");
    if (keepValues)
        sheet.ComputeBoundingBox();
}
