#include "core/inspection/TextExport.h"

#include "core/base/TextRoutines.h"
#include "core/lang/TextEncoding.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zarn {

std::string_view delimiterBytes(ColumnDelimiter d) {
    return d == ColumnDelimiter::Semicolon ? ";" : "\t";
}

std::string_view delimiterBytes(RowDelimiter d) {
    switch (d) {
    case RowDelimiter::Cr:
        return "\r";
    case RowDelimiter::Lf:
        return "\n";
    case RowDelimiter::CrLf:
        break;
    }
    return "\r\n";
}

std::optional<ColumnDelimiter> columnDelimiterAt(int index) {
    if (index == 0 || index == 1)
        return static_cast<ColumnDelimiter>(index);
    return std::nullopt;
}

std::optional<RowDelimiter> rowDelimiterAt(int index) {
    if (index >= 0 && index <= 2)
        return static_cast<RowDelimiter>(index);
    return std::nullopt;
}

namespace {

// Appends the text with every line break (CR LF, CR or LF) replaced by `replacement`.
void appendReplacingBreaks(std::string& out, std::string_view text, std::string_view replacement) {
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r') {
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            out += replacement;
        } else if (c == '\n') {
            out += replacement;
        } else {
            out += c;
        }
    }
}

// Replaces the line breaks of `text` from `start` on, in place.
void replaceBreaksFrom(std::string& text, size_t start, std::string_view replacement) {
    if (text.find_first_of("\r\n", start) == std::string::npos)
        return;
    std::string tail = text.substr(start);
    text.resize(start);
    appendReplacingBreaks(text, tail, replacement);
}

class Exporter {
public:
    Exporter(const ExportSource& source, ExportFormat format, const ExportProgress& progress)
        : s_(source), c_(delimiterBytes(format.column)), r_(delimiterBytes(format.row)),
          progress_(progress) {}

    std::optional<std::string> run() {
        reserve();
        heading();
        if (!tree())
            return std::nullopt;
        columnHeadings();
        if (!results())
            return std::nullopt;
        protocolTables();
        return std::move(out_);
    }

private:
    bool report(int percent) {
        if (!progress_ || percent == lastPercent_)
            return true;
        lastPercent_ = percent;
        return progress_(percent);
    }

    void reserve() {
        size_t estimate = 4096 + s_.tree.nodeCount() * 32;
        for (int r = 1; r < s_.results.rowCount(); ++r)
            estimate += 32 + s_.results.cell(col::Names, r).size() +
                        2 * (s_.results.cell(col::RValues, r).size() +
                             s_.results.cell(col::PValues, r).size());
        out_.reserve(estimate);
    }

    // The text as UTF-8, as the screen shows it: typed names are kept in the language's code
    // page while the language files and the instrument's units are UTF-8, and one file must
    // not mix the two.
    std::string shown(std::string_view bytes) const { return displayText(bytes, s_.codePage); }

    // A text that stands in one field: a line break in it would start a new row.
    void single(std::string_view text) { appendReplacingBreaks(out_, shown(text), " "); }

    void heading() {
        using H = PrintoutHeading;
        const H& h = s_.heading;
        const H::Text ops[] = {H::Op1, H::Op2, H::Op3};
        const H::Text sites[] = {H::Site1, H::Site2, H::Site3};
        for (int k = 0; k < 3; ++k) {
            single(h.text(ops[k]));
            out_ += c_;
            out_ += c_;
            single(h.text(sites[k]));
            out_ += r_;
        }
        for (H::Text footer : {H::Footer, H::Footer2, H::Footer3}) {
            single(h.text(footer));
            out_ += r_;
        }
        out_ += r_;
        out_ += r_;
    }

    bool tree() {
        const InstallationTree& tree = s_.tree;
        const std::vector<NodeHandle> nodes = tree.allNodes();
        const size_t n = nodes.size();
        for (size_t i = 0; i < n; ++i) {
            // The second level is indented by one delimiter, the third (and deeper) by two.
            const int depth = std::min(tree.depth(nodes[i]), 2);
            for (int d = 0; d < depth; ++d)
                out_ += c_;
            single(tree.text(nodes[i]));
            out_ += r_;
            // With a single node the tree is done after it; n - 1 would be 0.
            const int percent =
                n > 1
                    ? static_cast<int>(100 * static_cast<int64_t>(i) / static_cast<int64_t>(n - 1))
                    : 100;
            if (!report(percent))
                return false;
        }
        out_ += r_;
        out_ += r_;
        return true;
    }

