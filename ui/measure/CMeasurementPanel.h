// The measurements panel of the main window: the summary of the active
// project's measured points above their table (label, position, measured,
// simulated, difference, error %, distance; sortable) and "Save table...".
#pragma once

#include "measure/MeasuredPoints.h"

#include <QWidget>

#include <memory>

class QLabel;
class QPushButton;
class QTableWidget;

namespace quillmere {

class CConfiguration;

class CMeasurementPanel : public QWidget {
    Q_OBJECT

public:
    explicit CMeasurementPanel(QWidget* parent = nullptr);

    // Shows the points (null: none) in the units of the configuration, the
    // row of selected (a point's index, -1 for none) selected.
    void Show(std::shared_ptr<const MeasuredPoints> points, const CConfiguration& units, int selected);
    const std::shared_ptr<const MeasuredPoints>& Points() const { return points; }

    QTableWidget* Table() const { return table; }
    QLabel* Summary() const { return summary; }
    QPushButton* SaveButton() const { return save; }
    // The point of a row as the table is sorted now; -1 for none.
    int PointOfRow(int row) const;
    int RowOfPoint(int point) const;

signals:
    // The user selected the row of a point.
    void PointSelected(int point);
    void SaveTableRequested();

private:
    void OnSelectionChanged();

    std::shared_ptr<const MeasuredPoints> points;
    QLabel* summary;
    QTableWidget* table;
    QPushButton* save;
    bool filling = false;
};

} // namespace quillmere
