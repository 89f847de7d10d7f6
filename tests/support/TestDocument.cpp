#include "support/TestDocument.h"

namespace zarn::test {

TestDocument::TestDocument() {
    texts.set("Wait_25", "Please wait");
    texts.set("FileNotExist_40", "File does not exist");
    texts.set("Glava0_0", "No.");
    texts.set("GlavaE1_0", "Ohm");
}

NodeHandle addNode(InstallationTree& tree, NodeHandle parent, const std::string& name, uint8_t kind,
                   int32_t id, const std::string& measures) {
    const NodeHandle h = tree.createNode(parent);
    tree.initialiseNode(h, kind);
    tree.setText(h, name);
    tree.setInfo(h, TMyElementInfo{kind, measures, id});
    return h;
}

void fillRich(TestDocument& d) {
    const NodeHandle r1 = addNode(d.tree, NoNode, "Block A", kind::Object, 1);
    addNode(d.tree, r1, "Socket \xE8rna", kind::Particular, 1, "1101");
    addNode(d.tree, r1, "Line\rtwo", kind::Particular, 2, "0000000000000001");
    const NodeHandle r2 = addNode(d.tree, NoNode, "Block B", kind::Object, 2);
    addNode(d.tree, r2, "", kind::Particular, 7);
    addNode(d.tree, NoNode, "Empty root", kind::Object, 3);

    auto& t = d.table;
    t.setCell(1, 0, "MI 3100\r1234\r1.0\rSerial\xA9 42\r\r\r\r");
    t.setCell(2, 0, "second id");
    t.setCell(3, 0, "third id");
    const char* rows[][4] = {{"1\r1\r1",
                              "\r\xC8"
                              "Block A\rSocket\r6,13",
                              "12\rRCD", "001002>999"},
                             {"1\r1\r2", "\rBlock A\rLine\r6,13", "7\rZs", "AAAPASS\r001003 0.41!"},
                             {"1\r2\r7", "\rBlock B\r\r6,13", "", ""}};
    for (const auto& row : rows) {
        const int r = t.addRow();
        for (int c = 0; c < 4; ++c)
            t.setCell(c + 1, r, row[c]);
        t.setCell(9, r,
                  "\xFF"
                  "C\x01"
                  "flag");
    }

    for (int i = 0; i < PrintoutHeading::TextCount; ++i)
        d.heading.setText(static_cast<PrintoutHeading::Text>(i),
                          "head " + std::to_string(i) + " \xDE");
    d.heading.setLogoMode(1);
    for (int n = 1; n <= PrintoutComments::LineCount; n += 13)
        d.comments.setLine(n, "comment " + std::to_string(n));
    d.comments.setLine(200, "last \x9A");
    d.comments.setAutotestLine(2, "auto 2");
    d.comments.setSwitches("011");

    auto& p = d.protocol;
    p.AddObjectPage();
    auto* obj = p.objectPage(1);
    obj->objectName = "Object \xE8";
    for (int n = 1; n <= TObjPage::Edits; ++n)
        obj->setEdit(n, "obj edit " + std::to_string(n));
    p.AddBlockPage();
    auto* blk = p.blockPage(1);
    blk->objectName = "Object";
    blk->blockName = "Block A";
    blk->setEdit(6, "EN 60364");
    blk->setCheck(1, true);
    blk->setCheck(29, true);
    p.AddLightningRodPage();
    auto* rod = p.lightningRodPage(1);
    rod->blockName = "Rod";
    rod->setEdit(20, "55");
    rod->setCheck(24, true);
    p.AddFloorPlanPage();
    p.floorPlanPage(1)->setEdit(1, "ground floor");
    p.floorPlanPage(1)->pictureFile = "/nonexistent/plan \xE8.jpg";
    p.AddBlockMeasurementPage();
    auto& m = p.blockMeasurementPage(1)->table(0);
    m.objectName = "Object";
    m.blockName = "Block A";
    m.setSubText(1, "sub one");
    m.setSubText(2, "sub two");
    TProtocol::SetTableCell(m, 3, 4, "0.35\r0.36");
    TProtocol::SetTableCell(m, 12, 2, "wide");
    p.AddLightningRodMeasurementPage();
    TProtocol::SetTableCell(p.lightningRodMeasurementPage(1)->table(1), 1, 2, "1.2 Ohm");
    p.AddObjectPage();
    p.objectPage(2)->setEdit(4, "second object");
}

void fillSample(InstallationTree& tree, ResultsTable& table, SampleSizes sizes) {
    tree.clear();
    table.clear();
    int kindOfRow = 0;
    for (int r = 1; r <= sizes.roots; ++r) {
        const NodeHandle root = tree.createNode(NoNode);
        tree.initialiseNode(root, kind::Object);
        tree.setText(root, "Block " + std::to_string(r));
        tree.setId(root, r);
        for (int e = 1; e <= sizes.leavesPerRoot; ++e) {
            const NodeHandle leaf = tree.createNode(root);
            tree.initialiseNode(leaf, kind::Particular);
            const std::string place = "Place " + std::to_string(r) + "." + std::to_string(e);
            tree.setText(leaf, place);
            tree.setId(leaf, e);
            for (int k = 0; k < sizes.rowsPerLeaf; ++k) {
                const int row = table.addRow();
                table.setCell(col::Ids, row, "1\r" + std::to_string(r) + "\r" + std::to_string(e));
                table.setCell(col::Names, row,
                              "Object\rBlock " + std::to_string(r) + "\r" + place + "\r6,13");
                switch (kindOfRow++ % 3) {
                case 0:
                    table.setCell(col::Function, row, "3\rInsulation resistance");
                    table.setCell(col::RValues, row, "004003>1999");
                    table.setCell(col::PValues, row, "005005500");
                    break;
                case 1:
                    table.setCell(col::Function, row, "14\rVoltage frequency");
                    table.setCell(col::RValues, row,
                                  "023005231\r026012"
                                  "50.0");
                    break;
                default:
                    table.setCell(col::Function, row, "8\rRCD trip time");
                    table.setCell(col::RValues, row, "012010312!");
                    table.setCell(col::PValues, row,
                                  "013007"
                                  "30");
                    break;
                }
            }
        }
    }
}

void fillLarge(TestDocument& d) {
    for (int r = 1; r <= 200; ++r) {
        const NodeHandle root = d.tree.createNode(NoNode);
        d.tree.initialiseNode(root, kind::Object);
        d.tree.setText(root, "Distribution board " + std::to_string(r));
        d.tree.setInfo(root, {kind::Object, "", r});
        for (int l = 1; l <= 9; ++l) {
            const NodeHandle leaf = d.tree.createNode(root);
            d.tree.initialiseNode(leaf, kind::Particular);
            d.tree.setText(leaf, "Socket circuit " + std::to_string(l));
            d.tree.setInfo(leaf, {kind::Particular, "1101000000000001", l});
        }
    }
    d.table.setCell(1, 0, "MI 3100\r1234\r1.0\rSN 20240001\r\r\r\r");
    constexpr int results = structfile::MaxRows - 1;
    constexpr int perBlock = (results + 199) / 200;
    for (int i = 0; i < results; ++i) {
        const int row = d.table.addRow();
        const int block = 1 + i / perBlock;
        const int element = 1 + (i % perBlock) * 9 / perBlock;
        d.table.setCell(1, row, "1\r" + std::to_string(block) + "\r" + std::to_string(element));
        d.table.setCell(2, row,
                        "\rDistribution board " + std::to_string(block) + "\rSocket circuit " +
                            std::to_string(element) + "\r6,13");
        d.table.setCell(3, row, "12\rRCD test");
        d.table.setCell(4, row, "001002>999\r004005 0.41!");
        d.table.setCell(5, row, "003004 230");
        d.table.setCell(6, row, "AAAPASS");
        d.table.setCell(7, row, "2024-05-01");
        d.table.setCell(8, row, "12:00");
    }
}

std::vector<std::string> describeTree(const InstallationTree& tree) {
    std::vector<std::string> out;
    for (NodeHandle h : tree.allNodes()) {
        const auto& info = tree.info(h);
        out.push_back(std::string(2 * static_cast<size_t>(tree.depth(h)), ' ') + tree.text(h) +
                      "|" + std::to_string(info.Kind) + "|" + std::to_string(info.Id) + "|" +
                      info.Measures);
    }
    return out;
}

std::vector<std::vector<std::string>> tableCells(const ResultsTable& table) {
    std::vector<std::vector<std::string>> out;
    for (int r = 0; r < table.rowCount(); ++r) {
        out.emplace_back();
        for (int c = 0; c < table.colCount(); ++c)
            out.back().push_back(table.cell(c, r));
    }
    return out;
}

std::vector<std::string> splitLines(const std::string& bytes) {
    std::vector<std::string> lines;
    size_t pos = 0;
    while (pos < bytes.size()) {
        size_t end = bytes.find("\r\n", pos);
        if (end == std::string::npos) {
            lines.push_back(bytes.substr(pos));
            break;
        }
        lines.push_back(bytes.substr(pos, end - pos));
        pos = end + 2;
    }
    return lines;
}

std::string joinLines(const std::vector<std::string>& lines) {
    std::string out;
    for (const auto& l : lines)
        out += l + "\r\n";
    return out;
}

} // namespace zarn::test
