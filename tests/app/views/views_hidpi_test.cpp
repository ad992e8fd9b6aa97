// The views on a screen of pixel ratio 2: the plot is drawn with twice the pixels each way (its
// curves keep to the logical rows, as the plot defines them), the dynamics field at the device's
// resolution (finer than the same picture enlarged), and the exported PNGs hold exactly the
// device pixels shown.
#include "app/gui/file_dialogs.h"
#include "app/views/dynamics_view.h"
#include "app/views/graphs_view.h"
#include "render/dynamics_painter.h"
#include "render/graphs_painter.h"

#include "view_fixtures.h"
#include <QApplication>
#include <QTemporaryDir>
#include <QtTest>

using axolite::language::SeriesFamily;

namespace {

QImage deviceRegion(const QImage& image, const QRect& logical) {
    const QRect device(logical.topLeft() * 2, logical.size() * 2);
    QImage region = image.copy(device).convertToFormat(QImage::Format_RGB32);
    region.setDevicePixelRatio(1.0); // as a PNG file reads back
    return region;
}

// The picture as a 1 × picture enlarged twice would look: every 2 × 2 block one colour.
bool enlargedFromHalf(const QImage& image) {
    for (int y = 0; y + 1 < image.height(); y += 2) {
        for (int x = 0; x + 1 < image.width(); x += 2) {
            const QRgb p = image.pixel(x, y);
            if (image.pixel(x + 1, y) != p || image.pixel(x, y + 1) != p ||
                image.pixel(x + 1, y + 1) != p) {
                return false;
            }
        }
    }
    return true;
}

} // namespace

class ViewsHiDpiTest : public QObject {
    Q_OBJECT

private slots:
    void drawnAtTheDeviceResolutionAndExportedAsShown() {
        FakeDescription window;
        window.setGrid(0.0, 10.0, 0.01);
        window.setSeries(SeriesFamily::Network, 0, [](int j) { return std::sin(j * 0.003); });
        window.setSeries(SeriesFamily::Network, 1, [](int j) { return 0.5 * std::cos(j * 0.004); });
        TAxoliteGraphs graphs(&window);
        TNetworkDynamic dynamics(&window);
        graphs.show();
        dynamics.show();
        QVERIFY(QTest::qWaitForWindowExposed(&graphs));
        QCOMPARE(graphs.devicePixelRatioF(), 2.0);

        const QImage plot =
            deviceRegion(graphs.grab().toImage(), axolite::render::GraphsPainter::plotRect());
        const QImage field =
            deviceRegion(dynamics.grab().toImage(), axolite::render::DynamicsPainter::fieldRect());
        QCOMPARE(plot.size(), QSize(1210, 290));
        QVERIFY(!enlargedFromHalf(field));

        QTemporaryDir dir;
        QString path = dir.filePath(QStringLiteral("graphs.png"));
        axolite::gui::setFileChooser(
            [&](QWidget*, const axolite::gui::FileDialogRequest&) { return path; });
        graphs.exportPicture(axolite::views_gui::PictureFormat::Png);
        QCOMPARE(QImage(path).convertToFormat(QImage::Format_RGB32), plot);
        path = dir.filePath(QStringLiteral("dynamics.png"));
        dynamics.exportPicture(axolite::views_gui::PictureFormat::Png);
        QCOMPARE(QImage(path).convertToFormat(QImage::Format_RGB32), field);
        axolite::gui::setFileChooser({});
    }
};

int main(int argc, char** argv) {
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication application(argc, argv);
    ViewsHiDpiTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "views_hidpi_test.moc"
