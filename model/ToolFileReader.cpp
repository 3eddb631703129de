// The three tool file layouts: numbered nodes, short files and section
// files.
#include "config/Units.h"
#include "core/FilePaths.h"
#include "core/Memory.h"
#include "core/Messages.h"
#include "core/TextFormat.h"
#include "core/TextLines.h"
#include "model/CDataString.h"
#include "model/CMoldProfile.h"
#include "model/Texts.h"

#include <cmath>
#include <string_view>
#include <sys/stat.h>
#include <unordered_map>

namespace quillmere {

namespace {

constexpr int MaxNumberedFaceVertices = 1000;
constexpr int SectionArcPoints = 32;
constexpr int SectionRingPoints = 4 * SectionArcPoints;
constexpr size_t MaxSections = 10000;
// The faces and nodes of a numbered-node file take up to this many bytes of
// memory per byte of the file.
constexpr uint64_t MemoryPerFileByte = 6;

std::string LowerExtension(const std::string& name) {
    const std::string file = FileNamePart(name);
    const size_t dot = file.rfind('.');
    return dot == std::string::npos ? std::string() : ToLower(file.substr(dot));
}

// The tokens of the first line (at most 254 characters are examined). The
// line is taken as far as the tokenizer takes it in one piece.
std::vector<std::string> FirstLineTokens(std::FILE* file, std::string& firstLine) {
    CLineReader reader(file);
    if (!reader.Next(firstLine, CDataString::MaxPiece))
        firstLine.clear();
    CDataString tokens(10, 10);
    tokens.Tokenize(firstLine.substr(0, 254));
    std::vector<std::string> result;
    for (int i = 0; i < tokens.Count() && i < 2; ++i)
        result.push_back(tokens.TokenAt(i));
    return result;
}

// A node or count token as an integer; anything outside int gives 0.
int AsInt(double value) {
    return value >= -2147483648.0 && value <= 2147483647.0 ? static_cast<int>(value) : 0;
}

// Room for the faces a file announces, within reason: a damaged file must
// not make us allocate for faces it cannot hold.
CFaceList NewFaceList(long long expected) {
    const long long capacity = std::min<long long>(std::max<long long>(expected, 0) + 1, 1 << 22);
    CFaceList faces;
    faces.reserve(static_cast<size_t>(capacity));
    return faces;
}

class CProgressSteps {
public:
    CProgressSteps(IProgressSink* progress, long long steps) : sink(progress), total(steps > 0 ? steps : 1) {
        if (sink)
            sink->SetRange(0, 100);
    }
    void At(long long done) {
        const int percent = static_cast<int>(100 * done / total);
        if (sink && percent > last) {
            last = percent;
            sink->SetPosition(percent);
        }
    }

private:
    IProgressSink* sink;
    long long total;
    int last = 0;
};

} // namespace

// The numbered-node layout taken number by number as the file is read, so
// that nothing but the faces' node numbers and the nodes is kept.
struct CMoldProfile::NumberedNodeBlocks {
    // Room for as many faces as a file of this size can hold: only what is
    // used is ever touched, and nothing is copied as the lists grow.
    explicit NumberedNodeBlocks(long long size) : fileSize(size) {
        const size_t most = static_cast<size_t>(std::max(size, 0LL));
        faces.reserve(most / 4);
        faceNodes.reserve(most / 2);
    }

    void Take(double value) {
        switch (block) {
        case Block::Count: {
            // A vertex count and its node numbers per face, ended by 0.
            const int count = AsInt(value);
            if (count <= 0) {
                StartNodes();
                return;
            }
            left = count;
            kept = count <= MaxNumberedFaceVertices;
            if (kept)
                faces.push_back({faceNodes.size(), count});
            faceLargest = 0;
            block = Block::FaceNodes;
            return;
        }
        case Block::FaceNodes:
            if (kept) {
                faceNodes.push_back(AsInt(value));
                faceLargest = std::max(faceLargest, faceNodes.back());
            }
            if (--left == 0) {
                if (kept)
                    largestNode = std::max(largestNode, faceLargest);
                block = Block::Count;
            }
            return;
        case Block::Nodes:
            // Number x y z; an incomplete last group is ignored.
            group[grouped++] = value;
            if (grouped == 4) {
                grouped = 0;
                const int node = AsInt(group[0]);
                if (node >= 1 && node <= largestNode) {
                    const CCoordinate point(group[1], group[2], group[3]);
                    if (dense)
                        table[static_cast<size_t>(node)] = point;
                    else
                        sparse[node] = point;
                }
            }
            return;
        }
    }

    // A face the file ends in the middle of is not a face.
    void Finish() {
        if (block == Block::FaceNodes && kept) {
            faceNodes.resize(faces.back().first);
            faces.pop_back();
        }
    }

    // Where the file put a node, in its own unit: nodes not listed stay at
    // the origin.
    CCoordinate Node(int node) const {
        // A file that ends before its node block has no table at all.
        if (dense)
            return node >= 1 && static_cast<size_t>(node) < table.size() ? table[static_cast<size_t>(node)]
                                                                         : CCoordinate();
        const auto found = sparse.find(node);
        return found == sparse.end() ? CCoordinate() : found->second;
    }

