#include "export/HeadlessScene.h"

#include "model/CMoldProfile.h"
#include "model/CProjectProfile.h"
#include "model/CSheetProfile.h"
#include "scale/ScaleRange.h"
#include "scene/COffscreenFrame.h"
#include "scene/CSceneDrawer.h"

#include <GL/gl.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <vector>

namespace {
constexpr GLsizei FeedbackValues = 1000000;
// The fit is worked out on a frame of this size at most, of the same shape.
constexpr int FitFrameSize = 1024;

// The window rectangle a feedback buffer covers; false when empty.
bool CoveredRectangle(const std::vector<GLfloat>& values, GLint count, WindowRectangle& covered) {
    covered = {DBL_MAX, -DBL_MAX, DBL_MAX, -DBL_MAX};
    bool any = false;
    auto vertex = [&](GLint at) {
        const auto index = static_cast<size_t>(at);
        covered.xMin = std::min<double>(covered.xMin, values[index]);
        covered.xMax = std::max<double>(covered.xMax, values[index]);
        covered.yMin = std::min<double>(covered.yMin, values[index + 1]);
        covered.yMax = std::max<double>(covered.yMax, values[index + 1]);
        any = true;
    };
    GLint at = 0;
    while (at < count) {
        const auto token = static_cast<GLint>(values[static_cast<size_t>(at++)]);
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

CHeadlessScene::CHeadlessScene(CProjectProfile& document, const DisplaySettings& display, int shownQuantity,
                               const CCamera& view)
    : project(document), settings(display), quantity(shownQuantity), camera(view),
      frame(std::make_unique<COffscreenFrame>()), drawer(std::make_unique<CSceneDrawer>()) {
    if (!frame->IsValid()) {
        error = frame->Error();
        return;
    }
    if (!frame->MakeCurrent()) {
        error = frame->Error();
        return;
    }
    CSceneDrawer::InitialiseContext();
    drawer->BuildToolLists(project.Tools(), settings);
    frame->DoneCurrent();
    Update();
}

CHeadlessScene::~CHeadlessScene() {
    if (frame && frame->IsValid() && frame->MakeCurrent()) {
        drawer->ReleaseLists();
        frame->DoneCurrent();
    }
}

bool CHeadlessScene::IsValid() const {
    return frame && frame->IsValid();
}

void CHeadlessScene::Update() {
    if (!frame->IsValid())
        return;
    if (const CSheetProfile* sheet = project.Sheet()) {
        const ScaleRange range = ComputeScaleRange(*sheet, quantity, limits);
        scaleMinimum = range.minimum;
        scaleMaximum = range.maximum;
    }
    if (!frame->MakeCurrent()) {
        error = frame->Error();
        return;
    }
    drawer->BuildSheetLists(project.Sheet(), settings, quantity, limits, ramp);
    // The tools move with the records.
    drawer->BuildToolLists(project.Tools(), settings);
    frame->DoneCurrent();
}

void CHeadlessScene::Fit(int w, int h) {
    if (!IsValid() || w < 1 || h < 1)
        return;
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
    if (project.Sheet() && settings.sheetShown)
        include(project.Sheet()->BoundingBox());
    for (int slot = 0; slot < kToolSlots; ++slot)
        if (const CMoldProfile* tool = project.Tool(slot))
            if (settings.tools[static_cast<size_t>(slot)].shown)
                include(tool->ToolBounds());
    if (any)
        camera.FitBox(bounds);

    // The zoom and pan from what one frame covers, on a frame of the same
    // shape that the driver surely draws.
    const double shrink = std::min(1.0, static_cast<double>(FitFrameSize) / std::max(w, h));
    FrameState state;
    state.width = std::max(1, static_cast<int>(std::lround(w * shrink)));
    state.height = std::max(1, static_cast<int>(std::lround(h * shrink)));
    state.sheetElementCount = project.Sheet() ? project.Sheet()->ElementCount() : 0;
    std::vector<GLfloat> feedback(FeedbackValues);
    GLint count = 0;
    frame->Render(state.width, state.height, [&] {
        CSceneDrawer::InitialiseContext();
        glFeedbackBuffer(FeedbackValues, GL_3D, feedback.data());
        glRenderMode(GL_FEEDBACK);
        drawer->DrawFrame(camera, state, settings);
        count = glRenderMode(GL_RENDER);
    });
    WindowRectangle covered{0, 0, 0, 0};
    const bool found = count > 0 && CoveredRectangle(feedback, count, covered);
    const int viewport[4] = {0, 0, state.width, state.height};
    camera.FitToFeedback(found ? count : -1, covered, viewport);
}

QImage CHeadlessScene::RenderFrame(int w, int h) {
    if (!IsValid() || w < 1 || h < 1 || w > MaxSceneImageSize || h > MaxSceneImageSize) {
        if (error.empty() && IsValid())
            error = "a picture needs 1 to " + std::to_string(MaxSceneImageSize) + " pixels each way";
        return QImage();
    }
    const int limit = ForcedTileLimit() > 0 ? ForcedTileLimit() : frame->MaxFrameSize();
    FrameState state;
    state.width = w;
    state.height = h;
    state.sheetElementCount = project.Sheet() ? project.Sheet()->ElementCount() : 0;
    QImage image = RenderInTiles(w, h, limit, [&](const FrameTile& tile) {
        FrameState part = state;
        part.tileLeft = tile.left;
        part.tileBottom = tile.bottom;
        part.tileWidth = tile.width;
        part.tileHeight = tile.height;
        CCamera copy = camera;
        return frame->Render(tile.width, tile.height, [&] {
            CSceneDrawer::InitialiseContext();
            drawer->DrawFrame(copy, part, settings);
        });
    });
    if (image.isNull() && !frame->Error().empty())
        error = frame->Error();
    return image;
}

QImage CHeadlessScene::Render(int w, int h, const SceneImageOptions& options) {
    QImage image = RenderFrame(w, h);
    if (image.isNull())
        return image;
    SceneAnnotations annotations;
    annotations.title = project.Title();
    annotations.record = project.CurrentRecord();
    annotations.recordCount = project.RecordCount();
    annotations.quantity = quantity;
    if (options.colourScale && configuration)
        annotations.scaleLabels = SceneScaleLabels(quantity, scaleMinimum, scaleMaximum, *configuration);
    AnnotateSceneImage(image, annotations, options);
    return image;
}
