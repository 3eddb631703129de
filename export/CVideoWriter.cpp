#include "export/CVideoWriter.h"

#include "core/AtomicFile.h"
#include "core/Messages.h"
#include "core/Parallel.h"
#include "export/FFmpegLibraries.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <mutex>

namespace quillmere {

namespace {

// The pixel format the encoder gets: YUV 4:2:0 for H.264 (what players
// expect), otherwise the encoder's first (rgb555le for msvideo1, full-range
// YUV for mjpeg).
AVPixelFormat ChoosePixelFormat(const AVCodec& codec) {
    if (!codec.pix_fmts || codec.id == AV_CODEC_ID_H264)
        return AV_PIX_FMT_YUV420P;
    return codec.pix_fmts[0];
}

// The multiple both sides must have: msvideo1 codes blocks of 4 x 4, the
// subsampled formats need whole chroma samples.
int SizeMultiple(const AVCodec& codec, AVPixelFormat format) {
    if (codec.id == AV_CODEC_ID_MSVIDEO1)
        return 4;
    int shiftX = 0, shiftY = 0;
    Av().av_pix_fmt_get_chroma_sub_sample(format, &shiftX, &shiftY);
    return std::max({2, 1 << shiftX, 1 << shiftY});
}

// A hidden name beside the video, made unique when the file is created, so
// that nothing planted at a name known beforehand is ever written through.
std::string TemporaryName(const std::string& path) {
    const std::filesystem::path target(path);
    return (target.parent_path() / ("." + target.filename().string() + ".XXXXXX")).string();
}

// FFmpeg writes the container through this file, at any position it seeks
// to.
struct FileOutput {
    CAtomicFile* file = nullptr;
    int64_t position = 0, size = 0;
};

#if LIBAVFORMAT_VERSION_MAJOR >= 61
int WriteOutput(void* opaque, const uint8_t* data, int size) {
#else
int WriteOutput(void* opaque, uint8_t* data, int size) {
#endif
    auto& output = *static_cast<FileOutput*>(opaque);
    if (size < 0 ||
        !output.file->WriteAt(static_cast<uint64_t>(output.position), data, static_cast<size_t>(size)))
        return AVERROR(EIO);
    output.position += size;
    output.size = std::max(output.size, output.position);
    return size;
}

int64_t SeekOutput(void* opaque, int64_t offset, int whence) {
    auto& output = *static_cast<FileOutput*>(opaque);
    if (whence & AVSEEK_SIZE)
        return output.size;
    const int64_t base = (whence & ~AVSEEK_FORCE) == SEEK_CUR   ? output.position
                         : (whence & ~AVSEEK_FORCE) == SEEK_END ? output.size
                                                                : 0;
    if (base + offset < 0)
        return AVERROR(EINVAL);
    output.position = base + offset;
    return output.position;
}

} // namespace

// Everything FFmpeg: the muxer, the encoder, the converter and the frame,
// and the job that encodes. The frames are encoded and written by that job
// while the caller draws the next: one waits while another is encoded.
// FFmpeg's contexts are used by one thread at a time: the caller's until
// Start() and after Stop(), the encoding job's in between.
class CVideoWriter::Encoder {
public:
    ~Encoder() {
        Stop(false);
        Av().sws_freeContext(converter);
        Av().av_frame_free(&frame);
        Av().av_packet_free(&packet);
        Av().avcodec_free_context(&codec);
        Av().avformat_free_context(format);
        CloseOutput();
    }

    // The file under its temporary name and FFmpeg's way into it.
    std::unique_ptr<CAtomicFile> file;
    FileOutput output;
    AVIOContext* io = nullptr;

    // Opens the encoder for frames of w x h, padded to the size multiple it
    // needs; FFmpeg's result.
    int OpenCodec(const AVCodec& found, int w, int h) {
        const AVPixelFormat pixelFormat = ChoosePixelFormat(found);
        const int multiple = SizeMultiple(found, pixelFormat);
        int result = AVERROR(EINVAL);
        // Should an encoder want more than it says, larger multiples are tried
        // before giving up.
        for (const int tried : {multiple, 4, 8, 16}) {
            if (tried < multiple)
                continue;
            Av().avcodec_free_context(&codec);
            codec = Av().avcodec_alloc_context3(&found);
            if (!codec)
                return AVERROR(ENOMEM);
            paddedWidth = PaddedSize(w, tried);
            paddedHeight = PaddedSize(h, tried);
            codec->width = paddedWidth;
            codec->height = paddedHeight;
            codec->pix_fmt = pixelFormat;
            codec->time_base = AVRational{1, PeriodsPerSecond};
            codec->framerate = AVRational{PeriodsPerSecond / PeriodsPerFrame, 1};
            codec->sample_aspect_ratio = AVRational{1, 1};
            if (!mp4)
                codec->gop_size = 1; // every sample a key frame
            if (format->oformat->flags & AVFMT_GLOBALHEADER)
                codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
            AVDictionary* options = nullptr;
            if (found.id == AV_CODEC_ID_H264)
                Av().av_dict_set(&options, "preset", "veryfast", 0);
            result = Av().avcodec_open2(codec, &found, &options);
            Av().av_dict_free(&options);
            if (result >= 0)
                break;
        }
        return result;
    }

