// Picks and mouse gestures of a real 3D view under a virtual X server.
#include "tests/scene/SceneTestSupport.h"

#include <QApplication>

using namespace quillmere;

class ScenePickTest : public SceneViewTest {
    Q_OBJECT

private slots:
    void initTestCase() { OpenProjects(); }
    void cleanup() { SaveKeptFrames(); }

    void elementPickFindsTheElementUnderItsCentre();
    void nodePickFindsTheNearestNode();
    void pointPickLiesOnTheViewingLine();
    void hiddenSheetLetsPicksReachTheTool();
    void nearestToolWinsThePick();
    void zoomedAndPannedFrameAgreesWithProjectionAndPicks();
    void pickFollowsTheRecordShownInATurnedView();
    void dragsAndTheWheelMoveTheCamera();
    void shiftRightClickPicksTheElementUnderTheMouse();
    void ctrlClickMovesTheCentreWithoutAJump();
    void zoomBoxDraggedWithTheMouseZoomsIn();
};

// --- Picks -----------------------------------------------------------------

void ScenePickTest::elementPickFindsTheElementUnderItsCentre() {
    OPEN_VIEW(view, OpaqueSettings(), ResultQuantity::Thickness);
    view->Commands().SetPickMode(ElementMode);
    const CSheetProfile& sheet = *project.Sheet();
    for (int element : {0, OverNothing, OverMould, ThickElement, 2 * CellsX * CellsY - 1}) {
        const QPoint cursor = Pixel(CentreOf(*view, element));
        CDataDisplay record;
        QVERIFY(view->PickAt(cursor.x(), cursor.y(), record, false));
        QCOMPARE(record.kind, int(PickedElement));
        QCOMPARE(record.index, element);
        QCOMPARE(record.onTool, 0);
        QCOMPARE(record.point2.x, sheet.CurrentCorner(static_cast<size_t>(element), 1).x);
        QCOMPARE(record.point2.y, sheet.CurrentCorner(static_cast<size_t>(element), 1).y);
    }
}

void ScenePickTest::nodePickFindsTheNearestNode() {
    OPEN_VIEW(view, OpaqueSettings(), ResultQuantity::Thickness);
    view->Commands().SetPickMode(NodeMode);
    const ElementNodes& nodes = project.Sheet()->Mesh().Nodes(static_cast<size_t>(OverMould));
    const QPointF centre = CentreOf(*view, OverMould);
    for (int corner = 0; corner < 3; ++corner) {
        const int node = nodes[static_cast<size_t>(corner)];
        // Six tenths of the way from the centre to the corner: nearer to it
        // than to any other node.
        const QPointF towards = centre + 0.6 * (view->ProjectToWindow(Node(node)) - centre);
        CDataDisplay record;
        QVERIFY(view->PickAt(qRound(towards.x()), qRound(towards.y()), record, false));
        QCOMPARE(record.kind, int(PickedNode));
        QCOMPARE(record.index, node);
        QCOMPARE(record.point1.x, Node(node).x);
        QCOMPARE(record.point1.y, Node(node).y);
    }
}

void ScenePickTest::pointPickLiesOnTheViewingLine() {
    OPEN_VIEW(view, OpaqueSettings(), ResultQuantity::Thickness);
    view->Commands().SetPickMode(PointMode);
    for (int element : {OverNothing, ThickElement}) {
        const QPoint cursor = Pixel(CentreOf(*view, element)) + QPoint(1, -1);
        CDataDisplay record;
        QVERIFY(view->PickAt(cursor.x(), cursor.y(), record, false));
        QCOMPARE(record.kind, int(PickedPoint));
        QCOMPARE(record.index, element);
        const QPointF back = view->ProjectToWindow(record.point1);
        QVERIFY2(std::fabs(back.x() - cursor.x()) < 1e-3 && std::fabs(back.y() - cursor.y()) < 1e-3,
                 (QByteArray::number(back.x()) + ", " + QByteArray::number(back.y())).constData());
        // The flat sheet faces the viewer: its mean depth is its own plane.
        QVERIFY2(std::fabs(record.point1.z) < 1e-6, QByteArray::number(record.point1.z).constData());
    }
}

