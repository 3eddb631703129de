#include "scene/CSceneDrawer.h"

#include "config/Colour.h"
#include "core/Parallel.h"
#include "model/CDataBase.h"
#include "model/CMoldProfile.h"
#include "model/CSheetProfile.h"
#include "scale/ColourRamp.h"
#include "scale/ScaleLimits.h"
#include "scale/SheetColouring.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

constexpr int TrianglesPerBatch = 250;

// A colour of the settings as fractions, scaled by factor.
std::array<GLfloat, 4> Fractions(int colour, float factor, double alpha) {
    const std::array<uint8_t, 3> bytes = ColourBytes(colour);
    return {bytes[0] * factor, bytes[1] * factor, bytes[2] * factor, static_cast<GLfloat>(alpha)};
}

void Colour(int colour, double alpha) {
    glColor4fv(Fractions(colour, 1.0f / 255.0f, alpha).data());
}

// The dot of a node: the first rule that applies, or none.
bool DotColour(const CSheetProfile& sheet, int node, const DisplaySettings& settings, int& colour) {
    const int code = sheet.NodeCode(node);
    const uint32_t conditions = sheet.NodeConditions(node);
    if (code == 3 && settings.fixedNodesShown)
        colour = settings.fixedNodeColour;
    else if ((code == 1 || code == 2) && settings.boundaryNodesShown)
        colour = settings.boundaryNodeColour;
    else if ((conditions & 1u) && code < 3 && settings.clampedNodesShown)
        colour = settings.clampedNodeColour;
    else if ((conditions & 2u) && code < 3 && settings.noPressureNodesShown)
        colour = settings.noPressureNodeColour;
    else {
        for (int tool = 0; tool < kToolSlots; ++tool)
            if (settings.tools[static_cast<size_t>(tool)].contactMarking &&
                sheet.ContactFlag(node, tool) == 0) {
                colour = settings.tools[static_cast<size_t>(tool)].contactColour;
                return true;
            }
        return false;
    }
    return true;
}

void Vertex(const CCoordinate& p) {
    glVertex3d(p.x, p.y, p.z);
}

// Lines a drag frame draws at the most: a software rasteriser draws 250,000
// in about 40 ms at 1024 x 768 on two cores. Above it the wireframe is an even
// sample of the edges: an edge is kept when a hash of its two node numbers
// falls in the kept share, so that no region or direction of the mesh is
// thinned more than another. The hash depends on the edge only, so the
// sample stays the same from record to record.
constexpr size_t MaxDragEdges = 250000;

uint64_t EdgeHash(uint64_t a, uint64_t b) {
    return ((a << 32 | b) * 0x9E3779B97F4A7C15ull) >> 40;
}

// The edges of the triangles, each once, in element order: an element draws
// the edge it shares with an earlier element only when none of the earlier
// elements around the edge's first node has it.
std::vector<GLuint> UniqueEdges(const CSheetProfile& sheet) {
    const auto& elements = sheet.Elements();
    std::vector<GLuint> edges;
    edges.reserve(3 * elements.size() + 3);
    for (size_t e = 0; e < elements.size(); ++e) {
        const auto& nodes = elements[e].NodeNumbers;
        for (int k = 0; k < 3; ++k) {
            const int32_t a = nodes[static_cast<size_t>(k)], b = nodes[static_cast<size_t>((k + 1) % 3)];
            bool earlier = false;
            for (int32_t other : sheet.NodeElements(a)) {
                if (static_cast<size_t>(other) >= e)
                    break;
                const auto& around = elements[static_cast<size_t>(other)].NodeNumbers;
                if (around[0] == b || around[1] == b || around[2] == b) {
                    earlier = true;
                    break;
                }
            }
            if (!earlier) {
                edges.push_back(static_cast<GLuint>(a));
                edges.push_back(static_cast<GLuint>(b));
            }
        }
    }
    const size_t count = edges.size() / 2;
    if (count <= MaxDragEdges)
        return edges;
    const uint64_t every = (count + MaxDragEdges - 1) / MaxDragEdges;
    size_t kept = 0;
    for (size_t i = 0; i < count; ++i) {
        const uint64_t a = std::min(edges[2 * i], edges[2 * i + 1]),
                       b = std::max(edges[2 * i], edges[2 * i + 1]);
        if (EdgeHash(a, b) % every != 0)
            continue;
        edges[2 * kept] = edges[2 * i];
        edges[2 * kept + 1] = edges[2 * i + 1];
        ++kept;
    }
    edges.resize(2 * kept);
    return edges;
}

// A digest of the node numbers: two sheets with the same digest and counts
// are taken as the same mesh. A sum over the elements of a hash of the
// element's place and nodes, so that blocks of elements sum on their own.
uint64_t ConnectivityDigest(const CSheetProfile& sheet) {
    const auto& elements = sheet.Elements();
    return parallel::ReduceBlocks(
        elements.size(), 65536, uint64_t(0),
        [&](size_t first, size_t last) {
            uint64_t sum = 0;
            for (size_t e = first; e < last; ++e) {
                const auto& nodes = elements[e].NodeNumbers;
                uint64_t h = (e + 1) * 0x9E3779B97F4A7C15ull;
                h ^= static_cast<uint32_t>(nodes[0]) * 0xBF58476D1CE4E5B9ull;
                h ^= static_cast<uint32_t>(nodes[1]) * 0x94D049BB133111EBull;
                h ^= static_cast<uint64_t>(static_cast<uint32_t>(nodes[2])) << 32 |
                     static_cast<uint32_t>(nodes[2]);
                sum += (h ^ h >> 31) * 0xD6E8FEB86659FD93ull;
            }
            return sum;
        },
        [](uint64_t a, uint64_t b) { return a + b; });
}

