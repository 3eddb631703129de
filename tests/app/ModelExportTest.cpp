// File > Export 3D model... as a user drives it: the model holds what the
// active view shows, its record, quantity and colours, its comparison and
// its tools, read back from the .glb the command wrote.
#include "app/CChildFrame.h"
#include "app/CommandIds.h"
#include "export/GltfModel.h"
#include "model/CSheetProfile.h"
#include "scale/Presentation.h"
#include "tests/app/MainFrameTest.h"
#include "ui/scale/CCompareDialog.h"
#include "ui/scene/CSceneCommands.h"
#include "ui/scene/CSceneRender.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>

using namespace quillmere;

namespace {

// A .glb as the validator reads it: the header's length, the JSON and the
// binary chunk.
struct Glb {
    QJsonObject json;
    QByteArray binary;

    explicit Glb(const QString& path) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return;
        const QByteArray data = file.readAll();
        uint32_t header[5] = {};
        if (data.size() < 20)
            return;
        std::memcpy(header, data.constData(), sizeof header);
        if (header[0] != 0x46546C67 || header[2] != static_cast<uint32_t>(data.size()))
            return;
        json = QJsonDocument::fromJson(data.mid(20, header[3])).object();
        binary = data.mid(20 + header[3] + 8);
    }
    // The names of the root's children.
    QStringList Children() const {
        QStringList names;
        const QJsonArray nodes = json["nodes"].toArray();
        for (const QJsonValue child : nodes[0].toObject()["children"].toArray())
            names << nodes[child.toInt()].toObject()["name"].toString();
        return names;
    }
    QJsonObject SheetAttributes() const {
        return json["meshes"][0]["primitives"][0]["attributes"].toObject();
    }
    // Element i of an accessor of 4-byte components.
    template <typename T> T At(int accessor, int i) const {
        const QJsonObject a = json["accessors"][accessor].toObject();
        const QJsonObject view = json["bufferViews"][a["bufferView"].toInt()].toObject();
        T value{};
        std::memcpy(&value, binary.constData() + view["byteOffset"].toInt() + i * sizeof value, sizeof value);
        return value;
    }
};

// Answers the next "Compare with" dialog: this project at a fixed record.
void CompareWithRecord(int record) {
    QTimer::singleShot(0, [record] {
        auto* dialog = qobject_cast<CCompareDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        QTest::mouseClick(dialog->FixedButton(), Qt::LeftButton);
        dialog->RecordBox()->setValue(record);
        QTest::mouseClick(dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok),
                          Qt::LeftButton);
    });
}

} // namespace

void MainFrameTest::exportModelWritesWhatTheActiveViewShows() {
    CChildFrame* child = Open(fixture->ProjectPath());
    QVERIFY(child);
    CSceneRender* view = child->View();
    QVERIFY(Command(command::ExportModel)->isEnabled());
    // The name typed without its extension gets it.
    files.model = QString::fromStdString(home.File("plain"));
    Command(command::ExportModel)->trigger();
    QCOMPARE(QString::fromStdString(messages->Texts()), QStringLiteral("3D model successfully created."));
    Glb plain(files.model + ".glb");
    QCOMPARE(plain.Children(), (QStringList{"Sheet", "Tool 1"}));
    QCOMPARE(plain.json["nodes"][0]["name"].toString(), QStringLiteral("fixture.tfc, record 5"));
    QCOMPARE(plain.json["scenes"][0]["extras"]["title"].toString(), QStringLiteral("Thickness"));
    // The model carries first contact although the view never showed it:
    // the export read it over every record.
    const std::shared_ptr<const FirstContactRecords> contact = view->Scene().View().Sheet()->FirstContact();
    QVERIFY(contact);
    int touched = 0;
    const int firstContact = plain.SheetAttributes()["_FIRST_CONTACT"].toInt();
    for (int node = 1; node <= view->Scene().View().Sheet()->NodeCount(); ++node) {
        const double record = (*contact)[static_cast<size_t>(node)];
        const float written = plain.At<float>(firstContact, node - 1);
        if (std::isnan(record)) {
            QCOMPARE(written, std::numeric_limits<float>::lowest());
        } else {
            QCOMPARE(written, static_cast<float>(record));
            ++touched;
        }
    }
    QCOMPARE(touched, 5);

    // Record 1 of the temperature compared with record 5, the tool hidden.
    Command(command::GoToStart)->trigger();
    QTRY_COMPARE(view->ShownRecord(), 1);
    view->Commands().SetQuantity(ResultQuantity::Temperature);
    Command(command::Tool1)->trigger();
    CompareWithRecord(5);
    Command(command::CompareWith)->trigger();
    QVERIFY(view->Scene().Comparison());
    files.model = QString::fromStdString(home.File("compared.glb"));
    Command(command::ExportModel)->trigger();
    Glb compared(files.model);
    QCOMPARE(compared.Children(), QStringList{"Sheet"});
    QCOMPARE(compared.json["nodes"][0]["name"].toString(), QStringLiteral("fixture.tfc, record 1"));
    const Presentation& shown = view->Scene().Presented();
    QCOMPARE(compared.json["scenes"][0]["extras"]["title"].toString(), QString::fromStdString(shown.title));
    QVERIFY(shown.title.find("Temperature") != std::string::npos);
    // The view's colours, linear, and its differences beside every
    // quantity's values.
    const QJsonObject attributes = compared.SheetAttributes();
    QVERIFY(attributes.contains("_DELTA_TEMPERATURE"));
    QVERIFY(attributes.contains("_THICKNESS"));
    NodeColouring colouring;
    ColourPresented(*view->Scene().View().Sheet(), shown, colouring);
    for (int node = 1; node <= view->Scene().View().Sheet()->NodeCount(); ++node) {
        const RgbColour expected = shown.ramp->Entry(colouring.indices[static_cast<size_t>(node)]);
        const uint32_t written = compared.At<uint32_t>(attributes["COLOR_0"].toInt(), node - 1);
        QCOMPARE(static_cast<int>(written & 0xFF),
                 static_cast<int>(std::lround(255 * LinearFromSrgb(expected.red))));
        QCOMPARE(static_cast<int>((written >> 16) & 0xFF),
                 static_cast<int>(std::lround(255 * LinearFromSrgb(expected.blue))));
        QCOMPARE(compared.At<float>(attributes["_DELTA_TEMPERATURE"].toInt(), node - 1),
                 static_cast<float>(colouring.values[static_cast<size_t>(node)]));
    }

    // A minimum wall between the thinnest and the thickest element: the
    // thinner elements, as many as the scale panel counts, on their own in
    // its colour.
    double thinnest = 1e300, thickest = 0;
    for (const CElementDerived& element : view->Scene().View().Sheet()->Derived().elements) {
        thinnest = std::min(thinnest, element.Thickness);
        thickest = std::max(thickest, element.Thickness);
    }
    QVERIFY(thinnest < thickest);
    view->Commands().SetMinimumWall((thinnest + thickest) / 2);
    files.model = QString::fromStdString(home.File("walled.glb"));
    Command(command::ExportModel)->trigger();
    Glb walled(files.model);
    const QJsonArray primitives = walled.json["meshes"][0]["primitives"].toArray();
    QCOMPARE(primitives.size(), 2);
    const int below = view->Scene().Presented().minimumWall.share.elements;
    QVERIFY(below > 0);
    QCOMPARE(walled.json["accessors"][primitives[1].toObject()["indices"].toInt()]["count"].toInt(),
             3 * below);
    QCOMPARE(walled.json["materials"][primitives[1].toObject()["material"].toInt()]["name"].toString(),
             QStringLiteral("Minimum wall"));
}
