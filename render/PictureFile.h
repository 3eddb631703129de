// Pictures written to disk in the image writer's formats.
#pragma once

#include "export/PictureExport.h"

#include <QImage>

#include <string>
#include <vector>

namespace quillmere {

// The writer's formats as file types, icons and metafiles left out.
std::vector<ImageFileType> WriterPictureTypes();

// Writes image to fileName in format (the type of the extension when
// format is empty), replacing a file of that name only once the whole
// picture is on disk; false with error set, and the old file as it was,
// when it cannot.
bool WritePicture(const QImage& image, const std::string& fileName, const std::string& format,
                  std::string& error);

} // namespace quillmere
