// Pictures and videos of the bundled sample with no display: a 4000 x 3000
// picture, and the sample's video at 640 x 480 with msvideo1, mjpeg and
// H.264 (the rate is in the frames_per_second counter), and with msvideo1
// from frames drawn beforehand.
#include "config/DisplaySettings.h"
#include "export/CVideoWriter.h"
#include "export/VideoFrames.h"
#include "model/CProjectProfile.h"
#include "render/HeadlessScene.h"
#include "session/CSession.h"

#include <QGuiApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

using namespace quillmere;

namespace {

struct Sample {
    CSession session;
    CProjectProfile& project = session.Project();
    CSessionView shown{&session};
    std::unique_ptr<CHeadlessScene> scene;
};

Sample& TheSample() {
    static Sample* sample = [] {
        auto* made = new Sample;
        if (!made->project.Open(QUILLMERE_SAMPLE_PROJECT, nullptr))
            return made;
        CCamera camera;
        camera.trackball.SetRotation(CCamera::GeneralView);
        made->scene = std::make_unique<CHeadlessScene>(made->shown, DisplaySettings(),
                                                       ResultQuantity::Thickness, camera);
        return made;
    }();
    return *sample;
}

void BM_Picture4000x3000(benchmark::State& state) {
    Sample& sample = TheSample();
    if (!sample.scene || !sample.scene->IsValid()) {
        state.SkipWithError("no off-screen context");
        return;
    }
    sample.scene->Fit(4000, 3000);
    for (auto _ : state)
        benchmark::DoNotOptimize(sample.scene->Render(4000, 3000));
}
BENCHMARK(BM_Picture4000x3000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

Rgb32View ViewOf(const QImage& frame) {
    return Rgb32View{reinterpret_cast<const uint32_t*>(frame.constBits()), frame.width(), frame.height(),
                     static_cast<size_t>(frame.bytesPerLine())};
}

// Every record drawn at twice the size, halved and encoded, as the video
// export does.
void BM_SampleVideo(benchmark::State& state, const char* codec, const char* name) {
    Sample& sample = TheSample();
    if (!sample.scene || !sample.scene->IsValid()) {
        state.SkipWithError("no off-screen context");
        return;
    }
    QTemporaryDir folder;
    const int records = sample.project.RecordCount();
    sample.scene->Fit(1280, 960);
    for (auto _ : state) {
        CVideoWriter writer;
        if (!writer.Open(folder.filePath(QString::fromLatin1(name)).toStdString(), 640, 480, codec)) {
            state.SkipWithError("the encoder cannot be opened");
            return;
        }
        for (int record = 1; record <= records; ++record) {
            sample.project.StepToRecord(record, false);
            sample.scene->Update();
            const QImage frame = sample.scene->Render(1280, 960).convertToFormat(QImage::Format_RGB32);
            writer.AddFrame(ViewOf(frame), record - 1);
        }
        writer.Finish();
    }
    state.counters["frames_per_second"] = benchmark::Counter(
        static_cast<double>(records) * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK_CAPTURE(BM_SampleVideo, msvideo1, "msvideo1", "sample.avi")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(2);
BENCHMARK_CAPTURE(BM_SampleVideo, mjpeg, "mjpeg", "sample.avi")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(2);
BENCHMARK_CAPTURE(BM_SampleVideo, h264, "", "sample.mp4")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(2);

// The writer alone on the sample's frames drawn beforehand: halving,
// conversion, encoding and writing, what the drawing has to hide.
void BM_SampleVideoEncoding(benchmark::State& state, const char* codec) {
    Sample& sample = TheSample();
    if (!sample.scene || !sample.scene->IsValid()) {
        state.SkipWithError("no off-screen context");
        return;
    }
    QTemporaryDir folder;
    sample.scene->Fit(1280, 960);
    std::vector<QImage> frames;
    for (int record = 1; record <= sample.project.RecordCount(); ++record) {
        sample.project.StepToRecord(record, false);
        sample.scene->Update();
        frames.push_back(sample.scene->Render(1280, 960).convertToFormat(QImage::Format_RGB32));
    }
    for (auto _ : state) {
        CVideoWriter writer;
        if (!writer.Open(folder.filePath(QStringLiteral("encoded.avi")).toStdString(), 640, 480, codec)) {
            state.SkipWithError("the encoder cannot be opened");
            return;
        }
        for (size_t index = 0; index < frames.size(); ++index)
            writer.AddFrame(ViewOf(frames[index]), static_cast<int>(index));
        writer.Finish();
    }
    state.counters["frames_per_second"] =
        benchmark::Counter(static_cast<double>(frames.size()) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate);
}
BENCHMARK_CAPTURE(BM_SampleVideoEncoding, msvideo1, "msvideo1")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(2);

} // namespace

int main(int argc, char** argv) {
    // Fonts for the captions without any display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
