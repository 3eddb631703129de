// The video writer: the box averaging, the padding, and the files FFmpeg's
// own reader sees (codec, size, duration of 0.2 s a frame).
#include "export/CVideoWriter.h"
#include "export/VideoFrames.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <link.h>
#include <map>
#include <sstream>
#include <unistd.h>

using namespace quillmere;

namespace {

uint32_t Pixel(int r, int g, int b) {
    return 0xff000000u | static_cast<uint32_t>(r) << 16 | static_cast<uint32_t>(g) << 8 |
           static_cast<uint32_t>(b);
}

// A 2w x 2h frame whose colours change with index, so every frame differs.
std::vector<uint32_t> TestFrame(int width, int height, int index) {
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * static_cast<size_t>(height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels[static_cast<size_t>(y * width + x)] =
                Pixel((x + index * 30) & 255, y & 255, (x ^ y) & 255);
    return pixels;
}

Rgb32View ViewOf(const std::vector<uint32_t>& pixels, int width, int height) {
    return Rgb32View{pixels.data(), width, height, static_cast<size_t>(width) * 4};
}

// What ffprobe reads of the first video stream: codec_name, width, height
// and the container's duration.
std::map<std::string, std::string> Probe(const std::string& path) {
    const std::string command =
        "ffprobe -v error -select_streams v:0 -show_entries "
        "stream=codec_name,width,height:format=duration -of default=noprint_wrappers=1 '" +
        path + "' 2>&1";
    std::map<std::string, std::string> fields;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return fields;
    std::array<char, 512> line{};
    while (std::fgets(line.data(), static_cast<int>(line.size()), pipe)) {
        std::string text(line.data());
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
            text.pop_back();
        const size_t equals = text.find('=');
        if (equals != std::string::npos)
            fields[text.substr(0, equals)] = text.substr(equals + 1);
    }
    ::pclose(pipe);
    return fields;
}

// Writes frames frames of width x height (drawn at twice the size).
bool WriteVideo(CVideoWriter& writer, const std::string& path, int width, int height, int frames,
                const std::string& codec = std::string()) {
    if (!writer.Open(path, width, height, codec))
        return false;
    for (int i = 0; i < frames; ++i) {
        const std::vector<uint32_t> frame = TestFrame(2 * width, 2 * height, i);
        if (!writer.AddFrame(ViewOf(frame, 2 * width, 2 * height), i))
            return false;
    }
    return writer.Finish();
}

// Every frame FFmpeg decodes from the file, one after the other, as
// 0xAARRGGBB words.
std::vector<uint32_t> DecodedPixels(const std::string& path) {
    const std::string command =
        "ffmpeg -v error -i '" + path + "' -fps_mode passthrough -f rawvideo -pix_fmt bgra - 2>/dev/null";
    std::vector<uint32_t> pixels;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return pixels;
    std::array<uint32_t, 4096> block{};
    while (const size_t read = std::fread(block.data(), sizeof(uint32_t), block.size(), pipe))
        pixels.insert(pixels.end(), block.begin(), block.begin() + static_cast<std::ptrdiff_t>(read));
    ::pclose(pipe);
    return pixels;
}

// Nothing but the finished files in the folder: no temporary left over.
std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

TEST(VideoFrames, HalvingAveragesEachBlockChannelByChannelAndTruncates) {
    // 5 x 3: the odd last column and row are dropped.
    std::vector<uint32_t> frame(15, Pixel(255, 255, 255));
    frame[0] = Pixel(1, 10, 200);
    frame[1] = Pixel(2, 20, 201);
    frame[5] = Pixel(3, 30, 202);
    frame[6] = Pixel(4, 41, 203);
    frame[2] = Pixel(0, 0, 0);
    frame[3] = Pixel(0, 255, 0);
    frame[7] = Pixel(255, 0, 0);
    frame[8] = Pixel(0, 0, 255);
    frame[4] = frame[9] = frame[14] = frame[10] = frame[11] = frame[12] = frame[13] = Pixel(9, 9, 9);
    const std::vector<uint32_t> halved = HalveFrame(ViewOf(frame, 5, 3));
    ASSERT_EQ(halved.size(), 2u);
    EXPECT_EQ(halved[0], Pixel(2, 25, 201)); // (1+2+3+4)/4 = 2.5, (10+20+30+41)/4 = 25.25
    EXPECT_EQ(halved[1], Pixel(63, 63, 63));
}

TEST(VideoFrames, HalvingFollowsTheRowPitchAndMakesOpaquePixels) {
    // Rows of 3 pixels with a pitch of 4: the fourth word of each row is not
    // part of the image.
    std::vector<uint32_t> frame = {Pixel(8, 8, 8), Pixel(8, 8, 8), 0, 0xdeadbeef,
                                   Pixel(8, 8, 8), Pixel(8, 8, 8), 0, 0xdeadbeef};
    for (uint32_t& p : frame)
        if (p != 0xdeadbeef)
            p &= 0x00ffffffu; // no alpha given
    const std::vector<uint32_t> halved = HalveFrame(Rgb32View{frame.data(), 3, 2, 16});
    ASSERT_EQ(halved.size(), 1u);
    EXPECT_EQ(halved[0], Pixel(8, 8, 8));
    EXPECT_TRUE(HalveFrame(Rgb32View{frame.data(), 1, 1, 4}).empty());
}

TEST(VideoFrames, PaddingRoundsUpAndRepeatsTheLastColumnAndRow) {
    EXPECT_EQ(PaddedSize(640, 4), 640);
    EXPECT_EQ(PaddedSize(641, 4), 644);
    EXPECT_EQ(PaddedSize(643, 2), 644);
    EXPECT_EQ(PaddedSize(643, 1), 643);
    const std::vector<uint32_t> pixels = {1, 2, 3, 4};
    const std::vector<uint32_t> padded = PadFrame(pixels, 2, 2, 4, 3);
    EXPECT_EQ(padded, (std::vector<uint32_t>{1, 2, 2, 2, 3, 4, 4, 4, 3, 4, 4, 4}));
}

// A video written, the encoder asked for, and what FFmpeg's reader sees:
// its codec and its size, rounded up to the encoder's multiple, never
// refused.
struct VideoCase {
    const char* name;
    int width, height, frames;
    const char* codec;
    const char* decoded;
    int paddedWidth, paddedHeight;
};

void PrintTo(const VideoCase& video, std::ostream* out) {
    *out << video.name;
}

class VideoFiles : public ::testing::TestWithParam<VideoCase> {};

TEST_P(VideoFiles, ShowEachFrameForATwentiethOfTenPeriods) {
    const VideoCase& c = GetParam();
    CTempFolder folder;
    CRecordingMessages messages;
    CVideoWriter writer;
    ASSERT_TRUE(WriteVideo(writer, folder.File(c.name), c.width, c.height, c.frames, c.codec))
        << writer.Error();
    EXPECT_FALSE(writer.IsOpen());
    EXPECT_EQ(writer.PaddedWidth(), c.paddedWidth);
    EXPECT_EQ(writer.PaddedHeight(), c.paddedHeight);
    const auto probe = Probe(folder.File(c.name));
    EXPECT_EQ(probe.at("codec_name"), c.decoded);
    EXPECT_EQ(probe.at("width"), std::to_string(c.paddedWidth));
    EXPECT_EQ(probe.at("height"), std::to_string(c.paddedHeight));
    EXPECT_NEAR(std::stod(probe.at("duration")), c.frames * 0.2, 1e-6);
    EXPECT_EQ(FilesIn(folder.Path()), std::vector<std::string>{c.name});
    EXPECT_TRUE(messages.messages.empty()) << messages.Texts();
}

INSTANTIATE_TEST_SUITE_P(AviAndMp4, VideoFiles,
                         ::testing::Values(VideoCase{"forming.avi", 160, 120, 4, "", "msvideo1", 160, 120},
                                           VideoCase{"odd.avi", 101, 98, 2, "", "msvideo1", 104, 100},
                                           VideoCase{"single.avi", 200, 100, 1, "mjpeg", "mjpeg", 200, 100},
                                           VideoCase{"forming.MP4", 320, 240, 5, "", "h264", 320, 240},
                                           VideoCase{"odd.mp4", 101, 99, 2, "", "h264", 102, 100}));

TEST(VideoWriter, EveryFrameIsEncodedWholeAndInOrderWhileTheNextIsHandedOver) {
    // With a lossless encoder the decoded frames are exactly the halved and
    // padded ones, more of them than are ever waiting to be encoded.
    CTempFolder folder;
    CVideoWriter writer;
    const std::string path = folder.File("lossless.avi");
    constexpr int Width = 51, Height = 37, Frames = 9;
    ASSERT_TRUE(WriteVideo(writer, path, Width, Height, Frames, "png")) << writer.Error();
    std::vector<uint32_t> expected;
    for (int i = 0; i < Frames; ++i) {
        const std::vector<uint32_t> frame = TestFrame(2 * Width, 2 * Height, i);
        const std::vector<uint32_t> padded =
            PadFrame(HalveFrame(ViewOf(frame, 2 * Width, 2 * Height)), Width, Height, Width + 1, Height + 1);
        expected.insert(expected.end(), padded.begin(), padded.end());
    }
    const std::vector<uint32_t> decoded = DecodedPixels(path);
    EXPECT_EQ(decoded.size(), expected.size());
    EXPECT_TRUE(decoded == expected);
}

TEST(VideoWriter, ACancelledOrFailedVideoLeavesNothingUnderItsName) {
    CTempFolder folder;
    CRecordingMessages messages;
    const std::string path = folder.File("cancelled.avi");
    {
        CVideoWriter writer;
        ASSERT_TRUE(writer.Open(path, 120, 100));
        const std::vector<uint32_t> frame = TestFrame(240, 200, 0);
        ASSERT_TRUE(writer.AddFrame(ViewOf(frame, 240, 200), 0));
        writer.Cancel();
        EXPECT_TRUE(FilesIn(folder.Path()).empty());
    }
    {
        // Dropped without Finish: the same.
        CVideoWriter writer;
        ASSERT_TRUE(writer.Open(path, 120, 100));
        EXPECT_FALSE(FilesIn(folder.Path()).empty()); // the temporary file
    }
    EXPECT_TRUE(FilesIn(folder.Path()).empty());
    EXPECT_TRUE(messages.messages.empty());

    // An unknown encoder and a frame of the wrong size: message 446, no file.
    CVideoWriter writer;
    EXPECT_FALSE(writer.Open(path, 120, 100, "no-such-encoder"));
    EXPECT_EQ(messages.Texts(), MessageText(MessageId::VideoError));
    ASSERT_TRUE(writer.Open(path, 120, 100));
    const std::vector<uint32_t> small = TestFrame(100, 100, 0);
    EXPECT_FALSE(writer.AddFrame(ViewOf(small, 100, 100), 0));
    EXPECT_FALSE(writer.IsOpen());
    EXPECT_EQ(messages.messages.size(), 2u);
    EXPECT_TRUE(FilesIn(folder.Path()).empty());

    // A folder that does not exist: refused at once.
    EXPECT_FALSE(writer.Open(folder.File("missing/video.avi"), 120, 100));
    EXPECT_TRUE(FilesIn(folder.Path()).empty());

    // A disk that fills while the video is written: the failure shows once
    // and nothing is left.
    messages.messages.clear();
    {
        const CFileSizeLimit full(100000);
        EXPECT_FALSE(WriteVideo(writer, path, 320, 240, 20));
    }
    EXPECT_FALSE(writer.Error().empty());
    EXPECT_FALSE(writer.IsOpen());
    EXPECT_EQ(messages.Texts(), MessageText(MessageId::VideoError));
    EXPECT_TRUE(FilesIn(folder.Path()).empty());
}

TEST(VideoWriter, AFinishedVideoReplacesAnOlderFileOnlyWhenComplete) {
    CTempFolder folder;
    const std::string path = folder.File("again.avi");
    WriteWholeFile(path, "older video");
    CVideoWriter writer;
    ASSERT_TRUE(writer.Open(path, 120, 100));
    writer.Cancel();
    EXPECT_EQ(std::filesystem::file_size(path), 11u);
    ASSERT_TRUE(WriteVideo(writer, path, 120, 100, 2));
    EXPECT_EQ(Probe(path).at("codec_name"), "msvideo1");
}

// Another user who may write into the folder plants links at every name a
// writer could guess for its temporary file: the file they point at stays as
// it was, and the video takes its name.
TEST(VideoWriter, TheTemporaryFileFollowsNoPlantedLink) {
    CTempFolder folder, elsewhere;
    const std::string victim = elsewhere.File("victim");
    WriteWholeFile(victim, "not a video");
    const std::string pid = std::to_string(::getpid());
    for (const char* name : {".planted.avi.new", ".planted.avi.part", ".planted.avi.tmp"})
        ASSERT_EQ(::symlink(victim.c_str(), folder.File(name).c_str()), 0);
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(::symlink(victim.c_str(),
                            folder.File(".planted.avi." + pid + "-" + std::to_string(i) + ".part").c_str()),
                  0);
    CVideoWriter writer;
    const std::string path = folder.File("planted.avi");
    ASSERT_TRUE(WriteVideo(writer, path, 120, 100, 2)) << writer.Error();
    EXPECT_TRUE(ReadWholeFile(victim) == "not a video") << "the planted link was written through";
    EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::symlink_status(path)));
    EXPECT_EQ(Probe(path).at("codec_name"), "msvideo1");
    EXPECT_EQ(FilesIn(folder.Path()).size(), 3u + 256u + 1u);
}

