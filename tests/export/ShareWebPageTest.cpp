// File > Share as web page... on a real view: the page of every record with
// the view's quantity first, the windows left at their record, the name's
// extension, Cancel, and a page that cannot be written.
#include "ui/export/ShareWebPage.h"
#include "config/CConfiguration.h"
#include "core/Messages.h"
#include "model/CProjectProfile.h"
#include "session/CSession.h"
#include "tests/model/ProjectFixture.h"
#include "tests/support/QtTestSupport.h"
#include "ui/scene/CSceneCommands.h"
#include "ui/scene/CSceneRender.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace quillmere;

class ShareWebPageTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void thePageHoldsEveryRecordWithTheViewsQuantityFirst();
    void cancelOrAnUnwritableFileWritesNothing();
    void fileNamesGetTheirExtension();

private:
    ShareWebPageHooks Named(const QString& name) {
        ShareWebPageHooks hooks;
        hooks.askFileName = [this, name](QWidget*, const QString& suggested) {
            suggestedName = suggested;
            return name.isEmpty() ? QString() : folder.filePath(name);
        };
        return hooks;
    }

    QTemporaryDir folder;
    std::unique_ptr<CConfiguration> configuration;
    std::unique_ptr<CProjectFixture> fixture;
    CSession session;
    std::unique_ptr<CSceneRender> view;
    std::unique_ptr<CRecordingMessages> messages;
    QString suggestedName;
};

void ShareWebPageTest::initTestCase() {
    QVERIFY(folder.isValid());
    configuration =
        std::make_unique<CConfiguration>(folder.filePath(QStringLiteral("Quillmere.cfg")).toStdString());
    fixture = std::make_unique<CProjectFixture>();
    QVERIFY(session.Open(fixture->ProjectPath(), nullptr));
    view = std::make_unique<CSceneRender>(&session, DisplaySettings());
    view->resize(320, 240);
    view->show();
    QVERIFY(QTest::qWaitForWindowExposed(view.get()));
    messages = std::make_unique<CRecordingMessages>();
}

void ShareWebPageTest::thePageHoldsEveryRecordWithTheViewsQuantityFirst() {
    QVERIFY(session.ShowRecord(2));
    view->Commands().SetQuantity(ResultQuantity::Temperature);
    QVERIFY(ShareWebPage(*view, *configuration, nullptr, Named(QStringLiteral("forming"))));
    QCOMPARE(suggestedName, QString::fromStdString(fixture->File("fixture.html")));
    const std::string page = ReadWholeFile(folder.filePath(QStringLiteral("forming.html")).toStdString());
    QVERIFY(page.find("\"quantities\":[{\"number\":2,\"name\":\"Temperature\"") != std::string::npos);
    for (int record = 1; record <= 3; ++record)
        QVERIFY(page.find("\"caption\":\"fixture.tfc: Rec. " + std::to_string(record) + " / 3.\"") !=
                std::string::npos);
    // The project was read on its own: the windows keep their record.
    QCOMPARE(session.Project().CurrentRecord(), 2);
    QCOMPARE(messages->Texts(), std::string());
}

void ShareWebPageTest::cancelOrAnUnwritableFileWritesNothing() {
    messages->messages.clear();
    QVERIFY(!ShareWebPage(*view, *configuration, nullptr, Named(QString())));
    QVERIFY(!ShareWebPage(*view, *configuration, nullptr, Named(QStringLiteral("missing/page.html"))));
    QCOMPARE(messages->Texts(), "The web page cannot be written: " +
                                    folder.filePath(QStringLiteral("missing/page.html")).toStdString());
    QVERIFY(!QFile::exists(folder.filePath(QStringLiteral("missing"))));
}

void ShareWebPageTest::fileNamesGetTheirExtension() {
    QCOMPARE(WebPageFileName(QStringLiteral("a/b")), QStringLiteral("a/b.html"));
    QCOMPARE(WebPageFileName(QStringLiteral("a/b.")), QStringLiteral("a/b.html"));
    QCOMPARE(WebPageFileName(QStringLiteral("a/b.htm")), QStringLiteral("a/b.htm"));
    QCOMPARE(WebPageFileName(QString()), QString());
}

int main(int argc, char** argv) {
    return RunWindowTest<ShareWebPageTest>(argc, argv, CSceneRender::PrepareApplication);
}

#include "ShareWebPageTest.moc"
