#include "ui/scale/CScaleLimitsDialog.h"

#include "core/Messages.h"
#include "core/Parallel.h"
#include "core/TextFormat.h"
#include "messages/MessageText.h"
#include "scale/AllRecordLimits.h"
#include "scale/LimitsEditing.h"
#include "scale/Presentation.h"
#include "scale/ResultQuantity.h"
#include "scale/ScaleLimits.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QEventLoop>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

#include <atomic>

namespace quillmere {

namespace {

constexpr const char* EnterANumber = "Enter a number.";

// The shortest text that reads back as the same value.
QString NumberText(double value) {
    return QString::fromStdString(FormatText("%.15g", value));
}

bool ReadNumber(const QLineEdit* edit, double& value) {
    return ParseWholeNumber(edit->text().trimmed().toStdString().c_str(), value);
}

} // namespace

CScaleLimitsDialog::CScaleLimitsDialog(const Presentation& shown, ScaleLimits& scaleLimits,
                                       const CConfiguration& config, QWidget* parent)
    : QDialog(parent), quantity(shown.quantity), difference(shown.Difference()), limits(scaleLimits),
      configuration(config) {
    setWindowTitle(QStringLiteral("Scale limits"));

    title = new QLabel(QString::fromStdString(shown.limitsTitle), this);
    title->setObjectName(QStringLiteral("title"));
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);

    minimumEdit = new QLineEdit(this);
    minimumEdit->setObjectName(QStringLiteral("minimum"));
    maximumEdit = new QLineEdit(this);
    maximumEdit->setObjectName(QStringLiteral("maximum"));
    auto* values = new QFormLayout;
    values->addRow(QStringLiteral("Maximum"), maximumEdit);
    values->addRow(QStringLiteral("Minimum"), minimumEdit);

    auto* mode = new QGroupBox(this);
    automaticButton = new QRadioButton(QStringLiteral("Automatic"), mode);
    fixedButton = new QRadioButton(QStringLiteral("Fixed"), mode);
    auto* modeLayout = new QHBoxLayout(mode);
    modeLayout->addWidget(automaticButton);
    modeLayout->addWidget(fixedButton);

    allRecordsButton = new QPushButton(QStringLiteral("All records"), this);
    allRecordsButton->setToolTip(QStringLiteral("Fix the limits over every record of the project"));
    allRecordsButton->setEnabled(false);
    allRecordsButton->setAutoDefault(false);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CScaleLimitsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CScaleLimitsDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addLayout(values);
    layout->addWidget(mode);
    layout->addWidget(allRecordsButton, 0, Qt::AlignLeft);
    layout->addWidget(buttons);

    const LimitsDialogValues start = LimitsDialogStart(quantity, limits, configuration, difference);
    ShowValues(start.minimum, start.maximum);
    (start.fixed ? fixedButton : automaticButton)->setChecked(true);
    // A click on "Fixed" fixes the scale at once, whatever button ends the
    // dialog.
    connect(fixedButton, &QRadioButton::clicked, this, &CScaleLimitsDialog::ChooseFixed);
    connect(allRecordsButton, &QPushButton::clicked, this, &CScaleLimitsDialog::RunAllRecords);
}

void CScaleLimitsDialog::SetAllRecords(std::function<bool(double& minimum, double& maximum)> compute) {
    allRecords = std::move(compute);
    allRecordsButton->setEnabled(static_cast<bool>(allRecords));
}

QString CScaleLimitsDialog::Title() const {
    return title->text();
}

void CScaleLimitsDialog::ShowValues(double minimum, double maximum) {
    minimumEdit->setText(NumberText(minimum));
    maximumEdit->setText(NumberText(maximum));
}

void CScaleLimitsDialog::ChooseFixed() {
    fixedButton->setChecked(true);
    limits.SetFixedMode(quantity, 1);
}

void CScaleLimitsDialog::RunAllRecords() {
    if (!allRecords)
        return;
    double minimum = 0, maximum = 0;
    // Nothing here may end the dialog while the records are read.
    setEnabled(false);
    const bool computed = allRecords(minimum, maximum);
    setEnabled(true);
    if (!computed)
        return;
    ShowValues(RoundToThousandths(QuantityToDisplay(quantity, minimum, configuration)),
               RoundToThousandths(QuantityToDisplay(quantity, maximum, configuration)));
    ChooseFixed();
}

void CScaleLimitsDialog::accept() {
    LimitsDialogValues typed;
    for (QLineEdit* edit : {maximumEdit, minimumEdit})
        if (!ReadNumber(edit, edit == minimumEdit ? typed.minimum : typed.maximum)) {
            ShowMessage(EnterANumber, MessageIcon::Warning);
            edit->setFocus();
            edit->selectAll();
            return;
        }
    typed.fixed = fixedButton->isChecked();
    StoreLimitsDialog(quantity, typed, limits, configuration, difference);
    QDialog::accept();
}

namespace {

// Runs compute(progress, cancel) on a worker thread behind a progress dialog
// that can be cancelled, and shows why it failed when it did.
template <typename Compute>
auto RunOverRecords(QWidget* parent, const QString& title, int recordCount, const Compute& compute) {
    QProgressDialog progress(QStringLiteral("Reading the records..."), QStringLiteral("Cancel"), 0,
                             std::max(recordCount, 1), parent);
    progress.setWindowTitle(title);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(300);
    progress.setValue(0);

    std::atomic<bool> cancel{false};
    std::atomic<int> done{0};
    auto worker = parallel::StartJob([&] {
        const std::function<void(int, int)> count = [&](int records, int) { done = records; };
        return compute(count, cancel);
    });
    // The interface stays alive while the job reads; the progress dialog is
    // the only window the user can reach.
    QEventLoop waiting;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (progress.wasCanceled())
            cancel = true;
        progress.setValue(done.load());
        if (worker.Ready())
            waiting.quit();
    });
    poll.start(10);
    waiting.exec();
    auto result = worker.Take();
    progress.reset();
    if (result.outcome == AllRecordLimits::Failed && result.failure)
        ShowMessage(result.failure, MessageIcon::Error);
    return result;
}

} // namespace

bool ComputeAllRecordLimitsWithProgress(QWidget* parent, const std::string& projectPath, int recordCount,
                                        ResultQuantity quantity, double& minimum, double& maximum) {
    const AllRecordLimits result = RunOverRecords(
        parent, QStringLiteral("All records"), recordCount,
        [&](const std::function<void(int, int)>& progress, const std::atomic<bool>& cancel) {
            return ComputeAllRecordLimits(projectPath, recordCount, quantity, progress, cancel);
        });
    if (result.outcome != AllRecordLimits::Done)
        return false;
    minimum = result.range.minimum;
    maximum = result.range.maximum;
    return true;
}

bool ComputeFirstContactWithProgress(QWidget* parent, const std::string& projectPath, int recordCount,
                                     int nodeCount, std::shared_ptr<const FirstContactRecords>& records) {
    const FirstContactScan scan =
        RunOverRecords(parent, QString::fromUtf8(QuantityName(ResultQuantity::FirstContact)), recordCount,
                       [&](const std::function<void(int, int)>& progress, const std::atomic<bool>& cancel) {
                           return ComputeFirstContact(projectPath, recordCount, nodeCount, progress, cancel);
                       });
    if (scan.outcome != AllRecordLimits::Done)
        return false;
    records = scan.records;
    return true;
}

} // namespace quillmere
