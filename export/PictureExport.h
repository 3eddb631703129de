// The arithmetic and file-name rules of the scene pictures, without Qt: the
// printed image's size and place on the page, the image file types and the
// rules a typed file name follows.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace quillmere {

// The picture sizes the options dialog and the batch tool accept.
constexpr int MinPictureSize = 100;
constexpr int MaxPictureSize = 20000;
constexpr int DefaultPictureWidth = 640;
constexpr int DefaultPictureHeight = 480;

// The scene image on a printed page, in printer pixels.
struct PrintedImageBox {
    int left = 0, top = 0, width = 0, height = 0;
};

// The image box of a page of pageWidth x pageHeight millimetres and
// resolutionX x resolutionY printer pixels: 95 % of the page, 4:3 when it
// fits, centred.
PrintedImageBox PrintedImageLayout(int pageWidthMm, int pageHeightMm, int resolutionX, int resolutionY);

// The destination size of the image on the page, corrected for printer
// pixels that are not square (logical pixels per inch either way).
PrintedImageBox CorrectPixelAspect(PrintedImageBox box, double dpiX, double dpiY);

// One file type of the save dialog: its name and extensions (lower case,
// with the dot, the first the one appended) and the writer format.
struct ImageFileType {
    std::string name;
    std::string format;
    std::vector<std::string> extensions;
    // "PNG (*.png)"
    std::string Filter() const;
};

// The image formats a picture is never saved in: icons and metafiles.
bool ExcludedImageFormat(const std::string& format);

// The save dialog's types from the writer's format names (aliases such as
// jpg and jpeg become one type), excluded formats left out, in the order of
// the first alias.
std::vector<ImageFileType> PictureFileTypes(const std::vector<std::string>& formats);

// The name a typed name becomes: with no extension, a trailing "." dropped
// and the chosen type's first extension appended (".jpg" without a type).
std::string PictureFileName(const std::string& typed, const ImageFileType* chosen);

// The type whose extension the name ends in (case ignored); null when none.
const ImageFileType* PictureTypeOf(const std::string& fileName, const std::vector<ImageFileType>& types);

// The name offered first: the document's title without its extension.
std::string DefaultPictureName(const std::string& title);

bool ValidPictureSize(long long pixels);
// "WxH" (or "W*H", "WXH") with both in range; nullopt otherwise.
std::optional<std::pair<int, int>> ParsePictureSize(const std::string& text);

} // namespace quillmere
