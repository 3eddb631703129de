#include "batch/BatchTool.h"
#include "config/CConfiguration.h"
#include "core/FilePaths.h"
#include "core/TextFormat.h"
#include "core/TextLines.h"
#include "cut/ProfileCsv.h"
#include "inspect/DataTip.h"
#include "inspect/SheetPick.h"
#include "model/CProjectProfile.h"
#include "session/CSession.h"
#include "tests/model/ProjectFixture.h"

#ifdef QUILLMERE_BATCH_RENDER
#include "config/Units.h"
#include "render/COffscreenFrame.h"
#include "render/HeadlessScene.h"
#include "render/SceneImage.h"
#include "scale/Comparison.h"
#include "scale/ResultQuantity.h"

#include <QImage>
#include <cstdio>
#endif
#include <array>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/fsuid.h>
#include <sys/stat.h>
#include <tbb/global_control.h>
#include <unistd.h>

using namespace quillmere;

namespace {

struct BatchRun {
    int status;
    std::string out;
    std::string messages;
};

BatchRun RunCommand(const std::vector<std::string>& arguments, const std::string& configuration) {
    CRecordingMessages messages;
    std::ostringstream out;
    const int status = RunBatch(arguments, configuration, out);
    return {status, out.str(), messages.Texts()};
}

// The fixture's last record with its first column of cells stretched to
// twice its width: 6 of its 24 elements are 1.5 mm thick (the others 3 mm)
// and take 0.01 of the 0.025 m^2 formed.
void StretchFirstColumn(const CProjectFixture& fixture) {
    samplegen::RecordData record = fixture.Record(2);
    for (samplegen::Vec3& node : record.current)
        node.x = node.x < -0.09 ? -0.15 : node.x;
    ASSERT_TRUE(samplegen::WriteRecordFile(fixture.File("fixture.002"), record));
}

// The fields of a table's second line.
std::vector<std::string> FirstRow(const std::string& table) {
    std::istringstream lines(table);
    std::string line;
    std::getline(lines, line);
    std::getline(lines, line);
    std::vector<std::string> fields(1);
    for (char c : line)
        if (c == ',')
            fields.emplace_back();
        else
            fields.back().push_back(c);
    return fields;
}

} // namespace

// The texts of every command, its faults and its exit statuses are the golden
// outputs of tests/batch/expected (batch_golden); these are the cases that
// they cannot show.

// The creation time changes with every fixture.
TEST(Batch, DocumentReportNamesTheProject) {
    CProjectFixture fixture;
    const BatchRun document =
        RunCommand({"report", "document", fixture.ProjectPath()}, fixture.File("Quillmere.cfg"));
    EXPECT_EQ(document.status, 0) << document.messages;
    EXPECT_EQ(document.out.rfind("Document information: " + fixture.ProjectPath() + "\n\nCreated", 0), 0u);
}

// The cut window's way to the same file: the session's cut of the same
// record.
TEST(Batch, CutSaveWritesTheCutWindowsCsv) {
    CProjectFixture fixture;
    const std::string configurationPath = fixture.File("q.cfg");
    const std::string saved = fixture.File("profile.csv");
    // A file of the user's beside it stays.
    WriteWholeFile(saved + ".new", "mine");
    const BatchRun run = RunCommand({"cut", fixture.ProjectPath(), "--plane", "x", "--position", "0.5",
                                     "--units", "us", "--quantity", "2", "--record", "2", "--save", saved},
                                    configurationPath);
    ASSERT_EQ(run.status, 0) << run.messages;

    CSession session;
    ASSERT_TRUE(session.Open(fixture.ProjectPath(), nullptr));
    ASSERT_TRUE(session.ShowRecord(2));
    CConfiguration configuration(configurationPath);
    configuration.SetSIMetric(false);
    CCutSession& cut = session.StartCut();
    cut.Position = 0.5;
    cut.ProfileQuantity = ResultQuantity::Temperature;
    Message failure;
    ASSERT_TRUE(session.MakeCut(configuration, failure));
    EXPECT_EQ(ReadWholeFile(saved), ProfileCsv(*session.CutLine(), cut.ProfileQuantity, configuration));
    EXPECT_EQ(ReadWholeFile(saved + ".new"), "mine");
}

