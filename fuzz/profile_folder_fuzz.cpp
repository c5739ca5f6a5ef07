// Runs the profile window's operations (New, Copy, Save, Load, Delete, Rename with arbitrary
// names, odd files placed in the folder) against a real folder. Aborts when anything outside the
// profile folder is created, changed or removed, or when a folder appears inside it.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include <unistd.h>

#include "model/image_layout.h"
#include "model/key_action.h"
#include "profiles/profile_store.h"

namespace {

namespace fs = std::filesystem;
using namespace tavrik;
using namespace tavrik::profiles;

class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}
    bool empty() const { return m_pos >= m_size; }
    std::uint8_t byte() { return m_pos < m_size ? m_data[m_pos++] : 0; }
    std::string text() {
        std::string s;
        for (std::size_t n = byte() % 40; n > 0 && !empty(); --n) s += static_cast<char>(byte());
        return s;
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

// root/outside.bin, root/data/keymap.bin and root/data/Configure/ (the profile folder).
struct Sandbox {
    fs::path root =
        fs::temp_directory_path() / ("tavrik-fuzz-profiles-" + std::to_string(::getpid()));
    fs::path data = root / "data";
    fs::path folder = data / "Configure";

    Sandbox() {
        fs::remove_all(root);
        fs::create_directories(folder);
        std::ofstream(root / "outside.bin") << "outside";
        std::ofstream(data / "keymap.bin") << "keymap";
    }
    ~Sandbox() {
        std::error_code ec;
        fs::remove_all(root, ec);
    }
    void reset() const {
        fs::remove_all(folder);
        fs::create_directory(folder);
    }
    static std::set<std::string> names(const fs::path& dir) {
        std::set<std::string> out;
        for (const auto& e : fs::directory_iterator(dir)) out.insert(e.path().filename().string());
        return out;
    }
    static std::string content(const fs::path& file) {
        std::ifstream in(file);
        std::string s;
        std::getline(in, s);
        return s;
    }
    bool untouched() const {
        if (names(root) != std::set<std::string>{"data", "outside.bin"}) return false;
        if (names(data) != std::set<std::string>{"Configure", "keymap.bin"}) return false;
        if (content(root / "outside.bin") != "outside") return false;
        if (content(data / "keymap.bin") != "keymap") return false;
        for (const auto& e : fs::directory_iterator(folder)) {
            if (e.is_directory()) return false;
        }
        return true;
    }
};

// A file placed in the folder by hand: any single name component.
void placeFile(const fs::path& folder, const std::string& name) {
    if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos ||
        name.find('\0') != std::string::npos) {
        return;
    }
    std::ofstream(folder / name, std::ios::binary) << name;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const Sandbox sandbox;
    static const auto image = std::make_unique<model::Image>();
    static const auto actions = std::make_unique<model::KeyActionTable>();
    sandbox.reset();
    ProfileStore store(sandbox.folder);
    Input in(data, size);
    for (int step = 0; step < 24 && !in.empty(); ++step) {
        const std::uint8_t op = in.byte();
        const std::optional<int> row =
            (op & 0x80) ? std::nullopt : std::optional<int>(in.byte() % 8);
        switch (op % 8) {
            case 0:
                (void)store.createNew();
                break;
            case 1:
                (void)store.copy(row, (op & 0x40) ? Language::Chinese : Language::English);
                break;
            case 2:
                (void)store.save(row, *image, *actions, std::nullopt);
                break;
            case 3:
                (void)store.load(row, std::nullopt, *image, *actions);
                break;
            case 4:
                (void)store.remove(row);
                break;
            case 5:
            case 6:
                (void)store.rename(row.value_or(0), in.text());
                break;
            case 7:
                placeFile(sandbox.folder, in.text());
                store.relist();
                break;
        }
        if (store.rows().size() > static_cast<std::size_t>(kMaxProfiles)) __builtin_trap();
        if (!sandbox.untouched()) __builtin_trap();
    }
    return 0;
}
