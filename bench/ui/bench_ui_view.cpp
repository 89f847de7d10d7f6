// Refreshing the results view, widget work included: the rows of the selected node are
// selected, formatted, put into the grid and the visible part is painted.
#include "BenchQtMain.h"
#include "UiTestSupport.h"
#include "support/ScriptedInteraction.h"
#include "support/TestDocument.h"
#include "ui/Form1.h"
#include "ui/StringGridAll.h"

#include <QTreeView>
#include <memory>

using namespace zarn;

namespace {

struct ViewFixture {
    test::ProgramDir dir;
    ScriptedInteraction ui;
    TForm1 form{ProgramPaths::resolve("/nonexistent", dir.path()), &ui};
    ViewFixture() {
        form.startUp();
        // One root with 1,000 places of 10 results each: 10,000 rows.
        test::fillSample(form.workspace(), {1, 1000, 10});
        form.tree().setSelected(form.tree().firstNode());
        form.setWindowState(Qt::WindowNoState);
        form.resize(1280, 800);
        form.show();
        QApplication::processEvents();
    }
    void refresh(NodeHandle node) {
        form.tree().setSelected(node);
        form.refreshView();
        form.findChild<TStringGridAll*>(QStringLiteral("TabelaV"))->viewport()->repaint();
        QApplication::processEvents();
    }
};

ViewFixture& fixture() {
    static std::unique_ptr<ViewFixture> f;
    if (!f) {
        f = std::make_unique<ViewFixture>();
        bench::releasesBeforeExit().push_back([] { f.reset(); });
    }
    return *f;
}

void ViewRefresh_BaselineLeaf(benchmark::State& state) {
    ViewFixture& f = fixture();
    const NodeHandle leaf = f.form.tree().child(f.form.tree().firstNode(), 500);
    for (auto _ : state)
        f.refresh(leaf);
    state.counters["rows"] =
        f.form.findChild<TStringGridAll*>(QStringLiteral("TabelaV"))->rowCount() - 1;
}

void ViewRefresh_Root10000(benchmark::State& state) {
    ViewFixture& f = fixture();
    const NodeHandle root = f.form.tree().firstNode();
    for (auto _ : state)
        f.refresh(root);
    state.counters["rows"] =
        f.form.findChild<TStringGridAll*>(QStringLiteral("TabelaV"))->rowCount() - 1;
    state.SetLabel("goal: ms<150");
}

} // namespace

BENCHMARK(ViewRefresh_BaselineLeaf)
    ->Name("ViewRefresh/BaselineLeaf")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(ViewRefresh_Root10000)->Name("ViewRefresh/Root10000")->Unit(benchmark::kMillisecond);

ZARN_QT_BENCHMARK_MAIN()
