// Reading a structure file. The reader is lenient: a file that ends early keeps what was read,
// and nothing it declares (row and column counts, page counts) is allocated before the lines
// that fill it have actually been read.
#include "core/base/AtomicFile.h"
#include "core/base/TextRoutines.h"
#include "core/structfile/LineReader.h"
#include "core/structfile/StructChecksum.h"
#include "core/structfile/StructFile.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <limits>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

namespace zarn {

namespace {

constexpr char StoredCR = '\x02';

std::string fromStored(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c == StoredCR)
            c = text::CR;
    }
    return out;
}

// Stores a stored value through `set`, copying only when a 0x02 must become CR.
template <typename Set>
void withStored(std::string_view s, Set&& set) {
    if (s.find(StoredCR) == std::string_view::npos)
        set(s);
    else
        set(std::string_view(fromStored(s)));
}

// A page kind or index line: optional spaces, an optional sign and decimal digits that fit
// 32 bits. Anything else is no number.
std::optional<int32_t> strictInt(std::string_view s) {
    s = text::trim(s);
    bool negative = false;
    if (!s.empty() && (s[0] == '-' || s[0] == '+')) {
        negative = s[0] == '-';
        s.remove_prefix(1);
    }
    if (s.empty() || s.size() > 10)
        return std::nullopt;
    int64_t v = 0;
    for (char c : s) {
        if (c < '0' || c > '9')
            return std::nullopt;
        v = v * 10 + (c - '0');
    }
    if (negative)
        v = -v;
    if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max())
        return std::nullopt;
    return static_cast<int32_t>(v);
}

// The results table's row and column counts: digits to integer, except that digits too long
// for 32 bits count as over every limit rather than as 0.
int64_t declaredCount(std::string_view line) {
    constexpr int64_t tooLong = int64_t{std::numeric_limits<int32_t>::max()} + 1;
    int64_t v = 0;
    for (char c : line) {
        if (c >= '0' && c <= '9')
            v = std::min(v * 10 + (c - '0'), tooLong);
    }
    return v;
}

class Reader {
public:
    Reader(std::string_view bytes, const StructureParts& parts, const StructureEnvironment& env,
           std::string_view displayName)
        : lines_(bytes), parts_(parts), env_(env), displayName_(displayName) {}

    StructureReadResult run();

private:
    // The end of the data: every step below returns false when a line is missing.
    bool next(std::string_view& line) {
        auto l = lines_.next();
        if (!l)
            return false;
        line = *l;
        return true;
    }
    bool nextText(std::string& out) {
        std::string_view l;
        if (!next(l))
            return false;
        out.assign(l);
        return true;
    }
    const std::string& text(std::string_view key) const {
        static const std::string empty;
        return env_.texts ? env_.texts->text(key) : empty;
    }
    void progress(int percent);
    // A line outside the layout: it is not taken, which counts unless it is empty.
    void passOver(std::string_view line) {
        if (!line.empty())
            ++result_.skippedLines;
    }
    // The next line of a skip: false at the end of the data or at "*** KONEC".
    bool nextInSkip(std::string_view& line) {
        if (!next(line))
            return false;
        if (line == structfile::Konec) {
            sawKonec_ = true;
            return false;
        }
        return true;
    }

    bool readHeading(int version);
    bool readComments();
    bool readNodes(bool& reachedTable);
    bool readTable();
    void readProtocol();
    bool readFormPage(TFormPage& page, bool hasBlockName);
    bool readFloorPlanPicture(TTlorisPage& page);
    bool readMeasurementTable(TMeasurementPage& page, int n);
    void placeNode(std::string_view line);
    void finish();

    LineReader lines_;
    const StructureParts& parts_;
    const StructureEnvironment& env_;
    std::string_view displayName_;
    StructureReadResult result_;
    int lastPercent_ = -1;
    // Placing of nodes: the last node placed and its level (from 1).
    NodeHandle last_ = NoNode;
    int lastLevel_ = 0;
    // Pictures decoded during this read, by file name: many pages may name the same file.
    std::map<std::string, std::shared_ptr<const DecodedPicture>> pictures_;
    std::optional<int32_t> storedChecksum_;
    int declaredRows_ = 0;
    bool sawKonec_ = false;
    bool tableOverLimits_ = false;
};

void Reader::progress(int percent) {
    if (!env_.ui || percent == lastPercent_)
        return;
    lastPercent_ = percent;
    env_.ui->progressPosition(percent);
    env_.ui->processEvents();
}

