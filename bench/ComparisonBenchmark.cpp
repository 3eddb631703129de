// The difference view on the 1,000,000-element project, drawn off-screen:
// the record step while comparing (the reference following the record, so
// that it is read ahead for every step) side by side with the plain record step,
// and switching the view to the difference against rebuilding it plainly.
#include "bench/BenchSupport.h"
#include "config/DisplaySettings.h"
#include "messages/MessageText.h"
#include "model/CProjectProfile.h"
#include "render/HeadlessScene.h"
#include "scale/Comparison.h"
#include "session/CSession.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <memory>

using namespace quillmere;

namespace {

struct Comparing {
    CSession session;
    CProjectProfile& project = session.Project();
    CSessionView shown{&session};
    CProjectProfile reference;
    std::unique_ptr<CHeadlessScene> scene;
};

Comparing& TheComparison() {
    static Comparing* made = [] {
        auto* c = new Comparing;
        if (!c->project.Open(MillionElementProject(), nullptr) ||
            !c->reference.Open(MillionElementProject(), nullptr))
            std::exit(1);
        c->scene = std::make_unique<CHeadlessScene>(c->shown, DisplaySettings(), ResultQuantity::Thickness,
                                                    CCamera());
        if (!c->scene->IsValid()) {
            std::fprintf(stderr, "no off-screen context: %s\n", c->scene->Error().c_str());
            std::exit(1);
        }
        return c;
    }();
    return *made;
}

// Read, copy and derive the record, rebuild the lists and the limits. The
// user then looks at the record, while a comparison reads the next one of
// its reference ahead.
void Steps(benchmark::State& state) {
    Comparing& c = TheComparison();
    int record = 1;
    for (auto _ : state) {
        c.project.GoToRecord(record);
        c.scene->Update();
        record = 3 - record;
        state.PauseTiming();
        if (const auto& comparison = c.scene->Scene().Comparison())
            comparison->AwaitReadAhead();
        state.ResumeTiming();
    }
}

void BM_PlainRecordStep(benchmark::State& state) {
    TheComparison().scene->Scene().ClearComparison();
    Steps(state);
}
BENCHMARK(BM_PlainRecordStep)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(6);

void BM_ComparingRecordStep(benchmark::State& state) {
    Comparing& c = TheComparison();
    Message failure;
    if (!c.scene->Scene().SetComparison(std::make_shared<CComparison>(c.project, c.reference), failure)) {
        state.SkipWithError(MessageText(failure).c_str());
        return;
    }
    // The view shows the difference before the user steps on.
    c.scene->Update();
    c.scene->Scene().Comparison()->AwaitReadAhead();
    Steps(state);
    c.scene->Scene().ClearComparison();
}
BENCHMARK(BM_ComparingRecordStep)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(6);

// The view's lists and limits rebuilt for the record it shows.
void BM_PlainRebuild(benchmark::State& state) {
    Comparing& c = TheComparison();
    for (auto _ : state) {
        c.scene->Scene().ClearComparison();
        c.scene->Update();
    }
}
BENCHMARK(BM_PlainRebuild)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// "Compare with…": a new comparison reads the reference's record, checks
// the meshes and the view is rebuilt with the differences.
void BM_SwitchToDifference(benchmark::State& state) {
    Comparing& c = TheComparison();
    for (auto _ : state) {
        state.PauseTiming();
        c.scene->Scene().ClearComparison();
        state.ResumeTiming();
        Message failure;
        if (!c.scene->Scene().SetComparison(std::make_shared<CComparison>(c.project, c.reference), failure)) {
            state.SkipWithError(MessageText(failure).c_str());
            return;
        }
        c.scene->Update();
    }
    c.scene->Scene().ClearComparison();
}
BENCHMARK(BM_SwitchToDifference)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

} // namespace
