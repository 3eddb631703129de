// The graphical options dialog and the configuration dialog, driven through
// their controls under a virtual X server. Colour choosers are replaced and
// the configuration dialog is driven instead of exec(): nothing here waits on
// a modal window. QUILLMERE_SCREENSHOTS=FOLDER keeps a picture of each dialog.
#include "config/CConfiguration.h"
#include "config/Colour.h"
#include "core/TextLines.h"
#include "tests/support/QtTestSupport.h"
#include "tests/support/TestSupport.h"
#include "ui/config/CConfigurationDialog.h"
#include "ui/config/CGraphicalOptionsDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSlider>
#include <QToolButton>
#include <QtTest>

#include <functional>
#include <map>
#include <memory>
#include <vector>

using namespace quillmere;

namespace {

QString Name(const DisplayField& field) {
    return QString::fromStdString(field.name);
}

// Every field of a settings block, so a comparison shows any stray write.
std::vector<double> Fields(DisplaySettings s) {
    std::vector<double> values;
    for (const DisplayField& field : DisplayFields())
        values.push_back(field.real ? field.real(s) : field.integer(s));
    return values;
}

// Settings unlike the defaults and unlike each other in every field: toggles
// alternate, colours and opacities differ per field.
DisplaySettings Distinct(int seed) {
    DisplaySettings s;
    int n = seed;
    const auto next = [&n] { return ++n; };
    for (const DisplayField& field : DisplayFields()) {
        switch (field.kind) {
        case DisplayFieldKind::Toggle:
            field.setInteger(s, next() % 2);
            break;
        case DisplayFieldKind::Colour:
            field.setInteger(s, MakeColour(uint8_t(next() * 37), uint8_t(n * 11), uint8_t(n * 5)));
            break;
        case DisplayFieldKind::Mode:
            field.setInteger(s, next() % 3);
            break;
        case DisplayFieldKind::Opacity:
            field.real(s) = 0.01 * (next() % 97);
            break;
        case DisplayFieldKind::Count:
            field.setInteger(s, 1234 + seed);
            break;
        }
    }
    return s;
}

// The colour a swatch shows in the middle of its icon.
int SwatchColour(QToolButton* swatch) {
    const QImage image = swatch->icon().pixmap(swatch->iconSize()).toImage();
    const QColor c = image.pixelColor(image.width() / 2, image.height() / 2);
    return MakeColour(uint8_t(c.red()), uint8_t(c.green()), uint8_t(c.blue()));
}

std::string FileText(const CConfiguration& configuration) {
    return ReadWholeFile(configuration.FilePath());
}

} // namespace

class OptionsDialogTest : public QObject {
    Q_OBJECT

    std::unique_ptr<CGraphicalOptionsDialog> dialog;
    DisplaySettings settings = Distinct(0);
    int changes = 0;

    template <class T> T* Find(const QString& name) {
        T* widget = dialog->findChild<T*>(name);
        if (!widget)
            qFatal("no control %s", qPrintable(name));
        return widget;
    }

    // Every control shows the value of its field in s.
    void ExpectControlsShow(DisplaySettings& s) {
        for (const DisplayField& field : DisplayFields()) {
            const QString name = Name(field);
            switch (field.kind) {
            case DisplayFieldKind::Toggle:
                QVERIFY2(Find<QAbstractButton>(name)->isChecked() == (field.integer(s) != 0),
                         qPrintable(name));
                break;
            case DisplayFieldKind::Colour:
                QVERIFY2(SwatchColour(Find<QToolButton>(name)) == field.integer(s), qPrintable(name));
                break;
            case DisplayFieldKind::Mode:
                QVERIFY2(Find<QComboBox>(name)->currentIndex() == field.integer(s), qPrintable(name));
                break;
            case DisplayFieldKind::Opacity:
                QVERIFY2(Find<QSlider>(name)->value() == int(100 * field.real(s)), qPrintable(name));
                break;
            case DisplayFieldKind::Count:
                QVERIFY(!dialog->findChild<QWidget*>(name));
                break;
            }
        }
    }

