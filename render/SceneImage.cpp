#include "render/SceneImage.h"

#include "core/Messages.h"
#include "model/CProjectProfile.h"
#include "render/CScene.h"
#include "scale/Comparison.h"
#include "scale/MinimumWall.h"
#include "session/CSession.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <atomic>
#include <cstdio>

namespace quillmere {

namespace {
std::atomic<int> forcedLimit{0};
std::atomic<SceneImageFault> forcedFault{SceneImageFault::None};

// Font pixel height of the annotations: readable on a small image, in
// proportion on a large one.
int AnnotationFontSize(const QImage& image) {
    return std::max(11, std::min(image.width(), image.height()) / 40);
}

QFont AnnotationFont(int pixels) {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(pixels);
    return font;
}
// The markers' scale at the lower left: its title, then a short bar with the
// labels of its ends and middle to its right, on a white ground.
void DrawMeasurementScale(QPainter& painter, const QImage& image, const MeasurementScale& scale,
                          const QFontMetrics& metrics) {
    const int margin = 10;
    const int barWidth = std::max(10, image.width() / 60);
    const int barHeight = std::max(3 * (metrics.height() + 2), image.height() / 6);
    const int barTop = image.height() - margin - barHeight;
    const int titleTop = barTop - metrics.height() - 4;
    if (titleTop < margin + 2 * metrics.height())
        return;
    const QString title = QString::fromStdString(scale.title);
    int labelsWidth = 0;
    for (size_t k = 0; k < scale.labels.size(); k += 2)
        labelsWidth =
            std::max(labelsWidth, metrics.horizontalAdvance(QString::fromStdString(scale.labels[k])));
    QRect ground(margin - 3, titleTop - 2,
                 std::max(metrics.horizontalAdvance(title), barWidth + 6 + labelsWidth) + 6,
                 image.height() - margin - titleTop + 5);
    painter.fillRect(ground, Qt::white);
    painter.setPen(Qt::black);
    painter.drawText(QPoint(margin, titleTop + metrics.ascent()), title);
    const QRect bar(margin, barTop, barWidth, barHeight);
    painter.drawImage(bar, SceneColourBar(scale.bands, barWidth, barHeight));
    painter.drawRect(bar.adjusted(0, 0, -1, -1));
    for (size_t k = 0; k < scale.labels.size(); k += 2) {
        const int y = barTop + static_cast<int>(k) * (barHeight - 1) / 4;
        painter.drawLine(bar.right() + 1, y, bar.right() + 3, y);
        painter.drawText(
            QPoint(bar.right() + 6, std::clamp(y + metrics.ascent() / 2, barTop + metrics.ascent() - 2,
                                               barTop + barHeight + 2)),
            QString::fromStdString(scale.labels[k]));
    }
}
// The caption at the upper left on a ground of its own.
void DrawCaption(QPainter& painter, const SceneAnnotations& annotations, const SceneImageOptions& options,
                 const QFontMetrics& metrics) {
    const int margin = 10;
    const QString text =
        QString::fromStdString(SceneCaption(annotations.title, annotations.record, annotations.recordCount));
    QRect box = metrics.boundingRect(text);
    box.moveTopLeft(QPoint(margin, margin));
    box.adjust(-2, -1, 2, 1);
    painter.fillRect(box, options.whiteOnBlack ? Qt::black : Qt::white);
    painter.setPen(options.whiteOnBlack ? Qt::white : Qt::black);
    painter.drawText(box, Qt::AlignCenter, text);
}

// The swatch of the minimum wall under the bar, its text to its left as the
// labels stand, above the product name.
void DrawMinimumWall(QPainter& painter, const QImage& image, const std::string& minimumWall, const QRect& bar,
                     const QFontMetrics& metrics) {
    const int margin = 10;
    const int barLeft = bar.left(), barWidth = bar.width();
    const int swatchTop = bar.top() + bar.height() + margin / 2;
    const int swatchHeight = metrics.height();
    if (!minimumWall.empty() && swatchTop + swatchHeight < image.height() - margin - metrics.height()) {
        const QRect swatch(barLeft, swatchTop, barWidth, swatchHeight);
        painter.fillRect(swatch,
                         QColor(MinimumWallColour.red, MinimumWallColour.green, MinimumWallColour.blue));
        painter.drawRect(swatch.adjusted(0, 0, -1, -1));
        const QString text = QString::fromStdString(minimumWall);
        QRect box = metrics.boundingRect(text);
        box.moveRight(barLeft - 6);
        box.moveTop(swatchTop + (swatchHeight - box.height()) / 2);
        box.adjust(-2, 0, 2, 0);
        painter.fillRect(box, Qt::white);
        painter.drawText(box, Qt::AlignCenter, text);
    }
}

// The bar at the right edge, a third of the height, below the caption row;
// its labels to its left on a white ground, the minimum wall under it.
void DrawColourScale(QPainter& painter, const QImage& image, const SceneAnnotations& annotations,
                     const QFontMetrics& metrics) {
    const int margin = 10;
    const int barWidth = std::max(12, image.width() / 50);
    const int barHeight = std::max(5 * (metrics.height() + 2), image.height() / 3);
    const int barLeft = image.width() - margin - barWidth;
    const int barTop = margin + metrics.height() + margin;
    if (barTop + barHeight >= image.height() - margin - metrics.height())
        return;
    painter.drawImage(QRect(barLeft, barTop, barWidth, barHeight),
                      SceneColourBar(annotations.bands, barWidth, barHeight));
    painter.setPen(Qt::black);
    painter.drawRect(QRect(barLeft, barTop, barWidth, barHeight).adjusted(0, 0, -1, -1));
    for (int k = 0; k < 5; ++k) {
        const QString text = QString::fromStdString(annotations.scaleLabels[static_cast<size_t>(k)]);
        if (text.trimmed().isEmpty())
            continue;
        const int y = barTop + k * (barHeight - 1) / 4;
        QRect box = metrics.boundingRect(text);
        box.moveRight(barLeft - 6);
        box.moveTop(std::clamp(y - box.height() / 2, 0, image.height() - box.height()));
        box.adjust(-2, 0, 2, 0);
        painter.fillRect(box, Qt::white);
        painter.drawText(box, Qt::AlignCenter, text);
        painter.drawLine(barLeft - 4, y, barLeft - 1, y);
    }
    DrawMinimumWall(painter, image, annotations.minimumWall, QRect(barLeft, barTop, barWidth, barHeight),
                    metrics);
}

// The solid 2-pixel frame around the scene.
void DrawImageFrame(QPainter& painter, const QImage& image) {
    QPen frame(Qt::black);
    frame.setWidth(2);
    frame.setJoinStyle(Qt::MiterJoin);
    painter.setPen(frame);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(1, 1, image.width() - 2, image.height() - 2));
}
} // namespace

