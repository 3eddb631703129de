#include "render/PictureFile.h"

#include "core/AtomicFile.h"

#include <QBuffer>
#include <QImageWriter>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace quillmere {

std::vector<ImageFileType> WriterPictureTypes() {
    std::vector<std::string> formats;
    for (const QByteArray& format : QImageWriter::supportedImageFormats())
        formats.push_back(format.toLower().toStdString());
    return PictureFileTypes(formats);
}

bool WritePicture(const QImage& image, const std::string& fileName, const std::string& format,
                  std::string& error) {
    std::string chosen = format;
    if (chosen.empty()) {
        const std::vector<ImageFileType> types = WriterPictureTypes();
        const ImageFileType* type = PictureTypeOf(fileName, types);
        if (!type) {
            error = "no image format for the extension of " + fileName;
            return false;
        }
        chosen = type->format;
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, QByteArray::fromStdString(chosen));
    if (!writer.write(image)) {
        error = writer.errorString().toStdString();
        return false;
    }
    errno = 0;
    // A unique name beside the picture, never one of the user's files.
    const std::filesystem::path target(fileName);
    const std::string temporary =
        (target.parent_path() / ("." + target.filename().string() + ".XXXXXX")).string();
    if (!ReplaceFileContent(fileName, temporary, bytes.toStdString())) {
        error = "cannot write " + fileName + (errno != 0 ? std::string(": ") + std::strerror(errno) : "");
        return false;
    }
    return true;
}

} // namespace quillmere
