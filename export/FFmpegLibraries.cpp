#include "export/FFmpegLibraries.h"

#include <dlfcn.h>

namespace quillmere {

const FFmpegFunctions* LoadFFmpeg(std::string* failure) {
    static std::string why;
    static const FFmpegFunctions* const loaded = []() -> const FFmpegFunctions* {
        static FFmpegFunctions functions;
        // dlerror is null when nothing failed, as for a symbol found null.
        const auto lastError = [] {
            const char* text = ::dlerror();
            return std::string(text ? text : "a function is missing");
        };
        const auto open = [](const char* name) { return ::dlopen(name, RTLD_NOW | RTLD_LOCAL); };
        void* const avutil = open("libavutil.so." AV_STRINGIFY(LIBAVUTIL_VERSION_MAJOR));
        void* const swscale =
            avutil ? open("libswscale.so." AV_STRINGIFY(LIBSWSCALE_VERSION_MAJOR)) : nullptr;
        void* const avcodec =
            swscale ? open("libavcodec.so." AV_STRINGIFY(LIBAVCODEC_VERSION_MAJOR)) : nullptr;
        void* const avformat =
            avcodec ? open("libavformat.so." AV_STRINGIFY(LIBAVFORMAT_VERSION_MAJOR)) : nullptr;
        if (!avformat) {
            why = lastError();
            return nullptr;
        }
#define QUILLMERE_FFMPEG_FIND(library, name)                                                                 \
    functions.name = reinterpret_cast<decltype(functions.name)>(::dlsym(library, #name));                    \
    if (!functions.name) {                                                                                   \
        why = lastError();                                                                                   \
        return nullptr;                                                                                      \
    }
        QUILLMERE_FFMPEG_FUNCTIONS(QUILLMERE_FFMPEG_FIND)
#undef QUILLMERE_FFMPEG_FIND
        return &functions;
    }();
    if (!loaded && failure)
        *failure = "FFmpeg cannot be loaded: " + why;
    return loaded;
}

const FFmpegFunctions& Av() {
    return *LoadFFmpeg();
}

std::string AvError(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    Av().av_strerror(code, text, sizeof text);
    return text;
}

} // namespace quillmere
