// What every part of a scene's drawing uses in OpenGL 1.1: colours of the
// settings, vertices, buffer objects and lists, and the tile window.
#pragma once

#include "render/FrameState.h"

#include <array>
#include <cstddef>
#include <vector>

namespace quillmere {

struct CCoordinate;

// A colour of the settings as fractions, scaled by factor.
std::array<float, 4> ColourFractions(int colour, float factor, double alpha);
// Sets the current colour to a colour of the settings.
void SetColour(int colour, double alpha);
void SendVertex(const CCoordinate& point);

// Fills a buffer object (made when 0) with bytes; a buffer of the same size
// is overwritten in place rather than made anew.
void UploadBuffer(unsigned& buffer, unsigned target, const void* data, size_t bytes);
template <typename T> void UploadBuffer(unsigned& buffer, unsigned target, const std::vector<T>& data) {
    UploadBuffer(buffer, target, data.data(), data.size() * sizeof(T));
}
void DeleteBuffer(unsigned& buffer);
// Deletes a list (when there is one) and makes a new one in its place.
unsigned ReplaceList(unsigned& list);
void DeleteList(unsigned& list);
// Leaves the vertex, normal and colour arrays and their buffers.
void UnbindArrays();

// Narrows the projection to the frame's tile: the tile's part of the clip
// square is stretched over the whole target, so tiles meet without seams.
void ApplyTileWindow(const FrameState& frame);
// Rows x, y and w of the current projection x model-view; with magnitudes,
// the same rows of the product of their absolute values, the size of what
// the driver sums when it multiplies them in single precision.
void ClipRows(double rows[3][4], double magnitudes[3][4] = nullptr);

} // namespace quillmere
