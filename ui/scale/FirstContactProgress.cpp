#include "ui/scale/FirstContactProgress.h"

#include "core/Messages.h"
#include "core/Parallel.h"
#include "model/FirstContact.h"

#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>

#include <algorithm>
#include <atomic>

namespace quillmere {

std::shared_ptr<const std::vector<double>>
FirstContactWithProgress(QWidget* parent, const std::string& projectPath, int recordCount) {
    QProgressDialog progress(QStringLiteral("Reading the records..."), QStringLiteral("Cancel"), 0,
                             std::max(recordCount, 1), parent);
    progress.setWindowTitle(QStringLiteral("First contact"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(300);
    progress.setValue(0);

    std::atomic<bool> cancel{false};
    std::atomic<int> done{0};
    parallel::Job<FirstContact> worker = parallel::StartJob([&] {
        return FirstContactRecords(
            projectPath, recordCount, [&](int count, int) { done = count; }, cancel);
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
    FirstContact result = worker.Take();
    progress.reset();
    if (result.outcome == FirstContact::Failed && !result.failure.empty())
        ShowMessage(result.failure, MessageIcon::Error);
    if (result.outcome != FirstContact::Done)
        return nullptr;
    return std::make_shared<const std::vector<double>>(std::move(result.records));
}

} // namespace quillmere