// A buffer of the same size is overwritten in place rather than made anew.
template <typename T> void Upload(unsigned& buffer, GLenum target, const std::vector<T>& data) {
    const auto bytes = static_cast<GLsizeiptr>(data.size() * sizeof(T));
    GLint size = -1;
    if (buffer == 0)
        glGenBuffers(1, &buffer);
    glBindBuffer(target, buffer);
    if (bytes > 0)
        glGetBufferParameteriv(target, GL_BUFFER_SIZE, &size);
    if (size == bytes)
        glBufferSubData(target, 0, bytes, data.data());
    else
        glBufferData(target, bytes, data.data(), GL_STATIC_DRAW);
    glBindBuffer(target, 0);
}

void DeleteBuffer(unsigned& buffer) {
    if (buffer != 0)
        glDeleteBuffers(1, &buffer);
    buffer = 0;
}

constexpr GLsizei FeedbackValues = 1000000;

// The window rectangle covered by a feedback buffer; false when empty.
bool FeedbackRectangle(const std::vector<GLfloat>& values, GLint count, WindowRectangle& covered) {
    covered = {DBL_MAX, -DBL_MAX, DBL_MAX, -DBL_MAX};
    bool any = false;
    auto vertex = [&](GLint at) {
        covered.xMin = std::min<double>(covered.xMin, values[static_cast<size_t>(at)]);
        covered.xMax = std::max<double>(covered.xMax, values[static_cast<size_t>(at)]);
        covered.yMin = std::min<double>(covered.yMin, values[static_cast<size_t>(at) + 1]);
        covered.yMax = std::max<double>(covered.yMax, values[static_cast<size_t>(at) + 1]);
        any = true;
    };
    GLint at = 0;
    while (at < count) {
        const GLint token = static_cast<GLint>(values[static_cast<size_t>(at++)]);
        int vertices = 0;
        switch (token) {
        case GL_POLYGON_TOKEN:
            vertices = at < count ? static_cast<int>(values[static_cast<size_t>(at++)]) : 0;
            break;
        case GL_POINT_TOKEN:
        case GL_BITMAP_TOKEN:
        case GL_DRAW_PIXEL_TOKEN:
        case GL_COPY_PIXEL_TOKEN:
            vertices = 1;
            break;
        case GL_LINE_TOKEN:
        case GL_LINE_RESET_TOKEN:
            vertices = 2;
            break;
        case GL_PASS_THROUGH_TOKEN:
            ++at;
            break;
        default:
            return any;
        }
        for (int k = 0; k < vertices && at + 3 <= count; ++k, at += 3)
            vertex(at);
    }
    return any;
}

} // namespace

unsigned CSceneDrawer::Replace(unsigned& list) {
    if (list != 0)
        glDeleteLists(list, 1);
    list = glGenLists(1);
    return list;
}

void CSceneDrawer::InitialiseContext() {
    glDepthRange(1.0, 0.0);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_POINT_SMOOTH);
    SetupLighting();
}

void CSceneDrawer::SetupLighting() {
    const GLfloat ambient[] = {0.2f, 0.2f, 0.2f, 1.0f};
    const GLfloat diffuse[] = {0.9f, 0.9f, 0.9f, 1.0f};
    const GLfloat position[] = {5.0f, 10.0f, 50.0f, 0.0f};
    const GLfloat modelAmbient[] = {0.9f, 0.9f, 0.9f, 1.0f};
    const GLfloat specular[] = {0.9f, 0.9f, 1.0f, 1.0f};
    const GLfloat white[] = {1.0f, 1.0f, 1.0f, 1.0f};
    const GLfloat materialAmbient[] = {0.1f, 0.1f, 0.1f, 1.0f};
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT0, GL_POSITION, position);
    glLightf(GL_LIGHT0, GL_SPOT_EXPONENT, 1.0f);
    glLightf(GL_LIGHT0, GL_SPOT_CUTOFF, 90.0f);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, modelAmbient);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_TRUE);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 128.0f);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, specular);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, white);
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, materialAmbient);
    glPopMatrix();
}

void CSceneDrawer::BuildMesh(const CSheetProfile& source) {
    const uint64_t digest = ConnectivityDigest(source);
    if (mesh.sheet == &source && mesh.elements == source.ElementCount() && mesh.nodes == source.NodeCount() &&
        mesh.connectivity == digest && mesh.triangles != 0)
        return;
    DeleteBuffer(mesh.wire);
    mesh.sheet = &source;
    mesh.elements = source.ElementCount();
    mesh.nodes = source.NodeCount();
    mesh.connectivity = digest;
    mesh.wireBuilt = false;
    mesh.wireIndices = 0;
    std::vector<GLuint>& indices = mesh.corners;
    indices.clear();
    indices.reserve(3 * source.Elements().size());
    for (const CElementProfile& element : source.Elements())
        for (int32_t node : element.NodeNumbers)
            indices.push_back(static_cast<GLuint>(node));
    Upload(mesh.triangles, GL_ELEMENT_ARRAY_BUFFER, indices);
    mesh.batchCounts.clear();
    mesh.batchOffsets.clear();
    const size_t perBatch = 3 * TrianglesPerBatch;
    for (size_t first = 0; first < indices.size(); first += perBatch) {
        mesh.batchCounts.push_back(static_cast<GLsizei>(std::min(perBatch, indices.size() - first)));
        mesh.batchOffsets.push_back(reinterpret_cast<const void*>(first * sizeof(GLuint)));
    }
}