std::string SceneCaption(const std::string& title, int record, int recordCount) {
    const int size = std::snprintf(nullptr, 0, "%s: Rec. %d / %d.", title.c_str(), record, recordCount);
    std::string text(static_cast<size_t>(std::max(size, 0)) + 1, '\0');
    std::snprintf(text.data(), text.size(), "%s: Rec. %d / %d.", title.c_str(), record, recordCount);
    text.resize(text.size() - 1);
    return text;
}

void ReportSceneImageFault(SceneImageFault fault) {
    ShowMessage(fault == SceneImageFault::PixelFormat ? MessageId::PixelFormatError
                                                      : MessageId::GraphicalInitialisationFailed,
                MessageIcon::Error);
}

void ForceSceneImageFault(SceneImageFault fault) {
    forcedFault.store(fault);
}

int ForcedTileLimit() {
    return forcedLimit.load();
}

void ForceTileLimit(int limit) {
    forcedLimit.store(std::max(limit, 0));
}

QImage RenderInTiles(int w, int h, int limit, const std::function<QImage(const FrameTile&)>& renderTile) {
    if (w < 1 || h < 1 || limit < 1)
        return QImage();
    if (w <= limit && h <= limit) {
        const QImage whole = renderTile(FrameTile{0, 0, w, h});
        return whole.isNull() ? QImage() : whole;
    }
    QImage image(w, h, QImage::Format_RGB32);
    if (image.isNull())
        return image;
    QPainter painter(&image);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    for (int bottom = 0; bottom < h; bottom += limit)
        for (int left = 0; left < w; left += limit) {
            const FrameTile tile{left, bottom, std::min(limit, w - left), std::min(limit, h - bottom)};
            const QImage part = renderTile(tile);
            if (part.isNull() || part.width() != tile.width || part.height() != tile.height)
                return QImage();
            // The tile's images are top-down; its bottom row is counted from
            // the frame's lower edge.
            painter.drawImage(tile.left, h - tile.bottom - tile.height, part);
        }
    return image;
}