void ScenePickTest::hiddenSheetLetsPicksReachTheTool() {
    OPEN_VIEW(view, OpaqueSettings(), ResultQuantity::Thickness);
    view->Commands().SetPickMode(ElementMode);
    view->Commands().ToggleSheet();
    const QPoint overMould = Pixel(CentreOf(*view, OverMould));
    CDataDisplay record;
    QVERIFY(view->PickAt(overMould.x(), overMould.y(), record, false));
    QCOMPARE(record.onTool, 1);
    QCOMPARE(record.tool, static_cast<const CMoldProfile*>(project.Tool(0)));
    QCOMPARE(record.kind, int(PickedElement));
    QVERIFY(std::fabs(record.point1.z + 0.02) < 1e-12);

    // Where only the hidden sheet lies, nothing is found.
    const QPoint overNothing = Pixel(CentreOf(*view, OverNothing));
    CDataDisplay untouched;
    untouched.index = 4711;
    QVERIFY(!view->PickAt(overNothing.x(), overNothing.y(), untouched, false));
    QCOMPARE(untouched.index, 4711);
}

void ScenePickTest::nearestToolWinsThePick() {
    OPEN_VIEW(view, OpaqueSettings(), ResultQuantity::Thickness);
    view->Commands().SetPickMode(ElementMode);
    view->Commands().ToggleSheet();
    const CCoordinate axis(0.001, 0.001, 0);
    // The plug (slot 2) lies in front of the mould: it wins although its
    // faces are named after the mould's.
    QPoint cursor = Pixel(view->ProjectToWindow(axis));
    CDataDisplay record;
    QVERIFY(view->PickAt(cursor.x(), cursor.y(), record, false));
    QCOMPARE(record.tool, static_cast<const CMoldProfile*>(project.Tool(1)));
    // From behind the mould is nearer.
    view->Scene().Camera().trackball.SetRotation(FromBehind);
    cursor = Pixel(view->ProjectToWindow(axis));
    QVERIFY(view->PickAt(cursor.x(), cursor.y(), record, false));
    QCOMPARE(record.tool, static_cast<const CMoldProfile*>(project.Tool(0)));
}

void ScenePickTest::zoomedAndPannedFrameAgreesWithProjectionAndPicks() {
    OPEN_VIEW(view, OpaqueSettings(), ResultQuantity::Thickness);
    view->Commands().SetPickMode(ElementMode);
    view->Commands().ZoomIn();
    view->Commands().ZoomIn();
    view->Scene().Camera().Pan(0, 20, ViewWidth, ViewHeight);
    const QImage image = Frame(*view);
    // Inside each corner of the sheet, off the element edges, and 5 mm
    // outside it, away from the tools.
    for (const double x : {-0.05, 0.05})
        for (const double y : {-0.1, 0.1}) {
            const CCoordinate inside(x - std::copysign(0.006, x), y - std::copysign(0.012, y), 0);
            const QPoint in = Pixel(view->ProjectToWindow(inside));
            EXPECT_PIXEL(image, in, y < 0 ? RampRed : RampBlue, 1);
            CDataDisplay record;
            QVERIFY(view->PickAt(in.x(), in.y(), record, false));
            QCOMPARE(record.onTool, 0);
            // A marking pick on the background finds nothing and leaves the
            // record as it was.
            record.index = 4711;
            for (const CCoordinate& outside : {CCoordinate(x + std::copysign(0.005, x), inside.y, 0),
                                               CCoordinate(inside.x, y + std::copysign(0.005, y), 0)}) {
                const QPoint out = Pixel(view->ProjectToWindow(outside));
                EXPECT_PIXEL(image, out, Background, 1);
                QVERIFY(!view->PickAt(out.x(), out.y(), record, true));
                QCOMPARE(record.index, 4711);
            }
        }
}