    void columnHeadings() {
        bool first = true;
        for (int role : s_.columnRoles) {
            if (!first)
                out_ += c_;
            first = false;
            const std::string heading =
                text::replaceChar(s_.texts.text("VGlava" + std::to_string(role) + "_0"), '$', ',');
            const size_t begin = heading.find_first_not_of(',');
            if (begin != std::string::npos)
                single(std::string_view(heading).substr(begin,
                                                        heading.find_last_not_of(',') - begin + 1));
        }
        out_ += r_;
    }

    bool results() {
        const ResultsTable& table = s_.results;
        const int64_t m = table.rowCount() - 1;
        std::string line;
        for (int r = 1; r < table.rowCount(); ++r) {
            resultLine(r, line);
            if (!line.empty()) {
                out_ += line;
                out_ += r_;
            }
            if (!report(static_cast<int>(100 * static_cast<int64_t>(r) / m)))
                return false;
        }
        return true;
    }

    // The line of a result row, without its number when the row has no measurement code.
    void resultLine(int row, std::string& line) {
        const ResultsTable& table = s_.results;
        line.clear();
        const int code = text::digitsToInt(text::field(table.cell(col::Function, row), 1));
        if (code == 0)
            return;
        for (int role : s_.columnRoles) {
            const size_t start = line.size();
            switch (role) {
            case 0:
                line += shown(text::field(table.cell(col::Names, row), 3));
                break;
            case 1:
                continue;
            case 2:
                // "$" breaks the function name's line; in the export every break of the line
                // so far becomes "-".
                line += text::replaceChar(shown(s_.namef.function(code)), '$', '\r');
                replaceBreaksFrom(line, 0, "-");
                break;
            case 3:
                appendReplacingBreaks(
                    line, shown(formatValueCell(table.cell(col::RValues, row), s_.namef)), ",");
                break;
            case 4:
                appendReplacingBreaks(
                    line, shown(formatValueCell(table.cell(col::PValues, row), s_.namef)), ",");
                break;
            case 5:
                appendReplacingBreaks(
                    line, shown(formatValueCell(table.cell(col::MValues, row), s_.namef)), ",");
                break;
            case 6:
                line += shown(table.cell(col::DValues, row));
                line += ", ";
                line += shown(table.cell(col::TValues, row));
                // D and T cells hold several entries; their breaks would split the row.
                replaceBreaksFrom(line, start, ",");
                break;
            default:
                continue;
            }
            line += c_;
        }
        ++counter_;
        line.insert(0, std::to_string(counter_) + std::string(c_));
        if (line.ends_with(c_))
            line.resize(line.size() - c_.size());
    }

    void protocolTables() {
        const TProtocol& protocol = s_.protocol;
        for (const TPages& entry : protocol.directory()) {
            const auto kind = static_cast<PageKind>(entry.kind);
            if (kind != PageKind::BlockMeasurement && kind != PageKind::LightningRodMeasurement)
                continue;
            const TMeasurementPage* page = protocol.measurementPage(entry);
            if (!page)
                continue;
            for (int t = 0; t < 2; ++t) {
                const TStringGridAll2& table = page->table(t);
                if (TProtocol::IsTableEmpty(&table))
                    continue;
                out_ += r_;
                single(table.objectName);
                out_ += c_;
                single(table.blockName);
                out_ += r_;
                out_ += r_;
                tableRow(table, 0, " ");
                tableRow(table, 1, " ");
                for (int row = 2; row < table.rowCount(); ++row)
                    tableRow(table, row, ",");
            }
        }
    }

    void tableRow(const TStringGridAll2& table, int row, std::string_view lineBreak) {
        for (int c = 0; c < table.colCount(); ++c) {
            if (c > 0)
                out_ += c_;
            appendReplacingBreaks(out_, shown(table.cell(c, row)), lineBreak);
        }
        out_ += r_;
    }

