#include "ui/measure/CMeasurementPanel.h"

#include "config/CConfiguration.h"
#include "measure/MeasurementTable.h"

#include <QFontDatabase>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <cmath>

namespace quillmere {

namespace {

constexpr int PointRole = Qt::UserRole;
constexpr int KeyRole = Qt::UserRole + 1;

// Sorted by the number behind the text; rows without one go last either
// way round.
class CNumberItem : public QTableWidgetItem {
public:
    CNumberItem(const QString& text, double key) : QTableWidgetItem(text) { setData(KeyRole, key); }
    bool operator<(const QTableWidgetItem& other) const override {
        const double a = data(KeyRole).toDouble(), b = other.data(KeyRole).toDouble();
        const bool ascending =
            !tableWidget() || tableWidget()->horizontalHeader()->sortIndicatorOrder() == Qt::AscendingOrder;
        if (std::isnan(a) || std::isnan(b))
            return std::isnan(a) == std::isnan(b) ? false : std::isnan(b) == ascending;
        return a < b;
    }
};

} // namespace

CMeasurementPanel::CMeasurementPanel(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    summary = new QLabel(this);
    summary->setObjectName(QStringLiteral("summary"));
    summary->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    summary->setTextInteractionFlags(Qt::TextSelectableByMouse);
    summary->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    table = new QTableWidget(0, RowColumns, this);
    table->setObjectName(QStringLiteral("table"));
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->verticalHeader()->hide();
    table->setSortingEnabled(true);
    // The file's order first.
    table->sortByColumn(RowLabel, Qt::AscendingOrder);
    save = new QPushButton(QStringLiteral("Save table\u2026"), this);
    save->setObjectName(QStringLiteral("saveButton"));
    layout->addWidget(summary);
    layout->addWidget(table, 1);
    layout->addWidget(save, 0, Qt::AlignRight);
    connect(table, &QTableWidget::itemSelectionChanged, this, &CMeasurementPanel::OnSelectionChanged);
    connect(save, &QPushButton::clicked, this, &CMeasurementPanel::SaveTableRequested);
    save->setEnabled(false);
}

void CMeasurementPanel::Show(std::shared_ptr<const MeasuredPoints> shown, const CConfiguration& units,
                             int selected) {
    points = std::move(shown);
    filling = true;
    const bool sorting = table->isSortingEnabled();
    table->setSortingEnabled(false);
    table->clearContents();
    const std::array<std::string, RowColumns> headings = MeasurementRowHeadings(units);
    QStringList labels;
    for (const std::string& heading : headings)
        labels << QString::fromStdString(heading);
    table->setHorizontalHeaderLabels(labels);
    const size_t count = points ? points->file.points.size() : 0;
    table->setRowCount(static_cast<int>(count));
    for (size_t k = 0; k < count; ++k) {
        const std::array<std::string, RowColumns> texts = MeasurementRowTexts(*points, k, units);
        const std::array<double, RowColumns> keys = MeasurementRowKeys(*points, k);
        for (int column = 0; column < RowColumns; ++column) {
            auto* item = new CNumberItem(QString::fromStdString(texts[static_cast<size_t>(column)]),
                                         keys[static_cast<size_t>(column)]);
            item->setData(PointRole, static_cast<int>(k));
            if (column != RowLabel)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table->setItem(static_cast<int>(k), column, item);
        }
    }
    table->setSortingEnabled(sorting);
    table->resizeColumnsToContents();
    const LengthUnit unit = units.IsSIMetric() ? LengthUnit::Millimetre : LengthUnit::Inch;
    summary->setText(points ? QString::fromStdString(MeasurementSummaryText(points->file, points->comparison,
                                                                            points->options, unit))
                                  .trimmed()
                            : QString());
    save->setEnabled(points != nullptr);
    table->clearSelection();
    const int row = RowOfPoint(selected);
    if (row >= 0)
        table->selectRow(row);
    filling = false;
}

int CMeasurementPanel::PointOfRow(int row) const {
    const QTableWidgetItem* item = row >= 0 ? table->item(row, RowLabel) : nullptr;
    return item ? item->data(PointRole).toInt() : -1;
}

int CMeasurementPanel::RowOfPoint(int point) const {
    for (int row = 0; point >= 0 && row < table->rowCount(); ++row)
        if (PointOfRow(row) == point)
            return row;
    return -1;
}

void CMeasurementPanel::OnSelectionChanged() {
    if (filling)
        return;
    const QList<QTableWidgetItem*> chosen = table->selectedItems();
    emit PointSelected(chosen.isEmpty() ? -1 : chosen.front()->data(PointRole).toInt());
}

} // namespace quillmere
