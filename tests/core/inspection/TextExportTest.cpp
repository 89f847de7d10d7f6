#include "core/inspection/TextExport.h"

#include "core/base/TextRoutines.h"
#include "core/lang/TextEncoding.h"
#include "support/ScriptedInteraction.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace fs = std::filesystem;
using namespace zarn;

namespace {

// A small structure with every part the export reads: heading, a tree of three levels,
// result rows with and without a measurement code, and protocol pages with full and empty
// measurement tables.
struct ExportDoc {
    TLStr texts;
    NamefTables namef;
    InstallationTree tree;
    ResultsTable results;
    PrintoutHeading heading;
    TProtocol protocol{texts};

    int codePage = 1252;

    ExportSource source() const {
        return {tree, results, heading, protocol, texts, namef, codePage};
    }

    NodeHandle node(NodeHandle parent, const std::string& name, int32_t id) {
        const NodeHandle h = tree.createNode(parent);
        tree.initialiseNode(h, parent == NoNode ? kind::Object : kind::Particular);
        tree.setText(h, name);
        tree.setId(h, id);
        return h;
    }
    void row(const std::string& ids, const std::string& names, const std::string& function,
             const std::string& r, const std::string& p = {}) {
        const int n = results.addRow();
        results.setCell(col::Ids, n, ids);
        results.setCell(col::Names, n, names);
        results.setCell(col::Function, n, function);
        results.setCell(col::RValues, n, r);
        results.setCell(col::PValues, n, p);
    }

