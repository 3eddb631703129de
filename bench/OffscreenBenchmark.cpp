// A 1920 x 1080 frame of the 1,000,000-element project drawn off-screen with
// no display at all (surfaceless EGL on the machine's OpenGL), as a program
// without a window draws it: the lists are built once, the frame is timed.
#include "bench/BenchSupport.h"
#include "config/DisplaySettings.h"
#include "model/CProjectProfile.h"
#include "render/COffscreenFrame.h"
#include "render/CSceneDrawer.h"
#include "scale/Presentation.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>

using namespace quillmere;

namespace {

constexpr int Width = 1920, Height = 1080;

struct Scene {
    CProjectProfile project;
    COffscreenFrame frame;
    CSceneDrawer drawer;
    DisplaySettings settings;
    CCamera camera;
    FrameState state;
};

Scene& TheScene() {
    static Scene* scene = [] {
        auto* made = new Scene;
        if (!made->project.Open(MillionElementProject(), nullptr) || made->project.Sheet() == nullptr)
            std::exit(1);
        if (!made->frame.IsValid() || !made->frame.MakeCurrent()) {
            std::fprintf(stderr, "no off-screen context: %s\n", made->frame.Error().c_str());
            std::exit(1);
        }
        CSceneDrawer::InitialiseContext();
        const PresentationSource thickness{
            made->project.Sheet(), ResultQuantity::Thickness, ScaleLimits(), nullptr, 0, nullptr};
        made->drawer.BuildSheetLists(made->project.Sheet(), made->settings, MakePresentation(thickness));
        made->drawer.BuildToolLists(&made->project.Tools(), made->settings);
        made->frame.DoneCurrent();
        made->camera.trackball.Initialise(Width, Height);
        made->camera.trackball.SetRotation(CCamera::GeneralView);
        made->camera.FitBox(made->project.Sheet()->BoundingBox().data());
        made->state.width = Width;
        made->state.height = Height;
        made->state.sheetElementCount = made->project.Sheet()->ElementCount();
        return made;
    }();
    return *scene;
}

void DrawFrames(benchmark::State& state, bool motion) {
    Scene& scene = TheScene();
    scene.state.motion = motion;
    for (auto _ : state) {
        const QImage image = scene.frame.Render(
            Width, Height, [&] { scene.drawer.DrawFrame(scene.camera, scene.state, scene.settings); });
        if (image.isNull()) {
            state.SkipWithError(scene.frame.Error().c_str());
            break;
        }
        benchmark::DoNotOptimize(image.constBits());
    }
}

void BM_OffscreenStillFrame(benchmark::State& state) {
    DrawFrames(state, false);
}
BENCHMARK(BM_OffscreenStillFrame)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// Above the limit of the reduced drawing: the drag's wireframe.
void BM_OffscreenDragFrame(benchmark::State& state) {
    DrawFrames(state, true);
}
BENCHMARK(BM_OffscreenDragFrame)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// What a frame costs besides the scene: clearing, the background and the
// read-back, with the sheet and the tools hidden.
void BM_OffscreenEmptyFrame(benchmark::State& state) {
    Scene& scene = TheScene();
    const DisplaySettings kept = scene.settings;
    scene.settings.sheetShown = 0;
    for (ToolDisplay& tool : scene.settings.tools)
        tool.shown = 0;
    DrawFrames(state, false);
    scene.settings = kept;
}
BENCHMARK(BM_OffscreenEmptyFrame)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

} // namespace

int main(int argc, char** argv) {
    // Whatever the caller's environment, the frames are drawn with no display.
    ::unsetenv("DISPLAY");
    ::unsetenv("WAYLAND_DISPLAY");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