    // Each scheme's swatches are shown only with their scheme.
    void ShowSwatch(const QString& name) {
        if (name.startsWith("background"))
            Find<QComboBox>("backgroundScheme")
                ->setCurrentIndex(name == "backgroundColour" ? 0
                                  : name.contains("Corner")  ? 2
                                                             : 1);
    }

    std::vector<QString> VisibleSchemeControls() {
        std::vector<QString> visible;
        for (const char* name : {"uniformLabel", "backgroundColour", "gradientLabel", "backgroundTop",
                                 "backgroundBottom", "cornersLabel", "backgroundCorner0", "backgroundCorner1",
                                 "backgroundCorner2", "backgroundCorner3"})
            if (Find<QWidget>(name)->isVisible())
                visible.push_back(name);
        return visible;
    }

private slots:
    void init() {
        settings = Distinct(0);
        changes = 0;
        dialog = std::make_unique<CGraphicalOptionsDialog>();
        dialog->setAttribute(Qt::WA_DeleteOnClose, false);
        dialog->chooseColour = [](int&) -> bool { qFatal("unexpected colour chooser"); };
        dialog->SetTarget(&settings, [this] { ++changes; });
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    }
    void cleanup() { dialog.reset(); }

    // A field of 2 shows ticked, and a press makes it 0, not 3.
    void aToggleOfAnyNonZeroValueBecomesZero() {
        settings.tools[4].contactMarking = 2;
        dialog->Refresh();
        auto* button = Find<QAbstractButton>("tool4ContactMarking");
        QVERIFY(button->isChecked());
        button->click();
        QCOMPARE(settings.tools[4].contactMarking, 0);
        QVERIFY(!button->isChecked());
    }

    // Each control changes its own field alone, once; the field is written
    // and reads back equal; a field the file does not keep reads back as its
    // default.
    void everyControlSetsItsFieldAloneAndItReadsBack() {
        int offered = -1, colour = 0x00203040;
        dialog->chooseColour = [&](int& c) {
            offered = c;
            c = ++colour;
            return true;
        };
        std::map<DisplayFieldKind, int> controls;
        for (const DisplayField& field : DisplayFields()) {
            const QString name = Name(field);
            if (field.kind == DisplayFieldKind::Colour)
                ShowSwatch(name);
            DisplaySettings expected = settings;
            const int changesBefore = changes;
            ++controls[field.kind];
            if (field.kind == DisplayFieldKind::Toggle) {
                auto* button = Find<QAbstractButton>(name);
                field.setInteger(expected, field.integer(settings) ? 0 : 1);
                QTest::mouseClick(button, Qt::LeftButton);
                QCOMPARE(button->isChecked(), field.integer(settings) == 1);
            } else if (field.kind == DisplayFieldKind::Colour) {
                const int current = field.integer(settings);
                field.setInteger(expected, colour + 1);
                QTest::mouseClick(Find<QToolButton>(name), Qt::LeftButton);
                QCOMPARE(offered, current);
                QCOMPARE(SwatchColour(Find<QToolButton>(name)), colour);
            } else if (field.kind == DisplayFieldKind::Mode) {
                auto* list = Find<QComboBox>(name);
                QCOMPARE(list->count(), 3);
                field.setInteger(expected, (field.integer(settings) + 1) % 3);
                list->setCurrentIndex(field.integer(expected));
            } else if (field.kind == DisplayFieldKind::Opacity) {
                auto* slider = Find<QSlider>(name);
                QCOMPARE(slider->minimum(), 0);
                QCOMPARE(slider->maximum(), 100);
                const int position = slider->value() == 37 ? 38 : 37;
                field.real(expected) = position / 100.0;
                slider->setValue(position);
            } else {
                continue;
            }
            QVERIFY2(Fields(settings) == Fields(expected), qPrintable(name));
            QVERIFY2(changes == changesBefore + 1, qPrintable(name));
        }
        QCOMPARE(controls[DisplayFieldKind::Toggle], 8 + 2 * kToolSlots);
        QCOMPARE(controls[DisplayFieldKind::Colour], 2 + 4 + 7 + 3 * kToolSlots);
        QCOMPARE(controls[DisplayFieldKind::Opacity], 1 + kToolSlots);
        QCOMPARE(Find<QComboBox>("sheetDisplayMode")->itemText(0), QStringLiteral("EL+ED"));
        QCOMPARE(Find<QComboBox>("sheetDisplayMode")->itemText(2), QStringLiteral("EDGES"));
        QCOMPARE(Find<QComboBox>("tool9Mode")->itemText(1), QStringLiteral("WIRE"));
        QCOMPARE(Find<QComboBox>("tool9Mode")->itemText(2), QStringLiteral("SH+WR"));

        CTempFolder folder;
        CConfiguration written(folder.File("Quillmere.cfg"));
        written.Settings() = settings;
        QVERIFY(written.Write());
        DisplaySettings read = CConfiguration(written.FilePath()).Settings(), defaults;
        for (const DisplayField& field : DisplayFields()) {
            DisplaySettings& expected = field.line == DisplayLine::None ? defaults : settings;
            const double value = field.real ? field.real(expected) : field.integer(expected);
            QVERIFY2((field.real ? field.real(read) : field.integer(read)) == value, qPrintable(Name(field)));
        }
    }