void CSceneDrawer::BuildSheetLists(const CSheetProfile* source, const DisplaySettings& settings, int quantity,
                                   const ScaleLimits& limits, const ColourRamp& ramp) {
    BuildCutList(source);
    sheet = source;
    if (!source) {
        BuildDots(settings);
        return;
    }
    BuildMesh(*source);
    ++sheetBuilds;

    // The node arrays of the record, by node number (entry 0 is no node),
    // in blocks of nodes, the colours beside them.
    const int nodes = source->NodeCount();
    const size_t entries = static_cast<size_t>(nodes) + 1;
    arrays.xyz.resize(3 * entries);
    arrays.normal.resize(3 * entries);
    coloured = quantity != 0;
    parallel::Both(
        [&] {
            const CCoordinate* current = source->CurrentCoordinateArray();
            GLfloat* xyz = arrays.xyz.data();
            GLfloat* normal = arrays.normal.data();
            parallel::ForBlocks(entries, 8192, [&](size_t first, size_t last) {
                for (size_t i = first; i < last; ++i) {
                    xyz[3 * i] = static_cast<GLfloat>(current[i].x);
                    xyz[3 * i + 1] = static_cast<GLfloat>(current[i].y);
                    xyz[3 * i + 2] = static_cast<GLfloat>(current[i].z);
                    const CCoordinate n = i == 0 ? CCoordinate() : source->NodeNormal(static_cast<int>(i));
                    normal[3 * i] = static_cast<GLfloat>(n.x);
                    normal[3 * i + 1] = static_cast<GLfloat>(n.y);
                    normal[3 * i + 2] = static_cast<GLfloat>(n.z);
                }
            });
        },
        [&] {
            if (!coloured)
                return;
            ColourNodes(*source, quantity, limits, arrays.colouring);
            FillNodeColours(arrays.colouring, ramp, settings, arrays.rgba);
        });
    Upload(positions, GL_ARRAY_BUFFER, arrays.xyz);
    Upload(normals, GL_ARRAY_BUFFER, arrays.normal);
    if (coloured)
        Upload(colours, GL_ARRAY_BUFFER, arrays.rgba);
    else
        uniformColour = UniformSheetColour(settings);
    edgeColour = settings.sheetEdgeColour;
    edgeAlpha = settings.sheetOpacity;

    // The dots wait for the first frame that shows them.
    dotsBuilt = false;
    if (settings.nodeDotsShown)
        BuildDots(settings);
}

void CSceneDrawer::BuildDots(const DisplaySettings& settings) {
    dotsBuilt = true;
    Replace(sheetDots);
    glNewList(sheetDots, GL_COMPILE);
    if (sheet) {
        glPointSize(5.0f);
        glBegin(GL_POINTS);
        for (int node = 1; node <= sheet->NodeCount(); ++node) {
            int colour = 0;
            if (DotColour(*sheet, node, settings, colour)) {
                Colour(colour, 1.0);
                Vertex(sheet->CurrentCoordinate(node));
            }
        }
        glEnd();
    }
    glEndList();
}

// Rows x, y and w of the current projection x model-view.
static void ClipRows(double rows[3][4]) {
    GLdouble projection[16], modelView[16];
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetDoublev(GL_MODELVIEW_MATRIX, modelView);
    const int rowIndex[3] = {0, 1, 3};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c) {
            rows[r][c] = 0;
            for (int k = 0; k < 4; ++k)
                rows[r][c] += projection[4 * k + rowIndex[r]] * modelView[4 * c + k];
        }
}

// A pass culls the faces turned the other way, and a software rasteriser
// still transforms and culls every triangle: when no triangle can face one
// way, the pass of that way is left out, which draws the same pixels. Under
// an affine projection twice a triangle's window area is the dot product of
// its model-space edge cross product, kept per record, with the cross
// product of the projection's window rows. A triangle counts as facing a way
// unless that area says otherwise by more than the driver's rounding can
// change it: corners snapped to 1/256 pixel, single-precision transforms
// bounded by the size of the terms they sum, and the rounding of the kept
// cross products. The answer is kept for the same matrices, viewport and
// node arrays.
int CSceneDrawer::SheetFacing() {
    double rows[3][4];
    ClipRows(rows);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    FacingKey key;
    std::copy(&rows[0][0], &rows[0][0] + 12, key.rows.begin());
    key.width = viewport[2];
    key.height = viewport[3];
    key.builds = sheetBuilds;
    if (facingKnown && key == facingKey)
        return facing;
    facingKey = key;
    facingKnown = true;
    facing = 3;
    if (rows[2][0] != 0 || rows[2][1] != 0 || rows[2][2] != 0 || rows[2][3] != 1)
        return facing;

    const size_t triangles = static_cast<size_t>(mesh.elements);
    if (crossBuilds != sheetBuilds) {
        // Per triangle: the edge cross product and the largest edge
        // component, from the positions the driver gets.
        crossBuilds = sheetBuilds;
        cross.resize(4 * triangles);
        const float* xyz = arrays.xyz.data();
        const GLuint* corners = mesh.corners.data();
        float* out = cross.data();
        parallel::ForBlocks(triangles, 16384, [&](size_t first, size_t last) {
            for (size_t t = first; t < last; ++t) {
                const float* a = xyz + 3 * corners[3 * t];
                const float* b = xyz + 3 * corners[3 * t + 1];
                const float* c = xyz + 3 * corners[3 * t + 2];
                const double e1[3] = {double(b[0]) - a[0], double(b[1]) - a[1], double(b[2]) - a[2]};
                const double e2[3] = {double(c[0]) - a[0], double(c[1]) - a[1], double(c[2]) - a[2]};
                out[4 * t] = static_cast<float>(e1[1] * e2[2] - e1[2] * e2[1]);
                out[4 * t + 1] = static_cast<float>(e1[2] * e2[0] - e1[0] * e2[2]);
                out[4 * t + 2] = static_cast<float>(e1[0] * e2[1] - e1[1] * e2[0]);
                double largest = 0;
                for (int k = 0; k < 3; ++k)
                    largest = std::max({largest, std::fabs(e1[k]), std::fabs(e2[k])});
                out[4 * t + 3] = static_cast<float>(largest);
            }
        });
    }

    // The window rows (pixels per model unit) and their cross product.
    const double halfWidth = viewport[2] / 2.0, halfHeight = viewport[3] / 2.0;
    const double a1[3] = {rows[0][0] * halfWidth, rows[0][1] * halfWidth, rows[0][2] * halfWidth};
    const double a2[3] = {rows[1][0] * halfHeight, rows[1][1] * halfHeight, rows[1][2] * halfHeight};
    const double view[3] = {a1[1] * a2[2] - a1[2] * a2[1], a1[2] * a2[0] - a1[0] * a2[2],
                            a1[0] * a2[1] - a1[1] * a2[0]};
    // The largest term a corner's window coordinates sum, over the sheet's
    // box: its single-precision error bounds that of the corner.
    const std::array<double, 6> box = sheet->BoundingBox();
    double terms = 0;
    for (const double* row : {rows[0], rows[1]}) {
        double sum = std::fabs(row[3]);
        for (int c = 0; c < 3; ++c)
            sum += std::fabs(row[c]) * std::max(std::fabs(box[2 * c]), std::fabs(box[2 * c + 1]));
        terms = std::max(terms, sum * std::max(halfWidth, halfHeight));
    }
    const double error = 1.0 / 128 + 1e-5 * terms;
    const double stretch = 2 * (std::fabs(a1[0]) + std::fabs(a1[1]) + std::fabs(a1[2]) + std::fabs(a2[0]) +
                                std::fabs(a2[1]) + std::fabs(a2[2]));
    const double viewSize = std::fabs(view[0]) + std::fabs(view[1]) + std::fabs(view[2]);
    const float* at = cross.data();
    facing = parallel::ReduceBlocks(
        triangles, 65536, 0,
        [&](size_t first, size_t last) {
            int ways = 0;
            for (size_t t = first; t < last; ++t) {
                const float* n = at + 4 * t;
                const double area = n[0] * view[0] + n[1] * view[1] + n[2] * view[2];
                // Edges in the window at most stretch x the largest
                // component long (both edges, both axes).
                const double margin = 4 * error * stretch * n[3] + 8 * error * error +
                                      1e-6 * (std::fabs(n[0]) + std::fabs(n[1]) + std::fabs(n[2])) * viewSize;
                // Not a number counts both ways.
                if (!(area < -margin))
                    ways |= 1;
                if (!(area > margin))
                    ways |= 2;
            }
            return ways;
        },
        [](int a, int b) { return a | b; });
    return facing;
}