    const ExportSource& s_;
    const std::string_view c_;
    const std::string_view r_;
    const ExportProgress& progress_;
    std::string out_;
    int counter_ = 0;
    int lastPercent_ = -1;
};

// The file's own name: what follows the last "/".
size_t ownNameStart(std::string_view path) {
    const size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? 0 : slash + 1;
}

enum class Existing { No, Yes, Unreadable };

// Whether a file of that name is there to be replaced. Only a regular file can be: a folder,
// a device or a pipe would be replaced by the rename of the write, and a name that cannot be
// looked at for another reason than its absence is no export file either.
Existing lookAt(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return errno == ENOENT ? Existing::No : Existing::Unreadable;
    if (!S_ISREG(st.st_mode))
        return Existing::Unreadable;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return Existing::Unreadable;
    ::close(fd);
    return Existing::Yes;
}

} // namespace

std::optional<std::string> buildTextExport(const ExportSource& source, ExportFormat format,
                                           const ExportProgress& progress) {
    return Exporter(source, format, progress).run();
}

std::string proposedExportName(std::string_view structureFile) {
    if (structureFile.empty())
        return {};
    // The first "." of the file's own name; a dot in a folder name starts no extension.
    const size_t start = ownNameStart(structureFile);
    const size_t dot = structureFile.find('.', start);
    return std::string(structureFile.substr(0, dot)) + ".TXT";
}

std::string withExportExtension(std::string name) {
    if (name.find('.', ownNameStart(name)) == std::string::npos)
        name += ".TXT";
    return name;
}

ExportResult exportToTextFile(const ExportSource& source, ExportFormat format,
                              const std::string& structureFile, UserInteraction& ui) {
    const TLStr& texts = source.texts;
    FileDialogRequest request;
    request.title = texts.text("ExportTo_40");
    request.filterName = texts.text("TextFiles_12");
    request.extension = "TXT";
    request.proposedName = proposedExportName(structureFile);

    ExportResult result;
    for (;;) {
        const auto chosen = ui.chooseSaveFile(request);
        if (!chosen)
            return result;
        const std::string name = withExportExtension(*chosen);
        request.proposedName = name;
        const Existing existing = lookAt(name);
        if (existing == Existing::Unreadable) {
            ui.messageDlg(texts.text("Error_30"), DialogType::Error, {DialogButton::Ok});
            continue;
        }
        if (existing == Existing::Yes) {
            const int answer = ui.messageDlg(
                name + "\r" + texts.text("AlreadyExists_40") + "\r" + texts.text("ReplaceIt_40"),
                DialogType::Warning, {DialogButton::Yes, DialogButton::No, DialogButton::Cancel});
            if (answer == modal::No)
                continue;
            if (answer != modal::Yes)
                return result;
        }
        result.path = name;
        break;
    }

    ui.clearCancel();
    ui.progressShow("");
    ui.progressLabels(texts.text("Wait_25"), result.path);
    ui.progressCancelVisible(true);
    ui.progressPosition(0);
    const auto bytes = buildTextExport(source, format, [&ui](int percent) {
        ui.progressPosition(percent);
        ui.processEvents();
        return !ui.cancelRequested();
    });
    WriteResult written;
    if (bytes)
        written = writeFileAtomically(result.path, *bytes);
    ui.progressHide();
    ui.progressCancelVisible(true);
    ui.clearCancel();

    if (!bytes)
        return result; // cancelled: nothing was written
    if (!written.ok) {
        result.outcome = ExportOutcome::Failed;
        result.error = written.message;
        ui.messageDlg(result.path + "\r" + texts.text("Error_30") + ": " + written.message,
                      DialogType::Error, {DialogButton::Ok});
        return result;
    }
    result.outcome = ExportOutcome::Written;
    return result;
}

WriteResult writeTextExport(const ExportSource& source, ExportFormat format,
                            const std::string& path) {
    return writeFileAtomically(path, *buildTextExport(source, format));
}

} // namespace zarn