    void aCancelledChooserChangesNothing() {
        dialog->chooseColour = [](int& colour) {
            colour = 0x00abcdef;
            return false;
        };
        const DisplaySettings before = settings;
        Find<QToolButton>("sheetColour")->click();
        QVERIFY(Fields(settings) == Fields(before));
        QCOMPARE(SwatchColour(Find<QToolButton>("sheetColour")), before.sheetColour);
        QCOMPARE(changes, 0);
    }

    // The chooser waits for the user while the active view may change: the
    // colour picked for one view must not land in another.
    void aColourChosenWhileTheTargetChangedIsDropped() {
        DisplaySettings other = Distinct(500);
        const DisplaySettings before = settings, otherBefore = other;
        int otherChanges = 0;
        dialog->chooseColour = [&](int& colour) {
            dialog->SetTarget(&other, [&otherChanges] { ++otherChanges; });
            colour = 0x00abcdef;
            return true;
        };
        Find<QToolButton>("sheetEdgeColour")->click();
        QVERIFY(Fields(settings) == Fields(before));
        QVERIFY(Fields(other) == Fields(otherBefore));
        QCOMPARE(changes + otherChanges, 0);
        QCOMPARE(SwatchColour(Find<QToolButton>("sheetEdgeColour")), other.sheetEdgeColour);
    }

