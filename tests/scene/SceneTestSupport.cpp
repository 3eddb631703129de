#include "tests/scene/SceneTestSupport.h"

using namespace quillmere;

// The project: the grid sheet in front of two flat section tools, a mould
// plate (slot 1) at z = -20 mm, 50 mm x 260 mm so that it stands out on both
// sides of the sheet in y, and a small plug plate (slot 2) of 30 mm x 30 mm at
// z = -10 mm, between the sheet and the mould.
void SceneViewTest::OpenProjects() {
    messages = std::make_unique<CRecordingMessages>();
    FixtureOptions options;
    options.records = 1;
    fixture = std::make_unique<CProjectFixture>(options);

    samplegen::RecordData record = samplegen::MakeGridRecord(CellsX, CellsY, 0.1, 0.2);
    for (size_t e = 0; e < record.elements.size(); ++e) {
        const int j = static_cast<int>(e) / (2 * CellsX);
        record.elements[e].initialThickness = j < CellsY / 2 ? 0.001f : 0.003f;
    }
    QVERIFY(samplegen::WriteRecordFile(samplegen::RecordFileName(fixture->ProjectPath(), 0), record));
    QVERIFY(samplegen::WriteSectionTool(fixture->File("fixture_mould.tol"), {{-20, 50, 260, 5}}, false));
    QVERIFY(samplegen::WriteSectionTool(fixture->File("fixture_plug.tol"), {{-10, 30, 30, 5}}, false));
    QVERIFY(samplegen::WriteProcessControl(fixture->File("fixture.prc"),
                                           {samplegen::ToolMotion{}, samplegen::ToolMotion{}}));
    fixture->Project().toolNames = {"fixture_mould.tol", "fixture_plug.tol"};
    fixture->WriteProject();

    QVERIFY(project.Open(fixture->ProjectPath(), nullptr));

    tenToolsFixture = std::make_unique<CProjectFixture>(options);
    QVERIFY(samplegen::WriteRecordFile(samplegen::RecordFileName(tenToolsFixture->ProjectPath(), 0), record));
    tenToolsFixture->Project().toolNames.clear();
    for (int slot = 0; slot < kToolSlots; ++slot) {
        const std::string name = "plate" + std::to_string(slot) + ".tol";
        QVERIFY(samplegen::WriteSectionTool(tenToolsFixture->File(name), {{-10, 30, 30, 5}}, false));
        tenToolsFixture->Project().toolNames.push_back(name);
    }
    QVERIFY(samplegen::WriteProcessControl(tenToolsFixture->File("fixture.prc"),
                                           std::vector<samplegen::ToolMotion>(kToolSlots)));
    tenToolsFixture->WriteProject();
    QVERIFY(tenTools.Open(tenToolsFixture->ProjectPath(), nullptr));
    for (int slot = 0; slot < kToolSlots; ++slot)
        QVERIFY(tenTools.Tool(slot) != nullptr);
    QVERIFY(project.Sheet() != nullptr);
    QCOMPARE(project.Sheet()->ElementCount(), 2 * CellsX * CellsY);
    QVERIFY(project.Tool(0) != nullptr);
    QVERIFY(project.Tool(1) != nullptr);
    QVERIFY2(messages->messages.empty(), messages->Texts().c_str());
}

void SceneViewTest::SaveKeptFrames() {
    if (QTest::currentTestFailed()) {
        const QString folder = QCoreApplication::applicationDirPath();
        QString test = QString::fromLatin1(QTest::currentTestFunction());
        if (QTest::currentDataTag())
            test += QLatin1Char('-') +
                    QString::fromLatin1(QTest::currentDataTag()).replace(QLatin1Char(' '), QLatin1Char('_'));
        for (const auto& [name, image] : kept) {
            const QString path = folder + QStringLiteral("/scene_render-%1-%2.png").arg(test, name);
            if (image.save(path))
                qWarning("frame saved as %s", qPrintable(path));
        }
    }
    kept.clear();
}

DisplaySettings SceneViewTest::OpaqueSettings() {
    DisplaySettings settings;
    settings.sheetOpacity = 1.0;
    settings.sheetDisplayMode = SheetDisplayMode::ElementsAndEdges;
    settings.backgroundScheme = 0;
    settings.backgroundColour = SettingsColour(Background);
    settings.tools[0].opacity = 1.0;
    settings.tools[1].opacity = 1.0;
    return settings;
}

std::unique_ptr<CSceneRender> SceneViewTest::OpenView(const DisplaySettings& settings,
                                                      ResultQuantity quantity, CSession* shown) {
    auto view = std::make_unique<CSceneRender>(shown ? shown : &session, settings);
    view->resize(ViewWidth, ViewHeight);
    view->show();
    if (!QTest::qWaitForWindowExposed(view.get()))
        return nullptr;
    // The first frame creates the context, builds the lists and fits.
    (void)view->grabFramebuffer();
    view->Commands().SetXYView();
    if (quantity != view->Scene().Quantity())
        view->Commands().SetQuantity(quantity);
    return view;
}

QImage SceneViewTest::Frame(CSceneRender& view, const QString& name) {
    const QImage image = view.grabFramebuffer();
    Keep(image, name);
    return image;
}

CCoordinate SceneViewTest::Centroid(int element) const {
    const CSheetProfile& sheet = *project.Sheet();
    const size_t e = static_cast<size_t>(element);
    return (sheet.CurrentCorner(e, 0) + sheet.CurrentCorner(e, 1) + sheet.CurrentCorner(e, 2)) * (1.0 / 3.0);
}

QPointF SceneViewTest::CentreOf(CSceneRender& view, int element) const {
    return view.ProjectToWindow(Centroid(element));
}
