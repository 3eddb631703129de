#include "CSheetProfile.h"

#include "Messages.h"
#include "TextFormat.h"
#include "TextLines.h"
#include "Texts.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <sys/stat.h>

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "record files are read as little-endian memory");

namespace {

constexpr size_t HeaderSize = 376;
constexpr size_t ExtendedElementBytes = 88;

template <typename T> T Load(const unsigned char* at) {
    T value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

CCoordinate LoadFloatTriple(const unsigned char* at) {
    return {Load<float>(at), Load<float>(at + 4), Load<float>(at + 8)};
}

// Reads the whole file; false when it cannot be opened.
bool ReadFileBytes(const std::string& path, std::vector<unsigned char>& bytes, bool& complete) {
    CFileHandle file(path, "rb");
    if (!file)
        return false;
    struct stat info;
    complete = false;
    if (::fstat(fileno(file.get()), &info) != 0 || !S_ISREG(info.st_mode))
        return true;
    bytes.resize(static_cast<size_t>(info.st_size));
    complete = std::fread(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
    return true;
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

} // namespace

CSheetProfile::CSheetProfile(const std::string& path, int index, IProgressSink* progress, bool derive)
    : recordPath(path), recordIndex(index) {
    Read(progress);
    if (!readFailed && derive)
        PostLoadDerivation();
}

void CSheetProfile::Fail(const std::string& reason) {
    readFailed = true;
    failureReason = reason;
    elements.clear();
    elementCount = 0;
    nodeCount = 0;
}

void CSheetProfile::Read(IProgressSink* progress) {
    std::vector<unsigned char> bytes;
    bool complete = false;
    if (!ReadFileBytes(recordPath, bytes, complete))
        ReportCriticalError(texts::UnableToOpenSheet);
    if (!complete)
        return Fail("the file cannot be read");
    if (bytes.size() < HeaderSize)
        return Fail("the file is shorter than a record header");

    const unsigned char* data = bytes.data();
    const int32_t e = Load<int32_t>(data);
    const int32_t n = Load<int32_t>(data + 4);
    hasNodeMarks = data[8] != 0;
    char name[24] = {};
    std::memcpy(name, data + 24, 23);
    symmetryName = name;
    symmetry = SymmetryFromName(symmetryName);
    const bool extended = data[47] == 'Y' && Load<int32_t>(data + 48) >= 410;
    for (int t = 0; t < ToolSlots; ++t)
        toolPositions[static_cast<size_t>(t)] = Load<double>(data + 56 + 8 * t);

    if (e <= 0 || n <= 0)
        return Fail(FormatText("the header gives %d elements and %d nodes", e, n));

    // Every count is checked against the file size before anything is
    // allocated for it.
    const uint64_t elements64 = static_cast<uint64_t>(e);
    const uint64_t nodes64 = static_cast<uint64_t>(n);
    const bool wide = n >= 65536;
    const uint64_t elementBytes = (wide ? 36 : 32) + (extended ? ExtendedElementBytes : 0);
    const uint64_t beforePlanes = HeaderSize + elements64 * elementBytes + nodes64 * 12 + (nodes64 + 1) +
                                  nodes64 * 12 + elements64 * 4 + 4 + (nodes64 + 1) * 8;
    if (bytes.size() < beforePlanes + 4)
        return Fail(FormatText("the file is shorter than its %d elements and %d nodes need", e, n));
    const int32_t planes = Load<int32_t>(data + beforePlanes);
    if (planes < 0 || planes > MaxSymmetryPlanes)
        return Fail(FormatText("it gives %d symmetry planes", planes));
    const uint64_t needed =
        beforePlanes + 4 + static_cast<uint64_t>(planes) * 32 + (hasNodeMarks ? nodes64 + 1 : 0);
    if (bytes.size() < needed)
        return Fail("the file ends before its symmetry planes or node marks");

    elementCount = e;
    nodeCount = n;
    const size_t nodeSlots = static_cast<size_t>(n) + 1;
    currentCoordinates.assign(nodeSlots, CCoordinate());
    referenceCoordinates.assign(nodeSlots, CCoordinate());
    std::array<uint8_t, 10> noContact;
    noContact.fill(1);
    contactFlags.assign(nodeSlots, noContact);
    nodeSymmetry.assign(nodeSlots, std::array<uint8_t, 8>{});
    nodeMarks.assign(nodeSlots, 0);

    if (progress) {
        progress->SetRange(0, 100);
        progress->SetStatusText(FormatText(texts::LoadingFile, recordPath.c_str()));
    }
    elements.assign(static_cast<size_t>(e), CElementProfile());
    const unsigned char* at = data + HeaderSize;
    int64_t reported = 0;
    for (int32_t i = 0; i < e; ++i) {
        const int64_t percent = 100 * static_cast<int64_t>(i) / e;
        if (progress && percent > reported) {
            reported = percent;
            progress->SetPosition(static_cast<int>(percent));
        }
        CElementProfile& element = elements[static_cast<size_t>(i)];
        const unsigned char* values = at;
        if (wide) {
            for (int k = 0; k < 3; ++k)
                element.NodeNumbers[k] = Load<int32_t>(at + 4 * k);
            values = at + 12;
        } else {
            for (int k = 0; k < 3; ++k)
                element.NodeNumbers[k] = Load<uint16_t>(at + 2 * k);
            values = at + 8;
        }
        for (int k = 0; k < 3; ++k)
            if (element.NodeNumbers[k] < 1 || element.NodeNumbers[k] > n)
                return Fail(FormatText("element %d uses node %d, outside 1 ... %d", i + 1,
                                       element.NodeNumbers[k], n));
        element.ElementId = i + 1;
        element.Temperature = Load<float>(values);
        element.InitialThickness = Load<float>(values + 8);
        element.PrincipalStress1 = Load<float>(values + 12);
        element.PrincipalStress2 = Load<float>(values + 16);
        element.ThirdStress = Load<float>(values + 20);
        at += wide ? 36 : 32;
        if (extended) {
            for (int k = 0; k < 11; ++k)
                element.LayerValues[k] = Load<double>(at + 8 * k);
            at += ExtendedElementBytes;
        } else {
            std::fill(element.LayerValues, element.LayerValues + 11, element.Temperature);
        }
    }

    for (int32_t node = 1; node <= n; ++node, at += 12)
        currentCoordinates[static_cast<size_t>(node)] = LoadFloatTriple(at);
    ++at; // the contact byte of index 0 is not used
    for (int32_t node = 1; node <= n; ++node, ++at)
        if (*at < 10)
            contactFlags[static_cast<size_t>(node)][*at] = 0;
    for (int32_t node = 1; node <= n; ++node, at += 12)
        referenceCoordinates[static_cast<size_t>(node)] = LoadFloatTriple(at);
    for (int32_t i = 0; i < e; ++i, at += 4)
        elements[static_cast<size_t>(i)].ElementId = Load<int32_t>(at);
    at += 4;
    for (size_t node = 0; node < nodeSlots; ++node, at += 8)
        std::memcpy(nodeSymmetry[node].data(), at, 8);
    at += 4; // the plane count, read above
    symmetryPlaneCount = planes;
    for (int p = 0; p < planes; ++p, at += 32) {
        symmetryPlanes[p].normal = {Load<double>(at), Load<double>(at + 8), Load<double>(at + 16)};
        symmetryPlanes[p].offset = Load<double>(at + 24);
    }
    if (hasNodeMarks)
        std::memcpy(nodeMarks.data(), at, nodeSlots);

    ComputeBoundingBox();
    if (progress) {
        progress->SetPosition(0);
        progress->SetStatusText(texts::Ready);
    }
}

void CSheetProfile::ComputeBoundingBox() {
    double box[6] = {1e30, -1e30, 1e30, -1e30, 1e30, -1e30};
    for (int node = 1; node <= nodeCount; ++node) {
        const CCoordinate& p = currentCoordinates[static_cast<size_t>(node)];
        box[0] = std::min(box[0], p.x);
        box[1] = std::max(box[1], p.x);
        box[2] = std::min(box[2], p.y);
        box[3] = std::max(box[3], p.y);
        box[4] = std::min(box[4], p.z);
        box[5] = std::max(box[5], p.z);
    }
    std::copy(box, box + 6, boundingBox.begin());
    sizeX = box[1] - box[0];
    sizeY = box[3] - box[2];
    sheetSize = std::max({sizeX, sizeY, box[5] - box[4]});
}

void CSheetProfile::BuildAdjacency() {
    const size_t nodes = static_cast<size_t>(nodeCount);
    const size_t count = elements.size();
    // Counting sort keeps every node's elements in element order.
    nodeElementStart.assign(nodes + 2, 0);
    for (const CElementProfile& element : elements)
        for (int32_t node : element.NodeNumbers)
            ++nodeElementStart[static_cast<size_t>(node) + 1];
    for (size_t i = 1; i < nodeElementStart.size(); ++i)
        nodeElementStart[i] += nodeElementStart[i - 1];
    nodeElementList.resize(static_cast<size_t>(nodeElementStart.back()));
    std::vector<int32_t> fill(nodeElementStart.begin(), nodeElementStart.end() - 1);
    for (size_t i = 0; i < count; ++i)
        for (int32_t node : elements[i].NodeNumbers)
            nodeElementList[static_cast<size_t>(fill[static_cast<size_t>(node)]++)] = static_cast<int32_t>(i);

    // Neighbours in the order the node lists meet them; the stamp marks
    // those already taken for the current element.
    neighbourStart.assign(count + 1, 0);
    neighbourList.clear();
    neighbourList.reserve(count * 12);
    std::vector<int32_t> stamp(count, -1);
    for (size_t i = 0; i < count; ++i) {
        const int32_t self = static_cast<int32_t>(i);
        stamp[i] = self;
        for (int32_t node : elements[i].NodeNumbers)
            for (int32_t other : NodeElements(node))
                if (stamp[static_cast<size_t>(other)] != self) {
                    stamp[static_cast<size_t>(other)] = self;
                    neighbourList.push_back(other);
                }
        neighbourStart[i + 1] = static_cast<int32_t>(neighbourList.size());
    }
}

void CSheetProfile::PostLoadDerivation() {
    BuildAdjacency();
    maxInitialThickness = 0;
    for (CElementProfile& element : elements) {
        for (int k = 0; k < 3; ++k) {
            element.CurrentCorners[k] = currentCoordinates[static_cast<size_t>(element.NodeNumbers[k])];
            element.ReferenceCorners[k] = referenceCoordinates[static_cast<size_t>(element.NodeNumbers[k])];
        }
        DeriveElementValues(element);
        UnitNormal(element.CurrentCorners[0], element.CurrentCorners[1], element.CurrentCorners[2],
                   element.Normal);
        maxInitialThickness = std::max(maxInitialThickness, element.InitialThickness);
    }
    elementCount = static_cast<int>(elements.size());
    ComputeBoundingBox();
}

uint32_t CSheetProfile::NodeConditions(int node) const {
    uint32_t word;
    std::memcpy(&word, nodeSymmetry[static_cast<size_t>(node)].data() + 4, sizeof word);
    return word;
}

ElementIndexRange CSheetProfile::NodeElements(int node) const {
    const int32_t* base = nodeElementList.data();
    return {base + nodeElementStart[static_cast<size_t>(node)],
            base + nodeElementStart[static_cast<size_t>(node) + 1]};
}

ElementIndexRange CSheetProfile::ElementNeighbours(int element) const {
    const int32_t* base = neighbourList.data();
    return {base + neighbourStart[static_cast<size_t>(element)],
            base + neighbourStart[static_cast<size_t>(element) + 1]};
}
