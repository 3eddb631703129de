// The pictures of the splash window (501 x 211) and the about box
// (502 x 211), drawn by the program.
#pragma once

#include <QImage>

namespace quillmere {

QImage SplashImage();
QImage AboutImage();

} // namespace quillmere
