#include "tests/support/logmaker.h"
#include "tests/support/mainwindowfixture.h"
#include "tests/support/pixels.h"
#include "tests/support/testfiles.h"

#include "grapher/frmgrapher.h"
#include "grapher/graphlayout.h"
#include "grapher/graphpicture.h"
#include "grapher/logdocument.h"
#include "grapher/viewstatistics.h"
#include "ui/picturebox.h"
#include "ui/qtdialogs.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTimer>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <cmath>

using namespace qmx;

namespace {

// A run of n samples, one a second from a minute before midnight, with a gap at the 40th.
std::vector<LogSample> aroundMidnight(int n) {
    std::vector<LogSample> samples(size_t(n), LogSample{});
    for (int k = 1; k <= n; ++k) {
        const QTime t = QTime(23, 59).addSecs(k - 1);
        samples[size_t(k - 1)].timeStamp = t.toString("h:mm:ss AP");
        if (k != 40) {
            samples[size_t(k - 1)].value = float(3.0 * std::sin(k / 9.0) + k / 60.0);
        }
    }
    return samples;
}

class PictureTest : public MainWindowFixture {
protected:
    QTemporaryDir dir;
    void SetUp() override {
        MainWindowFixture::SetUp();
        ASSERT_TRUE(load());
    }
    frmGrapher* open(const QString& name, const std::vector<LogSample>& samples) {
        MakeLog(dir.filePath(name), samples, "12/6/2026", "bench, 5 V rail");
        dialogs.files.push_back(dir.filePath(name));
        w->mnuOpen->trigger();
        return w->Grapher.get();
    }
    void zoom(frmGrapher& g, double from, double to) {
        g.picGraph_MouseDown(from);
        g.picGraph_MouseDown(to);
        g.cmdZoom_Click();
    }
};

// The drawing of a known log against the stored picture: the fonts come with the program's
// dependencies, so only a few pixels of text may come out otherwise on another machine.
TEST(GraphPictureTest, KnownLogLooksAsTheStoredPicture) {
    QTemporaryDir dir;
    MakeLog(dir.filePath("known.qmx"), aroundMidnight(120), "12/6/2026", "bench, 5 V rail");
    const LogDocument log(dir.filePath("known.qmx"));
    GraphView view;
    view.ViewAll(log.Count());
    GraphScale::GetMaxMin(view, log);
    const ScaleLayout layout = GraphScale::DrawScale(view, view.MaxVal, view.MinVal);
    GraphCaptions captions = GraphCaptions::Of(log.Path(), log, view, layout);
    captions.Date = "Sunday, December 6, 2026";
    QImage drawn;
    drawn.loadFromData(GraphPicture(log, view, layout, captions).Encode(GraphPicture::Format::Png));
    const QString stored = QFileInfo(__FILE__).dir().filePath("graphpicture.png");
    if (qEnvironmentVariableIsSet("QMX_WRITE_REFERENCE")) {
        drawn.save(stored);
    }
    const QImage expected(stored);
    ASSERT_EQ(drawn.size(), GraphLayout::kPicture.size() * 2);
    ASSERT_EQ(expected.size(), drawn.size());
    const int differing = CountPixels(drawn, drawn.rect(), [&, i = 0](const QColor& c) mutable {
        const QColor e = expected.pixelColor(i % drawn.width(), i / drawn.width());
        ++i;
        return std::max({std::abs(c.red() - e.red()), std::abs(c.green() - e.green()),
                         std::abs(c.blue() - e.blue())}) > 48;
    });
    EXPECT_LE(differing, 60);
}

class SavedPicture : public PictureTest, public ::testing::WithParamInterface<const char*> {};

// The window's picture is the one qmxtool draws of the same view, and the SVG holds the
// trace as polylines through the samples' pixels.
TEST_P(SavedPicture, IsWhatQmxtoolDrawsOfTheSameView) {
    frmGrapher* g = open("run.qmx", aroundMidnight(120));
    zoom(*g, 20.0, 100.0);
    const QString saved = dir.filePath(QString("window.") + GetParam());
    dialogs.files.push_back(saved);
    g->mnuSavePicture->trigger();
    EXPECT_TRUE(dialogs.fileRequests.back().NewFile);
    EXPECT_EQ(dialogs.fileRequests.back().Filter, "PNG|*.png|SVG|*.svg");
    EXPECT_EQ(dialogs.boxes.size(), 0u);
    const QString drawn = dir.filePath(QString("tool.") + GetParam());
    QProcess tool;
    tool.start(QString(QMX_BIN_DIR) + "/qmxtool",
               {"plot", dir.filePath("run.qmx"), "-o", drawn, "--from", "20", "--to", "100"});
    ASSERT_TRUE(tool.waitForFinished(20000));
    EXPECT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().constData();
    const QByteArray picture = ContentsOf(saved);
    ASSERT_FALSE(picture.isEmpty());
    EXPECT_TRUE(picture == ContentsOf(drawn));
    if (QString(GetParam()) == "png") {
        EXPECT_EQ(QImage::fromData(picture).size(), GraphLayout::kPicture.size() * 2);
        return;
    }
    // The points of the red polylines, in the window's pixels; each group of the drawing
    // gives its pen and its place.
    QXmlStreamReader svg(picture);
    bool red = false;
    QPointF offset;
    std::vector<QPoint> points;
    while (!svg.atEnd()) {
        if (svg.readNext() != QXmlStreamReader::StartElement) {
            continue;
        }
        const auto attributes = svg.attributes();
        if (svg.name() == u"g") {
            red = attributes.value("stroke") == u"#ff0000";
            const QStringList m = attributes.value("transform").toString().mid(7).split(',');
            offset = QPointF(m.value(4).toDouble(), m.value(5).chopped(1).toDouble());
        } else if (svg.name() == u"polyline" && red) {
            for (const QString& xy :
                 attributes.value("points").toString().split(' ', Qt::SkipEmptyParts)) {
                const QPointF p(xy.section(',', 0, 0).toDouble(), xy.section(',', 1).toDouble());
                points.push_back((p + offset - QPointF(0.5, 0.5)).toPoint());
            }
        }
    }
    EXPECT_FALSE(svg.hasError()) << svg.errorString().toStdString();
    // Samples 20 to 100 less the gap at 40, at their own pixels of the plot.
    std::vector<QPoint> expected;
    for (int k = 20; k <= 100; ++k) {
        if (k != 40) {
            const QPoint p = g->picGraph->ToPixel(k - 19, g->Document()->Value(k));
            expected.push_back(p + GraphLayout::kPlot.topLeft());
        }
    }
    EXPECT_EQ(points, expected);
}

INSTANTIATE_TEST_SUITE_P(Formats, SavedPicture, ::testing::Values("png", "svg"));

// A name that is no picture's, the log itself (a log named a.svg), a missing folder: one
// box each saying why, no file left, the log as it was.
TEST_F(PictureTest, RefusedNamesSayWhyAndWriteNothing) {
    const std::tuple<const char*, const char*, const char*> refusals[] = {
        {"a.qmx", "a.jpg", "ends in .png (a PNG image) or .svg"},
        {"a.qmx", "a", "ends in .png (a PNG image) or .svg"},
        {"a.svg", "a.svg", "would replace the log itself"},
        {"a.qmx", "no/such/a.png", "No such file or directory"}};
    for (const auto& [name, target, why] : refusals) {
        SCOPED_TRACE(target);
        QDir(dir.path()).removeRecursively();
        QDir().mkpath(dir.path());
        dialogs.boxes.clear();
        frmGrapher* g = open(name, aroundMidnight(10));
        const QByteArray log = ContentsOf(dir.filePath(name));
        dialogs.files.push_back(dir.filePath(target));
        g->mnuSavePicture->trigger();
        ASSERT_EQ(dialogs.boxes.size(), 1u);
        EXPECT_EQ(dialogs.boxes[0].title, "Picture Not Saved!");
        EXPECT_TRUE(dialogs.boxes[0].text.contains(why)) << qPrintable(dialogs.boxes[0].text);
        EXPECT_EQ(ContentsOf(dir.filePath(name)), log);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{name});
    }
}

