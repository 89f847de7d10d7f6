#include "core/inspection/Protocol.h"

#include "core/base/SettingsBatch.h"
#include "core/lang/LStr.h"

#include <optional>

namespace zarn {

TProtocol::TProtocol(const TLStr& texts) : texts_(texts) {}

TProtocol::~TProtocol() = default;

void TProtocol::append(PageKind kind, int32_t index) {
    directory_.push_back({static_cast<uint8_t>(kind), index});
}

void TProtocol::AddObjectPage() {
    objectPages_.push_back(std::make_unique<TObjPage>(captions(&ProtocolTemplateTexts::object)));
    append(PageKind::Object, static_cast<int32_t>(objectPages_.size()));
}

void TProtocol::AddBlockPage() {
    blockPages_.push_back(std::make_unique<TBlokPage>(captions(&ProtocolTemplateTexts::block)));
    append(PageKind::Block, static_cast<int32_t>(blockPages_.size()));
}

void TProtocol::AddLightningRodPage() {
    lightningRodPages_.push_back(
        std::make_unique<TStrelaPage>(captions(&ProtocolTemplateTexts::lightningRod)));
    append(PageKind::LightningRod, static_cast<int32_t>(lightningRodPages_.size()));
}

void TProtocol::AddFloorPlanPage() {
    floorPlanPages_.push_back(
        std::make_unique<TTlorisPage>(captions(&ProtocolTemplateTexts::floorPlan)));
    append(PageKind::FloorPlan, static_cast<int32_t>(floorPlanPages_.size()));
}

TMeasurementPage::Tables& TProtocol::measurementTemplate(PageKind kind) {
    auto& tables = kind == PageKind::BlockMeasurement ? blockMeasurementTemplate_
                                                      : lightningRodMeasurementTemplate_;
    if (!TMeasurementPage::headersMatch(tables, kind, texts_, charset_))
        tables = TMeasurementPage::makeTables(kind, texts_, charset_);
    return tables;
}

void TProtocol::AddBlockMeasurementPage() {
    blockMeasurementPages_.push_back(std::make_unique<TMeasurementPage>(
        PageKind::BlockMeasurement, measurementTemplate(PageKind::BlockMeasurement)));
    append(PageKind::BlockMeasurement, static_cast<int32_t>(blockMeasurementPages_.size()));
}

void TProtocol::AddLightningRodMeasurementPage() {
    lightningRodMeasurementPages_.push_back(std::make_unique<TMeasurementPage>(
        PageKind::LightningRodMeasurement, measurementTemplate(PageKind::LightningRodMeasurement)));
    append(PageKind::LightningRodMeasurement,
           static_cast<int32_t>(lightningRodMeasurementPages_.size()));
}

bool TProtocol::addPage(int kind) {
    switch (kind) {
    case 1:
        AddObjectPage();
        return true;
    case 2:
        AddBlockPage();
        return true;
    case 3:
        AddLightningRodPage();
        return true;
    case 4:
        AddFloorPlanPage();
        return true;
    case 5:
        AddBlockMeasurementPage();
        return true;
    case 6:
        AddLightningRodMeasurementPage();
        return true;
    default:
        return false;
    }
}

int TProtocol::countOf(PageKind kind) const {
    switch (kind) {
    case PageKind::Object:
        return static_cast<int>(objectPages_.size());
    case PageKind::Block:
        return static_cast<int>(blockPages_.size());
    case PageKind::LightningRod:
        return static_cast<int>(lightningRodPages_.size());
    case PageKind::FloorPlan:
        return static_cast<int>(floorPlanPages_.size());
    case PageKind::BlockMeasurement:
        return static_cast<int>(blockMeasurementPages_.size());
    case PageKind::LightningRodMeasurement:
        return static_cast<int>(lightningRodMeasurementPages_.size());
    }
    return 0;
}

template <typename Page>
Page* TProtocol::at(const std::vector<std::unique_ptr<Page>>& pages, int index) {
    if (index < 1 || static_cast<size_t>(index) > pages.size())
        return nullptr;
    return pages[static_cast<size_t>(index - 1)].get();
}

TObjPage* TProtocol::objectPage(int index) const {
    return at(objectPages_, index);
}
TBlokPage* TProtocol::blockPage(int index) const {
    return at(blockPages_, index);
}
TStrelaPage* TProtocol::lightningRodPage(int index) const {
    return at(lightningRodPages_, index);
}
TTlorisPage* TProtocol::floorPlanPage(int index) const {
    return at(floorPlanPages_, index);
}
TMeasurementPage* TProtocol::blockMeasurementPage(int index) const {
    return at(blockMeasurementPages_, index);
}
TMeasurementPage* TProtocol::lightningRodMeasurementPage(int index) const {
    return at(lightningRodMeasurementPages_, index);
}

TFormPage* TProtocol::formPage(const TPages& e) const {
    switch (static_cast<PageKind>(e.kind)) {
    case PageKind::Object:
        return objectPage(e.index);
    case PageKind::Block:
        return blockPage(e.index);
    case PageKind::LightningRod:
        return lightningRodPage(e.index);
    case PageKind::FloorPlan:
        return floorPlanPage(e.index);
    default:
        return nullptr;
    }
}

TMeasurementPage* TProtocol::measurementPage(const TPages& e) const {
    switch (static_cast<PageKind>(e.kind)) {
    case PageKind::BlockMeasurement:
        return blockMeasurementPage(e.index);
    case PageKind::LightningRodMeasurement:
        return lightningRodMeasurementPage(e.index);
    default:
        return nullptr;
    }
}

void TProtocol::ClearProtocol(const PrivateProfile* settings) {
    blockMeasurementPages_.clear();
    lightningRodMeasurementPages_.clear();

    std::optional<SettingsBatch> batch;
    if (settings)
        batch.emplace(*settings);
    static constexpr const char* objectKeys[] = {"network", "distributor", "InstType",
                                                 "purpose", "instruments", "traceability",
                                                 "methods", "safety"};
    for (auto it = directory_.rbegin(); it != directory_.rend() && batch; ++it) {
        switch (static_cast<PageKind>(it->kind)) {
        case PageKind::Object:
            if (const auto* p = objectPage(it->index)) {
                for (int i = 0; i < 8; ++i)
                    batch->write("OBJPAGE", objectKeys[i], p->edit(4 + i));
            }
            break;
        case PageKind::Block:
            if (const auto* p = blockPage(it->index)) {
                batch->write("BLOKPAGE", "regulatives", p->edit(6));
                batch->write("BLOKPAGE", "check", p->checksText());
            }
            break;
        case PageKind::LightningRod:
            if (const auto* p = lightningRodPage(it->index))
                batch->write("STRELAPAGE", "check", p->checksText());
            break;
        default:
            break;
        }
    }
    if (batch)
        batch->commit();

    directory_.clear();
    objectPages_.clear();
    blockPages_.clear();
    lightningRodPages_.clear();
    floorPlanPages_.clear();
}

} // namespace zarn