    // The frame, the packet and the converter from Qt's pixels; "" or why
    // one cannot be made.
    std::string MakeFrames() {
        frame = Av().av_frame_alloc();
        packet = Av().av_packet_alloc();
        if (!frame || !packet)
            return "out of memory";
        frame->format = codec->pix_fmt;
        frame->width = paddedWidth;
        frame->height = paddedHeight;
        const int result = Av().av_frame_get_buffer(frame, 0);
        if (result < 0)
            return AvError(result);
        // Qt's RGB32 lies in memory as B, G, R, A.
        converter = Av().sws_getContext(paddedWidth, paddedHeight, AV_PIX_FMT_BGRA, paddedWidth, paddedHeight,
                                        codec->pix_fmt, SWS_POINT, nullptr, nullptr, nullptr);
        if (!converter)
            return "no conversion to " + std::string(Av().av_get_pix_fmt_name(codec->pix_fmt));
        return std::string();
    }

    // Creates the temporary file and hands it to the muxer.
    bool OpenOutput(const std::string& target, std::string& failure) {
        file = std::make_unique<CAtomicFile>(target, TemporaryName(target));
        errno = 0;
        if (!file->Open()) {
            failure =
                "the file cannot be created" + (errno != 0 ? ": " + std::string(std::strerror(errno)) : "");
            return false;
        }
        output.file = file.get();
        constexpr int BufferSize = 1 << 16;
        auto* buffer = static_cast<unsigned char*>(Av().av_malloc(BufferSize));
        io = buffer
                 ? Av().avio_alloc_context(buffer, BufferSize, 1, &output, nullptr, WriteOutput, SeekOutput)
                 : nullptr;
        if (!io) {
            Av().av_free(buffer);
            failure = "out of memory";
            return false;
        }
        format->pb = io;
        format->flags |= AVFMT_FLAG_CUSTOM_IO;
        return true;
    }

    // Writes what the muxer still holds; false when any write failed.
    bool FlushOutput() {
        Av().avio_flush(io);
        return io->error == 0;
    }

    void CloseOutput() {
        if (io) {
            Av().av_freep(&io->buffer);
            Av().avio_context_free(&io);
        }
        file.reset(); // an uncommitted file goes
    }

    AVFormatContext* format = nullptr;
    AVCodecContext* codec = nullptr;
    AVStream* stream = nullptr;
    SwsContext* converter = nullptr;
    AVFrame* frame = nullptr;
    AVPacket* packet = nullptr;
    bool mp4 = false;
    bool headerWritten = false;
    int width = 0, height = 0, paddedWidth = 0, paddedHeight = 0;

    // Takes every packet the encoder has ready; false on a write error.
    bool Drain(std::string& failure) {
        for (;;) {
            const int received = Av().avcodec_receive_packet(codec, packet);
            if (received == AVERROR(EAGAIN) || received == AVERROR_EOF)
                return true;
            if (received < 0) {
                failure = "encoding failed: " + AvError(received);
                return false;
            }
            // Every frame lasts the same; MP4 keeps the last one's length.
            packet->duration = PeriodsPerFrame;
            Av().av_packet_rescale_ts(packet, codec->time_base, stream->time_base);
            packet->stream_index = stream->index;
            const int written = Av().av_interleaved_write_frame(format, packet);
            if (written < 0) {
                failure = "writing failed: " + AvError(written);
                return false;
            }
        }
    }

    void Start() {
        worker = parallel::StartJob([this] { Work(); });
    }

    // Hands a width x height frame over for encoding (its vector is swapped
    // for a free one), once the previous one has been taken; false, with
    // failure set, when a frame before has failed.
    bool Hand(std::vector<uint32_t>& pixels, int index, std::string& failure) {
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait(lock, [this] { return !waiting || !workerFailure.empty(); });
        if (!workerFailure.empty()) {
            failure = workerFailure;
            return false;
        }
        next.swap(pixels);
        nextIndex = index;
        waiting = true;
        changed.notify_all();
        return true;
    }