// Selection in software costs microseconds per triangle sent, while the
// region is one pixel: only the triangles whose window bounds come near
// it are sent (the projection is orthographic, so the bounds are those of
// the corners). The others could not make a hit, so the hits, their depths
// and their order are those of the whole sheet. The coordinates change with
// every record; one pass over the nodes and the kept corners is cheaper than
// any structure rebuilt per record.
void CSceneDrawer::DrawSheetPick() const {
    if (!sheet)
        return;
    double rows[3][4];
    ClipRows(rows);
    // The region is [-1, 1] in clip units; a wide margin keeps every
    // triangle the selection could hit despite its rounding.
    constexpr double Reach = 8;
    const size_t entries = static_cast<size_t>(sheet->NodeCount()) + 1;
    const CCoordinate* current = sheet->CurrentCoordinateArray();
    // Per node: bit 0 left of, 1 right of, 2 below, 3 above the region.
    // Not a number compares false and keeps the node's triangles.
    std::vector<uint8_t> side(entries);
    for (size_t i = 0; i < entries; ++i) {
        const CCoordinate& p = current[i];
        const double x = rows[0][0] * p.x + rows[0][1] * p.y + rows[0][2] * p.z + rows[0][3];
        const double y = rows[1][0] * p.x + rows[1][1] * p.y + rows[1][2] * p.z + rows[1][3];
        const double w = rows[2][0] * p.x + rows[2][1] * p.y + rows[2][2] * p.z + rows[2][3];
        const double reach = Reach * w;
        side[i] =
            w > 0
                ? static_cast<uint8_t>((x < -reach) | (x > reach) << 1 | (y < -reach) << 2 | (y > reach) << 3)
                : 0;
    }
    const std::vector<GLuint>& corners = mesh.corners;
    for (size_t i = 0; 3 * i + 2 < corners.size(); ++i) {
        const GLuint* c = &corners[3 * i];
        if (side[c[0]] & side[c[1]] & side[c[2]])
            continue;
        glLoadName(static_cast<GLuint>(i));
        glBegin(GL_TRIANGLES);
        for (int k = 0; k < 3; ++k)
            Vertex(current[c[k]]);
        glEnd();
    }
}

size_t CSceneDrawer::DragEdgeCount() {
    if (!mesh.wireBuilt && sheet) {
        const std::vector<GLuint> edges = UniqueEdges(*sheet);
        Upload(mesh.wire, GL_ELEMENT_ARRAY_BUFFER, edges);
        mesh.wireIndices = edges.size();
        mesh.wireBuilt = true;
    }
    return mesh.wireIndices / 2;
}

void CSceneDrawer::BindSheetArrays(bool withColours) const {
    glBindBuffer(GL_ARRAY_BUFFER, positions);
    glVertexPointer(3, GL_FLOAT, 0, nullptr);
    glEnableClientState(GL_VERTEX_ARRAY);
    if (withColours) {
        glBindBuffer(GL_ARRAY_BUFFER, normals);
        glNormalPointer(GL_FLOAT, 0, nullptr);
        glEnableClientState(GL_NORMAL_ARRAY);
        if (coloured) {
            glBindBuffer(GL_ARRAY_BUFFER, colours);
            glColorPointer(4, GL_UNSIGNED_BYTE, 0, nullptr);
            glEnableClientState(GL_COLOR_ARRAY);
        }
    }
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

void CSceneDrawer::UnbindArrays() {
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

// The element triangles by node number, in batches of at most 250 triangles.
void CSceneDrawer::DrawSheetTriangles(bool withColours) const {
    BindSheetArrays(withColours);
    if (withColours && !coloured)
        glColor4f(uniformColour[0], uniformColour[1], uniformColour[2], uniformColour[3]);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, mesh.triangles);
    // The batches go in one call: a software driver prepares its pipeline
    // once instead of once per batch, and draws the same triangles in the
    // same order.
    glMultiDrawElements(GL_TRIANGLES, mesh.batchCounts.data(), GL_UNSIGNED_INT, mesh.batchOffsets.data(),
                        static_cast<GLsizei>(mesh.batchCounts.size()));
    UnbindArrays();
}

void CSceneDrawer::DrawSheetEdges() const {
    Colour(edgeColour, edgeAlpha);
    DrawSheetTriangles(false);
}

// The wireframe of drags: edges once each, as lines, which costs a software
// rasteriser a fraction of drawing the triangles in line mode.
void CSceneDrawer::DrawDragWireframe() {
    DragEdgeCount();
    Colour(edgeColour, edgeAlpha);
    BindSheetArrays(false);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, mesh.wire);
    glDrawElements(GL_LINES, static_cast<GLsizei>(mesh.wireIndices), GL_UNSIGNED_INT, nullptr);
    UnbindArrays();
}