// The lines the data tip shows for the sheet item picked in the window.
TEST(Batch, TipPrintsTheLinesOfTheDataTip) {
    CProjectFixture fixture;
    const std::string project = fixture.ProjectPath();
    struct Tip {
        std::vector<std::string> arguments;
        int record, mode, item;
        bool si;
    };
    for (const Tip& tip : {Tip{{"--node", "1"}, 3, NodeMode, 1, true},
                           Tip{{"--node", "20", "--record", "1", "--units", "us"}, 1, NodeMode, 20, false},
                           Tip{{"--element", "23"}, 3, ElementMode, 23, true}}) {
        std::vector<std::string> arguments{"tip", project};
        arguments.insert(arguments.end(), tip.arguments.begin(), tip.arguments.end());
        const BatchRun run = RunCommand(arguments, fixture.File("q.cfg"));
        ASSERT_EQ(run.status, 0) << run.messages;

        CProjectProfile opened;
        ASSERT_TRUE(opened.Open(project, nullptr));
        ASSERT_TRUE(opened.GoToRecord(tip.record));
        CConfiguration configuration(fixture.File("tip.cfg"));
        configuration.SetSIMetric(tip.si);
        CDataDisplay pick;
        ASSERT_TRUE(PickSheetItem(*opened.Sheet(), tip.mode, tip.item, pick));
        std::string text;
        for (const std::string& line : DataTipLines(pick, configuration))
            text += line + "\n";
        EXPECT_EQ(run.out, text) << tip.item;
    }
}

TEST(Batch, VideosOfAnExtensionNotWrittenAreRefused) {
    CProjectFixture fixture;
    for (const char* name : {"x.mkv", "x"}) {
        EXPECT_EQ(
            RunCommand({"video", fixture.ProjectPath(), "-o", fixture.File(name)}, fixture.File("q.cfg"))
                .status,
            2);
        EXPECT_FALSE(PathExists(fixture.File(name))) << name;
    }
}

namespace {

// A standard output on a full disk: nothing it is given gets through.
class CFullStream : public std::streambuf {
protected:
    int overflow(int) override { return traits_type::eof(); }
    std::streamsize xsputn(const char*, std::streamsize) override { return 0; }
};

} // namespace

// An output that did not get through is a failure, whatever the command.
TEST(BatchCommandLine, AnOutputThatCannotBeWrittenFails) {
    CProjectFixture fixture;
    for (const std::vector<std::string>& arguments :
         std::vector<std::vector<std::string>>{{"values", fixture.ProjectPath(), "--quantity", "1"},
                                               {"report", "sheet", fixture.ProjectPath()},
                                               {"--help"}}) {
        CRecordingMessages messages;
        CFullStream full;
        std::ostream out(&full);
        EXPECT_EQ(RunBatch(arguments, fixture.File("q.cfg"), out), 2) << arguments[0];
        EXPECT_EQ(messages.Texts(), "quillmere-batch: the standard output cannot be written") << arguments[0];
    }
}

TEST(BatchCommandLine, VersionIsTheProjectVersion) {
    const BatchRun version = RunCommand({"--version"}, "");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "quillmere-batch " QUILLMERE_VERSION "\n");
    EXPECT_TRUE(version.messages.empty());
}

namespace {

// Permission bits bind root too while its file-system identity is another
// user's (this thread's only).
class CFileAccessAsNobody {
public:
    CFileAccessAsNobody() : previous(RunningAsRoot() ? ::setfsuid(65534) : -1) {}
    ~CFileAccessAsNobody() {
        if (previous >= 0)
            ::setfsuid(static_cast<uid_t>(previous));
    }
    CFileAccessAsNobody(const CFileAccessAsNobody&) = delete;
    CFileAccessAsNobody& operator=(const CFileAccessAsNobody&) = delete;

private:
    int previous;
};

bool CanOpen(const std::string& path) {
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor >= 0)
        ::close(descriptor);
    return descriptor >= 0;
}

} // namespace

// The record that the opening has just found cannot be opened: the reader
// gives up, the tool reports and ends with its own status.
TEST(BatchCommandLine, ARecordThatCannotBeOpenedIsCritical) {
    CProjectFixture fixture;
    // A first run writes the configuration file.
    ASSERT_EQ(RunCommand({"report", "sheet", fixture.ProjectPath()}, fixture.File("q.cfg")).status, 0);
    const std::string record = fixture.File("fixture.000");
    ASSERT_EQ(::chmod(fixture.Folder().c_str(), 0755), 0);
    ASSERT_EQ(::chmod(record.c_str(), 0), 0);
    CFileAccessAsNobody nobody;
    if (CanOpen(record))
        GTEST_SKIP() << "permission bits do not bind here";
    ASSERT_TRUE(CanOpen(fixture.ProjectPath()));
    // The file identity set above binds this thread only, not the threads
    // that read beside it.
    const tbb::global_control oneThread(tbb::global_control::max_allowed_parallelism, 1);

    const BatchRun run = RunCommand({"report", "sheet", fixture.ProjectPath()}, fixture.File("q.cfg"));
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.out.empty());
    EXPECT_EQ(run.messages, "Critical error: Unable to open sheet file");
}

