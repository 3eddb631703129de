#include "batch/StudyPictures.h"

#include "batch/BatchOutput.h"
#include "batch/OffscreenScene.h"
#include "batch/RenderCommand.h"
#include "batch/Study.h"
#include "config/CConfiguration.h"
#include "core/TextFormat.h"
#include "render/PictureFile.h"
#include "scale/ResultQuantity.h"
#include "session/CSession.h"
#include "session/CSessionView.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace quillmere {

namespace {

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
                        std::vector<std::string>& pictures, double minimumWall) {
    CConfiguration configuration(configurationPath);
    configuration.SetSIMetric(!usCustomary);
    pictures.assign(rows.size(), std::string());
    bool complete = true;
    for (size_t i = 0; i < rows.size(); ++i) {
        if (!rows[i].ok)
            continue;
        CSession session;
        if (!session.Open(list.paths[positions[i]], nullptr) || !session.ShowRecord(rows[i].record)) {
            complete = false;
            continue;
        }
        CSessionView shown(&session);
        RenderArguments arguments;
        const std::string picture = names[positions[i]] + ".png";
        arguments.output = folder + "/" + picture;
        arguments.minimumWall = minimumWall > 0 ? configuration.LengthFromDisplay(minimumWall) / 1000 : 0;
        if (RenderProject(arguments, shown, configuration, ResultQuantity::Thickness) == BatchSuccess)
            pictures[i] = picture;
        else
            complete = false;
    }
    return complete;
}

namespace {

// Where the chart draws: its size, the plot's edges, and the thickness axis
// in round steps.
struct ChartPlot {
    int count = 1; // the bars
    int width = 640, height = 560;
    int left = 90, right = 0, top = 50, bottom = 0;
    double low = 0, high = 1, step = 1;

    double Y(double value) const { return bottom - (value - low) / (high - low) * (bottom - top); }
    double X(int index) const { return left + (index + 0.5) * (right - left) / count; }
};

ChartPlot PlotOf(const std::vector<StudyRow>& rows) {
    ChartPlot plot;
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
    plot.step = AxisStep(high - low, 5);
    plot.low = std::floor(low / plot.step) * plot.step;
    plot.high = std::ceil(high / plot.step) * plot.step;
    plot.count = std::max(1, static_cast<int>(rows.size()));
    plot.width = std::max(640, 160 + 40 * plot.count);
    plot.right = plot.width - 30;
    plot.bottom = plot.height - 170;
    return plot;
}

// The frame, the value grid, the axis labels and the titles.
void DrawChartFrame(QPainter& painter, const ChartPlot& plot, bool usCustomary) {
    const int left = plot.left, right = plot.right, top = plot.top, bottom = plot.bottom;
    painter.setPen(QColor(220, 220, 220));
    for (double value = plot.low; value <= plot.high + plot.step / 2; value += plot.step) {
        painter.drawLine(QPointF(left, plot.Y(value)), QPointF(right, plot.Y(value)));
        const QString label =
            QString::fromStdString(FormatText("%g", std::fabs(value) < plot.step / 1e6 ? 0 : value));
        painter.setPen(Qt::black);
        painter.drawText(QRectF(0, plot.Y(value) - 10, left - 8, 20), Qt::AlignRight | Qt::AlignVCenter,
                         label);
        painter.setPen(QColor(220, 220, 220));
    }
    painter.setPen(Qt::black);
    painter.drawRect(QRectF(left, top, right - left, bottom - top));
    painter.drawText(QRectF(0, 10, plot.width, 30), Qt::AlignCenter,
                     QStringLiteral("Thickness per project: minimum, mean and maximum"));
    painter.save();
    painter.translate(20, (top + bottom) / 2.0);
    painter.rotate(-90);
    painter.drawText(QRectF(-150, -12, 300, 24), Qt::AlignCenter,
                     usCustomary ? QStringLiteral("Thickness (in)") : QStringLiteral("Thickness (mm)"));
    painter.restore();
    painter.drawText(QRectF(left, plot.height - 28, right - left, 24), Qt::AlignCenter,
                     QStringLiteral("Project"));
}

// One bar per project from its minimum to its maximum, its mean marked, and
// its name below.
void DrawChartBars(QPainter& painter, const ChartPlot& plot, const std::vector<StudyRow>& rows,
                   const QFontMetrics& metrics) {
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
        const StudyRow& row = rows[static_cast<size_t>(i)];
        const double centre = plot.X(i);
        if (row.ok) {
            painter.setPen(QPen(QColor(40, 90, 170), 2));
            painter.drawLine(QPointF(centre, plot.Y(row.thicknessMinimum)),
                             QPointF(centre, plot.Y(row.thicknessMaximum)));
            painter.drawLine(QPointF(centre - 8, plot.Y(row.thicknessMinimum)),
                             QPointF(centre + 8, plot.Y(row.thicknessMinimum)));
            painter.drawLine(QPointF(centre - 8, plot.Y(row.thicknessMaximum)),
                             QPointF(centre + 8, plot.Y(row.thicknessMaximum)));
            painter.setBrush(QColor(200, 60, 40));
            painter.setPen(Qt::NoPen);
            painter.drawEllipse(QPointF(centre, plot.Y(row.thicknessMean)), 5, 5);
            painter.setBrush(Qt::NoBrush);
        }
        painter.setPen(Qt::black);
        painter.save();
        painter.translate(centre + 4, plot.bottom + 8);
        painter.rotate(-60);
        const QString name = QString::fromStdString(row.project) + (row.ok ? "" : " (no figures)");
        painter.drawText(QRectF(-160, -10, 160, 20), Qt::AlignRight | Qt::AlignVCenter,
                         metrics.elidedText(name, Qt::ElideLeft, 156));
        painter.restore();
    }
}

} // namespace

bool WriteStudyChart(const std::vector<StudyRow>& rows, const std::string& file, bool usCustomary) {
    EnsureOffscreenApplication();
    const ChartPlot plot = PlotOf(rows);
    QImage image(plot.width, plot.height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QFont font = painter.font();
    font.setPixelSize(13);
    painter.setFont(font);
    DrawChartFrame(painter, plot, usCustomary);
    DrawChartBars(painter, plot, rows, QFontMetrics(font));
    painter.end();
    std::string error;
    if (!WritePicture(image, file, "png", error)) {
        BatchFail("cannot write " + file + ": " + error);
        return false;
    }
    return true;
}

} // namespace quillmere
