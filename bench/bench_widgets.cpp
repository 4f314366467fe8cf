// Measures one paint of the gradient widgets: a full-HD vertical panel (goal: under 4 ms) and a
// 180 x 60 section button with its 50 x 50 glyph. For each, the median, 10th and 90th
// percentile of single paints: building the off-screen image alone, and a complete repaint of
// the shown widget (image built and copied to the window's backing store).
#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "widgets/Glyphs.h"
#include "widgets/XiButton.h"
#include "widgets/XiPanel.h"

using namespace zz;

namespace {

void report(const char* what, const std::function<void()>& paint, int runs)
{
    for (int i = 0; i < 10; ++i)
        paint(); // warm up caches and the allocator
    std::vector<double> ms;
    ms.reserve(runs);
    QElapsedTimer timer;
    for (int i = 0; i < runs; ++i) {
        timer.start();
        paint();
        ms.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    std::printf("%-44s median %8.3f ms   p10 %8.3f ms   p90 %8.3f ms   (%d runs)\n", what, ms[ms.size() / 2],
                ms[ms.size() / 10], ms[ms.size() * 9 / 10], runs);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    TXiPanel panel;
    panel.setColorScheme(PanelScheme::csSilver);
    panel.setFillDirection(FillDirection::fdVertical);
    panel.resize(1920, 1080);
    panel.show();

    QWidget holder;
    holder.resize(200, 80);
    TXiButton button(QStringLiteral("&Administration"), &holder);
    button.setColorScheme(ButtonScheme::csNeoSilver);
    button.setCtl3D(false);
    button.setGlyph(glyph(QStringLiteral("admin")));
    button.setGeometry(10, 10, 180, 60);
    holder.show();
    QApplication::processEvents();

    std::printf("panel %d x %d (image %d x %d), button %d x %d\n", panel.width(), panel.height(),
                panel.renderImage().width(), panel.renderImage().height(), button.width(), button.height());
    volatile qsizetype sink = 0;
    report("panel 1920 x 1080, off-screen image", [&] { sink = sink + panel.renderImage().sizeInBytes(); }, 200);
    report("panel 1920 x 1080, full repaint", [&] { panel.repaint(); }, 200);
    report("button 180 x 60, off-screen image", [&] { sink = sink + button.renderImage().sizeInBytes(); }, 2000);
    report("button 180 x 60, full repaint", [&] { button.repaint(); }, 2000);
    return 0;
}