    struct Face {
        size_t first; // in faceNodes
        int count;
    };
    std::vector<Face> faces;
    std::vector<int> faceNodes;

private:
    enum class Block { Count, FaceNodes, Nodes };

    // Nodes are kept by number, as many as a file of this size can list (a
    // node takes at least 8 characters), or by hash when their numbers go
    // beyond that.
    void StartNodes() {
        block = Block::Nodes;
        dense = largestNode <= fileSize / 8 + 1024;
        if (dense)
            table.resize(static_cast<size_t>(largestNode) + 1);
    }

    long long fileSize;
    Block block = Block::Count;
    int left = 0;
    bool kept = false;
    int faceLargest = 0;
    int largestNode = 0;
    double group[4] = {};
    int grouped = 0;
    bool dense = true;
    std::vector<CCoordinate> table;
    std::unordered_map<int, CCoordinate> sparse;
};

void CMoldProfile::ReadToolFile(const std::string& path, IProgressSink* progress) {
    // The path found for the name has the name's extension, whatever its case.
    const std::string extension = LowerExtension(path);
    if (extension != ".tol" && extension != ".tmp")
        return;
    std::string firstLine;
    std::vector<std::string> first;
    long long fileSize = 0;
    {
        CFileHandle file(path, "rb");
        if (!file) {
            ShowMessage(Message(MessageId::UnableToReadToolFile, path), MessageIcon::Warning);
            return;
        }
        struct stat info;
        if (::fstat(::fileno(file.get()), &info) == 0)
            fileSize = info.st_size;
        // A file too large for the memory is refused before it is read: a
        // sparse one costs nothing on disk.
        const uint64_t memory = PhysicalMemoryBytes();
        if (static_cast<uint64_t>(fileSize) > memory / MemoryPerFileByte) {
            ShowMessage(Message(MessageId::ToolFileTooLarge, path, static_cast<double>(fileSize) / 1e9,
                                static_cast<double>(memory / MemoryPerFileByte) / 1e9),
                        MessageIcon::Warning);
            return;
        }
        first = FirstLineTokens(file.get(), firstLine);
    }
    if (!first.empty() && EqualsNoCase(first[0], "shortm")) {
        formatKind = ShortFile;
        ReadShortFile(path, progress);
    } else {
        const bool section =
            first.size() >= 2 && EqualsNoCase(first[0], "QRELL") && EqualsNoCase(first[1], "Tool");
        formatKind = section ? SectionFile : NumberedNodes;
        if (!section)
            inInches = Contains(firstLine, "(INCHES)");
        // Only the tokens that are entirely numbers count. They are taken as
        // they come rather than stored first: a list of millions of small
        // strings costs more than reading them.
        std::vector<double> numbers;
        NumberedNodeBlocks blocks(section ? 0 : fileSize);
        CDataString::VisitFileTokens(path, [&](const char* token, size_t length) {
            double value;
            if (ParseWholeNumber(token, value)) {
                if (section)
                    numbers.push_back(value);
                else
                    blocks.Take(value);
            } else if (section &&
                       std::string_view(token, length).find("(INCHES)") != std::string_view::npos) {
                inInches = true;
            }
        });
        blocks.Finish();
        if (progress)
            progress->SetStatusText(FormatText(texts::LoadingFile, path.c_str()));
        // Every section becomes 384 faces: a file of more sections than any
        // tool has would fill the memory from a few megabytes of numbers.
        if (section && numbers.size() / 4 > MaxSections)
            ShowMessage(Message(MessageId::TooManySections, path,
                                static_cast<unsigned long>(numbers.size() / 4),
                                static_cast<unsigned long>(MaxSections)),
                        MessageIcon::Warning);
        else if (section)
            ReadSections(numbers, progress);
        else
            ReadNumberedNodes(blocks, progress);
    }
    if (faces.empty())
        formatKind = NoFaces;
    if (progress) {
        progress->SetPosition(0);
        progress->SetStatusText(texts::Ready);
    }
}

void CMoldProfile::ReadNumberedNodes(const NumberedNodeBlocks& blocks, IProgressSink* progress) {
    faces = NewFaceList(static_cast<long long>(blocks.faces.size()));
    CProgressSteps steps(progress, static_cast<long long>(blocks.faces.size()));
    std::vector<CCoordinate> vertices;
    for (size_t f = 0; f < blocks.faces.size(); ++f) {
        steps.At(static_cast<long long>(f));
        vertices.clear();
        const NumberedNodeBlocks::Face& face = blocks.faces[f];
        for (int k = 0; k < face.count; ++k) {
            const CCoordinate p = blocks.Node(blocks.faceNodes[face.first + static_cast<size_t>(k)]);
            vertices.push_back({ToMetres(p.x), ToMetres(p.y), ToMetres(p.z)});
        }
        AddPolygon(vertices);
    }
}

void CMoldProfile::ReadSections(const std::vector<double>& numbers, IProgressSink* progress) {
    const size_t groups = numbers.size() / 4;
    std::vector<std::vector<CCoordinate>> rings;
    rings.reserve(groups);
    const double step = (M_PI / 2) / (SectionArcPoints - 1);
    const int signX[4] = {1, -1, -1, 1};
    const int signY[4] = {1, 1, -1, -1};
    for (size_t g = 0; g < groups; ++g) {
        const double* group = &numbers[4 * g];
        const double z = ToMetres(group[0]);
        const double w = std::fabs(ToMetres(group[1]));
        const double d = std::fabs(ToMetres(group[2]));
        const double r = std::fabs(ToMetres(group[3]));
        std::vector<CCoordinate> ring;
        ring.reserve(SectionRingPoints);
        for (int quarter = 0; quarter < 4; ++quarter) {
            const double cx = signX[quarter] * (w / 2 - r);
            const double cy = signY[quarter] * (d / 2 - r);
            for (int k = 0; k < SectionArcPoints; ++k) {
                const double angle = quarter * (M_PI / 2) + k * step;
                ring.push_back({cx + r * std::cos(angle), cy + r * std::sin(angle), z});
            }
        }
        rings.push_back(std::move(ring));
    }
    faces = NewFaceList(static_cast<long long>(2 * SectionRingPoints * groups + SectionRingPoints));
    CProgressSteps steps(progress, static_cast<long long>(groups));
    for (size_t g = 0; g + 1 < rings.size(); ++g) {
        steps.At(static_cast<long long>(g));
        const std::vector<CCoordinate>& a = rings[g];
        const std::vector<CCoordinate>& b = rings[g + 1];
        for (int k = 0; k < SectionRingPoints; ++k) {
            const int next = (k + 1) % SectionRingPoints;
            AddPolygon(
                {a[static_cast<size_t>(k)], a[static_cast<size_t>(next)], b[static_cast<size_t>(next)]});
            AddPolygon({a[static_cast<size_t>(k)], b[static_cast<size_t>(next)], b[static_cast<size_t>(k)]});
        }
    }
    // The last ring is closed by a fan; a single ring becomes a flat plate.
    if (!rings.empty()) {
        const std::vector<CCoordinate>& last = rings.back();
        const CCoordinate centre(0, 0, last[0].z);
        for (int k = 0; k < SectionRingPoints; ++k)
            AddPolygon({centre, last[static_cast<size_t>(k)],
                        last[static_cast<size_t>((k + 1) % SectionRingPoints)]});
    }
}

void CMoldProfile::ReadShortFile(const std::string& path, IProgressSink* progress) {
    constexpr size_t MaxLine = 9999;
    long long fileSize = 0;
    {
        struct stat info;
        if (::stat(path.c_str(), &info) == 0)
            fileSize = info.st_size;
    }
    // First pass: count the faces, with progress by file position.
    long long faceCount = 0;
    {
        CFileHandle file(path, "rb");
        if (!file) {
            ShowMessage(Message(MessageId::UnableToReadToolFile, path), MessageIcon::Warning);
            return;
        }
        if (progress)
            progress->SetStatusText(FormatText(texts::ParsingFile, path.c_str()));
        CProgressSteps steps(progress, fileSize);
        CLineReader reader(file.get());
        std::string line;
        while (reader.Next(line, MaxLine)) {
            CDataString::VisitTokens(line, [&](const char* token, size_t length) {
                faceCount += std::string_view(token, length) == "||";
            });
            steps.At(std::ftell(file.get()));
        }
    }
    CFileHandle file(path, "rb");
    if (!file)
        return;
    if (progress)
        progress->SetStatusText(FormatText(texts::LoadingFile, path.c_str()));
    faces = NewFaceList(faceCount);
    CProgressSteps steps(progress, faceCount);
    CLineReader reader(file.get());
    std::string line;
    std::vector<double> collected;
    std::vector<CCoordinate> vertices;
    int refPointLeft = 0; // coordinates of "RefPoint" still to come
    long long closed = 0;
    while (reader.Next(line, MaxLine)) {
        CDataString::VisitTokens(line, [&](const char* token, size_t length) {
            double value;
            if (refPointLeft > 0) {
                double* coordinate = refPointLeft == 3   ? &refPoint.x
                                     : refPointLeft == 2 ? &refPoint.y
                                                         : &refPoint.z;
                if (ParseWholeNumber(token, value))
                    *coordinate = ToMetres(value);
                --refPointLeft;
            } else if (token[0] == '#') {
                // A hexadecimal tag that nothing uses.
            } else if (std::string_view(token, length) == "||") {
                if (collected.size() >= 3) {
                    vertices.clear();
                    for (size_t k = 0; k + 3 <= collected.size(); k += 3)
                        vertices.push_back({collected[k], collected[k + 1], collected[k + 2]});
                    AddPolygon(vertices);
                }
                collected.clear();
                steps.At(++closed);
            } else if (ParseWholeNumber(token, value)) {
                collected.push_back(inInches ? value * kMmPerInch * 0.001 : value);
            } else if (EqualsNoCase(std::string(token, length), "(INCHES)")) {
                inInches = true;
            } else if (EqualsNoCase(std::string(token, length), "RefPoint")) {
                refPointLeft = 3;
            }
        });
    }
}

} // namespace quillmere
