// Writing a structure file: the whole file is built in memory and then replaces the old one
// in a single step, so a failure can never leave a half-written file behind.
#include "core/base/AtomicFile.h"
#include "core/base/TextRoutines.h"
#include "core/structfile/StructChecksum.h"
#include "core/structfile/StructFile.h"

namespace zarn {

namespace {

constexpr char StoredCR = '\x02';

class Writer {
public:
    Writer(const StructureParts& parts, const StructureEnvironment& env)
        : parts_(parts), env_(env) {}

    std::string run(int32_t family, std::string_view displayName);

private:
    void line(std::string_view s) {
        out_ += s;
        out_ += "\r\n";
    }
    // A one-line value: a line feed in it would split the file's lines, so it becomes a space.
    void single(std::string_view s) {
        const size_t start = out_.size();
        out_ += s;
        for (size_t i = start; i < out_.size(); ++i) {
            if (out_[i] == '\n')
                out_[i] = ' ';
        }
        out_ += "\r\n";
    }
    // A value that may hold several lines: CR is stored as 0x02; line feeds are not part of a
    // cell's text (drawing ignores them) and would break the file, so they are dropped.
    void multi(std::string_view s) {
        for (char c : s) {
            if (c == text::CR)
                out_ += StoredCR;
            else if (c != '\n')
                out_ += c;
        }
        out_ += "\r\n";
    }
    void number(int64_t v) { line(text::toText(v)); }
    void emptyLines(int n) {
        for (int i = 0; i < n; ++i)
            out_ += "\r\n";
    }
    void progress(int percent) {
        if (!env_.ui || percent == lastPercent_)
            return;
        lastPercent_ = percent;
        env_.ui->progressPosition(percent);
        env_.ui->processEvents();
    }
    const std::string& text(std::string_view key) const {
        static const std::string empty;
        return env_.texts ? env_.texts->text(key) : empty;
    }
    void writeFormPage(const TFormPage& page, bool hasBlockName);
    void writeTable(const TStringGridAll2& table);
    void writePage(const TPages& entry);

