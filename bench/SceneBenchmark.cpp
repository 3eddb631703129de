// The 3D view on the 1,000,000-element project under the machine's OpenGL:
// building the display lists, a still frame (front, back and the bare
// triangles that bound it), a frame during a drag and the first pick after
// a record step.
// Needs a display (run it under xvfb-run).
#include "bench/BenchSupport.h"
#include "bench/GuiBenchmark.h"
#include "config/DisplaySettings.h"
#include "model/CProjectProfile.h"
#include "model/CSheetProfile.h"
#include "render/CScene.h"
#include "session/CSession.h"
#include "ui/scene/CSceneCommands.h"
#include "ui/scene/CSceneRender.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <QApplication>
#include <QMouseEvent>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <memory>
#include <vector>

using namespace quillmere;

namespace {

struct Scene {
    CSession session;
    CProjectProfile& project = session.Project();
    std::unique_ptr<CSceneRender> view;
};

Scene& TheScene() {
    static Scene* scene = [] {
        auto* made = new Scene;
        if (!made->project.Open(MillionElementProject(), nullptr))
            std::exit(1);
        DisplaySettings settings;
        made->view = std::make_unique<CSceneRender>(&made->session, settings);
        made->view->resize(1024, 768);
        made->view->show();
        QCoreApplication::processEvents();
        (void)made->view->grabFramebuffer();
        return made;
    }();
    return *scene;
}

// What a view rebuilds when the record changes: the node arrays of the new
// record (the mesh's index buffers are kept).
void BM_ViewRecordRebuild(benchmark::State& state) {
    Scene& scene = TheScene();
    for (auto _ : state) {
        scene.view->TakeRecord(scene.project.CurrentRecord());
    }
}
BENCHMARK(BM_ViewRecordRebuild)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// A whole record step as the animation makes it: read, copy and derive the
// record, move the tools, rebuild the view (the document has its views take
// the record it loads, once).
void BM_RecordStep(benchmark::State& state) {
    Scene& scene = TheScene();
    int record = 1;
    const int builds = scene.view->Scene().Drawer().SheetBuilds();
    for (auto _ : state) {
        scene.project.GoToRecord(record);
        record = 3 - record;
    }
    if (scene.view->Scene().Drawer().SheetBuilds() - builds != static_cast<int>(state.iterations()))
        state.SkipWithError("the view did not take each record once");
}
BENCHMARK(BM_RecordStep)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(6);

// The first Shift + right pick after a record step, in the middle of the
// view, where the sheet lies.
void BM_FirstPick(benchmark::State& state) {
    Scene& scene = TheScene();
    int record = 1;
    CDataDisplay picked;
    for (auto _ : state) {
        state.PauseTiming();
        scene.project.GoToRecord(record);
        record = 3 - record;
        state.ResumeTiming();
        if (!scene.view->PickAt(512, 384, picked, true))
            state.SkipWithError("nothing picked");
    }
}
BENCHMARK(BM_FirstPick)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(6);

// The default view turned so that the sheet shows its back faces.
const Quaternion TurnedToTheBack{0.925f, 0.277f, 0.0f, 0.259f};

// QUILLMERE_SCENE_IMAGE names a file the frame is saved to, for comparing
// the pictures of two builds pixel by pixel; a second file, its name ending
// in "-turned.png", holds the sheet turned to show its back faces too.
void BM_StillFrame(benchmark::State& state) {
    Scene& scene = TheScene();
    if (const char* path = std::getenv("QUILLMERE_SCENE_IMAGE")) {
        const QString name = QString::fromLocal8Bit(path);
        scene.view->Scene().RenderImage(1024, 768, false).save(name);
        const Quaternion kept = scene.view->Scene().Camera().trackball.Rotation();
        scene.view->Commands().SetRotation(TurnedToTheBack);
        scene.view->Scene().RenderImage(1024, 768, false).save(QString(name).replace(".png", "-turned.png"));
        scene.view->Commands().SetRotation(kept);
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(scene.view->Scene().RenderImage(1024, 768, false));
}
BENCHMARK(BM_StillFrame)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// The same frame with the sheet's back faces towards the viewer, lit on
// their own side.
void BM_StillFrameBack(benchmark::State& state) {
    Scene& scene = TheScene();
    const Quaternion kept = scene.view->Scene().Camera().trackball.Rotation();
    scene.view->Commands().SetRotation(TurnedToTheBack);
    for (auto _ : state)
        benchmark::DoNotOptimize(scene.view->Scene().RenderImage(1024, 768, false));
    scene.view->Commands().SetRotation(kept);
}
BENCHMARK(BM_StillFrameBack)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// What bounds the still frame: the sheet's triangles alone from the same
// camera into the same target, read back, in one colour, with no lighting,
// blending or polygon offset and in one call.
void BM_BareFrame(benchmark::State& state) {
    Scene& scene = TheScene();
    CScene& shown = scene.view->Scene();
    const CSheetProfile& sheet = *shown.View().Sheet();
    std::vector<float> xyz;
    for (int node = 0; node <= sheet.NodeCount(); ++node) {
        const CCoordinate& p = sheet.CurrentCoordinateArray()[node];
        xyz.insert(xyz.end(), {static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z)});
    }
    std::vector<GLuint> corners;
    for (int element = 0; element < sheet.ElementCount(); ++element)
        for (int32_t node : sheet.Mesh().Nodes(static_cast<size_t>(element)))
            corners.push_back(static_cast<GLuint>(node));
    COffscreenFrame& target = *shown.Offscreen();
    GLuint buffers[2] = {0, 0};
    target.Render(1, 1, [&] {
        glGenBuffers(2, buffers);
        glBindBuffer(GL_ARRAY_BUFFER, buffers[0]);
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(xyz.size() * sizeof(float)), xyz.data(),
                     GL_STATIC_DRAW);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffers[1]);
        glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(corners.size() * sizeof(GLuint)),
                     corners.data(), GL_STATIC_DRAW);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    });
    FrameState frame = shown.Frame();
    frame.width = 1024;
    frame.height = 768;
    for (auto _ : state) {
        CCamera camera = shown.Camera();
        benchmark::DoNotOptimize(target.Render(1024, 768, [&] {
            CSceneDrawer::InitialiseContext();
            glDisable(GL_LIGHTING);
            glViewport(0, 0, 1024, 768);
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            CSceneDrawer::ApplyDisplayCamera(camera, frame);
            glColor3f(0.8f, 0.1f, 0.1f);
            glBindBuffer(GL_ARRAY_BUFFER, buffers[0]);
            glVertexPointer(3, GL_FLOAT, 0, nullptr);
            glEnableClientState(GL_VERTEX_ARRAY);
            glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffers[1]);
            glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(corners.size()), GL_UNSIGNED_INT, nullptr);
            glDisableClientState(GL_VERTEX_ARRAY);
            glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
            glBindBuffer(GL_ARRAY_BUFFER, 0);
        }));
    }
    target.Render(1, 1, [&] { glDeleteBuffers(2, buffers); });
}
BENCHMARK(BM_BareFrame)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

