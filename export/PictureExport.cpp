#include "export/PictureExport.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>

namespace quillmere {

namespace {
std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string Upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

// The extension of the file part, with its dot; "" when there is none.
std::string Extension(const std::string& name) {
    const size_t slash = name.find_last_of("/\\");
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return "";
    return name.substr(dot);
}

// Writer formats that name the same type, the usual extension first.
const std::vector<std::vector<std::string>>& Aliases() {
    static const std::vector<std::vector<std::string>> aliases{{"jpg", "jpeg"}, {"tif", "tiff"}};
    return aliases;
}
} // namespace

PrintedImageBox PrintedImageLayout(int pageWidthMm, int pageHeightMm, int resolutionX, int resolutionY) {
    PrintedImageBox box;
    if (pageWidthMm <= 0 || pageHeightMm <= 0)
        return box;
    const double pw = pageWidthMm, ph = pageHeightMm;
    double width = 0, height = 0;
    if (ph <= pw) {
        height = 0.95 * ph;
        width = 0.95 * ph * 1.3333333333333333;
        if (width > pw)
            width = 0.95 * pw;
    } else {
        width = 0.95 * pw;
        height = 0.95 * pw * 0.75;
        if (height > ph)
            height = 0.95 * ph;
    }
    const int perMmX = resolutionX / pageWidthMm;
    const int perMmY = resolutionY / pageHeightMm;
    box.width = static_cast<int>(width * perMmX);
    box.height = static_cast<int>(height * perMmY);
    box.left = (resolutionX - box.width) / 2;
    box.top = (resolutionY - box.height) / 2;
    return box;
}

PrintedImageBox CorrectPixelAspect(PrintedImageBox box, double dpiX, double dpiY) {
    if (dpiX <= 0 || dpiY <= 0)
        return box;
    const double ratio = dpiX / dpiY;
    if (ratio >= 1)
        box.height = static_cast<int>(box.height / ratio);
    else
        box.width = static_cast<int>(box.width * ratio);
    return box;
}

std::string ImageFileType::Filter() const {
    std::string filter = name + " (";
    for (size_t k = 0; k < extensions.size(); ++k)
        filter += (k ? " *" : "*") + extensions[k];
    return filter + ")";
}

bool ExcludedImageFormat(const std::string& format) {
    const std::string lower = Lower(format);
    return lower == "ico" || lower == "cur" || lower == "icns" || lower == "emf" || lower == "wmf";
}

std::vector<ImageFileType> PictureFileTypes(const std::vector<std::string>& formats) {
    std::vector<ImageFileType> types;
    for (const std::string& given : formats) {
        const std::string format = Lower(given);
        if (format.empty() || ExcludedImageFormat(format))
            continue;
        std::vector<std::string> names{format};
        for (const auto& group : Aliases())
            if (std::find(group.begin(), group.end(), format) != group.end())
                names = group;
        const auto known = std::find_if(types.begin(), types.end(), [&](const ImageFileType& type) {
            return std::find(type.extensions.begin(), type.extensions.end(), "." + names.front()) !=
                   type.extensions.end();
        });
        if (known != types.end())
            continue;
        ImageFileType type;
        type.format = format;
        type.name = Upper(names.back());
        for (const std::string& name : names)
            type.extensions.push_back("." + name);
        types.push_back(type);
    }
    return types;
}

std::string PictureFileName(const std::string& typed, const ImageFileType* chosen) {
    std::string name = typed;
    if (!name.empty() && name.back() == '.')
        name.pop_back();
    else if (!Extension(name).empty())
        return name;
    if (chosen && !chosen->extensions.empty())
        return name + Lower(chosen->extensions.front());
    return name + ".jpg";
}

const ImageFileType* PictureTypeOf(const std::string& fileName, const std::vector<ImageFileType>& types) {
    const std::string extension = Lower(Extension(fileName));
    if (extension.size() < 2)
        return nullptr;
    for (const ImageFileType& type : types)
        if (std::find(type.extensions.begin(), type.extensions.end(), extension) != type.extensions.end())
            return &type;
    return nullptr;
}

std::string DefaultPictureName(const std::string& title) {
    const std::string extension = Extension(title);
    return extension.empty() ? title : title.substr(0, title.size() - extension.size());
}

bool ValidPictureSize(long long pixels) {
    return pixels >= MinPictureSize && pixels <= MaxPictureSize;
}

std::optional<std::pair<int, int>> ParsePictureSize(const std::string& text) {
    const size_t cross = text.find_first_of("xX*");
    if (cross == std::string::npos || cross == 0 || cross + 1 >= text.size())
        return std::nullopt;
    auto number = [](const std::string& part) -> std::optional<long long> {
        if (part.empty() ||
            !std::all_of(part.begin(), part.end(), [](unsigned char c) { return std::isdigit(c); }))
            return std::nullopt;
        if (part.size() > 9)
            return std::nullopt;
        return std::stoll(part);
    };
    const auto w = number(text.substr(0, cross));
    const auto h = number(text.substr(cross + 1));
    if (!w || !h || !ValidPictureSize(*w) || !ValidPictureSize(*h))
        return std::nullopt;
    return std::make_pair(static_cast<int>(*w), static_cast<int>(*h));
}

} // namespace quillmere
