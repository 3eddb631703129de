// FFmpeg's functions, looked up in its libraries when the first video needs
// them.
#pragma once

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/error.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

#include <string>

namespace quillmere {

// FFmpeg's functions come from its libraries loaded with the first video,
// not with the program: they bring some hundred libraries of their own,
// whose loading would cost every run of a program tens of milliseconds.
#define QUILLMERE_FFMPEG_FUNCTIONS(X)                                                                        \
    X(avutil, av_dict_free)                                                                                  \
    X(avutil, av_dict_set)                                                                                   \
    X(avutil, av_frame_alloc)                                                                                \
    X(avutil, av_frame_free)                                                                                 \
    X(avutil, av_frame_get_buffer)                                                                           \
    X(avutil, av_frame_make_writable)                                                                        \
    X(avutil, av_free)                                                                                       \
    X(avutil, av_freep)                                                                                      \
    X(avutil, av_get_pix_fmt_name)                                                                           \
    X(avutil, av_log_set_level)                                                                              \
    X(avutil, av_malloc)                                                                                     \
    X(avutil, av_pix_fmt_get_chroma_sub_sample)                                                              \
    X(avutil, av_strerror)                                                                                   \
    X(swscale, sws_freeContext)                                                                              \
    X(swscale, sws_getContext)                                                                               \
    X(swscale, sws_scale)                                                                                    \
    X(avcodec, av_codec_is_encoder)                                                                          \
    X(avcodec, av_codec_iterate)                                                                             \
    X(avcodec, av_packet_alloc)                                                                              \
    X(avcodec, av_packet_free)                                                                               \
    X(avcodec, av_packet_rescale_ts)                                                                         \
    X(avcodec, avcodec_alloc_context3)                                                                       \
    X(avcodec, avcodec_find_encoder_by_name)                                                                 \
    X(avcodec, avcodec_free_context)                                                                         \
    X(avcodec, avcodec_open2)                                                                                \
    X(avcodec, avcodec_parameters_from_context)                                                              \
    X(avcodec, avcodec_receive_packet)                                                                       \
    X(avcodec, avcodec_send_frame)                                                                           \
    X(avformat, av_guess_format)                                                                             \
    X(avformat, av_interleaved_write_frame)                                                                  \
    X(avformat, av_write_trailer)                                                                            \
    X(avformat, avformat_alloc_output_context2)                                                              \
    X(avformat, avformat_free_context)                                                                       \
    X(avformat, avformat_new_stream)                                                                         \
    X(avformat, avformat_query_codec)                                                                        \
    X(avformat, avformat_write_header)                                                                       \
    X(avformat, avio_alloc_context)                                                                          \
    X(avformat, avio_context_free)                                                                           \
    X(avformat, avio_flush)

struct FFmpegFunctions {
#define QUILLMERE_FFMPEG_POINTER(library, name) decltype(&::name) name = nullptr;
    QUILLMERE_FFMPEG_FUNCTIONS(QUILLMERE_FFMPEG_POINTER)
#undef QUILLMERE_FFMPEG_POINTER
};

// Loads FFmpeg once for the process, its libraries by the names of the
// versions this was built with; null, with why in failure, when a library or
// one of its functions cannot be found.
const FFmpegFunctions* LoadFFmpeg(std::string* failure = nullptr);

// FFmpeg once a video's Open or AviEncoders has loaded it.
const FFmpegFunctions& Av();

// FFmpeg's words for an error code.
std::string AvError(int code);

} // namespace quillmere