// Under the plot, in the gap above the readout, in the order of the samples' positions
// (across midnight: nothing sorted); the first starts at its sample, the last ends at its
// own, the others are centred; fewer samples than stamps give one stamp each.
TEST_F(PictureTest, TimeStampsStandUnderTheirSamples) {
    const std::tuple<int, std::vector<int>, QStringList> views[] = {
        {120,
         {1, 31, 61, 90, 120},
         {"11:59:00 PM", "11:59:30 PM", "12:00:00 AM", "12:00:29 AM", "12:00:59 AM"}},
        {3, {1, 2, 3}, {"11:59:00 PM", "11:59:01 PM", "11:59:02 PM"}},
        {1, {1}, {"11:59:00 PM"}}};
    for (const auto& [samples, positions, texts] : views) {
        SCOPED_TRACE(samples);
        frmGrapher* g = open(QString("t%1.qmx").arg(samples), aroundMidnight(samples));
        const auto n = int(positions.size());
        for (int i = 0; i < TimeAxis::kMarks; ++i) {
            const QLabel* label = g->lblTime[size_t(i)];
            ASSERT_EQ(label->isVisible(), i < n) << i;
            if (i < n) {
                EXPECT_EQ(label->text(), texts[i]);
                const int x =
                    80 +
                    int(std::lround((positions[size_t(i)] - 1) * 648.0 / std::max(1, samples - 1)));
                const QRect r = label->geometry();
                EXPECT_EQ(i == 0 ? r.left() : (i == n - 1 ? r.right() : r.center().x()), x) << i;
                EXPECT_EQ(r.top(), g->picGraph->geometry().bottom() + 1);
                EXPECT_LE(r.bottom() + 1, g->findChild<QLabel*>("lblTS")->y());
            }
        }
    }
}

// The statistics of the zoomed view in the box of copyable text, from the View menu that
// stands before Help.
TEST_F(PictureTest, StatisticsOfTheViewAreOneMenuItemAway) {
    frmGrapher* g = open("s.qmx", aroundMidnight(120));
    zoom(*g, 20.0, 100.0);
    QStringList menus;
    for (const QAction* a : g->menuBar()->actions()) {
        menus << a->text();
    }
    EXPECT_EQ(menus, QStringList({"&File", "&View", "&Help"}));
    g->mnuStatistics->trigger();
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].title, "Statistics of the View");
    EXPECT_EQ(dialogs.boxes[0].text, ViewStatistics::Of(*g->Document(), 20, 100).Text());

    QtDialogs real;
    QString shown;
    bool readOnly = false;
    QTimer::singleShot(0, [&] {
        QWidget* box = QApplication::activeModalWidget();
        const auto* text = box->findChild<QPlainTextEdit*>("txtText");
        shown = text->toPlainText();
        readOnly = text->isReadOnly();
        QApplication::clipboard()->clear();
        box->findChild<QPushButton*>("cmdCopy")->click();
        static_cast<QDialog*>(box)->accept();
    });
    real.ShowText(dialogs.boxes[0].text, "Statistics of the View");
    EXPECT_EQ(shown, dialogs.boxes[0].text);
    EXPECT_TRUE(readOnly);
    EXPECT_EQ(QApplication::clipboard()->text(), dialogs.boxes[0].text);
}

} // namespace