    // Ends the encoding job: with finish after the frames handed over
    // are encoded, otherwise after the one being encoded, the rest dropped.
    // False, with failure set, when a frame failed.
    bool Stop(bool finish, std::string* failure = nullptr) {
        if (worker.Valid()) {
            {
                const std::lock_guard<std::mutex> lock(mutex);
                stopping = true;
                if (!finish)
                    waiting = false;
            }
            changed.notify_all();
            worker.Take();
        }
        if (failure)
            *failure = workerFailure;
        return workerFailure.empty();
    }

private:
    parallel::Job<void> worker;
    std::mutex mutex;
    std::condition_variable changed;
    // The frame handed over and not yet taken; the one being encoded.
    std::vector<uint32_t> next, current;
    int nextIndex = 0;
    bool waiting = false, stopping = false;
    std::string workerFailure;

    void Work() {
        for (;;) {
            int index = 0;
            {
                std::unique_lock<std::mutex> lock(mutex);
                changed.wait(lock, [this] { return waiting || stopping; });
                if (!waiting)
                    return;
                current.swap(next);
                index = nextIndex;
                waiting = false;
            }
            changed.notify_all();
            std::string failure;
            if (!Encode(current, index, failure)) {
                const std::lock_guard<std::mutex> lock(mutex);
                workerFailure = failure;
                waiting = false;
                stopping = true;
                changed.notify_all();
                return;
            }
        }
    }

