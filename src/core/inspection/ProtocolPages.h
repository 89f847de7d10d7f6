// The form pages of an inspection protocol. They are carried with the structure, saved and
// exported, but never shown, so a page is its values: edits and check boxes by number, the
// names of the nodes it belongs to, and the label captions it was created with.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace zarn {

enum class PageKind : uint8_t {
    Object = 1,
    Block = 2,
    LightningRod = 3,
    FloorPlan = 4,
    BlockMeasurement = 5,
    LightningRodMeasurement = 6,
};

// Label captions by label number.
using LabelCaptions = std::map<int, std::string>;
// Every page of a kind shows the same captions, so pages share one immutable set instead of
// each holding a copy: a file of many small pages would otherwise cost kilobytes per page.
using SharedCaptions = std::shared_ptr<const LabelCaptions>;

class TFormPage {
public:
    // Without captions (null) the page has none.
    TFormPage(int editCount, int checkCount, SharedCaptions labels);
    virtual ~TFormPage() = default;

    std::string objectName;
    std::string blockName;

    int editCount() const { return static_cast<int>(edits_.size()); }
    int checkCount() const { return static_cast<int>(checks_.size()); }
    // Edits and check boxes are numbered from 1; other numbers read as empty / unticked.
    const std::string& edit(int n) const;
    void setEdit(int n, std::string text);
    bool check(int n) const;
    void setCheck(int n, bool ticked);

    // One character per check box: "1" ticked, "0" not.
    std::string checksText() const;
    // Box n is ticked when character n is "1" and cleared otherwise (also past the text's end).
    void setChecksFromText(std::string_view line);

    const LabelCaptions& labels() const;

private:
    std::vector<std::string> edits_;
    std::vector<char> checks_;
    SharedCaptions labels_;
};

class TObjPage : public TFormPage {
public:
    static constexpr int Edits = 14;
    explicit TObjPage(SharedCaptions labels) : TFormPage(Edits, 0, std::move(labels)) {}
};

class TBlokPage : public TFormPage {
public:
    static constexpr int Edits = 6;
    static constexpr int Checks = 29;
    explicit TBlokPage(SharedCaptions labels) : TFormPage(Edits, Checks, std::move(labels)) {}
};

class TStrelaPage : public TFormPage {
public:
    static constexpr int Edits = 20;
    static constexpr int Checks = 24;
    explicit TStrelaPage(SharedCaptions labels) : TFormPage(Edits, Checks, std::move(labels)) {}
};

// A decoded picture; the desktop keeps its image behind this.
class DecodedPicture {
public:
    virtual ~DecodedPicture() = default;
    virtual int width() const = 0;
    virtual int height() const = 0;
};

// Turns the bytes of a picture file into a picture; nothing when they do not decode.
class PictureDecoder {
public:
    virtual ~PictureDecoder() = default;
    virtual std::shared_ptr<const DecodedPicture> decode(std::string_view bytes) = 0;
};

class TTlorisPage : public TFormPage {
public:
    static constexpr int Edits = 1;
    static constexpr int PictureWidth = 730;
    static constexpr int PictureHeight = 450;
    explicit TTlorisPage(SharedCaptions labels) : TFormPage(Edits, 0, std::move(labels)) {}

    // The picture's file name as the structure file names it; written back unchanged.
    std::string pictureFile;
    // Empty when the file was missing, too large, not a regular file or did not decode.
    std::shared_ptr<const DecodedPicture> picture;
};

} // namespace zarn