void CSceneDrawer::BuildCutList(const CSheetProfile* cutSheet) {
    Replace(cutLine);
    glNewList(cutLine, GL_COMPILE);
    if (cutSheet) {
        const CCutSegments& cut = cutSheet->CutSegments();
        glBegin(GL_LINES);
        for (int i = 0; i < cut.Count(); ++i) {
            Vertex(cut.At(i)->Start);
            Vertex(cut.At(i)->End);
        }
        glEnd();
    }
    glEndList();
}

// The float values glVertex3d and glNormal3d would keep: a list of the faces
// drew the same.
bool CSceneDrawer::RefillTool(ToolArrays& drawn, const CMoldProfile& tool) {
    const CDataBase<CFace>& faces = tool.Faces();
    if (drawn.faceFirst.size() != static_cast<size_t>(faces.Count()) + 1)
        return false;
    float* xyz = drawn.xyz.data();
    const float* normal = drawn.normal.data();
    for (int f = 0; f < faces.Count(); ++f) {
        const CFace& face = *faces.At(f);
        const int first = drawn.faceFirst[static_cast<size_t>(f)];
        const int count = face.VertexCount() < 3 ? 0 : face.VertexCount();
        if (drawn.faceFirst[static_cast<size_t>(f) + 1] - first != count)
            return false;
        if (count == 0)
            continue;
        const float* n = normal + 3 * first;
        if (std::memcmp(n,
                        std::array<float, 3>{static_cast<float>(face.Normal().x),
                                             static_cast<float>(face.Normal().y),
                                             static_cast<float>(face.Normal().z)}
                            .data(),
                        3 * sizeof(float)) != 0)
            return false;
        float* p = xyz + 3 * first;
        for (int k = 0; k < count; ++k, p += 3) {
            const CCoordinate& v = face.Vertex(k);
            p[0] = static_cast<float>(v.x);
            p[1] = static_cast<float>(v.y);
            p[2] = static_cast<float>(v.z);
        }
    }
    return true;
}

// Triangles go in runs; a larger face closes the run and is drawn as a
// polygon.
void CSceneDrawer::RebuildTool(ToolArrays& drawn, const CMoldProfile& tool) {
    const CDataBase<CFace>& faces = tool.Faces();
    drawn.xyz.clear();
    drawn.normal.clear();
    drawn.faceFirst.clear();
    drawn.runs.clear();
    drawn.polygonFirsts.clear();
    drawn.polygonCounts.clear();
    int vertices = 0;
    for (int f = 0; f < faces.Count(); ++f) {
        const CFace& face = *faces.At(f);
        drawn.faceFirst.push_back(vertices);
        const int count = face.VertexCount();
        if (count < 3)
            continue;
        const GLenum mode = count == 3 ? GL_TRIANGLES : GL_POLYGON;
        if (drawn.runs.empty() || drawn.runs.back().mode != mode)
            drawn.runs.push_back(
                {mode, mode == GL_TRIANGLES ? vertices : static_cast<int>(drawn.polygonFirsts.size()), 0});
        if (mode == GL_TRIANGLES) {
            drawn.runs.back().count += 3;
        } else {
            drawn.polygonFirsts.push_back(vertices);
            drawn.polygonCounts.push_back(count);
            ++drawn.runs.back().count;
        }
        for (int k = 0; k < count; ++k) {
            const CCoordinate& v = face.Vertex(k);
            drawn.xyz.insert(drawn.xyz.end(),
                             {static_cast<float>(v.x), static_cast<float>(v.y), static_cast<float>(v.z)});
            drawn.normal.insert(drawn.normal.end(),
                                {static_cast<float>(face.Normal().x), static_cast<float>(face.Normal().y),
                                 static_cast<float>(face.Normal().z)});
        }
        vertices += count;
    }
    drawn.faceFirst.push_back(vertices);
}

void CSceneDrawer::BuildToolLists(const CDataBase<CMoldProfile>* tools, const DisplaySettings& settings) {
    toolNames.clear();
    int nextName = 0;
    for (int slot = 0; slot < kToolSlots; ++slot) {
        ToolArrays& drawn = toolArrays[static_cast<size_t>(slot)];
        const CMoldProfile* tool = tools && slot < tools->Count() ? tools->At(slot) : nullptr;
        if (!tool) {
            DeleteBuffer(drawn.positions);
            DeleteBuffer(drawn.normals);
            drawn = ToolArrays();
            continue;
        }
        if (!RefillTool(drawn, *tool)) {
            RebuildTool(drawn, *tool);
            Upload(drawn.normals, GL_ARRAY_BUFFER, drawn.normal);
        }
        Upload(drawn.positions, GL_ARRAY_BUFFER, drawn.xyz);
        if (settings.tools[static_cast<size_t>(slot)].shown) {
            toolNames.push_back({slot, nextName, tool->Faces().Count()});
            nextName += tool->Faces().Count();
        }
    }
    toolsBuilt = true;
}

void CSceneDrawer::DrawTool(int slot) const {
    const ToolArrays& drawn = toolArrays[static_cast<size_t>(slot)];
    if (drawn.runs.empty())
        return;
    glBindBuffer(GL_ARRAY_BUFFER, drawn.positions);
    glVertexPointer(3, GL_FLOAT, 0, nullptr);
    glEnableClientState(GL_VERTEX_ARRAY);
    glBindBuffer(GL_ARRAY_BUFFER, drawn.normals);
    glNormalPointer(GL_FLOAT, 0, nullptr);
    glEnableClientState(GL_NORMAL_ARRAY);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    for (const ToolArrays::Run& run : drawn.runs) {
        if (run.mode == GL_TRIANGLES)
            glDrawArrays(GL_TRIANGLES, run.first, run.count);
        else
            glMultiDrawArrays(GL_POLYGON, drawn.polygonFirsts.data() + run.first,
                              drawn.polygonCounts.data() + run.first, run.count);
    }
    UnbindArrays();
    // The last normal stays current, as after the faces' list.
    glNormal3fv(drawn.normal.data() + drawn.normal.size() - 3);
}