void BM_DragFrame(benchmark::State& state) {
    Scene& scene = TheScene();
    // Above the limit of the reduced drawing: wireframes without depth test.
    scene.view->Scene().Settings().reducedDrawingThreshold = 1000000;
    // The first drag builds the wireframe's edges, once per mesh.
    (void)scene.view->Scene().RenderImage(1024, 768, true);
    for (auto _ : state)
        benchmark::DoNotOptimize(scene.view->Scene().RenderImage(1024, 768, true));
}
BENCHMARK(BM_DragFrame)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// What an off-screen frame costs besides the scene: context, target and
// read-back, with the sheet and tools hidden.
void BM_EmptyFrame(benchmark::State& state) {
    Scene& scene = TheScene();
    const DisplaySettings kept = scene.view->Scene().Settings();
    scene.view->Scene().Settings().sheetShown = 0;
    for (ToolDisplay& tool : scene.view->Scene().Settings().tools)
        tool.shown = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(scene.view->Scene().RenderImage(1024, 768, false));
    scene.view->Scene().Settings() = kept;
}
BENCHMARK(BM_EmptyFrame)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// A document event that changes nothing the scale shows, as the display
// settings of one view send to the other views of the document.
void BM_UpdateHint(benchmark::State& state) {
    Scene& scene = TheScene();
    for (auto _ : state)
        scene.view->OnUpdate(nullptr, DocumentEvent::SettingsChanged);
}
BENCHMARK(BM_UpdateHint)->Unit(benchmark::kMicrosecond)->UseRealTime();

// One mouse move of a zoom-box drag with a second view of the document
// open, until every frame it asked for is drawn.
void BM_ZoomBoxMove(benchmark::State& state) {
    Scene& scene = TheScene();
    DisplaySettings settings;
    CSceneRender other(&scene.session, settings);
    other.resize(1024, 768);
    other.show();
    QCoreApplication::processEvents();
    (void)other.grabFramebuffer();
    scene.view->Commands().StartZoomBox();
    SendLeftDrag(scene.view.get(), QEvent::MouseButtonPress, QPoint(100, 100));
    int step = 0;
    for (auto _ : state) {
        ++step;
        SendLeftDrag(scene.view.get(), QEvent::MouseMove, QPoint(200 + step % 50, 200 + step % 50));
        QCoreApplication::processEvents();
    }
    SendLeftDrag(scene.view.get(), QEvent::MouseButtonRelease, QPoint(200, 200));
    scene.view->Commands().FitIntoWindow();
    QCoreApplication::processEvents();
}
BENCHMARK(BM_ZoomBoxMove)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

} // namespace
