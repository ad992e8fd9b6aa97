// The model dialog driven through its controls: tabs keep what was typed, the fields filter
// their characters, saving checks the code's range, and a model survives a round trip through a
// file; the transfer-function pictures show their curves.
#include "app/gui/notifier.h"
#include "app/simulation/choose_model.h"
#include "core/platform/folder_settings.h"
#include "core/platform/profile_file.h"
#include "dialog_controls.h"
#include "render/transfer_function_painter.h"

#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTabBar>
#include <QTemporaryDir>
#include <QtTest>

using axolite::MessageKind;
using axolite::simulation::ModelKind;

namespace {

// The dialog with its file dialogs replaced by answers the test gives.
// A step model file (code 250) named name in dir; empty when it could not be written.
QString writeStepModel(const QTemporaryDir& dir, const QString& name) {
    QFile file(dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly)) {
        return {};
    }
    file.write("[Ступенчатая]\r\nID=250\r\nY1=2\r\nX1=0\r\n");
    return file.fileName();
}

class ScriptedChooseModel : public TChooseModel {
public:
    using TChooseModel::TChooseModel;
    QString openAnswer;
    QString saveAnswer;
    QString proposedName;
    QString shownFolder;
    int saveDialogs = 0;

protected:
    QString chooseOpenPath(const QString& folder) override {
        shownFolder = folder;
        return openAnswer;
    }
    QString chooseSavePath(const QString& folder, const QString& name) override {
        shownFolder = folder;
        proposedName = name;
        ++saveDialogs;
        return saveAnswer;
    }
};

void type(QWidget& dialog, const char* id, const QString& text) {
    auto* edit = control<QLineEdit>(dialog, id);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

QString text(QWidget& dialog, const char* id) {
    return control<QLineEdit>(dialog, id)->text();
}

const std::vector<axolite::Message>& shown() {
    return Notifier::instance().captured();
}

QString lastShownText() {
    return shown().empty() ? QString() : QString::fromStdString(shown().back().text);
}

} // namespace

class DialogsModelTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        Notifier::instance().setCapturing(true);
        Notifier::instance().clearCaptured();
    }

    void setUpShowsTheLinearTabWithNothingToSave() {
        ScriptedChooseModel dialog;
        dialog.show();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Описание модели нейроноподобного элемента"));
        auto* tabs = control<QTabBar>(dialog, "108");
        QCOMPARE(tabs->count(), 4);
        QCOMPARE(tabs->tabText(0), QStringLiteral("Линейная "));
        QCOMPARE(tabs->tabText(3), QStringLiteral("Гауссова"));
        QCOMPARE(tabs->currentIndex(), 0);
        QCOMPARE(control<QLabel>(dialog, "203")->text(), QStringLiteral("xt  ="));
        QVERIFY(control<QWidget>(dialog, "109")->isVisible());
        QVERIFY(!control<QWidget>(dialog, "102")->isVisible());
        QVERIFY(!control<QPushButton>(dialog, "106")->isEnabled());
        type(dialog, "101", QStringLiteral("1"));
        QVERIFY(control<QPushButton>(dialog, "106")->isEnabled());
    }

    void fieldsAcceptOnlyTheirCharactersUpToThirteen() {
        ScriptedChooseModel dialog;
        dialog.show();
        type(dialog, "105", QStringLiteral("12a-3.e"));
        QCOMPARE(text(dialog, "105"), QStringLiteral("123"));
        type(dialog, "101", QStringLiteral("-1.5E+3xyz,"));
        QCOMPARE(text(dialog, "101"), QStringLiteral("-1.5E+3"));
        type(dialog, "103", QStringLiteral("12345678901234567"));
        QCOMPARE(text(dialog, "103").size(), 13);
    }

    void switchingTabsKeepsEachKindsTexts() {
        ScriptedChooseModel dialog;
        dialog.show();
        type(dialog, "105", QStringLiteral("7"));
        type(dialog, "101", QStringLiteral("1"));
        type(dialog, "112", QStringLiteral("0.5"));
        auto* tabs = control<QTabBar>(dialog, "108");
        tabs->setCurrentIndex(1); // step
        QCOMPARE(dialog.currentKind(), ModelKind::Step);
        QCOMPARE(text(dialog, "105"), QString());
        QCOMPARE(control<QLabel>(dialog, "203")->text(), QStringLiteral(" "));
        QVERIFY(!control<QLineEdit>(dialog, "112")->isVisible());
        QVERIFY(control<QWidget>(dialog, "102")->isVisible());
        QVERIFY(!control<QWidget>(dialog, "109")->isVisible());
        type(dialog, "105", QStringLiteral("250"));
        tabs->setCurrentIndex(0);
        QCOMPARE(text(dialog, "105"), QStringLiteral("7"));
        QCOMPARE(text(dialog, "112"), QStringLiteral("0.5"));
        QVERIFY(control<QLineEdit>(dialog, "112")->isVisible());
        QCOMPARE(dialog.slotText(ModelKind::Step, TChooseModel::Code), QStringLiteral("250"));
    }

    void savingChecksTheCodeAgainstTheTab_data() {
        QTest::addColumn<int>("tab");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("message");
        QTest::newRow("250 linear") << 0 << "250"
                                    << "Код идентификации нейроноподобных элементов с линейной "
                                       "передаточной функцией должен лежать в диапазоне от 1 до "
                                       "200.";
        QTest::newRow("200 step") << 1 << "200"
                                  << "Код идентификации нейроноподобных элементов со  ступенчатой "
                                     "передаточной функцией должен лежать в диапазоне от 201 до "
                                     "400.";
        QTest::newRow("601 sigmoid")
            << 2 << "601"
            << "Код идентификации нейроноподобных элементов с сигмовидной передаточной функцией "
               "должен лежать в диапазоне от 401 до 600.";
        QTest::newRow("600 gaussian")
            << 3 << "600"
            << "Код идентификации нейроноподобных элементов с передаточной функцией гауссова "
               "распределния должен лежать в диапазоне от 601 до 800.";
        QTest::newRow("801 gaussian, first three characters count")
            << 3 << "8012"
            << "Код идентификации нейроноподобных элементов с передаточной функцией гауссова "
               "распределния должен лежать в диапазоне от 601 до 800.";
    }
    void savingChecksTheCodeAgainstTheTab() {
        QFETCH(int, tab);
        QFETCH(QString, code);
        QFETCH(QString, message);
        ScriptedChooseModel dialog;
        dialog.show();
        control<QTabBar>(dialog, "108")->setCurrentIndex(tab);
        type(dialog, "105", code);
        dialog.saveAnswer = QStringLiteral("/nonexistent/never.neu");
        QTest::mouseClick(control<QPushButton>(dialog, "106"), Qt::LeftButton);
        QCOMPARE(shown().size(), std::size_t{1});
        QCOMPARE(shown()[0].kind, MessageKind::Error);
        QCOMPARE(lastShownText(), message);
        QCOMPARE(dialog.saveDialogs, 0);
    }

    void codeZeroWarnsAndThenSavesTheDefaultModel() {
        QTemporaryDir dir;
        axolite::platform::FolderSettings folders;
        folders.models = dir.path().toStdString();
        folders.set = true;
        ScriptedChooseModel dialog(&folders);
        dialog.show();
        type(dialog, "105", QStringLiteral("0"));
        type(dialog, "101", QStringLiteral("10"));
        type(dialog, "103", QStringLiteral("-10"));
        type(dialog, "112", QStringLiteral("0"));
        dialog.saveAnswer = dir.filePath(QStringLiteral("0.neu"));
        QTest::mouseClick(control<QPushButton>(dialog, "106"), Qt::LeftButton);
        QCOMPARE(shown().size(), std::size_t{1});
        QCOMPARE(lastShownText(),
                 QStringLiteral("Файл 0.neu описывает модель нейрона, принимаемую по умолчанию"));
        QCOMPARE(dialog.proposedName, QStringLiteral("0.neu"));
        QCOMPARE(dialog.shownFolder, dir.path());
        const auto path = axolite::platform::pathFromUtf8(dialog.saveAnswer.toStdString());
        const auto model = axolite::simulation::loadModel(path, 0);
        QVERIFY(model.has_value());
        QCOMPARE(model->y1, 10.0);
        QCOMPARE(model->x1, -10.0);
        QCOMPARE(model->xt, 0.0);
    }

    void aModelSurvivesARoundTripThroughItsFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("450.neu"));
        {
            ScriptedChooseModel dialog;
            dialog.show();
            control<QTabBar>(dialog, "108")->setCurrentIndex(2); // sigmoid
            type(dialog, "105", QStringLiteral("450"));
            type(dialog, "101", QStringLiteral("1.25"));
            type(dialog, "103", QStringLiteral("-1e2"));
            type(dialog, "112", QStringLiteral("+0.5"));
            dialog.saveAnswer = path;
            QTest::mouseClick(control<QPushButton>(dialog, "106"), Qt::LeftButton);
            QCOMPARE(dialog.proposedName, QStringLiteral("450.neu"));
            QVERIFY(shown().empty());
        }
        ScriptedChooseModel dialog;
        dialog.show();
        type(dialog, "105", QStringLiteral("12")); // typed on the linear tab before loading
        dialog.openAnswer = path;
        QTest::mouseClick(control<QPushButton>(dialog, "104"), Qt::LeftButton);
        QVERIFY(shown().empty());
        QCOMPARE(dialog.currentKind(), ModelKind::Sigmoid);
        QCOMPARE(control<QTabBar>(dialog, "108")->currentIndex(), 2);
        QCOMPARE(text(dialog, "105"), QStringLiteral("450"));
        QCOMPARE(text(dialog, "101"), QStringLiteral("1.25"));
        QCOMPARE(text(dialog, "103"), QStringLiteral("-1e2"));
        QCOMPARE(text(dialog, "112"), QStringLiteral("+0.5"));
        QVERIFY(control<QWidget>(dialog, "110")->isVisible());
        QVERIFY(!control<QWidget>(dialog, "109")->isVisible());
        QCOMPARE(dialog.slotText(ModelKind::Linear, TChooseModel::Code), QStringLiteral("12"));
        // The file's other sections stay when another kind is saved under the same name.
        control<QTabBar>(dialog, "108")->setCurrentIndex(3);
        type(dialog, "105", QStringLiteral("700"));
        type(dialog, "101", QStringLiteral("2"));
        dialog.saveAnswer = path;
        QTest::mouseClick(control<QPushButton>(dialog, "106"), Qt::LeftButton);
        const auto profile = axolite::platform::ProfileFile::load(path.toStdString());
        QVERIFY(profile.has_value());
        QCOMPARE(profile->get("Сигмовидная", "Y1").value_or(""), std::string("1.25"));
        QCOMPARE(profile->get("Гауссова", "ID").value_or(""), std::string("700"));
    }

    void openingRefusesCodesOutsideEveryRangeAndDamagedFiles() {
        QTemporaryDir dir;
        ScriptedChooseModel dialog;
        dialog.show();
        dialog.openAnswer = dir.filePath(QStringLiteral("900.neu"));
        QTest::mouseClick(control<QPushButton>(dialog, "104"), Qt::LeftButton);
        QCOMPARE(lastShownText(),
                 QStringLiteral("Ошибка при открытии файла ") + dialog.openAnswer.toLower());
        QCOMPARE(shown().back().kind, MessageKind::Information);

        // A step file without its section leaves the dialog as it was and says so.
        QFile file(dir.filePath(QStringLiteral("300.neu")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[Линейная]\r\nID=300\r\n");
        file.close();
        dialog.openAnswer = file.fileName();
        QTest::mouseClick(control<QPushButton>(dialog, "104"), Qt::LeftButton);
        QCOMPARE(lastShownText(), QStringLiteral("Файл ") + file.fileName().toLower() +
                                      QStringLiteral(" не существует или поврежден."));
        QCOMPARE(dialog.currentKind(), ModelKind::Linear);
        QVERIFY(control<QLineEdit>(dialog, "101")->isVisible());
    }

    void aFailedWriteIsReportedWithItsPath() {
        ScriptedChooseModel dialog;
        dialog.show();
        type(dialog, "105", QStringLiteral("5"));
        type(dialog, "101", QStringLiteral("1"));
        dialog.saveAnswer = QStringLiteral("/nonexistent-folder/Model/5.neu");
        QTest::mouseClick(control<QPushButton>(dialog, "106"), Qt::LeftButton);
        QCOMPARE(dialog.proposedName, QStringLiteral("5.neu"));
        QCOMPARE(shown().size(), std::size_t{1});
        QCOMPARE(shown()[0].kind, MessageKind::Error);
        QCOMPARE(lastShownText(),
                 QStringLiteral("Ошибка при записи файла /nonexistent-folder/Model/5.neu"));
    }

    void aNameWithoutANumberNamesNoModel() {
        QTemporaryDir dir;
        const QString path = writeStepModel(dir, QStringLiteral("-Model.neu"));
        QVERIFY(!path.isEmpty());
        ScriptedChooseModel dialog;
        dialog.show();
        dialog.openAnswer = path;
        QTest::mouseClick(control<QPushButton>(dialog, "104"), Qt::LeftButton);
        QCOMPARE(shown().size(), std::size_t{1});
        QCOMPARE(shown()[0].kind, MessageKind::Information);
        QCOMPARE(lastShownText(), QStringLiteral("Файл ") + path.toLower() +
                                      QStringLiteral(" не существует или поврежден."));
        QCOMPARE(dialog.currentKind(), ModelKind::Linear);
        QCOMPARE(text(dialog, "101"), QString());
    }

    void aStepFileShowsTheStepTabWithoutTheShift() {
        QTemporaryDir dir;
        const QString path = writeStepModel(dir, QStringLiteral("250.neu"));
        QVERIFY(!path.isEmpty());
        ScriptedChooseModel dialog;
        dialog.show();
        dialog.openAnswer = path;
        QTest::mouseClick(control<QPushButton>(dialog, "104"), Qt::LeftButton);
        QVERIFY(shown().empty());
        QCOMPARE(dialog.currentKind(), ModelKind::Step);
        QCOMPARE(control<QLabel>(dialog, "203")->text(), QStringLiteral(" "));
        QVERIFY(!control<QLineEdit>(dialog, "112")->isVisible());
        QCOMPARE(text(dialog, "101"), QStringLiteral("2"));
        QVERIFY(control<QWidget>(dialog, "102")->isVisible());
    }

    void picturesDrawTheFunctionsOfTheirKind() {
        const QRectF area(0, 0, 160, 120);
        for (int k = 0; k < 4; ++k) {
            const auto kind = static_cast<ModelKind>(k);
            auto settings = TransferPictureSettings::forKind(kind);
            settings.curveWidth = 3.0;
            QImage image(160, 120, QImage::Format_RGB32);
            QPainter painter(&image);
            TransferFunctionPainter::paint(painter, area, kind, settings);
            painter.end();
            // Left of the threshold the curve lies on zero, right of it on the function.
            for (double x : {settings.xFrom + 0.05 * (settings.xTo - settings.xFrom),
                             settings.xTo - 0.05 * (settings.xTo - settings.xFrom)}) {
                const QPoint p =
                    TransferFunctionPainter::curvePoint(area, kind, settings, x).toPoint();
                QCOMPARE(image.pixelColor(p), settings.curve);
            }
        }
        // The step picture: nothing of the curve above the axis on the left half.
        auto settings = TransferPictureSettings::forKind(ModelKind::Step);
        QImage image(160, 120, QImage::Format_RGB32);
        QPainter painter(&image);
        TransferFunctionPainter::paint(painter, area, ModelKind::Step, settings);
        painter.end();
        const QPointF high = TransferFunctionPainter::curvePoint(area, ModelKind::Step, settings,
                                                                 settings.xTo - 0.1);
        QVERIFY(image.pixelColor(QPoint(20, static_cast<int>(high.y()))) != settings.curve);
    }
};

QTEST_MAIN(DialogsModelTest)
#include "dialogs_model_test.moc"