// Whether the process has loaded FFmpeg's encoders.
bool EncodersLoaded() {
    return dl_iterate_phdr(
               [](dl_phdr_info* info, size_t, void*) {
                   return info->dlpi_name && std::strstr(info->dlpi_name, "libavcodec.so") ? 1 : 0;
               },
               nullptr) != 0;
}

// FFmpeg and the hundred libraries it brings are loaded with the first video
// or list of encoders, not with every program that could make one. (Death
// tests run first, in a process of their own.)
TEST(VideoWriterDeathTest, FFmpegIsLoadedWithTheFirstVideoOnly) {
    EXPECT_EXIT(
        {
            const bool before = EncodersLoaded();
            const bool listed = !CVideoWriter::AviEncoders().empty();
            std::exit(!before && listed && EncodersLoaded() ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(VideoWriter, TheAviEncodersAreThoseTheContainerTakes) {
    const std::vector<std::string> encoders = CVideoWriter::AviEncoders();
    EXPECT_TRUE(std::is_sorted(encoders.begin(), encoders.end()));
    for (const char* name : {"msvideo1", "mjpeg"})
        EXPECT_NE(std::find(encoders.begin(), encoders.end(), name), encoders.end()) << name;
    // Audio encoders are left out.
    for (const char* name : {"aac", "pcm_s16le"})
        EXPECT_EQ(std::find(encoders.begin(), encoders.end(), name), encoders.end()) << name;
    EXPECT_TRUE(CVideoWriter::IsMp4Path("a/b.Mp4"));
    EXPECT_FALSE(CVideoWriter::IsMp4Path("a/mp4"));
}