// Each face a polygon under its name; a face that is not drawn still uses up
// its name.
void CSceneDrawer::DrawToolPick() const {
    for (const ToolNameRange& range : toolNames) {
        const ToolArrays& drawn = toolArrays[static_cast<size_t>(range.slot)];
        for (int f = 0; f < range.count; ++f) {
            const int first = drawn.faceFirst[static_cast<size_t>(f)];
            const int count = drawn.faceFirst[static_cast<size_t>(f) + 1] - first;
            if (count == 0)
                continue;
            glLoadName(static_cast<GLuint>(range.first + f));
            glBegin(GL_POLYGON);
            for (int k = 0; k < count; ++k)
                glVertex3fv(drawn.xyz.data() + 3 * (first + k));
            glEnd();
        }
    }
}

void CSceneDrawer::BuildOverlay(Overlay overlay, const std::vector<std::array<int, 2>>& points) {
    unsigned& list = overlays[static_cast<size_t>(overlay)];
    Replace(list);
    overlayShown[static_cast<size_t>(overlay)] = !points.empty();
    glNewList(list, GL_COMPILE);
    if (!points.empty()) {
        switch (overlay) {
        case Overlay::ZoomBox:
            glLineWidth(1.0f);
            glColor3f(0, 0, 0);
            glBegin(GL_LINE_LOOP);
            break;
        case Overlay::MeasurementLine:
            glLineWidth(2.0f);
            glColor3f(0, 0, 0);
            glBegin(GL_LINES);
            break;
        case Overlay::PickHighlight:
            glColor3f(1, 1, 0);
            if (points.size() == 5) {
                glLineWidth(1.0f);
                glBegin(GL_POLYGON);
            } else {
                glLineWidth(3.0f);
                glBegin(GL_LINE_STRIP);
            }
            break;
        default:
            glLineWidth(1.0f);
            glColor3f(0, 0.2f, 0.2f);
            glBegin(GL_LINE_LOOP);
            break;
        }
        for (const auto& point : points)
            glVertex2i(point[0], point[1]);
        glEnd();
    }
    glEndList();
}

void CSceneDrawer::BuildMarker(Overlay overlay, int left, int top, int right, int bottom) {
    unsigned& list = overlays[static_cast<size_t>(overlay)];
    Replace(list);
    overlayShown[static_cast<size_t>(overlay)] = true;
    const double cx = (left + right) / 2.0, cy = (top + bottom) / 2.0;
    const double rx = (right - left) / 2.0, ry = (bottom - top) / 2.0;
    glNewList(list, GL_COMPILE);
    for (GLenum mode : {GLenum(GL_POLYGON), GLenum(GL_LINE_LOOP)}) {
        if (mode == GL_POLYGON)
            glColor3f(0, 1, 0);
        else
            glColor3f(0, 0, 0);
        glLineWidth(1.0f);
        glBegin(mode);
        for (int k = 0; k < 360; ++k) {
            const double angle = k * 0.017453277;
            glVertex2d(cx + rx * std::cos(angle), cy + ry * std::sin(angle));
        }
        glEnd();
    }
    glEndList();
}

void CSceneDrawer::BuildCrossHair(int x, int y, int reach) {
    // One closed outline of a plus sign with arms 2 pixels wide.
    const std::vector<std::array<int, 2>> outline = {{x - 1, y - reach}, {x + 1, y - reach}, {x + 1, y - 1},
                                                     {x + reach, y - 1}, {x + reach, y + 1}, {x + 1, y + 1},
                                                     {x + 1, y + reach}, {x - 1, y + reach}, {x - 1, y + 1},
                                                     {x - reach, y + 1}, {x - reach, y - 1}, {x - 1, y - 1}};
    BuildOverlay(Overlay::CutMark, outline);
}

bool CSceneDrawer::HasOverlay(Overlay overlay) const {
    return overlayShown[static_cast<size_t>(overlay)];
}

// The model-view of both cameras: pan, trackball rotation about the centre,
// and the clip planes, which belong to the model.
// Narrows the projection to the frame's tile: the tile's part of the clip
// square is stretched over the whole target, so tiles meet without seams.
static void ApplyTileWindow(const FrameState& frame) {
    if (frame.tileWidth <= 0 || frame.tileHeight <= 0)
        return;
    const double sx = static_cast<double>(frame.width) / frame.tileWidth;
    const double sy = static_cast<double>(frame.height) / frame.tileHeight;
    glTranslated(sx - 1 - 2.0 * frame.tileLeft / frame.tileWidth,
                 sy - 1 - 2.0 * frame.tileBottom / frame.tileHeight, 0);
    glScaled(sx, sy, 1);
}

static void ApplyModelView(const CCamera& camera, const FrameState& frame, bool zoomInModelView) {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    if (zoomInModelView)
        glScalef(camera.zoom, camera.zoom, camera.zoom);
    glTranslatef(camera.panX, camera.panY, 0);
    float rotation[16];
    camera.trackball.Matrix(rotation);
    glMultMatrixf(rotation);
    glTranslatef(-camera.centre[0], -camera.centre[1], -camera.centre[2]);
    if (frame.clipActive)
        for (int plane = 0; plane < 4; ++plane) {
            glClipPlane(GL_CLIP_PLANE0 + static_cast<GLenum>(plane), frame.clipPlanes[plane]);
            glEnable(GL_CLIP_PLANE0 + static_cast<GLenum>(plane));
        }
}