// Neither the list nor a project in it may stop the study: a FIFO is not
// opened to wait for a writer, and a list line of more than a megabyte is
// no path.
TEST(BatchStudy, AFifoOrAnEndlessLineDoesNotStopTheStudy) {
    CProjectFixture fixture;
    const std::string fifo = fixture.File("fifo.tfc");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string list = fixture.File("list.txt");
    WriteWholeFile(list, "fifo.tfc\nfixture.tfc\n");
    const std::string table = fixture.File("table.csv");
    const BatchRun run = RunCommand({"study", list, "-o", table, "--jobs", "1"}, fixture.File("q.cfg"));
    EXPECT_EQ(run.status, 3) << run.messages;
    const std::string rows = ReadWholeFile(table);
    EXPECT_NE(rows.find("\nfifo.tfc,,,,,,,,,,Unable to read from the " + fifo + " file.,,,\n"),
              std::string::npos)
        << rows;
    EXPECT_NE(rows.find("\nfixture.tfc,3,3,"), std::string::npos) << rows;

    const BatchRun fromFifo = RunCommand({"study", fifo, "-o", table}, fixture.File("q.cfg"));
    EXPECT_EQ(fromFifo.status, 2);
    EXPECT_EQ(fromFifo.messages, "quillmere-batch: " + fifo + " cannot be read");

    WriteWholeFile(list, "fixture.tfc\n" + std::string(kMaxTextLine + 2, 'x') + "\n");
    const BatchRun endless = RunCommand({"study", list, "-o", table}, fixture.File("q.cfg"));
    EXPECT_EQ(endless.status, 2);
    EXPECT_EQ(
        endless.messages,
        FormatText("quillmere-batch: %s is no list of projects: its line 2 is longer than %zu characters",
                   list.c_str(), kMaxTextLine));

    const BatchRun gather = RunCommand({"study", "--gather", fifo, "-o", table}, fixture.File("q.cfg"));
    EXPECT_EQ(gather.status, 2);
    EXPECT_EQ(gather.messages, "quillmere-batch: " + fifo + " cannot be read");
}

// A minimum wall between two thicknesses counts exactly the thin elements
// and their share of the formed area, in either system of units; the study's
// column stays empty without one.
TEST(BatchStudy, MinimumWallBetweenTwoThicknesses) {
    CProjectFixture fixture;
    StretchFirstColumn(fixture);
    const std::string list = fixture.File("list.txt"), table = fixture.File("table.csv");
    WriteWholeFile(list, "fixture.tfc\n");
    const auto study = [&](std::vector<std::string> options) {
        options.insert(options.begin(), {"study", list, "-o", table});
        const BatchRun run = RunCommand(options, fixture.File("q.cfg"));
        EXPECT_EQ(run.status, 0) << run.messages;
        return FirstRow(ReadWholeFile(table));
    };
    for (const auto& options :
         {std::vector<std::string>{"--min-wall", "2"},
          std::vector<std::string>{"--units", "us", "--min-wall", "0.078740157480315"}}) {
        const std::vector<std::string> row = study(options);
        ASSERT_EQ(row.size(), 14u);
        EXPECT_NEAR(std::stod(row[11]), 1.25, 1e-6);
        EXPECT_EQ(row[12], "0");
        EXPECT_NEAR(std::stod(row[13]), 40, 1e-5) << options[1];
    }
    const std::vector<std::string> without = study({});
    ASSERT_EQ(without.size(), 14u);
    EXPECT_EQ(without[13], "");

    // values takes the configuration's length unit, as for --max-distance.
    const std::string us = fixture.File("us.cfg");
    WriteWholeFile(us, "Quillmere CConfiguration File - V2\n\nSystem of units:\t\tUS Customary\n");
    for (const auto& [configuration, wall, line] :
         {std::tuple{fixture.File("q.cfg"), "2",
                     "# below minimum wall 2 mm: 6 elements, 40.00 % of the area\n"},
          {us, "0.07875", "# below minimum wall 0.07875 inch: 6 elements, 40.00 % of the area\n"},
          {fixture.File("q.cfg"), "1.4", "# below minimum wall 1.4 mm: 0 elements, 0.00 % of the area\n"}}) {
        const BatchRun values = RunCommand(
            {"values", fixture.ProjectPath(), "--quantity", "1", "--min-wall", wall}, configuration);
        EXPECT_EQ(values.status, 0) << values.messages;
        const size_t second = values.out.find('\n') + 1;
        EXPECT_EQ(values.out.substr(second, values.out.find('\n', second) + 1 - second), line);
    }
}

