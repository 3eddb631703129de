// The limits dialog: fixes the colour scale of one quantity to typed limits
// or frees it to follow the values, in the units the user sees.
#pragma once

#include "model/CSheetProfile.h"
#include "scale/Quantity.h"

#include <QDialog>
#include <QString>

#include <functional>
#include <memory>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace quillmere {

class CConfiguration;
class ScaleLimits;
struct Presentation;

class CScaleLimitsDialog : public QDialog {
    Q_OBJECT

public:
    // limits: the view's limits of every quantity; the dialog edits those of
    // the quantity shown presents, of its differences while it compares,
    // under its heading (Presentation::limitsTitle).
    CScaleLimitsDialog(const Presentation& shown, ScaleLimits& limits, const CConfiguration& configuration,
                       QWidget* parent = nullptr);

    // What "All records" runs: true with the limits (stored units) over every
    // record, false when cancelled or failed. The button stays disabled
    // until one is given.
    void SetAllRecords(std::function<bool(double& minimum, double& maximum)> compute);

    QString Title() const;
    QLineEdit* MinimumEdit() const { return minimumEdit; }
    QLineEdit* MaximumEdit() const { return maximumEdit; }
    QRadioButton* AutomaticButton() const { return automaticButton; }
    QRadioButton* FixedButton() const { return fixedButton; }
    QPushButton* AllRecordsButton() const { return allRecordsButton; }

public slots:
    // OK: both values must be numbers; the dialog stays open otherwise.
    void accept() override;

private:
    void ShowValues(double minimum, double maximum);
    void ChooseFixed();
    void RunAllRecords();

    ResultQuantity quantity;
    bool difference;
    ScaleLimits& limits;
    const CConfiguration& configuration;
    std::function<bool(double&, double&)> allRecords;

    QLabel* title = nullptr;
    QLineEdit* minimumEdit = nullptr;
    QLineEdit* maximumEdit = nullptr;
    QRadioButton* automaticButton = nullptr;
    QRadioButton* fixedButton = nullptr;
    QPushButton* allRecordsButton = nullptr;
};

// Runs the all-records limits of a project on a worker thread behind a
// progress dialog that can be cancelled; true with the limits (stored units)
// when every record was read. A record that cannot be read has been
// reported when it returns false.
bool ComputeAllRecordLimitsWithProgress(QWidget* parent, const std::string& projectPath, int recordCount,
                                        ResultQuantity quantity, double& minimum, double& maximum);

// The first contact of a project's nodes (ComputeFirstContact) in the same
// way; false, with nothing in records, when cancelled or failed (reported).
bool ComputeFirstContactWithProgress(QWidget* parent, const std::string& projectPath, int recordCount,
                                     int nodeCount, std::shared_ptr<const FirstContactRecords>& records);

} // namespace quillmere
