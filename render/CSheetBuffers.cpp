#include "render/CSheetBuffers.h"

#include "core/Parallel.h"
#include "model/CSheetProfile.h"
#include "model/FormingSummary.h"
#include "model/SheetMeans.h"
#include "render/COverlayLists.h"
#include "render/DrawingBasics.h"
#include "scale/Comparison.h"
#include "scale/MinimumWall.h"
#include "scale/Presentation.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <algorithm>
#include <cmath>

namespace quillmere {

namespace {

constexpr int TrianglesPerBatch = 250;

// The dot of a node: the first rule that applies, or none.
bool DotColour(const CSheetProfile& sheet, int node, const DisplaySettings& settings, int& colour) {
    const int code = sheet.Mesh().NodeCode(node);
    const uint32_t conditions = sheet.Values().NodeConditions(node);
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
                sheet.Values().ContactFlag(node, tool) == 0) {
                colour = settings.tools[static_cast<size_t>(tool)].contactColour;
                return true;
            }
        return false;
    }
    return true;
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
std::vector<GLuint> UniqueEdges(const CSheetMesh& mesh) {
    const size_t elements = static_cast<size_t>(mesh.ElementCount());
    std::vector<GLuint> edges;
    edges.reserve(3 * elements + 3);
    for (size_t e = 0; e < elements; ++e) {
        const ElementNodes& nodes = mesh.Nodes(e);
        for (int k = 0; k < 3; ++k) {
            const int32_t a = nodes[static_cast<size_t>(k)], b = nodes[static_cast<size_t>((k + 1) % 3)];
            bool earlier = false;
            for (int32_t other : mesh.NodeElements(a)) {
                if (static_cast<size_t>(other) >= e)
                    break;
                const ElementNodes& around = mesh.Nodes(static_cast<size_t>(other));
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

} // namespace

void CSheetBuffers::BuildMesh(const CSheetProfile& source) {
    // Records of one project share their mesh, which never changes.
    if (mesh.source.lock() == source.SharedMesh() && mesh.triangles != 0)
        return;
    DeleteBuffer(mesh.wire);
    mesh.source = source.SharedMesh();
    mesh.elements = source.ElementCount();
    mesh.wireBuilt = false;
    mesh.wireIndices = 0;
    std::vector<GLuint>& indices = mesh.corners;
    indices.clear();
    indices.reserve(3 * static_cast<size_t>(mesh.elements));
    const ElementNodes* nodes = source.Mesh().NodeArray();
    for (size_t e = 0; e < static_cast<size_t>(mesh.elements); ++e)
        for (int32_t node : nodes[e])
            indices.push_back(static_cast<GLuint>(node));
    UploadBuffer(mesh.triangles, GL_ELEMENT_ARRAY_BUFFER, indices);
    mesh.batchCounts.clear();
    mesh.batchOffsets.clear();
    const size_t perBatch = 3 * TrianglesPerBatch;
    for (size_t first = 0; first < indices.size(); first += perBatch) {
        mesh.batchCounts.push_back(static_cast<GLsizei>(std::min(perBatch, indices.size() - first)));
        mesh.batchOffsets.push_back(reinterpret_cast<const void*>(first * sizeof(GLuint)));
    }
}

void CSheetBuffers::BuildSheetLists(const CSheetProfile* source, const DisplaySettings& settings,
                                    const Presentation& shown) {
    sheet = source;
    if (!source) {
        wall.above.clear();
        wall.below.clear();
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
    const ResultQuantity quantity = shown.quantity;
    coloured = quantity != ResultQuantity::None;
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
                    const CCoordinate n = i == 0 ? CCoordinate() : NodeNormal(*source, static_cast<int>(i));
                    normal[3 * i] = static_cast<GLfloat>(n.x);
                    normal[3 * i + 1] = static_cast<GLfloat>(n.y);
                    normal[3 * i + 2] = static_cast<GLfloat>(n.z);
                }
            });
        },
        [&] {
            if (!coloured)
                return;
            ColourPresented(*source, shown, arrays.colouring);
            FillNodeColours(arrays.colouring, *shown.ramp, settings, arrays.rgba);
        });
    UploadBuffer(positions, GL_ARRAY_BUFFER, arrays.xyz);
    UploadBuffer(normals, GL_ARRAY_BUFFER, arrays.normal);
    if (coloured)
        UploadBuffer(colours, GL_ARRAY_BUFFER, arrays.rgba);
    else
        uniformColour = UniformSheetColour(settings);
    edgeColour = settings.sheetEdgeColour;
    edgeAlpha = settings.sheetOpacity;
    BuildWallLists(*source, settings, shown.minimumWall.share.wall);