StructureReadResult Reader::run() {
    result_.opened = true;
    if (env_.ui) {
        env_.ui->progressShow("");
        env_.ui->progressLabels(text("Wait_25"), displayName_);
        env_.ui->progressCancelVisible(false);
    }
    progress(0);
    parts_.tree.clear();
    parts_.table.clear();

    std::string_view line;
    if (!next(line)) {
        finish();
        return result_;
    }
    if (line == structfile::HeaderV11)
        result_.version = 11;
    else if (line == structfile::HeaderV10)
        result_.version = 10;
    if (result_.version == 0 || !next(line)) {
        finish();
        return result_;
    }
    result_.family = text::digitsToInt(line);
    if (!result_.productFamily()) {
        finish();
        return result_;
    }

    // The document is replaced as a whole: the pages of the previous structure must not
    // survive into this one even when the file ends before its protocol section.
    parts_.protocol.ClearProtocol(env_.settings);

    bool reachedTable = false;
    if (readHeading(result_.version) && readComments() && readNodes(reachedTable) && reachedTable &&
        readTable())
        readProtocol();
    finish();
    return result_;
}

bool Reader::readHeading(int version) {
    auto& h = parts_.heading;
    h = PrintoutHeading{};
    std::string value;
    if (version == 11) {
        for (int i = 0; i < PrintoutHeading::TextCount; ++i) {
            if (!nextText(value))
                return false;
            h.setText(static_cast<PrintoutHeading::Text>(i), value);
        }
    } else {
        for (auto t : PrintoutHeading::Version10Texts) {
            if (!nextText(value))
                return false;
            h.setText(t, value);
        }
    }
    std::string_view line;
    if (!next(line))
        return false;
    h.setLogoMode(text::digitsToInt(line));
    return true;
}

bool Reader::readComments() {
    auto& c = parts_.comments;
    c.clearLines();
    c.setSwitches(PrintoutComments::DefaultSwitches);
    auto isMarker = [](std::string_view l) {
        return l == structfile::StructureData || l == structfile::Comments2;
    };
    std::string_view line;
    bool atMarker = false;
    for (int n = 1; n <= 20 && !atMarker; ++n) {
        if (!next(line))
            return false;
        atMarker = isMarker(line);
        if (!atMarker)
            c.setLine(n, std::string(line));
    }
    if (!atMarker) {
        if (!next(line)) // the empty line before the autotest lines
            return false;
        atMarker = isMarker(line);
        if (!atMarker)
            passOver(line);
        for (int n = 1; n <= 5 && !atMarker; ++n) {
            if (!next(line))
                return false;
            atMarker = isMarker(line);
            if (!atMarker)
                c.setAutotestLine(n, std::string(line));
        }
    }
    if (!atMarker) {
        if (!next(line)) // the empty line before the switches
            return false;
        atMarker = isMarker(line);
        if (!atMarker) {
            passOver(line);
            if (!next(line))
                return false;
            atMarker = isMarker(line);
            if (!atMarker && line.size() > 2)
                c.setSwitches(std::string(line));
            else if (!atMarker)
                passOver(line);
        }
    }
    while (!atMarker) {
        if (!nextInSkip(line))
            return false;
        atMarker = isMarker(line);
        if (!atMarker)
            passOver(line);
    }
    if (line == structfile::Comments2) {
        for (int n = 1; n <= PrintoutComments::LineCount; ++n) {
            if (!next(line))
                return false;
            if (line == structfile::StructureData)
                break;
            c.setLine(n, std::string(line));
        }
        while (line != structfile::StructureData) {
            if (!nextInSkip(line))
                return false;
            if (line != structfile::StructureData)
                passOver(line);
        }
    }
    return true;
}

void Reader::placeNode(std::string_view stored) {
    const std::string line = fromStored(stored);
    std::string_view rest = line;
    std::string_view fields[4];
    for (int i = 0; i < 4; ++i) {
        const auto tab = rest.find('\t');
        fields[i] = rest.substr(0, tab);
        if (tab == std::string_view::npos) {
            rest = {};
            break;
        }
        rest.remove_prefix(tab + 1);
    }
    const int32_t kindNumber = text::digitsToInt(fields[1]);
    const uint8_t kind =
        kindNumber >= 0 && kindNumber <= 255 ? static_cast<uint8_t>(kindNumber) : 0;

    // Kinds outside 1..13 (kind 0 is a line without TAB) have no level: they become roots.
    int wanted = kind >= 1 && kind <= kind::Last ? kindLevel(kind) : 0;
    if (wanted == 3) // naming mode 1: leaves sit directly under the roots
        wanted = 2;
    NodeHandle at = last_;
    int level = lastLevel_;
    while (at != NoNode && level > wanted - 1) {
        at = parts_.tree.parent(at);
        --level;
    }
    if (wanted <= 1 || at == NoNode) {
        at = NoNode;
        level = 0;
    }
    auto& tree = parts_.tree;
    const NodeHandle h = tree.createNode(at);
    tree.initialiseNode(h, kind);
    tree.setText(h, fields[0]);
    tree.setInfo(h, TMyElementInfo{kind, std::string(fields[3]), text::digitsToInt(fields[2])});
    last_ = h;
    lastLevel_ = level + 1;
}

