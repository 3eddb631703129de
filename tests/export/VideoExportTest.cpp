// Create video on a real view: every record a frame, the messages, Cancel
// and a failed record, the codec choice, the file read back with ffprobe.
#include "ui/export/VideoExport.h"
#include "config/CConfiguration.h"
#include "core/Messages.h"
#include "export/CVideoWriter.h"
#include "model/CProjectProfile.h"
#include "render/SceneImage.h"
#include "session/CSession.h"
#include "tests/model/ProjectFixture.h"
#include "tests/support/QtTestSupport.h"
#include "ui/scene/CSceneCommands.h"
#include "ui/scene/CSceneRender.h"

#include <QDir>
#include <QProcess>
#include <QProgressDialog>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace quillmere;

namespace {

// codec_name, width, height, frames decoded and duration of a video, one per
// line.
QStringList Probe(const QString& path) {
    QProcess probe;
    probe.start("ffprobe", {"-v", "error", "-count_frames", "-select_streams", "v:0", "-show_entries",
                            "stream=codec_name,width,height,nb_read_frames:format=duration", "-of",
                            "default=noprint_wrappers=1:nokey=1", path});
    probe.waitForFinished(60000);
    return QString::fromUtf8(probe.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

} // namespace

class VideoExportTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void everyRecordBecomesAFrameOfAFifthOfASecond();
    void cancelOrAnUnreadableRecordKeepsTheFramesSoFar();
    void theCodecChoiceOffersTheAviEncoders();
    void fileNamesGetTheirExtension();

private:
    std::unique_ptr<CSceneRender> OpenView();
    VideoExportHooks Hooks(const QString& name, int w, int h, bool selectCodec = false,
                           const QString& filter = QString(), bool colourScale = true);

    QTemporaryDir folder;
    std::unique_ptr<CConfiguration> configuration;
    std::unique_ptr<CProjectFixture> fixture;
    CSession session;
    CProjectProfile& project = session.Project();
    std::unique_ptr<CRecordingMessages> messages;
};

void VideoExportTest::initTestCase() {
    QVERIFY(folder.isValid());
    configuration =
        std::make_unique<CConfiguration>(folder.filePath(QStringLiteral("Quillmere.cfg")).toStdString());
    FixtureOptions options;
    options.records = 3;
    fixture = std::make_unique<CProjectFixture>(options);
    QVERIFY(project.Open(fixture->ProjectPath(), nullptr));
    QCOMPARE(project.RecordCount(), 3);
    messages = std::make_unique<CRecordingMessages>();
}

std::unique_ptr<CSceneRender> VideoExportTest::OpenView() {
    auto view = std::make_unique<CSceneRender>(&session, DisplaySettings());
    view->resize(320, 240);
    view->show();
    if (!QTest::qWaitForWindowExposed(view.get()))
        return nullptr;
    (void)view->grabFramebuffer();
    view->Commands().SetGeneralView();
    view->Commands().FitIntoWindow();
    return view;
}

VideoExportHooks VideoExportTest::Hooks(const QString& name, int w, int h, bool selectCodec,
                                        const QString& filter, bool colourScale) {
    VideoExportHooks hooks;
    hooks.askFileName = [this, name, filter](QWidget*, QString& chosen) {
        chosen = filter;
        return name.isEmpty() ? QString() : folder.filePath(name);
    };
    hooks.askOptions = [w, h, selectCodec, colourScale](QWidget*, VideoExportOptions& options) {
        options.width = w;
        options.height = h;
        options.selectCodec = selectCodec;
        options.colourScale = colourScale;
        return true;
    };
    return hooks;
}

void VideoExportTest::everyRecordBecomesAFrameOfAFifthOfASecond() {
    auto view = OpenView();
    QVERIFY(view);
    messages->messages.clear();
    // A size no multiple of 4: msvideo1 gets it padded.
    QVERIFY(ExportVideo(*view, *configuration, nullptr, Hooks(QStringLiteral("forming"), 161, 120)));
    QCOMPARE(messages->Texts(), MessageText(MessageId::VideoCreated));
    const QStringList probe = Probe(folder.filePath(QStringLiteral("forming.avi")));
    QCOMPARE(probe, QStringList({"msvideo1", "164", "120", "3", "0.600000"}));
    // The document keeps the last record, and the view shows it.
    QCOMPARE(project.CurrentRecord(), 3);
    QCOMPARE(view->ShownRecord(), 3);

    // The colour scale, on by default, left out: other frames.
    QVERIFY(ExportVideo(*view, *configuration, nullptr, Hooks("plain", 161, 120, false, QString(), false)));
    QVERIFY(ReadWholeFile(folder.filePath("forming.avi").toStdString()) !=
            ReadWholeFile(folder.filePath("plain.avi").toStdString()));

    // The MP4 type chosen without an extension typed.
    messages->messages.clear();
    QVERIFY(
        ExportVideo(*view, *configuration, nullptr,
                    Hooks(QStringLiteral("typed"), 160, 120, false, QStringLiteral("MP4 video (*.mp4)"))));
    const QStringList mp4 = Probe(folder.filePath(QStringLiteral("typed.mp4")));
    QCOMPARE(mp4.value(0), QStringLiteral("h264"));
    QCOMPARE(mp4.value(4).toDouble(), 0.6);
}

// Cancel after the first frame, or record 2 unreadable: a closed, playable
// file of one frame under the chosen name, and only the fitting message.
void VideoExportTest::cancelOrAnUnreadableRecordKeepsTheFramesSoFar() {
    auto view = OpenView();
    QVERIFY(view);
    messages->messages.clear();
    VideoExportHooks hooks = Hooks(QStringLiteral("cancelled.avi"), 160, 120);
    int frames = 0;
    hooks.frameWritten = [&frames](QProgressDialog& progress, int frame) {
        frames = frame;
        QCOMPARE(progress.labelText(), QString::fromLatin1(videotexts::CreatingVideo));
        QCOMPARE(progress.windowTitle(), QString::fromLatin1(videotexts::ProgressCaption));
        progress.cancel();
    };
    QVERIFY(!ExportVideo(*view, *configuration, nullptr, hooks));
    QCOMPARE(frames, 1);
    QCOMPARE(messages->Texts(), MessageText(MessageId::VideoCancelled));
    const QStringList oneFrame{"msvideo1", "160", "120", "1", "0.200000"};
    QCOMPARE(Probe(folder.filePath(QStringLiteral("cancelled.avi"))), oneFrame);
    QCOMPARE(QDir(folder.path()).entryList({QStringLiteral("*.part")}, QDir::Files | QDir::Hidden),
             QStringList());

    const QString second = QString::fromStdString(fixture->ProjectPath()).chopped(3) + QStringLiteral("001");
    QVERIFY(QFile::rename(second, second + QStringLiteral(".away")));
    messages->messages.clear();
    const bool done =
        ExportVideo(*view, *configuration, nullptr, Hooks(QStringLiteral("stopped.avi"), 160, 120));
    QVERIFY(QFile::rename(second + QStringLiteral(".away"), second));
    QVERIFY(!done);
    QCOMPARE(messages->messages.size(), size_t(1));
    QVERIFY2(messages->Texts().find("fixture.001") != std::string::npos, messages->Texts().c_str());
    QCOMPARE(Probe(folder.filePath(QStringLiteral("stopped.avi"))), oneFrame);

    // A frame that cannot be drawn says so.
    messages->messages.clear();
    ForceSceneImageFault(SceneImageFault::PixelFormat);
    const bool drawn =
        ExportVideo(*view, *configuration, nullptr, Hooks(QStringLiteral("undrawn.avi"), 160, 120));
    ForceSceneImageFault(SceneImageFault::None);
    QVERIFY(!drawn);
    QCOMPARE(messages->Texts(), MessageText(MessageId::PixelFormatError));
    QVERIFY(!QFile::exists(folder.filePath(QStringLiteral("undrawn.avi"))));

    // Cancelled at the file or the options: nothing happens at all.
    messages->messages.clear();
    QVERIFY(!ExportVideo(*view, *configuration, nullptr, Hooks(QString(), 160, 120)));
    hooks = Hooks(QStringLiteral("never.avi"), 160, 120);
    hooks.askOptions = [](QWidget*, VideoExportOptions&) { return false; };
    QVERIFY(!ExportVideo(*view, *configuration, nullptr, hooks));
    QVERIFY(messages->messages.empty());
    QVERIFY(!QFile::exists(folder.filePath(QStringLiteral("never.avi"))));
}

void VideoExportTest::theCodecChoiceOffersTheAviEncoders() {
    auto view = OpenView();
    QVERIFY(view);
    messages->messages.clear();
    QStringList offered;
    VideoExportHooks hooks = Hooks(QStringLiteral("chosen.avi"), 160, 120, true);
    hooks.chooseCodec = [&offered](QWidget*, const QStringList& encoders) {
        offered = encoders;
        return QStringLiteral("mjpeg");
    };
    QVERIFY(ExportVideo(*view, *configuration, nullptr, hooks));
    QVERIFY(offered.contains(QStringLiteral("msvideo1")));
    QCOMPARE(Probe(folder.filePath(QStringLiteral("chosen.avi"))).value(0), QStringLiteral("mjpeg"));

    // The choice cancelled: message 446 and no file.
    messages->messages.clear();
    hooks = Hooks(QStringLiteral("unchosen.avi"), 160, 120, true);
    hooks.chooseCodec = [](QWidget*, const QStringList&) { return QString(); };
    QVERIFY(!ExportVideo(*view, *configuration, nullptr, hooks));
    QCOMPARE(messages->Texts(), MessageText(MessageId::VideoError));
    QVERIFY(!QFile::exists(folder.filePath(QStringLiteral("unchosen.avi"))));
}

void VideoExportTest::fileNamesGetTheirExtension() {
    QCOMPARE(VideoFileName(QStringLiteral("a/b")), QStringLiteral("a/b.avi"));
    QCOMPARE(VideoFileName(QStringLiteral("a/b.")), QStringLiteral("a/b.avi"));
    QCOMPARE(VideoFileName(QStringLiteral("a/b.AVI")), QStringLiteral("a/b.AVI"));
    QCOMPARE(VideoFileName(QStringLiteral("a/b.mp4")), QStringLiteral("a/b.mp4"));
    QCOMPARE(VideoFileName(QStringLiteral("a/b."), QStringLiteral("MP4 video (*.mp4)")),
             QStringLiteral("a/b.mp4"));
}

int main(int argc, char** argv) {
    return RunWindowTest<VideoExportTest>(argc, argv, CSceneRender::PrepareApplication);
}

#include "VideoExportTest.moc"