    ExportDoc() {
        texts.set("VGlava0_0", "No.");
        texts.set("VGlava1_0", "Place");
        texts.set("VGlava2_0", "$Function$");
        texts.set("VGlava3_0", "Results$(R)");
        texts.set("VGlava4_0", ",Parameters,");
        texts.set("Glava0_0", "No.");
        texts.set("Glava1_0", "Circuit\rname");
        texts.set("GlavaE1_0", "Ohm");
        texts.set("GlavaS20_0", "Point");
        texts.set("GlavaS21_0", "R\rearth");
        texts.set("GlavaS2E1_0", "Ohm");
        texts.set("ExportTo_40", "Export to");
        texts.set("TextFiles_12", "Text files");
        texts.set("AlreadyExists_40", "already exists.");
        texts.set("ReplaceIt_40", "Do you want to replace it?");
        texts.set("Error_30", "Error");
        texts.set("Wait_25", "Please wait...");
        namef.load({"funkcija3=Insulation$resistance", "funkcija14=Voltage$frequency",
                    "funkcija8=RCD$trip time", "velicina4=Riso", "velicina5=Um", "velicina23=U",
                    "velicina26=f", "velicina12=t", "velicina13=I\xCE\x94N", "enota3=M\xCE\xA9",
                    "enota5=V", "enota12=Hz", "enota10=ms", "enota7=mA"});

        heading.setText(PrintoutHeading::Op1, "Tester");
        heading.setText(PrintoutHeading::Op2, "Street 5");
        heading.setText(PrintoutHeading::Site1, "Site one");
        heading.setText(PrintoutHeading::Site2, "Kranj");
        heading.setText(PrintoutHeading::Footer, "F1");
        heading.setText(PrintoutHeading::Footer3, "F3");
        heading.setText(PrintoutHeading::Logo, "/logo.bmp");

        const NodeHandle b1 = node(NoNode, "Block 1", 1);
        node(b1, "Place 1.1", 1);
        const NodeHandle p12 = node(b1, "Place 1.2", 2);
        node(p12, "Fuse 1", 1);
        node(NoNode, "Block 2", 2);

        const std::string names1 = "Object\rBlock 1\r";
        row("1\r1\r1", names1 + "Place 1.1\r6,13", "3\rInsulation resistance", "004003>1999",
            "005005500");
        row("1\r1\r1", names1 + "Place 1.1\r6,13", "x\r3", "AAAnot a code");
        row("1\r1\r2", names1 + "Place 1.2\r6,13", "14\rVoltage frequency",
            "023005231\r026012"
            "50.0");
        row("1\r1\r2", names1 + "Place 1.2\r6,13", "", "AAAno function");
        row("1\r1\r2", names1 + "Place 1.2\r6,13", "0\r14", "AAAcode zero");
        row("1\r2\r1", "Object\rBlock 2\rSocket\r6,13", "8\rRCD trip time", "012010312!",
            "013007"
            "30");

        protocol.AddObjectPage();
        protocol.AddBlockMeasurementPage();
        auto& block = protocol.blockMeasurementPage(1)->table(0);
        block.objectName = "Obj";
        block.blockName = "Block 1";
        TProtocol::SetTableCell(block, 0, 2, "1");
        TProtocol::SetTableCell(block, 1, 2, "L1\rL2");
        TProtocol::SetTableCell(block, 2, 3, "0.35");
        protocol.blockMeasurementPage(1)->table(1).objectName = "empty, left out";
        protocol.AddLightningRodMeasurementPage();
        auto& rodFirst = protocol.lightningRodMeasurementPage(1)->table(0);
        rodFirst.objectName = "only line feeds, left out";
        TProtocol::SetTableCell(rodFirst, 1, 2, "\n\n");
        auto& rod = protocol.lightningRodMeasurementPage(1)->table(1);
        rod.objectName = "Rod obj";
        rod.blockName = "Rod 1";
        TProtocol::SetTableCell(rod, 0, 2, "E1");
        TProtocol::SetTableCell(rod, 1, 2, "12.5");
    }
};

std::string build(const ExportDoc& d, ExportFormat format, const ExportProgress& progress = {}) {
    auto bytes = buildTextExport(d.source(), format, progress);
    EXPECT_TRUE(bytes.has_value());
    return bytes.value_or("");
}

std::string replaceAll(std::string text, const std::string& from, const std::string& to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

std::vector<std::string> splitLines(const std::string& bytes, const std::string& delimiter) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t at; (at = bytes.find(delimiter, start)) != std::string::npos;
         start = at + delimiter.size())
        lines.push_back(bytes.substr(start, at - start));
    if (start < bytes.size())
        lines.push_back(bytes.substr(start));
    return lines;
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFile(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

} // namespace

// The whole layout with ";" and LF: the heading begins "Tester;;Site one", non-numeric and
// zero codes are skipped without using a number, empty measurement tables are left out.
TEST(TextExport, LayoutWithSemicolonAndLf) {
    ExportDoc d;
    const std::string expected =
        "Tester;;Site one\n"
        "Street 5;;Kranj\n"
        ";;\n"
        "F1\n"
        "\n"
        "F3\n"
        "\n\n"
        "Block 1\n"
        ";Place 1.1\n"
        ";Place 1.2\n"
        ";;Fuse 1\n"
        "Block 2\n"
        "\n\n"
        "No.;Place;Function;Results,(R);Parameters\n"
        "1;Place 1.1;Insulation-resistance;Riso > 1999 M\xCE\xA9;Um = 500 V\n"
        "2;Place 1.2;Voltage-frequency;U = 231 V,f = 50.0 Hz;\n"
        "3;Socket;RCD-trip time;t = 312 ms !;I\xCE\x94N = 30 mA\n"
        "\n"
        "Obj;Block 1\n\n"
        "No.;Circuit name;;;;;;;;;\n"
        ";Ohm;;;;;;;;;\n"
        "1;L1,L2;;;;;;;;;\n"
        ";;0.35;;;;;;;;\n"
        "\n"
        "Rod obj;Rod 1\n\n"
        "Point;R earth\n"
        ";Ohm\n"
        "E1;12.5\n";
    EXPECT_EQ(build(d, {ColumnDelimiter::Semicolon, RowDelimiter::Lf}), expected);
}

// Every delimiter pair gives the same file with only the delimiters changed.
class Delimiters : public ::testing::TestWithParam<std::tuple<int, int>> {};

TEST_P(Delimiters, OnlyTheDelimitersChange) {
    const auto column = *columnDelimiterAt(std::get<0>(GetParam()));
    const auto row = *rowDelimiterAt(std::get<1>(GetParam()));
    ExportDoc d;
    const std::string reference = build(d, {});
    ASSERT_NE(reference.find("\r\n"), std::string::npos);
    std::string expected = replaceAll(reference, "\t", std::string(delimiterBytes(column)));
    expected = replaceAll(expected, "\r\n", std::string(delimiterBytes(row)));
    EXPECT_EQ(build(d, {column, row}), expected);
}

INSTANTIATE_TEST_SUITE_P(TextExport, Delimiters,
                         ::testing::Combine(::testing::Values(0, 1), ::testing::Values(0, 1, 2)));

// Typed names are kept in the language's code page, the units and the language files'
// texts are UTF-8: the export writes everything as UTF-8, as the screen shows it.
struct EncodingCase {
    int codePage;
    const char* stored; // bytes of a typed name
    const char* shown;  // the same name in UTF-8
};

class StoredText : public ::testing::TestWithParam<EncodingCase> {};

TEST_P(StoredText, EveryFieldIsWrittenAsUtf8) {
    const EncodingCase& c = GetParam();
    ExportDoc d;
    d.codePage = c.codePage;
    const std::string stored = c.stored;
    const NodeHandle block = d.tree.firstNode();
    d.tree.setText(block, "Kitchen " + stored);
    d.heading.setText(PrintoutHeading::Site1, "Site " + stored);
    d.row("1\r1\r1", "Object\rBlock 1\rSocket " + stored + "\r6,13", "3\rInsulation resistance",
          "004003>1999");
    d.protocol.blockMeasurementPage(1)->table(0).blockName = "Board " + stored;

    const std::string out = build(d, {});
    EXPECT_TRUE(isValidUtf8(out));
    for (const std::string expected : {"Kitchen ", "Site ", "Socket ", "Board "})
        EXPECT_NE(out.find(expected + c.shown), std::string::npos) << expected;
    // The units of the language files stay as they were.
    EXPECT_NE(out.find("Riso > 1999 M\xCE\xA9"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    TextExport, StoredText,
    ::testing::Values(EncodingCase{1250, "\xC8rna \x8A", "\xC4\x8Crna \xC5\xA0"}, // Črna Š
                      EncodingCase{1252,
                                   "K\xFC"
                                   "che",
                                   "K\xC3\xBC"
                                   "che"},                                            // Küche
                      EncodingCase{1251, "\xD9\xE8\xF2", "\xD0\xA9\xD0\xB8\xD1\x82"}, // Щит
                      EncodingCase{1250, "\xC4\x8Crna", "\xC4\x8Crna"})); // already UTF-8

TEST(TextExport, DelimiterIndexesOutsideTheGroupsAreRefused) {
    EXPECT_FALSE(columnDelimiterAt(-1));
    EXPECT_FALSE(columnDelimiterAt(2));
    EXPECT_FALSE(rowDelimiterAt(3));
    EXPECT_EQ(delimiterBytes(RowDelimiter::Cr), "\r");
    EXPECT_EQ(delimiterBytes(ColumnDelimiter::Tab), "\t");
}

// A line break inside a name, a heading line or a table's name would start a new row in the
// spreadsheet; it becomes a blank. So do the breaks between D and T entries.
TEST(TextExport, LineBreaksInTextsNeverSplitARow) {
    ExportDoc d;
    d.tree.setText(d.tree.firstNode(), "Line\rtwo");
    d.heading.setText(PrintoutHeading::Op1, "Op\r\nline");
    d.heading.setText(PrintoutHeading::Footer2, "foot\nnote");
    d.protocol.blockMeasurementPage(1)->table(0).blockName = "Block\r1";
    d.results.setCell(col::DValues, 1, "d1\rd2");
    d.results.setCell(col::TValues, 1, "t1");
    ExportSource source = d.source();
    source.columnRoles = {0, 1, 2, 6};
    const std::string out = *buildTextExport(source, {});
    const auto lines = splitLines(out, "\r\n");
    for (const auto& line : lines)
        EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << line;
    EXPECT_EQ(lines[0], "Op line\t\tSite one");
    EXPECT_EQ(lines[4], "foot note");
    EXPECT_EQ(lines[8], "Line two");
    EXPECT_NE(
        std::find(lines.begin(), lines.end(), "1\tPlace 1.1\tInsulation-resistance\td1,d2, t1"),
        lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Obj\tBlock 1"), lines.end());
}

// Progress after each tree node at 100 * i / (n - 1), after each result row at 100 * j / m,
// each position once; a tree of one node shows 100 instead of dividing by zero.
struct ProgressCase {
    const char* name;
    int nodes;
    int rows;
    std::vector<int> positions;
};

class Progress : public ::testing::TestWithParam<ProgressCase> {};

TEST_P(Progress, FollowsTreeThenRows) {
    const ProgressCase& c = GetParam();
    ExportDoc d;
    d.tree.clear();
    d.results.clear();
    d.protocol.ClearProtocol(nullptr);
    for (int i = 0; i < c.nodes; ++i)
        d.node(NoNode, "Block " + std::to_string(i), i + 1);
    for (int i = 0; i < c.rows; ++i)
        d.row("1\r1\r1", "\r\rPlace\r6,13", "3", "");
    std::vector<int> positions;
    const std::string out = build(d, {}, [&](int percent) {
        positions.push_back(percent);
        return true;
    });
    EXPECT_EQ(positions, c.positions);
    EXPECT_EQ(static_cast<int>(splitLines(out, "\r\n").size()), 6 + 2 + c.nodes + 2 + 1 + c.rows);
}

INSTANTIATE_TEST_SUITE_P(
    TextExport, Progress,
    ::testing::Values(ProgressCase{"single_node", 1, 4, {100, 25, 50, 75, 100}},
                      ProgressCase{"three_nodes", 3, 2, {0, 50, 100, 50, 100}},
                      ProgressCase{"empty", 0, 0, {}},
                      ProgressCase{"rows_only", 0, 3, {33, 66, 100}},
                      ProgressCase{"many_nodes_one_position_each", 401, 1,
                                   [] {
                                       std::vector<int> p;
                                       for (int i = 0; i <= 100; ++i)
                                           p.push_back(i);
                                       return p; // the row's 100 is no new position
                                   }()}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TextExport, ProgressCanStopTheExport) {
    ExportDoc d;
    int calls = 0;
    EXPECT_FALSE(buildTextExport(d.source(), {}, [&](int) { return ++calls < 3; }));
    EXPECT_EQ(calls, 3);
}

// The name the save dialog proposes, and the ".TXT" rule for the name chosen. Only a dot in
// the file's own name counts, not one in a folder name.
TEST(TextExport, FileNames) {
    const std::pair<const char*, const char*> proposed[] = {
        {"", ""},
        {"/data/site.zrn", "/data/site.TXT"},
        {"/data/site.v2.zrn", "/data/site.TXT"},
        {"/home/j.smith/site.zrn", "/home/j.smith/site.TXT"},
        {"/home/j.smith/site", "/home/j.smith/site.TXT"},
        {"untitled.zrn", "untitled.TXT"},
    };
    for (const auto& [file, name] : proposed)
        EXPECT_EQ(proposedExportName(file), name) << file;
    const std::pair<const char*, const char*> chosen[] = {
        {"/data/report", "/data/report.TXT"},
        {"/data/report.csv", "/data/report.csv"},
        {"/data/report.", "/data/report."},
        {"/home/j.smith/report", "/home/j.smith/report.TXT"},
        {"report", "report.TXT"},
        {"report.txt", "report.txt"},
    };
    for (const auto& [name, used] : chosen)
        EXPECT_EQ(withExportExtension(name), used) << name;
}

// --- the File › Export flow -------------------------------------------------------------------

class ExportFlow : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("zarn_export_" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string path(const std::string& name) const { return (dir_ / name).string(); }
    ExportResult run(const std::string& structureFile = {}) {
        return exportToTextFile(doc_.source(), {}, structureFile, ui_);
    }
    std::string expected() const { return *buildTextExport(doc_.source(), {}); }

    fs::path dir_;
    ExportDoc doc_;
    ScriptedInteraction ui_;
};

TEST_F(ExportFlow, NewFileGetsTxtAndIsWrittenUnderProgress) {
    ui_.saveFileAnswers = {path("report")};
    const ExportResult result = run(path("site.zrn"));
    EXPECT_EQ(result.outcome, ExportOutcome::Written);
    EXPECT_EQ(result.path, path("report.TXT"));
    EXPECT_EQ(readFile(result.path), expected());
    ASSERT_EQ(ui_.saveFileRequests.size(), 1u);
    const FileDialogRequest& request = ui_.saveFileRequests[0];
    EXPECT_EQ(request.title, "Export to");
    EXPECT_EQ(request.filterName, "Text files");
    EXPECT_EQ(request.extension, "TXT");
    EXPECT_EQ(request.proposedName, path("site.TXT"));
    EXPECT_TRUE(ui_.messages.empty());
    EXPECT_EQ(ui_.labels.front(), "Please wait...|" + path("report.TXT"));
    EXPECT_EQ(ui_.positions.back(), 100);
    EXPECT_FALSE(ui_.progressVisible);
    EXPECT_TRUE(ui_.cancelButtonVisible);
}

// The answers to "already exists" in turn: Yes replaces, No shows the save dialog again,
// Cancel stops with the old file as it was.
struct ReplaceCase {
    const char* name;
    std::vector<int> answers;
    int dialogs;
    bool replaced;
    bool otherWritten;
};

class ReplaceQuestion : public ExportFlow, public ::testing::WithParamInterface<ReplaceCase> {};

TEST_P(ReplaceQuestion, AnswersDecide) {
    const ReplaceCase& c = GetParam();
    writeFile(path("old.txt"), "old bytes");
    ui_.saveFileAnswers = {path("old.txt"), path("other.txt")};
    ui_.answers = {c.answers.begin(), c.answers.end()};
    const ExportResult result = run();
    EXPECT_EQ(ui_.saveFileRequests.size(), static_cast<size_t>(c.dialogs));
    EXPECT_EQ(ui_.messages.front().text,
              path("old.txt") + "\ralready exists.\rDo you want to replace it?");
    EXPECT_EQ(ui_.messages.front().type, DialogType::Warning);
    EXPECT_EQ(readFile(path("old.txt")), c.replaced ? expected() : "old bytes");
    EXPECT_EQ(fs::exists(path("other.txt")), c.otherWritten);
    EXPECT_EQ(result.outcome,
              c.replaced || c.otherWritten ? ExportOutcome::Written : ExportOutcome::Cancelled);
}

INSTANTIATE_TEST_SUITE_P(TextExport, ReplaceQuestion,
                         ::testing::Values(ReplaceCase{"yes", {modal::Yes}, 1, true, false},
                                           ReplaceCase{
                                               "no_then_new_name", {modal::No}, 2, false, true},
                                           ReplaceCase{"cancel", {modal::Cancel}, 1, false, false},
                                           ReplaceCase{"closed", {modal::None}, 1, false, false}),
                         [](const auto& info) { return std::string(info.param.name); });

// A folder, a pipe or a device is no file to replace: "Error" shows and the dialog comes back
// (cancelling it then exports nothing), and the thing chosen stays what it was.
class NotAFile : public ExportFlow, public ::testing::WithParamInterface<const char*> {};

TEST_P(NotAFile, ShowsErrorAndAsksAgain) {
    const std::string chosen = path(GetParam());
    if (GetParam() == std::string("folder.txt"))
        fs::create_directories(chosen);
    else
        ASSERT_EQ(::mkfifo(chosen.c_str(), 0600), 0);
    ui_.saveFileAnswers = {chosen, std::nullopt};
    EXPECT_EQ(run().outcome, ExportOutcome::Cancelled);
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0].text, "Error");
    EXPECT_EQ(ui_.messages[0].type, DialogType::Error);
    EXPECT_EQ(ui_.saveFileRequests.size(), 2u);
    EXPECT_EQ(ui_.saveFileRequests[1].proposedName, chosen);
    EXPECT_EQ(fs::status(chosen).type(), GetParam() == std::string("folder.txt")
                                             ? fs::file_type::directory
                                             : fs::file_type::fifo);
}

INSTANTIATE_TEST_SUITE_P(TextExport, NotAFile, ::testing::Values("folder.txt", "pipe.txt"));

// A file that cannot be written is reported, not passed over in silence.
TEST_F(ExportFlow, WriteFailureIsShown) {
    ui_.saveFileAnswers = {path("missing/out.txt")};
    const ExportResult result = run();
    EXPECT_EQ(result.outcome, ExportOutcome::Failed);
    EXPECT_FALSE(result.error.empty());
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0].type, DialogType::Error);
    EXPECT_NE(ui_.messages[0].text.find(path("missing/out.txt")), std::string::npos);
    EXPECT_NE(ui_.messages[0].text.find(result.error), std::string::npos);
    EXPECT_FALSE(ui_.progressVisible);
}

// Cancel in the progress dialog leaves the file that was there untouched.
TEST_F(ExportFlow, CancelDuringProgressWritesNothing) {
    writeFile(path("old.txt"), "old bytes");
    ui_.saveFileAnswers = {path("old.txt")};
    ui_.cancelAtProcessEvents = 2;
    EXPECT_EQ(run().outcome, ExportOutcome::Cancelled);
    EXPECT_EQ(readFile(path("old.txt")), "old bytes");
    EXPECT_FALSE(ui_.progressVisible);
    EXPECT_FALSE(ui_.cancelRequested());
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

TEST_F(ExportFlow, CancelledSaveDialogExportsNothing) {
    EXPECT_EQ(run("").outcome, ExportOutcome::Cancelled);
    ASSERT_EQ(ui_.saveFileRequests.size(), 1u);
    EXPECT_EQ(ui_.saveFileRequests[0].proposedName, "");
    EXPECT_TRUE(ui_.positions.empty());
}

TEST_F(ExportFlow, WriteWithoutDialogs) {
    const WriteResult written =
        writeTextExport(doc_.source(), {ColumnDelimiter::Semicolon, RowDelimiter::Cr}, path("a"));
    ASSERT_TRUE(written.ok) << written.message;
    EXPECT_EQ(readFile(path("a")),
              *buildTextExport(doc_.source(), {ColumnDelimiter::Semicolon, RowDelimiter::Cr}));
    EXPECT_FALSE(writeTextExport(doc_.source(), {}, path("missing/a")).ok);
}
