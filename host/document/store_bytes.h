#pragma once
// The macro store as the 169860 bytes of MacroDefine.bin, and back.

#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

#include "macro/macro_layout.h"

namespace tavrik::ctl {

inline std::vector<std::uint8_t> storeBytes(const macro::MacroStore& store) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(macro::kStoreSize);
    for (const macro::MacroRecord& r : store) bytes.insert(bytes.end(), r.begin(), r.end());
    return bytes;
}

inline void setStoreBytes(std::span<const std::uint8_t> bytes, macro::MacroStore& store) {
    for (std::size_t i = 0; i < store.size(); ++i) {
        std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(i * macro::record::kSize),
                    macro::record::kSize, store[i].begin());
    }
}

}  // namespace tavrik::ctl