    void theKeyboardSelectsAMode() {
        settings.tools[2].mode = 0;
        dialog->Refresh();
        auto* list = Find<QComboBox>("tool2Mode");
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Down);
        QCOMPARE(settings.tools[2].mode, 1);
        QCOMPARE(changes, 1);
    }

    // Two views: the dialog follows the active one and shows every field,
    // writing none (positions are truncated: 0.29 shows at 28, and showing it
    // leaves 0.29); edits go to it alone and its callback alone is called.
    void switchingViewsShowsEachViewsSettings() {
        DisplaySettings second = Distinct(200);
        second.tools[3].opacity = 0.29;
        second.sheetOpacity = 0.999;
        const DisplaySettings secondBefore = second, firstBefore = settings;
        int secondChanges = 0;
        dialog->SetTarget(&second, [&secondChanges] { ++secondChanges; });
        QCOMPARE(dialog->Target(), &second);
        ExpectControlsShow(second);
        QCOMPARE(Find<QSlider>("tool3Opacity")->value(), 28);
        QCOMPARE(Find<QSlider>("sheetOpacity")->value(), 99);
        QVERIFY(Fields(second) == Fields(secondBefore));
        QCOMPARE(secondChanges + changes, 0);
        Find<QAbstractButton>("tool0Shown")->click();
        QCOMPARE(second.tools[0].shown, secondBefore.tools[0].shown ? 0 : 1);
        QVERIFY(Fields(settings) == Fields(firstBefore));
        QCOMPARE(secondChanges, 1);

        dialog->SetTarget(&settings, [this] { ++changes; });
        ExpectControlsShow(settings);
        Find<QSlider>("sheetOpacity")->setValue(50);
        QCOMPARE(settings.sheetOpacity, 0.5);
        QCOMPARE(changes, 1);
        QCOMPARE(secondChanges, 1);
    }

    void theSchemeShowsItsOwnSwatches() {
        auto* scheme = Find<QComboBox>("backgroundScheme");
        const struct {
            const char *item, *label, *text;
            std::vector<QString> visible;
        } schemes[] = {
            {"One color scheme", "uniformLabel", "Uniform color", {"uniformLabel", "backgroundColour"}},
            {"Two colors scheme",
             "gradientLabel",
             "Vertical gradient",
             {"gradientLabel", "backgroundTop", "backgroundBottom"}},
            {"Four colors scheme",
             "cornersLabel",
             "Gradient from corners",
             {"cornersLabel", "backgroundCorner0", "backgroundCorner1", "backgroundCorner2",
              "backgroundCorner3"}}};
        for (int k = 0; k < 3; ++k) {
            QCOMPARE(scheme->itemText(k), QString(schemes[k].item));
            scheme->setCurrentIndex(k);
            QCOMPARE(settings.backgroundScheme, k);
            QCOMPARE(VisibleSchemeControls(), schemes[k].visible);
            QCOMPARE(Find<QLabel>(schemes[k].label)->text(), QString(schemes[k].text));
        }
        QCOMPARE(changes, 3);

        // A view of another scheme brings its own swatches.
        DisplaySettings other = Distinct(300);
        other.backgroundScheme = 0;
        dialog->SetTarget(&other, [] {});
        QCOMPARE(VisibleSchemeControls(), (std::vector<QString>{"uniformLabel", "backgroundColour"}));
    }

    void buttonsAskForApplyToAllAndSave() {
        QSignalSpy applied(dialog.get(), &CGraphicalOptionsDialog::ApplyToAllRequested);
        QSignalSpy saved(dialog.get(), &CGraphicalOptionsDialog::SaveRequested);
        QTest::mouseClick(Find<QPushButton>("save"), Qt::LeftButton);
        QCOMPARE(saved.count(), 1);
        QCOMPARE(applied.count(), 0);
        QTest::mouseClick(Find<QPushButton>("applyToAll"), Qt::LeftButton);
        QCOMPARE(applied.count(), 1);
        QCOMPARE(saved.count(), 1);
        // Return in a list neither saves nor copies.
        QTest::keyClick(Find<QComboBox>("sheetDisplayMode"), Qt::Key_Return);
        QCOMPARE(applied.count() + saved.count(), 2);
        QCOMPARE(changes, 0);
    }

    void closeDeletesTheDialog() {
        QPointer<CGraphicalOptionsDialog> owned = new CGraphicalOptionsDialog;
        owned->SetTarget(&settings, [] {});
        owned->show();
        QVERIFY(owned->isModal() == false);
        QCOMPARE(owned->windowTitle(), QStringLiteral("Graphical options"));
        QTest::mouseClick(owned->findChild<QPushButton*>("close"), Qt::LeftButton);
        QTRY_VERIFY(owned.isNull());
    }

    // No two visible controls overlap, and none sticks out of the dialog.
    void theLayoutIsTidy() {
        for (int scheme = 0; scheme < 3; ++scheme) {
            Find<QComboBox>("backgroundScheme")->setCurrentIndex(scheme);
            QApplication::processEvents();
            std::vector<std::pair<QString, QRect>> boxes;
            for (QWidget* w : dialog->findChildren<QWidget*>()) {
                if (!w->isVisible() || !(qobject_cast<QAbstractButton*>(w) || qobject_cast<QComboBox*>(w) ||
                                         qobject_cast<QSlider*>(w) || qobject_cast<QLabel*>(w)))
                    continue;
                const QRect box(w->mapTo(dialog.get(), QPoint(0, 0)), w->size());
                QVERIFY2(dialog->rect().contains(box), qPrintable(w->objectName()));
                for (const auto& [name, other] : boxes)
                    QVERIFY2(!box.intersects(other), qPrintable(w->objectName() + " / " + name));
                boxes.emplace_back(w->objectName(), box);
            }
            QVERIFY(boxes.size() > 90);
            KeepPicture(*dialog, QStringLiteral("graphical-options-%1").arg(scheme));
        }
    }

    void configurationOpensWithTheCurrentSystem() {
        CTempFolder folder;
        CConfiguration configuration(folder.File("Quillmere.cfg"));
        configuration.SetSIMetric(false);
        CConfigurationDialog us(configuration);
        QVERIFY(us.USButton()->isChecked() && !us.SIButton()->isChecked());
        configuration.SetSIMetric(true);
        CConfigurationDialog si(configuration);
        QVERIFY(si.SIButton()->isChecked() && !si.USButton()->isChecked());
        QCOMPARE(si.windowTitle(), QStringLiteral("Configuration"));
        QCOMPARE(si.SIButton()->text(), QStringLiteral(u"SI Metric (mm, °C)"));
        QCOMPARE(si.USButton()->text(), QStringLiteral(u"US Customary (inch, °F)"));
        si.show();
        QVERIFY(QTest::qWaitForWindowExposed(&si));
        KeepPicture(si, QStringLiteral("configuration"));
    }

    void configurationDialogButtons_data() {
        QTest::addColumn<bool>("us"); // the last radio clicked
        QTest::addColumn<int>("button");
        QTest::newRow("US, Cancel") << true << int(QDialogButtonBox::Cancel);
        QTest::newRow("US, OK") << true << int(QDialogButtonBox::Ok);
        QTest::newRow("US then SI, OK") << false << int(QDialogButtonBox::Ok);
    }

    // A click takes effect at once; Cancel brings back the file's system, OK
    // writes the new one; OK with the system it opened with is no change.
    void configurationDialogButtons() {
        QFETCH(bool, us);
        QFETCH(int, button);
        CTempFolder folder;
        CConfiguration configuration(folder.File("Quillmere.cfg"));
        const std::string file = FileText(configuration);
        bool siWhileOpen = true;
        const bool changed = CConfigurationDialog::Edit(configuration, nullptr, [&](CConfigurationDialog& d) {
            QTest::mouseClick(d.USButton(), Qt::LeftButton);
            if (!us)
                QTest::mouseClick(d.SIButton(), Qt::LeftButton);
            siWhileOpen = configuration.IsSIMetric();
            d.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::StandardButton(button))->click();
            return d.result();
        });
        const bool toUS = us && button == QDialogButtonBox::Ok;
        QCOMPARE(siWhileOpen, !us);
        QCOMPARE(changed, toUS);
        QCOMPARE(configuration.IsSIMetric(), !toUS);
        QCOMPARE(CConfiguration(configuration.FilePath()).IsSIMetric(), !toUS);
        if (toUS)
            QVERIFY(Contains(FileText(configuration), "\nSystem of units:\t\tUS Customary\n"));
        else
            QCOMPARE(FileText(configuration), file);
    }

    // The step after the dialog, without a window: the file decides.
    void afterTheDialogTheFileIsReadAgain() {
        CTempFolder folder;
        CConfiguration configuration(folder.File("Quillmere.cfg"));
        // Another program's edit of the display settings comes back too.
        configuration.SetSIMetric(false);
        configuration.Settings().tools[2].mode = 1;
        QVERIFY(!FinishConfigurationDialog(configuration, false, true));
        QVERIFY(configuration.IsSIMetric());
        QCOMPARE(configuration.Settings().tools[2].mode, 0);

        configuration.SetSIMetric(false);
        QVERIFY(FinishConfigurationDialog(configuration, true, true));
        QVERIFY(!configuration.IsSIMetric());
        QVERIFY(Contains(FileText(configuration), "System of units:\t\tUS Customary\n"));
        configuration.SetSIMetric(true);
        QVERIFY(!FinishConfigurationDialog(configuration, false, false));
        QVERIFY(!configuration.IsSIMetric());
    }
};

int main(int argc, char** argv) {
    return RunWindowTest<OptionsDialogTest>(argc, argv);
}

#include "OptionsDialogTest.moc"