void CSceneDrawer::Fit(CCamera& camera, const FrameState& frame, const DisplaySettings& settings,
                       const CSheetProfile* shownSheet, const CDataBase<CMoldProfile>* tools) {
    camera.zoom = 1.0f;
    camera.panX = camera.panY = 0;
    double bounds[6] = {DBL_MAX, -DBL_MAX, DBL_MAX, -DBL_MAX, DBL_MAX, -DBL_MAX};
    bool any = false;
    auto include = [&](const std::array<double, 6>& other) {
        for (size_t axis = 0; axis < 3; ++axis) {
            bounds[2 * axis] = std::min(bounds[2 * axis], other[2 * axis]);
            bounds[2 * axis + 1] = std::max(bounds[2 * axis + 1], other[2 * axis + 1]);
        }
        any = true;
    };
    if (shownSheet && settings.sheetShown)
        include(shownSheet->BoundingBox());
    for (int slot = 0; tools && slot < kToolSlots && slot < tools->Count(); ++slot)
        if (const CMoldProfile* tool = tools->At(slot))
            if (settings.tools[static_cast<size_t>(slot)].shown)
                include(tool->ToolBounds());
    if (any)
        camera.FitBox(bounds);

    std::vector<GLfloat> feedback(FeedbackValues);
    glFeedbackBuffer(FeedbackValues, GL_3D, feedback.data());
    glRenderMode(GL_FEEDBACK);
    DrawFrame(camera, frame, settings);
    const GLint count = glRenderMode(GL_RENDER);
    WindowRectangle covered{0, 0, 0, 0};
    const bool found = count > 0 && FeedbackRectangle(feedback, count, covered);
    const int viewport[4] = {0, 0, frame.width, frame.height};
    camera.FitToFeedback(found ? count : -1, covered, viewport);
}

void CSceneDrawer::ApplyDisplayCamera(CCamera& camera, const FrameState& frame) {
    const OrthoBox box = camera.DisplayProjection(frame.width, frame.height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    ApplyTileWindow(frame);
    glEnable(GL_NORMALIZE);
    glScalef(camera.zoom, camera.zoom, camera.zoom);
    glOrtho(box.left, box.right, box.bottom, box.top, box.nearPlane, box.farPlane);
    ApplyModelView(camera, frame, false);
}

void CSceneDrawer::ApplyPickingCamera(const CCamera& camera, const FrameState& frame) {
    const OrthoBox box = camera.PickingProjection(frame.width, frame.height);
    glMatrixMode(GL_PROJECTION);
    glOrtho(box.left, box.right, box.bottom, box.top, box.nearPlane, box.farPlane);
    ApplyModelView(camera, frame, true);
}

void CSceneDrawer::DrawBackground(const FrameState& frame, const DisplaySettings& settings) const {
    glDisable(GL_DEPTH_TEST);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    ApplyTileWindow(frame);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    // Corners bottom-left, bottom-right, top-right, top-left.
    int corners[4];
    switch (settings.backgroundScheme) {
    case 0:
        corners[0] = corners[1] = corners[2] = corners[3] = settings.backgroundColour;
        break;
    case 2:
        corners[0] = settings.backgroundCorners[2];
        corners[1] = settings.backgroundCorners[3];
        corners[2] = settings.backgroundCorners[1];
        corners[3] = settings.backgroundCorners[0];
        break;
    default:
        corners[0] = corners[1] = settings.backgroundBottom;
        corners[2] = corners[3] = settings.backgroundTop;
        break;
    }
    const float x[4] = {-1, 1, 1, -1}, y[4] = {-1, -1, 1, 1};
    glBegin(GL_QUADS);
    for (int k = 0; k < 4; ++k) {
        Colour(corners[k], 1.0);
        glVertex3f(x[k], y[k], 1.0f);
    }
    glEnd();
    glEnable(GL_DEPTH_TEST);
}

void CSceneDrawer::DrawTools(const FrameState& frame, const DisplaySettings& settings) const {
    const bool reduced = frame.motion && frame.sheetElementCount > settings.reducedDrawingThreshold;
    for (int pass = 1; pass <= 2; ++pass)
        for (int slot = 0; slot < kToolSlots; ++slot) {
            const ToolDisplay& tool = settings.tools[static_cast<size_t>(slot)];
            const bool opaque = tool.opacity == 1.0;
            if (!tool.shown || !toolsBuilt || opaque != (pass == 1))
                continue;
            if (!opaque) {
                glEnable(GL_BLEND);
                glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
                glDepthMask(GL_FALSE);
            }
            glShadeModel(GL_FLAT);
            glLineWidth(1.0f);
            if (reduced) {
                glDisable(GL_DEPTH_TEST);
                glDisable(GL_LIGHTING);
                glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
                Colour(tool.surfaceColour, tool.opacity);
                DrawTool(slot);
                glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
                glEnable(GL_DEPTH_TEST);
            } else {
                if (tool.mode == 0 || tool.mode == 2) {
                    glPushAttrib(GL_ALL_ATTRIB_BITS);
                    glShadeModel(GL_SMOOTH);
                    glEnable(GL_LIGHTING);
                    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
                    // Both terms set as materials: colour material would
                    // leave one of them at the colour set before.
                    glDisable(GL_COLOR_MATERIAL);
                    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT,
                                 Fractions(tool.surfaceColour, 1.0f / 1530.0f, tool.opacity).data());
                    glMaterialfv(
                        GL_FRONT_AND_BACK, GL_DIFFUSE,
                        Fractions(tool.surfaceColour, 10.0f / (11.0f * 255.0f), tool.opacity).data());
                    DrawTool(slot);
                    glPopAttrib();
                }
                if (tool.mode == 1 || tool.mode == 2) {
                    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
                    Colour(tool.wireColour, tool.opacity);
                    DrawTool(slot);
                    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
                }
            }
            glShadeModel(GL_SMOOTH);
            if (!opaque) {
                glDepthMask(GL_TRUE);
                glDisable(GL_BLEND);
            }
        }
}

