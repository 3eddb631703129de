// The bar at the bottom of a project window: go to start, previous, next, go
// to end, the record number box with its Load button, and the project's
// record count.
#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QToolButton;

namespace quillmere {

class CNavigationBar : public QWidget {
    Q_OBJECT

public:
    explicit CNavigationBar(QWidget* parent = nullptr);

    void SetRecord(int record);
    QString RecordText() const;
    void SetRecordText(const QString& text);
    void SetRecordCount(int records);
    QString CountText() const;
    QLineEdit* RecordBox() const { return recordBox; }

signals:
    // A button was pressed: its command id (go to start, previous, next, go
    // to end, load).
    void Command(int id);

private:
    QToolButton* Button(int id, const QString& tip, int arrow, int bars);

    QLineEdit* recordBox;
    QLabel* count;
};

} // namespace quillmere