    // The dots wait for the first frame that shows them.
    dotsBuilt = false;
    if (settings.nodeDotsShown)
        BuildDots(settings);
}

// The elements thinner than the wall are drawn on their own in its colour,
// the others as the quantity colours them: a node's colour is shared by its
// elements, an element's warning is not.
void CSheetBuffers::BuildWallLists(const CSheetProfile& source, const DisplaySettings& settings,
                                   double shown) {
    wall.above.clear();
    wall.below.clear();
    if (!(shown > 0))
        return;
    const CElementDerived* derived = source.Derived().elements.data();
    const size_t elements = static_cast<size_t>(mesh.elements);
    for (size_t e = 0; e < elements; ++e) {
        std::vector<unsigned>& list = BelowWall(derived[e].Thickness, shown) ? wall.below : wall.above;
        list.insert(list.end(), &mesh.corners[3 * e], &mesh.corners[3 * e] + 3);
    }
    if (wall.below.empty())
        return;
    UploadBuffer(wall.aboveBuffer, GL_ELEMENT_ARRAY_BUFFER, wall.above);
    UploadBuffer(wall.belowBuffer, GL_ELEMENT_ARRAY_BUFFER, wall.below);
    const SheetDisplayMode mode = settings.sheetDisplayMode;
    wall.colour = {DisplayModeComponent(MinimumWallColour.red, mode) / 255.0f,
                   DisplayModeComponent(MinimumWallColour.green, mode) / 255.0f,
                   DisplayModeComponent(MinimumWallColour.blue, mode) / 255.0f,
                   SheetAlpha(settings.sheetOpacity) / 255.0f};
}

void CSheetBuffers::BuildDots(const DisplaySettings& settings) {
    dotsBuilt = true;
    ReplaceList(sheetDots);
    glNewList(sheetDots, GL_COMPILE);
    if (sheet) {
        glPointSize(5.0f);
        glEnable(GL_POINT_SMOOTH);
        glBegin(GL_POINTS);
        for (int node = 1; node <= sheet->NodeCount(); ++node) {
            int colour = 0;
            if (DotColour(*sheet, node, settings, colour)) {
                SetColour(colour, 1.0);
                SendVertex(sheet->CurrentCoordinate(node));
            }
        }
        glEnd();
        glDisable(GL_POINT_SMOOTH);
    }
    glEndList();
}

