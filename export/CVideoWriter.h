// A video file written frame by frame: AVI with any encoder this FFmpeg can
// put into it (msvideo1 by default), or MP4 with H.264. Each record is shown
// for ten periods of a 50 Hz clock, 0.2 s. The file grows under a temporary
// name in the target folder, created anew with a unique name, and takes its
// name only when it is complete (through CAtomicFile), so a cancelled or
// failed video leaves nothing under the chosen name.
#pragma once

#include "export/VideoFrames.h"

#include <memory>
#include <string>
#include <vector>

namespace quillmere {

namespace videotexts {
inline const char* const ProgressCaption = "Quillmere progress"; // 471
inline const char* const CreatingVideo = "Creating video file";  // 493
inline const char* const ErrorCaption = "Error";                 // 431
} // namespace videotexts

// The failure of a video: message 446 under its caption 447.
void ShowVideoError();

class CVideoWriter {
public:
    static constexpr const char* DefaultAviCodec = "msvideo1";
    static constexpr const char* Mp4Codec = "libx264";
    // Clock periods per second, and periods each frame is shown for.
    static constexpr int PeriodsPerSecond = 50;
    static constexpr int PeriodsPerFrame = 10;

    CVideoWriter();
    // Cancels a video that was not finished.
    ~CVideoWriter();
    CVideoWriter(const CVideoWriter&) = delete;
    CVideoWriter& operator=(const CVideoWriter&) = delete;

    // Starts a video of width x height frames (before padding). A path ending
    // in ".mp4" (any case) gives MP4 with H.264, anything else AVI; an empty
    // codec takes the container's default. On failure the message 446 has
    // been shown and Error() says what FFmpeg refused.
    bool Open(const std::string& path, int width, int height, const std::string& codec = std::string());
    // Adds frame index (0, 1, ...; increasing) from a picture drawn at twice
    // the size: it is halved by 2 x 2 box averaging, padded and encoded. On
    // failure the video is cancelled after message 446. The frame is encoded
    // on a thread of its own while the caller draws the next, so a failure
    // to encode or write it shows at the next frame or at Finish.
    bool AddFrame(const Rgb32View& doubleSize, int index);
    // The same with a frame already at the video's size.
    bool AddFinalFrame(const Rgb32View& frame, int index);
    // Flushes the encoder, closes the file and gives it its name; false, after
    // message 446, when that fails (nothing is left under the name then).
    bool Finish();
    // Drops the video: the temporary file goes, the chosen name is untouched.
    void Cancel();

    bool IsOpen() const;
    int Width() const { return width; }
    int Height() const { return height; }
    // The size the encoder gets: rounded up to the multiple it needs.
    int PaddedWidth() const { return paddedWidth; }
    int PaddedHeight() const { return paddedHeight; }
    const std::string& CodecName() const { return codecName; }
    const std::string& Error() const { return error; }
    // Shows message 446 on failures (on by default); the batch tool adds
    // its own line with Error().
    void SetShowMessages(bool show) { showMessages = show; }

    // The video encoders this FFmpeg can put into an AVI file, by name,
    // sorted, for "Select codec".
    static std::vector<std::string> AviEncoders();
    // Whether the path asks for MP4.
    static bool IsMp4Path(const std::string& path);
    // Whether the path ends in an extension written here: ".avi" or ".mp4",
    // any case.
    static bool IsVideoPath(const std::string& path);

    class Encoder;

private:
    bool Fail(const std::string& what);
    // Hands the frame (its vector is taken) to the encoding thread.
    bool Encode(std::vector<uint32_t>& pixels, int index);

    std::unique_ptr<Encoder> encoder;
    // The buffer the next frame is halved into; frames handed over come
    // back here once encoded.
    std::vector<uint32_t> spare;
    std::string path, codecName, error;
    int width = 0, height = 0, paddedWidth = 0, paddedHeight = 0;
    int lastIndex = -1;
    bool showMessages = true;
};

} // namespace quillmere
