// The export of whole structure files, with the shipped English texts: open a file, export
// it, and every result row with a measurement code is there exactly once, in order.
#include "core/base/TextRoutines.h"
#include "core/inspection/ProtLanguage.h"
#include "core/inspection/TextExport.h"
#include "core/lang/LanguageFixture.h"
#include "core/lang/TextEncoding.h"
#include "core/structfile/StructureDocument.h"

#include <fstream>
#include <gtest/gtest.h>

using namespace zarn;

namespace {

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> lines(const std::string& bytes) {
    std::vector<std::string> out;
    size_t start = 0;
    for (size_t at; (at = bytes.find("\r\n", start)) != std::string::npos; start = at + 2)
        out.push_back(bytes.substr(start, at - start));
    return out;
}

size_t occurrences(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

int codeOf(const ResultsTable& t, int row) {
    return text::digitsToInt(text::field(t.cell(col::Function, row), 1));
}

// The program as zarnctl runs it: English texts, a structure document, no dialogs.
class ExportWholeFlow : public ::testing::TestWithParam<std::string> {
protected:
    void SetUp() override {
        for (const char* name : {"LNG_MAIN.INI", "ENGLISH.LNG"})
            dir_.write(name, readFile(std::string(ZARN_SOURCE_DIR) + "/data/" + name));
        workspace_ = std::make_unique<Workspace>(dir_.path());
        language_ =
            std::make_unique<TLanguage>(dir_.path(), workspace_->texts(), workspace_->namef(), ui_);
        language_->setStartupBegun();
        ASSERT_TRUE(language_->LoadLanguageList());
        ASSERT_FALSE(language_->ApplyLanguage().terminate);
        workspace_->applyConfiguration();
        document_ = std::make_unique<StructureDocument>(*workspace_);
        document_->setRememberProtocolDefaults(false);
        const auto file = IniDocument::load(language_->languageFilePath());
        ASSERT_TRUE(TProtLanguage::ApplyProtocolTexts(*file, document_->protocol()).ok);
    }

    ExportSource source() {
        return {workspace_->tree(),
                workspace_->results(),
                document_->heading(),
                document_->protocol(),
                workspace_->texts(),
                workspace_->namef(),
                codePageForLcid(language_->lcid())};
    }

    // Three blocks of four places with five rows each; every row carries a token of its own,
    // and the codes cycle through named functions, a non-numeric code and none at all.
    std::string writeGenerated() {
        InstallationTree& tree = workspace_->tree();
        ResultsTable& table = workspace_->results();
        static const char* const codes[] = {"3", "14", "x", "8", ""};
        int n = 0;
        for (int b = 1; b <= 3; ++b) {
            const NodeHandle root = tree.createNode(NoNode);
            tree.initialiseNode(root, kind::Object);
            tree.setText(root, "Block " + std::to_string(b));
            tree.setId(root, b);
            for (int e = 1; e <= 4; ++e) {
                const NodeHandle leaf = tree.createNode(root);
                tree.initialiseNode(leaf, kind::Particular);
                const std::string place = "Place " + std::to_string(b) + "." + std::to_string(e);
                tree.setText(leaf, place);
                tree.setId(leaf, e);
                for (int k = 0; k < 5; ++k, ++n) {
                    const int row = table.addRow();
                    table.setCell(col::Ids, row,
                                  "1\r" + std::to_string(b) + "\r" + std::to_string(e));
                    table.setCell(col::Names, row,
                                  "Object\rBlock " + std::to_string(b) + "\r" + place + "\r6,13");
                    table.setCell(col::Function, row, codes[n % 5]);
                    table.setCell(col::RValues, row,
                                  "AAAtoken-" + std::to_string(n) + "#\r004003>1999");
                    table.setCell(col::PValues, row, "005005500");
                }
            }
        }
        document_->protocol().AddBlockMeasurementPage();
        TProtocol::SetTableCell(document_->protocol().blockMeasurementPage(1)->table(0), 1, 2,
                                "0.35");
        const std::string path = dir_.path() + "generated.zrn";
        EXPECT_TRUE(document_->writeTo(path));
        return path;
    }

    std::string fixture() {
        if (GetParam() == "generated")
            return writeGenerated();
        return std::string(ZARN_SOURCE_DIR) + "/tests/data/structfile/" + GetParam();
    }

    zarn::testing::ProgramDir dir_;
    ScriptedInteraction ui_;
    std::unique_ptr<Workspace> workspace_;
    std::unique_ptr<TLanguage> language_;
    std::unique_ptr<StructureDocument> document_;
};

TEST_P(ExportWholeFlow, EveryResultRowOnceAndTheSameAfterSaveAndReopen) {
    const std::string path = fixture();
    const StructureReadResult read = document_->openFile(path);
    ASSERT_TRUE(read.opened && read.trusted && read.productFamily());
    const ResultsTable& table = workspace_->results();
    ASSERT_GT(table.resultCount(), 0);

    ui_.saveFileAnswers = {dir_.path() + "export"};
    const ExportResult result =
        exportToTextFile(source(), {}, workspace_->document().currentFileName(), ui_);
    ASSERT_EQ(result.outcome, ExportOutcome::Written) << result.error;
    const std::string stem =
        path.substr(path.rfind('/') + 1, path.rfind('.') - path.rfind('/') - 1);
    EXPECT_TRUE(ui_.saveFileRequests.at(0).proposedName.ends_with("/" + stem + ".TXT"))
        << ui_.saveFileRequests.at(0).proposedName;
    const std::string exported = readFile(dir_.path() + "export.TXT");
    const auto all = lines(exported);

    // Heading (6 lines), 2 empty lines, the tree, 2 empty lines, the column headings.
    const size_t headings = 6 + 2 + workspace_->tree().nodeCount() + 2;
    ASSERT_LT(headings, all.size());
    EXPECT_EQ(all[headings], "No.\tPlace\tFunction\tResults\tParameters");
    std::vector<int> shown;
    for (int r = 1; r < table.rowCount(); ++r)
        if (codeOf(table, r) != 0)
            shown.push_back(r);
    ASSERT_FALSE(shown.empty());
    for (size_t k = 0; k < shown.size(); ++k) {
        const int r = shown[k];
        const std::string& line = all.at(headings + 1 + k);
        EXPECT_EQ(line.rfind(std::to_string(k + 1) + "\t" +
                                 text::field(table.cell(col::Names, r), 3) + "\t",
                             0),
                  0u)
            << line;
    }
    const size_t after = headings + 1 + shown.size();
    EXPECT_TRUE(after == all.size() || all[after].empty());
    if (GetParam() == "generated") {
        for (int r = 1; r < table.rowCount(); ++r)
            EXPECT_EQ(occurrences(exported, "token-" + std::to_string(r - 1) + "#"),
                      codeOf(table, r) != 0 ? 1u : 0u)
                << r;
    }

    // What is saved and opened again exports to the same bytes.
    ASSERT_TRUE(document_->writeTo(dir_.path() + "again.zrn"));
    ASSERT_TRUE(document_->openFile(dir_.path() + "again.zrn").trusted);
    EXPECT_EQ(buildTextExport(source(), {}), exported);
}

INSTANTIATE_TEST_SUITE_P(TextExport, ExportWholeFlow,
                         ::testing::Values("generated", "rich.zrn", "version10.zrn"),
                         [](const auto& info) {
                             std::string name = info.param;
                             return name.substr(0, name.find('.'));
                         });

} // namespace
