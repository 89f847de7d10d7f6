// The inspection protocol: an ordered directory of pages that travels with the structure.
//
// Pages are created only while a structure file is read (the reader appends them in the
// file's order and fills their fields), written back on save and exported; the program never
// shows them. Each directory entry names a page by its kind and its number among the pages
// of that kind, from 1. Nothing limits the number of pages: a file is kept as it was.
#pragma once

#include "core/base/IniFile.h"
#include "core/inspection/MeasurementPage.h"
#include "core/inspection/ProtLanguage.h"
#include "core/inspection/ProtocolPages.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace zarn {

class TLStr;

// One directory entry.
struct TPages {
    uint8_t kind = 0; // a PageKind
    int32_t index = 0;
    friend bool operator==(const TPages&, const TPages&) = default;
};

class TProtocol {
public:
    // `texts` gives the measurement tables' header texts (Glava* keys); it must outlive the
    // protocol.
    explicit TProtocol(const TLStr& texts);
    ~TProtocol();
    TProtocol(const TProtocol&) = delete;
    TProtocol& operator=(const TProtocol&) = delete;

    // Pages created afterwards share the new captions; existing pages keep the set they had.
    void setTemplateTexts(ProtocolTemplateTexts texts) {
        templates_ = std::make_shared<const ProtocolTemplateTexts>(std::move(texts));
    }
    const ProtocolTemplateTexts& templateTexts() const { return *templates_; }

    // Decodes floor-plan pictures; without one, pictures stay empty (names are still kept).
    void setPictureDecoder(PictureDecoder* decoder) { decoder_ = decoder; }
    PictureDecoder* pictureDecoder() const { return decoder_; }
    // Character set of the language in use, for the header font of new measurement tables.
    void setHeaderCharset(int charset) { charset_ = charset; }

    // --- creation: each appends one page and its directory entry ------------------------------
    void AddObjectPage();
    void AddBlockPage();
    void AddLightningRodPage();
    void AddFloorPlanPage();
    void AddBlockMeasurementPage();
    void AddLightningRodMeasurementPage();
    // The creation operation of the kind; false (nothing added) for a kind outside 1..6.
    bool addPage(int kind);

    // --- the directory --------------------------------------------------------------------
    int pageCount() const { return static_cast<int>(directory_.size()); }
    // Entry n, from 1.
    const TPages& entry(int n) const { return directory_.at(static_cast<size_t>(n - 1)); }
    const std::vector<TPages>& directory() const { return directory_; }
    // Number of pages of a kind (also the index of its last page).
    int countOf(PageKind kind) const;

    // Pages by kind and index (from 1); null outside the range.
    TObjPage* objectPage(int index) const;
    TBlokPage* blockPage(int index) const;
    TStrelaPage* lightningRodPage(int index) const;
    TTlorisPage* floorPlanPage(int index) const;
    TMeasurementPage* blockMeasurementPage(int index) const;
    TMeasurementPage* lightningRodMeasurementPage(int index) const;
    // The form page of a directory entry; null for measurement pages.
    TFormPage* formPage(const TPages& e) const;
    TMeasurementPage* measurementPage(const TPages& e) const;

    // Stores a text in a measurement table, growing it until the cell exists.
    static void SetTableCell(TStringGridAll2& table, int col, int row, std::string_view text);
    // True when no data-row cell holds text once line feeds are removed; a missing table and a
    // table of fewer than three rows are empty.
    static bool IsTableEmpty(const TStringGridAll2* table);

    // Tears the protocol down: frees the measurement pages, then visits the directory from
    // the last entry to the first, leaving the values of object, block and lightning-rod pages
    // in the settings (so the first page of a kind wins), and frees everything. Without
    // settings nothing is written.
    void ClearProtocol(const PrivateProfile* settings);

private:
    template <typename Page>
    static Page* at(const std::vector<std::unique_ptr<Page>>& pages, int index);
    void append(PageKind kind, int32_t index);
    // The header-only tables new measurement pages of a kind start from, rebuilt when the
    // language texts or the character set have changed since.
    TMeasurementPage::Tables& measurementTemplate(PageKind kind);
    // One member of the current template set, sharing its ownership.
    SharedCaptions captions(const LabelCaptions ProtocolTemplateTexts::*member) const {
        return {templates_, &(templates_.get()->*member)};
    }

    const TLStr& texts_;
    std::shared_ptr<const ProtocolTemplateTexts> templates_ =
        std::make_shared<const ProtocolTemplateTexts>();
    PictureDecoder* decoder_ = nullptr;
    int charset_ = 0;
    std::vector<TPages> directory_;
    std::vector<std::unique_ptr<TObjPage>> objectPages_;
    std::vector<std::unique_ptr<TBlokPage>> blockPages_;
    std::vector<std::unique_ptr<TStrelaPage>> lightningRodPages_;
    std::vector<std::unique_ptr<TTlorisPage>> floorPlanPages_;
    std::vector<std::unique_ptr<TMeasurementPage>> blockMeasurementPages_;
    std::vector<std::unique_ptr<TMeasurementPage>> lightningRodMeasurementPages_;
    TMeasurementPage::Tables blockMeasurementTemplate_;
    TMeasurementPage::Tables lightningRodMeasurementTemplate_;
};

} // namespace zarn
