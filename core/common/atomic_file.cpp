#include "common/atomic_file.h"

#include <fstream>
#include <random>
#include <string>
#include <system_error>

namespace tavrik {
namespace fs = std::filesystem;

Result<std::vector<std::uint8_t>> readWholeFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return systemError("cannot open " + path.string());
    std::vector<std::uint8_t> bytes;
    char buf[65536];
    while (in) {
        in.read(buf, sizeof buf);
        bytes.insert(bytes.end(), buf, buf + in.gcount());
    }
    if (in.bad()) return systemError("cannot read " + path.string());
    return bytes;
}

namespace {

fs::path temporaryBeside(const fs::path& path) {
    std::random_device rd;
    return path.parent_path() /
           ("." + path.filename().string() + ".tmp-" + std::to_string(rd() % 1000000));
}

}  // namespace

Status writeFileAtomically(const fs::path& path,
                           std::span<const std::span<const std::uint8_t>> parts) {
    const fs::path tmp = temporaryBeside(path);
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        if (!out) return systemError("cannot create " + tmp.string());
        for (auto part : parts) {
            out.write(reinterpret_cast<const char*>(part.data()),
                      static_cast<std::streamsize>(part.size()));
        }
        out.flush();
        if (!out) {
            out.close();
            std::error_code ignored;
            fs::remove(tmp, ignored);
            return systemError("cannot write " + tmp.string());
        }
    }
    std::error_code ec;
    fs::rename(tmp, path, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(tmp, ignored);
        return systemError("cannot replace " + path.string() + ": " + ec.message());
    }
    return Status::success();
}

}  // namespace tavrik