QImage SceneColourBar(const std::array<RgbColour, ColourRamp::Size>& bands, int w, int h) {
    QImage image(std::max(w, 1), std::max(h, 1), QImage::Format_RGB32);
    for (int row = 0; row < image.height(); ++row) {
        const int band = std::min(row * ColourRamp::Size / image.height(), ColourRamp::LastIndex);
        const RgbColour c = bands[static_cast<size_t>(band)];
        const QRgb rgb = qRgb(c.red, c.green, c.blue);
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(row));
        std::fill(line, line + image.width(), rgb);
    }
    return image;
}

void AnnotateSceneImage(QImage& image, const SceneAnnotations& annotations,
                        const SceneImageOptions& options) {
    if (image.isNull())
        return;
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const int size = AnnotationFontSize(image);
    const QFont font = AnnotationFont(size);
    painter.setFont(font);
    const QFontMetrics metrics(font);
    const int margin = 10;

    if (options.caption)
        DrawCaption(painter, annotations, options, metrics);

    // The product name, right and bottom aligned 10 pixels from the edges.
    painter.setPen(QColor(0, 128, 255));
    painter.drawText(QRect(0, 0, image.width() - margin, image.height() - margin),
                     Qt::AlignRight | Qt::AlignBottom, QStringLiteral("Quillmere"));

    if (options.colourScale)
        DrawColourScale(painter, image, annotations, metrics);

    if (options.colourScale && annotations.measured)
        DrawMeasurementScale(painter, image, annotations.measurementScale, metrics);

    DrawImageFrame(painter, image);
}

QImage RenderSceneFrame(CScene& scene, int w, int h) {
    const int limit = ForcedTileLimit() > 0 ? ForcedTileLimit() : scene.MaxFrameSize();
    return RenderInTiles(w, h, limit, [&](const FrameTile& tile) {
        return scene.RenderTile(w, h, tile.left, tile.bottom, tile.width, tile.height);
    });
}

SceneAnnotations SceneAnnotationsOf(const CScene& scene, int record) {
    SceneAnnotations annotations;
    const Presentation& shown = scene.Presented();
    annotations.bands = shown.bands;
    if (const CProjectProfile* project = scene.Project()) {
        const CComparison* comparison = scene.Comparison().get();
        annotations.title = comparison ? comparison->Names(record) : project->DisplayName();
        annotations.record = record;
        annotations.recordCount = project->RecordCount();
        annotations.scaleLabels = shown.labels;
        annotations.minimumWall = shown.minimumWall.label;
    }
    const CSession* session = scene.View().Session();
    if (session && session->Measured() && scene.Units()) {
        annotations.measured = true;
        annotations.measurementScale = MarkerScale(*session->Measured(), *scene.Units());
    }
    return annotations;
}

QImage SceneImage(CScene& scene, int record, int w, int h, const SceneImageOptions& options,
                  const CConfiguration& configuration, SceneImageFault* fault) {
    const auto fail = [fault](SceneImageFault why) {
        if (fault)
            *fault = why;
        return QImage();
    };
    if (forcedFault.load() != SceneImageFault::None)
        return fail(forcedFault.load());
    if (w < 1 || h < 1 || w > MaxSceneImageSize || h > MaxSceneImageSize)
        return fail(SceneImageFault::PixelFormat);
    // A window's context is made here when it has none yet.
    if (!scene.Offscreen())
        return fail(SceneImageFault::Context);
    QImage image = RenderSceneFrame(scene, w, h);
    if (image.isNull())
        return fail(SceneImageFault::PixelFormat);
    // The labels of the limits as they are now, in the configuration's
    // units; a window's scene presents in them already, and keeps its own.
    const CConfiguration* kept = scene.SetUnits(&configuration);
    if (options.colourScale)
        scene.UpdatePresentation();
    AnnotateSceneImage(image, SceneAnnotationsOf(scene, record), options);
    scene.SetUnits(kept);
    return image;
}

} // namespace quillmere
