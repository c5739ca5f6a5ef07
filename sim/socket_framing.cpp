#include "sim/socket_framing.h"

namespace tavrik::sim::frame {

std::vector<std::uint8_t> encode(std::uint8_t type, std::span<const std::uint8_t> payload) {
    const std::size_t n = payload.size() > kMaxFramePayload ? kMaxFramePayload : payload.size();
    std::vector<std::uint8_t> out;
    out.reserve(kHeaderSize + n);
    out.push_back(type);
    out.push_back(static_cast<std::uint8_t>(n & 0xFF));
    out.push_back(static_cast<std::uint8_t>(n >> 8));
    out.insert(out.end(), payload.begin(), payload.begin() + static_cast<std::ptrdiff_t>(n));
    return out;
}

void Decoder::feed(std::span<const std::uint8_t> bytes) {
    if (m_malformed) return;
    m_buffer.insert(m_buffer.end(), bytes.begin(), bytes.end());
}

std::optional<Frame> Decoder::next() {
    if (m_malformed || m_buffer.size() < kHeaderSize) return std::nullopt;
    const std::size_t n = m_buffer[1] | (std::size_t{m_buffer[2]} << 8);
    if (n > kMaxFramePayload) {
        m_malformed = true;
        m_buffer.clear();
        return std::nullopt;
    }
    if (m_buffer.size() < kHeaderSize + n) return std::nullopt;
    Frame f;
    f.type = m_buffer[0];
    f.payload.assign(m_buffer.begin() + kHeaderSize,
                     m_buffer.begin() + static_cast<std::ptrdiff_t>(kHeaderSize + n));
    m_buffer.erase(m_buffer.begin(),
                   m_buffer.begin() + static_cast<std::ptrdiff_t>(kHeaderSize + n));
    return f;
}

}  // namespace tavrik::sim::frame