    const StructureParts& parts_;
    const StructureEnvironment& env_;
    std::string out_;
    int lastPercent_ = -1;
};

std::string Writer::run(int32_t family, std::string_view displayName) {
    const auto& table = parts_.table;
    // Roughly the size of the file, so that building it does not reallocate often.
    size_t estimate = 16384;
    for (int r = 0; r < table.rowCount(); ++r) {
        for (int c = 0; c < table.colCount(); ++c)
            estimate += table.cell(c, r).size() + 2;
    }
    estimate += parts_.tree.nodeCount() * 48;
    out_.reserve(estimate);

    line(structfile::HeaderV11);
    number(family);
    const auto& heading = parts_.heading;
    for (int i = 0; i < PrintoutHeading::TextCount; ++i)
        single(heading.text(static_cast<PrintoutHeading::Text>(i)));
    number(heading.logoMode());
    using structfile::CommentField;
    using structfile::storableCommentText;
    const auto& comments = parts_.comments;
    // The reader takes comment lines 1..20 from the second copy; in the first, a line that would
    // end the block early is left empty.
    for (int n = 1; n <= 20; ++n) {
        const std::string stored = storableCommentText(CommentField::Comment, comments.line(n));
        line(stored == structfile::Comments2 ? std::string() : stored);
    }
    emptyLines(1);
    for (int n = 1; n <= PrintoutComments::AutotestLineCount; ++n)
        line(storableCommentText(CommentField::Autotest, comments.autotestLine(n)));
    emptyLines(1);
    line(storableCommentText(CommentField::Switches,
                             comments.storedSwitches().size() < 3
                                 ? std::string(PrintoutComments::DefaultSwitches)
                                 : comments.storedSwitches()));
    emptyLines(5);
    line(structfile::Comments2);
    for (int n = 1; n <= PrintoutComments::LineCount; ++n)
        line(storableCommentText(CommentField::Comment, comments.line(n)));
    line(structfile::StructureData);
    number(structureChecksum(family, table.cell(1, 0)));

    if (env_.ui) {
        env_.ui->progressShow("");
        env_.ui->progressLabels(text("Wait_25"), displayName);
        env_.ui->progressCancelVisible(false);
    }
    progress(0);
    const auto& tree = parts_.tree;
    const auto nodes = tree.allNodes();
    const int64_t nodeDenominator = nodes.size() > 1 ? static_cast<int64_t>(nodes.size()) - 1 : 1;
    std::string nodeLine;
    for (size_t i = 0; i < nodes.size(); ++i) {
        const auto& info = tree.info(nodes[i]);
        // A TAB in a name would shift the fields of its line.
        nodeLine = text::replaceChar(tree.text(nodes[i]), '\t', ' ');
        nodeLine += '\t';
        nodeLine += text::toText(info.Kind);
        nodeLine += '\t';
        nodeLine += text::toText(info.Id);
        nodeLine += '\t';
        nodeLine += info.Measures;
        multi(nodeLine);
        progress(static_cast<int>(100 * static_cast<int64_t>(i) / nodeDenominator));
    }
    emptyLines(25);
    line(structfile::TableData);
    number(table.rowCount());
    number(table.colCount());
    const int64_t rowDenominator = table.rowCount() > 1 ? table.rowCount() - 1 : 1;
    for (int r = 0; r < table.rowCount(); ++r) {
        for (int c = 0; c < table.colCount(); ++c)
            multi(table.cell(c, r));
        progress(static_cast<int>(100 * static_cast<int64_t>(r) / rowDenominator));
    }
    for (const auto& entry : parts_.protocol.directory())
        writePage(entry);
    emptyLines(25);
    line(structfile::Konec);
    return std::move(out_);
}

void Writer::writeFormPage(const TFormPage& page, bool hasBlockName) {
    single(page.objectName);
    if (hasBlockName)
        single(page.blockName);
    for (int n = 1; n <= page.editCount(); ++n)
        single(page.edit(n));
    if (page.checkCount() > 0)
        line(page.checksText());
}

void Writer::writeTable(const TStringGridAll2& table) {
    single(table.objectName);
    single(table.blockName);
    number(table.rowCount());
    number(table.colCount());
    single(table.subText(1));
    single(table.subText(2));
    for (int r = 0; r < table.rowCount(); ++r) {
        for (int c = 0; c < table.colCount(); ++c)
            multi(table.cell(c, r));
    }
}

void Writer::writePage(const TPages& entry) {
    const auto& protocol = parts_.protocol;
    emptyLines(25);
    line(structfile::ProtocolData);
    number(entry.kind);
    number(entry.index);
    switch (static_cast<PageKind>(entry.kind)) {
    case PageKind::Object:
        writeFormPage(*protocol.objectPage(entry.index), false);
        break;
    case PageKind::Block:
    case PageKind::LightningRod:
        writeFormPage(*protocol.formPage(entry), true);
        break;
    case PageKind::FloorPlan: {
        const auto& page = *protocol.floorPlanPage(entry.index);
        writeFormPage(page, true);
        single(page.pictureFile);
        break;
    }
    case PageKind::BlockMeasurement:
    case PageKind::LightningRodMeasurement: {
        const auto& page = *protocol.measurementPage(entry);
        writeTable(page.table(0));
        writeTable(page.table(1));
        break;
    }
    }
}

} // namespace

std::string structfile::storableCommentText(CommentField field, std::string_view text) {
    std::string out = text::replaceChar(text, '\n', ' ');
    if (out == StructureData || (field != CommentField::Comment && out == Comments2))
        out += ' ';
    return out;
}

std::string writeStructure(const StructureParts& parts, int32_t family,
                           const StructureEnvironment& env, std::string_view displayName) {
    return Writer(parts, env).run(family, displayName);
}

std::string unreadableTableReason(const ResultsTable& table) {
    if (table.rowCount() <= structfile::MaxRows && table.colCount() <= structfile::MaxColumns)
        return {};
    return "the results table has " + std::to_string(table.rowCount()) + " rows and " +
           std::to_string(table.colCount()) + " columns; a structure file holds at most " +
           std::to_string(structfile::MaxRows) + " rows (" +
           std::to_string(structfile::MaxRows - 1) + " results) and " +
           std::to_string(structfile::MaxColumns) + " columns";
}

StructureSaveResult saveStructureFile(const std::string& path, const StructureParts& parts,
                                      int32_t family, const StructureEnvironment& env) {
    if (auto reason = unreadableTableReason(parts.table); !reason.empty()) {
        if (env.ui)
            env.ui->messageDlg(path + "\r" + reason, DialogType::Error, {DialogButton::Ok});
        return {false, std::move(reason)};
    }
    const std::string bytes = writeStructure(parts, family, env, path);
    const WriteResult written = writeFileAtomically(path, bytes);
    if (env.ui) {
        env.ui->progressHide();
        env.ui->progressCancelVisible(true);
    }
    if (!written.ok) {
        if (env.ui)
            env.ui->messageDlg(path + "\r" + written.message, DialogType::Error,
                               {DialogButton::Ok});
        return {false, written.message};
    }
    return {true, {}};
}

} // namespace zarn
