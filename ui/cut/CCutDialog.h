// The cut window of a project: the cut plane or the graph limits, the
// profile list, "Cutting", the profile graph with its read-out under the
// mouse (marked with a cross-hair in the project's 3D views), printing and
// "Save data...". The graph, the read-out and the CSV text are laid out by
// the Qt-free code of this folder; this window only draws and forwards.
#pragma once

#include "cut/CutSession.h"
#include "cut/GraphLayout.h"

#include <QImage>
#include <QWidget>

#include <functional>
#include <memory>

class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QLayout;
class QLineEdit;
class QPainter;
class QPrinter;
class QPushButton;
class QRadioButton;
class QToolButton;

namespace quillmere {

class CComparison;
class CConfiguration;
class CProjectProfile;
class CSession;

class CCutDialog;

// The graph area: draws the graph of the window's cut and sends the window
// the mouse.
class CCutGraph : public QWidget {
    Q_OBJECT

public:
    explicit CCutGraph(CCutDialog& owner, QWidget* parent);

    // The pixel column of the read-out line, or NoMarker.
    static constexpr int NoMarker = -1000;
    int MarkerColumn() const { return markerColumn; }
    void SetMarkerColumn(int column);
    // The graph is drawn again at the next paint.
    void Invalidate();
    // The graph on any painter: the screen's graph area, or the graph
    // rectangle of a printed page with the printing font.
    void Draw(QPainter& painter, const QRect& area, const QFont& font) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    CCutDialog& dialog;
    QImage drawn; // the graph without the read-out line
    int markerColumn = NoMarker;
};

class CCutDialog : public QWidget {
    Q_OBJECT

public:
    // The cut window of session's project (null: of none), whose cut it
    // starts afresh and edits.
    CCutDialog(CSession* session, const CConfiguration& configuration, QWidget* parent = nullptr);
    // Ends the session's cut and has the 3D views drop the cut line and the
    // cross-hair (the cut changed).
    ~CCutDialog() override;
    CCutDialog(const CCutDialog&) = delete;
    CCutDialog& operator=(const CCutDialog&) = delete;

    // The window's title: the document's title followed by ": 3D Cut".
    static QString CaptionFor(const CProjectProfile* document);

    // The document goes away before the window: the window leaves it and
    // its session alone from now on.
    void DocumentClosing();

    const CCutSession& CutSession() const { return *cut; }
    // The reference a 3D view of the document compares with (null: none):
    // the graph shows the difference along the cut, cut again at once when
    // there is a graph.
    void SetComparison(std::shared_ptr<CComparison> comparison);
    // Whether there is a graph to print ("Print cut" is enabled).
    bool CanPrint() const { return cut->HasPoints(); }
    bool Dragging() const { return dragging; }
    CCutGraph* Graph() const { return graph; }

    // The plot of the graph area, as the read-out sees it.
    CPixelRect PlotOfGraphArea() const;

    // The graph on one page of printer, the title above it; nothing without
    // a graph. The graph's rectangle on the page, in the printer's device
    // units, is kept for the tests.
    void Print(QPrinter& printer);
    QRect LastPrintedGraph() const { return lastPrintedGraph; }
    // The units per inch in which the page is laid out: characters of 24
    // units are then about 11 points high.
    static constexpr int PrintResolution = 150;
    // Asks for the printer's settings first, starting from those of printer
    // (the program's, as Print setup left them); cancelling prints nothing.
    void PrintWithDialog(QPrinter& printer);
    // The question alone: true when the user chose to print.
    bool AskPrinter(QPrinter& printer);

    // Asks where to save the data (the suggested name given); an empty
    // answer saves nothing. Tests replace the file dialog with their own.
    using SaveFileChooser = std::function<QString(QWidget* parent, const QString& suggested)>;
    void SetSaveFileChooser(SaveFileChooser chooser) { chooseSaveFile = std::move(chooser); }
    // Readies what a profile needs before it is cut (of the differences to
    // comparison when not null): first contact reads every record first.
    // False: the cut and the profile stay as they were. Without one every
    // profile is cut at once.
    using ProfilePreparation = std::function<bool(ResultQuantity quantity, const CComparison* comparison)>;
    void SetProfilePreparation(ProfilePreparation prepare) { prepareProfile = std::move(prepare); }

public slots:
    // The system of units changed in the configuration.
    void UnitsChanged();
    // "Cutting": takes the controls, cuts and draws; a field that is not a
    // number leaves everything as it was.
    void Cutting();
    // "Save data...": the profile of the cut as CSV.
    void SaveData();

signals:
    // A cut was made or the graph changed: "Print cut" may change state.
    void GraphChanged();
    // The read-out's point of the cut moved, or went: every 3D view of the
    // document marks it (they read it from the document's cut).
    void MarkMoved();

protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    friend class CCutGraph;
    void BuildControls();
    // The panel choice and the T button, the two panels, and the cut's
    // actions with the read-out.
    QLayout* BuildChoice();
    QLayout* BuildPanels();
    QLayout* BuildActions();
    void ConnectControls();
    void ShowPanel(int panel);
    void PlaceControlsAndGraph();
    // Control exchange: false, with nothing changed, when a field is not a
    // number.
    bool TakeControls();
    void PutControls();
    void GraphRebuilt();
    void Press(QPoint at);
    void Move(QPoint at);
    void Release();
    void ReadOut(int column);
    void MarkInViews(const CReadOut* readOut);
    CSheetProfile* Sheet() const;

    CSession* session;
    CProjectProfile* document;
    const CConfiguration& configuration;
    bool shownSIMetric;
    CCutSession kept; // the cut of a window without a session
    CCutSession* cut; // the session's, or kept
    bool dragging = false;
    bool updatingControls = false;
    bool markShown = false;
    QRect lastPrintedGraph;
    SaveFileChooser chooseSaveFile;
    ProfilePreparation prepareProfile;

    QWidget* controls = nullptr;
    QRadioButton* cutDefinition = nullptr;
    QRadioButton* graphLimits = nullptr;
    QToolButton* flagT = nullptr;
    QGroupBox* planeGroup = nullptr;
    QComboBox* plane = nullptr;
    QLineEdit* position = nullptr;
    QLabel* positionUnit = nullptr;
    QGroupBox* limitsGroup = nullptr;
    QLineEdit* limitEdits[4] = {}; // x min, x max, y min, y max
    QPushButton* cutting = nullptr;
    QLineEdit* arcLength = nullptr;
    QLineEdit* value = nullptr;
    QComboBox* profile = nullptr;
    QPushButton* saveData = nullptr;
    CCutGraph* graph = nullptr;
};

} // namespace quillmere