bool Reader::readNodes(bool& reachedTable) {
    std::string_view line;
    if (!next(line)) // the stored checksum
        return false;
    storedChecksum_ = parseStoredChecksum(line);

    const size_t counted = std::max<size_t>(1, lines_.countLinesUntil(structfile::TableData));
    size_t read = 0;
    while (next(line)) {
        if (line == structfile::TableData) {
            reachedTable = true;
            return true;
        }
        ++read;
        if (!line.empty())
            placeNode(line);
        progress(static_cast<int>(std::min<size_t>(100, 100 * read / counted)));
    }
    return false;
}

bool Reader::readTable() {
    std::string_view line;
    if (!next(line))
        return false;
    const int64_t declaredRows = declaredCount(line);
    if (!next(line))
        return false;
    const int64_t declaredCols = declaredCount(line);
    if (declaredRows > structfile::MaxRows || declaredCols > structfile::MaxColumns) {
        tableOverLimits_ = true;
        return false;
    }
    const int rows = static_cast<int>(declaredRows);
    const int cols = static_cast<int>(declaredCols);
    result_.tableRead = true;
    declaredRows_ = rows;

    auto& table = parts_.table;
    table.ensureSize(cols, 1);
    // Rows are added as their first cell arrives: a file that claims many rows and ends early
    // costs only what it holds.
    const int denominator = rows > 1 ? rows - 1 : 1;
    for (int r = 0; r < rows && cols > 0; ++r) {
        for (int c = 0; c < cols; ++c) {
            if (!next(line))
                return false;
            if (r >= table.rowCount())
                table.addRow();
            withStored(line, [&](std::string_view v) { table.setCell(c, r, v); });
        }
        progress(static_cast<int>(100LL * r / denominator));
    }
    return true;
}

bool Reader::readFormPage(TFormPage& page, bool hasBlockName) {
    if (!nextText(page.objectName))
        return false;
    if (hasBlockName && !nextText(page.blockName))
        return false;
    std::string value;
    for (int n = 1; n <= page.editCount(); ++n) {
        if (!nextText(value))
            return false;
        page.setEdit(n, value);
    }
    if (page.checkCount() > 0) {
        std::string_view line;
        if (!next(line))
            return false;
        page.setChecksFromText(line);
    }
    return true;
}

bool Reader::readFloorPlanPicture(TTlorisPage& page) {
    if (!nextText(page.pictureFile))
        return false;
    if (page.pictureFile.empty())
        return true;
    auto cached = pictures_.find(page.pictureFile);
    if (cached == pictures_.end()) {
        std::shared_ptr<const DecodedPicture> picture;
        if (auto* decoder = parts_.protocol.pictureDecoder()) {
            if (auto bytes = readPictureFile(page.pictureFile))
                picture = decoder->decode(*bytes);
        }
        cached = pictures_.emplace(page.pictureFile, std::move(picture)).first;
    }
    page.picture = cached->second;
    return true;
}

bool Reader::readMeasurementTable(TMeasurementPage& page, int n) {
    // Through the page's setters, so that tables holding only their header rows stay shared.
    std::string_view line;
    if (!next(line))
        return false;
    page.setObjectName(n, line);
    if (!next(line))
        return false;
    page.setBlockName(n, line);
    if (!next(line))
        return false;
    const int32_t rows = text::digitsToInt(line);
    if (!next(line))
        return false;
    const int32_t cols = text::digitsToInt(line);
    for (int k = 1; k <= 2; ++k) {
        if (!next(line))
            return false;
        page.setSubText(n, k, line);
    }
    for (int32_t r = 0; r < rows && cols > 0; ++r) {
        for (int32_t c = 0; c < cols; ++c) {
            if (!next(line))
                return false;
            withStored(line, [&](std::string_view v) { page.setTableCell(n, c, r, v); });
        }
    }
    return true;
}

