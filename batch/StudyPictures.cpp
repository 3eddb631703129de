#include "batch/StudyPictures.h"

#include "batch/BatchTool.h"
#include "batch/OffscreenScene.h"
#include "batch/RenderCommand.h"
#include "batch/Study.h"
#include "config/CConfiguration.h"
#include "core/Messages.h"
#include "core/TextFormat.h"
#include "model/CProjectProfile.h"
#include "render/PictureFile.h"
#include "scale/ResultQuantity.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

void Fail(const std::string& text) {
    ShowMessage("quillmere-batch: " + text, MessageIcon::Error);
}

// Round steps of 1, 2 or 5 times a power of ten, about count of them over
// the range.
double AxisStep(double range, int count) {
    const double rough = range / count;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    for (double factor : {1.0, 2.0, 5.0})
        if (factor * power >= rough)
            return factor * power;
    return 10 * power;
}

} // namespace

bool WriteStudyPictures(const StudyList& list, const std::vector<size_t>& positions,
                        const std::vector<StudyRow>& rows, const std::vector<std::string>& names,
                        const std::string& folder, const std::string& configurationPath, bool usCustomary,
                        std::vector<std::string>& pictures) {
    CConfiguration configuration(configurationPath);
    configuration.SetSIMetric(!usCustomary);
    pictures.assign(rows.size(), std::string());
    bool complete = true;
    for (size_t i = 0; i < rows.size(); ++i) {
        if (!rows[i].ok)
            continue;
        CProjectProfile project;
        if (!project.Open(list.paths[positions[i]], nullptr) ||
            (rows[i].record != project.CurrentRecord() && !project.GoToRecord(rows[i].record))) {
            complete = false;
            continue;
        }
        RenderArguments arguments;
        const std::string picture = names[positions[i]] + ".png";
        arguments.output = folder + "/" + picture;
        if (RenderProject(arguments, project, configuration, ThicknessQuantity) == BatchSuccess)
            pictures[i] = picture;
        else
            complete = false;
    }
    return complete;
}

bool WriteStudyChart(const std::vector<StudyRow>& rows, const std::string& file, bool usCustomary) {
    EnsureOffscreenApplication();
    double low = 0, high = 0;
    bool any = false;
    for (const StudyRow& row : rows)
        if (row.ok) {
            low = any ? std::min(low, row.thicknessMinimum) : row.thicknessMinimum;
            high = any ? std::max(high, row.thicknessMaximum) : row.thicknessMaximum;
            any = true;
        }
    if (!any || high <= low) {
        low = any ? low - 1 : 0;
        high = any ? high + 1 : 1;
    }
    const double step = AxisStep(high - low, 5);
    low = std::floor(low / step) * step;
    high = std::ceil(high / step) * step;

    const int count = std::max(1, static_cast<int>(rows.size()));
    const int width = std::max(640, 160 + 40 * count), height = 560;
    const int left = 90, right = width - 30, top = 50, bottom = height - 170;
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QFont font = painter.font();
    font.setPixelSize(13);
    painter.setFont(font);
    const QFontMetrics metrics(font);
    const auto y = [&](double value) { return bottom - (value - low) / (high - low) * (bottom - top); };
    const auto x = [&](int index) { return left + (index + 0.5) * (right - left) / count; };

    // The frame, the value grid and the axis labels.
    painter.setPen(QColor(220, 220, 220));
    for (double value = low; value <= high + step / 2; value += step) {
        painter.drawLine(QPointF(left, y(value)), QPointF(right, y(value)));
        const QString label =
            QString::fromStdString(FormatText("%g", std::fabs(value) < step / 1e6 ? 0 : value));
        painter.setPen(Qt::black);
        painter.drawText(QRectF(0, y(value) - 10, left - 8, 20), Qt::AlignRight | Qt::AlignVCenter, label);
        painter.setPen(QColor(220, 220, 220));
    }
    painter.setPen(Qt::black);
    painter.drawRect(QRectF(left, top, right - left, bottom - top));
    painter.drawText(QRectF(0, 10, width, 30), Qt::AlignCenter,
                     QStringLiteral("Thickness per project: minimum, mean and maximum"));
    painter.save();
    painter.translate(20, (top + bottom) / 2.0);
    painter.rotate(-90);
    painter.drawText(QRectF(-150, -12, 300, 24), Qt::AlignCenter,
                     usCustomary ? QStringLiteral("Thickness (in)") : QStringLiteral("Thickness (mm)"));
    painter.restore();
    painter.drawText(QRectF(left, height - 28, right - left, 24), Qt::AlignCenter, QStringLiteral("Project"));

    // One bar per project from its minimum to its maximum, its mean marked.
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
        const StudyRow& row = rows[static_cast<size_t>(i)];
        const double centre = x(i);
        if (row.ok) {
            painter.setPen(QPen(QColor(40, 90, 170), 2));
            painter.drawLine(QPointF(centre, y(row.thicknessMinimum)),
                             QPointF(centre, y(row.thicknessMaximum)));
            painter.drawLine(QPointF(centre - 8, y(row.thicknessMinimum)),
                             QPointF(centre + 8, y(row.thicknessMinimum)));
            painter.drawLine(QPointF(centre - 8, y(row.thicknessMaximum)),
                             QPointF(centre + 8, y(row.thicknessMaximum)));
            painter.setBrush(QColor(200, 60, 40));
            painter.setPen(Qt::NoPen);
            painter.drawEllipse(QPointF(centre, y(row.thicknessMean)), 5, 5);
            painter.setBrush(Qt::NoBrush);
        }
        painter.setPen(Qt::black);
        painter.save();
        painter.translate(centre + 4, bottom + 8);
        painter.rotate(-60);
        const QString name = QString::fromStdString(row.project) + (row.ok ? "" : " (no figures)");
        painter.drawText(QRectF(-160, -10, 160, 20), Qt::AlignRight | Qt::AlignVCenter,
                         metrics.elidedText(name, Qt::ElideLeft, 156));
        painter.restore();
    }
    painter.end();
    std::string error;
    if (!WritePicture(image, file, "png", error)) {
        Fail("cannot write " + file + ": " + error);
        return false;
    }
    return true;
}