TEST(BatchExport, CopiesAsTheDialogDoes) {
    FixtureOptions options;
    options.records = 5;
    CProjectFixture fixture(options);
    CTempFolder target;
    EXPECT_EQ(RunCommand({"export", fixture.ProjectPath(), "--to", target.Path()}, "").status, 0);
    EXPECT_TRUE(PathExists(target.File("fixture.hft")));
    EXPECT_FALSE(PathExists(target.File("fixture.000")));

    const BatchRun firstLast = RunCommand(
        {"export", fixture.ProjectPath(), "--first-last", "--to", target.Path() + "/", "--with-solution"},
        "");
    EXPECT_EQ(firstLast.status, 0) << firstLast.messages;
    EXPECT_EQ(ReadWholeFile(target.File("fixture.001")), ReadWholeFile(fixture.File("fixture.004")));
    EXPECT_FALSE(PathExists(target.File("fixture.002")));

    // A file that is not there: the export goes on.
    std::remove(fixture.File("fixture.prc").c_str());
    CTempFolder other;
    EXPECT_EQ(
        RunCommand({"export", fixture.ProjectPath(), "--to", other.Path(), "--with-solution"}, "").status, 2);
    EXPECT_TRUE(PathExists(other.File("fixture.004")));
}

TEST(BatchExport, RefusalsCopyNothing) {
    CProjectFixture fixture;
    CTempFolder parent;
    const std::string missing = parent.File("new");
    for (const std::vector<std::string>& refused : std::vector<std::vector<std::string>>{
             {"export", fixture.ProjectPath(), "--to", missing},
             {"export", fixture.File("missing.tfc"), "--to", missing, "--create"},
             {"export", fixture.ProjectPath(), "--to", missing, "--first-last", "--create"}})
        EXPECT_EQ(RunCommand(refused, "").status, 2) << refused[1];
    EXPECT_FALSE(PathExists(missing));

    const BatchRun created = RunCommand({"export", fixture.ProjectPath(), "--to", missing, "--create"}, "");
    EXPECT_EQ(created.status, 0) << created.messages;
    EXPECT_TRUE(PathExists(missing + "/fixture.tfc"));
}

// Connectivity and offsets in 32 bits, as node numbers are: a seventh less
// to write.
TEST(BatchVtk, ConnectivityAndOffsetsAre32Bit) {
    CProjectFixture fixture;
    CTempFolder target;
    const BatchRun vtk =
        RunCommand({"vtk", fixture.ProjectPath(), "--to", target.Path(), "--records", "last"}, "");
    ASSERT_EQ(vtk.status, 0) << vtk.messages;
    const std::string file = ReadWholeFile(target.File("fixture_3.vtu"));
    EXPECT_NE(file.find("<DataArray type=\"Int32\" Name=\"connectivity\" format"), std::string::npos);
    EXPECT_NE(file.find("<DataArray type=\"Int32\" Name=\"offsets\" format"), std::string::npos);
}

#ifdef QUILLMERE_BATCH_RENDER
// Project a and its variant b for pictures drawn off screen.
class BatchRender : public ::testing::Test {
protected:
    void SetUp() override {
        if (!frame.IsValid())
            GTEST_SKIP() << "no OpenGL context";
        // The driver stays loaded to the leak report, which then names it.
        KeepLoadedLibraries();
    }
    // b's temperatures raised by warming(record, element) in each of its records.
    void WarmVariant(const std::function<float(int, const samplegen::RecordElement&)>& warming) {
        for (int r = 0; r < 3; ++r) {
            samplegen::RecordData record = b.Record(r);
            for (samplegen::RecordElement& element : record.elements)
                element.temperature += warming(r, element);
            ASSERT_TRUE(samplegen::WriteRecordFile(b.File(FormatText("fixture.%03d", r)), record));
        }
    }
    const COffscreenFrame frame;
    CProjectFixture a, b;
};