void Reader::readProtocol() {
    auto& protocol = parts_.protocol;
    std::string_view line;
    for (;;) {
        for (;;) {
            if (!nextInSkip(line))
                return;
            if (line == structfile::ProtocolData)
                break;
            passOver(line);
        }

        std::optional<int32_t> numbers[2];
        for (auto& number : numbers) {
            if (!next(line))
                return;
            number = strictInt(line);
            if (!number) {
                result_.protocolError = true;
                if (env_.ui)
                    env_.ui->messageDlg("'" + std::string(line) + "' is not a valid integer value",
                                        DialogType::Error, {DialogButton::Ok});
                return;
            }
        }
        // An unknown kind has no layout: its page is skipped up to the next page.
        if (!protocol.addPage(*numbers[0])) {
            result_.skippedLines += 3; // the marker, kind and index lines
            continue;
        }
        const TPages& entry = protocol.directory().back();
        bool complete = true;
        switch (static_cast<PageKind>(entry.kind)) {
        case PageKind::Object:
            complete = readFormPage(*protocol.objectPage(entry.index), false);
            break;
        case PageKind::Block:
            complete = readFormPage(*protocol.blockPage(entry.index), true);
            break;
        case PageKind::LightningRod:
            complete = readFormPage(*protocol.lightningRodPage(entry.index), true);
            break;
        case PageKind::FloorPlan: {
            auto& page = *protocol.floorPlanPage(entry.index);
            complete = readFormPage(page, true) && readFloorPlanPicture(page);
            break;
        }
        case PageKind::BlockMeasurement:
        case PageKind::LightningRodMeasurement: {
            auto& page = *protocol.measurementPage(entry);
            complete = readMeasurementTable(page, 0) && readMeasurementTable(page, 1);
            break;
        }
        }
        if (!complete)
            return;
    }
}

void Reader::finish() {
    if (result_.tableRead && declaredRows_ > 0) {
        const int32_t computed = structureChecksum(result_.family, parts_.table.cell(1, 0));
        result_.trusted = storedChecksum_ && *storedChecksum_ == computed;
    }
    if (!result_.trusted) {
        auto& table = parts_.table;
        for (int r = 0; r < table.rowCount(); ++r) {
            for (int c = 0; c < table.colCount(); ++c) {
                if (!table.cell(c, r).empty())
                    table.setCell(c, r, "");
            }
        }
    }
    if (result_.productFamily()) {
        auto& unread = result_.unread;
        if (!sawKonec_ && !tableOverLimits_ && !result_.protocolError)
            unread.push_back(Unread::EndedEarly);
        if (tableOverLimits_)
            unread.push_back(Unread::TableOverLimits);
        if (!result_.trusted)
            unread.push_back(Unread::ResultsEmptied);
        if (result_.protocolError)
            unread.push_back(Unread::DamagedPage);
        if (sawKonec_) {
            while (auto rest = lines_.next())
                passOver(*rest);
        }
        if (result_.skippedLines > 0)
            unread.push_back(Unread::SkippedLines);
    }
    parts_.tree.setSelected(parts_.tree.firstNode());
    if (env_.ui) {
        env_.ui->progressHide();
        env_.ui->progressCancelVisible(true);
    }
}

} // namespace

std::optional<std::string> readRegularFile(const std::string& path, uint64_t limit) {
    // Non-blocking open, so that a name of a FIFO cannot hang the program; the checks run on
    // the opened file itself.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    struct stat st {};
    std::optional<std::string> result;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
        static_cast<uint64_t>(st.st_size) <= limit) {
        std::string bytes(static_cast<size_t>(st.st_size), '\0');
        size_t done = 0;
        bool ok = true;
        while (done < bytes.size()) {
            const ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                ok = n == 0; // the file shrank meanwhile: keep what is there
                break;
            }
            done += static_cast<size_t>(n);
        }
        if (ok) {
            bytes.resize(done);
            result = std::move(bytes);
        }
    }
    ::close(fd);
    return result;
}

std::optional<std::string> readPictureFile(const std::string& path) {
    return readRegularFile(path, structfile::MaxPictureBytes);
}

StructureReadResult readStructure(std::string_view bytes, const StructureParts& parts,
                                  const StructureEnvironment& env, std::string_view displayName) {
    return Reader(bytes, parts, env, displayName).run();
}

StructureReadResult readStructureFile(const std::string& path, const StructureParts& parts,
                                      const StructureEnvironment& env) {
    const auto bytes = readRegularFile(path, std::numeric_limits<uint64_t>::max());
    if (!bytes) {
        if (env.ui) {
            env.ui->messageDlg(env.texts ? env.texts->text("FileNotExist_40") : std::string(),
                               DialogType::Error, {DialogButton::Ok});
        }
        return {};
    }
    return readStructure(*bytes, parts, env, path);
}

} // namespace zarn