// The second record holds the sheet turned half round in its plane, so
// that each element lies where another one lay in the first record.
void ScenePickTest::pickFollowsTheRecordShownInATurnedView() {
    FixtureOptions options;
    options.records = 2;
    CProjectFixture turnedFixture(options);
    samplegen::RecordData second = turnedFixture.Record(1);
    for (samplegen::Vec3& node : second.current) {
        node.x = -node.x;
        node.y = -node.y;
    }
    QVERIFY(samplegen::WriteRecordFile(samplegen::RecordFileName(turnedFixture.ProjectPath(), 1), second));
    CSession turnedSession;
    CProjectProfile& turned = turnedSession.Project();
    QVERIFY(turned.Open(turnedFixture.ProjectPath(), nullptr));
    OPEN_VIEW_OF(view, OpaqueSettings(), ResultQuantity::Thickness, &turnedSession);
    view->Commands().SetPickMode(ElementMode);
    view->Commands().SetGeneralView();
    const CSheetProfile& sheet = *turned.Sheet();
    for (const int record : {2, 1, 2}) {
        if (record != turned.CurrentRecord()) {
            QVERIFY(turned.GoToRecord(record));
            view->TakeRecord(record);
        }
        for (int element : {0, 7, sheet.ElementCount() - 1}) {
            const size_t e = static_cast<size_t>(element);
            const CCoordinate centroid =
                (sheet.CurrentCorner(e, 0) + sheet.CurrentCorner(e, 1) + sheet.CurrentCorner(e, 2)) *
                (1.0 / 3.0);
            const QPoint cursor = Pixel(view->ProjectToWindow(centroid));
            CDataDisplay picked;
            QVERIFY(view->PickAt(cursor.x(), cursor.y(), picked, false));
            QCOMPARE(picked.onTool, 0);
            QCOMPARE(picked.index, element);
        }
    }
}

// --- The mouse -------------------------------------------------------------