// The picture of a difference: the sheet against itself is white (shaded to
// greys), against a variant 10 degrees warmer everywhere blue (A - B < 0 at
// the lower limit); the caption names both sides.
TEST_F(BatchRender, DifferencePictureUsesTheDivergingRamp) {
    WarmVariant([](int, const samplegen::RecordElement& element) {
        return 10 + 0.01f * static_cast<float>(element.id);
    });
    const auto colours = [&](const std::string& reference) {
        const std::string png = a.File("difference.png");
        const BatchRun run = RunCommand(
            {"render", a.ProjectPath(), "-o", png, "--quantity", "2", "--view", "xy", "--minus", reference},
            "");
        EXPECT_EQ(run.status, 0) << run.messages;
        const QImage image = QImage(QString::fromStdString(png)).convertToFormat(QImage::Format_RGB32);
        int blue = 0, red = 0, grey = 0;
        for (int y = 40; y < image.height() - 40; ++y)
            for (int x = 40; x < image.width() - 40; ++x) {
                const QRgb p = image.pixel(x, y);
                blue += qBlue(p) > qRed(p) + 60;
                red += qRed(p) > qBlue(p) + 60;
                grey +=
                    std::abs(qRed(p) - qBlue(p)) < 12 && std::abs(qRed(p) - qGreen(p)) < 12 && qRed(p) > 60;
            }
        return std::array<int, 3>{blue, red, grey};
    };
    // The background is the same in both.
    const std::array<int, 3> itself = colours(a.ProjectPath()), warmer = colours(b.ProjectPath());
    EXPECT_GT(itself[2], 1000);
    EXPECT_EQ(itself[1], 0);
    EXPECT_GT(warmer[0], itself[0] + 1000);
    EXPECT_LT(warmer[2], itself[2] / 10);
    EXPECT_EQ(warmer[1], 0);
    // The picture's bar, like the panel's, has red beside the maximum.
    const QImage bar = SceneColourBar(ScaleBarBands(ResultQuantity::Temperature, true), 4, 66);
    EXPECT_GT(qRed(bar.pixel(0, 0)), qBlue(bar.pixel(0, 0)) + 200);
    EXPECT_GT(qBlue(bar.pixel(0, 65)), qRed(bar.pixel(0, 65)) + 200);
}

// The printed page goes through a file of its own: a link planted at the
// name is replaced, not written through, and a page cut short by a full
// disk fails and leaves the old file as it was.
TEST_F(BatchRender, PrintedPageReplacesTheFileOnlyWhenComplete) {
    const std::string victim = b.File("victim.pdf"), pdf = a.File("page.pdf");
    WriteWholeFile(victim, "not to be written");
    ASSERT_EQ(::symlink(victim.c_str(), pdf.c_str()), 0);
    const BatchRun printed = RunCommand({"render", a.ProjectPath(), "-o", pdf}, "");
    EXPECT_EQ(printed.status, 0) << printed.messages;
    EXPECT_TRUE(ReadWholeFile(victim) == "not to be written") << "the planted link was written through";
    const std::string page = ReadWholeFile(pdf);
    EXPECT_EQ(page.rfind("%PDF-", 0), 0u);
    EXPECT_NE(page.find("%%EOF", page.size() - 8), std::string::npos);

    WriteWholeFile(pdf, "the old page");
    BatchRun full{};
    {
        const CFileSizeLimit limit(20000);
        full = RunCommand({"render", a.ProjectPath(), "-o", pdf}, "");
    }
    EXPECT_EQ(full.status, 2);
    EXPECT_NE(full.messages.find("quillmere-batch: cannot print to " + pdf + ": "), std::string::npos)
        << full.messages;
    EXPECT_TRUE(ReadWholeFile(pdf) == "the old page") << "the old page was replaced";
    // Nothing is left beside it.
    size_t entries = 0;
    for (const auto& entry : std::filesystem::directory_iterator(a.Folder()))
        entries += entry.path().filename().string().rfind(".page.pdf", 0) == 0;
    EXPECT_EQ(entries, 0u);
}

