#include "settings/diy_history.h"

#include <algorithm>
#include <utility>

namespace tavrik::settings {
namespace {

namespace img = model::image;

constexpr std::size_t kTablesSize = img::kDiyTableCount * img::kDiyTableSize;
static_assert(img::kDiyTables + kTablesSize <= model::kImageSize);
static_assert(kTablesSize <= 0x10000, "step offsets are 16-bit");

}  // namespace

void DiyHistory::begin(const model::Image& image) {
    if (m_open) commit(image);
    m_open = std::make_unique<Tables>();
    std::copy_n(image.begin() + img::kDiyTables, kTablesSize, m_open->begin());
}

bool DiyHistory::commit(const model::Image& image) {
    if (!m_open) return false;
    const std::unique_ptr<Tables> before = std::move(m_open);
    Step step;
    for (std::size_t i = 0; i < kTablesSize; ++i) {
        const std::uint8_t now = image[img::kDiyTables + i];
        if (now != (*before)[i]) {
            step.push_back({static_cast<std::uint16_t>(i), (*before)[i], now});
        }
    }
    if (step.empty()) return false;
    m_redo.clear();
    m_undo.push_back(std::move(step));
    if (m_undo.size() > kMaxSteps) m_undo.pop_front();
    return true;
}

bool DiyHistory::undo(model::Image& image) {
    commit(image);
    if (m_undo.empty()) return false;
    Step step = std::move(m_undo.back());
    m_undo.pop_back();
    for (const Change& c : step) image[img::kDiyTables + c.offset] = c.before;
    m_redo.push_back(std::move(step));
    return true;
}

bool DiyHistory::redo(model::Image& image) {
    commit(image);
    if (m_redo.empty()) return false;
    Step step = std::move(m_redo.back());
    m_redo.pop_back();
    for (const Change& c : step) image[img::kDiyTables + c.offset] = c.after;
    m_undo.push_back(std::move(step));
    return true;
}

void DiyHistory::clear() {
    m_open.reset();
    m_undo.clear();
    m_redo.clear();
}

}  // namespace tavrik::settings