void CSceneDrawer::DrawSheet(const FrameState& frame, const DisplaySettings& settings) {
    const bool reduced = frame.motion && frame.sheetElementCount > settings.reducedDrawingThreshold;
    const bool translucent = settings.sheetOpacity != 1.0;
    const int ways = reduced ? 3 : SheetFacing();
    for (int pass = 1; pass <= 2; ++pass) {
        const bool faces = (ways & pass) != 0;
        glEnable(GL_CULL_FACE);
        glCullFace(pass == 1 ? GL_BACK : GL_FRONT);
        if (translucent) {
            glEnable(GL_BLEND);
            glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
            glDepthMask(GL_FALSE);
        }
        if (reduced) {
            // Lines know no faces: the wireframe is drawn whole in the first
            // pass.
            glDisable(GL_DEPTH_TEST);
            if (pass == 1)
                DrawDragWireframe();
            glEnable(GL_DEPTH_TEST);
        } else if (!faces) {
            // Every triangle is culled in this pass.
        } else if (settings.sheetDisplayMode == 1) {
            glPushAttrib(GL_ALL_ATTRIB_BITS);
            glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
            glEnable(GL_LIGHTING);
            // Front faces alone light the same on one side, which spares a
            // software driver the second colour of every vertex.
            if (ways == 1)
                glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_FALSE);
            glEnable(GL_COLOR_MATERIAL);
            glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
            glEnable(GL_POLYGON_OFFSET_FILL);
            glPolygonOffset(1.0f, 1.0f);
            DrawSheetTriangles(true);
            glPopAttrib();
        } else {
            glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
            DrawSheetEdges();
            glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
            if (settings.sheetDisplayMode == 0) {
                glEnable(GL_POLYGON_OFFSET_FILL);
                glPolygonOffset(1.0f, 1.0f);
                DrawSheetTriangles(true);
                glDisable(GL_POLYGON_OFFSET_FILL);
            }
        }
        if (settings.nodeDotsShown) {
            if (!dotsBuilt)
                BuildDots(settings);
            glCallList(sheetDots);
        }
        if (translucent) {
            glLineWidth(3.0f);
            glColor3f(0, 0, 0);
            glCallList(cutLine);
            glLineWidth(1.0f);
            glColor3f(1, 1, 1);
            glCallList(cutLine);
        } else {
            glLineWidth(2.0f);
            glColor3f(1, 1, 1);
            glCallList(cutLine);
        }
        glLineWidth(1.0f);
        if (HasOverlay(Overlay::CutMark))
            DrawOverlay(Overlay::CutMark, frame);
        if (translucent) {
            glDepthMask(GL_TRUE);
            glDisable(GL_BLEND);
        }
        glCullFace(GL_BACK);
        glDisable(GL_CULL_FACE);
    }
}

void CSceneDrawer::DrawOverlay(Overlay overlay, const FrameState& frame) const {
    glPushAttrib(GL_ENABLE_BIT | GL_LINE_BIT | GL_CURRENT_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    for (int plane = 0; plane < 4; ++plane)
        glDisable(GL_CLIP_PLANE0 + static_cast<GLenum>(plane));
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    ApplyTileWindow(frame);
    glOrtho(0, frame.width, frame.height, 0, -2, 0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glCallList(overlays[static_cast<size_t>(overlay)]);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopAttrib();
}

void CSceneDrawer::DrawFrame(CCamera& camera, const FrameState& frame, const DisplaySettings& settings) {
    glDisable(GL_COLOR_MATERIAL);
    glDisable(GL_LIGHTING);
    for (int plane = 0; plane < 4; ++plane)
        glDisable(GL_CLIP_PLANE0 + static_cast<GLenum>(plane));
    glShadeModel(GL_SMOOTH);
    if (frame.tileWidth > 0 && frame.tileHeight > 0)
        glViewport(0, 0, frame.tileWidth, frame.tileHeight);
    else
        glViewport(0, 0, frame.width, frame.height);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    DrawBackground(frame, settings);
    ApplyDisplayCamera(camera, frame);
    DrawTools(frame, settings);
    if (settings.sheetShown && sheet)
        DrawSheet(frame, settings);
    if (polyline.size() >= 3) {
        glColor3f(0, 1, 0.8f);
        glBegin(GL_LINE_STRIP);
        for (size_t i = 0; i + 2 < polyline.size(); i += 3)
            glVertex3d(polyline[i], polyline[i + 1], polyline[i + 2]);
        glEnd();
    }
    for (int plane = 0; plane < 4; ++plane)
        glDisable(GL_CLIP_PLANE0 + static_cast<GLenum>(plane));
    if (frame.zoomBoxMode && HasOverlay(Overlay::ZoomBox))
        DrawOverlay(Overlay::ZoomBox, frame);
    for (Overlay overlay :
         {Overlay::FirstPoint, Overlay::SecondPoint, Overlay::MeasurementLine, Overlay::PickHighlight})
        if (HasOverlay(overlay))
            DrawOverlay(overlay, frame);
    if (frame.clipActive)
        for (int plane = 0; plane < 4; ++plane)
            glEnable(GL_CLIP_PLANE0 + static_cast<GLenum>(plane));
    // Translucent parts leave an alpha below 1, which the window system
    // would blend with whatever lies behind the view, and which pictures
    // drop: the frame is made opaque, its colours as drawn.
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_TRUE);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glFlush();
}

void CSceneDrawer::ReleaseLists() {
    auto release = [](unsigned& list) {
        if (list != 0)
            glDeleteLists(list, 1);
        list = 0;
    };
    for (unsigned* list : {&sheetDots, &cutLine})
        release(*list);
    for (unsigned* buffer : {&positions, &normals, &colours, &mesh.triangles, &mesh.wire})
        DeleteBuffer(*buffer);
    mesh = Mesh();
    sheet = nullptr;
    dotsBuilt = false;
    facingKnown = false;
    crossBuilds = -1;
    for (ToolArrays& drawn : toolArrays) {
        DeleteBuffer(drawn.positions);
        DeleteBuffer(drawn.normals);
        drawn = ToolArrays();
    }
    toolsBuilt = false;
    for (unsigned& list : overlays)
        release(list);
    overlayShown.fill(false);
}