// A pass culls the faces turned the other way, and a software rasteriser
// still transforms and culls every triangle: when no triangle can face one
// way, the pass of that way is left out, which draws the same pixels. Under
// an affine projection twice a triangle's window area is the dot product of
// its model-space edge cross product, kept per record, with the cross
// product of the projection's window rows. A triangle counts as facing a way
// unless that area says otherwise by more than the driver's rounding can
// change it: corners snapped to the subpixel grid, single-precision transforms
// bounded by the size of the terms they sum, and the rounding of the kept
// cross products. The answer is kept for the same matrices, viewport and
// node arrays.
void CSheetBuffers::BuildTriangleCrosses() {
    // From the positions the driver gets.
    crossBuilds = sheetBuilds;
    const size_t triangles = static_cast<size_t>(mesh.elements);
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

int CSheetBuffers::SheetFacing() {
    double rows[3][4], magnitudes[3][4];
    ClipRows(rows, magnitudes);
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
    if (crossBuilds != sheetBuilds)
        BuildTriangleCrosses();

    // The window rows (pixels per model unit) and their cross product.
    const double halfWidth = viewport[2] / 2.0, halfHeight = viewport[3] / 2.0;
    const double a1[3] = {rows[0][0] * halfWidth, rows[0][1] * halfWidth, rows[0][2] * halfWidth};
    const double a2[3] = {rows[1][0] * halfHeight, rows[1][1] * halfHeight, rows[1][2] * halfHeight};
    const double view[3] = {a1[1] * a2[2] - a1[2] * a2[1], a1[2] * a2[0] - a1[0] * a2[2],
                            a1[0] * a2[1] - a1[1] * a2[0]};
    // The largest sum of terms a corner's window coordinates take, over the
    // sheet's box, with the driver's single-precision product of the
    // matrices: each of the product's, the transform's and the viewport's
    // few roundings is off by 2^-24 of it at most, which 2e-6 bounds three
    // times over.
    const std::array<double, 6> box = sheet->BoundingBox();
    double terms = 0;
    for (const double* row : {magnitudes[0], magnitudes[1]}) {
        double sum = row[3];
        for (int c = 0; c < 3; ++c)
            sum += row[c] * std::max(std::fabs(box[2 * c]), std::fabs(box[2 * c + 1]));
        terms = std::max(terms, sum * std::max(halfWidth, halfHeight));
    }
    // A corner is snapped to the driver's subpixel grid: 1/256 pixel on a
    // software driver, coarser on some others (4 bits at the least).
    GLint subpixelBits = 0;
    glGetIntegerv(GL_SUBPIXEL_BITS, &subpixelBits);
    const double error = std::ldexp(1.0, -std::clamp(subpixelBits, 4, 8)) + 2e-6 * terms;
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
void CSheetBuffers::DrawSheetPick() const {
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
            SendVertex(current[c[k]]);
        glEnd();
    }
}

size_t CSheetBuffers::DragEdgeCount() {
    if (!mesh.wireBuilt && sheet) {
        const std::vector<GLuint> edges = UniqueEdges(sheet->Mesh());
        UploadBuffer(mesh.wire, GL_ELEMENT_ARRAY_BUFFER, edges);
        mesh.wireIndices = edges.size();
        mesh.wireBuilt = true;
    }
    return mesh.wireIndices / 2;
}

void CSheetBuffers::BindSheetArrays(bool withColours) const {
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

// The element triangles by node number, in batches of at most 250 triangles.
void CSheetBuffers::DrawSheetTriangles(bool withColours) const {
    BindSheetArrays(withColours);
    if (withColours && !coloured)
        glColor4f(uniformColour[0], uniformColour[1], uniformColour[2], uniformColour[3]);
    if (withColours && !wall.below.empty()) {
        if (!wall.above.empty()) {
            glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, wall.aboveBuffer);
            glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(wall.above.size()), GL_UNSIGNED_INT, nullptr);
        }
        glDisableClientState(GL_COLOR_ARRAY);
        glColor4f(wall.colour[0], wall.colour[1], wall.colour[2], wall.colour[3]);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, wall.belowBuffer);
        glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(wall.below.size()), GL_UNSIGNED_INT, nullptr);
        UnbindArrays();
        return;
    }
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, mesh.triangles);
    // The batches go in one call: a software driver prepares its pipeline
    // once instead of once per batch, and draws the same triangles in the
    // same order.
    glMultiDrawElements(GL_TRIANGLES, mesh.batchCounts.data(), GL_UNSIGNED_INT, mesh.batchOffsets.data(),
                        static_cast<GLsizei>(mesh.batchCounts.size()));
    UnbindArrays();
}

void CSheetBuffers::DrawSheetEdges() const {
    SetColour(edgeColour, edgeAlpha);
    DrawSheetTriangles(false);
}

// The wireframe of drags: edges once each, as lines, which costs a software
// rasteriser a fraction of drawing the triangles in line mode.
void CSheetBuffers::DrawDragWireframe() {
    DragEdgeCount();
    SetColour(edgeColour, edgeAlpha);
    BindSheetArrays(false);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, mesh.wire);
    glDrawElements(GL_LINES, static_cast<GLsizei>(mesh.wireIndices), GL_UNSIGNED_INT, nullptr);
    UnbindArrays();
}

void CSheetBuffers::BuildCutList(const CCutSegments* cut) {
    ReplaceList(cutLine);
    glNewList(cutLine, GL_COMPILE);
    if (cut) {
        glBegin(GL_LINES);
        for (const CAbscisse& piece : *cut) {
            SendVertex(piece.Start);
            SendVertex(piece.End);
        }
        glEnd();
    }
    glEndList();
}

void CSheetBuffers::DrawSheet(const FrameState& frame, const DisplaySettings& settings,
                              const COverlayLists& overlays) {
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
        } else if (settings.sheetDisplayMode == SheetDisplayMode::Elements) {
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
            if (settings.sheetDisplayMode == SheetDisplayMode::ElementsAndEdges) {
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
        if (overlays.HasOverlay(Overlay::CutMark))
            overlays.DrawOverlay(Overlay::CutMark, frame);
        if (translucent) {
            glDepthMask(GL_TRUE);
            glDisable(GL_BLEND);
        }
        glCullFace(GL_BACK);
        glDisable(GL_CULL_FACE);
    }
}

void CSheetBuffers::Release() {
    for (unsigned* list : {&sheetDots, &cutLine})
        DeleteList(*list);
    for (unsigned* buffer :
         {&positions, &normals, &colours, &mesh.triangles, &mesh.wire, &wall.aboveBuffer, &wall.belowBuffer})
        DeleteBuffer(*buffer);
    wall.above.clear();
    wall.below.clear();
    mesh = Mesh();
    sheet = nullptr;
    dotsBuilt = false;
    facingKnown = false;
    crossBuilds = -1;
}

} // namespace quillmere
