// The three tool file layouts: numbered nodes, short files and section
// files.
#include "core/FilePaths.h"
#include "core/Messages.h"
#include "core/TextFormat.h"
#include "core/TextLines.h"
#include "model/CDataString.h"
#include "model/CMoldProfile.h"
#include "model/Texts.h"

#include <cmath>
#include <sys/stat.h>
#include <unordered_map>

namespace {

constexpr int MaxNumberedFaceVertices = 1000;
constexpr int SectionArcPoints = 32;
constexpr int SectionRingPoints = 4 * SectionArcPoints;
constexpr size_t MaxSections = 10000;

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
std::unique_ptr<CDataBase<CFace>> NewFaceList(long long expected) {
    const long long capacity = std::min<long long>(std::max<long long>(expected, 0) + 1, 1 << 22);
    return std::unique_ptr<CDataBase<CFace>>(new CDataBase<CFace>(static_cast<int>(capacity), 1 << 16));
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

void CMoldProfile::ReadToolFile(const std::string& path, IProgressSink* progress) {
    // The path found for the name has the name's extension, whatever its case.
    const std::string extension = LowerExtension(path);
    if (extension != ".tol" && extension != ".tmp")
        return;
    std::string firstLine;
    std::vector<std::string> first;
    {
        CFileHandle file(path, "rb");
        if (!file) {
            ShowMessage(FormatText(texts::UnableToReadToolFile, path.c_str()), MessageIcon::Warning);
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
        CDataString tokens(50000, 10000);
        tokens.ReadFile(path);
        std::vector<double> numbers;
        numbers.reserve(static_cast<size_t>(tokens.Count()));
        for (int i = 0; i < tokens.Count(); ++i) {
            const std::string& token = tokens.TokenAt(i);
            if (IsWholeNumber(token.c_str()))
                numbers.push_back(ParseDouble(token.c_str()));
            else if (section && Contains(token, "(INCHES)"))
                inInches = true;
        }
        if (progress)
            progress->SetStatusText(FormatText(texts::LoadingFile, path.c_str()));
        // Every section becomes 384 faces: a file of more sections than any
        // tool has would fill the memory from a few megabytes of numbers.
        if (section && numbers.size() / 4 > MaxSections)
            ShowMessage(FormatText(texts::TooManySections, path.c_str(),
                                   static_cast<unsigned long>(numbers.size() / 4),
                                   static_cast<unsigned long>(MaxSections)),
                        MessageIcon::Warning);
        else if (section)
            ReadSections(numbers, progress);
        else
            ReadNumberedNodes(numbers, progress);
    }
    if (faces->Count() == 0)
        formatKind = NoFaces;
    if (progress) {
        progress->SetPosition(0);
        progress->SetStatusText(texts::Ready);
    }
}

void CMoldProfile::ReadNumberedNodes(const std::vector<double>& numbers, IProgressSink* progress) {
    // Face block: a vertex count and its node numbers per face, ended by 0.
    struct FaceNodes {
        size_t first;
        int count;
    };
    std::vector<FaceNodes> polygons;
    size_t at = 0;
    int largestNode = 0;
    while (at < numbers.size()) {
        const int count = AsInt(numbers[at++]);
        if (count <= 0)
            break;
        const size_t available = numbers.size() - at;
        const size_t taken = std::min(static_cast<size_t>(count), available);
        if (count <= MaxNumberedFaceVertices && taken == static_cast<size_t>(count)) {
            polygons.push_back({at, count});
            for (size_t k = at; k < at + taken; ++k)
                largestNode = std::max(largestNode, AsInt(numbers[k]));
        }
        at += taken;
    }
    // Node block: number x y z; numbers outside 1 .. largest used are
    // ignored, unlisted nodes stay at the origin.
    std::unordered_map<int, CCoordinate> nodes;
    for (; at + 4 <= numbers.size(); at += 4) {
        const int node = AsInt(numbers[at]);
        if (node >= 1 && node <= largestNode)
            nodes[node] = {ToMetres(numbers[at + 1]), ToMetres(numbers[at + 2]), ToMetres(numbers[at + 3])};
    }
    faces = NewFaceList(static_cast<long long>(polygons.size()));
    CProgressSteps steps(progress, static_cast<long long>(polygons.size()));
    std::vector<CCoordinate> vertices;
    for (size_t f = 0; f < polygons.size(); ++f) {
        steps.At(static_cast<long long>(f));
        vertices.clear();
        for (int k = 0; k < polygons[f].count; ++k) {
            const auto found = nodes.find(AsInt(numbers[polygons[f].first + static_cast<size_t>(k)]));
            vertices.push_back(found == nodes.end() ? CCoordinate() : found->second);
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
            ShowMessage(FormatText(texts::UnableToReadToolFile, path.c_str()), MessageIcon::Warning);
            return;
        }
        if (progress)
            progress->SetStatusText(FormatText(texts::ParsingFile, path.c_str()));
        CProgressSteps steps(progress, fileSize);
        CLineReader reader(file.get());
        std::string line;
        CDataString tokens(64, 64);
        while (reader.Next(line, MaxLine)) {
            tokens.Tokenize(line);
            for (int i = 0; i < tokens.Count(); ++i)
                faceCount += tokens.TokenAt(i) == "||";
            tokens.RemoveAll();
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
    CDataString tokens(64, 64);
    while (reader.Next(line, MaxLine)) {
        tokens.Tokenize(line);
        for (int i = 0; i < tokens.Count(); ++i) {
            const std::string& token = tokens.TokenAt(i);
            if (refPointLeft > 0) {
                double* coordinate = refPointLeft == 3   ? &refPoint.x
                                     : refPointLeft == 2 ? &refPoint.y
                                                         : &refPoint.z;
                if (IsWholeNumber(token.c_str()))
                    *coordinate = ToMetres(ParseDouble(token.c_str()));
                --refPointLeft;
            } else if (token[0] == '#') {
                // A hexadecimal tag that nothing uses.
            } else if (token == "||") {
                if (collected.size() >= 3) {
                    vertices.clear();
                    for (size_t k = 0; k + 3 <= collected.size(); k += 3)
                        vertices.push_back({collected[k], collected[k + 1], collected[k + 2]});
                    AddPolygon(vertices);
                }
                collected.clear();
                steps.At(++closed);
            } else if (IsWholeNumber(token.c_str())) {
                const double value = ParseDouble(token.c_str());
                collected.push_back(inInches ? value * 25.4 * 0.001 : value);
            } else if (EqualsNoCase(token, "(INCHES)")) {
                inInches = true;
            } else if (EqualsNoCase(token, "RefPoint")) {
                refPointLeft = 3;
            }
        }
        tokens.RemoveAll();
    }
}
