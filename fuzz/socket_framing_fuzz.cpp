// Feeds arbitrary bytes, in pieces of arbitrary sizes, to the socket channel's frame decoder.
// Every frame it hands out must be the next bytes of the stream exactly, within the payload
// limit, and a malformed stream must stop the decoder for good.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "sim/socket_framing.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tavrik::sim::frame;
    if (size < 1) return 0;
    const std::size_t piece = 1 + data[0] % 64;
    const std::span<const std::uint8_t> stream(data + 1, size - 1);
    Decoder decoder;
    std::size_t consumed = 0;
    for (std::size_t at = 0; at < stream.size(); at += piece) {
        decoder.feed(stream.subspan(at, std::min(piece, stream.size() - at)));
        while (auto frame = decoder.next()) {
            if (frame->payload.size() > kMaxFramePayload) __builtin_trap();
            const std::vector<std::uint8_t> again = encode(frame->type, frame->payload);
            if (consumed + again.size() > stream.size() ||
                !std::equal(again.begin(), again.end(), stream.begin() + consumed)) {
                __builtin_trap();
            }
            consumed += again.size();
        }
        if (decoder.malformed() && decoder.next()) __builtin_trap();
    }
    return 0;
}