// --min-wall draws the thin elements in magenta, which no ramp holds.
TEST_F(BatchRender, MinimumWallDrawsTheThinElementsInItsColour) {
    StretchFirstColumn(a);
    const auto magenta = [&](const std::vector<std::string>& options) {
        const std::string png = a.File("wall.png");
        std::vector<std::string> arguments = {"render", a.ProjectPath(), "-o", png, "--view", "xy"};
        arguments.insert(arguments.end(), options.begin(), options.end());
        const BatchRun run = RunCommand(arguments, "");
        EXPECT_EQ(run.status, 0) << run.messages;
        const QImage image = QImage(QString::fromStdString(png)).convertToFormat(QImage::Format_RGB32);
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QRgb p = image.pixel(x, y);
                count += qRed(p) > 200 && qBlue(p) > 200 && qGreen(p) + 80 < qRed(p);
            }
        return count;
    };
    EXPECT_EQ(magenta({}), 0);
    // The thin column is 0.1 of the sheet's 0.25 m width.
    const int wall = magenta({"--min-wall", "2"}), all = magenta({"--min-wall", "3.5", "--quantity", "2"});
    EXPECT_GT(wall, 1000);
    EXPECT_NEAR(static_cast<double>(wall) / all, 0.4, 0.05) << wall << " of " << all;
}

// A comparing scene steps a following reference with the record its sheet
// holds, keeps fixed difference limits apart from the plain ones, and stops
// comparing, saying why, when the reference record cannot be read.
TEST_F(BatchRender, SceneComparisonFollowsTheShownRecord) {
    WarmVariant([](int r, const samplegen::RecordElement&) { return static_cast<float>(10 + 2 * r); });
    CRecordingMessages messages;
    CSession session;
    CProjectProfile &first = session.Project(), second;
    ASSERT_TRUE(first.Open(a.ProjectPath(), nullptr) && second.Open(b.ProjectPath(), nullptr));
    CSessionView shown(&session);
    CHeadlessScene scene(shown, DisplaySettings(), ResultQuantity::Temperature, CCamera());
    ASSERT_TRUE(scene.IsValid()) << scene.Error();
    Message failure;
    ASSERT_TRUE(scene.Scene().SetComparison(std::make_shared<CComparison>(first, second), failure))
        << failure;
    const auto limits = [&scene] {
        return std::make_pair(scene.Presented().limits.minimum, scene.Presented().limits.maximum);
    };
    scene.Update();
    EXPECT_EQ(limits(), std::make_pair(-14.0, 14.0));
    ASSERT_TRUE(first.GoToRecord(1));
    scene.Update();
    EXPECT_EQ(limits(), std::make_pair(-10.0, 10.0));
    // Pictures, prints and videos name both sides and label the differences.
    CConfiguration us("");
    us.SetSIMetric(false);
    scene.SetConfiguration(&us);
    scene.Update();
    const SceneAnnotations annotations = SceneAnnotationsOf(scene.Scene(), 1);
    // Both are "fixture.tfc": their folders tell them apart.
    const auto named = [](const CProjectFixture& fixture) {
        return FileNamePart(FolderPart(fixture.ProjectPath())) + "/fixture.tfc";
    };
    EXPECT_EQ(annotations.title, named(a) + " \xe2\x88\x92 " + named(b));
    EXPECT_EQ(SceneCaption(annotations.title, 1, 3), annotations.title + ": Rec. 1 / 3.");
    EXPECT_TRUE(scene.Presented().Difference());
    EXPECT_EQ(annotations.scaleLabels[0], FormatText("  18.0 %s", units::Fahrenheit));
    EXPECT_EQ(annotations.scaleLabels[4], FormatText(" -18.0 %s", units::Fahrenheit));

    scene.Limits().SetFixedMode(ResultQuantity::Temperature, 1);
    scene.Limits().SetFixedMinimum(ResultQuantity::Temperature, -3);
    scene.Update();
    EXPECT_EQ(scene.Presented().limits.minimum, -3);
    scene.Scene().ClearComparison();
    EXPECT_FALSE(scene.Limits().IsFixed(ResultQuantity::Temperature));

    // Record 2 is read ahead as soon as record 1 is prepared.
    ASSERT_EQ(std::remove(b.File("fixture.001").c_str()), 0);
    ASSERT_TRUE(scene.Scene().SetComparison(std::make_shared<CComparison>(first, second), failure))
        << failure;
    ASSERT_TRUE(first.GoToRecord(2));
    scene.Update();
    EXPECT_EQ(scene.Scene().Comparison(), nullptr);
    EXPECT_NE(MessageText(scene.Scene().View().TakeComparisonFailure()).find("fixture.001"),
              std::string::npos);
    EXPECT_FALSE(scene.Scene().View().TakeComparisonFailure());
    EXPECT_EQ(scene.Presented().limits.minimum, 150); // the plain temperature again
}
#endif