    // Pads, converts and encodes one frame and writes its packets.
    bool Encode(const std::vector<uint32_t>& pixels, int index, std::string& failure) {
        std::vector<uint32_t> padded;
        const bool padding = width != paddedWidth || height != paddedHeight;
        if (padding)
            padded = PadFrame(pixels, width, height, paddedWidth, paddedHeight);
        const std::vector<uint32_t>& picture = padding ? padded : pixels;
        const int result = Av().av_frame_make_writable(frame);
        if (result < 0) {
            failure = AvError(result);
            return false;
        }
        const uint8_t* source[1] = {reinterpret_cast<const uint8_t*>(picture.data())};
        const int sourceStride[1] = {paddedWidth * 4};
        Av().sws_scale(converter, source, sourceStride, 0, paddedHeight, frame->data, frame->linesize);
        frame->pts = static_cast<int64_t>(index) * PeriodsPerFrame;
        const int sent = Av().avcodec_send_frame(codec, frame);
        if (sent < 0) {
            failure = "encoding failed: " + AvError(sent);
            return false;
        }
        return Drain(failure);
    }
};

CVideoWriter::CVideoWriter() = default;

CVideoWriter::~CVideoWriter() {
    Cancel();
}

namespace {
// The last four characters in lower case.
std::string Extension(const std::string& path) {
    std::string extension = path.size() < 4 ? std::string() : path.substr(path.size() - 4);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}
} // namespace

bool CVideoWriter::IsMp4Path(const std::string& path) {
    return Extension(path) == ".mp4";
}

bool CVideoWriter::IsVideoPath(const std::string& path) {
    return Extension(path) == ".avi" || IsMp4Path(path);
}

std::vector<std::string> CVideoWriter::AviEncoders() {
    std::vector<std::string> names;
    if (!LoadFFmpeg())
        return names;
    const AVOutputFormat* avi = Av().av_guess_format("avi", nullptr, nullptr);
    if (!avi)
        return names;
    void* state = nullptr;
    while (const AVCodec* codec = Av().av_codec_iterate(&state))
        if (Av().av_codec_is_encoder(codec) && codec->type == AVMEDIA_TYPE_VIDEO &&
            !(codec->capabilities & AV_CODEC_CAP_EXPERIMENTAL) &&
            Av().avformat_query_codec(avi, codec->id, FF_COMPLIANCE_NORMAL) == 1)
            names.emplace_back(codec->name);
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

bool CVideoWriter::IsOpen() const {
    return encoder != nullptr;
}

void ShowVideoError() {
    ShowCaptionedMessage(MessageId::VideoErrorCaption, MessageId::VideoError, MessageIcon::Error);
}

bool CVideoWriter::Fail(const std::string& what) {
    error = what;
    Cancel();
    if (showMessages)
        ShowVideoError();
    return false;
}

bool CVideoWriter::Open(const std::string& target, int w, int h, const std::string& requested) {
    Cancel();
    error.clear();
    path = target;
    width = w;
    height = h;
    lastIndex = -1;
    std::string unloaded;
    if (!LoadFFmpeg(&unloaded))
        return Fail(unloaded);
    // Failures are told through Error(); FFmpeg's own chatter stays quiet.
    Av().av_log_set_level(AV_LOG_ERROR);
    if (w < 1 || h < 1)
        return Fail("the frame size is empty");
    const bool mp4 = IsMp4Path(target);
    codecName = !requested.empty() ? requested : mp4 ? Mp4Codec : DefaultAviCodec;
    const AVCodec* found = Av().avcodec_find_encoder_by_name(codecName.c_str());
    if (!found || found->type != AVMEDIA_TYPE_VIDEO)
        return Fail("there is no video encoder " + codecName);

    encoder = std::make_unique<Encoder>();
    Encoder& e = *encoder;
    e.mp4 = mp4;
    int result = Av().avformat_alloc_output_context2(&e.format, nullptr, mp4 ? "mp4" : "avi", nullptr);
    if (result < 0 || !e.format)
        return Fail("no " + std::string(mp4 ? "MP4" : "AVI") + " muxer: " + AvError(result));
    if (Av().avformat_query_codec(e.format->oformat, found->id, FF_COMPLIANCE_NORMAL) != 1)
        return Fail(codecName + " cannot be put into this container");

    result = e.OpenCodec(*found, w, h);
    paddedWidth = e.paddedWidth;
    paddedHeight = e.paddedHeight;
    if (!e.codec)
        return Fail("out of memory");
    if (result < 0)
        return Fail(codecName + " refuses the frames: " + AvError(result));

    e.stream = Av().avformat_new_stream(e.format, nullptr);
    if (!e.stream)
        return Fail("out of memory");
    e.stream->time_base = e.codec->time_base;
    e.stream->avg_frame_rate = e.codec->framerate;
    e.stream->sample_aspect_ratio = e.codec->sample_aspect_ratio;
    result = Av().avcodec_parameters_from_context(e.stream->codecpar, e.codec);
    if (result < 0)
        return Fail(AvError(result));

    std::string failure;
    if (!e.OpenOutput(target, failure))
        return Fail(failure);
    result = Av().avformat_write_header(e.format, nullptr);
    if (result < 0)
        return Fail("the header cannot be written: " + AvError(result));
    e.headerWritten = true;

    const std::string unmade = e.MakeFrames();
    if (!unmade.empty())
        return Fail(unmade);
    e.width = width;
    e.height = height;
    e.Start();
    return true;
}

bool CVideoWriter::AddFrame(const Rgb32View& doubleSize, int index) {
    if (!encoder)
        return false;
    if (doubleSize.width / 2 != width || doubleSize.height / 2 != height)
        return Fail("a frame of the wrong size");
    HalveFrame(doubleSize, spare);
    return Encode(spare, index);
}

bool CVideoWriter::AddFinalFrame(const Rgb32View& frame, int index) {
    if (!encoder)
        return false;
    if (frame.width != width || frame.height != height)
        return Fail("a frame of the wrong size");
    spare.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
    const auto* bytes = reinterpret_cast<const unsigned char*>(frame.pixels);
    for (int y = 0; y < height; ++y) {
        const auto* row =
            reinterpret_cast<const uint32_t*>(bytes + static_cast<size_t>(y) * frame.strideBytes);
        std::copy(row, row + width, spare.begin() + static_cast<std::ptrdiff_t>(y) * width);
    }
    return Encode(spare, index);
}

bool CVideoWriter::Encode(std::vector<uint32_t>& pixels, int index) {
    if (index <= lastIndex)
        return Fail("frames out of order");
    std::string failure;
    if (!encoder->Hand(pixels, index, failure))
        return Fail(failure);
    lastIndex = index;
    return true;
}

bool CVideoWriter::Finish() {
    if (!encoder)
        return false;
    Encoder& e = *encoder;
    std::string failure;
    if (!e.Stop(true, &failure))
        return Fail(failure);
    int result = Av().avcodec_send_frame(e.codec, nullptr);
    if (result < 0 || !e.Drain(failure))
        return Fail(failure.empty() ? "flushing failed: " + AvError(result) : failure);
    if (!e.mp4 && lastIndex >= 0) {
        // AVI counts periods by chunks: an empty one at the last period lets
        // the last frame stand for its full ten, as every other does.
        e.packet->data = nullptr;
        e.packet->size = 0;
        e.packet->pts = e.packet->dts = static_cast<int64_t>(lastIndex + 1) * PeriodsPerFrame - 1;
        e.packet->duration = 1;
        e.packet->flags = 0;
        e.packet->stream_index = e.stream->index;
        Av().av_packet_rescale_ts(e.packet, e.codec->time_base, e.stream->time_base);
        result = Av().av_interleaved_write_frame(e.format, e.packet);
        if (result < 0)
            return Fail("writing failed: " + AvError(result));
    }
    result = Av().av_write_trailer(e.format);
    if (result < 0)
        return Fail("the index cannot be written: " + AvError(result));
    errno = 0;
    if (!e.FlushOutput() || !e.file->Commit())
        return Fail(path + " cannot be written" +
                    (errno != 0 ? ": " + std::string(std::strerror(errno)) : ""));
    encoder.reset();
    return true;
}

void CVideoWriter::Cancel() {
    // The temporary file goes with the encoder.
    encoder.reset();
}

} // namespace quillmere