// The window's mouse and wheel events reach the gestures (whose arithmetic
// InteractorTest checks) in device pixels.
void ScenePickTest::dragsAndTheWheelMoveTheCamera() {
    OPEN_VIEW(view, OpaqueSettings(), ResultQuantity::Thickness);
    CCamera& camera = view->Scene().Camera();
    const Quaternion before = camera.trackball.Rotation();
    QTest::mousePress(view.get(), Qt::LeftButton, {}, QPoint(200, 150));
    QTest::mouseMove(view.get(), QPoint(230, 160));
    QTest::mouseMove(view.get(), QPoint(260, 170));
    QTest::mouseRelease(view.get(), Qt::LeftButton, {}, QPoint(260, 170));
    const Quaternion after = camera.trackball.Rotation();
    QVERIFY(after.x != before.x || after.y != before.y || after.z != before.z || after.w != before.w);
    QVERIFY(!view->Interactor().Dragging());

    const float panX = camera.panX, panY = camera.panY;
    QTest::mousePress(view.get(), Qt::RightButton, {}, QPoint(100, 100));
    QTest::mouseMove(view.get(), QPoint(140, 90));
    QTest::mouseRelease(view.get(), Qt::RightButton, {}, QPoint(140, 90));
    const qreal ratio = view->devicePixelRatioF();
    QCOMPARE(camera.panX, panX + static_cast<float>(40 * ratio) / static_cast<float>(ViewWidth * ratio) *
                                     camera.visibleWidth);
    QCOMPARE(camera.panY, panY + static_cast<float>(10 * ratio) / static_cast<float>(ViewHeight * ratio) *
                                     camera.visibleHeight);

    for (const auto& [delta, factor] :
         {std::pair{QPoint(0, -120), 1.1111112f}, {QPoint(120, 0), 1.0f}, {QPoint(0, 120), 0.9f}}) {
        QWheelEvent event(QPointF(200, 150), view->mapToGlobal(QPointF(200, 150)), QPoint(), delta,
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        const float expected = camera.zoom * factor;
        QApplication::sendEvent(view.get(), &event);
        QCOMPARE(camera.zoom, expected);
    }
}

void ScenePickTest::shiftRightClickPicksTheElementUnderTheMouse() {
    OPEN_VIEW(view, OpaqueSettings(), ResultQuantity::Thickness);
    view->Commands().SetPickMode(ElementMode);
    QSignalSpy picked(view.get(), &CSceneRender::Picked);
    const QPoint cursor = Pixel(CentreOf(*view, ThickElement));
    QTest::mousePress(view.get(), Qt::RightButton, Qt::ShiftModifier, cursor);
    QTest::mouseRelease(view.get(), Qt::RightButton, Qt::ShiftModifier, cursor);
    QCOMPARE(picked.count(), 1);
    QCOMPARE(view->Interactor().CurrentPick().kind, int(PickedElement));
    QCOMPARE(view->Interactor().CurrentPick().index, ThickElement);
    QVERIFY(std::fabs(view->Interactor().CurrentPick().value1 - 0.003) < 1e-9);
}

void ScenePickTest::ctrlClickMovesTheCentreWithoutAJump() {
    OPEN_VIEW(view, OpaqueSettings(), ResultQuantity::Thickness);
    const CCoordinate node = Node(1);
    const QPointF before = view->ProjectToWindow(node);
    const QPoint cursor = Pixel(CentreOf(*view, ThickElement));
    QTest::mouseClick(view.get(), Qt::LeftButton, Qt::ControlModifier, cursor);
    const CCoordinate centroid = Centroid(ThickElement);
    QVERIFY(std::fabs(view->Scene().Camera().centre[0] - centroid.x) < 2e-3);
    QVERIFY(std::fabs(view->Scene().Camera().centre[1] - centroid.y) < 2e-3);
    const QPointF after = view->ProjectToWindow(node);
    QVERIFY2(std::fabs(after.x() - before.x()) < 0.05 && std::fabs(after.y() - before.y()) < 0.05,
             "the picture moved");
}

void ScenePickTest::zoomBoxDraggedWithTheMouseZoomsIn() {
    OPEN_VIEW(view, OpaqueSettings(), ResultQuantity::Thickness);
    OPEN_VIEW(other, OpaqueSettings(), ResultQuantity::Thickness);
    QCoreApplication::processEvents();
    const float zoom = view->Scene().Camera().zoom;
    view->Commands().StartZoomBox();
    QTest::mousePress(view.get(), Qt::LeftButton, {}, QPoint(150, 100));
    // The rubber band is drawn in the view dragged alone.
    QSignalSpy otherFrames(other.get(), &CSceneRender::RotationShown);
    QTest::mouseMove(view.get(), QPoint(250, 200));
    QCoreApplication::processEvents();
    QCOMPARE(otherFrames.count(), 0);
    const QImage box = Frame(*view, QStringLiteral("box"));
    // The rubber band is drawn in black along the box's top side.
    EXPECT_PIXEL(box, QPoint(200, 100), Rgb{}, 1);
    QTest::mouseRelease(view.get(), Qt::LeftButton, {}, QPoint(250, 200));
    QCOMPARE(view->Scene().Camera().zoom, zoom * std::min(400.0f / 100.0f, 300.0f / 100.0f));
    QVERIFY(!CSceneInteractor::ZoomBoxMode());
}

int RunScenePickTest(int argc, char** argv) {
    ScenePickTest test;
    return RunsHere(test, argc, argv) ? QTest::qExec(&test, argc, argv) : 0;
}

#include "ScenePickTest.moc"
